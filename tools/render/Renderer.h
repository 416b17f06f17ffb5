#pragma once

#include "OfflineHost.h"

#include <optional>

namespace mur::render
{

struct SnapshotOptions
{
    int width = 1078, height = 539;
    int view = 0;   // the network view shown: 0 Activity, 1 Map, 2 Topology
    int steps = 0;  // arpeggio steps of the built-in demo played first
};

// Everything the command line can ask of a render.
struct RenderOptions
{
    juce::File input;                  // a standard MIDI file; empty for the built-in demo
    juce::File output;                 // where the arpeggiated MIDI file goes
    std::optional<double> bpm;         // overrides the file's tempo
    juce::File preset;                 // a preset file applied before any --set
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

// The preset and the --set values of the options, applied to a processor.
// Returns false and fills `error` when one cannot be applied.
bool applyPresetAndSettings (ArpAudioProcessor& processor, const RenderOptions& options, juce::String& error);

// The held chords of the built-in demo: A minor, F, C and G, two bars each.
juce::MidiFile demoProgression();

struct RenderSummary
{
    double tempoBpm = 120.0;
    double seconds = 0.0;
    std::int64_t heldChordNotes = 0;
    std::int64_t notes = 0, rests = 0, steps = 0, skipped = 0;
    std::array<std::int64_t, 50> perSlot {};
    int slotsUsed = 0;

    juce::String describe() const;
};

// Reads the input (or the demo), plays it through a processor behind a
// simulated transport and writes the result. Returns the summary, or fills
// `error` and returns nothing. `progress` is called with 0 to 1.
std::optional<RenderSummary> render (const RenderOptions& options, juce::String& error,
                                     const std::function<void (double)>& progress = {});

} // namespace mur::render
