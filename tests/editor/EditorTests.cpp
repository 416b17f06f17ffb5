#include "views/ViewsPanel.h"
#include "EditorFixture.h"
#include "TestHelpers.h"
#include "processor/ProcessorAccess.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "editor/DesignRootComponent.h"
#include "editor/LookAndFeels.h"
#include "editor/TooltipHost.h"
#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using test::Editor;

TEST_F (Editor, LayoutScalesAsAWholeAndKeepsTheRatio)
{
    auto& inertia = editor->pieces().knob ("Inertia");

    editor->setSize (1078, 539);
    EXPECT_EQ (onScreen (inertia), juce::Rectangle<int> (66, 405, 70, 70));
    EXPECT_EQ (editor->pieces().pad.getPadArea(), juce::Rectangle<float> (395, 148, 290, 290));

    editor->setSize (2156, 1078);
    EXPECT_EQ (onScreen (inertia), juce::Rectangle<int> (132, 810, 140, 140));
    EXPECT_EQ (editor->pieces().pad.getPadArea(), juce::Rectangle<float> (790, 296, 580, 580));

    editor->setSize (539, 270);
    EXPECT_NEAR (editor->pieces().pad.getPadArea().getWidth(), 145.0f, 0.2f);

    auto* constrainer = editor->getConstrainer();
    ASSERT_NE (constrainer, nullptr);
    EXPECT_DOUBLE_EQ (constrainer->getFixedAspectRatio(), 2.0);
    EXPECT_EQ (constrainer->getMinimumWidth(), 539);
    EXPECT_EQ (constrainer->getMinimumHeight(), 270);
    EXPECT_EQ (constrainer->getMaximumWidth(), 2156);
}

TEST_F (Editor, CtrlShiftHHidesAndRestoresThePresetBar)
{
    auto* undo = editor->pieces().button ("undoButton");
    auto* save = editor->pieces().button ("savePresetButton");
    ASSERT_NE (undo, nullptr);
    ASSERT_NE (save, nullptr);

    EXPECT_FALSE (editor->keyPressed (juce::KeyPress ('H', juce::ModifierKeys::ctrlModifier, 0)));
    EXPECT_FALSE (editor->keyPressed (juce::KeyPress ('H')));
    EXPECT_TRUE (editor->pieces().presetBar.isShown());

    const auto ctrlShiftH = juce::KeyPress ('H', juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier, 0);
    EXPECT_TRUE (editor->keyPressed (ctrlShiftH));
    EXPECT_FALSE (editor->pieces().presetBar.isShown());
    EXPECT_FALSE (undo->isVisible());
    EXPECT_FALSE (save->isEnabled());
    EXPECT_EQ (save->getAlpha(), 0.0f);
    EXPECT_FALSE (editor->pieces().designRoot.isPresetBarShown());

    EXPECT_TRUE (editor->keyPressed (ctrlShiftH));
    EXPECT_TRUE (editor->pieces().presetBar.isShown());
    EXPECT_TRUE (undo->isVisible());
    EXPECT_TRUE (save->isEnabled());
}

TEST_F (Editor, KnobsDriveTheirParametersAndMarkThePreset)
{
    const auto folder = processor->getPresets().getPresetLibrary().presetsFolder().getChildFile ("Set");
    folder.createDirectory();
    for (auto* name : { "Bass", "lead", "Pad" })
        processor->getPresets().savePreset (folder.getChildFile (juce::String (name) + ".fxp"));

    editor->pieces().presetBar.loadAdjacent (true); // after "Pad": wraps to the first file
    EXPECT_EQ (editor->pieces().presetBar.getName(), "Bass");
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), "Bass");

    editor->pieces().knob ("Repetition").setValue (0.9f);
    EXPECT_FLOAT_EQ (processor->getSettings().getMirrors().repeatGain, 0.9f);
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), "Bass *");

    editor->pieces().knob ("Breath").setValue (0.3f);
    EXPECT_FLOAT_EQ (processor->getSettings().getNoteGain (0), 0.3f);
    editor->pieces().knob ("Inertia").setValue (0.25f);
    EXPECT_FLOAT_EQ (processor->getSettings().getMirrors().leakRate, 0.75f);

    editor->pieces().presetBar.loadAdjacent (true);
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), "lead");
    EXPECT_FLOAT_EQ (processor->getSettings().getMirrors().repeatGain, 0.5f);
    EXPECT_FLOAT_EQ (editor->pieces().knob ("Repetition").getValue(), 0.5f);

    editor->pieces().presetBar.loadAdjacent (false);
    editor->pieces().presetBar.loadAdjacent (false);
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), "Pad");
}

TEST_F (Editor, APresetThatCannotBeLoadedSaysWhyInThePresetBar)
{
    auto& bar = editor->pieces().presetBar;
    const auto folder = processor->getPresets().getPresetLibrary().presetsFolder().getChildFile ("Set");
    folder.createDirectory();
    processor->getPresets().savePreset (folder.getChildFile ("Good.fxp"));
    folder.getChildFile ("Broken.fxp").replaceWithText ("<Patch/>");

    bar.loadFile (folder.getChildFile ("Broken.fxp"));
    EXPECT_EQ (bar.getProblem(), "Broken.fxp is not a MUR preset.");
    EXPECT_EQ (bar.getLabelText(), bar.getProblem());
    EXPECT_EQ (bar.getName(), "Good") << "the preset that plays is still the one before";

    bar.loadFile (folder.getChildFile ("Good.fxp"));
    EXPECT_EQ (bar.getProblem(), juce::String());
    EXPECT_EQ (bar.getLabelText(), "Good");
}

TEST_F (Editor, TimerFollowsUndoAndTheChangeCallbackMovesTheKnobs)
{
    auto* undo = editor->pieces().button ("undoButton");
    editor->tick();
    EXPECT_FALSE (undo->isEnabled());

    processor->getSettings().setNeighborGain (0.6f);
    editor->tick();
    EXPECT_TRUE (undo->isEnabled());

    EXPECT_TRUE (test::pumpUntil ([&] { return std::abs (editor->pieces().knob ("Proximity").getValue() - 0.6f) < 1e-6f; }));

    // Moves that arrive from the processor do not mark the preset.
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), juce::String());
}

TEST_F (Editor, FollowingARestoredStateWritesNothingBack)
{
    ArpAudioProcessor source;
    source.getSettings().setLeakRate (0.1f);          // 1 - (1 - 0.1) is not 0.1 in floats
    source.getSettings().setRecurrenceScale (7.77f);
    source.getSettings().setRepeatGain (0.33f);
    source.getSettings().setNoteGain (0, 0.41f);
    juce::MemoryBlock state;
    source.getStateInformation (state);

    struct Counter : juce::AudioProcessorParameter::Listener
    {
        void parameterValueChanged (int, float) override { ++changes; }
        void parameterGestureChanged (int, bool) override {}
        int changes = 0;
    } counter;

    processor->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    for (auto* parameter : processor->getParameters())
        parameter->addListener (&counter);

    // The change callback moves the knobs, and nothing more.
    ASSERT_TRUE (test::pumpUntil ([&] { return std::abs (editor->pieces().knob ("Echo").getValue() - 7.77f / 20.0f) < 1e-6f; }));
    test::ProcessorAccess::runMessageThreadTasks (*processor);
    editor->tick();
    ASSERT_TRUE (test::runPostedMessages());
    EXPECT_EQ (counter.changes, 0);
    EXPECT_FLOAT_EQ (processor->getSettings().getMirrors().leakRate, 0.1f);
    EXPECT_EQ (editor->pieces().presetBar.getLabelText(), juce::String());

    for (auto* parameter : processor->getParameters())
        parameter->removeListener (&counter);
}

TEST_F (Editor, ReseedRecoloursTheCheckpointsAndKeepsTheirPlaces)
{
    processor->getSettings().setXYCheckpoints ({ { 0.5f, -0.5f, 0xff000000 }, { -0.9f, 0.2f, 0xff000000 } });
    const auto seedBefore = processor->getSettings().getArpSeed();

    editor->pieces().button ("reseedButton")->onClick();

    EXPECT_NE (processor->getSettings().getArpSeed(), seedBefore);
    const auto& checkpoints = processor->getSettings().getXYCheckpoints();
    ASSERT_EQ (checkpoints.size(), 2u);
    EXPECT_EQ (checkpoints[0].x, 0.5f);
    EXPECT_EQ (checkpoints[1].y, 0.2f);
    for (const auto& cp : checkpoints)
        EXPECT_NE (cp.colour, 0xff000000u);
}

TEST (TooltipWindow, TipsFallSilentWhileSuppressed)
{
    // Unsuppressed, the window answers as JUCE's own does (which also
    // depends on the process being in front, so the test compares with it).
    struct Probe : ArpTooltipWindow
    {
        juce::String standardTip (juce::Component& c) { return juce::TooltipWindow::getTipFor (c); }
    } window;

    juce::Label withTip;
    withTip.setTooltip ("Play this note.");
    bool hidden = true;
    window.suppressTips = [&hidden] { return hidden; };

    withTip.setTooltip ("Play this note.");
    EXPECT_EQ (window.getTipFor (withTip), juce::String());
    hidden = false;
    EXPECT_EQ (window.getTipFor (withTip), window.standardTip (withTip));
}

// A window repaints small areas of the artwork: each must come out as the
// same pixels the whole artwork has there, at any window size.
TEST (DesignRoot, APartOfTheBackgroundMatchesTheWhole)
{
    // A view's screen with its frame, the ring's artwork, the soft edges.
    juce::RectangleList<int> repainted;
    for (const auto area : { juce::Rectangle<int> (30, 100, 250, 125), { 380, 130, 320, 320 }, { 1000, 480, 78, 59 } })
        repainted.add (area);
    for (const auto& [w, h] : { std::pair { 1078, 539 }, std::pair { 2156, 1078 }, std::pair { 1617, 808 }, std::pair { 809, 404 } })
    {
        DesignRootComponent root;
        root.setBounds (0, 0, DesignRootComponent::designWidth, DesignRootComponent::designHeight);
        root.setPixelSize (w, h);
        const auto toPixels = juce::AffineTransform::scale (static_cast<float> (w) / DesignRootComponent::designWidth,
                                                            static_cast<float> (h) / DesignRootComponent::designHeight);
        auto paint = [&] (const juce::RectangleList<int>& clip)
        {
            juce::Image image (juce::Image::ARGB, w, h, true);
            juce::Graphics g (image);
            g.addTransform (toPixels);
            g.reduceClipRegion (clip);
            root.paint (g);
            return image;
        };
        const auto whole = paint (juce::Rectangle<int> (0, 0, DesignRootComponent::designWidth, DesignRootComponent::designHeight)), part = paint (repainted);

        // Whole pixels only where the scale leaves the areas' edges inside a pixel.
        const auto margin = w % DesignRootComponent::designWidth == 0 ? 0.0f : 1.0f;
        for (const auto area : repainted)
        {
            const auto inside = area.toFloat().transformedBy (toPixels).reduced (margin).getSmallestIntegerContainer().getIntersection (whole.getBounds());
            for (int y = inside.getY(); y < inside.getBottom(); ++y)
                for (int x = inside.getX(); x < inside.getRight(); ++x)
                    ASSERT_EQ (part.getPixelAt (x, y), whole.getPixelAt (x, y)) << w << " at " << x << ", " << y;
        }
    }
}

// The window polls the pointer while it exists: it comes with the pointer's
// moves and goes when the pointer leaves or rests with nothing shown.
TEST (TooltipHost, AWindowOnlyWhileThePointerMovesOverTheEditorOrATipShows)
{
    juce::Component editor;
    TooltipLookAndFeel lookAndFeel;
    TooltipHost host (editor, lookAndFeel, [] { return false; });
    const auto now = juce::Time::getMillisecondCounterHiRes(), rested = now + 2.0 * TooltipHost::restMs;
    host.pointerMoved();
    host.check (now + 100.0, true);
    ASSERT_NE (host.window(), nullptr);
    host.check (now + 100.0, false);
    EXPECT_EQ (host.window(), nullptr);

    host.pointerMoved();
    host.window()->setVisible (true); // a tip on screen
    host.check (rested, true);
    ASSERT_NE (host.window(), nullptr);
    host.window()->setVisible (false);
    host.check (rested, true);
    EXPECT_EQ (host.window(), nullptr);
}

TEST (TooltipPlacement, AboveThePointerTowardsTheMiddle)
{
    TooltipLookAndFeel lf;
    const juce::Rectangle<int> screen (0, 0, 1920, 1080);

    const auto left = lf.getTooltipBounds ("Save preset to file.", { 100, 500 }, screen);
    EXPECT_EQ (left.getX(), 124);
    EXPECT_LT (left.getBottom(), 500);

    const auto right = lf.getTooltipBounds ("Save preset to file.", { 1900, 500 }, screen);
    EXPECT_LT (right.getRight(), 1900);

    const auto corner = lf.getTooltipBounds ("x", { 5, 5 }, screen);
    EXPECT_GE (corner.getY(), 0);
    EXPECT_GE (corner.getWidth(), 80);
    EXPECT_GE (corner.getHeight(), 24);
}

} // namespace
} // namespace mur
