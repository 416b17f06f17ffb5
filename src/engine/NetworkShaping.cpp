#include "NetworkShaping.h"

namespace mur
{
namespace
{
bool isShaped (const NeuralEngine::Matrix& m, size_t rows, size_t columns) noexcept
{
    if (m.size() != rows)
        return false;

    for (const auto& row : m)
        if (row.size() != columns)
            return false;

    return true;
}

float columnDot (const NeuralEngine::Matrix& m, size_t a, size_t b) noexcept
{
    float sum = 0.0f;
    for (const auto& row : m)
        sum += row[a] * row[b];
    return sum;
}
} // namespace

void centreReadoutRows (NeuralEngine::Matrix& readout) noexcept
{
    for (auto& row : readout)
    {
        if (row.empty())
            continue;

        float sum = 0.0f;
        for (auto value : row)
            sum += value;

        const auto mean = sum / static_cast<float> (row.size());
        for (auto& value : row)
            value -= mean;
    }
}

void orthogonaliseControlColumns (NeuralEngine::Matrix& input) noexcept
{
    if (input.empty())
        return;

    for (const auto& row : input)
        if (row.size() < static_cast<size_t> (numInputs))
            return;

    constexpr auto c51 = static_cast<size_t> (accentInput);
    constexpr auto c52 = static_cast<size_t> (controlXInput);
    constexpr auto c53 = static_cast<size_t> (controlYInput);

    const auto a = columnDot (input, c51, c52);
    const auto t = columnDot (input, c51, c51);

    if (t > 1e-10f)
        for (auto& row : input)
            row[c52] -= (a / t) * row[c51];

    const auto b = columnDot (input, c53, c52);
    const auto c = columnDot (input, c53, c51);
    const auto d = columnDot (input, c52, c52);

    if (t > 1e-10f)
        for (auto& row : input)
            row[c53] -= (c / t) * row[c51];

    if (d > 1e-10f)
        for (auto& row : input)
            row[c53] -= (b / d) * row[c52];
}

void shapeFreshWeights (NeuralEngine& engine)
{
    auto readout = engine.getReadoutWeights();
    centreReadoutRows (readout);

    auto input = engine.getInputWeights();
    orthogonaliseControlColumns (input);

    engine.setWeights (input, engine.getRecurrentWeights(), readout);
}

void applyConstructionSequence (NeuralEngine& engine)
{
    engine.setSpectralNormalisation (true, 1.0f);
    shapeFreshWeights (engine);
    engine.setDynamics (1.0f, 1.0f, 0.0f);
    engine.setActivationGain (1.0f);
    engine.setActiveHiddenSize (5);
    engine.setBiasGain (1.0f);
}

void reseedNetwork (NeuralEngine& engine, std::uint32_t seed)
{
    engine.reseed (seed);
    engine.initialiseWeights();
    shapeFreshWeights (engine);
}

bool applyStoredNetwork (NeuralEngine& engine, int inputs, int hidden, int outputs,
                         const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& recurrent,
                         const NeuralEngine::Matrix& readout, const std::vector<float>& state,
                         std::uint32_t arpSeed)
{
    if (hidden <= 0 || hidden != engine.getMaxHiddenSize() || state.size() != static_cast<size_t> (hidden)
        || inputs <= 0 || outputs <= 0)
        return false;

    const auto h = static_cast<size_t> (hidden);

    if (! isShaped (input, h, static_cast<size_t> (inputs)) || ! isShaped (recurrent, h, h)
        || ! isShaped (readout, static_cast<size_t> (outputs), h))
        return false;

    if (inputs == engine.getInputSize() && outputs == engine.getOutputSize())
        return engine.setWeights (input, recurrent, readout) && engine.setState (state);

    constexpr int legacyInputs = 14, legacyOutputs = 11;

    if (inputs != legacyInputs || outputs != legacyOutputs || engine.getInputSize() != numInputs
        || engine.getOutputSize() < legacyOutputs)
        return false;

    // The earlier layout had ten held-note slots: rest, slots 1-10, accent,
    // X and Y. Its values keep their meaning in the wider network; the rest
    // is drawn fresh, reproducibly from the stored seed.
    engine.reseed (arpSeed);

    NeuralEngine::Matrix widenedInput (h, std::vector<float> (static_cast<size_t> (engine.getInputSize())));
    for (size_t i = 0; i < h; ++i)
    {
        auto& row = widenedInput[i];
        for (auto& value : row)
            value = engine.drawWeight();

        for (size_t j = 0; j <= 10; ++j)
            row[j] = input[i][j];

        row[static_cast<size_t> (accentInput)] = input[i][11];
        row[static_cast<size_t> (controlXInput)] = input[i][12];
        row[static_cast<size_t> (controlYInput)] = input[i][13];
    }

    NeuralEngine::Matrix widenedReadout (static_cast<size_t> (engine.getOutputSize()), std::vector<float> (h));
    for (auto& row : widenedReadout)
        for (auto& value : row)
            value = engine.drawWeight();

    for (size_t k = 0; k < static_cast<size_t> (legacyOutputs); ++k)
        widenedReadout[k] = readout[k];

    return engine.setWeights (widenedInput, recurrent, widenedReadout) && engine.setState (state);
}

} // namespace mur
