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

// The About panel over the whole editor: title, kind, version, the maker's
// lines, the logo link and Close. A press on the veil closes it too.
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

    std::function<void()> onClose;

private:
    juce::String version;
    juce::Rectangle<int> panel;
    CorvaneLogoLink logoLink;
    juce::TextButton closeButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutOverlayComponent)
};

} // namespace mur
