#pragma once

#include "FrameClock.h"

#include "Triangulation.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

namespace mur::views
{

// A small animated network drawn inside the Capacity knob: a brain-like
// outline, triangulated, gaining up to eight extra nodes as Capacity grows,
// its inner nodes swaying. An accented step flashes it and washes the
// network views in the accent's colour.
class NeuronPathOverlay : public juce::Component, private FrameClock::Listener
{
public:
    using Segment = std::pair<juce::Point<float>, juce::Point<float>>;

    NeuronPathOverlay();
    ~NeuronPathOverlay() override;

    // The extra nodes, drawn from `seed`.
    void generateExtras();
    void setSeed (std::int32_t newSeed) noexcept { seed = newSeed; }
    std::int32_t getSeed() const noexcept { return seed; }

    // 1 to 8; a change starts a transition.
    void setLevel (int newLevel);
    int getLevel() const noexcept { return level; }
    void startTransition();

    // An accented step played: the flash starts.
    void flash (int step);

    // The accent of a step, already scaled by the accent gain and limited to
    // -1 ... 1 (0 for no accent); set by the editor.
    std::function<float (int step)> accentOf;
    // The wash for the network views: colour, level, strength.
    std::function<void (juce::Colour, float, float)> onTint;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // One timer step, `nowSeconds` on a monotonic clock.
    void advance (double nowSeconds);

    const std::vector<Triangulation::Point>& getExtrasSource() const noexcept { return extrasSource; }
    // The segments drawn at a level (1 to 8).
    const std::vector<Segment>& segmentsAt (int atLevel) const;
    bool isFlashing() const noexcept { return flashPhase >= 0.0f && flashPhase < 2.0f; }
    float getProgress() const noexcept { return progress; }

private:
    void frame() override;
    void rebuildLevels();
    void computeCurrentSegments();
    bool insideOutline (juce::Point<float> p) const;

    std::int32_t seed = 1;
    int level = 1;
    float phase = 0.0f;
    double lastTickSeconds = -1.0;
    float progress = 1.0f;
    float swaySincePaint = 0.0f;
    int flashStep = -1;
    float flashPhase = -1.0f;
    double flashStartMs = 0.0;
    std::vector<Triangulation::Point> extrasSource;
    std::vector<juce::Point<float>> nodes, extras, transitionStart;
    std::vector<std::vector<Segment>> levels;
    std::vector<Segment> currentSegments;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NeuronPathOverlay)
};

} // namespace mur::views
