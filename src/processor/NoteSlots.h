#pragma once

#include "ArpTypes.h"
#include "HeldNotes.h"
#include "engine/NetworkGeometry.h"

#include <array>

namespace mur
{

inline constexpr int maxOctaveRange = 4;

// What the network chooses among: the held notes in ascending order, then
// the same notes an octave up, and so on for each octave of the range. A
// note above 127 is left out, and there are never more than the network's 50
// slots. Slot s keeps its note as the range grows. Each slot sounds at its
// own pitch with its held key's velocity.
struct NoteSlots
{
    std::array<HeldNote, maxSlots> slots {};
    int count = 0;

    HeldNote operator[] (int slot) const noexcept { return slots[static_cast<size_t> (slot)]; }
    int size() const noexcept { return count; }
};

// Fills `out` from the first `numHeld` held notes (ascending).
template <typename HeldList>
void expandSlots (const HeldList& held, int numHeld, int octaveRange, NoteSlots& out) noexcept
{
    out.count = 0;
    const auto octaves = octaveRange < 1 ? 1 : (octaveRange > maxOctaveRange ? maxOctaveRange : octaveRange);

    for (int octave = 0; octave < octaves; ++octave)
        for (int i = 0; i < numHeld; ++i)
        {
            if (out.count == maxSlots)
                return;
            const HeldNote key = held[i];
            const auto pitch = key.note + 12 * octave;
            if (pitch <= 127)
                out.slots[static_cast<size_t> (out.count++)] = { pitch, key.velocity };
        }
}

inline void expandSlots (const HeldNotes& held, int octaveRange, NoteSlots& out) noexcept
{
    expandSlots (held, held.size(), octaveRange, out);
}

} // namespace mur
