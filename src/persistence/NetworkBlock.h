#pragma once

#include "engine/NeuralEngine.h"
#include "processor/SharedEngine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace mur
{

// The text that separates a state document's XML from its network block.
inline constexpr char networkMarker[] = "-----BINARY_DATA_STARTS_HERE-----";
inline constexpr std::size_t networkMarkerLength = sizeof (networkMarker) - 1; // 33
inline constexpr std::size_t networkMarkerSearchLimit = 10000;

// A network as stored: counts, the three matrices (row by row), the state and
// the bias if the block carried one of an acceptable length.
struct StoredNetwork
{
    int inputs = 0, hidden = 0, outputs = 0;
    NeuralEngine::Matrix input, recurrent, readout;
    std::vector<float> state;
    std::optional<std::vector<float>> bias;
};

// Appends the little-endian network block (without the marker) for a network:
// counts, each matrix as a row count and rows of (length, floats), the state
// and the bias. 32036 bytes for the 54/50/51 network.
void appendNetworkBlock (std::vector<std::uint8_t>& out, const NetworkCopy& network);

// Finds the marker within the first 10000 bytes and reads the block after it.
// Returns nothing when the marker is missing, a count is out of bounds, the
// data ends early or any stored number is not finite: a damaged block is
// ignored as a whole.
std::optional<StoredNetwork> readNetworkBlock (const std::uint8_t* data, std::size_t size);

// The earlier parameter-tree form: counts, then matrices and state without
// row lengths, and no bias.
std::optional<StoredNetwork> readLegacyNetwork (const std::uint8_t* data, std::size_t size);

} // namespace mur
