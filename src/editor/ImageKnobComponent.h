#pragma once

#include "ValueControl.h"

namespace mur
{

// A rotary control drawn from images: a 16-picture filmstrip of the lit arc,
// a fixed body in the middle and a dot orbiting at the value's angle. Only a
// disc in the middle takes the mouse; dragging right or up raises the value.
class ImageKnobComponent : public ValueControl
{
public:
    ImageKnobComponent (std::function<void (float)> onValueChange, float initialValue);

    // The filmstrip picture the current value shows.
    int getFrameIndex() const noexcept;

    bool hitTest (int x, int y) override;
    void paint (juce::Graphics&) override;

private:
    juce::Image bodyImage, dotImage;
    std::vector<juce::Image> frames;
    float startAngle = -2.3561945f, endAngle = 2.3561945f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ImageKnobComponent)
};

} // namespace mur
