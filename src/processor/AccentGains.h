#pragma once

#include "StepTiming.h"
#include "engine/Relaxed.h"

#include <array>
#include <cstdint>

namespace mur
{

inline constexpr int maxAccentSteps = 64;

// The accent gains, one per pattern step in [-1, 1]. Storage for the longest
// pattern exists from the start and never moves, so the audio thread can read
// while the editor or the parameter path writes.
class AccentGains
{
public:
    int size() const noexcept { return count; }

    float operator[] (int index) const noexcept { return gains[static_cast<size_t> (index)]; }

    // Resizes within the fixed storage; new entries start at gain 0.
    void resize (int newSize) noexcept;
    void set (int index, float gain) noexcept { gains[static_cast<size_t> (index)] = gain; }

    // The gain of a pattern step, with the fallback for steps the list does not
    // reach yet: 1 for the first step, 0.5 for the others.
    float gainOrFallback (int index) const noexcept;

private:
    std::array<Relaxed<float>, maxAccentSteps> gains {};
    Relaxed<int> count = 0;
};

// Which pattern step a host-synced arpeggiator step at `quarterNotes` falls on,
// or -1 when it lies more than 0.05 of a step off the accent grid.
int hostSyncedAccentStep (double quarterNotes, int numSteps, int startStep, int rateIndex) noexcept;

// Which pattern step the free-running counter k uses: the start step plus k.
int freeRunningAccentStep (int counter, int numSteps, int startStep) noexcept;

// The network's accent input for a gain: 10 times the gain times the master.
constexpr float accentInputFor (float gain, float pulseGain) noexcept { return gain * 10.0f * pulseGain; }

} // namespace mur
