#include "EditorFixture.h"
#include "MouseEvents.h"
#include "processor/PlaybackHelpers.h"
#include "editor/CaptureHandle.h"
#include "persistence/CaptureClip.h"
#include "persistence/UserSettings.h"
#include "processor/Settings.h"

namespace mur
{
namespace
{

using CaptureEditor = test::Editor;

int noteOnsIn (const juce::File& file)
{
    juce::FileInputStream in (file);
    juce::MidiFile midi;
    if (! in.openedOk() || ! midi.readFrom (in))
        return -1;
    int ons = 0;
    for (const auto* e : *midi.getTrack (0))
        ons += e->message.isNoteOn() ? 1 : 0;
    return ons;
}

TEST_F (CaptureEditor, TheHandleOffersWhatWasPlayedDragsItOutSavesAndClears)
{
    auto& handle = editor->pieces().capture;
    juce::StringArray problems;
    handle.onProblem = [&] (const juce::String& message) { problems.add (message); };
    juce::Array<juce::File> dragged;
    handle.startExternalDrag = [&] (const juce::File& file) { dragged.add (file); return true; };

    // Nothing played: dimmed, and it says why, to the eye and to a screen reader.
    editor->tick();
    EXPECT_EQ (handle.barsReady(), 0);
    EXPECT_TRUE (handle.getTooltip().startsWith ("Nothing captured yet"));
    const auto access = handle.createAccessibilityHandler();
    EXPECT_EQ (access->getRole(), juce::AccessibilityRole::button);
    EXPECT_EQ (access->getTitle(), "Capture");
    EXPECT_EQ (access->getValueInterface()->getCurrentValueAsString(), "nothing captured");
    test::drag (handle, { 5.0f, 5.0f }, { -3000.0f, -3000.0f });
    EXPECT_TRUE (dragged.isEmpty());

    // Six bars of C-E-G from the downbeat, with the transport running.
    {
        render::OfflineHost host (*processor, 48000.0, 512);
        host.run (6 * 96000, 512, { test::on (0, 60), test::on (0, 64), test::on (0, 67), test::off (6 * 96000 - 100, 60),
                                    test::off (6 * 96000 - 100, 64), test::off (6 * 96000 - 100, 67) });
        host.run (96000, 512);
    }
    editor->tick();
    EXPECT_EQ (handle.barsReady(), 4);
    EXPECT_TRUE (handle.getTooltip().startsWith ("Drag the last 4 bars"));
    EXPECT_EQ (access->getValueInterface()->getCurrentValueAsString(), "4 bars ready");

    // An old clip in the drag folder goes; a drag inside the window writes
    // nothing; one that leaves it hands over a file that parses.
    const auto folder = capture::dragFolder();
    folder.createDirectory();
    const auto old = folder.getChildFile ("MUR old take.mid");
    old.replaceWithText ("old");
    old.setLastModificationTime (juce::Time::getCurrentTime() - juce::RelativeTime::days (2.0));

    test::drag (handle, { 5.0f, 5.0f }, { 20.0f, 8.0f });
    EXPECT_TRUE (dragged.isEmpty());
    test::drag (handle, { 5.0f, 5.0f }, { -3000.0f, 8.0f });
    ASSERT_EQ (dragged.size(), 1);
    EXPECT_TRUE (dragged[0].isAChildOf (folder));
    EXPECT_TRUE (dragged[0].getFileName().endsWith ("4 bars.mid")) << dragged[0].getFileName();
    const auto fourBars = noteOnsIn (dragged[0]);
    EXPECT_GT (fourBars, 8);
    EXPECT_FALSE (old.exists());

    // The whole take holds more; the length is remembered for the next editor.
    handle.setLength (0);
    EXPECT_EQ (handle.barsReady(), 6);
    EXPECT_EQ (userSettings::read ("capture_bars"), "0");
    const auto saved = scratch.getFile().getChildFile ("take.mid");
    EXPECT_TRUE (handle.saveTo (saved).wasOk());
    EXPECT_GT (noteOnsIn (saved), fourBars);
    EXPECT_EQ (userSettings::read ("capture_folder"), scratch.getFile().getFullPathName());

    // A save that cannot be written says so and leaves nothing.
    EXPECT_TRUE (handle.saveTo (saved.getChildFile ("inside.mid")).failed());
    ASSERT_EQ (problems.size(), 1);
    EXPECT_TRUE (problems[0].contains ("Cannot write"));

    handle.clear();
    editor->tick();
    EXPECT_EQ (handle.barsReady(), 0);
    EXPECT_TRUE (handle.getTooltip().startsWith ("Nothing captured yet"));

    handle.setLength (capture::defaultLength);
    for (const auto& file : dragged)
        file.deleteFile();
}

} // namespace
} // namespace mur
