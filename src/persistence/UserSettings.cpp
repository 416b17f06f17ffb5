#include "UserSettings.h"

namespace mur::userSettings
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

// Moved once per process, before the store is first opened.
void moveEarlierLinuxStore()
{
   #if JUCE_LINUX || JUCE_BSD
    static bool done = false;
    if (std::exchange (done, true) || folderOverride() != juce::File())
        return;

    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    moveEarlierStore (home.getChildFile ("Corvane").getChildFile ("MUR.settings"),
                      linuxSettingsFile (juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {}), home));
   #endif
}
} // namespace

juce::File linuxSettingsFile (const juce::String& xdgConfigHome, const juce::File& home)
{
    // The configuration folder of the freedesktop conventions: an absolute
    // $XDG_CONFIG_HOME, else ~/.config.
    const auto config = juce::File::isAbsolutePath (xdgConfigHome) ? juce::File (xdgConfigHome) : home.getChildFile (".config");
    return config.getChildFile ("Corvane").getChildFile ("MUR.settings");
}

bool moveEarlierStore (const juce::File& earlier, const juce::File& target)
{
    if (! earlier.existsAsFile() || target.exists())
        return false;

    if (! target.getParentDirectory().createDirectory() || ! earlier.moveFileTo (target))
        return false;

    // The earlier folder goes only when nothing else is left in it.
    if (const auto folder = earlier.getParentDirectory(); folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories) == 0)
        folder.deleteFile();

    return true;
}

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

   #if JUCE_LINUX || JUCE_BSD
    return linuxSettingsFile (juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {}),
                              juce::File::getSpecialLocation (juce::File::userHomeDirectory));
   #else
    return options().getDefaultFile();
   #endif
}

std::unique_ptr<juce::PropertiesFile> openUserSettings()
{
    moveEarlierLinuxStore();
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

} // namespace mur::userSettings
