#include "TempoMap.h"

#include <algorithm>

namespace mur::render
{

TempoMap TempoMap::constant (double bpm, int ticksPerQuarter)
{
    TempoMap map;
    map.ticksPerQuarter = ticksPerQuarter;
    map.changes = { Change { 0.0, 0.0, bpm } };
    return map;
}

TempoMap TempoMap::fromFile (const juce::MidiFile& file, double fixedBpm)
{
    const auto format = file.getTimeFormat();
    TempoMap map;

    if (format <= 0)
    {
        // SMPTE: frames per second times ticks per frame; the beat is 120 BPM
        // unless a tempo is given.
        map.smpteTicksPerSecond = static_cast<double> (-(format >> 8)) * static_cast<double> (format & 0xff);
        map.changes = { Change { 0.0, 0.0, fixedBpm > 0.0 ? fixedBpm : 120.0 } };
        return map;
    }

    map.ticksPerQuarter = format;
    if (fixedBpm > 0.0)
    {
        map.changes = { Change { 0.0, 0.0, fixedBpm } };
        return map;
    }

    juce::MidiMessageSequence tempos;
    file.findAllTempoEvents (tempos);
    std::vector<std::pair<double, double>> events; // tick, bpm
    for (const auto* event : tempos)
        if (const auto perQuarter = event->message.getTempoSecondsPerQuarterNote(); perQuarter > 0.0)
            events.emplace_back (event->message.getTimeStamp(), 60.0 / perQuarter);
    std::stable_sort (events.begin(), events.end(), [] (const auto& a, const auto& b) { return a.first < b.first; });

    map.changes = { Change { 0.0, 0.0, 120.0 } };
    auto startSet = false;
    for (const auto& [tick, bpm] : events)
    {
        auto& last = map.changes.back();
        if (tick <= last.tick)
        {
            // At one tick the first event counts (the tempo track's, in a
            // type-1 file), except over the default at the start.
            if (map.changes.size() == 1 && ! startSet)
                last.bpm = bpm;
            startSet = true;
            continue;
        }
        const auto seconds = last.seconds + (tick - last.tick) / map.ticksPerQuarter * 60.0 / last.bpm;
        map.changes.push_back ({ tick, seconds, bpm });
    }
    return map;
}

const TempoMap::Change& TempoMap::changeAtSeconds (double seconds) const
{
    auto it = std::upper_bound (changes.begin(), changes.end(), seconds, [] (double s, const Change& c) { return s < c.seconds; });
    return it == changes.begin() ? changes.front() : *std::prev (it);
}

const TempoMap::Change& TempoMap::changeAtTick (double tick) const
{
    auto it = std::upper_bound (changes.begin(), changes.end(), tick, [] (double t, const Change& c) { return t < c.tick; });
    return it == changes.begin() ? changes.front() : *std::prev (it);
}

double TempoMap::secondsAtTick (double tick) const
{
    if (smpteTicksPerSecond > 0.0)
        return tick / smpteTicksPerSecond;
    const auto& c = changeAtTick (tick);
    return c.seconds + (tick - c.tick) / ticksPerQuarter * 60.0 / c.bpm;
}

double TempoMap::tickAtSeconds (double seconds) const
{
    const auto& c = changeAtSeconds (seconds);
    return c.tick + (seconds - c.seconds) * c.bpm / 60.0 * ticksPerQuarter;
}

double TempoMap::bpmAtSeconds (double seconds) const
{
    return changeAtSeconds (seconds).bpm;
}

double TempoMap::nextChangeAfter (double seconds) const
{
    for (const auto& c : changes)
        if (c.seconds > seconds)
            return c.seconds;
    return -1.0;
}

} // namespace mur::render
