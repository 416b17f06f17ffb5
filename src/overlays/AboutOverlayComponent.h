#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// The maker's logo; a press opens the maker's web site.
class CorvaneLogoLink : public juce::Component, public juce::SettableTooltipClient
{
public:
    CorvaneLogoLink();

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

private:
    juce::Image logoImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvaneLogoLink)
};

// The "Check for updates" switch: a small box with a tick and its caption,
// in the overlays' colours. Greyed out when the environment has switched the
// check off, which then wins.
class UpdateCheckSwitch : public juce::ToggleButton
{
public:
    UpdateCheckSwitch();

    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UpdateCheckSwitch)
};

// The About panel over the whole editor: title, kind, version, the maker's
// lines, the update check's switch, the logo link and Close. A press on the
// veil closes it too.
class AboutOverlayComponent : public juce::Component
{
public:
    static constexpr int panelWidth = 460, panelHeight = 320;

    AboutOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& version, std::function<void()> onClose);
    ~AboutOverlayComponent() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Rectangle<int> getPanel() const { return panel; }
    CorvaneLogoLink& getLogoLink() noexcept { return logoLink; }
    juce::TextButton& getCloseButton() noexcept { return closeButton; }
    UpdateCheckSwitch& getUpdateCheckSwitch() noexcept { return updateCheckSwitch; }

    // Shows whether the check is on, and whether the user may change it.
    void showUpdateCheck (bool isOn, bool userMayChange);

    std::function<void()> onClose;
    // The user turned the update check on or off.
    std::function<void (bool)> onUpdateCheckChanged;

private:
    juce::String version;
    juce::Rectangle<int> panel;
    CorvaneLogoLink logoLink;
    UpdateCheckSwitch updateCheckSwitch;
    juce::TextButton closeButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutOverlayComponent)
};

} // namespace mur
