#include "SharedEngine.h"

#include "ParameterMirrors.h"
#include "engine/NetworkShaping.h"

#include <thread>

namespace mur
{

void applyEngineCoefficients (NeuralEngine& engine, const ParameterMirrors& mirrors) noexcept
{
    engine.setDynamics (mirrors.leakRate, mirrors.recurrenceScale, mirrors.noiseAmount);
    engine.setActivationGain (mirrors.activationGain);
    engine.setBiasGain (mirrors.biasGain);
    engine.setActiveHiddenSize (mirrors.hiddenSize);
}

SharedEngine::SharedEngine()
    : engines { { NeuralEngine { numInputs, maxHiddenUnits, numOutputs, static_cast<std::uint32_t> (defaultArpSeed) },
                  NeuralEngine { numInputs, maxHiddenUnits, numOutputs, static_cast<std::uint32_t> (defaultArpSeed) } } }
{
    applyConstructionSequence (engines[0]);
    for (auto& state : handedOverState)
        state.assign (static_cast<size_t> (maxHiddenUnits), 0.0f);

    publishRunning (0);
    publishWeights (engines[0]);
}

//==============================================================================
bool SharedEngine::beginTake (std::uint32_t& ticket) const noexcept
{
    ticket = sequence.load (std::memory_order_acquire);
    return (ticket & 1u) == 0;
}

bool SharedEngine::finishTake (std::uint32_t ticket) noexcept
{
    auto word = handover.load (std::memory_order_acquire);

    // Whatever was read since `beginTake` belongs to the last closed load only
    // if none opened since.
    std::atomic_thread_fence (std::memory_order_acquire);
    if (sequence.load (std::memory_order_relaxed) != ticket)
        return false;

    if ((word & pendingBit) == 0)
        return true;

    // A load that opened after the check takes the waiting network back for
    // itself; then this block keeps what it had.
    const auto from = liveIndex (word), to = 1 - from;
    if (! handover.compare_exchange_strong (word, static_cast<std::uint32_t> (to), std::memory_order_acq_rel))
        return false;

    const auto carry = carried[static_cast<size_t> (to)].get();
    engines[static_cast<size_t> (to)].continueFrom (engines[static_cast<size_t> (from)], (carry & Running::hiddenState) != 0,
                                                    (carry & Running::generatorState) != 0, (carry & Running::normalCache) != 0);
    publishRunning (to);
    return true;
}

void SharedEngine::publishLiveState() noexcept
{
    publishRunning (liveIndex (handover.load (std::memory_order_relaxed)));
}

void SharedEngine::publishRunning (int index) noexcept
{
    const auto& engine = engines[static_cast<size_t> (index)];
    const auto& state = engine.getState();
    const auto before = running.sequence.load (std::memory_order_relaxed);

    running.sequence.store (before + 1, std::memory_order_relaxed);
    std::atomic_thread_fence (std::memory_order_release);

    running.generation = generation[static_cast<size_t> (index)].get();
    for (size_t i = 0; i < running.state.size() && i < state.size(); ++i)
        running.state[i] = state[i];
    running.hasCachedNormal = engine.getNormalSource().hasCachedValue();
    running.cachedNormal = engine.getNormalSource().cachedValue();

    running.sequence.store (before + 2, std::memory_order_release);
}

SharedEngine::RunningCopy SharedEngine::readPublishedRunning() const
{
    RunningCopy copy;
    copy.state.resize (running.state.size());

    for (;;)
    {
        // The audio thread is writing it: it takes a few hundred nanoseconds.
        const auto before = running.sequence.load (std::memory_order_acquire);

        if ((before & 1u) == 0)
        {
            copy.generation = running.generation;
            for (size_t i = 0; i < copy.state.size(); ++i)
                copy.state[i] = running.state[i];
            copy.hasCachedNormal = running.hasCachedNormal;
            copy.cachedNormal = running.cachedNormal;

            std::atomic_thread_fence (std::memory_order_acquire);
            if (running.sequence.load (std::memory_order_relaxed) == before)
                return copy;
        }

        std::this_thread::yield();
    }
}

//==============================================================================
int SharedEngine::newestIndex() const noexcept
{
    const auto word = handover.load (std::memory_order_acquire);
    const auto live = liveIndex (word);
    return (word & pendingBit) != 0 ? 1 - live : live;
}

const NeuralEngine& SharedEngine::get() const noexcept
{
    return engines[static_cast<size_t> (newestIndex())];
}

NeuralEngine* SharedEngine::settingsTarget() noexcept
{
    return isLoadOpen() ? nullptr : &engines[static_cast<size_t> (newestIndex())];
}

//==============================================================================
SharedEngine::Load::Load (SharedEngine& e, const ParameterMirrors& m)
    : owner (e), mirrors (m), lock (e.loads)
{
    if (owner.loadDepth++ == 0)
    {
        outermost = true;
        owner.sequence.fetch_add (1, std::memory_order_relaxed);
        std::atomic_thread_fence (std::memory_order_release);
    }
}

SharedEngine::Load::~Load()
{
    if (outermost)
    {
        if (owner.pauseBeforeHandOver)
            owner.pauseBeforeHandOver();

        if (owner.rebuilding)
        {
            applyEngineCoefficients (owner.engines[static_cast<size_t> (1 - liveIndex (owner.handover.load()))], mirrors);
            owner.handOver();
            owner.rebuilding = false;
        }

        owner.sequence.fetch_add (1, std::memory_order_release);
    }

    --owner.loadDepth;
}

NeuralEngine& SharedEngine::Load::network()
{
    if (! owner.rebuilding)
    {
        owner.rebuilding = true;
        return owner.prepareRebuild();
    }

    return owner.engines[static_cast<size_t> (1 - liveIndex (owner.handover.load (std::memory_order_acquire)))];
}

void SharedEngine::Load::sets (std::uint8_t runningValues) noexcept
{
    network();
    auto& carry = owner.carried[static_cast<size_t> (1 - liveIndex (owner.handover.load (std::memory_order_acquire)))];
    carry = static_cast<std::uint8_t> (carry.get() & ~runningValues);
}

NeuralEngine& SharedEngine::prepareRebuild()
{
    auto word = handover.load (std::memory_order_acquire);

    // A network an earlier load left waiting is the newest one, and nothing
    // plays it yet: this load takes it back and goes on from it. Otherwise the
    // other engine is free and starts as a copy of the live network.
    while ((word & pendingBit) != 0)
        if (handover.compare_exchange_weak (word, word & 1u, std::memory_order_acq_rel))
            break;

    const auto live = static_cast<size_t> (liveIndex (word));
    auto& side = engines[1 - live];

    if ((word & pendingBit) == 0)
    {
        side.copyNetworkFrom (engines[live]);
        carried[1 - live] = allRunning;
    }

    // Until the hand-over the running values are the live engine's last ones
    // (a rebuild draws its weights from the normal source it would have).
    if (const auto carry = carried[1 - live].get(); carry != 0)
    {
        for (;;)
        {
            const auto published = readPublishedRunning();

            if (published.generation == generation[live].get())
            {
                if ((carry & Running::hiddenState) != 0)
                    side.setState (published.state);
                if ((carry & Running::normalCache) != 0)
                    side.restoreNormalCache (published.hasCachedNormal, published.cachedNormal);
                break;
            }

            // The audio thread took the live engine over a moment ago and has
            // not published its state yet.
            std::this_thread::yield();
        }
    }

    return side;
}

void SharedEngine::handOver()
{
    // No network waits and the live engine stays where it is: only the audio
    // thread moves it, and only onto a waiting network.
    const auto live = static_cast<size_t> (liveIndex (handover.load (std::memory_order_acquire)));
    const auto side = 1 - live;

    generation[side] = ++lastGeneration;
    handedOverState[side] = engines[side].getState();
    publishWeights (engines[side]);
    handover.store (static_cast<std::uint32_t> (live) | pendingBit, std::memory_order_release);
}

//==============================================================================
NetworkCopy SharedEngine::copyNetwork() const
{
    const auto hold = holdLoads();

    if (pauseWhileCopying)
        pauseWhileCopying();

    for (;;)
    {
        const auto word = handover.load (std::memory_order_acquire);
        const auto live = static_cast<size_t> (liveIndex (word));
        const auto newest = (word & pendingBit) != 0 ? 1 - live : live;
        const auto published = readPublishedRunning();
        const std::vector<float>* state = nullptr;

        if (published.generation == generation[newest].get())
            state = &published.state;
        else if (newest != live && published.generation == generation[live].get())
            state = (carried[newest].get() & Running::hiddenState) != 0 ? &published.state : &handedOverState[newest];

        if (state == nullptr)
        {
            // The audio thread took a network over a moment ago and has not
            // published its state yet.
            std::this_thread::yield();
            continue;
        }

        // Only loads change weights and bias, and none runs now.
        const auto& engine = engines[newest];
        return { engine.getInputSize(), engine.getMaxHiddenSize(), engine.getOutputSize(), engine.getInputWeights(),
                 engine.getRecurrentWeights(), engine.getReadoutWeights(), *state, engine.getBias() };
    }
}

void SharedEngine::publishWeights (const NeuralEngine& source)
{
    const std::scoped_lock lock (publishedLock);
    publishedInput = source.getInputWeights();
    publishedRecurrent = source.getRecurrentWeights();
    publishedReadout = source.getReadoutWeights();
    ++weightsGeneration;
}

bool SharedEngine::copyWeightsIfNewer (std::uint32_t& seen, NeuralEngine::Matrix& recurrent, NeuralEngine::Matrix& readout,
                                       NeuralEngine::Matrix* input) const
{
    const std::scoped_lock lock (publishedLock);
    if (seen == weightsGeneration.load())
        return false;

    seen = weightsGeneration;
    recurrent = publishedRecurrent;
    readout = publishedReadout;
    if (input != nullptr)
        *input = publishedInput;
    return true;
}

} // namespace mur
