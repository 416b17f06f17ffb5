#include "OfflineHost.h"
#include "PluginHost.h"

#include <gtest/gtest.h>

// A C-E-G chord played through the built VST3 with the host transport running.
namespace mur
{
namespace
{

TEST (Vst3Playback, ChordOnAPlayingTransportFollowsTheHostGrid)
{
    juce::String error;
    auto instance = host::loadVst3 (host::vst3BundleFor (juce::File (MUR_VST3_BINARY)), 44100.0, 512, error);
    ASSERT_NE (instance, nullptr) << error;

    render::SimulatedPlayHead playHead;
    playHead.bpm = 120.0;
    playHead.playing = true;
    instance->setPlayHead (&playHead);
    instance->prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    std::vector<std::pair<std::int64_t, juce::MidiMessage>> output;

    for (std::int64_t position = 0; position < 20480; position += 512)
    {
        midi.clear();
        if (position == 0)
            for (auto note : { 60, 64, 67 })
                midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);

        playHead.ppqPosition = static_cast<double> (position) / 44100.0 * 2.0;
        playHead.timeInSamples = position;
        audio.clear();
        instance->processBlock (audio, midi);

        for (const auto metadata : midi)
            output.emplace_back (position + metadata.samplePosition, metadata.getMessage());
    }

    instance->releaseResources();

    std::vector<std::int64_t> ons, offs;
    for (const auto& [sample, message] : output)
    {
        if (message.isNoteOn())
        {
            ons.push_back (sample);
            EXPECT_EQ (message.getChannel(), 1);
            EXPECT_EQ (message.getVelocity(), 100);
            const auto note = message.getNoteNumber();
            EXPECT_TRUE (note == 60 || note == 64 || note == 67) << note;
        }
        else if (message.isNoteOff())
            offs.push_back (sample);
    }

    EXPECT_EQ (ons, (std::vector<std::int64_t> { 0, 5513, 11025, 16538 }));
    EXPECT_EQ (offs, (std::vector<std::int64_t> { 2756, 5513 + 2756, 11025 + 2756, 16538 + 2756 }));
}

} // namespace
} // namespace mur

namespace mur
{
namespace
{

// Plays the same keys through an instance and returns everything it sent.
std::vector<std::pair<std::int64_t, juce::MidiMessage>> playKeys (juce::AudioPluginInstance& instance)
{
    render::SimulatedPlayHead playHead;
    playHead.bpm = 132.0;
    playHead.playing = true;
    instance.setPlayHead (&playHead);
    instance.prepareToPlay (48000.0, 256);

    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    std::vector<std::pair<std::int64_t, juce::MidiMessage>> output;

    for (std::int64_t position = 0; position < 48000 * 4; position += 256)
    {
        midi.clear();
        if (position == 0)
            for (auto note : { 48, 55, 63, 70 })
                midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (80 + note % 7)), 10);

        playHead.ppqPosition = static_cast<double> (position) / 48000.0 * 132.0 / 60.0;
        instance.processBlock (audio, midi);

        for (const auto metadata : midi)
            output.emplace_back (position + metadata.samplePosition, metadata.getMessage());
    }

    instance.releaseResources();
    instance.setPlayHead (nullptr);
    return output;
}

TEST (Vst3State, AStateMovedToAFreshInstancePlaysTheSameNotes)
{
    juce::String error;
    const auto bundle = host::vst3BundleFor (juce::File (MUR_VST3_BINARY));
    auto first = host::loadVst3 (bundle, 48000.0, 256, error);
    ASSERT_NE (first, nullptr) << error;

    // Move away from the defaults: a softer choice, rests, another rate.
    const auto parameters = host::visibleParameters (*first);
    parameters[0]->setValueNotifyingHost (0.3f);    // Breath
    parameters[58]->setValueNotifyingHost (0.45f);  // Random
    parameters[65]->setValueNotifyingHost (7.0f / 12.0f); // Rate 1/8
    parameters[55]->setValueNotifyingHost (0.5f);   // Capacity

    juce::MemoryBlock state;
    first->getStateInformation (state);
    ASSERT_GT (state.getSize(), 32036u);

    auto second = host::loadVst3 (bundle, 48000.0, 256, error);
    ASSERT_NE (second, nullptr) << error;
    second->setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    const auto a = playKeys (*first);
    const auto b = playKeys (*second);

    ASSERT_GT (a.size(), 20u);
    ASSERT_EQ (a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
    {
        EXPECT_EQ (a[i].first, b[i].first) << i;
        EXPECT_EQ (a[i].second.getDescription(), b[i].second.getDescription()) << i;
    }
}

} // namespace
} // namespace mur
