#include "LookAndFeels.h"

#include "resources/EditorResources.h"

namespace mur
{

juce::TextLayout TooltipLookAndFeel::layoutFor (const juce::String& text)
{
    juce::AttributedString s;
    s.setJustification (juce::Justification::centred);
    s.setWordWrap (juce::AttributedString::byChar);
    s.append (text, uiFont (13.0f), juce::Colours::white);

    juce::TextLayout layout;
    layout.createLayout (s, 400.0f);
    return layout;
}

juce::Rectangle<int> TooltipLookAndFeel::getTooltipBounds (const juce::String& text, juce::Point<int> p,
                                                           juce::Rectangle<int> area)
{
    const auto layout = layoutFor (text);
    const auto w = juce::jmax (juce::roundToInt (layout.getWidth()) + 16, 80);
    const auto h = juce::jmax (juce::roundToInt (layout.getHeight()) + 16, 24);

    auto x = p.x > area.getCentreX() ? p.x - w - 12 : p.x + 24;
    auto y = p.y - h - 6;
    x = juce::jlimit (area.getX(), area.getX() + juce::jmax (area.getWidth() - w, 0), x);
    y = juce::jlimit (area.getY(), area.getY() + juce::jmax (area.getHeight() - h, 0), y);

    return { x, y, juce::jmin (area.getWidth(), w), juce::jmin (area.getHeight(), h) };
}

void TooltipLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    const auto w = static_cast<float> (width), h = static_cast<float> (height);
    g.setColour (juce::Colour (0xff0a0a0c));
    g.fillRect (0.0f, 0.0f, w, h);
    g.setColour (juce::Colour (0xffe0e0e0));
    g.drawRect (juce::Rectangle<float> (0.5f, 0.5f, w - 1.0f, h - 1.0f), 1.0f);
    layoutFor (text).draw (g, { 0.0f, 0.0f, w, h });
}

//==============================================================================
void TransparentBackgroundButtonLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                                   const juce::Colour&, bool highlighted, bool down)
{
    const auto r = button.getLocalBounds().toFloat().reduced (0.5f);
    const auto white = juce::Colours::white;

    if (down)
    {
        g.setColour (white.withAlpha (0.35f));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (white);
    }
    else if (highlighted)
    {
        g.setColour (white.withAlpha (0.18f));
        g.fillRoundedRectangle (r, 4.0f);
        g.setColour (white.withAlpha (0.85f));
    }
    else
    {
        g.setColour (white.withAlpha (0.7f));
    }

    g.drawRoundedRectangle (r, 4.0f, 1.0f);
}

void TransparentBackgroundButtonLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    g.setColour (button.findColour (juce::TextButton::textColourOffId));
    g.setFont (uiFont (14.0f));
    g.drawText (button.getButtonText(), button.getLocalBounds(), juce::Justification::centred, true);
}

//==============================================================================
ArpTooltipWindow::ArpTooltipWindow() : juce::TooltipWindow (nullptr, 700)
{
    setMillisecondsBeforeTipAppears (700);
}

juce::String ArpTooltipWindow::getTipFor (juce::Component& component)
{
    if (suppressTips && suppressTips())
        return {};

    return juce::TooltipWindow::getTipFor (component);
}

} // namespace mur
