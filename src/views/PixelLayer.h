#pragma once

#include <juce_graphics/juce_graphics.h>

namespace mur::views
{

// An offscreen picture of part of a view, kept at the screen's own pixel
// density so that it lands one to one, and redrawn only when asked.
class PixelLayer
{
public:
    // Prepares the picture for `area` (in the view's units) as `g` shows it:
    // true when it is new or cleared and must be drawn again, in which case
    // it is transparent and `draw` gives a context in the view's units.
    bool prepare (juce::Graphics& g, juce::Rectangle<float> area, bool forceRedraw);
    juce::Graphics& draw();

    // Pixel access for drawing without a context.
    juce::Image& getImage() noexcept { return image; }
    float getScale() const noexcept { return scale; }

    void paintOnto (juce::Graphics& g) const;

private:
    juce::Image image;
    std::unique_ptr<juce::Graphics> context;
    juce::Rectangle<float> area;
    float scale = 1.0f;
};

// Adds an antialiased straight line to an ARGB image in its pixels: white at
// `alpha`, about `width` pixels wide (a thin line's coverage spread over the
// pixels it crosses). Much cheaper than filling a line's outline path when
// hundreds are drawn every frame.
void blendWhiteLine (juce::Image::BitmapData& pixels, juce::Point<float> from, juce::Point<float> to, float width, float alpha) noexcept;

} // namespace mur::views
