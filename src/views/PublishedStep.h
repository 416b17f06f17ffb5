#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace mur::views
{

// The editor's own copy of what the audio thread published for the last
// step, taken once per timer tick; every view draws from it and none reads
// storage the audio thread writes.
struct PublishedStep
{
    std::vector<float> state;                 // the live hidden units
    std::array<float, 51> probabilities {};   // 0 the rest, s + 1 slot s
    std::int64_t previousChoice = -1;         // a slot, numHeld for the rest, -1 for none
    int numHeld = 0;
    bool restEnabled = false;
    double stepSeconds = 0.25;
    float echo = 1.0f;
    std::vector<std::vector<float>> inputWeights, recurrentWeights, readoutWeights;
    std::uint32_t weightsGeneration = 0;      // of the copied weights
};

// The readout row a choice stands for: 0 for the rest or no choice, slot + 1
// for a held note.
inline int readoutRowForChoice (std::int64_t choice, int numHeld, bool restEnabled) noexcept
{
    if (choice < 0 || (restEnabled && choice == numHeld))
        return 0;
    return choice < numHeld ? static_cast<int> (choice) + 1 : 0;
}

} // namespace mur::views
