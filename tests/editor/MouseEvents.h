#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur::test
{

// A mouse event at a position in the component's own coordinates, as JUCE
// would deliver it; enough to drive a control without a window.
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> position, int clicks = 1)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, {}, 1.0f, 0.0f, 0.0f,
                             0.0f, 0.0f, &c, &c, juce::Time::getCurrentTime(), position, juce::Time::getCurrentTime(),
                             clicks, false);
}

// A press at `from`, a drag to `to` and the release there.
inline void drag (juce::Component& c, juce::Point<float> from, juce::Point<float> to)
{
    c.mouseDown (mouseAt (c, from));
    c.mouseDrag (mouseAt (c, to));
    c.mouseUp (mouseAt (c, to));
}

inline juce::MouseWheelDetails wheel (float deltaY, bool inertial = false)
{
    juce::MouseWheelDetails details {};
    details.deltaY = deltaY;
    details.isInertial = inertial;
    return details;
}

} // namespace mur::test
