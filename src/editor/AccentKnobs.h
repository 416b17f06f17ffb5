#pragma once

#include "ValueControl.h"

namespace mur
{

// One step of the accent ring: an arc segment whose position along the arc
// is the step's accent (the middle is none, clockwise is positive). A press
// jumps to the pointer and a drag follows it. Compact, it shows the accent as
// a coloured band; while the ring is highlighted it shows an outline, a bar
// from the middle and, when hovered, a pointer.
class BeatArcSegmentKnobComponent : public ValueControl
{
public:
    BeatArcSegmentKnobComponent();

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    float getKeyStep() const override { return 0.05f; }

    // The value the pointer at (x, y) stands for.
    float valueAt (juce::Point<float> p) const;
    // The thin guide inside is lit on the playing step or the start marker,
    // and grey on neither or both.
    bool isGuideLit() const noexcept { return isCurrentStep != isStartStep; }
    // The visible half-span (the span less the gap, halved).
    float visibleHalf() const noexcept { return juce::jmax (span - gap, 0.0f) / 2.0f; }

    std::function<void()> onPressed;
    // The accent the ring shows for this step (the gain times the master), or
    // the segment's own when unset.
    std::function<float()> effectiveAccent;

    float centreX = 0.0f, centreY = 0.0f, radius = 0.0f, thickness = 8.0f;
    float centreAngle = 0.0f, span = 0.0f, gap = 0.0f;
    bool isCurrentStep = false, isStartStep = false, compact = true;
    float valueAtPress = 0.5f;
    int stepIndex = -1;

private:
    void pressed (const juce::MouseEvent&) override;
    void dragged (const juce::MouseEvent&) override;
    juce::Path pointerTriangle() const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BeatArcSegmentKnobComponent)
};

// A knob for the accent panel: a bipolar arc from twelve o'clock (Gain), or,
// stepped, a pointer that jumps to where it is pressed and snaps to the
// pattern's steps (Start).
class CenteredArcKnobComponent : public ValueControl
{
public:
    CenteredArcKnobComponent (juce::Colour colour, std::function<void (float)> onValueChange, float initialValue);

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;

    // The angle position of a point: 0 at twelve o'clock, growing clockwise.
    float angleValue (juce::Point<float> p) const;
    bool isDragging() const noexcept { return dragging; }

    juce::Colour colour;
    std::function<void()> onDragEnd;
    float lineScale = 1.0f;
    int stepCount = 0, lastStep = -1;
    bool showPointer = false, stepped = false, wholeDiscClickable = false;

private:
    void pressed (const juce::MouseEvent&) override;
    void dragged (const juce::MouseEvent&) override;
    void released() override;
    void followAngle (juce::Point<float> p);

    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CenteredArcKnobComponent)
};

} // namespace mur
