#pragma once

#include "NetworkGeometry.h"
#include "NeuralEngine.h"

#include <cstdint>
#include <vector>

namespace mur
{

// Subtracts each readout row's mean from the row, so no unit biases every
// output at once.
void centreReadoutRows (NeuralEngine::Matrix& readout) noexcept;

// Gram-Schmidt on the accent and control columns, so the three inputs push the
// hidden layer in mutually orthogonal directions.
void orthogonaliseControlColumns (NeuralEngine::Matrix& input) noexcept;

// Centres a copy of the readout and orthogonalises a copy of the input
// weights of a fresh draw, then puts both back.
void shapeFreshWeights (NeuralEngine& engine);

// What the processor does right after creating its engine: normalisation on,
// fresh weights shaped, and the coefficients at the parameter defaults.
void applyConstructionSequence (NeuralEngine& engine);

// A new network from a seed: normalised, shaped, state back to zero. The
// coefficients and the active size stay as they are.
void reseedNetwork (NeuralEngine& engine, std::uint32_t seed);

// Takes a stored network if its shapes fit, widening the earlier layout of 14
// inputs and 11 outputs with fresh draws from the generator reseeded by
// arpSeed. Returns false, leaving the engine untouched, when it does not fit.
bool applyStoredNetwork (NeuralEngine& engine, int inputs, int hidden, int outputs,
                         const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& recurrent,
                         const NeuralEngine::Matrix& readout, const std::vector<float>& state,
                         std::uint32_t arpSeed);

} // namespace mur
