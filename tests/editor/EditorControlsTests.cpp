#include "views/ViewsPanel.h"
#include "EditorFixture.h"
#include "MouseEvents.h"
#include "TestHelpers.h"
#include "editor/ControlMappings.h"
#include "processor/ParameterIds.h"
#include "views/NeuronPathOverlay.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using test::Editor;

ValueControl& control (ArpAudioProcessorEditor& editor, const char* name)
{
    auto* found = editor.pieces().control (name);
    EXPECT_NE (found, nullptr) << name;
    return *found;
}

// Keys held on the processor's MIDI input, in one short block.
void pressKeys (ArpAudioProcessor& p, std::initializer_list<int> notes, juce::MidiBuffer* output = nullptr)
{
    juce::AudioBuffer<float> audio (2, 64);
    juce::MidiBuffer midi;
    for (const auto note : notes)
        midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);
    p.processBlock (audio, midi);
    if (output != nullptr)
        output->swapWith (midi);
}

TEST_F (Editor, EachControlDrivesItsParameterInOneUndoStep)
{
    const auto& m = processor->getSettings().getMirrors();

    control (*editor, "Random").setValueAsUserAction (0.5f);
    EXPECT_FLOAT_EQ (m.softmaxGain, 5.0f);
    control (*editor, "Capacity").setValueAsUserAction (1.0f);
    EXPECT_EQ (m.hiddenSize, 50);
    EXPECT_EQ (processor->getEngine().getActiveHiddenSize(), 50);
    EXPECT_EQ (editor->pieces().neuronPath.getLevel(), 8);
    control (*editor, "Rate").setValueAsUserAction (1.0f);
    EXPECT_EQ (m.rateIndex, 0);
    control (*editor, "Feedback").setValueAsUserAction (1.0f);
    EXPECT_FLOAT_EQ (m.feedbackScale, 10.0f);

    // Length reaches 200 % on the control; the parameter stops at 100 and
    // the control shows where it stopped once the action ends.
    auto& length = control (*editor, "Length");
    length.setValueAsUserAction (1.0f);
    EXPECT_DOUBLE_EQ (m.gatePercentage, 100.0);
    EXPECT_FLOAT_EQ (length.getValue(), 99.0f / 199.0f);

    // One undo per action, newest first.
    auto& history = processor->getHistory();
    history.undo();
    EXPECT_DOUBLE_EQ (m.gatePercentage, 50.0);
    history.undo();
    EXPECT_FLOAT_EQ (m.feedbackScale, 1.0f);
    history.undo();
    EXPECT_EQ (m.rateIndex, 5);
    history.undo();
    EXPECT_EQ (m.hiddenSize, 5);
    history.undo();
    EXPECT_FLOAT_EQ (m.softmaxGain, 1000.0f);
}

TEST_F (Editor, TheControlsFollowTheProcessorAndSayTheirValues)
{
    // What a screen reader reads at the start.
    EXPECT_EQ (control (*editor, "Random").getValueText(), "deterministic");
    EXPECT_EQ (control (*editor, "Capacity").getValueText(), "5 units");
    EXPECT_EQ (control (*editor, "Rate").getValueText(), "1/16");
    EXPECT_EQ (control (*editor, "Length").getValueText(), "50%");
    EXPECT_EQ (control (*editor, "Feedback").getValueText(), "1.0");

    auto& settings = processor->getSettings();
    settings.setSoftmaxGain (2.5f);
    settings.setHiddenSize (26);
    settings.setBeatRate (12);
    settings.setGatePercentage (100.0);
    ASSERT_TRUE (test::pumpUntil ([&] { return control (*editor, "Rate").getValue() == 0.0f; }));

    EXPECT_FLOAT_EQ (control (*editor, "Random").getValue(), 0.75f);
    EXPECT_EQ (control (*editor, "Random").getValueText(), "75% random");
    EXPECT_FLOAT_EQ (control (*editor, "Capacity").getValue(), 0.5f);
    EXPECT_EQ (control (*editor, "Rate").getValueText(), "1/1");
    EXPECT_FLOAT_EQ (control (*editor, "Length").getValue(), 99.0f / 199.0f);

    // Following wrote nothing back and started no action.
    EXPECT_FLOAT_EQ (settings.getMirrors().softmaxGain, 2.5f);
}

TEST_F (Editor, TheNoteWindowShowsFourSlotsAndScrolls)
{
    editor->setSize (1078, 539);
    EXPECT_EQ (editor->pieces().noteWindow.getScrollIndex(), 0);
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (0).isVisible());
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (3).isVisible());
    EXPECT_FALSE (editor->pieces().noteWindow.getArc (4).isVisible());
    const auto window = editor->pieces().noteWindow.getPosition();
    EXPECT_EQ (editor->pieces().noteWindow.getArc (0).getBounds() + window, juce::Rectangle<int> (836, 417, 33, 33));
    EXPECT_EQ (editor->pieces().noteWindow.getNoteOnButton (0).getBounds() + window, juce::Rectangle<int> (846, 454, 14, 14));
    EXPECT_FALSE (editor->pieces().noteWindow.getArrow (false).isVisible());

    for (int i = 0; i < 46; ++i)
        editor->pieces().noteWindow.getArrow (true).onClick();
    EXPECT_EQ (editor->pieces().noteWindow.getScrollIndex(), 46);
    EXPECT_FALSE (editor->pieces().noteWindow.getArrow (true).isVisible());
    EXPECT_TRUE (editor->pieces().noteWindow.getArrow (false).isVisible());
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (49).isVisible());
    EXPECT_FALSE (editor->pieces().noteWindow.getArc (45).isVisible());

    // The wheel over an arc scrolls the same window: 0.5 up is two slots back.
    auto& arc = editor->pieces().noteWindow.getArc (47);
    arc.mouseWheelMove (test::mouseAt (arc, { 16, 16 }), test::wheel (0.5f));
    EXPECT_EQ (editor->pieces().noteWindow.getScrollIndex(), 44);

    // Hovering one arc turns all of them into needles.
    arc.mouseEnter (test::mouseAt (arc, { 16, 16 }));
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (44).isShowingNeedle());
    arc.mouseExit (test::mouseAt (arc, { 40, 40 }));
    EXPECT_FALSE (editor->pieces().noteWindow.getArc (44).isShowingNeedle());
}

TEST_F (Editor, NoteArcsNameTheHeldNotesSetTheirGainsAndPreview)
{
    processor->prepareToPlay (48000.0, 64);

    // Without a held note the note-on button plays nothing.
    editor->pieces().noteWindow.getNoteOnButton (0).onClick();
    juce::MidiBuffer output;
    pressKeys (*processor, {}, &output);
    EXPECT_EQ (output.getNumEvents(), 0);

    pressKeys (*processor, { 64, 61 });
    editor->tick();
    EXPECT_EQ (editor->pieces().noteWindow.getArc (0).noteName, "C#3");
    EXPECT_EQ (editor->pieces().noteWindow.getArc (1).noteName, "E3");
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (2).noteName.isEmpty());

    editor->pieces().noteWindow.getNoteOnButton (1).onClick();
    pressKeys (*processor, {}, &output);
    ASSERT_EQ (output.getNumEvents(), 1);
    EXPECT_EQ ((*output.begin()).getMessage().getNoteNumber(), 64);

    editor->pieces().noteWindow.getArc (1).setValueAsUserAction (0.8f);
    EXPECT_FLOAT_EQ (processor->getSettings().getNoteGain (2), 0.8f);
    processor->getHistory().undo();
    EXPECT_FLOAT_EQ (processor->getSettings().getNoteGain (2), 0.5f);
}

TEST_F (Editor, TheResetDotPutsEveryNoteGainBackInOneUndoStep)
{
    auto& settings = processor->getSettings();
    editor->pieces().noteWindow.getArc (0).setValueAsUserAction (0.9f);
    editor->pieces().noteWindow.getArc (49).setValueAsUserAction (0.1f);

    auto* reset = editor->pieces().button ("resetNoteGainsDot");
    ASSERT_NE (reset, nullptr);
    reset->onClick();
    EXPECT_FLOAT_EQ (settings.getNoteGain (1), 0.5f);
    EXPECT_FLOAT_EQ (editor->pieces().noteWindow.getArc (49).getValue(), 0.5f);
    EXPECT_FLOAT_EQ (processor->getParameters()[50]->getValue(), 0.5f);

    processor->getHistory().undo();
    EXPECT_FLOAT_EQ (settings.getNoteGain (1), 0.9f);
    EXPECT_FLOAT_EQ (settings.getNoteGain (50), 0.1f);
}

TEST_F (Editor, ChildrenStackInTheOrderOfTheLayout)
{
    const auto& children = editor->pieces().designRoot.getChildren();
    auto indexOf = [&] (juce::Component* c) { return children.indexOf (c); };

    // The About area and then the neuron path are brought to the front;
    // everything else keeps the layout's order, with the note window added last.
    EXPECT_LT (indexOf (editor->pieces().control ("Rate")), indexOf (editor->pieces().control ("Length")));
    EXPECT_LT (indexOf (editor->pieces().control ("Length")), indexOf (editor->pieces().control ("Feedback")));
    EXPECT_LT (indexOf (editor->pieces().control ("Feedback")), indexOf (editor->pieces().control ("Capacity")));
    EXPECT_LT (indexOf (editor->pieces().control ("Capacity")), indexOf (editor->pieces().control ("Random")));
    EXPECT_LT (indexOf (editor->pieces().control ("Random")), indexOf (&editor->pieces().presetBar));
    EXPECT_LT (indexOf (editor->pieces().button ("pulseMenuToggleButton")), indexOf (&editor->pieces().noteWindow));

    EXPECT_EQ (children.getLast(), static_cast<juce::Component*> (&editor->pieces().neuronPath));
    auto* about = dynamic_cast<ClickOverlay*> (children[children.size() - 2]);
    ASSERT_NE (about, nullptr);
    EXPECT_EQ (about->getTooltip(), "About MUR");
    EXPECT_EQ (about->getBounds(), juce::Rectangle<int> (514, 493, 50, 13));
}

TEST_F (Editor, TheOctavesControlSpreadsTheNoteWindowInOneUndoStepAndFollowsTheHost)
{
    processor->prepareToPlay (48000.0, 64);
    pressKeys (*processor, { 60, 64 });
    editor->tick();
    auto& octaves = control (*editor, "Octaves");
    EXPECT_EQ (octaves.getValueText(), "1 octave");
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (2).noteName.isEmpty());

    // A press on the third dot is one action: three octaves, and the note
    // window names every slot.
    processor->getUndoManager().clearUndoHistory();
    octaves.mouseDown (test::mouseAt (octaves, { 54.0f + 2 * 11.0f + 3.0f, 8.0f }));
    octaves.mouseUp (test::mouseAt (octaves, { 54.0f + 2 * 11.0f + 3.0f, 8.0f }));
    EXPECT_EQ (processor->getSettings().getMirrors().octaveRange, 3);
    editor->tick();
    EXPECT_EQ (editor->pieces().noteWindow.getArc (2).noteName, "C4");
    EXPECT_EQ (editor->pieces().noteWindow.getArc (5).noteName, "E5");
    EXPECT_TRUE (editor->pieces().noteWindow.getArc (6).noteName.isEmpty());
    processor->getHistory().undo();
    EXPECT_EQ (processor->getSettings().getMirrors().octaveRange, 1);
    EXPECT_FALSE (processor->getHistory().canUndo());

    // The host's automation moves the control and the window, writing nothing back.
    auto* parameter = processor->getParameters()[ids::pos::octaveRange];
    parameter->setValueNotifyingHost (1.0f);
    ASSERT_TRUE (test::pumpUntil ([&] { return octaves.getValueText() == "4 octaves"; }));
    editor->tick();
    EXPECT_EQ (editor->pieces().noteWindow.getArc (7).noteName, "E6");

    // An arrow key steps down one octave.
    octaves.keyPressed (juce::KeyPress (juce::KeyPress::leftKey));
    EXPECT_EQ (processor->getSettings().getMirrors().octaveRange, 3);
}

} // namespace
} // namespace mur
