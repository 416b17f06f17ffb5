#include "NeuralActivityPCAPlot.h"

#include <cmath>

namespace mur::views
{
namespace
{
constexpr double nanosecondsPerSecond = 1.0e9;
constexpr float trailSeconds = 1.8f;

float secondsBetween (std::int64_t from, std::int64_t to) noexcept
{
    return static_cast<float> (static_cast<double> (to - from) / nanosecondsPerSecond);
}

// Exponential ease-out: 1 - 2^(-10u), clamped to 0 ... 1.
float expo (float u) noexcept
{
    if (u <= 0.0f)
        return 0.0f;
    if (u >= 1.0f)
        return 1.0f;
    return 1.0f - std::pow (2.0f, -10.0f * u);
}
} // namespace

NeuralActivityPCAPlot::NeuralActivityPCAPlot()
    : VisualisationWindow ("Neural Activity PCA Plot", new PCAComponent()),
      component (*static_cast<PCAComponent*> (getContentComponent()))
{
    setVisible (true);
}

void NeuralActivityPCAPlot::pushState (const std::vector<float>& values) { component.pushState (values); }
void NeuralActivityPCAPlot::setCurrentSlot (int slot) { component.setCurrentSlot (slot); }
void NeuralActivityPCAPlot::setStepDuration (float seconds) { component.setStepDuration (seconds); }
void NeuralActivityPCAPlot::setNoteColours (const std::vector<juce::Colour>& colours) { component.setNoteColours (colours); }
void NeuralActivityPCAPlot::setBackgroundTint (juce::Colour colour, float level, float strength) { component.setBackgroundTint (colour, level, strength); }
void NeuralActivityPCAPlot::reset() { component.reset(); }

//==============================================================================
using PCAComponent = NeuralActivityPCAPlot::PCAComponent;

PCAComponent::PCAComponent()
{
    axes.mean.assign (512, 0.0f);
    axes.first.assign (512, 0.0f);
    axes.second.assign (512, 0.0f);
}

PCAComponent::~PCAComponent() { stopFrames(); }

void PCAComponent::setStepDuration (float seconds) noexcept
{
    stepDuration = seconds > 0.02f ? seconds : 0.02f;
    if (! markerMoving)
        markerDuration = stepDuration;
}

void PCAComponent::setNoteColours (const std::vector<juce::Colour>& colours)
{
    noteColours = colours;
    repaint();
}

void PCAComponent::setBackgroundTint (juce::Colour colour, float level, float strength)
{
    if (tint.set (colour, level, strength))
        repaint();
}

void PCAComponent::clearHistory()
{
    sampleStates.clear();
    sampleTimes.clear();
    sampleSlots.clear();
    sampleColours.clear();
    points.clear();
    pointSlots.clear();
    pointColours.clear();
    pointTimes.clear();
    ripples.clear();
    markerMoving = false;
}

void PCAComponent::reset()
{
    clearHistory();
    trail.clear();
    rangeKnown = false;
    ++pointsRevision;
    repaint();
}

void PCAComponent::pushState (const std::vector<float>& values)
{
    if (values.empty())
        return;

    if (static_cast<std::int64_t> (values.size()) != dimension)
    {
        clearHistory();
        dimension = static_cast<std::int64_t> (values.size());
        axes.mean.assign (values.size(), 0.0f);
        axes.first.assign (values.size(), 0.0f);
        axes.second.assign (values.size(), 0.0f);
    }

    const auto hadPoint = ! points.empty();
    const auto oldPoint = hadPoint ? points.back() : Point {};
    const auto now = clock.now();

    sampleStates.push_back (values);
    sampleTimes.push_back (now);
    sampleSlots.push_back (currentSlot);
    sampleColours.push_back (currentSlot >= 0 && static_cast<size_t> (currentSlot) < noteColours.size()
                                 ? noteColours[static_cast<size_t> (currentSlot)]
                                 : juce::Colours::grey);
    while (static_cast<int> (sampleStates.size()) > maxSamples)
    {
        sampleStates.pop_front();
        sampleTimes.pop_front();
        sampleSlots.pop_front();
        sampleColours.pop_front();
    }

    if (sampleStates.size() > 2)
        runPca();

    if (! points.empty())
    {
        const auto newPoint = points.back();
        if (! (hadPoint && newPoint == oldPoint))
        {
            ripples.push_back ({ newPoint, pointColours.back(), now, std::max (7.2f * stepDuration, 0.15f) });
            while (static_cast<int> (ripples.size()) > maxPoints)
                ripples.pop_front();

            markerFrom = hadPoint ? oldPoint : newPoint;
            markerTo = newPoint;
            markerStart = now;
            markerDuration = 0.5f * stepDuration;
            markerMoving = true;
        }
    }

    repaint();
    if (! framesRunning() && isAnimating())
        startFrames();
}

void PCAComponent::runPca()
{
    ++pointsRevision;
    axes.compute (sampleStates, static_cast<size_t> (dimension));

    points.clear();
    pointSlots.clear();
    pointColours.clear();
    pointTimes.clear();
    for (size_t i = 0; i < sampleStates.size(); ++i)
    {
        const auto [a, b] = axes.project (sampleStates[i]);
        points.push_back ({ a, b });
        pointSlots.push_back (sampleSlots[i]);
        pointColours.push_back (sampleColours[i]);
        pointTimes.push_back (sampleTimes[i]);
    }

    while (static_cast<int> (points.size()) > maxPoints)
    {
        points.pop_front();
        pointSlots.pop_front();
        pointColours.pop_front();
        pointTimes.pop_front();
    }
}

bool PCAComponent::isAnimating() const
{
    if (markerMoving || rangeMoving || ! trail.empty())
        return true;

    const auto now = clock.now();
    return std::any_of (ripples.begin(), ripples.end(), [now] (const Ripple& r) { return secondsBetween (r.start, now) < r.duration; });
}

void PCAComponent::frame()
{
    // Repaints keep the animations going; once everything has come to rest
    // the timer stops until the next step.
    repaint();
    if (! isAnimating())
        stopFrames();
}

void PCAComponent::easeRange (std::int64_t now, float width, float height)
{
    Range data { points.empty() ? ripples.front().centre.x : points.front().x, 0.0f,
                 points.empty() ? ripples.front().centre.y : points.front().y, 0.0f };
    data.xMax = data.xMin;
    data.yMax = data.yMin;
    auto include = [&data] (Point p)
    {
        data.xMin = std::min (data.xMin, p.x);
        data.xMax = std::max (data.xMax, p.x);
        data.yMin = std::min (data.yMin, p.y);
        data.yMax = std::max (data.yMax, p.y);
    };
    for (const auto& p : points)
        include (p);
    for (const auto& r : ripples)
        include (r.centre);
    if (markerMoving)
    {
        include (markerFrom);
        include (markerTo);
    }

    const auto spanX = data.xMax - data.xMin, spanY = data.yMax - data.yMin;
    const auto mx = std::max (0.1f * spanX, 0.1f);
    auto my = std::max (0.1f * spanY, 0.1f);
    if (height > 0.0f && spanY > 1.0e-6f)
        my += 15.0f * spanY / height;
    juce::ignoreUnused (width);
    const Range target { data.xMin - mx, data.xMax + mx, data.yMin - my, data.yMax + my };

    if (! rangeKnown)
    {
        rangeTo = rangeShown = target;
        rangeKnown = true;
    }
    else if (std::abs (target.xMin - rangeTo.xMin) > 1.0e-6f || std::abs (target.xMax - rangeTo.xMax) > 1.0e-6f
             || std::abs (target.yMin - rangeTo.yMin) > 1.0e-6f || std::abs (target.yMax - rangeTo.yMax) > 1.0e-6f)
    {
        rangeFrom = rangeShown;
        rangeTo = target;
        rangeStart = now;
        rangeMoving = true;
    }

    if (rangeMoving && 0.5f * stepDuration > 0.001f)
    {
        const auto t = std::min (secondsBetween (rangeStart, now) / (0.5f * stepDuration), 1.0f);
        const auto f = easeInOutCubic (t);
        rangeShown = { rangeFrom.xMin + (rangeTo.xMin - rangeFrom.xMin) * f, rangeFrom.xMax + (rangeTo.xMax - rangeFrom.xMax) * f,
                       rangeFrom.yMin + (rangeTo.yMin - rangeFrom.yMin) * f, rangeFrom.yMax + (rangeTo.yMax - rangeFrom.yMax) * f };
        if (t >= 1.0f)
            rangeMoving = false;
    }
}

PCAComponent::Point PCAComponent::markerPosition (std::int64_t now)
{
    if (! markerMoving || markerDuration <= 0.001f)
        return markerTo;

    const auto t = std::min (secondsBetween (markerStart, now) / markerDuration, 1.0f);
    const auto f = easeInOutCubic (t);
    const Point position { markerFrom.x + (markerTo.x - markerFrom.x) * f, markerFrom.y + (markerTo.y - markerFrom.y) * f };
    if (t >= 1.0f)
        markerMoving = false;
    trail.push_back ({ position, now });
    return position;
}

void PCAComponent::paintColourField (juce::Graphics& g, juce::Rectangle<float> bounds) const
{
    const auto x0 = bounds.getX(), y0 = bounds.getY(), w = bounds.getWidth(), h = bounds.getHeight();
    const auto s = w / 234.0f;
    const auto rx = std::max (rangeTo.xMax - rangeTo.xMin, 1.0e-6f), ry = std::max (rangeTo.yMax - rangeTo.yMin, 1.0e-6f);
    const auto spacing = 14.0f * s;
    const auto columns = std::max (3, static_cast<int> (w / spacing));
    const auto rows = std::max (3, static_cast<int> (h / spacing));
    const auto spread = std::pow (std::max (0.18f * std::hypot (rx, ry), 0.1f), 2.0f);

    for (int row = 0; row < rows; ++row)
    {
        for (int column = 0; column < columns; ++column)
        {
            const auto px = x0 + (static_cast<float> (column) + 0.5f) * w / static_cast<float> (columns);
            const auto py = y0 + (static_cast<float> (row) + 0.5f) * h / static_cast<float> (rows);
            const Point at { rangeTo.xMin + (px - x0) / w * rx, rangeTo.yMin + (py - y0) / h * ry };

            float total = 0.0f, r = 0.0f, gr = 0.0f, b = 0.0f;
            for (size_t i = 0; i < points.size(); ++i)
            {
                const auto dx = points[i].x - at.x, dy = points[i].y - at.y;
                const auto weight = 1.0f / ((dx * dx + dy * dy) / spread + 1.0e-8f);
                total += weight;
                r += weight * pointColours[i].getFloatRed();
                gr += weight * pointColours[i].getFloatGreen();
                b += weight * pointColours[i].getFloatBlue();
            }

            if (total > 0.0f && std::isfinite (total))
            {
                g.setColour (juce::Colour::fromFloatRGBA (r / total, gr / total, b / total, 0.35f));
                g.fillEllipse (juce::Rectangle<float> (2.0f * s, 2.0f * s).withCentre ({ px, py }));
            }
        }
    }
}

void PCAComponent::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    tint.paint (g, bounds);

    if (points.empty() && ripples.empty())
        return;

    const auto x0 = bounds.getX(), y0 = bounds.getY(), w = bounds.getWidth(), h = bounds.getHeight();
    const auto s = w / 234.0f;
    const auto now = clock.now();

    easeRange (now, w, h);
    const auto rx = std::max (rangeShown.xMax - rangeShown.xMin, 1.0e-6f);
    const auto ry = std::max (rangeShown.yMax - rangeShown.yMin, 1.0e-6f);
    auto toPixels = [&] (Point p)
    {
        return juce::Point<float> (x0 + (p.x - rangeShown.xMin) / rx * w, y0 + (p.y - rangeShown.yMin) / ry * h);
    };

    // The colour field: each dot takes the points' colours weighted by
    // inverse squared distance, faintly, so the map shows which notes live
    // where. It changes with the points and the range they settle to, so it
    // is drawn once per step and kept.
    const auto fieldKey = std::make_tuple (pointsRevision, rangeTo.xMin, rangeTo.xMax, rangeTo.yMin, rangeTo.yMax);
    if (colourField.prepare (g, bounds, fieldKey != colourFieldKey) && ! points.empty() && s > 0.0f)
        paintColourField (colourField.draw(), bounds);
    colourFieldKey = fieldKey;
    colourField.paintOnto (g);

    const auto marker = markerPosition (now);

    while (! trail.empty() && secondsBetween (trail.front().time, now) > trailSeconds)
        trail.pop_front();
    // Where the marker eases in and out, successive entries lie within a
    // pixel of each other: such a ring is drawn once, not again and again.
    juce::Point<float> lastCentre { -1.0e9f, -1.0e9f };
    float lastDiameter = -1.0f;
    for (const auto& entry : trail)
    {
        const auto a = std::min (secondsBetween (entry.time, now) / trailSeconds, 1.0f);
        const auto alpha = 0.32f * (1.0f - a);
        const auto diameter = (1.0f - 0.85f * a) * 25.0f * s;
        const auto centre = toPixels (entry.position);
        if (alpha > 0.01f && diameter > 1.0f
            && (centre.getDistanceFrom (lastCentre) >= s || std::abs (diameter - lastDiameter) >= s))
        {
            g.setColour (juce::Colours::white.withAlpha (alpha));
            g.drawEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (centre), 1.2f * s);
            lastCentre = centre;
            lastDiameter = diameter;
        }
    }

    for (size_t i = 0; i < ripples.size(); ++i)
    {
        const auto& ripple = ripples[i];
        const auto age = secondsBetween (ripple.start, now);
        if (age < 0.0f || age >= ripple.duration)
            continue;

        const auto p = age / ripple.duration;
        const auto size = p < 0.12f ? expo (p / 0.12f) : 1.0f - expo ((p - 0.12f) / 0.88f);
        const auto alpha = i + 1 == ripples.size() ? 1.0f
                                                   : 1.0f - std::min (secondsBetween (ripples[i + 1].start, now) / ripple.duration, 1.0f);
        const auto diameter = 28.0f * s * size;
        if (diameter > 0.0f && alpha > 0.0f)
        {
            g.setColour (ripple.colour.withAlpha (alpha));
            g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (toPixels (ripple.centre)));
        }
    }

    g.setColour (juce::Colours::white.withAlpha (0.9f));
    g.drawEllipse (juce::Rectangle<float> (25.0f * s, 25.0f * s).withCentre (toPixels (marker)), 1.5f * s);
}

} // namespace mur::views
