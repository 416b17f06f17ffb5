#include "PluginHost.h"

#include <gtest/gtest.h>

// The built VST3 bundle, loaded through JUCE's hosting exactly as a DAW would.
namespace mur
{
namespace
{

juce::File bundle() { return host::vst3BundleFor (juce::File (MUR_VST3_BINARY)); }

std::unique_ptr<juce::AudioPluginInstance> load (double sampleRate = 48000.0, int blockSize = 512)
{
    juce::String error;
    auto instance = host::loadVst3 (bundle(), sampleRate, blockSize, error);
    EXPECT_NE (instance, nullptr) << error;
    return instance;
}

class Vst3Host : public testing::Test
{
protected:
    void SetUp() override
    {
        instance = load();
        ASSERT_NE (instance, nullptr);
        parameters = host::visibleParameters (*instance);
    }

    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::Array<juce::AudioProcessorParameter*> parameters;
};

TEST_F (Vst3Host, DescribesItselfAsAMidiFx)
{
    const auto description = instance->getPluginDescription();
    EXPECT_EQ (description.name, "MUR");
    EXPECT_EQ (description.manufacturerName, "Corvane");
    EXPECT_EQ (description.version, "1.0.0");
    EXPECT_EQ (description.category, "Fx");
    EXPECT_FALSE (description.isInstrument);
    EXPECT_TRUE (instance->acceptsMidi());
    EXPECT_TRUE (instance->producesMidi());
    EXPECT_TRUE (instance->hasEditor());
}

TEST_F (Vst3Host, ListsTheParametersInOrderThenBypass)
{
    ASSERT_EQ (parameters.size(), 91);

    EXPECT_EQ (parameters[0]->getName (64), "Breath");
    EXPECT_EQ (parameters[0]->getCurrentValueAsText(), "0.0000");
    EXPECT_EQ (parameters[1]->getName (64), "Note Gain 1");
    EXPECT_EQ (parameters[1]->getCurrentValueAsText(), "0.5000");
    EXPECT_EQ (parameters[51]->getName (64), "Inertia");
    EXPECT_EQ (parameters[55]->getName (64), "Capacity");
    EXPECT_EQ (parameters[55]->getCurrentValueAsText(), "5");
    EXPECT_EQ (parameters[58]->getName (64), "Random");
    EXPECT_EQ (parameters[58]->getCurrentValueAsText(), "1000.0000");
    EXPECT_EQ (parameters[59]->getName (64), "Start");
    EXPECT_EQ (parameters[64]->getName (64), "Hold");
    EXPECT_EQ (parameters[64]->getCurrentValueAsText(), "Off");
    EXPECT_EQ (parameters[65]->getName (64), "Rate");
    EXPECT_EQ (parameters[65]->getCurrentValueAsText(), "1/16");
    EXPECT_EQ (parameters[69]->getName (64), "Dark Bias");
    EXPECT_EQ (parameters[69]->getCurrentValueAsText(), "0.2700");
    EXPECT_EQ (parameters[88]->getName (64), "Rate Pulse 16");
    // The octave range came after the first 89, and Bypass after it.
    EXPECT_EQ (parameters[89]->getName (64), "Octaves");
    EXPECT_EQ (parameters[89]->getCurrentValueAsText(), "1");
    EXPECT_EQ (parameters[90]->getName (64), "Bypass");
    EXPECT_EQ (instance->getBypassParameter(), parameters[90]);
}

TEST_F (Vst3Host, ValuesAndTypedTextFollowTheRanges)
{
    auto* softmax = parameters[58];
    softmax->setValueNotifyingHost (0.5f);
    EXPECT_EQ (softmax->getCurrentValueAsText(), "198.4251");

    auto* rate = parameters[65];
    EXPECT_EQ (rate->getText (0.0f, 64), "1/96");

    auto* capacity = parameters[55];
    EXPECT_EQ (capacity->getText (capacity->getValueForText ("1"), 64), "2");

    auto* steps = parameters[71];
    EXPECT_EQ (steps->getName (64), "Num Steps");
    EXPECT_EQ (steps->getText (steps->getValueForText ("100"), 64), "64");

    auto* inertia = parameters[51];
    EXPECT_EQ (inertia->getText (inertia->getValueForText ("0.123456"), 64), "0.1235");
}

TEST_F (Vst3Host, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    auto layout = [] (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return l;
    };

    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (stereo, stereo)));
    EXPECT_TRUE (instance->checkBusesLayoutSupported (layout (mono, mono)));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (stereo, mono)));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layout (juce::AudioChannelSet::create5point1(),
                                                               juce::AudioChannelSet::create5point1())));
}

TEST_F (Vst3Host, NoiseInSilenceOutAcrossBlockSizesAndARateChange)
{
    juce::Random random (2024);

    instance->prepareToPlay (44100.0, 1024);
    EXPECT_EQ (host::runNoiseBlocks (*instance, 300, 1024, random), 0.0f);
    instance->releaseResources();

    instance->prepareToPlay (96000.0, 333);
    EXPECT_EQ (host::runNoiseBlocks (*instance, 300, 333, random), 0.0f);
    instance->releaseResources();
}

TEST (Vst3HostLifetime, CreateAndDestroyTwentyTimes)
{
    for (int i = 0; i < 20; ++i)
    {
        auto instance = load();
        ASSERT_NE (instance, nullptr) << "round " << i;
        instance->prepareToPlay (48000.0, 128);
        juce::Random random (i);
        EXPECT_EQ (host::runNoiseBlocks (*instance, 8, 128, random), 0.0f);
        instance->releaseResources();
    }
}

} // namespace
} // namespace mur
