#include "LinkedKnobs.h"

#include "ControlMappings.h"

#include <algorithm>
#include <cmath>

namespace mur::link
{

std::optional<Move> inertiaMoved (float q, bool linked, float span, float currentRecurrence)
{
    const auto leak = 1.0f - q;

    if (! linked)
        return Move { leak, currentRecurrence };

    if (leak > 1e-6f)
    {
        const auto needed = (span - (1.0f - leak)) / leak;
        if (needed > controls::recurrenceScaleFor (1.0f) || needed < 0.0f)
            return std::nullopt;
    }

    const auto recurrence = leak <= 1e-6f ? 0.0f : std::clamp ((span - (1.0f - leak)) / leak, 0.0f, controls::recurrenceScaleFor (1.0f));
    return Move { leak, recurrence };
}

std::optional<Move> echoMoved (float q, bool linked, float span, float currentLeak)
{
    const auto recurrence = controls::recurrenceScaleFor (q);
    const auto a = recurrence - 1.0f;

    if (! linked)
        return Move { currentLeak, recurrence };

    if (std::abs (a) > 1e-6f)
    {
        const auto needed = (span - 1.0f) / a;
        if (needed < 0.0f || needed > 1.0f)
            return std::nullopt;
    }

    const auto leak = std::abs (a) <= 1e-6f ? 1.0f : std::clamp ((span - 1.0f) / a, 0.0f, 1.0f);
    return Move { leak, recurrence };
}

} // namespace mur::link
