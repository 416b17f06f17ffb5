#include "NoteSelection.h"

#include "PortableMaths.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mur
{
namespace
{
int clampHeld (int numHeld) noexcept { return std::clamp (numHeld, 0, maxSlots); }

// A gain kept inside [1e-7, 0.9999999], where its logarithms stay finite.
float clampedGain (float gain) noexcept { return gain > 0.9999999f ? 0.9999999f : (gain < 1e-7f ? 1e-7f : gain); }
} // namespace

float clampedLogit (float gain) noexcept
{
    const float c = clampedGain (gain);
    return maths::log (c / (1.0f - c));
}

void buildNetworkInput (float* v, const NetworkInputValues& values) noexcept
{
    std::fill (v, v + numInputs, 0.0f);

    const auto n = static_cast<std::int64_t> (clampHeld (values.numHeld));
    const auto k = values.previousChoice;

    if (k >= 0 && k < n)
        v[k + 1] = values.feedbackScale;
    else if (isRestEnabled (values.breathGain) && k == n)
        v[0] = values.feedbackScale;

    v[controlXInput] = controlInputScale * values.controlInput0;
    v[controlYInput] = controlInputScale * values.controlInput1;
    v[accentInput] = values.accentValue;
}

void computeNoteProbabilities (const float* outputs, float* probabilities, int numHeld,
                               std::int64_t previousChoice, const SelectionInputs& settings) noexcept
{
    std::array<float, numOutputs> l {};
    std::copy (outputs, outputs + numOutputs, l.begin());

    const auto n = clampHeld (numHeld);
    const auto k = previousChoice;
    const bool restEnabled = isRestEnabled (settings.noteGains[0]);
    const int first = restEnabled ? 0 : 1;

    for (int i = first; i <= n; ++i)
        l[static_cast<size_t> (i)] += 3.0f * clampedLogit (settings.noteGains[i]);

    const auto repetition = 3.0f * clampedLogit (settings.repeatGain);
    if (k >= 0 && k < n)
        l[static_cast<size_t> (k + 1)] += repetition;
    else if (restEnabled && k == n)
        l[0] += repetition;

    if (settings.neighborGain > 0.0f && k >= 0 && k < n)
    {
        const float c = clampedGain (settings.neighborGain);
        const auto w = -maths::log (1.0f - c + 1e-7f);
        float totalPenalty = 0.0f;

        for (int s = 0; s < n; ++s)
        {
            const auto d = std::abs (static_cast<std::int64_t> (s) - k);
            if (d >= 2)
            {
                const auto penalty = static_cast<float> (d - 1) * w;
                l[static_cast<size_t> (s + 1)] -= penalty;
                totalPenalty += penalty;
            }
        }

        if (restEnabled)
            l[0] -= totalPenalty / static_cast<float> (n);
    }

    float m = -3.4028235e38f;
    for (int i = first; i <= n; ++i)
        m = std::max (m, l[static_cast<size_t> (i)]);

    float sum = 0.0f;
    for (int i = first; i <= n; ++i)
        sum += maths::exp ((l[static_cast<size_t> (i)] - m) * settings.softmaxGain);

    const auto divisor = std::max (sum, 1e-6f);

    std::fill (probabilities, probabilities + numOutputs, 0.0f);
    for (int i = first; i <= n; ++i)
        probabilities[i] = maths::exp ((l[static_cast<size_t> (i)] - m) * settings.softmaxGain) / divisor;
}

void NoteChooser::seed (std::int32_t arpSeed) noexcept
{
    noteChoiceRandom.seed (static_cast<std::uint32_t> (arpSeed));
    appliedArpSeed = arpSeed;
}

std::int64_t NoteChooser::chooseNextSlot (const float* p, int numHeld, bool restEnabled, std::int32_t arpSeed) noexcept
{
    if (arpSeed != appliedArpSeed)
        seed (arpSeed);

    const auto u = uniform24 (noteChoiceRandom.next());
    const auto n = clampHeld (numHeld);
    float acc = 0.0f;

    if (restEnabled)
    {
        acc = p[0];
        if (u <= acc)
            return previousChoice = n;
    }

    for (int s = 0; s < n; ++s)
    {
        acc += p[s + 1];
        if (u <= acc)
            return previousChoice = s;
    }

    return previousChoice = none;
}

} // namespace mur
