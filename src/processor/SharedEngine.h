#pragma once

#include "engine/NetworkGeometry.h"
#include "engine/NetworkShaping.h"
#include "engine/NeuralEngine.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <type_traits>

namespace mur
{
namespace test
{
struct ProcessorAccess;
}

// The network of one instance. Its weights, state, bias and generator are
// rewritten in place by Reseed and state loading (message thread, or a host's
// own thread) and used by every step (audio thread). Whoever holds the busy
// flag has the engine to itself: other threads wait for it (at most one
// step), the audio thread never waits and skips a step that finds it taken.
class SharedEngine
{
public:
    SharedEngine()
    {
        applyConstructionSequence (engine);
        publishWeights();
    }

    // Read-only views (the editor's copies, the renderer's summary) need no
    // exclusive access: they read values the audio thread also only reads.
    const NeuralEngine& get() const noexcept { return engine; }

    // Exclusive use of the engine for as long as it lives; const for a
    // reader (the state writer), which still must not see a half-written
    // network.
    template <typename Owner>
    class Scoped
    {
    public:
        explicit Scoped (Owner& e) : owner (e)
        {
            while (owner.busy.exchange (true, std::memory_order_acquire))
                std::this_thread::yield();
        }

        ~Scoped()
        {
            // Whoever had the engine to itself may have rewritten its weights.
            if constexpr (! std::is_const_v<Owner>)
                owner.publishWeights();
            owner.busy.store (false, std::memory_order_release);
        }

        auto* operator->() const noexcept { return &owner.engine; }
        auto& operator*() const noexcept { return owner.engine; }

    private:
        Owner& owner;
        JUCE_DECLARE_NON_COPYABLE (Scoped)
    };

    using ScopedAccess = Scoped<SharedEngine>;
    using ScopedReadAccess = Scoped<const SharedEngine>;

    // The audio thread's way in: false when another thread holds the engine.
    NeuralEngine* tryAcquire() noexcept { return busy.exchange (true, std::memory_order_acquire) ? nullptr : &engine; }
    void release() noexcept { busy.store (false, std::memory_order_release); }

    // The weights the views draw, as of the last exclusive use: copied by the
    // thread that rewrote them (never the audio thread), so the editor can
    // take them without touching the engine. `seen` is the caller's last
    // generation; returns false (copying nothing) when nothing changed.
    bool copyWeightsIfNewer (std::uint32_t& seen, NeuralEngine::Matrix& recurrent, NeuralEngine::Matrix& readout) const
    {
        const std::scoped_lock lock (publishedLock);
        if (seen == weightsGeneration)
            return false;

        seen = weightsGeneration;
        recurrent = publishedRecurrent;
        readout = publishedReadout;
        return true;
    }

    // Settings that only store a value the next step reads (no rewrite of
    // weights or state) go straight in.
    NeuralEngine& unguarded() noexcept { return engine; }

private:
    friend struct test::ProcessorAccess;

    void publishWeights()
    {
        const std::scoped_lock lock (publishedLock);
        publishedRecurrent = engine.getRecurrentWeights();
        publishedReadout = engine.getReadoutWeights();
        ++weightsGeneration;
    }

    NeuralEngine engine { numInputs, maxHiddenUnits, numOutputs, static_cast<std::uint32_t> (defaultArpSeed) };
    mutable std::atomic<bool> busy { false };

    mutable std::mutex publishedLock;
    NeuralEngine::Matrix publishedRecurrent, publishedReadout;
    std::uint32_t weightsGeneration = 0;
};

} // namespace mur
