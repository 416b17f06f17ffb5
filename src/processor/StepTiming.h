#pragma once

namespace mur
{

inline constexpr int numRates = 13;
inline constexpr int defaultRateIndex = 5; // "1/16"

// Quarter notes per arpeggiator step for each "beatRate" choice; anything
// outside the table plays sixteenths.
constexpr double quarterNotesPerStep (int rateIndex) noexcept
{
    constexpr double factors[numRates] = { 1.0 / 24.0, 1.0 / 16.0, 1.0 / 12.0, 1.0 / 8.0, 1.0 / 6.0, 1.0 / 4.0,
                                           1.0 / 3.0,  1.0 / 2.0,  2.0 / 3.0,  1.0,       4.0 / 3.0, 2.0,
                                           4.0 };
    return (rateIndex >= 0 && rateIndex < numRates) ? factors[rateIndex] : 0.25;
}

constexpr double stepSecondsForRate (int rateIndex, double tempoBpm) noexcept
{
    return (60.0 / tempoBpm) * quarterNotesPerStep (rateIndex);
}

// The step length in samples always truncates toward zero.
constexpr int stepSamples (double stepSeconds, double sampleRate) noexcept
{
    return static_cast<int> (stepSeconds * sampleRate);
}

} // namespace mur
