#include "PlaybackHelpers.h"
#include "plugin/ArpAudioProcessor.h"

namespace mur
{
namespace
{

using render::OfflineHost;
using test::off;
using test::on;

// Presses keys while the transport is stopped, then starts it at ppq 0:
// from there the host grid drives the steps.
std::vector<render::TimedMessage> playFromZero (ArpAudioProcessor& processor, int blockSize, std::int64_t length,
                                                std::initializer_list<int> notes)
{
    OfflineHost host (processor, 44100.0, blockSize);
    host.setPlaying (false);

    std::vector<render::TimedMessage> keys;
    for (auto n : notes)
        keys.push_back (on (0, n));
    host.processBlock (1, keys);

    const auto start = host.getSamplePosition();
    host.setPlaying (true);
    host.setPpqPosition (0.0);
    host.run (length, blockSize);

    auto output = host.takeOutput();
    for (auto& m : output)
        m.sample -= start;
    return output;
}

TEST (HostSyncedClock, SixteenthsAt120BpmLandOnTheCeilingOfTheGrid)
{
    for (int blockSize : { 1, 17, 64, 512, 4096 })
    {
        ArpAudioProcessor processor;
        const auto output = playFromZero (processor, blockSize, 20000, { 60, 64, 67 });

        const std::vector<std::int64_t> expectedOns { 0, 5513, 11025, 16538 };
        EXPECT_EQ (test::noteOnTimes (output), expectedOns) << "block size " << blockSize;

        std::vector<std::int64_t> offs;
        for (const auto& m : output)
            if (m.message.isNoteOff())
                offs.push_back (m.sample);

        const std::vector<std::int64_t> expectedOffs { 2756, 5513 + 2756, 11025 + 2756, 16538 + 2756 };
        EXPECT_EQ (offs, expectedOffs) << "block size " << blockSize;
    }
}

TEST (HostSyncedClock, GridPointAtTheBlockStartTicksAtSampleZero)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 48000.0, 256);
    host.setPlaying (false);
    host.processBlock (16, { on (0, 62) });

    host.setPlaying (true);
    host.setPpqPosition (0.75);
    const auto blockStart = host.getSamplePosition();
    host.processBlock (256);

    const auto ons = test::noteOnTimes (host.getOutput());
    ASSERT_EQ (ons.size(), 1u);
    EXPECT_EQ (ons[0], blockStart);
}

TEST (HostSyncedClock, AChordStartingOnAGridPointPlaysThatPoint)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 512);
    host.setPlaying (true);
    host.setPpqPosition (1.0);
    host.processBlock (512, { on (0, 60), on (0, 64) });

    const auto ons = test::noteOnTimes (host.getOutput());
    ASSERT_EQ (ons.size(), 1u);
    EXPECT_EQ (ons[0], 0);
}

TEST (FreeRunningClock, FirstNoteOneStepAfterTheKeyThenOnePerStep)
{
    ArpAudioProcessor processor;
    double nowMs = 1000.0;
    test::ProcessorAccess::setWallClock (processor, [&nowMs] { return nowMs; });

    OfflineHost host (processor, 48000.0, 480);
    host.setPlaying (false);

    std::vector<render::TimedMessage> keys { on (0, 60) };
    for (int block = 0; block < 100; ++block)
    {
        host.processBlock (480, keys);
        nowMs += 10.0;
    }

    // One sixteenth at 120 BPM is 6000 samples.
    const auto ons = test::noteOnTimes (host.getOutput());
    ASSERT_GE (ons.size(), 7u);
    EXPECT_GE (ons[0], 6000);
    EXPECT_LE (ons[0], 6000 + 480);

    for (size_t i = 1; i < ons.size(); ++i)
        EXPECT_NEAR (static_cast<double> (ons[i] - ons[i - 1]), 6000.0, 1.0);
}

TEST (FreeRunningClock, AnIdleGapIsSqueezedIntoTheNextBlock)
{
    for (double gate : { 50.0, 100.0 })
    {
        ArpAudioProcessor processor;
        processor.getSettings().setGatePercentage (gate);
        double nowMs = 1000.0;
        test::ProcessorAccess::setWallClock (processor, [&nowMs] { return nowMs; });

        OfflineHost host (processor, 48000.0, 480);
        host.setPlaying (false);

        // Run an arpeggio briefly, release, then stay idle for ten seconds.
        for (int block = 0; block < 40; ++block, nowMs += 10.0)
            host.processBlock (480, { on (0, 60), off (30 * 480, 60) });

        nowMs += 10000.0;
        host.processBlock (480, { on (host.getSamplePosition(), 64) });
        host.takeOutput();

        nowMs += 10.0;
        const auto squeezedStart = host.getSamplePosition();
        host.processBlock (480);
        const auto ons = test::noteOnTimes (host.getOutput());

        for (auto t : ons)
        {
            EXPECT_GE (t, squeezedStart);
            EXPECT_LT (t, squeezedStart + 480);
        }

        // About ten seconds of sixteenths (80) fell due at once.
        if (gate < 100.0)
            EXPECT_EQ (ons.size(), 1u);
        else
            EXPECT_NEAR (static_cast<double> (ons.size()), 80.0, 2.0);
    }
}

TEST (HeldNotes, ReleasingAKeyRenumbersTheSlotsAndTheLastNoteStillEnds)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 128);
    host.setPlaying (false);

    host.run (5000, 128, { on (0, 60), on (10, 64), on (20, 67), off (4000, 64) });
    ASSERT_EQ (processor.getPlayback().getHeldNotes().size(), 2);
    EXPECT_EQ (processor.getPlayback().getHeldNotes()[0].note, 60);
    EXPECT_EQ (processor.getPlayback().getHeldNotes()[1].note, 67);

    host.takeOutput();
    host.run (60000, 128);
    for (auto note : test::noteOnPitches (host.getOutput()))
        EXPECT_TRUE (note == 60 || note == 67) << note;

    host.run (100, 128, { off (host.getSamplePosition() + 10, 60), off (host.getSamplePosition() + 10, 67) });
    EXPECT_TRUE (processor.getPlayback().getHeldNotes().isEmpty());
    host.run (30000, 128);

    test::NoteLedger ledger;
    ledger.add (host.getOutput());
    EXPECT_TRUE (ledger.sounding.empty());
    EXPECT_EQ (ledger.offsForSilentNotes, 0);

    const auto lastOn = test::noteOnTimes (host.getOutput()).back();
    host.takeOutput();
    host.run (30000, 128);
    EXPECT_TRUE (test::noteOnTimes (host.getOutput()).empty());
    EXPECT_LT (lastOn, host.getSamplePosition());
}

TEST (HeldNotes, HoldLatchesRelatchesAndReleasesOnSecondPress)
{
    ArpAudioProcessor processor;
    processor.getSettings().setHoldMode (true);
    OfflineHost host (processor, 44100.0, 64);
    host.setPlaying (false);

    host.run (1000, 64, { on (0, 60), on (5, 64), off (100, 60), off (120, 64) });
    ASSERT_EQ (processor.getPlayback().getHeldNotes().size(), 2);

    // Everything was released: the next key alone starts a new chord.
    host.run (1000, 64, { on (1500, 67), off (1800, 67) });
    ASSERT_EQ (processor.getPlayback().getHeldNotes().size(), 1);
    EXPECT_EQ (processor.getPlayback().getHeldNotes()[0].note, 67);

    host.takeOutput();
    host.run (30000, 64);
    for (auto note : test::noteOnPitches (host.getOutput()))
        EXPECT_EQ (note, 67);

    // With C held down, E pressed twice: the second press releases E.
    ArpAudioProcessor second;
    second.getSettings().setHoldMode (true);
    OfflineHost host2 (second, 44100.0, 64);
    host2.setPlaying (false);
    host2.run (2000, 64, { on (0, 60), on (100, 64), off (200, 64), on (300, 64) });
    ASSERT_EQ (second.getPlayback().getHeldNotes().size(), 1);
    EXPECT_EQ (second.getPlayback().getHeldNotes()[0].note, 60);
}

TEST (HeldNotes, HoldOffFromTheEditorStopsTheArpeggioAtTheNextBlock)
{
    ArpAudioProcessor processor;
    processor.getSettings().setHoldMode (true);
    OfflineHost host (processor, 44100.0, 256);
    host.setPlaying (false);
    host.run (20000, 256, { on (0, 60), off (50, 60) });
    ASSERT_FALSE (processor.getPlayback().getHeldNotes().isEmpty());

    processor.getSettings().setHoldMode (false);
    host.run (256, 256);
    EXPECT_TRUE (processor.getPlayback().getHeldNotes().isEmpty());

    host.run (20000, 256);
    test::NoteLedger ledger;
    ledger.add (host.getOutput());
    EXPECT_TRUE (ledger.sounding.empty());
}

TEST (HeldNotes, KeysBeyondFiftyAreIgnoredUntilOneIsReleased)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 512);
    host.setPlaying (false);

    std::vector<render::TimedMessage> keys;
    for (int note = 20; note < 80; ++note)
        keys.push_back (on (note, note));

    host.run (512, 512, keys);
    ASSERT_EQ (processor.getPlayback().getHeldNotes().size(), 50);
    EXPECT_EQ (processor.getPlayback().getHeldNotes()[49].note, 69);

    host.run (512, 512, { off (600, 30), on (700, 75) });
    ASSERT_EQ (processor.getPlayback().getHeldNotes().size(), 50);
    EXPECT_EQ (processor.getPlayback().getHeldNotes()[49].note, 75);
    EXPECT_EQ (processor.getPlayback().getHeldNotes().indexOf (30), -1);
}

TEST (NoteOrder, ARepeatedPitchEndsBeforeItStartsAgain)
{
    ArpAudioProcessor processor;
    processor.getSettings().setGatePercentage (100.0);
    const auto output = playFromZero (processor, 333, 30000, { 60 });

    bool sawCoincidence = false;
    for (size_t i = 1; i < output.size(); ++i)
        if (output[i].message.isNoteOn() && output[i - 1].sample == output[i].sample)
        {
            sawCoincidence = true;
            EXPECT_TRUE (output[i - 1].message.isNoteOff());
        }

    EXPECT_TRUE (sawCoincidence);
}

TEST (NoteOrder, ANoteChosenAgainBeforeItsNoteOffGetsOnlyTheLaterOne)
{
    ArpAudioProcessor processor;
    processor.getSettings().setGatePercentage (100.0);
    processor.getSettings().setBeatRate (7); // eighths: each note-off falls one eighth later
    OfflineHost host (processor, 44100.0, 64);
    host.setPlaying (false);
    host.processBlock (1, { on (0, 60) });
    host.setPlaying (true);
    host.setPpqPosition (0.0);
    host.run (11025 + 100, 64);

    // Halve the step: the next note-on comes before the pending note-off.
    processor.getSettings().setBeatRate (3);
    host.run (40000, 64);
    processor.getSettings().setGatePercentage (10.0);
    host.run (40000, 64);

    test::NoteLedger ledger;
    ledger.add (host.getOutput());
    EXPECT_EQ (ledger.offsForSilentNotes, 0);

    int offs = 0, ons = 0;
    for (const auto& m : host.getOutput())
    {
        offs += m.message.isNoteOff() ? 1 : 0;
        ons += m.message.isNoteOn() ? 1 : 0;
    }
    EXPECT_LT (offs, ons);
}

TEST (PublishedData, StepsRaiseTheFlagAfterWritingWhatTheyAnnounce)
{
    ArpAudioProcessor processor;
    EXPECT_TRUE (processor.getPlayback().hostPlaying.load());
    EXPECT_FALSE (processor.getPlayback().stepPublished.load());

    const auto output = playFromZero (processor, 256, 6000, { 60, 64, 67 });
    ASSERT_EQ (test::noteOnTimes (output).size(), 2u);

    EXPECT_TRUE (processor.getPlayback().stepPublished.exchange (false, std::memory_order_acquire));
    EXPECT_TRUE (processor.getPlayback().hostPlaying.load());
    EXPECT_EQ (processor.getPlayback().accentStepForDisplay.load(), -1); // host-synced steps leave it alone

    float sum = 0.0f;
    for (int i = 0; i < 51; ++i)
        sum += processor.getPlayback().getPublishedProbability (i);
    EXPECT_NEAR (sum, 1.0f, 1e-5f);
    EXPECT_EQ (processor.getPlayback().getPublishedProbability (0), 0.0f); // Breath is off by default
    EXPECT_GE (processor.getPlayback().getPreviousChoice(), 0);
    EXPECT_LT (processor.getPlayback().getPreviousChoice(), 3);
    EXPECT_EQ (processor.getPlayback().getPlaybackCounts().steps.get(), 2);
}

TEST (Preview, SoundsForAQuarterSecondAndRestartsOnRepeat)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 100);
    host.setPlaying (false);

    processor.getPlayback().queuePreviewNote (72, 0);
    host.run (5000, 100);
    processor.getPlayback().queuePreviewNote (72, 300);
    host.run (20000, 100);

    const auto& output = host.getOutput();
    ASSERT_EQ (output.size(), 3u);
    EXPECT_TRUE (output[0].message.isNoteOn());
    EXPECT_EQ (output[0].sample, 0);
    EXPECT_EQ (output[0].message.getVelocity(), 1);
    EXPECT_TRUE (output[1].message.isNoteOn());
    EXPECT_EQ (output[1].sample, 5000);
    EXPECT_EQ (output[1].message.getVelocity(), 127);
    EXPECT_TRUE (output[2].message.isNoteOff());
    EXPECT_EQ (output[2].sample, 5000 + 11025);
}

TEST (Preview, AFullQueueDropsRequests)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 100);
    for (int i = 0; i < 20; ++i)
        processor.getPlayback().queuePreviewNote (40 + i, 100);

    host.processBlock (100);
    EXPECT_EQ (test::noteOnTimes (host.getOutput()).size(), 15u);
}

TEST (PassThrough, ControllersKeepTheirPositionAndHoldNothing)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 512);
    host.setPlaying (false);

    host.processBlock (512, { { 17, juce::MidiMessage::controllerEvent (3, 74, 9) },
                              on (20, 60),
                              { 30, juce::MidiMessage::allNotesOff (1) },
                              { 40, juce::MidiMessage::controllerEvent (1, 64, 127) } });

    const auto& output = host.getOutput();
    ASSERT_EQ (output.size(), 3u);
    EXPECT_EQ (output[0].sample, 17);
    EXPECT_TRUE (output[0].message.isControllerOfType (74));
    EXPECT_EQ (output[0].message.getChannel(), 3);
    EXPECT_EQ (output[1].sample, 30);
    EXPECT_EQ (output[2].sample, 40);
    EXPECT_EQ (processor.getPlayback().getHeldNotes().size(), 1);

    const std::vector<juce::uint8> sysex (300, 0x11);
    host.processBlock (512, { { 512 + 5, juce::MidiMessage::createSysExMessage (sysex.data(), 300) } });
    ASSERT_EQ (host.getOutput().size(), 4u);
    EXPECT_TRUE (host.getOutput()[3].message.isSysEx());
    EXPECT_EQ (host.getOutput()[3].message.getSysExDataSize(), 300);
}

TEST (PassThrough, AFloodOfControllersCrowdsOutNoKey)
{
    // A host that moves every MIDI-CC parameter at once sends some two
    // thousand controllers in one block, here around a chord and its release.
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, 512);
    host.setPlaying (false);

    std::vector<render::TimedMessage> flood;
    for (int channel = 1; channel <= 16; ++channel)
        for (int controller = 0; controller < 130; ++controller)
            flood.push_back ({ 0, juce::MidiMessage::controllerEvent (channel, controller % 128, 1) });

    auto input = flood;
    for (int note : { 60, 64, 67 })
        input.push_back (on (0, note));
    host.processBlock (512, input);
    EXPECT_EQ (processor.getPlayback().getHeldNotes().size(), 3);
    EXPECT_EQ (host.getOutput().size(), flood.size());

    for (auto& m : flood)
        m.sample = 512;
    for (int note : { 60, 64, 67 })
        flood.push_back (off (512, note));
    host.processBlock (512, flood);
    EXPECT_EQ (processor.getPlayback().getHeldNotes().size(), 0);
}

} // namespace
} // namespace mur
