#include "ArpAudioProcessorEditor.h"

#include "engine/NoteSelection.h"
#include "processor/ArpAudioProcessor.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/PlotOverlay.h"

// The screen of network views: which one shows, and the copy of each step's
// published data the views are fed from.
namespace mur
{

void ArpAudioProcessorEditor::createViews()
{
    activityView = std::make_unique<views::NeuralActivityWindow>();
    mapView = std::make_unique<views::NeuralActivityPCAPlot>();
    topologyView = std::make_unique<views::NeuralNetworkTopologyPlot>();
    for (views::VisualisationWindow* view : { static_cast<views::VisualisationWindow*> (activityView.get()),
                                              static_cast<views::VisualisationWindow*> (mapView.get()),
                                              static_cast<views::VisualisationWindow*> (topologyView.get()) })
    {
        view->embed();
        view->getContentComponent()->setMouseCursor (juce::MouseCursor::CrosshairCursor);
    }

    refreshViewColours();
    plotOverlay = std::make_unique<views::PlotOverlay>();
    plotOverlay->onSwitch = [this] { setView ((viewIndex + 1) % 3); };
}

void ArpAudioProcessorEditor::setView (int index)
{
    viewIndex = juce::jlimit (0, 2, index);
    activityView->setVisible (viewIndex == 0);
    mapView->setVisible (viewIndex == 1);
    topologyView->setVisible (viewIndex == 2);
}

void ArpAudioProcessorEditor::refreshViewColours()
{
    viewColours.resize (noteColours.colours.size());
    for (size_t i = 0; i < viewColours.size(); ++i)
        viewColours[i] = juce::Colour (noteColours.colours[i]);
}

void ArpAudioProcessorEditor::takePublishedStep()
{
    auto& step = publishedStep;
    playback.copyPublishedState (step.state);
    for (size_t i = 0; i < step.probabilities.size(); ++i)
        step.probabilities[i] = playback.getPublishedProbability (static_cast<int> (i));
    step.previousChoice = playback.getPreviousChoice();
    step.numHeld = playback.getHeldNotes().size();
    step.restEnabled = isRestEnabled (settings.getNoteGain (0));
    step.stepSeconds = playback.getStepSeconds();
    step.echo = settings.getMirrors().recurrenceScale;
    processor.getSharedEngine().copyWeightsIfNewer (step.weightsGeneration, step.recurrentWeights, step.readoutWeights);
}

void ArpAudioProcessorEditor::updateViews()
{
    takePublishedStep();
    const auto& step = publishedStep;

    if (activityView->isVisible())
    {
        if (! step.state.empty())
            activityView->pushState (step.state);
        activityView->setDisplayMode (0);
        activityView->setNoteColours (viewColours);
        activityView->setReadoutWeights (step.readoutWeights);
    }

    if (mapView->isVisible())
    {
        mapView->setNoteColours (viewColours);
        if (! step.state.empty())
        {
            mapView->setStepDuration (static_cast<float> (step.stepSeconds));
            mapView->setCurrentSlot (views::readoutRowForChoice (step.previousChoice, step.numHeld, step.restEnabled));
            mapView->pushState (step.state);
        }
    }

    // The topology keeps its layout going while hidden, so it is always fed.
    topologyView->setNoteColours (viewColours);
    topologyView->setEdgeGain (step.echo);
    topologyView->setRecurrentWeights (step.recurrentWeights);
    topologyView->setReadoutWeights (step.readoutWeights);
    if (! step.state.empty())
        topologyView->pushState (step.state);
}

} // namespace mur
