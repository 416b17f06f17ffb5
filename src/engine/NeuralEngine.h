#pragma once

#include "Random.h"
#include "Relaxed.h"

#include <cstdint>
#include <vector>

namespace mur
{

// The reservoir network. Matrices are rows of contiguous floats; row i of the
// input and recurrent matrices belongs to hidden unit i, row k of the readout
// to output k. Every matrix and vector keeps its size for the engine's life,
// so a reader on another thread never sees storage move.
class NeuralEngine
{
public:
    using Matrix = std::vector<std::vector<float>>;

    NeuralEngine (int inputSize, int maxHiddenSize, int outputSize, std::uint32_t seed);

    // Restarts the generator from a seed; weights, state and the normal
    // source's cached value are left alone.
    void reseed (std::uint32_t seed) noexcept;

    // Draws input, recurrent and readout weights (in that order), zeroes the
    // state, normalises the recurrent matrix when switched on, draws the bias.
    void initialiseWeights();
    void redrawBias() noexcept;
    float drawWeight() noexcept { return normal.next (generator); }

    // These copy into the existing storage and refuse (returning false,
    // changing nothing) anything that is not of the engine's own shape.
    bool setWeights (const Matrix& input, const Matrix& recurrent, const Matrix& readout) noexcept;
    bool setState (const std::vector<float>& newState) noexcept;
    bool setBias (const std::vector<float>& newBias) noexcept;

    // Copies another engine's weights, bias, normalisation and coefficients:
    // everything but the values each step moves. Allocates nothing.
    void copyNetworkFrom (const NeuralEngine& other) noexcept;

    // Takes over the values each step moves from another engine, as asked:
    // the hidden state, the generator, the normal source's cache. Allocates
    // nothing.
    void continueFrom (const NeuralEngine& other, bool state, bool generator, bool normals) noexcept;
    void restoreNormalCache (bool has, float value) noexcept { normal.restoreCache (has, value); }

    void setActiveHiddenSize (int n) noexcept;
    void setSpectralNormalisation (bool enabled, float target) noexcept;
    void setDynamics (float newLeakRate, float newRecurrenceScale, float newNoiseAmount) noexcept;
    void setActivationGain (float gain) noexcept { activationGain = gain; }
    void setBiasGain (float gain) noexcept { biasGain = gain; }

    // One state update from an input of at least inputSize values; returns the
    // readout, valid until the next step. Allocates nothing.
    const std::vector<float>& step (const float* inputValues) noexcept;

    //==============================================================================
    int getInputSize() const noexcept { return inputSize; }
    int getMaxHiddenSize() const noexcept { return maxHiddenSize; }
    int getOutputSize() const noexcept { return outputSize; }
    int getActiveHiddenSize() const noexcept { return activeHiddenSize; }
    float getLeakRate() const noexcept { return leakRate; }
    float getRecurrenceScale() const noexcept { return recurrenceScale; }
    float getNoiseAmount() const noexcept { return noiseAmount; }
    float getActivationGain() const noexcept { return activationGain; }
    float getBiasGain() const noexcept { return biasGain; }
    bool getSpectralNormalisation() const noexcept { return spectralNormalisation; }
    float getSpectralTarget() const noexcept { return spectralTarget; }

    const Matrix& getInputWeights() const noexcept { return inputWeights; }
    const Matrix& getRecurrentWeights() const noexcept { return recurrentWeights; }
    const Matrix& getReadoutWeights() const noexcept { return readoutWeights; }
    const std::vector<float>& getState() const noexcept { return state; }
    const std::vector<float>& getBias() const noexcept { return bias; }
    const std::vector<float>& getInput() const noexcept { return input; }
    const std::vector<float>& getInputDrive() const noexcept { return inputDrive; }
    const std::vector<float>& getRecurrentDrive() const noexcept { return recurrentDrive; }
    const std::vector<float>& getOutput() const noexcept { return output; }

    const Mt19937& getGenerator() const noexcept { return generator; }
    const NormalSource& getNormalSource() const noexcept { return normal; }

private:
    void drawMatrix (Matrix& m) noexcept;

    int inputSize, maxHiddenSize, outputSize;
    // The coefficients are set from whichever thread moved a parameter while
    // the audio thread steps; a step may see a value from just before a change.
    Relaxed<int> activeHiddenSize;
    Relaxed<float> leakRate = 0.1f;
    Relaxed<float> recurrenceScale = 1.0f;
    Relaxed<float> noiseAmount = 0.0f;
    Relaxed<float> activationGain = 1.0f;
    Matrix inputWeights, recurrentWeights, readoutWeights;
    std::vector<float> state, input, inputDrive, recurrentDrive, output;
    Mt19937 generator;
    NormalSource normal;
    std::vector<float> bias;
    Relaxed<float> biasGain = 1.0f;
    bool spectralNormalisation = false;
    float spectralTarget = 1.0f;
};

// Largest singular value of a square-or-not matrix by 30 rounds of power
// iteration on W^T W, in single precision.
float spectralNormEstimate (const NeuralEngine::Matrix& w);

} // namespace mur
