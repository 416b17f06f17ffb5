#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace mur
{

// Where the host's transport stands at the start of each block. Some hosts
// report "playing" in every block but a musical position only now and then;
// between two reports the position goes on from the last one, advanced by
// the samples since at the tempo of the time. Until a first position
// arrives there is none, and the free-running clock serves.
class TransportFollower
{
public:
    // The block's start in quarter notes, or nothing when the block does not
    // follow the host (transport stopped, or no position known yet).
    std::optional<double> blockStart (bool playing, std::optional<double> reportedPpq, double tempoBpm,
                                      double sampleRate) noexcept
    {
        if (! playing)
        {
            known = false;
            return std::nullopt;
        }

        if (reportedPpq && std::isfinite (*reportedPpq))
        {
            anchor (*reportedPpq, tempoBpm, sampleRate);
            known = true;
            return anchorPpq;
        }

        if (! known)
            return std::nullopt;

        const auto now = projected();

        // A new tempo (or sample rate) counts from here on, not backwards.
        if (tempoBpm != anchorTempo || sampleRate != anchorRate)
            anchor (now, tempoBpm, sampleRate);

        return now;
    }

    // Called after every block with its length.
    void blockEnd (int numSamples) noexcept
    {
        if (known && numSamples > 0)
            samplesSinceAnchor += numSamples;
    }

private:
    void anchor (double ppq, double tempoBpm, double sampleRate) noexcept
    {
        anchorPpq = ppq;
        anchorTempo = tempoBpm;
        anchorRate = sampleRate;
        samplesSinceAnchor = 0;
    }

    double projected() const noexcept
    {
        if (! (anchorRate > 0.0))
            return anchorPpq;

        return anchorPpq + static_cast<double> (samplesSinceAnchor) / anchorRate * anchorTempo / 60.0;
    }

    bool known = false;
    double anchorPpq = 0.0, anchorTempo = 120.0, anchorRate = 0.0;
    std::int64_t samplesSinceAnchor = 0;
};

} // namespace mur
