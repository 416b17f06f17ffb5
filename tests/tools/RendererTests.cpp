#include "FactoryPresets.h"
#include "Renderer.h"
#include "processor/PlaybackHelpers.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{

using render::parseArguments;

std::optional<render::RenderOptions> parse (std::initializer_list<const char*> args, juce::String& error)
{
    juce::StringArray list;
    for (auto* a : args)
        list.add (a);
    return parseArguments (list, error);
}

std::vector<render::TimedMessage> readNotes (const juce::File& file)
{
    juce::FileInputStream stream (file);
    juce::MidiFile midi;
    EXPECT_TRUE (midi.readFrom (stream));
    std::vector<render::TimedMessage> notes;
    for (int t = 0; t < midi.getNumTracks(); ++t)
        for (const auto* e : *midi.getTrack (t))
            if (e->message.isNoteOnOrOff())
                notes.push_back ({ static_cast<std::int64_t> (e->message.getTimeStamp()), e->message });
    return notes;
}

TEST (RendererArguments, DefaultsAndOptions)
{
    juce::String error;
    auto options = parse ({}, error);
    ASSERT_TRUE (options);
    EXPECT_EQ (options->input, juce::File());
    EXPECT_EQ (options->output.getFileName(), "mur-demo.mid");
    EXPECT_EQ (options->blockSize, 512);

    options = parse ({ "chords.mid", "--bpm", "90", "--rate", "1/32", "--set", "softmaxGain=40", "--block", "64" }, error);
    ASSERT_TRUE (options) << error;
    EXPECT_EQ (options->output.getFileName(), "chords-mur.mid");
    EXPECT_EQ (*options->bpm, 90.0);
    ASSERT_EQ (options->settings.size(), 2u);
    EXPECT_EQ (options->settings[0].first, "beatRate");
    EXPECT_EQ (options->settings[0].second, "3");
    EXPECT_EQ (options->settings[1].second, "40");
}

TEST (RendererArguments, MistakesAreNamed)
{
    juce::String error;
    EXPECT_FALSE (parse ({ "--bpm", "fast" }, error));
    EXPECT_TRUE (error.contains ("--bpm"));
    EXPECT_FALSE (parse ({ "--rate", "1/5" }, error));
    EXPECT_FALSE (parse ({ "--block", "0" }, error));
    EXPECT_FALSE (parse ({ "--set", "softmaxGain" }, error));
    EXPECT_FALSE (parse ({ "--frobnicate" }, error));
    EXPECT_TRUE (error.contains ("unknown option"));
    EXPECT_FALSE (parse ({ "a.mid", "b.mid" }, error));
    EXPECT_FALSE (parse ({ "--output" }, error));
    EXPECT_FALSE (parse ({ "--area", "1000,500,100,100" }, error));
    EXPECT_TRUE (error.contains ("inside the 1078x539 window"));
    EXPECT_FALSE (parse ({ "--area", "1,2,3" }, error));
    EXPECT_EQ (parse ({ "--area", "300,56,478,120" }, error)->snapshotOptions.area, juce::Rectangle<int> (300, 56, 478, 120));
}

class RendererFiles : public testing::Test
{
protected:
    juce::TemporaryFile folder;
    juce::File dir;

    void SetUp() override
    {
        dir = folder.getFile();
        ASSERT_TRUE (dir.createDirectory());
    }

    void TearDown() override { dir.deleteRecursively(); }

    render::RenderOptions options (const juce::File& input = {})
    {
        render::RenderOptions o;
        o.input = input;
        o.output = dir.getChildFile ("out.mid");
        return o;
    }
};

TEST_F (RendererFiles, DemoRendersToAPlayableFileWithEveryNoteEnded)
{
    juce::String error;
    const auto summary = render::render (options(), error);
    ASSERT_TRUE (summary) << error;

    EXPECT_DOUBLE_EQ (summary->tempoBpm, 120.0);
    EXPECT_GT (summary->notes, 100);
    EXPECT_EQ (summary->notes + summary->rests, summary->steps);
    EXPECT_GE (summary->seconds, 16.0);

    test::NoteLedger ledger;
    const auto notes = readNotes (dir.getChildFile ("out.mid"));
    ledger.add (notes);
    EXPECT_EQ (ledger.notesOn, summary->notes);
    EXPECT_TRUE (ledger.sounding.empty());
    EXPECT_EQ (ledger.offsForSilentNotes, 0);

    // The first chord starts on the downbeat, and so does the arpeggio.
    ASSERT_FALSE (notes.empty());
    EXPECT_EQ (notes.front().sample, 0);
    EXPECT_TRUE (summary->describe().contains ("notes"));
}

TEST_F (RendererFiles, FileTempoSettingsAndRestsShowInTheResult)
{
    auto demo = render::demoProgression();
    juce::MidiMessageSequence tempoTrack;
    tempoTrack.addEvent (juce::MidiMessage::tempoMetaEvent (juce::roundToInt (60000000.0 / 90.0)), 0.0);
    demo.addTrack (tempoTrack);

    const auto input = dir.getChildFile ("chords.mid");
    {
        juce::FileOutputStream out (input);
        ASSERT_TRUE (demo.writeTo (out, 1));
    }

    auto o = options (input);
    o.settings = { { "noteGain0", "0.9" }, { "softmaxGain", "0" } };
    juce::String error;
    const auto summary = render::render (o, error);
    ASSERT_TRUE (summary) << error;
    EXPECT_DOUBLE_EQ (summary->tempoBpm, 120.0); // the demo's own tempo comes first
    EXPECT_GT (summary->rests, 10);

    o.bpm = 90.0;
    o.settings = { { "beatRate", "1/8" } };
    const auto slower = render::render (o, error);
    ASSERT_TRUE (slower) << error;
    EXPECT_DOUBLE_EQ (slower->tempoBpm, 90.0);
    EXPECT_NEAR (static_cast<double> (slower->steps), 8 * 8, 2);
}

TEST_F (RendererFiles, BadInputsAndSettingsAreRefused)
{
    juce::String error;
    EXPECT_FALSE (render::render (options (dir.getChildFile ("missing.mid")), error));
    EXPECT_TRUE (error.contains ("no such file"));

    const auto text = dir.getChildFile ("notes.mid");
    text.replaceWithText ("these are not notes");
    EXPECT_FALSE (render::render (options (text), error));
    EXPECT_TRUE (error.contains ("not a standard MIDI file"));

    auto o = options();
    o.settings = { { "sparkle", "1" } };
    EXPECT_FALSE (render::render (o, error));
    EXPECT_TRUE (error.contains ("unknown parameter"));

    o.settings = { { "hiddenSize", "51" } };
    EXPECT_FALSE (render::render (o, error));
    EXPECT_TRUE (error.contains ("outside its range"));

    o.settings = { { "holdMode", "maybe" } };
    EXPECT_FALSE (render::render (o, error));
    EXPECT_FALSE (dir.getChildFile ("out.mid").exists());
}

// The files the renderer wrote for the demo, the plain defaults and each
// factory preset, byte for byte: a change to the engine, the clock or the
// file writer that moves one note or one tick shows here. MUR_WRITE_FIXTURES=1
// rewrites them after an intended change.
TEST_F (RendererFiles, TheDemoAndEveryFactoryPresetRenderTheCommittedBytes)
{
    struct Case
    {
        juce::String file, preset;
        bool defaults;
    };
    std::vector<Case> cases { { "demo", {}, false }, { "defaults", {}, true } };
    for (const auto& preset : presets::factoryPresets())
        cases.push_back ({ preset.name, preset.name, false });

    const juce::File fixtures (MUR_RENDER_FIXTURES_DIR);
    for (const auto& c : cases)
    {
        auto o = options();
        o.preset = c.preset;
        o.useDefaults = c.defaults;
        juce::String error;
        ASSERT_TRUE (render::render (o, error)) << c.file << ": " << error;

        const auto fixture = fixtures.getChildFile (c.file + ".mid");
        if (std::getenv ("MUR_WRITE_FIXTURES") != nullptr)
            o.output.copyFileTo (fixture);

        juce::MemoryBlock written, committed;
        o.output.loadFileAsData (written);
        ASSERT_TRUE (fixture.loadFileAsData (committed)) << c.file << " has no committed render";
        EXPECT_EQ (written, committed) << c.file << " renders differently";
    }
}

} // namespace
} // namespace mur
