#pragma once

#include "PluginHost.h"

#include <gtest/gtest.h>

namespace mur::host
{

// The VST3 this build made, loaded as a host loads it; a failure to load is
// reported to the running test.
inline std::unique_ptr<juce::AudioPluginInstance> loadBuiltVst3 (double sampleRate = 48000.0, int blockSize = 512)
{
    juce::String error;
    auto instance = loadVst3Module (juce::File (MUR_VST3_BINARY), sampleRate, blockSize, error);
    EXPECT_NE (instance, nullptr) << error;
    return instance;
}

} // namespace mur::host
