#include "NotePlots.h"

#include "CurvePath.h"

#include <cmath>

namespace mur::views
{

NotePlotBase::NotePlotBase()
{
    rowColours.fill (juce::Colours::transparentBlack);
    rowColours[0] = juce::Colours::grey;
    const std::array<juce::uint32, 10> first { 0xff97caea, 0xff61a899, 0xff36753b, 0xff312383, 0xffdacd82,
                                               0xff999945, 0xffbf6b78, 0xff7d2b54, 0xff9e4a95, 0xffdddddd };
    for (size_t i = 0; i < first.size(); ++i)
        rowColours[i + 1] = juce::Colour (first[i]);
}

NotePlotBase::~NotePlotBase() { stopFrames(); }

void NotePlotBase::setStepDuration (float seconds) noexcept
{
    stepDuration = std::max (seconds, 0.02f);
    scrollDurationMs = static_cast<double> (stepDuration) * 500.0;
}

void NotePlotBase::setNoteColours (const std::vector<juce::Colour>& colours)
{
    for (size_t i = 0; i < rowColours.size() && i < colours.size(); ++i)
        rowColours[i] = colours[i];
    repaint();
}

void NotePlotBase::setVisibleRows (const std::vector<int>& listed, bool restEnabled)
{
    visibleRowsChanged();
    visibleRows.fill (false);
    for (const auto row : listed)
        if (row >= 0 && row < rows)
            visibleRows[static_cast<size_t> (row)] = true;
    if (restEnabled && ! listed.empty())
        visibleRows[0] = true;
    repaint();
}

void NotePlotBase::visibilityChanged()
{
    if (isVisible() && isAnimating())
        startFrames();
    else
        stopFrames();
}

float NotePlotBase::scrollOffset() const
{
    const auto t = std::min ((clock.nowMs() - lastPushMs) / std::max (scrollDurationMs, 1.0), 1.0);
    return 1.0f - easeInOutCubic (static_cast<float> (std::max (t, 0.0)));
}

bool NotePlotBase::isScrolling() const { return clock.nowMs() - lastPushMs < std::max (scrollDurationMs, 1.0); }

void NotePlotBase::pushed()
{
    lastPushMs = clock.nowMs();
    scrollDurationMs = std::max (static_cast<double> (stepDuration) * 500.0, 1.0);
    repaint();
    if (isVisible() && ! framesRunning())
        startFrames();
}

void NotePlotBase::frame()
{
    // Nothing is drawn again while nothing moves.
    repaint();
    if (! isAnimating())
        stopFrames();
}

//==============================================================================
NoteActivationProbabilityPlot::NoteActivationProbabilityPlot()
    : VisualisationWindow ("Note Activation Probability Plot", new PlotComponent()),
      component (*static_cast<PlotComponent*> (getContentComponent()))
{
}

using ProbabilityPlot = NoteActivationProbabilityPlot::PlotComponent;

ProbabilityPlot::PlotComponent() : probabilityRing (ringSize) {}

void ProbabilityPlot::pushProbabilities (const std::vector<float>& values)
{
    if (values.empty())
        return;

    const auto n = std::min (values.size(), static_cast<size_t> (rows));
    auto shown = [&] (size_t i) { return visibleRows[i] && std::isfinite (values[i]) ? values[i] : 0.0f; };

    auto same = lastShown.size() == n;
    for (size_t i = 0; same && i < n; ++i)
        same = std::abs (shown (i) - lastShown[i]) <= 1.0e-6f;
    if (same)
    {
        repaint();
        return;
    }

    lastShown.resize (n, 0.0f);
    auto& entry = probabilityRing[static_cast<size_t> (ringWriteIndex)];
    entry.fill (0.0f);
    for (size_t i = 0; i < n; ++i)
        entry[i] = lastShown[i] = shown (i);
    ringWriteIndex = (ringWriteIndex + 1) % ringSize;
    ++pushCount;
    pushed();
}

std::vector<float> ProbabilityPlot::recentPeaks (int n) const
{
    std::vector<float> peaks;
    for (int i = n - 1; i >= 0; --i)
    {
        const auto& entry = probabilityRing[static_cast<size_t> ((ringWriteIndex - 1 - i + 2 * ringSize) % ringSize)];
        float peak = 0.0f;
        for (size_t row = 0; row < entry.size(); ++row)
            if (visibleRows[row] && std::isfinite (entry[row]))
                peak = std::max (peak, entry[row]);
        peaks.push_back (peak);
    }
    return peaks;
}

juce::Rectangle<float> ProbabilityPlot::traceArea() const
{
    const auto bounds = getLocalBounds().toFloat();
    return bounds.reduced (0.0f, 0.015f * bounds.getHeight());
}

void ProbabilityPlot::resized()
{
    if (isVisible() && ! framesRunning() && isAnimating())
        startFrames();
}

void ProbabilityPlot::paint (juce::Graphics& g)
{
    const auto area = traceArea();
    const auto x = area.getX(), top = area.getY(), bottom = area.getBottom(), height = area.getHeight();
    const auto dx = area.getWidth() / static_cast<float> (std::max (historyLength - 1, 1));
    const auto shift = scrollOffset() * dx;
    const StrokeKey key { pushCount, visibleRows, area, shift, g.getInternalContext().getPhysicalPixelScaleFactor(), historyLength };

    if (! (key == strokedFor))
    {
        strokedFor = key;
        strokes.clear();
        const auto first = shift > 0.0f ? -1 : 0;
        const auto count = static_cast<size_t> (historyLength - first);
        ys.resize (count);

        // The lowest held slot ends on top: rows 0, 50, 49, ... 1.
        for (int k = 0; k < rows; ++k)
        {
            const auto row = static_cast<size_t> (k == 0 ? 0 : rows - k);
            if (! visibleRows[row])
                continue;

            for (int i = first; i < historyLength; ++i)
            {
                const auto& entry = probabilityRing[static_cast<size_t> ((ringWriteIndex + i - historyLength + 2 * ringSize) % ringSize)];
                ys[static_cast<size_t> (i - first)] = bottom - height * juce::jlimit (0.0f, 1.0f, entry[row]);
            }

            setMonotoneCurve (curve, ys, x + static_cast<float> (first) * dx + shift, dx, top, bottom, tangents);

            // As the context's own strokePath would: the same outline at the screen's density.
            strokes.push_back ({ row, {} });
            juce::PathStrokeType (1.5f).createStrokedPath (strokes.back().outline, curve, {}, key.pixelScale);
        }
    }

    for (const auto& stroke : strokes)
    {
        g.setColour (rowColours[stroke.row]);
        g.fillPath (stroke.outline);
    }
}

//==============================================================================
NoteChoicePlot::NoteChoicePlot()
    : VisualisationWindow ("Note Choice Plot", new PlotComponent()),
      component (*static_cast<PlotComponent*> (getContentComponent()))
{
}

using ChoicePlot = NoteChoicePlot::PlotComponent;

ChoicePlot::PlotComponent()
{
    choiceRing.fill (-1);
    choiceRiseMs.fill (2500.0);
}

void ChoicePlot::pushChoice (int row)
{
    if (row > 50)
        return;

    lastChoice = row;
    const auto index = static_cast<size_t> (ringWriteIndex);
    choiceRing[index] = row;
    choiceTimes[index] = clock.nowMs();
    choiceRiseMs[index] = std::max (static_cast<double> (stepDuration) * 10000.0, 1.0);
    ringWriteIndex = (ringWriteIndex + 1) % ringSize;
    pushed();
}

int ChoicePlot::choiceAt (int age) const noexcept
{
    return choiceRing[static_cast<size_t> ((ringWriteIndex - 1 - age + 2 * ringSize) % ringSize)];
}

void ChoicePlot::setAnchorYs (std::vector<float> anchors)
{
    anchorYs = std::move (anchors);
    repaint();
}

void ChoicePlot::setPlotWidth (float width)
{
    plotWidth = width;
    resized();
}

void ChoicePlot::setBaselineY (float y)
{
    baselineY = y;
    repaint();
}

void ChoicePlot::resized()
{
    if (plotWidth > 0.0f && historyLength > 1)
        columns = juce::jlimit (1, ringSize, juce::roundToInt (plotWidth / (plotWidth / static_cast<float> (historyLength - 1))));
    if (isVisible() && ! framesRunning() && isAnimating())
        startFrames();
}

bool ChoicePlot::isAnimating() const
{
    if (isScrolling())
        return true;

    // A dot still rising.
    const auto now = clock.nowMs();
    for (int age = 0; age <= columns && age < ringSize; ++age)
    {
        const auto index = static_cast<size_t> ((ringWriteIndex - 1 - age + 2 * ringSize) % ringSize);
        if (choiceRing[index] >= 0 && now - choiceTimes[index] < choiceRiseMs[index])
            return true;
    }
    return false;
}

std::optional<juce::Rectangle<float>> ChoicePlot::dotAt (int i, double now, float shift) const
{
    const auto index = static_cast<size_t> ((ringWriteIndex + i - columns + 999 + ringSize) % ringSize);
    const auto row = choiceRing[index];
    if (columns < 1 || row < 0 || row > 50)
        return std::nullopt;

    const auto bounds = getLocalBounds().toFloat();
    const auto x = bounds.getX(), y = bounds.getY(), w = bounds.getWidth(), h = bounds.getHeight();
    const auto cw = plotWidth / static_cast<float> (columns);
    const auto s = std::max (std::min (h, cw) * 0.5625f, 1.0f);
    const auto baseline = baselineY >= 0.0f ? baselineY : y + h / 2.0f;
    const auto top = y + s / 2.0f;
    const auto anchored = anchorYs.size() == static_cast<size_t> (columns + 1);

    const auto a = anchored ? anchorYs[static_cast<size_t> (std::max (i, 0))] : baseline;
    const auto r = static_cast<float> (juce::jlimit (0.0, 1.0, (now - choiceTimes[index]) / choiceRiseMs[index]));
    const auto left = (w - plotWidth) / 2.0f + x + (static_cast<float> (i) - 0.5f) * cw + 2.0f + shift;
    const auto dotTop = a + (top - a) * (3.0f - 2.0f * r) * r * r - s / 2.0f;
    return juce::Rectangle<float> (left, dotTop, s, s);
}

void ChoicePlot::paint (juce::Graphics& g)
{
    if (columns < 1)
        return;

    g.reduceClipRegion (getLocalBounds());
    const auto shift = scrollOffset() * plotWidth / static_cast<float> (columns);
    const auto now = clock.nowMs();

    for (int i = shift > 0.0f ? -1 : 0; i <= columns; ++i)
    {
        if (const auto dot = dotAt (i, now, shift))
        {
            const auto index = static_cast<size_t> ((ringWriteIndex + i - columns + 999 + ringSize) % ringSize);
            g.setColour (rowColours[static_cast<size_t> (choiceRing[index])]);
            g.fillEllipse (*dot);
        }
    }
}

void ChoicePlot::frame()
{
    // While the plot scrolls every dot moves sideways and all of it is drawn
    // again; otherwise only the rising dots are, each where it was and where
    // it is now.
    const auto now = clock.nowMs();
    const auto scrolling = isScrolling();

    if (scrolling || scrolledLastFrame || lastFrameMs < 0.0)
    {
        repaint();
    }
    else
    {
        for (int i = 0; i <= columns; ++i)
        {
            const auto before = dotAt (i, lastFrameMs, 0.0f), after = dotAt (i, now, 0.0f);
            if (before && after && *before != *after)
                repaint (before->getUnion (*after).expanded (1.5f).getSmallestIntegerContainer());
        }
    }

    lastFrameMs = now;
    scrolledLastFrame = scrolling;
    if (! isAnimating())
        stopFrames();
}

} // namespace mur::views
