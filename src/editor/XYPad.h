#pragma once

#include "Highlight.h"
#include "processor/ArpTypes.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

namespace mur
{

class UndoHistory;

// The XY pad in the middle of the accent ring, in editor pixels: its two
// control inputs, magnetic checkpoints, and the field of dots that leans
// towards the cursor on springs. The pad's component (below) draws it and
// hands it the mouse.
class XYPad
{
public:
    // Sets both control inputs (and marks the preset as modified).
    std::function<void (float x, float y)> onInputsChanged;
    // The checkpoint list changed (added, removed); the processor keeps a copy.
    std::function<void (const std::vector<XYCheckpoint>&)> onCheckpointsChanged;
    // The colour a checkpoint takes at a place.
    std::function<juce::uint32 (float x, float y)> colourAt;

    //==============================================================================
    // A new pad square (editor pixels) and scale: the dots are made the
    // first time and rescaled afterwards.
    void setArea (juce::Rectangle<float> padRect, float scale);

    juce::Point<float> centre() const noexcept { return area.getCentre(); }
    float getScale() const noexcept { return scale; }
    float outerRadius() const noexcept { return juce::jmin (area.getWidth(), area.getHeight()) / 2.0f; }
    float travelRadius() const noexcept { return juce::jmax (outerRadius() - 6.0f * scale, 1.0f); }
    bool contains (juce::Point<float> p) const noexcept { return p.getDistanceFrom (centre()) <= outerRadius(); }

    juce::Point<float> xyToPixel (float x, float y) const noexcept;
    juce::Point<float> pixelToXy (juce::Point<float> p) const noexcept;
    // The nearest checkpoint within `radius` (the later on a tie), or -1;
    // `fresh` measures from their places, else from where they are drawn.
    int findCheckpoint (juce::Point<float> p, float radius, bool fresh) const;

    //==============================================================================
    // What the processor holds, shown without reporting it back.
    void showInputs (float x, float y) { position = { juce::jlimit (-1.0f, 1.0f, x), juce::jlimit (-1.0f, 1.0f, y) }; }
    void showCheckpoints (std::vector<XYCheckpoint> list) { checkpoints = std::move (list); }
    juce::Point<float> getInputs() const noexcept { return position; }
    const std::vector<XYCheckpoint>& getCheckpoints() const noexcept { return checkpoints; }
    // Every checkpoint recoloured where it stands (after a new network).
    void recolourCheckpoints();

    //==============================================================================
    // The pointer (editor pixels). A left press follows or captures; a right
    // press adds or removes a checkpoint; both return false outside the pad.
    bool press (juce::Point<float> p, bool rightButton);
    void drag (juce::Point<float> p);
    void release();
    bool doubleClick (juce::Point<float> p);
    bool isFollowing() const noexcept { return mouseDown; }
    bool isHoldingCheckpoint() const noexcept { return held; }

    // One 10 ms step of the springs, the glide and the pull; `pointer` is
    // where the mouse is while a checkpoint is held.
    void animate (juce::Point<float> pointer);

    // The dots, the cursor and the checkpoints; `fade` is 1, or 0.25 while
    // the accent ring is highlighted.
    void paint (juce::Graphics&, float angle, bool hovered, float fade) const;

    // Where paint draws each dot, then each checkpoint, then the cursor's
    // ring at `angle` (editor pixels): a centre and a radius (the ring's is
    // to the middle of its line).
    struct Shape
    {
        juce::Point<float> centre;
        float radius = 0.0f;
    };
    void shapes (float angle, std::vector<Shape>& out) const;

    // How far things on the pad have moved, in pixels, summed over the ticks
    // (each tick adds its largest single move).
    float motion() const noexcept { return totalMotion; }

    size_t numDots() const noexcept { return dots.size(); }
    juce::Point<float> dotHome (size_t i) const noexcept { return dots[i].home; }
    juce::Point<float> checkpointShownAt (size_t i) const;

private:
    struct Particle
    {
        juce::Point<float> position, velocity;
    };
    struct Dot
    {
        juce::Point<float> home, position, velocity;
    };

    void setFromPixel (juce::Point<float> p);
    void capture (int index, juce::Point<float> p);
    void addOrRemoveAt (juce::Point<float> p);
    void checkpointsEdited();
    juce::Point<float> cursor() const;
    juce::Point<float> pulledInside (juce::Point<float> p, float radius) const;
    static void spring (Particle& particle, juce::Point<float> home, juce::Point<float> towards, float reach);

    juce::Rectangle<float> area, previousArea;
    float scale = 1.0f;
    mutable std::vector<Shape> paintShapes;

    std::vector<XYCheckpoint> checkpoints;
    std::vector<Particle> shown; // where each checkpoint is drawn
    std::vector<Dot> dots;
    juce::Point<float> position;

    bool mouseDown = false, held = false;
    int heldIndex = -1;
    juce::Point<float> pressPoint, cursorPoint, heldHome;
    float pullProgress = 1.0f;
    float totalMotion = 0.0f;
    float glideProgress = 1.0f;
    int glideIndex = -1;
    juce::Point<float> glideFrom, glideTo;
};

// The areas to draw again for shapes last drawn at `drawn` and now at `now`
// (`margin` around each, for its line and its edge): each shape that drifted
// a quarter pixel, and any other that reaches into those areas. `drawn`
// takes the new places of the shapes drawn again.
std::vector<juce::Rectangle<float>> driftedAreas (std::vector<XYPad::Shape>& drawn, const std::vector<XYPad::Shape>& now, float margin);

// The XY pad's component, over the design root in editor pixels: it draws
// the pad above everything the design root holds and takes the mouse on the
// pad's disc. A left press to release is one user action (one undo step, one
// gesture on Control X and Control Y); a right press edits the checkpoints.
class XYTrackpadOverlay : public juce::Component, public juce::SettableTooltipClient
{
public:
    XYTrackpadOverlay (UndoHistory& history, Highlight& highlight);
    ~XYTrackpadOverlay() override;

    XYPad& getPad() noexcept { return pad; }

    // The pad's square in editor pixels and the editor's scale.
    void setPadArea (juce::Rectangle<float> padRect, float scale);
    juce::Rectangle<float> getPadArea() const noexcept { return padArea; }

    // One 10 ms step: the springs, the glide and the sway. It repaints once
    // something has moved a quarter of a pixel.
    void animate();
    // The pointer drives the pad, or its springs moved a quarter pixel in
    // the last step: faster than a drift, so worth every refresh.
    bool isBrisk() const noexcept { return brisk; }

    // False while the accent panel or an information overlay takes the disc.
    std::function<bool()> isActive;

    void paint (juce::Graphics&) override;
    bool hitTest (int x, int y) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void mouseDoubleClick (const juce::MouseEvent&) override;

private:
    bool active() const { return (isActive == nullptr || isActive()) && ! padArea.isEmpty(); }
    void repaintDisc();
    void repaintDrifted();
    // Editor pixels for a point of this component.
    juce::Point<float> inEditor (juce::Point<float> p) const noexcept { return p + getPosition().toFloat(); }

    UndoHistory& history;
    Highlight& highlight;
    XYPad pad;
    juce::Rectangle<float> padArea;
    // The free-running sway phase the dots and checkpoints follow.
    float angle = 0.0f, swaySincePaint = 0.0f;
    bool actionOpen = false, brisk = false;
    // The shapes as last drawn (editor pixels; empty after the whole pad
    // was drawn again), and scratch for the next.
    std::vector<XYPad::Shape> drawn, current;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (XYTrackpadOverlay)
};

} // namespace mur
