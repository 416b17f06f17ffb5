#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Host positions of the parameters. Hosts store automation and projects by
// ID and by position, so neither the IDs (in the parameter table) nor these
// positions ever change.
namespace mur::ids
{

inline constexpr int versionHint = 1;

inline constexpr int numNoteGains = 51;       // "noteGain0" (Breath) .. "noteGain50"
inline constexpr int numAccentParams = 16; // "beatPulseGain1" .. "beatPulseGain16"
inline constexpr int numParameters = 90;

// Host positions of the single parameters; the note gains take 0 to 50 and
// the accent gains 73 to 88, the octave range 89.
namespace pos
{
    inline constexpr int noteGain0 = 0;
    inline constexpr int leakRate = 51, recurrenceScale = 52, feedbackScale = 53, noiseAmount = 54,
                         hiddenSize = 55, activationGain = 56, biasGain = 57, softmaxGain = 58,
                         pulseTimeShift = 59, pulseGain = 60, repeatGain = 61, neighborGain = 62,
                         gatePercentage = 63, holdMode = 64, beatRate = 65, controlInput0 = 66,
                         controlInput1 = 67, bypassNoteGains = 68, darkPaletteBias = 69,
                         lightPaletteBias = 70, numSteps = 71, pulseTimeShiftStep = 72;
    inline constexpr int beatPulseGain1 = 73;
    // Added after the first 89, so that no earlier position moved.
    inline constexpr int octaveRange = 89;
} // namespace pos

// The ID at a host position, and the IDs of the two families ("noteGain3",
// "beatPulseGain12"); the texts themselves live in the parameter table.
const juce::String& at (int position);
inline const juce::String& noteGain (int index)      { return at (pos::noteGain0 + index); }
inline const juce::String& beatPulseGain (int index) { return at (pos::beatPulseGain1 + index - 1); }

inline juce::ParameterID versioned (const juce::String& id) { return { id, versionHint }; }

// All 90 IDs in host order, as the parameter table lists them.
const juce::StringArray& all();

} // namespace mur::ids
