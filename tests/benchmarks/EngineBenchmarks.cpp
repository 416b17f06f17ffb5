#include "engine/NetworkShaping.h"
#include "engine/WholeStep.h"

#include <benchmark/benchmark.h>

#include <array>

// How long the network takes per arpeggiator step, next to the plain
// multiply-adds it must do at least, so the overhead shows.
namespace
{
using namespace mur;

NeuralEngine makeEngine (int hidden)
{
    NeuralEngine engine (54, 50, 51, 12345);
    applyConstructionSequence (engine);
    engine.setActiveHiddenSize (hidden);
    engine.setDynamics (0.8f, 1.1f, 0.0f);
    return engine;
}

void networkStep (benchmark::State& state)
{
    auto engine = makeEngine (static_cast<int> (state.range (0)));
    std::array<float, 54> input {};
    input[3] = 1.0f;
    input[51] = 10.0f;

    for (auto _ : state)
        benchmark::DoNotOptimize (engine.step (input.data()).data());
}
BENCHMARK (networkStep)->Arg (5)->Arg (20)->Arg (50);

void wholeStepFiftyNotes (benchmark::State& state)
{
    auto engine = makeEngine (50);
    NoteChooser chooser;
    StepWorkspace workspace;
    std::array<float, 51> gains {};
    gains.fill (0.5f);
    gains[0] = 0.3f;
    SelectionInputs settings;
    settings.noteGains = gains.data();
    settings.neighborGain = 0.4f;
    settings.softmaxGain = 20.0f;
    NetworkInputValues values;
    values.numHeld = 50;
    values.breathGain = gains[0];
    values.accentValue = 5.0f;

    for (auto _ : state)
        benchmark::DoNotOptimize (runNetworkStep (engine, chooser, workspace, values, settings, 12345));
}
BENCHMARK (wholeStepFiftyNotes);

// The arithmetic floor: the same three dense products as plain loops.
void denseMultiplyAddFloor (benchmark::State& state)
{
    static float in[50][54], rec[50][50], out[51][50], u[54], x[50], y[51];
    for (int i = 0; i < 50; ++i)
    {
        for (int j = 0; j < 54; ++j)
            in[i][j] = 0.01f * static_cast<float> (i - j);
        for (int j = 0; j < 50; ++j)
            rec[i][j] = 0.001f * static_cast<float> (i + j);
    }
    for (int k = 0; k < 51; ++k)
        for (int j = 0; j < 50; ++j)
            out[k][j] = 0.002f * static_cast<float> (k - j);
    for (int j = 0; j < 54; ++j)
        u[j] = 0.1f;

    for (auto _ : state)
    {
        float a[50], r[50];
        for (int i = 0; i < 50; ++i)
        {
            float s = 0.0f;
            for (int j = 0; j < 54; ++j)
                s += in[i][j] * u[j];
            a[i] = s;
        }
        for (int i = 0; i < 50; ++i)
        {
            float s = 0.0f;
            for (int j = 0; j < 50; ++j)
                s += rec[i][j] * x[j];
            r[i] = s;
        }
        for (int i = 0; i < 50; ++i)
            x[i] = a[i] + r[i];
        for (int k = 0; k < 51; ++k)
        {
            float s = 0.0f;
            for (int j = 0; j < 50; ++j)
                s += out[k][j] * x[j];
            y[k] = s;
        }
        benchmark::DoNotOptimize (y);
        benchmark::ClobberMemory();
    }
}
BENCHMARK (denseMultiplyAddFloor);

} // namespace

BENCHMARK_MAIN();
