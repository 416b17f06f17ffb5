#include "ArpAudioProcessorEditor.h"

#include "processor/ArpAudioProcessor.h"

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
        viewsDirty = true;
    }
}

void ArpAudioProcessorEditor::loadPresetButtonClicked()
{
    chooser = std::make_unique<juce::FileChooser> ("Load Preset", processor.loadDialogFolder(), "*.fxp", true);
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [this] (const juce::FileChooser& fc)
    {
        const auto file = fc.getResult();
        if (file.getFullPathName().isEmpty())
            return;

        loadingPreset = true;
        presetModified = false;
        const ArpAudioProcessor::ScopedUserAction userAction (processor);
        processor.loadPresetFile (file);
        loadingPreset = false;
        capturePresetFile (file, true);
    });
}

void ArpAudioProcessorEditor::savePresetButtonClicked()
{
    if (! presetBarShown)
        return;

    processor.ensurePresetFolders();
    chooser = std::make_unique<juce::FileChooser> ("Save Preset", processor.saveDialogFolder(), "*.fxp", true);
    chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles,
                          [this] (const juce::FileChooser& fc)
    {
        const auto file = fc.getResult();
        if (file.getFullPathName().isEmpty())
            return;

        savingPreset = true;
        processor.savePreset (file);
        savingPreset = false;
        presetModified = false;
        capturePresetFile (file, false);
    });
}

void ArpAudioProcessorEditor::loadAdjacentPreset (bool next)
{
    if (! presetBarShown)
        return;

    const auto files = processor.listPresetsInCurrentFolder();
    if (files.isEmpty())
        return;

    const auto file = PresetLibrary::adjacent (files, presetName, next);
    presetModified = false;
    loadingPreset = true;
    processor.loadPresetFile (file);
    loadingPreset = false;
    capturePresetFile (file, true);
}

} // namespace mur
