#include "ArpAudioProcessorEditor.h"

#include "ControlMappings.h"
#include "engine/NoteSelection.h"
#include "persistence/UndoHistory.h"
#include "persistence/EditorConnection.h"
#include "persistence/PresetLibrary.h"
#include "processor/Playback.h"
#include "processor/Settings.h"
#include "processor/SharedEngine.h"
#include "processor/TakeBuilder.h"
#include "views/NeuronPathOverlay.h"
#include "views/ViewsPanel.h"

namespace mur
{
namespace
{
// The circular time control's square; the XY pad sits in its middle.
const juce::Rectangle<int> circularTimeBounds { 350, 103, 380, 380 };
} // namespace

ArpAudioProcessorEditor::ArpAudioProcessorEditor (EditorConnection& p)
    : juce::AudioProcessorEditor (p.getAudioProcessor()),
      processor (p),
      settings (p.getSettings()),
      presets (p.getPresets()),
      history (p.getHistory()),
      playback (p.getPlayback())
{
    setAlwaysOnTop (true);
    setWantsKeyboardFocus (true);
    setOpaque (true);

    tips = std::make_unique<TooltipHost> (*this, tooltipLookAndFeel, [this] { return ! presetBar->isShown(); });

    addAndMakeVisible (designRoot);

    // Half the design, rounded up: 539 x 270.
    setResizeLimits ((designWidth + 1) / 2, (designHeight + 1) / 2, designWidth * 2, designHeight * 2);
    getConstrainer()->setFixedAspectRatio (2.0);
    setResizable (true, false);
    setSize (designWidth, designHeight);

    createPieces();
    createControls();

    // Added in the order of the layout, which is also the stacking order.
    for (const auto& [component, bounds] : designLayout())
        designRoot.addAndMakeVisible (component);

    addAndMakeVisible (*pad);
    addAndMakeVisible (*overlays);

    copySlots();
    followProcessor();
    resized();

    overlays->start();
    processor.getChangeBroadcaster().addChangeListener (this);
    heartbeat = std::make_unique<Heartbeat> (*this, [this] (int ticks) { beat (ticks); }, [this] { return pace(); });
}

ArpAudioProcessorEditor::~ArpAudioProcessorEditor()
{
    processor.getChangeBroadcaster().removeChangeListener (this);
    heartbeat.reset();
    overlays.reset();
    tips.reset();
}

EditorPieces ArpAudioProcessorEditor::pieces()
{
    return { designRoot, *presetBar, *noteWindow, *viewsPanel, *notesPanel, *neuronPath, *overlays, *pad, *ring,
             *aboutClickArea, *captureHandle, highlight, paletteRefreshCount };
}

//==============================================================================
void ArpAudioProcessorEditor::createPieces()
{
    presetBar = std::make_unique<PresetBar> (presets, history);
    presetBar->onShownChanged = [this] (bool shown)
    {
        designRoot.setPresetBarShown (shown);
        tips->hideTip();
    };
    presetBar->onLoaded = [this] { followProcessor(); };

    captureHandle = std::make_unique<CaptureHandle> (CaptureHandle::Links {
        processor.getCapturedTake(), [this] { return presets.getCurrentPresetName(); } });

    noteWindow = std::make_unique<NoteWindow>();
    noteWindow->onGainChange = [this] (int slot, float gain)
    {
        settings.setNoteGain (slot, gain);
        userEdited();
    };
    noteWindow->onGestureStart = [this] { history.beginUserAction(); };
    noteWindow->onGestureEnd = [this] { history.endUserAction(); };
    noteWindow->onPreview = [this] (int slot)
    {
        // A slot without a held note has nothing to play.
        if (slot < slots.size())
            playback.queuePreviewNote (slots[slot].note, slots[slot].velocity);
    };

    viewsPanel = std::make_unique<views::ViewsPanel>();
    notesPanel = std::make_unique<views::NotesPanel>();

    overlays = std::make_unique<OverlayHost> (&transparentLookAndFeel);
    aboutClickArea = std::make_unique<ClickOverlay> ("About MUR", [this] { overlays->showAbout(); });

    pad = std::make_unique<XYTrackpadOverlay> (history, highlight);
    auto& model = pad->getPad();
    model.onInputsChanged = [this] (float x, float y)
    {
        settings.setControlInput (0, x);
        settings.setControlInput (1, y);
        userEdited();
        pad->repaint();
    };
    model.onCheckpointsChanged = [this] (const std::vector<XYCheckpoint>& list)
    {
        settings.setXYCheckpoints (list);
        userEdited();
        pad->repaint();
    };
    model.colourAt = [this] (float x, float y)
    {
        return palette::positionColour (publishedStep.inputWeights, publishedStep.readoutWeights, noteColours, paletteSettings(), x, y);
    };
    overlays->onAboutShownChanged = [this] (bool shown) { pad->setVisible (! shown); };

    ring = std::make_unique<CircularTimeComponent> (CircularTimeComponent::Links { history, highlight, &transparentLookAndFeel },
                                                    settings, published);
    ring->onEdited = [this] { userEdited(); };
    ring->onAccentStep = [this] (int step)
    {
        if (neuronPath != nullptr)
            neuronPath->flash (step);
    };
    pad->isActive = [this] { return ! ring->isSettingsOpen() && ! overlays->isShown(); };

    highlight.onChange = [this]
    {
        ring->applyHighlight();
        ring->tick();
        pad->repaint();
    };

    neuronPath = std::make_unique<views::NeuronPathOverlay>();
    neuronPath->accentOf = [this] (int step)
    {
        const auto& m = settings.getMirrors();
        if (m.numSteps < 1 || step < 0)
            return 0.0f;
        return juce::jlimit (-1.0f, 1.0f, settings.getBeatPulseGain (step) * m.pulseGain);
    };
    neuronPath->onTint = [this] (juce::Colour colour, float level, float strength) { viewsPanel->setTint (colour, level, strength); };
    neuronPath->setSeed (settings.getArpSeed());
    neuronPath->generateExtras();
    neuronPath->setLevel (controls::neuronPathLevelFor (controls::positionForHiddenSize (settings.getMirrors().hiddenSize)));
}

//==============================================================================
void ArpAudioProcessorEditor::resized()
{
    const auto sx = static_cast<float> (getWidth()) / designWidth;
    const auto sy = static_cast<float> (getHeight()) / designHeight;

    designRoot.setBounds (0, 0, designWidth, designHeight);
    designRoot.setTransform (juce::AffineTransform::scale (sx, sy));
    designRoot.setPixelSize (getWidth(), getHeight());

    // Sizing the window runs this before the pieces exist.
    if (pad == nullptr)
        return;

    for (const auto& [component, bounds] : designLayout())
        component->setBounds (bounds);

    aboutClickArea->toFront (false);
    neuronPath->toFront (false);

    const auto centre = circularTimeBounds.toFloat().getCentre();
    pad->setPadArea ({ (centre.x - 145.0f) * sx, (centre.y - 145.0f) * sy, 290.0f * sx, 290.0f * sy }, sx);
    overlays->setBounds (getLocalBounds());
}

bool ArpAudioProcessorEditor::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();

    if (key.getKeyCode() == 'H' && mods.isCtrlDown() && mods.isShiftDown())
    {
        presetBar->setShown (! presetBar->isShown());
        return true;
    }

    return false;
}

void ArpAudioProcessorEditor::visibilityChanged()
{
    if (isVisible() && overlays != nullptr)
        overlays->editorBecameVisible();
}

void ArpAudioProcessorEditor::paintOverChildren (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black.withAlpha (0.02f));
}

//==============================================================================
void ArpAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source == &processor.getChangeBroadcaster())
        followProcessor();
}

void ArpAudioProcessorEditor::userEdited()
{
    presetBar->markModified();
    followProcessor();
}

void ArpAudioProcessorEditor::followProcessor()
{
    const auto& m = settings.getMirrors();

    followControls();
    presetBar->follow();
    ring->syncFromProcessor();
    if (! pad->getPad().isFollowing())
    {
        pad->getPad().showInputs (m.controlInput0, m.controlInput1);
        pad->getPad().showCheckpoints (settings.getXYCheckpoints());
    }

    followNetwork();
    followPalette();

    std::array<NoteWindow::Slot, NoteWindow::numSlots> shown;
    for (int s = 0; s < NoteWindow::numSlots; ++s)
        shown[static_cast<size_t> (s)] = { settings.getNoteGain (s + 1), s < slots.size() ? controls::noteName (slots[s].note)
                                                                                           : juce::String() };
    noteWindow->show (shown, noteColours);
    pad->repaint();
}

void ArpAudioProcessorEditor::followNetwork()
{
    const auto& m = settings.getMirrors();

    // A new network (Reseed, a preset, a restored project) and a new
    // Capacity each start the map over.
    const auto newNetwork = processor.getSharedEngine().copyWeightsIfNewer (publishedStep.weightsGeneration, publishedStep.recurrentWeights,
                                                                           publishedStep.readoutWeights, &publishedStep.inputWeights);
    const auto newCapacity = m.hiddenSize != shownHiddenSize;

    if ((newNetwork && shownWeights != 0) || (newCapacity && shownHiddenSize >= 0))
        viewsPanel->resetMap();

    shownWeights = publishedStep.weightsGeneration;
    shownHiddenSize = m.hiddenSize;
    neuronPath->setLevel (controls::neuronPathLevelFor (controls::positionForHiddenSize (m.hiddenSize)));

    // The path's extra nodes follow the network's seed.
    if (neuronPath->getSeed() != settings.getArpSeed())
    {
        neuronPath->setSeed (settings.getArpSeed());
        neuronPath->generateExtras();
        neuronPath->resized();
        neuronPath->startTransition();
    }
}

palette::PaletteInputs ArpAudioProcessorEditor::paletteSettings() const
{
    const auto& m = settings.getMirrors();
    palette::PaletteInputs inputs;
    inputs.hiddenSize = m.hiddenSize;
    inputs.numHeld = slots.size();
    inputs.breathGain = settings.getNoteGain (0);
    inputs.darkBias = m.darkPaletteBias;
    inputs.lightBias = m.lightPaletteBias;
    return inputs;
}

void ArpAudioProcessorEditor::followPalette()
{
    const auto inputs = paletteSettings();
    const PaletteKey key { inputs.numHeld, inputs.hiddenSize, inputs.darkBias, inputs.lightBias, isRestEnabled (inputs.breathGain),
                           publishedStep.weightsGeneration };

    // Colours change the views' pictures, never their histories.
    if (key == shownPalette)
        return;

    shownPalette = key;
    ++paletteRefreshCount;
    noteColours = palette::computeNoteColours (inputs.numHeld, inputs.darkBias, inputs.lightBias);
    viewColours.resize (noteColours.colours.size());
    for (size_t i = 0; i < viewColours.size(); ++i)
        viewColours[i] = juce::Colour (noteColours.colours[i]);

    publishedStep.echo = settings.getMirrors().recurrenceScale;
    viewsPanel->follow (viewColours, publishedStep);
    notesPanel->follow (viewColours);
}

//==============================================================================
void ArpAudioProcessorEditor::copySlots()
{
    expandSlots (playback.getHeldNotes(), settings.getMirrors().octaveRange, slots);
}

void ArpAudioProcessorEditor::feedPublishedStep()
{
    auto& step = publishedStep;
    playback.copyPublishedState (step.state);
    for (size_t i = 0; i < step.probabilities.size(); ++i)
        step.probabilities[i] = playback.getPublishedProbability (static_cast<int> (i));
    step.previousChoice = playback.getPreviousChoice();
    step.numHeld = slots.size();
    step.restEnabled = isRestEnabled (settings.getNoteGain (0));
    step.stepSeconds = playback.getStepSeconds();

    viewsPanel->feed (step);
    notesPanel->feed (step);
    // The arcs draw only what `show` gave them (and repaint when it changes):
    // a step alone changes none of them, only the lit note-on button.
    noteWindow->showChoice (step.previousChoice, slots.size());
}

Heartbeat::Pace ArpAudioProcessorEditor::pace() const
{
    // A new step is shown at once; the pad is drawn on every refresh while
    // the pointer drives it or its springs swing.
    if (playback.stepPublished.load (std::memory_order_acquire))
        return Heartbeat::Pace::now;
    if (isMouseButtonDown (true) || pad->isBrisk())
        return Heartbeat::Pace::everyRefresh;
    return Heartbeat::Pace::frames;
}

void ArpAudioProcessorEditor::beat (int ticks)
{
    overlays->tick (isVisible());

    // The editor's own copy of what the audio thread published; the ring
    // and the pad read only this.
    published.hostPlaying = playback.hostPlaying.load (std::memory_order_acquire);
    published.ppq = playback.getHostPpqPosition();
    published.accentStep = playback.accentStepForDisplay.load (std::memory_order_acquire);

    const auto steps = settings.getMirrors().numSteps.get();
    if (settings.getNumAccentGains() < steps)
        settings.ensureBeatPulseGainCount (steps);

    // New keys, or a network loaded on a host's thread, change what is shown
    // without a change message.
    copySlots();
    auto hash = static_cast<std::uint32_t> (slots.size());
    for (int i = 0; i < slots.size(); ++i)
        hash = hash * 131u + static_cast<std::uint32_t> (slots[i].note);
    if (static_cast<int> (hash) != heldNotesHash || processor.getSharedEngine().getWeightsGeneration() != shownWeights)
    {
        heldNotesHash = static_cast<int> (hash);
        followProcessor();
    }

    if (playback.stepPublished.exchange (false, std::memory_order_acquire))
        feedPublishedStep();

    processor.getCapturedTake().drain (playback.getTakeRecorder());
    captureHandle->follow();
    presetBar->refreshUndoRedo();

    for (int i = 0; i < ticks; ++i)
    {
        pad->animate();
        ring->heartbeat();
        viewsPanel->heartbeat (timerHz);
        rateControl->heartbeat (timerHz);
        lengthControl->heartbeat (timerHz);

        // The animated controls run only while the window is on screen.
        // Asking is a round trip to the window system, so it is asked four
        // times a second.
        if (++ticksSinceShowingCheck < timerHz / 4)
            continue;
        ticksSinceShowingCheck = 0;
        tips->check (juce::Time::getMillisecondCounterHiRes(), isMouseOverOrDragging (true));
        if (const auto showing = isShowing(); showing != wasShowing)
        {
            wasShowing = showing;
            rateControl->refreshAnimation();
            lengthControl->refreshAnimation();
            ring->refreshAnimation();
        }
    }
}

} // namespace mur
