#include "TooltipHost.h"

namespace mur
{

TooltipHost::TooltipHost (juce::Component& e, juce::LookAndFeel& lf, std::function<bool()> suppress)
    : editor (e), lookAndFeel (lf), suppressTips (std::move (suppress))
{
    editor.addMouseListener (this, true);
}

TooltipHost::~TooltipHost()
{
    editor.removeMouseListener (this);
    tips.reset();
}

void TooltipHost::pointerMoved()
{
    lastMoveMs = juce::Time::getMillisecondCounterHiRes();
    if (tips != nullptr)
        return;

    tips = std::make_unique<ArpTooltipWindow>();
    tips->setLookAndFeel (&lookAndFeel);
    tips->suppressTips = suppressTips;
}

void TooltipHost::check (double nowMs, bool pointerOverEditor)
{
    if (tips != nullptr && (! pointerOverEditor || (nowMs - lastMoveMs > restMs && ! tips->isVisible())))
        tips.reset();
}

void TooltipHost::hideTip()
{
    if (tips != nullptr)
        tips->hideTip();
}

} // namespace mur
