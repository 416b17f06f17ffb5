#pragma once

#include <juce_core/juce_core.h>

namespace mur::render
{

// Builds a processor and its editor offscreen at the given window size and
// writes what the editor shows as a PNG file. Returns false and fills `error`
// when the file cannot be written.
bool writeEditorSnapshot (const juce::File& file, int width, int height, juce::String& error);

} // namespace mur::render
