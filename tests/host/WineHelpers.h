#pragma once

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

// Runs a command to its end; returns its exit code and fills its output.
inline int run (const juce::StringArray& command, juce::String& output, int timeoutMs = 120000)
{
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return -1;
    output = process.readAllProcessOutput();
    process.waitForProcessToFinish (timeoutMs);
    return static_cast<int> (process.getExitCode());
}

} // namespace mur::wine
