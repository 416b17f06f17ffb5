#include "ImageKnobComponent.h"

#include "resources/EditorResources.h"

namespace mur
{

ImageKnobComponent::ImageKnobComponent (std::function<void (float)> callback, float initialValue)
    : ValueControl (initialValue, initialValue)
{
    onValueChange = std::move (callback);

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

int ImageKnobComponent::getFrameIndex() const noexcept
{
    return juce::jlimit (0, 15, static_cast<int> (std::round (15.0f * getValue())));
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
        const auto a = startAngle + (endAngle - startAngle) * getValue() - juce::MathConstants<float>::halfPi;
        const auto side = std::trunc (16.0f * s);
        g.drawImage (dotImage, { std::trunc (w / 2 + 28.0f * s * std::cos (a) - 8.0f * s),
                                 std::trunc (h / 2 + 28.0f * s * std::sin (a) - 8.0f * s), side, side });
    }
}

} // namespace mur
