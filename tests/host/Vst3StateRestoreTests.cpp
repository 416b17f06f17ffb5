#include "BuiltVst3.h"
#include "StateRestore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// A restored project is visible to the host the moment the restore returns,
// whichever thread the host restores it on.
namespace mur
{
namespace
{

TEST (Vst3StateRestore, ValuesAreBackWhenTheCallReturnsOnTheHostsMessageThread)
{
    auto instance = host::loadBuiltVst3();
    ASSERT_NE (instance, nullptr);

    for (const juce::int64 seed : { 1, 22, 333 })
        restore::validatorRound (*instance, seed, [&] (const juce::MemoryBlock& state)
        {
            return restore::restoreAndReadOnThisThread (*instance, state);
        });
}

TEST (Vst3StateRestore, ValuesAreBackWhenTheCallReturnsOnAWorkerThread)
{
    auto instance = host::loadBuiltVst3();
    ASSERT_NE (instance, nullptr);

    for (const juce::int64 seed : { 4, 55, 666 })
        restore::validatorRound (*instance, seed, [&] (const juce::MemoryBlock& state)
        {
            std::vector<float> values;
            std::atomic<bool> done { false };

            // The host's own wrapper locks its message thread for a restore; the
            // worker keeps that lock until it has read every value, so no
            // message loop runs in between.
            std::thread worker ([&]
            {
                const juce::MessageManagerLock lock;
                instance->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
                values = restore::readAll (*instance);
                done = true;
            });

            while (! done)
                juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

            worker.join();
            return values;
        });
}

} // namespace
} // namespace mur
