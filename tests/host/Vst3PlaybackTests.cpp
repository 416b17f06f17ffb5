#include "BuiltVst3.h"
#include "Scenario.h"

#include <gtest/gtest.h>

// A C-E-G chord played through the built VST3 with the host transport running.
namespace mur
{
namespace
{

std::unique_ptr<juce::AudioPluginInstance> load() { return host::loadBuiltVst3 (44100.0); }

TEST (Vst3Playback, ChordOnAPlayingTransportFollowsTheHostGrid)
{
    auto instance = load();
    ASSERT_NE (instance, nullptr);

    // Each line: sample, then the message's bytes.
    std::vector<std::int64_t> ons, offs;
    for (const auto& line : juce::StringArray::fromLines (scenario::playChord (*instance)))
    {
        const auto fields = juce::StringArray::fromTokens (line, " ", {});
        if (fields.size() != 4)
            continue;

        const auto sample = fields[0].getLargeIntValue();
        const auto status = fields[1].getIntValue();
        const auto note = fields[2].getIntValue();

        if (status == 0x90 && fields[3].getIntValue() > 0)
        {
            ons.push_back (sample);
            EXPECT_EQ (fields[3].getIntValue(), 100);
            EXPECT_TRUE (note == 60 || note == 64 || note == 67) << note;
        }
        else if (status == 0x80)
        {
            offs.push_back (sample);
        }
    }

    ASSERT_GE (ons.size(), 4u);
    ASSERT_GE (offs.size(), 4u);
    EXPECT_EQ (std::vector<std::int64_t> (ons.begin(), ons.begin() + 4), (std::vector<std::int64_t> { 0, 5513, 11025, 16538 }));
    EXPECT_EQ (std::vector<std::int64_t> (offs.begin(), offs.begin() + 4),
               (std::vector<std::int64_t> { 2756, 5513 + 2756, 11025 + 2756, 16538 + 2756 }));
}

TEST (Vst3State, AStateMovedToAFreshInstancePlaysTheSameNotes)
{
    auto first = load();
    ASSERT_NE (first, nullptr);
    scenario::changeParameters (*first);

    juce::MemoryBlock state;
    first->getStateInformation (state);
    ASSERT_GT (state.getSize(), 32036u);

    auto second = load();
    ASSERT_NE (second, nullptr);
    second->setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    const auto a = scenario::playChord (*first);
    EXPECT_GT (juce::StringArray::fromLines (a).size(), 20);
    EXPECT_EQ (scenario::playChord (*second), a);

    // And a fresh instance at its defaults plays something else.
    auto defaults = load();
    EXPECT_NE (scenario::playChord (*defaults), a);
}

} // namespace
} // namespace mur
