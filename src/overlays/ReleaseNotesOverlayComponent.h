#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

// "What's new": a version's notes in a read-only text view, until "OK".
// A click on the veil does nothing.
class ReleaseNotesOverlayComponent : public juce::Component
{
public:
    static constexpr int panelWidth = 500, panelHeight = 360;

    ReleaseNotesOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& version, const juce::String& notes,
                                  std::function<void()> onClose);
    ~ReleaseNotesOverlayComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    juce::Rectangle<int> getPanel() const { return panel; }
    juce::TextEditor& getNotesView() noexcept { return notesView; }
    juce::TextButton& getOkButton() noexcept { return okButton; }

    std::function<void()> onClose;

private:
    juce::String version;
    juce::Rectangle<int> panel;
    juce::TextEditor notesView;
    juce::TextButton okButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ReleaseNotesOverlayComponent)
};

} // namespace mur
