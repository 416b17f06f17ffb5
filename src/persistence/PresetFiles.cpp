#include "processor/ArpAudioProcessor.h"

// Saving, loading and walking through preset files.
namespace mur
{

void ArpAudioProcessor::savePreset (const juce::File& file)
{
    juce::MemoryBlock document;
    writeStateDocument (document, false);

    // Written beside the target first and moved over it in one step, so a
    // failed write never leaves a truncated preset behind.
    juce::TemporaryFile temporary (file);
    if (temporary.getFile().replaceWithData (document.getData(), document.getSize()))
        temporary.overwriteTargetFileWithTemporary();

    currentPresetName.set (file.getFileNameWithoutExtension().trim());
    currentPresetFolder.set (file.getParentDirectory());
}

void ArpAudioProcessor::loadPresetFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return;

    // A preset is some 35 KB; anything far larger is not one, and is not
    // read into memory at all.
    juce::MemoryBlock content;
    if (file.getSize() <= maxPresetFileBytes && file.loadFileAsData (content))
        readStateDocument (content.getData(), content.getSize(), file.getFileNameWithoutExtension().trim(), false);
    else
        beginLoadTransaction(); // a load that reads nothing still closes the last edit's transaction

    currentPresetFolder.set (file.getParentDirectory());
}

void ArpAudioProcessor::syncCurrentPresetFolder()
{
    const auto file = presetLibrary.find (currentPresetName.get());
    currentPresetFolder.set (file.existsAsFile() ? file.getParentDirectory() : presetLibrary.presetsFolder());
}

juce::File ArpAudioProcessor::loadAdjacentPreset (const juce::String& displayedName, bool next)
{
    const auto file = PresetLibrary::adjacent (listPresetsInCurrentFolder(), displayedName, next);

    if (file != juce::File())
        loadPresetFile (file);

    return file;
}

} // namespace mur
