#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur
{

class CaptureHandle;
class CircularTimeComponent;
class ClickOverlay;
class DesignRootComponent;
class Highlight;
class ImageKnobComponent;
class NoteWindow;
class OverlayHost;
class PresetBar;
class ValueControl;
class XYTrackpadOverlay;

namespace views
{
class NeuronPathOverlay;
class NotesPanel;
class ViewsPanel;
} // namespace views

// The pieces the editor is built from, each owning its part of the window:
// what tests and tools reach, instead of getters on the editor.
struct EditorPieces
{
    DesignRootComponent& designRoot;
    PresetBar& presetBar;
    NoteWindow& noteWindow;
    views::ViewsPanel& views;
    views::NotesPanel& notes;
    views::NeuronPathOverlay& neuronPath;
    OverlayHost& overlays;
    XYTrackpadOverlay& pad;
    CircularTimeComponent& ring;
    ClickOverlay& aboutClickArea;
    CaptureHandle& capture;
    Highlight& highlight;
    // How often the palette's colours were worked out again.
    const int& paletteRefreshCount;

    // A control by the name printed beside it ("Inertia", "Random", "Rate"),
    // a button by its component name ("reseedButton"); null when none.
    ValueControl* control (const juce::String& title) const;
    ImageKnobComponent& knob (const juce::String& title) const;
    juce::Button* button (const juce::String& name) const;
};

} // namespace mur
