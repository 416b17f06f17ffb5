#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// The one standard MIDI file MUR writes, for the offline renderer and for a
// captured take: a type-1 file of one track at 960 ticks per quarter holding
// the tempo map, the time signatures, an optional track name and the notes.
namespace mur::midifile
{

inline constexpr int ticksPerQuarter = 960;

struct TempoPoint
{
    double quarters = 0.0, bpm = 120.0;
};

struct MeterPoint
{
    double quarters = 0.0;
    int numerator = 4, denominator = 4;
};

struct Clip
{
    juce::String trackName;           // none when empty
    std::vector<TempoPoint> tempos;   // in order
    std::vector<MeterPoint> meters;   // in order; 4/4 at the start when none
    // Messages at their position in quarter notes from the file's start.
    std::vector<std::pair<double, juce::MidiMessage>> events;
};

// A time-signature event with the standard 24 clocks per click and eight
// 32nds per quarter.
juce::MidiMessage timeSignatureEvent (int numerator, int denominator);

juce::MidiFile toMidiFile (const Clip& clip);

// Writes beside the target first and moves the file into place, so a write
// that fails (a read-only folder, a full disk) leaves nothing behind and no
// earlier file damaged.
juce::Result write (const juce::MidiFile& file, const juce::File& target);

} // namespace mur::midifile
