#include "Renderer.h"
#include "StepStatistics.h"
#include "processor/AccentGains.h"
#include "processor/NoteSlots.h"

#include <map>

namespace mur::render
{
namespace
{
juce::String periodText (int period)
{
    return period > 0 ? juce::String (period) + " steps" : juce::String ("none within the render");
}
} // namespace

std::vector<PlottedNote> pairNotes (const std::vector<std::pair<double, juce::MidiMessage>>& events, const std::vector<std::int64_t>& samples)
{
    std::vector<PlottedNote> notes;
    std::map<int, size_t> sounding;
    for (size_t i = 0; i < events.size(); ++i)
    {
        const auto& [quarter, message] = events[i];
        const auto key = message.getChannel() * 128 + message.getNoteNumber();
        if (message.isNoteOn())
        {
            sounding[key] = notes.size();
            notes.push_back ({ quarter, quarter, message.getNoteNumber(), message.getVelocity(), i < samples.size() ? samples[i] : 0 });
        }
        else if (message.isNoteOff())
        {
            if (auto it = sounding.find (key); it != sounding.end())
            {
                notes[it->second].end = quarter;
                sounding.erase (it);
            }
        }
    }
    for (const auto& [key, index] : sounding)
        notes[index].end = events.empty() ? notes[index].start : events.back().first;
    return notes;
}

void analyseSteps (RenderSummary& summary, const ArpAudioProcessor& processor)
{
    const auto& mirrors = processor.getSettings().getMirrors();
    const auto rate = mirrors.rateIndex.get();
    const auto q = quarterNotesPerStep (rate);
    summary.quartersPerStep = q;
    if (summary.held.empty())
        return;

    auto firstHeld = summary.held.front().start, lastHeld = summary.held.front().end;
    for (const auto& n : summary.held)
    {
        firstHeld = std::min (firstHeld, n.start);
        lastHeld = std::max (lastHeld, n.end);
    }
    const auto firstStep = static_cast<std::int64_t> (std::ceil (firstHeld / q - 1.0e-6));
    const auto lastStep = static_cast<std::int64_t> (std::ceil (lastHeld / q - 1.0e-6)) - 1;
    if (lastStep < firstStep)
        return;

    summary.firstStepQuarter = static_cast<double> (firstStep) * q;
    summary.stepPitches.assign (static_cast<size_t> (lastStep - firstStep + 1), -1);
    for (const auto& n : summary.played)
    {
        const auto step = static_cast<std::int64_t> (std::llround (n.start / q)) - firstStep;
        if (step >= 0 && step < static_cast<std::int64_t> (summary.stepPitches.size()))
            summary.stepPitches[static_cast<size_t> (step)] = n.pitch;
    }

    const auto numSteps = mirrors.numSteps.get();
    const auto startStep = mirrors.pulseTimeShiftStep.get();
    for (size_t i = 0; i < summary.stepPitches.size(); ++i)
    {
        const auto pattern = hostSyncedAccentStep (summary.firstStepQuarter + static_cast<double> (i) * q, numSteps, startStep, rate);
        summary.stepAccents.push_back (pattern >= 0 ? processor.getSettings().getBeatPulseGain (pattern) : 0.0f);
    }

    // A new chord begins wherever a held note begins.
    std::vector<double> starts;
    for (const auto& n : summary.held)
        if (starts.empty() || std::abs (starts.back() - n.start) > 1.0e-6)
            starts.push_back (n.start);
    std::sort (starts.begin(), starts.end());
    starts.erase (std::unique (starts.begin(), starts.end(), [] (double a, double b) { return std::abs (a - b) < 1.0e-6; }), starts.end());

    for (size_t c = 0; c < starts.size(); ++c)
    {
        RenderSummary::Chord chord;
        for (const auto& n : summary.held)
            if (n.start <= starts[c] + 1.0e-6 && n.end > starts[c] + 1.0e-6)
                chord.pitches.push_back (n.pitch);
        std::sort (chord.pitches.begin(), chord.pitches.end());
        chord.pitches.erase (std::unique (chord.pitches.begin(), chord.pitches.end()), chord.pitches.end());
        std::vector<HeldNote> keys;
        for (auto pitch : chord.pitches)
            keys.push_back ({ pitch, 100 });
        NoteSlots slots;
        expandSlots (keys, static_cast<int> (keys.size()), mirrors.octaveRange, slots);
        for (int s = 0; s < slots.size(); ++s)
            chord.slotPitches.push_back (slots[s].note);
        const auto from = std::max<std::int64_t> (firstStep, static_cast<std::int64_t> (std::ceil (starts[c] / q - 1.0e-6)));
        const auto to = c + 1 < starts.size() ? static_cast<std::int64_t> (std::ceil (starts[c + 1] / q - 1.0e-6)) : lastStep + 1;
        chord.firstStep = static_cast<int> (from - firstStep);
        chord.numSteps = static_cast<int> (std::max<std::int64_t> (0, to - from));
        if (chord.numSteps > 0 && ! chord.pitches.empty())
            summary.chords.push_back (std::move (chord));
    }
}
juce::String RenderSummary::describe() const
{
    juce::String text;
    if (presetName.isNotEmpty())
        text << "preset:     " << presetName << "\n";
    text << "tempo:      " << juce::String (tempoBpm, 2) << " BPM" << (tempoChanges ? " at the start (the file's tempo map is followed)" : "")
         << ", " << numerator << "/" << denominator << "\n"
         << "duration:   " << juce::String (seconds, 2) << " s (" << juce::String (quarters, 2) << " quarter notes)\n"
         << "steps:      " << steps << " (" << notes << " notes, " << rests << " rests";
    if (skipped > 0)
        text << ", " << skipped << " skipped while a note still sounded";
    text << ")\n"
         << "per slot:  ";
    for (int s = 0; s < slotsUsed; ++s)
        text << " " << (s + 1) << ":" << perSlot[static_cast<size_t> (s)];
    text << "\n"
         << "pitches:    " << distinctPitches (stepPitches) << " distinct; longest run of one pitch " << longestRun (stepPitches) << "; "
         << juce::String (100.0 * repeatShare (stepPitches), 1) << " % of steps repeat the previous pitch\n"
         << "repeats:    " << periodText (shortestPeriod (stepPitches)) << "\n";
    return text;
}

juce::String RenderSummary::toJson() const
{
    auto object = std::make_unique<juce::DynamicObject>();
    object->setProperty ("preset", presetName);
    object->setProperty ("tempoBpm", tempoBpm);
    object->setProperty ("tempoChanges", tempoChanges);
    object->setProperty ("timeSignature", juce::String (numerator) + "/" + juce::String (denominator));
    object->setProperty ("seconds", seconds);
    object->setProperty ("quarterNotes", quarters);
    object->setProperty ("heldChordNotes", static_cast<juce::int64> (heldChordNotes));
    object->setProperty ("steps", static_cast<juce::int64> (steps));
    object->setProperty ("notes", static_cast<juce::int64> (notes));
    object->setProperty ("rests", static_cast<juce::int64> (rests));
    object->setProperty ("skipped", static_cast<juce::int64> (skipped));
    juce::Array<juce::var> slots;
    for (int s = 0; s < slotsUsed; ++s)
        slots.add (static_cast<juce::int64> (perSlot[static_cast<size_t> (s)]));
    object->setProperty ("perSlot", slots);
    object->setProperty ("distinctPitches", distinctPitches (stepPitches));
    object->setProperty ("longestRun", longestRun (stepPitches));
    object->setProperty ("repeatShare", repeatShare (stepPitches));
    const auto period = shortestPeriod (stepPitches);
    object->setProperty ("period", period > 0 ? juce::var (period) : juce::var());
    juce::Array<juce::var> pitches;
    for (auto p : stepPitches)
        pitches.add (p);
    object->setProperty ("stepPitches", pitches);
    return juce::JSON::toString (juce::var (object.release()), true);
}

} // namespace mur::render
