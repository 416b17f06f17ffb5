#include "processor/ArpAudioProcessor.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

TEST (Undo, APresetLoadIsOneStepBackButTheNetworkStays)
{
    ArpAudioProcessor source;
    source.reseed (555);
    source.setLeakRate (0.2f);
    source.setSoftmaxGain (50.0f);
    juce::MemoryBlock preset;
    source.writeStateDocument (preset, false);

    ArpAudioProcessor p;
    p.setLeakRate (0.7f);
    p.beginUndoTransaction();
    p.readStateDocument (preset.getData(), preset.getSize(), "P", false);
    ASSERT_FLOAT_EQ (p.getMirrors().leakRate, 0.2f);

    p.undo();
    EXPECT_FLOAT_EQ (p.getMirrors().leakRate, 0.7f);
    EXPECT_FLOAT_EQ (p.getMirrors().softmaxGain, 1000.0f);
    EXPECT_EQ (p.getArpSeed(), 555);
    EXPECT_EQ (p.getEngine().getInputWeights(), source.getEngine().getInputWeights());

    p.redo();
    EXPECT_FLOAT_EQ (p.getMirrors().leakRate, 0.2f);
}

TEST (Undo, ChangesSinceTheLastStartGoTogetherAndMerge)
{
    ArpAudioProcessor p;
    for (float v : { 2.0f, 3.0f, 4.0f })
        p.setRecurrenceScale (v);
    p.setNoiseAmount (0.5f);

    p.undo();
    EXPECT_FLOAT_EQ (p.getMirrors().recurrenceScale, 1.0f);
    EXPECT_FLOAT_EQ (p.getMirrors().noiseAmount, 0.0f);
    EXPECT_FALSE (p.canUndo());
    EXPECT_TRUE (p.canRedo());

    p.redo();
    EXPECT_FLOAT_EQ (p.getMirrors().recurrenceScale, 4.0f);
    EXPECT_FLOAT_EQ (p.getMirrors().noiseAmount, 0.5f);
}

TEST (Undo, ReseedIsNotRecordedAndANewChangeEndsRedo)
{
    ArpAudioProcessor p;
    p.setLeakRate (0.5f);
    p.reseed (9);
    const auto weights = p.getEngine().getInputWeights();

    p.undo();
    EXPECT_FLOAT_EQ (p.getMirrors().leakRate, 1.0f);
    EXPECT_EQ (p.getEngine().getInputWeights(), weights);
    EXPECT_TRUE (p.canRedo());

    p.setBiasGain (2.0f);
    EXPECT_FALSE (p.canRedo());

    p.undo();
    p.undo(); // nothing left: no effect
    EXPECT_FLOAT_EQ (p.getMirrors().biasGain, 1.0f);
}

} // namespace
} // namespace mur
