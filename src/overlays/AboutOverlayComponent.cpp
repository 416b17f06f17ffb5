#include "AboutOverlayComponent.h"

#include "OverlayPanel.h"
#include "editor/EditorResources.h"

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
    addAndMakeVisible (logoLink);
    addAndMakeVisible (closeButton);
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
    logoLink.setBounds (panel.getX() + 135, panel.getY() + 200, 190, 31);
    closeButton.setBounds (panel.getX() + 170, panel.getY() + 253, 120, 28);
}

} // namespace mur
