#include "PixelLayer.h"

#include <cmath>

namespace mur::views
{

bool PixelLayer::prepare (juce::Graphics& g, juce::Rectangle<float> newArea, bool forceRedraw)
{
    const auto newScale = juce::jlimit (0.25f, 8.0f, g.getInternalContext().getPhysicalPixelScaleFactor());
    const auto width = juce::jmax (1, static_cast<int> (std::ceil (newArea.getWidth() * newScale)));
    const auto height = juce::jmax (1, static_cast<int> (std::ceil (newArea.getHeight() * newScale)));

    context.reset();
    if (image.isValid() && image.getWidth() == width && image.getHeight() == height && newScale == scale && newArea == area && ! forceRedraw)
        return false;

    if (! image.isValid() || image.getWidth() != width || image.getHeight() != height)
        image = juce::Image (juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    else
        image.clear (image.getBounds());

    area = newArea;
    scale = newScale;
    return true;
}

juce::Graphics& PixelLayer::draw()
{
    if (context == nullptr)
    {
        context = std::make_unique<juce::Graphics> (image);
        context->addTransform (juce::AffineTransform::translation (-area.getX(), -area.getY()).scaled (scale));
    }
    return *context;
}

void PixelLayer::paintOnto (juce::Graphics& g) const
{
    if (image.isValid())
        g.drawImageTransformed (image, juce::AffineTransform::scale (1.0f / scale).translated (area.getX(), area.getY()));
}

namespace
{
void blendWhite (juce::Image::BitmapData& pixels, int x, int y, float coverage) noexcept
{
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height || ! (coverage > 0.0f))
        return;

    // Premultiplied "over" with opaque white: every channel, alpha included,
    // moves toward 255 by the coverage.
    const auto a = coverage >= 1.0f ? 256u : static_cast<juce::uint32> (coverage * 256.0f);
    auto* p = pixels.getPixelPointer (x, y);
    for (int channel = 0; channel < 4; ++channel)
        p[channel] = static_cast<juce::uint8> (p[channel] + (((255u - p[channel]) * a) >> 8));
}

float fractionalPart (float x) noexcept { return x - std::floor (x); }
} // namespace

void blendWhiteLine (juce::Image::BitmapData& pixels, juce::Point<float> from, juce::Point<float> to, float width, float alpha) noexcept
{
    if (! std::isfinite (from.x) || ! std::isfinite (from.y) || ! std::isfinite (to.x) || ! std::isfinite (to.y))
        return;

    // Wider than a pixel: parallel strands a pixel apart share the coverage.
    const auto strands = juce::jmax (1, juce::roundToInt (width));
    const auto strandAlpha = alpha * juce::jmin (width, static_cast<float> (strands)) / static_cast<float> (strands);
    const auto length = from.getDistanceFrom (to);
    const juce::Point<float> normal = length > 0.0f ? juce::Point<float> (-(to.y - from.y) / length, (to.x - from.x) / length)
                                                    : juce::Point<float> (0.0f, 1.0f);

    for (int strand = 0; strand < strands; ++strand)
    {
        const auto offset = normal * (static_cast<float> (strand) - static_cast<float> (strands - 1) / 2.0f);
        auto x0 = from.x + offset.x - 0.5f, y0 = from.y + offset.y - 0.5f; // pixel centres sit at .5
        auto x1 = to.x + offset.x - 0.5f, y1 = to.y + offset.y - 0.5f;

        // Xiaolin Wu: step along the major axis, split each step's coverage
        // between the two pixels the line passes between.
        const auto steep = std::abs (y1 - y0) > std::abs (x1 - x0);
        if (steep)
        {
            std::swap (x0, y0);
            std::swap (x1, y1);
        }
        if (x0 > x1)
        {
            std::swap (x0, x1);
            std::swap (y0, y1);
        }

        const auto dx = x1 - x0;
        const auto gradient = dx > 1.0e-6f ? (y1 - y0) / dx : 0.0f;
        // Steeper lines cover more pixels per step along the major axis.
        const auto weight = strandAlpha * std::sqrt (1.0f + gradient * gradient);
        const auto first = static_cast<int> (std::round (x0)), last = static_cast<int> (std::round (x1));

        for (int x = first; x <= last; ++x)
        {
            // The end pixels are covered only as far as the line reaches into them.
            auto reach = 1.0f;
            if (x == first)
                reach = juce::jlimit (0.0f, 1.0f, 1.0f - (x0 - (static_cast<float> (first) - 0.5f)));
            if (x == last)
                reach = juce::jmin (reach, juce::jlimit (0.0f, 1.0f, x1 - (static_cast<float> (last) - 0.5f)));

            const auto y = y0 + gradient * (static_cast<float> (x) - x0);
            const auto below = static_cast<int> (std::floor (y));
            const auto f = fractionalPart (y);
            const auto c = weight * reach;
            if (steep)
            {
                blendWhite (pixels, below, x, c * (1.0f - f));
                blendWhite (pixels, below + 1, x, c * f);
            }
            else
            {
                blendWhite (pixels, x, below, c * (1.0f - f));
                blendWhite (pixels, x, below + 1, c * f);
            }
        }
    }
}

} // namespace mur::views
