#pragma once

#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <vector>

namespace mur
{

class Settings;

enum class ParameterKind
{
    real,      // a float on the 0.0001 grid
    meta,      // a float that tells the host it moves other parameters
    whole,     // an integer
    choice,    // one of the rate texts
    toggle     // on or off
};

// Where the state document keeps a parameter's value.
enum class Stored
{
    apart,     // in a child element of its own (the note and accent gains)
    settings,  // an attribute of the root, in every document
    transport, // an attribute of the root, in project states but not presets
    appended   // an attribute added after the network marker flag, read only when present
};

// One host parameter, described once. The ID list, the layout the host sees,
// the dispatch of every change, the state document's attributes and the
// earlier state form's values all come from these rows; adding a parameter is
// one row here plus the setter its `apply` calls.
struct ParameterSpec
{
    juce::String id, name;
    ParameterKind kind = ParameterKind::real;
    float start = 0.0f, end = 1.0f, defaultValue = 0.0f, skew = 1.0f;

    // Takes a value the parameter reports (from the host, the tree or a state
    // load) into the processor: its mirror and whatever it drives. The index
    // is the one within a family ("noteGain3" is 3), else 0.
    void (*apply) (Settings&, int familyIndex, double value) = nullptr;
    int familyIndex = 0;

    // In the state document: the attribute (named like the ID), its place in
    // the written order, the value the document holds, and what a document
    // without the attribute (or with a non-number) gives; NaN keeps the
    // current value.
    Stored stored = Stored::apart;
    int documentPlace = -1;
    double (*current) (const Settings&) = nullptr;
    double whenMissing = 0.0;

    bool isWholeNumber() const noexcept { return kind == ParameterKind::whole || kind == ParameterKind::choice || kind == ParameterKind::toggle; }
};

// The 90 rows in host order.
const std::array<ParameterSpec, ids::numParameters>& parameterTable();

// Host positions of the rows the state document holds as root attributes,
// in the order they are written.
const std::vector<int>& documentOrder();

// The host position of an ID, or -1. Allocation-free, for the audio thread.
int parameterIndexOf (const juce::String& id) noexcept;

} // namespace mur
