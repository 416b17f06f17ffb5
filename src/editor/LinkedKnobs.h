#pragma once

#include <optional>

// Inertia and Echo moved together so that the network's memory span stays
// constant: K = (1 - leak) + leak * recurrence, the two ways the previous
// state carries into the next.
namespace mur::link
{

inline float memorySpan (float leakRate, float recurrenceScale)
{
    return (1.0f - leakRate) + leakRate * recurrenceScale;
}

struct Move
{
    float leakRate;
    float recurrenceScale;
};

// The Inertia knob went to q (leak = 1 - q). Nothing when the move is refused
// because Echo would have to leave 0 to 20.
std::optional<Move> inertiaMoved (float q, bool linked, float span, float currentRecurrence);

// The Echo knob went to q (recurrence = 20 q). Nothing when the move is
// refused because Inertia would have to leave 0 to 1.
std::optional<Move> echoMoved (float q, bool linked, float span, float currentLeak);

} // namespace mur::link
