#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur
{

// Carries every control that lives in design units (1078 x 539); the editor
// scales it as a whole with one transform. It paints the background artwork
// from a copy scaled once per window size, so a repaint only copies pixels.
class DesignRootComponent : public juce::Component
{
public:
    static constexpr int designWidth = 1078, designHeight = 539;

    DesignRootComponent();

    // The window's size in pixels, which the background copy is made for.
    void setPixelSize (int width, int height);
    void setPresetBarShown (bool shouldShow);
    bool isPresetBarShown() const noexcept { return presetBarShown; }

    void paint (juce::Graphics&) override;

private:
    const juce::Image& scaledBackground();

    juce::Image background, backgroundHidden, logo;
    // The scaled copy, and the same in parts as it is drawn: where every
    // pixel is opaque without an alpha channel (drawing that is a plain copy,
    // not a blend per pixel), the edges as they are.
    juce::Image scaled;
    struct Part
    {
        juce::Image image;
        juce::Point<int> at;
    };
    std::vector<Part> parts;
    bool scaledWithBar = true;
    int pixelWidth = designWidth, pixelHeight = designHeight;
    bool presetBarShown = true;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DesignRootComponent)
};

} // namespace mur
