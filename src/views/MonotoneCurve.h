#pragma once

#include <span>

namespace mur::views
{

// Tangents of a monotone cubic (Fritsch–Carlson) through equally spaced
// points: no segment overshoots the values at its ends, and equal neighbours
// give a flat segment. `tangents` must be as long as `ys`.
void monotoneTangents (std::span<const float> ys, float dx, std::span<float> tangents) noexcept;

} // namespace mur::views
