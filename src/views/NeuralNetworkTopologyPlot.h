#pragma once

#include "PixelLayer.h"
#include "TopologyLayout.h"
#include "VisualisationWindow.h"

#include <vector>

namespace mur::views
{

// The "Topology" view: the live units as a graph whose force layout pulls
// strongly coupled units together; nodes swell with activity and take the
// colour of the note slot they drive most.
class NeuralNetworkTopologyPlot : public VisualisationWindow
{
public:
    class TopologyComponent;

    NeuralNetworkTopologyPlot();

    void pushState (const std::vector<float>& values);
    void setRecurrentWeights (const Rows& rows);
    void setReadoutWeights (const Rows& rows);
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setEdgeGain (float value);
    void setBackgroundTint (juce::Colour colour, float level, float strength);

    TopologyComponent& getComponent() noexcept { return component; }

private:
    TopologyComponent& component;
};

class NeuralNetworkTopologyPlot::TopologyComponent : public juce::Component
{
public:
    static constexpr size_t maxUnits = 512;

    TopologyComponent();
    ~TopologyComponent() override;

    void pushState (const std::vector<float>& values);
    void setRecurrentWeights (const Rows& rows);
    void setReadoutWeights (const Rows& rows);
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setEdgeGain (float value) noexcept { edgeGain = value > 0.0f ? value : 0.0f; }
    void setBackgroundTint (juce::Colour colour, float level, float strength);

    void paint (juce::Graphics& g) override;

    // One tick (30 a second, on the editor's timer; the layout runs while
    // the view is hidden too): derived data brought up to date, two layout
    // steps.
    void tick();
    static constexpr int ticksPerSecond = 30;

    size_t getUnitCount() const noexcept { return unitCount; }
    const std::vector<Position>& getPositions() const noexcept { return positions; }
    const std::vector<int>& getStrongestPartners() const noexcept { return strongestPartner; }
    const Rows& getRecurrentWeights() const noexcept { return recurrentWeights; }
    // The edges drawn: strong couplings and every unit's strongest partner.
    struct Edge
    {
        size_t from, to;
        float strength;
        float alpha() const noexcept { return 0.18f * strength + 0.04f; }
        float width() const noexcept { return 0.8f * strength + 0.6f; }
    };
    const std::vector<Edge>& visibleEdges();

    // The colour node i is drawn in.
    juce::Colour nodeColour (size_t i) const;

private:
    std::vector<float> state, previousState;
    bool hasPrevious = false;
    size_t unitCount = 0;
    Rows recurrentWeights, readoutWeights;
    std::vector<juce::Colour> noteColours;
    float edgeGain = 1.0f;
    BackgroundTint tint;
    std::vector<int> dominantRow;
    std::vector<float> dominance;
    std::vector<float> coupling;
    std::vector<int> strongestPartner;
    std::vector<Position> positions, displacements;
    bool colourSourceDirty = false, couplingDirty = false;
    PixelLayer edgeLayer;
    std::vector<Edge> edges;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TopologyComponent)
};

} // namespace mur::views
