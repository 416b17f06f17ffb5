#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace mur::host
{

// The bundle folder (MUR.vst3) that holds a built module binary.
juce::File vst3BundleFor (const juce::File& moduleBinary);

// Loads the first plug-in in a VST3 bundle the way a host does. Returns null
// and fills the error text when it cannot.
std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle, double sampleRate, int blockSize,
                                                     juce::String& error);

// Loads the plug-in with the given URI from an LV2 bundle folder.
std::unique_ptr<juce::AudioPluginInstance> loadLv2 (const juce::File& bundle, const juce::String& uri,
                                                    double sampleRate, int blockSize, juce::String& error);

// Loads the VST3 bundle that holds a built module binary.
std::unique_ptr<juce::AudioPluginInstance> loadVst3Module (const juce::File& moduleBinary, double sampleRate,
                                                           int blockSize, juce::String& error);

// The host-visible parameters a user sees: the plug-in's own and the
// wrapper's Bypass, without the wrapper's MIDI controller stand-ins.
juce::Array<juce::AudioProcessorParameter*> visibleParameters (juce::AudioPluginInstance& instance);

// Runs blocks of noise with varying sizes (0 and 1 included) and returns the
// largest absolute output sample seen, or a negative value if a block
// produced note messages.
float runNoiseBlocks (juce::AudioPluginInstance& instance, int numBlocks, int maxBlockSize, juce::Random& random);

} // namespace mur::host
