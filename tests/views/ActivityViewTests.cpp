#include "PaintRecorder.h"
#include "views/MonotoneCurve.h"
#include "views/NeuralActivityWindow.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using Activity = views::NeuralActivityWindow::NeuralActivityComponent;
using Mark = test::PaintRecorder::Mark;
// How far a 1.5-wide stroke reaches past its curve where flattened segments
// meet at a mitred joint.
constexpr float strokeReach = 1.5f;

std::vector<Mark> traces (Activity& view)
{
    auto marks = test::recordPaint (view.getWidth(), view.getHeight(),
                                    [&view] (juce::Graphics& g) { view.paintTraces (g, view.getLocalBounds().toFloat()); });
    std::erase_if (marks, [] (const Mark& m) { return m.kind != Mark::Kind::path; });
    return marks;
}

TEST (MonotoneCurve, EqualNeighboursAreFlatAndNoSegmentOvershoots)
{
    // A rise, a plateau, a fall: the plateau is flat and its ends, the
    // peak, have no slope to overshoot with.
    const std::vector<float> ys { 0.0f, 1.0f, 2.0f, 2.0f, 1.0f };
    std::vector<float> t (ys.size());
    views::monotoneTangents (ys, 1.0f, t);
    EXPECT_EQ (t, (std::vector<float> { 1.0f, 1.0f, 0.0f, 0.0f, -1.0f }));

    // A steep ramp keeps its tangents inside the circle of radius 3.
    const std::vector<float> ramp { 0.0f, 0.01f, 10.0f, 10.02f };
    std::vector<float> r (ramp.size());
    views::monotoneTangents (ramp, 1.0f, r);
    for (size_t k = 0; k + 1 < ramp.size(); ++k)
    {
        const auto d = ramp[k + 1] - ramp[k];
        const auto a = r[k] / d, b = r[k + 1] / d;
        EXPECT_LE (a * a + b * b, 9.0f + 1.0e-4f) << k;
        EXPECT_GE (a, 0.0f);
        EXPECT_GE (b, 0.0f);
    }
}

TEST (ActivityView, AUnitCountChangeStartsFromTwentyNineFlatSteps)
{
    Activity view;
    view.pushState ({ 0.5f, -0.5f, 0.25f });
    view.pushState ({ 0.1f, 0.2f, 0.3f });
    view.pushState ({ 0.9f, 0.8f });

    ASSERT_EQ (view.getUnitCount(), 2);
    const auto& history = view.getHistory();
    ASSERT_EQ (history.size(), 30u);
    for (size_t row = 0; row < 29; ++row)
        EXPECT_EQ (history[row], (std::vector<float> { 0.0f, 0.0f })) << row;
    EXPECT_EQ (history[29], (std::vector<float> { 0.9f, 0.8f }));

    // An empty state changes nothing.
    view.pushState ({});
    EXPECT_EQ (view.getHistory()[29], (std::vector<float> { 0.9f, 0.8f }));
}

TEST (ActivityView, OneUnitFillsNinetySevenPercentWithoutSeparators)
{
    Activity view;
    view.setSize (234, 100);
    for (int i = 0; i < 40; ++i)
        view.pushState ({ (i % 2) == 0 ? 1.0f : -1.0f });

    auto marks = test::recordPaint (view.getWidth(), view.getHeight(),
                                    [&view] (juce::Graphics& g) { view.paintTraces (g, view.getLocalBounds().toFloat()); });
    EXPECT_TRUE (std::none_of (marks.begin(), marks.end(), [] (const Mark& m) { return m.kind == Mark::Kind::rectangle; }))
        << "separator lines";

    const auto paths = traces (view);
    ASSERT_EQ (paths.size(), 1u);
    // Swinging between +1 and -1, the trace reaches the lane's top and bottom
    // (1.5 % and 98.5 % of the height) and no further than its stroke's
    // joints (up to twice its half width).
    EXPECT_LE (paths[0].bounds.getY(), 1.5f);
    EXPECT_GE (paths[0].bounds.getY(), 1.5f - strokeReach);
    EXPECT_GE (paths[0].bounds.getBottom(), 98.5f);
    EXPECT_LE (paths[0].bounds.getBottom(), 98.5f + strokeReach);
}

TEST (ActivityView, TracesStayInTheirLanesAndPeaksDoNotOvershoot)
{
    Activity view;
    view.setSize (234, 109);
    const std::vector<std::vector<float>> pattern { { 1.0f, 0.0f, -1.0f }, { 1.0f, 0.0f, 1.0f }, { -1.0f, 0.0f, -1.0f }, { 0.2f, 0.0f, 1.0f } };
    for (int i = 0; i < 60; ++i)
        view.pushState (pattern[static_cast<size_t> (i) % pattern.size()]);

    const auto paths = traces (view);
    ASSERT_EQ (paths.size(), 3u);
    const auto laneHeight = 0.97f * 109.0f / 3.0f;
    for (size_t m = 0; m < 3; ++m)
    {
        const auto laneTop = 0.015f * 109.0f + static_cast<float> (m) * laneHeight;
        EXPECT_GE (paths[m].bounds.getY(), laneTop - strokeReach) << m;
        EXPECT_LE (paths[m].bounds.getBottom(), laneTop + laneHeight + strokeReach) << m;
    }

    // The unit that stays at 0 draws a flat line through its lane's centre.
    EXPECT_NEAR (paths[1].bounds.getHeight(), 1.5f, 0.01f);
}

TEST (ActivityView, UnitColoursFollowTheStrongestReadoutRowOrStayWhite)
{
    Activity view;
    view.setSize (234, 109);
    view.pushState ({ 0.5f, 0.5f, 0.5f });
    view.setNoteColours ({ juce::Colours::grey, juce::Colours::red, juce::Colours::blue });

    // Rows shorter than the unit count: every trace white.
    view.setReadoutWeights ({ { 0.0f, 1.0f }, { 1.0f, 0.0f } });
    for (const auto& colour : view.getUnitColours())
        EXPECT_EQ (colour, juce::Colours::white);

    // Unit 0 drives row 1 (red) fully, unit 1 row 2 (blue) at half, unit 2
    // row 3, which has no colour: white.
    view.setReadoutWeights ({ { 0.0f, 0.0f, 0.0f }, { 1.0f, 0.0f, 0.0f }, { 0.0f, -0.5f, 0.0f }, { 0.0f, 0.0f, 0.9f } });
    const auto colours = view.getUnitColours();
    ASSERT_EQ (colours.size(), 3u);
    EXPECT_EQ (colours[0], juce::Colours::red);
    EXPECT_EQ (colours[1], juce::Colours::blue.interpolatedWith (juce::Colours::white, 1.0f - (0.3f + 0.7f * std::pow (0.5f, 0.75f))));
    EXPECT_EQ (colours[2], juce::Colours::white);

    // An all-zero readout leaves every trace white.
    view.setReadoutWeights ({ { 0.0f, 0.0f, 0.0f } });
    for (const auto& colour : view.getUnitColours())
        EXPECT_EQ (colour, juce::Colours::white);
}

// The traces are kept as a picture between steps; each of these must show.
TEST (ActivityView, TheKeptTracesFollowStepsColoursAndSize)
{
    auto render = [] (Activity& view)
    {
        juce::Image image (juce::Image::ARGB, view.getWidth(), view.getHeight(), true, juce::SoftwareImageType());
        juce::Graphics g (image);
        view.paint (g);
        return image;
    };
    auto same = [] (const juce::Image& a, const juce::Image& b)
    {
        if (a.getBounds() != b.getBounds())
            return false;
        for (int y = 0; y < a.getHeight(); ++y)
            for (int x = 0; x < a.getWidth(); ++x)
                if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                    return false;
        return true;
    };

    Activity view;
    view.setSize (120, 60);
    view.pushState ({ 0.5f, -0.5f });
    const auto first = render (view);
    EXPECT_TRUE (same (render (view), first)) << "an unchanged view paints the same";

    view.pushState ({ -0.9f, 0.9f });
    const auto afterStep = render (view);
    EXPECT_FALSE (same (afterStep, first)) << "a step";

    view.setNoteColours ({ juce::Colours::grey, juce::Colours::red });
    view.setReadoutWeights ({ { 0.0f, 0.0f }, { 1.0f, 1.0f } });
    const auto recoloured = render (view);
    EXPECT_FALSE (same (recoloured, afterStep)) << "new colours";

    // A wash comes and goes: the traces over it are the same as before.
    view.setBackgroundTint (juce::Colours::violet, 1.0f, 0.5f);
    EXPECT_FALSE (same (render (view), recoloured)) << "the wash";
    view.setBackgroundTint (juce::Colours::violet, 0.0f, 0.0f);
    EXPECT_TRUE (same (render (view), recoloured)) << "after the wash";

    // After a resize the traces reach the new right-hand edge.
    view.setSize (200, 80);
    const auto wider = render (view);
    auto drawnAt = [&wider] (int x)
    {
        for (int y = 0; y < wider.getHeight(); ++y)
            if (wider.getPixelAt (x, y).getAlpha() > 0)
                return true;
        return false;
    };
    EXPECT_TRUE (drawnAt (198));
}

} // namespace
} // namespace mur
