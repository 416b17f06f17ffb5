#include "ArpAudioProcessorEditor.h"

#include "ControlMappings.h"
#include "LinkedKnobs.h"
#include "persistence/UndoHistory.h"
#include "processor/Settings.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NeuronPathOverlay.h"
#include "views/NotePlots.h"
#include "views/PlotOverlay.h"

// The editor's controls: how each is made and wired to the processor, where
// it sits, and how it follows the processor.
namespace mur
{
void ArpAudioProcessorEditor::wire (ValueControl& control, const char* title, const char* tooltip, std::function<void (float)> action)
{
    control.setTitle (title);
    control.setTooltip (tooltip);
    control.onValueChange = [this, action = std::move (action)] (float v)
    {
        action (v);
        markPresetModified();
    };
    control.onGestureStart = [this] { history.beginUserAction(); };
    control.onGestureEnd = [this] { history.endUserAction(); };
}

void ArpAudioProcessorEditor::createControls()
{
    createButtons();
    createPadAndRing();

    // The product logo opens the About overlay once that exists.
    aboutClickArea = std::make_unique<ClickOverlay> ("About MUR", [this] { showAboutOverlay(); });

    for (auto* arrow : { &previousNoteArrow, &nextNoteArrow })
    {
        const auto next = arrow == &nextNoteArrow;
        arrow->setAlpha (0.0f); // the arrows are in the artwork; these only take the clicks
        arrow->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        arrow->setTooltip (next ? "Show next note probability." : "Show previous note probability.");
        arrow->setTitle (next ? "Next note" : "Previous note");
        arrow->onClick = [this, next] { scrollNoteWindow (next ? 1 : -1); };
    }

    rateControl = std::make_unique<RateTimeComponent>();
    wire (*rateControl, "Rate", "Rhythmic division for steps.",
          [this] (float v) { settings.setBeatRate (controls::rateIndexFor (v)); });

    lengthControl = std::make_unique<GateNotesComponent>();
    wire (*lengthControl, "Length", "Note length as a percentage of the step.",
          [this] (float v) { settings.setGatePercentage (controls::gatePercentFor (v)); });
    // Past 100 % the parameter stops; the control shows where it stopped
    // once the drag ends.
    lengthControl->onGestureEnd = [this]
    {
        history.endUserAction();
        syncLengthFromProcessor();
    };

    auto knob = [this] (std::unique_ptr<ImageKnobComponent>& target, float initial, const char* title, const char* tip,
                        std::function<void (float)> action)
    {
        target = std::make_unique<ImageKnobComponent> (nullptr, initial);
        wire (*target, title, tip, std::move (action));
        target->valueText = controls::percentText;
    };

    knob (inertiaKnob, 0.0f, "Inertia", "Slows state changes; higher values add more inertia.", [this] (float q) { linkedKnobMoved (true, q); });
    knob (echoKnob, 0.05f, "Echo", "Higher values increase the impact of each state on the next.", [this] (float q) { linkedKnobMoved (false, q); });

    feedbackSlider = std::make_unique<CustomSliderComponent> (nullptr, 0.1f, 0.0f, controls::feedbackRange);
    wire (*feedbackSlider, "Feedback", "Amount of output fed back into the neural engine.",
          [this] (float f) { settings.setFeedbackScale (f); });
    feedbackSlider->valueText = [] (float v) { return juce::String (v * controls::feedbackRange, 1); };

    capacityKnob = std::make_unique<ArcKnobComponent> (juce::Colours::white, nullptr, 0.0625f, false, juce::String(), 49);
    capacityKnob->wholeDiscClickable = true;
    wire (*capacityKnob, "Capacity", "Theoretical complexity of arpeggios. Higher values allow longer patterns; too high can sound random.",
          [this] (float v)
          {
              settings.setHiddenSize (controls::hiddenSizeFor (v));
              neuronPathLevel = controls::neuronPathLevelFor (v);
              neuronPath->setLevel (neuronPathLevel);
          });
    capacityKnob->valueText = [] (float v) { return juce::String (controls::hiddenSizeFor (v)) + " units"; };

    randomSlider = std::make_unique<CustomSliderComponent> (nullptr, 0.0f, 0.0f, 1.0f);
    wire (*randomSlider, "Random", "Determinism vs randomness. Left: deterministic; right: more random.",
          [this] (float v) { settings.setSoftmaxGain (controls::softmaxGainFor (v)); });
    randomSlider->valueText = [] (float v) { return v <= 0.01f ? juce::String ("deterministic") : controls::percentText (v) + " random"; };

    knob (repetitionKnob, 0.5f, "Repetition", "Repetition bias. Left: discourages repeats; right: encourages them.",
          [this] (float v) { settings.setRepeatGain (juce::jlimit (0.0f, 1.0f, v)); });
    knob (proximityKnob, 0.0f, "Proximity", "Bias toward adjacent pitches.", [this] (float v) { settings.setNeighborGain (v); });
    knob (breathKnob, 0.0f, "Breath", "Likelihood of playing no note.", [this] (float v) { settings.setNoteGain (0, v); });

    createViews();
    neuronPathLevel = controls::neuronPathLevelFor (static_cast<float> (settings.getMirrors().hiddenSize - 2) / 48.0f);
    createNeuronPath();

    // Added in the order of the layout, which is also the stacking order.
    for (const auto& [component, bounds] : designLayout())
        designRoot.addAndMakeVisible (component);
    setView (0);

    previousNoteArrow.setVisible (noteScrollIndex > 0);
    nextNoteArrow.setVisible (noteScrollIndex < controls::lastNoteScrollIndex);
}

std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> ArpAudioProcessorEditor::designLayout()
{
    return {
        { aboutClickArea.get(), { 514, 493, 50, 13 } },
        { activityView.get(), { 36, 107, 234, 109 } },
        { mapView.get(), { 36, 107, 234, 109 } },
        { topologyView.get(), { 36, 107, 234, 109 } },
        { probabilityPlot.get(), { 807, 123, 234, 93 } },
        { choicePlot.get(), { 804, 107, 240, 95 } },
        { plotOverlay.get(), { 36, 107, 234, 109 } },
        { &previousNoteArrow, { 815, 428, 7, 12 } },
        { &nextNoteArrow, { 1025, 428, 7, 12 } },
        { holdButton.get(), { 1012, 479, 10, 10 } },
        { circularTime.get(), { 350, 103, 380, 380 } },
        { resetButton.get(), { 825, 479, 10, 10 } },
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
        { saveButton.get(), { 728, 21, 16, 16 } },
        { reseedButton.get(), { 174, 287, 17, 17 } },
        { undoButton.get(), { 330, 23, 12, 12 } },
        { redoButton.get(), { 358, 23, 12, 12 } },
        { previousButton.get(), { 401, 23, 7, 12 } },
        { nextButton.get(), { 669, 23, 7, 12 } },
        { accentSettingsButton.get(), { 673, 139, 19, 19 } },
        { &presetLabel, { 432, 20, 215, 18 } },
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
        settings.resetNoteGains();
        markPresetModified();

        // The arcs move to 0.5, and the host's parameters follow them.
        for (int slot = 1; slot <= controls::numNoteSlots; ++slot)
            settings.setNoteGain (slot, settings.getNoteGain (slot));
        updateNoteSliders();
    });

    linkButton = std::make_unique<CustomButtonComponent> ("Link");
    linkButton->setClickingTogglesState (true);
    add (*linkButton, "Keep memory span constant while editing Inertia and Echo.", [this]
    {
        settings.setLinkLeakRecurrence (linkButton->getToggleState());
        if (linkButton->getToggleState())
            memorySpan = link::memorySpan (settings.getMirrors().leakRate, settings.getMirrors().recurrenceScale);
    });

    saveButton = std::make_unique<SaveButtonComponent> ("savePresetButton");
    add (*saveButton, "Save preset to file.", [this] { savePresetButtonClicked(); });

    reseedButton = std::make_unique<ReseedButtonComponent> ("reseedButton");
    add (*reseedButton, "Reseed the neural engine to randomize behaviour.", [this] { reseedClicked(); });

    accentSettingsButton = std::make_unique<SeqSettingsButtonComponent> ("pulseMenuToggleButton");
    add (*accentSettingsButton, "Open or close accent sequencer settings.", [this]
    {
        circularTime->toggleSettings();
        accentSettingsButton->setToggleState (circularTime->isSettingsOpen(), juce::dontSendNotification);
        repaint (padRect.getSmallestIntegerContainer());
    });

    undoButton = std::make_unique<UndoButtonComponent> ("undoButton");
    add (*undoButton, "Undo last change.", [this] { if (history.canUndo()) history.undo(); });

    redoButton = std::make_unique<RedoButtonComponent> ("redoButton");
    add (*redoButton, "Redo last undone change.", [this] { if (history.canRedo()) history.redo(); });

    previousButton = std::make_unique<presetMenuPreviousButtonComponent> ("presetMenuPreviousButton", 0);
    add (*previousButton, "Load previous preset in folder.", [this] { loadAdjacentPreset (false); });

    nextButton = std::make_unique<presetMenuPreviousButtonComponent> ("presetMenuNextButton", 1);
    add (*nextButton, "Load next preset in folder.", [this] { loadAdjacentPreset (true); });
}

ImageKnobComponent& ArpAudioProcessorEditor::getKnob (const juce::String& name)
{
    if (name == "Inertia") return *inertiaKnob;
    if (name == "Echo") return *echoKnob;
    if (name == "Repetition") return *repetitionKnob;
    if (name == "Proximity") return *proximityKnob;
    return *breathKnob;
}

ValueControl* ArpAudioProcessorEditor::getControl (const juce::String& name)
{
    for (auto* child : designRoot.getChildren())
        if (auto* control = dynamic_cast<ValueControl*> (child); control != nullptr && control->getTitle() == name)
            return control;
    return nullptr;
}

juce::Button* ArpAudioProcessorEditor::getButton (const juce::String& name)
{
    for (auto* child : designRoot.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getName() == name)
            return button;
    return nullptr;
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
            inertiaKnob->setValue (1.0f - m.leakRate, juce::dontSendNotification);
        else
            echoKnob->setValue (m.recurrenceScale / 20.0f, juce::dontSendNotification);
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
        echoKnob->setValue (move->recurrenceScale / 20.0f, juce::dontSendNotification);
    else
        inertiaKnob->setValue (1.0f - move->leakRate, juce::dontSendNotification);
}

void ArpAudioProcessorEditor::syncControlsFromProcessor()
{
    const auto& m = settings.getMirrors();
    const auto wasSyncing = std::exchange (syncingControls, true);

    holdButton->setToggleState (m.holdMode, juce::dontSendNotification);
    linkButton->setToggleState (settings.getLinkLeakRecurrence(), juce::dontSendNotification);
    if (settings.getLinkLeakRecurrence())
        memorySpan = link::memorySpan (m.leakRate, m.recurrenceScale);

    // The controls only show what the processor holds: writing it back would
    // put rounded copies over a value a host has just restored.
    const auto show = juce::dontSendNotification;
    inertiaKnob->setValue (1.0f - m.leakRate, show);
    echoKnob->setValue (m.recurrenceScale / 20.0f, show);
    repetitionKnob->setValue (juce::jlimit (0.0f, 1.0f, m.repeatGain.get()), show);
    proximityKnob->setValue (m.neighborGain, show);
    breathKnob->setValue (settings.getNoteGain (0), show);

    // These move only when the processor is more than a hair away, so a
    // control is never nudged by its own rounding.
    auto follow = [show] (ValueControl& control, float target)
    {
        if (std::abs (control.getValue() - target) > 0.001f)
            control.setValue (target, show);
    };

    follow (*rateControl, controls::positionForRate (m.rateIndex));
    follow (*feedbackSlider, m.feedbackScale / controls::feedbackRange);
    follow (*capacityKnob, controls::positionForHiddenSize (m.hiddenSize));
    follow (*randomSlider, controls::positionForSoftmaxGain (m.softmaxGain));
    syncLengthFromProcessor();

    syncingControls = wasSyncing;
}

void ArpAudioProcessorEditor::syncLengthFromProcessor()
{
    const auto target = controls::positionForGate (settings.getMirrors().gatePercentage);

    if (std::abs (lengthControl->getValue() - target) > 0.001f)
        lengthControl->setValue (target, juce::dontSendNotification);
}

} // namespace mur
