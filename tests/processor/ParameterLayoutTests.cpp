#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"
#include "processor/ParameterLayout.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

struct Expected
{
    const char* id;
    const char* name;
    float start, end, defaultValue;
};

class ParameterLayoutTest : public testing::Test
{
protected:
    ArpAudioProcessor processor;
    const juce::Array<juce::AudioProcessorParameter*>& params = processor.getParameters();

    juce::RangedAudioParameter& byId (const juce::String& id)
    {
        auto* p = processor.getParameterTree().getParameter (id);
        EXPECT_NE (p, nullptr) << id;
        return *p;
    }
};

TEST_F (ParameterLayoutTest, HostOrderIdsAndNames)
{
    ASSERT_EQ (params.size(), 90);
    ASSERT_EQ (ids::all().size(), 90);

    for (int i = 0; i < 90; ++i)
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (params[i]);
        ASSERT_NE (withId, nullptr);
        EXPECT_EQ (withId->getParameterID(), ids::all()[i]) << "position " << i;
        EXPECT_EQ (withId->getVersionHint(), 1);
    }

    EXPECT_EQ (params[0]->getName (64), "Breath");
    EXPECT_EQ (params[1]->getName (64), "Note Gain 1");
    EXPECT_EQ (params[50]->getName (64), "Note Gain 50");
    EXPECT_EQ (params[51]->getName (64), "Inertia");
    EXPECT_EQ (params[59]->getName (64), "Start");
    EXPECT_EQ (params[72]->getName (64), "Start Step");
    EXPECT_EQ (params[73]->getName (64), "Rate Pulse 1");
    EXPECT_EQ (params[88]->getName (64), "Rate Pulse 16");
    EXPECT_EQ (params[89]->getName (64), "Octaves");

    for (int i = 0; i < 90; ++i)
    {
        EXPECT_EQ (params[i]->isMetaParameter(), i == 59) << "position " << i;
        EXPECT_TRUE (params[i]->isAutomatable());
        EXPECT_EQ (params[i]->getLabel(), juce::String());
    }
}

TEST_F (ParameterLayoutTest, SingleParametersHaveTheirRangesAndDefaults)
{
    const Expected table[] = {
        { "leakRate", "Inertia", 0, 1, 1 },          { "recurrenceScale", "Echo", 0, 20, 1 },
        { "feedbackScale", "Feedback", 0, 10, 1 },   { "noiseAmount", "Noise", 0, 1, 0 },
        { "hiddenSize", "Capacity", 2, 50, 5 },      { "activationGain", "Act Gain", 0, 5, 1 },
        { "biasGain", "Bias", 0, 10, 1 },            { "softmaxGain", "Random", 0, 2000, 1000 },
        { "pulseTimeShift", "Start", 0, 1, 0 },      { "pulseGain", "Pulse Gain", -1, 1, 1 },
        { "repeatGain", "Repetition", 0, 1, 0.5f },  { "neighborGain", "Proximity", 0, 1, 0 },
        { "gatePercentage", "Length %", 0, 100, 50 }, { "holdMode", "Hold", 0, 1, 0 },
        { "beatRate", "Rate", 0, 12, 5 },            { "controlInput0", "Control X", -1, 1, 0 },
        { "controlInput1", "Control Y", -1, 1, 0 },  { "bypassNoteGains", "Bypass Gains", 0, 1, 0 },
        { "darkPaletteBias", "Dark Bias", 0, 1, 0.27f }, { "lightPaletteBias", "Light Bias", 0, 1, 0.2f },
        { "numSteps", "Num Steps", 2, 64, 16 },      { "pulseTimeShiftStep", "Start Step", 0, 127, 0 },
        { "octaveRange", "Octaves", 1, 4, 1 },
    };

    for (const auto& e : table)
    {
        auto& p = byId (e.id);
        const auto& range = p.getNormalisableRange();
        EXPECT_EQ (p.getName (64), e.name) << e.id;
        EXPECT_FLOAT_EQ (range.start, e.start) << e.id;
        EXPECT_FLOAT_EQ (range.end, e.end) << e.id;
        EXPECT_FLOAT_EQ (p.convertFrom0to1 (p.getDefaultValue()), e.defaultValue) << e.id;
        EXPECT_FLOAT_EQ (p.convertFrom0to1 (p.getValue()), e.defaultValue) << e.id;
    }

    EXPECT_NE (dynamic_cast<juce::AudioParameterInt*> (&byId ("hiddenSize")), nullptr);
    EXPECT_NE (dynamic_cast<juce::AudioParameterInt*> (&byId ("octaveRange")), nullptr);
    EXPECT_NE (dynamic_cast<juce::AudioParameterBool*> (&byId ("holdMode")), nullptr);
    EXPECT_NE (dynamic_cast<juce::AudioParameterChoice*> (&byId ("beatRate")), nullptr);
    EXPECT_NE (dynamic_cast<MetaAudioParameterFloat*> (&byId ("pulseTimeShift")), nullptr);
    EXPECT_FLOAT_EQ (byId ("leakRate").getNormalisableRange().interval, 0.0001f);
    EXPECT_FLOAT_EQ (byId ("softmaxGain").getNormalisableRange().skew, 0.3f);
    EXPECT_FLOAT_EQ (byId ("leakRate").getNormalisableRange().skew, 1.0f);
}

TEST_F (ParameterLayoutTest, FamiliesDefaultToNeutralGains)
{
    EXPECT_FLOAT_EQ (byId ("noteGain0").getValue(), 0.0f);
    for (int i = 1; i <= 50; ++i)
        EXPECT_FLOAT_EQ (byId (ids::noteGain (i)).getValue(), 0.5f) << i;

    EXPECT_FLOAT_EQ (byId ("beatPulseGain1").getValue(), 1.0f);
    for (int j = 2; j <= 16; ++j)
        EXPECT_FLOAT_EQ (byId (ids::beatPulseGain (j)).getValue(), 0.5f) << j;
}

TEST_F (ParameterLayoutTest, TextFollowsEachClassDefault)
{
    auto& softmax = byId ("softmaxGain");
    EXPECT_EQ (softmax.getText (0.5f, 1024), "198.4251");
    EXPECT_EQ (softmax.getCurrentValueAsText(), "1000.0000");

    auto& rate = byId ("beatRate");
    EXPECT_EQ (rate.getText (0.0f, 1024), "1/96");
    EXPECT_EQ (rate.getCurrentValueAsText(), "1/16");
    EXPECT_EQ (rate.getText (1.0f, 1024), "1/1");

    auto& hidden = byId ("hiddenSize");
    EXPECT_EQ (hidden.getText (hidden.getValueForText ("1"), 1024), "2");
    auto& steps = byId ("numSteps");
    EXPECT_EQ (steps.getText (steps.getValueForText ("100"), 1024), "64");

    auto& leak = byId ("leakRate");
    const auto typed = leak.convertFrom0to1 (leak.getValueForText ("0.123456"));
    EXPECT_FLOAT_EQ (leak.convertFrom0to1 (leak.convertTo0to1 (typed)), 0.1235f);
    EXPECT_EQ (byId ("holdMode").getCurrentValueAsText(), "Off");
}

TEST (RateChoices, ThirteenStepLengths)
{
    const juce::StringArray expected { "1/96", "1/64", "1/48", "1/32", "1/24", "1/16", "1/12",
                                       "1/8",  "1/6",  "1/4",  "1/3",  "1/2",  "1/1" };
    EXPECT_EQ (rateChoices(), expected);
}

} // namespace
} // namespace mur
