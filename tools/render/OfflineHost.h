#pragma once

#include "plugin/ArpAudioProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace mur::render
{

// A MIDI message at an absolute sample position.
struct TimedMessage
{
    std::int64_t sample = 0;
    juce::MidiMessage message;
};

// A host transport that runs in samples, not in real time.
class SimulatedPlayHead final : public juce::AudioPlayHead
{
public:
    juce::Optional<PositionInfo> getPosition() const override;

    double bpm = 120.0;
    int numerator = 4, denominator = 4; // one metre from ppq 0
    double ppqPosition = 0.0; // at the start of the current block
    bool playing = true;
    std::int64_t timeInSamples = 0;

    // Some hosts report the musical position only now and then: with N, only
    // every N-th block carries it (0: never).
    int ppqEveryNthBlock = 1;
    std::int64_t blockIndex = 0;
};

// Drives a processor block by block as a host would, feeding timed MIDI in and
// collecting the timed MIDI that comes out. Audio is a silent stereo buffer.
class OfflineHost
{
public:
    OfflineHost (ArpAudioProcessor& processor, double sampleRate, int maxBlockSize);
    ~OfflineHost();

    // Processes one block of numSamples; `input` holds messages at absolute
    // sample positions, and those inside this block are delivered.
    void processBlock (int numSamples, const std::vector<TimedMessage>& input = {});

    // Processes numSamples in blocks of at most blockSize.
    void run (std::int64_t numSamples, int blockSize, const std::vector<TimedMessage>& input = {});

    void setPlaying (bool shouldPlay);
    void setTempo (double bpm);
    void setPpqPosition (double ppq);
    void setPpqEveryNthBlock (int n) { playHead.ppqEveryNthBlock = n; }

    std::int64_t getSamplePosition() const noexcept { return position; }
    const std::vector<TimedMessage>& getOutput() const noexcept { return output; }
    std::vector<TimedMessage> takeOutput() { return std::exchange (output, {}); }

private:
    ArpAudioProcessor& processor;
    double sampleRate;
    SimulatedPlayHead playHead;
    juce::AudioBuffer<float> audio;
    juce::MidiBuffer midi;
    std::int64_t position = 0;
    std::vector<TimedMessage> output;

    // The transport position is computed from the sample count since the last
    // change, as a host does, so that rounding does not accumulate.
    double originPpq = 0.0;
    std::int64_t originSample = 0;
};

} // namespace mur::render
