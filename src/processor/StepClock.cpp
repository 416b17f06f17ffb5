#include "Playback.h"

#include "StepTiming.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The arpeggiator's clock (host-synced grid and free-running countdown), the
// accent input of each step and the step tick itself.
namespace mur
{
namespace
{
// Ticks one block may hold: far beyond any musical need, and a bound on the
// work a very long idle gap can cause.
constexpr int maxTicksPerBlock = 256;
constexpr size_t maxPendingNoteOffs = 100;
} // namespace

void Playback::startClock()
{
    arpRunning = true;
    freeRunStepCounter = 0;
    samplesUntilStep = stepSamples (stepSeconds, sampleRate);
}

//==============================================================================
void Playback::addHostSyncedTicks (int numSamples)
{
    lastBlockWallClockMs = 0.0;

    const double tempo = tempoBpm, rate = sampleRate, length = stepSeconds;

    if (! (tempo > 0.0 && rate > 0.0 && length > 0.0))
        return;

    // The grid is anchored at ppq 0. A grid point sounds at the first whole
    // sample at or after its exact time (allowing a millionth of a sample for
    // rounding in the host's position), and it belongs to the block holding
    // that sample. Starting one grid point early and skipping negative
    // positions keeps a point that falls between two blocks from being lost
    // or played twice, whatever the block size.
    const auto p = blockStartPpq;
    const auto stepQuarters = tempo * length / 60.0;
    const auto samplesPerQuarter = (60.0 / tempo) * rate;
    auto g = stepQuarters * std::floor ((p - 1.0 / samplesPerQuarter) / stepQuarters);

    for (int ticks = 0; ticks < maxTicksPerBlock + 2; ++ticks, g += stepQuarters)
    {
        const auto s = std::ceil ((g - p) * samplesPerQuarter - 1.0e-6);

        if (s >= numSamples)
            break;

        if (s >= 0.0)
            addEvent ({ static_cast<int> (s), EventKind::stepTick, 0, 0, 0 });
    }
}

void Playback::addFreeRunningTicks (int numSamples)
{
    const double rate = sampleRate;
    const auto now = wallClockMs != nullptr ? wallClockMs() : juce::Time::getMillisecondCounterHiRes();

    std::int64_t elapsed = numSamples;

    if (lastBlockWallClockMs > 0.0)
    {
        const auto measured = (now - lastBlockWallClockMs) * 0.001 * rate;
        elapsed = measured >= 1.0 && measured < 1.0e15 ? static_cast<std::int64_t> (measured) : numSamples;
    }

    lastBlockWallClockMs = now;

    auto countdown = static_cast<std::int64_t> (samplesUntilStep) - elapsed;

    if (countdown > 0)
    {
        samplesUntilStep = static_cast<std::int32_t> (countdown);
        return;
    }

    // A step shorter than one sample would never let the countdown recover.
    const auto stepLength = juce::jmax<std::int64_t> (1, stepSamples (stepSeconds, rate));
    std::int64_t g = 0;

    for (int ticks = 0;; ++ticks)
    {
        if (ticks == maxTicksPerBlock)
        {
            // Skip whatever else fell due without spending time on it.
            countdown += ((-countdown) / stepLength + 1) * stepLength;
            break;
        }

        g = g == 0 ? countdown + elapsed : g + stepLength;
        auto position = elapsed > numSamples ? g * numSamples / elapsed : g;
        position = juce::jlimit<std::int64_t> (0, juce::jmax (0, numSamples - 1), position);
        addEvent ({ static_cast<int> (position), EventKind::stepTick, 0, 0, 0 });

        countdown += stepLength;

        if (countdown > 0)
            break;
    }

    samplesUntilStep = static_cast<std::int32_t> (juce::jmin<std::int64_t> (countdown, std::numeric_limits<std::int32_t>::max()));
}

//==============================================================================
float Playback::accentInputForStep (int position) const
{
    const int n = mirrors.numSteps, start = mirrors.pulseTimeShiftStep;
    int step;

    if (blockIsHostSynced)
    {
        const auto quarters = blockStartPpq + static_cast<double> (position) / sampleRate * tempoBpm / 60.0;
        step = hostSyncedAccentStep (quarters, n, start, mirrors.rateIndex);

        if (step < 0)
            return 0.0f;
    }
    else
    {
        step = freeRunningAccentStep (freeRunningAccentPosition(), n, start);
    }

    return accentInputFor (beatPulseGains.gainOrFallback (step), mirrors.pulseGain);
}

int Playback::freeRunningAccentPosition() const noexcept
{
    const auto n = juce::jmax (1, mirrors.numSteps.get());
    return ((freeRunStepCounter % n) + n) % n;
}

void Playback::advanceFreeRunningAccent()
{
    // Only a step that actually ran moves the free-running pattern on.
    if (blockIsHostSynced)
        return;

    const auto k = freeRunningAccentPosition();
    accentStepForDisplay.store (k, std::memory_order_release);
    freeRunStepCounter = (k + 1) % juce::jmax (1, mirrors.numSteps.get());
}

void Playback::stepTick (int position)
{
    if (heldNotes.isEmpty())
        return;

    const auto skip = [&]
    {
        ++counts.skipped;
        return;
    };

    if (mirrors.gatePercentage < 100.0)
        for (const auto& entry : pendingNoteOffs)
            if (entry.dueSample > position)
                return skip();

    // Every note that sounds needs room for its note-off; without it the
    // step does not run rather than risk a stuck note.
    if (pendingNoteOffs.size() >= maxPendingNoteOffs)
        return skip();

    expandSlots (heldNotes, mirrors.octaveRange, slots);

    NetworkInputValues values;
    values.numHeld = slots.size();
    values.feedbackScale = mirrors.feedbackScale;
    values.breathGain = noteGains[0];
    values.controlInput0 = mirrors.controlInput0;
    values.controlInput1 = mirrors.controlInput1;
    values.accentValue = accentInputForStep (position);

    std::array<float, numOutputs> gains;
    for (size_t i = 0; i < gains.size(); ++i)
        gains[i] = noteGains[i];

    SelectionInputs settings;
    settings.noteGains = gains.data();
    settings.repeatGain = mirrors.repeatGain;
    settings.neighborGain = mirrors.neighborGain;
    settings.softmaxGain = mirrors.softmaxGain;

    auto& network = engine.live();
    const auto choice = runNetworkStep (network, noteChooser, workspace, values, settings, arpSeed);
    engine.publishLiveState();

    const auto& state = network.getState();
    const auto live = std::clamp (network.getActiveHiddenSize(), 0, std::min (maxHiddenUnits, static_cast<int> (state.size())));
    for (int i = 0; i < live; ++i)
        publishedState[static_cast<size_t> (i)] = state[static_cast<size_t> (i)];
    publishedStateSize = live;
    advanceFreeRunningAccent();

    for (size_t i = 0; i < publishedProbabilities.size(); ++i)
        publishedProbabilities[i] = workspace.probabilities[i];

    const auto gate = static_cast<int> (mirrors.gatePercentage / 100.0 * stepSeconds * sampleRate);
    ++counts.steps;

    if (choice >= 0 && choice < values.numHeld)
    {
        const auto held = slots[static_cast<int> (choice)];
        outputMidi.addEvent (juce::MidiMessage::noteOn (1, held.note, static_cast<juce::uint8> (held.velocity)), position);
        recorder.noteOn (held.note, held.velocity, position);
        pendingNoteOffs.push_back ({ held.note, position + gate });
        scheduleInThisBlock (EventKind::noteOffDue, held.note, position + gate);
        ++counts.slots[static_cast<size_t> (choice)];

        if (! stepTakenThisBlock)
            stepPublished.store (true, std::memory_order_release);
    }
    else if (choice == values.numHeld)
    {
        pendingNoteOffs.push_back ({ -1, position + gate });
        scheduleInThisBlock (EventKind::noteOffDue, -1, position + gate);
        ++counts.rests;
        stepPublished.store (true, std::memory_order_release);
    }
    else
    {
        ++counts.nothing;
    }

    stepTakenThisBlock = true;
}

} // namespace mur
