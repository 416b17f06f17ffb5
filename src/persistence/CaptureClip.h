#pragma once

#include "MidiClipFile.h"
#include "processor/TakeBuilder.h"

// A captured take as the MIDI file a musician drags into a host or saves.
namespace mur::capture
{

// The clip lengths offered, in bars; 0 is the whole take.
inline constexpr int lengths[] = { 1, 2, 4, 8, 16, 0 };
inline constexpr int defaultLength = 4;
bool isOfferedLength (int bars) noexcept;

// "MUR – preset name", or "MUR" when no preset is loaded.
juce::String trackName (const juce::String& presetName);
// A file name for the clip, such as "MUR Glass Steps 4 bars.mid".
juce::String fileName (const juce::String& presetName, int bars);

midifile::Clip toClip (const TakeBuilder::Clip& clip, const juce::String& trackName);

// Writes the take's last `bars` bars (0: all of it). Refuses an empty take;
// a write that fails leaves no file behind.
juce::Result write (const TakeBuilder& take, int bars, const juce::String& presetName, const juce::File& target);

// Where dragged clips are written: a MUR folder in the system's temporary
// folder. Clips older than a day are removed from it whenever a new one is
// written.
juce::File dragFolder();
void removeOldClips (const juce::File& folder, juce::Time now);

} // namespace mur::capture
