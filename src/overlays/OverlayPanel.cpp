#include "OverlayPanel.h"

#include "resources/EditorResources.h"

namespace mur::overlays
{
namespace
{
std::function<void (const juce::String&)>& browserLauncher()
{
    static std::function<void (const juce::String&)> launcher;
    return launcher;
}
} // namespace

juce::Rectangle<int> centredPanel (juce::Rectangle<int> area, int width, int height)
{
    return { area.getX() + (area.getWidth() - width) / 2, area.getY() + (area.getHeight() - height) / 2, width, height };
}

void paintVeilAndPanel (juce::Graphics& g, juce::Rectangle<int> whole, juce::Rectangle<int> panel)
{
    g.setColour (juce::Colour (0xEE0A0A0Cu));
    g.fillRect (whole);
    g.setColour (juce::Colour (0xFF0A0A0Cu));
    g.fillRoundedRectangle (panel.toFloat(), 8.0f);
    g.setColour (juce::Colour (0xFF404050u));
    g.drawRoundedRectangle (panel.toFloat(), 8.0f, 1.0f);
}

void drawSingleLine (juce::Graphics& g, const juce::String& text, float fontHeight, juce::Colour colour, juce::Rectangle<int> box)
{
    g.setColour (colour);
    g.setFont (uiFont (fontHeight));
    g.drawText (text, box, juce::Justification::centred, true);
}

void styleButton (juce::TextButton& button, const juce::String& text, juce::LookAndFeel* lookAndFeel, std::function<void()> onClick)
{
    button.setButtonText (text);
    button.setLookAndFeel (lookAndFeel);
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    button.setColour (juce::TextButton::textColourOnId, juce::Colours::white);
    button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    button.onClick = std::move (onClick);
}

void openInBrowser (const juce::String& address)
{
    if (browserLauncher())
        browserLauncher() (address);
    else
        juce::URL (address).launchInDefaultBrowser();
}

void setBrowserLauncher (std::function<void (const juce::String&)> launcher)
{
    browserLauncher() = std::move (launcher);
}

} // namespace mur::overlays
