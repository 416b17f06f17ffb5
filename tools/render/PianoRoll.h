#pragma once

#include "Renderer.h"

namespace mur::render
{

// A piano roll of a render: the held chords faint behind, the arpeggio's
// notes in the palette's colours of their chord slots, rests marked on the
// grid, the accent of each step on a lane beneath, bars and beats. Written
// as a PNG or an SVG (by the file's extension), 1600 pixels wide.
bool writePianoRoll (const RenderSummary& summary, const juce::File& file, juce::String& error);

// The SVG text of the same picture (tests read it).
juce::String pianoRollSvg (const RenderSummary& summary);

} // namespace mur::render
