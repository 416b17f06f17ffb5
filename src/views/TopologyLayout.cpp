#include "TopologyLayout.h"

#include <algorithm>
#include <cmath>

namespace mur::views
{

void findDominantRows (const Rows& readout, size_t units, std::vector<int>& dominantRow, std::vector<float>& dominance)
{
    dominantRow.assign (units, -1);
    dominance.assign (units, 0.0f);

    if (readout.empty() || std::any_of (readout.begin(), readout.end(), [units] (const auto& row) { return row.size() < units; }))
        return;

    float largest = 0.0f;
    for (const auto& row : readout)
        for (size_t i = 0; i < units; ++i)
            largest = std::max (largest, std::abs (row[i]));
    if (! (largest > 0.0f))
        return;

    for (size_t i = 0; i < units; ++i)
    {
        float strongest = -1.0f;
        for (size_t r = 0; r < readout.size(); ++r)
        {
            if (const auto magnitude = std::abs (readout[r][i]); magnitude > strongest)
            {
                strongest = magnitude;
                dominantRow[i] = static_cast<int> (r);
            }
        }
        dominance[i] = std::clamp (strongest / largest, 0.0f, 1.0f);
    }
}

void findCoupling (const Rows& recurrent, size_t units, std::vector<float>& coupling, std::vector<int>& strongestPartner)
{
    coupling.assign (units * units, 0.0f);
    strongestPartner.assign (units, -1);
    if (units == 0 || recurrent.empty())
        return;

    auto weight = [&recurrent] (size_t row, size_t column)
    {
        return row < recurrent.size() && column < recurrent[row].size() ? std::abs (recurrent[row][column]) : 0.0f;
    };

    float largest = 0.0f;
    for (size_t i = 0; i < units; ++i)
    {
        for (size_t j = i + 1; j < units; ++j)
        {
            const auto c = (weight (i, j) + weight (j, i)) / 2.0f;
            coupling[i * units + j] = coupling[j * units + i] = c;
            largest = std::max (largest, c);
        }
    }
    if (! (largest > 0.0f) || ! std::isfinite (largest))
    {
        std::fill (coupling.begin(), coupling.end(), 0.0f);
        return;
    }

    for (auto& c : coupling)
        c /= largest;

    for (size_t j = 0; j < units; ++j)
    {
        float strongest = 0.0f;
        for (size_t k = 0; k < units; ++k)
        {
            if (k != j && coupling[j * units + k] > strongest)
            {
                strongest = coupling[j * units + k];
                strongestPartner[j] = static_cast<int> (k);
            }
        }
    }
}

Position spiralPosition (size_t i, size_t n) noexcept
{
    const auto r = 0.42f * std::sqrt ((static_cast<float> (i) + 0.5f) / static_cast<float> (std::max<size_t> (n, 1)));
    const auto theta = static_cast<float> (i) * 2.3999631f;
    return { 0.5f + r * std::cos (theta), 0.5f + r * std::sin (theta) };
}

void layoutStep (std::vector<Position>& positions, std::vector<Position>& displacements,
                 const std::vector<float>& coupling, float edgeGain) noexcept
{
    const auto n = positions.size();
    if (n <= 1 || coupling.size() != n * n || displacements.size() != n)
        return;

    const auto k = std::sqrt (1.0f / static_cast<float> (n));
    const auto repulsion = 0.6f * k * k;
    std::fill (displacements.begin(), displacements.end(), Position { 0.0f, 0.0f });

    for (size_t f = 0; f < n; ++f)
    {
        for (size_t g = f + 1; g < n; ++g)
        {
            const auto dx = positions[f].first - positions[g].first;
            const auto dy = positions[f].second - positions[g].second;
            const auto d = std::max (std::sqrt (dx * dx + dy * dy), 1.0e-4f);
            const auto u = repulsion / d - edgeGain * 2.5f * coupling[f * n + g] * d * d / k;
            displacements[f].first += dx / d * u;
            displacements[f].second += dy / d * u;
            displacements[g].first -= dx / d * u;
            displacements[g].second -= dy / d * u;
        }
    }

    for (size_t i = 0; i < n; ++i)
    {
        auto& [x, y] = positions[i];
        auto& [mx, my] = displacements[i];
        mx += (0.5f - x) * 0.06f;
        my += (0.5f - y) * 0.06f;
        if (! std::isfinite (mx) || ! std::isfinite (my))
            mx = my = 0.0f;

        if (const auto length = std::sqrt (mx * mx + my * my); length > 0.01f)
        {
            mx *= 0.01f / length;
            my *= 0.01f / length;
        }

        x = std::clamp (x + mx, -0.5f, 1.5f);
        y = std::clamp (y + my, -0.5f, 1.5f);
    }
}

} // namespace mur::views
