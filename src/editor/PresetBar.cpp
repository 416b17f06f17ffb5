#include "PresetBar.h"

#include "resources/EditorResources.h"
#include "persistence/PresetLibrary.h"
#include "persistence/UndoHistory.h"

namespace mur
{

PresetBar::PresetBar (Presets& p, UndoHistory& h) : presets (p), history (h)
{
    setInterceptsMouseClicks (false, true);

    auto add = [this] (juce::Button& button, juce::Rectangle<int> bounds, const char* tip, std::function<void()> action)
    {
        button.setTooltip (tip);
        button.onClick = [this, action = std::move (action)]
        {
            const UndoHistory::ScopedUserAction userAction (history);
            action();
        };
        button.setBounds (bounds.translated (-x, -y));
        addAndMakeVisible (button);
    };

    // Bounds in design units, in the order they are stacked.
    saveButton = std::make_unique<SaveButtonComponent> ("savePresetButton");
    add (*saveButton, { 728, 21, 16, 16 }, "Save preset to file.", [this] { chooseAndSave(); });
    undoButton = std::make_unique<UndoButtonComponent> ("undoButton");
    add (*undoButton, { 330, 23, 12, 12 }, "Undo last change.", [this] { if (history.canUndo()) history.undo(); });
    redoButton = std::make_unique<RedoButtonComponent> ("redoButton");
    add (*redoButton, { 358, 23, 12, 12 }, "Redo last undone change.", [this] { if (history.canRedo()) history.redo(); });
    previousButton = std::make_unique<presetMenuPreviousButtonComponent> ("presetMenuPreviousButton", 0);
    add (*previousButton, { 401, 23, 7, 12 }, "Load previous preset in folder.", [this] { loadAdjacent (false); });
    nextButton = std::make_unique<presetMenuPreviousButtonComponent> ("presetMenuNextButton", 1);
    add (*nextButton, { 669, 23, 7, 12 }, "Load next preset in folder.", [this] { loadAdjacent (true); });

    label.setColour (juce::Label::textColourId, juce::Colour::fromString ("FF0B0070"));
    label.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    label.setFont (presetFont (13.0f));
    label.setJustificationType (juce::Justification::centred);
    label.setBorderSize ({});
    label.setEditable (false);
    label.setInterceptsMouseClicks (true, true);
    label.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    label.setTooltip ("Click to load preset from file.");
    label.addMouseListener (this, false);
    label.setBounds (juce::Rectangle<int> (432, 20, 215, 18).translated (-x, -y));
    addAndMakeVisible (label);

    presets.syncCurrentPresetFolder();
    follow();
    refreshUndoRedo();
}

PresetBar::~PresetBar()
{
    label.removeMouseListener (this);
}

void PresetBar::follow()
{
    if (const auto loads = presets.getLoadCount(); loads != followedLoads)
    {
        followedLoads = loads;
        modified = false;
    }

    name = presets.getCurrentPresetName();
    refreshLabel();
}

void PresetBar::markModified()
{
    if (busy || modified)
        return;

    modified = true;
    refreshLabel();
}

void PresetBar::refreshLabel()
{
    if (problem.isNotEmpty())
        return;

    const auto text = modified && name.isNotEmpty() ? name + " *" : name;
    if (label.getText() != text)
        label.setText (text, juce::dontSendNotification);
}

void PresetBar::showProblem (const juce::String& reason)
{
    problem = reason;
    label.setText (reason, juce::dontSendNotification);
    label.setColour (juce::Label::textColourId, juce::Colour (0xFF8A1020u));
    label.setTooltip (reason);

    juce::Component::SafePointer<PresetBar> bar (this);
    juce::Timer::callAfterDelay (4000, [bar, reason]
    {
        if (bar != nullptr && bar->problem == reason)
            bar->clearProblem();
    });
}

void PresetBar::clearProblem()
{
    problem.clear();
    label.setColour (juce::Label::textColourId, juce::Colour::fromString ("FF0B0070"));
    label.setTooltip ("Click to load preset from file.");
    refreshLabel();
}

void PresetBar::refreshUndoRedo()
{
    if (undoButton->isEnabled() != history.canUndo())
        undoButton->setEnabled (history.canUndo());
    if (redoButton->isEnabled() != history.canRedo())
        redoButton->setEnabled (history.canRedo());
}

void PresetBar::setShown (bool shouldShow)
{
    shown = shouldShow;
    undoButton->setVisible (shouldShow);
    redoButton->setVisible (shouldShow);

    for (juce::Component* c : { static_cast<juce::Component*> (previousButton.get()), static_cast<juce::Component*> (nextButton.get()),
                                static_cast<juce::Component*> (&label), static_cast<juce::Component*> (saveButton.get()) })
    {
        c->setAlpha (shouldShow ? 1.0f : 0.0f);
        c->setEnabled (shouldShow);
    }

    label.setInterceptsMouseClicks (shouldShow, shouldShow);
    label.setMouseCursor (shouldShow ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);

    if (onShownChanged != nullptr)
        onShownChanged (shouldShow);
}

//==============================================================================
void PresetBar::loadFile (const juce::File& file)
{
    juce::Result loaded = juce::Result::ok();
    {
        const juce::ScopedValueSetter<bool> loading (busy, true);
        const UndoHistory::ScopedUserAction userAction (history);
        loaded = presets.loadPresetFile (file);
    }

    if (loaded.failed())
        showProblem (loaded.getErrorMessage());
    else if (problem.isNotEmpty())
        clearProblem();
    follow();
    if (onLoaded != nullptr)
        onLoaded();
}

void PresetBar::choose (const juce::String& title, const juce::File& folder, int mode, std::function<void (const juce::File&)> chosen)
{
    chooser = std::make_unique<juce::FileChooser> (title, folder, "*.fxp", true);
    chooser->launchAsync (mode | juce::FileBrowserComponent::canSelectFiles, [chosen = std::move (chosen)] (const juce::FileChooser& fc)
    {
        if (const auto file = fc.getResult(); file.getFullPathName().isNotEmpty())
            chosen (file);
    });
}

void PresetBar::chooseAndLoad()
{
    choose ("Load Preset", presets.loadDialogFolder(), juce::FileBrowserComponent::openMode,
            [this] (const juce::File& file) { loadFile (file); });
}

void PresetBar::chooseAndSave()
{
    if (! shown)
        return;

    presets.ensurePresetFolders();
    choose ("Save Preset", presets.saveDialogFolder(), juce::FileBrowserComponent::saveMode, [this] (const juce::File& file)
    {
        {
            const juce::ScopedValueSetter<bool> saving (busy, true);
            presets.savePreset (file);
        }
        modified = false;
        follow();
    });
}

void PresetBar::loadAdjacent (bool next)
{
    if (! shown)
        return;

    const auto files = presets.listPresetsInCurrentFolder();
    if (! files.isEmpty())
        loadFile (PresetLibrary::adjacent (files, name, next));
}

//==============================================================================
void PresetBar::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent == &label && shown)
        chooseAndLoad();
}

void PresetBar::mouseEnter (const juce::MouseEvent& e)
{
    if (e.eventComponent == &label)
        label.setMouseCursor (shown ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
}

void PresetBar::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == &label)
        label.setMouseCursor (juce::MouseCursor::NormalCursor);
}

} // namespace mur
