#include "ArpAudioProcessorEditor.h"

#include "views/NeuronPathOverlay.h"

#include "UserSettings.h"
#include "persistence/UndoHistory.h"
#include "processor/Playback.h"
#include "processor/Settings.h"

// The XY pad and the accent ring: how the editor wires them to the
// processor, hands the pad the mouse, animates and draws it, and keeps the
// highlight the two share.
namespace mur
{

void ArpAudioProcessorEditor::createPadAndRing()
{
    pad.onInputsChanged = [this] (float x, float y)
    {
        settings.setControlInput (0, x);
        settings.setControlInput (1, y);
        markPresetModified();
        repaint (padRect.getSmallestIntegerContainer());
    };
    pad.onCheckpointsChanged = [this] (const std::vector<XYCheckpoint>& list)
    {
        settings.setXYCheckpoints (list);
        markPresetModified();
        repaint (padRect.getSmallestIntegerContainer());
    };
    pad.colourAt = [this] (float x, float y) { return palette::positionColour (publishedStep.inputWeights, publishedStep.readoutWeights, noteColours, paletteSettings(), x, y); };

    circularTime = std::make_unique<CircularTimeComponent> (*this, settings, published);
    circularTime->onAccentStep = [this] (int step)
    {
        lastAccentFlash = step;
        if (neuronPath != nullptr)
            neuronPath->flash (step);
    };

    trackpadOverlay = std::make_unique<XYTrackpadOverlay>();
    trackpadOverlay->addMouseListener (this, false);
    trackpadOverlay->takesPoint = [this] (juce::Point<float> p) { return ! circularTime->isSettingsOpen() && pad.contains (p); };
}

bool ArpAudioProcessorEditor::isPadActive() const
{
    return ! circularTime->isSettingsOpen() && ! padRect.isEmpty() && ! isInformationOverlayShown();
}

void ArpAudioProcessorEditor::setHighlight (int mode, int step)
{
    if (mode == highlightMode && step == highlightStep)
        return;

    highlightMode = mode;
    highlightStep = step;
    circularTime->applyHighlight (mode, step);
    circularTime->tick();
    repaint (padRect.getSmallestIntegerContainer());
}

void ArpAudioProcessorEditor::dismissAccentHint (bool understood)
{
    if (understood)
        mur::settings::write (mur::settings::pulseKnobsUnderstood, "1");
}

void ArpAudioProcessorEditor::beginUserAction() { history.beginUserAction(); }
void ArpAudioProcessorEditor::endUserAction() { history.endUserAction(); }

//==============================================================================
void ArpAudioProcessorEditor::mouseMove (const juce::MouseEvent& event)
{
    const auto e = event.getEventRelativeTo (this);
    if (! isPadActive() || ! pad.contains (e.position))
    {
        if (highlightMode == 1)
            setHighlight (0, -1);
        return;
    }

    setHighlight (1, -1);
}

void ArpAudioProcessorEditor::mouseExit (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        presetLabel.setMouseCursor (juce::MouseCursor::NormalCursor);
    else if (highlightMode == 1)
        setHighlight (0, -1);
}

void ArpAudioProcessorEditor::mouseDown (const juce::MouseEvent& event)
{
    if (event.eventComponent == &presetLabel)
    {
        if (presetBarShown)
            loadPresetButtonClicked();
        return;
    }

    const auto e = event.getEventRelativeTo (this);

    if (! isPadActive() || ! pad.contains (e.position))
        return;

    mur::settings::write (mur::settings::trackpadUnderstood, "1");

    // A left press to release is one action: one undo step, one gesture on
    // Control X and Control Y. A right press edits the checkpoints only.
    const auto right = e.mods.isRightButtonDown();
    if (! right && ! padActionOpen)
    {
        padActionOpen = true;
        history.beginUserAction();
    }
    pad.press (e.position, right);
}

void ArpAudioProcessorEditor::mouseDrag (const juce::MouseEvent& e)
{
    if (e.eventComponent != &presetLabel)
        pad.drag (e.getEventRelativeTo (this).position);
}

void ArpAudioProcessorEditor::mouseUp (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel)
        return;

    pad.release();
    if (std::exchange (padActionOpen, false))
        history.endUserAction();
}

void ArpAudioProcessorEditor::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (e.eventComponent == &presetLabel || ! isPadActive())
        return;

    const UndoHistory::ScopedUserAction action (history);
    pad.doubleClick (e.getEventRelativeTo (this).position);
}

//==============================================================================
void ArpAudioProcessorEditor::publishPlayback()
{
    // The editor's own copy of what the audio thread published; the ring
    // and the pad read only this.
    published.hostPlaying = playback.hostPlaying.load (std::memory_order_acquire);
    published.ppq = playback.getHostPpqPosition();
    published.accentStep = playback.accentStepForDisplay.load (std::memory_order_acquire);
}

void ArpAudioProcessorEditor::animatePad()
{
    if (padRect.isEmpty())
        return;

    const auto before = pad.motion();
    // The pointer is asked for only while a held checkpoint follows it.
    pad.animate (pad.isFollowing() && pad.isHoldingCheckpoint() ? getMouseXYRelative().toFloat() : juce::Point<float> (-1.0e6f, -1.0e6f));

    // The springs settle and the sway creeps by a fraction of a pixel per
    // tick: the pad is drawn again when something moved a quarter pixel.
    padSwayPainted += 0.015f * 0.7f * 1.4f * padRect.getWidth() / 290.0f;
    if (pad.motion() - before >= 0.25f || padSwayPainted >= 0.25f || pad.isFollowing())
    {
        padSwayPainted = 0.0f;
        repaint (padRect.getSmallestIntegerContainer());
    }
}

void ArpAudioProcessorEditor::paintOverChildren (juce::Graphics& g)
{
    // Every child's repaint comes through here; the pad is drawn only where
    // the repainted area reaches it.
    if (isPadActive() && g.clipRegionIntersects (padRect.getSmallestIntegerContainer()))
        pad.paint (g, angle, highlightMode == 1, highlightMode < 2 ? 1.0f : 0.25f);

    g.fillAll (juce::Colours::black.withAlpha (0.02f));
}

} // namespace mur
