#pragma once

#include <juce_events/juce_events.h>

namespace mur::test
{

// Lets queued asynchronous messages run, as a host's message loop would.
inline void pumpMessages (int milliseconds = 20)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

} // namespace mur::test
