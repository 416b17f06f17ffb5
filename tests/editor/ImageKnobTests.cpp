#include "editor/ImageKnobComponent.h"
#include "editor/LinkedKnobs.h"
#include "MouseEvents.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

using test::mouseAt;

TEST (ImageKnob, OnlyTheCentralDiscTakesTheMouse)
{
    ImageKnobComponent knob ({}, 0.5f);
    knob.setSize (70, 70);
    EXPECT_TRUE (knob.hitTest (35, 35));
    EXPECT_TRUE (knob.hitTest (35 + 14, 35));
    EXPECT_FALSE (knob.hitTest (35 + 15, 35));
    EXPECT_FALSE (knob.hitTest (35 + 10, 35 + 11));
}

TEST (ImageKnob, FramesRoundHalvesAwayFromZero)
{
    ImageKnobComponent knob ({}, 0.0f);
    knob.setValue (1.0f / 30.0f - 1e-4f);
    EXPECT_EQ (knob.getFrameIndex(), 0);
    knob.setValue (1.0f / 30.0f);
    EXPECT_EQ (knob.getFrameIndex(), 1);
    knob.setValue (29.0f / 30.0f);
    EXPECT_EQ (knob.getFrameIndex(), 15);
    knob.setValue (7.0f);
    EXPECT_EQ (knob.getValue(), 1.0f);
}

TEST (ImageKnob, DragsAndDoubleClicksReportOnlyRealChanges)
{
    std::vector<float> reported;
    ImageKnobComponent knob ([&] (float v) { reported.push_back (v); }, 0.2f);
    knob.setSize (70, 70);

    knob.mouseDown (mouseAt (knob, { 35, 35 }));
    knob.mouseDrag (mouseAt (knob, { 35 + 50, 35 - 50 }));
    EXPECT_NEAR (knob.getValue(), 0.7f, 1e-6f);
    knob.mouseDrag (mouseAt (knob, { 35 + 100, 35 - 100 }));
    EXPECT_EQ (knob.getValue(), 1.0f);
    knob.mouseDrag (mouseAt (knob, { 35 + 120, 35 - 120 }));
    EXPECT_EQ (reported.size(), 2u);

    knob.mouseDoubleClick (mouseAt (knob, { 35, 35 }, 2));
    EXPECT_FLOAT_EQ (knob.getValue(), 0.2f);
    knob.mouseDoubleClick (mouseAt (knob, { 35, 35 }, 2));
    EXPECT_EQ (reported.size(), 3u);
}

TEST (LinkedKnobs, MemorySpanStaysOrTheMoveIsRefused)
{
    // leak 0.5, recurrence 1: span 1; Inertia to 0.8 keeps Echo at 1.
    auto span = link::memorySpan (0.5f, 1.0f);
    auto move = link::inertiaMoved (0.8f, true, span, 1.0f);
    ASSERT_TRUE (move);
    EXPECT_NEAR (move->leakRate, 0.2f, 1e-6f);
    EXPECT_NEAR (move->recurrenceScale, 1.0f, 1e-5f);

    // leak 0.5, recurrence 3: span 2; leak 0.04 needs Echo 26 (refused), 0.25 gives 5.
    span = link::memorySpan (0.5f, 3.0f);
    EXPECT_FALSE (link::inertiaMoved (0.96f, true, span, 3.0f));
    move = link::inertiaMoved (0.75f, true, span, 3.0f);
    ASSERT_TRUE (move);
    EXPECT_NEAR (move->recurrenceScale, 5.0f, 1e-5f);

    // Echo exactly 1 (position 0.05) sets Inertia's leak to 1.
    move = link::echoMoved (0.05f, true, span, 0.5f);
    ASSERT_TRUE (move);
    EXPECT_FLOAT_EQ (move->leakRate, 1.0f);

    // Unlinked, each knob changes only its own parameter.
    move = link::echoMoved (0.5f, false, span, 0.3f);
    ASSERT_TRUE (move);
    EXPECT_FLOAT_EQ (move->leakRate, 0.3f);
    EXPECT_FLOAT_EQ (move->recurrenceScale, 10.0f);
}

} // namespace
} // namespace mur
