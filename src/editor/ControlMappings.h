#pragma once

#include "processor/ParameterIds.h"

#include <juce_core/juce_core.h>

// How each control's position (0 to 1) maps to the value it stands for and
// back. Pure functions: the controls and the editor's wiring use them, and
// tests check them without a window. Every range and default comes from the
// parameter table, never written here a second time.
namespace mur::controls
{

// Rounding for non-negative values: halves go up.
inline int roundHalfUp (double x) { return static_cast<int> (std::floor (x + 0.5)); }

// A parameter's range and default, as the parameter table gives them (the
// host position is one of ids::pos).
struct Range
{
    float start = 0.0f, end = 1.0f;
};
Range parameterRange (int parameterIndex);
float defaultOf (int parameterIndex);

// Inertia turns the leak rate round: position 1 - leak rate.
float inertiaPosition (float leakRate);
// Echo's travel is the recurrence scale's range.
float echoPosition (float recurrenceScale);
float recurrenceScaleFor (float position);

// Rate: positions from 1 ("1/96", index 0) to 0 ("1/1", index 12).
int rateIndexFor (float position);
float positionForRate (int rateIndex);
int rateDivisor (int rateIndex);                 // 96, 64, ... 1
juce::String rateText (float position);          // "1/16"

// Length: 1 to 200 % over the whole travel; the parameter itself ends at 100.
double gatePercentFor (float position);
float positionForGate (double gatePercentage);
juce::String gateText (float position);          // "50%"

// Capacity: every whole number of hidden units in its range, one step each.
int hiddenSizeFor (float position);
float positionForHiddenSize (int hiddenSize);
int hiddenSizeSteps();
// The neuron path's level (1 to 8) the Capacity position shows.
int neuronPathLevelFor (float position);

// Random: the far left is the near-deterministic default gain, then 9.9
// down to 0.
float softmaxGainFor (float position);
float positionForSoftmaxGain (float softmaxGain);

// Accent steps: every pattern length in its range, one step each.
int numStepsFor (float position);
float positionForNumSteps (int numSteps);
int numStepsSteps();

// Octaves: every whole number of octaves in its range, one step each.
int octaveRangeFor (float position);
float positionForOctaveRange (int octaves);
int octaveRangeSteps();

// The accent gains (the master and each step's), -1 to 1 on a centred knob.
float accentGainFor (float position);
float positionForAccentGain (float gain);

// Rate: one arrow key moves one rate.
float rateKeyStep();

// A position as a whole percentage ("50%").
juce::String percentText (float position);


// An arc knob's quantisation: `stepCount` positions from 0 to 1 (none below 2).
float quantise (float position, int stepCount);
// The position a drag gives: `moved` is the units right plus the units up;
// 100 of them sweep the whole range.
float arcDragPosition (float atStart, int moved, int stepCount);

// A step index taken into 0 to n - 1, negative ones counted from the end.
inline int wrapStep (int step, int n) { return ((step % n) + n) % n; }
// The accent step a start knob's position points at: 1 is step 0, and the
// position falls clockwise through the steps.
int stepAtPosition (float position, int numSteps);

// "C3" for 60, "C#3" for 61, "C-2" for 0.
juce::String noteName (int midiNote);

// Scrolling the note window with the wheel: 0.25 of travel per slot, the
// remainder kept for the next event. Positive slots move to later notes.
struct WheelScroll
{
    float remainder = 0.0f;
    int slots = 0;
};
WheelScroll scrollByWheel (float remainder, float deltaX, float deltaY);

inline constexpr int numNoteSlots = 50, noteWindowSize = 4, lastNoteScrollIndex = numNoteSlots - noteWindowSize;

} // namespace mur::controls
