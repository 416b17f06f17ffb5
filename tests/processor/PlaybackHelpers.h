#pragma once

#include "OfflineHost.h"
#include "processor/ProcessorAccess.h"

#include <gtest/gtest.h>

#include <bitset>
#include <map>

namespace mur::test
{

using render::TimedMessage;

inline TimedMessage on (std::int64_t sample, int note, int velocity = 100)
{
    return { sample, juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (velocity)) };
}

inline TimedMessage off (std::int64_t sample, int note)
{
    return { sample, juce::MidiMessage::noteOff (1, note) };
}

inline std::vector<std::int64_t> noteOnTimes (const std::vector<TimedMessage>& output)
{
    std::vector<std::int64_t> times;
    for (const auto& m : output)
        if (m.message.isNoteOn())
            times.push_back (m.sample);
    return times;
}

inline std::vector<int> noteOnPitches (const std::vector<TimedMessage>& output)
{
    std::vector<int> notes;
    for (const auto& m : output)
        if (m.message.isNoteOn())
            notes.push_back (m.message.getNoteNumber());
    return notes;
}

// A note-off for every key still down; all of them are up afterwards.
inline std::vector<juce::MidiMessage> releaseAll (std::bitset<128>& down)
{
    std::vector<juce::MidiMessage> releases;
    for (int note = 0; note < 128; ++note)
        if (down[static_cast<size_t> (note)])
            releases.push_back (juce::MidiMessage::noteOff (1, note));
    down.reset();
    return releases;
}

// Follows note-ons and note-offs and reports anything a synthesizer would
// get wrong: a note-off for a silent note, a note-on or note-off off channel 1,
// and (at the end) notes still sounding.
struct NoteLedger
{
    std::map<int, int> sounding; // note -> number of note-ons since it was silent
    int offsForSilentNotes = 0;
    int wrongChannel = 0;
    std::int64_t notesOn = 0;

    void add (const std::vector<TimedMessage>& output)
    {
        for (const auto& m : output)
        {
            if (! m.message.isNoteOnOrOff())
                continue;

            if (m.message.getChannel() != 1)
                ++wrongChannel;

            const auto note = m.message.getNoteNumber();

            if (m.message.isNoteOn())
            {
                ++sounding[note];
                ++notesOn;
            }
            else if (sounding.erase (note) == 0)
            {
                ++offsForSilentNotes;
            }
        }
    }
};

} // namespace mur::test
