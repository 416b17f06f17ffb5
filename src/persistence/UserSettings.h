#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include <memory>
#include <mutex>

// The small per-user store that outlives sessions and is shared by every
// instance in the process: which release notes were confirmed, which update
// notice was put off, and that the XY pad and accent ring were tried.
// Every access opens the file, uses it and closes it under one lock.
namespace mur::userSettings
{

inline constexpr const char* changelogAcknowledgedVersion = "changelog_acknowledged_version";
inline constexpr const char* dismissedUpdateVersion = "dismissed_update_version";
inline constexpr const char* updateRemindAfter = "update_remind_after";
inline constexpr const char* trackpadUnderstood = "trackpad_understood";
inline constexpr const char* accentKnobsUnderstood = "pulse_knobs_understood";
// "0" when the user switched the update check off in About; on otherwise.
inline constexpr const char* checkForUpdates = "check_for_updates";

// The process-wide lock every access holds from opening to closing.
std::mutex& userSettingsLock();

// Opens the store; the caller holds userSettingsLock(). Null when it cannot be opened.
std::unique_ptr<juce::PropertiesFile> openUserSettings();

// One locked read: the stored text, or the default when the key or the whole
// store is missing.
juce::String read (const juce::String& key, const juce::String& defaultValue = {});

// One locked write; a store that cannot be opened is skipped.
void write (const juce::String& key, const juce::String& value);

// The file the store lives in: a per-user application-data folder, on Linux
// the configuration folder (Corvane/MUR.settings in $XDG_CONFIG_HOME, else
// ~/.config).
juce::File settingsFile();
juce::File linuxSettingsFile (const juce::String& xdgConfigHome, const juce::File& home);

// Moves a store from where earlier versions kept it (on Linux
// ~/Corvane/MUR.settings) to `target`, unless one is there already; the
// earlier folder goes when nothing else is in it. True when it moved.
bool moveEarlierStore (const juce::File& earlier, const juce::File& target);

// Points the store at another folder (tests use a scratch folder).
void setFolderOverride (const juce::File& folder);

// For its lifetime, points the store at a fresh scratch folder in which the
// installed version's release notes are already confirmed: tools that take
// pictures of the editor show it as a returning user sees it, and never
// touch the user's own settings.
class ScopedScratchSettings
{
public:
    explicit ScopedScratchSettings (const juce::String& acknowledgedVersion);
    ~ScopedScratchSettings();

private:
    juce::File folder, previous;

    JUCE_DECLARE_NON_COPYABLE (ScopedScratchSettings)
};

} // namespace mur::userSettings
