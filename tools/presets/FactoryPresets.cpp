#include "FactoryPresets.h"

namespace mur::presets
{

const std::vector<FactoryPreset>& factoryPresets()
{
    // Rates: 3 = 1/32, 4 = 1/24, 5 = 1/16, 6 = 1/12, 7 = 1/8, 9 = 1/4. "Random"
    // (softmaxGain) is low in all but Greedy Loop: the network's preference
    // leads, chance keeps it from settling into a short loop.
    static const std::vector<FactoryPreset> list {
        { "Glass Steps", 2,
          { { "beatRate", 5 }, { "hiddenSize", 12 }, { "softmaxGain", 1.5f }, { "repeatGain", 0.2f }, { "neighborGain", 0.7f },
            { "leakRate", 0.6f }, { "gatePercentage", 55 } },
          { 1.0f, -0.3f, 0.4f, -0.3f, 0.7f, -0.3f, 0.2f, -0.6f } },
        { "Slow Bloom", 28,
          { { "beatRate", 7 }, { "hiddenSize", 24 }, { "softmaxGain", 1.2f }, { "repeatGain", 0.2f }, { "noteGain0", 0.1f },
            { "leakRate", 0.3f }, { "gatePercentage", 95 } },
          { 1.0f, 0.0f, 0.3f, 0.0f } },
        { "Nervous Thirty-Seconds", 1,
          { { "beatRate", 3 }, { "hiddenSize", 40 }, { "softmaxGain", 1.0f }, { "repeatGain", 0.1f }, { "noiseAmount", 0.3f },
            { "recurrenceScale", 2.5f }, { "gatePercentage", 30 } },
          { 1.0f, 0.3f, -0.3f, 0.6f, -0.6f, 0.3f, -1.0f, 0.9f, 0.1f, -0.2f, 0.4f, -0.8f } },
        { "Rest Stop", 2,
          { { "beatRate", 5 }, { "hiddenSize", 12 }, { "softmaxGain", 1.2f }, { "noteGain0", 0.55f }, { "repeatGain", 0.2f },
            { "gatePercentage", 40 } },
          { 1.0f, -1.0f, -1.0f, 0.5f, 1.0f, -1.0f, 0.5f, -1.0f } },
        { "Walking Bass", 748,
          { { "beatRate", 7 }, { "hiddenSize", 8 }, { "softmaxGain", 1.5f }, { "neighborGain", 0.6f }, { "repeatGain", 0.15f },
            { "noteGain1", 0.8f }, { "noteGain2", 0.65f }, { "noteGain3", 0.4f }, { "noteGain4", 0.3f },
            { "gatePercentage", 85 }, { "activationGain", 1.8f } },
          { 1.0f, 0.2f, 0.6f, 0.2f } },
        { "Triplet Drift", 4,
          { { "beatRate", 6 }, { "hiddenSize", 16 }, { "softmaxGain", 1.5f }, { "repeatGain", 0.2f }, { "leakRate", 0.55f },
            { "pulseGain", 0.7f } },
          { 1.0f, -0.4f, 0.3f }, 1 },
        { "Echo Chamber", 13,
          { { "beatRate", 5 }, { "hiddenSize", 32 }, { "softmaxGain", 2 }, { "repeatGain", 0.2f }, { "leakRate", 0.2f },
            { "recurrenceScale", 4.0f }, { "feedbackScale", 2.0f }, { "gatePercentage", 60 } },
          { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f } },
        { "Greedy Loop", 808,
          { { "beatRate", 5 }, { "hiddenSize", 5 }, { "softmaxGain", 2000 }, { "repeatGain", 0.7f }, { "biasGain", 2.5f } },
          { 1.0f, 0.0f, 0.0f, 0.0f }, 0, true },
        { "Wide Leaps", 3,
          { { "beatRate", 4 }, { "hiddenSize", 20 }, { "softmaxGain", 1.2f }, { "neighborGain", 0.0f }, { "repeatGain", 0.1f },
            { "controlInput0", 0.8f }, { "controlInput1", -0.6f }, { "gatePercentage", 55 } },
          { 1.0f, -0.7f, 0.4f, -0.7f, 0.9f, -0.2f } },
        { "High Sparkle", 6,
          { { "beatRate", 3 }, { "hiddenSize", 16 }, { "softmaxGain", 1.5f }, { "repeatGain", 0.15f },
            { "noteGain1", 0.3f }, { "noteGain2", 0.4f }, { "noteGain3", 0.6f }, { "noteGain4", 0.75f }, { "gatePercentage", 25 } },
          { 1.0f, 0.2f, 0.5f, 0.2f, 0.8f, 0.2f, 0.5f, -0.5f } },
        { "Offbeat Pulse", 1,
          { { "beatRate", 5 }, { "hiddenSize", 10 }, { "softmaxGain", 1.5f }, { "repeatGain", 0.2f }, { "noteGain0", 0.52f },
            { "gatePercentage", 35 } },
          { -0.6f, 1.0f, -0.6f, 0.8f, -0.6f, 1.0f, 0.4f, -1.0f } },
        { "Quarter Hymn", 145,
          { { "beatRate", 9 }, { "hiddenSize", 16 }, { "softmaxGain", 1.2f }, { "repeatGain", 0.2f }, { "leakRate", 0.4f },
            { "gatePercentage", 100 } },
          { 1.0f, 0.4f, 0.7f, 0.4f } },
        // The held chord over two and three octaves: register from the range
        // itself, not from note gains.
        { "Octave Stairs", 2,
          { { "beatRate", 4 }, { "hiddenSize", 20 }, { "softmaxGain", 1.4f }, { "repeatGain", 0.15f }, { "neighborGain", 0.7f },
            { "octaveRange", 2 }, { "gatePercentage", 50 } },
          { 1.0f, -0.3f, 0.5f, -0.3f, 0.8f, -0.3f, 0.3f, -0.6f } },
        { "Three Floors", 12,
          { { "beatRate", 3 }, { "hiddenSize", 36 }, { "softmaxGain", 1.0f }, { "repeatGain", 0.15f }, { "neighborGain", 0.0f },
            { "octaveRange", 3 }, { "gatePercentage", 50 } },
          { 1.0f, -0.3f, 0.5f, -0.3f, 0.8f, -0.3f, 0.3f, -0.6f } },
    };

    return list;
}

void apply (const FactoryPreset& preset, ArpAudioProcessor& processor)
{
    processor.getSettings().reseed (preset.seed);

    for (const auto& [id, value] : preset.parameters)
        if (auto* parameter = processor.getParameterTree().getParameter (id))
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));

    const auto steps = static_cast<int> (preset.accents.size());
    processor.getSettings().setNumSteps (steps);
    processor.getSettings().ensureBeatPulseGainCount (steps);
    for (int i = 0; i < steps; ++i)
        processor.getSettings().setBeatPulseGain (i, preset.accents[static_cast<size_t> (i)]);
    processor.getSettings().setStartStep (preset.startStep);
}

juce::Array<juce::File> writeAll (const juce::File& folder)
{
    juce::Array<juce::File> written;
    folder.createDirectory();

    for (const auto& preset : factoryPresets())
    {
        ArpAudioProcessor processor;
        apply (preset, processor);
        const auto file = folder.getChildFile (juce::String (preset.name) + PresetLibrary::extension);
        processor.getPresets().savePreset (file);
        if (file.existsAsFile())
            written.add (file);
    }

    return written;
}

} // namespace mur::presets
