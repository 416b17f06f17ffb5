#include "engine/ControlResponse.h"
#include "engine/NetworkShaping.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

using Matrix = NeuralEngine::Matrix;

Matrix filled (size_t rows, size_t columns, float base)
{
    Matrix m (rows, std::vector<float> (columns));
    for (size_t i = 0; i < rows; ++i)
        for (size_t j = 0; j < columns; ++j)
            m[i][j] = base + static_cast<float> (i) * 0.01f + static_cast<float> (j) * 0.0001f;
    return m;
}

class StoredNetwork : public testing::Test
{
protected:
    NeuralEngine engine { 54, 50, 51, 12345 };

    void SetUp() override { applyConstructionSequence (engine); }
};

TEST_F (StoredNetwork, MatchingShapesReplaceWeightsAndState)
{
    const auto in = filled (50, 54, 1.0f), rec = filled (50, 50, 2.0f), out = filled (51, 50, 3.0f);
    const std::vector<float> state (50, 0.25f);
    const auto bias = engine.getBias();

    ASSERT_TRUE (applyStoredNetwork (engine, 54, 50, 51, in, rec, out, state, 1));
    EXPECT_EQ (engine.getInputWeights(), in);
    EXPECT_EQ (engine.getRecurrentWeights(), rec);
    EXPECT_EQ (engine.getReadoutWeights(), out);
    EXPECT_EQ (engine.getState(), state);
    EXPECT_EQ (engine.getBias(), bias);
}

TEST_F (StoredNetwork, ForeignShapesAreRefusedAndTheNetworkStays)
{
    const auto before = engine.getInputWeights();
    const auto rec = filled (50, 50, 2.0f), out = filled (51, 50, 3.0f);
    const std::vector<float> state (50, 0.0f);

    EXPECT_FALSE (applyStoredNetwork (engine, 54, 49, 51, filled (49, 54, 1), filled (49, 49, 1), filled (51, 49, 1),
                                      std::vector<float> (49, 0.0f), 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 54, 50, 51, filled (50, 54, 1), rec, out, std::vector<float> (49, 0.0f), 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 54, 50, 51, filled (50, 53, 1), rec, out, state, 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 54, 50, 51, filled (50, 54, 1), filled (50, 49, 1), out, state, 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 54, 50, 51, filled (50, 54, 1), rec, filled (50, 50, 1), state, 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 20, 50, 51, filled (50, 20, 1), rec, out, state, 1));
    EXPECT_FALSE (applyStoredNetwork (engine, 0, 0, 0, {}, {}, {}, {}, 1));

    EXPECT_EQ (engine.getInputWeights(), before);
}

TEST_F (StoredNetwork, EarlierFourteenByElevenLayoutIsWidenedWithSeededDraws)
{
    const auto in = filled (50, 14, 5.0f), rec = filled (50, 50, 6.0f), out = filled (11, 50, 7.0f);
    const std::vector<float> state (50, -0.5f);

    // The fresh values come from the generator reseeded with the stored seed
    // and the normal source as it stands, cache included.
    Mt19937 twinGenerator (4711);
    auto twinNormal = engine.getNormalSource();

    ASSERT_TRUE (applyStoredNetwork (engine, 14, 50, 11, in, rec, out, state, 4711));

    const auto& widenedIn = engine.getInputWeights();
    for (size_t i = 0; i < 50; ++i)
    {
        for (size_t j = 0; j < 54; ++j)
        {
            const auto fresh = twinNormal.next (twinGenerator);
            float expected = fresh;
            if (j <= 10)
                expected = in[i][j];
            else if (j >= 51)
                expected = in[i][j - 40];
            ASSERT_EQ (widenedIn[i][j], expected) << i << "," << j;
        }
    }

    const auto& widenedOut = engine.getReadoutWeights();
    for (size_t k = 0; k < 51; ++k)
        for (size_t j = 0; j < 50; ++j)
        {
            const auto fresh = twinNormal.next (twinGenerator);
            ASSERT_EQ (widenedOut[k][j], k < 11 ? out[k][j] : fresh) << k << "," << j;
        }

    EXPECT_EQ (engine.getRecurrentWeights(), rec);
    EXPECT_EQ (engine.getState(), state);
}

TEST (Shaping, CentringAndOrthogonalisingSmallMatrices)
{
    Matrix readout { { 1.0f, 2.0f, 3.0f }, { -1.0f, -1.0f, 5.0f } };
    centreReadoutRows (readout);
    EXPECT_EQ (readout[0], (std::vector<float> { -1.0f, 0.0f, 1.0f }));
    EXPECT_EQ (readout[1], (std::vector<float> { -2.0f, -2.0f, 4.0f }));

    Matrix tooShort (3, std::vector<float> (53, 1.0f));
    const auto copy = tooShort;
    orthogonaliseControlColumns (tooShort);
    EXPECT_EQ (tooShort, copy);

    Matrix input (2, std::vector<float> (54, 0.0f));
    input[0][51] = 1.0f;
    input[0][52] = 1.0f;
    input[1][52] = 1.0f;
    input[0][53] = 1.0f;
    input[1][53] = 2.0f;
    orthogonaliseControlColumns (input);
    EXPECT_FLOAT_EQ (input[0][52], 0.0f);
    EXPECT_FLOAT_EQ (input[1][52], 1.0f);
    EXPECT_FLOAT_EQ (input[0][53], 0.0f);
    EXPECT_FLOAT_EQ (input[1][53], 0.0f);
}

TEST (ControlResponse, SumsTheFirstOrderPathOverLiveUnits)
{
    NeuralEngine engine (54, 2, 3, 1);
    Matrix in (2, std::vector<float> (54, 0.0f));
    in[0][52] = 1.0f;
    in[0][53] = 2.0f;
    in[1][52] = -1.0f;
    Matrix out { { 1.0f, 1.0f }, { 0.5f, 2.0f }, { 0.0f, 0.0f } };
    ASSERT_TRUE (engine.setWeights (in, engine.getRecurrentWeights(), out));

    // k = 1: 5 * (0.5 * (x + 2y) + 2 * (-x))
    EXPECT_NEAR (*controlResponse (engine.getInputWeights(), engine.getReadoutWeights(), 2, 0.4f, -0.5f, 1), 5.0 * (0.5 * (0.4 + 2.0 * -0.5) + 2.0 * -0.4), 1e-6);
    EXPECT_NEAR (*controlResponse (engine.getInputWeights(), engine.getReadoutWeights(), 1, 1.0f, 0.0f, 0), 5.0, 1e-12);
    EXPECT_NEAR (*controlResponse (engine.getInputWeights(), engine.getReadoutWeights(), 9, 1.0f, 0.0f, 0), 0.0, 1e-12);

    EXPECT_FALSE (controlResponse (engine.getInputWeights(), engine.getReadoutWeights(), 0, 1.0f, 1.0f, 0).has_value());
    EXPECT_FALSE (controlResponse (engine.getInputWeights(), engine.getReadoutWeights(), 2, 1.0f, 1.0f, 3).has_value());

    NeuralEngine narrow (53, 2, 3, 1);
    EXPECT_FALSE (controlResponse (narrow.getInputWeights(), narrow.getReadoutWeights(), 2, 1.0f, 1.0f, 0).has_value());
}

} // namespace
} // namespace mur
