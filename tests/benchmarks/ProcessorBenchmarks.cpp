#include "OfflineHost.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/TakeBuilder.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <juce_events/juce_events.h>

// The heaviest realistic load: 50 held notes, all 50 hidden units, 1/96 steps
// at 300 BPM, 32-sample blocks at 48 kHz (a step every 12.5 blocks).
namespace
{
using namespace mur;

void worstCaseProcessBlock (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    ArpAudioProcessor processor;
    processor.getSettings().setHiddenSize (50);
    processor.getSettings().setBeatRate (0);
    processor.getSettings().setNoteGain (0, 0.3f);
    processor.getSettings().setNeighborGain (0.4f);

    render::SimulatedPlayHead playHead;
    playHead.bpm = 300.0;
    playHead.playing = true;
    processor.setPlayHead (&playHead);
    processor.prepareToPlay (48000.0, 32);

    juce::AudioBuffer<float> audio (2, 32);
    juce::MidiBuffer midi;
    midi.ensureSize (8192);

    for (int note = 30; note < 80; ++note)
        midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (90)), 0);

    std::int64_t position = 0;
    for (auto _ : state)
    {
        playHead.ppqPosition = static_cast<double> (position) / 48000.0 * 5.0;
        processor.processBlock (audio, midi);
        midi.clear();
        position += 32;
    }

    processor.setPlayHead (nullptr);
    // CPU time over the audio time processed, in percent.
    const auto audioSeconds = static_cast<double> (state.iterations()) * 32.0 / 48000.0;
    state.counters["realtime_percent"] = benchmark::Counter (audioSeconds / 100.0,
                                                             benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK (worstCaseProcessBlock)->Unit (benchmark::kMicrosecond);

// What capture adds to one block on the audio thread: the block's time, and
// as many note-ons and note-offs as the argument (2 is a busy 1/96 arpeggio
// at 32-sample blocks; 16 is far beyond any). The message thread's drain is
// measured beside it, per block's worth of entries.
void takeRecorderPerBlock (benchmark::State& state)
{
    TakeRecorder recorder;
    const auto events = static_cast<int> (state.range (0));
    BlockTime time { true, 0.0, 120.0, 48000.0, 4, 4, true, 0.0 };
    for (auto _ : state)
    {
        recorder.beginBlock (time);
        for (int i = 0; i < events; i += 2)
        {
            recorder.noteOn (60 + i % 12, 100, i);
            recorder.noteOff (60 + i % 12, i + 1);
        }
        recorder.endBlock (32);
        time.startPpq += 32.0 / 48000.0 * 2.0;
        time.barStartPpq = 4.0 * std::floor (time.startPpq / 4.0);
    }
}
BENCHMARK (takeRecorderPerBlock)->Arg (0)->Arg (2)->Arg (16)->Unit (benchmark::kNanosecond);

void takeDrainPerBlock (benchmark::State& state)
{
    TakeRecorder recorder;
    TakeBuilder take;
    BlockTime time { true, 0.0, 120.0, 48000.0, 4, 4, true, 0.0 };
    for (auto _ : state)
    {
        recorder.beginBlock (time);
        recorder.noteOn (60, 100, 0);
        recorder.noteOff (60, 16);
        recorder.endBlock (32);
        time.startPpq += 32.0 / 48000.0 * 2.0;
        take.drain (recorder);
    }
}
BENCHMARK (takeDrainPerBlock)->Unit (benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
