#include "editor/Heartbeat.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
// Without a window there is no screen refresh: the timer must keep the beat,
// and however the beats fall, the ticks never run ahead of the time passed.
TEST (Heartbeat, WithoutARefreshATimerKeepsTheTicksToTheClock)
{
    juce::Component bare;
    int ticks = 0, beats = 0;
    const auto start = juce::Time::getMillisecondCounterHiRes();
    Heartbeat heartbeat (bare, [&] (int n) { ticks += n; ++beats; });

    ASSERT_TRUE (test::pumpUntil ([&] { return ticks >= 5; }));
    EXPECT_FALSE (heartbeat.ridesRefresh());
    EXPECT_LE (ticks, static_cast<int> ((juce::Time::getMillisecondCounterHiRes() - start) / 10.0) + 1);
    EXPECT_GT (beats, 0);
}

struct CountedFrames : views::FrameClock::Listener
{
    int frames = 0;
    void start() { startFrames(); }
    void frame() override { ++frames; }
};

// While a driver exists the views' clock draws only on its beats, at its own
// cadence whatever grid they fall on; without one its timer comes back.
TEST (Heartbeat, TheViewsFramesComeFromTheBeatsWhileADriverExists)
{
    CountedFrames listener;
    {
        views::FrameClock::Driver driver;
        listener.start();
        test::pumpMessages (150);
        EXPECT_EQ (listener.frames, 0);

        // A second of a 60 Hz screen, and the same second on a 144 Hz one.
        for (int i = 0; i <= 60; ++i)
            driver.beat (1.0e6 + i * 1000.0 / 60.0);
        EXPECT_NEAR (listener.frames, views::animationFramesPerSecond, 1);

        listener.frames = 0;
        for (int i = 1; i <= 144; ++i)
            driver.beat (1.0e6 + 1000.0 + i * 1000.0 / 144.0);
        EXPECT_NEAR (listener.frames, views::animationFramesPerSecond, 1);

        // A stall is not made up for with a burst of frames.
        listener.frames = 0;
        driver.beat (1.0e6 + 5000.0);
        driver.beat (1.0e6 + 5001.0);
        EXPECT_EQ (listener.frames, 1);
    }

    listener.frames = 0;
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.frames > 0; }));
}
} // namespace
} // namespace mur
