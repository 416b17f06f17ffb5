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

Heartbeat::Heartbeat (juce::Component& owner, std::function<void (int)> beat)
    : onBeat (std::move (beat)),
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
    beatAt (now);
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
    beatAt (now);
}

void Heartbeat::beatAt (double now)
{
    owedMs += juce::jmax (0.0, now - lastBeatMs);
    lastBeatMs = now;
    auto ticks = static_cast<int> (owedMs / tickMs);
    owedMs -= ticks * tickMs;
    if (ticks > mostTicksPerBeat)
    {
        ticks = mostTicksPerBeat;
        owedMs = 0.0;
    }

    onBeat (ticks);
    frames.beat (now);
}

} // namespace mur
