#include "ArpAudioProcessorEditor.h"

#include "engine/NoteSelection.h"
#include "processor/ArpAudioProcessor.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NeuronPathOverlay.h"
#include "views/NotePlots.h"
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

    probabilityPlot = std::make_unique<views::NoteActivationProbabilityPlot>();
    choicePlot = std::make_unique<views::NoteChoicePlot>();
    probabilityPlot->embed();
    choicePlot->embed();

    refreshViewColours();
    plotOverlay = std::make_unique<views::PlotOverlay>();
    plotOverlay->onSwitch = [this] { setView ((viewIndex + 1) % 3); };
}

void ArpAudioProcessorEditor::createNeuronPath()
{
    neuronPath = std::make_unique<views::NeuronPathOverlay>();
    neuronPath->accentOf = [this] (int step)
    {
        const auto& m = settings.getMirrors();
        if (m.numSteps < 1 || step < 0)
            return 0.0f;
        return juce::jlimit (-1.0f, 1.0f, settings.getBeatPulseGain (step) * m.pulseGain);
    };
    neuronPath->onTint = [this] (juce::Colour colour, float level, float strength)
    {
        mapView->setBackgroundTint (colour, level, strength);
        activityView->setBackgroundTint (colour, level, strength);
        topologyView->setBackgroundTint (colour, level, strength);
    };
    neuronPath->setSeed (settings.getArpSeed());
    neuronPath->generateExtras();
    neuronPath->setLevel (neuronPathLevel);
}

void ArpAudioProcessorEditor::followNetworkSeed()
{
    if (neuronPath == nullptr || neuronPath->getSeed() == settings.getArpSeed())
        return;

    neuronPath->setSeed (settings.getArpSeed());
    neuronPath->generateExtras();
    neuronPath->resized();
    neuronPath->startTransition();
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
    takePublishedWeights();
}

bool ArpAudioProcessorEditor::takePublishedWeights()
{
    auto& step = publishedStep;
    return processor.getSharedEngine().copyWeightsIfNewer (step.weightsGeneration, step.recurrentWeights,
                                                          step.readoutWeights, &step.inputWeights);
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

    updateNotePlots();
}

void ArpAudioProcessorEditor::updateNotePlots()
{
    const auto& step = publishedStep;
    std::vector<int> rows (static_cast<size_t> (step.numHeld) + 1);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<int> (i);

    auto& probabilities = probabilityPlot->getComponent();
    const auto probabilitiesShown = probabilityPlot->isVisible();
    if (probabilitiesShown)
    {
        probabilities.setStepDuration (static_cast<float> (step.stepSeconds));
        probabilities.setNoteColours (viewColours);
        probabilities.setVisibleRows (rows, step.restEnabled);
        probabilities.pushProbabilities ({ step.probabilities.begin(), step.probabilities.end() });
    }

    if (! choicePlot->isVisible())
        return;

    auto& choices = choicePlot->getComponent();
    choices.setStepDuration (static_cast<float> (step.stepSeconds));
    choices.setNoteColours (viewColours);
    choices.setVisibleRows (rows, step.restEnabled);
    if (const auto row = views::choiceRowToMark (step.previousChoice, step.numHeld, step.restEnabled))
        choices.pushChoice (*row);

    // Each dot starts 14.75 units above the highest curve of its step, in
    // the choice plot's own coordinates.
    const auto trace = probabilityPlot->getLocalArea (&probabilities, probabilities.traceArea()) + probabilityPlot->getPosition().toFloat();
    if (probabilitiesShown && trace.getHeight() > 0.0f)
    {
        const auto peaks = probabilities.recentPeaks (choices.columnCount() + 1);
        if (peaks.size() == static_cast<size_t> (choices.columnCount() + 1))
        {
            const auto choiceTop = static_cast<float> (choicePlot->getY() + choices.getY());
            std::vector<float> anchors;
            for (const auto peak : peaks)
                anchors.push_back (trace.getBottom() - peak * trace.getHeight() - 14.75f - choiceTop);
            choices.setAnchorYs (std::move (anchors));
        }
    }
}

} // namespace mur
