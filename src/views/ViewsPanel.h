#pragma once

#include "FrameClock.h"
#include "PublishedStep.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

namespace mur::views
{

class NeuralActivityWindow;
class NeuralActivityPCAPlot;
class NeuralNetworkTopologyPlot;
class NoteActivationProbabilityPlot;
class NoteChoicePlot;
class PlotOverlay;

// The three network views, in the order a click on the screen cycles them.
enum class NetworkView
{
    activity,
    map,
    topology
};

// The screen of network views in the Engine panel: one view shown at a time,
// a click on it moves to the next. Colours and weights follow the processor
// whenever they change; states arrive only with the steps the audio thread
// published.
class ViewsPanel : public juce::Component
{
public:
    static constexpr int x = 36, y = 107, width = 234, height = 109;

    ViewsPanel();
    ~ViewsPanel() override;

    void show (NetworkView view);
    NetworkView shown() const noexcept { return current; }

    // New note colours, weights or Echo: the views take them without a step.
    void follow (const std::vector<juce::Colour>& colours, const PublishedStep& step);
    // One published step: the shown view and the topology (whose layout runs
    // hidden too) take its state.
    void feed (const PublishedStep& step);
    // One beat of the editor's timer, `beatsPerSecond` a second: the
    // topology's layout keeps running while its view is hidden, so that it
    // has settled by the time the view is shown.
    void heartbeat (int beatsPerSecond);
    // The map's history belongs to one network and one Capacity.
    void resetMap();
    void setTint (juce::Colour colour, float level, float strength);

    NeuralActivityWindow& getActivityView() noexcept { return *activity; }
    NeuralActivityPCAPlot& getMapView() noexcept { return *map; }
    NeuralNetworkTopologyPlot& getTopologyView() noexcept { return *topology; }
    PlotOverlay& getPlotOverlay() noexcept { return *plotOverlay; }

    void resized() override;

private:
    std::unique_ptr<NeuralActivityWindow> activity;
    std::unique_ptr<NeuralActivityPCAPlot> map;
    std::unique_ptr<NeuralNetworkTopologyPlot> topology;
    std::unique_ptr<PlotOverlay> plotOverlay;
    NetworkView current = NetworkView::activity;
    BeatDivider topologyPace;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ViewsPanel)
};

// The Notes panel's screen: the probability curves of the last steps and,
// over them, the dots of the choices made.
class NotesPanel : public juce::Component
{
public:
    static constexpr int x = 804, y = 107, width = 240, height = 109;

    NotesPanel();
    ~NotesPanel() override;

    void follow (const std::vector<juce::Colour>& colours);
    void feed (const PublishedStep& step);

    NoteActivationProbabilityPlot& getProbabilityPlot() noexcept { return *probabilities; }
    NoteChoicePlot& getChoicePlot() noexcept { return *choices; }

    void resized() override;

private:
    std::unique_ptr<NoteActivationProbabilityPlot> probabilities;
    std::unique_ptr<NoteChoicePlot> choices;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NotesPanel)
};

} // namespace mur::views
