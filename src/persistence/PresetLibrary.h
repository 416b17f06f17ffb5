#pragma once

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

    juce::File loadDialogFolder (const juce::File& currentFolder) const;
    juce::File saveDialogFolder (const juce::File& currentFolder) const;

    // The neighbour of the displayed preset in a listing, wrapping around at
    // both ends; the first (next) or last (previous) when it is not listed.
    static juce::File adjacent (const juce::Array<juce::File>& files, const juce::String& displayedName, bool next);

    // A documents folder for every processor created afterwards in this
    // process (tests and the preset generator use a scratch folder).
    static void setDocumentsFolderOverride (const juce::File& folder);

private:
    juce::File documents;
};

} // namespace mur
