#include "ArpAudioProcessor.h"

#include "processor/ParameterLayout.h"
#include "processor/ParameterTable.h"
#include "editor/ArpAudioProcessorEditor.h"

namespace mur
{

// Work that must happen on the message thread but may be requested from the
// audio thread: parameter write-backs, the coalesced change notification and
// the palette refresh. The audio thread only raises atomic flags; this timer
// picks them up, so nothing is allocated, locked or posted from there.
class ArpAudioProcessor::MessageThreadTasks final : private juce::Timer
{
public:
    explicit MessageThreadTasks (ArpAudioProcessor& p) : owner (p) { startTimer (15); }
    ~MessageThreadTasks() override { stopTimer(); }

private:
    void timerCallback() override
    {
        if (owner.aliveFlag->load())
            owner.runMessageThreadTasks();
    }

    ArpAudioProcessor& owner;
};

void ArpAudioProcessor::runMessageThreadTasks()
{
    bridge.catchUpTree();
    bridge.performDeferredWriteBacks();

    // New palette colours are a change like any other.
    if (bridge.takeChangeNotification() | settings.takeColoursChanged())
        sendChangeMessage();
}

//==============================================================================
ArpAudioProcessor::ArpAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, &undoManager, "ArpParameters", createParameterLayout())
{
    // Built here, before any audio thread could be the one to build it: every
    // parameter change looks its ID up.
    parameterIndexOf (ids::at (0));

    for (const auto& id : ids::all())
        parameters.addParameterListener (id, this);

    undoManager.clearUndoHistory();
    messageThreadTasks = std::make_unique<MessageThreadTasks> (*this);
}

ArpAudioProcessor::~ArpAudioProcessor()
{
    // A host may release the last reference from a thread of its own (JUCE's
    // VST3 wrapper on Linux can, from the edit controller) while the
    // plug-in's message thread runs this processor's timers and those of its
    // parameter tree: they wait until everything is gone.
    if (juce::MessageManager::getInstanceWithoutCreating() != nullptr
        && ! juce::MessageManager::existsAndIsCurrentThread())
        messageThreadLock.emplace();

    aliveFlag->store (false);

    for (const auto& id : ids::all())
        parameters.removeParameterListener (id, this);
}

//==============================================================================
void ArpAudioProcessor::prepareToPlay (double newSampleRate, int)
{
    playback.prepare (newSampleRate);
}

void ArpAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;
    bridge.markAudioThread();
    buffer.clear();
    playback.process (midi, buffer.getNumSamples(), getPlayHead());
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

//==============================================================================
void ArpAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    stateDocument.write (destData, true);
}

void ArpAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (stateDocument.restore (data, sizeInBytes))
        presets.syncCurrentPresetFolder();

    // Restored on a host's own thread, the tree catches up on the message
    // thread as soon as it can: its undo step must begin before the parameter
    // tree's own timer copies the new values into whatever edit is open.
    if (! juce::MessageManager::existsAndIsCurrentThread())
        juce::MessageManager::callAsync ([this, alive = aliveFlag]
        {
            if (alive->load())
                bridge.catchUpTree();
        });
}

void ArpAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    // Found by position, without allocating: this also runs on the audio thread.
    if (const auto index = parameterIndexOf (parameterID); index >= 0)
    {
        const auto& spec = parameterTable()[static_cast<size_t> (index)];
        spec.apply (settings, spec.familyIndex, newValue);
    }

    bridge.postChangeNotification();
}

} // namespace mur
