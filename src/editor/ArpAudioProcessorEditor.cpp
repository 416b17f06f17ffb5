#include "ArpAudioProcessorEditor.h"

#include "EditorResources.h"
#include "LinkedKnobs.h"
#include "overlays/AboutOverlayComponent.h"
#include "overlays/ReleaseNotesOverlayComponent.h"
#include "overlays/UpdateAvailableOverlayComponent.h"
#include "overlays/VersionCheckThread.h"
#include "processor/ArpAudioProcessor.h"
#include "views/NeuralActivityPCAPlot.h"
#include "views/NeuralActivityWindow.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/NeuronPathOverlay.h"
#include "views/NotePlots.h"
#include "views/PlotOverlay.h"

namespace mur
{
namespace
{
// The circular time control's square; the XY pad sits in its middle.
const juce::Rectangle<int> circularTimeBounds { 350, 103, 380, 380 };

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
      playback (p.getPlayback())
{
    processor.addChangeListener (this);
    setAlwaysOnTop (true);
    setWantsKeyboardFocus (true);
    setOpaque (true);

    tooltipWindow.setLookAndFeel (&tooltipLookAndFeel);
    tooltipWindow.suppressTips = [this] { return ! presetBarShown; };

    const auto inputs = paletteSettings();
    noteColours = palette::computeNoteColours (inputs.numHeld, inputs.darkBias, inputs.lightBias);
    // The pad's colours come from the network's weights from the first paint.
    takePublishedWeights();

    addAndMakeVisible (designRoot);

    // Half the design, rounded up: 539 x 270.
    setResizeLimits ((designWidth + 1) / 2, (designHeight + 1) / 2, designWidth * 2, designHeight * 2);
    getConstrainer()->setFixedAspectRatio (2.0);
    setResizable (true, false);
    setSize (designWidth, designHeight);

    createControls();
    addAndMakeVisible (*trackpadOverlay);

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
    circularTime->syncFromProcessor();
    pad.showInputs (settings.getMirrors().controlInput0, settings.getMirrors().controlInput1);
    pad.showCheckpoints (settings.getXYCheckpoints());
    updateNoteSliders();
    resized();

    // The notes of a newly installed version come first; the update check
    // waits until they are confirmed.
    pendingReleaseNotes = releaseNotesDue();
    if (pendingReleaseNotes)
        showInstalledReleaseNotesOverlay();
    else
        startVersionCheck();

    savingPreset = false;
    startTimer (10);
}

ArpAudioProcessorEditor::~ArpAudioProcessorEditor()
{
    // First the update check: stopping it cancels a request in flight.
    versionCheckThread.reset();

    // A pad drag cut short by the window closing still ends its action.
    if (std::exchange (padActionOpen, false))
        history.endUserAction();

    presetLabel.removeMouseListener (this);
    trackpadOverlay->removeMouseListener (this);
    processor.removeChangeListener (this);
    stopTimer();
    aboutOverlay.reset();
    releaseNotesOverlay.reset();
    updateOverlay.reset();
    tooltipWindow.setLookAndFeel (nullptr);
}

//==============================================================================
//==============================================================================
void ArpAudioProcessorEditor::resized()
{
    const auto sx = static_cast<float> (getWidth()) / designWidth;
    const auto sy = static_cast<float> (getHeight()) / designHeight;

    designRoot.setBounds (0, 0, designWidth, designHeight);
    designRoot.setTransform (juce::AffineTransform::scale (sx, sy));
    designRoot.setPixelSize (getWidth(), getHeight());

    for (const auto& [component, bounds] : designLayout())
        if (component != nullptr)
            component->setBounds (bounds);

    // Sizing the window runs this before the controls exist.
    if (aboutClickArea != nullptr)
        aboutClickArea->toFront (false);
    if (neuronPath != nullptr)
        neuronPath->toFront (false);
    if (choicePlot != nullptr)
    {
        choicePlot->getComponent().setPlotWidth (232.0f);
        choicePlot->getComponent().setBaselineY (2.6449966f);
    }
    layOutNoteWindow();

    const auto centre = circularTimeBounds.toFloat().getCentre();
    padRect = { (centre.x - 145.0f) * sx, (centre.y - 145.0f) * sy, 290.0f * sx, 290.0f * sy };
    pad.setArea (padRect, sx);
    if (trackpadOverlay != nullptr)
        trackpadOverlay->setBounds (padRect.toNearestInt());

    for (auto* overlay : { static_cast<juce::Component*> (updateOverlay.get()), static_cast<juce::Component*> (releaseNotesOverlay.get()),
                           static_cast<juce::Component*> (aboutOverlay.get()) })
    {
        if (overlay != nullptr)
        {
            fitOverlay (*overlay);
            overlay->toFront (overlay != updateOverlay.get());
        }
    }
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
    // The map's history belongs to the old network; the path's extra nodes
    // follow the new seed.
    mapView->reset();
    followNetworkSeed();

    // The pad's checkpoints keep their places but take the colours the new
    // network gives those places.
    pad.showCheckpoints (settings.getXYCheckpoints());
    pad.recolourCheckpoints();

    markPresetModified();
    repaint();
}

//==============================================================================
void ArpAudioProcessorEditor::changeListenerCallback (juce::ChangeBroadcaster* source)
{
    if (source != &processor)
        return;

    syncingControls = true;
    refreshPresetLabel();
    syncControlsFromProcessor();
    updateNoteSliders();
    circularTime->syncFromProcessor();
    pad.showInputs (settings.getMirrors().controlInput0, settings.getMirrors().controlInput1);
    pad.showCheckpoints (settings.getXYCheckpoints());
    followNetworkSeed();
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
    refreshViewColours();
    viewsDirty = true;

    takePublishedWeights();
    if (auto units = palette::computeUnitColours (publishedStep.readoutWeights, noteColours, inputs); ! units.empty())
        unitColours = std::move (units);

    for (auto& arc : noteArcs)
    {
        arc->colour = arc->noteColour = juce::Colour (noteColours.colours[static_cast<size_t> (arc->slotNumber)]);
        arc->repaint();
    }

    ++paletteRefreshCount;
    repaint();
}

void ArpAudioProcessorEditor::timerCallback()
{
    if (pendingReleaseNotes && releaseNotesOverlay == nullptr && updateOverlay == nullptr && isVisible())
        showInstalledReleaseNotesOverlay();

    publishPlayback();

    const auto steps = settings.getMirrors().numSteps.get();
    if (settings.getNumBeatPulseGains() < steps)
        settings.ensureBeatPulseGainCount (steps);

    syncingControls = true;
    if (const auto hash = heldNoteHash (playback.getHeldNotes()); hash != heldNotesHash)
    {
        heldNotesHash = hash;
        updateNoteSliders();
        refreshPalette();
    }
    syncingControls = false;

    // After a step: the arcs show the new gains' needles and names, and the
    // button under the slot that played last lights up.
    if (playback.stepPublished.exchange (false, std::memory_order_acquire))
    {
        for (auto& arc : noteArcs)
            arc->repaint();
        refreshNoteOnButtons();
        viewsDirty = true;
    }

    if (std::exchange (viewsDirty, false))
        updateViews();

    animatePad();
    angle += 0.015f;
    if (angle > 6283.1855f)
        angle -= 6283.1855f;

    if (undoButton->isEnabled() != history.canUndo())
        undoButton->setEnabled (history.canUndo());
    if (redoButton->isEnabled() != history.canRedo())
        redoButton->setEnabled (history.canRedo());

    // The animated controls run only while the window is on screen. Asking
    // is a round trip to the window system, so it is asked four times a second.
    if (++ticksSinceShowingCheck < 25)
        return;
    ticksSinceShowingCheck = 0;
    if (const auto showing = isShowing(); showing != wasShowing)
    {
        wasShowing = showing;
        rateControl->refreshAnimation();
        lengthControl->refreshAnimation();
        circularTime->refreshAnimation();
    }
}

} // namespace mur
