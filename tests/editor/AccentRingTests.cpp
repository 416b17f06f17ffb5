#include "views/ViewsPanel.h"
#include "EditorFixture.h"
#include "MouseEvents.h"
#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mur
{
namespace
{
using test::Editor;
using test::mouseAt;

constexpr float degrees = juce::MathConstants<float>::pi / 180.0f;

// Where on the ring a segment's arc passes, at an angle from its middle.
juce::Point<float> onSegment (CircularTimeComponent& ring, int i, float offset)
{
    auto& s = ring.getSegment (i);
    const auto angle = s.centreAngle + offset;
    return { s.centreX + s.radius * std::cos (angle), s.centreY + s.radius * std::sin (angle) };
}

TEST_F (Editor, TheRingHasOneSegmentPerStepWithItsGap)
{
    editor->setSize (1078, 539);
    auto& ring = editor->pieces().ring;
    EXPECT_EQ (ring.numSegments(), 16);
    EXPECT_EQ (ring.getRingCentre(), juce::Point<int> (190, 190));
    EXPECT_FLOAT_EQ (ring.getSegmentRadius(), 163.0f);
    EXPECT_NEAR (ring.getSegment (0).gap, 2.25f * degrees, 1e-6f); // a tenth of the span

    processor->getSettings().setNumSteps (2);
    ring.tick();
    ASSERT_EQ (ring.numSegments(), 2);
    EXPECT_NEAR (ring.getSegment (0).gap, 3.0f * degrees, 1e-6f); // at most 3 degrees

    processor->getSettings().setNumSteps (64);
    ring.tick();
    ASSERT_EQ (ring.numSegments(), 64);
    EXPECT_NEAR (ring.getSegment (0).gap, 0.5625f * degrees, 1e-6f);
    EXPECT_NEAR (ring.getSegment (10).centreAngle, 10.0f * 5.625f * degrees - juce::MathConstants<float>::halfPi, 1e-5f);

    // Each segment's box holds its own arc: the ring finds it under the pointer.
    auto& first = ring.getSegment (0);
    const juce::Point<int> top { 190, 190 - 163 };
    EXPECT_TRUE (first.getBounds().contains (top));
    EXPECT_LT (first.getWidth(), 60);
    EXPECT_EQ (ring.getComponentAt (top), &first);
}

TEST_F (Editor, SegmentsEditTheirAccentAndClampAtTheEnds)
{
    editor->setSize (1078, 539);
    auto& ring = editor->pieces().ring;
    auto& segment = ring.getSegment (2);
    const auto half = segment.visibleHalf();

    // Pressed at its middle (no accent), dragged past its clockwise end: +1.
    segment.mouseDown (mouseAt (segment, onSegment (ring, 2, 0.0f)));
    EXPECT_NEAR (segment.getValue(), 0.5f, 1e-5f);
    segment.mouseDrag (mouseAt (segment, onSegment (ring, 2, half * 3.0f)));
    segment.mouseUp (mouseAt (segment, onSegment (ring, 2, half * 3.0f)));
    EXPECT_EQ (segment.getValue(), 1.0f);
    EXPECT_FLOAT_EQ (processor->getSettings().getBeatPulseGain (2), 1.0f);
    EXPECT_FLOAT_EQ (processor->getParameters()[73 + 2]->getValue(), 1.0f);

    test::drag (segment, onSegment (ring, 2, 0.0f), onSegment (ring, 2, -half * 2.0f));
    EXPECT_EQ (segment.getValue(), 0.0f);
    EXPECT_FLOAT_EQ (processor->getSettings().getBeatPulseGain (2), -1.0f);

    const auto middle = onSegment (ring, 2, -half);
    segment.mouseDown (mouseAt (segment, middle, 2));
    segment.mouseDoubleClick (mouseAt (segment, middle, 2));
    segment.mouseUp (mouseAt (segment, middle, 2));
    EXPECT_FLOAT_EQ (segment.getValue(), 0.5f);
    EXPECT_FLOAT_EQ (processor->getSettings().getBeatPulseGain (2), 0.0f);

    // Each drag was one undo step.
    processor->getHistory().undo();
    EXPECT_FLOAT_EQ (processor->getSettings().getBeatPulseGain (2), -1.0f);
    processor->getHistory().undo();
    EXPECT_FLOAT_EQ (processor->getSettings().getBeatPulseGain (2), 1.0f);

    // The hit test follows the visible arc only.
    EXPECT_TRUE (segment.hitTest (juce::roundToInt (onSegment (ring, 2, 0.0f).x), juce::roundToInt (onSegment (ring, 2, 0.0f).y)));
    const auto beyond = onSegment (ring, 2, half + 1.0f * degrees);
    EXPECT_FALSE (segment.hitTest (juce::roundToInt (beyond.x), juce::roundToInt (beyond.y)));
}

TEST_F (Editor, ThePanelTakesTheDiscAndHidesThePad)
{
    editor->setSize (1078, 539);
    auto& ring = editor->pieces().ring;
    auto& overlay = editor->pieces().pad;
    const auto padCentre = editor->pieces().pad.getPadArea().getCentre() - overlay.getPosition().toFloat();

    EXPECT_FALSE (ring.hitTest (190, 190)); // the disc belongs to the pad
    EXPECT_TRUE (ring.hitTest (190, 20));
    EXPECT_TRUE (overlay.hitTest (juce::roundToInt (padCentre.x), juce::roundToInt (padCentre.y)));

    auto* toggle = editor->pieces().button ("pulseMenuToggleButton");
    ASSERT_NE (toggle, nullptr);
    toggle->onClick();
    EXPECT_TRUE (ring.isSettingsOpen());
    EXPECT_TRUE (toggle->getToggleState());
    EXPECT_TRUE (ring.hitTest (190, 190));
    EXPECT_FALSE (overlay.hitTest (juce::roundToInt (padCentre.x), juce::roundToInt (padCentre.y)));

    // The pad ignores a press while the panel is open.
    const auto before = processor->getSettings().getMirrors().controlInput0.get();
    auto& pad = editor->pieces().pad;
    pad.mouseDown (mouseAt (pad, pad.getPadArea().getCentre() + juce::Point<float> (50.0f, 0.0f) - pad.getPosition().toFloat()));
    EXPECT_EQ (processor->getSettings().getMirrors().controlInput0.get(), before);
    toggle->onClick();
    EXPECT_FALSE (ring.isSettingsOpen());
}

TEST_F (Editor, ChangingTheStepsKeepsTheStartKnobsAngle)
{
    auto& ring = editor->pieces().ring;
    auto& settings = processor->getSettings();
    settings.setStartStep (4);
    ring.syncFromProcessor();
    EXPECT_FLOAT_EQ (ring.getStartKnob().getValue(), 0.75f); // 1 - 4/16

    // 32 steps: the same angle now means step 8.
    ring.getStepsKnob().setValueAsUserAction (30.0f / 62.0f);
    EXPECT_EQ (settings.getMirrors().numSteps, 32);
    EXPECT_EQ (settings.getMirrors().pulseTimeShiftStep, 8);
    EXPECT_EQ (ring.getStepsKnob().labelText, "32");

    ring.getGainKnob().setValueAsUserAction (0.25f);
    EXPECT_FLOAT_EQ (settings.getMirrors().pulseGain, -0.5f);

    // Clear puts every step back to no accent, in one undo step.
    settings.setBeatPulseGain (5, 0.7f);
    ring.getClearButton().onClick();
    EXPECT_EQ (settings.getBeatPulseGain (0), 0.0f);
    EXPECT_EQ (settings.getBeatPulseGain (5), 0.0f);
    processor->getHistory().undo();
    EXPECT_EQ (settings.getBeatPulseGain (0), 1.0f);
}

TEST_F (Editor, ThePlayingStepAndTheStartMarkerLightTheGuide)
{
    editor->setSize (1078, 539);
    auto& ring = editor->pieces().ring;
    auto& settings = processor->getSettings();

    // Free-running playback publishes the step it played.
    processor->prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, static_cast<juce::uint8> (100)), 0);
    std::int64_t played = 0;
    for (int block = 0; block < 200 && processor->getPlayback().accentStepForDisplay.load() < 0; ++block, played += 512)
    {
        processor->processBlock (audio, midi);
        midi.clear();
    }
    const auto step = processor->getPlayback().accentStepForDisplay.load();
    ASSERT_GE (step, 0);

    // The start marker on the playing step: both, so its guide is grey.
    settings.setStartStep (0);
    editor->tick();
    ring.tick();
    EXPECT_TRUE (ring.getSegment (step).isCurrentStep);
    EXPECT_EQ (ring.getSegment (step).isStartStep, step == 0);
    EXPECT_EQ (ring.getSegment (step).isGuideLit(), step != 0);

    settings.setStartStep ((16 - step) % 16 == 0 ? 0 : 16 - step);
    ring.tick();
    const auto marker = (16 - settings.getMirrors().pulseTimeShiftStep) % 16;
    EXPECT_TRUE (ring.getSegment (marker).isStartStep);
    EXPECT_TRUE (ring.getSegment (marker).isCurrentStep);
    EXPECT_FALSE (ring.getSegment (marker).isGuideLit());
}

TEST_F (Editor, APadDragIsOneUndoStepAndCheckpointsTravelWithPresets)
{
    editor->setSize (1078, 539);
    auto& settings = processor->getSettings();
    auto& pad = editor->pieces().pad;
    const auto centre = pad.getPadArea().getCentre() - pad.getPosition().toFloat();

    pad.mouseDown (mouseAt (pad, centre + juce::Point<float> (40.0f, 0.0f)));
    pad.mouseDrag (mouseAt (pad, centre + juce::Point<float> (60.0f, -30.0f)));
    pad.mouseUp (mouseAt (pad, centre + juce::Point<float> (60.0f, -30.0f)));
    EXPECT_GT (settings.getMirrors().controlInput0.get(), 0.4f);
    EXPECT_GT (settings.getMirrors().controlInput1.get(), 0.2f);
    processor->getHistory().undo();
    EXPECT_EQ (settings.getMirrors().controlInput0.get(), 0.0f);
    EXPECT_EQ (settings.getMirrors().controlInput1.get(), 0.0f);

    // A right click on the cursor leaves a checkpoint; a segment an accent.
    juce::ModifierKeys right (juce::ModifierKeys::rightButtonModifier);
    pad.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), centre, right, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                     &pad, &pad, juce::Time::getCurrentTime(), centre, juce::Time::getCurrentTime(), 1, false));
    ASSERT_EQ (settings.getXYCheckpoints().size(), 1u);
    editor->pieces().ring.getSegment (3).setValueAsUserAction (0.9f);

    const auto folder = scratch.getFile().getChildFile ("mine");
    folder.createDirectory();
    processor->getPresets().savePreset (folder.getChildFile ("With.fxp"));
    ArpAudioProcessor plain;
    plain.getPresets().savePreset (folder.getChildFile ("Plain.fxp"));

    ASSERT_TRUE (processor->getPresets().loadPresetFile (folder.getChildFile ("Plain.fxp")).wasOk());
    ASSERT_TRUE (test::pumpUntil ([&] { return editor->pieces().pad.getPad().getCheckpoints().empty(); }));
    EXPECT_FLOAT_EQ (editor->pieces().ring.getSegment (3).getValue(), 0.5f);

    ASSERT_TRUE (processor->getPresets().loadPresetFile (folder.getChildFile ("With.fxp")).wasOk());
    ASSERT_TRUE (test::pumpUntil ([&] { return editor->pieces().pad.getPad().getCheckpoints().size() == 1; }));
    EXPECT_FLOAT_EQ (editor->pieces().ring.getSegment (3).getValue(), 0.9f);
}

} // namespace
} // namespace mur
