#include "ControlResponse.h"

#include "NetworkShaping.h"

#include <algorithm>

namespace mur
{

std::optional<double> controlResponse (const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& readout, int hiddenSize,
                                       float x, float y, int k)
{
    if (hiddenSize <= 0 || input.empty() || readout.empty() || k < 0 || static_cast<size_t> (k) >= readout.size())
        return std::nullopt;

    const auto& outRow = readout[static_cast<size_t> (k)];
    const auto rows = std::min ({ static_cast<size_t> (hiddenSize), input.size(), outRow.size() });
    double sum = 0.0;

    for (size_t i = 0; i < rows; ++i)
    {
        const auto& inRow = input[i];
        if (inRow.size() < static_cast<size_t> (numInputs))
            return std::nullopt;

        sum += static_cast<double> (outRow[i])
             * (static_cast<double> (inRow[static_cast<size_t> (controlXInput)]) * static_cast<double> (x)
                + static_cast<double> (inRow[static_cast<size_t> (controlYInput)]) * static_cast<double> (y));
    }

    return 5.0 * sum;
}

} // namespace mur
