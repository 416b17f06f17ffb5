#include "PlaybackHelpers.h"
#include "processor/AccentGains.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <future>
#include <thread>

namespace mur
{
namespace
{

constexpr int sixteenths = 5;

TEST (AccentLookup, HostSyncedStepsFollowTheGridFromTheStartStep)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ (hostSyncedAccentStep (0.25 * i, 16, 0, sixteenths), i);
    EXPECT_EQ (hostSyncedAccentStep (4.0, 16, 0, sixteenths), 0);

    EXPECT_EQ (hostSyncedAccentStep (0.0, 16, 4, sixteenths), 12);
    EXPECT_EQ (hostSyncedAccentStep (1.0, 16, 4, sixteenths), 0);
    EXPECT_EQ (hostSyncedAccentStep (-0.25, 16, 0, sixteenths), 15);
}

TEST (AccentLookup, StepsOffTheGridByMoreThanAFiftiethGetNoAccent)
{
    EXPECT_EQ (hostSyncedAccentStep (0.5 + 0.25 * 0.049, 16, 0, sixteenths), 2);
    EXPECT_EQ (hostSyncedAccentStep (0.5 - 0.25 * 0.049, 16, 0, sixteenths), 2);
    EXPECT_EQ (hostSyncedAccentStep (0.5 + 0.25 * 0.051, 16, 0, sixteenths), -1);
    EXPECT_EQ (hostSyncedAccentStep (0.5 + 0.125, 16, 0, sixteenths), -1);
}

TEST (AccentLookup, FreeRunningStepsAddTheStartStep)
{
    const int expected[] = { 1, 2, 0, 1, 2 };
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ (freeRunningAccentStep (k, 3, 1), expected[k]);
}

TEST (AccentLookup, MissingStepsFallBackAndTheMasterScales)
{
    AccentGains gains;
    gains.resize (4);
    gains.set (0, 1.0f);
    EXPECT_EQ (gains.gainOrFallback (0), 1.0f);
    EXPECT_EQ (gains.gainOrFallback (3), 0.0f);
    EXPECT_EQ (gains.gainOrFallback (5), 0.5f);

    gains.resize (8);
    EXPECT_EQ (gains.gainOrFallback (5), 0.0f);

    EXPECT_FLOAT_EQ (accentInputFor (0.5f, 1.0f), 5.0f);
    EXPECT_FLOAT_EQ (accentInputFor (0.5f, -1.0f), -5.0f);
    EXPECT_FLOAT_EQ (accentInputFor (0.7f, 0.0f), 0.0f);

    gains.resize (100);
    EXPECT_EQ (gains.size(), maxAccentSteps);
}

TEST (AccentPattern, FreeRunningDisplayPositionAdvancesOnlyWithSteps)
{
    ArpAudioProcessor processor;
    processor.getSettings().setNumSteps (3);
    processor.getSettings().setStartStep (1);
    double nowMs = 1.0;
    test::ProcessorAccess::setWallClock (processor, [&nowMs] { return nowMs; });

    render::OfflineHost host (processor, 48000.0, 480);
    host.setPlaying (false);
    std::vector<int> seen;

    for (int block = 0; block < 200 && seen.size() < 4; ++block, nowMs += 10.0)
    {
        const auto before = test::noteOnTimes (host.getOutput()).size();
        host.processBlock (480, { test::on (0, 60) });
        if (test::noteOnTimes (host.getOutput()).size() > before)
            seen.push_back (processor.getPlayback().accentStepForDisplay.load());
    }

    EXPECT_EQ (seen, (std::vector<int> { 0, 1, 2, 0 }));
}

TEST (AccentPattern, StepsGoOnThroughAReseedHeldOnAnotherThread)
{
    ArpAudioProcessor processor;
    processor.getSettings().setNumSteps (3);
    double nowMs = 1.0;
    test::ProcessorAccess::setWallClock (processor, [&nowMs] { return nowMs; });

    render::OfflineHost host (processor, 48000.0, 480);
    host.setPlaying (false);
    const auto& counts = processor.getPlayback().getPlaybackCounts();
    std::vector<int> positions;

    // From the fourth step on, a Reseed on another thread stays open for
    // three more steps; the arpeggio and its pattern go on without a gap.
    std::promise<void> reached, released;
    test::ProcessorAccess::pauseLoadsBeforeHandOver (processor, [&]
    {
        reached.set_value();
        released.get_future().wait();
    });
    std::thread reseeding;

    for (int block = 0; block < 400 && positions.size() < 8; ++block, nowMs += 10.0)
    {
        if (counts.steps.get() == 3 && ! reseeding.joinable())
        {
            reseeding = std::thread ([&] { processor.getSettings().reseed (99); });
            reached.get_future().wait();
        }
        if (counts.steps.get() == 6 && reseeding.joinable())
        {
            released.set_value();
            reseeding.join();
            test::ProcessorAccess::pauseLoadsBeforeHandOver (processor, nullptr);
        }

        const auto stepsBefore = counts.steps.get();
        host.processBlock (480, { test::on (0, 60) });
        if (counts.steps.get() > stepsBefore)
            positions.push_back (processor.getPlayback().accentStepForDisplay.load());
    }

    EXPECT_FALSE (reseeding.joinable());
    EXPECT_EQ (counts.skipped.get(), 0);
    EXPECT_EQ (positions, (std::vector<int> { 0, 1, 2, 0, 1, 2, 0, 1 }));
}

TEST (AccentPattern, SettersKeepStartStepAndFractionConsistent)
{
    ArpAudioProcessor processor;
    processor.getSettings().setStartStep (6);
    EXPECT_EQ (processor.getSettings().getMirrors().pulseTimeShiftStep, 6);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().pulseTimeShift, 6.0f / 15.0f);

    processor.getSettings().setNumSteps (4);
    EXPECT_EQ (processor.getSettings().getMirrors().numSteps, 4);
    EXPECT_EQ (processor.getSettings().getMirrors().pulseTimeShiftStep, 3);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().pulseTimeShift, 1.0f);
    EXPECT_FLOAT_EQ (processor.getParameterTree().getRawParameterValue (ids::at (ids::pos::pulseTimeShift))->load(), 1.0f);

    // The host sees the pattern's length and the start step it was clamped to.
    EXPECT_FLOAT_EQ (processor.getParameterTree().getRawParameterValue (ids::at (ids::pos::numSteps))->load(), 4.0f);
    EXPECT_FLOAT_EQ (processor.getParameterTree().getRawParameterValue (ids::at (ids::pos::pulseTimeShiftStep))->load(), 3.0f);

    // So does a host that asks for a start step beyond the pattern.
    processor.getParameterTree().getParameter (ids::at (ids::pos::pulseTimeShiftStep))->setValueNotifyingHost (1.0f);
    EXPECT_EQ (processor.getSettings().getMirrors().pulseTimeShiftStep, 3);
    EXPECT_FLOAT_EQ (processor.getParameterTree().getRawParameterValue (ids::at (ids::pos::pulseTimeShiftStep))->load(), 3.0f);
}

TEST (AccentPattern, HostGainsGrowTheListAndMapToPlusMinusOne)
{
    ArpAudioProcessor processor;
    auto* third = processor.getParameterTree().getParameter (ids::beatPulseGain (3));
    third->setValueNotifyingHost (0.25f);
    EXPECT_FLOAT_EQ (processor.getSettings().getBeatPulseGain (2), -0.5f);

    auto* twelfth = processor.getParameterTree().getParameter (ids::beatPulseGain (12));
    twelfth->setValueNotifyingHost (1.0f);
    ASSERT_EQ (processor.getSettings().getNumAccentGains(), 12);
    for (int i = 4; i <= 10; ++i)
        EXPECT_EQ (processor.getSettings().getBeatPulseGain (i), 0.0f);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (11), 1.0f);

    processor.getSettings().setBeatPulseGain (5, -3.0f);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (5), -1.0f);
    EXPECT_FLOAT_EQ (processor.getParameterTree().getRawParameterValue (ids::beatPulseGain (6))->load(), 0.0f);

    processor.getSettings().setBeatPulseGain (64, 1.0f);
    processor.getSettings().setBeatPulseGain (-1, 1.0f);
    EXPECT_EQ (processor.getSettings().getNumAccentGains(), 12);

    processor.getSettings().ensureBeatPulseGainCount (40);
    EXPECT_EQ (processor.getSettings().getNumAccentGains(), 40);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (39), 0.0f);
}

TEST (AccentPattern, HostAutomationOfTheStartFractionDoesNotMoveThePattern)
{
    ArpAudioProcessor processor;
    auto* fraction = processor.getParameterTree().getParameter (ids::at (ids::pos::pulseTimeShift));
    fraction->setValueNotifyingHost (0.5f);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().pulseTimeShift, 0.5f);
    EXPECT_EQ (processor.getSettings().getMirrors().pulseTimeShiftStep, 0);
}

} // namespace
} // namespace mur
