#pragma once

#include "UpdateService.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <functional>

namespace mur
{

// Asks the update service once, at low priority. A readable answer is handed
// to `onAnswer` on the message thread (which holds only a weak reference to
// its editor); anything else ends without effect. Stopping cancels the
// request in flight, so the thread ends well inside the 5 s it is given.
class VersionCheckThread : public juce::Thread, private juce::Thread::Listener
{
public:
    using AnswerCallback = std::function<void (bool available, const juce::String& latestVersion, const juce::String& downloadLocation)>;

    VersionCheckThread (juce::String serviceAddress, juce::String runningVersion, AnswerCallback onAnswer);
    ~VersionCheckThread() override;

    void run() override;

    // How many checks had to be killed instead of ending within the join
    // (tests watch it; none ever should).
    static int forcedStops();

private:
    void exitSignalSent() override;

    juce::String address, version;
    AnswerCallback onAnswer;
    update::Request request;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VersionCheckThread)
};

} // namespace mur
