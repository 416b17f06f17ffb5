#include "persistence/CaptureClip.h"
#include "processor/TakeBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace mur
{
namespace
{

struct NoteAt
{
    double quarters;
    bool on;
    int note;
};

// A recorder fed block by block as the clock feeds it, 480 samples a block,
// and the take gathered from it.
struct Recording
{
    TakeRecorder recorder;
    TakeBuilder take;
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 480;

    // Host-synced in 4/4 from `from` to `to` (quarters), the notes (in the
    // order of their time) placed on the sample they fall on.
    void synced (double from, double to, double bpm, const std::vector<NoteAt>& notes)
    {
        const auto perSample = bpm / 60.0 / sampleRate;
        size_t next = 0;
        for (std::int64_t k = 0;; ++k)
        {
            const auto p = from + static_cast<double> (k * blockSize) * perSample;
            if (p >= to - 1.0e-9)
                break;
            recorder.beginBlock ({ true, p, bpm, sampleRate, 4, 4, true, std::floor (p / 4.0 + 1.0e-9) * 4.0 });
            for (; next < notes.size() && notes[next].quarters < p + blockSize * perSample - 1.0e-9; ++next)
            {
                const auto& n = notes[next];
                const auto position = static_cast<int> (std::lround ((n.quarters - p) / perSample));
                n.on ? recorder.noteOn (n.note, 100, position) : recorder.noteOff (n.note, position);
            }
            recorder.endBlock (blockSize);
        }
    }

    void drain() { take.drain (recorder); }
};

TEST (Take, ATakeLongerThanTheBufferKeepsItsNewestWholeBarsAndSaysSo)
{
    // Sixteenths for 2500 bars: more than the builder keeps.
    std::vector<NoteAt> notes;
    for (int step = 0; step < 2500 * 16; ++step)
    {
        notes.push_back ({ step * 0.25, true, 60 + step % 5 });
        notes.push_back ({ step * 0.25 + 0.125, false, 60 + step % 5 });
    }

    Recording r;
    for (int chunk = 0; chunk < 100; ++chunk)
    {
        const auto from = chunk * 100.0;
        std::vector<NoteAt> part;
        for (const auto& n : notes)
            if (n.quarters >= from && n.quarters < from + 100.0)
                part.push_back (n);
        r.synced (from, from + 100.0, 120.0, part);
        r.drain();
    }

    const auto whole = r.take.clip();
    EXPECT_TRUE (r.take.isTruncated());
    EXPECT_LE (whole.notes.size(), static_cast<size_t> (TakeBuilder::maxEvents));
    EXPECT_GT (whole.notes.size(), static_cast<size_t> (TakeBuilder::maxEvents) * 9 / 10);
    EXPECT_DOUBLE_EQ (std::fmod (whole.range.start, 4.0), 0.0);
    EXPECT_DOUBLE_EQ (whole.range.end, 10000.0);
    ASSERT_FALSE (whole.notes.empty());
    EXPECT_TRUE (whole.notes.front().on);
    EXPECT_NEAR (whole.notes.front().quarters, 0.0, 1.0e-6);

    // A reader that comes late finds the ring overwritten: what is left
    // starts at a bar line, and no note-off of a lost note-on is kept.
    Recording late;
    late.synced (0.0, 4000.0, 120.0, { notes.begin(), notes.begin() + 32000 });
    late.drain();
    const auto kept = late.take.clip();
    EXPECT_TRUE (late.take.isTruncated());
    EXPECT_DOUBLE_EQ (std::fmod (kept.range.start, 4.0), 0.0);
    EXPECT_GE (kept.range.start, 4000.0 - TakeRecorder::capacity / 8.0);
    ASSERT_FALSE (kept.notes.empty());
    EXPECT_TRUE (kept.notes.front().on);
}

TEST (Take, TheClipFileNamesItsTrackClosesItsLastNoteAndAnEmptyTakeWritesNothing)
{
    Recording r;
    r.synced (0.0, 12.0, 120.0, { { 4.0, true, 60 }, { 4.5, false, 60 }, { 6.0, true, 72 } });
    r.drain();

    const juce::TemporaryFile scratch;
    const auto folder = scratch.getFile();
    ASSERT_TRUE (folder.createDirectory());
    const auto target = folder.getChildFile ("take.mid");
    ASSERT_TRUE (capture::write (r.take, 0, "Glass Steps", target).wasOk());

    juce::FileInputStream in (target);
    juce::MidiFile file;
    ASSERT_TRUE (file.readFrom (in));
    EXPECT_EQ (file.getTimeFormat(), 960);
    ASSERT_EQ (file.getNumTracks(), 1);
    juce::String name;
    int ons = 0, offs = 0;
    for (const auto* e : *file.getTrack (0))
    {
        if (e->message.isTrackNameEvent())
            name = e->message.getTextFromTextMetaEvent();
        ons += e->message.isNoteOn() ? 1 : 0;
        offs += e->message.isNoteOff() ? 1 : 0;
    }
    EXPECT_EQ (name, juce::String (juce::CharPointer_UTF8 ("MUR \xe2\x80\x93 Glass Steps")));
    EXPECT_EQ (ons, 2);
    EXPECT_EQ (offs, 2); // the last note is closed where the take's time stood

    EXPECT_TRUE (capture::write (TakeBuilder {}, 4, {}, folder.getChildFile ("empty.mid")).failed());
    EXPECT_FALSE (folder.getChildFile ("empty.mid").exists());
}

} // namespace
} // namespace mur
