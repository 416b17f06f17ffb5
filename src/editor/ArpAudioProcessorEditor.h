#pragma once

#include "ArcKnobComponent.h"
#include "Buttons.h"
#include "CircularTimeComponent.h"
#include "CustomSliderComponent.h"
#include "DesignRootComponent.h"
#include "ImageKnobComponent.h"
#include "LookAndFeels.h"
#include "Palette.h"
#include "TimeDials.h"
#include "XYPad.h"
#include "views/PublishedStep.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace mur
{

class AboutOverlayComponent;
class ArpAudioProcessor;
class NeuralEngine;
class ReleaseNotesOverlayComponent;
class UpdateAvailableOverlayComponent;
class VersionCheckThread;
class Playback;
class Presets;
class Settings;
class UndoHistory;

namespace views
{
class NeuralActivityWindow;
class NeuralActivityPCAPlot;
class NeuralNetworkTopologyPlot;
class NoteActivationProbabilityPlot;
class NoteChoicePlot;
class NeuronPathOverlay;
class PlotOverlay;
} // namespace views

// The plug-in window: a fixed 1078 x 539 design, scaled as a whole to the
// size the host gives it. It owns the controls, keeps them in step with the
// processor and hands every edit to the processor's setters.
class ArpAudioProcessorEditor : public juce::AudioProcessorEditor,
                                private juce::Timer,
                                public juce::ChangeListener
{
public:
    static constexpr int designWidth = DesignRootComponent::designWidth;
    static constexpr int designHeight = DesignRootComponent::designHeight;

    explicit ArpAudioProcessorEditor (ArpAudioProcessor&);
    ~ArpAudioProcessorEditor() override;

    bool keyPressed (const juce::KeyPress&) override;
    void resized() override;
    void paintOverChildren (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;
    void visibilityChanged() override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    juce::MouseCursor getMouseCursor() override;

    // The palette biases changed: colours are recomputed and repainted.
    void refreshPalette();
    void paletteChanged() { refreshPalette(); }
    int getPaletteRefreshCount() const noexcept { return paletteRefreshCount; }

    // Preset bar.
    void markPresetModified();
    void refreshPresetLabel();
    void loadPresetButtonClicked();
    void savePresetButtonClicked();
    void loadAdjacentPreset (bool next);
    void setPresetBarShown (bool shouldShow);
    bool isPresetBarShown() const noexcept { return presetBarShown; }
    const juce::String& getPresetName() const noexcept { return presetName; }
    juce::String getPresetLabelText() const { return presetLabel.getText(); }

    void reseedClicked();

    // The pad square in editor pixels (the XY pad and the accent ring's centre).
    juce::Rectangle<float> getPadRect() const noexcept { return padRect; }
    DesignRootComponent& getDesignRoot() noexcept { return designRoot; }

    // Controls, by the name printed beside them ("Inertia", "Random", "Rate").
    ImageKnobComponent& getKnob (const juce::String& name);
    ValueControl* getControl (const juce::String& name);
    juce::Button* getButton (const juce::String& name);

    // The note window: four of the 50 held-note slots at a time, from
    // `noteScrollIndex` (0 to 46).
    void updateNoteSliders();
    void scrollNoteWindow (int slots);
    int getNoteScrollIndex() const noexcept { return noteScrollIndex; }
    NoteArcComponent& getNoteArc (int slot) { return *noteArcs[static_cast<size_t> (slot)]; }
    CustomButtonComponent& getNoteOnButton (int slot) { return *noteOnButtons[static_cast<size_t> (slot)]; }
    juce::Button& getNoteArrow (bool next) { return next ? nextNoteArrow : previousNoteArrow; }

    // The neuron path's level that the Capacity knob last set (1 to 8).
    int getNeuronPathLevel() const noexcept { return neuronPathLevel; }

    // What is highlighted: 0 nothing, 1 the XY pad, 3 the accent ring (with
    // a step, or -1 for the whole ring).
    void setHighlight (int mode, int step);
    int getHighlightMode() const noexcept { return highlightMode; }
    int getHighlightStep() const noexcept { return highlightStep; }
    // The accent hint is answered: remembered when the user pressed a step.
    void dismissAccentHint (bool understood);

    // One user action (an undo transaction, one host gesture per parameter).
    void beginUserAction();
    void endUserAction();

    XYPad& getPad() noexcept { return pad; }
    CircularTimeComponent& getCircularTime() noexcept { return *circularTime; }
    XYTrackpadOverlay& getTrackpadOverlay() noexcept { return *trackpadOverlay; }
    TransparentBackgroundButtonLookAndFeel& getTransparentLookAndFeel() noexcept { return transparentLookAndFeel; }
    // The accent step the ring last flashed (the neuron path shows it once the views land).
    int getLastAccentFlash() const noexcept { return lastAccentFlash; }

    const palette::NoteColours& getNoteColours() const noexcept { return noteColours; }

    // The screen of network views: 0 Activity, 1 Map, 2 Topology.
    void setView (int index);
    int getViewIndex() const noexcept { return viewIndex; }
    views::NeuralActivityWindow& getActivityView() noexcept { return *activityView; }
    views::NeuralActivityPCAPlot& getMapView() noexcept { return *mapView; }
    views::NeuralNetworkTopologyPlot& getTopologyView() noexcept { return *topologyView; }
    views::PlotOverlay& getPlotOverlay() noexcept { return *plotOverlay; }
    views::NoteActivationProbabilityPlot& getProbabilityPlot() noexcept { return *probabilityPlot; }
    views::NoteChoicePlot& getChoicePlot() noexcept { return *choicePlot; }
    views::NeuronPathOverlay& getNeuronPath() noexcept { return *neuronPath; }

    // The information overlays, laid over the whole editor in design units.
    void showAboutOverlay();
    void showInstalledReleaseNotesOverlay();
    void startVersionCheck();
    void showUpdateAvailableOverlay (const juce::String& latestVersion, const juce::String& downloadLocation);
    // Whether the notice for `version` may show, by the user's settings.
    static bool shouldShowUpdate (const juce::String& version);
    void fitOverlay (juce::Component& overlay);
    bool isInformationOverlayShown() const noexcept;
    AboutOverlayComponent* getAboutOverlay() const noexcept { return aboutOverlay.get(); }
    ReleaseNotesOverlayComponent* getReleaseNotesOverlay() const noexcept { return releaseNotesOverlay.get(); }
    UpdateAvailableOverlayComponent* getUpdateOverlay() const noexcept { return updateOverlay.get(); }
    VersionCheckThread* getVersionCheckThread() const noexcept { return versionCheckThread.get(); }
    bool areReleaseNotesPending() const noexcept { return pendingReleaseNotes; }
    ClickOverlay& getAboutClickArea() noexcept { return *aboutClickArea; }

    // One step of the 10 ms timer, callable by tests.
    void tick() { timerCallback(); }

private:
    void timerCallback() override;
    void createControls();
    void createPadAndRing();
    void animatePad();
    void publishPlayback();
    bool isPadActive() const;
    void createButtons();
    void wire (ValueControl& control, const char* title, const char* tooltip, std::function<void (float)> action);
    // Every child of the design root with its bounds, in stacking order.
    std::vector<std::pair<juce::Component*, juce::Rectangle<int>>> designLayout();
    void layOutNoteWindow();
    void noteArcHovered (bool entered);
    void refreshNoteOnButtons();
    void syncControlsFromProcessor();
    void syncLengthFromProcessor();
    // Inertia or Echo moved to q, with the other following while linked.
    void linkedKnobMoved (bool inertiaMoved, float q);
    void capturePresetFile (const juce::File& file, bool loaded);
    void loadPreset (const juce::File& file);
    void choosePresetFile (const juce::String& title, const juce::File& folder, int mode,
                           std::function<void (const juce::File&)> chosen);
    palette::Settings paletteSettings() const;
    void createViews();
    void refreshViewColours();
    void takePublishedStep();
    // The published weights, when a load changed them; true when it did.
    bool takePublishedWeights();
    void updateViews();
    void updateNotePlots();
    void createNeuronPath();
    // The network was reseeded or replaced: the path's extra nodes follow its seed.
    void followNetworkSeed();
    void closeAboutOverlay();
    void setUpdateCheck (bool on);
    void acknowledgeReleaseNotes (const juce::String& version);
    void closeUpdateOverlaySoon();
    static bool releaseNotesDue();

    // The editor's way into the processor: the settings it may change, the
    // presets and undo history it drives, and the published data it reads.
    ArpAudioProcessor& processor;
    Settings& settings;
    Presets& presets;
    UndoHistory& history;
    Playback& playback;

    TransparentBackgroundButtonLookAndFeel transparentLookAndFeel;
    TooltipLookAndFeel tooltipLookAndFeel;
    ArpTooltipWindow tooltipWindow;

    DesignRootComponent designRoot;
    std::unique_ptr<ClickOverlay> aboutClickArea;
    std::unique_ptr<CircularTimeComponent> circularTime;
    std::unique_ptr<XYTrackpadOverlay> trackpadOverlay;
    XYPad pad;
    PlaybackSnapshot published;
    int highlightMode = 0, highlightStep = -1, lastAccentFlash = -1;
    float padSwayPainted = 0.0f;
    bool padActionOpen = false;
    juce::TextButton previousNoteArrow, nextNoteArrow;
    std::unique_ptr<RateTimeComponent> rateControl;
    std::unique_ptr<GateNotesComponent> lengthControl;
    std::unique_ptr<CustomSliderComponent> feedbackSlider, randomSlider;
    std::unique_ptr<ArcKnobComponent> capacityKnob;
    std::unique_ptr<ImageKnobComponent> inertiaKnob, echoKnob, repetitionKnob, proximityKnob, breathKnob;
    std::vector<std::unique_ptr<NoteArcComponent>> noteArcs;
    std::vector<std::unique_ptr<CustomButtonComponent>> noteOnButtons;
    int noteScrollIndex = 0, noteHoverCount = 0;
    int neuronPathLevel = 1;
    bool wasShowing = false;
    int ticksSinceShowingCheck = 0;
    std::unique_ptr<CustomButtonComponent> holdButton, linkButton, resetButton;
    std::unique_ptr<SaveButtonComponent> saveButton;
    std::unique_ptr<ReseedButtonComponent> reseedButton;
    std::unique_ptr<UndoButtonComponent> undoButton;
    std::unique_ptr<RedoButtonComponent> redoButton;
    std::unique_ptr<presetMenuPreviousButtonComponent> previousButton, nextButton;
    std::unique_ptr<SeqSettingsButtonComponent> accentSettingsButton;
    juce::Label presetLabel;

    palette::NoteColours noteColours;
    std::vector<juce::Colour> viewColours;
    std::vector<std::uint32_t> unitColours;

    std::unique_ptr<views::NeuralActivityWindow> activityView;
    std::unique_ptr<views::NeuralActivityPCAPlot> mapView;
    std::unique_ptr<views::NeuralNetworkTopologyPlot> topologyView;
    std::unique_ptr<views::NoteActivationProbabilityPlot> probabilityPlot;
    std::unique_ptr<views::NoteChoicePlot> choicePlot;
    std::unique_ptr<views::PlotOverlay> plotOverlay;
    std::unique_ptr<views::NeuronPathOverlay> neuronPath;
    views::PublishedStep publishedStep;
    int viewIndex = 0;
    bool viewsDirty = true;
    int paletteRefreshCount = 0;

    std::unique_ptr<AboutOverlayComponent> aboutOverlay;
    std::unique_ptr<ReleaseNotesOverlayComponent> releaseNotesOverlay;
    std::unique_ptr<UpdateAvailableOverlayComponent> updateOverlay;
    std::unique_ptr<VersionCheckThread> versionCheckThread;
    bool pendingReleaseNotes = false;

    juce::Rectangle<float> padRect;
    // The free-running sway phase the XY pad's dots and checkpoints follow
    // (the pad reads it once it lands; the timer keeps it running).
    float angle = 0.0f;
    int heldNotesHash = 0;

    bool presetBarShown = true;
    juce::String presetName;
    bool presetModified = false, loadingPreset = false, savingPreset = true, syncingControls = false;
    std::unique_ptr<juce::FileChooser> chooser;

    bool linkGuard = false;
    float memorySpan = 1.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessorEditor)
};

} // namespace mur
