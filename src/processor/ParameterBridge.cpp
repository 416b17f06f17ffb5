#include "ParameterBridge.h"

#include <cmath>
#include <limits>

namespace mur
{
// Recorded in every block: it must never take a lock.
static_assert (std::atomic<std::thread::id>::is_always_lock_free);

ParameterBridge::ParameterBridge (juce::AudioProcessorValueTreeState& tree, juce::UndoManager& undo)
    : parameters (tree), undoManager (undo)
{
    for (int i = 0; i < ids::numParameters; ++i)
    {
        parameterByIndex[static_cast<size_t> (i)] = parameters.getParameter (ids::at (i));
        rawValueByIndex[static_cast<size_t> (i)] = parameters.getRawParameterValue (ids::at (i));
    }
}

float ParameterBridge::limitToRange (int parameterIndex, float value) const noexcept
{
    const auto& range = parameterByIndex[static_cast<size_t> (parameterIndex)]->getNormalisableRange();
    return juce::jlimit (range.start, range.end, value);
}

void ParameterBridge::writeBack (int parameterIndex, double value)
{
    const auto index = static_cast<size_t> (parameterIndex);
    auto* raw = rawValueByIndex[index];
    auto* parameter = parameterByIndex[index];

    if (raw == nullptr || parameter == nullptr)
        return;

    // The audio thread must not touch the parameter tree (it allocates and
    // notifies the host): its writes are carried to the message thread.
    if (isAudioThread())
    {
        if (static_cast<double> (raw->load()) != value)
        {
            deferredWriteValues[index].store (value, std::memory_order_relaxed);
            deferredWriteFlags[index].store (true, std::memory_order_release);
            deferredWritesPending.store (true, std::memory_order_release);
        }
        return;
    }

    // A write carried over from the audio thread is older than this one.
    deferredWriteFlags[index].store (false, std::memory_order_relaxed);

    if (static_cast<double> (raw->load()) == value)
    {
        // A switch keeps whatever normalised value a host gave it (0.3 is
        // off); a loaded state shows the host the clean 0 or 1 it saved.
        if (loadingThread.load (std::memory_order_relaxed) == std::this_thread::get_id()
            && dynamic_cast<juce::AudioParameterBool*> (parameter) != nullptr)
            if (const auto normalised = value >= 0.5 ? 1.0f : 0.0f; parameter->getValue() != normalised)
                parameter->setValueNotifyingHost (normalised);
        return;
    }

    if (! juce::MessageManager::existsAndIsCurrentThread())
    {
        // A host restoring its project on a thread of its own: the parameter
        // takes the value at once (JUCE allows that from any thread), so the
        // host reads it the moment the restore returns; the tree and the undo
        // history, which the message thread owns, catch up there.
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (static_cast<float> (value)));
        treeCatchUpPending.store (true, std::memory_order_release);
        return;
    }

    juce::var newValue (value);

    if (parameterIndex == ids::pos::hiddenSize || parameterIndex == ids::pos::beatRate
        || parameterIndex == ids::pos::numSteps || parameterIndex == ids::pos::pulseTimeShiftStep)
        newValue = juce::roundToInt (value);
    else if (parameterIndex == ids::pos::holdMode || parameterIndex == ids::pos::bypassNoteGains)
        newValue = value >= 0.5;

    const auto& id = ids::at (parameterIndex);

    // The tree copies the host's changes from the parameters on a timer, so it
    // can still hold an older value; writing that same older value through it
    // would change nothing. It first takes the value the parameter has now
    // (outside the undo history, which then records the real step).
    if (auto child = parameters.state.getChildWithProperty ("id", id); child.isValid())
        if (static_cast<double> (child.getProperty ("value")) != static_cast<double> (raw->load()))
            child.setProperty ("value", raw->load(), nullptr);

    gestures.touch (parameterIndex);
    parameters.getParameterAsValue (id).setValue (newValue);
}

bool ParameterBridge::isAudioThread() const noexcept
{
    // The thread the host last processed a block on; when that is the message
    // thread (an offline render) nothing is deferred.
    return audioThreadId.load (std::memory_order_relaxed) == std::this_thread::get_id()
        && ! juce::MessageManager::existsAndIsCurrentThread();
}

void ParameterBridge::performDeferredWriteBacks()
{
    if (! deferredWritesPending.exchange (false, std::memory_order_acquire))
        return;

    for (size_t i = 0; i < deferredWriteFlags.size(); ++i)
        if (deferredWriteFlags[i].exchange (false, std::memory_order_acquire))
            writeBack (static_cast<int> (i), deferredWriteValues[i].load (std::memory_order_relaxed));
}

//==============================================================================
void ParameterBridge::beginLoadTransaction()
{
    // The undo history belongs to the message thread; a load on another
    // thread gets its transaction when the tree catches up there.
    if (juce::MessageManager::existsAndIsCurrentThread())
        undoManager.beginNewTransaction();
}

void ParameterBridge::catchUpTree()
{
    if (! treeCatchUpPending.exchange (false, std::memory_order_acq_rel))
        return;

    // Values set directly on the parameters reach the tree in a transaction
    // of their own, so one undo takes back the whole load; the earlier
    // state form starts a fresh history instead.
    undoManager.beginNewTransaction();
    parameters.copyState();
    undoManager.beginNewTransaction();

    if (undoClearPending.exchange (false, std::memory_order_acq_rel))
        undoManager.clearUndoHistory();
}

void ParameterBridge::restoreTree (const juce::ValueTree& tree)
{
    if (juce::MessageManager::existsAndIsCurrentThread())
    {
        parameters.replaceState (tree);
        undoManager.clearUndoHistory();
        return;
    }

    // The tree and the undo history belong to the message thread: a host
    // restoring on a thread of its own sets the stored values on the
    // parameters, and the history is cleared once the tree has caught up.
    for (const auto& child : tree)
    {
        const auto index = ids::all().indexOf (child.getProperty ("id").toString());
        const auto value = static_cast<double> (child.getProperty ("value", std::numeric_limits<double>::quiet_NaN()));

        if (index >= 0 && std::isfinite (value))
            writeBack (index, value);
    }

    undoClearPending.store (true, std::memory_order_release);
    treeCatchUpPending.store (true, std::memory_order_release);
}

} // namespace mur
