#include "FrameClock.h"

#include <algorithm>
#include <cmath>

namespace mur::views
{

FrameClock::Listener::~Listener() { stopFrames(); }
void FrameClock::Listener::startFrames() { clock->add (this); }
void FrameClock::Listener::stopFrames() { clock->remove (this); }
bool FrameClock::Listener::framesRunning() const { return clock->contains (this); }

void FrameClock::add (Listener* listener)
{
    if (contains (listener))
        return;

    listeners.push_back (listener);
    runOwnTimer();
}

void FrameClock::remove (Listener* listener)
{
    listeners.erase (std::remove (listeners.begin(), listeners.end(), listener), listeners.end());
    if (listeners.empty())
        stopTimer();
}

bool FrameClock::contains (const Listener* listener) const
{
    return std::find (listeners.begin(), listeners.end(), listener) != listeners.end();
}

void FrameClock::runOwnTimer()
{
    if (drivers > 0 || listeners.empty())
        stopTimer();
    else if (! isTimerRunning())
        startTimerHz (animationFramesPerSecond);
}

FrameClock::Driver::Driver()
{
    ++clock->drivers;
    clock->runOwnTimer();
}

FrameClock::Driver::~Driver()
{
    --clock->drivers;
    clock->runOwnTimer();
}

void FrameClock::Driver::frame (double nowMs)
{
    constexpr double periodMs = 1000.0 / animationFramesPerSecond;
    if (std::abs (nowMs - clock->lastDrivenMs) < periodMs / 2.0)
        return;
    clock->lastDrivenMs = nowMs;
    clock->timerCallback();
}

void FrameClock::timerCallback()
{
    // A view may leave (or another join) during the frame; one that left is
    // not called again.
    calling = listeners;
    for (auto* listener : calling)
        if (contains (listener))
            listener->frame();
}

} // namespace mur::views
