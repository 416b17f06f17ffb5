#include "ArpAudioProcessorEditor.h"

#include "ControlMappings.h"
#include "persistence/UndoHistory.h"
#include "processor/Playback.h"
#include "processor/Settings.h"

// The note window: 50 held-note slots, each an arc for its probability and a
// button that plays its note, of which four are shown at a time.
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

void ArpAudioProcessorEditor::updateNoteSliders()
{
    const auto& held = playback.getHeldNotes();
    noteColours = palette::computeNoteColours (held.size(), settings.getMirrors().darkPaletteBias,
                                               settings.getMirrors().lightPaletteBias);

    // Made once: afterwards they are only shown, hidden, moved and recoloured.
    if (noteArcs.size() != controls::numNoteSlots || noteOnButtons.size() != controls::numNoteSlots)
    {
        noteArcs.clear();
        noteOnButtons.clear();
        noteHoverCount = 0;

        for (int s = 0; s < controls::numNoteSlots; ++s)
        {
            auto arc = std::make_unique<NoteArcComponent> (s + 1, slotColour (noteColours, s + 1), nullptr);
            arc->setTitle ("Note " + juce::String (s + 1) + " probability");
            arc->setTooltip ("Probability for this pitch.");
            arc->valueText = controls::percentText;
            arc->onValueChange = [this, s] (float v) { settings.setNoteGain (juce::jmin (s + 1, controls::numNoteSlots), v); };
            arc->onGestureStart = [this] { history.beginUserAction(); };
            arc->onGestureEnd = [this] { history.endUserAction(); };
            arc->onHoverChange = [this] (bool entered) { noteArcHovered (entered); };
            arc->onScroll = [this] (int slots) { scrollNoteWindow (slots); };
            designRoot.addChildComponent (*arc);

            auto button = std::make_unique<CustomButtonComponent> ("noteOnButton" + juce::String (s + 1), 6);
            button->setClickingTogglesState (false);
            button->setInterceptsMouseClicks (true, false);
            button->setTooltip ("Play this note.");
            button->onClick = [this, s]
            {
                // A slot without a held note has nothing to play.
                if (const auto& notes = playback.getHeldNotes(); s < notes.size())
                    playback.queuePreviewNote (notes[s].note, notes[s].velocity);
            };
            designRoot.addChildComponent (*button);

            noteArcs.push_back (std::move (arc));
            noteOnButtons.push_back (std::move (button));
        }
    }

    for (int s = 0; s < controls::numNoteSlots; ++s)
    {
        auto& arc = *noteArcs[static_cast<size_t> (s)];
        arc.setValue (juce::jlimit (0.0f, 1.0f, settings.getNoteGain (s + 1)), juce::dontSendNotification);
        arc.colour = arc.noteColour = slotColour (noteColours, s + 1);
        arc.noteName = s < held.size() ? controls::noteName (held[s].note) : juce::String();
        arc.repaint();
    }

    refreshNoteOnButtons();
    layOutNoteWindow();
}

void ArpAudioProcessorEditor::refreshNoteOnButtons()
{
    const auto choice = playback.getPreviousChoice();
    const auto numHeld = playback.getHeldNotes().size();

    for (size_t s = 0; s < noteOnButtons.size(); ++s)
        noteOnButtons[s]->setToggleState (choice >= 0 && choice < numHeld && static_cast<std::int64_t> (s) == choice,
                                          juce::dontSendNotification);
}

void ArpAudioProcessorEditor::layOutNoteWindow()
{
    previousNoteArrow.setVisible (noteScrollIndex > 0);
    nextNoteArrow.setVisible (noteScrollIndex < controls::lastNoteScrollIndex);

    // Where the four shown slots sit: whole-unit bounds, and the fraction
    // left over as a translation.
    constexpr float columns[] = { 835.4625f, 883.4625f, 929.4625f, 977.4625f };
    constexpr float top = 416.59274f;

    for (int s = 0; s < static_cast<int> (noteArcs.size()); ++s)
    {
        auto& arc = *noteArcs[static_cast<size_t> (s)];
        auto& button = *noteOnButtons[static_cast<size_t> (s)];
        arc.arcThickness = 4.75f;

        const auto k = s - noteScrollIndex;

        if (k < 0 || k >= controls::noteWindowSize)
        {
            arc.setTransform ({});
            arc.setVisible (false);
            button.setVisible (false);
            continue;
        }

        const auto x = columns[k] + 0.86775017f;
        const auto ax = static_cast<float> (controls::roundHalfUp (x)), ay = static_cast<float> (controls::roundHalfUp (top));
        arc.setBounds (static_cast<int> (ax), static_cast<int> (ay), 33, 33);
        arc.setTransform (juce::AffineTransform::translation (x - ax, top - ay));
        button.setBounds (controls::roundHalfUp (16.5 + static_cast<double> (x)) - 7, controls::roundHalfUp (33.0 + static_cast<double> (top) + 8.0) - 4, 14, 14);
        arc.setVisible (true);
        button.setVisible (true);
    }
}

void ArpAudioProcessorEditor::scrollNoteWindow (int slots)
{
    const auto index = juce::jlimit (0, controls::lastNoteScrollIndex, noteScrollIndex + slots);

    if (index != noteScrollIndex)
    {
        noteScrollIndex = index;
        layOutNoteWindow();
    }
}

void ArpAudioProcessorEditor::noteArcHovered (bool entered)
{
    // While the pointer is over any arc, all arcs show their needles.
    if (entered)
    {
        if (noteHoverCount++ == 0)
            for (auto& arc : noteArcs)
                arc->setShowNeedle (true);
        return;
    }

    if (--noteHoverCount <= 0)
    {
        noteHoverCount = 0;
        for (auto& arc : noteArcs)
            arc->setShowNeedle (false);
    }
}

} // namespace mur
