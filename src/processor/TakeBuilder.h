#pragma once

#include "TakeRecorder.h"

#include <bitset>
#include <cstdint>
#include <vector>

namespace mur
{

// The latest take, gathered on the message thread from what the recorder
// wrote, and the clip it offers: whole bars, from the bar line at or before
// its first note to the bar line at or after its last note-off, or only the
// last few of those bars.
class TakeBuilder
{
public:
    // Note-ons and note-offs kept of one take; a longer take keeps its
    // newest whole bars.
    static constexpr int maxEvents = 16384;

    struct Note
    {
        double quarters = 0.0;
        bool on = true;
        int note = 0, velocity = 0;
    };
    struct TempoPoint
    {
        double quarters = 0.0, bpm = 120.0;
    };
    struct MeterPoint
    {
        double quarters = 0.0; // a bar line
        int numerator = 4, denominator = 4;
    };

    // The part of the take a clip holds, on its bar lines.
    struct Range
    {
        double start = 0.0, end = 0.0;
        int bars = 0;
    };

    // The clip itself: notes, tempo map and metres in quarters from the
    // range's start; a note still sounding at the take's end ends there.
    struct Clip
    {
        std::vector<Note> notes;
        std::vector<TempoPoint> tempos;
        std::vector<MeterPoint> meters;
        Range range;
    };

    // Reads what the recorder wrote since the last call.
    void drain (const TakeRecorder& recorder);
    // The same from a list (what `drain` reads; tests feed it directly).
    void add (const std::vector<TakeEvent>& events, std::uint64_t lost, TakeRecorder::Now now);

    // Forgets the take; notes played from now on start the next.
    void clear();

    bool isEmpty() const noexcept { return wholeRange().bars == 0; }
    // The take began before the oldest part still kept.
    bool isTruncated() const noexcept { return truncated; }
    // The whole take, or its last `bars` bars (0: the whole take).
    Range range (int bars = 0) const;
    Clip clip (int bars = 0) const;
    // Changes whenever the take does.
    std::uint64_t getGeneration() const noexcept { return generation; }

private:
    Range wholeRange() const;
    void startTake (const TakeEvent& first, bool afterLoss);
    void keepNewestBars();
    const MeterPoint& meterAt (double q) const;
    double barAtOrBefore (double q) const;
    double barAtOrAfter (double q) const;
    double tempoAt (double q) const;

    std::uint64_t cursor = 0;
    std::vector<TakeEvent> incoming;

    std::uint32_t take = 0;
    std::vector<Note> notes;
    std::vector<TempoPoint> tempos;
    std::vector<MeterPoint> meters;
    std::bitset<128> sounding; // pitches whose last message in the take is a note-on
    double end = 0.0;     // how far the take's time has run
    double floor = 0.0;   // nothing before this bar line is kept
    bool truncated = false, ended = false, lossPending = false;
    std::uint64_t generation = 0;
};

} // namespace mur
