#pragma once

#include "engine/NetworkGeometry.h"
#include "engine/NeuralEngine.h"
#include "engine/Relaxed.h"

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace mur
{
namespace test
{
struct ProcessorAccess;
}

struct ParameterMirrors;

// The engine's coefficients as the mirrors give them.
void applyEngineCoefficients (NeuralEngine& engine, const ParameterMirrors& mirrors) noexcept;

// A copy of the network as a state document stores it.
struct NetworkCopy
{
    int inputs = 0, hidden = 0, outputs = 0;
    NeuralEngine::Matrix input, recurrent, readout;
    std::vector<float> state, bias;
};

// The network of one instance, shared between the audio thread, which steps
// it, and the threads that rebuild it (Reseed, state and preset loads, on the
// message thread or a host's own) or save it.
//
// The audio thread never waits and never skips a step. Everything a load
// changes (the settings, through their setters, and a network built on a
// second engine beside the one that plays) reaches the audio thread as one
// change: it takes the settings and the new network together at the start of
// a block in which no load was open, and until then plays on with what it
// had. A save reads the weights, which only a load changes, and the state the
// audio thread publishes after every step, so it never touches what is
// playing either.
class SharedEngine
{
public:
    SharedEngine();

    //==============================================================================
    // The audio thread.

    NeuralEngine& live() noexcept { return engines[liveIndex (handover.load (std::memory_order_relaxed))]; }

    // Taking the settings at the start of a block: `beginTake` is false while a
    // load is open; `finishTake` is true when none opened since, after taking
    // over the network the last load built (if any). Settings copied between
    // the two calls belong to that network; on false they are dropped.
    bool beginTake (std::uint32_t& ticket) const noexcept;
    bool finishTake (std::uint32_t ticket) noexcept;

    // After every step: the live engine's state, for saves and rebuilds.
    void publishLiveState() noexcept;

    //==============================================================================
    // Every other thread.

    // What the running values of a rebuilt network are: carried over from the
    // live engine at the hand-over, unless the load set them itself.
    enum Running : std::uint8_t
    {
        hiddenState = 1,
        generatorState = 2,
        normalCache = 4,
        allRunning = hiddenState | generatorState | normalCache
    };

    // One change of settings and network. Loads on other threads wait for
    // this one; on its own thread a load may open inside another. Never on
    // the audio thread.
    class Load
    {
    public:
        Load (SharedEngine& owner, const ParameterMirrors& mirrors);
        ~Load();

        // The network to rebuild, made on first use: the newest network's
        // weights and coefficients, with the live engine's running values
        // carried over at the hand-over.
        NeuralEngine& network();
        // The load sets these running values itself.
        void sets (std::uint8_t runningValues) noexcept;

    private:
        SharedEngine& owner;
        const ParameterMirrors& mirrors;
        std::unique_lock<std::recursive_mutex> lock;
        bool outermost = false;
        JUCE_DECLARE_NON_COPYABLE (Load)
    };

    // True while a load is open: settings then reach the engine with it.
    bool isLoadOpen() const noexcept { return (sequence.load (std::memory_order_acquire) & 1u) != 0; }

    // The engine a setting's coefficient goes to at once: the newest, or none
    // while a load is open (the load's network takes the coefficients then).
    NeuralEngine* settingsTarget() noexcept;

    // The newest network: the one the next block plays. For readers on other
    // threads, which may rely on its weights, bias and coefficients; its state
    // moves while the audio thread plays.
    const NeuralEngine& get() const noexcept;

    // Keeps loads out for as long as it lives (a save, so that its settings and
    // its network belong together).
    std::unique_lock<std::recursive_mutex> holdLoads() const { return std::unique_lock (loads); }

    // The newest network as a consistent whole, without making the audio
    // thread wait: its weights, and the state as of the last step or hand-over.
    NetworkCopy copyNetwork() const;

    // The weights the views draw, as of the last load: copied by the thread
    // that built them, so the editor never touches an engine. `seen` is the
    // caller's last generation; returns false (copying nothing) when nothing
    // changed.
    bool copyWeightsIfNewer (std::uint32_t& seen, NeuralEngine::Matrix& recurrent, NeuralEngine::Matrix& readout,
                             NeuralEngine::Matrix* input = nullptr) const;
    std::uint32_t getWeightsGeneration() const noexcept { return weightsGeneration.load (std::memory_order_acquire); }

private:
    friend struct test::ProcessorAccess;

    // `handover` holds the live engine's index and whether the other one waits
    // to be taken over.
    static constexpr std::uint32_t pendingBit = 2;
    static int liveIndex (std::uint32_t word) noexcept { return static_cast<int> (word & 1u); }

    struct PublishedRunning
    {
        std::atomic<std::uint32_t> sequence { 0 };
        Relaxed<std::uint32_t> generation = 0;
        std::array<Relaxed<float>, maxHiddenUnits> state {};
        Relaxed<bool> hasCachedNormal = false;
        Relaxed<float> cachedNormal = 0.0f;
    };

    struct RunningCopy
    {
        std::uint32_t generation = 0;
        std::vector<float> state;
        bool hasCachedNormal = false;
        float cachedNormal = 0.0f;
    };

    RunningCopy readPublishedRunning() const;
    void publishRunning (int index) noexcept;
    int newestIndex() const noexcept;
    NeuralEngine& prepareRebuild();
    void handOver();
    void publishWeights (const NeuralEngine& source);

    std::array<NeuralEngine, 2> engines;
    std::atomic<std::uint32_t> handover { 0 };
    // What each engine carries over at its hand-over, and which network it
    // holds: every load's network gets a generation of its own.
    std::array<Relaxed<std::uint8_t>, 2> carried {};
    std::array<Relaxed<std::uint32_t>, 2> generation {};
    std::uint32_t lastGeneration = 0;
    // The state each engine was handed over with; a save reads it until the
    // audio thread has published one of its own. Written and read by loads and
    // saves only, under `loads`.
    std::array<std::vector<float>, 2> handedOverState;
    PublishedRunning running;

    // Loads and saves; never taken by the audio thread.
    mutable std::recursive_mutex loads;
    std::atomic<std::uint32_t> sequence { 0 };
    int loadDepth = 0;
    bool rebuilding = false;

    mutable std::mutex publishedLock;
    NeuralEngine::Matrix publishedInput, publishedRecurrent, publishedReadout;
    std::atomic<std::uint32_t> weightsGeneration { 0 };

    // Tests hold a load or a save at its worst point.
    std::function<void()> pauseBeforeHandOver, pauseWhileCopying;

    JUCE_DECLARE_NON_COPYABLE (SharedEngine)
};

} // namespace mur
