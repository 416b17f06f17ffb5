#pragma once

#include "processor/ParameterBridge.h"
#include "processor/Playback.h"
#include "processor/TakeBuilder.h"
#include "processor/Settings.h"
#include "processor/SharedEngine.h"
#include "persistence/EditorConnection.h"
#include "persistence/PresetLibrary.h"
#include "persistence/StateDocument.h"
#include "persistence/UndoHistory.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>
#include <optional>

namespace mur
{
namespace test
{
struct ProcessorAccess;
}

// Holds the message thread for as long as a processor is being destroyed on
// another thread. As the first base it goes last, after every member.
struct MessageThreadHold
{
    std::optional<juce::MessageManagerLock> messageThreadLock;
};

// The host-facing processor of one plug-in instance: a thin adapter that owns
// the pieces and connects them to the host. Its product is MIDI; the audio
// output is silence.
//
//   Settings        what the musician set (mirrors, gains, pattern, seed)
//   Playback        keys, clock, steps and notes on the audio thread
//   SharedEngine    the network, shared between the threads
//   ParameterBridge the parameter tree, host gestures and deferred writes
//   StateDocument   the saved state; Presets the preset files
//   UndoHistory     the editor's undo and redo
class ArpAudioProcessor : private MessageThreadHold,
                          public juce::AudioProcessor,
                          public juce::ChangeBroadcaster,
                          public juce::AudioProcessorValueTreeState::Listener,
                          public EditorConnection
{
public:
    ArpAudioProcessor();
    ~ArpAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override { return "MUR"; }

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    // Nothing is freed; the thread that processed blocks is no longer taken
    // for the audio thread (a host may go on to call from it as from any other).
    void releaseResources() override { bridge.releaseAudioThread(); }
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    double getTailLengthSeconds() const override { return 0.0; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return true; }
    bool supportsMPE() const override { return false; }
    bool isMidiEffect() const override { return false; }

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    // Every parameter change, from the host, the editor or a state load.
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    // What the editor reaches.
    juce::AudioProcessor& getAudioProcessor() noexcept override { return *this; }
    juce::ChangeBroadcaster& getChangeBroadcaster() noexcept override { return *this; }
    Settings& getSettings() noexcept override { return settings; }
    const Settings& getSettings() const noexcept { return settings; }
    Playback& getPlayback() noexcept override { return playback; }
    const Playback& getPlayback() const noexcept { return playback; }
    const NeuralEngine& getEngine() const noexcept { return engine.get(); }
    const SharedEngine& getSharedEngine() const noexcept override { return engine; }
    StateDocument& getStateDocument() noexcept { return stateDocument; }
    Presets& getPresets() noexcept override { return presets; }
    const Presets& getPresets() const noexcept { return presets; }
    UndoHistory& getHistory() noexcept override { return history; }
    TakeBuilder& getCapturedTake() noexcept override { return capturedTake; }

    juce::AudioProcessorValueTreeState& getParameterTree() noexcept { return parameters; }
    juce::UndoManager& getUndoManager() noexcept { return undoManager; }

    // Lets work posted to the message thread find out whether the processor
    // is still there.
    std::shared_ptr<std::atomic<bool>> getAliveFlag() const noexcept { return aliveFlag; }

private:
    friend struct test::ProcessorAccess;
    class MessageThreadTasks;
    void runMessageThreadTasks();

    //==============================================================================
    // Declaration order is construction order: the undo manager before the
    // tree that keeps a pointer to it, the tree before its bridge, and the
    // settings before the playback that reads them.
    juce::UndoManager undoManager { 30000, 30 };
    juce::AudioProcessorValueTreeState parameters;
    ParameterBridge bridge { parameters, undoManager };

    SharedEngine engine;
    Settings settings { bridge, engine, playback };
    Playback playback { settings.playbackInputs(), engine };

    StateDocument stateDocument { settings, engine, bridge };
    Presets presets { stateDocument, bridge };
    UndoHistory history { undoManager, bridge.getGestures() };
    // The latest take, gathered on the message thread while an editor is open.
    TakeBuilder capturedTake;

    std::shared_ptr<std::atomic<bool>> aliveFlag = std::make_shared<std::atomic<bool>> (true);
    std::unique_ptr<MessageThreadTasks> messageThreadTasks;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessor)
};

} // namespace mur
