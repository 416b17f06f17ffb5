#pragma once

#include "ArcKnobComponent.h"
#include "Buttons.h"
#include "Palette.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace mur
{

// The note window: one arc per held-note slot (its note gain, coloured and
// named like the note that holds it) and a button under it that plays that
// note, four slots at a time, with arrows and the wheel to scroll.
class NoteWindow : public juce::Component
{
public:
    static constexpr int x = 815, y = 416, width = 217, height = 52;
    static constexpr int numSlots = 50;

    // What the window shows of one slot.
    struct Slot
    {
        float gain = 0.5f;
        juce::String noteName; // empty while no note holds the slot
    };

    NoteWindow();

    // Gains, names and colours as the processor holds them; the choice lights
    // its slot's button.
    void show (const std::array<Slot, numSlots>& slots, const palette::NoteColours& colours);
    void showChoice (std::int64_t choice, int numHeld);

    void scroll (int slots);
    int getScrollIndex() const noexcept { return scrollIndex; }

    NoteArcComponent& getArc (int slot) { return *arcs[static_cast<size_t> (slot)]; }
    CustomButtonComponent& getNoteOnButton (int slot) { return *noteOnButtons[static_cast<size_t> (slot)]; }
    juce::Button& getArrow (bool next) { return next ? nextArrow : previousArrow; }

    // The user moved slot s's gain (1 to 50), inside one gesture.
    std::function<void (int slot, float gain)> onGainChange;
    std::function<void()> onGestureStart, onGestureEnd;
    // The user asked to hear the note in slot s (0 to 49).
    std::function<void (int slot)> onPreview;

private:
    void layOut();
    void arcHovered (bool entered);

    juce::TextButton previousArrow, nextArrow;
    std::vector<std::unique_ptr<NoteArcComponent>> arcs;
    std::vector<std::unique_ptr<CustomButtonComponent>> noteOnButtons;
    int scrollIndex = 0, hoverCount = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (NoteWindow)
};

} // namespace mur
