#include "MurVersion.h"
#include "PluginHost.h"
#include "Scenario.h"
#include "WineHelpers.h"

#include <gtest/gtest.h>

// The Windows installer, run under Wine in a prefix of its own with a scratch
// home: a silent install puts the bundle and the factory presets where they
// belong, the installed bundle plays like the Linux build, an upgrade keeps
// the user's presets and settings, and the uninstaller removes exactly what
// the installer wrote.
namespace mur
{
namespace
{
using mur::wine::windowsPath;

class WindowsInstaller : public testing::Test
{
protected:
    const juce::File windowsBuild { MUR_WINDOWS_BUILD_DIR };
    const juce::File setup = windowsBuild.getChildFile ("installer/MUR-" MUR_VERSION_STRING "-win64-setup.exe");
    const juce::File builtBundle = windowsBuild.getChildFile ("MUR_artefacts/Release/VST3/MUR.vst3");
    const juce::File host = windowsBuild.getChildFile ("tools/mur_wine_host.exe");
    const juce::File factoryPresets { MUR_FACTORY_PRESET_DIR };
    const juce::File prefix = juce::File (MUR_WINE_PREFIX).getSiblingFile ("wine-installer-prefix");
    const juce::File home = juce::File (MUR_WINE_PREFIX).getSiblingFile ("wine-installer-home");
    juce::File wineBinary;
    juce::String previousHome;

    void SetUp() override
    {
        wineBinary = mur::wine::findWine();
        if (wineBinary == juce::File() || ! setup.existsAsFile() || ! host.existsAsFile())
            GTEST_SKIP() << "no Wine or no installer (scripts/build-installer.sh makes one)";

        // A fresh prefix whose Documents is the scratch home's.
        previousHome = juce::SystemStats::getEnvironmentVariable ("HOME", {});
        prefix.deleteRecursively();
        home.deleteRecursively();
        home.getChildFile ("Documents").createDirectory();
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        setenv ("WINEPREFIX", prefix.getFullPathName().toRawUTF8(), 1);
        setenv ("WINEDEBUG", "-all", 1);
        unsetenv ("DISPLAY");
        juce::String log;
        ASSERT_EQ (wine ({ "wineboot", "-i" }, log), 0) << log;
        waitForWine();
    }

    void TearDown() override
    {
        if (previousHome.isNotEmpty())
            setenv ("HOME", previousHome.toRawUTF8(), 1);
    }

    int wine (const juce::StringArray& args, juce::String& output)
    {
        juce::StringArray command { wineBinary.getFullPathName() };
        command.addArray (args);
        return mur::wine::run (command, output, 300000);
    }

    // Until every program in the prefix has ended (an uninstaller hands over
    // to a copy of itself and returns at once).
    void waitForWine()
    {
        juce::String log;
        mur::wine::run ({ wineBinary.getSiblingFile ("wineserver").getFullPathName(), "-w" }, log, 300000);
    }

    bool registryHas (const juce::String& key)
    {
        juce::String log;
        return wine ({ "reg", "query", key }, log) == 0;
    }

    juce::File drive (const juce::String& path) const { return prefix.getChildFile ("drive_c").getChildFile (path); }
    juce::File presetsFolder() const { return home.getChildFile ("Documents/Corvane/MUR/Presets"); }
    juce::File installedBundle() const { return drive ("Program Files/Common Files/VST3/MUR.vst3"); }

    void installSilently()
    {
        juce::String log;
        EXPECT_EQ (wine ({ setup.getFullPathName(), "/S" }, log), 0) << log;
        waitForWine();
    }
};

bool sameBytes (const juce::File& a, const juce::File& b)
{
    juce::MemoryBlock x, y;
    return a.loadFileAsData (x) && b.loadFileAsData (y) && x == y;
}

TEST_F (WindowsInstaller, InstallsUpgradesAndUninstallsExactlyWhatItWrote)
{
    installSilently();

    // The bundle in the standard VST3 folder, the factory set in Documents.
    const auto binary = "Contents/x86_64-win/MUR.vst3";
    ASSERT_TRUE (installedBundle().getChildFile (binary).existsAsFile());
    EXPECT_TRUE (sameBytes (installedBundle().getChildFile (binary), builtBundle.getChildFile (binary)));
    const auto factoryFiles = factoryPresets.findChildFiles (juce::File::findFiles, false, "*.fxp");
    ASSERT_GE (factoryFiles.size(), 12);
    for (const auto& preset : factoryFiles)
        EXPECT_TRUE (sameBytes (presetsFolder().getChildFile ("Factory").getChildFile (preset.getFileName()), preset)) << preset.getFileName();
    EXPECT_TRUE (registryHas ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MUR"));

    // The installed bundle plays the scenario as the Linux build does.
    juce::String error, log;
    auto linux = host::loadVst3Module (juce::File (MUR_VST3_BINARY), 44100.0, 512, error);
    ASSERT_NE (linux, nullptr) << error;
    const auto out = home.getChildFile ("installed-play.txt");
    ASSERT_EQ (wine ({ host.getFullPathName(), "play", "C:\\Program Files\\Common Files\\VST3\\MUR.vst3", windowsPath (out) }, log), 0) << log;
    EXPECT_EQ (out.loadFileAsString(), scenario::playChord (*linux));

    // The user's own presets, beside and inside the factory folder, and the
    // user settings survive an upgrade and the uninstall.
    const auto mine = presetsFolder().getChildFile ("Mine.fxp");
    const auto mineInFactory = presetsFolder().getChildFile ("Factory/Kept.fxp");
    juce::File profile;
    for (const auto& user : drive ("users").findChildFiles (juce::File::findDirectories, false))
        if (user.getFileName() != "Public")
            profile = user;
    const auto settings = profile.getChildFile ("AppData/Roaming/Corvane/MUR.settings");
    for (const auto& file : { mine, mineInFactory, settings })
    {
        file.getParentDirectory().createDirectory();
        ASSERT_TRUE (file.replaceWithText ("the user's own"));
    }

    installSilently();
    for (const auto& file : { mine, mineInFactory, settings })
        EXPECT_EQ (file.loadFileAsString(), "the user's own") << file.getFullPathName();
    EXPECT_TRUE (installedBundle().getChildFile (binary).existsAsFile());

    ASSERT_EQ (wine ({ "C:\\Program Files\\Corvane\\MUR\\Uninstall MUR.exe", "/S" }, log), 0) << log;
    waitForWine();
    EXPECT_FALSE (installedBundle().exists());
    for (const auto& preset : factoryFiles)
        EXPECT_FALSE (presetsFolder().getChildFile ("Factory").getChildFile (preset.getFileName()).exists()) << preset.getFileName();
    for (const auto& file : { mine, mineInFactory, settings })
        EXPECT_EQ (file.loadFileAsString(), "the user's own") << file.getFullPathName();
    EXPECT_FALSE (drive ("Program Files/Corvane/MUR").exists());
    EXPECT_FALSE (registryHas ("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MUR"));
    EXPECT_FALSE (registryHas ("HKLM\\Software\\Corvane\\MUR"));
}

} // namespace
} // namespace mur
