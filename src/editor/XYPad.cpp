#include "XYPad.h"

#include "persistence/UserSettings.h"
#include "persistence/UndoHistory.h"
#include "views/FrameClock.h"

#include <algorithm>
#include <cmath>

namespace mur
{
namespace
{
float smoothstep (float t)
{
    t = juce::jlimit (0.0f, 1.0f, t);
    return (3.0f - 2.0f * t) * t * t;
}

// Captures within this many pixels, whatever the window's size.
constexpr float captureRadius = 24.0f;
} // namespace

//==============================================================================
juce::Point<float> XYPad::pulledInside (juce::Point<float> p, float radius) const
{
    const auto c = centre();
    const auto d = p.getDistanceFrom (c);
    return d > radius && d > 1.0e-4f ? c + (p - c) * (radius / d) : p;
}

juce::Point<float> XYPad::xyToPixel (float x, float y) const noexcept
{
    const auto r = travelRadius();
    const auto c = centre();
    const juce::Point<float> p { c.x + r * juce::jlimit (-1.0f, 1.0f, x), c.y - r * juce::jlimit (-1.0f, 1.0f, y) };
    return pulledInside (p, r);
}

juce::Point<float> XYPad::pixelToXy (juce::Point<float> p) const noexcept
{
    const auto r = travelRadius();
    const auto c = centre();
    juce::Point<float> xy { (p.x - c.x) / r, (c.y - p.y) / r };

    if (const auto length = xy.getDistanceFromOrigin(); length > 1.0f && length > 1.0e-4f)
        xy /= length;

    return { juce::jlimit (-1.0f, 1.0f, xy.x), juce::jlimit (-1.0f, 1.0f, xy.y) };
}

juce::Point<float> XYPad::checkpointShownAt (size_t i) const
{
    return i < shown.size() ? shown[i].position : xyToPixel (checkpoints[i].x, checkpoints[i].y);
}

int XYPad::findCheckpoint (juce::Point<float> p, float radius, bool fresh) const
{
    int found = -1;
    auto best = radius * radius;

    for (size_t i = 0; i < checkpoints.size(); ++i)
    {
        const auto point = fresh ? xyToPixel (checkpoints[i].x, checkpoints[i].y) : checkpointShownAt (i);
        if (const auto d = point.getDistanceSquaredFrom (p); d <= best)
        {
            best = d;
            found = static_cast<int> (i);
        }
    }

    return found;
}

void XYPad::recolourCheckpoints()
{
    if (colourAt == nullptr)
        return;

    for (auto& checkpoint : checkpoints)
        checkpoint.colour = colourAt (juce::jlimit (-1.0f, 1.0f, checkpoint.x), juce::jlimit (-1.0f, 1.0f, checkpoint.y));
    checkpointsEdited();
}

//==============================================================================
void XYPad::setArea (juce::Rectangle<float> padRect, float newScale)
{
    scale = newScale;

    if (! dots.empty() && ! previousArea.isEmpty())
    {
        // A resized window keeps its dots and everything in flight, scaled.
        const auto oldCentre = previousArea.getCentre();
        const auto k = juce::jmin (padRect.getWidth(), padRect.getHeight())
                     / juce::jmin (previousArea.getWidth(), previousArea.getHeight());
        const auto newCentre = padRect.getCentre();
        auto map = [&] (juce::Point<float> p) { return (p - oldCentre) * k + newCentre; };

        for (auto& dot : dots)
        {
            dot.home = map (dot.home);
            dot.position = map (dot.position);
            dot.velocity *= k;
        }

        area = padRect;
        const auto radius = outerRadius();
        std::erase_if (dots, [&] (const Dot& dot) { return dot.position.getDistanceFrom (newCentre) > radius; });

        for (auto& entry : shown)
        {
            entry.position = map (entry.position);
            entry.velocity *= k;
        }

        cursorPoint = map (cursorPoint);
        heldHome = map (heldHome);
        glideFrom = map (glideFrom);
        glideTo = map (glideTo);
    }
    else
    {
        area = padRect;
        dots.clear();

        if (! area.isEmpty())
        {
            const auto spacing = 24.0f * scale;
            const auto radius = outerRadius();
            const auto c = centre();
            const auto n = static_cast<int> (std::floor (radius / spacing));

            for (int i = -n - 1; i <= n; ++i)
                for (int j = -n - 1; j <= n; ++j)
                    if (const juce::Point<float> p { c.x + (static_cast<float> (i) + 0.5f) * spacing, c.y + (static_cast<float> (j) + 0.5f) * spacing };
                        p.getDistanceFrom (c) <= radius)
                        dots.push_back ({ p, p, {} });
        }
    }

    previousArea = padRect;

    for (size_t i = 0; i < shown.size() && i < checkpoints.size(); ++i)
        shown[i] = { xyToPixel (checkpoints[i].x, checkpoints[i].y), {} };
}

//==============================================================================
void XYPad::setFromPixel (juce::Point<float> p)
{
    position = pixelToXy (p);
    if (onInputsChanged)
        onInputsChanged (position.x, position.y);
}

void XYPad::capture (int index, juce::Point<float> p)
{
    const auto& checkpoint = checkpoints[static_cast<size_t> (index)];
    position = { checkpoint.x, checkpoint.y };
    if (onInputsChanged)
        onInputsChanged (position.x, position.y);

    held = true;
    heldIndex = index;
    pressPoint = cursorPoint = p;
    heldHome = checkpointShownAt (static_cast<size_t> (index));
    pullProgress = 0.0f;
    glideProgress = 1.0f;
}

void XYPad::checkpointsEdited()
{
    if (onCheckpointsChanged)
        onCheckpointsChanged (checkpoints);
}

void XYPad::addOrRemoveAt (juce::Point<float> p)
{
    // On the cursor it works at the inputs themselves; elsewhere at the pointer.
    const auto reach = 10.0f * scale;
    const auto cursorAt = xyToPixel (position.x, position.y).roundToInt().toFloat();
    const auto onCursor = p.getDistanceFrom (cursorAt) <= reach;
    const auto index = findCheckpoint (onCursor ? cursorAt : p, reach, false);

    if (index >= 0)
    {
        checkpoints.erase (checkpoints.begin() + index);
        if (static_cast<size_t> (index) < shown.size())
            shown.erase (shown.begin() + index);
    }
    else
    {
        const auto xy = onCursor ? position : pixelToXy (p);
        checkpoints.push_back ({ xy.x, xy.y, colourAt ? colourAt (xy.x, xy.y) : 0xff808080 });
    }

    checkpointsEdited();
}

bool XYPad::press (juce::Point<float> p, bool rightButton)
{
    if (! contains (p))
        return false;

    if (rightButton)
    {
        addOrRemoveAt (p);
        return true;
    }

    if (const auto index = findCheckpoint (p, captureRadius, true); index >= 0)
        capture (index, p);
    else
        setFromPixel (p);

    mouseDown = true;
    return true;
}

void XYPad::drag (juce::Point<float> p)
{
    if (! mouseDown)
        return;

    if (held)
    {
        // Held fast until the pointer has pulled more than 24 pixels away.
        if (p.getDistanceSquaredFrom (pressPoint) > captureRadius * captureRadius)
        {
            held = false;
            heldIndex = -1;
            pullProgress = 1.0f;
            setFromPixel (p);
        }
        else
        {
            cursorPoint = p;
        }
        return;
    }

    setFromPixel (p);
    if (const auto index = findCheckpoint (p, captureRadius, true); index >= 0)
        capture (index, p);
}

void XYPad::release()
{
    // A held checkpoint glides from the pointer back to its place.
    if (mouseDown && held && juce::isPositiveAndBelow (heldIndex, static_cast<int> (checkpoints.size())))
    {
        const auto& checkpoint = checkpoints[static_cast<size_t> (heldIndex)];
        glideFrom = cursorPoint;
        glideIndex = heldIndex;
        glideTo = xyToPixel (checkpoint.x, checkpoint.y);
        glideProgress = 0.0f;
    }

    mouseDown = held = false;
    heldIndex = -1;
}

bool XYPad::doubleClick (juce::Point<float> p)
{
    if (! contains (p))
        return false;

    position = {};
    if (onInputsChanged)
        onInputsChanged (0.0f, 0.0f);
    return true;
}

//==============================================================================
void XYPad::spring (Particle& particle, juce::Point<float> home, juce::Point<float> towards, float reach)
{
    const auto d = home.getDistanceFrom (towards) / reach;
    const auto w = 1.0f / (d * d + 1.0f);
    const auto target = home + (towards - home) * (w * 0.55f);
    particle.velocity += ((target - particle.position) * 90.0f - particle.velocity * 14.0f) * 0.016f;
    particle.position += particle.velocity * 0.016f;
}

void XYPad::animate (juce::Point<float> pointer)
{
    if (area.isEmpty())
        return;

    // New checkpoints start where they belong; removed ones leave.
    while (shown.size() < checkpoints.size())
        shown.push_back ({ xyToPixel (checkpoints[shown.size()].x, checkpoints[shown.size()].y), {} });
    shown.resize (checkpoints.size());

    const auto radius = outerRadius();
    const auto gliding = glideProgress < 1.0f && juce::isPositiveAndBelow (glideIndex, static_cast<int> (shown.size()));

    if (gliding)
    {
        const auto index = static_cast<size_t> (glideIndex);
        glideProgress += 0.053333335f;
        if (glideProgress >= 1.0f)
        {
            glideProgress = 1.0f;
            glideIndex = -1;
        }

        cursorPoint = pulledInside (glideFrom + (glideTo - glideFrom) * smoothstep (glideProgress), radius);
        shown[index] = { cursorPoint, {} };
    }

    auto q = glideProgress < 1.0f || held ? cursorPoint : xyToPixel (position.x, position.y);

    if (held && mouseDown && contains (pointer))
        q = cursorPoint = pulledInside (pointer, radius);

    if (held && juce::isPositiveAndBelow (heldIndex, static_cast<int> (shown.size())))
    {
        pullProgress = juce::jmin (pullProgress + 0.10666667f, 1.0f);
        shown[static_cast<size_t> (heldIndex)] = { heldHome + (q - heldHome) * smoothstep (pullProgress), {} };
    }

    const auto reach = 50.0f * scale;
    const auto c = centre();
    auto largestMove = 0.0f;

    for (auto& dot : dots)
    {
        const auto from = dot.position;
        Particle particle { dot.position, dot.velocity };
        spring (particle, dot.home, q, reach);

        if (particle.position.getDistanceFrom (c) > radius)
        {
            particle.position = pulledInside (particle.position, radius);
            particle.velocity *= 0.3f;
        }

        dot.position = particle.position;
        dot.velocity = particle.velocity;
        largestMove = juce::jmax (largestMove, dot.position.getDistanceFrom (from));
    }

    for (size_t i = 0; i < shown.size(); ++i)
    {
        const auto isHeld = held && static_cast<int> (i) == heldIndex;
        const auto isGliding = glideProgress < 1.0f && static_cast<int> (i) == glideIndex;
        const auto from = shown[i].position;
        if (! isHeld && ! isGliding)
            spring (shown[i], xyToPixel (checkpoints[i].x, checkpoints[i].y), q, reach);
        largestMove = juce::jmax (largestMove, shown[i].position.getDistanceFrom (from));
    }

    totalMotion += largestMove;
}

//==============================================================================
juce::Point<float> XYPad::cursor() const
{
    const auto t = scale;
    const auto inner = outerRadius() - 6.0f * t;
    const auto c = centre();
    const auto g = glideProgress < 1.0f || held ? cursorPoint : juce::Point<float> (c.x + inner * position.x, c.y - inner * position.y);
    return pulledInside (g, inner);
}

void XYPad::shapes (float angle, std::vector<Shape>& out) const
{
    out.clear();
    if (area.isEmpty())
        return;

    const auto t = scale;
    const auto radius = outerRadius();
    const auto cursorAt = cursor();

    // Everything sways the same way at once, more strongly near the cursor.
    const juce::Point<float> direction { std::sin (1.3f * angle) * 0.4f + std::cos (angle), std::cos (1.3f * angle) * 0.4f + std::sin (angle) };
    auto sway = [&] (float distance)
    {
        const auto d = distance / (50.0f * t);
        return direction * (0.7f * t / (d * d + 1.0f));
    };

    for (const auto& dot : dots)
    {
        const auto p = dot.position + sway (dot.position.getDistanceFrom (cursorAt));
        const auto d = p.getDistanceFrom (cursorAt) / (50.0f * t);
        out.push_back ({ p, (4.5f * t - 0.5f * t) / (d * d + 1.0f) + 0.5f * t });
    }

    const auto inner = juce::jmax (radius - 6.0f * t, 1.0f);
    for (size_t i = 0; i < checkpoints.size(); ++i)
    {
        const auto p = checkpointShownAt (i);
        const auto d = p.getDistanceFrom (cursorAt);
        const auto size = juce::jlimit (2.0f * t, 4.0f * t, (1.0f - juce::jmin (d / (2.0f * juce::MathConstants<float>::sqrt2 * inner), 1.0f) * 0.5f) * 4.0f * t);
        out.push_back ({ p + sway (d), size });
    }

    out.push_back ({ cursorAt + direction * (0.7f * t), 8.0f * t });
}

void XYPad::paint (juce::Graphics& g, float angle, bool hovered, float fade) const
{
    auto& all = paintShapes;
    shapes (angle, all);
    if (all.empty())
        return;

    // Most repaints touch only a corner of the pad (a ring segment lighting
    // up) or a few drifting dots: shapes outside the repainted area are not
    // filled at all. The others are clipped to their own box first (a pixel
    // clear of them, so that a scaled screen's partial pixels at its edge
    // touch nothing they cover): clipping a shape to the sway's many small
    // areas would cost as much as the list is long.
    auto inOwnBox = [&g] (const Shape& shape, float reach, auto&& draw)
    {
        const auto box = juce::Rectangle<float> (2.0f * reach, 2.0f * reach).withCentre (shape.centre).getSmallestIntegerContainer().expanded (1);
        if (! g.clipRegionIntersects (box))
            return;
        const juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (box);
        draw();
    };
    auto fillDot = [&] (const Shape& shape)
    {
        inOwnBox (shape, shape.radius, [&] { g.fillEllipse (juce::Rectangle<float> (2.0f * shape.radius, 2.0f * shape.radius).withCentre (shape.centre)); });
    };

    g.setColour (hovered ? juce::Colour (0xff505060).withAlpha (0.75f * fade) : juce::Colour (0xff404050).withAlpha (0.6f * fade));
    for (size_t i = 0; i < dots.size(); ++i)
        fillDot (all[i]);

    const auto& ring = all.back();
    g.setColour (juce::Colours::white.withAlpha (fade));
    inOwnBox (ring, ring.radius + scale, [&] { g.drawEllipse (juce::Rectangle<float> (2.0f * ring.radius, 2.0f * ring.radius).withCentre (ring.centre), 2.0f * scale); });

    for (size_t i = dots.size(); i + 1 < all.size(); ++i)
        fillDot (all[i]);
}

//==============================================================================
XYTrackpadOverlay::XYTrackpadOverlay (UndoHistory& h, Highlight& l) : history (h), highlight (l)
{
    setTooltip ("Explore the modulation space. Right-click to add or remove checkpoints.");
    setInterceptsMouseClicks (true, false);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

XYTrackpadOverlay::~XYTrackpadOverlay()
{
    // A drag cut short by the window closing still ends its action.
    if (std::exchange (actionOpen, false))
        history.endUserAction();
}

void XYTrackpadOverlay::setPadArea (juce::Rectangle<float> padRect, float scale)
{
    padArea = padRect;
    pad.setArea (padRect, scale);
    drawn.clear();

    // The cursor's ring reaches a few units past the disc.
    setBounds (padRect.expanded (12.0f * scale).getSmallestIntegerContainer());
}

void XYTrackpadOverlay::animate()
{
    if (padArea.isEmpty())
        return;

    const auto before = pad.motion();
    // The pointer is asked for only while a held checkpoint follows it.
    pad.animate (pad.isFollowing() && pad.isHoldingCheckpoint() ? inEditor (getMouseXYRelative().toFloat())
                                                                : juce::Point<float> (-1.0e6f, -1.0e6f));
    angle += 0.015f;
    if (angle > 6283.1855f)
        angle -= 6283.1855f;

    // The springs settle and the sway creeps by a fraction of a pixel per
    // tick: the pad is drawn again when a spring moved a quarter pixel or the
    // sway has drifted far enough. Only a cursor that follows the pointer
    // reaches past the disc; otherwise the disc alone is drawn again, in bands
    // that leave out the ring's segments at the square's corners.
    swaySincePaint += 0.015f * 0.7f * 1.4f * padArea.getWidth() / 290.0f;
    brisk = pad.isFollowing() || pad.motion() - before >= 0.25f;
    if (pad.isFollowing())
    {
        swaySincePaint = 0.0f;
        repaint();
        drawn.clear();
    }
    else if (pad.motion() - before >= 0.25f)
    {
        swaySincePaint = 0.0f;
        repaintDisc();
        drawn.clear();
    }
    else if (swaySincePaint >= views::driftRedrawPixels)
    {
        swaySincePaint = 0.0f;
        repaintDrifted();
    }
}

void XYTrackpadOverlay::repaintDisc()
{
    // Only a cursor that follows the pointer reaches past the disc; the disc
    // alone is drawn again, in bands that leave out the ring's segments at
    // the square's corners.
    const auto disc = padArea - getPosition().toFloat();
    constexpr int bands = 8;
    for (int i = 0; i < bands; ++i)
    {
        // The widest chord of each band's slice of the circle.
        const auto top = static_cast<float> (i) / bands, bottom = static_cast<float> (i + 1) / bands;
        const auto nearest = juce::jlimit (top, bottom, 0.5f) - 0.5f;
        const auto halfWidth = std::sqrt (juce::jmax (0.0f, 0.25f - nearest * nearest));
        repaint (juce::Rectangle<float> (disc.getX() + disc.getWidth() * (0.5f - halfWidth), disc.getY() + disc.getHeight() * top,
                                         disc.getWidth() * 2.0f * halfWidth, disc.getHeight() / bands)
                     .expanded (1.0f).getSmallestIntegerContainer());
    }
}

void XYTrackpadOverlay::repaintDrifted()
{
    // After a move of the whole pad (or a new size) nothing is known of
    // where the shapes were drawn: the whole disc is drawn again.
    pad.shapes (angle, current);
    if (current.size() != drawn.size())
    {
        repaintDisc();
        std::swap (drawn, current);
        return;
    }

    // The sway is strongest at the cursor and fades with distance: the far
    // dots wait while the near ones move.
    for (const auto& area : driftedAreas (drawn, current, pad.getScale() + 1.0f))
        repaint ((area - getPosition().toFloat()).getSmallestIntegerContainer());
}

std::vector<juce::Rectangle<float>> driftedAreas (std::vector<XYPad::Shape>& drawn, const std::vector<XYPad::Shape>& now, float margin)
{
    std::vector<juce::Rectangle<float>> areas;
    auto box = [margin] (const XYPad::Shape& shape)
    {
        return juce::Rectangle<float> (2.0f * (shape.radius + margin), 2.0f * (shape.radius + margin)).withCentre (shape.centre);
    };

    std::vector<bool> redraw (now.size(), false);
    for (size_t i = 0; i < now.size() && i < drawn.size(); ++i)
    {
        if (now[i].centre.getDistanceFrom (drawn[i].centre) >= 0.25f || std::abs (now[i].radius - drawn[i].radius) >= 0.25f)
        {
            areas.push_back (box (drawn[i]).getUnion (box (now[i])));
            redraw[i] = true;
        }
    }

    // A shape that reaches into a redrawn area is drawn there where it is
    // now, so all of it is drawn again.
    for (size_t i = 0; i < now.size() && i < drawn.size() && ! areas.empty(); ++i)
    {
        if (redraw[i] || std::none_of (areas.begin(), areas.end(), [&] (auto a) { return a.intersects (box (drawn[i])); }))
            continue;
        areas.push_back (box (drawn[i]).getUnion (box (now[i])));
        redraw[i] = true;
    }

    for (size_t i = 0; i < now.size() && i < drawn.size(); ++i)
        if (redraw[i])
            drawn[i] = now[i];
    return areas;
}

void XYTrackpadOverlay::paint (juce::Graphics& g)
{
    if (! active())
        return;

    // A ring segment lighting up beside the disc repaints a corner of this
    // component: nothing of the pad lies there.
    const auto clip = g.getClipBounds().toFloat() + getPosition().toFloat();
    const auto centre = padArea.getCentre();
    const auto nearest = juce::Point<float> (juce::jlimit (clip.getX(), clip.getRight(), centre.x),
                                             juce::jlimit (clip.getY(), clip.getBottom(), centre.y));
    if (! pad.isFollowing() && nearest.getDistanceFrom (centre) > padArea.getWidth() * 0.5f + 2.0f)
        return;

    // The pad draws in editor pixels.
    g.addTransform (juce::AffineTransform::translation (static_cast<float> (-getX()), static_cast<float> (-getY())));
    pad.paint (g, angle, highlight.mode() == HighlightMode::pad, highlight.mode() == HighlightMode::ring ? 0.25f : 1.0f);
}

bool XYTrackpadOverlay::hitTest (int x, int y)
{
    return active() && pad.contains (inEditor ({ static_cast<float> (x), static_cast<float> (y) }));
}

//==============================================================================
void XYTrackpadOverlay::mouseMove (const juce::MouseEvent& e)
{
    if (active() && pad.contains (inEditor (e.position)))
        highlight.set (HighlightMode::pad);
    else if (highlight.mode() == HighlightMode::pad)
        highlight.set (HighlightMode::none);
}

void XYTrackpadOverlay::mouseExit (const juce::MouseEvent&)
{
    if (highlight.mode() == HighlightMode::pad)
        highlight.set (HighlightMode::none);
}

void XYTrackpadOverlay::mouseDown (const juce::MouseEvent& e)
{
    const auto p = inEditor (e.position);
    if (! active() || ! pad.contains (p))
        return;

    userSettings::write (userSettings::trackpadUnderstood, "1");

    // A left press to release is one action; a right press edits the
    // checkpoints only.
    const auto right = e.mods.isRightButtonDown();
    if (! right && ! actionOpen)
    {
        actionOpen = true;
        history.beginUserAction();
    }
    pad.press (p, right);
}

void XYTrackpadOverlay::mouseDrag (const juce::MouseEvent& e)
{
    pad.drag (inEditor (e.position));
}

void XYTrackpadOverlay::mouseUp (const juce::MouseEvent&)
{
    pad.release();
    if (std::exchange (actionOpen, false))
        history.endUserAction();
}

void XYTrackpadOverlay::mouseDoubleClick (const juce::MouseEvent& e)
{
    if (! active())
        return;

    const UndoHistory::ScopedUserAction action (history);
    pad.doubleClick (inEditor (e.position));
}

} // namespace mur
