#include "PlaybackHelpers.h"
#include "processor/NoteSlots.h"
#include "processor/Settings.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

std::vector<int> pitches (const NoteSlots& slots)
{
    std::vector<int> list;
    for (int s = 0; s < slots.size(); ++s)
        list.push_back (slots[s].note);
    return list;
}

TEST (OctaveRange, SlotsAreTheHeldNotesThenEachOctaveUpCappedAndWithinMidi)
{
    std::vector<HeldNote> chord { { 60, 100 }, { 64, 90 }, { 67, 80 } };
    NoteSlots slots;
    expandSlots (chord, 3, 1, slots);
    EXPECT_EQ (pitches (slots), (std::vector<int> { 60, 64, 67 }));

    // Slot s keeps its note as the range grows; copies carry their key's velocity.
    expandSlots (chord, 3, 3, slots);
    EXPECT_EQ (pitches (slots), (std::vector<int> { 60, 64, 67, 72, 76, 79, 84, 88, 91 }));
    EXPECT_EQ (slots[4].velocity, 90);

    // Notes above 127 are left out; the range is taken into 1 to 4.
    std::vector<HeldNote> high { { 110, 100 }, { 120, 100 } };
    expandSlots (high, 2, 9, slots);
    EXPECT_EQ (pitches (slots), (std::vector<int> { 110, 120, 122 }));
    expandSlots (high, 2, 0, slots);
    EXPECT_EQ (pitches (slots), (std::vector<int> { 110, 120 }));

    // Twenty keys over three octaves stop at the network's fifty slots,
    // and duplicates (hold mode can latch a key twice) keep a slot each.
    std::vector<HeldNote> many;
    for (int i = 0; i < 20; ++i)
        many.push_back ({ 30 + i, 100 });
    expandSlots (many, 20, 3, slots);
    ASSERT_EQ (slots.size(), maxSlots);
    EXPECT_EQ (slots[20].note, 42);
    EXPECT_EQ (slots[49].note, 30 + 9 + 24);
    std::vector<HeldNote> twice { { 60, 100 }, { 60, 100 } };
    expandSlots (twice, 2, 2, slots);
    EXPECT_EQ (pitches (slots), (std::vector<int> { 60, 60, 72, 72 }));
}

// Seeded sessions at every range with the range automated while keys come
// and go: no stuck or orphan note, and every pitch played is a held key plus
// whole octaves within the range of its block, so each change reaches the
// next step.
TEST (OctaveRange, RandomSessionsPlayOnlyHeldNotesOctavesUpAndEndEveryNote)
{
    for (int seed = 1; seed <= 8; ++seed)
    {
        juce::Random random (seed);
        ArpAudioProcessor processor;
        render::OfflineHost host (processor, 48000.0, 1024);
        processor.getSettings().setBeatRate (random.nextInt ({ 0, 6 }));
        processor.getSettings().setGatePercentage (random.nextInt ({ 10, 100 }));
        auto& octaves = *processor.getParameters()[ids::pos::octaveRange];

        std::bitset<128> down;
        test::NoteLedger ledger;
        int wrongPitches = 0, spreadNotes = 0;
        for (int block = 0; block < 3000; ++block)
        {
            std::vector<render::TimedMessage> keys;
            const auto at = host.getSamplePosition();
            if (random.nextInt (20) == 0)
            {
                const auto note = random.nextInt ({ 36, 120 });
                keys.push_back (down[static_cast<size_t> (note)] ? test::off (at, note) : test::on (at, note));
                down.flip (static_cast<size_t> (note));
            }
            if (random.nextInt (150) == 0)
                octaves.setValueNotifyingHost (random.nextFloat()); // the host's automation

            const auto range = processor.getSettings().getMirrors().octaveRange.get();
            host.processBlock (random.nextInt ({ 1, 1025 }), keys);
            const auto output = host.takeOutput();
            ledger.add (output);
            for (const auto& m : output)
            {
                if (! m.message.isNoteOn())
                    continue;
                const auto pitch = m.message.getNoteNumber();
                auto fromAKey = false;
                for (int octave = 0; octave < range; ++octave)
                    fromAKey = fromAKey || (pitch - 12 * octave >= 0 && down[static_cast<size_t> (pitch - 12 * octave)]);
                wrongPitches += fromAKey ? 0 : 1;
                spreadNotes += down[static_cast<size_t> (pitch)] ? 0 : 1;
            }
        }

        std::vector<render::TimedMessage> releases;
        for (int note = 0; note < 128; ++note)
            if (down[static_cast<size_t> (note)])
                releases.push_back (test::off (host.getSamplePosition(), note));
        host.run (4 * 48000, 512, releases);
        ledger.add (host.takeOutput());

        EXPECT_EQ (wrongPitches, 0) << "seed " << seed;
        EXPECT_GT (spreadNotes, 0) << "seed " << seed;
        EXPECT_EQ (ledger.offsForSilentNotes, 0) << "seed " << seed;
        EXPECT_TRUE (ledger.sounding.empty()) << "seed " << seed << ": " << ledger.sounding.size() << " notes still sound";
    }
}

} // namespace
} // namespace mur
