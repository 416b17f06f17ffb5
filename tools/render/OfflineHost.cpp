#include "OfflineHost.h"

#include <cmath>

namespace mur::render
{

juce::Optional<juce::AudioPlayHead::PositionInfo> SimulatedPlayHead::getPosition() const
{
    PositionInfo info;
    info.setBpm (bpm);
    info.setTimeSignature (TimeSignature { numerator, denominator });
    if (ppqEveryNthBlock > 0 && blockIndex % ppqEveryNthBlock == 0)
    {
        info.setPpqPosition (ppqPosition);
        const auto bar = 4.0 * numerator / denominator;
        info.setPpqPositionOfLastBarStart (std::floor (ppqPosition / bar + 1.0e-9) * bar);
    }
    info.setIsPlaying (playing);
    info.setTimeInSamples (timeInSamples);
    return info;
}

OfflineHost::OfflineHost (ArpAudioProcessor& p, double rate, int maxBlockSize)
    : processor (p), sampleRate (rate), audio (2, juce::jmax (1, maxBlockSize))
{
    midi.ensureSize (65536);
    processor.setPlayHead (&playHead);
    processor.setRateAndBufferSizeDetails (rate, maxBlockSize);
    processor.prepareToPlay (rate, maxBlockSize);
}

OfflineHost::~OfflineHost()
{
    processor.releaseResources();
    processor.setPlayHead (nullptr);
}

void OfflineHost::setPlaying (bool shouldPlay)
{
    setPpqPosition (playHead.ppqPosition);
    playHead.playing = shouldPlay;
}

void OfflineHost::setTempo (double bpm)
{
    setPpqPosition (playHead.ppqPosition);
    playHead.bpm = bpm;
}

void OfflineHost::setPpqPosition (double ppq)
{
    playHead.ppqPosition = originPpq = ppq;
    originSample = position;
}

void OfflineHost::processBlock (int numSamples, const std::vector<TimedMessage>& input)
{
    midi.clear();

    for (const auto& timed : input)
        if (timed.sample >= position && timed.sample < position + numSamples)
            midi.addEvent (timed.message, static_cast<int> (timed.sample - position));

    audio.setSize (2, numSamples, false, false, true);
    playHead.timeInSamples = position;

    if (playHead.playing)
        playHead.ppqPosition = originPpq + static_cast<double> (position - originSample) / sampleRate * playHead.bpm / 60.0;

    processor.processBlock (audio, midi);
    ++playHead.blockIndex;

    for (const auto metadata : midi)
        output.push_back ({ position + metadata.samplePosition, metadata.getMessage() });

    position += numSamples;
}

void OfflineHost::run (std::int64_t numSamples, int blockSize, const std::vector<TimedMessage>& input)
{
    const auto end = position + numSamples;

    while (position < end)
        processBlock (static_cast<int> (juce::jmin<std::int64_t> (blockSize, end - position)), input);
}

} // namespace mur::render
