#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// Every host parameter ID in one place. Hosts store automation and projects
// by these IDs (and by position), so neither the texts nor the order change.
namespace mur::ids
{

inline constexpr int versionHint = 1;

inline constexpr int numNoteGains = 51;       // "noteGain0" (Breath) .. "noteGain50"
inline constexpr int numBeatPulseParams = 16; // "beatPulseGain1" .. "beatPulseGain16"
inline constexpr int numParameters = 89;

inline constexpr const char* noteGainPrefix = "noteGain";
inline constexpr const char* beatPulseGainPrefix = "beatPulseGain";

inline constexpr const char* leakRate = "leakRate";
inline constexpr const char* recurrenceScale = "recurrenceScale";
inline constexpr const char* feedbackScale = "feedbackScale";
inline constexpr const char* noiseAmount = "noiseAmount";
inline constexpr const char* hiddenSize = "hiddenSize";
inline constexpr const char* activationGain = "activationGain";
inline constexpr const char* biasGain = "biasGain";
inline constexpr const char* softmaxGain = "softmaxGain";
inline constexpr const char* pulseTimeShift = "pulseTimeShift";
inline constexpr const char* pulseGain = "pulseGain";
inline constexpr const char* repeatGain = "repeatGain";
inline constexpr const char* neighborGain = "neighborGain";
inline constexpr const char* gatePercentage = "gatePercentage";
inline constexpr const char* holdMode = "holdMode";
inline constexpr const char* beatRate = "beatRate";
inline constexpr const char* controlInput0 = "controlInput0";
inline constexpr const char* controlInput1 = "controlInput1";
inline constexpr const char* bypassNoteGains = "bypassNoteGains";
inline constexpr const char* darkPaletteBias = "darkPaletteBias";
inline constexpr const char* lightPaletteBias = "lightPaletteBias";
inline constexpr const char* numSteps = "numSteps";
inline constexpr const char* pulseTimeShiftStep = "pulseTimeShiftStep";

// Host positions of the single parameters; the note gains take 0 to 50 and
// the accent gains 73 to 88.
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
} // namespace pos

inline juce::String noteGain (int index)        { return juce::String (noteGainPrefix) + juce::String (index); }
inline juce::String beatPulseGain (int index)   { return juce::String (beatPulseGainPrefix) + juce::String (index); }

inline juce::ParameterID versioned (const juce::String& id) { return { id, versionHint }; }

// All 89 IDs in host order, as the parameter table lists them.
const juce::StringArray& all();

} // namespace mur::ids
