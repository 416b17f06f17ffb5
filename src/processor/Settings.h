#pragma once

#include "AccentGains.h"
#include "ArpTypes.h"
#include "Guarded.h"
#include "ParameterMirrors.h"
#include "Playback.h"

#include <atomic>
#include <vector>

namespace mur
{

class ParameterBridge;
class SharedEngine;

// What the musician has set: the parameters' mirrors, the note gains, the
// accent pattern (`beatPulseGains`, all 64 steps), the network seed, the XY
// pad's checkpoints and the Inertia/Echo link. The editor, the host (through
// the parameter table) and state loads all change them through these setters;
// playback reads them.
class Settings
{
public:
    // `playback` is only told of changes, never called while this is built.
    Settings (ParameterBridge& bridge, SharedEngine& engine, Playback& playback);

    // Each setter stores its mirror, forwards the value and writes it back
    // into the parameter tree when the tree holds another value (so the host
    // and the undo history see editor edits). Values outside a parameter's
    // range end at its nearest limit; non-finite values are ignored.
    void setLeakRate (float);
    void setRecurrenceScale (float);
    void setFeedbackScale (float);
    void setNoiseAmount (float);
    void setHiddenSize (int);
    void setActivationGain (float);
    void setBiasGain (float);
    void setSoftmaxGain (float);
    void setRepeatGain (float);
    void setNeighborGain (float);
    void setGatePercentage (double);
    void setHoldMode (bool);
    void setBeatRate (int);
    void setOctaveRange (int);
    void setControlInput (int index, float);
    void setBypassNoteGains (bool);
    void setDarkPaletteBias (float);
    void setLightPaletteBias (float);
    void setNoteGain (int index, float);
    void resetNoteGains();

    // The accent pattern.
    void setPulseTimeShift (float);
    void setPulseGain (float);
    void setNumSteps (int);
    void setStartStep (int);
    void setBeatPulseGain (int stepIndex, float gain);
    float getBeatPulseGain (int stepIndex) const noexcept;
    void ensureBeatPulseGainCount (int count);
    int getNumAccentGains() const noexcept { return beatPulseGains.size(); }

    // Draws a new seed and a new network from it (the editor's Reseed). The
    // coefficients, the active size and all parameters stay as they are.
    void reseed();
    void reseed (std::int32_t seed);

    // The XY pad's remembered positions and the Inertia/Echo link.
    std::vector<XYCheckpoint> getXYCheckpoints() const { return xyCheckpoints.get(); }
    void setXYCheckpoints (std::vector<XYCheckpoint> checkpoints) { xyCheckpoints.set (std::move (checkpoints)); }
    bool getLinkLeakRecurrence() const noexcept { return linkLeakRecurrence; }
    void setLinkLeakRecurrence (bool shouldLink) { linkLeakRecurrence = shouldLink; }

    const ParameterMirrors& getMirrors() const noexcept { return mirrors; }
    float getNoteGain (int index) const noexcept;
    bool getBypassNoteGains() const noexcept { return bypassNoteGains; }
    std::int32_t getArpSeed() const noexcept { return arpSeed; }

    // Asks an open editor to recompute its palette colours; the message
    // thread takes the request.
    void notifyColorsNeedUpdate() noexcept { coloursNeedUpdate.store (true, std::memory_order_release); }
    bool takeColoursChanged() noexcept { return coloursNeedUpdate.exchange (false, std::memory_order_acq_rel); }

    PlaybackInputs playbackInputs() const noexcept { return { mirrors, noteGains, beatPulseGains, arpSeed }; }

private:
    friend struct ParameterAccess;
    friend class StateDocument;

    bool storeInRange (Relaxed<float>& mirror, int parameterIndex, float value) noexcept;
    bool storeAndWriteBack (Relaxed<float>& mirror, int parameterIndex, float value);
    void setDynamics (Relaxed<float>& mirror, int parameterIndex, float value);
    void setPaletteBias (Relaxed<float>& mirror, int parameterIndex, float value);
    void setAccentGainFromHost (int step, float value) noexcept;
    void setNoteGainFromParameter (int index, float value) noexcept;
    void resetAccentGains();
    void resetAccentParametersFrom (int count);

    ParameterBridge& bridge;
    SharedEngine& engine;
    Playback& playback;

    ParameterMirrors mirrors;
    NoteGains noteGains {};
    Relaxed<bool> bypassNoteGains = false;
    Relaxed<std::int32_t> arpSeed = defaultArpSeed;
    AccentGains beatPulseGains;

    // A host may restore its project on a thread of its own while the editor
    // reads these.
    Guarded<std::vector<XYCheckpoint>> xyCheckpoints;
    Relaxed<bool> linkLeakRecurrence = false;

    std::atomic<bool> coloursNeedUpdate { false };

    JUCE_DECLARE_NON_COPYABLE (Settings)
};

} // namespace mur
