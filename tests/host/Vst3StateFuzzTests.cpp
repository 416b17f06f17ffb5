#include "BuiltVst3.h"
#include "Scenario.h"
#include "persistence/StateMutations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

// Damaged projects delivered to the built VST3 exactly as a host delivers a
// saved state: through the component's setState, wrapper and all.
namespace mur
{
namespace
{

using fuzz::Bytes;

constexpr const char* privateDataIdentifier = "JUCEPrivateData";

// The component state a host saves: the plug-in's own document, then the
// wrapper's private data and its length, then the wrapper's identifier.
Bytes componentStateOf (juce::AudioPluginInstance& instance)
{
    juce::MemoryBlock hostState;
    instance.getStateInformation (hostState);
    const auto head = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), static_cast<int> (hostState.getSize()));
    juce::MemoryBlock component;

    if (head != nullptr)
        if (const auto* child = head->getChildByName ("IComponent"))
            component.fromBase64Encoding (child->getAllSubText());

    return fuzz::toBytes (component);
}

void setComponentState (juce::AudioPluginInstance& instance, const Bytes& component)
{
    juce::XmlElement head ("VST3PluginState");
    head.createNewChildElement ("IComponent")->addTextElement (juce::MemoryBlock (component.data(), component.size()).toBase64Encoding());
    juce::MemoryBlock hostState;
    juce::AudioProcessor::copyXmlToBinary (head, hostState);
    instance.setStateInformation (hostState.getData(), static_cast<int> (hostState.getSize()));
}

// Where the wrapper's trailer starts, or the size when there is none.
size_t trailerStart (const Bytes& component)
{
    const auto idLength = std::strlen (privateDataIdentifier);
    if (component.size() < idLength + 16
        || std::memcmp (component.data() + component.size() - idLength, privateDataIdentifier, idLength) != 0)
        return component.size();

    std::uint64_t privateSize = 0;
    std::memcpy (&privateSize, component.data() + component.size() - idLength - 8, 8);
    const auto trailer = privateSize + idLength + 16;
    return trailer <= component.size() ? component.size() - static_cast<size_t> (trailer) : component.size();
}

void writeLength (Bytes& bytes, size_t offset, std::uint64_t value, size_t width)
{
    for (size_t i = 0; i < width && offset + i < bytes.size(); ++i)
        bytes[offset + i] = static_cast<std::uint8_t> (value >> (8 * i));
}

// The lengths a damaged byte or two make of a real one.
std::uint64_t damagedLength (std::uint64_t real, juce::Random& random)
{
    const std::uint64_t choices[] = { real + 1, real + 8, real * 2 + 100, 0x7fffffffULL, 0xffffffffULL,
                                      0xffffffffffffffffULL, 0x8000000000000000ULL, real ^ (1ULL << random.nextInt (64)) };
    return choices[random.nextInt (8)];
}

Bytes mutateComponent (Bytes component, juce::Random& random, const std::vector<Bytes>& pool)
{
    const auto idLength = std::strlen (privateDataIdentifier);

    switch (random.nextInt (4))
    {
        case 0: // the private data's length
            if (component.size() >= idLength + 8)
            {
                const auto offset = component.size() - idLength - 8;
                std::uint64_t real = 0;
                std::memcpy (&real, component.data() + offset, 8);
                writeLength (component, offset, damagedLength (real, random), 8);
            }
            return component;

        case 1: // the length of a binary XML document (the earlier state form)
        {
            auto legacy = pool.back();
            std::uint32_t real = 0;
            std::memcpy (&real, legacy.data() + 4, 4);
            writeLength (legacy, 4, damagedLength (real, random), 4);
            const auto cut = trailerStart (component);
            legacy.insert (legacy.end(), component.begin() + static_cast<std::ptrdiff_t> (cut), component.end());
            return legacy;
        }

        default: // the plug-in's own document damaged in every other way
        {
            const auto cut = trailerStart (component);
            Bytes document (component.begin(), component.begin() + static_cast<std::ptrdiff_t> (cut));
            auto damaged = fuzz::mutate (document, random, pool);
            if (random.nextBool())
                damaged.insert (damaged.end(), component.begin() + static_cast<std::ptrdiff_t> (cut), component.end());
            return damaged;
        }
    }
}

// Note-ons of the chord the cross-platform scenario plays on a running transport.
int notesPlayed (juce::AudioPluginInstance& instance)
{
    int notes = 0;
    for (const auto& line : juce::StringArray::fromLines (scenario::playChord (instance)))
        notes += line.contains (" 144 ") && ! line.endsWith (" 0") ? 1 : 0;
    return notes;
}

TEST (Vst3StateFuzz, DamagedProjectsThroughTheWrapperNeverCrashTheHost)
{
    auto instance = host::loadBuiltVst3();
    ASSERT_NE (instance, nullptr);

    // Real component states of a few settings, and the plug-in documents to splice in.
    const auto fresh = componentStateOf (*instance);
    std::vector<Bytes> components;
    juce::Random random (20261209);
    for (int i = 0; i < 3; ++i)
    {
        for (auto* parameter : instance->getParameters())
            parameter->setValue (random.nextFloat());
        components.push_back (componentStateOf (*instance));
    }
    ASSERT_GT (components.front().size(), 32036u);
    ASSERT_NE (trailerStart (components.front()), components.front().size()) << "the wrapper's trailer is where it was";

    std::vector<Bytes> documents { fuzz::goodDocument (1, true), fuzz::goodDocument (2, false), fuzz::legacyDocument (4) };

    for (int iteration = 0; iteration < 20000; ++iteration)
    {
        const auto& base = components[static_cast<size_t> (random.nextInt (static_cast<int> (components.size())))];
        setComponentState (*instance, random.nextInt (20) == 0 ? base : mutateComponent (base, random, documents));

        if (iteration % 500 != 0)
            continue;

        for (auto* parameter : instance->getParameters())
        {
            const auto value = parameter->getValue();
            ASSERT_TRUE (std::isfinite (value) && value >= 0.0f && value <= 1.0f) << parameter->getName (64) << ", iteration " << iteration;
        }
    }

    // Still a working instrument, with every parameter finite and in range.
    for (auto* parameter : instance->getParameters())
    {
        const auto value = parameter->getValue();
        EXPECT_TRUE (std::isfinite (value) && value >= 0.0f && value <= 1.0f) << parameter->getName (64);
    }

    setComponentState (*instance, fresh);
    EXPECT_GT (notesPlayed (*instance), 10);
}

} // namespace
} // namespace mur
