#include "views/ViewsPanel.h"
#include "TestHelpers.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ProcessorAccess.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace mur
{
namespace
{

struct CountingListener : juce::ChangeListener
{
    int calls = 0;
    void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
};

float rawValue (ArpAudioProcessor& p, const juce::String& id)
{
    return p.getParameterTree().getRawParameterValue (id)->load();
}

TEST (Dispatch, ABurstOfChangesGivesOneNotification)
{
    ArpAudioProcessor processor;
    CountingListener listener;
    processor.addChangeListener (&listener);
    test::ProcessorAccess::runMessageThreadTasks (processor);
    ASSERT_TRUE (test::runPostedMessages());
    listener.calls = 0;

    for (int i = 0; i < 40; ++i)
    {
        auto* p = processor.getParameters()[i];
        p->setValueNotifyingHost (0.3f);
    }

    // Once the one notification has arrived, nothing else is waiting.
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.calls > 0; }));
    EXPECT_EQ (listener.calls, 1);

    processor.getParameters()[45]->setValueNotifyingHost (0.9f);
    ASSERT_TRUE (test::pumpUntil ([&] { return listener.calls > 1; }));
    EXPECT_EQ (listener.calls, 2);
    processor.removeChangeListener (&listener);
}

TEST (Dispatch, ANotificationPendingAtDestructionNeverArrives)
{
    CountingListener listener;
    {
        ArpAudioProcessor processor;
        processor.addChangeListener (&listener);
        processor.getParameters()[3]->setValueNotifyingHost (0.1f);
        processor.removeChangeListener (&listener);
    }
    ASSERT_TRUE (test::runPostedMessages());
    EXPECT_EQ (listener.calls, 0);
}

TEST (Dispatch, SettersClampThroughTheParameterAndRecordForUndo)
{
    ArpAudioProcessor processor;

    processor.getSettings().setGatePercentage (150.0);
    EXPECT_DOUBLE_EQ (processor.getSettings().getMirrors().gatePercentage, 100.0);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::at (ids::pos::gatePercentage)), 100.0f);
    EXPECT_TRUE (processor.getUndoManager().canUndo());

    processor.getSettings().setHiddenSize (1);
    EXPECT_EQ (processor.getSettings().getMirrors().hiddenSize, 2);
    EXPECT_EQ (processor.getEngine().getActiveHiddenSize(), 2);
    processor.getSettings().setHiddenSize (80);
    EXPECT_EQ (processor.getSettings().getMirrors().hiddenSize, 50);

    processor.getSettings().setLeakRate (0.123456f);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().leakRate, 0.1235f);
    EXPECT_FLOAT_EQ (processor.getEngine().getLeakRate(), 0.1235f);

    processor.getSettings().setRecurrenceScale (std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().recurrenceScale, 1.0f);

    processor.getSettings().setControlInput (0, 3.0f);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().controlInput0, 1.0f);
    processor.getSettings().setControlInput (2, 0.5f);

    processor.getSettings().setNoteGain (4, 0.9f);
    EXPECT_FLOAT_EQ (processor.getSettings().getNoteGain (4), 0.9f);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::noteGain (4)), 0.9f);
    processor.getSettings().resetNoteGains();
    EXPECT_FLOAT_EQ (processor.getSettings().getNoteGain (4), 0.5f);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::noteGain (4)), 0.9f);

    processor.getSettings().setBeatRate (40);
    EXPECT_EQ (processor.getSettings().getMirrors().rateIndex, 12);
    EXPECT_DOUBLE_EQ (processor.getPlayback().getStepSeconds(), 2.0);
}

TEST (Dispatch, PaletteBiasClampsAndRefreshesAnOpenEditorOnce)
{
    ArpAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    auto* arpEditor = dynamic_cast<ArpAudioProcessorEditor*> (editor.get());
    ASSERT_NE (arpEditor, nullptr);
    test::ProcessorAccess::runMessageThreadTasks (processor);
    ASSERT_TRUE (test::runPostedMessages());
    const auto before = arpEditor->pieces().paletteRefreshCount;

    processor.getSettings().setDarkPaletteBias (1.5f);
    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().darkPaletteBias, 1.0f);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::at (ids::pos::darkPaletteBias)), 1.0f);

    ASSERT_TRUE (test::pumpUntil ([&] { return arpEditor->pieces().paletteRefreshCount > before; }));
    EXPECT_EQ (arpEditor->pieces().paletteRefreshCount, before + 1);
    editor.reset();
}

TEST (Dispatch, OnlyTheAudioThreadWaitsForTheMessageThreadToWrite)
{
    ArpAudioProcessor processor;
    processor.prepareToPlay (48000.0, 64);
    auto processOneBlock = [&processor]
    {
        juce::AudioBuffer<float> buffer (2, 64);
        juce::MidiBuffer midi;
        processor.processBlock (buffer, midi);
    };

    // The thread that processes blocks is the audio thread: its writes are
    // carried to the message thread.
    std::thread audio ([&]
    {
        processOneBlock();
        processor.getSettings().setStartStep (5);
    });
    audio.join();

    EXPECT_FLOAT_EQ (processor.getSettings().getMirrors().pulseTimeShift, 5.0f / 15.0f);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::at (ids::pos::pulseTimeShift)), 0.0f);
    EXPECT_TRUE (test::pumpUntil ([&] { return std::abs (rawValue (processor, ids::at (ids::pos::pulseTimeShift)) - 5.0f / 15.0f) < 1e-4f; }));

    // Any other thread (a host restoring a project on a worker) writes at once,
    // and a write still waiting from the audio thread does not undo it later.
    // (The audio thread lives on meanwhile, as a host's does: a thread that
    // has ended may hand its identity to the next one.)
    std::atomic<bool> workerDone { false };
    juce::WaitableEvent audioWrote;
    std::thread audioAgain ([&]
    {
        processOneBlock();
        processor.getSettings().setStartStep (9);
        audioWrote.signal();
        while (! workerDone)
            std::this_thread::yield();
    });

    audioWrote.wait();
    std::thread worker ([&] { processor.getSettings().setStartStep (2); });
    worker.join();
    workerDone = true;
    audioAgain.join();
    EXPECT_NEAR (rawValue (processor, ids::at (ids::pos::pulseTimeShift)), 2.0f / 15.0f, 1e-4f);
    EXPECT_FLOAT_EQ (rawValue (processor, ids::at (ids::pos::pulseTimeShiftStep)), 2.0f);

    test::ProcessorAccess::runMessageThreadTasks (processor);
    EXPECT_NEAR (rawValue (processor, ids::at (ids::pos::pulseTimeShift)), 2.0f / 15.0f, 1e-4f);
    EXPECT_EQ (processor.getSettings().getMirrors().pulseTimeShiftStep, 2);
}

} // namespace
} // namespace mur
