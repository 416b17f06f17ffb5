#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// "Update Available": the version on offer, "Download" when there is a
// download location, "Remind me later" and "OK". A click on the veil does
// nothing; "Download" leaves the notice open.
class UpdateAvailableOverlayComponent : public juce::Component
{
public:
    static constexpr int panelHeight = 170;

    UpdateAvailableOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& latestVersion,
                                     const juce::String& downloadLocation, std::function<void()> onDismiss,
                                     std::function<void()> onRemindLater);
    ~UpdateAvailableOverlayComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Rectangle<int> getPanel() const { return panel; }
    const juce::String& getLatestVersion() const noexcept { return latestVersion; }
    juce::Label& getMessageLabel() noexcept { return messageLabel; }
    juce::TextButton& getDownloadButton() noexcept { return downloadButton; }
    juce::TextButton& getRemindButton() noexcept { return remindButton; }
    juce::TextButton& getOkButton() noexcept { return okButton; }

    std::function<void()> onDismiss, onRemindLater;

private:
    int panelWidth() const noexcept { return downloadLocation.isNotEmpty() ? 460 : 340; }

    juce::String latestVersion, downloadLocation;
    juce::Rectangle<int> panel;
    juce::Label messageLabel;
    juce::TextButton downloadButton, okButton, remindButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdateAvailableOverlayComponent)
};

} // namespace mur
