#pragma once

#include "processor/Guarded.h"

#include <juce_core/juce_core.h>

namespace mur
{

// The largest file taken for a preset (a real one is some 35 KB).
inline constexpr juce::int64 maxPresetFileBytes = 1 << 20;

// Where presets live and how they are found, listed and walked through:
// (documents)/Corvane/MUR/Presets with a Factory folder inside. The documents
// folder is the user's unless one is given (tests give a temporary one).
class PresetLibrary
{
public:
    static constexpr const char* extension = ".fxp";

    explicit PresetLibrary (juce::File documentsFolder = {});

    juce::File presetsFolder() const;
    juce::File factoryFolder() const;

    void ensureFolders() const;

    // The first ".fxp" file named like the preset (case ignored), in the
    // factory folder tree first, then in the rest of the presets tree.
    juce::File find (const juce::String& presetName) const;

    // The ".fxp" files directly inside a folder, in natural order of their
    // full paths, case ignored (Preset 2 before Preset 10).
    static juce::Array<juce::File> list (const juce::File& folder);

    // Every preset, folder by folder, as the editor lists them: the factory
    // folder and its subfolders first, then the other folders of the presets
    // tree in natural order.
    juce::Array<juce::File> listAll() const;

    juce::File loadDialogFolder (const juce::File& currentFolder) const;
    juce::File saveDialogFolder (const juce::File& currentFolder) const;

    // The neighbour of the displayed preset in a listing, wrapping around at
    // both ends; the first (next) or last (previous) when it is not listed.
    static juce::File adjacent (const juce::Array<juce::File>& files, const juce::String& displayedName, bool next);

    // A documents folder for every processor created afterwards in this
    // process (tests and the preset generator use a scratch folder).
    static void setDocumentsFolderOverride (const juce::File& folder);
    static juce::File getDocumentsFolderOverride();

private:
    juce::File documents;
};

class StateDocument;
class ParameterBridge;

// The preset the musician is on: saving, loading, the folder being walked
// through and its neighbours.
class Presets
{
public:
    Presets (StateDocument& document, ParameterBridge& bridge);

    const PresetLibrary& getPresetLibrary() const noexcept { return presetLibrary; }
    void ensurePresetFolders() { presetLibrary.ensureFolders(); }

    void savePreset (const juce::File& file);
    // Loads a preset file, or says why it did not: a missing or unreadable
    // file, one too large, one that is not XML, one that is not MUR's. A
    // refused file changes nothing.
    [[nodiscard]] juce::Result loadPresetFile (const juce::File& file);
    juce::File findPresetFile (const juce::String& presetName) const { return presetLibrary.find (presetName); }

    // The folder of the current preset, or the presets folder without one.
    void syncCurrentPresetFolder();
    juce::Array<juce::File> listPresetsInCurrentFolder() const { return PresetLibrary::list (currentPresetFolder.get()); }
    juce::File loadDialogFolder() const { return presetLibrary.loadDialogFolder (currentPresetFolder.get()); }
    juce::File saveDialogFolder() const { return presetLibrary.saveDialogFolder (currentPresetFolder.get()); }

    // Loads the preset after (or before) the displayed one in the current
    // folder, wrapping around; returns the file loaded, if any.
    juce::File loadAdjacentPreset (const juce::String& displayedName, bool next);

    juce::String getCurrentPresetName() const;
    // How many documents the processor has read (presets and restored projects).
    std::uint32_t getLoadCount() const noexcept;
    juce::File getCurrentPresetFolder() const { return currentPresetFolder.get(); }

private:
    juce::Result readPresetFile (const juce::File& file);

    StateDocument& document;
    ParameterBridge& bridge;
    PresetLibrary presetLibrary;
    Guarded<juce::File> currentPresetFolder;

    JUCE_DECLARE_NON_COPYABLE (Presets)
};

} // namespace mur
