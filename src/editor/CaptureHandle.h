#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur
{

class TakeBuilder;

// The small handle in the Rhythm panel's header that offers what MUR just
// played as a MIDI clip: it shows how many bars are ready, a drag out of the
// window hands the host a MIDI file of them, and its menu (right-click, or
// Return from the keyboard) picks the length, saves the clip or clears it.
// With nothing captured it is dimmed and says why.
class CaptureHandle : public juce::Component,
                      public juce::SettableTooltipClient
{
public:
    struct Links
    {
        TakeBuilder& take;
        std::function<juce::String()> presetName;
    };

    explicit CaptureHandle (Links);
    ~CaptureHandle() override;

    // Shows the take as it stands now.
    void follow();

    int getLength() const noexcept { return length; }
    void setLength (int bars);
    // The bars a drag or a save would hold now; 0 when nothing is captured.
    int barsReady() const;

    // Writes the clip into the drag folder; an invalid file (and a message)
    // when it cannot.
    juce::File writeDragFile();
    juce::Result saveTo (const juce::File& target);
    void clear();
    void showMenu();

    // Tells the user why a clip could not be written; a message box unless
    // replaced.
    std::function<void (const juce::String&)> onProblem;
    // Starts the system's file drag; replaced by tests that have no desktop.
    std::function<bool (const juce::File&)> startExternalDrag;

    void paint (juce::Graphics&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void focusGained (FocusChangeType) override { repaint(); }
    void focusLost (FocusChangeType) override { repaint(); }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

private:
    void refreshTooltip();
    void chooseAndSave();
    void tellProblem (const juce::String& message);

    Links links;
    int length;
    int shownBars = -1;
    std::uint64_t shownGeneration = ~std::uint64_t {};
    bool hovered = false, dragStarted = false;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CaptureHandle)
};

} // namespace mur
