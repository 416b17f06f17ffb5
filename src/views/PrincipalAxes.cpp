#include "PrincipalAxes.h"

#include <cmath>

namespace mur::views
{
namespace
{
using Matrix = std::vector<std::vector<double>>;

// Ten rounds from the all-ones vector, no convergence test, then the sign
// rule: the first entry that is clearly non-zero is made positive.
std::vector<float> powerIteration (const Matrix& c)
{
    const auto d = c.size();
    std::vector<double> v (d, 1.0), w (d, 0.0);

    for (int round = 0; round < 10; ++round)
    {
        double norm = 0.0;
        for (size_t j = 0; j < d; ++j)
        {
            double sum = 0.0;
            for (size_t k = 0; k < d; ++k)
                sum += c[j][k] * v[k];
            w[j] = sum;
            norm += sum * sum;
        }

        norm = std::sqrt (norm);
        // No spread left to follow: the axis is empty rather than 0/0.
        if (! (norm > 0.0) || ! std::isfinite (norm))
            return std::vector<float> (d, 0.0f);

        for (size_t j = 0; j < d; ++j)
            v[j] = w[j] / norm;
    }

    for (const auto x : v)
    {
        if (std::abs (x) > 1.0e-6)
        {
            if (x < 0.0)
                for (auto& y : v)
                    y = -y;
            break;
        }
    }

    return { v.begin(), v.end() };
}
} // namespace

void PrincipalAxes::compute (const std::deque<std::vector<float>>& samples, size_t dimension)
{
    const auto n = samples.size();
    mean.assign (dimension, 0.0f);
    first.assign (dimension, 0.0f);
    second.assign (dimension, 0.0f);
    if (n < 3 || dimension == 0)
        return;

    std::vector<double> m (dimension, 0.0);
    for (const auto& sample : samples)
        for (size_t j = 0; j < dimension && j < sample.size(); ++j)
            m[j] += static_cast<double> (sample[j]);
    for (size_t j = 0; j < dimension; ++j)
        mean[j] = static_cast<float> (m[j] / static_cast<double> (n));

    Matrix c (dimension, std::vector<double> (dimension, 0.0));
    std::vector<double> centred (dimension);
    for (const auto& sample : samples)
    {
        for (size_t j = 0; j < dimension; ++j)
            centred[j] = static_cast<double> ((j < sample.size() ? sample[j] : 0.0f) - mean[j]);
        for (size_t j = 0; j < dimension; ++j)
            for (size_t k = 0; k < dimension; ++k)
                c[j][k] += centred[j] * centred[k];
    }
    for (auto& row : c)
        for (auto& x : row)
            x /= static_cast<double> (n - 1);

    first = powerIteration (c);

    double lambda = 0.0;
    for (size_t j = 0; j < dimension; ++j)
        for (size_t k = 0; k < dimension; ++k)
            lambda += static_cast<double> (first[j]) * c[j][k] * static_cast<double> (first[k]);
    for (size_t j = 0; j < dimension; ++j)
        for (size_t k = 0; k < dimension; ++k)
            c[j][k] -= lambda * static_cast<double> (first[j]) * static_cast<double> (first[k]);

    second = powerIteration (c);
}

std::pair<float, float> PrincipalAxes::project (const std::vector<float>& state) const noexcept
{
    double a = 0.0, b = 0.0;
    for (size_t i = 0; i < mean.size() && i < state.size(); ++i)
    {
        const auto x = static_cast<double> (state[i] - mean[i]);
        a += x * static_cast<double> (first[i]);
        b += x * static_cast<double> (second[i]);
    }
    return { static_cast<float> (a), static_cast<float> (b) };
}

} // namespace mur::views
