#include "MurVersion.h"
#include "PluginHost.h"
#include "Scenario.h"
#include "TestHelpers.h"
#include "persistence/PresetLibrary.h"
#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

// The Linux release tarball: packed twice it is the same bytes, and its
// install.sh puts MUR where a host and the Standalone find it.
namespace mur
{
namespace
{

class LinuxRelease : public testing::Test
{
protected:
    juce::TemporaryFile scratch;
    juce::File dir;
    juce::String previousHome;

    void SetUp() override
    {
        dir = scratch.getFile();
        dir.createDirectory();
        previousHome = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    }

    void TearDown() override
    {
        setenv ("HOME", previousHome.toRawUTF8(), 1);
        dir.deleteRecursively();
    }

    static int run (const juce::StringArray& command, juce::String& output) { return test::runCommand (command, output); }

    juce::File pack (const juce::String& folder)
    {
        juce::String log;
        const auto out = dir.getChildFile (folder);
        // This build's own artefacts, sanitized builds included.
        EXPECT_EQ (run ({ "env", "MUR_BUILD_DIR=" MUR_BUILD_ROOT, "MUR_BUILD_TYPE=" MUR_BUILD_TYPE, "bash", MUR_SOURCE_DIR "/scripts/package.sh", "linux",
                          out.getFullPathName() }, log), 0) << log;
        return out.getChildFile ("MUR-" MUR_VERSION_STRING "-linux-x64.tar.gz");
    }
};

TEST_F (LinuxRelease, PackedTwiceIsTheSameAndInstallsForOneUser)
{
    const auto first = pack ("one");
    juce::Thread::sleep (1100); // a second later, nothing in it may change
    const auto second = pack ("two");
    juce::MemoryBlock a, b;
    ASSERT_TRUE (first.loadFileAsData (a));
    ASSERT_TRUE (second.loadFileAsData (b));
    EXPECT_EQ (a, b);

    // Unpacked and installed into a scratch home, as its README says.
    const auto home = dir.getChildFile ("home");
    home.createDirectory();
    juce::String log;
    ASSERT_EQ (run ({ "tar", "-xzf", first.getFullPathName(), "-C", dir.getFullPathName() }, log), 0) << log;
    const auto unpacked = dir.getChildFile ("MUR-" MUR_VERSION_STRING "-linux-x64");
    ASSERT_EQ (run ({ "env", "HOME=" + home.getFullPathName(), "sh", unpacked.getChildFile ("install.sh").getFullPathName() }, log), 0) << log;

    // A host finds the VST3 in ~/.vst3 and it plays as the build does.
    const auto installed = home.getChildFile (".vst3/MUR.vst3/Contents/x86_64-linux/MUR.so");
    ASSERT_TRUE (installed.existsAsFile());
    EXPECT_TRUE (home.getChildFile (".lv2/MUR.lv2/manifest.ttl").existsAsFile());
    EXPECT_TRUE (home.getChildFile (".local/bin/MUR").existsAsFile());
    juce::String error;
    auto fromHome = host::loadVst3Module (installed, 44100.0, 512, error);
    ASSERT_NE (fromHome, nullptr) << error;
    auto fromBuild = host::loadVst3Module (juce::File (MUR_VST3_BINARY), 44100.0, 512, error);
    ASSERT_NE (fromBuild, nullptr) << error;
    EXPECT_EQ (scenario::playChord (*fromHome), scenario::playChord (*fromBuild));

    // The Standalone looks for its factory presets under that home's
    // documents, with the same code as here, and finds every one.
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    const auto previousOverride = PresetLibrary::getDocumentsFolderOverride();
    PresetLibrary::setDocumentsFolderOverride ({});
    const PresetLibrary library;
    const auto factory = juce::File (MUR_FACTORY_PRESET_DIR).findChildFiles (juce::File::findFiles, false, "*.fxp");
    ASSERT_GE (factory.size(), 12);
    for (const auto& preset : factory)
        EXPECT_EQ (library.find (preset.getFileNameWithoutExtension()).getParentDirectory(), library.factoryFolder()) << preset.getFileName();
    PresetLibrary::setDocumentsFolderOverride (previousOverride);

    // uninstall.sh takes it all away again, but not a preset of the user's.
    const auto mine = library.factoryFolder().getChildFile ("Mine.fxp");
    ASSERT_TRUE (mine.replaceWithText ("the user's own"));
    ASSERT_EQ (run ({ "env", "HOME=" + home.getFullPathName(), "sh", unpacked.getChildFile ("uninstall.sh").getFullPathName() }, log), 0) << log;
    EXPECT_FALSE (home.getChildFile (".vst3/MUR.vst3").exists());
    EXPECT_FALSE (home.getChildFile (".lv2/MUR.lv2").exists());
    EXPECT_FALSE (home.getChildFile (".local/bin/MUR").exists());
    EXPECT_EQ (library.factoryFolder().findChildFiles (juce::File::findFiles, false, "*.fxp").size(), 1);
    EXPECT_TRUE (mine.existsAsFile());
}

} // namespace
} // namespace mur
