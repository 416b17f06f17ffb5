#include "TakeRecorder.h"

#include <algorithm>
#include <cmath>

namespace mur
{
namespace
{
// The word of an entry: take (24 bits), kind (4), note (7), velocity (7),
// numerator (8), denominator (8).
std::uint64_t pack (std::uint32_t take, TakeEvent::Kind kind, int note, int velocity, int numerator, int denominator) noexcept
{
    return static_cast<std::uint64_t> (take & 0xffffffu)
         | static_cast<std::uint64_t> (static_cast<unsigned> (kind) & 0xfu) << 24
         | static_cast<std::uint64_t> (note & 0x7f) << 28
         | static_cast<std::uint64_t> (velocity & 0x7f) << 35
         | static_cast<std::uint64_t> (std::clamp (numerator, 1, 255)) << 42
         | static_cast<std::uint64_t> (std::clamp (denominator, 1, 255)) << 50;
}

void unpack (std::uint64_t word, TakeEvent& event) noexcept
{
    event.take = static_cast<std::uint32_t> (word & 0xffffffu);
    event.kind = static_cast<TakeEvent::Kind> ((word >> 24) & 0xfu);
    event.note = static_cast<int> ((word >> 28) & 0x7f);
    event.velocity = static_cast<int> ((word >> 35) & 0x7f);
    event.numerator = static_cast<int> ((word >> 42) & 0xff);
    event.denominator = static_cast<int> ((word >> 50) & 0xff);
}
} // namespace

TakeRecorder::TakeRecorder() : slots (std::make_unique<Slot[]> (static_cast<size_t> (capacity))) {}

void TakeRecorder::beginBlock (const BlockTime& t) noexcept
{
    time = t;
    quartersPerSample = t.sampleRate > 0.0 && t.bpm > 0.0 && std::isfinite (t.bpm) ? t.bpm / 60.0 / t.sampleRate : 0.0;

    // Time that does not go on from where the last block ended is a new
    // take: the transport started or stopped, or the host looped or
    // located. A host position within a block's length (and a 64th) of
    // where this one expected counts as going on, which leaves room for a
    // tempo that changed inside the last block.
    bool jump = ! started || t.hostSynced != wasSynced;
    auto start = 0.0;

    if (t.hostSynced)
    {
        start = t.startPpq;
        const auto tolerance = std::max (1.0 / 64.0, blockEnd - blockStart);
        jump = jump || ! (std::abs (start - blockEnd) <= tolerance);
    }
    else if (! jump)
    {
        start = blockEnd;
    }

    if (jump && takeOpen)
        endTake();

    started = true;
    wasSynced = t.hostSynced;
    blockStart = blockEnd = start;

    const auto newBpm = t.bpm > 0.0 && std::isfinite (t.bpm) ? t.bpm : bpm;
    if (newBpm != bpm)
    {
        bpm = newBpm;
        if (takeOpen)
            push (TakeEvent::Kind::tempo, 0, 0, start);
    }

    const auto newNumerator = std::clamp (t.numerator, 1, 255);
    const auto newDenominator = std::clamp (t.denominator, 1, 255);
    const auto meterChanged = newNumerator != numerator || newDenominator != denominator;
    numerator = newNumerator;
    denominator = newDenominator;

    if (t.hostSynced && t.hasBarStart && std::isfinite (t.barStartPpq) && t.barStartPpq <= start + 1.0e-9)
        barAnchor = t.barStartPpq;
    else if (meterChanged)
        barAnchor = start;

    if (meterChanged && takeOpen)
        push (TakeEvent::Kind::meter, 0, 0, barAnchor);
}

void TakeRecorder::noteOn (int note, int velocity, int position) noexcept
{
    const auto q = quartersAt (position);

    if (! takeOpen)
    {
        take = (take + 1) & 0xffffffu;
        if (take == 0)
            take = 1;
        takeOpen = true;

        // Free-running, the take's bars start with its first note.
        if (! time.hostSynced)
            barAnchor = q;
    }

    push (TakeEvent::Kind::noteOn, note, velocity, q);
}

void TakeRecorder::noteOff (int note, int position) noexcept
{
    // A note-off of a take that has ended belongs to no take.
    if (takeOpen)
        push (TakeEvent::Kind::noteOff, note, 0, quartersAt (position));
}

void TakeRecorder::endBlock (int numSamples) noexcept
{
    blockEnd = blockStart + std::max (0, numSamples) * quartersPerSample;

    if (takeOpen)
    {
        nowQuarters.store (blockEnd, std::memory_order_relaxed);
        nowTake.store (take, std::memory_order_release);
    }
}

void TakeRecorder::endTake() noexcept
{
    push (TakeEvent::Kind::takeEnd, 0, 0, blockEnd);
    takeOpen = false;
    nowTake.store (0, std::memory_order_release);
}

void TakeRecorder::push (TakeEvent::Kind kind, int note, int velocity, double quarters) noexcept
{
    const auto index = next++;
    auto& slot = slots[static_cast<size_t> (index % capacity)];

    // Each slot is its own sequence lock: marked busy, written, then marked
    // with its index, so a reader can tell a whole entry from one that was
    // being overwritten while it read.
    slot.sequence.store (0, std::memory_order_relaxed);
    std::atomic_thread_fence (std::memory_order_release);
    slot.quarters.store (quarters, std::memory_order_relaxed);
    slot.bpm.store (bpm, std::memory_order_relaxed);
    slot.barAnchor.store (barAnchor, std::memory_order_relaxed);
    slot.word.store (pack (take, kind, note, velocity, numerator, denominator), std::memory_order_relaxed);
    slot.sequence.store (index + 1, std::memory_order_release);
    written.store (next, std::memory_order_release);
}

TakeRecorder::Read TakeRecorder::read (std::uint64_t& cursor, std::vector<TakeEvent>& out) const
{
    Read result;
    const auto end = written.load (std::memory_order_acquire);
    const auto oldest = end > static_cast<std::uint64_t> (capacity) ? end - static_cast<std::uint64_t> (capacity) : 0;
    const auto first = std::max (cursor, oldest);
    result.lost = first - std::min (cursor, first);

    for (auto index = first; index < end; ++index)
    {
        const auto& slot = slots[static_cast<size_t> (index % capacity)];
        const auto before = slot.sequence.load (std::memory_order_acquire);

        TakeEvent event;
        event.quarters = slot.quarters.load (std::memory_order_relaxed);
        event.bpm = slot.bpm.load (std::memory_order_relaxed);
        event.barAnchor = slot.barAnchor.load (std::memory_order_relaxed);
        const auto word = slot.word.load (std::memory_order_relaxed);
        std::atomic_thread_fence (std::memory_order_acquire);
        const auto after = slot.sequence.load (std::memory_order_relaxed);

        if (before != index + 1 || after != before)
        {
            ++result.lost;
            continue;
        }

        unpack (word, event);
        out.push_back (event);
    }

    cursor = end;
    return result;
}

TakeRecorder::Now TakeRecorder::now() const noexcept
{
    Now result;
    result.take = nowTake.load (std::memory_order_acquire);
    result.quarters = nowQuarters.load (std::memory_order_relaxed);
    return result;
}

} // namespace mur
