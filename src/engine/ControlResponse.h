#pragma once

#include "NeuralEngine.h"

#include <optional>

namespace mur
{

// First-order effect of the X and Y controls on readout k: how much moving the
// pad to (x, y) pushes that output, ignoring state, bias and recurrence.
// Empty when it cannot be computed (no weights, no live units, short rows or
// an output that does not exist).
std::optional<double> controlResponse (const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& readout, int hiddenSize,
                                       float x, float y, int k);

} // namespace mur
