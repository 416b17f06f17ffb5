#pragma once

#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

namespace mur
{

class ArpAudioProcessor;

enum class ParameterKind
{
    real,      // a float on the 0.0001 grid
    meta,      // a float that tells the host it moves other parameters
    whole,     // an integer
    choice,    // one of the rate texts
    toggle     // on or off
};

// One host parameter, described once. The ID list, the layout the host sees
// and the dispatch of every change come from these rows; adding a parameter
// is one row here plus the setter its `apply` calls.
struct ParameterSpec
{
    juce::String id, name;
    ParameterKind kind = ParameterKind::real;
    float start = 0.0f, end = 1.0f, defaultValue = 0.0f, skew = 1.0f;

    // Takes a value the parameter reports (from the host, the tree or a state
    // load) into the processor: its mirror and whatever it drives. The index
    // is the one within a family ("noteGain3" is 3), else 0.
    void (*apply) (ArpAudioProcessor&, int familyIndex, float value) = nullptr;
    int familyIndex = 0;
};

// The 89 rows in host order.
const std::array<ParameterSpec, ids::numParameters>& parameterTable();

// The host position of an ID, or -1. Allocation-free, for the audio thread.
int parameterIndexOf (const juce::String& id) noexcept;

} // namespace mur
