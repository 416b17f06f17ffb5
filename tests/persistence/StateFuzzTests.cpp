#include "StateMutations.h"
#include "persistence/NetworkBlock.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <cmath>

// Thousands of damaged documents, made deterministically from good ones:
// nothing may crash, hang or throw, and the processor must stay playable.
namespace mur
{
namespace
{

using namespace fuzz;

void expectPlayableAndInRange (ArpAudioProcessor& p, int iteration)
{
    const auto& m = p.getSettings().getMirrors();
    ASSERT_GE (m.hiddenSize, 2) << iteration;
    ASSERT_LE (m.hiddenSize, 50) << iteration;
    ASSERT_GE (m.numSteps, 2) << iteration;
    ASSERT_LE (m.numSteps, 64) << iteration;
    ASSERT_LT (m.pulseTimeShiftStep, m.numSteps) << iteration;
    ASSERT_LE (p.getSettings().getNumAccentGains(), 64) << iteration;
    ASSERT_EQ (p.getEngine().getActiveHiddenSize(), m.hiddenSize) << iteration;

    for (float v : { m.leakRate.get(), m.recurrenceScale.get(), m.softmaxGain.get(), m.controlInput0.get(), m.pulseGain.get() })
        ASSERT_TRUE (std::isfinite (v)) << iteration;
    ASSERT_GE (m.leakRate, 0.0f);
    ASSERT_LE (m.leakRate, 1.0f);
    ASSERT_LE (m.recurrenceScale, 20.0f);

    for (int i = 0; i < ids::numParameters; ++i)
    {
        const auto v = p.getParameters()[i]->getValue();
        ASSERT_TRUE (v >= 0.0f && v <= 1.0f) << ids::all()[i] << " " << iteration;
    }

    const auto& engine = p.getEngine();
    for (const auto* m2 : { &engine.getInputWeights(), &engine.getRecurrentWeights(), &engine.getReadoutWeights() })
        for (const auto& row : *m2)
            for (auto v : row)
                ASSERT_TRUE (std::isfinite (v)) << iteration;
    for (const auto* v2 : { &engine.getState(), &engine.getBias() })
        for (auto v : *v2)
            ASSERT_TRUE (std::isfinite (v)) << iteration;
}

TEST (StateFuzz, DamagedDocumentsNeverCrashHangOrBreakTheProcessor)
{
    std::vector<Bytes> pool { goodDocument (1, true), goodDocument (2, false), goodDocument (3, true), legacyDocument (4) };
    juce::Random random (20261209);
    ArpAudioProcessor processor;

    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    midi.ensureSize (4096);
    processor.prepareToPlay (48000.0, 256);

    for (int iteration = 0; iteration < 6000; ++iteration)
    {
        const auto& base = pool[static_cast<size_t> (random.nextInt (static_cast<int> (pool.size())))];
        const auto doc = random.nextInt (10) == 0 ? base : mutate (base, random, pool);

        if (random.nextBool())
            processor.setStateInformation (doc.data(), static_cast<int> (doc.size()));
        else
            processor.getStateDocument().read (doc.data(), doc.size(), "Fuzz", false);

        expectPlayableAndInRange (processor, iteration);

        if (iteration % 25 == 0)
        {
            midi.clear();
            midi.addEvent (juce::MidiMessage::noteOn (1, 60 + iteration % 12, static_cast<juce::uint8> (100)), 0);
            for (int block = 0; block < 40; ++block)
            {
                processor.processBlock (audio, midi);
                midi.clear();
            }
        }
    }
}

TEST (StateFuzz, NetworkBlockReaderSurvivesAnyBytes)
{
    juce::Random random (77);
    const auto good = goodDocument (5, true);

    for (int iteration = 0; iteration < 20000; ++iteration)
    {
        auto doc = good;
        const auto cut = static_cast<size_t> (random.nextInt (static_cast<int> (doc.size())));
        doc[cut] ^= static_cast<std::uint8_t> (random.nextInt ({ 1, 256 }));
        if (random.nextBool())
            doc.resize (static_cast<size_t> (random.nextInt (static_cast<int> (doc.size()) + 1)));

        if (const auto network = readNetworkBlock (doc.data(), doc.size()))
        {
            for (const auto& row : network->input)
                for (auto v : row)
                    ASSERT_TRUE (std::isfinite (v));
        }

        (void) readLegacyNetwork (doc.data(), doc.size());
    }
}

} // namespace
} // namespace mur
