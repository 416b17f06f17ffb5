#include "TakeBuilder.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <limits>

namespace mur
{
namespace
{
// Far below a tick of any file: positions this close count as the same.
constexpr double tick = 1.0e-6;

double barLength (const TakeBuilder::MeterPoint& meter) noexcept
{
    return std::max (1.0e-3, 4.0 * meter.numerator / std::max (1, meter.denominator));
}
} // namespace

void TakeBuilder::drain (const TakeRecorder& recorder)
{
    incoming.clear();
    const auto read = recorder.read (cursor, incoming);
    add (incoming, read.lost, recorder.now());
}

void TakeBuilder::add (const std::vector<TakeEvent>& events, std::uint64_t lost, TakeRecorder::Now now)
{
    lossPending = lossPending || lost > 0;
    auto changed = false;

    for (const auto& event : events)
    {
        // Entries lost in the middle of a take leave only what follows them.
        if (event.take != take || lossPending)
            startTake (event, lossPending);
        lossPending = false;
        changed = true;

        switch (event.kind)
        {
            case TakeEvent::Kind::noteOn:
            case TakeEvent::Kind::noteOff:
                if (event.quarters >= floor - tick)
                {
                    notes.push_back ({ event.quarters, event.kind == TakeEvent::Kind::noteOn, event.note, event.velocity });
                    sounding.set (static_cast<size_t> (event.note & 0x7f), notes.back().on);
                }
                break;
            case TakeEvent::Kind::tempo:
                tempos.push_back ({ event.quarters, event.bpm });
                break;
            case TakeEvent::Kind::meter:
                meters.push_back ({ std::max (event.quarters, meters.back().quarters), event.numerator, event.denominator });
                break;
            case TakeEvent::Kind::takeEnd:
                ended = true;
                break;
        }

        end = std::max (end, event.quarters);
    }

    // An open take's time runs on; it moves the clip's end only while a note
    // still sounds.
    if (now.take == take && take != 0 && ! ended && now.quarters > end)
    {
        end = now.quarters;
        changed = changed || sounding.any();
    }

    if (changed)
    {
        keepNewestBars();
        ++generation;
    }
}

void TakeBuilder::clear()
{
    const auto tempo = tempoAt (end);
    const auto meter = meters.empty() ? MeterPoint {} : meterAt (end);
    notes.clear();
    sounding.reset();
    tempos = { { end, tempo } };
    meters = { meter };
    truncated = false;
    floor = end;
    ++generation;
}

void TakeBuilder::startTake (const TakeEvent& first, bool afterLoss)
{
    take = first.take;
    notes.clear();
    sounding.reset();
    tempos = { { first.quarters, first.bpm } };
    meters = { { first.barAnchor, first.numerator, first.denominator } };
    end = first.quarters;
    ended = false;
    truncated = afterLoss;
    floor = std::numeric_limits<double>::lowest();
    // What is left of a take that lost its beginning starts at a bar line.
    if (afterLoss)
        floor = barAtOrAfter (first.quarters);
}

void TakeBuilder::keepNewestBars()
{
    if (notes.size() <= static_cast<size_t> (maxEvents))
        return;

    const auto cutoff = barAtOrAfter (notes[notes.size() - static_cast<size_t> (maxEvents)].quarters);
    std::erase_if (notes, [cutoff] (const Note& n) { return n.quarters < cutoff - tick; });
    // A pitch whose every message was cut no longer sounds in the take.
    sounding.reset();
    for (const auto& n : notes)
        sounding.set (static_cast<size_t> (n.note & 0x7f), n.on);
    floor = cutoff;
    truncated = true;
}

//==============================================================================
const TakeBuilder::MeterPoint& TakeBuilder::meterAt (double q) const
{
    auto it = std::upper_bound (meters.begin(), meters.end(), q + tick,
                                [] (double value, const MeterPoint& m) { return value < m.quarters; });
    return it == meters.begin() ? meters.front() : *std::prev (it);
}

double TakeBuilder::barAtOrBefore (double q) const
{
    const auto& meter = meterAt (q);
    const auto length = barLength (meter);
    return meter.quarters + std::floor ((q - meter.quarters + tick) / length) * length;
}

double TakeBuilder::barAtOrAfter (double q) const
{
    const auto bar = barAtOrBefore (q);
    if (q - bar <= tick)
        return bar;

    auto next = bar + barLength (meterAt (q));
    // A new metre starts its own bar, even where the old bar was not over.
    for (const auto& meter : meters)
        if (meter.quarters > bar + tick && meter.quarters < next)
            next = meter.quarters;
    return next;
}

double TakeBuilder::tempoAt (double q) const
{
    auto bpm = tempos.empty() ? 120.0 : tempos.front().bpm;
    for (const auto& point : tempos)
        if (point.quarters <= q + tick)
            bpm = point.bpm;
    return bpm;
}

//==============================================================================
TakeBuilder::Range TakeBuilder::wholeRange() const
{
    const auto firstOn = std::find_if (notes.begin(), notes.end(), [] (const Note& n) { return n.on; });
    if (firstOn == notes.end())
        return {};

    std::bitset<128> open;
    auto last = firstOn->quarters;
    for (auto it = firstOn; it != notes.end(); ++it)
    {
        const auto pitch = static_cast<size_t> (it->note & 0x7f);
        if (it->on || open[pitch])
            last = std::max (last, it->quarters);
        open.set (pitch, it->on);
    }
    if (open.any())
        last = std::max (last, end);

    Range range;
    range.start = barAtOrBefore (firstOn->quarters);
    range.end = barAtOrAfter (last);
    if (range.end <= range.start + tick)
        range.end = barAtOrAfter (range.start + 2.0 * tick);

    // Bounded: a take of more bars than this holds no more notes than the
    // kept events allow anyway.
    for (auto bar = range.start; bar < range.end - tick && range.bars < 1000000; ++range.bars)
        bar = barAtOrAfter (bar + 2.0 * tick);
    return range;
}

TakeBuilder::Range TakeBuilder::range (int bars) const
{
    auto whole = wholeRange();
    if (bars <= 0 || whole.bars <= bars)
        return whole;

    auto start = whole.end;
    for (int i = 0; i < bars; ++i)
        start = barAtOrBefore (start - 2.0 * tick);

    // Bars that hold only the tail of a note give no clip: the range
    // reaches back to the bar of the last note-on.
    const auto lastOn = std::find_if (notes.rbegin(), notes.rend(), [] (const Note& n) { return n.on; });
    if (lastOn->quarters < start - tick)
    {
        const auto widened = barAtOrBefore (lastOn->quarters);
        for (auto bar = widened; bar < start - tick; bar = barAtOrAfter (bar + 2.0 * tick))
            ++bars;
        start = widened;
    }
    return { start, whole.end, bars };
}

TakeBuilder::Clip TakeBuilder::clip (int bars) const
{
    Clip clip;
    clip.range = range (bars);
    if (clip.range.bars == 0)
        return clip;

    const auto start = clip.range.start;
    std::bitset<128> open;
    for (const auto& n : notes)
    {
        if (n.quarters < start - tick)
            continue;

        const auto pitch = static_cast<size_t> (n.note & 0x7f);
        // A note-off whose note-on came before the clip, or was already
        // ended, ends nothing here.
        if (! n.on && ! open[pitch])
            continue;
        open.set (pitch, n.on);
        clip.notes.push_back ({ std::max (0.0, n.quarters - start), n.on, n.note, n.velocity });
    }

    const auto close = std::min (end, clip.range.end) - start;
    for (int pitch = 0; pitch < 128; ++pitch)
        if (open[static_cast<size_t> (pitch)])
            clip.notes.push_back ({ close, false, pitch, 0 });

    clip.tempos.push_back ({ 0.0, tempoAt (start) });
    for (const auto& point : tempos)
        if (point.quarters > start + tick && point.quarters < clip.range.end - tick && point.bpm != clip.tempos.back().bpm)
            clip.tempos.push_back ({ point.quarters - start, point.bpm });

    const auto& first = meterAt (start);
    clip.meters.push_back ({ 0.0, first.numerator, first.denominator });
    for (const auto& meter : meters)
        if (meter.quarters > start + tick && meter.quarters < clip.range.end - tick)
            clip.meters.push_back ({ meter.quarters - start, meter.numerator, meter.denominator });
    return clip;
}

} // namespace mur
