#pragma once

#include <cstddef>
#include <deque>
#include <utility>
#include <vector>

namespace mur::views
{

// Two principal axes of a handful of states, found by ten rounds of power
// iteration each, the second on the covariance with the first deflated out.
struct PrincipalAxes
{
    std::vector<float> mean, first, second;

    // Recomputes mean and axes from at least three samples of `dimension`
    // values. An axis along which the samples do not spread at all (a
    // constant state, or nothing left after deflation) is the zero vector, so
    // every projection onto it is 0.
    void compute (const std::deque<std::vector<float>>& samples, std::size_t dimension);

    // (component 1, component 2) of one state.
    std::pair<float, float> project (const std::vector<float>& state) const noexcept;
};

} // namespace mur::views
