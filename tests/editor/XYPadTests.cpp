#include "editor/XYPad.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

// A pad at the design size: the square (395, 148, 290, 290), scale 1.
struct Pad
{
    Pad()
    {
        pad.onInputsChanged = [this] (float x, float y) { inputs.push_back ({ x, y }); };
        pad.onCheckpointsChanged = [this] (const std::vector<XYCheckpoint>& list) { saved = list; };
        pad.colourAt = [] (float, float) { return juce::uint32 { 0xff123456 }; };
        pad.setArea ({ 395.0f, 148.0f, 290.0f, 290.0f }, 1.0f);
    }

    juce::Point<float> centre() const { return pad.centre(); }

    XYPad pad;
    std::vector<juce::Point<float>> inputs;
    std::vector<XYCheckpoint> saved;
};

TEST (XYPad, PressesMapToTheUnitDisc)
{
    Pad p;
    const auto c = p.centre();
    const auto r = p.pad.travelRadius();
    EXPECT_FLOAT_EQ (r, 139.0f);

    ASSERT_TRUE (p.pad.press (c, false));
    EXPECT_EQ (p.inputs.back(), juce::Point<float> (0.0f, 0.0f));
    p.pad.release();

    p.pad.press (c + juce::Point<float> (r, 0.0f), false);
    EXPECT_FLOAT_EQ (p.inputs.back().x, 1.0f);
    EXPECT_FLOAT_EQ (p.inputs.back().y, 0.0f);
    p.pad.release();

    // Between the travel circle and the edge: pulled in to length 1; y grows upwards.
    p.pad.press (c + juce::Point<float> (0.0f, -(r + 4.0f)), false);
    EXPECT_FLOAT_EQ (p.inputs.back().y, 1.0f);
    p.pad.release();

    // Outside the pad nothing happens.
    const auto count = p.inputs.size();
    EXPECT_FALSE (p.pad.press (c + juce::Point<float> (150.0f, 0.0f), false));
    EXPECT_EQ (p.inputs.size(), count);

    EXPECT_TRUE (p.pad.doubleClick (c + juce::Point<float> (30.0f, 30.0f)));
    EXPECT_EQ (p.inputs.back(), juce::Point<float> (0.0f, 0.0f));
}

TEST (XYPad, RightClicksAddAndRemoveCheckpointsAtTheCursor)
{
    Pad p;
    p.pad.showInputs (0.5f, -0.25f);
    const auto cursor = p.pad.xyToPixel (0.5f, -0.25f);

    p.pad.press (cursor + juce::Point<float> (3.0f, 0.0f), true);
    ASSERT_EQ (p.saved.size(), 1u);
    EXPECT_EQ (p.saved[0].x, 0.5f);
    EXPECT_EQ (p.saved[0].y, -0.25f);
    EXPECT_EQ (p.saved[0].colour, 0xff123456u);
    EXPECT_FALSE (p.pad.isFollowing()); // a right press never drags

    p.pad.press (cursor, true);
    EXPECT_TRUE (p.saved.empty());

    // Away from the cursor it works at the pointer.
    p.pad.press (p.centre() + juce::Point<float> (-69.5f, 0.0f), true);
    ASSERT_EQ (p.saved.size(), 1u);
    EXPECT_FLOAT_EQ (p.saved[0].x, -0.5f);
}

TEST (XYPad, ADragSnapsToACheckpointAndLetsGoAfter25Pixels)
{
    Pad p;
    p.pad.showCheckpoints ({ { 0.5f, 0.0f, 0xff000000 } });
    const auto checkpoint = p.pad.xyToPixel (0.5f, 0.0f);

    p.pad.press (p.centre(), false);
    p.pad.drag (checkpoint + juce::Point<float> (-20.0f, 0.0f));
    EXPECT_TRUE (p.pad.isHoldingCheckpoint());
    EXPECT_EQ (p.inputs.back(), juce::Point<float> (0.5f, 0.0f));

    // Within 24 pixels of where it snapped the inputs stay exactly on it.
    p.pad.drag (checkpoint + juce::Point<float> (-20.0f, 24.0f));
    EXPECT_TRUE (p.pad.isHoldingCheckpoint());
    EXPECT_EQ (p.inputs.back(), juce::Point<float> (0.5f, 0.0f));

    p.pad.drag (checkpoint + juce::Point<float> (-20.0f, 25.0f));
    EXPECT_FALSE (p.pad.isHoldingCheckpoint());
    EXPECT_LT (p.inputs.back().y, 0.0f);
    p.pad.release();

    // A press right on it captures it at once, and the release glides it home.
    p.pad.press (checkpoint, false);
    EXPECT_TRUE (p.pad.isHoldingCheckpoint());
    p.pad.release();
    for (int i = 0; i < 30; ++i)
        p.pad.animate ({});
    EXPECT_LT (p.pad.checkpointShownAt (0).getDistanceFrom (checkpoint), 1.0f);
}

TEST (XYPad, TheDotFieldIsRescaledWithTheWindow)
{
    Pad p;
    EXPECT_EQ (p.pad.numDots(), 120u);
    const auto spacing = p.pad.dotHome (1).getDistanceFrom (p.pad.dotHome (0));
    EXPECT_FLOAT_EQ (spacing, 24.0f);

    p.pad.showCheckpoints ({ { -0.3f, 0.6f, 0xff000000 } });
    p.pad.animate ({});
    p.pad.setArea ({ 790.0f, 296.0f, 580.0f, 580.0f }, 2.0f);
    EXPECT_EQ (p.pad.numDots(), 120u);
    EXPECT_FLOAT_EQ (p.pad.dotHome (1).getDistanceFrom (p.pad.dotHome (0)), 48.0f);
    EXPECT_EQ (p.pad.getCheckpoints()[0].x, -0.3f);
    EXPECT_LT (p.pad.checkpointShownAt (0).getDistanceFrom (p.pad.xyToPixel (-0.3f, 0.6f)), 1.0e-3f);

    // Painting at double size, faded, with a checkpoint: nothing to check
    // but that it draws.
    juce::Image image (juce::Image::ARGB, 2156, 1078, true);
    juce::Graphics g (image);
    p.pad.paint (g, 1.0f, true, 0.25f);
}

// The idle sway is drawn shape by shape: the dots near the cursor move and
// are drawn again often, the far ones wait, and none is ever left more than
// the drift the window allows from where it really stands.
TEST (XYPad, TheSwayIsRedrawnWhereItDriftedAndNowhereElse)
{
    Pad p;
    std::vector<XYPad::Shape> drawn, now;
    p.pad.shapes (0.0f, drawn);
    std::vector<int> redrawn (drawn.size(), 0);
    for (int beat = 1; beat <= 100; ++beat)
    {
        p.pad.shapes (0.05f * static_cast<float> (beat), now);
        const auto before = drawn;
        const auto areas = driftedAreas (drawn, now, 2.0f);
        for (size_t i = 0; i < now.size(); ++i)
        {
            ASSERT_LT (now[i].centre.getDistanceFrom (before[i].centre), 0.75f);
            if (drawn[i].centre == before[i].centre)
                continue;
            ++redrawn[i];
            const auto box = juce::Rectangle<float> (2.0f * now[i].radius, 2.0f * now[i].radius).withCentre (now[i].centre);
            EXPECT_TRUE (std::any_of (areas.begin(), areas.end(), [&] (auto a) { return a.contains (box); }));
        }
    }

    // The cursor's ring (last) against the dot farthest from it.
    size_t farthest = 0;
    for (size_t i = 0; i < p.pad.numDots(); ++i)
        if (p.pad.dotHome (i).getDistanceFrom (drawn.back().centre) > p.pad.dotHome (farthest).getDistanceFrom (drawn.back().centre))
            farthest = i;
    EXPECT_GT (redrawn.back(), 2 * redrawn[farthest]);
}

} // namespace
} // namespace mur
