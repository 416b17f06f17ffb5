#include "TestHelpers.h"
#include "PlaybackHelpers.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <thread>

namespace mur
{
namespace
{

using Layout = juce::AudioProcessor::BusesLayout;

Layout makeLayout (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    Layout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}

TEST (ProcessorIdentity, BusesProgramsAndFlags)
{
    ArpAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "MUR");
    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getMainBusNumInputChannels(), 2);
    EXPECT_EQ (processor.getMainBusNumOutputChannels(), 2);
    EXPECT_TRUE (processor.getBus (true, 0)->isEnabledByDefault());

    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_TRUE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_FALSE (processor.supportsMPE());
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.getBypassParameter(), nullptr);

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), juce::String());
    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Renamed");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), juce::String());
}

TEST (ProcessorIdentity, OnlyMatchingMonoOrStereoLayoutsAreAccepted)
{
    ArpAudioProcessor processor;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto surround = juce::AudioChannelSet::create5point1();

    EXPECT_TRUE (processor.checkBusesLayoutSupported (makeLayout (stereo, stereo)));
    EXPECT_TRUE (processor.checkBusesLayoutSupported (makeLayout (mono, mono)));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (makeLayout (stereo, mono)));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (makeLayout (mono, stereo)));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (makeLayout (surround, surround)));
    EXPECT_FALSE (processor.checkBusesLayoutSupported (makeLayout (juce::AudioChannelSet::disabled(), stereo)));
}

TEST (ProcessorConstruction, MirrorsAndPatternStartWhereTheyShould)
{
    ArpAudioProcessor processor;
    const auto& m = processor.getSettings().getMirrors();

    EXPECT_FLOAT_EQ (m.leakRate, 1.0f);
    EXPECT_FLOAT_EQ (m.recurrenceScale, 1.0f);
    EXPECT_FLOAT_EQ (m.softmaxGain, 1000.0f);
    EXPECT_EQ (m.hiddenSize, 5);
    EXPECT_EQ (m.numSteps, 16);
    EXPECT_EQ (m.rateIndex, 5);
    EXPECT_DOUBLE_EQ (m.gatePercentage, 50.0);
    EXPECT_FALSE (m.holdMode);
    // The palette biases keep their pre-load start until a change reports in.
    EXPECT_FLOAT_EQ (m.darkPaletteBias, 0.235f);
    EXPECT_FLOAT_EQ (m.lightPaletteBias, 0.235f);

    EXPECT_EQ (processor.getSettings().getNoteGain (0), 0.0f);
    for (int i = 1; i <= 50; ++i)
        EXPECT_EQ (processor.getSettings().getNoteGain (i), 0.5f);
    EXPECT_EQ (processor.getSettings().getNoteGain (51), 0.0f);

    ASSERT_EQ (processor.getSettings().getNumAccentGains(), 4);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (0), 1.0f);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (1), 0.0f);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (9), 0.0f);

    EXPECT_EQ (processor.getSettings().getArpSeed(), 12345);
    EXPECT_DOUBLE_EQ (processor.getPlayback().getStepSeconds(), 0.125);
    EXPECT_TRUE (processor.getPlayback().hostPlaying.load());
    EXPECT_EQ (processor.getPlayback().accentStepForDisplay.load(), -1);
    EXPECT_FALSE (processor.getPlayback().stepPublished.load());
    EXPECT_FALSE (processor.getUndoManager().canUndo());
}

TEST (ProcessorConstruction, EveryParameterReachesItsMirror)
{
    ArpAudioProcessor processor;
    auto& tree = processor.getParameterTree();

    auto set = [&] (const juce::String& id, float value)
    {
        auto* p = tree.getParameter (id);
        ASSERT_NE (p, nullptr) << id;
        p->setValueNotifyingHost (p->convertTo0to1 (value));
    };

    set (ids::at (ids::pos::leakRate), 0.25f);
    set (ids::at (ids::pos::hiddenSize), 17.0f);
    set (ids::at (ids::pos::beatRate), 9.0f);
    set (ids::at (ids::pos::holdMode), 1.0f);
    set (ids::at (ids::pos::gatePercentage), 75.0f);
    set (ids::at (ids::pos::darkPaletteBias), 0.6f);
    set (ids::noteGain (7), 0.9f);
    set (ids::beatPulseGain (12), 0.25f);
    set (ids::at (ids::pos::bypassNoteGains), 1.0f);

    const auto& m = processor.getSettings().getMirrors();
    EXPECT_FLOAT_EQ (m.leakRate, 0.25f);
    EXPECT_EQ (m.hiddenSize, 17);
    EXPECT_EQ (m.rateIndex, 9);
    EXPECT_TRUE (m.holdMode);
    EXPECT_DOUBLE_EQ (m.gatePercentage, 75.0);
    EXPECT_FLOAT_EQ (m.darkPaletteBias, 0.6f);
    EXPECT_FLOAT_EQ (processor.getSettings().getNoteGain (7), 0.9f);
    EXPECT_TRUE (processor.getSettings().getBypassNoteGains());
    ASSERT_EQ (processor.getSettings().getNumAccentGains(), 12);
    EXPECT_FLOAT_EQ (processor.getSettings().getBeatPulseGain (11), -0.5f);
    EXPECT_EQ (processor.getSettings().getBeatPulseGain (6), 0.0f);
}

TEST (ProcessorPreparation, StepLengthFollowsTheSampleRateAndNothingIsDropped)
{
    ArpAudioProcessor processor;
    processor.prepareToPlay (44100.0, 512);
    EXPECT_EQ (processor.getPlayback().getSampleRate(), 44100.0);
    EXPECT_EQ (test::ProcessorAccess::samplesUntilStep (processor), 5512);

    processor.prepareToPlay (48000.0, 64);
    EXPECT_EQ (test::ProcessorAccess::samplesUntilStep (processor), 6000);
}

TEST (ProcessorPlayback, AudioBecomesSilenceAndNotesAreNotPassedOn)
{
    ArpAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    juce::AudioBuffer<float> buffer (2, 256);
    juce::Random random (7);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 256; ++i)
            buffer.setSample (c, i, random.nextFloat() - 0.5f);

    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.8f), 3);
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 7, 100), 17);
    midi.addEvent (juce::MidiMessage::noteOff (1, 60), 40);
    midi.addEvent (juce::MidiMessage::controllerEvent (1, 1, 5), 300);

    processor.processBlock (buffer, midi);

    for (int c = 0; c < 2; ++c)
        EXPECT_EQ (buffer.getMagnitude (c, 0, 256), 0.0f);

    ASSERT_EQ (midi.getNumEvents(), 1);
    const auto event = *midi.begin();
    EXPECT_EQ (event.samplePosition, 17);
    EXPECT_TRUE (event.getMessage().isControllerOfType (7));
}

TEST (ProcessorLifetime, AliveFlagIsClearedOnDestruction)
{
    std::shared_ptr<std::atomic<bool>> flag;
    bool ran = false;

    {
        ArpAudioProcessor processor;
        flag = processor.getAliveFlag();
        EXPECT_TRUE (flag->load());

        juce::MessageManager::callAsync ([flag, &ran]
        {
            if (flag->load())
                ran = true;
        });
    }

    EXPECT_FALSE (flag->load());
    ASSERT_TRUE (test::runPostedMessages());
    EXPECT_FALSE (ran);
}

// JUCE's VST3 wrapper on Linux may release the processor on a host's thread
// while the plug-in's own message thread is running one of its timers: the
// release waits until the message thread is between messages.
TEST (ProcessorLifetime, ReleasedOnAHostThreadItWaitsForTheMessageThread)
{
    auto processor = std::make_unique<ArpAudioProcessor>();
    std::atomic<bool> messageRunning { false }, released { false };
    bool releasedDuringTheMessage = true;

    juce::MessageManager::callAsync ([&]
    {
        messageRunning = true;
        juce::Thread::sleep (100);
        releasedDuringTheMessage = released.load();
    });

    std::thread hostThread ([&]
    {
        while (! messageRunning.load())
            std::this_thread::yield();
        processor.reset();
        released = true;
    });

    EXPECT_TRUE (test::pumpUntil ([&released] { return released.load(); }, 10000));
    hostThread.join();
    EXPECT_FALSE (releasedDuringTheMessage);
}

TEST (ProcessorLifetime, EditorOpensAtTheDesignSizeAndCloses)
{
    ArpAudioProcessor processor;

    for (int i = 0; i < 3; ++i)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (editor, nullptr);
        EXPECT_EQ (editor->getWidth(), 1078);
        EXPECT_EQ (editor->getHeight(), 539);
        EXPECT_EQ (processor.getActiveEditor(), editor.get());
        editor.reset();
        EXPECT_EQ (processor.getActiveEditor(), nullptr);
    }
}

} // namespace
} // namespace mur
