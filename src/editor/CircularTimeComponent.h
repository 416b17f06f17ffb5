#pragma once

#include "AccentKnobs.h"
#include "ArcKnobComponent.h"
#include "Highlight.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace mur
{

class Settings;
class UndoHistory;

// The playback state the editor copied from what the audio thread published;
// the ring reads only this copy.
struct PlaybackSnapshot
{
    bool hostPlaying = false;
    double ppq = 0.0;
    int accentStep = -1;
};

// The accent ring around the XY pad: one segment per accent step, lit while
// its step plays, and inside, behind the accent-settings button, a panel
// with the Steps, Start and Gain knobs and Clear.
class CircularTimeComponent : public juce::Component, public juce::SettableTooltipClient
{
public:
    // What the ring reaches beyond the accent settings it edits: the undo
    // history (one action per gesture), the highlight it shares with the pad,
    // the look of its Clear button.
    struct Links
    {
        UndoHistory& history;
        Highlight& highlight;
        juce::LookAndFeel* buttonLookAndFeel = nullptr;
    };

    CircularTimeComponent (Links links, Settings& settings, const PlaybackSnapshot& playback);
    ~CircularTimeComponent() override;

    void toggleSettings();
    bool isSettingsOpen() const noexcept { return settingsOpen; }

    // Brings every child in line with the processor (a preset, undo, a host).
    void syncFromProcessor();
    void rebuildBeatKnobsForCurrentRate();
    void layoutBeatKnobs();
    // The segments' alphas for the shared highlight.
    void applyHighlight();
    // The ring's per-tick work: segments for the step count, the playing
    // step, accent flashes; what the timer runs 60 times a second.
    void tick();

    double stepLengthInWholeNotes() const;

    std::function<void (int step)> onAccentStep;
    // The user edited the accents.
    std::function<void()> onEdited;

    // The ring follows the playhead only while it is on screen, on the
    // editor's own timer (one heartbeat for every animated control keeps the
    // window's wake-ups few).
    void refreshAnimation();
    void visibilityChanged() override { refreshAnimation(); }
    void parentHierarchyChanged() override { refreshAnimation(); }
    bool isAnimating() const noexcept { return animating; }
    void heartbeat()
    {
        if (animating)
            tick();
    }

    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    bool hitTest (int x, int y) override;
    juce::MouseCursor getMouseCursor() override;
    void resized() override;

    int numSegments() const noexcept { return static_cast<int> (segments.size()); }
    BeatArcSegmentKnobComponent& getSegment (int i) { return *segments[static_cast<size_t> (i)]; }
    ArcKnobComponent& getStepsKnob() noexcept { return *stepsKnob; }
    CenteredArcKnobComponent& getStartKnob() noexcept { return *startKnob; }
    CenteredArcKnobComponent& getGainKnob() noexcept { return *gainKnob; }
    juce::Button& getClearButton() noexcept { return clearButton; }
    juce::Point<int> getRingCentre() const noexcept { return { cx, cy }; }
    float getSegmentRadius() const noexcept { return segmentRadius; }

private:
    int stepCount() const;
    int currentStep() const;
    void detectAccentStep();
    void changed();

    void answerAccentHint (bool understood);

    Links links;
    Settings& settings;
    const PlaybackSnapshot& playback;

    std::vector<std::unique_ptr<BeatArcSegmentKnobComponent>> segments;
    juce::Component panel;
    std::unique_ptr<CenteredArcKnobComponent> startKnob, gainKnob;
    std::unique_ptr<ArcKnobComponent> stepsKnob;
    juce::Label startLabel { "ShiftLabel", "Start" }, gainLabel { "PulseGainLabel", "Gain" }, stepsLabel { "StepsLabel", "Steps" };
    juce::TextButton clearButton { "Clear" };

    bool settingsOpen = false;
    int cx = 0, cy = 0, bandWidth = 31, ringRadius = 0, discCentreX = 0, discCentreY = 0, discRadius = 0;
    float segmentRadius = 0.0f, segmentThickness = 8.0f;
    int cachedStepCount = -1, lastAccentStep = -1;
    double lastPpq = std::nan ("");
    int shownCurrent = -2, shownStart = -2;
    bool shownCompact = true;
    bool animating = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CircularTimeComponent)
};

} // namespace mur
