#pragma once

#include <juce_events/juce_events.h>

#include <vector>

namespace mur::views
{

// How often the views' animations draw a new frame. Twenty-four frames a
// second, as film has, keep the glides smooth and cost two fifths of what
// sixty would: the views are the largest areas of the window that move.
inline constexpr int animationFramesPerSecond = 24;

// A slow drift (a sway, a wobble) is drawn again once it has moved this many
// pixels: smooth to the eye, and a few paints a second instead of dozens.
inline constexpr float driftRedrawPixels = 0.5f;

// Paces an animation slower than the beats that drive it: `beat` is true on
// the beats where it takes a step at its own rate.
class BeatDivider
{
public:
    explicit BeatDivider (int stepsPerSecondToUse) noexcept : stepsPerSecond (stepsPerSecondToUse) {}

    bool beat (int beatsPerSecond) noexcept
    {
        if (++beats < juce::jmax (1, juce::roundToInt (static_cast<float> (beatsPerSecond) / static_cast<float> (stepsPerSecond))))
            return false;
        beats = 0;
        return true;
    }

private:
    int stepsPerSecond, beats = 0;
};

// One clock for every animation of the views: each frame reaches every
// animated view in the same callback, so whatever moved is drawn together in
// one paint of the window rather than one paint per view.
class FrameClock : private juce::Timer
{
public:
    class Listener
    {
    public:
        virtual ~Listener();

    protected:
        // Joins the clock (for as long as the animation runs) or leaves it.
        void startFrames();
        void stopFrames();
        bool framesRunning() const;
        virtual void frame() = 0;

    private:
        friend class FrameClock;
        juce::SharedResourcePointer<FrameClock> clock;
    };

    // While a driver exists, the clock has no timer of its own: the driver
    // (the editor's beat, riding the screen's refresh) brings its frames, so
    // that whatever moved is drawn in the same wake-up as the beat.
    class Driver
    {
    public:
        Driver();
        ~Driver();
        // Draws a frame now (at `nowMs` on the high-resolution counter);
        // several drivers (two open editors) share one frame.
        void frame (double nowMs);

    private:
        juce::SharedResourcePointer<FrameClock> clock;
        JUCE_DECLARE_NON_COPYABLE (Driver)
    };

    FrameClock() = default;
    ~FrameClock() override { stopTimer(); }

private:
    void add (Listener* listener);
    void remove (Listener* listener);
    bool contains (const Listener* listener) const;
    void timerCallback() override;
    void runOwnTimer();

    std::vector<Listener*> listeners, calling;
    int drivers = 0;
    double lastDrivenMs = -1.0e12;

    JUCE_DECLARE_NON_COPYABLE (FrameClock)
};

} // namespace mur::views
