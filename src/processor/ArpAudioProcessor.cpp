#include "ArpAudioProcessor.h"

#include "ParameterLayout.h"
#include "ParameterTable.h"
#include "StepTiming.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "engine/NetworkShaping.h"

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
        if (! owner.aliveFlag->load())
            return;

        owner.catchUpTree();
        owner.performDeferredWriteBacks();

        if (owner.parameterChangePending.exchange (false, std::memory_order_acq_rel))
            owner.sendChangeMessage();

        if (owner.coloursNeedUpdate.exchange (false, std::memory_order_acq_rel))
            if (auto* editor = dynamic_cast<ArpAudioProcessorEditor*> (owner.getActiveEditor()))
                editor->paletteChanged();
    }

    ArpAudioProcessor& owner;
};

//==============================================================================
ArpAudioProcessor::ArpAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, &undoManager, "ArpParameters", createParameterLayout())
{
    // Looked up once: every parameter change uses these, also on the audio
    // thread (which must not be the one to build the ID lookup either).
    parameterIndexOf (ids::all()[0]);
    for (int i = 0; i < ids::numParameters; ++i)
    {
        parameterByIndex[static_cast<size_t> (i)] = parameters.getParameter (ids::all()[i]);
        rawValueByIndex[static_cast<size_t> (i)] = parameters.getRawParameterValue (ids::all()[i]);
    }

    // The mirrors start at their pre-engine values (see ParameterMirrors).
    aliveFlag = std::make_shared<std::atomic<bool>> (true);


    for (const auto& id : ids::all())
        parameters.addParameterListener (id, this);

    resetBeatPulsePattern();

    // The engine now runs at the parameter defaults; so do its mirrors.
    mirrors.leakRate = 1.0f;
    mirrors.recurrenceScale = 1.0f;
    mirrors.feedbackScale = 1.0f;
    mirrors.hiddenSize = 5;
    mirrors.activationGain = 1.0f;
    mirrors.biasGain = 1.0f;
    mirrors.softmaxGain = 1000.0f;

    for (size_t i = 0; i < noteGains.size(); ++i)
        noteGains[i] = i == 0 ? 0.0f : 0.5f;

    resetBeatPulsePattern();

    presetLibrary.ensureFolders();
    currentPresetFolder.set (presetLibrary.presetsFolder());

    undoManager.clearUndoHistory();

    messageThreadTasks = std::make_unique<MessageThreadTasks> (*this);
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
    playback.prepare (newSampleRate);
}

// Recorded in every block: it must never take a lock.
static_assert (std::atomic<std::thread::id>::is_always_lock_free);

void ArpAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    juce::ScopedNoDenormals noDenormals;
    audioThreadId.store (std::this_thread::get_id(), std::memory_order_relaxed);
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
void ArpAudioProcessor::reseed()
{
    reseed (static_cast<std::int32_t> (static_cast<std::uint32_t> (juce::Random::getSystemRandom().nextInt64())));
}

void ArpAudioProcessor::reseed (std::int32_t seed)
{
    arpSeed = seed;
    const SharedEngine::ScopedAccess access (engine);
    reseedNetwork (*access, static_cast<std::uint32_t> (seed));
}

void ArpAudioProcessor::beginLoadTransaction()
{
    // The undo history belongs to the message thread; a load on another
    // thread gets its transaction when the tree catches up there.
    if (juce::MessageManager::existsAndIsCurrentThread())
        undoManager.beginNewTransaction();
}

void ArpAudioProcessor::catchUpTree()
{
    if (! treeCatchUpPending.exchange (false, std::memory_order_acq_rel))
        return;

    // Values set directly on the parameters reach the tree in a transaction
    // of their own, so one undo takes back the whole load; the earlier
    // state form starts a fresh history instead.
    undoManager.beginNewTransaction();
    parameters.copyState();
    undoManager.beginNewTransaction();

    if (undoClearPending.exchange (false, std::memory_order_acq_rel))
        undoManager.clearUndoHistory();
}

void ArpAudioProcessor::beginUserAction()
{
    if (gestures.begin())
        undoManager.beginNewTransaction();
}

void ArpAudioProcessor::endUserAction()
{
    gestures.end();
}

void ArpAudioProcessor::undo()
{
    if (undoManager.canUndo() && ! undoManager.undo())
        undoManager.clearUndoHistory();

    undoManager.beginNewTransaction();
}

void ArpAudioProcessor::redo()
{
    if (undoManager.canRedo() && ! undoManager.redo())
        undoManager.clearUndoHistory();

    undoManager.beginNewTransaction();
}

float ArpAudioProcessor::getNoteGain (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numOutputs) ? noteGains[static_cast<size_t> (index)].get() : 0.0f;
}


} // namespace mur
