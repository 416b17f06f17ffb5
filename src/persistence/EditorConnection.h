#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace mur
{

class Playback;
class Presets;
class Settings;
class SharedEngine;
class TakeBuilder;
class UndoHistory;

// What the editor reaches of the processor that opened it: the settings it
// changes through their setters, the presets and the undo history it drives,
// what the audio thread published, and the processor's change messages. The
// plug-in's processor implements it; the editor never knows the processor
// itself.
class EditorConnection
{
public:
    virtual ~EditorConnection() = default;

    virtual juce::AudioProcessor& getAudioProcessor() noexcept = 0;
    virtual Settings& getSettings() noexcept = 0;
    virtual Presets& getPresets() noexcept = 0;
    virtual UndoHistory& getHistory() noexcept = 0;
    virtual Playback& getPlayback() noexcept = 0;
    virtual const SharedEngine& getSharedEngine() const noexcept = 0;
    // The latest take of what was played, for capture (message thread).
    virtual TakeBuilder& getCapturedTake() noexcept = 0;
    // Sends a message after every change, whatever made it.
    virtual juce::ChangeBroadcaster& getChangeBroadcaster() noexcept = 0;
};

} // namespace mur
