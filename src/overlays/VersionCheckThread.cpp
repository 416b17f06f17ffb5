#include "VersionCheckThread.h"

#include <juce_events/juce_events.h>

namespace mur
{
namespace
{
std::atomic<int> killed { 0 };
}

VersionCheckThread::VersionCheckThread (juce::String serviceAddress, juce::String runningVersion, AnswerCallback callback)
    : juce::Thread ("VersionCheck"), address (std::move (serviceAddress)), version (std::move (runningVersion)), onAnswer (std::move (callback))
{
    addListener (this);
}

VersionCheckThread::~VersionCheckThread()
{
    if (! stopThread (5000))
        ++killed;
    removeListener (this);
}

void VersionCheckThread::run()
{
    const auto answer = request.perform (address, version, [this] { return threadShouldExit(); });
    if (! answer.has_value() || threadShouldExit())
        return;

    juce::MessageManager::callAsync ([callback = onAnswer, a = *answer]
    {
        if (callback)
            callback (a.available, a.latestVersion, a.available ? a.downloadLocation : juce::String());
    });
}

void VersionCheckThread::exitSignalSent()
{
    request.cancel();
}

int VersionCheckThread::forcedStops()
{
    return killed.load();
}

} // namespace mur
