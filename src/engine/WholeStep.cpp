#include "WholeStep.h"

namespace mur
{

std::int64_t runNetworkStep (NeuralEngine& engine, NoteChooser& chooser, StepWorkspace& workspace,
                             NetworkInputValues inputValues, const SelectionInputs& settings,
                             std::int32_t arpSeed) noexcept
{
    inputValues.previousChoice = chooser.previousChoice;
    buildNetworkInput (workspace.input.data(), inputValues);

    const auto& output = engine.step (workspace.input.data());
    computeNoteProbabilities (output.data(), workspace.probabilities.data(), inputValues.numHeld,
                              chooser.previousChoice, settings);

    return chooser.chooseNextSlot (workspace.probabilities.data(), inputValues.numHeld,
                                   isRestEnabled (settings.noteGains[0]), arpSeed);
}

} // namespace mur
