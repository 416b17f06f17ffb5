#include "UpdateAvailableOverlayComponent.h"

#include "OverlayPanel.h"
#include "resources/EditorResources.h"

namespace mur
{

UpdateAvailableOverlayComponent::UpdateAvailableOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& version,
                                                                  const juce::String& location, std::function<void()> dismiss,
                                                                  std::function<void()> remindLater)
    : onDismiss (std::move (dismiss)), onRemindLater (std::move (remindLater)), latestVersion (version), downloadLocation (location)
{
    setInterceptsMouseClicks (true, true);

    messageLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    messageLabel.setJustificationType (juce::Justification::centred);
    messageLabel.setFont (uiFont (14.0f));
    messageLabel.setText ("Version " + latestVersion + " is available.\n"
                              + (downloadLocation.isNotEmpty() ? "Click Download to get the update." : "Download from your account."),
                          juce::dontSendNotification);

    overlays::styleButton (downloadButton, "Download", buttonLookAndFeel, [this]
    {
        if (downloadLocation.isNotEmpty())
            overlays::openInBrowser (downloadLocation);
    });
    // Either of these may end the notice: nothing of it is touched after.
    overlays::styleButton (remindButton, "Remind me later", buttonLookAndFeel, [this]
    {
        if (auto remind = onRemindLater)
            remind();
    });
    overlays::styleButton (okButton, "OK", buttonLookAndFeel, [this]
    {
        if (auto dismissed = onDismiss)
            dismissed();
    });

    addAndMakeVisible (messageLabel);
    addChildComponent (downloadButton);
    downloadButton.setVisible (downloadLocation.isNotEmpty());
    addAndMakeVisible (remindButton);
    addAndMakeVisible (okButton);
}

UpdateAvailableOverlayComponent::~UpdateAvailableOverlayComponent()
{
    for (auto* button : { &downloadButton, &remindButton, &okButton })
        button->setLookAndFeel (nullptr);
}

void UpdateAvailableOverlayComponent::paint (juce::Graphics& g)
{
    overlays::paintVeilAndPanel (g, getLocalBounds(), panel);
    overlays::drawSingleLine (g, "Update Available", 18.0f, juce::Colours::white, { panel.getX(), panel.getY(), panel.getWidth(), 50 });
}

void UpdateAvailableOverlayComponent::resized()
{
    panel = overlays::centredPanel (getLocalBounds(), panelWidth(), panelHeight);
    const auto px = panel.getX(), py = panel.getY();
    if (downloadLocation.isNotEmpty())
    {
        messageLabel.setBounds (px + 30, py + 55, 400, 50);
        downloadButton.setBounds (px + 38, py + 117, 120, 28);
        remindButton.setBounds (px + 170, py + 117, 120, 28);
        okButton.setBounds (px + 302, py + 117, 120, 28);
    }
    else
    {
        messageLabel.setBounds (px + 30, py + 55, 280, 50);
        remindButton.setBounds (px + 44, py + 117, 120, 28);
        okButton.setBounds (px + 176, py + 117, 120, 28);
    }
}

} // namespace mur
