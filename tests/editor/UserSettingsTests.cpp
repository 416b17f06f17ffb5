#include "editor/UserSettings.h"

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
        previousFolder = settings::settingsFile().getParentDirectory();
        settings::setFolderOverride (scratch.getFile());
    }

    void TearDown() override
    {
        scratch.getFile().deleteRecursively();
        settings::setFolderOverride (previousFolder);
    }
};

// On Linux the store lives in the configuration folder; the one earlier
// versions kept in ~/Corvane moves there once, and the old folder goes only
// when nothing else is in it.
TEST_F (UserSettingsStore, TheEarlierLinuxStoreMovesToTheConfigurationFolderOnce)
{
    const auto home = scratch.getFile().getChildFile ("home");
    EXPECT_EQ (settings::linuxSettingsFile ({}, home), home.getChildFile (".config/Corvane/MUR.settings"));
    EXPECT_EQ (settings::linuxSettingsFile ("/xdg", home), juce::File ("/xdg/Corvane/MUR.settings"));
    EXPECT_EQ (settings::linuxSettingsFile ("relative/path", home), home.getChildFile (".config/Corvane/MUR.settings"));

    const auto earlier = home.getChildFile ("Corvane/MUR.settings");
    const auto target = settings::linuxSettingsFile ({}, home);
    ASSERT_TRUE (earlier.getParentDirectory().createDirectory());
    ASSERT_TRUE (earlier.replaceWithText ("<PROPERTIES><VALUE name=\"trackpad_understood\" val=\"1\"/></PROPERTIES>"));

    EXPECT_TRUE (settings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (target.loadFileAsString().contains ("trackpad_understood"));
    EXPECT_FALSE (home.getChildFile ("Corvane").exists()) << "an emptied folder goes";

    // Once only: a store already in place is never replaced.
    ASSERT_TRUE (earlier.getParentDirectory().createDirectory());
    ASSERT_TRUE (earlier.replaceWithText ("older"));
    ASSERT_TRUE (home.getChildFile ("Corvane/Notes.txt").replaceWithText ("mine"));
    EXPECT_FALSE (settings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (target.loadFileAsString().contains ("trackpad_understood"));

    // A folder holding something else stays, with it.
    ASSERT_TRUE (target.deleteFile());
    EXPECT_TRUE (settings::moveEarlierStore (earlier, target));
    EXPECT_TRUE (home.getChildFile ("Corvane/Notes.txt").existsAsFile());
}

TEST_F (UserSettingsStore, FirstRunReadsDefaultsAndTheFirstWriteCreatesTheFile)
{
    EXPECT_FALSE (settings::settingsFile().exists());
    EXPECT_EQ (settings::read (settings::changelogAcknowledgedVersion), juce::String());
    EXPECT_EQ (settings::read (settings::updateRemindAfter, "0"), "0");

    settings::write (settings::trackpadUnderstood, "1");
    EXPECT_TRUE (settings::settingsFile().existsAsFile());
    EXPECT_EQ (settings::read (settings::trackpadUnderstood), "1");
    EXPECT_EQ (settings::read ("TRACKPAD_UNDERSTOOD", "no"), "no"); // keys are case-sensitive
}

TEST_F (UserSettingsStore, UnchangedValuesDoNotRewriteAndBrokenFilesAreReplaced)
{
    settings::write (settings::dismissedUpdateVersion, "1.2.0");
    const auto file = settings::settingsFile();
    file.setLastModificationTime (juce::Time (2000, 0, 1, 0, 0));
    settings::write (settings::dismissedUpdateVersion, "1.2.0");
    EXPECT_EQ (file.getLastModificationTime().getYear(), 2000);

    file.replaceWithText ("<<< not a settings file");
    EXPECT_EQ (settings::read (settings::dismissedUpdateVersion, "none"), "none");
    settings::write (settings::pulseKnobsUnderstood, "1");
    EXPECT_EQ (settings::read (settings::pulseKnobsUnderstood), "1");
    EXPECT_EQ (settings::read (settings::dismissedUpdateVersion, "none"), "none");
}

TEST_F (UserSettingsStore, ConcurrentAccessesNeverLoseAKey)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back ([t]
        {
            for (int i = 0; i < 25; ++i)
                settings::write ("key_" + juce::String (t) + "_" + juce::String (i), juce::String (i));
        });
    for (auto& thread : threads)
        thread.join();

    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 25; ++i)
            ASSERT_EQ (settings::read ("key_" + juce::String (t) + "_" + juce::String (i)), juce::String (i));
}

} // namespace
} // namespace mur
