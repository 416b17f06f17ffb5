#pragma once

#include "LookAndFeels.h"

#include <functional>
#include <memory>

namespace mur
{

// The editor's tips, with a tooltip window only while one can be of use: the
// pointer is over the editor and has moved lately or is showing a tip. A
// tooltip window asks the window system where the pointer is about eighteen
// times a second, which costs as much as some of the animations, and a
// pointer left resting over the window is common in a host.
class TooltipHost : private juce::MouseListener
{
public:
    // Longer than a tip takes to appear under a resting pointer.
    static constexpr double restMs = 1500.0;

    TooltipHost (juce::Component& editor, juce::LookAndFeel& lookAndFeel, std::function<bool()> suppressTips);
    ~TooltipHost() override;

    // Run a few times a second: the window goes once the pointer has left,
    // or has rested for `restMs` with no tip shown.
    void check (double nowMs, bool pointerOverEditor);
    // The pointer entered, moved or dragged over the editor (its mouse
    // events call this): the window comes if it had gone.
    void pointerMoved();
    void hideTip();

    ArpTooltipWindow* window() noexcept { return tips.get(); }

private:
    void mouseEnter (const juce::MouseEvent&) override { pointerMoved(); }
    void mouseMove (const juce::MouseEvent&) override { pointerMoved(); }
    void mouseDrag (const juce::MouseEvent&) override { pointerMoved(); }

    juce::Component& editor;
    juce::LookAndFeel& lookAndFeel;
    std::function<bool()> suppressTips;
    std::unique_ptr<ArpTooltipWindow> tips;
    double lastMoveMs = 0.0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TooltipHost)
};

} // namespace mur
