#pragma once

#include "plugin/ArpAudioProcessor.h"

// What mur-render can name: the presets a user has (and the built-in factory
// set) and the parameters as the editor and hosts show them.
namespace mur::render
{

// Factory presets first, then the user's, folder and name per line, in the
// order the editor walks them. Factory presets not installed are listed
// from the built-in set.
juce::String listPresets();

// Puts a preset onto the processor, found by file path or by name (case
// ignored, the factory folder first, as the editor finds them, then the
// built-in factory set). Fills `error` and returns false when there is none.
bool applyPreset (ArpAudioProcessor& processor, const juce::String& nameOrPath, juce::String& error, juce::String& appliedName);

// A number as typed on a command line: digits, sign, point and exponent only.
bool parseNumber (const juce::String& text, double& value);

// Every parameter: ID, display name, range, default and current value.
juce::String listParameters (ArpAudioProcessor& processor);

// The parameter with this ID, or else with this display name (case ignored).
juce::RangedAudioParameter* findParameter (ArpAudioProcessor& processor, const juce::String& idOrName);

// Sets one parameter from text, as host automation would: a number in its
// range, a choice's text, or for a switch on/off/true/false/1/0.
bool applySetting (ArpAudioProcessor& processor, const juce::String& idOrName, const juce::String& text, juce::String& error);

} // namespace mur::render
