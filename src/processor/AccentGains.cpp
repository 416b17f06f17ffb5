#include "AccentGains.h"

#include <algorithm>
#include <cmath>

namespace mur
{

void AccentGains::resize (int newSize) noexcept
{
    const auto clamped = std::clamp (newSize, 0, maxAccentSteps);

    for (int i = count; i < clamped; ++i)
        gains[static_cast<size_t> (i)] = 0.0f;

    count = clamped;
}

float AccentGains::gainOrFallback (int index) const noexcept
{
    if (index >= 0 && index < count)
        return gains[static_cast<size_t> (index)];

    return index == 0 ? 1.0f : 0.5f;
}

int hostSyncedAccentStep (double quarterNotes, int numSteps, int startStep, int rateIndex) noexcept
{
    const auto n = std::max (1, numSteps);
    const auto s = std::clamp (startStep, 0, n - 1);
    const auto stepLength = quarterNotesPerStep (rateIndex);
    const auto cycle = static_cast<double> (n) * stepLength;

    auto c = std::fmod (quarterNotes, cycle);
    if (c < 0.0)
        c += cycle;

    const auto d = std::fmod (c - static_cast<double> (s) * stepLength + cycle, cycle) / stepLength;
    const auto r = std::round (d); // halves away from zero

    if (std::abs (d - r) > 0.05 || ! std::isfinite (d))
        return -1;

    auto i = static_cast<int> (std::fmod (r, static_cast<double> (n)));
    if (i < 0)
        i += n;

    return std::clamp (i, 0, n - 1);
}

int freeRunningAccentStep (int counter, int numSteps, int startStep) noexcept
{
    const auto n = std::max (1, numSteps);
    const auto s = std::clamp (startStep, 0, n - 1);
    const auto k = ((counter % n) + n) % n;
    return std::clamp ((s + k) % n, 0, n - 1);
}

} // namespace mur
