#include "ArcKnobComponent.h"

#include "ControlMappings.h"
#include "resources/EditorResources.h"

#include <cmath>

namespace mur
{
namespace
{
constexpr float sweepStart = -2.6179938f; // -150 degrees
constexpr float sweep = 5.2359877f;       // 300 degrees
constexpr float leastShown = 0.10471976f; // 6 degrees: an empty arc is still seen
} // namespace

ArcKnobComponent::ArcKnobComponent (juce::Colour arcColour, std::function<void (float)> callback, float defaultPosition,
                                    bool labelShown, const juce::String& label, int steps)
    : ValueControl (defaultPosition, defaultPosition), colour (arcColour), labelText (label), showLabel (labelShown),
      stepCount (steps)
{
    onValueChange = std::move (callback);
    setSize (69, 69);
}

float ArcKnobComponent::constrain (float position) const
{
    return controls::quantise (position, stepCount);
}

juce::Point<float> ArcKnobComponent::centre() const noexcept
{
    return { static_cast<float> (getWidth() / 2), static_cast<float> (getHeight() / 2) };
}

float ArcKnobComponent::outerRadius() const noexcept
{
    return static_cast<float> (juce::jmin (getWidth(), getHeight())) / 2.0f;
}

float ArcKnobComponent::endAngle() const noexcept
{
    return juce::jlimit (sweepStart, -sweepStart, juce::jmax (leastShown, getValue() * sweep) + sweepStart);
}

void ArcKnobComponent::dragged (const juce::MouseEvent& e)
{
    // 100 units right or up sweep the whole range, in the knob's steps.
    change (controls::arcDragPosition (valueAtDragStart, dragDistance (e), stepCount));
}

bool ArcKnobComponent::hitTest (int x, int y)
{
    const auto r = centre().getDistanceFrom ({ static_cast<float> (x), static_cast<float> (y) });
    const auto l = outerRadius() - arcThickness;
    const auto outer = l + arcThickness / 2.0f + 16.0f;
    return (wholeDiscClickable && r <= outer) || (r >= l - arcThickness / 2.0f - 16.0f && r <= outer);
}

void ArcKnobComponent::paint (juce::Graphics& g)
{
    const auto c = centre();
    const auto radius = outerRadius();

    juce::Path arc;
    arc.addCentredArc (c.x, c.y, radius - arcThickness, radius - arcThickness, 0.0f, sweepStart, endAngle(), true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (arcThickness, juce::PathStrokeType::curved, juce::PathStrokeType::butt));

    const auto s = sizeFactor();

    if (drawRing)
    {
        const auto ring = (radius - 1.5f * arcThickness) * ringScale;
        g.setColour (juce::Colours::white.withAlpha (0.6f));
        g.drawEllipse (c.x - ring, c.y - ring, 2.0f * ring, 2.0f * ring, s);
    }

    if (showLabel && labelText.isNotEmpty())
    {
        g.setColour (useLabelColour ? labelColour : colour);
        g.setFont (uiFont (labelFontHeight));
        const auto w = static_cast<float> (controls::roundHalfUp (40.0 * static_cast<double> (s))), h = static_cast<float> (controls::roundHalfUp (16.0 * static_cast<double> (s)));
        g.drawText (labelText, juce::Rectangle<float> (w, h).withCentre (c), juce::Justification::centred, true);
    }
}

//==============================================================================
NoteArcComponent::NoteArcComponent (int slot, juce::Colour arcColour, std::function<void (float)> callback)
    : ArcKnobComponent (arcColour, std::move (callback), 0.5f, true, {}, 0), slotNumber (slot), noteColour (arcColour)
{
    arcThickness = 5.0f;
    ringScale = 1.5f;
    drawRing = false;
    wholeDiscClickable = true;
    useLabelColour = true;
    labelColour = juce::Colours::white;
}

void NoteArcComponent::setShowNeedle (bool shouldShow)
{
    if (std::exchange (showNeedle, shouldShow) != shouldShow)
        repaint();
}

void NoteArcComponent::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    // Outside a note window nothing scrolls.
    if (! onScroll)
        return;

    // The tail of a flick carries no intent of its own.
    if (wheel.isInertial)
    {
        wheelAccumulator = 0.0f;
        return;
    }

    const auto scroll = controls::scrollByWheel (wheelAccumulator, wheel.deltaX, wheel.deltaY);
    wheelAccumulator = scroll.remainder;

    // Each 0.25 of travel is one slot, even where the window cannot move.
    for (int i = 0; i < std::abs (scroll.slots); ++i)
        onScroll (scroll.slots > 0 ? 1 : -1);
}

void NoteArcComponent::paint (juce::Graphics& g)
{
    ArcKnobComponent::paint (g);

    const auto c = centre();
    const auto radius = outerRadius();

    if (isShowingNeedle())
    {
        const auto e = endAngle();
        const auto reach = radius - arcThickness / 2.0f;
        g.setColour (noteColour);
        g.drawLine (c.x, c.y, c.x + std::sin (e) * reach, c.y - std::cos (e) * reach,
                    juce::jlimit (2.0f, 4.0f, 0.6f * arcThickness));
        return;
    }

    if (noteName.isNotEmpty())
        paintNoteName (g);
}

void NoteArcComponent::paintNoteName (juce::Graphics& g) const
{
    // The letter, then a raised sharp and a lowered octave in a smaller face.
    const auto s = sizeFactor();
    const auto c = centre();
    const auto letterFont = uiFont (juce::jmax (10.0f * s, 6.0f));
    const auto smallFont = uiFont (letterFont.getHeight() * 0.8f);

    const auto letter = noteName.substring (0, 1);
    const auto hasSharp = noteName.length() > 1 && noteName[1] == '#';
    const auto sharp = hasSharp ? juce::String ("#") : juce::String();
    const auto octave = noteName.substring (hasSharp ? 2 : 1);

    const auto letterWidth = letterFont.getStringWidthFloat (letter);
    const auto extraWidth = juce::jmax (sharp.isEmpty() ? 0.0f : smallFont.getStringWidthFloat (sharp),
                                        octave.isEmpty() ? 0.0f : smallFont.getStringWidthFloat (octave));
    const auto letterHeight = letterFont.getHeight();
    const auto smallHeight = smallFont.getHeight();

    const auto x0 = c.x - (2.0f * s + letterWidth + extraWidth) / 2.0f - s / 4.0f + 1.0f;
    g.setColour (juce::Colours::white);
    g.setFont (letterFont);
    g.drawText (letter, juce::Rectangle<float> (x0, c.y - letterHeight / 2.0f, letterWidth + 2.0f, letterHeight),
                juce::Justification::centredLeft, false);

    const auto x1 = x0 + letterWidth + 2.0f * s;
    g.setFont (smallFont);

    if (sharp.isNotEmpty())
        g.drawText (sharp, juce::Rectangle<float> (x1, c.y - 0.38f * letterHeight - smallHeight / 2.0f,
                                                   smallFont.getStringWidthFloat (sharp) + 2.0f, smallHeight),
                    juce::Justification::centredLeft, false);

    if (octave.isNotEmpty())
        g.drawText (octave, juce::Rectangle<float> (x1, c.y + 0.26f * letterHeight - smallHeight / 2.0f,
                                                    smallFont.getStringWidthFloat (octave) + 2.0f, smallHeight),
                    juce::Justification::centredLeft, false);
}

} // namespace mur
