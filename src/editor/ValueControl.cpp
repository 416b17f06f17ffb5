#include "ValueControl.h"

#include "resources/EditorResources.h"

namespace mur
{
namespace
{
// What hosts and screen readers see of a control: a slider with a value
// from 0 to 1 and the control's own text for it.
class ControlValueInterface final : public juce::AccessibilityValueInterface
{
public:
    explicit ControlValueInterface (ValueControl& c) : control (c) {}

    bool isReadOnly() const override { return false; }
    double getCurrentValue() const override { return control.getValue(); }
    juce::String getCurrentValueAsString() const override { return control.getValueText(); }
    void setValue (double newValue) override { control.setValueAsUserAction (static_cast<float> (newValue)); }
    void setValueAsString (const juce::String& text) override { setValue (text.getDoubleValue()); }
    AccessibleValueRange getRange() const override { return { { 0.0, 1.0 }, control.getKeyStep() }; }

private:
    ValueControl& control;
};
} // namespace

ValueControl::ValueControl (float initialValue, float defaultPosition)
    : value (initialValue), defaultValue (defaultPosition)
{
    setWantsKeyboardFocus (true);
}

ValueControl::~ValueControl()
{
    // A drag cut short by the editor closing still ends its action.
    endGesture();
}

void ValueControl::setValue (float newValue, juce::NotificationType notification)
{
    if (notification != juce::dontSendNotification)
    {
        change (newValue);
        return;
    }

    value = constrain (newValue);
    repaint();
}

void ValueControl::change (float newPosition)
{
    // A move that changes nothing reports nothing (no write, no modified mark).
    if (const auto constrained = constrain (newPosition); constrained != value)
    {
        value = constrained;
        if (onValueChange)
            onValueChange (reported (value));
        repaint();
    }
}

void ValueControl::setValueAsUserAction (float newValue)
{
    beginGesture();
    change (newValue);
    endGesture();
}

juce::String ValueControl::getValueText() const
{
    return valueText ? valueText (value) : juce::String (value, 2);
}

void ValueControl::beginGesture()
{
    endGesture();
    inGesture = true;
    if (onGestureStart)
        onGestureStart();
}

void ValueControl::endGesture()
{
    if (std::exchange (inGesture, false) && onGestureEnd)
        onGestureEnd();
}

void ValueControl::mouseDown (const juce::MouseEvent& e)
{
    beginGesture();
    pressed (e);
}

void ValueControl::mouseDrag (const juce::MouseEvent& e)
{
    dragged (e);
}

void ValueControl::mouseUp (const juce::MouseEvent&)
{
    released();
    endGesture();
}

void ValueControl::pressed (const juce::MouseEvent& e)
{
    dragStart = e.getPosition();
    valueAtDragStart = value;
}

void ValueControl::dragged (const juce::MouseEvent& e)
{
    change (valueAtDragStart + static_cast<float> (dragDistance (e)) * dragPerUnit);
}

void ValueControl::mouseEnter (const juce::MouseEvent&)
{
    hovered = true;
    if (onHoverChange)
        onHoverChange (true);
    repaint();
}

void ValueControl::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    if (onHoverChange)
        onHoverChange (false);
    repaint();
}

void ValueControl::mouseDoubleClick (const juce::MouseEvent&)
{
    // Inside the second press's action, which its release ends.
    change (defaultValue);
}

bool ValueControl::keyPressed (const juce::KeyPress& key)
{
    const auto code = key.getKeyCode();
    const auto up = code == juce::KeyPress::upKey || code == juce::KeyPress::rightKey;
    const auto down = code == juce::KeyPress::downKey || code == juce::KeyPress::leftKey;

    if (! up && ! down)
        return false;

    setValueAsUserAction (value + (up ? getKeyStep() : -getKeyStep()));
    return true;
}

std::unique_ptr<juce::AccessibilityHandler> ValueControl::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::slider, juce::AccessibilityActions {},
                                                         juce::AccessibilityHandler::Interfaces { std::make_unique<ControlValueInterface> (*this) });
}

//==============================================================================
AnimatedDial::AnimatedDial (float initialValue, int framesPerSecond)
    : ValueControl (initialValue, initialValue), pace (framesPerSecond)
{
}

bool AnimatedDial::hitTest (int x, int y)
{
    const auto radius = static_cast<float> (getWidth()) / 2.0f;
    return getLocalBounds().toFloat().getCentre().getDistanceSquaredFrom ({ static_cast<float> (x), static_cast<float> (y) })
        <= radius * radius;
}

void AnimatedDial::refreshAnimation()
{
    // Nothing moves where nobody can see it.
    animating = isShowing();
}

void AnimatedDial::paintHoverText (juce::Graphics& g, const juce::String& text) const
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    g.setColour (juce::Colours::black.withAlpha (0.7f));
    g.fillRect (getLocalBounds());
    g.setColour (juce::Colours::white);
    g.setFont (uiFont (juce::jmax (0.3f * h, 10.0f * sizeFactor)));
    g.drawText (text, juce::Rectangle<float> (0.0f, (h - 0.25f * h) / 2.0f, w, 0.25f * h), juce::Justification::centred, true);
}

} // namespace mur
