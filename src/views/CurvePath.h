#pragma once

#include "MonotoneCurve.h"

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace mur::views
{

// The monotone cubic through `ys` at x0, x0 + dx, ..., as a path whose
// control points stay within [low, high]; `tangents` is working space.
inline void setMonotoneCurve (juce::Path& path, const std::vector<float>& ys, float x0, float dx, float low, float high,
                              std::vector<float>& tangents)
{
    path.clear();
    if (ys.empty())
        return;

    tangents.resize (ys.size());
    monotoneTangents (ys, dx, tangents);
    auto within = [low, high] (float y) { return juce::jlimit (low, high, y); };

    path.startNewSubPath (x0, ys[0]);
    for (size_t k = 0; k + 1 < ys.size(); ++k)
    {
        const auto xk = x0 + static_cast<float> (k) * dx;
        path.cubicTo (xk + dx / 3.0f, within (ys[k] + dx * tangents[k] / 3.0f),
                      xk + dx - dx / 3.0f, within (ys[k + 1] - dx * tangents[k + 1] / 3.0f),
                      xk + dx, ys[k + 1]);
    }
}

} // namespace mur::views
