#include "ImageKnobComponent.h"

#include "EditorResources.h"

namespace mur
{

ImageKnobComponent::ImageKnobComponent (std::function<void (float)> callback, float initialValue)
    : onValueChange (std::move (callback)), value (initialValue), defaultValue (initialValue)
{
    frames.reserve (16);
    for (int i = 0; i < 16; ++i)
    {
        const auto name = "knob_" + juce::String (i).paddedLeft ('0', 2) + "_png";
        if (auto image = embeddedImage (name.toRawUTF8()); image.isValid())
            frames.push_back (image);
    }

    bodyImage = embeddedImage ("knob_base_png");
    dotImage = embeddedImage ("knob_moving_png");
}

ImageKnobComponent::~ImageKnobComponent()
{
    // A drag cut short by the editor closing still ends its action.
    endGesture();
}

void ImageKnobComponent::change (float newValue, juce::NotificationType notification)
{
    if (newValue == value)
        return;

    value = newValue;
    if (notification != juce::dontSendNotification && onValueChange)
        onValueChange (value);
    repaint();
}

void ImageKnobComponent::setValue (float newValue, juce::NotificationType notification)
{
    change (juce::jlimit (0.0f, 1.0f, newValue), notification);
}

int ImageKnobComponent::getFrameIndex() const noexcept
{
    return juce::jlimit (0, 15, static_cast<int> (std::round (15.0f * value)));
}

void ImageKnobComponent::mouseDown (const juce::MouseEvent& e)
{
    dragStart = e.getPosition();
    valueAtDragStart = value;

    endGesture();
    inGesture = true;
    if (onGestureStart)
        onGestureStart();
}

void ImageKnobComponent::mouseUp (const juce::MouseEvent&)
{
    endGesture();
}

void ImageKnobComponent::endGesture()
{
    if (! std::exchange (inGesture, false))
        return;

    if (onGestureEnd)
        onGestureEnd();
}

void ImageKnobComponent::mouseDrag (const juce::MouseEvent& e)
{
    const auto moved = (e.x - dragStart.x) + (dragStart.y - e.y);
    change (juce::jlimit (0.0f, 1.0f, valueAtDragStart + static_cast<float> (moved) * 0.005f));
}

void ImageKnobComponent::mouseDoubleClick (const juce::MouseEvent&)
{
    change (juce::jlimit (0.0f, 1.0f, defaultValue));
}

bool ImageKnobComponent::hitTest (int x, int y)
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    const auto dx = static_cast<float> (x) - w / 2, dy = static_cast<float> (y) - h / 2;
    return dx * dx + dy * dy <= (0.2f * w) * (0.2f * w);
}

void ImageKnobComponent::paint (juce::Graphics& g)
{
    if (frames.empty())
        return;

    const auto bounds = getLocalBounds().toFloat();
    const auto w = bounds.getWidth(), h = bounds.getHeight();
    const auto s = juce::jmin (w / 280.0f, h / 280.0f);

    const auto& frame = frames[static_cast<size_t> (juce::jmin (getFrameIndex(), static_cast<int> (frames.size()) - 1))];
    g.drawImage (frame, juce::Rectangle<float> (280.0f * s, 280.0f * s).withCentre (bounds.getCentre()),
                 juce::RectanglePlacement::centred, false);

    if (bodyImage.isValid())
    {
        const auto side = std::trunc (176.0f * s);
        g.drawImage (bodyImage, { std::trunc (w / 2 - 88.0f * s), std::trunc (h / 2 - 88.0f * s), side, side });
    }

    if (dotImage.isValid())
    {
        const auto a = startAngle + (endAngle - startAngle) * value - juce::MathConstants<float>::halfPi;
        const auto side = std::trunc (16.0f * s);
        g.drawImage (dotImage, { std::trunc (w / 2 + 28.0f * s * std::cos (a) - 8.0f * s),
                                 std::trunc (h / 2 + 28.0f * s * std::sin (a) - 8.0f * s), side, side });
    }
}

} // namespace mur
