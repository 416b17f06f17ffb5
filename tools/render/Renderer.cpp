#include "Renderer.h"

#include "processor/ParameterIds.h"
#include "processor/ParameterLayout.h"

namespace mur::render
{
namespace
{
constexpr int outputTicksPerQuarter = 960;

bool parseNumber (const juce::String& text, double& value)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789.-+eE"))
        return false;

    value = trimmed.getDoubleValue();
    return std::isfinite (value);
}

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

// Applies one --set through the parameter, as host automation would.
bool applySetting (ArpAudioProcessor& processor, const juce::String& id, const juce::String& text, juce::String& error)
{
    auto* parameter = processor.getParameterTree().getParameter (id);

    if (parameter == nullptr)
    {
        error = "unknown parameter ID \"" + id + "\" (the IDs are: " + ids::all().joinIntoString (", ") + ")";
        return false;
    }

    double value = 0.0;

    if (! parseNumber (text, value))
    {
        if (auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter); choice != nullptr && choice->choices.contains (text.trim()))
            value = choice->choices.indexOf (text.trim());
        else if (auto* toggle = dynamic_cast<juce::AudioParameterBool*> (parameter); toggle != nullptr && (text == "on" || text == "off"))
            value = text == "on" ? 1.0 : 0.0;
        else
        {
            error = "the value \"" + text + "\" for " + id + " is not a number";
            return false;
        }
    }

    const auto& range = parameter->getNormalisableRange();

    if (value < static_cast<double> (range.start) || value > static_cast<double> (range.end))
    {
        error = "the value " + text + " for " + id + " is outside its range " + juce::String (range.start) + " to "
              + juce::String (range.end);
        return false;
    }

    parameter->setValueNotifyingHost (parameter->convertTo0to1 (static_cast<float> (value)));
    return true;
}

double firstTempo (const juce::MidiFile& file)
{
    juce::MidiMessageSequence tempos;
    file.findAllTempoEvents (tempos);

    for (const auto* event : tempos)
        if (event->message.isTempoMetaEvent() && event->message.getTempoSecondsPerQuarterNote() > 0.0)
            return 60.0 / event->message.getTempoSecondsPerQuarterNote();

    return 120.0;
}
} // namespace

juce::String usage()
{
    return "usage: mur-render [INPUT.mid] [options]\n"
           "\n"
           "Plays the held chords of a standard MIDI file (type 0 or 1) through MUR behind a\n"
           "simulated host transport and writes the arpeggio as a MIDI file. Without INPUT it\n"
           "renders a built-in demo progression to mur-demo.mid in the current folder.\n"
           "\n"
           "  -o, --output FILE       where to write (default: INPUT-mur.mid in the current folder)\n"
           "  --bpm N                 tempo (default: the file's first tempo, else 120)\n"
           "  --rate R                step length: 1/96 1/64 1/48 1/32 1/24 1/16 1/12 1/8 1/6 1/4 1/3 1/2 1/1\n"
           "  --sample-rate N         host sample rate (default 48000)\n"
           "  --block N               host block size in samples (default 512)\n"
           "  --preset FILE           start from a preset file (.fxp); --set values apply after it\n"
           "  --set ID=VALUE          set any parameter, e.g. --set softmaxGain=40 --set holdMode=on\n"
           "  --snapshot FILE.png     write a picture of the editor instead (with --size WxH, default 1078x539)\n"
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
        else if (arg == "--progress")
            options.showProgress = true;
        else if (arg == "-o" || arg == "--output" || arg == "--preset" || arg == "--snapshot")
        {
            if (! next (value))
                return std::nullopt;
            (arg == "--preset" ? options.preset : arg == "--snapshot" ? options.snapshot : options.output) = cwd.getChildFile (value);
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
                error = "--set takes ID=VALUE, not \"" + value + "\"";
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

    if (options.output == juce::File())
        options.output = options.input == juce::File() ? cwd.getChildFile ("mur-demo.mid")
                                                       : cwd.getChildFile (options.input.getFileNameWithoutExtension() + "-mur.mid");

    return options;
}

bool applyPresetAndSettings (ArpAudioProcessor& processor, const RenderOptions& options, juce::String& error)
{
    if (options.preset != juce::File())
    {
        juce::MemoryBlock content;
        if (! options.preset.existsAsFile() || ! options.preset.loadFileAsData (content))
        {
            error = "no such preset: " + options.preset.getFullPathName();
            return false;
        }

        const auto xml = juce::XmlDocument::parse (juce::String::fromUTF8 (static_cast<const char*> (content.getData()),
                                                                          static_cast<int> (strnlen (static_cast<const char*> (content.getData()), content.getSize()))));
        if (xml == nullptr || ! xml->hasTagName ("Arp"))
        {
            error = options.preset.getFullPathName() + " is not a MUR preset";
            return false;
        }

        processor.getPresets().loadPresetFile (options.preset);
    }

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

juce::String RenderSummary::describe() const
{
    juce::String text;
    text << "tempo:      " << juce::String (tempoBpm, 2) << " BPM\n"
         << "duration:   " << juce::String (seconds, 2) << " s (" << juce::String (seconds * tempoBpm / 240.0, 2) << " bars of 4/4)\n"
         << "steps:      " << steps << " (" << notes << " notes, " << rests << " rests";
    if (skipped > 0)
        text << ", " << skipped << " skipped while a note still sounded";
    text << ")\n"
         << "per slot:  ";
    for (int s = 0; s < slotsUsed; ++s)
        text << " " << (s + 1) << ":" << perSlot[static_cast<size_t> (s)];
    return text << "\n";
}

std::optional<RenderSummary> render (const RenderOptions& options, juce::String& error,
                                     const std::function<void (double)>& progress)
{
    juce::MidiFile file;

    if (options.input == juce::File())
        file = demoProgression();
    else
    {
        if (! options.input.existsAsFile())
        {
            error = "no such file: " + options.input.getFullPathName();
            return std::nullopt;
        }

        juce::FileInputStream stream (options.input);
        if (! stream.openedOk())
        {
            error = "cannot read " + options.input.getFullPathName();
            return std::nullopt;
        }

        if (! file.readFrom (stream) || file.getNumTracks() == 0)
        {
            error = options.input.getFullPathName() + " is not a standard MIDI file";
            return std::nullopt;
        }
    }

    RenderSummary summary;
    summary.tempoBpm = options.bpm.value_or (firstTempo (file));
    const auto sampleRate = options.sampleRate;
    const auto timeFormat = file.getTimeFormat();

    // Positions follow the beats of the file at the render tempo; files
    // timed in SMPTE frames keep their seconds.
    auto sampleOf = [&] (double ticks)
    {
        const auto seconds = timeFormat > 0 ? ticks / timeFormat * 60.0 / summary.tempoBpm
                                            : ticks / (-(timeFormat >> 8) * (timeFormat & 0xff));
        return static_cast<std::int64_t> (std::llround (seconds * sampleRate));
    };

    std::vector<TimedMessage> input;
    for (int t = 0; t < file.getNumTracks(); ++t)
        for (const auto* event : *file.getTrack (t))
            if (! event->message.isMetaEvent() && ! event->message.isSysEx())
            {
                input.push_back ({ sampleOf (event->message.getTimeStamp()), event->message });
                summary.heldChordNotes += event->message.isNoteOn() ? 1 : 0;
            }

    std::stable_sort (input.begin(), input.end(), [] (const auto& a, const auto& b) { return a.sample < b.sample; });

    ArpAudioProcessor processor;
    processor.getSettings().setBeatRate (defaultRateIndex);

    if (! applyPresetAndSettings (processor, options, error))
        return std::nullopt;

    OfflineHost host (processor, sampleRate, options.blockSize);
    host.setTempo (summary.tempoBpm);
    host.setPlaying (true);
    host.setPpqPosition (0.0);

    const auto lastInput = input.empty() ? 0 : input.back().sample;
    const auto tail = static_cast<std::int64_t> (sampleRate * 10.0);
    std::int64_t done = 0;

    // Play the file, then run on until every note-off has gone out.
    while (host.getSamplePosition() <= lastInput
           || (! processor.getPlayback().getPendingNoteOffs().empty() && host.getSamplePosition() < lastInput + tail))
    {
        host.processBlock (options.blockSize, input);
        if (progress && (done += options.blockSize) % (options.blockSize * 64) == 0)
            progress (juce::jmin (1.0, static_cast<double> (host.getSamplePosition()) / static_cast<double> (juce::jmax<std::int64_t> (1, lastInput))));
    }

    if (progress)
        progress (1.0);

    // Write one track: tempo, then the notes in ticks at the render tempo.
    juce::MidiMessageSequence track;
    auto tempo = juce::MidiMessage::tempoMetaEvent (juce::roundToInt (60000000.0 / summary.tempoBpm));
    tempo.setTimeStamp (0);
    track.addEvent (tempo);
    auto timeSignature = juce::MidiMessage::timeSignatureMetaEvent (4, 4);
    timeSignature.setTimeStamp (0);
    track.addEvent (timeSignature);

    for (const auto& timed : host.getOutput())
    {
        auto message = timed.message;
        message.setTimeStamp (std::round (static_cast<double> (timed.sample) / sampleRate * summary.tempoBpm / 60.0 * outputTicksPerQuarter));
        track.addEvent (message);
    }

    track.updateMatchedPairs();
    juce::MidiFile result;
    result.setTicksPerQuarterNote (outputTicksPerQuarter);
    result.addTrack (track);

    options.output.deleteFile();
    juce::FileOutputStream out (options.output);
    if (! out.openedOk() || ! result.writeTo (out))
    {
        error = "cannot write " + options.output.getFullPathName();
        return std::nullopt;
    }

    const auto& counts = processor.getPlayback().getPlaybackCounts();
    summary.seconds = static_cast<double> (host.getSamplePosition()) / sampleRate;
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

    return summary;
}

} // namespace mur::render
