#include "ArpAudioProcessorEditor.h"

#include "persistence/PresetLibrary.h"
#include "persistence/UndoHistory.h"

// The editor's preset bar: the name with its modified mark, loading and
// saving through file choosers, and stepping through the current folder.
namespace mur
{

void ArpAudioProcessorEditor::markPresetModified()
{
    if (loadingPreset || savingPreset || syncingControls || presetModified)
        return;

    presetModified = true;
    if (presetName.isNotEmpty())
        refreshPresetLabel();
}

void ArpAudioProcessorEditor::refreshPresetLabel()
{
    presetLabel.setText (presetModified ? presetName + " *" : presetName, juce::dontSendNotification);
}

void ArpAudioProcessorEditor::capturePresetFile (const juce::File& file, bool loaded)
{
    presetName = file.getFileNameWithoutExtension();
    refreshPresetLabel();

    if (loaded)
    {
        syncingControls = true;
        syncControlsFromProcessor();
        syncingControls = false;
    }
}

void ArpAudioProcessorEditor::choosePresetFile (const juce::String& title, const juce::File& folder, int mode,
                                                std::function<void (const juce::File&)> chosen)
{
    chooser = std::make_unique<juce::FileChooser> (title, folder, "*.fxp", true);
    chooser->launchAsync (mode | juce::FileBrowserComponent::canSelectFiles,
                          [chosen = std::move (chosen)] (const juce::FileChooser& fc)
    {
        if (const auto file = fc.getResult(); file.getFullPathName().isNotEmpty())
            chosen (file);
    });
}

void ArpAudioProcessorEditor::loadPreset (const juce::File& file)
{
    presetModified = false;
    loadingPreset = true;
    {
        const UndoHistory::ScopedUserAction userAction (history);
        presets.loadPresetFile (file);
    }
    loadingPreset = false;
    capturePresetFile (file, true);
}

void ArpAudioProcessorEditor::loadPresetButtonClicked()
{
    choosePresetFile ("Load Preset", presets.loadDialogFolder(), juce::FileBrowserComponent::openMode,
                      [this] (const juce::File& file) { loadPreset (file); });
}

void ArpAudioProcessorEditor::savePresetButtonClicked()
{
    if (! presetBarShown)
        return;

    presets.ensurePresetFolders();
    choosePresetFile ("Save Preset", presets.saveDialogFolder(), juce::FileBrowserComponent::saveMode,
                      [this] (const juce::File& file)
    {
        savingPreset = true;
        presets.savePreset (file);
        savingPreset = false;
        presetModified = false;
        capturePresetFile (file, false);
    });
}

void ArpAudioProcessorEditor::loadAdjacentPreset (bool next)
{
    if (! presetBarShown)
        return;

    const auto files = presets.listPresetsInCurrentFolder();
    if (! files.isEmpty())
        loadPreset (PresetLibrary::adjacent (files, presetName, next));
}

} // namespace mur
