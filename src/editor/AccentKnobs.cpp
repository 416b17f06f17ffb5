#include "AccentKnobs.h"

#include "ControlMappings.h"

#include <cmath>

namespace mur
{
namespace
{
constexpr float pi = juce::MathConstants<float>::pi, twoPi = juce::MathConstants<float>::twoPi;

const juce::Colour positiveAccent { 0xff9078f2 }, negativeAccent { 0xffdaf278 };

float wrapPositive (float angle)
{
    angle = std::fmod (angle, twoPi);
    return angle < 0.0f ? angle + twoPi : angle;
}

// An arc between two ring angles (radians from +x, clockwise on screen),
// split where it crosses twelve o'clock in JUCE's own angles.
void addRingArc (juce::Path& path, juce::Point<float> centre, float radius, float from, float to)
{
    const auto a = wrapPositive (from + pi / 2.0f), b = wrapPositive (to + pi / 2.0f);

    if (a == b)
        return;

    if (b < a)
    {
        path.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, a, twoPi, true);
        path.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, 0.0f, b, true);
    }
    else
    {
        path.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, a, b, true);
    }
}

juce::Point<float> onRing (juce::Point<float> centre, float radius, float angle)
{
    return centre + juce::Point<float> (std::cos (angle), std::sin (angle)) * radius;
}
} // namespace

//==============================================================================
BeatArcSegmentKnobComponent::BeatArcSegmentKnobComponent() : ValueControl (0.5f, 0.5f)
{
    setTooltip ("Accent for this step.");
}

float BeatArcSegmentKnobComponent::valueAt (juce::Point<float> p) const
{
    auto delta = std::atan2 (p.y - centreY, p.x - centreX) - centreAngle;
    delta = std::remainder (delta, twoPi);
    if (delta <= -pi)
        delta += twoPi;

    const auto w = juce::jmax (span - gap, 1.0e-4f);
    return juce::jlimit (0.0f, 1.0f, juce::jlimit (-w / 2.0f, w / 2.0f, delta) / w + 0.5f);
}

void BeatArcSegmentKnobComponent::pressed (const juce::MouseEvent& e)
{
    valueAtPress = getValue();
    if (onPressed)
        onPressed();
    change (valueAt (e.position));
}

void BeatArcSegmentKnobComponent::dragged (const juce::MouseEvent& e)
{
    change (valueAt (e.position));
}

juce::Path BeatArcSegmentKnobComponent::pointerTriangle() const
{
    juce::Path triangle;
    if (compact)
        return triangle;

    const auto s = 1.0f;
    const auto half = visibleHalf();
    const auto b = controls::accentGainFor (getValue());
    const auto f = juce::jlimit (0.0f, 1.0f, std::abs (b)) * half;
    const auto angle = centreAngle + (b >= 0.0f ? f : -f);
    const juce::Point<float> c { centreX, centreY };
    const auto tip = juce::jmax (juce::jmax (radius - thickness / 2.0f, 0.0f) + s, 0.0f);
    const auto height = juce::jlimit (5.0f * s, 10.0f * s, 0.9f * thickness);
    const auto base = onRing (c, juce::jmax (tip - height, 0.0f), angle);
    const juce::Point<float> across { -std::sin (angle) * height / 2.0f, std::cos (angle) * height / 2.0f };
    triangle.addTriangle (onRing (c, tip, angle), base + across, base - across);
    return triangle;
}

bool BeatArcSegmentKnobComponent::hitTest (int x, int y)
{
    if (radius <= 0.0f || span <= 0.0f)
        return false;

    const juce::Point<float> p { static_cast<float> (x), static_cast<float> (y) };
    if (pointerTriangle().contains (p, 1.0f))
        return true;

    const auto d = p.getDistanceFrom ({ centreX, centreY });
    if (d < radius - thickness / 2.0f || d > radius + thickness / 2.0f)
        return false;

    const auto angle = wrapPositive (std::atan2 (p.y - centreY, p.x - centreX));
    const auto a = wrapPositive (centreAngle - visibleHalf()), b = wrapPositive (centreAngle + visibleHalf());
    return a < b ? (angle >= a && angle < b) : (angle >= a || angle < b);
}

void BeatArcSegmentKnobComponent::paint (juce::Graphics& g)
{
    if (radius <= 0.0f || span <= 0.0f)
        return;

    const auto s = 1.0f;
    const juce::Point<float> c { centreX, centreY };
    const auto b = controls::accentGainFor (getValue());
    const auto accent = effectiveAccent != nullptr ? juce::jlimit (-1.0f, 1.0f, effectiveAccent()) : b;
    const auto signColour = accent < 0.0f ? negativeAccent : positiveAccent;
    const auto half = visibleHalf();
    const auto from = centreAngle - half, to = centreAngle + half;
    const auto butt = juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::butt);

    if (compact)
    {
        // A thin guide inside: white on the playing step or the start, grey otherwise.
        juce::Path guide;
        addRingArc (guide, c, juce::jmax (juce::jmax (radius - thickness / 2.0f, 0.0f) - 6.0f * s, 2.0f), from, to);
        g.setColour ((isGuideLit() ? juce::Colours::white : juce::Colours::grey).withAlpha (0.95f));
        g.strokePath (guide, juce::PathStrokeType (2.0f * s, juce::PathStrokeType::curved, juce::PathStrokeType::butt));

        juce::Path band;
        addRingArc (band, c, radius, from, to);
        g.setColour (signColour.withAlpha (juce::jlimit (0.0f, 1.0f, std::abs (accent))));
        g.strokePath (band, butt);
        return;
    }

    const auto inner = juce::jmax (radius - thickness / 2.0f, 0.0f), outer = juce::jmax (radius + thickness / 2.0f, inner);
    const auto lineWidth = juce::jmax (1.25f * s, 0.5f);
    const auto signOrWhite = std::abs (accent) > 1.0e-4f ? signColour : juce::Colours::white;

    juce::Path outline;
    addRingArc (outline, c, inner, from, to);
    addRingArc (outline, c, outer, from, to);
    g.setColour (signOrWhite.withAlpha (0.95f));
    g.strokePath (outline, juce::PathStrokeType (lineWidth, juce::PathStrokeType::curved, juce::PathStrokeType::butt));

    juce::Path ends;
    ends.startNewSubPath (onRing (c, inner, from));
    ends.lineTo (onRing (c, outer, from));
    ends.startNewSubPath (onRing (c, inner, to));
    ends.lineTo (onRing (c, outer, to));
    g.strokePath (ends, juce::PathStrokeType (lineWidth, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    const auto h = juce::jlimit (0.0f, half, std::abs (b) * half);
    juce::Path bar;
    addRingArc (bar, c, radius, b >= 0.0f ? centreAngle : centreAngle - h, b >= 0.0f ? centreAngle + h : centreAngle);
    g.setColour (std::abs (accent) <= 1.0e-4f ? juce::Colours::white : signColour);
    g.strokePath (bar, butt);

    if (isHovered())
    {
        auto pointerColour = isCurrentStep || std::abs (accent) <= 1.0e-4f ? juce::Colours::white : signColour;
        if (! isCurrentStep)
            pointerColour = pointerColour.brighter (0.15f);
        g.setColour (pointerColour);
        g.fillPath (pointerTriangle());
    }
}

//==============================================================================
CenteredArcKnobComponent::CenteredArcKnobComponent (juce::Colour knobColour, std::function<void (float)> callback, float initialValue)
    : ValueControl (initialValue, initialValue), colour (knobColour)
{
    onValueChange = std::move (callback);
    dragPerUnit = 0.01f;
    setSize (69, 69);
}

float CenteredArcKnobComponent::angleValue (juce::Point<float> p) const
{
    const auto a = (std::atan2 (p.y - static_cast<float> (getHeight() / 2), p.x - static_cast<float> (getWidth() / 2)) + pi / 2.0f) / twoPi;
    return juce::jlimit (0.0f, 1.0f, a - std::floor (a));
}

void CenteredArcKnobComponent::pressed (const juce::MouseEvent& e)
{
    dragging = true;
    ValueControl::pressed (e);
    lastStep = -1;

    if (stepped)
        change (angleValue (e.position));
}

void CenteredArcKnobComponent::dragged (const juce::MouseEvent& e)
{
    if (stepped)
        followAngle (e.position);
    else
        ValueControl::dragged (e);
}

void CenteredArcKnobComponent::followAngle (juce::Point<float> p)
{
    const auto a = angleValue (p);

    if (stepCount <= 0)
    {
        change (a);
        return;
    }

    // The raw angle goes out; the knob shows the step it falls on.
    const auto index = controls::stepAtPosition (a, stepCount);
    if (onValueChange)
        onValueChange (a);

    if (index != lastStep)
    {
        lastStep = index;
        setValue (juce::jlimit (0.0f, 1.0f, 1.0f - static_cast<float> (index) / static_cast<float> (stepCount)), juce::dontSendNotification);
    }
}

void CenteredArcKnobComponent::released()
{
    dragging = false;
    if (onDragEnd)
        onDragEnd();
}

bool CenteredArcKnobComponent::hitTest (int x, int y)
{
    const auto d = juce::Point<float> (static_cast<float> (x), static_cast<float> (y))
                       .getDistanceFrom ({ static_cast<float> (getWidth() / 2), static_cast<float> (getHeight() / 2) });
    const auto r = static_cast<float> (juce::jmin (getWidth(), getHeight())) / 2.0f;
    const auto band = 8.0f * lineScale;

    if (! wholeDiscClickable && d <= 5.0f * lineScale)
        return false;
    if (stepped)
        return d <= r;
    return std::abs (d - (r - band)) <= band * 0.7f || (wholeDiscClickable && d <= r);
}

void CenteredArcKnobComponent::paint (juce::Graphics& g)
{
    const juce::Point<float> c { static_cast<float> (getWidth() / 2), static_cast<float> (getHeight() / 2) };
    const auto r = static_cast<float> (juce::jmin (getWidth(), getHeight())) / 2.0f;
    const auto band = 8.0f * lineScale;
    const auto v = getValue();

    if (! stepped)
    {
        // From twelve o'clock towards the value's side; a stub at the middle.
        const auto m = juce::jlimit (0.0f, 1.0f, juce::jmax (std::abs (v - 0.5f) * 2.0f, 0.04f)) * 2.443461f;
        juce::Path arc;
        arc.addCentredArc (c.x, c.y, r - band, r - band, 0.0f, v >= 0.5f ? 0.0f : -m, v >= 0.5f ? m : 0.0f, true);
        g.setColour (colour);
        g.strokePath (arc, juce::PathStrokeType (band, juce::PathStrokeType::curved, juce::PathStrokeType::butt));
    }

    g.setColour (juce::Colours::white.withAlpha (0.7f));
    const auto ring = r - 1.5f * band;
    g.drawEllipse (juce::Rectangle<float> (2.0f * ring, 2.0f * ring).withCentre (c), lineScale);

    if (showPointer)
    {
        const auto angle = v * twoPi - pi / 2.0f;
        const auto tip = onRing (c, r - band / 2.0f, angle);
        const auto base = onRing (c, r - band / 2.0f - 6.0f * lineScale, angle);
        const juce::Point<float> across { -std::sin (angle) * 4.0f * lineScale, std::cos (angle) * 4.0f * lineScale };
        juce::Path triangle;
        triangle.addTriangle (tip, base + across, base - across);
        g.setColour (colour);
        g.fillPath (triangle);
    }
}

} // namespace mur
