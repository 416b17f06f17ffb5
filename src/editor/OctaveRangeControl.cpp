#include "OctaveRangeControl.h"

#include "ControlMappings.h"
#include "resources/EditorResources.h"

namespace mur
{
namespace
{
// Laid out in design units over the control's 96 x 16.
constexpr float labelWidth = 46.0f, firstDot = 54.0f, dotPitch = 11.0f, dotSize = 6.0f;
const juce::Colour labelColour { 0xffc9c2d9 };
const juce::Colour litColour { 0xffd8e8b8 };
} // namespace

OctaveRangeControl::OctaveRangeControl()
    : ValueControl (controls::positionForOctaveRange (static_cast<int> (controls::defaultOf (ids::pos::octaveRange))),
                    controls::positionForOctaveRange (static_cast<int> (controls::defaultOf (ids::pos::octaveRange))))
{
    dragPerUnit = 1.0f / (dotPitch * static_cast<float> (controls::octaveRangeSteps() - 1));
    valueText = [] (float position)
    {
        const auto octaves = controls::octaveRangeFor (position);
        return juce::String (octaves) + (octaves == 1 ? " octave" : " octaves");
    };
}

int OctaveRangeControl::getOctaves() const
{
    return controls::octaveRangeFor (getValue());
}

float OctaveRangeControl::getKeyStep() const
{
    return 1.0f / static_cast<float> (controls::octaveRangeSteps() - 1);
}

float OctaveRangeControl::constrain (float position) const
{
    return controls::positionForOctaveRange (controls::octaveRangeFor (juce::jlimit (0.0f, 1.0f, position)));
}

juce::Rectangle<float> OctaveRangeControl::dotArea (int index) const
{
    const auto h = static_cast<float> (getHeight());
    return { firstDot + dotPitch * static_cast<float> (index), (h - dotSize) * 0.5f, dotSize, dotSize };
}

float OctaveRangeControl::positionAtX (float x) const
{
    const auto steps = controls::octaveRangeSteps();
    const auto index = juce::jlimit (0, steps - 1, juce::roundToInt ((x - firstDot - dotSize * 0.5f) / dotPitch));
    return static_cast<float> (index) / static_cast<float> (steps - 1);
}

void OctaveRangeControl::pressed (const juce::MouseEvent& e)
{
    ValueControl::pressed (e);
    // A press on the dots chooses the one under it; on the word it only
    // starts a drag.
    if (e.position.x >= firstDot - dotPitch * 0.5f)
        change (positionAtX (e.position.x));
    valueAtDragStart = getValue();
}

void OctaveRangeControl::dragged (const juce::MouseEvent& e)
{
    // Sideways only: the dots lie in a row.
    change (valueAtDragStart + static_cast<float> (e.getDistanceFromDragStartX()) * dragPerUnit);
}

void OctaveRangeControl::paint (juce::Graphics& g)
{
    const auto lit = isHovered() || hasKeyboardFocus (false);
    g.setColour (labelColour.withMultipliedAlpha (lit ? 1.0f : 0.85f));
    g.setFont (uiFont (9.5f));
    g.drawText ("Octaves", juce::Rectangle<float> (0.0f, 0.0f, labelWidth, static_cast<float> (getHeight())),
                juce::Justification::centredRight, false);

    const auto chosen = getOctaves();
    for (int i = 0; i < controls::octaveRangeSteps(); ++i)
    {
        const auto dot = dotArea (i);
        if (i < chosen)
        {
            g.setColour (litColour.withMultipliedAlpha (lit ? 1.0f : 0.9f));
            g.fillEllipse (dot);
        }
        else
        {
            g.setColour (labelColour.withMultipliedAlpha (0.45f));
            g.drawEllipse (dot.reduced (0.4f), 0.8f);
        }
    }
}

} // namespace mur
