#include "ArpAudioProcessorEditor.h"

#include "ControlMappings.h"
#include "LinkedKnobs.h"
#include "persistence/UndoHistory.h"
#include "processor/Settings.h"
#include "views/NeuronPathOverlay.h"
#include "views/ViewsPanel.h"

// The editor's own controls (the Engine and Notes panels' knobs and sliders,
// Rate and Length, the small buttons): how each is made and wired to the
// processor, where every piece sits, and how the controls follow the processor.
namespace mur
{
void ArpAudioProcessorEditor::wire (ValueControl& control, const char* title, const char* tooltip, std::function<void (float)> action)
{
    control.setTitle (title);
    control.setTooltip (tooltip);
    control.onValueChange = [this, action = std::move (action)] (float v)
    {
        action (v);
        userEdited();
    };
    control.onGestureStart = [this] { history.beginUserAction(); };
    control.onGestureEnd = [this]
    {
        history.endUserAction();
        // Let go, the control shows where its parameter stopped.
        followControls();
    };
}

void ArpAudioProcessorEditor::createControls()
{
    using controls::parameterRange;
    createButtons();

    rateControl = std::make_unique<RateTimeComponent>();
    wire (*rateControl, "Rate", "Rhythmic division for steps.",
          [this] (float v) { settings.setBeatRate (controls::rateIndexFor (v)); });

    octaveControl = std::make_unique<OctaveRangeControl>();
    wire (*octaveControl, "Octaves", "Spreads the held notes over more octaves; the network chooses among every copy.",
          [this] (float v) { settings.setOctaveRange (controls::octaveRangeFor (v)); });

    lengthControl = std::make_unique<GateNotesComponent>();
    wire (*lengthControl, "Length", "Note length as a percentage of the step.",
          [this] (float v) { settings.setGatePercentage (controls::gatePercentFor (v)); });

    auto knob = [this] (std::unique_ptr<ImageKnobComponent>& target, float initial, const char* title, const char* tip,
                        std::function<void (float)> action)
    {
        target = std::make_unique<ImageKnobComponent> (nullptr, initial);
        wire (*target, title, tip, std::move (action));
        target->valueText = controls::percentText;
    };

    knob (inertiaKnob, controls::inertiaPosition (controls::defaultOf (ids::pos::leakRate)), "Inertia",
          "Slows state changes; higher values add more inertia.", [this] (float q) { linkedKnobMoved (true, q); });
    knob (echoKnob, controls::echoPosition (controls::defaultOf (ids::pos::recurrenceScale)), "Echo",
          "Higher values increase the impact of each state on the next.", [this] (float q) { linkedKnobMoved (false, q); });

    const auto feedback = parameterRange (ids::pos::feedbackScale);
    feedbackSlider = std::make_unique<CustomSliderComponent> (nullptr, controls::defaultOf (ids::pos::feedbackScale) / feedback.end,
                                                              feedback.start, feedback.end);
    wire (*feedbackSlider, "Feedback", "Amount of output fed back into the neural engine.",
          [this] (float f) { settings.setFeedbackScale (f); });
    feedbackSlider->valueText = [end = feedback.end] (float v) { return juce::String (v * end, 1); };

    capacityKnob = std::make_unique<ArcKnobComponent> (juce::Colours::white, nullptr,
                                                       controls::positionForHiddenSize (static_cast<int> (controls::defaultOf (ids::pos::hiddenSize))),
                                                       false, juce::String(), controls::hiddenSizeSteps());
    capacityKnob->wholeDiscClickable = true;
    wire (*capacityKnob, "Capacity", "Theoretical complexity of arpeggios. Higher values allow longer patterns; too high can sound random.",
          [this] (float v) { settings.setHiddenSize (controls::hiddenSizeFor (v)); });
    capacityKnob->valueText = [] (float v) { return juce::String (controls::hiddenSizeFor (v)) + " units"; };

    randomSlider = std::make_unique<CustomSliderComponent> (nullptr, controls::positionForSoftmaxGain (controls::defaultOf (ids::pos::softmaxGain)),
                                                            0.0f, 1.0f);
    wire (*randomSlider, "Random", "Determinism vs randomness. Left: deterministic; right: more random.",
          [this] (float v) { settings.setSoftmaxGain (controls::softmaxGainFor (v)); });
    randomSlider->valueText = [] (float v) { return v <= 0.01f ? juce::String ("deterministic") : controls::percentText (v) + " random"; };

    knob (repetitionKnob, controls::defaultOf (ids::pos::repeatGain), "Repetition", "Repetition bias. Left: discourages repeats; right: encourages them.",
          [this] (float v) { settings.setRepeatGain (v); });
    knob (proximityKnob, controls::defaultOf (ids::pos::neighborGain), "Proximity", "Bias toward adjacent pitches.",
          [this] (float v) { settings.setNeighborGain (v); });
    knob (breathKnob, controls::defaultOf (ids::pos::noteGain0), "Breath", "Likelihood of playing no note.",
          [this] (float v) { settings.setNoteGain (0, v); });
}

std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> ArpAudioProcessorEditor::designLayout()
{
    using views::NotesPanel, views::ViewsPanel;
    return {
        { aboutClickArea.get(), { 514, 493, 50, 13 } },
        { viewsPanel.get(), { ViewsPanel::x, ViewsPanel::y, ViewsPanel::width, ViewsPanel::height } },
        { notesPanel.get(), { NotesPanel::x, NotesPanel::y, NotesPanel::width, NotesPanel::height } },
        { holdButton.get(), { 1012, 479, 10, 10 } },
        { ring.get(), { 350, 103, 380, 380 } },
        { resetButton.get(), { 825, 479, 10, 10 } },
        { octaveControl.get(), { 880, 476, 96, 16 } },
        { rateControl.get(), { 344, 105, 38, 38 } },
        { lengthControl.get(), { 697, 437, 38, 38 } },
        { linkButton.get(), { 148, 436, 10, 10 } },
        { inertiaKnob.get(), { 66, 405, 70, 70 } },
        { echoKnob.get(), { 169, 405, 70, 70 } },
        { feedbackSlider.get(), { 106, 232, 166, 19 } },
        { capacityKnob.get(), { 118, 291, 69, 69 } },
        { neuronPath.get(), { 118, 291, 69, 69 } },
        { randomSlider.get(), { 806, 232, 173, 19 } },
        { repetitionKnob.get(), { 809, 291, 70, 70 } },
        { proximityKnob.get(), { 889, 291, 70, 70 } },
        { breathKnob.get(), { 969, 291, 70, 70 } },
        { reseedButton.get(), { 174, 287, 17, 17 } },
        { accentSettingsButton.get(), { 673, 139, 19, 19 } },
        { captureHandle.get(), { 708, 64, 56, 16 } },
        { presetBar.get(), { PresetBar::x, PresetBar::y, PresetBar::width, PresetBar::height } },
        { noteWindow.get(), { NoteWindow::x, NoteWindow::y, NoteWindow::width, NoteWindow::height } },
    };
}

void ArpAudioProcessorEditor::createButtons()
{
    auto add = [this] (juce::Button& button, const char* tip, std::function<void()> action)
    {
        button.setTooltip (tip);
        button.onClick = [this, action = std::move (action)]
        {
            const UndoHistory::ScopedUserAction userAction (history);
            action();
        };
    };

    holdButton = std::make_unique<CustomButtonComponent> ("holdButton");
    holdButton->setClickingTogglesState (true);
    add (*holdButton, "Hold incoming notes to continue arpeggiation after key release.",
         [this] { settings.setHoldMode (holdButton->getToggleState()); });

    resetButton = std::make_unique<CustomButtonComponent> ("resetNoteGainsDot");
    add (*resetButton, "Reset all note probabilities to default.", [this]
    {
        // The gains go back to their default, and the host's parameters follow them.
        settings.resetNoteGains();
        for (int slot = 1; slot <= controls::numNoteSlots; ++slot)
            settings.setNoteGain (slot, settings.getNoteGain (slot));
        userEdited();
    });

    linkButton = std::make_unique<CustomButtonComponent> ("Link");
    linkButton->setClickingTogglesState (true);
    add (*linkButton, "Keep memory span constant while editing Inertia and Echo.", [this]
    {
        settings.setLinkLeakRecurrence (linkButton->getToggleState());
        if (linkButton->getToggleState())
            memorySpan = link::memorySpan (settings.getMirrors().leakRate, settings.getMirrors().recurrenceScale);
    });

    reseedButton = std::make_unique<ReseedButtonComponent> ("reseedButton");
    add (*reseedButton, "Reseed the neural engine to randomize behaviour.", [this] { reseed(); });

    accentSettingsButton = std::make_unique<SeqSettingsButtonComponent> ("pulseMenuToggleButton");
    add (*accentSettingsButton, "Open or close accent sequencer settings.", [this]
    {
        ring->toggleSettings();
        accentSettingsButton->setToggleState (ring->isSettingsOpen(), juce::dontSendNotification);
        pad->repaint();
    });
}

void ArpAudioProcessorEditor::reseed()
{
    settings.reseed();
    userEdited();

    // The pad's checkpoints keep their places but take the colours the new
    // network gives those places.
    pad->getPad().showCheckpoints (settings.getXYCheckpoints());
    pad->getPad().recolourCheckpoints();
}

//==============================================================================
void ArpAudioProcessorEditor::linkedKnobMoved (bool inertiaMoved, float q)
{
    if (linkGuard)
        return;

    const auto& m = settings.getMirrors();
    const auto linked = linkButton->getToggleState();
    const auto move = inertiaMoved ? link::inertiaMoved (q, linked, memorySpan, m.recurrenceScale)
                                   : link::echoMoved (q, linked, memorySpan, m.leakRate);

    const juce::ScopedValueSetter<bool> guard (linkGuard, true);

    // A refused move puts the knob back where its parameter is.
    if (! move)
    {
        if (inertiaMoved)
            inertiaKnob->setValue (controls::inertiaPosition (m.leakRate), juce::dontSendNotification);
        else
            echoKnob->setValue (controls::echoPosition (m.recurrenceScale), juce::dontSendNotification);
        return;
    }

    // The knob that moved sets its own parameter first; a linked partner
    // follows, knob and all.
    const auto setInertia = [&] { settings.setLeakRate (move->leakRate); };
    const auto setEcho = [&] { settings.setRecurrenceScale (move->recurrenceScale); };
    inertiaMoved ? setInertia() : setEcho();

    if (! linked)
        return;

    inertiaMoved ? setEcho() : setInertia();
    if (inertiaMoved)
        echoKnob->setValue (controls::echoPosition (move->recurrenceScale), juce::dontSendNotification);
    else
        inertiaKnob->setValue (controls::inertiaPosition (move->leakRate), juce::dontSendNotification);
}

void ArpAudioProcessorEditor::followControls()
{
    const auto& m = settings.getMirrors();

    holdButton->setToggleState (m.holdMode, juce::dontSendNotification);
    linkButton->setToggleState (settings.getLinkLeakRecurrence(), juce::dontSendNotification);
    if (settings.getLinkLeakRecurrence())
        memorySpan = link::memorySpan (m.leakRate, m.recurrenceScale);

    // The controls only show what the processor holds: writing it back would
    // put rounded copies over a value a host has just restored. A control
    // under the user's hand shows the user's position until it is let go.
    const auto show = [] (ValueControl& control, float target)
    {
        if (! control.isInGesture())
            control.setValue (target, juce::dontSendNotification);
    };
    show (*inertiaKnob, controls::inertiaPosition (m.leakRate));
    show (*octaveControl, controls::positionForOctaveRange (m.octaveRange));
    show (*echoKnob, controls::echoPosition (m.recurrenceScale));
    show (*repetitionKnob, juce::jlimit (0.0f, 1.0f, m.repeatGain.get()));
    show (*proximityKnob, m.neighborGain);
    show (*breathKnob, settings.getNoteGain (0));

    // These move only when the processor is more than a hair away, so a
    // control is never nudged by its own rounding.
    const auto follow = [] (ValueControl& control, float target)
    {
        if (! control.isInGesture() && std::abs (control.getValue() - target) > 0.001f)
            control.setValue (target, juce::dontSendNotification);
    };
    follow (*rateControl, controls::positionForRate (m.rateIndex));
    follow (*feedbackSlider, m.feedbackScale / controls::parameterRange (ids::pos::feedbackScale).end);
    follow (*capacityKnob, controls::positionForHiddenSize (m.hiddenSize));
    follow (*randomSlider, controls::positionForSoftmaxGain (m.softmaxGain));
    follow (*lengthControl, controls::positionForGate (m.gatePercentage));
}

//==============================================================================
namespace
{
juce::Component* findDescendant (juce::Component& root, const std::function<bool (juce::Component&)>& matches)
{
    for (auto* child : root.getChildren())
    {
        if (matches (*child))
            return child;
        if (auto* found = findDescendant (*child, matches))
            return found;
    }
    return nullptr;
}
} // namespace

ValueControl* EditorPieces::control (const juce::String& title) const
{
    return dynamic_cast<ValueControl*> (findDescendant (designRoot, [&title] (juce::Component& c)
    {
        return dynamic_cast<ValueControl*> (&c) != nullptr && c.getTitle() == title;
    }));
}

ImageKnobComponent& EditorPieces::knob (const juce::String& title) const
{
    auto* found = dynamic_cast<ImageKnobComponent*> (control (title));
    jassert (found != nullptr);
    return *found;
}

juce::Button* EditorPieces::button (const juce::String& name) const
{
    return dynamic_cast<juce::Button*> (findDescendant (designRoot, [&name] (juce::Component& c)
    {
        return dynamic_cast<juce::Button*> (&c) != nullptr && c.getName() == name;
    }));
}

} // namespace mur
