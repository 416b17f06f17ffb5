#pragma once

#include "FrameClock.h"

#include "VisualisationWindow.h"

#include <array>
#include <optional>
#include <vector>

namespace mur::views
{

// What both note plots share: one colour and one visibility flag per readout
// row (0 the rest, k held-note slot k - 1), the step length their scrolling
// follows, and a 60 Hz timer that runs only while something moves.
class NotePlotBase : public juce::Component, protected FrameClock::Listener
{
public:
    static constexpr int rows = 51;
    static constexpr int ringSize = 1000;

    NotePlotBase();
    ~NotePlotBase() override;

    void setStepDuration (float seconds) noexcept;
    void setNoteColours (const std::vector<juce::Colour>& colours);
    // Rows above 50 are ignored; the rest (row 0) joins when enabled and any
    // row is listed.
    void setVisibleRows (const std::vector<int>& listed, bool restEnabled);

    bool isRowVisible (int row) const noexcept { return row >= 0 && row < rows && visibleRows[static_cast<size_t> (row)]; }
    float getStepDuration() const noexcept { return stepDuration; }
    double getScrollDurationMs() const noexcept { return scrollDurationMs; }

    void visibilityChanged() override;

    MonotonicClock clock;

protected:
    // How far the content still lies right of its place, in columns (1 just
    // after a push, 0 once it has glided home), and whether it still moves.
    float scrollOffset() const;
    bool isScrolling() const;
    void pushed();
    void frame() override;
    virtual bool isAnimating() const { return isScrolling(); }
    virtual void visibleRowsChanged() {}

    std::array<bool, rows> visibleRows {};
    std::array<juce::Colour, rows> rowColours;
    int historyLength = 30;
    float stepDuration = 0.25f;
    double lastPushMs = -1.0e12, scrollDurationMs = 125.0;
};

// The probabilities the note choice gave the rest and each held note, one
// smooth curve per row over the last 30 steps.
class NoteActivationProbabilityPlot : public VisualisationWindow
{
public:
    class PlotComponent;

    NoteActivationProbabilityPlot();
    PlotComponent& getComponent() noexcept { return component; }

private:
    PlotComponent& component;
};

class NoteActivationProbabilityPlot::PlotComponent : public NotePlotBase
{
public:
    PlotComponent();

    void pushProbabilities (const std::vector<float>& values);
    // The largest probability among the visible rows of each of the last n
    // pushes, oldest first (empty for n <= 0).
    std::vector<float> recentPeaks (int n) const;
    // Top and height of the curves' area within the component.
    juce::Rectangle<float> traceArea() const;

    void paint (juce::Graphics& g) override;
    void resized() override;

    int getPushCount() const noexcept { return pushCount; }

private:
    void visibleRowsChanged() override { lastShown.clear(); }

    std::vector<std::array<float, rows>> probabilityRing;
    int ringWriteIndex = 0, pushCount = 0;
    std::vector<float> lastShown;
    std::vector<float> ys, tangents;
    juce::Path curve;

    // The curves' outlines as last stroked. Between scrolls the curves stand
    // still while the dots above them rise, and each of those small repaints
    // fills the same outlines again instead of stroking every curve anew.
    struct Stroke
    {
        size_t row;
        juce::Path outline;
    };
    struct StrokeKey
    {
        int pushCount = -1;
        std::array<bool, rows> visibleRows {};
        juce::Rectangle<float> area;
        float shift = 0.0f, pixelScale = 0.0f;
        int historyLength = 0;
        bool operator== (const StrokeKey&) const = default;
    } strokedFor;
    std::vector<Stroke> strokes;
};

// Which slot was chosen at each step: a dot in its colour that starts just
// above the step's highest curve and rises to the top over ten steps.
class NoteChoicePlot : public VisualisationWindow
{
public:
    class PlotComponent;

    NoteChoicePlot();
    PlotComponent& getComponent() noexcept { return component; }

private:
    PlotComponent& component;
};

class NoteChoicePlot::PlotComponent : public NotePlotBase
{
public:
    PlotComponent();

    void pushChoice (int row);
    void setAnchorYs (std::vector<float> anchors);
    void setPlotWidth (float width);
    void setBaselineY (float y);
    int columnCount() const noexcept { return columns; }
    int getLastChoice() const noexcept { return lastChoice; }
    // The row the ring holds `age` pushes back (0 the newest), or -1.
    int choiceAt (int age) const noexcept;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    bool isAnimating() const override;
    void frame() override;
    // Where column i's dot stands at `now` (nothing when it has none), the
    // content shifted right by `shift`.
    std::optional<juce::Rectangle<float>> dotAt (int column, double now, float shift) const;

    std::array<int, ringSize> choiceRing;
    std::array<double, ringSize> choiceTimes {}, choiceRiseMs;
    int ringWriteIndex = 0, lastChoice = -1;
    int columns = 1000;
    float plotWidth = 220.83f, baselineY = -1.0f;
    std::vector<float> anchorYs;
    double lastFrameMs = -1.0;
    bool scrolledLastFrame = true;
};

// The row a step's choice marks on the choice plot: the rest's row 0 when the
// rest was chosen and is enabled, slot + 1 for a held note, none otherwise.
inline std::optional<int> choiceRowToMark (std::int64_t choice, int numHeld, bool restEnabled) noexcept
{
    if (choice >= 0 && restEnabled && choice == numHeld)
        return 0;
    if (choice >= 0 && choice < numHeld)
        return static_cast<int> (choice) + 1;
    return std::nullopt;
}

} // namespace mur::views
