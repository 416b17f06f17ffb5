#include "NetworkBlock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace mur
{
namespace
{
constexpr std::int32_t maxCount = 1000;

void appendInt (std::vector<std::uint8_t>& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t> (value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back (static_cast<std::uint8_t> (bits >> shift));
}

void appendFloat (std::vector<std::uint8_t>& out, float value)
{
    std::uint32_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    appendInt (out, static_cast<std::int32_t> (bits));
}

void appendVector (std::vector<std::uint8_t>& out, const std::vector<float>& values)
{
    appendInt (out, static_cast<std::int32_t> (values.size()));
    for (auto v : values)
        appendFloat (out, v);
}

void appendMatrix (std::vector<std::uint8_t>& out, const NeuralEngine::Matrix& m)
{
    appendInt (out, static_cast<std::int32_t> (m.size()));
    for (const auto& row : m)
        appendVector (out, row);
}

// Reads little-endian values and remembers whether the data ran out.
class Reader
{
public:
    Reader (const std::uint8_t* d, std::size_t n) : data (d), size (n) {}

    std::size_t remaining() const noexcept { return size - position; }
    bool failed() const noexcept { return bad; }

    std::int32_t readInt() noexcept
    {
        if (remaining() < 4)
        {
            bad = true;
            return 0;
        }

        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= static_cast<std::uint32_t> (data[position++]) << (8 * i);
        return static_cast<std::int32_t> (bits);
    }

    float readFloat() noexcept
    {
        const auto bits = static_cast<std::uint32_t> (readInt());
        float value;
        std::memcpy (&value, &bits, sizeof (value));

        if (! std::isfinite (value))
            bad = true;

        return value;
    }

    // Reads n floats; refuses before allocating when the data cannot hold them.
    bool readFloats (std::size_t n, std::vector<float>& out)
    {
        if (bad || remaining() / 4 < n)
        {
            bad = true;
            return false;
        }

        out.resize (n);
        for (auto& v : out)
            v = readFloat();
        return ! bad;
    }


private:
    const std::uint8_t* data;
    std::size_t size, position = 0;
    bool bad = false;
};

bool inBounds (std::int32_t count) noexcept { return count >= 1 && count <= maxCount; }

bool readMatrix (Reader& reader, NeuralEngine::Matrix& m)
{
    const auto rows = reader.readInt();
    if (reader.failed() || ! inBounds (rows))
        return false;

    m.clear();
    for (std::int32_t r = 0; r < rows; ++r)
    {
        const auto length = reader.readInt();
        if (reader.failed() || ! inBounds (length))
            return false;

        m.emplace_back();
        if (! reader.readFloats (static_cast<std::size_t> (length), m.back()))
            return false;
    }

    return true;
}

std::optional<std::size_t> findMarker (const std::uint8_t* data, std::size_t size)
{
    // The writer puts the marker right after the XML text's terminating zero.
    // Counting the search limit from there keeps a long document (many pad
    // checkpoints) from losing its network; without a zero byte the search
    // starts at the beginning.
    const auto* zero = static_cast<const std::uint8_t*> (std::memchr (data, 0, size));
    const auto first = zero != nullptr ? static_cast<std::size_t> (zero - data) : std::size_t { 0 };
    const auto limit = std::min (size, first + networkMarkerSearchLimit);

    for (std::size_t i = first; i < limit; ++i)
        if (data[i] == '-' && size - i >= networkMarkerLength
            && std::memcmp (data + i, networkMarker, networkMarkerLength) == 0)
            return i + networkMarkerLength;

    return std::nullopt;
}
} // namespace

void appendNetworkBlock (std::vector<std::uint8_t>& out, const NetworkCopy& network)
{
    appendInt (out, network.inputs);
    appendInt (out, network.hidden);
    appendInt (out, network.outputs);
    appendMatrix (out, network.input);
    appendMatrix (out, network.recurrent);
    appendMatrix (out, network.readout);
    appendVector (out, network.state);
    appendVector (out, network.bias);
}

std::optional<StoredNetwork> readNetworkBlock (const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr)
        return std::nullopt;

    const auto start = findMarker (data, size);
    if (! start)
        return std::nullopt;

    Reader reader (data + *start, size - *start);
    StoredNetwork network;
    network.inputs = reader.readInt();
    network.hidden = reader.readInt();
    network.outputs = reader.readInt();

    const bool knownLayout = (network.inputs == 54 && network.outputs == 51) || (network.inputs == 14 && network.outputs == 11);
    if (reader.failed() || ! knownLayout || ! inBounds (network.hidden))
        return std::nullopt;

    if (! readMatrix (reader, network.input) || ! readMatrix (reader, network.recurrent)
        || ! readMatrix (reader, network.readout))
        return std::nullopt;

    const auto stateLength = reader.readInt();
    if (reader.failed() || ! inBounds (stateLength) || ! reader.readFloats (static_cast<std::size_t> (stateLength), network.state))
        return std::nullopt;

    if (reader.remaining() >= 4)
    {
        const auto biasLength = reader.readInt();
        if (inBounds (biasLength) && reader.remaining() / 4 >= static_cast<std::size_t> (biasLength))
        {
            std::vector<float> bias;
            if (! reader.readFloats (static_cast<std::size_t> (biasLength), bias))
                return std::nullopt;
            network.bias = std::move (bias);
        }
    }

    return network;
}

std::optional<StoredNetwork> readLegacyNetwork (const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size <= 11)
        return std::nullopt;

    Reader reader (data, size);
    StoredNetwork network;
    network.inputs = reader.readInt();
    network.hidden = reader.readInt();
    network.outputs = reader.readInt();

    if (! inBounds (network.inputs) || ! inBounds (network.hidden) || ! inBounds (network.outputs))
        return std::nullopt;

    const auto e = static_cast<std::size_t> (network.inputs), h = static_cast<std::size_t> (network.hidden),
               f = static_cast<std::size_t> (network.outputs);

    if (size < 12 + 4 * h * (e + h + f + 1))
        return std::nullopt;

    auto readRows = [&reader] (std::size_t rows, std::size_t length, NeuralEngine::Matrix& m)
    {
        m.assign (rows, {});
        for (auto& row : m)
            if (! reader.readFloats (length, row))
                return false;
        return true;
    };

    if (! readRows (h, e, network.input) || ! readRows (h, h, network.recurrent) || ! readRows (f, h, network.readout)
        || ! reader.readFloats (h, network.state))
        return std::nullopt;

    return network;
}

} // namespace mur
