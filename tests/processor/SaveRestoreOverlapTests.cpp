#include "AllocationCounter.h"
#include "PlaybackHelpers.h"
#include "plugin/ArpAudioProcessor.h"

#include <future>
#include <thread>

// A host saves or restores on a thread of its own while the transport plays.
// Held at its worst point for as long as it takes to play several steps, the
// save or restore must leave the arpeggio exactly as a session in which it
// happened between two blocks: no step dropped, no step that mixes old and
// new settings.
namespace mur
{
namespace
{

constexpr double sampleRate = 48000.0;
constexpr std::int64_t sessionSamples = 96000;

// C, E and G from sample 0, the transport at ppq 0 and 120 BPM.
const std::vector<test::TimedMessage> chord { test::on (0, 60), test::on (0, 64, 90), test::on (0, 67, 80) };

// A state unlike the defaults in everything a step reads.
juce::MemoryBlock otherState()
{
    ArpAudioProcessor source;
    auto& s = source.getSettings();
    s.reseed (4242);
    s.setBeatRate (4);
    s.setGatePercentage (80.0);
    s.setHiddenSize (12);
    s.setLeakRate (0.3f);
    s.setSoftmaxGain (3.0f);
    s.setNoteGain (2, 0.9f);
    s.setNumSteps (3);
    juce::MemoryBlock state;
    source.getStateInformation (state);
    return state;
}

// A host playing from ppq 0 in blocks of one size, with the chord held.
struct Session
{
    explicit Session (int blockSize) : block (blockSize), audio (2, blockSize)
    {
        midi.ensureSize (4096);
        processor.setPlayHead (&playHead);
        processor.prepareToPlay (sampleRate, blockSize);
    }

    ~Session() { processor.setPlayHead (nullptr); }

    // Plays whole blocks up to `end`, counting what the processor allocates.
    void playUntil (std::int64_t end)
    {
        for (; position < end; position += block)
        {
            midi.clear();
            for (const auto& m : chord)
                if (m.sample >= position && m.sample < position + block)
                    midi.addEvent (m.message, static_cast<int> (m.sample - position));

            playHead.ppqPosition = static_cast<double> (position) / sampleRate * 2.0;
            {
                test::ScopedAllocationCounter counter;
                processor.processBlock (audio, midi);
                allocations += counter.count();
            }

            for (const auto metadata : midi)
                output.push_back ({ position + metadata.samplePosition, metadata.getMessage() });
        }
    }

    int block;
    ArpAudioProcessor processor;
    render::SimulatedPlayHead playHead;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
    std::int64_t position = 0;
    std::vector<test::TimedMessage> output;
    std::size_t allocations = 0;
};

// Holds a thread at a hook until released; the hook passes only once.
class Gate
{
public:
    std::function<void()> hook()
    {
        return [this]
        {
            if (std::exchange (passed, true))
                return;
            reached.set_value();
            released.get_future().wait();
        };
    }

    void waitUntilReached() { reached.get_future().wait(); }
    void release() { released.set_value(); }

private:
    bool passed = false;
    std::promise<void> reached, released;
};

std::vector<std::pair<std::int64_t, juce::String>> events (const std::vector<test::TimedMessage>& output)
{
    std::vector<std::pair<std::int64_t, juce::String>> result;
    for (const auto& m : output)
        result.emplace_back (m.sample, m.message.getDescription());
    return result;
}

TEST (SaveRestoreOverlap, ARestoreHeldWhilePlayingLandsWholeAtTheNextBlock)
{
    const auto state = otherState();

    for (const auto blockSize : { 64, 512 })
    {
        // Several steps play while the restore is held.
        const auto heldUntil = static_cast<std::int64_t> (blockSize) * (30000 / blockSize);

        Session reference (blockSize);
        reference.playUntil (heldUntil);
        reference.processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
        reference.playUntil (sessionSamples);

        Session overlapped (blockSize);
        Gate gate;
        test::ProcessorAccess::pauseLoadsBeforeHandOver (overlapped.processor, gate.hook());
        std::thread hostThread ([&] { overlapped.processor.setStateInformation (state.getData(), static_cast<int> (state.getSize())); });
        gate.waitUntilReached();
        overlapped.playUntil (heldUntil);
        gate.release();
        hostThread.join();
        overlapped.playUntil (sessionSamples);

        const auto expected = events (reference.output);
        EXPECT_GT (test::noteOnTimes (reference.output).size(), 10u);
        EXPECT_EQ (test::noteOnTimes (reference.output).front(), 0);
        EXPECT_EQ (events (overlapped.output), expected) << "blocks of " << blockSize;
        EXPECT_EQ (overlapped.processor.getPlayback().getPlaybackCounts().skipped.get(),
                   reference.processor.getPlayback().getPlaybackCounts().skipped.get());
        EXPECT_EQ (overlapped.allocations, 0u);
    }
}

TEST (SaveRestoreOverlap, ASaveHeldWhilePlayingNeitherStopsTheArpeggioNorMixesStates)
{
    for (const auto blockSize : { 64, 512 })
    {
        const auto heldUntil = static_cast<std::int64_t> (blockSize) * (30000 / blockSize);

        // The reference saves between two blocks, at the moment the held save
        // is let go.
        Session reference (blockSize);
        reference.playUntil (heldUntil);
        juce::MemoryBlock expectedState;
        reference.processor.getStateInformation (expectedState);
        reference.playUntil (sessionSamples);

        Session overlapped (blockSize);
        Gate gate;
        test::ProcessorAccess::pauseSavesWhileCopying (overlapped.processor, gate.hook());
        juce::MemoryBlock saved;
        std::thread hostThread ([&] { overlapped.processor.getStateInformation (saved); });
        gate.waitUntilReached();
        overlapped.playUntil (heldUntil);
        gate.release();
        hostThread.join();
        overlapped.playUntil (sessionSamples);

        EXPECT_EQ (events (overlapped.output), events (reference.output)) << "blocks of " << blockSize;
        EXPECT_EQ (test::noteOnTimes (overlapped.output).front(), 0);
        EXPECT_EQ (overlapped.processor.getPlayback().getPlaybackCounts().skipped.get(), 0);
        EXPECT_TRUE (saved == expectedState) << "blocks of " << blockSize;
        EXPECT_EQ (overlapped.allocations, 0u);
    }
}

} // namespace
} // namespace mur
