#include "Palette.h"

#include "engine/ControlResponse.h"
#include "engine/NoteSelection.h"

#include <algorithm>
#include <cmath>

namespace mur::palette
{
namespace
{
// The map's anchor rows; the entries between them are interpolated linearly,
// which keeps every channel rising by less than 0.01 per entry. Between 44
// and 45 the map steps on purpose.
struct Anchor
{
    int index;
    Rgb colour;
};

constexpr Anchor anchors[] = {
    { 0, { 0.108778f, 0.055655f, 0.202533f } }, { 1, { 0.1155f, 0.0576f, 0.2047f } },
    { 21, { 0.2489f, 0.1025f, 0.2497f } },      { 42, { 0.3652f, 0.1870f, 0.2910f } },
    { 44, { 0.373135f, 0.196030f, 0.293856f } }, { 45, { 0.440237f, 0.354906f, 0.319944f } },
    { 63, { 0.4464f, 0.3935f, 0.3230f } },      { 84, { 0.4548f, 0.4440f, 0.3272f } },
    { 105, { 0.4673f, 0.5140f, 0.3342f } },     { 126, { 0.4877f, 0.6079f, 0.3515f } },
    { 147, { 0.5341f, 0.7268f, 0.4072f } },     { 168, { 0.6489f, 0.8612f, 0.5481f } },
    { 189, { 0.8191f, 0.9581f, 0.7411f } },     { 209, { 0.937066f, 0.987985f, 0.866202f } },
};

Rgb mix (Rgb a, Rgb b, float f)
{
    return { (1.0f - f) * a.r + f * b.r, (1.0f - f) * a.g + f * b.g, (1.0f - f) * a.b + f * b.b };
}

std::uint8_t truncated (float v) { return static_cast<std::uint8_t> (std::clamp (v * 255.0f, 0.0f, 255.0f)); }

std::uint8_t rounded (float v)
{
    return v <= 0.0f ? 0 : (v >= 1.0f ? 255 : static_cast<std::uint8_t> (std::lround (v * 255.0f)));
}

std::uint32_t argb (std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return 0xff000000u | (static_cast<std::uint32_t> (r) << 16) | (static_cast<std::uint32_t> (g) << 8) | b;
}

std::uint32_t colourAt (double position, const PaletteInputs& settings)
{
    return unitArgb (trimmedColour (static_cast<float> (position / 209.0), settings.darkBias, settings.lightBias));
}
} // namespace

const std::array<Rgb, mapSize>& colourMap()
{
    static const auto map = []
    {
        std::array<Rgb, mapSize> m {};
        for (size_t a = 0; a + 1 < std::size (anchors); ++a)
        {
            const auto& from = anchors[a];
            const auto& to = anchors[a + 1];
            for (int i = from.index; i <= to.index; ++i)
                m[static_cast<size_t> (i)] = mix (from.colour, to.colour,
                                                  static_cast<float> (i - from.index) / static_cast<float> (to.index - from.index));
        }
        return m;
    }();

    return map;
}

Rgb trimmedColour (float t, float darkBias, float lightBias)
{
    const auto& map = colourMap();
    const auto u = (1.0f - darkBias - lightBias) * t + darkBias;

    if (! (u > 0.0f))
        return map.front();
    if (u >= 1.0f)
        return map.back();

    const auto p = u * 209.0f;
    const auto i = std::min (static_cast<int> (p), 208);
    return mix (map[static_cast<size_t> (i)], map[static_cast<size_t> (i + 1)], p - static_cast<float> (i));
}

std::uint32_t noteArgb (Rgb c) { return argb (truncated (c.r), truncated (c.g), truncated (c.b)); }
std::uint32_t unitArgb (Rgb c) { return argb (rounded (c.r), rounded (c.g), rounded (c.b)); }

NoteColours computeNoteColours (int numHeld, float darkBias, float lightBias)
{
    NoteColours result;
    result.colours.fill (grey);

    const auto n = std::clamp (numHeld, 0, numNoteColours - 1);

    if (n == 1)
    {
        result.colours[1] = noteArgb (trimmedColour (0.5f, darkBias, lightBias));
        result.positions[1] = 104.5f;
    }
    else if (n >= 2)
    {
        for (int i = 0; i < n; ++i)
        {
            const auto p = 209.0f / static_cast<float> (n - 1) * static_cast<float> (i);
            result.colours[static_cast<size_t> (i + 1)] = noteArgb (trimmedColour (p / 209.0f, darkBias, lightBias));
            result.positions[static_cast<size_t> (i + 1)] = p;
        }
    }

    return result;
}

double softmaxPosition (const std::vector<std::pair<double, double>>& candidates)
{
    if (candidates.empty())
        return 0.0;

    double m = -std::numeric_limits<double>::infinity();
    for (const auto& c : candidates)
        m = std::max (m, c.second);

    double total = 0.0, weighted = 0.0;
    for (const auto& [position, score] : candidates)
    {
        const auto w = std::exp (score - m);
        total += w;
        weighted += w * position;
    }

    return total > 0.0 ? std::clamp (weighted / total, 0.0, 209.0) : 0.0;
}

std::vector<std::uint32_t> computeUnitColours (const NeuralEngine::Matrix& readout, const NoteColours& notes,
                                               const PaletteInputs& settings, std::vector<float>* positions)
{
    if (readout.empty() || readout.front().empty() || settings.hiddenSize <= 0 || settings.numHeld <= 0)
        return {};

    const auto units = static_cast<size_t> (settings.hiddenSize);
    const auto n = std::min (settings.numHeld, numNoteColours - 1);
    std::vector<std::uint32_t> colours (units, grey);
    if (positions != nullptr)
        positions->assign (units, 0.0f);

    for (size_t i = 0; i < units; ++i)
    {
        std::vector<std::pair<double, double>> candidates;
        auto consider = [&] (size_t row, double position)
        {
            if (row < readout.size() && i < readout[row].size() && std::isfinite (readout[row][i]))
                candidates.emplace_back (position, 5.0 * static_cast<double> (readout[row][i]));
        };

        if (isRestEnabled (settings.breathGain))
            consider (0, 0.0);

        for (int s = 0; s < n; ++s)
            consider (static_cast<size_t> (s + 1), static_cast<double> (notes.positions[static_cast<size_t> (s + 1)]));

        const auto position = softmaxPosition (candidates);
        colours[i] = colourAt (position, settings);
        if (positions != nullptr)
            (*positions)[i] = static_cast<float> (position);
    }

    return colours;
}

std::uint32_t positionColour (const NeuralEngine::Matrix& input, const NeuralEngine::Matrix& readout, const NoteColours& notes,
                              const PaletteInputs& settings, float x, float y)
{
    if (input.empty() || input.front().size() < 54 || readout.empty() || settings.hiddenSize <= 0)
        return grey;

    x = std::clamp (x, -1.0f, 1.0f);
    y = std::clamp (y, -1.0f, 1.0f);
    std::vector<std::pair<double, double>> candidates;

    auto consider = [&] (int k, double position)
    {
        if (const auto response = controlResponse (input, readout, settings.hiddenSize, x, y, k))
            candidates.emplace_back (position, *response);
    };

    if (isRestEnabled (settings.breathGain))
        consider (0, 0.0);

    for (int s = 0; s < std::min (settings.numHeld, numNoteColours - 1); ++s)
        consider (s + 1, static_cast<double> (notes.positions[static_cast<size_t> (s + 1)]));

    return colourAt (softmaxPosition (candidates), settings);
}

} // namespace mur::palette
