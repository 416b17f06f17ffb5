#pragma once

#include "ValueControl.h"

namespace mur
{

// A horizontal slider drawn as an image thumb over a track in the artwork.
// A press puts the thumb under the pointer at once, and a drag follows the
// pointer. `onValueChange` receives the position mapped onto the range.
class CustomSliderComponent : public ValueControl
{
public:
    CustomSliderComponent (std::function<void (float)> onValueChange, float defaultValue, float rangeMin, float rangeMax);

    void paint (juce::Graphics&) override;

    // The thumb's side: its image's own 19.25 units, smaller in a smaller slider.
    float thumbSize() const noexcept;
    bool isDragging() const noexcept { return dragging; }

private:
    float reported (float position) const override { return rangeMin + (rangeMax - rangeMin) * position; }
    void pressed (const juce::MouseEvent&) override;
    void dragged (const juce::MouseEvent&) override;
    void released() override;
    void follow (float mouseX);

    float rangeMin, rangeMax;
    bool dragging = false;
    juce::Image normalImage, hoverImage, dragImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CustomSliderComponent)
};

} // namespace mur
