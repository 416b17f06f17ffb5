#include "engine/Random.h"

#include <gtest/gtest.h>

#include <random>

namespace mur
{
namespace
{

TEST (Mt19937, SeedGivesPublishedOutputs)
{
    Mt19937 generator (12345);
    EXPECT_EQ (generator.next(), 3992670690u);
    EXPECT_EQ (generator.next(), 3823185381u);
    EXPECT_EQ (generator.next(), 1358822685u);
}

TEST (Mt19937, MatchesTheStandardEngineOverManyRegenerations)
{
    for (std::uint32_t seed : { 0u, 1u, 5489u, 12345u, 0xffffffffu })
    {
        Mt19937 ours (seed);
        std::mt19937 reference (seed);

        for (int i = 0; i < 5000; ++i)
            ASSERT_EQ (ours.next(), reference()) << "seed " << seed << " output " << i;
    }
}

TEST (Mt19937, ReseedingRestartsTheSequence)
{
    Mt19937 generator (7);
    const auto first = generator.next();
    generator.next();
    generator.seed (7);
    EXPECT_EQ (generator.next(), first);
}

TEST (Uniform24, UsesTheHighBitsAndStaysBelowOne)
{
    EXPECT_EQ (uniform24 (0u), 0.0f);
    EXPECT_EQ (uniform24 (0xffu), 0.0f);
    EXPECT_EQ (uniform24 (0x100u), 1.0f / 16777216.0f);
    EXPECT_LT (uniform24 (0xffffffffu), 1.0f);
    EXPECT_EQ (uniform24 (0x80000000u), 0.5f);
}

TEST (NormalSource, SeedGivesPublishedValues)
{
    Mt19937 generator (12345);
    NormalSource normal;
    const float expected[] = { -0.39074f, -0.78583f, -0.47865f, 0.52887f };

    for (auto value : expected)
        EXPECT_NEAR (normal.next (generator), value, 5e-6f);
}

TEST (NormalSource, SecondValueOfAPairComesFromTheCacheWithoutDrawing)
{
    Mt19937 generator (12345);
    NormalSource normal;
    normal.next (generator);
    ASSERT_TRUE (normal.hasCachedValue());

    const auto before = generator;
    normal.next (generator);
    EXPECT_EQ (generator, before);
    EXPECT_FALSE (normal.hasCachedValue());
}

TEST (NormalSource, CacheSurvivesReseedSoTheSameSeedCanGiveOtherValues)
{
    Mt19937 generator (99);
    NormalSource normal;
    const auto first = normal.next (generator);

    generator.seed (99);
    const auto fromCache = normal.next (generator);
    const auto afterReseed = normal.next (generator);

    EXPECT_NE (fromCache, first);
    EXPECT_EQ (afterReseed, first);
}

TEST (NormalSource, LongRunHasUnitVarianceAndNoNonFiniteValues)
{
    Mt19937 generator (4242);
    NormalSource normal;
    double sum = 0.0, squares = 0.0;
    constexpr int count = 200000;

    for (int i = 0; i < count; ++i)
    {
        const auto v = normal.next (generator);
        ASSERT_TRUE (std::isfinite (v));
        sum += static_cast<double> (v);
        squares += static_cast<double> (v) * static_cast<double> (v);
    }

    const auto mean = sum / count;
    EXPECT_NEAR (mean, 0.0, 0.01);
    EXPECT_NEAR (squares / count - mean * mean, 1.0, 0.02);
}

} // namespace
} // namespace mur
