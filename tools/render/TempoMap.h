#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

namespace mur::render
{

// A MIDI file's tempo changes as a host's transport follows them: ticks to
// seconds and back, and the tempo and quarter-note position at any time.
// A file timed in SMPTE frames keeps its seconds at one tempo.
class TempoMap
{
public:
    struct Change
    {
        double tick = 0.0;    // in the file's ticks
        double seconds = 0.0; // where it starts
        double bpm = 120.0;
    };

    // The file's tempo events (from every track); `fixedBpm`, when above
    // zero, replaces them all.
    static TempoMap fromFile (const juce::MidiFile& file, double fixedBpm = 0.0);
    static TempoMap constant (double bpm, int ticksPerQuarter = 960);

    double secondsAtTick (double tick) const;
    double tickAtSeconds (double seconds) const;
    double quartersAtSeconds (double seconds) const { return tickAtSeconds (seconds) / ticksPerQuarter; }
    double bpmAtSeconds (double seconds) const;
    // The next change strictly after `seconds`, or a negative number.
    double nextChangeAfter (double seconds) const;

    const std::vector<Change>& getChanges() const noexcept { return changes; }
    double getTicksPerQuarter() const noexcept { return ticksPerQuarter; }

private:
    const Change& changeAtSeconds (double seconds) const;
    const Change& changeAtTick (double tick) const;

    std::vector<Change> changes { Change {} };
    double ticksPerQuarter = 960.0;
    double smpteTicksPerSecond = 0.0; // above zero for SMPTE-timed files
};

} // namespace mur::render
