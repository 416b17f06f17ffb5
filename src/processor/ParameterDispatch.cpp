#include "ArpAudioProcessor.h"

#include "ParameterTable.h"
#include "StepTiming.h"

#include <cmath>

namespace mur
{
namespace
{
bool isFinite (double value) noexcept { return std::isfinite (value); }
} // namespace

//==============================================================================
void ArpAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    // Found by position, without allocating: this also runs on the audio thread.
    if (const auto index = parameterIndexOf (parameterID); index >= 0)
    {
        const auto& spec = parameterTable()[static_cast<size_t> (index)];
        spec.apply (*this, spec.familyIndex, newValue);
    }

    // However many changes arrive, one notification waits at a time; the
    // message thread picks it up (nothing is posted from here).
    parameterChangePending.store (true, std::memory_order_release);
}

void ArpAudioProcessor::setNoteGainFromParameter (int index, float value) noexcept
{
    // The parameter already holds the value: nothing is written back.
    if (juce::isPositiveAndBelow (index, numOutputs) && isFinite (value))
        noteGains[static_cast<size_t> (index)] = juce::jlimit (0.0f, 1.0f, value);
}

void ArpAudioProcessor::setPatternGainFromHost (int step, float value) noexcept
{
    if (step < 1 || step > maxAccentSteps || ! isFinite (value))
        return;

    if (beatPulseGains.size() < step)
        beatPulseGains.resize (step);

    beatPulseGains.set (step - 1, 2.0f * juce::jlimit (0.0f, 1.0f, value) - 1.0f);
}

//==============================================================================
float ArpAudioProcessor::limitToRange (int parameterIndex, float value) const noexcept
{
    const auto& range = parameterByIndex[static_cast<size_t> (parameterIndex)]->getNormalisableRange();
    return juce::jlimit (range.start, range.end, value);
}

bool ArpAudioProcessor::storeInRange (Relaxed<float>& mirror, int parameterIndex, float value) noexcept
{
    if (! isFinite (value))
        return false;

    mirror = limitToRange (parameterIndex, value);
    return true;
}

void ArpAudioProcessor::writeBack (int parameterIndex, double value)
{
    const auto index = static_cast<size_t> (parameterIndex);
    auto* raw = rawValueByIndex[index];
    auto* parameter = parameterByIndex[index];

    if (raw == nullptr || parameter == nullptr)
        return;

    // The audio thread must not touch the parameter tree (it allocates and
    // notifies the host): its writes are carried to the message thread.
    if (isAudioThread())
    {
        if (static_cast<double> (raw->load()) != value)
        {
            deferredWriteValues[index].store (value, std::memory_order_relaxed);
            deferredWriteFlags[index].store (true, std::memory_order_release);
            deferredWritesPending.store (true, std::memory_order_release);
        }
        return;
    }

    // A write carried over from the audio thread is older than this one.
    deferredWriteFlags[index].store (false, std::memory_order_relaxed);

    if (static_cast<double> (raw->load()) == value)
    {
        // A switch keeps whatever normalised value a host gave it (0.3 is
        // off); a loaded state shows the host the clean 0 or 1 it saved.
        if (loadingThread.load (std::memory_order_relaxed) == std::this_thread::get_id()
            && dynamic_cast<juce::AudioParameterBool*> (parameter) != nullptr)
            if (const auto normalised = value >= 0.5 ? 1.0f : 0.0f; parameter->getValue() != normalised)
                parameter->setValueNotifyingHost (normalised);
        return;
    }

    if (! juce::MessageManager::existsAndIsCurrentThread())
    {
        // A host restoring its project on a thread of its own: the parameter
        // takes the value at once (JUCE allows that from any thread), so the
        // host reads it the moment the restore returns; the tree and the undo
        // history, which the message thread owns, catch up there.
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (static_cast<float> (value)));
        treeCatchUpPending.store (true, std::memory_order_release);
        return;
    }

    juce::var newValue (value);

    if (parameterIndex == ids::pos::hiddenSize || parameterIndex == ids::pos::beatRate
        || parameterIndex == ids::pos::numSteps || parameterIndex == ids::pos::pulseTimeShiftStep)
        newValue = juce::roundToInt (value);
    else if (parameterIndex == ids::pos::holdMode || parameterIndex == ids::pos::bypassNoteGains)
        newValue = value >= 0.5;

    const auto& id = ids::all()[parameterIndex];

    // The tree copies the host's changes from the parameters on a timer, so it
    // can still hold an older value; writing that same older value through it
    // would change nothing. It first takes the value the parameter has now
    // (outside the undo history, which then records the real step).
    if (auto child = parameters.state.getChildWithProperty ("id", id); child.isValid())
        if (static_cast<double> (child.getProperty ("value")) != static_cast<double> (raw->load()))
            child.setProperty ("value", raw->load(), nullptr);

    gestures.touch (parameterIndex);
    parameters.getParameterAsValue (id).setValue (newValue);
}

bool ArpAudioProcessor::isAudioThread() const noexcept
{
    // The thread the host last processed a block on; when that is the message
    // thread (an offline render) nothing is deferred.
    return audioThreadId.load (std::memory_order_relaxed) == std::this_thread::get_id()
        && ! juce::MessageManager::existsAndIsCurrentThread();
}

void ArpAudioProcessor::performDeferredWriteBacks()
{
    if (! deferredWritesPending.exchange (false, std::memory_order_acquire))
        return;

    for (size_t i = 0; i < deferredWriteFlags.size(); ++i)
        if (deferredWriteFlags[i].exchange (false, std::memory_order_acquire))
            writeBack (static_cast<int> (i), deferredWriteValues[i].load (std::memory_order_relaxed));
}

//==============================================================================
void ArpAudioProcessor::setLeakRate (float value)
{
    if (! storeInRange (mirrors.leakRate, ids::pos::leakRate, value))
        return;

    engine.unguarded().setDynamics (mirrors.leakRate, mirrors.recurrenceScale, mirrors.noiseAmount);
    writeBack (ids::pos::leakRate, mirrors.leakRate);
}

void ArpAudioProcessor::setRecurrenceScale (float value)
{
    if (! storeInRange (mirrors.recurrenceScale, ids::pos::recurrenceScale, value))
        return;

    engine.unguarded().setDynamics (mirrors.leakRate, mirrors.recurrenceScale, mirrors.noiseAmount);
    writeBack (ids::pos::recurrenceScale, mirrors.recurrenceScale);
}

void ArpAudioProcessor::setNoiseAmount (float value)
{
    if (! storeInRange (mirrors.noiseAmount, ids::pos::noiseAmount, value))
        return;

    engine.unguarded().setDynamics (mirrors.leakRate, mirrors.recurrenceScale, mirrors.noiseAmount);
    writeBack (ids::pos::noiseAmount, mirrors.noiseAmount);
}

void ArpAudioProcessor::setFeedbackScale (float value)
{
    if (! storeInRange (mirrors.feedbackScale, ids::pos::feedbackScale, value))
        return;

    writeBack (ids::pos::feedbackScale, mirrors.feedbackScale);
}

void ArpAudioProcessor::setHiddenSize (int value)
{
    // The editor copies this many entries of the 50-unit state: it always
    // stays within the parameter's 2 to 50.
    mirrors.hiddenSize = juce::jlimit (2, maxHiddenUnits, value);
    engine.unguarded().setActiveHiddenSize (mirrors.hiddenSize);
    writeBack (ids::pos::hiddenSize, mirrors.hiddenSize);
}

void ArpAudioProcessor::setActivationGain (float value)
{
    if (! storeInRange (mirrors.activationGain, ids::pos::activationGain, value))
        return;

    engine.unguarded().setActivationGain (mirrors.activationGain);
    writeBack (ids::pos::activationGain, mirrors.activationGain);
}

void ArpAudioProcessor::setBiasGain (float value)
{
    if (! storeInRange (mirrors.biasGain, ids::pos::biasGain, value))
        return;

    engine.unguarded().setBiasGain (mirrors.biasGain);
    writeBack (ids::pos::biasGain, mirrors.biasGain);
}

void ArpAudioProcessor::setSoftmaxGain (float value)
{
    if (! storeInRange (mirrors.softmaxGain, ids::pos::softmaxGain, value))
        return;

    writeBack (ids::pos::softmaxGain, mirrors.softmaxGain);
}

void ArpAudioProcessor::setRepeatGain (float value)
{
    if (! storeInRange (mirrors.repeatGain, ids::pos::repeatGain, value))
        return;

    writeBack (ids::pos::repeatGain, mirrors.repeatGain);
}

void ArpAudioProcessor::setNeighborGain (float value)
{
    if (! storeInRange (mirrors.neighborGain, ids::pos::neighborGain, value))
        return;

    writeBack (ids::pos::neighborGain, mirrors.neighborGain);
}

void ArpAudioProcessor::setGatePercentage (double value)
{
    if (! isFinite (value))
        return;

    const auto limited = juce::jlimit (0.0, 100.0, value);

    if (limited == mirrors.gatePercentage)
        return;

    mirrors.gatePercentage = limited;
    writeBack (ids::pos::gatePercentage, limited);
}

void ArpAudioProcessor::setHoldMode (bool shouldHold)
{
    if (shouldHold != mirrors.holdMode)
    {
        mirrors.holdMode = shouldHold;
        playback.holdModeChanged (shouldHold);
    }

    writeBack (ids::pos::holdMode, shouldHold ? 1.0 : 0.0);
}

void ArpAudioProcessor::setBeatRate (int rate)
{
    const auto limited = juce::jlimit (0, numRates - 1, rate);

    if (limited == mirrors.rateIndex)
        return;

    mirrors.rateIndex = limited;
    playback.rateChanged (limited);
    writeBack (ids::pos::beatRate, limited);
}

void ArpAudioProcessor::setControlInput (int index, float value)
{
    if ((index != 0 && index != 1) || ! isFinite (value))
        return;

    const auto limited = juce::jlimit (-1.0f, 1.0f, value);
    (index == 0 ? mirrors.controlInput0 : mirrors.controlInput1) = limited;
    writeBack (index == 0 ? ids::pos::controlInput0 : ids::pos::controlInput1, limited);
}

void ArpAudioProcessor::setBypassNoteGains (bool shouldBypass)
{
    bypassNoteGains = shouldBypass;
    writeBack (ids::pos::bypassNoteGains, shouldBypass ? 1.0 : 0.0);
}

void ArpAudioProcessor::setDarkPaletteBias (float value)
{
    setPaletteBias (mirrors.darkPaletteBias, ids::pos::darkPaletteBias, value);
}

void ArpAudioProcessor::setLightPaletteBias (float value)
{
    setPaletteBias (mirrors.lightPaletteBias, ids::pos::lightPaletteBias, value);
}

void ArpAudioProcessor::setPaletteBias (Relaxed<float>& mirror, int parameterIndex, float value)
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
    writeBack (parameterIndex, limited);
}

void ArpAudioProcessor::setNoteGain (int index, float value)
{
    if (! juce::isPositiveAndBelow (index, numOutputs) || ! isFinite (value))
        return;

    const auto limited = juce::jlimit (0.0f, 1.0f, value);
    noteGains[static_cast<size_t> (index)] = limited;
    writeBack (ids::pos::noteGain0 + index, limited);
}

void ArpAudioProcessor::resetNoteGains()
{
    for (size_t i = 1; i < noteGains.size(); ++i)
        noteGains[i] = 0.5f;
}

//==============================================================================
void ArpAudioProcessor::setPulseTimeShift (float value)
{
    if (! isFinite (value))
        return;

    mirrors.pulseTimeShift = juce::jlimit (0.0f, 1.0f, value);
    writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
}

void ArpAudioProcessor::setPulseGain (float value)
{
    if (! isFinite (value))
        return;

    const auto limited = juce::jlimit (-1.0f, 1.0f, value);

    if (limited != mirrors.pulseGain)
    {
        mirrors.pulseGain = limited;
        writeBack (ids::pos::pulseGain, limited);
    }
}

void ArpAudioProcessor::setNumSteps (int count)
{
    const auto n = juce::jlimit (2, maxAccentSteps, count);

    if (n == mirrors.numSteps)
        return;

    mirrors.numSteps = n;
    mirrors.pulseTimeShiftStep = juce::jlimit (0, n - 1, mirrors.pulseTimeShiftStep.get());
    mirrors.pulseTimeShift = static_cast<float> (mirrors.pulseTimeShiftStep) / static_cast<float> (n - 1);

    // The host sees the pattern as it is: its length and the start step it
    // was clamped to, not only the derived start fraction.
    writeBack (ids::pos::numSteps, n);
    writeBack (ids::pos::pulseTimeShiftStep, mirrors.pulseTimeShiftStep);
    writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
}

void ArpAudioProcessor::setStartStep (int step)
{
    const int n = mirrors.numSteps;
    const auto s = juce::jlimit (0, juce::jmax (0, n - 1), step);

    if (s != mirrors.pulseTimeShiftStep)
    {
        mirrors.pulseTimeShiftStep = s;
        mirrors.pulseTimeShift = n < 2 ? 0.0f : static_cast<float> (s) / static_cast<float> (n - 1);
        writeBack (ids::pos::pulseTimeShift, mirrors.pulseTimeShift);
    }

    // A start step beyond the pattern shows the host the step it was clamped to.
    writeBack (ids::pos::pulseTimeShiftStep, s);
}

void ArpAudioProcessor::setBeatPulseGain (int stepIndex, float gain)
{
    // The pattern never has more than 64 steps; storage for them is fixed.
    if (stepIndex < 0 || stepIndex >= maxAccentSteps || ! isFinite (gain))
        return;

    if (beatPulseGains.size() <= stepIndex)
        beatPulseGains.resize (stepIndex + 1);

    const auto limited = juce::jlimit (-1.0f, 1.0f, gain);
    beatPulseGains.set (stepIndex, limited);

    if (stepIndex < ids::numBeatPulseParams)
        writeBack (ids::pos::beatPulseGain1 + stepIndex, static_cast<double> ((limited + 1.0f) * 0.5f));
}

float ArpAudioProcessor::getBeatPulseGain (int stepIndex) const noexcept
{
    return juce::isPositiveAndBelow (stepIndex, beatPulseGains.size()) ? beatPulseGains[stepIndex] : 0.0f;
}

void ArpAudioProcessor::ensureBeatPulseGainCount (int count)
{
    if (count >= 1)
        beatPulseGains.resize (count);
}

void ArpAudioProcessor::resetAccentParametersFrom (int count)
{
    // A pattern shorter than the sixteen host parameters leaves the ones past
    // its end at their default (gain 0), as they were when it was saved; the
    // parameter path grows the list while they are written, so its length is
    // put back afterwards.
    for (int j = count; j < ids::numBeatPulseParams; ++j)
        writeBack (ids::pos::beatPulseGain1 + j, 0.5);

    beatPulseGains.resize (count);
}

void ArpAudioProcessor::resetBeatPulsePattern()
{
    beatPulseGains.resize (0);
    beatPulseGains.resize (4);

    const float initial[] = { 1.0f, 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < 4; ++i)
        setBeatPulseGain (i, initial[i]);
}

//==============================================================================
void ArpAudioProcessor::notifyColorsNeedUpdate()
{
    coloursNeedUpdate.store (true, std::memory_order_release);
}

} // namespace mur
