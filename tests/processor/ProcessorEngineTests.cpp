#include "engine/NetworkShaping.h"
#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

TEST (ProcessorEngine, StartsFromTheDefaultSeedShapedAndAtDefaults)
{
    ArpAudioProcessor processor;
    const auto& engine = processor.getEngine();

    NeuralEngine reference (54, 50, 51, 12345);
    applyConstructionSequence (reference);

    EXPECT_EQ (engine.getInputWeights(), reference.getInputWeights());
    EXPECT_EQ (engine.getRecurrentWeights(), reference.getRecurrentWeights());
    EXPECT_EQ (engine.getReadoutWeights(), reference.getReadoutWeights());
    EXPECT_EQ (engine.getBias(), reference.getBias());
    EXPECT_EQ (engine.getActiveHiddenSize(), 5);
    EXPECT_FLOAT_EQ (engine.getLeakRate(), 1.0f);
    EXPECT_EQ (processor.getPlayback().getPreviousChoice(), 0);
}

TEST (ProcessorEngine, ReseedDrawsANormalisedNetworkAndLeavesParametersAlone)
{
    ArpAudioProcessor processor;
    const auto before = processor.getEngine().getRecurrentWeights();
    const auto seedBefore = processor.getSettings().getArpSeed();
    const auto activeBefore = processor.getEngine().getActiveHiddenSize();
    const auto leakBefore = processor.getSettings().getMirrors().leakRate;

    processor.getSettings().reseed();

    EXPECT_NE (processor.getSettings().getArpSeed(), seedBefore);
    EXPECT_NE (processor.getEngine().getRecurrentWeights(), before);
    EXPECT_NEAR (spectralNormEstimate (processor.getEngine().getRecurrentWeights()), 1.0f, 1e-4f);
    EXPECT_EQ (processor.getEngine().getState(), std::vector<float> (50, 0.0f));
    EXPECT_EQ (processor.getEngine().getActiveHiddenSize(), activeBefore);
    EXPECT_EQ (processor.getSettings().getMirrors().leakRate, leakBefore);
    EXPECT_FALSE (processor.getUndoManager().canUndo());
}

} // namespace
} // namespace mur
