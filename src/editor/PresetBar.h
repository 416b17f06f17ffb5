#pragma once

#include "Buttons.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

namespace mur
{

class Presets;
class UndoHistory;

// The bar along the top: undo and redo, the preset's name (a click loads a
// file), the previous and next presets of its folder, and Save. It loads and
// saves through the presets and shows the name the processor holds, marked
// with " *" once the user has edited anything since.
class PresetBar : public juce::Component
{
public:
    static constexpr int x = 330, y = 20, width = 414, height = 18;

    PresetBar (Presets& presets, UndoHistory& history);
    ~PresetBar() override;

    // Shows the preset the processor holds; a load it had since (a preset,
    // a restored project) clears the edit mark.
    void follow();
    // The user changed something.
    void markModified();
    // Undo and redo follow the history.
    void refreshUndoRedo();

    // Ctrl+Shift+H hides the bar (its buttons then take no clicks).
    void setShown (bool shouldShow);
    bool isShown() const noexcept { return shown; }

    void loadFile (const juce::File& file);
    void chooseAndLoad();
    void chooseAndSave();
    void loadAdjacent (bool next);

    // Why the last preset chosen was not loaded: shown in place of the name
    // for a few seconds (empty once the name is back).
    const juce::String& getProblem() const noexcept { return problem; }
    const juce::String& getName() const noexcept { return name; }
    juce::String getLabelText() const { return label.getText(); }
    juce::Button& getUndoButton() noexcept { return *undoButton; }
    juce::Button& getRedoButton() noexcept { return *redoButton; }
    juce::Button& getSaveButton() noexcept { return *saveButton; }
    juce::Label& getLabel() noexcept { return label; }

    void mouseDown (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

    std::function<void (bool shown)> onShownChanged;
    // A preset was loaded from the bar.
    std::function<void()> onLoaded;

private:
    void refreshLabel();
    void showProblem (const juce::String& reason);
    void clearProblem();
    void choose (const juce::String& title, const juce::File& folder, int mode, std::function<void (const juce::File&)> chosen);

    Presets& presets;
    UndoHistory& history;

    std::unique_ptr<UndoButtonComponent> undoButton;
    std::unique_ptr<RedoButtonComponent> redoButton;
    std::unique_ptr<presetMenuPreviousButtonComponent> previousButton, nextButton;
    std::unique_ptr<SaveButtonComponent> saveButton;
    juce::Label label;
    std::unique_ptr<juce::FileChooser> chooser;

    juce::String name, problem;
    std::uint32_t followedLoads = 0;
    bool modified = false, shown = true, busy = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetBar)
};

} // namespace mur
