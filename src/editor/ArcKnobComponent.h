#pragma once

#include "ValueControl.h"

namespace mur
{

// A coloured arc that sweeps 300 degrees clockwise from the lower left,
// optionally stepped, with a thin inner ring and a centred label. Dragging
// right or up by 100 units sweeps the whole range; only a band around the arc
// (or the whole disc) takes the mouse.
class ArcKnobComponent : public ValueControl
{
public:
    ArcKnobComponent (juce::Colour colour, std::function<void (float)> onValueChange, float defaultValue,
                      bool showLabel, const juce::String& labelText, int stepCount);

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;
    float getKeyStep() const override { return stepCount > 1 ? 1.0f / static_cast<float> (stepCount - 1) : 0.01f; }

    // The arc's end angle for the current value (radians, clockwise from twelve).
    float endAngle() const noexcept;

    juce::Colour colour;
    juce::String labelText;
    bool showLabel;
    int stepCount;
    float arcThickness = 8.0f;
    float ringScale = 1.0f;
    bool drawRing = true;
    float labelFontHeight = 15.0f;
    bool useLabelColour = false;
    juce::Colour labelColour { juce::Colours::white };
    bool wholeDiscClickable = false;

protected:
    float constrain (float position) const override;
    juce::Point<float> centre() const noexcept;
    float outerRadius() const noexcept;
    // The scale of line widths and texts: the editor's, or 1 outside one.
    float sizeFactor() const noexcept { return 1.0f; }

private:
    void dragged (const juce::MouseEvent&) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArcKnobComponent)
};

// One held-note slot's probability: an arc in the note's colour with the
// note's name in the middle, or a value needle while any arc of the window
// is hovered. The wheel scrolls the note window.
class NoteArcComponent : public ArcKnobComponent
{
public:
    NoteArcComponent (int slotNumber, juce::Colour colour, std::function<void (float)> onValueChange);

    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void paint (juce::Graphics&) override;

    void setShowNeedle (bool shouldShow);
    bool isShowingNeedle() const noexcept { return showNeedle || isHovered(); }

    const int slotNumber;
    juce::Colour noteColour;
    juce::String noteName;
    // Whole slots to scroll the note window by (positive: later notes).
    std::function<void (int)> onScroll;
    float wheelAccumulator = 0.0f;

private:
    void paintNoteName (juce::Graphics&) const;

    bool showNeedle = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NoteArcComponent)
};

} // namespace mur
