#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>

namespace mur
{

// One held key. Its position in the processor's sorted list is its slot.
struct HeldNote
{
    std::int32_t note = 0;
    std::int32_t velocity = 0;

    bool operator== (const HeldNote&) const = default;
};

// A note-off waiting to be sent, relative to the start of the current block.
// A note of -1 is a rest marker: it sends nothing but occupies its step.
struct PendingNoteOff
{
    std::int32_t note = 0;
    std::int32_t dueSample = 0;

    bool operator== (const PendingNoteOff&) const = default;
};

// Everything that happens to notes inside one block, sorted by position and
// then by the class of its kind so that note-offs precede note-ons at one
// sample. Other incoming messages pass through after them (the last class).
enum class EventKind : std::uint8_t
{
    keyDown = 0,
    keyUp = 1,
    noteOffDue = 2,
    previewOffDue = 3,
    previewNoteOn = 4,
    stepTick = 5
};

constexpr int eventClass (EventKind kind) noexcept
{
    switch (kind)
    {
        case EventKind::keyDown:
        case EventKind::keyUp:          return 0;
        case EventKind::noteOffDue:
        case EventKind::previewOffDue:  return 1;
        case EventKind::previewNoteOn:  return 2;
        case EventKind::stepTick:       return 3;
    }
    return 3;
}

struct BlockEvent
{
    std::int32_t position = 0;
    EventKind kind = EventKind::stepTick;
    std::int32_t note = 0;
    std::int32_t value = 0;
    std::int32_t dueSample = 0;
};

// A note the editor wants to audition, carried to the audio thread.
struct PreviewRequest
{
    std::int32_t note = 0;
    std::int32_t velocity = 0;
};

// A remembered XY pad position with the colour it was drawn in.
struct XYCheckpoint
{
    float x = 0.0f;
    float y = 0.0f;
    juce::uint32 colour = 0xff808080;

    bool operator== (const XYCheckpoint&) const = default;
};

} // namespace mur
