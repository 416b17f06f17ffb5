#include "DesignRootComponent.h"

#include "resources/EditorResources.h"

namespace mur
{

DesignRootComponent::DesignRootComponent()
{
    background = embeddedImage ("background_png");
    backgroundHidden = embeddedImage ("background_hidden_png");
    logo = embeddedImage ("MUR_png");
    setOpaque (false);
}

void DesignRootComponent::setPixelSize (int width, int height)
{
    pixelWidth = juce::jmax (1, width);
    pixelHeight = juce::jmax (1, height);
}

void DesignRootComponent::setPresetBarShown (bool shouldShow)
{
    if (presetBarShown != shouldShow)
    {
        presetBarShown = shouldShow;
        repaint();
    }
}

const juce::Image& DesignRootComponent::scaledBackground()
{
    const auto withBar = presetBarShown || ! backgroundHidden.isValid();
    const auto& source = withBar ? background : backgroundHidden;

    if (source.isValid() && (! scaled.isValid() || scaled.getWidth() != pixelWidth
                             || scaled.getHeight() != pixelHeight || scaledWithBar != withBar))
    {
        scaled = source.rescaled (pixelWidth, pixelHeight, juce::Graphics::highResamplingQuality);
        scaledWithBar = withBar;
    }

    return scaled;
}

void DesignRootComponent::paint (juce::Graphics& g)
{
    if (const auto& image = scaledBackground(); image.isValid())
    {
        // The context is scaled to the window; undo that for the copy so its
        // pixels land one to one.
        g.drawImageTransformed (image, juce::AffineTransform::scale (static_cast<float> (designWidth) / static_cast<float> (image.getWidth()),
                                                                     static_cast<float> (designHeight) / static_cast<float> (image.getHeight())));
    }
    else
    {
        g.fillAll (juce::Colour::fromString ("141418ff"));
    }

    if (logo.isValid())
        g.drawImage (logo, { 514.64923f, 493.0f, 48.701492f, 13.0f }, juce::RectanglePlacement::stretchToFit);
}

} // namespace mur
