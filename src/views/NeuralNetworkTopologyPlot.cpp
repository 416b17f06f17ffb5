#include "NeuralNetworkTopologyPlot.h"

#include <cmath>

namespace mur::views
{

NeuralNetworkTopologyPlot::NeuralNetworkTopologyPlot()
    : VisualisationWindow ("Neural Network Topology", new TopologyComponent()),
      component (*static_cast<TopologyComponent*> (getContentComponent()))
{
    setVisible (true);
}

void NeuralNetworkTopologyPlot::pushState (const std::vector<float>& values) { component.pushState (values); }
void NeuralNetworkTopologyPlot::setRecurrentWeights (const Rows& rows) { component.setRecurrentWeights (rows); }
void NeuralNetworkTopologyPlot::setReadoutWeights (const Rows& rows) { component.setReadoutWeights (rows); }
void NeuralNetworkTopologyPlot::setNoteColours (const std::vector<juce::Colour>& colours) { component.setNoteColours (colours); }
void NeuralNetworkTopologyPlot::setEdgeGain (float value) { component.setEdgeGain (value); }
void NeuralNetworkTopologyPlot::setBackgroundTint (juce::Colour colour, float level, float strength) { component.setBackgroundTint (colour, level, strength); }

//==============================================================================
using TopologyComponent = NeuralNetworkTopologyPlot::TopologyComponent;

TopologyComponent::TopologyComponent() = default;

TopologyComponent::~TopologyComponent() = default;

void TopologyComponent::pushState (const std::vector<float>& values)
{
    if (values.empty())
        return;

    const auto n = std::min (values.size(), maxUnits);
    if (n != unitCount)
    {
        unitCount = n;
        hasPrevious = false;
        positions.resize (n);
        for (size_t i = 0; i < n; ++i)
            positions[i] = spiralPosition (i, n);
        displacements.assign (n, { 0.0f, 0.0f });
        colourSourceDirty = couplingDirty = true;
    }

    if (state.size() == n)
    {
        previousState = state;
        hasPrevious = true;
    }

    state.assign (values.begin(), values.begin() + static_cast<std::ptrdiff_t> (n));
    repaint();
}

void TopologyComponent::setRecurrentWeights (const Rows& rows)
{
    if (rows != recurrentWeights)
    {
        recurrentWeights = rows;
        couplingDirty = true;
    }
}

void TopologyComponent::setReadoutWeights (const Rows& rows)
{
    if (rows != readoutWeights)
    {
        readoutWeights = rows;
        colourSourceDirty = true;
    }
}

void TopologyComponent::setNoteColours (const std::vector<juce::Colour>& colours)
{
    noteColours = colours;
    colourSourceDirty = true;
}

void TopologyComponent::setBackgroundTint (juce::Colour colour, float level, float strength)
{
    if (tint.set (colour, level, strength))
        repaint();
}

void TopologyComponent::tick()
{
    if (colourSourceDirty)
    {
        colourSourceDirty = false;
        findDominantRows (readoutWeights, unitCount, dominantRow, dominance);
    }

    if (couplingDirty)
    {
        couplingDirty = false;
        findCoupling (recurrentWeights, unitCount, coupling, strongestPartner);
    }

    if (unitCount > 1 && positions.size() == unitCount && coupling.size() == unitCount * unitCount)
        for (int i = 0; i < 2; ++i)
            layoutStep (positions, displacements, coupling, edgeGain);

    // A hidden view ignores the request.
    repaint();
}

const std::vector<TopologyComponent::Edge>& TopologyComponent::visibleEdges()
{
    edges.clear();
    const auto n = unitCount;
    if (coupling.size() != n * n)
        return edges;

    for (size_t j = 0; j < n; ++j)
    {
        for (size_t k = j + 1; k < n; ++k)
        {
            const auto s = juce::jlimit (0.0f, 1.0f, std::max (edgeGain, 0.0f) * coupling[j * n + k]);
            const auto partners = (j < strongestPartner.size() && strongestPartner[j] == static_cast<int> (k))
                               || (k < strongestPartner.size() && strongestPartner[k] == static_cast<int> (j));
            if (s >= 0.3f || partners)
                edges.push_back ({ j, k, s });
        }
    }
    return edges;
}

juce::Colour TopologyComponent::nodeColour (size_t i) const
{
    if (dominantRow.size() != unitCount || i >= unitCount)
        return juce::Colours::white;
    return dominantRowColour (noteColours, dominantRow[i], dominance[i]);
}

void TopologyComponent::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    if (w <= 0.0f || h <= 0.0f)
        return;

    tint.paint (g, getLocalBounds().toFloat());

    const auto n = unitCount;
    if (n == 0 || state.size() != n || positions.size() != n)
        return;

    auto activity = [this] (size_t i)
    {
        const auto a = hasPrevious && previousState.size() == unitCount ? previousState[i] + 0.35f * (state[i] - previousState[i]) : state[i];
        return std::isfinite (a) ? a : 0.0f;
    };

    const auto nodeRadius = juce::jlimit (2.0f, 14.0f, 0.9f * std::min (w - 12.0f, h - 12.0f) / 2.0f / std::sqrt (static_cast<float> (n)));

    auto minX = positions[0].first, maxX = minX, minY = positions[0].second, maxY = minY;
    for (const auto& [x, y] : positions)
    {
        minX = std::min (minX, x);
        maxX = std::max (maxX, x);
        minY = std::min (minY, y);
        maxY = std::max (maxY, y);
    }
    const auto rx = std::max (maxX - minX, 1.0e-4f), ry = std::max (maxY - minY, 1.0e-4f);
    const auto pad = 2.0f * (nodeRadius + 3.0f);
    const auto sx = std::max ((w - 12.0f - pad) / rx, 0.0f), sy = std::max ((h - 12.0f - pad) / ry, 0.0f);
    // Centred on the nodes' true extent: a single node (or a column of
    // nodes) sits in the middle rather than at the edge.
    const auto ox = ((w - 12.0f) - sx * (maxX - minX)) / 2.0f + 6.0f, oy = ((h - 12.0f) - sy * (maxY - minY)) / 2.0f + 6.0f;
    auto centre = [&] (size_t i) { return juce::Point<float> ((positions[i].first - minX) * sx + ox, (positions[i].second - minY) * sy + oy); };

    if (coupling.size() == n * n)
    {
        // Up to a thousand edges thirty times a second: they are rasterised
        // straight into a picture at the screen's pixel density rather than
        // filled as outlines one by one.
        edgeLayer.prepare (g, getLocalBounds().toFloat(), true);
        const auto scale = edgeLayer.getScale();
        {
            juce::Image::BitmapData pixels (edgeLayer.getImage(), juce::Image::BitmapData::readWrite);
            for (const auto& edge : visibleEdges())
                blendWhiteLine (pixels, centre (edge.from) * scale, centre (edge.to) * scale, edge.width() * scale, edge.alpha());
        }
        edgeLayer.paintOnto (g);
    }

    for (size_t i = 0; i < n; ++i)
    {
        const auto m = juce::jlimit (0.0f, 1.0f, std::abs (activity (i)));
        const auto colour = nodeColour (i);
        const auto radius = (0.35f + 0.65f * m) * nodeRadius;
        const auto at = centre (i);

        if (m > 0.15f)
        {
            g.setColour (colour.withAlpha (0.18f * m));
            g.fillEllipse (juce::Rectangle<float> (3.2f * radius, 3.2f * radius).withCentre (at));
        }

        g.setColour (colour.withAlpha (0.45f * m + 0.55f));
        g.fillEllipse (juce::Rectangle<float> (2.0f * radius, 2.0f * radius).withCentre (at));
        g.setColour (juce::Colours::white.withAlpha (0.2f * m + 0.25f));
        g.drawEllipse (juce::Rectangle<float> (2.0f * radius, 2.0f * radius).withCentre (at), 0.8f);
    }
}

} // namespace mur::views
