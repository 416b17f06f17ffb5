#include "views/ViewsPanel.h"
#include "PaintRecorder.h"
#include "editor/EditorFixture.h"
#include "editor/MouseEvents.h"
#include "processor/Settings.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NotePlots.h"
#include "views/PlotOverlay.h"

#include <random>

namespace mur
{
namespace
{
using test::Editor;

// Plays a held chord free-running until `steps` more steps were taken, the
// editor's timer ticking after every block.
void playSteps (ArpAudioProcessor& p, ArpAudioProcessorEditor& editor, int steps)
{
    p.prepareToPlay (48000.0, 480);
    juce::AudioBuffer<float> audio (2, 480);
    juce::MidiBuffer midi;
    for (const auto note : { 57, 60, 64 })
        midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);

    const auto& counts = p.getPlayback().getPlaybackCounts();
    const auto target = counts.steps + steps;
    for (int block = 0; counts.steps < target && block < 100000; ++block)
    {
        p.processBlock (audio, midi);
        midi.clear();
        editor.tick();
    }
}

TEST (ReadoutRow, AChoiceNamesItsSlotsRowAndEverythingElseTheRest)
{
    EXPECT_EQ (views::readoutRowForChoice (-1, 3, true), 0);
    EXPECT_EQ (views::readoutRowForChoice (0, 3, false), 1);
    EXPECT_EQ (views::readoutRowForChoice (2, 3, true), 3);
    EXPECT_EQ (views::readoutRowForChoice (3, 3, true), 0);
    EXPECT_EQ (views::readoutRowForChoice (3, 3, false), 0);
    EXPECT_EQ (views::readoutRowForChoice (7, 3, false), 0);
}

TEST_F (Editor, TheViewSwitchShowsOneViewAtATimeInTurn)
{
    auto visible = [this]
    {
        return std::array<bool, 3> { editor->pieces().views.getActivityView().isVisible(), editor->pieces().views.getMapView().isVisible(),
                                     editor->pieces().views.getTopologyView().isVisible() };
    };
    EXPECT_EQ (visible(), (std::array<bool, 3> { true, false, false }));

    auto& overlay = editor->pieces().views.getPlotOverlay();
    EXPECT_EQ (overlay.getTooltip(), "Switch between Activity, Map and Topology views.");
    EXPECT_EQ (overlay.getAlpha(), 0.0f);
    for (const auto expected : { 1, 2, 0 })
    {
        overlay.mouseDown (test::mouseAt (overlay, { 10.0f, 10.0f }));
        EXPECT_EQ (static_cast<int> (editor->pieces().views.shown()), expected);
    }
    EXPECT_EQ (visible(), (std::array<bool, 3> { true, false, false }));

    editor->pieces().views.show (views::NetworkView::topology);
    EXPECT_EQ (visible(), (std::array<bool, 3> { false, false, true }));
}

TEST_F (Editor, StepsFeedTheShownViewAndTheTopologyAlways)
{
    auto& activity = editor->pieces().views.getActivityView().getComponent();
    auto& map = editor->pieces().views.getMapView().getComponent();
    auto& topology = editor->pieces().views.getTopologyView().getComponent();

    playSteps (*processor, *editor, 6);
    EXPECT_EQ (activity.getUnitCount(), 5);
    EXPECT_NE (activity.getHistory().back(), std::vector<float> (5, 0.0f));
    EXPECT_TRUE (map.getPoints().empty()) << "the hidden map was fed";
    EXPECT_EQ (topology.getUnitCount(), 5u);

    editor->pieces().views.show (views::NetworkView::map);
    const auto activityBefore = activity.getHistory();
    playSteps (*processor, *editor, 6);
    EXPECT_EQ (activity.getHistory(), activityBefore) << "the hidden activity view was fed";
    EXPECT_FALSE (map.getPoints().empty());

    // Capacity: the next step brings the new unit count to every fed view.
    editor->pieces().views.show (views::NetworkView::activity);
    processor->getSettings().setHiddenSize (12);
    playSteps (*processor, *editor, 2);
    EXPECT_EQ (activity.getUnitCount(), 12);
    EXPECT_EQ (topology.getUnitCount(), 12u);

    // Reseed starts the map over.
    editor->pieces().views.show (views::NetworkView::map);
    playSteps (*processor, *editor, 4);
    ASSERT_FALSE (map.getPoints().empty());
    editor->pieces().button ("reseedButton")->onClick();
    EXPECT_TRUE (map.getPoints().empty());
}

TEST_F (Editor, StepsFeedTheNotePlotsWithTheirDotsAnchoredAboveTheCurves)
{
    auto& probabilities = editor->pieces().notes.getProbabilityPlot().getComponent();
    auto& choices = editor->pieces().notes.getChoicePlot().getComponent();
    EXPECT_TRUE (editor->pieces().notes.getProbabilityPlot().isVisible());
    EXPECT_TRUE (editor->pieces().notes.getChoicePlot().isVisible());
    EXPECT_EQ (choices.columnCount(), 29);

    playSteps (*processor, *editor, 40);
    EXPECT_GE (probabilities.getPushCount(), 30);
    // Three held notes and the rest's row.
    for (int row = 0; row < 4; ++row)
        EXPECT_TRUE (probabilities.isRowVisible (row)) << row;
    EXPECT_FALSE (probabilities.isRowVisible (4));
    EXPECT_GE (choices.getLastChoice(), 1);

    // Every dot in sight is drawn, and none below the plot.
    editor->setSize (1078, 539);
    const auto dots = test::recordPaint (choices);
    EXPECT_GE (dots.size(), 20u);
    for (const auto& dot : dots)
        EXPECT_LT (dot.bounds.getBottom(), static_cast<float> (choices.getHeight()));
}

TEST_F (Editor, TheViewsTakeNewWeightsAfterAReseed)
{
    auto& topology = editor->pieces().views.getTopologyView().getComponent();
    playSteps (*processor, *editor, 3);
    const auto before = topology.getRecurrentWeights();
    EXPECT_EQ (before, processor->getEngine().getRecurrentWeights());

    processor->getSettings().reseed (12345);
    playSteps (*processor, *editor, 3);
    EXPECT_NE (topology.getRecurrentWeights(), before);
    EXPECT_EQ (topology.getRecurrentWeights(), processor->getEngine().getRecurrentWeights());
}

// Five thousand random steps through all three views: Capacity changes,
// reseeds, states pinned at -1, 0 and +1. Whatever they draw is finite and,
// once the map's animations have settled, inside the view.
TEST (Views, RandomStepsDrawOnlyFiniteCoordinatesInsideTheView)
{
    views::NeuralActivityWindow::NeuralActivityComponent activity;
    views::NeuralActivityPCAPlot::PCAComponent map;
    views::NeuralNetworkTopologyPlot::TopologyComponent topology;
    for (juce::Component* view : { static_cast<juce::Component*> (&activity), static_cast<juce::Component*> (&map),
                                   static_cast<juce::Component*> (&topology) })
        view->setSize (234, 109);

    std::mt19937 random (20261209);
    auto uniform = [&random] (float low, float high) { return std::uniform_real_distribution<float> (low, high) (random); };
    auto matrix = [&] (size_t rows, size_t columns)
    {
        views::Rows m (rows, std::vector<float> (columns));
        for (auto& row : m)
            for (auto& x : row)
                x = uniform (-1.0f, 1.0f);
        return m;
    };

    std::vector<juce::Colour> colours;
    for (int i = 0; i < 51; ++i)
        colours.push_back (juce::Colour (static_cast<juce::uint32> (random()) | 0xff000000u));
    auto readout = matrix (51, 50), recurrent = matrix (50, 50);
    size_t units = 5;
    std::int64_t now = 0;
    const auto bounds = juce::Rectangle<float> (0.0f, 0.0f, 234.0f, 109.0f);

    auto expectInside = [&bounds] (const juce::Rectangle<float>& r, float tolerance, const char* what, int step)
    {
        ASSERT_TRUE (test::isFinite (r)) << what << " at step " << step;
        ASSERT_TRUE (bounds.expanded (tolerance).contains (r)) << what << " at step " << step << ": " << r.toString();
    };

    for (int step = 0; step < 5000; ++step)
    {
        const auto event = uniform (0.0f, 1.0f);
        if (event < 0.01f)
            units = static_cast<size_t> (uniform (1.0f, 50.99f));
        else if (event < 0.02f)
        {
            readout = matrix (51, 50);
            recurrent = matrix (50, 50);
            map.reset();
        }

        std::vector<float> state (units);
        const auto extreme = uniform (0.0f, 1.0f) < 0.2f;
        for (auto& x : state)
            x = extreme ? static_cast<float> (static_cast<int> (uniform (0.0f, 2.99f)) - 1) : uniform (-1.0f, 1.0f);

        const auto stepSeconds = uniform (0.005f, 1.0f);
        now += static_cast<std::int64_t> (stepSeconds * 1.0e9f);
        map.clock.fixed = now;

        activity.pushState (state);
        activity.setNoteColours (colours);
        activity.setReadoutWeights (readout);
        map.setNoteColours (colours);
        map.setStepDuration (stepSeconds);
        map.setCurrentSlot (static_cast<int> (uniform (-1.0f, 51.0f)));
        map.pushState (state);
        topology.setNoteColours (colours);
        topology.setEdgeGain (uniform (0.0f, 2.0f));
        topology.setRecurrentWeights (recurrent);
        topology.setReadoutWeights (readout);
        topology.pushState (state);
        topology.tick();

        if (step % 5 != 0)
            continue;

        for (const auto& mark : test::recordPaint (activity))
            expectInside (mark.bounds, 3.0f, "activity", step); // a 1.5-wide stroke's butt ends and mitred joints
        for (const auto& mark : test::recordPaint (topology))
            expectInside (mark.bounds, 0.5f, "topology", step);

        // The map: once when the step arrives (the range starts easing), then
        // when marker and range have arrived.
        for (const auto& mark : test::recordPaint (map))
            ASSERT_TRUE (test::isFinite (mark.bounds)) << "map at step " << step;
        map.clock.fixed = now + static_cast<std::int64_t> (std::max (map.getStepDuration(), 0.02f) * 0.5e9f) + 1000000;
        const auto settled = test::recordPaint (map);
        for (const auto& mark : settled)
        {
            ASSERT_TRUE (test::isFinite (mark.bounds)) << "map at step " << step;
            // Ripples, the colour field and the marker; the fading trail may
            // lie where the newest axes no longer reach.
            const auto isTrail = mark.colour.getRed() == 255 && mark.colour.getGreen() == 255 && mark.colour.getBlue() == 255
                              && mark.colour.getFloatAlpha() < 0.5f;
            if (! isTrail)
                expectInside (mark.bounds, 0.5f, "map", step);
        }
    }
}

} // namespace
} // namespace mur
