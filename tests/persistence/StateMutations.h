#pragma once

#include "persistence/NetworkBlock.h"
#include "plugin/ArpAudioProcessor.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Damaged state documents, made deterministically from good ones.
namespace mur::fuzz
{

using Bytes = std::vector<std::uint8_t>;

inline Bytes toBytes (const juce::MemoryBlock& block)
{
    const auto* data = static_cast<const std::uint8_t*> (block.getData());
    return Bytes (data, data + block.getSize());
}

inline Bytes goodDocument (int seed, bool transport)
{
    ArpAudioProcessor p;
    juce::Random random (seed);
    p.getSettings().reseed (seed);
    p.getSettings().setHiddenSize (random.nextInt ({ 2, 51 }));
    p.getSettings().setNumSteps (random.nextInt ({ 2, 65 }));
    p.getSettings().ensureBeatPulseGainCount (p.getSettings().getMirrors().numSteps);
    p.getSettings().setXYCheckpoints ({ { random.nextFloat(), -random.nextFloat(), 0xff123456 } });
    juce::MemoryBlock block;
    p.getStateDocument().write (block, transport);
    return toBytes (block);
}

inline Bytes legacyDocument (int seed)
{
    ArpAudioProcessor p;
    auto tree = p.getParameterTree().copyState();
    tree.setProperty ("arpSeed", seed, nullptr);
    Bytes raw (31212, 0);
    for (size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t> ((i * 7 + static_cast<size_t> (seed)) & 0x3f);
    raw[0] = 54; raw[4] = 50; raw[8] = 51;
    tree.setProperty ("rnnWeightsBase64", juce::MemoryBlock (raw.data(), raw.size()).toBase64Encoding(), nullptr);
    tree.appendChild (juce::ValueTree ("BeatPulseGains").setProperty ("NumGains", 900000, nullptr), nullptr);
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (*tree.createXml(), block);
    return toBytes (block);
}

inline Bytes mutate (Bytes doc, juce::Random& random, const std::vector<Bytes>& pool)
{
    switch (random.nextInt (7))
    {
        case 0: // truncated
            doc.resize (static_cast<size_t> (random.nextInt (static_cast<int> (doc.size()) + 1)));
            break;

        case 1: // bits flipped
            for (int i = random.nextInt ({ 1, 40 }); --i >= 0 && ! doc.empty();)
                doc[static_cast<size_t> (random.nextInt (static_cast<int> (doc.size())))] ^= static_cast<std::uint8_t> (1 << random.nextInt (8));
            break;

        case 2: // spliced with another document
        {
            const auto& other = pool[static_cast<size_t> (random.nextInt (static_cast<int> (pool.size())))];
            const auto cutA = static_cast<size_t> (random.nextInt (static_cast<int> (doc.size()) + 1));
            const auto cutB = static_cast<size_t> (random.nextInt (static_cast<int> (other.size()) + 1));
            doc.resize (cutA);
            doc.insert (doc.end(), other.begin() + static_cast<std::ptrdiff_t> (cutB), other.end());
            break;
        }

        case 3: // random bytes
            doc.resize (static_cast<size_t> (random.nextInt (5000)));
            for (auto& b : doc)
                b = static_cast<std::uint8_t> (random.nextInt (256));
            break;

        case 4: // a huge or negative count somewhere in the network block
        {
            const auto marker = std::search (doc.begin(), doc.end(), networkMarker, networkMarker + networkMarkerLength);
            if (marker != doc.end())
            {
                const auto offset = static_cast<size_t> (marker - doc.begin()) + networkMarkerLength + 4 * static_cast<size_t> (random.nextInt (8));
                const std::int32_t values[] = { 0x7fffffff, -1, 1001, 1000, 0, 49, 14 };
                const auto v = static_cast<std::uint32_t> (values[random.nextInt (7)]);
                for (size_t i = 0; i < 4 && offset + i < doc.size(); ++i)
                    doc[offset + i] = static_cast<std::uint8_t> (v >> (8 * i));
            }
            break;
        }

        case 5: // the marker moved to around the search limit
        {
            const auto marker = std::search (doc.begin(), doc.end(), networkMarker, networkMarker + networkMarkerLength);
            if (marker != doc.end())
                doc.insert (marker, static_cast<size_t> (9990 + random.nextInt (20)), static_cast<std::uint8_t> ('-'));
            break;
        }

        default: // extreme attribute values
        {
            auto text = juce::String::fromUTF8 (reinterpret_cast<const char*> (doc.data()), static_cast<int> (std::find (doc.begin(), doc.end(), 0) - doc.begin()));
            const char* extremes[] = { "1e309", "-1e309", "nan", "99999999999", "-7", "", "0x10", "1.5e-320" };
            text = text.replace ("=\"", "=\"" + juce::String (extremes[random.nextInt (8)]), false);
            const auto utf8 = text.toStdString();
            const auto zero = std::find (doc.begin(), doc.end(), 0);
            Bytes rebuilt (utf8.begin(), utf8.end());
            rebuilt.insert (rebuilt.end(), zero, doc.end());
            doc = std::move (rebuilt);
            break;
        }
    }

    return doc;
}

} // namespace mur::fuzz
