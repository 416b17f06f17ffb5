#include "CustomSliderComponent.h"

#include "resources/EditorResources.h"

namespace mur
{

CustomSliderComponent::CustomSliderComponent (std::function<void (float)> callback, float defaultPosition, float minimum,
                                              float maximum)
    : ValueControl (defaultPosition, defaultPosition), rangeMin (minimum), rangeMax (maximum)
{
    onValueChange = std::move (callback);
    normalImage = embeddedImage ("slider_png");
    hoverImage = embeddedImage ("slider_hover_png");
    dragImage = embeddedImage ("slider_on_png");
    setSize (25, 5);
}

float CustomSliderComponent::thumbSize() const noexcept
{
    return juce::jmin (static_cast<float> (getHeight()) / 19.25f, static_cast<float> (getWidth()) / 144.0f) * 19.25f;
}

void CustomSliderComponent::follow (float mouseX)
{
    // A slider no wider than its thumb has no travel: presses and drags do nothing.
    const auto c = thumbSize();
    const auto travel = static_cast<float> (getWidth()) - c;

    if (travel > 0.0f)
        change ((mouseX - c / 2.0f) / travel);
}

void CustomSliderComponent::pressed (const juce::MouseEvent& e)
{
    follow (e.position.x);
    dragging = true;
    repaint();
}

void CustomSliderComponent::dragged (const juce::MouseEvent& e)
{
    if (dragging)
        follow (e.position.x);
}

void CustomSliderComponent::released()
{
    dragging = false;
    repaint();
}

void CustomSliderComponent::paint (juce::Graphics& g)
{
    const auto& image = dragging ? dragImage : (isHovered() ? hoverImage : normalImage);

    if (! image.isValid())
        return;

    const auto c = thumbSize();
    const auto x = static_cast<int> ((static_cast<float> (getWidth()) - c) * getValue());
    const auto y = static_cast<int> ((static_cast<float> (getHeight()) - c) * 0.5f);
    const auto side = static_cast<int> (c);
    g.drawImage (image, x, y, side, side, 0, 0, image.getWidth(), image.getHeight());
}

} // namespace mur
