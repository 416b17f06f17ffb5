#pragma once

#include "PortableMaths.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace mur
{

// MT19937 written out in full, so a seed yields the same numbers whatever
// standard library the plug-in is built with.
class Mt19937
{
public:
    static constexpr std::uint32_t defaultSeed = 5489u;

    explicit Mt19937 (std::uint32_t seedValue = defaultSeed) noexcept { seed (seedValue); }

    void seed (std::uint32_t s) noexcept
    {
        words[0] = s;
        for (std::uint32_t i = 1; i < n; ++i)
            words[i] = 1812433253u * (words[i - 1] ^ (words[i - 1] >> 30)) + i;
        index = n;
    }

    std::uint32_t next() noexcept
    {
        if (index >= n)
            regenerate();

        auto y = words[index++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= y >> 18;
        return y;
    }

    bool operator== (const Mt19937&) const = default;

private:
    static constexpr std::uint32_t n = 624, m = 397;

    void regenerate() noexcept
    {
        for (std::uint32_t i = 0; i < n; ++i)
        {
            const auto y = (words[i] & 0x80000000u) | (words[(i + 1) % n] & 0x7fffffffu);
            words[i] = words[(i + m) % n] ^ (y >> 1) ^ ((y & 1u) ? 0x9908b0dfu : 0u);
        }
        index = 0;
    }

    std::array<std::uint32_t, n> words {};
    std::uint32_t index = n;
};

// A float in [0, 1) from the 24 high bits of one generator output.
constexpr float uniform24 (std::uint32_t r) noexcept
{
    return static_cast<float> (r >> 8) * (1.0f / 16777216.0f);
}

// Standard-normal values by Marsaglia's polar method in single precision.
// Each accepted pair yields two values; the second waits in the cache, and the
// cache survives reseeding the generator.
class NormalSource
{
public:
    float next (Mt19937& generator) noexcept
    {
        if (hasCached)
        {
            hasCached = false;
            return cached;
        }

        float x1, x2, s;

        for (;;)
        {
            const float u1 = uniform24 (generator.next());
            const float u2 = uniform24 (generator.next());
            x1 = 2.0f * u1 - 1.0f;
            x2 = 2.0f * u2 - 1.0f;
            s = x1 * x1 + x2 * x2;

            if (s < 1.0f && x1 != 0.0f && x2 != 0.0f)
                break;
        }

        float logS;

        if (s <= 1e-4f)
        {
            // Tiny pairs are rescaled by a power of two first so that the
            // squares keep their precision; the logarithm is corrected by e * ln 4.
            int e = 0;
            std::frexp (std::fmax (std::fabs (x1), std::fabs (x2)), &e);
            x1 = std::ldexp (x1, -e);
            x2 = std::ldexp (x2, -e);
            s = x1 * x1 + x2 * x2;
            logS = maths::log (s) + static_cast<float> (e) * 1.3862944f;
        }
        else
        {
            logS = maths::log (s);
        }

        const float f = std::sqrt (-2.0f * logS / s);
        cached = f * x2;
        hasCached = true;
        return f * x1;
    }

    void clearCache() noexcept { hasCached = false; }
    bool hasCachedValue() const noexcept { return hasCached; }
    float cachedValue() const noexcept { return cached; }

    // Puts back a cache read out with the two getters above.
    void restoreCache (bool has, float value) noexcept
    {
        hasCached = has;
        cached = value;
    }

    bool operator== (const NormalSource&) const = default;

private:
    float cached = 0.0f;
    bool hasCached = false;
};

} // namespace mur
