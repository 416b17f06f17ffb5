#include "PaintRecorder.h"
#include "views/NotePlots.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using Probabilities = views::NoteActivationProbabilityPlot::PlotComponent;
using Choices = views::NoteChoicePlot::PlotComponent;
using Mark = test::PaintRecorder::Mark;
constexpr std::int64_t millisecond = 1000000;

std::vector<float> probabilities (float rest, float first, float second)
{
    std::vector<float> values (51, 0.0f);
    values[0] = rest;
    values[1] = first;
    values[2] = second;
    return values;
}

TEST (NotePlots, TheRestsRowIsShownWheneverTheEditorListsIt)
{
    Probabilities plot;
    plot.setVisibleRows ({ 0, 1, 2 }, false);
    EXPECT_TRUE (plot.isRowVisible (0));
    EXPECT_FALSE (plot.isRowVisible (3));

    plot.setVisibleRows ({ 1, 2 }, true);
    EXPECT_TRUE (plot.isRowVisible (0));
    plot.setVisibleRows ({}, true);
    EXPECT_FALSE (plot.isRowVisible (0));
    plot.setVisibleRows ({ 1, 77, -3 }, false);
    EXPECT_TRUE (plot.isRowVisible (1));
    EXPECT_FALSE (plot.isRowVisible (0));
}

TEST (NotePlots, IdenticalProbabilitiesAreStoredOnceUntilTheRowsAreListedAgain)
{
    Probabilities plot;
    plot.setVisibleRows ({ 0, 1, 2 }, true);
    plot.pushProbabilities (probabilities (0.1f, 0.6f, 0.3f));
    plot.pushProbabilities (probabilities (0.1f, 0.6f, 0.3f));
    EXPECT_EQ (plot.getPushCount(), 1);
    plot.pushProbabilities ({});
    EXPECT_EQ (plot.getPushCount(), 1);

    plot.setVisibleRows ({ 0, 1, 2 }, true);
    plot.pushProbabilities (probabilities (0.1f, 0.6f, 0.3f));
    EXPECT_EQ (plot.getPushCount(), 2);

    // Hidden rows count as 0, so a change there alone stores nothing new.
    plot.setVisibleRows ({ 0, 1 }, true);
    plot.pushProbabilities (probabilities (0.1f, 0.6f, 0.3f));
    plot.pushProbabilities (probabilities (0.1f, 0.6f, 0.9f));
    EXPECT_EQ (plot.getPushCount(), 3);
    EXPECT_EQ (plot.recentPeaks (2), (std::vector<float> { 0.6f, 0.6f }));
    EXPECT_TRUE (plot.recentPeaks (0).empty());
}

TEST (NotePlots, AProbabilityCurveLiesAtItsValueAndGlidesInAfterAPush)
{
    Probabilities plot;
    plot.setSize (234, 93);
    plot.clock.fixed = 0;
    plot.setStepDuration (0.25f);
    plot.setVisibleRows ({ 1 }, false);
    for (int i = 0; i < 40; ++i)
    {
        plot.setVisibleRows ({ 1 }, false);
        plot.pushProbabilities (probabilities (0.0f, 0.5f, 0.0f));
    }

    // Long after the last push: one flat curve at half the trace's height,
    // from the left edge to the right.
    plot.clock.fixed = 10000 * millisecond;
    auto marks = test::recordPaint (plot);
    ASSERT_EQ (marks.size(), 1u);
    const auto area = plot.traceArea();
    EXPECT_NEAR (marks[0].bounds.getCentreY(), area.getBottom() - 0.5f * area.getHeight(), 0.01f);
    EXPECT_NEAR (marks[0].bounds.getX(), 0.0f, 0.01f);
    EXPECT_NEAR (marks[0].bounds.getRight(), 234.0f, 0.01f);

    // Just after a push the curve starts a column early and sits a column
    // to the right; half a step later it is home.
    plot.setVisibleRows ({ 1 }, false);
    plot.pushProbabilities (probabilities (0.0f, 0.5f, 0.0f));
    marks = test::recordPaint (plot);
    const auto column = 234.0f / 29.0f;
    EXPECT_NEAR (marks[0].bounds.getX(), 0.0f, 0.01f);
    EXPECT_NEAR (marks[0].bounds.getRight(), 234.0f + column, 0.01f);
    plot.clock.fixed += 126 * millisecond;
    EXPECT_NEAR (test::recordPaint (plot)[0].bounds.getRight(), 234.0f, 0.01f);
}

TEST (NotePlots, ChoiceDotsRiseFromTheirAnchorsAndEmptyEntriesDrawNothing)
{
    Choices plot;
    plot.setSize (240, 95);
    plot.setPlotWidth (232.0f);
    plot.setBaselineY (2.6449966f);
    plot.clock.fixed = 0;
    EXPECT_EQ (plot.columnCount(), 29);
    EXPECT_TRUE (test::recordPaint (plot).empty());

    plot.setStepDuration (0.01f);
    EXPECT_FLOAT_EQ (plot.getStepDuration(), 0.02f);
    EXPECT_NEAR (plot.getScrollDurationMs(), 10.0, 1.0e-4);

    plot.setNoteColours ({ juce::Colours::grey, juce::Colours::red });
    plot.pushChoice (1);
    plot.pushChoice (60);
    EXPECT_EQ (plot.getLastChoice(), 1);
    EXPECT_EQ (plot.choiceAt (0), 1);
    EXPECT_EQ (plot.choiceAt (1), -1);

    plot.setAnchorYs (std::vector<float> (30, 80.0f));
    auto marks = test::recordPaint (plot);
    ASSERT_EQ (marks.size(), 1u);
    EXPECT_EQ (marks[0].colour, juce::Colours::red);
    const auto s = (232.0f / 29.0f) * 0.5625f;
    EXPECT_NEAR (marks[0].bounds.getCentreY(), 80.0f, 0.01f);
    EXPECT_NEAR (marks[0].bounds.getWidth(), s, 0.01f);

    // The rise takes ten steps (200 ms here): then the dot touches the top.
    plot.clock.fixed = 250 * millisecond;
    marks = test::recordPaint (plot);
    ASSERT_EQ (marks.size(), 1u);
    EXPECT_NEAR (marks[0].bounds.getY(), 0.0f, 0.01f);
}

TEST (NotePlots, OnlyHeldSlotsAndAnEnabledRestMarkAChoice)
{
    EXPECT_EQ (views::choiceRowToMark (0, 3, false), 1);
    EXPECT_EQ (views::choiceRowToMark (2, 3, false), 3);
    EXPECT_EQ (views::choiceRowToMark (3, 3, true), 0);
    EXPECT_EQ (views::choiceRowToMark (3, 3, false), std::nullopt);
    EXPECT_EQ (views::choiceRowToMark (5, 3, true), std::nullopt);
    EXPECT_EQ (views::choiceRowToMark (-1, 3, true), std::nullopt);
}

} // namespace
} // namespace mur
