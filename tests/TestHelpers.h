#pragma once

#include <juce_events/juce_events.h>

#include <functional>

namespace mur::test
{

// Lets queued asynchronous messages run, as a host's message loop would.
inline void pumpMessages (int milliseconds = 20)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// Runs the message loop until the condition holds or the time is up; returns
// whether it holds.
inline bool pumpUntil (const std::function<bool()>& condition, int timeoutMilliseconds = 2000)
{
    const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (timeoutMilliseconds);

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return condition();

        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    return true;
}

// Runs everything posted to the message thread so far: a marker posted now
// runs after all of it. False if it did not within the time.
inline bool runPostedMessages (int timeoutMilliseconds = 2000)
{
    auto done = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([done] { *done = true; });
    return pumpUntil ([done] { return *done; }, timeoutMilliseconds);
}

// Runs a command to its end; returns its exit code and fills what it printed.
inline int runCommand (const juce::StringArray& command, juce::String& output, int timeoutMilliseconds = 300000)
{
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return -1;
    output = process.readAllProcessOutput();
    process.waitForProcessToFinish (timeoutMilliseconds);
    return static_cast<int> (process.getExitCode());
}

} // namespace mur::test
