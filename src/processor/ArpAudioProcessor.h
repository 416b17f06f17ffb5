#pragma once

#include "ArpTypes.h"
#include "ParameterMirrors.h"
#include "engine/NeuralEngine.h"
#include "engine/NoteSelection.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <bitset>
#include <memory>
#include <vector>

namespace mur
{

inline constexpr int numInputs = 54;
inline constexpr int maxSlots = 50;
inline constexpr int numOutputs = 51;
inline constexpr int defaultArpSeed = 12345;

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
    void releaseResources() override {}
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
    void parameterChanged (const juce::String& parameterID, float newValue) override;

    juce::AudioProcessorValueTreeState& getParameterTree() noexcept { return parameters; }
    juce::UndoManager& getUndoManager() noexcept { return undoManager; }

    const ParameterMirrors& getMirrors() const noexcept { return mirrors; }
    float getNoteGain (int index) const noexcept;
    bool getBypassNoteGains() const noexcept { return bypassNoteGains; }
    std::int32_t getArpSeed() const noexcept { return arpSeed; }
    const NeuralEngine& getEngine() const noexcept { return *engine; }
    std::int64_t getPreviousChoice() const noexcept { return noteChooser.previousChoice; }

    // Draws a new seed and a new network from it (the editor's Reseed). The
    // coefficients, the active size and all parameters stay as they are.
    void reseed();
    double getSampleRate() const noexcept { return sampleRate; }
    double getStepSeconds() const noexcept { return stepSeconds; }
    std::int32_t getSamplesUntilStep() const noexcept { return samplesUntilStep; }

    // Accent pattern.
    void setBeatPulseGain (int stepIndex, float gain);
    float getBeatPulseGain (int stepIndex) const noexcept;
    int getNumBeatPulseGains() const noexcept { return static_cast<int> (beatPulseGains.size()); }

    // Published for the editor.
    std::atomic<bool> hostPlaying { true };
    std::atomic<std::int32_t> accentStepForDisplay { -1 };
    std::atomic<bool> stepPublished { false };

    std::shared_ptr<std::atomic<bool>> getAliveFlag() const noexcept { return aliveFlag; }

private:
    // Writes a value into the parameter tree (recorded for undo) when the tree
    // holds a different one.
    void writeBack (const juce::String& parameterID, const juce::var& value);
    void resetBeatPulsePattern();

    //==============================================================================
    // Declaration order is destruction order in reverse; the undo manager is
    // declared before the parameter tree that keeps a pointer to it.
    std::vector<PendingNoteOff> pendingNoteOffs;
    std::vector<PendingNoteOff> previewNoteOffs;
    std::vector<BlockEvent> blockEvents;

    juce::AbstractFifo previewFifo { 16 };
    std::array<PreviewRequest, 16> previewRequests {};

    juce::UndoManager undoManager { 30000, 30 };
    juce::AudioProcessorValueTreeState parameters;

    ParameterMirrors mirrors;
    std::array<float, numOutputs> noteGains {};
    bool bypassNoteGains = false;

    std::int32_t arpSeed = defaultArpSeed;
    // The note draw's own generator, the seed it last took and the previous choice.
    NoteChooser noteChooser;

    std::bitset<128> keysDown;
    bool relatchPending = false;
    bool arpRunning = false;

    juce::AudioPlayHead::CurrentPositionInfo positionInfo;
    double tempoBpm = 120.0;
    double sampleRate = 0.0;
    double stepSeconds = 0.125;
    std::int32_t samplesUntilStep = 0;
    std::int32_t freeRunStepCounter = 0;
    double lastBlockWallClockMs = 0.0;
    bool hasPlayHead = false;
    bool stepTakenThisBlock = false;
    std::atomic<bool> parameterChangePending { false };

    std::unique_ptr<NeuralEngine> engine;
    std::array<float, numOutputs> publishedProbabilities {};
    std::vector<float> beatPulseGains;

    juce::String currentPresetName;
    juce::String currentPresetFolder;
    std::vector<XYCheckpoint> xyCheckpoints;
    bool linkLeakRecurrence = false;

    std::shared_ptr<std::atomic<bool>> aliveFlag;

    std::vector<HeldNote> heldNotes;

    std::vector<float> networkInput, networkOutput, noteProbabilities;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessor)
};

} // namespace mur
