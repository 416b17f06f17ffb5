#include "TestHelpers.h"
#include "persistence/PresetLibrary.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

namespace mur
{
namespace
{

TEST (Undo, APresetLoadIsOneStepBackButTheNetworkStays)
{
    ArpAudioProcessor source;
    source.getSettings().reseed (555);
    source.getSettings().setLeakRate (0.2f);
    source.getSettings().setSoftmaxGain (50.0f);
    juce::MemoryBlock preset;
    source.getStateDocument().write (preset, false);

    ArpAudioProcessor p;
    p.getSettings().setLeakRate (0.7f);
    p.getHistory().beginUndoTransaction();
    p.getStateDocument().read (preset.getData(), preset.getSize(), "P", false);
    ASSERT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.2f);

    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.7f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().softmaxGain, 1000.0f);
    EXPECT_EQ (p.getSettings().getArpSeed(), 555);
    EXPECT_EQ (p.getEngine().getInputWeights(), source.getEngine().getInputWeights());

    p.getHistory().redo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.2f);
}

TEST (Undo, ChangesSinceTheLastStartGoTogetherAndMerge)
{
    ArpAudioProcessor p;
    for (float v : { 2.0f, 3.0f, 4.0f })
        p.getSettings().setRecurrenceScale (v);
    p.getSettings().setNoiseAmount (0.5f);

    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().recurrenceScale, 1.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().noiseAmount, 0.0f);
    EXPECT_FALSE (p.getHistory().canUndo());
    EXPECT_TRUE (p.getHistory().canRedo());

    p.getHistory().redo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().recurrenceScale, 4.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().noiseAmount, 0.5f);
}

TEST (Undo, ReseedIsNotRecordedAndANewChangeEndsRedo)
{
    ArpAudioProcessor p;
    p.getSettings().setLeakRate (0.5f);
    p.getSettings().reseed (9);
    const auto weights = p.getEngine().getInputWeights();

    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 1.0f);
    EXPECT_EQ (p.getEngine().getInputWeights(), weights);
    EXPECT_TRUE (p.getHistory().canRedo());

    p.getSettings().setBiasGain (2.0f);
    EXPECT_FALSE (p.getHistory().canRedo());

    p.getHistory().undo();
    p.getHistory().undo(); // nothing left: no effect
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().biasGain, 1.0f);
}

TEST (Undo, APresetThatCannotBeReadStillEndsTheLastEditsTransaction)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("mur-undo", {});
    folder.createDirectory();

    // Far too large to be a preset; and, where permissions bind, unreadable.
    std::vector<juce::File> files { folder.getChildFile ("Huge.fxp") };
    files.front().replaceWithData (std::vector<char> (static_cast<size_t> (maxPresetFileBytes) + 1, 'x').data(),
                                   static_cast<size_t> (maxPresetFileBytes) + 1);
    if (getuid() != 0)
    {
        files.push_back (folder.getChildFile ("Locked.fxp"));
        files.back().replaceWithText ("<Arp leakRate=\"0.9\"/>");
        files.back().setReadOnly (true);
        chmod (files.back().getFullPathName().toRawUTF8(), 0);
    }

    for (const auto& file : files)
    {
        ArpAudioProcessor p;
        p.getHistory().beginUndoTransaction();
        p.getSettings().setLeakRate (0.3f);
        EXPECT_TRUE (p.getPresets().loadPresetFile (file).failed());
        EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.3f) << file.getFileName();
        p.getSettings().setLeakRate (0.6f);

        p.getHistory().undo();
        EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.3f) << file.getFileName();
    }

    folder.deleteRecursively();
}

struct GestureLog : juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int index, float) override { events.add ("value " + juce::String (index)); }
    void parameterGestureChanged (int index, bool starting) override
    {
        events.add ((starting ? "begin " : "end ") + juce::String (index));
    }

    juce::StringArray events;
};

TEST (UserActions, ADragIsOneGesturePerParameterAndOneUndoStep)
{
    ArpAudioProcessor p;
    GestureLog log;
    for (auto* parameter : p.getParameters())
        parameter->addListener (&log);

    const auto leak = juce::String (ids::pos::leakRate), echo = juce::String (ids::pos::recurrenceScale);

    p.getHistory().beginUserAction();
    for (float v : { 0.9f, 0.8f, 0.7f })
        p.getSettings().setLeakRate (v);
    p.getSettings().setRecurrenceScale (3.0f);
    p.getSettings().setLeakRate (0.7f); // no change, no event
    EXPECT_EQ (log.events.joinIntoString (","),
               "begin " + leak + ",value " + leak + ",value " + leak + ",value " + leak + ",begin " + echo + ",value " + echo);
    p.getHistory().endUserAction();
    EXPECT_EQ (log.events[log.events.size() - 2], "end " + leak);
    EXPECT_EQ (log.events[log.events.size() - 1], "end " + echo);

    // A click: one begin/end pair around the change; nested actions count once.
    log.events.clear();
    {
        const UndoHistory::ScopedUserAction click (p.getHistory());
        const UndoHistory::ScopedUserAction inner (p.getHistory());
        p.getSettings().setNoteGain (0, 0.25f);
    }
    const auto breath = juce::String (ids::pos::noteGain0);
    EXPECT_EQ (log.events.joinIntoString (","), "begin " + breath + ",value " + breath + ",end " + breath);

    // Each action is one step back.
    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getNoteGain (0), 0.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 0.7f);
    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 1.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().recurrenceScale, 1.0f);

    // Changes outside an action (a host, a state load) are no gesture.
    log.events.clear();
    p.getSettings().setLeakRate (0.4f);
    EXPECT_EQ (log.events.joinIntoString (","), "value " + leak);

    for (auto* parameter : p.getParameters())
        parameter->removeListener (&log);
}

TEST (Undo, AStateLoadedOnAHostThreadIsVisibleAtOnceAndOneStepBack)
{
    ArpAudioProcessor source;
    source.getSettings().setLeakRate (0.25f);
    source.getSettings().setNumSteps (7);
    source.getSettings().setHoldMode (true);
    juce::MemoryBlock state;
    source.getStateInformation (state);

    ArpAudioProcessor p;
    p.getHistory().beginUndoTransaction();
    p.getSettings().setSoftmaxGain (10.0f);
    auto raw = [&p] (const juce::String& id) { return p.getParameterTree().getRawParameterValue (id)->load(); };

    std::thread host ([&] { p.setStateInformation (state.getData(), static_cast<int> (state.getSize())); });
    host.join();

    EXPECT_FLOAT_EQ (raw (ids::at (ids::pos::leakRate)), 0.25f);
    EXPECT_FLOAT_EQ (raw (ids::at (ids::pos::numSteps)), 7.0f);
    EXPECT_FLOAT_EQ (raw (ids::at (ids::pos::holdMode)), 1.0f);
    EXPECT_FLOAT_EQ (raw (ids::at (ids::pos::softmaxGain)), 1000.0f);

    // Once the message thread has caught up, the load is one step back.
    ASSERT_TRUE (test::pumpUntil ([&] { return p.getHistory().canUndo() && static_cast<float> (p.getParameterTree().state.getChildWithProperty ("id", ids::at (ids::pos::leakRate))["value"]) == 0.25f; }));
    p.getHistory().undo();
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().leakRate, 1.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getMirrors().softmaxGain, 10.0f);
    EXPECT_EQ (p.getSettings().getMirrors().numSteps, 16);
}

} // namespace
} // namespace mur
