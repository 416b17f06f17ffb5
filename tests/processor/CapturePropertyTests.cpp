#include "AllocationCounter.h"
#include "PlaybackHelpers.h"
#include "persistence/CaptureClip.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/Settings.h"

#include <gtest/gtest.h>

#include <cmath>

// Seeded sessions as hosts play them, and the clip MUR offers afterwards
// read back as a MIDI file: it must hold exactly the notes MUR emitted in
// its bars, at their ticks, under the tempo map the host gave.
namespace mur
{
namespace
{

struct Played
{
    double quarters;
    bool on;
    int note, velocity;
};

// The session's own account of a take: what MUR sent, in quarters.
struct ExpectedTake
{
    std::vector<Played> notes;
    std::vector<std::pair<double, double>> tempos; // quarters, bpm
    double anchor = 0.0, end = 0.0;
};

class CaptureSession
{
public:
    CaptureSession (ArpAudioProcessor& p, int seed) : processor (p), random (seed)
    {
        const int meters[][2] = { { 4, 4 }, { 3, 4 }, { 7, 8 } };
        const auto& meter = meters[random.nextInt (3)];
        playHead.numerator = meter[0];
        playHead.denominator = meter[1];
        barLength = 4.0 * meter[0] / meter[1];
        // Some hosts give the position only now and then.
        if (random.nextInt (3) == 0)
            playHead.ppqEveryNthBlock = 3;
        playHead.playing = random.nextBool();

        audio.setSize (2, 4096);
        midi.ensureSize (4096);
        processor.setPlayHead (&playHead);
        test::ProcessorAccess::setWallClock (processor, [this] { return nowMs; });
        processor.prepareToPlay (sampleRate, 4096);
        processor.getSettings().setBeatRate (random.nextInt ({ 3, 8 }));
    }

    ~CaptureSession() { processor.setPlayHead (nullptr); }

    void play (int numBlocks)
    {
        for (int i = 0; i < numBlocks; ++i)
        {
            changeSomething();
            processBlock (blockSize(), keys());
            // The editor gathers the take now and then.
            if (i % 40 == 0)
                processor.getCapturedTake().drain (processor.getPlayback().getTakeRecorder());
        }
    }

    // Either every key is let go and the arpeggio runs out, or the host
    // loops while notes still sound.
    void finish()
    {
        if (random.nextBool() && playHead.playing && reportsThisBlock() && playHead.ppqPosition > 1.0)
        {
            jumpTo (0.0);
            processBlock (64, {});
        }
        else
        {
            processBlock (512, test::releaseAll (down));
            for (int i = 0; i < 400; ++i)
                processBlock (512, {});
        }
        processor.getCapturedTake().drain (processor.getPlayback().getTakeRecorder());
    }

    const ExpectedTake& latest() const { return takeOpen || closed.notes.empty() ? current : closed; }

    double barLength = 4.0;
    int numerator() const { return playHead.numerator; }
    std::size_t allocations = 0;

private:
    bool reportsThisBlock() const { return playHead.ppqEveryNthBlock == 1 || playHead.blockIndex % playHead.ppqEveryNthBlock == 0; }

    int blockSize()
    {
        const auto pick = random.nextInt (20);
        return pick == 0 ? 1 : (pick < 10 ? 64 : 512);
    }

    void changeSomething()
    {
        switch (random.nextInt (3000))
        {
            case 0: playHead.playing = ! playHead.playing; break;
            case 1: case 2: case 3: case 4: playHead.bpm = random.nextInt ({ 60, 200 }); break;
            case 5: case 6:
                // A loop back to a bar line, seen where the host reports it.
                if (playHead.playing && reportsThisBlock() && playHead.ppqPosition > barLength)
                    jumpTo (barLength * std::floor (playHead.ppqPosition / barLength - 1.0 - random.nextInt (3)));
                break;
            case 7:
                sampleRate = random.nextBool() ? 44100.0 : 96000.0;
                processor.prepareToPlay (sampleRate, 4096);
                break;
            default: break;
        }
    }

    void jumpTo (double ppq)
    {
        playHead.ppqPosition = std::max (0.0, ppq);
        jumped = true;
    }

    std::vector<juce::MidiMessage> keys()
    {
        if (random.nextInt (40) != 0)
            return {};
        auto messages = test::releaseAll (down);
        if (random.nextInt (6) != 0)
            for (int k = 0; k < 3; ++k)
            {
                const auto note = random.nextInt ({ 48, 72 });
                down.set (static_cast<size_t> (note));
                messages.push_back (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (random.nextInt ({ 40, 128 }))));
            }
        return messages;
    }

    void processBlock (int size, const std::vector<juce::MidiMessage>& messages)
    {
        // What the clock follows in this block, as the processor will see it.
        const auto reports = reportsThisBlock();
        if (! playHead.playing)
            positionKnown = false;
        else if (reports)
            positionKnown = true;
        const auto synced = playHead.playing && positionKnown;

        const auto perSample = playHead.bpm / 60.0 / sampleRate;
        const auto start = synced ? playHead.ppqPosition : (wasSynced || first ? 0.0 : freeQuarters);
        if (takeOpen && (first || synced != wasSynced || jumped))
        {
            current.end = lastBlockEnd;
            closed = current;
            takeOpen = false;
        }
        if (takeOpen && playHead.bpm != current.tempos.back().second)
            current.tempos.emplace_back (start, playHead.bpm);

        midi.clear();
        for (size_t i = 0; i < messages.size(); ++i)
            midi.addEvent (messages[i], size > 1 ? static_cast<int> (i) % size : 0);
        audio.setSize (2, size, false, false, true);
        {
            test::ScopedAllocationCounter counter;
            processor.processBlock (audio, midi);
            allocations += counter.count();
        }

        for (const auto metadata : midi)
        {
            const auto message = metadata.getMessage();
            if (! message.isNoteOnOrOff())
                continue;
            const auto q = start + metadata.samplePosition * perSample;
            if (message.isNoteOn() && ! takeOpen)
            {
                current = {};
                current.anchor = synced ? 0.0 : q;
                current.tempos = { { q, playHead.bpm } };
                takeOpen = true;
            }
            if (takeOpen)
                current.notes.push_back ({ q, message.isNoteOn(), message.getNoteNumber(), message.getVelocity() });
        }

        lastBlockEnd = start + size * perSample;
        current.end = takeOpen ? lastBlockEnd : current.end;
        freeQuarters = lastBlockEnd;
        wasSynced = synced;
        first = jumped = false;

        nowMs += size / sampleRate * 1000.0;
        if (playHead.playing)
            playHead.ppqPosition += size * perSample;
        ++playHead.blockIndex;
    }

    ArpAudioProcessor& processor;
    juce::Random random;
    render::SimulatedPlayHead playHead;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
    std::bitset<128> down;
    double sampleRate = 48000.0, nowMs = 1000.0;

    ExpectedTake current, closed;
    bool takeOpen = false, first = true, wasSynced = false, jumped = false, positionKnown = false;
    double freeQuarters = 0.0, lastBlockEnd = 0.0;
};

// The clip the session's own account gives for the last `bars` bars.
struct ExpectedClip
{
    std::vector<Played> notes; // quarters from the clip's start
    std::vector<std::pair<double, double>> tempos;
    double start = 0.0;
};

ExpectedClip expectedClip (const ExpectedTake& take, double barLength, int bars)
{
    const auto barAtOrBefore = [&] (double q) { return take.anchor + std::floor ((q - take.anchor + 1.0e-6) / barLength) * barLength; };
    const auto barAtOrAfter = [&] (double q) { return take.anchor + std::ceil ((q - take.anchor - 1.0e-6) / barLength) * barLength; };

    std::bitset<128> sounding;
    double firstOn = -1.0, last = 0.0;
    for (const auto& n : take.notes)
    {
        if (n.on && firstOn < 0.0)
            firstOn = n.quarters;
        if (firstOn >= 0.0 && (n.on || sounding[static_cast<size_t> (n.note)]))
            last = std::max (last, n.quarters);
        if (firstOn >= 0.0)
            sounding.set (static_cast<size_t> (n.note), n.on);
    }
    if (sounding.any())
        last = std::max (last, take.end);

    ExpectedClip clip;
    auto start = barAtOrBefore (firstOn);
    auto end = barAtOrAfter (last);
    if (end <= start + 1.0e-6)
        end = start + barLength;
    double lastOn = firstOn;
    for (const auto& n : take.notes)
        if (n.on)
            lastOn = n.quarters;
    if (bars > 0)
        start = std::max (start, std::min (end - bars * barLength, barAtOrBefore (lastOn)));
    clip.start = start;

    sounding.reset();
    for (const auto& n : take.notes)
    {
        if (n.quarters < start - 1.0e-6 || (! n.on && ! sounding[static_cast<size_t> (n.note)]))
            continue;
        sounding.set (static_cast<size_t> (n.note), n.on);
        clip.notes.push_back ({ n.quarters - start, n.on, n.note, n.velocity });
    }
    for (int note = 0; note < 128; ++note)
        if (sounding[static_cast<size_t> (note)])
            clip.notes.push_back ({ std::min (take.end, end) - start, false, note, 0 });

    double tempoAtStart = take.tempos.front().second;
    for (const auto& [q, bpm] : take.tempos)
        if (q <= start + 1.0e-6)
            tempoAtStart = bpm;
    clip.tempos.emplace_back (0.0, tempoAtStart);
    for (const auto& [q, bpm] : take.tempos)
        if (q > start + 1.0e-6 && q < end - 1.0e-6 && bpm != clip.tempos.back().second)
            clip.tempos.emplace_back (q - start, bpm);
    return clip;
}

struct FileEvent
{
    int tick;
    bool on;
    int note, velocity;
};

TEST (CaptureProperties, TheClipHoldsExactlyTheNotesPlayedInItsBarsUnderTheHostsTempoMap)
{
    const juce::TemporaryFile scratch (".mid");
    int clipsWithNotes = 0;

    for (int seed = 1; seed <= 16; ++seed)
    {
        ArpAudioProcessor processor;
        CaptureSession session (processor, seed);
        session.play (8000);
        session.finish();
        EXPECT_EQ (session.allocations, 0u) << "seed " << seed;

        const auto& take = session.latest();
        const auto bars = capture::lengths[seed % 6];
        const auto& captured = processor.getCapturedTake();
        if (take.notes.empty())
        {
            EXPECT_TRUE (captured.isEmpty()) << "seed " << seed;
            continue;
        }
        ASSERT_TRUE (capture::write (captured, bars, "Glass Steps", scratch.getFile()).wasOk()) << "seed " << seed;

        juce::FileInputStream in (scratch.getFile());
        juce::MidiFile file;
        ASSERT_TRUE (file.readFrom (in)) << "seed " << seed;
        ASSERT_EQ (file.getTimeFormat(), 960);
        const auto expected = expectedClip (take, session.barLength, bars);

        std::vector<FileEvent> notes;
        std::vector<std::pair<int, double>> tempos;
        int numerator = 0;
        for (const auto* e : *file.getTrack (0))
        {
            const auto& m = e->message;
            const auto tick = juce::roundToInt (m.getTimeStamp());
            if (m.isNoteOnOrOff())
                notes.push_back ({ tick, m.isNoteOn(), m.getNoteNumber(), m.isNoteOn() ? m.getVelocity() : 0 });
            else if (m.isTempoMetaEvent())
                tempos.emplace_back (tick, 60.0 / m.getTempoSecondsPerQuarterNote());
            else if (m.isTimeSignatureMetaEvent() && tick == 0)
            {
                int denominator = 0;
                m.getTimeSignatureInfo (numerator, denominator);
            }
        }

        std::vector<FileEvent> wanted;
        for (const auto& n : expected.notes)
            wanted.push_back ({ juce::roundToInt (n.quarters * 960.0), n.on, n.note, n.on ? n.velocity : 0 });

        const auto byNote = [] (const FileEvent& a, const FileEvent& b)
        { return std::tie (a.note, a.tick, a.on) < std::tie (b.note, b.tick, b.on); };
        std::sort (notes.begin(), notes.end(), byNote);
        std::sort (wanted.begin(), wanted.end(), byNote);
        ASSERT_EQ (notes.size(), wanted.size()) << "seed " << seed;
        for (size_t i = 0; i < notes.size(); ++i)
        {
            EXPECT_NEAR (notes[i].tick, wanted[i].tick, 1) << "seed " << seed << " event " << i;
            EXPECT_EQ (notes[i].note, wanted[i].note) << "seed " << seed;
            EXPECT_EQ (notes[i].on, wanted[i].on) << "seed " << seed;
            EXPECT_EQ (notes[i].velocity, wanted[i].velocity) << "seed " << seed;
        }

        ASSERT_EQ (tempos.size(), expected.tempos.size()) << "seed " << seed;
        for (size_t i = 0; i < tempos.size(); ++i)
        {
            EXPECT_NEAR (tempos[i].first, expected.tempos[i].first * 960.0, 1.0) << "seed " << seed;
            EXPECT_NEAR (tempos[i].second, expected.tempos[i].second, 0.01) << "seed " << seed;
        }
        EXPECT_EQ (numerator, session.numerator()) << "seed " << seed;
        clipsWithNotes += notes.empty() ? 0 : 1;
    }
    EXPECT_GE (clipsWithNotes, 10);
}

} // namespace
} // namespace mur
