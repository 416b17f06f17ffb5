#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur
{

// The control text face at a height; the typeface is made once per process.
juce::Font uiFont (float height);

// The preset name's face at a height.
juce::Font presetFont (float height);

// An embedded image by resource name (for example "knob_00_png"), decoded
// once through the image cache; invalid when the resource is missing.
juce::Image embeddedImage (const char* resourceName);

} // namespace mur
