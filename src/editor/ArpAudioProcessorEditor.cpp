#include "ArpAudioProcessorEditor.h"

#include "EditorResources.h"
#include "LinkedKnobs.h"
#include "processor/ArpAudioProcessor.h"

namespace mur
{
namespace
{
// Where each control sits, in design units.
const juce::Rectangle<int> inertiaBounds { 66, 405, 70, 70 }, echoBounds { 169, 405, 70, 70 },
    repetitionBounds { 809, 291, 70, 70 }, proximityBounds { 889, 291, 70, 70 }, breathBounds { 969, 291, 70, 70 },
    holdBounds { 1012, 479, 10, 10 }, resetBounds { 825, 479, 10, 10 }, linkBounds { 148, 436, 10, 10 },
    saveBounds { 728, 21, 16, 16 }, reseedBounds { 174, 287, 17, 17 }, undoBounds { 330, 23, 12, 12 },
    redoBounds { 358, 23, 12, 12 }, previousBounds { 401, 23, 7, 12 }, nextBounds { 669, 23, 7, 12 },
    accentSettingsBounds { 673, 139, 19, 19 }, presetLabelBounds { 432, 20, 215, 18 },
    circularTimeBounds { 350, 103, 380, 380 };

int heldNoteHash (const HeldNotes& held)
{
    auto h = static_cast<std::uint32_t> (held.size());
    for (int i = 0; i < held.size(); ++i)
        h = h * 131u + static_cast<std::uint32_t> (held[i].note);
    return static_cast<int> (h);
}
} // namespace

ArpAudioProcessorEditor::ArpAudioProcessorEditor (ArpAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      processor (p),
      settings (p.getSettings()),
      presets (p.getPresets()),
      history (p.getHistory()),
      playback (p.getPlayback()),
      engine (p.getEngine())
{
    processor.addChangeListener (this);
    setAlwaysOnTop (true);
    setWantsKeyboardFocus (true);
    setOpaque (true);

    tooltipWindow.setLookAndFeel (&tooltipLookAndFeel);
    tooltipWindow.suppressTips = [this] { return ! presetBarShown; };

    const auto inputs = paletteSettings();
    noteColours = palette::computeNoteColours (inputs.numHeld, inputs.darkBias, inputs.lightBias);

    addAndMakeVisible (designRoot);

    createButtons();

    // Half the design, rounded up: 539 x 270.
    setResizeLimits ((designWidth + 1) / 2, (designHeight + 1) / 2, designWidth * 2, designHeight * 2);
    getConstrainer()->setFixedAspectRatio (2.0);
    setResizable (true, false);
    setSize (designWidth, designHeight);

    createKnobs();

    presetLabel.setColour (juce::Label::textColourId, juce::Colour::fromString ("FF0B0070"));
    presetLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    presetLabel.setFont (presetFont (13.0f));
    presetLabel.setJustificationType (juce::Justification::centred);
    presetLabel.setBorderSize ({});
    presetLabel.setEditable (false);
    presetLabel.setInterceptsMouseClicks (true, true);
    presetLabel.setTooltip ("Click to load preset from file.");
    presetLabel.addMouseListener (this, false);
    designRoot.addAndMakeVisible (presetLabel);

    presetName = presets.getCurrentPresetName();
    presets.syncCurrentPresetFolder();
    if (presetName.isNotEmpty())
        refreshPresetLabel();

    syncControlsFromProcessor();
    resized();

    savingPreset = false;
    startTimer (10);
}

ArpAudioProcessorEditor::~ArpAudioProcessorEditor()
{
    presetLabel.removeMouseListener (this);
    processor.removeChangeListener (this);
    stopTimer();
    tooltipWindow.setLookAndFeel (nullptr);
}

//==============================================================================
void ArpAudioProcessorEditor::createKnobs()
{
    auto knob = [this] (std::unique_ptr<ImageKnobComponent>& target, float initial, const char* tip,
                        std::function<void (float)> action)
    {
        target = std::make_unique<ImageKnobComponent> ([this, action = std::move (action)] (float v)
        {
            action (v);
            markPresetModified();
        }, initial);
        target->onGestureStart = [this] { history.beginUserAction(); };
        target->onGestureEnd = [this] { history.endUserAction(); };
        target->setTooltip (tip);
        designRoot.addAndMakeVisible (*target);
    };

    knob (inertiaKnob, 0.0f, "Slows state changes; higher values add more inertia.", [this] (float q) { linkedKnobMoved (true, q); });
    knob (echoKnob, 0.05f, "Higher values increase the impact of each state on the next.", [this] (float q) { linkedKnobMoved (false, q); });
    knob (repetitionKnob, 0.5f, "Repetition bias. Left: discourages repeats; right: encourages them.",
          [this] (float v) { settings.setRepeatGain (juce::jlimit (0.0f, 1.0f, v)); });
    knob (proximityKnob, 0.0f, "Bias toward adjacent pitches.", [this] (float v) { settings.setNeighborGain (v); });
    knob (breathKnob, 0.0f, "Likelihood of playing no note.", [this] (float v) { settings.setNoteGain (0, v); });
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
        designRoot.addAndMakeVisible (button);
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
    add (*accentSettingsButton, "Open or close accent sequencer settings.", [] {});

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

juce::Button* ArpAudioProcessorEditor::getButton (const juce::String& name)
{
    for (auto* child : designRoot.getChildren())
        if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getName() == name)
            return button;
    return nullptr;
}

//==============================================================================
void ArpAudioProcessorEditor::resized()
{
    const auto sx = static_cast<float> (getWidth()) / designWidth;
    const auto sy = static_cast<float> (getHeight()) / designHeight;

    designRoot.setBounds (0, 0, designWidth, designHeight);
    designRoot.setTransform (juce::AffineTransform::scale (sx, sy));
    designRoot.setPixelSize (getWidth(), getHeight());

    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        { holdButton.get(), holdBounds }, { resetButton.get(), resetBounds }, { linkButton.get(), linkBounds },
        { inertiaKnob.get(), inertiaBounds }, { echoKnob.get(), echoBounds }, { repetitionKnob.get(), repetitionBounds },
        { proximityKnob.get(), proximityBounds }, { breathKnob.get(), breathBounds }, { saveButton.get(), saveBounds },
        { reseedButton.get(), reseedBounds }, { undoButton.get(), undoBounds }, { redoButton.get(), redoBounds },
        { previousButton.get(), previousBounds }, { nextButton.get(), nextBounds },
        { accentSettingsButton.get(), accentSettingsBounds }, { &presetLabel, presetLabelBounds },
    };

    for (const auto& [component, bounds] : layout)
        if (component != nullptr)
            component->setBounds (bounds);

    const auto centre = circularTimeBounds.toFloat().getCentre();
    padRect = { (centre.x - 145.0f) * sx, (centre.y - 145.0f) * sy, 290.0f * sx, 290.0f * sy };
}

bool ArpAudioProcessorEditor::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();

    if (key.getKeyCode() == 'H' && mods.isCtrlDown() && mods.isShiftDown())
    {
        setPresetBarShown (! presetBarShown);
        return true;
    }

    return false;
}

void ArpAudioProcessorEditor::setPresetBarShown (bool shouldShow)
{
    presetBarShown = shouldShow;
    undoButton->setVisible (shouldShow);
    redoButton->setVisible (shouldShow);

    for (juce::Component* c : { static_cast<juce::Component*> (previousButton.get()), static_cast<juce::Component*> (nextButton.get()),
                                static_cast<juce::Component*> (&presetLabel), static_cast<juce::Component*> (saveButton.get()) })
    {
        c->setAlpha (shouldShow ? 1.0f : 0.0f);
        c->setEnabled (shouldShow);
    }

    presetLabel.setInterceptsMouseClicks (shouldShow, shouldShow);
    presetLabel.setMouseCursor (shouldShow ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
    designRoot.setPresetBarShown (shouldShow);
    tooltipWindow.hideTip();
}

//==============================================================================
void ArpAudioProcessorEditor::mouseEnter (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        presetLabel.setMouseCursor (presetBarShown ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor);
}

void ArpAudioProcessorEditor::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        presetLabel.setMouseCursor (juce::MouseCursor::NormalCursor);
}

void ArpAudioProcessorEditor::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel && presetBarShown)
        loadPresetButtonClicked();
}

juce::MouseCursor ArpAudioProcessorEditor::getMouseCursor()
{
    // The pointing hand over the XY pad's circle.
    const auto mouse = getMouseXYRelative().toFloat();
    const auto centre = padRect.getCentre();
    const auto radius = padRect.getWidth() / 2.0f;
    return mouse.getDistanceSquaredFrom (centre) <= radius * radius ? juce::MouseCursor::PointingHandCursor
                                                                    : juce::MouseCursor::NormalCursor;
}

void ArpAudioProcessorEditor::reseedClicked()
{
    settings.reseed();
    refreshPalette();

    // The pad's checkpoints keep their places but take the colours the new
    // network gives those places.
    const auto inputs = paletteSettings();
    auto checkpoints = settings.getXYCheckpoints();
    for (auto& checkpoint : checkpoints)
        checkpoint.colour = palette::positionColour (engine, noteColours, inputs, checkpoint.x, checkpoint.y);
    settings.setXYCheckpoints (std::move (checkpoints));

    markPresetModified();
    repaint();
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

    syncingControls = wasSyncing;
}

void ArpAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source != &processor)
        return;

    syncingControls = true;
    refreshPresetLabel();
    syncControlsFromProcessor();
    syncingControls = false;
    repaint();
}

palette::Settings ArpAudioProcessorEditor::paletteSettings() const
{
    const auto& m = settings.getMirrors();
    palette::Settings inputs;
    inputs.hiddenSize = m.hiddenSize;
    inputs.numHeld = playback.getHeldNotes().size();
    inputs.breathGain = settings.getNoteGain (0);
    inputs.darkBias = m.darkPaletteBias;
    inputs.lightBias = m.lightPaletteBias;
    return inputs;
}

void ArpAudioProcessorEditor::refreshPalette()
{
    const auto inputs = paletteSettings();
    noteColours = palette::computeNoteColours (inputs.numHeld, inputs.darkBias, inputs.lightBias);

    if (auto units = palette::computeUnitColours (engine, noteColours, inputs); ! units.empty())
        unitColours = std::move (units);

    ++paletteRefreshCount;
    repaint();
}

void ArpAudioProcessorEditor::timerCallback()
{
    const auto steps = settings.getMirrors().numSteps.get();
    if (settings.getNumBeatPulseGains() < steps)
        settings.ensureBeatPulseGainCount (steps);

    syncingControls = true;
    if (const auto hash = heldNoteHash (playback.getHeldNotes()); hash != heldNotesHash)
    {
        heldNotesHash = hash;
        refreshPalette();
    }
    syncingControls = false;

    angle += 0.015f;
    if (angle > 6283.1855f)
        angle -= 6283.1855f;

    if (undoButton->isEnabled() != history.canUndo())
        undoButton->setEnabled (history.canUndo());
    if (redoButton->isEnabled() != history.canRedo())
        redoButton->setEnabled (history.canRedo());
}

} // namespace mur
