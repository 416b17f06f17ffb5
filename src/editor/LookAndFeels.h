#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// Dark tips with a light outline, placed above the pointer on the side
// towards the middle of the screen.
class TooltipLookAndFeel : public juce::LookAndFeel_V4
{
public:
    juce::Rectangle<int> getTooltipBounds (const juce::String& text, juce::Point<int> position,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;

    static juce::TextLayout layoutFor (const juce::String& text);
};

// Outlined buttons over the information overlays and the accent panel.
class TransparentBackgroundButtonLookAndFeel : public juce::LookAndFeel_V4
{
public:
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool highlighted, bool down) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool highlighted, bool down) override;
};

// The editor's tooltip window; tips are suppressed while suppressTips says so
// (the preset bar is hidden).
class ArpTooltipWindow : public juce::TooltipWindow
{
public:
    ArpTooltipWindow();
    juce::String getTipFor (juce::Component&) override;

    std::function<bool()> suppressTips;
};

} // namespace mur
