#pragma once

#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

// What a validator does to a plug-in's state: random values on every
// parameter, save, other random values, restore, and every parameter read
// back through the host must hold the saved value.
namespace mur::restore
{

inline void randomiseAll (juce::AudioPluginInstance& instance, juce::Random& random)
{
    const auto& parameters = instance.getParameters();
    for (int i = 0; i < ids::numParameters; ++i)
        parameters[i]->setValue (random.nextFloat());
}

inline std::vector<float> readAll (juce::AudioPluginInstance& instance)
{
    std::vector<float> values;
    const auto& parameters = instance.getParameters();
    for (int i = 0; i < ids::numParameters; ++i)
        values.push_back (parameters[i]->getValue());
    return values;
}

// Compares in the plug-in's own units: floats within their 0.0001 step,
// integers, choices and switches exactly.
inline void expectSameWithinStep (const std::vector<float>& saved, const std::vector<float>& restored,
                                  const juce::String& context)
{
    static ArpAudioProcessor reference;
    ASSERT_EQ (saved.size(), restored.size());

    for (int i = 0; i < ids::numParameters; ++i)
    {
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (reference.getParameters()[i]);
        ASSERT_NE (parameter, nullptr);
        const auto& range = parameter->getNormalisableRange();
        const auto a = range.convertFrom0to1 (saved[static_cast<size_t> (i)]);
        const auto b = range.convertFrom0to1 (restored[static_cast<size_t> (i)]);

        if (dynamic_cast<juce::AudioParameterFloat*> (parameter) != nullptr)
            EXPECT_NEAR (a, b, range.interval * 1.01f + std::abs (a) * 1.0e-6f) << ids::all()[i] << ", " << context;
        else
            EXPECT_EQ (juce::roundToInt (a), juce::roundToInt (b)) << ids::all()[i] << ", " << context;
    }
}

inline std::vector<float> restoreAndReadOnThisThread (juce::AudioPluginInstance& instance, const juce::MemoryBlock& state)
{
    instance.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    return readAll (instance);
}

// The whole round, reported through the test's expectations. The plug-in
// derives the start fraction (and clamps the start step) itself; a host
// learns of such changes with its next processed block, so the values the
// state holds are read back once through a restore on this thread before
// the real test. `restoreAndRead` restores a state and reads every parameter
// back without letting any message loop run in between.
template <typename RestoreAndRead>
void validatorRound (juce::AudioPluginInstance& instance, juce::int64 seed, RestoreAndRead&& restoreAndRead)
{
    juce::Random random (seed);
    const auto context = "seed " + juce::String (seed);

    // A fresh state over random values, as a validator's first round does.
    juce::MemoryBlock fresh;
    instance.getStateInformation (fresh);
    const auto freshValues = restoreAndReadOnThisThread (instance, fresh);
    randomiseAll (instance, random);
    expectSameWithinStep (freshValues, restoreAndRead (fresh), context + ", first state");

    // A state of random values over other random values.
    randomiseAll (instance, random);
    auto asSet = readAll (instance);
    juce::MemoryBlock state;
    instance.getStateInformation (state);
    const auto saved = restoreAndReadOnThisThread (instance, state);

    for (auto derived : { ids::pos::pulseTimeShift, ids::pos::pulseTimeShiftStep })
        asSet[static_cast<size_t> (derived)] = saved[static_cast<size_t> (derived)];
    expectSameWithinStep (asSet, saved, context + ", as the host set them");

    randomiseAll (instance, random);
    expectSameWithinStep (saved, restoreAndRead (state), context);
}

} // namespace mur::restore
