#pragma once

#include "PixelLayer.h"
#include "VisualisationWindow.h"

#include <vector>

namespace mur::views
{

// The "Activity" view: one lane per live hidden unit, each tracing the unit's
// last 30 values in the colour of the note slot the unit drives most.
class NeuralActivityWindow : public VisualisationWindow
{
public:
    class NeuralActivityComponent;

    NeuralActivityWindow();

    void pushState (const std::vector<float>& values);
    void setDisplayMode (int mode);
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setReadoutWeights (const std::vector<std::vector<float>>& rows);
    void setBackgroundTint (juce::Colour colour, float level, float strength);

    NeuralActivityComponent& getComponent() noexcept { return component; }

private:
    NeuralActivityComponent& component;
};

class NeuralActivityWindow::NeuralActivityComponent : public juce::Component
{
public:
    static constexpr int ringSize = 1000;

    NeuralActivityComponent();

    void pushState (const std::vector<float>& values);
    void setDisplayMode (int mode);
    void setNoteColours (const std::vector<juce::Colour>& colours);
    void setReadoutWeights (const std::vector<std::vector<float>>& rows);
    void setBackgroundTint (juce::Colour colour, float level, float strength);

    void paint (juce::Graphics& g) override;
    // The lane separators and the traces alone, as the kept picture holds them.
    void paintTraces (juce::Graphics& g, juce::Rectangle<float> bounds);

    int getUnitCount() const noexcept { return unitCount; }
    const std::vector<std::vector<float>>& getHistory() const noexcept { return history; }
    // The colour of each unit's trace (recomputed when its inputs changed).
    const std::vector<juce::Colour>& getUnitColours();

private:
    void refreshUnitColours();
    void changed();

    std::vector<std::vector<float>> history;
    int historyLength = 30;
    int unitCount = 0;
    std::vector<std::vector<float>> ring;
    int ringWriteIndex = 0;
    std::vector<juce::Colour> noteColours;
    std::vector<std::vector<float>> readoutWeights;
    std::vector<juce::Colour> unitColours;
    bool unitColoursDirty = true;
    std::vector<int> dominantRow;
    std::vector<float> dominance;
    int displayMode = 0;
    BackgroundTint tint;

    // The traces change once a step, the wash under them every frame of a
    // flash: they are kept as a picture and drawn again only when they change.
    PixelLayer traces;
    bool tracesDirty = true;

    // Paint's working space, kept between paints.
    std::vector<float> ys, tangents;
    juce::Path trace;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NeuralActivityComponent)
};

} // namespace mur::views
