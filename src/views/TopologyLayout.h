#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace mur::views
{

using Rows = std::vector<std::vector<float>>;
using Position = std::pair<float, float>;

// Which readout row each unit drives most strongly, and how strongly
// relative to the strongest weight of all. Rows missing or shorter than the
// unit count, or an all-zero matrix, leave every unit without a row (-1).
void findDominantRows (const Rows& readout, std::size_t units, std::vector<int>& dominantRow, std::vector<float>& dominance);

// Symmetric coupling strengths (mean magnitude of the two recurrent weights,
// normalised so the strongest pair is 1; units x units, row-major) and each
// unit's strongest partner (-1 when it has none).
void findCoupling (const Rows& recurrent, std::size_t units, std::vector<float>& coupling, std::vector<int>& strongestPartner);

// Unit i of n on a sunflower spiral around (0.5, 0.5).
Position spiralPosition (std::size_t i, std::size_t n) noexcept;

// One step of the force layout: repulsion between every pair, attraction
// along couplings (scaled by the echo gain), a pull toward the centre, each
// move limited to 0.01 and each coordinate kept within -0.5 ... 1.5.
void layoutStep (std::vector<Position>& positions, std::vector<Position>& displacements,
                 const std::vector<float>& coupling, float edgeGain) noexcept;

} // namespace mur::views
