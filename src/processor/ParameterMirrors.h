#pragma once

#include <cstdint>

namespace mur
{

// The processor's plain copies of the parameter values. Block processing reads
// only these, never the parameter objects. The starting values are the ones a
// fresh processor holds before the engine is built; the constructor then moves
// the engine-related ones to the parameter defaults, and the two palette
// biases keep 0.235 until a parameter change reports otherwise.
struct ParameterMirrors
{
    float leakRate = 0.1f;
    float recurrenceScale = 1.0f;
    float feedbackScale = 1.0f;
    float noiseAmount = 0.0f;
    std::int32_t hiddenSize = 5;
    float activationGain = 1.0f;
    float biasGain = 1.0f;
    float softmaxGain = 1.0f;
    float pulseTimeShift = 0.0f;
    float pulseGain = 1.0f;
    std::int32_t numSteps = 16;
    std::int32_t pulseTimeShiftStep = 0;
    float repeatGain = 0.5f;
    float neighborGain = 0.0f;
    float darkPaletteBias = 0.235f;
    float lightPaletteBias = 0.235f;
    float controlInput0 = 0.0f;
    float controlInput1 = 0.0f;
    bool holdMode = false;
    double gatePercentage = 50.0;
    std::int32_t rateIndex = 5;
};

} // namespace mur
