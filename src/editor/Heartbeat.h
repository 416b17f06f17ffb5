#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "views/FrameClock.h"

#include <functional>

namespace mur
{

// The editor's pulse: everything that moves on its own (the pad's springs,
// the ring, the dials, the views' animations) and everything the editor
// polls (published steps, the take, new held notes) runs on it.
//
// Where the window reports the screen's refresh, the beat rides on it: the
// pieces move and the window paints in the same wake-up, with no timer of
// the editor's own. Where no refresh arrives (no window yet, a hidden host
// window, a system that does not report it), a timer takes over within a
// few frames, so the editor never stops following the processor.
//
// Beats come with the views' frames, 24 a second, so that whatever moved
// since the last one is drawn in one paint of the window: each paint costs
// a round trip to the window system however little it draws. A new step is
// shown at once (and the frames count on from it); while the pointer drives
// something, every refresh brings a beat.
//
// Animations step in fixed ticks of 1/100 s whatever the refresh rate: a
// beat runs as many ticks as the time since the last one holds.
class Heartbeat : private juce::Timer
{
public:
    static constexpr int ticksPerSecond = 100;

    // What the owner needs of the coming refresh.
    enum class Pace
    {
        frames,       // a beat with the next frame
        now,          // a beat at once, and the frames counted from it
        everyRefresh  // a beat on every refresh
    };

    // `beat` is called with the number of ticks due (0 on a beat that came
    // sooner than a tick, as on a fast screen); `pace` is asked on every
    // refresh.
    Heartbeat (juce::Component& owner, std::function<void (int ticks)> beat, std::function<Pace()> pace = {});
    ~Heartbeat() override;

    // True while the screen's refresh drives the beat.
    bool ridesRefresh() const noexcept { return onRefresh; }

    // One refresh at `nowMs` (milliseconds on the high-resolution counter):
    // the beat runs, and the views draw a frame, if either is due.
    void refreshAt (double nowMs);

private:
    void timerCallback() override;
    void refreshed();

    std::function<void (int)> onBeat;
    std::function<Pace()> askPace;
    views::FrameClock::Driver frames;
    juce::VBlankAttachment refresh;
    double lastBeatMs = 0.0, owedMs = 0.0, lastRefreshMs = 0.0, nextFrameMs = 0.0;
    bool onRefresh = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Heartbeat)
};

} // namespace mur
