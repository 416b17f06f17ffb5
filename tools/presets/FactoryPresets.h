#pragma once

#include "plugin/ArpAudioProcessor.h"

namespace mur::presets
{

// One factory preset: a seed for its network and the settings that make its
// character. Applied to a fresh processor, then saved as a preset file.
struct FactoryPreset
{
    const char* name;
    std::int32_t seed;
    std::vector<std::pair<const char*, float>> parameters; // parameter ID, real value
    std::vector<float> accents;                             // accent gains in [-1, 1], one per step
    int startStep = 0;
    // Built on repetition on purpose: exempt from the variety every other
    // preset keeps (each chord note once per chord, runs of three at most,
    // no loop shorter than eight steps).
    bool repetitive = false;
};

const std::vector<FactoryPreset>& factoryPresets();

// Puts a factory preset's settings onto a processor.
void apply (const FactoryPreset& preset, ArpAudioProcessor& processor);

// Writes every factory preset into a folder; returns the files written.
juce::Array<juce::File> writeAll (const juce::File& folder);

} // namespace mur::presets
