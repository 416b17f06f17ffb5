#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// A rotary control drawn from images: a 16-picture filmstrip of the lit arc,
// a fixed body in the middle and a dot orbiting at the value's angle. Only a
// disc in the middle takes the mouse; dragging right or up raises the value.
class ImageKnobComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    ImageKnobComponent (std::function<void (float)> onValueChange, float initialValue);
    ~ImageKnobComponent() override;

    // Without a notification the knob only shows the value (the editor
    // following the processor); with one it reports it as the user's.
    void setValue (float newValue, juce::NotificationType notification = juce::sendNotificationSync);
    float getValue() const noexcept { return value; }

    // The filmstrip picture the current value shows.
    int getFrameIndex() const noexcept;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;

    std::function<void (float)> onValueChange;
    // A press and its release: everything in between is one user action.
    std::function<void()> onGestureStart, onGestureEnd;

private:
    void change (float newValue, juce::NotificationType notification = juce::sendNotificationSync);
    void endGesture();

    bool inGesture = false;

    float value, defaultValue;
    juce::Point<int> dragStart;
    float valueAtDragStart = 0.5f;
    juce::Image bodyImage, dotImage;
    std::vector<juce::Image> frames;
    float startAngle = -2.3561945f, endAngle = 2.3561945f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ImageKnobComponent)
};

} // namespace mur
