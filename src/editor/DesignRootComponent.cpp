#include "DesignRootComponent.h"

#include "resources/EditorResources.h"

namespace mur
{
namespace
{
// The largest rectangle at the top left whose pixels are all opaque: the
// artwork's resampled edges (its last column and rows) are not.
juce::Rectangle<int> opaqueCorner (const juce::Image& image)
{
    if (image.getFormat() != juce::Image::ARGB)
        return image.getBounds();

    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    auto width = pixels.width;
    for (int y = 0; y < pixels.height; ++y)
    {
        auto opaque = 0;
        while (opaque < width && pixels.getPixelPointer (opaque, y)[juce::PixelARGB::indexA] == 255)
            ++opaque;
        // A row that would narrow the corner by more than a tenth starts the bottom edge.
        if (opaque < pixels.width - pixels.width / 10)
            return { 0, 0, width, y };
        width = opaque;
    }
    return { 0, 0, width, pixels.height };
}
} // namespace

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

        // The opaque part loses its alpha channel; the edges keep theirs.
        parts.clear();
        const auto corner = opaqueCorner (scaled);
        const auto whole = scaled.getBounds();
        auto addPart = [this] (juce::Rectangle<int> area, bool opaque)
        {
            if (! area.isEmpty())
                parts.push_back ({ opaque ? scaled.getClippedImage (area).convertedToFormat (juce::Image::RGB) : scaled.getClippedImage (area),
                                   area.getPosition() });
        };
        addPart (corner, true);
        addPart (whole.withTrimmedTop (corner.getBottom()), false);
        addPart (juce::Rectangle<int> (corner.getRight(), 0, whole.getWidth() - corner.getRight(), corner.getBottom()), false);
    }

    return scaled;
}

void DesignRootComponent::paint (juce::Graphics& g)
{
    if (const auto& image = scaledBackground(); image.isValid())
    {
        // The context is scaled to the window; undo that for the copy so its
        // pixels land one to one.
        const auto toDesign = juce::AffineTransform::scale (static_cast<float> (designWidth) / static_cast<float> (image.getWidth()),
                                                            static_cast<float> (designHeight) / static_cast<float> (image.getHeight()));
        // Only what the clip holds: JUCE clips an image by building an edge
        // table as tall as the image, which for the whole artwork costs more
        // than the copy of a small repainted area.
        const auto wanted = g.getClipBounds().toFloat().transformedBy (toDesign.inverted()).getSmallestIntegerContainer().expanded (2);
        for (const auto& part : parts)
        {
            const auto area = wanted.getIntersection (part.image.getBounds() + part.at);
            if (! area.isEmpty())
                g.drawImageTransformed (part.image.getClippedImage (area - part.at),
                                        juce::AffineTransform::translation (area.getPosition().toFloat()).followedBy (toDesign));
        }
    }
    else
    {
        g.fillAll (juce::Colour::fromString ("141418ff"));
    }

    if (logo.isValid())
        g.drawImage (logo, { 514.64923f, 493.0f, 48.701492f, 13.0f }, juce::RectanglePlacement::stretchToFit);
}

} // namespace mur
