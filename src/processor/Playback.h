#pragma once

#include "AccentGains.h"
#include "ArpTypes.h"
#include "HeldNotes.h"
#include "NoteSlots.h"
#include "ParameterMirrors.h"
#include "SharedEngine.h"
#include "TakeRecorder.h"
#include "TransportFollower.h"
#include "engine/NoteSelection.h"
#include "engine/WholeStep.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <bitset>
#include <functional>
#include <vector>

namespace mur
{
namespace test
{
struct ProcessorAccess;
}

// What the arpeggiator chose since the processor was created; read by the
// offline renderer's summary and by tests.
struct PlaybackCounts
{
    Relaxed<std::int64_t> steps = 0, rests = 0, nothing = 0, skipped = 0;
    std::array<Relaxed<std::int64_t>, maxSlots> slots {};
};

using NoteGains = std::array<Relaxed<float>, numOutputs>;

// The values playback follows, owned by the parameter side and written there.
struct PlaybackInputs
{
    const ParameterMirrors& mirrors;
    const NoteGains& noteGains;
    const AccentGains& beatPulseGains;
    const Relaxed<std::int32_t>& arpSeed;
};

// The arpeggiator on the audio thread: the keys and held notes, the clock
// (host-synced grid or free-running countdown), each block's events in order,
// the step tick that asks the network for a note, pending note-offs and note
// previews. It knows nothing of the parameter tree; the mirrors drive it, and
// other threads reach it only through the lock-free requests below.
class Playback
{
public:
    Playback (PlaybackInputs inputs, SharedEngine& engine);

    void prepare (double newSampleRate);

    // One block: keys in, notes out. Everything that is not a note passes
    // through. Allocation-free.
    void process (juce::MidiBuffer& midi, int numSamples, juce::AudioPlayHead* playHead);

    // From any other thread: carried out at the start of the block that takes
    // the setting with it.
    void holdModeChanged (bool nowHolding);
    void rateChanged();
    // Plays a note for a quarter of a second (the editor's note audition).
    void queuePreviewNote (int note, int velocity);

    //==============================================================================
    // Published for the editor, the renderer and tests.
    const HeldNotes& getHeldNotes() const noexcept { return heldNotes; }
    // Note-offs still to come (the renderer plays on until they are out).
    const std::vector<PendingNoteOff>& getPendingNoteOffs() const noexcept { return pendingNoteOffs; }
    float getPublishedProbability (int index) const noexcept;
    // The live hidden units' values after the last step that ran, copied out
    // by the audio thread so that the views never read the engine's own state.
    void copyPublishedState (std::vector<float>& destination) const;
    const PlaybackCounts& getPlaybackCounts() const noexcept { return counts; }
    // The arpeggio's notes with their musical time, for capture.
    const TakeRecorder& getTakeRecorder() const noexcept { return recorder; }
    std::int64_t getPreviousChoice() const noexcept { return noteChooser.previousChoice; }
    double getSampleRate() const noexcept { return sampleRate; }
    // The step length at the newest rate and the last tempo the host gave.
    double getStepSeconds() const noexcept;
    // The host's tempo and position at the last synced block, for the
    // accent ring's time display.
    double getTempoBpm() const noexcept { return tempoBpm; }
    double getHostPpqPosition() const noexcept { return hostPpqPosition; }

    std::atomic<bool> hostPlaying { true };
    std::atomic<std::int32_t> accentStepForDisplay { -1 };
    std::atomic<bool> stepPublished { false };

private:
    friend struct test::ProcessorAccess;

    void takeSettings();
    void readHostPosition (juce::AudioPlayHead* playHead);
    void recordBlockTime();
    void addHostSyncedTicks (int numSamples);
    void addFreeRunningTicks (int numSamples);
    void addEvent (const BlockEvent& event);
    void passThroughOtherMessages (const juce::MidiBuffer& input, int inputEnd);
    void sortBlockEvents();
    void scheduleInThisBlock (EventKind kind, int note, int dueSample);
    void keyDown (int note, int velocity);
    void keyUp (int note);
    void releaseHeldNote (int slot);
    void startClock();
    void noteOffDue (int note, int dueSample, int position);
    void previewOffDue (int note, int dueSample, int position);
    void previewNoteOn (int note, int velocity, int position);
    void stepTick (int position);
    float accentInputForStep (int position) const;
    int freeRunningAccentPosition() const noexcept;
    void advanceFreeRunningAccent();
    int clampedPosition (int position, int numSamples) const noexcept;

    // What the parameter side sets, and this thread's own copy of it, taken
    // whole at the start of a block (never halfway through a load).
    PlaybackInputs source;
    ParameterMirrors mirrors;
    NoteGains noteGains {};
    AccentGains beatPulseGains;
    std::int32_t arpSeed = defaultArpSeed;
    SharedEngine& engine;

    struct TakenSettings
    {
        ParameterMirrors mirrors;
        NoteGains noteGains {};
        AccentGains beatPulseGains;
        std::int32_t arpSeed = defaultArpSeed;
    };
    TakenSettings staging;

    std::vector<PendingNoteOff> pendingNoteOffs;
    std::vector<PendingNoteOff> previewNoteOffs;
    std::vector<BlockEvent> blockEvents;
    juce::MidiBuffer outputMidi;

    juce::AbstractFifo previewFifo { 16 };
    std::array<PreviewRequest, 16> previewRequests {};

    // The note draw's own generator, the seed it last took and the previous choice.
    NoteChooser noteChooser;

    HeldNotes heldNotes;
    NoteSlots slots; // the held notes over the octave range, as the last step saw them
    std::bitset<128> keysDown;
    bool relatchPending = false;
    bool arpRunning = false;

    juce::AudioPlayHead::PositionInfo positionInfo;
    TransportFollower transport;
    double blockStartPpq = 0.0;
    Relaxed<double> hostPpqPosition = 0.0;
    Relaxed<double> tempoBpm = 120.0;
    Relaxed<double> sampleRate = 0.0;
    double stepSeconds = 0.125;
    std::int32_t samplesUntilStep = 0;
    std::int32_t freeRunStepCounter = 0;
    double lastBlockWallClockMs = 0.0;
    bool blockIsHostSynced = false;
    bool stepTakenThisBlock = false;
    int currentBlockLength = 0;
    size_t currentEventIndex = 0;

    // Requests counted by the setters' threads; a block carries out those it
    // has not seen yet once it has taken the settings they came with.
    struct Requests
    {
        std::atomic<std::uint32_t> holdOff { 0 }, keysReset { 0 }, rateChange { 0 };
    };
    Requests requests;
    std::uint32_t seenHoldOff = 0, seenKeysReset = 0, seenRateChange = 0;

    std::array<Relaxed<float>, numOutputs> publishedProbabilities {};
    std::array<Relaxed<float>, maxHiddenUnits> publishedState {};
    Relaxed<int> publishedStateSize = 0;
    StepWorkspace workspace;
    PlaybackCounts counts;
    TakeRecorder recorder;

    // The wall clock (milliseconds) the free-running arpeggio follows; tests
    // replace it.
    std::function<double()> wallClockMs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Playback)
};

} // namespace mur
