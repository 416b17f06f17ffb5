#pragma once

#include "views/FrameClock.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// What every continuous control of the editor shares: a position from 0 to 1
// with a default a double-click restores, the callback that reports it, one
// user action from press to release (or per key press, double-click or
// screen-reader change), arrow-key stepping while focused, and a name and a
// value text for screen readers and hosts.
class ValueControl : public juce::Component, public juce::SettableTooltipClient
{
public:
    ValueControl (float initialValue, float defaultValue);
    ~ValueControl() override;

    // Without a notification the control only shows the value (the editor
    // following the processor); with one it reports it as the user's.
    void setValue (float newValue, juce::NotificationType notification = juce::sendNotificationSync);
    float getValue() const noexcept { return value; }
    float getDefaultValue() const noexcept { return defaultValue; }

    // A change made by the user outside a drag (a key, a screen reader): one
    // whole action.
    void setValueAsUserAction (float newValue);

    // Receives what the control stands for (a slider's range, else the position).
    std::function<void (float)> onValueChange;
    std::function<void()> onGestureStart, onGestureEnd;
    // The pointer came over the control (true) or left it (false).
    std::function<void (bool)> onHoverChange;
    // The text a screen reader reads for a position; the plain number without.
    std::function<juce::String (float)> valueText;

    juce::String getValueText() const;
    // How far one arrow key moves the position.
    virtual float getKeyStep() const { return 0.01f; }

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    bool isHovered() const noexcept { return hovered; }
    // The user's hand is on the control (a drag, from press to release).
    bool isInGesture() const noexcept { return inGesture; }
    bool keyPressed (const juce::KeyPress&) override;
    juce::MouseCursor getMouseCursor() override { return juce::MouseCursor::PointingHandCursor; }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

protected:
    // The position a request becomes (limited, and stepped where the control steps).
    virtual float constrain (float position) const { return juce::jlimit (0.0f, 1.0f, position); }
    // What `onValueChange` receives for a position.
    virtual float reported (float position) const { return position; }

    // By default a drag moves the value from where it was pressed: right or
    // up raises it by `dragPerUnit` per unit.
    virtual void pressed (const juce::MouseEvent& e);
    virtual void dragged (const juce::MouseEvent& e);
    virtual void released() {}
    int dragDistance (const juce::MouseEvent& e) const noexcept { return (e.x - dragStart.x) + (dragStart.y - e.y); }

    float dragPerUnit = 0.005f;
    float valueAtDragStart = 0.5f;

    // Moves to a position as the user's change: reported, repainted.
    void change (float newPosition);

private:
    void beginGesture();
    void endGesture();

    float value, defaultValue;
    bool inGesture = false, hovered = false;
    juce::Point<int> dragStart;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueControl)
};

// A round control that follows a drag from where it was pressed (right or up
// raises it, `perUnit` per design unit), takes the mouse inside its circle,
// animates on a timer that runs only while it is on screen, and darkens with
// its value text while hovered.
class AnimatedDial : public ValueControl
{
public:
    AnimatedDial (float initialValue, int framesPerSecond);

    bool hitTest (int x, int y) override;
    void visibilityChanged() override { refreshAnimation(); }
    void parentHierarchyChanged() override { refreshAnimation(); }
    // Animates or stands still as the control is on screen or not; the
    // editor calls it when its window is shown or hidden.
    void refreshAnimation();

    bool isAnimating() const noexcept { return animating; }
    // One beat of the editor's timer, `beatsPerSecond` of them a second: the
    // control takes a step at its own frame rate. One heartbeat for every
    // animated control keeps the window's wake-ups few.
    void heartbeat (int beatsPerSecond)
    {
        if (animating && pace.beat (beatsPerSecond))
            tick();
    }
    // One animation step, as the timer makes it (tests call it directly).
    // The control repaints only once its drawing has moved visibly.
    void tick()
    {
        if (advance())
            repaint();
    }

    float sizeFactor = 1.0f;

protected:
    // Moves the animation on by one tick; true when the picture has moved
    // far enough to be worth drawing again.
    virtual bool advance() = 0;
    // Window pixels per design unit where the control is shown.
    float pixelsPerUnit() const { return juce::Component::getApproximateScaleFactorForComponent (this); }
    void paintHoverText (juce::Graphics&, const juce::String& text) const;

private:
    views::BeatDivider pace;
    bool animating = false;
};

} // namespace mur
