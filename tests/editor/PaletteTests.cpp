#include "editor/Palette.h"
#include "engine/NetworkShaping.h"

#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

namespace mur
{
namespace
{

using namespace palette;

TEST (Palette, MapRisesSmoothlyThroughItsAnchorsWithOneStep)
{
    const auto& map = colourMap();
    EXPECT_FLOAT_EQ (map[0].r, 0.108778f);
    EXPECT_FLOAT_EQ (map[105].g, 0.5140f);
    EXPECT_FLOAT_EQ (map[209].b, 0.866202f);

    for (size_t i = 1; i < map.size(); ++i)
    {
        EXPECT_GE (map[i].r, map[i - 1].r) << i;
        EXPECT_GE (map[i].g, map[i - 1].g) << i;
        EXPECT_GE (map[i].b, map[i - 1].b) << i;

        if (i != 45)
        {
            EXPECT_LT (map[i].r - map[i - 1].r, 0.01f) << i;
            EXPECT_LT (map[i].g - map[i - 1].g, 0.01f) << i;
            EXPECT_LT (map[i].b - map[i - 1].b, 0.01f) << i;
        }
    }

    EXPECT_GT (map[45].g - map[44].g, 0.1f);
}

TEST (Palette, TrimmingAndTheTwoConversions)
{
    // Untrimmed, the ends are the map's ends; a dark bias of 1 reaches the light end.
    EXPECT_EQ (noteArgb (trimmedColour (0.0f, 0.0f, 0.0f)), noteArgb (colourMap()[0]));
    EXPECT_EQ (noteArgb (trimmedColour (1.0f, 0.0f, 0.0f)), noteArgb (colourMap()[209]));
    EXPECT_EQ (noteArgb (trimmedColour (0.3f, 1.0f, 0.0f)), noteArgb (colourMap()[209]));

    const Rgb c { 0.5f, 0.1004f, 0.9999f };
    EXPECT_EQ (noteArgb (c), juce::Colour::fromRGB (127, 25, 254).getARGB());
    EXPECT_EQ (unitArgb (c), juce::Colour::fromFloatRGBA (0.5f, 0.1004f, 0.9999f, 1.0f).getARGB());
    EXPECT_NE (noteArgb (c), unitArgb (c));
}

TEST (Palette, NotesSpreadAlongTheTrimmedMap)
{
    const auto none = computeNoteColours (0, 0.27f, 0.2f);
    for (auto c : none.colours)
        EXPECT_EQ (c, grey);

    const auto one = computeNoteColours (1, 0.27f, 0.2f);
    EXPECT_EQ (one.colours[1], noteArgb (trimmedColour (0.5f, 0.27f, 0.2f)));
    EXPECT_FLOAT_EQ (one.positions[1], 104.5f);
    EXPECT_EQ (one.colours[0], grey);

    const auto two = computeNoteColours (2, 0.0f, 0.0f);
    EXPECT_EQ (two.colours[1], noteArgb (colourMap()[0]));
    EXPECT_EQ (two.colours[2], noteArgb (colourMap()[209]));
    EXPECT_EQ (two.colours[3], grey);

    const auto many = computeNoteColours (80, 0.27f, 0.2f);
    EXPECT_FLOAT_EQ (many.positions[50], 209.0f);
}

TEST (Palette, UnitsAndPadPointsTakeTheColourOfTheNotesTheyFavour)
{
    EXPECT_DOUBLE_EQ (softmaxPosition ({}), 0.0);
    EXPECT_DOUBLE_EQ (softmaxPosition ({ { 10.0, 1.0 }, { 30.0, 1.0 } }), 20.0);
    EXPECT_NEAR (softmaxPosition ({ { 10.0, 0.0 }, { 200.0, 50.0 } }), 200.0, 1e-9);

    NeuralEngine engine (54, 50, 51, 3);
    applyConstructionSequence (engine);
    const auto notes = computeNoteColours (3, 0.27f, 0.2f);
    PaletteInputs settings;
    settings.hiddenSize = 6;
    settings.numHeld = 3;

    std::vector<float> positions;
    const auto units = computeUnitColours (engine.getReadoutWeights(), notes, settings, &positions);
    ASSERT_EQ (units.size(), 6u);
    for (auto p : positions)
    {
        EXPECT_GE (p, 0.0f);
        EXPECT_LE (p, 209.0f);
    }

    settings.numHeld = 0;
    EXPECT_TRUE (computeUnitColours (engine.getReadoutWeights(), notes, settings).empty());

    settings.numHeld = 3;
    const auto c1 = positionColour (engine.getInputWeights(), engine.getReadoutWeights(), notes, settings, 0.9f, -0.4f);
    EXPECT_EQ (positionColour (engine.getInputWeights(), engine.getReadoutWeights(), notes, settings, 5.0f, -0.4f), c1); // clamped to the pad
    NeuralEngine narrow (10, 5, 5, 1);
    EXPECT_EQ (positionColour (narrow.getInputWeights(), narrow.getReadoutWeights(), notes, settings, 0.5f, 0.5f), grey);
}

} // namespace
} // namespace mur
