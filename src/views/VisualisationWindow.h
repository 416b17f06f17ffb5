#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace mur::views
{

// The frame every view shares: a panel of the editor that owns one drawing
// component, which fills it. The panel paints nothing: each view draws what
// it shows over the artwork behind it, so no desktop's handling of window
// transparency (none without a compositor) can hide one view under another.
class VisualisationWindow : public juce::Component
{
public:
    VisualisationWindow (const juce::String& title, juce::Component* content);

    juce::Component* getContentComponent() const noexcept { return content.get(); }
    void resized() override;

private:
    std::unique_ptr<juce::Component> content;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VisualisationWindow)
};

// The background wash the neuron path lays under a view: reported as changed
// only when its painted colour does (the view repaints then), painted only
// when both level and strength are above zero.
struct BackgroundTint
{
    juce::Colour colour = juce::Colours::transparentBlack;
    float level = 0.0f, strength = 0.0f;

    // True when the painted colour changed.
    bool set (juce::Colour newColour, float newLevel, float newStrength) noexcept;
    void paint (juce::Graphics& g, juce::Rectangle<float> bounds) const;
    juce::Colour paintedColour() const noexcept;
};

// The colour of a unit whose strongest readout row is `row` with relative
// strength `dominance`: that row's note colour, paler the weaker the link;
// white when the row has no colour (or there is none).
juce::Colour dominantRowColour (const std::vector<juce::Colour>& noteColours, int row, float dominance);

// The cubic in-out curve every animation of the views eases along.
inline float easeInOutCubic (float t) noexcept
{
    if (t <= 0.0f)
        return 0.0f;
    if (t >= 1.0f)
        return 1.0f;
    if (t < 0.5f)
        return 4.0f * t * t * t;
    const auto u = 2.0f * t - 2.0f;
    return u * u * u / 2.0f + 1.0f;
}

// A monotonic clock in nanoseconds, replaceable by tests.
struct MonotonicClock
{
    std::int64_t now() const;
    double nowMs() const { return static_cast<double> (now()) / 1.0e6; }
    std::int64_t fixed = -1; // when >= 0, the clock stands still here
};

} // namespace mur::views
