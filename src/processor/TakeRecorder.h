#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace mur
{

// One thing the recorder noted. Every entry carries the tempo and metre in
// force and the bar line the metre counts from, so that whatever part of a
// take is still in the ring when it is read can be placed on its bars.
struct TakeEvent
{
    enum class Kind : std::uint8_t
    {
        noteOn = 1,
        noteOff,
        tempo,   // the tempo changed at `quarters`
        meter,   // a new metre starts at `quarters` (a bar line)
        takeEnd  // the take stopped at `quarters` (a loop, a locate, the transport)
    };

    Kind kind = Kind::noteOn;
    std::uint32_t take = 0;
    int note = 0, velocity = 0;
    double quarters = 0.0;  // musical time in the take's own timeline
    double bpm = 120.0;
    double barAnchor = 0.0; // a bar line of the metre in force
    int numerator = 4, denominator = 4;
};

// Where one block lies in musical time, as the clock saw it.
struct BlockTime
{
    bool hostSynced = false;
    double startPpq = 0.0;   // the host position at the block's start, when synced
    double bpm = 120.0;
    double sampleRate = 0.0;
    int numerator = 4, denominator = 4;
    bool hasBarStart = false;
    double barStartPpq = 0.0; // the host's last bar line, when it reports one
};

// The arpeggio's own notes with their musical time, kept in a ring the audio
// thread writes and the message thread reads: preallocated, no lock, nothing
// allocated while playing. The newest `capacity` entries are always there,
// whoever reads them and however late.
//
// A take runs while time runs on without a jump: host-synced, the host's
// position in quarter notes; free-running, the time since the take began at
// the tempo in force. A loop or locate, the transport starting or stopping,
// ends the take; the next note begins a new one. Tempo and metre changes
// stay inside the take.
class TakeRecorder
{
public:
    // Room for 16,384 note-ons and note-offs (64 bars of 1/32 need 4,096),
    // with tempo and metre changes besides.
    static constexpr int capacity = 20480;

    TakeRecorder();

    //==============================================================================
    // Audio thread.
    void beginBlock (const BlockTime& time) noexcept;
    void noteOn (int note, int velocity, int position) noexcept;
    void noteOff (int note, int position) noexcept;
    void endBlock (int numSamples) noexcept;

    //==============================================================================
    // Message thread (one reader).
    struct Read
    {
        std::uint64_t lost = 0; // entries that were overwritten before this read
    };
    // Appends the entries written since `cursor` (at most the newest
    // `capacity`) to `out` and moves the cursor on.
    Read read (std::uint64_t& cursor, std::vector<TakeEvent>& out) const;

    struct Now
    {
        std::uint32_t take = 0;
        double quarters = 0.0;
    };
    // The open take and how far its time has run (the end of the newest
    // block); take 0 when none is open.
    Now now() const noexcept;

private:
    struct Slot
    {
        std::atomic<std::uint64_t> sequence { 0 }; // index + 1 once written; 0 while being written
        std::atomic<double> quarters { 0.0 }, bpm { 0.0 }, barAnchor { 0.0 };
        std::atomic<std::uint64_t> word { 0 };
    };

    void push (TakeEvent::Kind kind, int note, int velocity, double quarters) noexcept;
    void endTake() noexcept;
    double quartersAt (int position) const noexcept { return blockStart + position * quartersPerSample; }

    std::unique_ptr<Slot[]> slots;
    std::atomic<std::uint64_t> written { 0 };
    std::uint64_t next = 0;

    // The audio thread's own view of the take.
    std::uint32_t take = 0;
    bool takeOpen = false, started = false, wasSynced = false;
    double blockStart = 0.0, blockEnd = 0.0, quartersPerSample = 0.0;
    double bpm = 120.0, barAnchor = 0.0;
    int numerator = 4, denominator = 4;
    BlockTime time;

    std::atomic<std::uint32_t> nowTake { 0 };
    std::atomic<double> nowQuarters { 0.0 };
};

} // namespace mur
