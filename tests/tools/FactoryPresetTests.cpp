#include "FactoryPresets.h"
#include "Renderer.h"

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

TEST (FactoryPresets, EightOrMoreThatAllPlayDifferently)
{
    juce::TemporaryFile scratch;
    const auto folder = scratch.getFile();
    const auto written = presets::writeAll (folder);
    ASSERT_GE (written.size(), 8);
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
    presets::apply (presets::factoryPresets()[2], reference);
    ArpAudioProcessor loaded;
    loaded.getPresets().loadPresetFile (folder.getChildFile (juce::String (presets::factoryPresets()[2].name) + ".fxp"));
    EXPECT_EQ (loaded.getEngine().getInputWeights(), reference.getEngine().getInputWeights());
    EXPECT_EQ (loaded.getSettings().getMirrors().rateIndex, 3);
    EXPECT_EQ (loaded.getSettings().getMirrors().numSteps, 12);

    folder.deleteRecursively();
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
