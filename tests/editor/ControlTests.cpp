#include "MouseEvents.h"
#include "editor/ArcKnobComponent.h"
#include "editor/ControlMappings.h"
#include "editor/CustomSliderComponent.h"
#include "editor/TimeDials.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using test::mouseAt;

// Paints a control into an image of twice its size, as a 2156 x 1078 window would.
void paintAtDoubleSize (juce::Component& c)
{
    juce::Image image (juce::Image::ARGB, c.getWidth() * 2, c.getHeight() * 2, true);
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (2.0f));
    c.paintEntireComponent (g, true);
}

TEST (ControlMappings, RateLengthCapacityRandomAndFeedback)
{
    EXPECT_EQ (controls::rateIndexFor (1.0f), 0);
    EXPECT_EQ (controls::rateText (1.0f), "1/96");
    EXPECT_EQ (controls::rateIndexFor (0.5833334f), 5);
    EXPECT_EQ (controls::rateText (0.5833334f), "1/16");
    EXPECT_EQ (controls::rateText (0.0f), "1/1");
    for (int index = 0; index < 13; ++index)
        EXPECT_EQ (controls::rateIndexFor (controls::positionForRate (index)), index);

    EXPECT_EQ (controls::gateText (0.246f), "50%");
    EXPECT_DOUBLE_EQ (controls::gatePercentFor (1.0f), 200.0);
    EXPECT_FLOAT_EQ (controls::positionForGate (100.0), 99.0f / 199.0f);
    EXPECT_EQ (controls::positionForGate (-5.0), 0.0f);

    EXPECT_FLOAT_EQ (controls::positionForHiddenSize (5), 0.0625f);
    EXPECT_EQ (controls::hiddenSizeFor (0.0625f), 5);
    EXPECT_EQ (controls::hiddenSizeFor (1.0f), 50);
    EXPECT_EQ (controls::hiddenSizeFor (0.0f), 2);
    EXPECT_EQ (controls::neuronPathLevelFor (0.0f), 1);
    EXPECT_EQ (controls::neuronPathLevelFor (1.0f), 8);

    // The jump at the far left: deterministic, then 9.9 and down.
    EXPECT_EQ (controls::positionForSoftmaxGain (1000.0f), 0.0f);
    EXPECT_EQ (controls::softmaxGainFor (0.0f), 1000.0f);
    EXPECT_EQ (controls::softmaxGainFor (0.01f), 1000.0f);
    EXPECT_NEAR (controls::softmaxGainFor (0.01001f), 9.9f, 1e-3f);
    EXPECT_FLOAT_EQ (controls::softmaxGainFor (0.5f), 5.0f);
    EXPECT_FLOAT_EQ (controls::positionForSoftmaxGain (5.0f), 0.5f);
    EXPECT_EQ (controls::positionForSoftmaxGain (40.0f), 0.0f);
}

TEST (ControlMappings, NoteNamesAndWheelScrolling)
{
    EXPECT_EQ (controls::noteName (60), "C3");
    EXPECT_EQ (controls::noteName (61), "C#3");
    EXPECT_EQ (controls::noteName (64), "E3");
    EXPECT_EQ (controls::noteName (0), "C-2");
    EXPECT_EQ (controls::noteName (127), "G8");

    auto scroll = controls::scrollByWheel (0.0f, 0.0f, -0.6f);
    EXPECT_EQ (scroll.slots, 2);
    EXPECT_NEAR (scroll.remainder, -0.1f, 1e-6f);
    scroll = controls::scrollByWheel (scroll.remainder, 0.0f, -0.2f);
    EXPECT_EQ (scroll.slots, 1);
    scroll = controls::scrollByWheel (0.0f, 0.3f, 0.1f); // the larger axis counts
    EXPECT_EQ (scroll.slots, -1);
}

TEST (TimeDials, RateShowsItsDivisionAndLengthReaches200Percent)
{
    RateTimeComponent rate;
    rate.setBounds (0, 0, 38, 38);
    EXPECT_EQ (rate.blobCount(), 16);
    rate.setValue (1.0f);
    EXPECT_EQ (rate.blobCount(), 96);
    EXPECT_EQ (rate.getValueText(), "1/96");
    paintAtDoubleSize (rate);
    rate.setValue (0.0f);
    EXPECT_EQ (rate.blobCount(), 1);
    paintAtDoubleSize (rate);

    // The blobs shrink in within about 1.5 s and stay so.
    for (int i = 0; i < 10; ++i)
        rate.advanceBy (0.25);
    EXPECT_EQ (rate.getIntro(), 1.0f);

    GateNotesComponent length;
    length.setBounds (0, 0, 38, 38);
    EXPECT_EQ (length.getValueText(), "50%");
    length.setValue (0.0f, juce::dontSendNotification);
    test::drag (length, { 19, 19 }, { 219, 19 });
    EXPECT_EQ (length.getValue(), 1.0f);
    EXPECT_EQ (length.getValueText(), "200%");
    length.mouseDoubleClick (mouseAt (length, { 19, 19 }, 2));
    EXPECT_FLOAT_EQ (length.getValue(), 0.246f);

    // Off screen nothing animates; a step still advances by hand.
    EXPECT_FALSE (length.isAnimating());
    const auto phase = length.getPhase();
    length.tick();
    EXPECT_FLOAT_EQ (length.getPhase(), phase + 0.004f);
    EXPECT_TRUE (length.hitTest (19, 19));
    EXPECT_FALSE (length.hitTest (1, 1));
}

TEST (Sliders, PressJumpsToThePointerAndDoubleClickRestoresTheDefault)
{
    std::vector<float> feedback;
    CustomSliderComponent slider ([&] (float f) { feedback.push_back (f); }, 0.1f, 0.0f, 10.0f);
    slider.setBounds (0, 0, 166, 19);
    EXPECT_FLOAT_EQ (slider.thumbSize(), 19.0f);

    // A press at the far right sets 10 at once, without a drag.
    slider.mouseDown (mouseAt (slider, { 166, 9 }));
    EXPECT_TRUE (slider.isDragging());
    slider.mouseUp (mouseAt (slider, { 166, 9 }));
    ASSERT_EQ (feedback.size(), 1u);
    EXPECT_FLOAT_EQ (feedback.back(), 10.0f);

    slider.mouseDown (mouseAt (slider, { 10, 9 }, 2));
    slider.mouseDoubleClick (mouseAt (slider, { 10, 9 }, 2));
    slider.mouseUp (mouseAt (slider, { 10, 9 }, 2));
    EXPECT_FLOAT_EQ (feedback.back(), 1.0f);
    EXPECT_FLOAT_EQ (slider.getValue(), 0.1f);

    // Random: from the far left, a drag to the middle is the gain 5.
    std::vector<float> positions;
    CustomSliderComponent random ([&] (float v) { positions.push_back (v); }, 0.0f, 0.0f, 1.0f);
    random.setBounds (0, 0, 173, 19);
    test::drag (random, { 0, 9 }, { 86.5f, 9 });
    ASSERT_FALSE (positions.empty());
    EXPECT_NEAR (controls::softmaxGainFor (positions.back()), 5.0f, 1e-4f);

    // A slider without travel for its thumb ignores the mouse.
    CustomSliderComponent narrow ([&] (float v) { positions.push_back (v); }, 0.5f, 0.0f, 1.0f);
    narrow.setBounds (0, 0, 0, 19);
    const auto count = positions.size();
    test::drag (narrow, { 0, 9 }, { 5, 9 });
    EXPECT_EQ (positions.size(), count);
}

TEST (ArcKnobs, CapacityMovesIn48StepsAndOnlyItsBandTakesTheMouse)
{
    std::set<float> seen;
    ArcKnobComponent capacity (juce::Colours::white, [&] (float v) { seen.insert (v); }, 0.0625f, false, {}, 49);
    capacity.setBounds (0, 0, 69, 69);

    capacity.mouseDown (mouseAt (capacity, { 34, 34 }));
    for (int y = 34; y >= 34 - 100; --y)
        capacity.mouseDrag (mouseAt (capacity, { 34, static_cast<float> (y) }));
    capacity.mouseUp (mouseAt (capacity, { 34, -66 }));
    EXPECT_EQ (capacity.getValue(), 1.0f);
    EXPECT_EQ (controls::hiddenSizeFor (capacity.getValue()), 50);
    EXPECT_EQ (seen.size(), 45u); // every step from 6 units to 50, none in between
    for (const auto v : seen)
        EXPECT_FLOAT_EQ (v * 48.0f, std::round (v * 48.0f));

    capacity.setValue (0.3f);
    EXPECT_FLOAT_EQ (capacity.getValue(), 14.0f / 48.0f);

    // A band 16 units either side of the arc; the disc only when asked.
    EXPECT_FALSE (capacity.hitTest (34, 34));
    EXPECT_TRUE (capacity.hitTest (34, 4));
    capacity.wholeDiscClickable = true;
    EXPECT_TRUE (capacity.hitTest (34, 34));
    paintAtDoubleSize (capacity);
}

TEST (NoteArcs, NamesNeedlesAndTheWheel)
{
    std::vector<int> scrolled;
    NoteArcComponent arc (3, juce::Colours::orange, nullptr);
    arc.setBounds (0, 0, 33, 33);
    arc.onScroll = [&] (int slots) { scrolled.push_back (slots); };
    arc.noteName = controls::noteName (61);
    paintAtDoubleSize (arc);

    std::vector<bool> hovers;
    arc.onHoverChange = [&] (bool entered) { hovers.push_back (entered); };
    EXPECT_FALSE (arc.isShowingNeedle());
    arc.mouseEnter (mouseAt (arc, { 16, 16 }));
    EXPECT_TRUE (arc.isShowingNeedle());
    paintAtDoubleSize (arc);
    arc.mouseExit (mouseAt (arc, { 40, 40 }));
    EXPECT_FALSE (arc.isShowingNeedle());
    EXPECT_EQ (hovers, (std::vector<bool> { true, false }));

    arc.mouseWheelMove (mouseAt (arc, { 16, 16 }), test::wheel (-0.6f));
    EXPECT_EQ (scrolled, (std::vector<int> { 1, 1 }));
    EXPECT_NEAR (arc.wheelAccumulator, -0.1f, 1e-6f);
    arc.mouseWheelMove (mouseAt (arc, { 16, 16 }), test::wheel (-0.6f, true));
    EXPECT_EQ (arc.wheelAccumulator, 0.0f);
    EXPECT_EQ (scrolled.size(), 2u);
}

TEST (ValueControls, OneActionPerPressKeyOrScreenReaderChange)
{
    juce::StringArray log;
    ArcKnobComponent knob (juce::Colours::white, [&] (float v) { log.add ("value " + juce::String (v, 3)); }, 0.5f, false, {}, 0);
    knob.setBounds (0, 0, 69, 69);
    knob.onGestureStart = [&] { log.add ("begin"); };
    knob.onGestureEnd = [&] { log.add ("end"); };
    knob.setTitle ("Capacity");
    knob.valueText = [] (float v) { return juce::String (controls::hiddenSizeFor (v)) + " units"; };

    test::drag (knob, { 34, 4 }, { 44, 4 });
    EXPECT_EQ (log.joinIntoString (", "), "begin, value 0.600, end");

    log.clear();
    EXPECT_TRUE (knob.keyPressed (juce::KeyPress (juce::KeyPress::upKey)));
    EXPECT_FALSE (knob.keyPressed (juce::KeyPress ('x')));
    EXPECT_EQ (log.joinIntoString (", "), "begin, value 0.610, end");

    // What a screen reader is given (JUCE hands it out only in a window).
    const auto handler = knob.createAccessibilityHandler();
    ASSERT_NE (handler, nullptr);
    EXPECT_EQ (handler->getRole(), juce::AccessibilityRole::slider);
    EXPECT_EQ (handler->getTitle(), "Capacity");
    auto* value = handler->getValueInterface();
    ASSERT_NE (value, nullptr);
    EXPECT_EQ (value->getCurrentValueAsString(), "31 units");

    log.clear();
    value->setValue (1.0);
    EXPECT_EQ (log.joinIntoString (", "), "begin, value 1.000, end");

    // Following the processor shows a value without reporting it.
    log.clear();
    knob.setValue (0.2f, juce::dontSendNotification);
    EXPECT_TRUE (log.isEmpty());
    EXPECT_FLOAT_EQ (knob.getValue(), 0.2f);
}

} // namespace
} // namespace mur
