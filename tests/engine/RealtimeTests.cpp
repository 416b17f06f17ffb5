#include "AllocationCounter.h"
#include "engine/NetworkShaping.h"
#include "engine/WholeStep.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

TEST (EngineRealtime, StepsAllocateNothingAtAnySizeWithOrWithoutNoise)
{
    NeuralEngine engine (54, 50, 51, 12345);
    applyConstructionSequence (engine);
    NoteChooser chooser;
    StepWorkspace workspace;

    std::array<float, 51> gains {};
    gains.fill (0.5f);
    SelectionInputs settings;
    settings.noteGains = gains.data();
    settings.neighborGain = 0.3f;

    NetworkInputValues values;
    values.numHeld = 50;
    values.accentValue = 10.0f;

    test::ScopedAllocationCounter counter;

    for (int hidden : { 1, 5, 20, 50 })
    {
        engine.setActiveHiddenSize (hidden);

        for (float noise : { 0.0f, 0.4f })
        {
            engine.setDynamics (0.7f, 1.2f, noise);

            for (int i = 0; i < 200; ++i)
            {
                values.numHeld = i % 51;
                const auto choice = runNetworkStep (engine, chooser, workspace, values, settings, 12345 + i / 100);
                ASSERT_LE (choice, 50);
            }
        }
    }

    EXPECT_EQ (counter.count(), 0u);
}

TEST (EngineRealtime, CounterSeesAllocations)
{
    test::ScopedAllocationCounter counter;
    std::vector<float> v (10);
    v[3] = 1.0f;
    EXPECT_GE (counter.count(), 1u);
    EXPECT_EQ (v[3], 1.0f);
}

} // namespace
} // namespace mur
