#pragma once

#include "ArcKnobComponent.h"
#include "CaptureHandle.h"
#include "Buttons.h"
#include "CircularTimeComponent.h"
#include "CustomSliderComponent.h"
#include "DesignRootComponent.h"
#include "Heartbeat.h"
#include "TooltipHost.h"
#include "EditorPieces.h"
#include "Highlight.h"
#include "ImageKnobComponent.h"
#include "LookAndFeels.h"
#include "NoteWindow.h"
#include "OctaveRangeControl.h"
#include "Palette.h"
#include "PresetBar.h"
#include "TimeDials.h"
#include "XYPad.h"
#include "overlays/OverlayHost.h"
#include "processor/NoteSlots.h"
#include "views/PublishedStep.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace mur
{

class EditorConnection;
class Playback;
class Presets;
class Settings;
class UndoHistory;

namespace views
{
class NeuronPathOverlay;
class NotesPanel;
class ViewsPanel;
} // namespace views

// The plug-in window: a fixed 1078 x 539 design, scaled as a whole to the
// size the host gives it, built from pieces that each own their part (the
// preset bar, the note window, the views, the pad and ring, the overlays).
//
// Every piece shows what the processor holds, by one path whatever changed
// it (the user, the host, undo, a preset, a restore, Reseed): the processor's
// change message, a new network or new held notes make the editor follow the
// processor, and a step the audio thread published feeds the views. What
// the user does only writes to the processor; the editor then follows it
// like any other change.
class ArpAudioProcessorEditor : public juce::AudioProcessorEditor,
                                private juce::ChangeListener
{
public:
    static constexpr int designWidth = DesignRootComponent::designWidth;
    static constexpr int designHeight = DesignRootComponent::designHeight;

    explicit ArpAudioProcessorEditor (EditorConnection&);
    ~ArpAudioProcessorEditor() override;

    void resized() override;
    void paintOverChildren (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void visibilityChanged() override;

    EditorPieces pieces();

    // The animations' fixed step: this many ticks a second.
    static constexpr int timerHz = Heartbeat::ticksPerSecond;

    // One beat of one tick, callable by tests.
    void tick() { beat (1); }

private:
    // What each beat of the heartbeat does: the polling once, and `ticks`
    // steps of every animation.
    void beat (int ticks);
    Heartbeat::Pace pace() const;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;

    // Shows what the processor holds, in every piece.
    void followProcessor();
    void followControls();
    void followNetwork();
    void followPalette();
    void feedPublishedStep();
    void copySlots();

    void createControls();
    void createButtons();
    void createPieces();
    void wire (ValueControl& control, const char* title, const char* tooltip, std::function<void (float)> action);
    // Every child of the design root with its bounds, in stacking order.
    std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> designLayout();
    // Inertia or Echo moved to q, with the other following while linked.
    void linkedKnobMoved (bool inertiaMoved, float q);
    void userEdited();
    void reseed();
    palette::PaletteInputs paletteSettings() const;

    // What the editor may change (the settings, through their setters; the
    // presets and the undo history it drives) and what it reads.
    EditorConnection& processor;
    Settings& settings;
    Presets& presets;
    UndoHistory& history;
    Playback& playback;

    TransparentBackgroundButtonLookAndFeel transparentLookAndFeel;
    TooltipLookAndFeel tooltipLookAndFeel;
    std::unique_ptr<TooltipHost> tips;
    Highlight highlight;

    DesignRootComponent designRoot;
    std::unique_ptr<ClickOverlay> aboutClickArea;
    std::unique_ptr<CircularTimeComponent> ring;
    std::unique_ptr<XYTrackpadOverlay> pad;
    std::unique_ptr<PresetBar> presetBar;
    std::unique_ptr<NoteWindow> noteWindow;
    std::unique_ptr<views::ViewsPanel> viewsPanel;
    std::unique_ptr<views::NotesPanel> notesPanel;
    std::unique_ptr<views::NeuronPathOverlay> neuronPath;
    std::unique_ptr<OverlayHost> overlays;
    std::unique_ptr<CaptureHandle> captureHandle;

    std::unique_ptr<RateTimeComponent> rateControl;
    std::unique_ptr<GateNotesComponent> lengthControl;
    std::unique_ptr<OctaveRangeControl> octaveControl;
    std::unique_ptr<CustomSliderComponent> feedbackSlider, randomSlider;
    std::unique_ptr<ArcKnobComponent> capacityKnob;
    std::unique_ptr<ImageKnobComponent> inertiaKnob, echoKnob, repetitionKnob, proximityKnob, breathKnob;
    std::unique_ptr<CustomButtonComponent> holdButton, linkButton, resetButton;
    std::unique_ptr<ReseedButtonComponent> reseedButton;
    std::unique_ptr<SeqSettingsButtonComponent> accentSettingsButton;

    // The editor's own copies of what the audio thread published.
    PlaybackSnapshot published;
    // The held notes over the octave range: what the network chooses among.
    NoteSlots slots;
    views::PublishedStep publishedStep;

    // What the pieces were last shown, to follow only what changed.
    palette::NoteColours noteColours;
    std::vector<juce::Colour> viewColours;
    struct PaletteKey
    {
        int numHeld = -1, hiddenSize = -1;
        float darkBias = -1.0f, lightBias = -1.0f;
        bool restEnabled = false;
        std::uint32_t weights = 0;
        bool operator== (const PaletteKey&) const = default;
    } shownPalette;
    int heldNotesHash = 0, shownHiddenSize = -1, paletteRefreshCount = 0;
    std::uint32_t shownWeights = 0;

    bool wasShowing = false, linkGuard = false;
    int ticksSinceShowingCheck = 0;
    float memorySpan = 1.0f;

    // Last, so that it stops before anything it drives goes.
    std::unique_ptr<Heartbeat> heartbeat;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessorEditor)
};

} // namespace mur
