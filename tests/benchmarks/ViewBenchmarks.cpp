#include "plugin/ArpAudioProcessor.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NeuronPathOverlay.h"
#include "views/NotePlots.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

// The network views with 50 live units: the work one published step costs
// each view, and one paint at twice the design size (a 2156 x 1078 window).
namespace
{
using namespace mur;
constexpr size_t units = 50;

struct Steps
{
    std::mt19937 random { 7 };
    std::vector<float> state = std::vector<float> (units);
    // The network's own weights: their spread decides how many edges show.
    ArpAudioProcessor processor;
    views::Rows readout = processor.getEngine().getReadoutWeights(), recurrent = processor.getEngine().getRecurrentWeights();
    std::vector<juce::Colour> colours;

    Steps()
    {
        for (int i = 0; i < 51; ++i)
            colours.push_back (juce::Colour (static_cast<juce::uint32> (random()) | 0xff000000u));
    }

    const std::vector<float>& next()
    {
        for (auto& x : state)
            x = std::uniform_real_distribution<float> (-1.0f, 1.0f) (random);
        return state;
    }
};

template <typename View, typename BeforeEach = void (*)()>
void paintAtDoubleSize (benchmark::State& state, View& view, BeforeEach beforeEach = [] {})
{
    if (view.getWidth() == 0)
        view.setSize (234, 109);
    juce::Image image (juce::Image::ARGB, view.getWidth() * 2, view.getHeight() * 2, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        beforeEach();
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        view.paint (g);
    }
}

void activityStep (benchmark::State& state)
{
    Steps steps;
    views::NeuralActivityWindow::NeuralActivityComponent view;
    for (auto _ : state)
    {
        view.pushState (steps.next());
        view.setNoteColours (steps.colours);
        view.setReadoutWeights (steps.readout);
    }
}
BENCHMARK (activityStep)->Unit (benchmark::kMicrosecond);

void activityPaint (benchmark::State& state)
{
    Steps steps;
    views::NeuralActivityWindow::NeuralActivityComponent view;
    view.setNoteColours (steps.colours);
    view.setReadoutWeights (steps.readout);
    for (int i = 0; i < 30; ++i)
        view.pushState (steps.next());
    // 0: a frame of an accent's wash (the traces are kept); 1: a new step.
    float level = 0.0f;
    paintAtDoubleSize (state, view, [&]
    {
        if (state.range (0) == 0)
            view.setBackgroundTint (juce::Colours::violet, level = std::fmod (level + 0.05f, 1.0f), 0.5f);
        else
            view.pushState (steps.next());
    });
}
BENCHMARK (activityPaint)->Arg (0)->Arg (1)->Unit (benchmark::kMicrosecond);

// The principal axes of 15 states of 50 units, every step.
void mapStep (benchmark::State& state)
{
    Steps steps;
    views::NeuralActivityPCAPlot::PCAComponent view;
    view.setNoteColours (steps.colours);
    for (auto _ : state)
    {
        view.setCurrentSlot (3);
        view.pushState (steps.next());
    }
}
BENCHMARK (mapStep)->Unit (benchmark::kMicrosecond);

void mapPaint (benchmark::State& state)
{
    // As the view's 60 Hz timer sees it while sixteenths play at 120 BPM: a
    // step every 7.5 frames, the marker gliding, ripples and trail fading.
    Steps steps;
    views::NeuralActivityPCAPlot::PCAComponent view;
    view.setNoteColours (steps.colours);
    view.setStepDuration (0.125f);
    view.setSize (234, 109);
    view.clock.fixed = 0;
    juce::Image image (juce::Image::ARGB, 468, 218, true, juce::SoftwareImageType());
    constexpr std::int64_t frame = 1000000000 / 60, step = 125000000;
    std::int64_t nextStep = 0;

    for (auto _ : state)
    {
        view.clock.fixed += frame;
        if (view.clock.fixed >= nextStep)
        {
            nextStep += step;
            view.setCurrentSlot (static_cast<int> (nextStep / step) % 5);
            view.pushState (steps.next());
        }

        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        view.paint (g);
    }
}
BENCHMARK (mapPaint)->Unit (benchmark::kMicrosecond);

// One timer tick of the layout: two steps over 50 nodes.
void feedTopology (views::NeuralNetworkTopologyPlot::TopologyComponent& view, Steps& steps)
{
    view.setRecurrentWeights (steps.recurrent);
    view.setReadoutWeights (steps.readout);
    view.setNoteColours (steps.colours);
    view.pushState (steps.next());
    view.pushState (steps.next());
}

void topologyTick (benchmark::State& state)
{
    Steps steps;
    views::NeuralNetworkTopologyPlot::TopologyComponent view;
    feedTopology (view, steps);
    for (auto _ : state)
        view.tick();
}
BENCHMARK (topologyTick)->Unit (benchmark::kMicrosecond);

void topologyPaint (benchmark::State& state)
{
    Steps steps;
    views::NeuralNetworkTopologyPlot::TopologyComponent view;
    feedTopology (view, steps);
    for (int i = 0; i < 100; ++i)
        view.tick();
    paintAtDoubleSize (state, view);
}
BENCHMARK (topologyPaint)->Unit (benchmark::kMicrosecond);

// The note plots with four held notes and the rest, 30 steps in, halfway
// into a scroll; drawn at twice their design size.
void notePlotsPaint (benchmark::State& state)
{
    Steps steps;
    views::NoteActivationProbabilityPlot::PlotComponent probabilities;
    views::NoteChoicePlot::PlotComponent choices;
    probabilities.setSize (234, 93);
    choices.setSize (240, 95);
    choices.setPlotWidth (232.0f);
    choices.setBaselineY (2.6449966f);
    probabilities.clock.fixed = choices.clock.fixed = 0;
    for (int i = 0; i < 40; ++i)
    {
        probabilities.clock.fixed = choices.clock.fixed += 125000000;
        probabilities.setVisibleRows ({ 0, 1, 2, 3, 4 }, true);
        std::vector<float> p (51, 0.0f);
        for (size_t row = 0; row < 5; ++row)
            p[row] = std::uniform_real_distribution<float> (0.0f, 0.5f) (steps.random);
        probabilities.pushProbabilities (p);
        choices.pushChoice (1 + i % 4);
    }
    probabilities.clock.fixed = choices.clock.fixed += 30000000;
    choices.setAnchorYs (std::vector<float> (30, 60.0f));

    juce::Image image (juce::Image::ARGB, 480, 190, true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        probabilities.paint (g);
        choices.paint (g);
    }
}
BENCHMARK (notePlotsPaint)->Unit (benchmark::kMicrosecond);

// The neuron path at level 8, mid-flash, in the Capacity knob at twice its size.
void neuronPathPaint (benchmark::State& state)
{
    views::NeuronPathOverlay overlay;
    overlay.generateExtras();
    overlay.setSize (69, 69);
    overlay.setLevel (8);
    overlay.accentOf = [] (int) { return 1.0f; };
    overlay.advance (1.0);
    overlay.flash (0);
    overlay.advance (1.5);
    paintAtDoubleSize (state, overlay);
}
BENCHMARK (neuronPathPaint)->Unit (benchmark::kMicrosecond);
} // namespace
