#include "NeuralEngine.h"

#include "PortableMaths.h"

#include <algorithm>
#include <cmath>

namespace mur
{
namespace
{
// The first n products of a row and a vector, summed in order: the order is
// part of what the step computes.
float dot (const std::vector<float>& row, const std::vector<float>& v, size_t n) noexcept
{
    float sum = 0.0f;
    for (size_t j = 0; j < n; ++j)
        sum += row[j] * v[j];
    return sum;
}

NeuralEngine::Matrix makeMatrix (int rows, int columns)
{
    return NeuralEngine::Matrix (static_cast<size_t> (rows), std::vector<float> (static_cast<size_t> (columns), 0.0f));
}

bool hasShape (const NeuralEngine::Matrix& m, const NeuralEngine::Matrix& shape) noexcept
{
    if (m.size() != shape.size())
        return false;

    for (size_t i = 0; i < m.size(); ++i)
        if (m[i].size() != shape[i].size())
            return false;

    return true;
}

void copyInto (NeuralEngine::Matrix& destination, const NeuralEngine::Matrix& source) noexcept
{
    for (size_t i = 0; i < destination.size(); ++i)
        std::copy (source[i].begin(), source[i].end(), destination[i].begin());
}
} // namespace

NeuralEngine::NeuralEngine (int inSize, int maxHidden, int outSize, std::uint32_t seed)
    : inputSize (std::max (1, inSize)),
      maxHiddenSize (std::max (1, maxHidden)),
      outputSize (std::max (1, outSize)),
      activeHiddenSize (maxHiddenSize),
      inputWeights (makeMatrix (maxHiddenSize, inputSize)),
      recurrentWeights (makeMatrix (maxHiddenSize, maxHiddenSize)),
      readoutWeights (makeMatrix (outputSize, maxHiddenSize)),
      state (static_cast<size_t> (maxHiddenSize), 0.0f),
      input (static_cast<size_t> (inputSize), 0.0f),
      inputDrive (static_cast<size_t> (maxHiddenSize), 0.0f),
      recurrentDrive (static_cast<size_t> (maxHiddenSize), 0.0f),
      output (static_cast<size_t> (outputSize), 0.0f),
      generator (seed),
      bias (static_cast<size_t> (maxHiddenSize), 0.0f)
{
    initialiseWeights();
}

void NeuralEngine::reseed (std::uint32_t seed) noexcept
{
    generator.seed (seed);
}

void NeuralEngine::drawMatrix (Matrix& m) noexcept
{
    for (auto& row : m)
        for (auto& value : row)
            value = drawWeight();
}

void NeuralEngine::initialiseWeights()
{
    drawMatrix (inputWeights);
    drawMatrix (recurrentWeights);
    drawMatrix (readoutWeights);
    std::fill (state.begin(), state.end(), 0.0f);

    if (spectralNormalisation)
    {
        const auto sigma = spectralNormEstimate (recurrentWeights);
        const auto divisor = std::fabs (sigma) < 1e-7f ? 1e-7f : sigma;
        const auto factor = spectralTarget / divisor;

        for (auto& row : recurrentWeights)
            for (auto& value : row)
                value *= factor;
    }

    redrawBias();
}

void NeuralEngine::redrawBias() noexcept
{
    for (auto& value : bias)
        value = drawWeight();
}

bool NeuralEngine::setWeights (const Matrix& in, const Matrix& recurrent, const Matrix& readout) noexcept
{
    if (! hasShape (in, inputWeights) || ! hasShape (recurrent, recurrentWeights) || ! hasShape (readout, readoutWeights))
        return false;

    // Copying element by element keeps every row where it is.
    copyInto (inputWeights, in);
    copyInto (recurrentWeights, recurrent);
    copyInto (readoutWeights, readout);
    return true;
}

bool NeuralEngine::setState (const std::vector<float>& newState) noexcept
{
    if (newState.size() != state.size())
        return false;

    std::copy (newState.begin(), newState.end(), state.begin());
    return true;
}

bool NeuralEngine::setBias (const std::vector<float>& newBias) noexcept
{
    if (newBias.size() != bias.size())
        return false;

    std::copy (newBias.begin(), newBias.end(), bias.begin());
    return true;
}

void NeuralEngine::copyNetworkFrom (const NeuralEngine& other) noexcept
{
    if (&other == this || ! hasShape (other.inputWeights, inputWeights) || ! hasShape (other.recurrentWeights, recurrentWeights)
        || ! hasShape (other.readoutWeights, readoutWeights) || other.bias.size() != bias.size())
        return;

    copyInto (inputWeights, other.inputWeights);
    copyInto (recurrentWeights, other.recurrentWeights);
    copyInto (readoutWeights, other.readoutWeights);
    std::copy (other.bias.begin(), other.bias.end(), bias.begin());
    spectralNormalisation = other.spectralNormalisation;
    spectralTarget = other.spectralTarget;
    activeHiddenSize = other.activeHiddenSize.get();
    leakRate = other.leakRate.get();
    recurrenceScale = other.recurrenceScale.get();
    noiseAmount = other.noiseAmount.get();
    activationGain = other.activationGain.get();
    biasGain = other.biasGain.get();
}

void NeuralEngine::continueFrom (const NeuralEngine& other, bool takeState, bool takeGenerator, bool takeNormals) noexcept
{
    if (&other == this)
        return;

    if (takeState && other.state.size() == state.size())
        std::copy (other.state.begin(), other.state.end(), state.begin());
    if (takeGenerator)
        generator = other.generator;
    if (takeNormals)
        normal = other.normal;
}

void NeuralEngine::setActiveHiddenSize (int n) noexcept
{
    activeHiddenSize = std::min (maxHiddenSize, std::max (1, n));
}

void NeuralEngine::setSpectralNormalisation (bool enabled, float target) noexcept
{
    spectralNormalisation = enabled;
    spectralTarget = target;
}

void NeuralEngine::setDynamics (float newLeakRate, float newRecurrenceScale, float newNoiseAmount) noexcept
{
    leakRate = newLeakRate;
    recurrenceScale = newRecurrenceScale;
    noiseAmount = newNoiseAmount;
}

const std::vector<float>& NeuralEngine::step (const float* inputValues) noexcept
{
    const auto h = static_cast<size_t> (activeHiddenSize.get());
    const auto numIn = static_cast<size_t> (inputSize);
    const float leak = leakRate, recurrence = recurrenceScale, noise = noiseAmount;
    const float gain = activationGain, biasScale = biasGain;

    std::copy (inputValues, inputValues + numIn, input.begin());

    std::fill (inputDrive.begin(), inputDrive.end(), 0.0f);
    for (size_t i = 0; i < h; ++i)
        inputDrive[i] = dot (inputWeights[i], input, numIn);

    std::fill (recurrentDrive.begin(), recurrentDrive.end(), 0.0f);
    for (size_t i = 0; i < h; ++i)
    {
        const auto s = dot (recurrentWeights[i], state, h);

        if (noise > 0.0f)
        {
            const auto z = drawWeight();
            recurrentDrive[i] = z * noise + s * recurrence;
        }
        else
        {
            recurrentDrive[i] = s * recurrence;
        }
    }

    for (size_t i = 0; i < h; ++i)
    {
        const auto p = (recurrentDrive[i] + inputDrive[i] + bias[i] * biasScale) * gain;
        state[i] = (1.0f - leak) * state[i] + leak * maths::tanh (p);
    }

    std::fill (output.begin(), output.end(), 0.0f);
    for (size_t k = 0; k < output.size(); ++k)
        output[k] = dot (readoutWeights[k], state, h);

    return output;
}

float spectralNormEstimate (const NeuralEngine::Matrix& w)
{
    const auto rows = w.size();

    if (rows == 0)
        return 0.0f;

    const auto columns = w[0].size();
    std::vector<float> q (columns, 0.0f), p (rows, 0.0f), v (columns, 0.0f);

    if (columns > 0)
        q[0] = 1.0f;

    auto multiply = [&] (const std::vector<float>& x, std::vector<float>& result)
    {
        for (size_t j = 0; j < rows; ++j)
        {
            float sum = 0.0f;
            for (size_t k = 0; k < columns; ++k)
                sum += w[j][k] * x[k];
            result[j] = sum;
        }
    };

    for (int iteration = 0; iteration < 30; ++iteration)
    {
        multiply (q, p);

        for (size_t j = 0; j < columns; ++j)
        {
            float sum = 0.0f;
            for (size_t l = 0; l < rows; ++l)
                sum += w[l][j] * p[l];
            v[j] = sum;
        }

        float squares = 0.0f;
        for (auto value : v)
            squares += value * value;

        const auto norm = std::sqrt (std::max (1e-12f, squares));
        for (size_t j = 0; j < columns; ++j)
            q[j] = v[j] / norm;
    }

    multiply (q, p);

    float squares = 0.0f;
    for (auto value : p)
        squares += value * value;

    return std::sqrt (std::max (0.0f, squares));
}

} // namespace mur
