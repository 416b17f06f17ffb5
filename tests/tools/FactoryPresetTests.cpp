#include "FactoryPresets.h"
#include "Renderer.h"
#include "StepStatistics.h"

#include <gtest/gtest.h>

#include <set>

namespace mur
{
namespace
{

// The notes a preset plays over the demo chords, as text.
juce::String renderWith (const juce::File& preset, const juce::File& output)
{
    render::RenderOptions options;
    options.preset = preset.getFullPathName();
    options.output = output;
    juce::String error;
    const auto summary = render::render (options, error);
    EXPECT_TRUE (summary) << error;

    juce::FileInputStream stream (output);
    juce::MidiFile file;
    EXPECT_TRUE (file.readFrom (stream));
    juce::String notes;
    for (const auto* event : *file.getTrack (0))
        if (event->message.isNoteOn())
            notes << juce::String (event->message.getTimeStamp()) << ":" << event->message.getNoteNumber() << " ";
    return notes;
}

TEST (FactoryPresets, TwelveOrMoreThatAllPlayDifferently)
{
    juce::TemporaryFile scratch;
    const auto folder = scratch.getFile();
    const auto written = presets::writeAll (folder);
    ASSERT_GE (written.size(), 12);
    ASSERT_EQ (written.size(), static_cast<int> (presets::factoryPresets().size()));

    std::set<juce::String> performances;
    for (const auto& preset : written)
    {
        const auto notes = renderWith (preset, folder.getChildFile ("out.mid"));
        EXPECT_TRUE (notes.isNotEmpty()) << preset.getFileName();
        EXPECT_TRUE (performances.insert (notes).second) << preset.getFileName() << " plays like another preset";
    }

    // Loading a factory preset reproduces its network and its settings.
    ArpAudioProcessor reference;
    const auto& third = presets::factoryPresets()[2];
    presets::apply (third, reference);
    ArpAudioProcessor loaded;
    ASSERT_TRUE (loaded.getPresets().loadPresetFile (folder.getChildFile (juce::String (third.name) + ".fxp")).wasOk());
    EXPECT_EQ (loaded.getEngine().getInputWeights(), reference.getEngine().getInputWeights());
    EXPECT_EQ (loaded.getSettings().getMirrors().rateIndex, reference.getSettings().getMirrors().rateIndex);
    EXPECT_EQ (loaded.getSettings().getMirrors().numSteps, static_cast<int> (third.accents.size()));

    folder.deleteRecursively();
}

// What the factory set promises a musician, measured on the built-in demo:
// every preset not built on repetition plays each note of a chord at least
// once while the chord lasts, never one pitch more than three times running,
// and never falls into a loop shorter than eight steps within a chord.
TEST (FactoryPresets, EachPlaysTheWholeChordWithoutShortLoops)
{
    for (const auto& preset : presets::factoryPresets())
    {
        if (preset.repetitive)
            continue;
        render::RenderOptions options;
        options.preset = preset.name;
        juce::TemporaryFile output (".mid");
        options.output = output.getFile();
        juce::String error;
        const auto summary = render::render (options, error);
        ASSERT_TRUE (summary) << preset.name << ": " << error;
        ASSERT_EQ (summary->chords.size(), 4u) << preset.name;
        EXPECT_LE (render::longestRun (summary->stepPitches), 3) << preset.name;

        for (const auto& chord : summary->chords)
        {
            const std::vector<int> steps (summary->stepPitches.begin() + chord.firstStep,
                                          summary->stepPitches.begin() + chord.firstStep + chord.numSteps);
            for (auto pitch : chord.slotPitches)
                EXPECT_NE (std::find (steps.begin(), steps.end(), pitch), steps.end())
                    << preset.name << " never plays " << pitch << " in the chord from step " << chord.firstStep;
            const auto period = render::shortestPeriod (steps);
            EXPECT_TRUE (period == 0 || period >= 8) << preset.name << " loops every " << period << " steps";
        }
    }
}

TEST (FactoryPresets, TheRendererRefusesWhatIsNotAPreset)
{
    juce::TemporaryFile scratch;
    const auto folder = scratch.getFile();
    folder.createDirectory();
    const auto text = folder.getChildFile ("text.fxp");
    text.replaceWithText ("hello");

    juce::String error;
    for (const auto& preset : { text, folder.getChildFile ("missing.fxp") })
    {
        render::RenderOptions options;
        options.preset = preset.getFullPathName();
        options.output = folder.getChildFile ("out.mid");
        EXPECT_FALSE (render::render (options, error));
        EXPECT_TRUE (error.contains ("preset")) << error;
    }

    folder.deleteRecursively();
}

} // namespace
} // namespace mur
