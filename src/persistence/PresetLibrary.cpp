#include "PresetLibrary.h"

namespace mur
{
namespace
{
juce::File& documentsOverride()
{
    static juce::File folder;
    return folder;
}

bool isInside (const juce::File& file, const juce::File& folder)
{
    return file == folder || file.isAChildOf (folder);
}
} // namespace

void PresetLibrary::setDocumentsFolderOverride (const juce::File& folder)
{
    documentsOverride() = folder;
}

juce::File PresetLibrary::getDocumentsFolderOverride()
{
    return documentsOverride();
}

PresetLibrary::PresetLibrary (juce::File documentsFolder)
    : documents (documentsFolder != juce::File() ? documentsFolder
                 : documentsOverride() != juce::File() ? documentsOverride()
                                                        : juce::File::getSpecialLocation (juce::File::userDocumentsDirectory))
{
}

juce::File PresetLibrary::presetsFolder() const
{
    return documents.getChildFile ("Corvane").getChildFile ("MUR").getChildFile ("Presets");
}

juce::File PresetLibrary::factoryFolder() const
{
    return presetsFolder().getChildFile ("Factory");
}

void PresetLibrary::ensureFolders() const
{
    presetsFolder().createDirectory();
    factoryFolder().createDirectory();
}

juce::File PresetLibrary::find (const juce::String& presetName) const
{
    if (presetName.isEmpty())
        return {};

    const auto target = presetName.endsWithIgnoreCase (extension) ? presetName : presetName + extension;
    const auto factory = factoryFolder();

    if (factory.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (factory, true, juce::String ("*") + extension))
            if (entry.getFile().getFileName().equalsIgnoreCase (target))
                return entry.getFile();

    const auto presets = presetsFolder();

    if (presets.isDirectory())
        for (const auto& entry : juce::RangedDirectoryIterator (presets, true, juce::String ("*") + extension))
            if (! isInside (entry.getFile(), factory) && entry.getFile().getFileName().equalsIgnoreCase (target))
                return entry.getFile();

    return {};
}

juce::Array<juce::File> PresetLibrary::list (const juce::File& folder)
{
    if (! folder.isDirectory())
        return {};

    auto files = folder.findChildFiles (juce::File::findFiles, false, juce::String ("*") + extension);

    std::stable_sort (files.begin(), files.end(), [] (const juce::File& a, const juce::File& b)
    {
        return a.getFullPathName().compareNatural (b.getFullPathName(), false) < 0;
    });

    return files;
}

juce::Array<juce::File> PresetLibrary::listAll() const
{
    const auto byPath = [] (const juce::File& a, const juce::File& b)
    {
        return a.getFullPathName().compareNatural (b.getFullPathName(), false) < 0;
    };

    juce::Array<juce::File> factoryFolders { factoryFolder() }, userFolders { presetsFolder() };
    for (const auto& entry : juce::RangedDirectoryIterator (factoryFolder(), true, "*", juce::File::findDirectories))
        factoryFolders.add (entry.getFile());
    std::stable_sort (factoryFolders.begin() + 1, factoryFolders.end(), byPath);
    for (const auto& entry : juce::RangedDirectoryIterator (presetsFolder(), true, "*", juce::File::findDirectories))
        if (entry.getFile() != factoryFolder() && ! entry.getFile().isAChildOf (factoryFolder()))
            userFolders.add (entry.getFile());
    std::stable_sort (userFolders.begin(), userFolders.end(), byPath);

    juce::Array<juce::File> files;
    for (const auto& folder : factoryFolders)
        files.addArray (list (folder));
    for (const auto& folder : userFolders)
        files.addArray (list (folder));
    return files;
}

juce::File PresetLibrary::loadDialogFolder (const juce::File& currentFolder) const
{
    return currentFolder.isDirectory() ? currentFolder : presetsFolder();
}

juce::File PresetLibrary::saveDialogFolder (const juce::File& currentFolder) const
{
    const auto folder = loadDialogFolder (currentFolder);
    return isInside (folder, factoryFolder()) ? presetsFolder() : folder;
}

juce::File PresetLibrary::adjacent (const juce::Array<juce::File>& files, const juce::String& displayedName, bool next)
{
    if (files.isEmpty())
        return {};

    int index = -1;
    if (displayedName.isNotEmpty())
        for (int i = 0; i < files.size(); ++i)
            if (files[i].getFileNameWithoutExtension().equalsIgnoreCase (displayedName))
            {
                index = i;
                break;
            }

    const auto count = files.size();
    const auto chosen = index < 0 ? (next ? 0 : count - 1) : (next ? (index + 1) % count : (index - 1 + count) % count);
    return files[chosen];
}

} // namespace mur
