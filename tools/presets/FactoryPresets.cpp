#include "FactoryPresets.h"

namespace mur::presets
{

const std::vector<FactoryPreset>& factoryPresets()
{
    // Rates: 3 = 1/32, 4 = 1/24, 5 = 1/16, 6 = 1/12, 7 = 1/8.
    static const std::vector<FactoryPreset> list {
        { "Glass Steps", 101,
          { { "beatRate", 5 }, { "hiddenSize", 8 }, { "softmaxGain", 60 }, { "repeatGain", 0.3f },
            { "neighborGain", 0.6f }, { "leakRate", 0.8f }, { "recurrenceScale", 1.2f }, { "gatePercentage", 45 } },
          { 1.0f, -0.5f, 0.5f, -0.5f, 0.8f, -0.5f, 0.2f, -1.0f } },
        { "Slow Bloom", 202,
          { { "beatRate", 7 }, { "hiddenSize", 24 }, { "softmaxGain", 15 }, { "repeatGain", 0.6f },
            { "neighborGain", 0.2f }, { "noteGain0", 0.25f }, { "leakRate", 0.3f }, { "gatePercentage", 90 } },
          { 1.0f, 0.0f, 0.0f, 0.0f } },
        { "Nervous Sixteenths", 303,
          { { "beatRate", 3 }, { "hiddenSize", 40 }, { "softmaxGain", 400 }, { "repeatGain", 0.1f },
            { "noiseAmount", 0.3f }, { "recurrenceScale", 2.5f }, { "gatePercentage", 30 } },
          { 1.0f, 0.3f, -0.3f, 0.6f, -0.6f, 0.3f, -1.0f, 0.9f, 0.1f, -0.2f, 0.4f, -0.8f } },
        { "Rest Stop", 404,
          { { "beatRate", 5 }, { "hiddenSize", 12 }, { "softmaxGain", 30 }, { "noteGain0", 0.6f },
            { "repeatGain", 0.5f }, { "gatePercentage", 40 } },
          { 1.0f, -1.0f, -1.0f, 0.5f, 1.0f, -1.0f, 0.5f, -1.0f } },
        { "Walking Bass", 505,
          { { "beatRate", 7 }, { "hiddenSize", 6 }, { "softmaxGain", 80 }, { "neighborGain", 0.9f },
            { "repeatGain", 0.2f }, { "gatePercentage", 80 }, { "activationGain", 1.8f } },
          { 1.0f, 0.2f, 0.6f, 0.2f } },
        { "Triplet Drift", 606,
          { { "beatRate", 6 }, { "hiddenSize", 16 }, { "softmaxGain", 45 }, { "repeatGain", 0.4f },
            { "leakRate", 0.55f }, { "pulseGain", 0.7f } },
          { 1.0f, -0.4f, 0.3f }, 1 },
        { "Echo Chamber", 707,
          { { "beatRate", 5 }, { "hiddenSize", 32 }, { "softmaxGain", 120 }, { "leakRate", 0.15f },
            { "recurrenceScale", 6.0f }, { "feedbackScale", 3.0f }, { "gatePercentage", 60 } },
          { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f } },
        { "Greedy Loop", 808,
          { { "beatRate", 5 }, { "hiddenSize", 5 }, { "softmaxGain", 2000 }, { "repeatGain", 0.7f },
            { "biasGain", 2.5f } },
          { 1.0f, 0.0f, 0.0f, 0.0f } },
        { "Wide Leaps", 909,
          { { "beatRate", 4 }, { "hiddenSize", 20 }, { "softmaxGain", 25 }, { "neighborGain", 0.0f },
            { "repeatGain", 0.15f }, { "controlInput0", 0.8f }, { "controlInput1", -0.6f }, { "gatePercentage", 55 } },
          { 1.0f, -0.7f, 0.4f, -0.7f, 0.9f, -0.2f } },
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
