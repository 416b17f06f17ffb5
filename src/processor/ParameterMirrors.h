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
    // The network.
    Relaxed<float> leakRate = 0.1f, recurrenceScale = 1.0f, feedbackScale = 1.0f, noiseAmount = 0.0f;
    Relaxed<std::int32_t> hiddenSize = 5;
    Relaxed<float> activationGain = 1.0f, biasGain = 1.0f, softmaxGain = 1.0f;

    // The accent pattern.
    Relaxed<float> pulseTimeShift = 0.0f, pulseGain = 1.0f;
    Relaxed<std::int32_t> numSteps = 16, pulseTimeShiftStep = 0;

    // The note choice, the palette and the XY pad.
    Relaxed<float> repeatGain = 0.5f, neighborGain = 0.0f;
    Relaxed<float> darkPaletteBias = 0.235f, lightPaletteBias = 0.235f;
    Relaxed<float> controlInput0 = 0.0f, controlInput1 = 0.0f;

    // The transport: hold, Length and Rate.
    Relaxed<bool> holdMode = false;
    Relaxed<double> gatePercentage = 50.0;
    Relaxed<std::int32_t> rateIndex = 5;

    // How many octaves the held notes are spread over (1 to 4).
    Relaxed<std::int32_t> octaveRange = 1;
};

} // namespace mur
