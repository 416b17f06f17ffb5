#pragma once

#include "NetworkGeometry.h"
#include "Random.h"
#include "Relaxed.h"

#include <cstdint>

namespace mur
{

constexpr bool isRestEnabled (float breathGain) noexcept { return breathGain > restThreshold; }

// ln(c / (1 - c)) with c kept inside [1e-7, 0.9999999].
float clampedLogit (float gain) noexcept;

// What the network hears of the moment: the previous choice (slot or rest,
// scaled by the feedback amount), the accent and the two controls.
struct NetworkInputValues
{
    int numHeld = 0;
    std::int64_t previousChoice = -1;
    float feedbackScale = 1.0f;
    float breathGain = 0.0f;
    float controlInput0 = 0.0f;
    float controlInput1 = 0.0f;
    float accentValue = 0.0f;
};

// Writes the 54 network inputs.
void buildNetworkInput (float* inputs, const NetworkInputValues& values) noexcept;

struct SelectionInputs
{
    const float* noteGains = nullptr; // 51 gains: the rest, then slots 0 to 49
    float repeatGain = 0.5f;
    float neighborGain = 0.0f;
    float softmaxGain = 1000.0f;
};

// Turns the 51 readout values into probabilities over the rest and the held
// slots (index 0 the rest, s + 1 slot s); non-candidates get 0.
void computeNoteProbabilities (const float* outputs, float* probabilities, int numHeld,
                               std::int64_t previousChoice, const SelectionInputs& settings) noexcept;

// The seeded draw among the candidates. Its generator is the processor's own
// and restarts only when the seed it is given changes.
struct NoteChooser
{
    static constexpr std::int64_t none = -1;

    Mt19937 noteChoiceRandom { Mt19937::defaultSeed };
    std::int32_t appliedArpSeed = 12345;
    Relaxed<std::int64_t> previousChoice = 0; // read by the editor

    void seed (std::int32_t arpSeed) noexcept;

    // Returns a slot 0 to n - 1, n for the rest, or -1 when the walk reaches no
    // candidate; the result also becomes previousChoice.
    std::int64_t chooseNextSlot (const float* probabilities, int numHeld, bool restEnabled,
                                 std::int32_t arpSeed) noexcept;
};

} // namespace mur
