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

// While a driver exists the views' clock draws only when it is told, once
// for all drivers (two open editors); without one its timer comes back.
TEST (Heartbeat, TheViewsFramesComeFromTheDriversWhileOneExists)
{
    CountedFrames listener;
    {
        views::FrameClock::Driver driver, another;
        listener.start();
        test::pumpMessages (150);
        driver.frame (1.0e6);
        another.frame (1.0e6 + 2.0);
        EXPECT_EQ (listener.frames, 1);
    }
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.frames > 1; }));
}

// Beats come with the frames whatever the screen's rate, and no tick of the
// animations is lost between them; a drag beats on every refresh; a step is
// shown at once and the frames count on from it; a stall brings no burst.
TEST (Heartbeat, BeatsComeWithTheFramesAStepAtOnceADragOnEveryRefresh)
{
    juce::Component bare;
    CountedFrames listener;
    int beats = 0, ticks = 0;
    auto pace = Heartbeat::Pace::frames;
    Heartbeat heartbeat (bare, [&] (int n) { ++beats; ticks += n; }, [&] { return pace; });
    listener.start();

    auto t = juce::Time::getMillisecondCounterHiRes() + 1000.0;
    auto aSecondAt = [&] (double hz, Heartbeat::Pace newPace)
    {
        pace = newPace;
        beats = ticks = listener.frames = 0;
        for (int i = 1; i <= static_cast<int> (hz); ++i)
            heartbeat.refreshAt (t + i * 1000.0 / hz);
        t += 1000.0;
        EXPECT_NEAR (listener.frames, views::animationFramesPerSecond, 1) << hz;
        EXPECT_NEAR (ticks, Heartbeat::ticksPerSecond, 1) << hz;
    };
    heartbeat.refreshAt (t);
    aSecondAt (60.0, Heartbeat::Pace::frames);
    EXPECT_NEAR (beats, views::animationFramesPerSecond, 1);
    aSecondAt (144.0, Heartbeat::Pace::frames);
    EXPECT_NEAR (beats, views::animationFramesPerSecond, 1);
    aSecondAt (60.0, Heartbeat::Pace::everyRefresh);
    EXPECT_EQ (beats, 60);

    beats = 0;
    pace = Heartbeat::Pace::now;
    heartbeat.refreshAt (t + 10.0);
    pace = Heartbeat::Pace::frames;
    heartbeat.refreshAt (t + 40.0);
    EXPECT_EQ (beats, 1);
    heartbeat.refreshAt (t + 52.0);
    EXPECT_EQ (beats, 2);
    listener.frames = 0;
    heartbeat.refreshAt (t + 5000.0);
    heartbeat.refreshAt (t + 5001.0);
    EXPECT_EQ (beats, 3);
    EXPECT_EQ (listener.frames, 1);
}
} // namespace
} // namespace mur
