#pragma once

#include "Renderer.h"

namespace mur::render
{


// Builds a processor (with the options' preset and settings) and its editor
// offscreen, plays the demo for the snapshot's number of steps (the editor's
// timer and the views follow in simulated time), and writes what the editor
// shows as a PNG file. Returns false and fills `error` when a setting cannot
// be applied or the file cannot be written.
bool writeEditorSnapshot (const juce::File& file, const RenderOptions& options, juce::String& error);

} // namespace mur::render
