#pragma once

#include "AccentPattern.h"
#include "ArpTypes.h"
#include "Playback.h"
#include "Guarded.h"
#include "HostGestures.h"
#include "ParameterIds.h"
#include "ParameterMirrors.h"
#include "engine/NeuralEngine.h"
#include "persistence/PresetLibrary.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <bitset>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace mur
{
namespace test
{
struct ProcessorAccess;
}

// The host-facing processor: parameters, arpeggiator, network and presets of
// one plug-in instance. Its product is MIDI; the audio output is silence.
class ArpAudioProcessor : public juce::AudioProcessor,
                          public juce::ChangeBroadcaster,
                          public juce::AudioProcessorValueTreeState::Listener
{
public:
    ArpAudioProcessor();
    ~ArpAudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override { return "MUR"; }

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    // Nothing is freed; the thread that processed blocks is no longer taken
    // for the audio thread (a host may go on to call from it as from any other).
    void releaseResources() override { audioThreadId.store ({}, std::memory_order_relaxed); }
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

    // The setters: each stores its mirror, forwards the value and writes it
    // back into the parameter tree when the tree holds another value (so the
    // host and the undo history see editor edits). Values outside a
    // parameter's range end at its nearest limit; non-finite values are ignored.
    void setLeakRate (float);
    void setRecurrenceScale (float);
    void setFeedbackScale (float);
    void setNoiseAmount (float);
    void setHiddenSize (int);
    void setActivationGain (float);
    void setBiasGain (float);
    void setSoftmaxGain (float);
    void setRepeatGain (float);
    void setNeighborGain (float);
    void setGatePercentage (double);
    void setHoldMode (bool);
    void setBeatRate (int);
    void setControlInput (int index, float);
    void setBypassNoteGains (bool);
    void setDarkPaletteBias (float);
    void setLightPaletteBias (float);
    void setNoteGain (int index, float);
    void resetNoteGains();

    // Accent pattern.
    void setPulseTimeShift (float);
    void setPulseGain (float);
    void setNumSteps (int);
    void setStartStep (int);
    void setBeatPulseGain (int stepIndex, float gain);
    float getBeatPulseGain (int stepIndex) const noexcept;
    void ensureBeatPulseGainCount (int count);
    int getNumBeatPulseGains() const noexcept { return beatPulseGains.size(); }

    // Asks an open editor to recompute its palette colours.
    void notifyColorsNeedUpdate();

    // Draws a new seed and a new network from it (the editor's Reseed). The
    // coefficients, the active size and all parameters stay as they are.
    void reseed();
    void reseed (std::int32_t seed);

    //==============================================================================
    // The state document: XML settings, a zero byte, a marker and the network.
    // Presets are the same document without hold mode and gate length.
    void writeStateDocument (juce::MemoryBlock& destination, bool includeTransportSettings) const;
    void readStateDocument (const void* data, size_t sizeInBytes, const juce::String& presetName,
                            bool includeTransportSettings);
    // The earlier form: the parameter tree in JUCE's binary XML.
    void readLegacyState (const void* data, int sizeInBytes);

    // Presets.
    const PresetLibrary& getPresetLibrary() const noexcept { return presetLibrary; }
    void ensurePresetFolders() { presetLibrary.ensureFolders(); }
    void savePreset (const juce::File& file);
    void loadPresetFile (const juce::File& file);
    juce::File findPresetFile (const juce::String& presetName) const { return presetLibrary.find (presetName); }
    void syncCurrentPresetFolder();
    juce::Array<juce::File> listPresetsInCurrentFolder() const { return PresetLibrary::list (currentPresetFolder.get()); }
    juce::File loadDialogFolder() const { return presetLibrary.loadDialogFolder (currentPresetFolder.get()); }
    juce::File saveDialogFolder() const { return presetLibrary.saveDialogFolder (currentPresetFolder.get()); }
    // Loads the preset after (or before) the displayed one in the current
    // folder, wrapping around; returns the file loaded, if any.
    juce::File loadAdjacentPreset (const juce::String& displayedName, bool next);
    juce::String getCurrentPresetName() const { return currentPresetName.get(); }
    juce::File getCurrentPresetFolder() const { return currentPresetFolder.get(); }

    // Undo history of the parameters.
    void beginUndoTransaction() { undoManager.beginNewTransaction(); }

    // One user action in the editor (a drag from press to release, a click, a
    // typed value, a preset step): one undo transaction, and one host gesture
    // on each parameter it changes. Message thread only; actions may nest.
    void beginUserAction();
    void endUserAction();

    class ScopedUserAction
    {
    public:
        explicit ScopedUserAction (ArpAudioProcessor& p) : processor (p) { processor.beginUserAction(); }
        ~ScopedUserAction() { processor.endUserAction(); }

    private:
        ArpAudioProcessor& processor;
        JUCE_DECLARE_NON_COPYABLE (ScopedUserAction)
    };
    void undo();
    void redo();
    bool canUndo() const { return undoManager.canUndo(); }
    bool canRedo() const { return undoManager.canRedo(); }

    // The XY pad's remembered positions and the Inertia/Echo link.
    std::vector<XYCheckpoint> getXYCheckpoints() const { return xyCheckpoints.get(); }
    void setXYCheckpoints (std::vector<XYCheckpoint> checkpoints) { xyCheckpoints.set (std::move (checkpoints)); }
    bool getLinkLeakRecurrence() const noexcept { return linkLeakRecurrence; }
    void setLinkLeakRecurrence (bool shouldLink) { linkLeakRecurrence = shouldLink; }

    //==============================================================================
    juce::AudioProcessorValueTreeState& getParameterTree() noexcept { return parameters; }
    juce::UndoManager& getUndoManager() noexcept { return undoManager; }

    const ParameterMirrors& getMirrors() const noexcept { return mirrors; }
    float getNoteGain (int index) const noexcept;
    bool getBypassNoteGains() const noexcept { return bypassNoteGains; }
    std::int32_t getArpSeed() const noexcept { return arpSeed; }
    const NeuralEngine& getEngine() const noexcept { return engine.get(); }
    Playback& getPlayback() noexcept { return playback; }
    const Playback& getPlayback() const noexcept { return playback; }

    std::shared_ptr<std::atomic<bool>> getAliveFlag() const noexcept { return aliveFlag; }

private:
    friend struct test::ProcessorAccess;
    friend struct ParameterAccess;
    class MessageThreadTasks;

    // Parameter dispatch.
    void writeBack (int parameterIndex, double value);
    bool isAudioThread() const noexcept;
    void setPaletteBias (Relaxed<float>& mirror, int parameterIndex, float value);
    void performDeferredWriteBacks();
    void catchUpTree();
    void beginLoadTransaction();
    void sendChangeNotification();
    float limitToRange (int parameterIndex, float value) const noexcept;
    bool storeInRange (Relaxed<float>& mirror, int parameterIndex, float value) noexcept;
    void setPatternGainFromHost (int step, float value) noexcept;
    void setNoteGainFromParameter (int index, float value) noexcept;
    void resetBeatPulsePattern();
    void resetAccentParametersFrom (int count);
    void applyDocumentSettings (const juce::XmlElement& root, bool includeTransportSettings);
    void applyStoredNetworkBlock (NeuralEngine& network, const juce::uint8* data, size_t size);
    void applyLegacyParameterTree (const juce::ValueTree& tree);
    void postChangeNotification() { parameterChangePending.store (true, std::memory_order_release); }

    //==============================================================================
    // Declaration order is destruction order in reverse; the undo manager is
    // declared before the parameter tree that keeps a pointer to it.
    juce::UndoManager undoManager { 30000, 30 };
    juce::AudioProcessorValueTreeState parameters;
    std::array<juce::RangedAudioParameter*, ids::numParameters> parameterByIndex {};
    std::array<std::atomic<float>*, ids::numParameters> rawValueByIndex {};
    HostGestures gestures { parameterByIndex };
    // The thread the host last called processBlock on, until it releases
    // its resources.
    std::atomic<std::thread::id> audioThreadId {};
    // The thread loading a state or preset, while it does.
    std::atomic<std::thread::id> loadingThread {};

    class ScopedLoad
    {
    public:
        explicit ScopedLoad (ArpAudioProcessor& p)
            : owner (p), previous (p.loadingThread.exchange (std::this_thread::get_id())) {}
        ~ScopedLoad() { owner.loadingThread.store (previous); }

    private:
        ArpAudioProcessor& owner;
        std::thread::id previous;
    };

    ParameterMirrors mirrors;
    NoteGains noteGains {};
    Relaxed<bool> bypassNoteGains = false;

    Relaxed<std::int32_t> arpSeed = defaultArpSeed;

    // Requests carried between threads without locks.
    std::atomic<bool> parameterChangePending { false };
    std::atomic<bool> coloursNeedUpdate { false };
    std::atomic<bool> deferredWritesPending { false };
    std::atomic<bool> treeCatchUpPending { false };
    std::atomic<bool> undoClearPending { false };
    std::array<std::atomic<bool>, ids::numParameters> deferredWriteFlags {};
    std::array<std::atomic<double>, ids::numParameters> deferredWriteValues {};

    BeatPulseGains beatPulseGains;

    SharedEngine engine;
    Playback playback { { mirrors, noteGains, beatPulseGains, arpSeed }, engine };

    PresetLibrary presetLibrary;
    // A host may restore its project on a thread of its own while the editor
    // reads these.
    Guarded<juce::String> currentPresetName;
    Guarded<juce::File> currentPresetFolder;
    Guarded<std::vector<XYCheckpoint>> xyCheckpoints;
    bool linkLeakRecurrence = false;

    std::shared_ptr<std::atomic<bool>> aliveFlag;


    std::unique_ptr<MessageThreadTasks> messageThreadTasks;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessor)
};

} // namespace mur
