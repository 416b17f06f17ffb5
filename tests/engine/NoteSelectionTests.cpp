#include "engine/NoteSelection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace mur
{
namespace
{

struct Selection
{
    std::array<float, 51> gains {};
    std::array<float, 51> outputs {};
    std::array<float, 51> probabilities {};
    SelectionInputs settings;

    Selection()
    {
        gains.fill (0.5f);
        gains[0] = 0.0f;
        settings.noteGains = gains.data();
        settings.repeatGain = 0.5f;
        settings.neighborGain = 0.0f;
        settings.softmaxGain = 1.0f;
    }

    const std::array<float, 51>& compute (int numHeld, std::int64_t previousChoice)
    {
        computeNoteProbabilities (outputs.data(), probabilities.data(), numHeld, previousChoice, settings);
        return probabilities;
    }
};

float logRatio (float a, float b) { return std::log (a / b); }

TEST (NoteProbabilities, EmptyChordWithAndWithoutTheRest)
{
    Selection s;
    for (auto p : s.compute (0, 0))
        EXPECT_EQ (p, 0.0f);

    NoteChooser chooser;
    EXPECT_EQ (chooser.chooseNextSlot (s.probabilities.data(), 0, false, 12345), -1);
    EXPECT_EQ (chooser.previousChoice, -1);

    s.gains[0] = 0.5f;
    const auto& p = s.compute (0, -1);
    EXPECT_FLOAT_EQ (p[0], 1.0f);
    EXPECT_EQ (chooser.chooseNextSlot (p.data(), 0, true, 12345), 0);
    EXPECT_EQ (chooser.previousChoice, 0);
}

TEST (NoteProbabilities, NeutralSettingsGiveThePlainSoftmaxOverHeldSlots)
{
    Selection s;
    s.outputs = {};
    s.outputs[0] = 9.0f; // the rest is disabled, so its output plays no part
    s.outputs[1] = 0.5f;
    s.outputs[2] = -1.0f;
    s.outputs[3] = 2.0f;
    s.outputs[4] = 7.0f; // beyond the three held notes

    const auto& p = s.compute (3, 1);
    const float e1 = std::exp (0.5f), e2 = std::exp (-1.0f), e3 = std::exp (2.0f);
    const float sum = e1 + e2 + e3;

    EXPECT_EQ (p[0], 0.0f);
    EXPECT_NEAR (p[1], e1 / sum, 1e-6f);
    EXPECT_NEAR (p[2], e2 / sum, 1e-6f);
    EXPECT_NEAR (p[3], e3 / sum, 1e-6f);
    EXPECT_EQ (p[4], 0.0f);
}

TEST (NoteProbabilities, RandomZeroIsUniformAndRandomHighIsGreedy)
{
    Selection s;
    s.gains[0] = 0.9f;
    for (int i = 0; i < 51; ++i)
        s.outputs[static_cast<size_t> (i)] = static_cast<float> (i % 5) * 0.3f;

    s.settings.softmaxGain = 0.0f;
    const auto& uniform = s.compute (6, -1);
    for (int i = 0; i <= 6; ++i)
        EXPECT_FLOAT_EQ (uniform[static_cast<size_t> (i)], 1.0f / 7.0f);

    s.gains[0] = 0.0f;
    s.outputs[3] = 2.0f;
    s.settings.softmaxGain = 2000.0f;
    s.compute (6, -1);

    NoteChooser chooser;
    for (int draw = 0; draw < 1000; ++draw)
        ASSERT_EQ (chooser.chooseNextSlot (s.probabilities.data(), 6, false, 12345), 2);
}

TEST (NoteProbabilities, ZeroNoteGainPracticallyExcludesTheSlot)
{
    Selection s;
    s.gains[1] = 0.0f;
    const auto& p = s.compute (2, -1);
    EXPECT_NEAR (logRatio (p[1], p[2]), 3.0f * std::log (1e-7f / (1.0f - 1e-7f)), 0.01f);
    EXPECT_NEAR (3.0f * clampedLogit (0.0f), -48.35f, 0.01f);
    EXPECT_FLOAT_EQ (clampedLogit (1.0f), std::log (0.99999988f / (1.0f - 0.99999988f)));
}

TEST (NoteProbabilities, ProximityPenalisesDistantSlotsAndTheRestByTheirMean)
{
    Selection s;
    s.gains[0] = 0.5f; // rest enabled, neutral
    s.settings.neighborGain = 0.5f;
    const auto& p = s.compute (5, 0);

    EXPECT_FLOAT_EQ (p[1], p[2]);
    EXPECT_NEAR (logRatio (p[1], p[3]), 0.693f, 0.001f);
    EXPECT_NEAR (logRatio (p[1], p[4]), 1.386f, 0.001f);
    EXPECT_NEAR (logRatio (p[1], p[5]), 2.079f, 0.001f);
    EXPECT_NEAR (logRatio (p[1], p[0]), (0.693f + 1.386f + 2.079f) / 5.0f, 0.001f);

    s.settings.neighborGain = 0.0f;
    const auto& off = s.compute (5, 0);
    EXPECT_FLOAT_EQ (off[1], off[5]);
}

TEST (NoteProbabilities, RepetitionFavoursTheLastCandidateIncludingTheRest)
{
    Selection s;
    s.gains[0] = 0.5f;
    s.settings.repeatGain = 0.8f;
    const auto rho = 3.0f * clampedLogit (0.8f);

    const auto& slot = s.compute (3, 2);
    EXPECT_NEAR (logRatio (slot[3], slot[1]), rho, 1e-4f);

    const auto& rest = s.compute (3, 3);
    EXPECT_NEAR (logRatio (rest[0], rest[1]), rho, 1e-4f);

    const auto& stale = s.compute (3, 7);
    EXPECT_FLOAT_EQ (stale[0], stale[1]);
}

TEST (NoteProbabilities, BreathMustBeAboveOneHundredth)
{
    Selection s;
    s.gains[0] = 0.01f;
    EXPECT_EQ (s.compute (2, -1)[0], 0.0f);
    EXPECT_FALSE (isRestEnabled (0.01f));

    s.gains[0] = 0.0101f;
    EXPECT_GT (s.compute (2, -1)[0], 0.0f);
}

TEST (NoteChooser, BoundaryDrawsGoToTheEarlierCandidate)
{
    NoteChooser chooser;
    auto twin = chooser.noteChoiceRandom;
    const auto u = uniform24 (twin.next());

    std::array<float, 51> p {};
    p[0] = u;
    p[1] = 1.0f - u;
    EXPECT_EQ (chooser.chooseNextSlot (p.data(), 1, true, 12345), 1); // the rest is index n = 1

    const auto u2 = uniform24 (twin.next());
    p = {};
    p[1] = u2;
    p[2] = 1.0f - u2;
    EXPECT_EQ (chooser.chooseNextSlot (p.data(), 2, false, 12345), 0);
}

TEST (NoteChooser, EqualLargestValuesShareTheMass)
{
    Selection s;
    s.outputs[1] = 3.0f;
    s.outputs[2] = 3.0f;
    s.settings.softmaxGain = 2000.0f;
    const auto& p = s.compute (3, -1);
    EXPECT_FLOAT_EQ (p[1], 0.5f);
    EXPECT_FLOAT_EQ (p[2], 0.5f);
    EXPECT_EQ (p[3], 0.0f);
}

TEST (NoteChooser, GeneratorRestartsOnlyWhenTheSeedChanges)
{
    std::array<float, 51> p {};
    p[1] = 0.25f;
    p[2] = 0.25f;
    p[3] = 0.25f;
    p[4] = 0.25f;

    auto sequence = [&p] (NoteChooser& chooser, std::int32_t seed)
    {
        std::vector<std::int64_t> choices;
        for (int i = 0; i < 32; ++i)
            choices.push_back (chooser.chooseNextSlot (p.data(), 4, false, seed));
        return choices;
    };

    NoteChooser a, b;
    EXPECT_EQ (sequence (a, 12345), sequence (b, 12345));

    NoteChooser c;
    const auto first = sequence (c, 777);
    EXPECT_EQ (c.appliedArpSeed, 777);
    NoteChooser d;
    d.seed (777);
    EXPECT_EQ (sequence (d, 777), first);

    // Same seed again: the sequence continues instead of restarting.
    EXPECT_NE (sequence (c, 777), first);
}

TEST (NetworkInput, EncodesPreviousChoiceControlsAndAccent)
{
    std::array<float, 54> v {};
    v.fill (9.0f);

    NetworkInputValues values;
    values.numHeld = 3;
    values.previousChoice = 2;
    values.feedbackScale = 1.5f;
    values.controlInput0 = -0.4f;
    values.controlInput1 = 1.0f;
    values.accentValue = 7.5f;
    buildNetworkInput (v.data(), values);

    for (size_t i = 0; i < 51; ++i)
        EXPECT_EQ (v[i], i == 3 ? 1.5f : 0.0f) << i;
    EXPECT_FLOAT_EQ (v[51], 7.5f);
    EXPECT_FLOAT_EQ (v[52], -2.0f);
    EXPECT_FLOAT_EQ (v[53], 5.0f);

    values.previousChoice = 3; // the rest, but Breath is off
    buildNetworkInput (v.data(), values);
    EXPECT_EQ (v[0], 0.0f);

    values.breathGain = 0.2f;
    buildNetworkInput (v.data(), values);
    EXPECT_EQ (v[0], 1.5f);

    values.previousChoice = 5; // the chord shrank since
    buildNetworkInput (v.data(), values);
    for (size_t i = 0; i < 51; ++i)
        EXPECT_EQ (v[i], 0.0f);
}

} // namespace
} // namespace mur
