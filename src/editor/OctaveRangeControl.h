#pragma once

#include "ValueControl.h"

namespace mur
{

// The octave range in the Notes panel's bottom row: the word "Octaves" and a
// dot for each octave of the range, lit up to the one chosen. A click on a
// dot chooses it, a drag sideways moves through them, arrow keys step.
class OctaveRangeControl : public ValueControl
{
public:
    OctaveRangeControl();

    int getOctaves() const;
    float getKeyStep() const override;
    void paint (juce::Graphics&) override;

protected:
    float constrain (float position) const override;
    void pressed (const juce::MouseEvent&) override;
    void dragged (const juce::MouseEvent&) override;

private:
    juce::Rectangle<float> dotArea (int index) const;
    float positionAtX (float x) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OctaveRangeControl)
};

} // namespace mur
