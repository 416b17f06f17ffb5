#pragma once

#include <vector>

// Numbers a musician can read from an arpeggio, one entry per step: the
// pitch played, or -1 for a step without a note.
namespace mur::render
{

int distinctPitches (const std::vector<int>& steps);
// The most steps in a row that play one pitch (a rest ends a run).
int longestRun (const std::vector<int>& steps);
// The share of steps, after the first, that play the pitch just played.
double repeatShare (const std::vector<int>& steps);
// The shortest p such that the steps repeat with period p at least twice
// over (p at most half their number); 0 when there is none.
int shortestPeriod (const std::vector<int>& steps);

} // namespace mur::render
