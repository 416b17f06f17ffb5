#include "CircularTimeComponent.h"

#include "ControlMappings.h"
#include "resources/EditorResources.h"
#include "persistence/UserSettings.h"
#include "persistence/UndoHistory.h"
#include "processor/Settings.h"
#include "processor/StepTiming.h"

namespace mur
{
namespace
{
constexpr float pi = juce::MathConstants<float>::pi, twoPi = juce::MathConstants<float>::twoPi;
using controls::wrapStep;
} // namespace

CircularTimeComponent::CircularTimeComponent (Links l, Settings& s, const PlaybackSnapshot& p)
    : links (l), settings (s), playback (p)
{
    panel.setInterceptsMouseClicks (true, true);
    addChildComponent (panel);

    auto wireGestures = [this] (ValueControl& control)
    {
        control.onGestureStart = [this] { links.history.beginUserAction(); };
        control.onGestureEnd = [this] { links.history.endUserAction(); };
    };

    startKnob = std::make_unique<CenteredArcKnobComponent> (juce::Colours::white, nullptr, 0.0f);
    startKnob->showPointer = startKnob->stepped = startKnob->wholeDiscClickable = true;
    startKnob->stepCount = settings.getMirrors().numSteps;
    startKnob->setTooltip ("Starting step for the accent sequencer.");
    startKnob->setTitle ("Accent start");
    startKnob->onValueChange = [this] (float v)
    {
        const int n = settings.getMirrors().numSteps;
        if (n < 1)
            return;

        const auto step = controls::stepAtPosition (v, n);
        if (step != settings.getMirrors().pulseTimeShiftStep)
        {
            settings.setStartStep (step);
            changed();
        }
    };
    startKnob->onDragEnd = [this]
    {
        // The pointer snaps to the start step's segment.
        const int n = settings.getMirrors().numSteps;
        if (n < 1)
            return;
        const auto v = n == 1 ? 0.0f : juce::jlimit (0.0f, 1.0f, 1.0f - static_cast<float> (settings.getMirrors().pulseTimeShiftStep) / static_cast<float> (n));
        startKnob->setValue (v, juce::dontSendNotification);
        startKnob->onValueChange (v);
    };
    wireGestures (*startKnob);

    gainKnob = std::make_unique<CenteredArcKnobComponent> (juce::Colours::white, nullptr, 1.0f);
    gainKnob->wholeDiscClickable = true;
    gainKnob->setTooltip ("Master gain for all step accents.");
    gainKnob->setTitle ("Accent gain");
    gainKnob->valueText = [] (float v) { return juce::String (controls::accentGainFor (v), 2); };
    gainKnob->onValueChange = [this] (float v)
    {
        settings.setPulseGain (controls::accentGainFor (v));
        changed();
    };
    wireGestures (*gainKnob);

    const auto defaultSteps = static_cast<int> (controls::defaultOf (ids::pos::numSteps));
    stepsKnob = std::make_unique<ArcKnobComponent> (juce::Colours::white, nullptr, controls::positionForNumSteps (defaultSteps), true,
                                                    juce::String (defaultSteps), controls::numStepsSteps());
    stepsKnob->wholeDiscClickable = true;
    stepsKnob->setTooltip ("Number of steps for the accent sequencer.");
    stepsKnob->setTitle ("Accent steps");
    stepsKnob->valueText = [] (float v) { return juce::String (controls::numStepsFor (v)) + " steps"; };
    stepsKnob->onValueChange = [this] (float v)
    {
        const auto n = controls::numStepsFor (v);
        settings.setNumSteps (n);
        stepsKnob->labelText = juce::String (n);
        stepsKnob->repaint();

        // The start knob keeps its angle; the start step follows it.
        const auto step = controls::stepAtPosition (startKnob->getValue(), n);
        settings.setStartStep (step);
        startKnob->stepCount = n;
        startKnob->lastStep = -1;
        changed();
    };
    wireGestures (*stepsKnob);

    for (auto* label : { &startLabel, &gainLabel, &stepsLabel })
    {
        label->setJustificationType (juce::Justification::centred);
        label->setColour (juce::Label::textColourId, juce::Colours::white);
        label->setInterceptsMouseClicks (false, false);
    }

    clearButton.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    clearButton.setLookAndFeel (links.buttonLookAndFeel);
    clearButton.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    clearButton.setTooltip ("Reset all step accents to zero.");
    clearButton.onClick = [this]
    {
        links.history.beginUserAction();
        for (int i = 0; i < settings.getMirrors().numSteps; ++i)
            settings.setBeatPulseGain (i, 0.0f);
        for (auto& segment : segments)
            segment->setValue (0.5f, juce::dontSendNotification);
        changed();
        links.history.endUserAction();
    };

    for (juce::Component* child : { static_cast<juce::Component*> (stepsKnob.get()), static_cast<juce::Component*> (startKnob.get()),
                                    static_cast<juce::Component*> (gainKnob.get()), static_cast<juce::Component*> (&startLabel),
                                    static_cast<juce::Component*> (&gainLabel), static_cast<juce::Component*> (&stepsLabel),
                                    static_cast<juce::Component*> (&clearButton) })
        panel.addAndMakeVisible (child);

    refreshAnimation();
}

void CircularTimeComponent::refreshAnimation()
{
    animating = isShowing();
}

CircularTimeComponent::~CircularTimeComponent()
{
    clearButton.setLookAndFeel (nullptr);
}

void CircularTimeComponent::answerAccentHint (bool understood)
{
    // Pressing a step shows the accents were understood; hovering does not.
    if (understood)
        userSettings::write (userSettings::accentKnobsUnderstood, "1");
}

void CircularTimeComponent::changed()
{
    if (onEdited != nullptr)
        onEdited();
    for (auto& segment : segments)
        segment->repaint();
}

int CircularTimeComponent::stepCount() const
{
    return juce::jmax (1, settings.getMirrors().numSteps.get());
}

double CircularTimeComponent::stepLengthInWholeNotes() const
{
    // Unknown rates play sixteenths, as playback does.
    return quarterNotesPerStep (settings.getMirrors().rateIndex) / 4.0;
}

//==============================================================================
void CircularTimeComponent::toggleSettings()
{
    settingsOpen = ! settingsOpen;
    panel.setVisible (settingsOpen);
    if (settingsOpen)
        links.highlight.set (HighlightMode::none);
    resized();
    repaint();
}

void CircularTimeComponent::syncFromProcessor()
{
    const auto& m = settings.getMirrors();
    const int n = m.numSteps;

    if (! startKnob->isDragging())
    {
        if (n < 2)
        {
            startKnob->setValue (0.0f, juce::dontSendNotification);
        }
        else
        {
            startKnob->setValue (1.0f - static_cast<float> (m.pulseTimeShiftStep) / static_cast<float> (n), juce::dontSendNotification);
            startKnob->stepCount = n;
            startKnob->lastStep = -1;
        }
    }

    stepsKnob->setValue (controls::positionForNumSteps (n), juce::dontSendNotification);
    stepsKnob->labelText = juce::String (n);
    gainKnob->setValue (controls::positionForAccentGain (m.pulseGain), juce::dontSendNotification);

    if (stepCount() != cachedStepCount || numSegments() != stepCount())
    {
        cachedStepCount = stepCount();
        rebuildBeatKnobsForCurrentRate();
        layoutBeatKnobs();
    }

    for (int i = 0; i < numSegments(); ++i)
        segments[static_cast<size_t> (i)]->setValue (controls::positionForAccentGain (settings.getBeatPulseGain (i)), juce::dontSendNotification);

    repaint();
}

void CircularTimeComponent::rebuildBeatKnobsForCurrentRate()
{
    segments.clear();

    for (int i = 0; i < stepCount(); ++i)
    {
        auto segment = std::make_unique<BeatArcSegmentKnobComponent>();
        segment->stepIndex = i;
        segment->setTitle ("Accent " + juce::String (i + 1));
        segment->valueText = [] (float v) { return juce::String (controls::accentGainFor (v), 2); };
        segment->setValue (controls::positionForAccentGain (settings.getBeatPulseGain (i)), juce::dontSendNotification);
        segment->effectiveAccent = [this, i] { return settings.getBeatPulseGain (i) * settings.getMirrors().pulseGain; };
        segment->onValueChange = [this, i] (float v)
        {
            settings.setBeatPulseGain (i, controls::accentGainFor (v));
            changed();
        };
        segment->onHoverChange = [this, i] (bool hovered)
        {
            if (hovered)
            {
                answerAccentHint (false);
                links.highlight.set (HighlightMode::ring, i);
            }
            else if (links.highlight.mode() == HighlightMode::ring && links.highlight.step() == i)
            {
                links.highlight.set (HighlightMode::none);
            }
        };
        segment->onPressed = [this] { answerAccentHint (true); };
        segment->onGestureStart = [this] { links.history.beginUserAction(); };
        segment->onGestureEnd = [this] { links.history.endUserAction(); };
        segment->setInterceptsMouseClicks (true, true);
        addAndMakeVisible (*segment);
        segments.push_back (std::move (segment));
    }

    applyHighlight();
    shownCurrent = shownStart = -2;
    repaint();
}

void CircularTimeComponent::applyHighlight()
{
    const auto mode = links.highlight.mode();
    const auto step = links.highlight.step();

    for (size_t i = 0; i < segments.size(); ++i)
    {
        const auto alpha = mode == HighlightMode::pad ? 0.25f
                         : (mode == HighlightMode::ring && step >= 0 && static_cast<int> (i) != step) ? 0.55f : 1.0f;
        segments[i]->setAlpha (alpha);
    }
}

void CircularTimeComponent::layoutBeatKnobs()
{
    const auto n = static_cast<float> (stepCount());
    const auto span = twoPi / n;
    const auto gap = juce::jmin (0.8f * span, juce::jlimit (0.008726646f, 0.05235988f, 0.1f * span));
    const auto side = juce::jmin (getWidth(), getHeight());
    const juce::Rectangle<int> square ((getWidth() - side) / 2, (getHeight() - side) / 2, side, side);

    for (size_t i = 0; i < segments.size(); ++i)
    {
        auto& segment = *segments[i];
        const auto centreAngle = static_cast<float> (i) * span - pi / 2.0f;

        // Each segment's box holds its arc, its inner guide and its pointer
        // (not the whole ring): a segment that lights up then repaints only
        // itself, not everything under the ring.
        const auto half = juce::jmax (span - gap, 0.0f) / 2.0f;
        const auto inner = juce::jmax (segmentRadius - segmentThickness / 2.0f - 8.0f, 0.0f), outer = segmentRadius + segmentThickness / 2.0f + 2.0f;
        juce::Point<float> low { 1.0e9f, 1.0e9f }, high { -1.0e9f, -1.0e9f };
        for (int k = 0; k <= 32; ++k)
        {
            const auto angle = centreAngle - half + 2.0f * half * static_cast<float> (k) / 32.0f;
            for (const auto r : { inner, outer })
            {
                const juce::Point<float> p { static_cast<float> (cx) + r * std::cos (angle), static_cast<float> (cy) + r * std::sin (angle) };
                low = { juce::jmin (low.x, p.x), juce::jmin (low.y, p.y) };
                high = { juce::jmax (high.x, p.x), juce::jmax (high.y, p.y) };
            }
        }
        const auto bounds = juce::Rectangle<float> (low, high).expanded (3.0f).getSmallestIntegerContainer().getIntersection (square);

        segment.setBounds (bounds);
        segment.centreX = static_cast<float> (cx - bounds.getX());
        segment.centreY = static_cast<float> (cy - bounds.getY());
        segment.radius = segmentRadius;
        segment.thickness = juce::jmax (segmentThickness, 1.0f);
        segment.centreAngle = centreAngle;
        segment.span = span;
        segment.gap = gap;
        segment.repaint();
    }
}

void CircularTimeComponent::resized()
{
    // The editor keeps its size factor at 1; the whole design is scaled instead.
    const auto s = 1.0f;
    const auto sd = static_cast<double> (s);
    const auto w = juce::jmax (0, getWidth()), h = juce::jmax (0, getHeight());
    const auto side = juce::jmin (w, h);
    cx = (w - side) / 2 + side / 2;
    cy = (h - side) / 2 + side / 2;
    bandWidth = controls::roundHalfUp (31.0 * sd);
    ringRadius = side / 2 - bandWidth / 2 - controls::roundHalfUp (6.0 * sd);
    segmentThickness = 8.0f * s;
    segmentRadius = static_cast<float> (ringRadius) - segmentThickness / 2.0f - 2.0f * s;

    // The XY pad's square, 290 units across, centred on the ring.
    discCentreX = cx;
    discCentreY = cy;
    discRadius = 145;

    layoutBeatKnobs();

    const auto r = discRadius > 0 ? discRadius : ringRadius;
    panel.setBounds (discCentreX - r, discCentreY - r, 2 * r, 2 * r);
    const auto k = controls::roundHalfUp (69.0 * sd), g = controls::roundHalfUp (22.0 * sd), l = controls::roundHalfUp (20.0 * sd);
    const auto left = (2 * r - 3 * k - 2 * g) / 2, top = r - k / 2;
    stepsKnob->setBounds (left, top, k, k);
    stepsKnob->arcThickness = juce::jmax (8.0f * s, 0.5f);
    stepsKnob->labelFontHeight = juce::jmax (14.0f * s, 8.0f);
    startKnob->setBounds (left + k + g, top, k, k);
    gainKnob->setBounds (left + 2 * (k + g), top, k, k);
    startKnob->lineScale = gainKnob->lineScale = s;

    for (auto [label, knob] : { std::pair<juce::Label*, juce::Component*> { &stepsLabel, stepsKnob.get() },
                                { &startLabel, startKnob.get() }, { &gainLabel, gainKnob.get() } })
    {
        label->setBounds (knob->getX(), top - controls::roundHalfUp (5.0 * sd) - l, k, l);
        label->setFont (uiFont (juce::jmax (14.0f * s, 8.0f)));
    }

    clearButton.setBounds ((2 * r - controls::roundHalfUp (80.0 * sd)) / 2, r + k / 2 + controls::roundHalfUp (10.0 * sd),
                           controls::roundHalfUp (80.0 * sd), controls::roundHalfUp (30.0 * sd));
}

//==============================================================================
int CircularTimeComponent::currentStep() const
{
    const auto n = stepCount();
    const auto start = settings.getMirrors().pulseTimeShiftStep.get();

    if (playback.hostPlaying)
    {
        const auto stepQuarters = 4.0 * stepLengthInWholeNotes();
        const auto cycle = stepQuarters * n;
        auto position = std::fmod (playback.ppq, cycle);
        if (position < 0.0)
            position += cycle;
        auto k = static_cast<int> (std::floor (position / cycle * n + 1.0e-9));
        if (k >= n)
            k = 0;
        return wrapStep (k - start, n);
    }

    if (const auto a = playback.accentStep; a >= 0 && a < n)
        return wrapStep (a - start, n);

    return -1;
}

void CircularTimeComponent::detectAccentStep()
{
    const auto n = stepCount();
    const auto start = wrapStep (settings.getMirrors().pulseTimeShiftStep, n);
    int k;
    bool isNew;

    if (playback.hostPlaying)
    {
        const auto p = playback.ppq;
        const auto length = 4.0 * stepLengthInWholeNotes();
        const auto cycle = n * length;
        const auto moved = ! (p == lastPpq);
        auto c = std::fmod (p, cycle);
        if (c < 0.0)
            c += cycle;
        k = static_cast<int> (std::floor (std::fmod (c - start * length + cycle, cycle) / length + 1.0e-9));
        k = k >= n ? 0 : wrapStep (k, n);
        lastPpq = p;
        isNew = moved && k != lastAccentStep;
    }
    else
    {
        const auto a = playback.accentStep;
        if (a < 0 || a >= n)
            return;
        k = (a + start) % n;
        isNew = k != lastAccentStep;
    }

    if (isNew && k >= 0)
    {
        lastAccentStep = k;
        if (std::abs (settings.getBeatPulseGain (k) * settings.getMirrors().pulseGain) > 1.0e-5f && onAccentStep)
            onAccentStep (k);
    }
}

void CircularTimeComponent::tick()
{
    if (stepCount() != cachedStepCount)
    {
        cachedStepCount = stepCount();
        rebuildBeatKnobsForCurrentRate();
        layoutBeatKnobs();
    }

    detectAccentStep();

    // The segments are drawn again only when what they show has changed.
    const auto n = stepCount();
    const auto current = currentStep();
    const auto startMarker = wrapStep (n - wrapStep (settings.getMirrors().pulseTimeShiftStep, n), n);
    const auto compact = links.highlight.mode() != HighlightMode::ring;

    if (current == shownCurrent && startMarker == shownStart && compact == shownCompact)
        return;

    shownCurrent = current;
    shownStart = startMarker;
    shownCompact = compact;

    // Only the segments whose look changed are drawn again: repainting the
    // whole ring on every step would redraw the pad beneath it too.
    for (size_t i = 0; i < segments.size(); ++i)
    {
        auto& segment = *segments[i];
        const auto isCurrent = static_cast<int> (i) == current;
        const auto isStart = static_cast<int> (i) == startMarker;
        if (segment.compact == compact && segment.isCurrentStep == isCurrent && segment.isStartStep == isStart)
            continue;

        segment.compact = compact;
        segment.isCurrentStep = isCurrent;
        segment.isStartStep = isStart;
        segment.repaint();
    }
}

//==============================================================================
void CircularTimeComponent::mouseMove (const juce::MouseEvent& e)
{
    const auto p = e.position;

    if (discRadius > 0 && p.getDistanceFrom ({ static_cast<float> (discCentreX), static_cast<float> (discCentreY) }) <= static_cast<float> (discRadius))
        return;

    const auto d = p.getDistanceFrom ({ static_cast<float> (cx), static_cast<float> (cy) });
    if (d >= juce::jmax (juce::jmax (segmentRadius - segmentThickness / 2.0f, 0.0f) - 6.0f, 2.0f) && d <= segmentRadius + segmentThickness / 2.0f)
    {
        answerAccentHint (false);
        links.highlight.set (HighlightMode::ring);
    }
    else if (links.highlight.isWholeRing())
    {
        links.highlight.set (HighlightMode::none);
    }
}

void CircularTimeComponent::mouseExit (const juce::MouseEvent&)
{
    if (links.highlight.isWholeRing())
        links.highlight.set (HighlightMode::none);
}

bool CircularTimeComponent::hitTest (int x, int y)
{
    if (discRadius < 1 || settingsOpen)
        return true;

    return juce::Point<float> (static_cast<float> (x), static_cast<float> (y))
               .getDistanceFrom ({ static_cast<float> (discCentreX), static_cast<float> (discCentreY) })
         > static_cast<float> (discRadius);
}

juce::MouseCursor CircularTimeComponent::getMouseCursor()
{
    return getParentComponent() != nullptr ? getParentComponent()->getMouseCursor() : juce::MouseCursor::NormalCursor;
}

} // namespace mur
