#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace mur::views
{

// An invisible click area over the network views' screen: a click moves on
// to the next view.
class PlotOverlay : public juce::Component, public juce::SettableTooltipClient
{
public:
    PlotOverlay()
    {
        setAlpha (0.0f);
        setTooltip ("Switch between Activity, Map and Topology views.");
    }

    void mouseDown (const juce::MouseEvent&) override
    {
        if (onSwitch != nullptr)
            onSwitch();
    }

    std::function<void()> onSwitch;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PlotOverlay)
};

} // namespace mur::views
