#pragma once

#include "ArpTypes.h"
#include "engine/Relaxed.h"

#include <array>

namespace mur
{

// The held keys sorted by ascending note; a key's position is its slot. The
// capacity is the network's 50 slots and is never exceeded: further keys are
// ignored until one is released. Entries are read by the editor while the
// audio thread edits them, so they sit in fixed storage as relaxed atomics.
class HeldNotes
{
public:
    static constexpr int capacity = 50;

    int size() const noexcept { return count; }
    bool isEmpty() const noexcept { return count.get() == 0; }

    HeldNote operator[] (int slot) const noexcept
    {
        return { notes[static_cast<size_t> (slot)], velocities[static_cast<size_t> (slot)] };
    }

    bool contains (int note) const noexcept { return indexOf (note) >= 0; }

    int indexOf (int note) const noexcept
    {
        for (int i = 0; i < count; ++i)
            if (notes[static_cast<size_t> (i)] == note)
                return i;
        return -1;
    }

    // Inserts keeping the order (after equal notes); false when full.
    bool insert (HeldNote held) noexcept
    {
        const int n = count;

        if (n >= capacity)
            return false;

        int position = n;
        while (position > 0 && notes[static_cast<size_t> (position - 1)] > held.note)
        {
            copyEntry (position - 1, position);
            --position;
        }

        notes[static_cast<size_t> (position)] = held.note;
        velocities[static_cast<size_t> (position)] = held.velocity;
        count = n + 1;
        return true;
    }

    void removeAt (int slot) noexcept
    {
        const int n = count;

        for (int i = slot; i + 1 < n; ++i)
            copyEntry (i + 1, i);

        count = n - 1;
    }

    void clear() noexcept { count = 0; }

private:
    void copyEntry (int from, int to) noexcept
    {
        notes[static_cast<size_t> (to)] = notes[static_cast<size_t> (from)].get();
        velocities[static_cast<size_t> (to)] = velocities[static_cast<size_t> (from)].get();
    }

    std::array<Relaxed<std::int32_t>, capacity> notes {}, velocities {};
    Relaxed<int> count = 0;
};

} // namespace mur
