#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// What the Linux and the Windows builds are both asked to play, so that their
// outputs can be compared byte for byte: a C-E-G chord at 120 BPM on a
// playing transport from ppq 0, 44.1 kHz, 512-sample blocks, eight seconds.
namespace mur::scenario
{

struct TransportAt120 final : juce::AudioPlayHead
{
    juce::Optional<PositionInfo> getPosition() const override
    {
        PositionInfo info;
        info.setBpm (120.0);
        info.setTimeSignature (TimeSignature { 4, 4 });
        info.setPpqPosition (ppq);
        info.setIsPlaying (true);
        return info;
    }

    double ppq = 0.0;
};

// Breath, Random, Rate and Capacity away from their defaults.
inline void changeParameters (juce::AudioPluginInstance& instance)
{
    const auto& parameters = instance.getParameters();
    parameters[0]->setValueNotifyingHost (0.3f);
    parameters[58]->setValueNotifyingHost (0.45f);
    parameters[65]->setValueNotifyingHost (7.0f / 12.0f);
    parameters[55]->setValueNotifyingHost (0.5f);
}

// One line per output MIDI message: its sample, then its bytes in decimal.
inline juce::String playChord (juce::AudioPluginInstance& instance)
{
    TransportAt120 playHead;
    instance.setPlayHead (&playHead);
    instance.prepareToPlay (44100.0, 512);

    juce::AudioBuffer<float> audio (2, 512);
    juce::MidiBuffer midi;
    juce::String lines;

    for (juce::int64 position = 0; position < 44100 * 8; position += 512)
    {
        midi.clear();
        if (position == 0)
            for (auto note : { 60, 64, 67 })
                midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);

        playHead.ppq = static_cast<double> (position) / 44100.0 * 2.0;
        instance.processBlock (audio, midi);

        for (const auto metadata : midi)
        {
            lines << juce::String (position + metadata.samplePosition);
            for (int i = 0; i < metadata.numBytes; ++i)
                lines << " " << juce::String (static_cast<int> (metadata.data[i]));
            lines << "\n";
        }
    }

    instance.releaseResources();
    instance.setPlayHead (nullptr);
    return lines;
}

} // namespace mur::scenario
