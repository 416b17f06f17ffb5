#include "UserSettings.h"

namespace mur::settings
{
namespace
{
juce::File& folderOverride()
{
    static juce::File folder;
    return folder;
}

juce::PropertiesFile::Options options()
{
    juce::PropertiesFile::Options o;
    o.applicationName = "MUR";
    o.filenameSuffix = ".settings";
    o.folderName = "Corvane";
    o.osxLibrarySubFolder = "Application Support";
    o.storageFormat = juce::PropertiesFile::storeAsXML;
    o.commonToAllUsers = false;
    o.ignoreCaseOfKeyNames = false;
    o.doNotSave = false;
    o.processLock = nullptr;
    return o;
}
} // namespace

std::mutex& userSettingsLock()
{
    static std::mutex lock;
    return lock;
}

void setFolderOverride (const juce::File& folder)
{
    folderOverride() = folder;
}

juce::File settingsFile()
{
    if (folderOverride() != juce::File())
        return folderOverride().getChildFile ("MUR.settings");

    return options().getDefaultFile();
}

std::unique_ptr<juce::PropertiesFile> openUserSettings()
{
    const auto file = settingsFile();

    if (file == juce::File() || file.isDirectory())
        return nullptr;

    // An unreadable file reads as an empty store; saving replaces it whole
    // (JUCE writes beside it and moves the new file into place).
    return std::make_unique<juce::PropertiesFile> (file, options());
}

juce::String read (const juce::String& key, const juce::String& defaultValue)
{
    const std::lock_guard<std::mutex> guard (userSettingsLock());

    if (auto store = openUserSettings())
        return store->getValue (key, defaultValue);

    return defaultValue;
}

void write (const juce::String& key, const juce::String& value)
{
    const std::lock_guard<std::mutex> guard (userSettingsLock());

    if (auto store = openUserSettings())
    {
        store->setValue (key, value);
        store->saveIfNeeded();
    }
}

ScopedScratchSettings::ScopedScratchSettings (const juce::String& acknowledgedVersion)
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("mur-settings", {}, false)),
      previous (folderOverride())
{
    folder.createDirectory();
    setFolderOverride (folder);
    write (changelogAcknowledgedVersion, acknowledgedVersion);
}

ScopedScratchSettings::~ScopedScratchSettings()
{
    setFolderOverride (previous);
    folder.deleteRecursively();
}

} // namespace mur::settings
