#include "Renderer.h"

#include "persistence/MidiClipFile.h"

#include "StepStatistics.h"
#include "TempoMap.h"
#include "processor/AccentGains.h"
#include "processor/ParameterIds.h"
#include "processor/ParameterLayout.h"

namespace mur::render
{
namespace
{

std::optional<int> rateIndexFor (const juce::String& text)
{
    const auto index = rateChoices().indexOf (text.trim());
    if (index >= 0)
        return index;

    double value = 0.0;
    if (parseNumber (text, value) && value >= 0.0 && value <= 12.0 && value == std::floor (value))
        return static_cast<int> (value);

    return std::nullopt;
}

} // namespace

juce::String usage()
{
    return juce::String ("usage: mur-render [INPUT.mid] [options]\n"
           "\n"
           "Plays the held chords of a standard MIDI file (type 0 or 1, any channel) through MUR\n"
           "behind a simulated host transport that follows the file's tempo map, and writes the\n"
           "arpeggio as a MIDI file on channel 1 with the same tempo map and time signature.\n"
           "Without INPUT it renders a built-in demo (Am F C G, two bars each) to mur-demo.mid\n"
           "in the current folder, played with the factory preset \"") + demoPresetName + "\".\n"
           "\n"
           "  -o, --output FILE       where to write (default: INPUT-mur.mid in the current folder)\n"
           "  --bpm N                 one tempo for the whole file instead of its tempo map\n"
           "  --rate R                step length: 1/96 1/64 1/48 1/32 1/24 1/16 1/12 1/8 1/6 1/4 1/3 1/2 1/1\n"
           "  --sample-rate N         host sample rate (default 48000)\n"
           "  --block N               host block size in samples (default 512)\n"
           "  --preset NAME|FILE      start from a preset, by name (see --list-presets) or file\n"
           "  --defaults              start from the plain defaults (the demo's preset is not used)\n"
           "  --set NAME=VALUE        set a parameter by ID or display name, e.g. --set Random=0.4\n"
           "                          --set \"Length %=80\" --set Hold=on; --set values apply after the preset\n"
           "  --list-presets          print the factory and user presets, then stop\n"
           "  --list-params           print every parameter (ID, name, range, default, value), then stop\n"
           "  --plot FILE.png|.svg    also draw a piano roll of the held chords and the arpeggio\n"
           "  --json                  print the summary as one JSON object\n"
           "  --snapshot FILE.png     write a picture of the editor instead (with --size WxH, default 1078x539)\n"
           "  --area X,Y,W,H          only that part of the picture, in the window's 1078x539 units\n"
           "  --view NAME             the network view in the picture: activity, map or topology (default activity)\n"
           "  --steps N               play N steps of the demo before the picture (default 0)\n"
           "  --progress              always show the progress bar\n"
           "  -h, --help              this text\n";
}

std::optional<RenderOptions> parseArguments (const juce::StringArray& args, juce::String& error)
{
    RenderOptions options;
    const auto cwd = juce::File::getCurrentWorkingDirectory();

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];
        auto next = [&] (juce::String& value)
        {
            if (i + 1 >= args.size())
            {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };

        juce::String value;
        double number = 0.0;

        // A numeric option's value, checked against its limits.
        auto numberIn = [&] (double low, double high, bool whole, const char* what)
        {
            if (! next (value))
                return false;

            if (! parseNumber (value, number) || number < low || number > high || (whole && number != std::floor (number)))
            {
                error = arg + " takes " + what + " from " + juce::String (low) + " to " + juce::String (high)
                      + ", not \"" + value + "\"";
                return false;
            }
            return true;
        };

        if (arg == "-h" || arg == "--help")
            options.showHelp = true;
        else if (arg == "--defaults")
            options.useDefaults = true;
        else if (arg == "--json")
            options.json = true;
        else if (arg == "--list-presets")
            options.listPresets = true;
        else if (arg == "--list-params")
            options.listParams = true;
        else if (arg == "--preset")
        {
            if (! next (value))
                return std::nullopt;
            options.preset = value;
        }
        else if (arg == "--plot")
        {
            if (! next (value))
                return std::nullopt;
            options.plot = cwd.getChildFile (value);
            if (! options.plot.hasFileExtension ("png;svg"))
            {
                error = "--plot writes a .png or .svg file, not \"" + value + "\"";
                return std::nullopt;
            }
        }
        else if (arg == "--progress")
            options.showProgress = true;
        else if (arg == "-o" || arg == "--output" || arg == "--snapshot")
        {
            if (! next (value))
                return std::nullopt;
            (arg == "--snapshot" ? options.snapshot : options.output) = cwd.getChildFile (value);
        }
        else if (arg == "--size")
        {
            if (! next (value))
                return std::nullopt;
            const auto w = value.upToFirstOccurrenceOf ("x", false, true).getIntValue();
            const auto h = value.fromFirstOccurrenceOf ("x", false, true).getIntValue();
            if (w < 539 || w > 2156 || h < 270 || h > 1078 || ! value.containsOnly ("0123456789xX"))
            {
                error = "--size takes WIDTHxHEIGHT between 539x270 and 2156x1078, not \"" + value + "\"";
                return std::nullopt;
            }
            options.snapshotOptions.width = w;
            options.snapshotOptions.height = h;
        }
        else if (arg == "--area")
        {
            if (! next (value))
                return std::nullopt;
            juce::StringArray parts;
            parts.addTokens (value, ",", {});
            const juce::Rectangle<int> area (parts[0].getIntValue(), parts[1].getIntValue(), parts[2].getIntValue(), parts[3].getIntValue());
            if (parts.size() != 4 || ! value.containsOnly ("0123456789,") || area.isEmpty()
                || ! juce::Rectangle<int> (1078, 539).contains (area))
            {
                error = "--area takes X,Y,WIDTH,HEIGHT inside the 1078x539 window, not \"" + value + "\"";
                return std::nullopt;
            }
            options.snapshotOptions.area = area;
        }
        else if (arg == "--view")
        {
            if (! next (value))
                return std::nullopt;
            const juce::StringArray names { "activity", "map", "topology" };
            options.snapshotOptions.view = names.indexOf (value.toLowerCase());
            if (options.snapshotOptions.view < 0)
            {
                error = "--view takes activity, map or topology, not \"" + value + "\"";
                return std::nullopt;
            }
        }
        else if (arg == "--steps")
        {
            if (! numberIn (0.0, 100000.0, true, "a whole number of steps"))
                return std::nullopt;
            options.snapshotOptions.steps = static_cast<int> (number);
        }
        else if (arg == "--bpm")
        {
            if (! numberIn (1.0, 999.0, false, "a tempo"))
                return std::nullopt;
            options.bpm = number;
        }
        else if (arg == "--rate")
        {
            if (! next (value))
                return std::nullopt;
            const auto rate = rateIndexFor (value);
            if (! rate)
            {
                error = "--rate takes one of " + rateChoices().joinIntoString (" ") + " (or 0 to 12), not \"" + value + "\"";
                return std::nullopt;
            }
            options.settings.emplace_back (ids::at (ids::pos::beatRate), juce::String (*rate));
        }
        else if (arg == "--sample-rate")
        {
            if (! numberIn (8000.0, 384000.0, false, "a sample rate"))
                return std::nullopt;
            options.sampleRate = number;
        }
        else if (arg == "--block")
        {
            if (! numberIn (1.0, 65536.0, true, "a whole number of samples"))
                return std::nullopt;
            options.blockSize = static_cast<int> (number);
        }
        else if (arg == "--set")
        {
            if (! next (value))
                return std::nullopt;
            if (! value.contains ("="))
            {
                error = "--set takes NAME=VALUE, not \"" + value + "\"";
                return std::nullopt;
            }
            options.settings.emplace_back (value.upToFirstOccurrenceOf ("=", false, false).trim(),
                                           value.fromFirstOccurrenceOf ("=", false, false).trim());
        }
        else if (arg.startsWith ("-"))
        {
            error = "unknown option " + arg + "\n\n" + usage();
            return std::nullopt;
        }
        else if (options.input == juce::File())
            options.input = cwd.getChildFile (arg);
        else
        {
            error = "only one input file, please (got \"" + arg + "\" as well)";
            return std::nullopt;
        }
    }

    if (options.useDefaults && options.preset.isNotEmpty())
    {
        error = "--defaults and --preset exclude each other";
        return std::nullopt;
    }

    if (options.output == juce::File())
        options.output = options.input == juce::File() ? cwd.getChildFile ("mur-demo.mid")
                                                       : cwd.getChildFile (options.input.getFileNameWithoutExtension() + "-mur.mid");

    return options;
}

bool applyPresetAndSettings (ArpAudioProcessor& processor, const RenderOptions& options, juce::String& error,
                             juce::String* appliedPreset)
{
    // The demo plays its factory preset unless another, or none, was asked for.
    auto preset = options.preset;
    if (preset.isEmpty() && options.input == juce::File() && ! options.useDefaults)
        preset = demoPresetName;

    juce::String applied;
    if (preset.isNotEmpty() && ! applyPreset (processor, preset, error, applied))
        return false;
    if (appliedPreset != nullptr)
        *appliedPreset = applied;

    for (const auto& [id, value] : options.settings)
        if (! applySetting (processor, id, value, error))
            return false;

    return true;
}

juce::MidiFile demoProgression()
{
    juce::MidiMessageSequence track;
    constexpr int ticksPerQuarter = 480, bar = 4 * ticksPerQuarter;
    const std::vector<std::vector<int>> chords { { 57, 60, 64, 69 }, { 53, 57, 60, 65 }, { 48, 52, 55, 60 }, { 55, 59, 62, 67 } };

    auto tempo = juce::MidiMessage::tempoMetaEvent (500000);
    tempo.setTimeStamp (0);
    track.addEvent (tempo);

    for (size_t c = 0; c < chords.size(); ++c)
    {
        const auto start = static_cast<double> (c * 2 * bar);
        for (auto note : chords[c])
        {
            track.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (96)), start);
            track.addEvent (juce::MidiMessage::noteOff (1, note), start + 2 * bar - 1);
        }
    }

    track.updateMatchedPairs();
    juce::MidiFile file;
    file.setTicksPerQuarterNote (ticksPerQuarter);
    file.addTrack (track);
    return file;
}

namespace
{
// Reads the input, or says in `error` why it cannot be used.
std::optional<juce::MidiFile> readInput (const juce::File& input, juce::String& error)
{
    if (input == juce::File())
        return demoProgression();

    if (! input.existsAsFile())
    {
        error = "no such file: " + input.getFullPathName();
        return std::nullopt;
    }

    juce::FileInputStream stream (input);
    if (! stream.openedOk())
    {
        error = "cannot read " + input.getFullPathName();
        return std::nullopt;
    }

    juce::MidiFile file;
    int type = -1;
    if (! file.readFrom (stream, true, &type) || file.getNumTracks() == 0)
    {
        error = input.getFullPathName() + " is not a standard MIDI file";
        return std::nullopt;
    }
    if (type == 2)
    {
        error = input.getFullPathName() + " is a type-2 MIDI file (independent patterns, each with its own time), "
                "which has no single timeline to arpeggiate; save it as type 0 or 1";
        return std::nullopt;
    }

    for (int t = 0; t < file.getNumTracks(); ++t)
        for (const auto* event : *file.getTrack (t))
            if (event->message.isNoteOn())
                return file;

    error = "no notes in " + input.getFullPathName();
    return std::nullopt;
}

// The file's time signature at its start (4/4 when it gives none).
std::pair<int, int> firstTimeSignature (const juce::MidiFile& file)
{
    juce::MidiMessageSequence signatures;
    file.findAllTimeSigEvents (signatures);
    for (const auto* event : signatures)
    {
        int numerator = 4, denominator = 4;
        event->message.getTimeSignatureInfo (numerator, denominator);
        if (numerator > 0 && denominator > 0)
            return { numerator, denominator };
    }
    return { 4, 4 };
}

// The output's tempo map and time signatures, in quarter notes.
void addMeta (midifile::Clip& clip, const juce::MidiFile& file, const TempoMap& map, bool followsFile)
{
    for (const auto& change : map.getChanges())
        clip.tempos.push_back ({ map.quartersAtSeconds (change.seconds), change.bpm });

    juce::MidiMessageSequence signatures;
    if (followsFile)
        file.findAllTimeSigEvents (signatures);
    for (const auto* event : signatures)
    {
        int numerator = 4, denominator = 4;
        event->message.getTimeSignatureInfo (numerator, denominator);
        clip.meters.push_back ({ map.quartersAtSeconds (map.secondsAtTick (event->message.getTimeStamp())), numerator, denominator });
    }
}

} // namespace

std::optional<RenderSummary> render (const RenderOptions& options, juce::String& error,
                                     const std::function<void (double)>& progress)
{
    const auto file = readInput (options.input, error);
    if (! file)
        return std::nullopt;

    RenderSummary summary;
    const auto map = TempoMap::fromFile (*file, options.bpm.value_or (0.0));
    summary.tempoBpm = map.bpmAtSeconds (0.0);
    summary.tempoChanges = map.getChanges().size() > 1;
    std::tie (summary.numerator, summary.denominator) = options.bpm ? std::pair { 4, 4 } : firstTimeSignature (*file);
    const auto sampleRate = options.sampleRate;
    auto sampleOf = [&] (double tick) { return static_cast<std::int64_t> (std::llround (map.secondsAtTick (tick) * sampleRate)); };

    // Every channel is read; what matters is which keys are held.
    std::vector<TimedMessage> input;
    std::vector<std::pair<double, juce::MidiMessage>> heldEvents;
    for (int t = 0; t < file->getNumTracks(); ++t)
        for (const auto* event : *file->getTrack (t))
            if (const auto& message = event->message; ! message.isMetaEvent() && ! message.isSysEx())
            {
                input.push_back ({ sampleOf (message.getTimeStamp()), message });
                if (message.isNoteOnOrOff())
                    heldEvents.emplace_back (map.quartersAtSeconds (map.secondsAtTick (message.getTimeStamp())), message);
                summary.heldChordNotes += message.isNoteOn() ? 1 : 0;
            }

    std::stable_sort (input.begin(), input.end(), [] (const auto& a, const auto& b) { return a.sample < b.sample; });
    std::stable_sort (heldEvents.begin(), heldEvents.end(), [] (const auto& a, const auto& b) { return a.first < b.first; });
    summary.held = pairNotes (heldEvents);

    ArpAudioProcessor processor;
    processor.getSettings().setBeatRate (defaultRateIndex);

    if (! applyPresetAndSettings (processor, options, error, &summary.presetName))
        return std::nullopt;

    OfflineHost host (processor, sampleRate, options.blockSize);
    host.setPlaying (true);

    const auto lastInput = input.empty() ? 0 : input.back().sample;
    const auto tail = static_cast<std::int64_t> (sampleRate * 10.0);
    std::int64_t done = 0;

    // Play the file, then run on until every note-off has gone out. Each
    // block starts with the map's tempo and position, and a block ends where
    // the tempo changes, as a host that follows the map reports it.
    while (host.getSamplePosition() <= lastInput
           || (! processor.getPlayback().getPendingNoteOffs().empty() && host.getSamplePosition() < lastInput + tail))
    {
        const auto position = host.getSamplePosition();
        const auto seconds = static_cast<double> (position) / sampleRate;
        host.setTempo (map.bpmAtSeconds (seconds));
        host.setPpqPosition (map.quartersAtSeconds (seconds));

        auto length = static_cast<std::int64_t> (options.blockSize);
        if (const auto next = map.nextChangeAfter (seconds); next > 0.0)
            length = std::clamp<std::int64_t> (static_cast<std::int64_t> (std::ceil (next * sampleRate)) - position, 1, length);
        host.processBlock (static_cast<int> (length), input);

        const auto before = done;
        done += length;
        if (progress && done / (options.blockSize * 64) != before / (options.blockSize * 64))
            progress (juce::jmin (1.0, static_cast<double> (host.getSamplePosition()) / static_cast<double> (juce::jmax<std::int64_t> (1, lastInput))));
    }

    if (progress)
        progress (1.0);

    // One track: the tempo map and time signatures, then the notes.
    midifile::Clip clip;
    addMeta (clip, *file, map, ! options.bpm.has_value());

    std::vector<std::pair<double, juce::MidiMessage>> playedEvents;
    std::vector<std::int64_t> playedSamples;
    for (const auto& timed : host.getOutput())
    {
        const auto quarter = map.quartersAtSeconds (static_cast<double> (timed.sample) / sampleRate);
        const auto& message = timed.message;
        clip.events.emplace_back (quarter, message);
        if (message.isNoteOnOrOff())
        {
            auto placed = message;
            placed.setTimeStamp (std::round (quarter * midifile::ticksPerQuarter));
            playedEvents.emplace_back (quarter, placed);
            playedSamples.push_back (timed.sample);
        }
    }
    summary.played = pairNotes (playedEvents, playedSamples);

    if (! midifile::write (midifile::toMidiFile (clip), options.output).wasOk())
    {
        error = "cannot write " + options.output.getFullPathName();
        return std::nullopt;
    }

    const auto& counts = processor.getPlayback().getPlaybackCounts();
    summary.seconds = static_cast<double> (host.getSamplePosition()) / sampleRate;
    summary.quarters = map.quartersAtSeconds (summary.seconds);
    summary.steps = counts.steps;
    summary.rests = counts.rests;
    summary.skipped = counts.skipped;
    for (size_t s = 0; s < summary.perSlot.size(); ++s)
    {
        summary.perSlot[s] = counts.slots[s];
        summary.notes += summary.perSlot[s];
        if (summary.perSlot[s] > 0)
            summary.slotsUsed = static_cast<int> (s) + 1;
    }
    analyseSteps (summary, processor);
    return summary;
}

} // namespace mur::render
