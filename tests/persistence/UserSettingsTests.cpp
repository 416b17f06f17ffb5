#include "persistence/UserSettings.h"

#include <gtest/gtest.h>

#include <thread>

namespace mur
{
namespace
{

class UserSettingsStore : public testing::Test
{
protected:
    juce::TemporaryFile scratch;
    juce::File previousFolder;

    void SetUp() override
    {
        previousFolder = userSettings::settingsFile().getParentDirectory();
        userSettings::setFolderOverride (scratch.getFile());
    }

    void TearDown() override
    {
        scratch.getFile().deleteRecursively();
        userSettings::setFolderOverride (previousFolder);
    }
};

// On Linux the store lives in the configuration folder; the one earlier
// versions kept in ~/Corvane moves there once, and the old folder goes only
// when nothing else is in it.
TEST_F (UserSettingsStore, TheEarlierLinuxStoreMovesToTheConfigurationFolderOnce)
{
    const auto home = scratch.getFile().getChildFile ("home");
    EXPECT_EQ (userSettings::linuxSettingsFile ({}, home), home.getChildFile (".config/Corvane/MUR.settings"));
    EXPECT_EQ (userSettings::linuxSettingsFile ("/xdg", home), juce::File ("/xdg/Corvane/MUR.settings"));
    EXPECT_EQ (userSettings::linuxSettingsFile ("relative/path", home), home.getChildFile (".config/Corvane/MUR.settings"));

    const auto earlier = home.getChildFile ("Corvane/MUR.settings");
    const auto target = userSettings::linuxSettingsFile ({}, home);
    ASSERT_TRUE (earlier.getParentDirectory().createDirectory());
    ASSERT_TRUE (earlier.replaceWithText ("<PROPERTIES><VALUE name=\"trackpad_understood\" val=\"1\"/></PROPERTIES>"));

    EXPECT_TRUE (userSettings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (target.loadFileAsString().contains ("trackpad_understood"));
    EXPECT_FALSE (home.getChildFile ("Corvane").exists()) << "an emptied folder goes";

    // Once only: a store already in place is never replaced.
    ASSERT_TRUE (earlier.getParentDirectory().createDirectory());
    ASSERT_TRUE (earlier.replaceWithText ("older"));
    ASSERT_TRUE (home.getChildFile ("Corvane/Notes.txt").replaceWithText ("mine"));
    EXPECT_FALSE (userSettings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (target.loadFileAsString().contains ("trackpad_understood"));

    // A folder holding something else stays, with it.
    ASSERT_TRUE (target.deleteFile());
    EXPECT_TRUE (userSettings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (home.getChildFile ("Corvane/Notes.txt").existsAsFile());
}

TEST_F (UserSettingsStore, FirstRunReadsDefaultsAndTheFirstWriteCreatesTheFile)
{
    EXPECT_FALSE (userSettings::settingsFile().exists());
    EXPECT_EQ (userSettings::read (userSettings::changelogAcknowledgedVersion), juce::String());
    EXPECT_EQ (userSettings::read (userSettings::updateRemindAfter, "0"), "0");

    userSettings::write (userSettings::trackpadUnderstood, "1");
    EXPECT_TRUE (userSettings::settingsFile().existsAsFile());
    EXPECT_EQ (userSettings::read (userSettings::trackpadUnderstood), "1");
    EXPECT_EQ (userSettings::read ("TRACKPAD_UNDERSTOOD", "no"), "no"); // keys are case-sensitive
}

TEST_F (UserSettingsStore, UnchangedValuesDoNotRewriteAndBrokenFilesAreReplaced)
{
    userSettings::write (userSettings::dismissedUpdateVersion, "1.2.0");
    const auto file = userSettings::settingsFile();
    file.setLastModificationTime (juce::Time (2000, 0, 1, 0, 0));
    userSettings::write (userSettings::dismissedUpdateVersion, "1.2.0");
    EXPECT_EQ (file.getLastModificationTime().getYear(), 2000);

    file.replaceWithText ("<<< not a settings file");
    EXPECT_EQ (userSettings::read (userSettings::dismissedUpdateVersion, "none"), "none");
    userSettings::write (userSettings::accentKnobsUnderstood, "1");
    EXPECT_EQ (userSettings::read (userSettings::accentKnobsUnderstood), "1");
    EXPECT_EQ (userSettings::read (userSettings::dismissedUpdateVersion, "none"), "none");
}

TEST_F (UserSettingsStore, ConcurrentAccessesNeverLoseAKey)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back ([t]
        {
            for (int i = 0; i < 25; ++i)
                userSettings::write ("key_" + juce::String (t) + "_" + juce::String (i), juce::String (i));
        });
    for (auto& thread : threads)
        thread.join();

    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 25; ++i)
            ASSERT_EQ (userSettings::read ("key_" + juce::String (t) + "_" + juce::String (i)), juce::String (i));
}

} // namespace
} // namespace mur
