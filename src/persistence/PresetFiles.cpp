#include "PresetLibrary.h"

#include "UntrustedXml.h"

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

juce::Result Presets::loadPresetFile (const juce::File& file)
{
    // A file that is not there changes nothing at all; any other refusal
    // still makes its folder the one to step through.
    if (! file.existsAsFile())
        return juce::Result::fail ("Cannot read " + file.getFileName() + ": there is no such file.");

    const auto result = readPresetFile (file);
    currentPresetFolder.set (file.getParentDirectory());
    return result;
}

juce::Result Presets::readPresetFile (const juce::File& file)
{
    const auto name = file.getFileName();
    juce::MemoryBlock content;

    // A preset is some 35 KB; anything far larger is not one, and is not read
    // into memory at all. A file refused changes nothing, but still closes
    // the last edit's undo transaction, as a load does.
    auto refuse = [this] (const juce::String& reason)
    {
        bridge.beginLoadTransaction();
        return juce::Result::fail (reason);
    };

    if (file.getSize() > maxPresetFileBytes)
        return refuse (name + " is too large to be a MUR preset.");
    if (! file.loadFileAsData (content))
        return refuse ("Cannot read " + name + ".");

    const auto root = parseUntrustedXml (static_cast<const char*> (content.getData()), content.getSize());
    if (root == nullptr)
        return refuse (name + " is not a MUR preset: it is not an XML document.");
    if (! root->hasTagName ("Arp"))
        return refuse (name + " is not a MUR preset.");

    document.read (content.getData(), content.getSize(), file.getFileNameWithoutExtension().trim(), false);
    return juce::Result::ok();
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
        (void) loadPresetFile (file);

    return file;
}

} // namespace mur
