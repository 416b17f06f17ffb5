#pragma once

#include <cstdint>

// The shape of MUR's network and the constants of its input and choice rules,
// named once.
namespace mur
{

// Outputs and probabilities: index 0 is the rest ("Breath"), s + 1 is held
// slot s. Inputs 0 to 50 mirror that for the previous choice; then come the
// accent and the two XY controls.
inline constexpr int numOutputs = 51;
inline constexpr int maxSlots = numOutputs - 1;
inline constexpr int accentInput = 51;
inline constexpr int controlXInput = 52;
inline constexpr int controlYInput = 53;
inline constexpr int numInputs = 54;

// Hidden units the engine holds; "Capacity" makes 2 to 50 of them live.
inline constexpr int maxHiddenUnits = 50;

// The rest takes part in the choice only while its gain is above this.
inline constexpr float restThreshold = 0.01f;

// The XY controls reach the network five times as strong as the pad's -1 to 1.
inline constexpr float controlInputScale = 5.0f;

inline constexpr std::int32_t defaultArpSeed = 12345;

} // namespace mur
