#include "PluginHost.h"
#include "Scenario.h"
#include "WineHelpers.h"

#include <gtest/gtest.h>

// The Windows build, run under Wine next to the Linux build: the same
// factory, parameters and editor artwork, byte-identical MIDI for the same
// input, and states that move between the two.
namespace mur
{
namespace
{

using wine::findWine;
using wine::windowsPath;

class UnderWine : public testing::Test
{
protected:
    const juce::File windowsBuild { MUR_WINDOWS_BUILD_DIR };
    const juce::File host = windowsBuild.getChildFile ("tools/mur_wine_host.exe");
    const juce::File windowsBundle = windowsBuild.getChildFile ("MUR_artefacts/Release/VST3/MUR.vst3");
    const juce::File scratch = juce::File (MUR_WINE_PREFIX).getSiblingFile ("wine-scratch");
    juce::File wine;

    void SetUp() override
    {
        wine = findWine();
        if (wine == juce::File() || ! host.existsAsFile() || ! windowsBundle.isDirectory())
            GTEST_SKIP() << "no Wine or no Windows build (scripts/build-windows.sh makes one)";

        setenv ("WINEPREFIX", MUR_WINE_PREFIX, 1);
        setenv ("WINEDEBUG", "-all", 1);
        unsetenv ("DISPLAY");
        scratch.createDirectory();
    }

    // Runs the Windows host; returns its exit code and fills its output.
    int runWindows (const juce::StringArray& args, juce::String& output)
    {
        juce::StringArray command { wine.getFullPathName(), host.getFullPathName() };
        command.addArray (args);
        return mur::wine::run (command, output);
    }

    std::unique_ptr<juce::AudioPluginInstance> linuxInstance()
    {
        juce::String error;
        auto instance = host::loadVst3Module (juce::File (MUR_VST3_BINARY), 44100.0, 512, error);
        EXPECT_NE (instance, nullptr) << error;
        return instance;
    }

    juce::String windowsPlays (const juce::File& state = {})
    {
        const auto out = scratch.getChildFile ("windows-play.txt");
        out.deleteFile();
        juce::StringArray args { "play", windowsPath (windowsBundle), windowsPath (out) };
        if (state != juce::File())
            args.add (windowsPath (state));
        juce::String log;
        EXPECT_EQ (runWindows (args, log), 0) << log;
        return out.loadFileAsString();
    }
};

TEST_F (UnderWine, FactoryClassIdsAndParametersOfTheWindowsBundle)
{
    juce::String log;
    EXPECT_EQ (runWindows ({ "factory", windowsPath (windowsBundle) }, log), 0) << log;
    EXPECT_FALSE (log.contains ("FAIL")) << log;
    EXPECT_TRUE (log.contains ("ok    class ID of Audio Module Class")) << log;
    EXPECT_TRUE (log.contains ("90 parameters and Bypass")) << log;
}

TEST_F (UnderWine, BothBuildsPlayTheSameBytes)
{
    auto instance = linuxInstance();
    ASSERT_NE (instance, nullptr);
    const auto linux = scenario::playChord (*instance);
    const auto windows = windowsPlays();

    EXPECT_GT (linux.length(), 100);
    EXPECT_EQ (windows, linux);
}

TEST_F (UnderWine, BothBuildsPlayTheSameBytesOverThreeOctaves)
{
    // The range reaches the Windows build through a state, as a project
    // would bring it.
    auto linuxSource = linuxInstance();
    ASSERT_NE (linuxSource, nullptr);
    auto* octaves = linuxSource->getParameters()[89];
    ASSERT_EQ (octaves->getName (64), "Octaves");
    octaves->setValueNotifyingHost (octaves->getValueForText ("3"));
    juce::MemoryBlock state;
    linuxSource->getStateInformation (state);
    const auto stateFile = scratch.getChildFile ("octaves.state");
    ASSERT_TRUE (stateFile.replaceWithData (state.getData(), state.getSize()));

    auto linuxReplay = linuxInstance();
    linuxReplay->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    const auto linux = scenario::playChord (*linuxReplay);
    // C-E-G over three octaves reaches above the chord's own register.
    auto highest = 0;
    for (const auto& line : juce::StringArray::fromLines (linux))
        if (line.contains (" 144 "))
            highest = juce::jmax (highest, juce::StringArray::fromTokens (line, " ", {})[2].getIntValue());
    EXPECT_GT (highest, 67 + 12);
    EXPECT_EQ (windowsPlays (stateFile), linux);
}

TEST_F (UnderWine, StatesMoveBetweenTheBuilds)
{
    // Linux saves, Windows loads: both then play alike.
    auto linuxSource = linuxInstance();
    ASSERT_NE (linuxSource, nullptr);
    scenario::changeParameters (*linuxSource);
    juce::MemoryBlock state;
    linuxSource->getStateInformation (state);
    const auto linuxState = scratch.getChildFile ("linux.state");
    ASSERT_TRUE (linuxState.replaceWithData (state.getData(), state.getSize()));

    auto linuxReplay = linuxInstance();
    linuxReplay->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    const auto expected = scenario::playChord (*linuxReplay);
    EXPECT_EQ (windowsPlays (linuxState), expected);

    // Windows saves, Linux loads.
    const auto windowsState = scratch.getChildFile ("windows.state");
    juce::String log;
    ASSERT_EQ (runWindows ({ "save", windowsPath (windowsBundle), windowsPath (windowsState) }, log), 0) << log;
    juce::MemoryBlock fromWindows;
    ASSERT_TRUE (windowsState.loadFileAsData (fromWindows));
    EXPECT_EQ (fromWindows, state); // the same document, byte for byte

    auto linuxLoad = linuxInstance();
    linuxLoad->setStateInformation (fromWindows.getData(), static_cast<int> (fromWindows.getSize()));
    EXPECT_EQ (scenario::playChord (*linuxLoad), windowsPlays (windowsState));
}

TEST_F (UnderWine, TheWindowsEditorDrawsTheArtwork)
{
    const auto png = scratch.getChildFile ("windows-editor.png");
    png.deleteFile();
    juce::String log;
    ASSERT_EQ (runWindows ({ "snapshot", windowsPath (png) }, log), 0) << log;

    const auto image = juce::ImageFileFormat::loadFrom (png);
    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 1078);
    EXPECT_EQ (image.getHeight(), 539);

    EXPECT_GT (image.getPixelAt (700, 40).getBrightness(), 0.7f);   // the pale preset bar
    const auto panel = image.getPixelAt (150, 300);
    EXPECT_LT (panel.getBrightness(), 0.3f);                        // the dark violet panel
    EXPECT_GT (panel.getBlue(), panel.getGreen());

    // Captions are text: the area under "Capacity" holds light pixels.
    int light = 0;
    for (int x = 125; x < 180; ++x)
        for (int y = 364; y < 376; ++y)
            light += image.getPixelAt (x, y).getBrightness() > 0.5f ? 1 : 0;
    EXPECT_GT (light, 10);
}

} // namespace
} // namespace mur
