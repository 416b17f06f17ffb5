#include "PaintRecorder.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/PrincipalAxes.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using Map = views::NeuralActivityPCAPlot::PCAComponent;
using Mark = test::PaintRecorder::Mark;
constexpr std::int64_t millisecond = 1000000;

struct MapView : ::testing::Test
{
    MapView()
    {
        view.setSize (234, 109);
        view.clock.fixed = 0;
        view.setStepDuration (0.25f);
        view.setNoteColours ({ juce::Colours::grey, juce::Colours::red, juce::Colours::blue });
    }

    void push (std::vector<float> state, int slot = 1)
    {
        view.clock.fixed += 250 * millisecond;
        view.setCurrentSlot (slot);
        view.pushState (state);
    }

    Map view;
};

TEST (PrincipalAxes, FindTheDirectionsOfSpreadAndAreEmptyWithoutSpread)
{
    views::PrincipalAxes axes;
    // Points along (1, 1, 0) with a smaller spread along (0, 0, 1).
    axes.compute ({ { 1.0f, 1.0f, 0.1f }, { 2.0f, 2.0f, -0.1f }, { 3.0f, 3.0f, 0.1f }, { 4.0f, 4.0f, -0.1f } }, 3);
    EXPECT_NEAR (axes.first[0], std::sqrt (0.5f), 1.0e-3f);
    EXPECT_NEAR (axes.first[1], std::sqrt (0.5f), 1.0e-3f);
    EXPECT_NEAR (std::abs (axes.second[2]), 1.0f, 1.0e-3f);

    // The sign rule: the first clearly non-zero entry is positive.
    axes.compute ({ { -1.0f, 2.0f }, { -2.0f, 4.0f }, { -3.0f, 6.0f } }, 2);
    EXPECT_NEAR (axes.first[0], 1.0f / std::sqrt (5.0f), 1.0e-4f);
    EXPECT_NEAR (axes.first[1], -2.0f / std::sqrt (5.0f), 1.0e-4f);

    // Equal samples: no spread at all, every projection is (0, 0).
    axes.compute ({ { 0.3f, -0.2f }, { 0.3f, -0.2f }, { 0.3f, -0.2f } }, 2);
    EXPECT_EQ (axes.project ({ 0.3f, -0.2f }), std::make_pair (0.0f, 0.0f));
}

TEST_F (MapView, TheThirdStepDrawsThreePointsARippleAndTheMarkerAtRest)
{
    push ({ 0.1f, 0.2f });
    push ({ 0.3f, -0.4f });
    EXPECT_TRUE (view.getPoints().empty());
    EXPECT_TRUE (test::recordPaint (view).empty());

    push ({ -0.5f, 0.6f }, 2);
    ASSERT_EQ (view.getPoints().size(), 3u);
    ASSERT_EQ (view.getRipples().size(), 1u);
    EXPECT_EQ (view.getRipples().back().centre, view.getPoints().back());
    EXPECT_EQ (view.getRipples().back().colour, juce::Colours::blue);
    EXPECT_EQ (view.getMarkerTarget(), view.getPoints().back());

    // Halfway through the ripple's swell: the marker ring (25 units) and the
    // ripple disc, both centred on the newest point.
    view.clock.fixed += 50 * millisecond;
    const auto marks = test::recordPaint (view);
    ASSERT_FALSE (marks.empty());
    const auto marker = marks.back().bounds;
    EXPECT_NEAR (marker.getWidth(), 25.0f + 1.5f, 0.01f);
    const auto ripple = std::find_if (marks.begin(), marks.end(), [] (const Mark& m) { return m.colour == juce::Colours::blue; });
    ASSERT_NE (ripple, marks.end());
    EXPECT_NEAR (ripple->bounds.getCentreX(), marker.getCentreX(), 0.01f);
    EXPECT_NEAR (ripple->bounds.getCentreY(), marker.getCentreY(), 0.01f);
}

TEST_F (MapView, CoincidentProjectionsStartNoRippleAndConstantStatesStayFinite)
{
    // A constant state has no spread: every point sits at (0, 0), so after
    // the first ripple nothing new starts and the marker stays.
    for (int i = 0; i < 1000; ++i)
        push ({ 0.25f, 0.25f, 0.25f });
    EXPECT_EQ (view.getRipples().size(), 1u);
    for (const auto& p : view.getPoints())
        EXPECT_EQ (p, (Map::Point { 0.0f, 0.0f }));

    // All zeros, for 1000 steps, in a fresh view: nothing drawn is infinite
    // or not a number.
    Map zeros;
    zeros.setSize (234, 109);
    for (int i = 0; i < 1000; ++i)
    {
        zeros.pushState (std::vector<float> (50, 0.0f));
        for (const auto& mark : test::recordPaint (zeros))
            ASSERT_TRUE (test::isFinite (mark.bounds)) << i;
    }
}

TEST_F (MapView, AVeryShortStepIsTakenAsTwentyMilliseconds)
{
    view.setStepDuration (0.01f);
    EXPECT_FLOAT_EQ (view.getStepDuration(), 0.02f);

    push ({ 0.1f, 0.2f });
    push ({ 0.3f, -0.4f });
    push ({ -0.5f, 0.6f });
    push ({ 0.7f, 0.1f });
    EXPECT_FLOAT_EQ (view.getMarkerDuration(), 0.01f);
    EXPECT_FLOAT_EQ (view.getRipples().back().duration, 0.15f);

    // After 0.01 s the marker has arrived.
    view.clock.fixed += 11 * millisecond;
    test::recordPaint (view);
    EXPECT_FALSE (view.isMarkerMoving());
}

TEST_F (MapView, ACapacityChangeOrAResetClearsTheMap)
{
    for (int i = 0; i < 5; ++i)
        push ({ 0.1f * static_cast<float> (i), 0.2f, -0.1f * static_cast<float> (i * i) });
    ASSERT_FALSE (view.getPoints().empty());

    push ({ 0.5f, 0.5f, 0.5f, 0.5f });
    EXPECT_TRUE (view.getPoints().empty());
    EXPECT_TRUE (view.getRipples().empty());

    for (int i = 0; i < 5; ++i)
        push ({ 0.1f * static_cast<float> (i), 0.2f, -0.1f * static_cast<float> (i * i), 0.0f });
    ASSERT_FALSE (view.getPoints().empty());
    view.reset();
    EXPECT_TRUE (view.getPoints().empty());
    EXPECT_TRUE (test::recordPaint (view).empty());
}

TEST_F (MapView, TheTimerRunsOnlyWhileSomethingMoves)
{
    for (int i = 0; i < 4; ++i)
        push ({ 0.1f * static_cast<float> (i), static_cast<float> (i % 2) });
    EXPECT_TRUE (view.isAnimating());

    // Long after the last step: the marker arrived, the ripples are over,
    // the trail has faded.
    view.clock.fixed += 5000 * millisecond;
    test::recordPaint (view);
    EXPECT_TRUE (view.isAnimating()) << "the trail's last entry still fades";
    view.clock.fixed += 2000 * millisecond;
    test::recordPaint (view);
    EXPECT_FALSE (view.isAnimating());
}

} // namespace
} // namespace mur
