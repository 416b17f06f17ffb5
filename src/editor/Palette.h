#pragma once

#include "engine/NeuralEngine.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// The one colour map that note slots, hidden units and XY pad points are
// coloured from: very dark violet through plum and olive to pale green-white.
// Plain arithmetic on ARGB words, so it is testable without a window.
namespace mur::palette
{

struct Rgb
{
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

inline constexpr int mapSize = 210;
inline constexpr int numNoteColours = 51;
inline constexpr std::uint32_t grey = 0xff808080;

const std::array<Rgb, mapSize>& colourMap();

// The map at a fraction t, its dark and light ends trimmed by the two biases.
Rgb trimmedColour (float t, float darkBias, float lightBias);

// The two 8-bit conversions in use: note colours truncate, unit and position
// colours round and limit.
std::uint32_t noteArgb (Rgb c);
std::uint32_t unitArgb (Rgb c);

struct NoteColours
{
    std::array<std::uint32_t, numNoteColours> colours {};
    std::array<float, numNoteColours> positions {}; // on the map, in index units 0 to 209
};

// The held notes spread evenly along the trimmed map; the rest and empty
// slots are grey.
NoteColours computeNoteColours (int numHeld, float darkBias, float lightBias);

// The softmax-weighted mean of candidate positions, limited to the map.
double softmaxPosition (const std::vector<std::pair<double, double>>& positionAndScore);

struct PaletteInputs
{
    int hiddenSize = 5;
    int numHeld = 0;
    float breathGain = 0.0f;
    float darkBias = 0.27f, lightBias = 0.2f;
};

// One colour per live hidden unit: the colour of the notes it votes for.
// Empty when it cannot be computed (the caller then keeps its old colours).
std::vector<std::uint32_t> computeUnitColours (const NeuralEngine::Matrix& readout, const NoteColours& notes,
                                               const PaletteInputs& settings, std::vector<float>* positions = nullptr);

// The colour of an XY pad point: the notes the controls there push towards.
std::uint32_t positionColour (const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& readout, const NoteColours& notes,
                              const PaletteInputs& settings,
                              float x, float y);

} // namespace mur::palette
