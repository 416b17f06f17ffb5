#pragma once

#include "OfflineHost.h"
#include "RenderCatalog.h"

#include <optional>

namespace mur::render
{

struct SnapshotOptions
{
    int width = 1078, height = 539;
    int view = 0;   // the network view shown: 0 Activity, 1 Map, 2 Topology
    int steps = 0;  // arpeggio steps of the built-in demo played first
    juce::Rectangle<int> area; // a part of the window in design units; empty for all of it
};

// Everything the command line can ask of a render.
struct RenderOptions
{
    juce::File input;                  // a standard MIDI file; empty for the built-in demo
    juce::File output;                 // where the arpeggiated MIDI file goes
    std::optional<double> bpm;         // overrides the file's tempo map
    juce::String preset;               // a preset's name or file, applied before any --set
    bool useDefaults = false;          // the plain defaults (the demo otherwise plays its preset)
    juce::File plot;                   // a piano roll of the render (.png or .svg)
    bool json = false;                 // the summary as one JSON object
    bool listPresets = false, listParams = false;
    double sampleRate = 48000.0;
    int blockSize = 512;
    std::vector<std::pair<juce::String, juce::String>> settings; // parameter ID, value text
    juce::File snapshot;               // when set: write a picture of the editor instead of rendering
    SnapshotOptions snapshotOptions;
    bool showProgress = false;
    bool showHelp = false;
};

// Parses the arguments (without the program name). Returns the options, or
// fills `error` and returns nothing.
std::optional<RenderOptions> parseArguments (const juce::StringArray& args, juce::String& error);

juce::String usage();

// The factory preset the built-in demo plays unless told otherwise.
inline constexpr const char* demoPresetName = "Glass Steps";

// The preset and the --set values of the options, applied to a processor.
// Returns false and fills `error` when one cannot be applied; `appliedPreset`
// receives the preset's name.
bool applyPresetAndSettings (ArpAudioProcessor& processor, const RenderOptions& options, juce::String& error,
                             juce::String* appliedPreset = nullptr);

// The held chords of the built-in demo: A minor, F, C and G, two bars each.
juce::MidiFile demoProgression();

// A note of the input or the output, in quarter notes from the start.
struct PlottedNote
{
    double start = 0.0, end = 0.0;
    int pitch = 0, velocity = 0;
    std::int64_t startSample = 0;  // for the arpeggio's notes: when the host received it
};

struct RenderSummary
{
    juce::String presetName;                // the preset the render started from, if any
    double tempoBpm = 120.0;                // at the start
    bool tempoChanges = false;
    int numerator = 4, denominator = 4;     // the time signature at the start
    double seconds = 0.0, quarters = 0.0;
    std::int64_t heldChordNotes = 0;
    std::int64_t notes = 0, rests = 0, steps = 0, skipped = 0;
    std::array<std::int64_t, 50> perSlot {};
    int slotsUsed = 0;

    // The arpeggio on its step grid, from the first step a chord was held to
    // the last: the pitch of each step, or -1. `chords` divides it by the
    // held chords.
    double quartersPerStep = 0.25;
    double firstStepQuarter = 0.0;
    std::vector<int> stepPitches;
    std::vector<float> stepAccents;         // the accent gain of each step
    struct Chord
    {
        std::vector<int> pitches;
        std::vector<int> slotPitches; // the pitches spread over the octave range, as the network's slots
        int firstStep = 0, numSteps = 0;
    };
    std::vector<Chord> chords;
    std::vector<PlottedNote> held, played;

    juce::String describe() const;
    juce::String toJson() const;
};

// Pairs note-ons with their note-offs (times in quarter notes; `samples`,
// when given, holds each event's sample).
std::vector<PlottedNote> pairNotes (const std::vector<std::pair<double, juce::MidiMessage>>& events,
                                    const std::vector<std::int64_t>& samples = {});

// Lays the arpeggio on its step grid and divides it by the held chords.
void analyseSteps (RenderSummary& summary, const ArpAudioProcessor& processor);

// Reads the input (or the demo), plays it through a processor behind a
// simulated transport and writes the result. Returns the summary, or fills
// `error` and returns nothing. `progress` is called with 0 to 1.
std::optional<RenderSummary> render (const RenderOptions& options, juce::String& error,
                                     const std::function<void (double)>& progress = {});

} // namespace mur::render
