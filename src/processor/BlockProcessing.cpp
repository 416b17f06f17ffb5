#include "Playback.h"

#include "StepTiming.h"

#include <algorithm>
#include <cmath>

// One block: the events it holds (keys, due note-offs, previews, ticks), in
// order, and what each does to the held notes and the output.
namespace mur
{
namespace
{
bool eventGoesBefore (const BlockEvent& a, const BlockEvent& b) noexcept
{
    if (a.position != b.position)
        return a.position < b.position;
    return eventClass (a.kind) < eventClass (b.kind);
}

juce::MidiMessage noteOff (int note) { return juce::MidiMessage::noteOff (1, note, static_cast<juce::uint8> (0)); }

// Note-ons and note-offs (a note-on of velocity 0 included) are keys; the
// rest passes through.
bool isNoteMessage (const juce::uint8* data, int size) noexcept
{
    const auto status = size > 0 ? (data[0] & 0xf0) : 0;
    return size >= 3 && (status == 0x80 || status == 0x90);
}
} // namespace

Playback::Playback (PlaybackInputs inputs, SharedEngine& sharedEngine)
    : source (inputs),
      mirrors (inputs.mirrors),
      noteGains (inputs.noteGains),
      beatPulseGains (inputs.beatPulseGains),
      arpSeed (inputs.arpSeed),
      engine (sharedEngine)
{
    positionInfo.setBpm (120.0);
    positionInfo.setTimeSignature (juce::AudioPlayHead::TimeSignature { 4, 4 });
    positionInfo.setIsPlaying (false);

    pendingNoteOffs.reserve (100);
    previewNoteOffs.reserve (128);
    blockEvents.reserve (2048);
    outputMidi.ensureSize (65536);

    noteChooser.noteChoiceRandom.seed (Mt19937::defaultSeed);
    noteChooser.seed (arpSeed);
}

void Playback::prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    stepSeconds = stepSecondsForRate (mirrors.rateIndex, tempoBpm);
    samplesUntilStep = stepSamples (stepSeconds, sampleRate);

    // Held notes, pending note-offs, the network state and the clock flags
    // all survive a re-prepare.
    if (blockEvents.capacity() < 2048)
        blockEvents.reserve (2048);
}

void Playback::holdModeChanged (bool nowHolding)
{
    // The key state belongs to the audio thread.
    requests.keysReset.fetch_add (1, std::memory_order_release);
    if (! nowHolding)
        requests.holdOff.fetch_add (1, std::memory_order_release);
}

void Playback::rateChanged()
{
    requests.rateChange.fetch_add (1, std::memory_order_release);
}

double Playback::getStepSeconds() const noexcept
{
    return stepSecondsForRate (source.mirrors.rateIndex, tempoBpm);
}

void Playback::queuePreviewNote (int note, int velocity)
{
    const auto request = PreviewRequest { juce::jlimit (0, 127, note), juce::jlimit (1, 127, velocity) };
    const auto scope = previewFifo.write (1);

    if (scope.blockSize1 > 0)
        previewRequests[static_cast<size_t> (scope.startIndex1)] = request;
    else if (scope.blockSize2 > 0)
        previewRequests[static_cast<size_t> (scope.startIndex2)] = request;
}

float Playback::getPublishedProbability (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numOutputs) ? publishedProbabilities[static_cast<size_t> (index)].get()
                                                        : 0.0f;
}

void Playback::copyPublishedState (std::vector<float>& destination) const
{
    destination.resize (static_cast<size_t> (std::clamp (publishedStateSize.get(), 0, maxHiddenUnits)));
    for (size_t i = 0; i < destination.size(); ++i)
        destination[i] = publishedState[i];
}

//==============================================================================
void Playback::process (juce::MidiBuffer& midi, int numSamples, juce::AudioPlayHead* playHead)
{
    outputMidi.clear();
    currentBlockLength = numSamples;
    takeSettings();

    stepTakenThisBlock = false;
    readHostPosition (playHead);
    hostPlaying.store (blockIsHostSynced, std::memory_order_release);
    recordBlockTime();

    blockEvents.clear();

    for (const auto& entry : previewNoteOffs)
        if (entry.dueSample < numSamples)
            addEvent ({ juce::jmax (0, entry.dueSample), EventKind::previewOffDue, entry.note, 0, entry.dueSample });

    previewFifo.read (previewFifo.getNumReady()).forEach ([this] (int index)
    {
        const auto& request = previewRequests[static_cast<size_t> (index)];
        addEvent ({ 0, EventKind::previewNoteOn, request.note, request.velocity, 0 });
    });

    // An entry due exactly at the end of this block goes out at the start of
    // the next, which is its exact time.
    for (const auto& entry : pendingNoteOffs)
        if (entry.dueSample < numSamples)
            addEvent ({ clampedPosition (entry.dueSample, numSamples), EventKind::noteOffDue, entry.note, 0,
                        entry.dueSample });

    // Events outside the block are dropped; a block of no samples still takes
    // what arrives at its position 0, so that no key release is lost.
    const auto inputEnd = juce::jmax (1, numSamples);
    bool keyDownInBlock = false;

    for (const auto metadata : midi)
    {
        const auto position = metadata.samplePosition;

        if (position < 0 || position >= inputEnd)
            continue;

        const auto* data = metadata.data;

        if (! isNoteMessage (data, metadata.numBytes))
            continue;

        if ((data[0] & 0xf0) == 0x90 && data[2] > 0)
        {
            addEvent ({ position, EventKind::keyDown, data[1] & 0x7f, data[2], 0 });
            keyDownInBlock = true;
        }
        else
        {
            addEvent ({ position, EventKind::keyUp, data[1] & 0x7f, 0, 0 });
        }
    }

    // With the transport playing, a chord that starts exactly on a grid point
    // (as every quantised clip does) plays that point: the grid is laid out
    // as soon as a key goes down in the block, and each tick finds out for
    // itself whether notes are held by then.
    if (blockIsHostSynced && (arpRunning || keyDownInBlock))
        addHostSyncedTicks (numSamples);
    else if (! blockIsHostSynced && arpRunning && ! heldNotes.isEmpty())
        addFreeRunningTicks (numSamples);

    sortBlockEvents();

    // Applying a step can schedule a note-off inside this same block; it is
    // inserted in order and applied when its position comes up.
    for (size_t i = 0; i < blockEvents.size(); ++i)
    {
        currentEventIndex = i;
        const auto event = blockEvents[i];

        switch (event.kind)
        {
            case EventKind::keyDown:        keyDown (event.note, event.value); break;
            case EventKind::keyUp:          keyUp (event.note); break;
            case EventKind::noteOffDue:     noteOffDue (event.note, event.dueSample, event.position); break;
            case EventKind::previewOffDue:  previewOffDue (event.note, event.dueSample, event.position); break;
            case EventKind::previewNoteOn:  previewNoteOn (event.note, event.value, event.position); break;
            case EventKind::stepTick:       stepTick (event.position); break;
        }
    }

    passThroughOtherMessages (midi, inputEnd);

    for (auto& entry : pendingNoteOffs)
        entry.dueSample -= numSamples;
    for (auto& entry : previewNoteOffs)
        entry.dueSample -= numSamples;

    transport.blockEnd (numSamples);
    recorder.endBlock (numSamples);
    midi.swapWith (outputMidi);
}

void Playback::passThroughOtherMessages (const juce::MidiBuffer& input, int inputEnd)
{
    // Everything but notes goes out where it came in. Added last, it follows
    // the notes of its own sample (the buffer keeps equal positions in the
    // order they were added), and however many a host sends (a controller
    // sweep, every MIDI-CC parameter at once) it never crowds a key out of
    // the block's event list.
    for (const auto metadata : input)
    {
        const auto position = metadata.samplePosition;

        if (position >= 0 && position < inputEnd && ! isNoteMessage (metadata.data, metadata.numBytes))
            outputMidi.addEvent (metadata.data, metadata.numBytes, position);
    }
}

//==============================================================================
void Playback::takeSettings()
{
    // Requests are counted before the settings are read, so that a setting
    // taken now is never older than a request carried out with it.
    const auto keysReset = requests.keysReset.load (std::memory_order_acquire);
    const auto holdOff = requests.holdOff.load (std::memory_order_acquire);
    const auto rateChange = requests.rateChange.load (std::memory_order_acquire);

    // While a load is open (or one opened while these were read), the block
    // plays on with the settings and the network it had.
    std::uint32_t ticket;
    if (! engine.beginTake (ticket))
        return;

    staging.mirrors = source.mirrors;
    for (size_t i = 0; i < noteGains.size(); ++i)
        staging.noteGains[i] = source.noteGains[i];
    staging.beatPulseGains = source.beatPulseGains;
    staging.arpSeed = source.arpSeed;

    if (! engine.finishTake (ticket))
        return;

    mirrors = staging.mirrors;
    noteGains = staging.noteGains;
    beatPulseGains = staging.beatPulseGains;
    arpSeed = staging.arpSeed;
    applyEngineCoefficients (engine.live(), mirrors);

    if (keysReset != seenKeysReset)
        keysDown.reset();

    if (holdOff != seenHoldOff)
    {
        relatchPending = false;
        heldNotes.clear();
        arpRunning = false;
    }

    if (rateChange != seenRateChange)
    {
        stepSeconds = stepSecondsForRate (mirrors.rateIndex, tempoBpm);
        samplesUntilStep = stepSamples (stepSeconds, sampleRate);
    }

    seenKeysReset = keysReset;
    seenHoldOff = holdOff;
    seenRateChange = rateChange;
}

void Playback::readHostPosition (juce::AudioPlayHead* host)
{
    const auto hasPlayHead = host != nullptr;
    std::optional<double> reportedPpq;

    if (host != nullptr)
    {
        if (const auto position = host->getPosition())
        {
            positionInfo = *position;
            if (const auto ppq = position->getPpqPosition())
                reportedPpq = *ppq;
        }

        const auto bpm = positionInfo.getBpm().orFallback (0.0);

        if (bpm > 0.0 && std::isfinite (bpm))
        {
            tempoBpm = bpm;
            stepSeconds = stepSecondsForRate (mirrors.rateIndex, bpm);
        }
    }

    const auto start = transport.blockStart (hasPlayHead && positionInfo.getIsPlaying(), reportedPpq, tempoBpm,
                                             sampleRate);
    blockIsHostSynced = start.has_value();

    if (start)
    {
        blockStartPpq = *start;
        positionInfo.setPpqPosition (*start);
        hostPpqPosition = *start;
    }
}

void Playback::recordBlockTime()
{
    BlockTime time;
    time.hostSynced = blockIsHostSynced;
    time.startPpq = blockStartPpq;
    time.bpm = tempoBpm;
    time.sampleRate = sampleRate;
    if (const auto signature = positionInfo.getTimeSignature())
    {
        time.numerator = signature->numerator;
        time.denominator = signature->denominator;
    }
    if (const auto barStart = positionInfo.getPpqPositionOfLastBarStart())
    {
        time.hasBarStart = true;
        time.barStartPpq = *barStart;
    }
    recorder.beginBlock (time);
}

int Playback::clampedPosition (int position, int numSamples) const noexcept
{
    // Note-offs that fell due before this block started, or exactly at its
    // end, go out at its first or last sample.
    return juce::jlimit (0, juce::jmax (0, numSamples - 1), position);
}

void Playback::addEvent (const BlockEvent& event)
{
    // The list never grows on the audio thread; past its reserve only step
    // ticks could still arrive, and those are left out.
    if (blockEvents.size() < blockEvents.capacity())
        blockEvents.push_back (event);
}

void Playback::scheduleInThisBlock (EventKind kind, int note, int dueSample)
{
    if (dueSample >= currentBlockLength || blockEvents.size() >= blockEvents.capacity())
        return;

    const BlockEvent event { juce::jmax (0, dueSample), kind, note, 0, dueSample };
    auto insertAt = currentEventIndex + 1;

    while (insertAt < blockEvents.size() && ! eventGoesBefore (event, blockEvents[insertAt]))
        ++insertAt;

    blockEvents.insert (blockEvents.begin() + static_cast<std::ptrdiff_t> (insertAt), event);
}

void Playback::sortBlockEvents()
{
    // Insertion sort: stable, in place and without heap use. Events arrive
    // nearly in order, so this is close to linear.
    const auto before = eventGoesBefore;

    for (size_t i = 1; i < blockEvents.size(); ++i)
    {
        auto moving = blockEvents[i];
        auto j = i;

        while (j > 0 && before (moving, blockEvents[j - 1]))
        {
            blockEvents[j] = blockEvents[j - 1];
            --j;
        }

        blockEvents[j] = moving;
    }
}

//==============================================================================
void Playback::keyDown (int note, int velocity)
{
    keysDown.set (static_cast<size_t> (note));

    if (! mirrors.holdMode)
    {
        if (heldNotes.contains (note) || ! heldNotes.insert ({ note, velocity }))
            return;

        if (heldNotes.size() == 1)
            startClock();
        return;
    }

    if (relatchPending)
    {
        if (keysDown.count() == 1)
            heldNotes.clear();

        if (heldNotes.insert ({ note, velocity }))
        {
            startClock();
            relatchPending = false;
        }
        return;
    }

    // A second press releases a latched note.
    if (const auto slot = heldNotes.indexOf (note); slot >= 0)
    {
        releaseHeldNote (slot);
        return;
    }

    if (heldNotes.insert ({ note, velocity }) && heldNotes.size() == 1)
        startClock();
}

void Playback::releaseHeldNote (int slot)
{
    heldNotes.removeAt (slot);

    if (heldNotes.isEmpty())
    {
        arpRunning = false;
        relatchPending = false;
    }
}

void Playback::keyUp (int note)
{
    keysDown.reset (static_cast<size_t> (note));

    if (! mirrors.holdMode)
    {
        if (const auto slot = heldNotes.indexOf (note); slot >= 0)
            releaseHeldNote (slot);
        return;
    }

    if (arpRunning && keysDown.none())
        relatchPending = true;
}

void Playback::noteOffDue (int note, int dueSample, int position)
{
    // Two entries can share a note and a due time (a note chosen again whose
    // gate ends together with the earlier one); the first event removes both
    // and the second finds nothing left to send.
    const auto removed = std::erase (pendingNoteOffs, PendingNoteOff { note, dueSample });

    if (note < 0 || removed == 0)
        return;

    // A note chosen again before this note-off fell due keeps sounding: only
    // its last note-off goes out.
    for (const auto& entry : pendingNoteOffs)
        if (entry.note == note && entry.dueSample > dueSample)
            return;

    outputMidi.addEvent (noteOff (note), position);
    recorder.noteOff (note, position);
}

void Playback::previewOffDue (int note, int dueSample, int position)
{
    const auto removed = std::erase (previewNoteOffs, PendingNoteOff { note, dueSample });

    if (removed > 0)
        outputMidi.addEvent (noteOff (note), position);
}

void Playback::previewNoteOn (int note, int velocity, int position)
{
    const auto quarterSecond = juce::jmax (1, static_cast<int> (sampleRate * 0.25));

    std::erase_if (previewNoteOffs, [note] (const PendingNoteOff& entry) { return entry.note == note; });

    if (previewNoteOffs.size() < previewNoteOffs.capacity())
    {
        previewNoteOffs.push_back ({ note, position + quarterSecond });
        scheduleInThisBlock (EventKind::previewOffDue, note, position + quarterSecond);
        outputMidi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (velocity)), position);
    }
}

} // namespace mur
