#include "PluginHost.h"

#include <gtest/gtest.h>

// The built LV2 bundle, loaded through JUCE's LV2 hosting.
namespace mur
{
namespace
{

TEST (Lv2Host, LoadsWithItsParametersAndPlaysSilence)
{
    // Installed as a user installs it: in ~/.lv2 (the tests' own home).
    const auto installed = juce::File ("~/.lv2/MUR.lv2");
    installed.getParentDirectory().createDirectory();
    ASSERT_TRUE (juce::File (MUR_LV2_BUNDLE).createSymbolicLink (installed, true));

    juce::String error;
    auto instance = host::loadLv2 (installed, MUR_LV2_URI, 48000.0, 256, error);
    ASSERT_NE (instance, nullptr) << error;

    EXPECT_EQ (instance->getName(), "MUR");
    EXPECT_TRUE (instance->acceptsMidi());
    EXPECT_TRUE (instance->producesMidi());

    // LV2 names parameters by URI and leaves their order to the host.
    juce::StringArray names;
    for (auto* parameter : host::visibleParameters (*instance))
        names.add (parameter->getName (64));

    names.removeString ("Bypass");
    EXPECT_EQ (names.size(), 90);

    for (auto* expected : { "Breath", "Note Gain 1", "Note Gain 50", "Inertia", "Start", "Rate", "Rate Pulse 16", "Octaves" })
        EXPECT_TRUE (names.contains (expected)) << expected;

    instance->prepareToPlay (48000.0, 256);
    juce::Random random (5);
    EXPECT_EQ (host::runNoiseBlocks (*instance, 100, 256, random), 0.0f);
    instance->releaseResources();
}

TEST (Lv2Host, TheMakersAddressIsAMailtoAddress)
{
    juce::String turtle;
    for (const auto& file : juce::File (MUR_LV2_BUNDLE).findChildFiles (juce::File::findFiles, false, "*.ttl"))
        turtle << file.loadFileAsString();

    EXPECT_TRUE (turtle.contains ("foaf:mbox <mailto:support@corvane.com>"));
    EXPECT_FALSE (turtle.contains ("foaf:mbox <support@"));
}

} // namespace
} // namespace mur
