#include "PresetLibrary.h"

#include "StateDocument.h"
#include "processor/ParameterBridge.h"

// Saving, loading and walking through preset files.
namespace mur
{

Presets::Presets (StateDocument& stateDocument, ParameterBridge& parameterBridge)
    : document (stateDocument), bridge (parameterBridge)
{
    presetLibrary.ensureFolders();
    currentPresetFolder.set (presetLibrary.presetsFolder());
}

juce::String Presets::getCurrentPresetName() const
{
    return document.getPresetName();
}

std::uint32_t Presets::getLoadCount() const noexcept
{
    return document.getLoadCount();
}

void Presets::savePreset (const juce::File& file)
{
    juce::MemoryBlock bytes;
    document.write (bytes, false);

    // Written beside the target first and moved over it in one step, so a
    // failed write never leaves a truncated preset behind.
    juce::TemporaryFile temporary (file);
    if (temporary.getFile().replaceWithData (bytes.getData(), bytes.getSize()))
        temporary.overwriteTargetFileWithTemporary();

    document.setPresetName (file.getFileNameWithoutExtension());
    currentPresetFolder.set (file.getParentDirectory());
}

void Presets::loadPresetFile (const juce::File& file)
{
    if (! file.existsAsFile())
        return;

    // A preset is some 35 KB; anything far larger is not one, and is not
    // read into memory at all.
    juce::MemoryBlock content;
    if (file.getSize() <= maxPresetFileBytes && file.loadFileAsData (content))
        document.read (content.getData(), content.getSize(), file.getFileNameWithoutExtension().trim(), false);
    else
        bridge.beginLoadTransaction(); // a load that reads nothing still closes the last edit's transaction

    currentPresetFolder.set (file.getParentDirectory());
}

void Presets::syncCurrentPresetFolder()
{
    const auto file = presetLibrary.find (document.getPresetName());
    currentPresetFolder.set (file.existsAsFile() ? file.getParentDirectory() : presetLibrary.presetsFolder());
}

juce::File Presets::loadAdjacentPreset (const juce::String& displayedName, bool next)
{
    const auto file = PresetLibrary::adjacent (listPresetsInCurrentFolder(), displayedName, next);

    if (file != juce::File())
        loadPresetFile (file);

    return file;
}

} // namespace mur
