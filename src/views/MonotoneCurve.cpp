#include "MonotoneCurve.h"

#include <cmath>

namespace mur::views
{

void monotoneTangents (std::span<const float> ys, float dx, std::span<float> tangents) noexcept
{
    const auto n = ys.size();
    if (n == 0 || tangents.size() < n)
        return;

    if (n == 1 || dx == 0.0f)
    {
        for (size_t k = 0; k < n; ++k)
            tangents[k] = 0.0f;
        return;
    }

    auto secant = [&] (size_t k) { return (ys[k + 1] - ys[k]) / dx; };

    tangents[0] = secant (0);
    tangents[n - 1] = secant (n - 2);
    for (size_t k = 1; k + 1 < n; ++k)
    {
        const auto before = secant (k - 1), after = secant (k);
        tangents[k] = before * after <= 0.0f ? 0.0f : (before + after) / 2.0f;
    }

    for (size_t k = 0; k + 1 < n; ++k)
    {
        const auto d = secant (k);
        if (std::abs (d) < 1.0e-9f)
        {
            tangents[k] = tangents[k + 1] = 0.0f;
        }
        else if (k > 0 && d * secant (k - 1) <= 0.0f)
        {
            tangents[k] = 0.0f;
        }
        else
        {
            const auto alpha = tangents[k] / d, beta = tangents[k + 1] / d;
            if (const auto length = alpha * alpha + beta * beta; length > 9.0f)
            {
                const auto tau = 3.0f / std::sqrt (length);
                tangents[k] = tau * alpha * d;
                tangents[k + 1] = tau * beta * d;
            }
        }
    }
}

} // namespace mur::views
