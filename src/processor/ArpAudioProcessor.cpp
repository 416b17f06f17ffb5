#include "ArpAudioProcessor.h"

#include "ParameterIds.h"
#include "ParameterLayout.h"
#include "StepTiming.h"
#include "engine/NetworkShaping.h"
#include "editor/ArpAudioProcessorEditor.h"

namespace mur
{

ArpAudioProcessor::ArpAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, &undoManager, "ArpParameters", createParameterLayout())
{
    // The mirrors start at their pre-engine values (see ParameterMirrors).
    aliveFlag = std::make_shared<std::atomic<bool>> (true);

    noteChooser.noteChoiceRandom.seed (Mt19937::defaultSeed);
    arpSeed = defaultArpSeed;

    for (const auto& id : ids::all())
        parameters.addParameterListener (id, this);

    // Storage for the longest pattern from the start, so the audio thread never
    // reads a list that is being reallocated.
    beatPulseGains.reserve (64);
    resetBeatPulsePattern();

    engine = std::make_unique<NeuralEngine> (engineInputSize, engineMaxHiddenSize, engineOutputSize,
                                             static_cast<std::uint32_t> (arpSeed));
    applyConstructionSequence (*engine);

    // The engine now runs at the parameter defaults; so do its mirrors.
    mirrors.leakRate = 1.0f;
    mirrors.recurrenceScale = 1.0f;
    mirrors.feedbackScale = 1.0f;
    mirrors.hiddenSize = 5;
    mirrors.activationGain = 1.0f;
    mirrors.biasGain = 1.0f;
    mirrors.softmaxGain = 1000.0f;

    publishedProbabilities.fill (0.0f);
    networkInput.assign (numInputs, 0.0f);
    networkOutput.assign (numOutputs, 0.0f);
    noteProbabilities.assign (numOutputs, 0.0f);
    pendingNoteOffs.reserve (100);
    previewNoteOffs.reserve (128);
    heldNotes.reserve (maxSlots);

    noteChooser.seed (arpSeed);

    noteGains.fill (0.5f);
    noteGains[0] = 0.0f;

    resetBeatPulsePattern();

    undoManager.clearUndoHistory();
}

ArpAudioProcessor::~ArpAudioProcessor()
{
    aliveFlag->store (false);

    for (const auto& id : ids::all())
        parameters.removeParameterListener (id, this);
}

//==============================================================================
void ArpAudioProcessor::prepareToPlay (double newSampleRate, int)
{
    sampleRate = newSampleRate;
    stepSeconds = stepSecondsForRate (mirrors.rateIndex, tempoBpm);
    samplesUntilStep = stepSamples (stepSeconds, sampleRate);

    if (networkInput.size() != static_cast<size_t> (numInputs))
        networkInput.assign (numInputs, 0.0f);
    if (networkOutput.size() != static_cast<size_t> (numOutputs))
        networkOutput.assign (numOutputs, 0.0f);
    if (noteProbabilities.size() != static_cast<size_t> (numOutputs))
        noteProbabilities.assign (numOutputs, 0.0f);

    if (blockEvents.capacity() < 512)
        blockEvents.reserve (512);
}

void ArpAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;
    buffer.clear();

    // Until the arpeggiator runs, note messages are swallowed and everything
    // else inside the block is passed on.
    juce::MidiBuffer output;
    const auto numSamples = buffer.getNumSamples();

    for (const auto metadata : midi)
    {
        const auto message = metadata.getMessage();

        if (! message.isNoteOnOrOff() && metadata.samplePosition >= 0 && metadata.samplePosition < numSamples)
            output.addEvent (message, metadata.samplePosition);
    }

    midi.swapWith (output);
}

bool ArpAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();

    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == out;
}

juce::AudioProcessorEditor* ArpAudioProcessor::createEditor()
{
    return new ArpAudioProcessorEditor (*this);
}

void ArpAudioProcessor::getStateInformation (juce::MemoryBlock&) {}

void ArpAudioProcessor::setStateInformation (const void*, int) {}

void ArpAudioProcessor::reseed()
{
    arpSeed = static_cast<std::int32_t> (static_cast<std::uint32_t> (juce::Random::getSystemRandom().nextInt64()));
    reseedNetwork (*engine, static_cast<std::uint32_t> (arpSeed));
}

//==============================================================================
float ArpAudioProcessor::getNoteGain (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numOutputs) ? noteGains[static_cast<size_t> (index)] : 0.0f;
}

void ArpAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    if (parameterID.startsWith (ids::noteGainPrefix))
    {
        const auto index = parameterID.substring (8).getIntValue();

        if (juce::isPositiveAndBelow (index, numOutputs))
            noteGains[static_cast<size_t> (index)] = juce::jlimit (0.0f, 1.0f, newValue);
    }
    else if (parameterID.startsWith (ids::beatPulseGainPrefix))
    {
        const auto step = parameterID.substring (13).getIntValue();

        if (step >= 1 && step <= 64)
        {
            if (beatPulseGains.size() < static_cast<size_t> (step))
                beatPulseGains.resize (static_cast<size_t> (step), 0.0f);

            beatPulseGains[static_cast<size_t> (step - 1)] = 2.0f * juce::jlimit (0.0f, 1.0f, newValue) - 1.0f;
        }
    }
    else if (parameterID == ids::leakRate)            mirrors.leakRate = newValue;
    else if (parameterID == ids::recurrenceScale)     mirrors.recurrenceScale = newValue;
    else if (parameterID == ids::feedbackScale)       mirrors.feedbackScale = newValue;
    else if (parameterID == ids::noiseAmount)         mirrors.noiseAmount = newValue;
    else if (parameterID == ids::hiddenSize)          mirrors.hiddenSize = juce::roundToInt (newValue);
    else if (parameterID == ids::activationGain)      mirrors.activationGain = newValue;
    else if (parameterID == ids::biasGain)            mirrors.biasGain = newValue;
    else if (parameterID == ids::softmaxGain)         mirrors.softmaxGain = newValue;
    else if (parameterID == ids::pulseTimeShift)      mirrors.pulseTimeShift = newValue;
    else if (parameterID == ids::pulseGain)           mirrors.pulseGain = juce::jlimit (-1.0f, 1.0f, newValue);
    else if (parameterID == ids::repeatGain)          mirrors.repeatGain = newValue;
    else if (parameterID == ids::neighborGain)        mirrors.neighborGain = newValue;
    else if (parameterID == ids::gatePercentage)      mirrors.gatePercentage = newValue;
    else if (parameterID == ids::holdMode)            mirrors.holdMode = newValue >= 0.5f;
    else if (parameterID == ids::beatRate)            mirrors.rateIndex = juce::roundToInt (newValue);
    else if (parameterID == ids::controlInput0)       mirrors.controlInput0 = juce::jlimit (-1.0f, 1.0f, newValue);
    else if (parameterID == ids::controlInput1)       mirrors.controlInput1 = juce::jlimit (-1.0f, 1.0f, newValue);
    else if (parameterID == ids::bypassNoteGains)     bypassNoteGains = newValue >= 0.5f;
    else if (parameterID == ids::darkPaletteBias)     mirrors.darkPaletteBias = juce::jlimit (0.0f, 1.0f, newValue);
    else if (parameterID == ids::lightPaletteBias)    mirrors.lightPaletteBias = juce::jlimit (0.0f, 1.0f, newValue);
    else if (parameterID == ids::numSteps)            mirrors.numSteps = juce::jlimit (2, 64, juce::roundToInt (newValue));
    else if (parameterID == ids::pulseTimeShiftStep)  mirrors.pulseTimeShiftStep = juce::roundToInt (newValue);
}

void ArpAudioProcessor::writeBack (const juce::String& parameterID, const juce::var& value)
{
    auto* raw = parameters.getRawParameterValue (parameterID);

    if (raw == nullptr)
        return;

    const auto current = static_cast<double> (raw->load());
    const auto wanted = static_cast<double> (value);

    if (! (current == wanted))
        parameters.getParameterAsValue (parameterID).setValue (value);
}

//==============================================================================
void ArpAudioProcessor::resetBeatPulsePattern()
{
    beatPulseGains.assign (4, 0.0f);

    const float initial[] = { 1.0f, 0.0f, 0.0f, 0.0f };
    for (int i = 0; i < 4; ++i)
        setBeatPulseGain (i, initial[i]);
}

void ArpAudioProcessor::setBeatPulseGain (int stepIndex, float gain)
{
    if (stepIndex < 0 || stepIndex >= 64)
        return;

    const auto index = static_cast<size_t> (stepIndex);

    if (beatPulseGains.size() <= index)
        beatPulseGains.resize (index + 1, 0.0f);

    const auto clamped = juce::jlimit (-1.0f, 1.0f, gain);
    beatPulseGains[index] = clamped;

    if (stepIndex < ids::numBeatPulseParams)
        writeBack (ids::beatPulseGain (stepIndex + 1), static_cast<double> ((clamped + 1.0f) * 0.5f));
}

float ArpAudioProcessor::getBeatPulseGain (int stepIndex) const noexcept
{
    return juce::isPositiveAndBelow (stepIndex, getNumBeatPulseGains()) ? beatPulseGains[static_cast<size_t> (stepIndex)]
                                                                         : 0.0f;
}

} // namespace mur
