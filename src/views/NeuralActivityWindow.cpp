#include "NeuralActivityWindow.h"

#include "CurvePath.h"
#include "TopologyLayout.h"

#include <cmath>

namespace mur::views
{

NeuralActivityWindow::NeuralActivityWindow()
    : VisualisationWindow ("Neural Activity Visualization", new NeuralActivityComponent()),
      component (*static_cast<NeuralActivityComponent*> (getContentComponent()))
{
}

void NeuralActivityWindow::pushState (const std::vector<float>& values) { component.pushState (values); }
void NeuralActivityWindow::setDisplayMode (int mode) { component.setDisplayMode (mode); }
void NeuralActivityWindow::setNoteColours (const std::vector<juce::Colour>& colours) { component.setNoteColours (colours); }
void NeuralActivityWindow::setReadoutWeights (const std::vector<std::vector<float>>& rows) { component.setReadoutWeights (rows); }
void NeuralActivityWindow::setBackgroundTint (juce::Colour colour, float level, float strength) { component.setBackgroundTint (colour, level, strength); }

//==============================================================================
using Component = NeuralActivityWindow::NeuralActivityComponent;

Component::NeuralActivityComponent()
    : ring (ringSize, std::vector<float> (ringSize, 0.0f)),
      noteColours (50, juce::Colour())
{
}

void Component::pushState (const std::vector<float>& values)
{
    const auto n = static_cast<int> (std::min<size_t> (values.size(), ringSize));
    if (n == 0)
    {
        changed();
        return;
    }

    if (n != unitCount)
    {
        for (auto& entry : ring)
            std::fill (entry.begin(), entry.end(), 0.0f);
        unitCount = n;
        ringWriteIndex = 0;
        unitColoursDirty = true;
        history.assign (static_cast<size_t> (historyLength), std::vector<float> (static_cast<size_t> (n), 0.0f));
    }

    std::copy (values.begin(), values.begin() + n, ring[static_cast<size_t> (ringWriteIndex)].begin());
    ringWriteIndex = (ringWriteIndex + 1) % ringSize;

    for (int j = 0; j < historyLength; ++j)
    {
        const auto& entry = ring[static_cast<size_t> ((ringWriteIndex + j - historyLength + ringSize) % ringSize)];
        std::copy (entry.begin(), entry.begin() + n, history[static_cast<size_t> (j)].begin());
    }

    changed();
}

void Component::setDisplayMode (int mode)
{
    if (mode != displayMode)
    {
        displayMode = mode;
        changed();
    }
}

void Component::setNoteColours (const std::vector<juce::Colour>& colours)
{
    if (colours.empty())
        return;
    if (colours != noteColours)
        changed();
    noteColours = colours;
    unitColoursDirty = true;
}

void Component::setReadoutWeights (const std::vector<std::vector<float>>& rows)
{
    if (rows == readoutWeights)
        return;
    readoutWeights = rows;
    unitColoursDirty = true;
    changed();
}

void Component::setBackgroundTint (juce::Colour colour, float level, float strength)
{
    if (tint.set (colour, level, strength))
        repaint();
}

const std::vector<juce::Colour>& Component::getUnitColours()
{
    if (unitColoursDirty || static_cast<int> (unitColours.size()) != unitCount)
        refreshUnitColours();
    return unitColours;
}

void Component::refreshUnitColours()
{
    unitColoursDirty = false;
    findDominantRows (readoutWeights, static_cast<size_t> (unitCount), dominantRow, dominance);
    unitColours.resize (static_cast<size_t> (unitCount));
    for (size_t i = 0; i < unitColours.size(); ++i)
        unitColours[i] = dominantRowColour (noteColours, dominantRow[i], dominance[i]);
}

void Component::changed()
{
    tracesDirty = true;
    repaint();
}

void Component::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    tint.paint (g, bounds);

    if (traces.prepare (g, bounds, tracesDirty))
        paintTraces (traces.draw(), bounds);
    tracesDirty = false;
    traces.paintOnto (g);
}

void Component::paintTraces (juce::Graphics& g, juce::Rectangle<float> bounds)
{
    if (history.empty() || unitCount == 0)
        return;

    const auto& colours = getUnitColours();
    const auto x = bounds.getX(), w = bounds.getWidth(), h = bounds.getHeight();
    const auto top = bounds.getY() + 0.015f * h;
    const auto laneHeight = 0.97f * h / static_cast<float> (unitCount);

    g.setColour (juce::Colours::white.withAlpha (0.08f));
    for (int i = 1; i < unitCount; ++i)
        g.drawHorizontalLine (juce::roundToInt (top + static_cast<float> (i) * laneHeight), x, x + w);

    const auto steps = static_cast<size_t> (historyLength);
    if (steps < 2)
        return;

    const auto dx = w / static_cast<float> (std::max (historyLength - 1, 1));
    ys.resize (steps);

    for (size_t m = 0; m < static_cast<size_t> (unitCount); ++m)
    {
        const auto laneTop = top + static_cast<float> (m) * laneHeight;
        const auto centre = laneTop + laneHeight / 2.0f;
        for (size_t i = 0; i < steps; ++i)
        {
            const auto v = history[i][m];
            ys[i] = centre - (std::isfinite (v) ? v : 0.0f) * laneHeight / 2.0f;
        }

        setMonotoneCurve (trace, ys, x, dx, laneTop, laneTop + laneHeight, tangents);

        g.setColour (m < colours.size() ? colours[m] : juce::Colours::white);
        g.strokePath (trace, juce::PathStrokeType (1.5f));
    }
}

} // namespace mur::views
