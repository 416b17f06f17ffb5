#include "ControlMappings.h"

#include "processor/ParameterTable.h"
#include "processor/StepTiming.h"

#include <cmath>

namespace mur::controls
{
namespace
{
const ParameterSpec& spec (int parameterIndex) { return parameterTable()[static_cast<size_t> (parameterIndex)]; }
int lastRate() { return static_cast<int> (spec (ids::pos::beatRate).end); }
int fewestUnits() { return static_cast<int> (spec (ids::pos::hiddenSize).start); }
int mostUnits() { return static_cast<int> (spec (ids::pos::hiddenSize).end); }
int fewestSteps() { return static_cast<int> (spec (ids::pos::numSteps).start); }
int mostSteps() { return static_cast<int> (spec (ids::pos::numSteps).end); }
} // namespace

Range parameterRange (int parameterIndex) { return { spec (parameterIndex).start, spec (parameterIndex).end }; }
float defaultOf (int parameterIndex) { return spec (parameterIndex).defaultValue; }

float inertiaPosition (float leakRate) { return spec (ids::pos::leakRate).end - leakRate; }
float echoPosition (float recurrenceScale) { return recurrenceScale / spec (ids::pos::recurrenceScale).end; }
float recurrenceScaleFor (float position) { return spec (ids::pos::recurrenceScale).end * position; }

int rateIndexFor (float position)
{
    const auto last = lastRate();
    return juce::jlimit (0, last, roundHalfUp ((1.0 - static_cast<double> (position)) * last));
}

float positionForRate (int rateIndex)
{
    const auto last = lastRate();
    return 1.0f - static_cast<float> (juce::jlimit (0, last, rateIndex)) / static_cast<float> (last);
}

float rateKeyStep() { return 1.0f / static_cast<float> (lastRate()); }

int rateDivisor (int rateIndex)
{
    // Steps per whole note: four quarter notes over the quarters per step.
    return roundHalfUp (4.0 / quarterNotesPerStep (juce::jlimit (0, numRates - 1, rateIndex)));
}

juce::String percentText (float position)
{
    return juce::String (juce::roundToInt (position * 100.0f)) + "%";
}

juce::String rateText (float position)
{
    return "1/" + juce::String (rateDivisor (rateIndexFor (position)));
}

double gatePercentFor (float position)
{
    return static_cast<double> (position) * 199.0 + 1.0;
}

float positionForGate (double gatePercentage)
{
    return juce::jlimit (0.0f, 1.0f, static_cast<float> ((gatePercentage - 1.0) / 199.0));
}

juce::String gateText (float position)
{
    // Halves away from zero; the percentage is never negative.
    return juce::String (roundHalfUp (gatePercentFor (position))) + "%";
}

int hiddenSizeFor (float position)
{
    return fewestUnits() + static_cast<int> (static_cast<float> (mostUnits() - fewestUnits()) * juce::jlimit (0.0f, 1.0f, position));
}

float positionForHiddenSize (int hiddenSize)
{
    return static_cast<float> (hiddenSize - fewestUnits()) / static_cast<float> (mostUnits() - fewestUnits());
}

int hiddenSizeSteps() { return mostUnits() - fewestUnits() + 1; }

int numStepsFor (float position)
{
    return juce::jlimit (fewestSteps(), mostSteps(),
                         roundHalfUp (static_cast<double> (position) * (mostSteps() - fewestSteps()) + fewestSteps()));
}

float positionForNumSteps (int numSteps)
{
    return static_cast<float> (numSteps - fewestSteps()) / static_cast<float> (mostSteps() - fewestSteps());
}

int numStepsSteps() { return mostSteps() - fewestSteps() + 1; }

int octaveRangeFor (float position)
{
    const auto range = parameterRange (ids::pos::octaveRange);
    return juce::jlimit (static_cast<int> (range.start), static_cast<int> (range.end),
                         roundHalfUp (static_cast<double> (position) * static_cast<double> (range.end - range.start) + static_cast<double> (range.start)));
}

float positionForOctaveRange (int octaves)
{
    const auto range = parameterRange (ids::pos::octaveRange);
    return juce::jlimit (0.0f, 1.0f, (static_cast<float> (octaves) - range.start) / (range.end - range.start));
}

int octaveRangeSteps()
{
    const auto range = parameterRange (ids::pos::octaveRange);
    return static_cast<int> (range.end - range.start) + 1;
}

float accentGainFor (float position)
{
    const auto range = parameterRange (ids::pos::pulseGain);
    return juce::jlimit (range.start, range.end, (position - 0.5f) * (range.end - range.start) + (range.start + range.end) * 0.5f);
}

float positionForAccentGain (float gain)
{
    const auto range = parameterRange (ids::pos::pulseGain);
    return juce::jlimit (0.0f, 1.0f, (gain - range.start) / (range.end - range.start));
}

int neuronPathLevelFor (float position)
{
    return juce::jlimit (1, 8, roundHalfUp (7.0 * static_cast<double> (position)) + 1);
}

float softmaxGainFor (float position)
{
    return position <= 0.01f ? defaultOf (ids::pos::softmaxGain) : (1.0f - position) * 10.0f;
}

float positionForSoftmaxGain (float softmaxGain)
{
    return softmaxGain >= defaultOf (ids::pos::softmaxGain) - 1.0f ? 0.0f : juce::jlimit (0.0f, 1.0f, 1.0f - softmaxGain / 10.0f);
}

float quantise (float position, int stepCount)
{
    const auto v = juce::jlimit (0.0f, 1.0f, position);

    if (stepCount <= 1)
        return v;

    const auto last = stepCount - 1;
    const auto k = juce::jlimit (0, last, roundHalfUp (static_cast<double> (last) * static_cast<double> (v)));
    return static_cast<float> (k) / static_cast<float> (last);
}

float arcDragPosition (float atStart, int moved, int stepCount)
{
    auto d = atStart + static_cast<float> (moved) * 0.01f;

    // The step count itself (not one less) in the first rounding, as the
    // knob has always snapped.
    if (stepCount > 0)
    {
        const auto g = juce::jlimit (0, stepCount - 1, roundHalfUp (static_cast<double> (stepCount) * static_cast<double> (d)));
        d = static_cast<float> (g) / static_cast<float> (juce::jmax (1, stepCount - 1));
    }

    return quantise (d, stepCount);
}

int stepAtPosition (float position, int numSteps)
{
    if (numSteps <= 1)
        return 0;
    return juce::jlimit (0, numSteps - 1, wrapStep (roundHalfUp ((1.0 - static_cast<double> (position)) * numSteps), numSteps));
}

juce::String noteName (int midiNote)
{
    static const char* const names[] = { "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B" };
    const auto n = juce::jlimit (0, 127, midiNote);
    return juce::String (names[n % 12]) + juce::String (n / 12 - 2);
}

WheelScroll scrollByWheel (float remainder, float deltaX, float deltaY)
{
    WheelScroll result { remainder + (std::abs (deltaX) > std::abs (deltaY) ? deltaX : deltaY), 0 };

    for (; result.remainder <= -0.25f; result.remainder += 0.25f)
        ++result.slots;
    for (; result.remainder >= 0.25f; result.remainder -= 0.25f)
        --result.slots;

    return result;
}

} // namespace mur::controls
