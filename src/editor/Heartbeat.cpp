#include "Heartbeat.h"

namespace mur
{
namespace
{
constexpr double tickMs = 1000.0 / Heartbeat::ticksPerSecond;
// How long the refresh may stay away before the timer takes over: a few
// frames of a 60 Hz screen.
constexpr double refreshLostMs = 60.0;
// While the refresh drives, the timer only watches for it going away.
constexpr int watchMs = 100;
// After a stall (a modal dialog, a busy host) the animations resume rather
// than race through the time they missed.
constexpr int mostTicksPerBeat = 10;

double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }
} // namespace

Heartbeat::Heartbeat (juce::Component& owner, std::function<void (int)> beat, std::function<Pace()> pace)
    : onBeat (std::move (beat)),
      askPace (std::move (pace)),
      refresh (&owner, [this] { refreshed(); })
{
    lastBeatMs = nowMs();
    startTimer (static_cast<int> (tickMs));
}

Heartbeat::~Heartbeat() { stopTimer(); }

void Heartbeat::refreshed()
{
    const auto now = nowMs();
    lastRefreshMs = now;
    if (! onRefresh)
    {
        onRefresh = true;
        startTimer (watchMs);
    }
    refreshAt (now);
}

void Heartbeat::timerCallback()
{
    const auto now = nowMs();
    if (onRefresh)
    {
        if (now - lastRefreshMs < refreshLostMs)
            return;
        onRefresh = false;
        startTimer (static_cast<int> (tickMs));
    }
    refreshAt (now);
}

void Heartbeat::refreshAt (double now)
{
    owedMs += juce::jmax (0.0, now - lastBeatMs);
    lastBeatMs = now;

    // Frames keep their cadence on whatever grid the refreshes fall (a 60 Hz
    // screen gives frames two and three refreshes apart), and a stall is not
    // made up for with a burst of them.
    constexpr double framePeriodMs = 1000.0 / views::animationFramesPerSecond;
    const auto pace = askPace != nullptr ? askPace() : Pace::frames;
    const auto frameDue = now + 1.0 >= nextFrameMs;
    if (! frameDue && pace == Pace::frames)
        return;

    auto ticks = static_cast<int> (owedMs / tickMs);
    owedMs -= ticks * tickMs;
    if (ticks > mostTicksPerBeat)
    {
        ticks = mostTicksPerBeat;
        owedMs = 0.0;
    }

    onBeat (ticks);

    if (frameDue || pace == Pace::now)
    {
        nextFrameMs = pace == Pace::now || nextFrameMs + framePeriodMs < now ? now + framePeriodMs : nextFrameMs + framePeriodMs;
        frames.frame (now);
    }
}

} // namespace mur
