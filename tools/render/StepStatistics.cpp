#include "StepStatistics.h"

#include <algorithm>
#include <set>

namespace mur::render
{

int distinctPitches (const std::vector<int>& steps)
{
    std::set<int> pitches;
    for (auto p : steps)
        if (p >= 0)
            pitches.insert (p);
    return static_cast<int> (pitches.size());
}

int longestRun (const std::vector<int>& steps)
{
    int longest = 0, run = 0, previous = -1;
    for (auto p : steps)
    {
        run = p >= 0 && p == previous ? run + 1 : (p >= 0 ? 1 : 0);
        previous = p;
        longest = std::max (longest, run);
    }
    return longest;
}

double repeatShare (const std::vector<int>& steps)
{
    if (steps.size() < 2)
        return 0.0;
    int repeats = 0;
    for (size_t i = 1; i < steps.size(); ++i)
        repeats += steps[i] >= 0 && steps[i] == steps[i - 1] ? 1 : 0;
    return static_cast<double> (repeats) / static_cast<double> (steps.size() - 1);
}

int shortestPeriod (const std::vector<int>& steps)
{
    const auto n = steps.size();
    for (size_t p = 1; p <= n / 2; ++p)
    {
        auto repeats = true;
        for (size_t i = 0; i + p < n && repeats; ++i)
            repeats = steps[i] == steps[i + p];
        if (repeats)
            return static_cast<int> (p);
    }
    return 0;
}

} // namespace mur::render
