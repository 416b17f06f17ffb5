#include "Settings.h"

#include "NoteSlots.h"

#include "ParameterBridge.h"
#include "SharedEngine.h"
#include "StepTiming.h"
#include "engine/NetworkShaping.h"

#include <cmath>

namespace mur
{
namespace
{
bool isFinite (double value) noexcept { return std::isfinite (value); }
} // namespace

Settings::Settings (ParameterBridge& parameterBridge, SharedEngine& sharedEngine, Playback& arpPlayback)
    : bridge (parameterBridge), engine (sharedEngine), playback (arpPlayback)
{
    for (size_t i = 0; i < noteGains.size(); ++i)
        noteGains[i] = i == 0 ? 0.0f : 0.5f;

    resetAccentGains();

    // The engine runs at the parameter defaults from the start; so do these
    // mirrors (see ParameterMirrors for their first values).
    mirrors.leakRate = 1.0f;
    mirrors.recurrenceScale = 1.0f;
    mirrors.feedbackScale = 1.0f;
    mirrors.hiddenSize = 5;
    mirrors.activationGain = 1.0f;
    mirrors.biasGain = 1.0f;
    mirrors.softmaxGain = 1000.0f;
}

float Settings::getNoteGain (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numOutputs) ? noteGains[static_cast<size_t> (index)].get() : 0.0f;
}

void Settings::reseed()
{
    reseed (static_cast<std::int32_t> (static_cast<std::uint32_t> (juce::Random::getSystemRandom().nextInt64())));
}

void Settings::reseed (std::int32_t seed)
{
    // The new seed and the network drawn from it reach the audio thread together.
    SharedEngine::Load load (engine, mirrors);
    arpSeed = seed;
    reseedNetwork (load.network(), static_cast<std::uint32_t> (seed));
    load.sets (SharedEngine::allRunning);
    bridge.postChangeNotification();
}

//==============================================================================
void Settings::setNoteGainFromParameter (int index, float value) noexcept
{
    // The parameter already holds the value: nothing is written back.
    if (juce::isPositiveAndBelow (index, numOutputs) && isFinite (value))
        noteGains[static_cast<size_t> (index)] = juce::jlimit (0.0f, 1.0f, value);
}

void Settings::setAccentGainFromHost (int step, float value) noexcept
{
    if (step < 1 || step > maxAccentSteps || ! isFinite (value))
        return;

    if (beatPulseGains.size() < step)
        beatPulseGains.resize (step);

    beatPulseGains.set (step - 1, 2.0f * juce::jlimit (0.0f, 1.0f, value) - 1.0f);
}

//==============================================================================

bool Settings::storeInRange (Relaxed<float>& mirror, int parameterIndex, float value) noexcept
{
    if (! isFinite (value))
        return false;

    mirror = bridge.limitToRange (parameterIndex, value);
    return true;
}

//==============================================================================
bool Settings::storeAndWriteBack (Relaxed<float>& mirror, int parameterIndex, float value)
{
    if (! storeInRange (mirror, parameterIndex, value))
        return false;

    bridge.writeBack (parameterIndex, mirror);
    return true;
}

// Inertia, Echo and Noise are the engine's dynamics, set together.
void Settings::setDynamics (Relaxed<float>& mirror, int parameterIndex, float value)
{
    if (storeAndWriteBack (mirror, parameterIndex, value))
        if (auto* network = engine.settingsTarget())
            network->setDynamics (mirrors.leakRate, mirrors.recurrenceScale, mirrors.noiseAmount);
}

void Settings::setLeakRate (float value)        { setDynamics (mirrors.leakRate, ids::pos::leakRate, value); }
void Settings::setRecurrenceScale (float value) { setDynamics (mirrors.recurrenceScale, ids::pos::recurrenceScale, value); }
void Settings::setNoiseAmount (float value)     { setDynamics (mirrors.noiseAmount, ids::pos::noiseAmount, value); }

void Settings::setActivationGain (float value)
{
    if (storeAndWriteBack (mirrors.activationGain, ids::pos::activationGain, value))
        if (auto* network = engine.settingsTarget())
            network->setActivationGain (mirrors.activationGain);
}

void Settings::setBiasGain (float value)
{
    if (storeAndWriteBack (mirrors.biasGain, ids::pos::biasGain, value))
        if (auto* network = engine.settingsTarget())
            network->setBiasGain (mirrors.biasGain);
}

// Read by the note choice and the input encoding at the next step.
void Settings::setFeedbackScale (float value) { storeAndWriteBack (mirrors.feedbackScale, ids::pos::feedbackScale, value); }
void Settings::setSoftmaxGain (float value)   { storeAndWriteBack (mirrors.softmaxGain, ids::pos::softmaxGain, value); }
void Settings::setRepeatGain (float value)    { storeAndWriteBack (mirrors.repeatGain, ids::pos::repeatGain, value); }
void Settings::setNeighborGain (float value)  { storeAndWriteBack (mirrors.neighborGain, ids::pos::neighborGain, value); }

void Settings::setHiddenSize (int value)
{
    // The editor copies this many entries of the 50-unit state: it always
    // stays within the parameter's 2 to 50.
    mirrors.hiddenSize = juce::jlimit (2, maxHiddenUnits, value);
    if (auto* network = engine.settingsTarget())
        network->setActiveHiddenSize (mirrors.hiddenSize);
    bridge.writeBack (ids::pos::hiddenSize, mirrors.hiddenSize);
}

void Settings::setGatePercentage (double value)
{
    if (! isFinite (value))
        return;

    const auto limited = juce::jlimit (0.0, 100.0, value);

    if (limited == mirrors.gatePercentage)
        return;

    mirrors.gatePercentage = limited;
    bridge.writeBack (ids::pos::gatePercentage, limited);
}

void Settings::setOctaveRange (int octaves)
{
    // The next step takes its slots from the new range; notes already
    // sounding end by their own pitch.
    mirrors.octaveRange = juce::jlimit (1, maxOctaveRange, octaves);
    bridge.writeBack (ids::pos::octaveRange, mirrors.octaveRange);
}

void Settings::setHoldMode (bool shouldHold)
{
    if (shouldHold != mirrors.holdMode)
    {
        mirrors.holdMode = shouldHold;
        playback.holdModeChanged (shouldHold);
    }

    bridge.writeBack (ids::pos::holdMode, shouldHold ? 1.0 : 0.0);
}

void Settings::setBeatRate (int rate)
{
    const auto limited = juce::jlimit (0, numRates - 1, rate);

    if (limited == mirrors.rateIndex)
        return;

    mirrors.rateIndex = limited;
    playback.rateChanged();
    bridge.writeBack (ids::pos::beatRate, limited);
}

void Settings::setControlInput (int index, float value)
{
    if ((index != 0 && index != 1) || ! isFinite (value))
        return;

    const auto limited = juce::jlimit (-1.0f, 1.0f, value);
    (index == 0 ? mirrors.controlInput0 : mirrors.controlInput1) = limited;
    bridge.writeBack (index == 0 ? ids::pos::controlInput0 : ids::pos::controlInput1, limited);
}

void Settings::setBypassNoteGains (bool shouldBypass)
{
    bypassNoteGains = shouldBypass;
    bridge.writeBack (ids::pos::bypassNoteGains, shouldBypass ? 1.0 : 0.0);
}

void Settings::setDarkPaletteBias (float value)
{
    setPaletteBias (mirrors.darkPaletteBias, ids::pos::darkPaletteBias, value);
}

void Settings::setLightPaletteBias (float value)
{
    setPaletteBias (mirrors.lightPaletteBias, ids::pos::lightPaletteBias, value);
}

void Settings::setPaletteBias (Relaxed<float>& mirror, int parameterIndex, float value)
{
    if (! isFinite (value))
        return;

    const auto limited = juce::jlimit (0.0f, 1.0f, value);

    if (limited != mirror)
    {
        mirror = limited;
        notifyColorsNeedUpdate();
    }

    // A fresh processor's colours start apart from the parameter's default;
    // whoever sets the bias makes the two agree.
    bridge.writeBack (parameterIndex, limited);
}

void Settings::setNoteGain (int index, float value)
{
    if (! juce::isPositiveAndBelow (index, numOutputs) || ! isFinite (value))
        return;

    const auto limited = juce::jlimit (0.0f, 1.0f, value);
    noteGains[static_cast<size_t> (index)] = limited;
    bridge.writeBack (ids::pos::noteGain0 + index, limited);
}

void Settings::resetNoteGains()
{
    for (size_t i = 1; i < noteGains.size(); ++i)
        noteGains[i] = 0.5f;
}

//==============================================================================
void Settings::setPulseTimeShift (float value)
{
    if (! isFinite (value))
        return;

    mirrors.pulseTimeShift = juce::jlimit (0.0f, 1.0f, value);
    bridge.writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
}

void Settings::setPulseGain (float value)
{
    if (! isFinite (value))
        return;

    const auto limited = juce::jlimit (-1.0f, 1.0f, value);

    if (limited != mirrors.pulseGain)
    {
        mirrors.pulseGain = limited;
        bridge.writeBack (ids::pos::pulseGain, limited);
    }
}

void Settings::setNumSteps (int count)
{
    const auto n = juce::jlimit (2, maxAccentSteps, count);

    if (n == mirrors.numSteps)
        return;

    mirrors.numSteps = n;
    mirrors.pulseTimeShiftStep = juce::jlimit (0, n - 1, mirrors.pulseTimeShiftStep.get());
    mirrors.pulseTimeShift = static_cast<float> (mirrors.pulseTimeShiftStep) / static_cast<float> (n - 1);

    // The host sees the pattern as it is: its length and the start step it
    // was clamped to, not only the derived start fraction.
    bridge.writeBack (ids::pos::numSteps, n);
    bridge.writeBack (ids::pos::pulseTimeShiftStep, mirrors.pulseTimeShiftStep);
    bridge.writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
}

void Settings::setStartStep (int step)
{
    const int n = mirrors.numSteps;
    const auto s = juce::jlimit (0, juce::jmax (0, n - 1), step);

    if (s != mirrors.pulseTimeShiftStep)
    {
        mirrors.pulseTimeShiftStep = s;
        mirrors.pulseTimeShift = n < 2 ? 0.0f : static_cast<float> (s) / static_cast<float> (n - 1);
        bridge.writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
    }

    // A start step beyond the pattern shows the host the step it was clamped to.
    bridge.writeBack (ids::pos::pulseTimeShiftStep, s);
}

void Settings::setBeatPulseGain (int stepIndex, float gain)
{
    // The pattern never has more than 64 steps; storage for them is fixed.
    if (stepIndex < 0 || stepIndex >= maxAccentSteps || ! isFinite (gain))
        return;

    if (beatPulseGains.size() <= stepIndex)
        beatPulseGains.resize (stepIndex + 1);

    const auto limited = juce::jlimit (-1.0f, 1.0f, gain);
    beatPulseGains.set (stepIndex, limited);

    if (stepIndex < ids::numAccentParams)
        bridge.writeBack (ids::pos::beatPulseGain1 + stepIndex, static_cast<double> ((limited + 1.0f) * 0.5f));
}

float Settings::getBeatPulseGain (int stepIndex) const noexcept
{
    return juce::isPositiveAndBelow (stepIndex, beatPulseGains.size()) ? beatPulseGains[stepIndex] : 0.0f;
}

void Settings::ensureBeatPulseGainCount (int count)
{
    if (count >= 1)
        beatPulseGains.resize (count);
}

void Settings::resetAccentParametersFrom (int count)
{
    // A pattern shorter than the sixteen host parameters leaves the ones past
    // its end at their default (gain 0), as they were when it was saved; the
    // parameter path grows the list while they are written, so its length is
    // put back afterwards.
    for (int j = count; j < ids::numAccentParams; ++j)
        bridge.writeBack (ids::pos::beatPulseGain1 + j, 0.5);

    beatPulseGains.resize (count);
}

void Settings::resetAccentGains()
{
    beatPulseGains.resize (0);
    beatPulseGains.resize (4);

    const float initial[] = { 1.0f, 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < 4; ++i)
        setBeatPulseGain (i, initial[i]);
}

//==============================================================================

} // namespace mur
