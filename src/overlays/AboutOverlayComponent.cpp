#include "AboutOverlayComponent.h"

#include "OverlayPanel.h"
#include "resources/EditorResources.h"

namespace mur
{

CorvaneLogoLink::CorvaneLogoLink() : logoImage (embeddedImage ("corvane_logo_png"))
{
    setInterceptsMouseClicks (true, false);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setTooltip (juce::String ("Open ") + overlays::makerWebSiteName);
}

void CorvaneLogoLink::mouseDown (const juce::MouseEvent&)
{
    overlays::openInBrowser (overlays::makerWebSite);
}

void CorvaneLogoLink::paint (juce::Graphics& g)
{
    if (logoImage.isValid())
        g.drawImageWithin (logoImage, 0, 0, getWidth(), getHeight(),
                           juce::RectanglePlacement::xMid | juce::RectanglePlacement::yMid | juce::RectanglePlacement::onlyReduceInSize);
}

//==============================================================================
UpdateCheckSwitch::UpdateCheckSwitch() : juce::ToggleButton ("Check for updates")
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    setWantsKeyboardFocus (true);
    setTooltip ("Ask corvane.com once per session whether a newer version of MUR exists.");
}

void UpdateCheckSwitch::paintButton (juce::Graphics& g, bool highlighted, bool)
{
    const auto enabled = isEnabled();
    const auto box = juce::Rectangle<float> (2.0f, (static_cast<float> (getHeight()) - 14.0f) * 0.5f, 14.0f, 14.0f);

    g.setColour (juce::Colour (highlighted && enabled ? 0xFF9090A8u : 0xFF606074u));
    g.drawRoundedRectangle (box, 3.0f, 1.0f);

    if (getToggleState())
    {
        juce::Path tick;
        tick.startNewSubPath (box.getX() + 3.5f, box.getCentreY());
        tick.lineTo (box.getX() + 6.0f, box.getBottom() - 3.5f);
        tick.lineTo (box.getRight() - 3.0f, box.getY() + 3.5f);
        g.setColour (enabled ? juce::Colours::white : juce::Colour (0xFF7A7A8Au));
        g.strokePath (tick, juce::PathStrokeType (1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    g.setColour (enabled ? juce::Colour (0xFFD0D0DCu) : juce::Colour (0xFF7A7A8Au));
    g.setFont (uiFont (11.0f));
    g.drawText (getButtonText(), getLocalBounds().withTrimmedLeft (24), juce::Justification::centredLeft, true);

    if (hasKeyboardFocus (false))
    {
        g.setColour (juce::Colour (0xFF606074u));
        g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (0.5f), 3.0f, 1.0f);
    }
}

//==============================================================================
AboutOverlayComponent::AboutOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& versionText,
                                              std::function<void()> close)
    : onClose (std::move (close)), version (versionText)
{
    setInterceptsMouseClicks (true, true);
    // The button may end the overlay: nothing of it is touched after onClose.
    overlays::styleButton (closeButton, "Close", buttonLookAndFeel, [this]
    {
        if (auto closing = onClose)
            closing();
    });
    updateCheckSwitch.onClick = [this]
    {
        if (auto changed = onUpdateCheckChanged)
            changed (updateCheckSwitch.getToggleState());
    };
    addAndMakeVisible (logoLink);
    addAndMakeVisible (updateCheckSwitch);
    addAndMakeVisible (closeButton);
}

void AboutOverlayComponent::showUpdateCheck (bool isOn, bool userMayChange)
{
    updateCheckSwitch.setToggleState (isOn, juce::dontSendNotification);
    updateCheckSwitch.setEnabled (userMayChange);
    updateCheckSwitch.setTooltip (userMayChange ? "Ask corvane.com once per session whether a newer version of MUR exists."
                                                : "Switched off by the MUR_UPDATE_URL environment variable.");
}

AboutOverlayComponent::~AboutOverlayComponent()
{
    closeButton.setLookAndFeel (nullptr);
}

void AboutOverlayComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! panel.contains (e.getPosition()))
        if (auto close = onClose)
            close();
}

void AboutOverlayComponent::paint (juce::Graphics& g)
{
    using overlays::drawSingleLine;
    const auto px = panel.getX(), py = panel.getY();
    overlays::paintVeilAndPanel (g, getLocalBounds(), panel);
    drawSingleLine (g, "About MUR", 18.0f, juce::Colours::white, { px + 30, py + 40, 400, 38 });
    drawSingleLine (g, "Neural MIDI Arpeggiator", 11.0f, juce::Colour (0xFFB8B8C8u), { px + 30, py + 78, 400, 18 });
    drawSingleLine (g, "Version " + version, 13.0f, juce::Colours::white, { px + 30, py + 96, 400, 24 });

    // The maker's lines squeeze to 0.7 of their width before they shorten.
    g.setColour (juce::Colour (0xFFD0D0DCu));
    g.setFont (uiFont (11.0f));
    g.drawFittedText (overlays::makerNoticeLine, { px + 30, py + 134, 400, 16 }, juce::Justification::centred, 1, 0.7f);
    g.setColour (juce::Colour (0xFF7A7A8Au));
    g.setFont (uiFont (10.0f));
    g.drawFittedText (overlays::makerSecondLine, { px + 30, py + 150, 400, 16 }, juce::Justification::centred, 1, 0.7f);
}

void AboutOverlayComponent::resized()
{
    panel = overlays::centredPanel (getLocalBounds(), panelWidth, panelHeight);
    updateCheckSwitch.setBounds (panel.getX() + 165, panel.getY() + 172, 130, 20);
    logoLink.setBounds (panel.getX() + 135, panel.getY() + 200, 190, 31);
    closeButton.setBounds (panel.getX() + 170, panel.getY() + 253, 120, 28);
}

} // namespace mur
