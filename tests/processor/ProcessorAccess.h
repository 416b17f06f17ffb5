#pragma once

#include "plugin/ArpAudioProcessor.h"

#include <functional>

namespace mur::test
{

// What tests reach inside the processor for.
struct ProcessorAccess
{
    // Called by a load just before it hands its network over, and by a save
    // while it copies the network: a test holds them there.
    static void pauseLoadsBeforeHandOver (ArpAudioProcessor& p, std::function<void()> pause) { p.engine.pauseBeforeHandOver = std::move (pause); }
    static void pauseSavesWhileCopying (ArpAudioProcessor& p, std::function<void()> pause) { p.engine.pauseWhileCopying = std::move (pause); }

    // Replaces the wall clock (milliseconds) the free-running arpeggio follows.
    static void setWallClock (ArpAudioProcessor& p, std::function<double()> clock) { p.playback.wallClockMs = std::move (clock); }

    static std::int32_t samplesUntilStep (const ArpAudioProcessor& p) { return p.playback.samplesUntilStep; }

    // Does now what the processor's message-thread timer does on its next
    // tick (deferred writes, the tree catching up, the change notification).
    static void runMessageThreadTasks (ArpAudioProcessor& p) { p.runMessageThreadTasks(); }
};

} // namespace mur::test
