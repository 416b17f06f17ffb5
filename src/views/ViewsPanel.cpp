#include "ViewsPanel.h"

#include "NeuralActivityPCAPlot.h"
#include "NeuralActivityWindow.h"
#include "NeuralNetworkTopologyPlot.h"
#include "NotePlots.h"
#include "PlotOverlay.h"

namespace mur::views
{

ViewsPanel::ViewsPanel()
    : activity (std::make_unique<NeuralActivityWindow>()),
      map (std::make_unique<NeuralActivityPCAPlot>()),
      topology (std::make_unique<NeuralNetworkTopologyPlot>()),
      plotOverlay (std::make_unique<PlotOverlay>()),
      topologyPace (NeuralNetworkTopologyPlot::TopologyComponent::ticksPerSecond)
{
    setInterceptsMouseClicks (false, true);

    for (VisualisationWindow* view : { static_cast<VisualisationWindow*> (activity.get()), static_cast<VisualisationWindow*> (map.get()),
                                       static_cast<VisualisationWindow*> (topology.get()) })
    {
        view->getContentComponent()->setMouseCursor (juce::MouseCursor::CrosshairCursor);
        addChildComponent (*view);
    }

    activity->setDisplayMode (0);
    plotOverlay->onSwitch = [this] { show (static_cast<NetworkView> ((static_cast<int> (current) + 1) % 3)); };
    addAndMakeVisible (*plotOverlay);
    show (NetworkView::activity);
}

ViewsPanel::~ViewsPanel() = default;

void ViewsPanel::resized()
{
    for (auto* child : getChildren())
        child->setBounds (getLocalBounds());
}

void ViewsPanel::show (NetworkView view)
{
    current = view;
    activity->setVisible (view == NetworkView::activity);
    map->setVisible (view == NetworkView::map);
    topology->setVisible (view == NetworkView::topology);
}

void ViewsPanel::follow (const std::vector<juce::Colour>& colours, const PublishedStep& step)
{
    activity->setNoteColours (colours);
    activity->setReadoutWeights (step.readoutWeights);
    map->setNoteColours (colours);
    topology->setNoteColours (colours);
    topology->setEdgeGain (step.echo);
    topology->setRecurrentWeights (step.recurrentWeights);
    topology->setReadoutWeights (step.readoutWeights);
}

void ViewsPanel::feed (const PublishedStep& step)
{
    if (step.state.empty())
        return;

    if (activity->isVisible())
        activity->pushState (step.state);

    if (map->isVisible())
    {
        map->setStepDuration (static_cast<float> (step.stepSeconds));
        map->setCurrentSlot (readoutRowForChoice (step.previousChoice, step.numHeld, step.restEnabled));
        map->pushState (step.state);
    }

    topology->pushState (step.state);
}

void ViewsPanel::heartbeat (int beatsPerSecond)
{
    if (topologyPace.beat (beatsPerSecond))
        topology->getComponent().tick();
}

void ViewsPanel::resetMap()
{
    map->reset();
}

void ViewsPanel::setTint (juce::Colour colour, float level, float strength)
{
    map->setBackgroundTint (colour, level, strength);
    activity->setBackgroundTint (colour, level, strength);
    topology->setBackgroundTint (colour, level, strength);
}

//==============================================================================
NotesPanel::NotesPanel()
    : probabilities (std::make_unique<NoteActivationProbabilityPlot>()),
      choices (std::make_unique<NoteChoicePlot>())
{
    setInterceptsMouseClicks (false, true);
    addAndMakeVisible (*probabilities);
    addAndMakeVisible (*choices);
}

NotesPanel::~NotesPanel() = default;

void NotesPanel::resized()
{
    // Design units: the curves at (807, 123, 234, 93), the dots above them
    // at (804, 107, 240, 95).
    probabilities->setBounds (807 - x, 123 - y, 234, 93);
    choices->setBounds (0, 0, 240, 95);
    choices->getComponent().setPlotWidth (232.0f);
    choices->getComponent().setBaselineY (2.6449966f);
}

void NotesPanel::follow (const std::vector<juce::Colour>& colours)
{
    probabilities->getComponent().setNoteColours (colours);
    choices->getComponent().setNoteColours (colours);
}

void NotesPanel::feed (const PublishedStep& step)
{
    std::vector<int> rows (static_cast<size_t> (step.numHeld) + 1);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int> (i);

    auto& curves = probabilities->getComponent();
    const auto curvesShown = probabilities->isVisible();
    if (curvesShown)
    {
        curves.setStepDuration (static_cast<float> (step.stepSeconds));
        curves.setVisibleRows (rows, step.restEnabled);
        curves.pushProbabilities ({ step.probabilities.begin(), step.probabilities.end() });
    }

    if (! choices->isVisible())
        return;

    auto& dots = choices->getComponent();
    dots.setStepDuration (static_cast<float> (step.stepSeconds));
    dots.setVisibleRows (rows, step.restEnabled);
    if (const auto row = choiceRowToMark (step.previousChoice, step.numHeld, step.restEnabled))
        dots.pushChoice (*row);

    // Each dot starts 14.75 units above the highest curve of its step, in
    // the choice plot's own coordinates.
    const auto trace = probabilities->getLocalArea (&curves, curves.traceArea()) + probabilities->getPosition().toFloat();
    if (curvesShown && trace.getHeight() > 0.0f)
    {
        const auto peaks = curves.recentPeaks (dots.columnCount() + 1);
        if (peaks.size() == static_cast<size_t> (dots.columnCount() + 1))
        {
            const auto choiceTop = static_cast<float> (choices->getY() + dots.getY());
            std::vector<float> anchors;
            for (const auto peak : peaks)
                anchors.push_back (trace.getBottom() - peak * trace.getHeight() - 14.75f - choiceTop);
            dots.setAnchorYs (std::move (anchors));
        }
    }
}

} // namespace mur::views
