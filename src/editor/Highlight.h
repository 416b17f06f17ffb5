#pragma once

#include <functional>

namespace mur
{

// What the pointer highlights: nothing, the XY pad, or the accent ring (one
// of its steps, or the whole ring while `step` is -1). The pad and the ring
// share one; each dims itself for the other's highlight.
enum class HighlightMode
{
    none,
    pad,
    ring
};

class Highlight
{
public:
    void set (HighlightMode newMode, int newStep = -1)
    {
        if (newMode == currentMode && newStep == currentStep)
            return;

        currentMode = newMode;
        currentStep = newStep;
        if (onChange != nullptr)
            onChange();
    }

    HighlightMode mode() const noexcept { return currentMode; }
    int step() const noexcept { return currentStep; }
    // The ring as a whole (not one step of it) is highlighted.
    bool isWholeRing() const noexcept { return currentMode == HighlightMode::ring && currentStep < 0; }

    std::function<void()> onChange;

private:
    HighlightMode currentMode = HighlightMode::none;
    int currentStep = -1;
};

} // namespace mur
