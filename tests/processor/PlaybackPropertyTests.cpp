#include "views/ViewsPanel.h"
#include "AllocationCounter.h"
#include "TestHelpers.h"
#include "PlaybackHelpers.h"
#include "editor/ArpAudioProcessorEditor.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"
#include "processor/Settings.h"
#include "views/NeuralNetworkTopologyPlot.h"

#include <algorithm>
#include <thread>

namespace mur
{
namespace
{

// Drives a processor the way a busy session does: random keys, hold toggles,
// rate, gate and Breath changes, transport starts and stops, tempo changes and
// block sizes from 0 to 1024, with previews on pitches the keys never use.
// Then everything is released and the arpeggio runs out.
class RandomSession
{
public:
    RandomSession (ArpAudioProcessor& p, int seed) : processor (p), random (seed)
    {
        audio.setSize (2, 1024);
        midi.ensureSize (65536);
        processor.setPlayHead (&playHead);
        test::ProcessorAccess::setWallClock (processor, [this] { return nowMs; });
        processor.prepareToPlay (sampleRate, 1024);
    }

    ~RandomSession() { processor.setPlayHead (nullptr); }

    void play (int numBlocks)
    {
        for (int block = 0; block < numBlocks; ++block)
        {
            changeSomething();
            const auto size = randomBlockSize();
            std::vector<juce::MidiMessage> messages;

            for (int k = random.nextInt (3); --k >= 0;)
                messages.push_back (randomKey());

            processBlock (size, messages);
        }
    }

    void releaseEverythingAndRunOut()
    {

        processor.getSettings().setHoldMode (false);
        processBlock (512, test::releaseAll (down));

        // The longest gate: a whole note at the slowest tempo used.
        for (int i = 0; i < 700; ++i)
            processBlock (512, {});
    }

    test::NoteLedger ledger;
    std::size_t allocationsInProcessBlock = 0;
    std::int64_t blocks = 0;

private:
    int randomBlockSize()
    {
        switch (random.nextInt (10))
        {
            case 0: return 0;
            case 1: return 1;
            case 2: return 1024;
            default: return random.nextInt ({ 2, 600 });
        }
    }

    juce::MidiMessage randomKey()
    {
        const auto note = random.nextInt ({ 48, 72 });
        const auto isDown = down[static_cast<size_t> (note)];

        if (isDown || random.nextInt (3) == 0)
        {
            down.reset (static_cast<size_t> (note));
            return random.nextBool() ? juce::MidiMessage::noteOff (1, note)
                                     : juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (0));
        }

        down.set (static_cast<size_t> (note));
        return juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (random.nextInt ({ 1, 128 })));
    }

    void changeSomething()
    {
        switch (random.nextInt (40))
        {
            case 0:  processor.getSettings().setHoldMode (! processor.getSettings().getMirrors().holdMode); break;
            case 1:  processor.getSettings().setBeatRate (random.nextInt (13)); break;
            case 2:  processor.getSettings().setGatePercentage (random.nextInt (5) == 0 ? 100.0 : random.nextDouble() * 100.0); break;
            case 3:  processor.getSettings().setNoteGain (0, random.nextBool() ? 0.0f : random.nextFloat()); break;
            case 4:  playHead.playing = ! playHead.playing; break;
            case 5:  playHead.bpm = random.nextInt ({ 40, 300 }); break;
            case 6:  processor.getSettings().setSoftmaxGain (random.nextFloat() * 2000.0f); break;
            case 7:  processor.getPlayback().queuePreviewNote (random.nextInt ({ 100, 128 }), 90); break;
            case 8:  nowMs += random.nextInt (3000); break; // the host stalls
            case 9:  processor.getSettings().setNumSteps (random.nextInt ({ 2, 65 })); break;
            default: break;
        }
    }

    void processBlock (int size, const std::vector<juce::MidiMessage>& messages)
    {

        // Keys keep the order in which the session pressed and released them.
        midi.clear();
        std::vector<int> positions;
        for (size_t i = 0; i < messages.size(); ++i)
            positions.push_back (size > 0 ? random.nextInt (size) : 0);
        std::sort (positions.begin(), positions.end());
        for (size_t i = 0; i < messages.size(); ++i)
            midi.addEvent (messages[i], positions[i]);

        audio.setSize (2, size, false, false, true);

        {
            test::ScopedAllocationCounter counter;
            processor.processBlock (audio, midi);
            allocationsInProcessBlock += counter.count();
        }

        std::vector<render::TimedMessage> out;
        for (const auto metadata : midi)
            out.push_back ({ samplePosition + metadata.samplePosition, metadata.getMessage() });
        ledger.add (out);

        samplePosition += size;
        nowMs += size / sampleRate * 1000.0;
        if (playHead.playing)
            playHead.ppqPosition += size / sampleRate * playHead.bpm / 60.0;
        ++blocks;
    }

    ArpAudioProcessor& processor;
    juce::Random random;
    render::SimulatedPlayHead playHead;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
    std::bitset<128> down;
    double sampleRate = 48000.0;
    double nowMs = 5000.0;
    std::int64_t samplePosition = 0;
};

TEST (PlaybackProperties, NoStuckNotesNoStrayNoteOffsAndNoAllocations)
{
    for (int seed : { 1, 2, 3, 4, 5, 6 })
    {
        ArpAudioProcessor processor;
        processor.getSettings().setBeatRate (0);
        RandomSession session (processor, seed);
        session.play (20000);
        session.releaseEverythingAndRunOut();

        EXPECT_GT (session.ledger.notesOn, 1000) << "seed " << seed;
        EXPECT_EQ (session.ledger.offsForSilentNotes, 0) << "seed " << seed;
        EXPECT_EQ (session.ledger.wrongChannel, 0) << "seed " << seed;
        EXPECT_TRUE (session.ledger.sounding.empty()) << "seed " << seed << ": "
                                                     << session.ledger.sounding.size() << " notes still sound";
        EXPECT_EQ (session.allocationsInProcessBlock, 0u) << "seed " << seed;
        EXPECT_TRUE (processor.getPlayback().getPendingNoteOffs().empty()) << "seed " << seed;
        EXPECT_TRUE (processor.getPlayback().getHeldNotes().isEmpty()) << "seed " << seed;
    }
}

// Now and then a key goes down and one comes up, among ten keys.
void randomKeys (juce::MidiBuffer& midi, juce::Random& random, int pressOneIn, int releaseOneIn)
{
    midi.clear();
    if (random.nextInt (pressOneIn) == 0)
        midi.addEvent (juce::MidiMessage::noteOn (1, random.nextInt ({ 50, 60 }), static_cast<juce::uint8> (100)), 3);
    if (random.nextInt (releaseOneIn) == 0)
        midi.addEvent (juce::MidiMessage::noteOff (1, random.nextInt ({ 50, 60 })), 9);
}

TEST (PlaybackProperties, AudioAndEditorThreadsTogetherStayConsistent)
{
    ArpAudioProcessor processor;
    processor.getSettings().setHoldMode (true);
    std::atomic<bool> stop { false };
    std::atomic<int> blocksDone { 0 };
    test::NoteLedger ledger;

    std::thread audioThread ([&]
    {
        render::SimulatedPlayHead playHead;
        processor.setPlayHead (&playHead);
        processor.prepareToPlay (48000.0, 64);
        juce::AudioBuffer<float> audio (2, 64);
        juce::MidiBuffer midi;
        midi.ensureSize (8192);
        juce::Random random (99);
        std::int64_t position = 0;

        for (int block = 0; ! stop || block < 20000; ++block)
        {
            randomKeys (midi, random, 20, 25);
            if (block % 3000 == 0)
                playHead.playing = ! playHead.playing;

            processor.processBlock (audio, midi);

            std::vector<render::TimedMessage> out;
            for (const auto metadata : midi)
                if (metadata.getMessage().isNoteOnOrOff() && metadata.getMessage().getNoteNumber() < 100)
                    out.push_back ({ position + metadata.samplePosition, metadata.getMessage() });
            ledger.add (out);

            position += 64;
            playHead.ppqPosition += 64.0 / 48000.0 * 2.0;
            blocksDone = block;
        }

        processor.setPlayHead (nullptr);
    });

    juce::Random random (7);
    int changes = 0;

    for (; changes < 3000; ++changes)
    {
        switch (random.nextInt (8))
        {
            case 0: processor.getSettings().setHoldMode (! processor.getSettings().getMirrors().holdMode); break;
            case 1: processor.getSettings().setBeatRate (random.nextInt (13)); break;
            case 2: processor.getSettings().setLeakRate (random.nextFloat()); break;
            case 3: processor.getSettings().reseed(); break;
            case 4: processor.getPlayback().queuePreviewNote (random.nextInt ({ 100, 128 }), 64); break;
            case 5: processor.getSettings().setNumSteps (random.nextInt ({ 2, 65 })); processor.getSettings().ensureBeatPulseGainCount (processor.getSettings().getMirrors().numSteps); break;
            case 6: processor.getParameters()[random.nextInt (ids::numParameters)]->setValueNotifyingHost (random.nextFloat()); break;
            default: test::pumpMessages (1); break;
        }

        // What the editor reads while the audio thread runs.
        const auto& held = processor.getPlayback().getHeldNotes();
        for (int i = 0; i < held.size(); ++i)
            ASSERT_LT (held[i].note, 128);
        ASSERT_GE (processor.getPlayback().getPublishedProbability (0), 0.0f);
    }

    stop = true;
    audioThread.join();
    EXPECT_GE (blocksDone.load(), 19999);
    EXPECT_EQ (ledger.offsForSilentNotes, 0);
}

// The audio thread of the editor's concurrency tests: random keys in 64-sample
// blocks behind a transport that starts and stops, at least 5000 blocks and
// on until `stop`.
void playRandomKeysUntil (ArpAudioProcessor& processor, const std::atomic<bool>& stop, int seed)
{
    render::SimulatedPlayHead playHead;
    processor.setPlayHead (&playHead);
    processor.prepareToPlay (48000.0, 64);
    juce::AudioBuffer<float> audio (2, 64);
    juce::MidiBuffer midi;
    midi.ensureSize (1024);
    juce::Random random (seed);

    for (int block = 0; ! stop || block < 5000; ++block)
    {
        randomKeys (midi, random, 30, 40);
        if (block % 1000 == 0)
            playHead.playing = ! playHead.playing;
        processor.processBlock (audio, midi);
        playHead.ppqPosition += 64.0 / 48000.0 * 2.0;
    }

    processor.setPlayHead (nullptr);
}

TEST (PlaybackProperties, AnOpenEditorDrivesThePadAndTheRingWhileAudioPlays)
{
    ArpAudioProcessor processor;
    std::unique_ptr<ArpAudioProcessorEditor> editor (dynamic_cast<ArpAudioProcessorEditor*> (processor.createEditorIfNeeded()));
    ASSERT_NE (editor, nullptr);
    editor->setSize (1078, 539);
    std::atomic<bool> stop { false };

    std::thread audioThread ([&] { playRandomKeysUntil (processor, stop, 5); });

    // The message thread uses the editor as a busy musician would.
    auto& pad = editor->pieces().pad;
    auto mouse = [&] (juce::Point<float> p)
    {
        p -= pad.getPosition().toFloat();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), p, {}, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                 &pad, &pad, juce::Time::getCurrentTime(), p, juce::Time::getCurrentTime(), 1, false);
    };
    const auto centre = pad.getPadArea().getCentre();
    auto& ring = editor->pieces().ring;
    juce::Random random (11);

    for (int i = 0; i < 1500; ++i)
    {
        const juce::Point<float> offset { random.nextFloat() * 200.0f - 100.0f, random.nextFloat() * 200.0f - 100.0f };

        switch (random.nextInt (6))
        {
            case 0: pad.mouseDown (mouse (centre + offset)); pad.mouseDrag (mouse (centre - offset)); pad.mouseUp (mouse (centre)); break;
            case 1: ring.getSegment (random.nextInt (ring.numSegments())).setValueAsUserAction (random.nextFloat()); break;
            case 2: ring.getStepsKnob().setValueAsUserAction (random.nextFloat()); break;
            case 3: ring.getGainKnob().setValueAsUserAction (random.nextFloat()); break;
            case 4: test::pumpMessages (1); break;
            default: break;
        }

        editor->tick();
        ring.tick();
    }

    stop = true;
    audioThread.join();
    editor.reset();
}

// Each network view shown in turn while the audio thread plays and the
// message thread reseeds and changes Capacity: the views draw from the
// editor's copy of each step, never from the engine's own storage.
TEST (PlaybackProperties, AnOpenEditorShowsEachViewWhileAudioPlays)
{
    ArpAudioProcessor processor;
    std::unique_ptr<ArpAudioProcessorEditor> editor (dynamic_cast<ArpAudioProcessorEditor*> (processor.createEditorIfNeeded()));
    ASSERT_NE (editor, nullptr);
    editor->setSize (1078, 539);
    std::atomic<bool> stop { false };
    std::thread audioThread ([&] { playRandomKeysUntil (processor, stop, 7); });

    juce::Image image (juce::Image::ARGB, 1078, 539, true, juce::SoftwareImageType());
    juce::Random random (13);
    for (int i = 0; i < 1500; ++i)
    {
        if (i % 500 == 0)
            editor->pieces().views.show (static_cast<views::NetworkView> (i / 500));

        switch (random.nextInt (40))
        {
            case 0: editor->pieces().button ("reseedButton")->onClick(); break;
            case 1: processor.getSettings().setHiddenSize (1 + random.nextInt (50)); break;
            case 2:
            {
                juce::Graphics g (image);
                editor->paintEntireComponent (g, true);
                break;
            }
            default: break;
        }

        editor->tick();
        editor->pieces().views.getTopologyView().getComponent().tick();
        std::this_thread::sleep_for (std::chrono::microseconds (200));
    }

    stop = true;
    audioThread.join();
    editor.reset();
}

// A host restores projects on a thread of its own while the audio thread
// plays and the editor recolours, follows and draws: the editor and the
// palette read only published copies (the sanitizer run checks it).
TEST (PlaybackProperties, AnOpenEditorFollowsRestoresOnAHostThreadWhileAudioPlays)
{
    std::vector<juce::MemoryBlock> states;
    for (const auto seed : { 11, 22, 33 })
    {
        ArpAudioProcessor source;
        source.getSettings().reseed (seed);
        source.getSettings().setHiddenSize (4 + seed / 3);
        source.getSettings().setDarkPaletteBias (static_cast<float> (seed) / 40.0f);
        states.emplace_back();
        source.getStateInformation (states.back());
    }

    ArpAudioProcessor processor;
    std::unique_ptr<ArpAudioProcessorEditor> editor (dynamic_cast<ArpAudioProcessorEditor*> (processor.createEditorIfNeeded()));
    ASSERT_NE (editor, nullptr);
    editor->setSize (1078, 539);
    std::atomic<bool> stop { false };
    std::thread audioThread ([&] { playRandomKeysUntil (processor, stop, 9); });
    std::thread hostThread ([&]
    {
        for (int i = 0; ! stop; ++i)
        {
            const auto& state = states[static_cast<size_t> (i) % states.size()];
            processor.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
            std::this_thread::sleep_for (std::chrono::milliseconds (3));
        }
    });

    juce::Image image (juce::Image::ARGB, 1078, 539, true, juce::SoftwareImageType());
    juce::Random random (17);
    for (int i = 0; i < 300; ++i)
    {
        switch (random.nextInt (6))
        {
            case 0: processor.getSettings().setLightPaletteBias (random.nextFloat()); break;
            case 1: editor->pieces().views.show (static_cast<views::NetworkView> (random.nextInt (3))); break;
            case 2:
            {
                juce::Graphics g (image);
                editor->paintEntireComponent (g, true);
                break;
            }
            default: test::pumpMessages (1); break;
        }

        editor->tick();
    }

    stop = true;
    hostThread.join();
    audioThread.join();
    editor.reset();
}

} // namespace
} // namespace mur
