#pragma once

#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <bitset>

namespace mur
{

// Hosts record touch and latch automation only between a parameter's begin-
// and end-gesture. One user action in the editor (a drag from press to
// release, a click, a preset step) is one gesture on every parameter it
// changes: the first write to a parameter inside the action begins its
// gesture, and the end of the action ends them all. Actions may nest; the
// outermost one counts. Message thread only.
class HostGestures
{
public:
    using Parameters = std::array<juce::RangedAudioParameter*, ids::numParameters>;

    explicit HostGestures (const Parameters& parametersByIndex) : parameters (parametersByIndex) {}

    // Returns true when this opens the outermost action.
    bool begin() noexcept { return depth++ == 0; }

    void end()
    {
        if (depth > 0 && --depth == 0)
            endAll();
    }

    bool isActive() const noexcept { return depth > 0; }

    // Called before a parameter is written; writes from other threads (a host
    // restoring its project) are never part of an editor action.
    void touch (int parameterIndex)
    {
        if (depth == 0 || ! juce::isPositiveAndBelow (parameterIndex, ids::numParameters)
            || ! juce::MessageManager::existsAndIsCurrentThread())
            return;

        const auto index = static_cast<size_t> (parameterIndex);

        if (open[index] || parameters[index] == nullptr)
            return;

        open[index] = true;
        parameters[index]->beginChangeGesture();
    }

private:
    void endAll()
    {
        for (size_t i = 0; i < open.size(); ++i)
            if (open[i] && parameters[i] != nullptr)
                parameters[i]->endChangeGesture();

        open.reset();
        depth = 0;
    }

    const Parameters& parameters;
    int depth = 0;
    std::bitset<ids::numParameters> open;

    JUCE_DECLARE_NON_COPYABLE (HostGestures)
};

} // namespace mur
