#include "persistence/UserSettings.h"
#include "overlays/OverlayPanel.h"
#include "overlays/UpdateService.h"
#include "persistence/PresetLibrary.h"

#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>

// One JUCE environment for the whole run: message manager, fonts and the
// desktop exist for every test, as they do inside a host.
int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // These tests need no display. Without one JUCE would try ":0", which
    // may be an X server that another test started and is about to stop.
    if (const auto* display = std::getenv ("DISPLAY"); display == nullptr || *display == 0)
        setenv ("DISPLAY", ":65530", 1);

    // A plug-in hosted by a test keeps its user settings under the test's
    // HOME, whatever the machine's own configuration folder is.
    if (const auto* home = std::getenv ("HOME"); home != nullptr)
        setenv ("XDG_CONFIG_HOME", (juce::String (home) + "/.config").toRawUTF8(), 1);

    juce::ScopedJuceInitialiser_GUI juce;

    // Presets and settings go to a scratch folder, never the user's.
    const auto documents = juce::File::getSpecialLocation (juce::File::tempDirectory)
                               .getNonexistentChildFile ("mur-tests-documents", {}, false);
    documents.createDirectory();
    mur::PresetLibrary::setDocumentsFolderOverride (documents);
    mur::userSettings::setFolderOverride (documents.getChildFile ("settings"));

    // Editors open as for a returning user: this version's notes confirmed
    // and no update check, here or in a hosted bundle (tests that need
    // either set them up themselves).
    mur::userSettings::write (mur::userSettings::changelogAcknowledgedVersion, mur::overlays::installedVersion);
    mur::update::overrideServiceAddress (juce::String());
    setenv ("MUR_UPDATE_URL", "", 1);

    const auto result = RUN_ALL_TESTS();
    documents.deleteRecursively();
    return result;
}
