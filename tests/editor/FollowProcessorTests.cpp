#include "EditorFixture.h"
#include "TestHelpers.h"
#include "processor/ProcessorAccess.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NeuronPathOverlay.h"
#include "views/NotePlots.h"
#include "views/PaintRecorder.h"
#include "views/ViewsPanel.h"

// Whatever changes the processor (the host, a preset, Reseed) leaves the
// picture the same change by hand leaves: the editor follows the processor's
// change message, never the control that was touched.
namespace mur
{
namespace
{
using test::Editor;

class FollowingEditor : public Editor
{
protected:
    // Plays a held chord until `steps` more steps were taken, the editor's
    // timer ticking after every block.
    void playSteps (int steps)
    {
        processor->prepareToPlay (48000.0, 480);
        juce::AudioBuffer<float> audio (2, 480);
        juce::MidiBuffer midi;
        for (const auto note : { 57, 60, 64 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);

        const auto& counts = processor->getPlayback().getPlaybackCounts();
        for (const auto target = counts.steps + steps; counts.steps < target;)
        {
            processor->processBlock (audio, midi);
            midi.clear();
            editor->tick();
        }
    }

    // What the processor's own timer and the message loop do next.
    void deliverChanges()
    {
        test::ProcessorAccess::runMessageThreadTasks (*processor);
        ASSERT_TRUE (test::runPostedMessages());
        editor->tick();
    }

    views::NeuralActivityPCAPlot::PCAComponent& map() { return editor->pieces().views.getMapView().getComponent(); }

    // The map's trail and range follow its repaints.
    void paintMap()
    {
        juce::Image image (juce::Image::ARGB, 234, 109, true, juce::SoftwareImageType());
        juce::Graphics g (image);
        map().setBounds (0, 0, 234, 109);
        map().paint (g);
    }
};

TEST_F (FollowingEditor, HostAutomationOfCapacityMovesTheNeuronPathAndStartsTheMapOver)
{
    editor->pieces().views.show (views::NetworkView::map);
    playSteps (8);
    paintMap();
    ASSERT_FALSE (map().getPoints().empty());
    ASSERT_GT (map().getTrailLength(), 0u);
    ASSERT_TRUE (map().isRangeKnown());

    processor->getParameterTree().getParameter ("hiddenSize")->setValueNotifyingHost (1.0f);
    deliverChanges();
    EXPECT_EQ (editor->pieces().neuronPath.getLevel(), 8);
    EXPECT_FLOAT_EQ (editor->pieces().control ("Capacity")->getValue(), 1.0f);
    EXPECT_TRUE (map().getPoints().empty());
    EXPECT_EQ (map().getTrailLength(), 0u);
    EXPECT_FALSE (map().isRangeKnown());

    // Undo takes the same path back.
    processor->getSettings().setHiddenSize (2);
    deliverChanges();
    EXPECT_EQ (editor->pieces().neuronPath.getLevel(), 1);
}

TEST_F (FollowingEditor, APresetOrAReseedFromOutsideStartsTheMapOverAndPushesNoStep)
{
    editor->pieces().views.show (views::NetworkView::map);
    const auto preset = scratch.getFile().getChildFile ("Other.fxp");
    {
        ArpAudioProcessor other;
        other.getSettings().reseed (777);
        other.getPresets().savePreset (preset);
    }

    auto& curves = editor->pieces().notes.getProbabilityPlot().getComponent();
    auto& choices = editor->pieces().notes.getChoicePlot().getComponent();
    const auto steps = [&] { return std::tuple { curves.getPushCount(), choices.choiceAt (0), choices.choiceAt (1) }; };

    for (const auto& change : std::vector<std::function<void()>> {
             [&] { ASSERT_TRUE (processor->getPresets().loadPresetFile (preset).wasOk()); },
             [&] { processor->getSettings().reseed (4242); },
             [&] { processor->getSettings().setDarkPaletteBias (0.9f); },
             [&] { processor->getParameterTree().getParameter ("lightPaletteBias")->setValueNotifyingHost (0.7f); } })
    {
        playSteps (6);
        ASSERT_FALSE (map().getPoints().empty());
        const auto before = steps();
        const auto weights = editor->pieces().views.getTopologyView().getComponent().getRecurrentWeights();

        change();
        deliverChanges();
        EXPECT_EQ (steps(), before) << "a step that was never played";

        const auto newNetwork = processor->getEngine().getRecurrentWeights() != weights;
        EXPECT_EQ (map().getPoints().empty(), newNetwork) << "the map starts over exactly when the network is new";
        if (newNetwork)
        {
            EXPECT_EQ (editor->pieces().views.getTopologyView().getComponent().getRecurrentWeights(), processor->getEngine().getRecurrentWeights());
        }
    }
}

// Without a compositor (this process has no display at all), the note
// choices' screen lies over the probability curves: the curves must show
// through it over their whole height.
TEST_F (FollowingEditor, TheProbabilityCurvesShowAboveTheBottomOfTheNotesWell)
{
    editor->setSize (1078, 539);
    auto& notes = editor->pieces().notes;
    auto& curves = notes.getProbabilityPlot().getComponent();
    auto& choices = notes.getChoicePlot().getComponent();
    curves.clock.fixed = choices.clock.fixed = 1;
    const auto before = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);

    processor->getSettings().setSoftmaxGain (2.0f);
    playSteps (40);
    curves.clock.fixed = choices.clock.fixed = 1'000'000'000'000;
    const auto after = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);

    // The dots of the choices are drawn over the curves; they do not count.
    const auto dotsAt = notes.getPosition().toFloat() + notes.getChoicePlot().getPosition().toFloat();
    std::vector<juce::Rectangle<int>> dots;
    for (const auto& mark : test::recordPaint (choices))
        dots.push_back ((mark.bounds + dotsAt).expanded (2.0f).getSmallestIntegerContainer());

    const auto area = editor->getLocalArea (&curves, curves.getLocalBounds()).withTrimmedBottom (13);
    int changed = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (before.getPixelAt (x, y) != after.getPixelAt (x, y)
                && std::none_of (dots.begin(), dots.end(), [x, y] (const auto& dot) { return dot.contains (x, y); }))
                ++changed;

    EXPECT_GT (changed, 300) << "curve pixels above the lowest 13 units";
}

} // namespace
} // namespace mur
