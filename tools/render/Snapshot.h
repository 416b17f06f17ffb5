#pragma once

#include <juce_core/juce_core.h>

namespace mur::render
{

struct SnapshotOptions
{
    int width = 1078, height = 539;
    int view = 0;   // the network view shown: 0 Activity, 1 Map, 2 Topology
    int steps = 0;  // arpeggio steps of the built-in demo played first
};

// Builds a processor and its editor offscreen, plays the demo for the given
// number of steps (the editor's timer and the views follow in simulated
// time), and writes what the editor shows as a PNG file. Returns false and
// fills `error` when the file cannot be written.
bool writeEditorSnapshot (const juce::File& file, const SnapshotOptions& options, juce::String& error);

} // namespace mur::render
