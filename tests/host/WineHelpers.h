#pragma once

#include "TestHelpers.h"

#include <juce_core/juce_core.h>

// Running Windows programs under Wine from the Linux tests.
namespace mur::wine
{

inline juce::File findWine()
{
    for (const auto& folder : juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", {}), ":", {}))
        if (const auto wine = juce::File (folder).getChildFile ("wine"); wine.existsAsFile())
            return wine;
    return {};
}

// A Linux file as Wine's Z: drive shows it.
inline juce::String windowsPath (const juce::File& f)
{
    return "Z:" + f.getFullPathName().replaceCharacter ('/', '\\');
}

inline int run (const juce::StringArray& command, juce::String& output, int timeoutMs = 120000)
{
    return test::runCommand (command, output, timeoutMs);
}

} // namespace mur::wine
