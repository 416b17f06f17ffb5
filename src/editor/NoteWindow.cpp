#include "NoteWindow.h"

#include "ControlMappings.h"

namespace mur
{
namespace
{
juce::Colour slotColour (const palette::NoteColours& colours, int slotNumber)
{
    return juce::isPositiveAndBelow (slotNumber, palette::numNoteColours)
             ? juce::Colour (colours.colours[static_cast<size_t> (slotNumber)])
             : juce::Colours::grey;
}
} // namespace

NoteWindow::NoteWindow()
{
    setInterceptsMouseClicks (false, true);

    for (auto* arrow : { &previousArrow, &nextArrow })
    {
        const auto next = arrow == &nextArrow;
        arrow->setAlpha (0.0f); // the arrows are in the artwork; these only take the clicks
        arrow->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        arrow->setTooltip (next ? "Show next note probability." : "Show previous note probability.");
        arrow->setTitle (next ? "Next note" : "Previous note");
        arrow->onClick = [this, next] { scroll (next ? 1 : -1); };
        arrow->setBounds (next ? juce::Rectangle<int> (1025 - x, 428 - y, 7, 12) : juce::Rectangle<int> (815 - x, 428 - y, 7, 12));
        addAndMakeVisible (*arrow);
    }

    for (int s = 0; s < numSlots; ++s)
    {
        auto arc = std::make_unique<NoteArcComponent> (s + 1, juce::Colours::grey, nullptr);
        arc->setTitle ("Note " + juce::String (s + 1) + " probability");
        arc->setTooltip ("Probability for this pitch.");
        arc->valueText = controls::percentText;
        arc->arcThickness = 4.75f;
        arc->onValueChange = [this, s] (float v)
        {
            if (onGainChange != nullptr)
                onGainChange (s + 1, v);
        };
        arc->onGestureStart = [this] { if (onGestureStart != nullptr) onGestureStart(); };
        arc->onGestureEnd = [this] { if (onGestureEnd != nullptr) onGestureEnd(); };
        arc->onHoverChange = [this] (bool entered) { arcHovered (entered); };
        arc->onScroll = [this] (int slots) { scroll (slots); };
        addChildComponent (*arc);

        auto button = std::make_unique<CustomButtonComponent> ("noteOnButton" + juce::String (s + 1), 6);
        button->setClickingTogglesState (false);
        button->setInterceptsMouseClicks (true, false);
        button->setTooltip ("Play this note.");
        button->onClick = [this, s] { if (onPreview != nullptr) onPreview (s); };
        addChildComponent (*button);

        arcs.push_back (std::move (arc));
        noteOnButtons.push_back (std::move (button));
    }

    layOut();
}

void NoteWindow::show (const std::array<Slot, numSlots>& slots, const palette::NoteColours& colours)
{
    for (int s = 0; s < numSlots; ++s)
    {
        auto& arc = *arcs[static_cast<size_t> (s)];
        const auto& slot = slots[static_cast<size_t> (s)];
        const auto colour = slotColour (colours, s + 1);
        const auto gain = juce::jlimit (0.0f, 1.0f, slot.gain);

        if (arc.getValue() == gain && arc.noteColour == colour && arc.colour == colour && arc.noteName == slot.noteName)
            continue;

        arc.setValue (gain, juce::dontSendNotification);
        arc.colour = arc.noteColour = colour;
        arc.noteName = slot.noteName;
        arc.repaint();
    }
}

void NoteWindow::showChoice (std::int64_t choice, int numHeld)
{
    for (size_t s = 0; s < noteOnButtons.size(); ++s)
        noteOnButtons[s]->setToggleState (choice >= 0 && choice < numHeld && static_cast<std::int64_t> (s) == choice,
                                          juce::dontSendNotification);
}

void NoteWindow::scroll (int slots)
{
    const auto index = juce::jlimit (0, controls::lastNoteScrollIndex, scrollIndex + slots);

    if (index != scrollIndex)
    {
        scrollIndex = index;
        layOut();
    }
}

void NoteWindow::layOut()
{
    previousArrow.setVisible (scrollIndex > 0);
    nextArrow.setVisible (scrollIndex < controls::lastNoteScrollIndex);

    // Where the four shown slots sit (design units): whole-unit bounds, and
    // the fraction left over as a translation.
    constexpr float columns[] = { 835.4625f, 883.4625f, 929.4625f, 977.4625f };
    constexpr float top = 416.59274f;

    for (int s = 0; s < numSlots; ++s)
    {
        auto& arc = *arcs[static_cast<size_t> (s)];
        auto& button = *noteOnButtons[static_cast<size_t> (s)];
        const auto k = s - scrollIndex;

        if (k < 0 || k >= controls::noteWindowSize)
        {
            arc.setTransform ({});
            arc.setVisible (false);
            button.setVisible (false);
            continue;
        }

        const auto ax = columns[k] + 0.86775017f;
        const auto bx = static_cast<float> (controls::roundHalfUp (ax)), by = static_cast<float> (controls::roundHalfUp (top));
        arc.setBounds (static_cast<int> (bx) - x, static_cast<int> (by) - y, 33, 33);
        arc.setTransform (juce::AffineTransform::translation (ax - bx, top - by));
        button.setBounds (controls::roundHalfUp (16.5 + static_cast<double> (ax)) - 7 - x,
                          controls::roundHalfUp (33.0 + static_cast<double> (top) + 8.0) - 4 - y, 14, 14);
        arc.setVisible (true);
        button.setVisible (true);
    }
}

void NoteWindow::arcHovered (bool entered)
{
    // While the pointer is over any arc, all arcs show their needles.
    if (entered)
    {
        if (hoverCount++ == 0)
            for (auto& arc : arcs)
                arc->setShowNeedle (true);
        return;
    }

    if (--hoverCount <= 0)
    {
        hoverCount = 0;
        for (auto& arc : arcs)
            arc->setShowNeedle (false);
    }
}

} // namespace mur
