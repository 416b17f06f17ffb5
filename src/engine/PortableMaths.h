#pragma once

#include <cmath>

// Single-precision logarithm, exponential and hyperbolic tangent that give
// the same bits on every platform: computed in double precision and rounded
// once to float. The float versions of the C libraries differ in their last
// bit (glibc and the Windows runtime do), which would make the same seed draw
// different weights on Windows and on Linux.
namespace mur::maths
{

inline float log (float x) noexcept { return static_cast<float> (std::log (static_cast<double> (x))); }
inline float exp (float x) noexcept { return static_cast<float> (std::exp (static_cast<double> (x))); }
inline float tanh (float x) noexcept { return static_cast<float> (std::tanh (static_cast<double> (x))); }

} // namespace mur::maths
