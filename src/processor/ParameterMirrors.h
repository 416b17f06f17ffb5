#pragma once

#include "engine/Relaxed.h"

#include <cstdint>

namespace mur
{

// The processor's plain copies of the parameter values. Block processing reads
// only these, never the parameter objects. The starting values are the ones a
// fresh processor holds before the engine is built; the constructor then moves
// the engine-related ones to the parameter defaults, and the two palette
// biases keep 0.235 until a parameter change reports otherwise. They are
// written by the parameter path and the editor and read by the audio thread.
struct ParameterMirrors
{
    Relaxed<float> leakRate = 0.1f;
    Relaxed<float> recurrenceScale = 1.0f;
    Relaxed<float> feedbackScale = 1.0f;
    Relaxed<float> noiseAmount = 0.0f;
    Relaxed<std::int32_t> hiddenSize = 5;
    Relaxed<float> activationGain = 1.0f;
    Relaxed<float> biasGain = 1.0f;
    Relaxed<float> softmaxGain = 1.0f;
    Relaxed<float> pulseTimeShift = 0.0f;
    Relaxed<float> pulseGain = 1.0f;
    Relaxed<std::int32_t> numSteps = 16;
    Relaxed<std::int32_t> pulseTimeShiftStep = 0;
    Relaxed<float> repeatGain = 0.5f;
    Relaxed<float> neighborGain = 0.0f;
    Relaxed<float> darkPaletteBias = 0.235f;
    Relaxed<float> lightPaletteBias = 0.235f;
    Relaxed<float> controlInput0 = 0.0f;
    Relaxed<float> controlInput1 = 0.0f;
    Relaxed<bool> holdMode = false;
    Relaxed<double> gatePercentage = 50.0;
    Relaxed<std::int32_t> rateIndex = 5;
};

} // namespace mur
