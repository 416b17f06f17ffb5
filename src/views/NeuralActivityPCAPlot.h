#pragma once

#include "FrameClock.h"

#include "PixelLayer.h"
#include "PrincipalAxes.h"
#include "VisualisationWindow.h"

#include <deque>
#include <tuple>
#include <vector>

namespace mur::views
{

// The "Map" view: the last states projected on their two principal axes. A
// marker glides to the newest point leaving a fading trail, a ripple blooms
// there in the chosen note's colour, and the range eases to fit.
class NeuralActivityPCAPlot : public VisualisationWindow
{
public:
    class PCAComponent;

    NeuralActivityPCAPlot();

    void pushState (const std::vector<float>& values);
    void setCurrentSlot (int slot);
    void setStepDuration (float seconds);
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setBackgroundTint (juce::Colour colour, float level, float strength);
    void reset();

    PCAComponent& getComponent() noexcept { return component; }

private:
    PCAComponent& component;
};

class NeuralActivityPCAPlot::PCAComponent : public juce::Component, private FrameClock::Listener
{
public:
    struct Point
    {
        float x = 0.0f, y = 0.0f;
        bool operator== (const Point&) const = default;
    };

    struct Ripple
    {
        Point centre;
        juce::Colour colour;
        std::int64_t start = 0;
        float duration = 0.0f;
    };

    struct TrailEntry
    {
        Point position;
        std::int64_t time = 0;
    };

    // (xMin, xMax, yMin, yMax) in data units.
    struct Range
    {
        float xMin = 0.0f, xMax = 0.0f, yMin = 0.0f, yMax = 0.0f;
    };

    PCAComponent();
    ~PCAComponent() override;

    void pushState (const std::vector<float>& values);
    void setCurrentSlot (int slot) noexcept { currentSlot = slot; }
    void setStepDuration (float seconds) noexcept;
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setBackgroundTint (juce::Colour colour, float level, float strength);
    void reset();

    void paint (juce::Graphics& g) override;

    const std::deque<Point>& getPoints() const noexcept { return points; }
    const std::deque<Ripple>& getRipples() const noexcept { return ripples; }
    bool isMarkerMoving() const noexcept { return markerMoving; }
    size_t getTrailLength() const noexcept { return trail.size(); }
    bool isRangeKnown() const noexcept { return rangeKnown; }
    Point getMarkerTarget() const noexcept { return markerTo; }
    float getStepDuration() const noexcept { return stepDuration; }
    float getMarkerDuration() const noexcept { return markerDuration; }
    bool isAnimating() const;

    MonotonicClock clock;

private:
    void frame() override;
    // Samples, points and ripples emptied, the marker stopped (the trail fades on).
    void clearHistory();
    void runPca();
    void easeRange (std::int64_t now, float width, float height);
    Point markerPosition (std::int64_t now);
    void paintColourField (juce::Graphics& g, juce::Rectangle<float> bounds) const;

    std::deque<std::vector<float>> sampleStates;
    std::deque<std::int64_t> sampleTimes;
    std::deque<int> sampleSlots;
    std::deque<juce::Colour> sampleColours;

    std::deque<Point> points;
    std::deque<int> pointSlots;
    std::deque<juce::Colour> pointColours;
    std::deque<std::int64_t> pointTimes;

    std::int64_t dimension = 0;
    int currentSlot = -1;
    int maxSamples = 15, maxPoints = 15;
    float stepDuration = 0.25f;

    std::deque<Ripple> ripples;
    Point markerFrom, markerTo;
    std::int64_t markerStart = 0;
    float markerDuration = 0.25f;
    bool markerMoving = false;
    std::deque<TrailEntry> trail;

    bool rangeKnown = false, rangeMoving = false;
    std::int64_t rangeStart = 0;
    Range rangeFrom, rangeTo, rangeShown;

    PrincipalAxes axes;
    std::uint32_t pointsRevision = 0;
    PixelLayer colourField;
    std::tuple<std::uint32_t, float, float, float, float> colourFieldKey;
    std::vector<juce::Colour> noteColours;
    BackgroundTint tint;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PCAComponent)
};

} // namespace mur::views
