#include "engine/NetworkShaping.h"
#include "engine/NeuralEngine.h"

#include <gtest/gtest.h>

#include <cstring>

namespace mur
{
namespace
{

NeuralEngine makeDefaultEngine (std::uint32_t seed = 12345)
{
    NeuralEngine engine (numInputs, maxHiddenUnits, numOutputs, seed);
    applyConstructionSequence (engine);
    return engine;
}

bool bitIdentical (const NeuralEngine::Matrix& a, const NeuralEngine::Matrix& b)
{
    if (a.size() != b.size())
        return false;

    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].size() != b[i].size() || std::memcmp (a[i].data(), b[i].data(), a[i].size() * sizeof (float)) != 0)
            return false;

    return true;
}

bool bitIdentical (const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) == 0;
}

TEST (NeuralEngine, SeedFixesTheFirstInputWeightsBeforeAndAfterShaping)
{
    NeuralEngine engine (numInputs, maxHiddenUnits, numOutputs, 12345);
    const float expected[] = { -0.39074f, -0.78583f, -0.47865f, 0.52887f };

    for (size_t j = 0; j < 4; ++j)
        EXPECT_NEAR (engine.getInputWeights()[0][j], expected[j], 5e-6f);

    applyConstructionSequence (engine);

    for (size_t j = 0; j < 4; ++j)
        EXPECT_NEAR (engine.getInputWeights()[0][j], expected[j], 5e-6f);
}

TEST (NeuralEngine, ConstructionDefaultsAndSizes)
{
    NeuralEngine engine (numInputs, maxHiddenUnits, numOutputs, 1);
    EXPECT_EQ (engine.getActiveHiddenSize(), 50);
    EXPECT_FLOAT_EQ (engine.getLeakRate(), 0.1f);
    EXPECT_FALSE (engine.getSpectralNormalisation());
    EXPECT_EQ (engine.getInputWeights().size(), 50u);
    EXPECT_EQ (engine.getInputWeights()[0].size(), 54u);
    EXPECT_EQ (engine.getRecurrentWeights()[49].size(), 50u);
    EXPECT_EQ (engine.getReadoutWeights().size(), 51u);
    EXPECT_EQ (engine.getState(), std::vector<float> (50, 0.0f));

    applyConstructionSequence (engine);
    EXPECT_TRUE (engine.getSpectralNormalisation());
    EXPECT_EQ (engine.getActiveHiddenSize(), 5);
    EXPECT_FLOAT_EQ (engine.getLeakRate(), 1.0f);
    EXPECT_FLOAT_EQ (engine.getRecurrenceScale(), 1.0f);
    EXPECT_FLOAT_EQ (engine.getNoiseAmount(), 0.0f);
    EXPECT_FLOAT_EQ (engine.getBiasGain(), 1.0f);
}

TEST (NeuralEngine, SameSeedGivesIdenticalBitsAndOtherSeedsDiffer)
{
    const auto a = makeDefaultEngine (777);
    const auto b = makeDefaultEngine (777);
    const auto c = makeDefaultEngine (778);

    EXPECT_TRUE (bitIdentical (a.getInputWeights(), b.getInputWeights()));
    EXPECT_TRUE (bitIdentical (a.getRecurrentWeights(), b.getRecurrentWeights()));
    EXPECT_TRUE (bitIdentical (a.getReadoutWeights(), b.getReadoutWeights()));
    EXPECT_TRUE (bitIdentical (a.getBias(), b.getBias()));
    EXPECT_FALSE (bitIdentical (a.getInputWeights(), c.getInputWeights()));
}

TEST (NeuralEngine, RecurrentMatrixIsNormalisedAfterReseedButNotAfterConstruction)
{
    auto engine = makeDefaultEngine();
    EXPECT_GT (spectralNormEstimate (engine.getRecurrentWeights()), 5.0f);

    reseedNetwork (engine, 31337);
    EXPECT_NEAR (spectralNormEstimate (engine.getRecurrentWeights()), 1.0f, 1e-4f);
    EXPECT_EQ (engine.getState(), std::vector<float> (50, 0.0f));
}

TEST (NeuralEngine, AllZeroRecurrentMatrixIsScaledWithoutDividingByZero)
{
    NeuralEngine::Matrix zeros (3, std::vector<float> (3, 0.0f));
    EXPECT_EQ (spectralNormEstimate (zeros), 0.0f);

    NeuralEngine::Matrix square { { 1.0f, 2.0f }, { 3.0f, 4.0f } };
    EXPECT_NEAR (spectralNormEstimate (square), 5.4649857f, 1e-4f);
}

TEST (NeuralEngine, ShapingOrthogonalisesControlsAndCentresReadout)
{
    for (std::uint32_t seed : { 12345u, 1u, 98765u })
    {
        auto engine = makeDefaultEngine (seed);
        const auto& in = engine.getInputWeights();

        auto dot = [&] (size_t a, size_t b)
        {
            double sum = 0.0, scale = 0.0;
            for (const auto& row : in)
            {
                sum += static_cast<double> (row[a]) * static_cast<double> (row[b]);
                scale += std::abs (static_cast<double> (row[a]) * static_cast<double> (row[b]));
            }
            return std::abs (sum) / scale;
        };

        EXPECT_LT (dot (51, 52), 1e-5);
        EXPECT_LT (dot (51, 53), 1e-5);
        EXPECT_LT (dot (52, 53), 1e-5);

        for (const auto& row : engine.getReadoutWeights())
        {
            double sum = 0.0;
            for (auto v : row)
                sum += static_cast<double> (v);
            EXPECT_NEAR (sum, 0.0, 1e-5);
        }
    }
}

TEST (NeuralEngine, NoiseDrawsExactlyOneValuePerLiveUnitAndOnlyWhenOn)
{
    auto engine = makeDefaultEngine();
    std::vector<float> input (54, 0.5f);

    const auto before = engine.getGenerator();
    engine.step (input.data());
    EXPECT_EQ (engine.getGenerator(), before);

    engine.setActiveHiddenSize (7);
    engine.setDynamics (1.0f, 1.0f, 0.3f);

    // A twin source that draws 7 values must end where the engine ends.
    Mt19937 twinGenerator = engine.getGenerator();
    NormalSource twinNormal = engine.getNormalSource();
    for (int i = 0; i < 7; ++i)
        twinNormal.next (twinGenerator);

    engine.step (input.data());
    EXPECT_EQ (engine.getGenerator(), twinGenerator);
    EXPECT_EQ (engine.getNormalSource(), twinNormal);
}

TEST (NeuralEngine, ActiveSizeClampsAndInactiveUnitsStayFrozen)
{
    auto engine = makeDefaultEngine();
    engine.setActiveHiddenSize (0);
    EXPECT_EQ (engine.getActiveHiddenSize(), 1);
    engine.setActiveHiddenSize (60);
    EXPECT_EQ (engine.getActiveHiddenSize(), 50);

    std::vector<float> input (54, 0.25f);
    engine.setActiveHiddenSize (10);
    engine.step (input.data());
    const auto snapshot = engine.getState();

    engine.setActiveHiddenSize (4);
    engine.step (input.data());
    engine.step (input.data());

    for (size_t i = 4; i < 50; ++i)
        EXPECT_EQ (engine.getState()[i], snapshot[i]) << "unit " << i;

    for (size_t i = 4; i < 10; ++i)
        EXPECT_NE (snapshot[i], 0.0f);
}

TEST (NeuralEngine, StepFollowsTheUpdateEquations)
{
    NeuralEngine engine (4, 2, 2, 1);
    engine.setWeights ({ { 1.0f, 0.0f, 0.0f, 0.0f }, { 0.0f, 2.0f, 0.0f, 0.0f } },
                       { { 0.5f, 0.0f }, { 0.0f, 0.0f } },
                       { { 1.0f, 1.0f }, { 2.0f, -1.0f } });
    engine.setBias ({ 0.1f, -0.2f });
    engine.setState ({ 0.4f, 0.0f });
    engine.setDynamics (0.5f, 2.0f, 0.0f);
    engine.setActivationGain (0.8f);
    engine.setBiasGain (1.5f);

    const float input[] = { 0.3f, 0.7f, 9.0f, 9.0f };
    const auto& out = engine.step (input);

    const float p0 = (0.5f * 0.4f * 2.0f + 0.3f + 0.1f * 1.5f) * 0.8f;
    const float p1 = (0.0f + 1.4f + -0.2f * 1.5f) * 0.8f;
    const float x0 = 0.5f * 0.4f + 0.5f * std::tanh (p0);
    const float x1 = 0.5f * 0.0f + 0.5f * std::tanh (p1);

    EXPECT_FLOAT_EQ (engine.getState()[0], x0);
    EXPECT_FLOAT_EQ (engine.getState()[1], x1);
    EXPECT_FLOAT_EQ (out[0], x0 + x1);
    EXPECT_FLOAT_EQ (out[1], 2.0f * x0 - x1);

    engine.setActiveHiddenSize (1);
    const auto& single = engine.step (input);
    EXPECT_FLOAT_EQ (single[1], 2.0f * engine.getState()[0]);
}

TEST (NeuralEngine, ZeroNetworkGivesZeroOutput)
{
    NeuralEngine engine (numInputs, maxHiddenUnits, numOutputs, 1);
    const NeuralEngine::Matrix in (50, std::vector<float> (54, 0.0f));
    const NeuralEngine::Matrix rec (50, std::vector<float> (50, 0.0f));
    const NeuralEngine::Matrix out (51, std::vector<float> (50, 0.0f));
    ASSERT_TRUE (engine.setWeights (in, rec, out));
    ASSERT_TRUE (engine.setBias (std::vector<float> (50, 0.0f)));

    std::vector<float> input (54, 3.0f);
    for (auto y : engine.step (input.data()))
        EXPECT_EQ (y, 0.0f);
}

TEST (NeuralEngine, SettersRefuseForeignShapesAndKeepStorage)
{
    auto engine = makeDefaultEngine();
    const auto* rowStorage = engine.getInputWeights()[0].data();
    const auto weights = engine.getInputWeights();

    EXPECT_FALSE (engine.setWeights ({ { 1.0f } }, engine.getRecurrentWeights(), engine.getReadoutWeights()));
    EXPECT_FALSE (engine.setState (std::vector<float> (49, 1.0f)));
    EXPECT_FALSE (engine.setBias (std::vector<float> (51, 1.0f)));
    EXPECT_TRUE (bitIdentical (engine.getInputWeights(), weights));

    auto changed = weights;
    changed[0][0] = 42.0f;
    EXPECT_TRUE (engine.setWeights (changed, engine.getRecurrentWeights(), engine.getReadoutWeights()));
    EXPECT_EQ (engine.getInputWeights()[0][0], 42.0f);
    EXPECT_EQ (engine.getInputWeights()[0].data(), rowStorage);
}

} // namespace
} // namespace mur
