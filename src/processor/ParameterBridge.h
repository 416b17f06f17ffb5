#pragma once

#include "HostGestures.h"
#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <thread>

namespace mur
{

// The processor's side of the parameter tree: how a value set by the editor,
// a state load or the audio thread reaches the parameter the host sees, the
// tree and the undo history. Each thread takes its own path: the audio thread
// only raises flags (the message thread writes later), a host's own thread
// sets the parameter directly and lets the tree catch up, and the message
// thread writes the tree inside the current user action's gesture.
class ParameterBridge
{
public:
    ParameterBridge (juce::AudioProcessorValueTreeState& tree, juce::UndoManager& undo);

    // Brings the parameter to `value` (in its own units) when it holds another.
    void writeBack (int parameterIndex, double value);

    float rawValue (int parameterIndex) const noexcept { return rawValueByIndex[static_cast<size_t> (parameterIndex)]->load(); }
    juce::RangedAudioParameter& parameter (int parameterIndex) const noexcept { return *parameterByIndex[static_cast<size_t> (parameterIndex)]; }
    float limitToRange (int parameterIndex, float value) const noexcept;

    // The thread the host processes blocks on, until it releases its resources.
    void markAudioThread() noexcept { audioThreadId.store (std::this_thread::get_id(), std::memory_order_relaxed); }
    void releaseAudioThread() noexcept { audioThreadId.store ({}, std::memory_order_relaxed); }

    // Message thread, on a timer: writes the audio thread left behind and
    // a tree behind its parameters.
    void performDeferredWriteBacks();
    void catchUpTree();

    // A state or preset load: its writes form one undo transaction, and a
    // switch it sets shows the host the clean 0 or 1.
    void beginLoadTransaction();

    class ScopedLoad
    {
    public:
        explicit ScopedLoad (ParameterBridge& b)
            : owner (b), previous (b.loadingThread.exchange (std::this_thread::get_id())) {}
        ~ScopedLoad() { owner.loadingThread.store (previous); }

    private:
        ParameterBridge& owner;
        std::thread::id previous;
    };

    // The earlier state form: a whole parameter tree, with a fresh history.
    void restoreTree (const juce::ValueTree& tree);
    juce::Identifier treeType() const { return parameters.state.getType(); }

    // However many changes arrive, one notification waits at a time; the
    // message thread picks it up (nothing is posted from the audio thread).
    void postChangeNotification() noexcept { changePending.store (true, std::memory_order_release); }
    bool takeChangeNotification() noexcept { return changePending.exchange (false, std::memory_order_acq_rel); }

    HostGestures& getGestures() noexcept { return gestures; }

private:
    bool isAudioThread() const noexcept;

    juce::AudioProcessorValueTreeState& parameters;
    juce::UndoManager& undoManager;
    std::array<juce::RangedAudioParameter*, ids::numParameters> parameterByIndex {};
    std::array<std::atomic<float>*, ids::numParameters> rawValueByIndex {};
    HostGestures gestures { parameterByIndex };

    std::atomic<std::thread::id> audioThreadId {};
    // The thread loading a state or preset, while it does.
    std::atomic<std::thread::id> loadingThread {};

    std::atomic<bool> changePending { false };
    std::atomic<bool> deferredWritesPending { false };
    std::atomic<bool> treeCatchUpPending { false };
    std::atomic<bool> undoClearPending { false };
    std::array<std::atomic<bool>, ids::numParameters> deferredWriteFlags {};
    std::array<std::atomic<double>, ids::numParameters> deferredWriteValues {};

    JUCE_DECLARE_NON_COPYABLE (ParameterBridge)
};

} // namespace mur
