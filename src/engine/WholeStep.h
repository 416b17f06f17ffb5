#pragma once

#include "NeuralEngine.h"
#include "NoteSelection.h"

#include <array>

namespace mur
{

// Everything one arpeggiator step asks of the network, in order: encode the
// moment, advance the network, shape the readout into probabilities, draw.
// Used by the processor's step tick and measured on its own by the benchmarks.
struct StepWorkspace
{
    std::array<float, 54> input {};
    std::array<float, 51> probabilities {};
};

std::int64_t runNetworkStep (NeuralEngine& engine, NoteChooser& chooser, StepWorkspace& workspace,
                             NetworkInputValues inputValues, const SelectionInputs& settings,
                             std::int32_t arpSeed) noexcept;

} // namespace mur
