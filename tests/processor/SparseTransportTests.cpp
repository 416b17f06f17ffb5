#include "PlaybackHelpers.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/TransportFollower.h"

#include <cmath>

// Hosts that say "playing" in every block but give the musical position only
// now and then, or never.
namespace mur
{
namespace
{

using render::OfflineHost;

struct Session
{
    std::vector<render::TimedMessage> output;
    std::int64_t steps = 0;
};

Session playChord (int blockSize, int ppqEveryNthBlock)
{
    ArpAudioProcessor processor;
    OfflineHost host (processor, 44100.0, blockSize);
    host.setPpqEveryNthBlock (ppqEveryNthBlock);

    // The wall clock follows the samples, for the free-running clock.
    test::ProcessorAccess::setWallClock (processor, [&host] { return 1.0 + static_cast<double> (host.getSamplePosition()) / 44.1; });

    host.run (200000, blockSize, { test::on (0, 60), test::on (0, 64), test::on (0, 67) });
    const auto& counts = processor.getPlayback().getPlaybackCounts();
    return { host.takeOutput(), counts.steps.get() + counts.skipped.get() };
}

juce::String describe (const std::vector<render::TimedMessage>& output)
{
    juce::String text;
    for (const auto& m : output)
        text << juce::String (m.sample) << ' ' << juce::String::toHexString (m.message.getRawData(), m.message.getRawDataSize()) << '\n';
    return text;
}

TEST (SparseTransport, APositionInOneBlockOfFiveGivesTheSameSessionAsAPositionInEvery)
{
    for (const int blockSize : { 64, 512, 1000 })
    {
        const auto everyBlock = playChord (blockSize, 1).output;
        const auto oneInFive = playChord (blockSize, 5).output;

        ASSERT_GT (test::noteOnTimes (everyBlock).size(), 30u) << blockSize;
        EXPECT_EQ (describe (oneInFive), describe (everyBlock)) << "block size " << blockSize;

        // No doubled rate: one step every 5512.5 samples on average.
        const auto ons = test::noteOnTimes (oneInFive);
        for (size_t i = 1; i < ons.size(); ++i)
            EXPECT_NEAR (static_cast<double> (ons[i] - ons[i - 1]), 5512.5, 0.5) << blockSize;
    }
}

TEST (SparseTransport, WithoutAnyPositionTheFreeRunningClockKeepsTheTempo)
{
    for (const int blockSize : { 64, 512, 1000 })
    {
        const auto [output, steps] = playChord (blockSize, 0);
        const auto ons = test::noteOnTimes (output);

        // One step per step length on the wall clock, not the doubled rate of
        // a grid anchored afresh in every block: as many steps as fit, and
        // notes a whole number of steps apart (within the block in which the
        // clock reads the time).
        EXPECT_NEAR (static_cast<double> (steps), 200000.0 / 5512.0, 1.5) << blockSize;
        ASSERT_GT (ons.size(), 20u) << blockSize;
        for (size_t i = 1; i < ons.size(); ++i)
        {
            const auto gap = static_cast<double> (ons[i] - ons[i - 1]);
            EXPECT_NEAR (gap, 5512.0 * std::max (1.0, std::round (gap / 5512.0)), blockSize) << blockSize;
        }

        test::NoteLedger ledger;
        ledger.add (output);
        EXPECT_EQ (ledger.offsForSilentNotes, 0) << blockSize;
    }
}

} // namespace
} // namespace mur

namespace mur
{
namespace
{

TEST (TransportFollower, ContinuesFromTheLastPositionAtTheTempoOfTheTime)
{
    TransportFollower follower;

    // Nothing known yet: the free-running clock serves.
    EXPECT_FALSE (follower.blockStart (true, std::nullopt, 120.0, 48000.0).has_value());

    EXPECT_EQ (follower.blockStart (true, 8.0, 120.0, 48000.0), 8.0);
    follower.blockEnd (24000);                                           // half a second at 120 BPM: one beat
    EXPECT_DOUBLE_EQ (*follower.blockStart (true, std::nullopt, 120.0, 48000.0), 9.0);
    follower.blockEnd (24000);

    // A new tempo counts from here on, not backwards.
    EXPECT_DOUBLE_EQ (*follower.blockStart (true, std::nullopt, 60.0, 48000.0), 10.0);
    follower.blockEnd (48000);                                           // one second at 60 BPM: one beat
    EXPECT_DOUBLE_EQ (*follower.blockStart (true, std::nullopt, 60.0, 48000.0), 11.0);

    // A reported position always wins; a stop forgets everything.
    EXPECT_EQ (follower.blockStart (true, 3.0, 60.0, 48000.0), 3.0);
    EXPECT_FALSE (follower.blockStart (false, 3.0, 60.0, 48000.0).has_value());
    EXPECT_FALSE (follower.blockStart (true, std::nullopt, 60.0, 48000.0).has_value());
}

} // namespace
} // namespace mur
