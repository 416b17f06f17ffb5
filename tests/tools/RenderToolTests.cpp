#include "FactoryPresets.h"
#include "PianoRoll.h"
#include "RenderCatalog.h"
#include "Renderer.h"
#include "StepStatistics.h"
#include "TestHelpers.h"
#include "persistence/PresetLibrary.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mur
{
namespace
{

class RenderTool : public testing::Test
{
protected:
    juce::TemporaryFile scratch;
    juce::File dir;

    void SetUp() override
    {
        dir = scratch.getFile();
        dir.createDirectory();
    }
    void TearDown() override { dir.deleteRecursively(); }

    juce::File write (const juce::MidiFile& midi, const juce::String& name, int type = 1)
    {
        const auto file = dir.getChildFile (name);
        juce::FileOutputStream out (file);
        EXPECT_TRUE (midi.writeTo (out, type));
        return file;
    }

    render::RenderOptions options (const juce::File& input = {})
    {
        render::RenderOptions o;
        o.input = input;
        o.output = dir.getChildFile ("out.mid");
        return o;
    }

    // The mur-render command with these arguments: its exit status, and what
    // it printed.
    static int run (const juce::StringArray& args, juce::String& printed)
    {
        juce::StringArray command { MUR_RENDER_BINARY };
        command.addArray (args);
        return test::runCommand (command, printed, 60000);
    }
};

// A chord held for twelve quarters under 120, then 60, then 180 BPM.
juce::MidiFile tempoChangingChord (int numerator = 4, int denominator = 4)
{
    juce::MidiMessageSequence tempo, notes;
    for (auto [tick, bpm] : { std::pair { 0, 120.0 }, std::pair { 4 * 480, 60.0 }, std::pair { 8 * 480, 180.0 } })
    {
        auto event = juce::MidiMessage::tempoMetaEvent (juce::roundToInt (60000000.0 / bpm));
        event.setTimeStamp (tick);
        tempo.addEvent (event);
    }
    auto signature = juce::MidiMessage::timeSignatureMetaEvent (numerator, denominator);
    signature.setTimeStamp (0);
    tempo.addEvent (signature);
    // Any channel is read.
    for (int note : { 60, 64, 67 })
    {
        notes.addEvent (juce::MidiMessage::noteOn (5, note, static_cast<juce::uint8> (100)), 0.0);
        notes.addEvent (juce::MidiMessage::noteOff (5, note), 12.0 * 480 - 1);
    }
    juce::MidiFile file;
    file.setTicksPerQuarterNote (480);
    file.addTrack (tempo);
    file.addTrack (notes);
    return file;
}

// Seconds at a quarter-note position of that map, worked out here.
double secondsAt (double q)
{
    if (q < 4.0)
        return q * 0.5;
    if (q < 8.0)
        return 2.0 + (q - 4.0);
    return 6.0 + (q - 8.0) / 3.0;
}

TEST_F (RenderTool, StepsFollowTheFilesTempoMapAndTheOutputKeepsIt)
{
    const auto input = write (tempoChangingChord (3, 4), "tempo.mid");
    auto o = options (input);
    o.blockSize = 500;
    juce::String error;
    const auto summary = render::render (o, error);
    ASSERT_TRUE (summary) << error;

    // Every sixteenth from 0 to 12 quarters is a step, at the first sample
    // at or after its time.
    EXPECT_EQ (summary->steps, 48);
    EXPECT_TRUE (summary->tempoChanges);
    EXPECT_NEAR (summary->seconds, secondsAt (12.0), 0.1) << "the real duration";
    std::set<std::int64_t> expected;
    for (int k = 0; k < 48; ++k)
        expected.insert (static_cast<std::int64_t> (std::ceil (secondsAt (k / 4.0) * 48000.0 - 1.0e-6)));
    ASSERT_FALSE (summary->played.empty());
    for (const auto& note : summary->played)
        EXPECT_TRUE (expected.count (note.startSample) == 1) << "a note at sample " << note.startSample;
    for (const auto& note : summary->played)
        EXPECT_TRUE (note.pitch == 60 || note.pitch == 64 || note.pitch == 67);

    // The output carries the same tempo map, its time signature with the
    // standard bytes, and its notes on channel 1.
    juce::FileInputStream stream (o.output);
    juce::MidiFile output;
    ASSERT_TRUE (output.readFrom (stream));
    juce::MidiMessageSequence tempos, signatures;
    output.findAllTempoEvents (tempos);
    output.findAllTimeSigEvents (signatures);
    std::vector<std::pair<double, int>> map;
    for (const auto* e : tempos)
        map.emplace_back (e->message.getTimeStamp() / output.getTimeFormat(), juce::roundToInt (60.0 / e->message.getTempoSecondsPerQuarterNote()));
    EXPECT_EQ (map, (std::vector<std::pair<double, int>> { { 0.0, 120 }, { 4.0, 60 }, { 8.0, 180 } }));
    ASSERT_EQ (signatures.getNumEvents(), 1);
    const auto* bytes = signatures.getEventPointer (0)->message.getMetaEventData();
    EXPECT_EQ (std::vector<int> (bytes, bytes + 4), (std::vector<int> { 3, 2, 24, 8 }));
    for (int t = 0; t < output.getNumTracks(); ++t)
        for (const auto* e : *output.getTrack (t))
        {
            if (e->message.isNoteOnOrOff())
            {
                EXPECT_EQ (e->message.getChannel(), 1);
            }
        }
}

TEST_F (RenderTool, RefusalsExitWithStatusTwoAndWriteNothing)
{
    const auto type2 = write (tempoChangingChord(), "patterns.mid", 2);
    juce::MidiMessageSequence onlyTempo;
    onlyTempo.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0.0);
    juce::MidiFile silent;
    silent.setTicksPerQuarterNote (480);
    silent.addTrack (onlyTempo);
    const auto noNotes = write (silent, "silent.mid");
    const auto fine = write (tempoChangingChord(), "fine.mid");
    const auto out = dir.getChildFile ("refused.mid");

    // A preset file refused for each of its reasons.
    const auto huge = dir.getChildFile ("Huge.fxp");
    huge.replaceWithData (std::vector<char> (static_cast<size_t> (maxPresetFileBytes) + 1, 'x').data(), static_cast<size_t> (maxPresetFileBytes) + 1);
    const auto notXml = dir.getChildFile ("Notes.fxp");
    notXml.replaceWithText ("just some notes");
    const auto otherXml = dir.getChildFile ("Other.fxp");
    otherXml.replaceWithText ("<Patch level=\"1\"/>");
    const auto unreadable = dir.getChildFile ("Folder.fxp");
    unreadable.createDirectory();

    const std::vector<std::pair<juce::StringArray, juce::String>> refusals {
        { { fine.getFullPathName(), "--preset", huge.getFullPathName() }, "Huge.fxp is too large to be a MUR preset." },
        { { fine.getFullPathName(), "--preset", notXml.getFullPathName() }, "Notes.fxp is not a MUR preset: it is not an XML document." },
        { { fine.getFullPathName(), "--preset", otherXml.getFullPathName() }, "Other.fxp is not a MUR preset." },
        { { fine.getFullPathName(), "--preset", unreadable.getFullPathName() }, "Cannot read Folder.fxp" },
        { { type2.getFullPathName() }, "type-2" },
        { { noNotes.getFullPathName() }, "no notes in " + noNotes.getFullPathName() },
        { { fine.getFullPathName(), "--preset", "No Such Preset" }, "no preset named" },
        { { fine.getFullPathName(), "--set", "Random=lots" }, "not a number" },
        { { fine.getFullPathName(), "--set", "Sparkle=1" }, "unknown parameter \"Sparkle\"" },
        { { fine.getFullPathName(), "--set", "Hold=maybe" }, "on or off" },
    };
    for (const auto& [args, message] : refusals)
    {
        juce::String printed;
        auto withOutput = args;
        withOutput.addArray ({ "-o", out.getFullPathName() });
        EXPECT_EQ (run (withOutput, printed), 2) << args.joinIntoString (" ");
        EXPECT_TRUE (printed.contains (message)) << printed;
        EXPECT_FALSE (out.exists()) << args.joinIntoString (" ");
    }
}

TEST_F (RenderTool, ParametersByIdOrDisplayNameAndSwitchesInAnySpelling)
{
    ArpAudioProcessor processor;
    juce::String error;
    ASSERT_TRUE (render::applySetting (processor, "Random", "0.4", error)) << error;
    EXPECT_NEAR (processor.getSettings().getMirrors().softmaxGain.get(), 0.4f, 1.0e-3f);
    ASSERT_TRUE (render::applySetting (processor, "Length %", "80", error)) << error;
    EXPECT_NEAR (processor.getSettings().getMirrors().gatePercentage.get(), 80.0, 0.01);
    for (auto [text, on] : { std::pair { "true", true }, std::pair { "0", false }, std::pair { "ON", true }, std::pair { "False", false } })
    {
        ASSERT_TRUE (render::applySetting (processor, "holdMode", text, error)) << text;
        EXPECT_EQ (processor.getSettings().getMirrors().holdMode.get(), on) << text;
    }

    const auto listing = render::listParameters (processor);
    for (auto* p : processor.getParameters())
        if (auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (p))
        {
            EXPECT_TRUE (listing.contains (parameter->getParameterID())) << parameter->getParameterID();
            EXPECT_TRUE (listing.contains (parameter->getName (64))) << parameter->getName (64);
        }
}

TEST_F (RenderTool, PresetsByNameInTheEditorsOrder)
{
    ArpAudioProcessor processor;
    const auto listing = render::listPresets();
    const auto& factory = presets::factoryPresets();
    ASSERT_FALSE (factory.empty());
    for (const auto& preset : factory)
        EXPECT_TRUE (listing.contains (preset.name)) << preset.name;

    // Names are found whatever their case; an unknown name is refused.
    juce::String error, applied;
    ASSERT_TRUE (render::applyPreset (processor, juce::String (factory.back().name).toUpperCase(), error, applied)) << error;
    EXPECT_EQ (applied, factory.back().name);
    EXPECT_FALSE (render::applyPreset (processor, "Nothing Like It", error, applied));
    EXPECT_TRUE (error.contains ("no preset named"));

    // The demo plays its preset, and says so; --defaults and --preset change it.
    auto o = options();
    auto summary = render::render (o, error);
    ASSERT_TRUE (summary) << error;
    EXPECT_EQ (summary->presetName, render::demoPresetName);
    EXPECT_TRUE (summary->describe().contains (juce::String ("preset:     ") + render::demoPresetName));
    o.useDefaults = true;
    summary = render::render (o, error);
    ASSERT_TRUE (summary) << error;
    EXPECT_TRUE (summary->presetName.isEmpty());
}

TEST_F (RenderTool, InstalledPresetsAreListedFactoryFirstAndFoundByName)
{
    const auto previousDocuments = PresetLibrary::getDocumentsFolderOverride();
    PresetLibrary::setDocumentsFolderOverride (dir);
    const PresetLibrary library;
    library.ensureFolders();
    ArpAudioProcessor source;
    presets::apply (presets::factoryPresets().front(), source);
    auto save = [&source] (const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        source.getPresets().savePreset (file);
    };
    save (library.factoryFolder().getChildFile ("Preset 10.fxp"));
    save (library.factoryFolder().getChildFile ("preset 2.fxp"));
    save (library.presetsFolder().getChildFile ("Mine.fxp"));
    save (library.presetsFolder().getChildFile ("Live").getChildFile ("Encore.fxp"));
    save (library.presetsFolder().getChildFile ("Preset 2.fxp")); // the user's, named like a factory one

    ArpAudioProcessor processor;
    const auto lines = juce::StringArray::fromLines (render::listPresets().trim());
    auto at = [&lines] (const juce::String& entry) { return lines.indexOf (entry); };
    EXPECT_EQ (at ("Presets/Factory/preset 2"), 0);
    EXPECT_EQ (at ("Presets/Factory/Preset 10"), 1) << "natural order";
    EXPECT_GT (at ("Presets/Mine"), at ("Factory (built in)/" + juce::String (presets::factoryPresets().back().name)));
    EXPECT_GT (at ("Presets/Live/Encore"), at ("Presets/Mine"));

    // By name, case ignored: the factory folder first.
    juce::String error, applied;
    ASSERT_TRUE (render::applyPreset (processor, "PRESET 2", error, applied)) << error;
    EXPECT_EQ (processor.getPresets().getCurrentPresetFolder(), library.factoryFolder());
    ASSERT_TRUE (render::applyPreset (processor, "encore", error, applied)) << error;
    EXPECT_EQ (applied, "Encore");

    PresetLibrary::setDocumentsFolderOverride (previousDocuments);
}

TEST (StepStatistics, RunsRepeatsAndPeriods)
{
    using namespace render;
    const std::vector<int> pingPong { 60, 64, 60, 64, 60, 64, 60, 64 };
    EXPECT_EQ (shortestPeriod (pingPong), 2);
    EXPECT_EQ (longestRun (pingPong), 1);
    EXPECT_EQ (distinctPitches (pingPong), 2);
    EXPECT_DOUBLE_EQ (repeatShare (pingPong), 0.0);

    const std::vector<int> withRuns { 60, 60, 60, -1, 60, 64, 64, 67, 67, 67, 67 };
    EXPECT_EQ (longestRun (withRuns), 4);
    EXPECT_EQ (shortestPeriod (withRuns), 0) << "none within the render";
    EXPECT_DOUBLE_EQ (repeatShare (withRuns), 6.0 / 10.0);
    EXPECT_EQ (distinctPitches (withRuns), 3);

    // A period must come round at least twice; rests are part of it.
    EXPECT_EQ (shortestPeriod ({ 1, 2, 3, 1, 2 }), 0);
    EXPECT_EQ (shortestPeriod ({ 1, -1, 3, 1, -1, 3, 1 }), 3);
    EXPECT_EQ (shortestPeriod ({}), 0);
    EXPECT_EQ (longestRun ({ -1, -1 }), 0);
}

TEST_F (RenderTool, APictureAndJsonOfTheDemo)
{
    auto o = options();
    juce::String error;
    const auto summary = render::render (o, error);
    ASSERT_TRUE (summary) << error;

    const auto svg = render::pianoRollSvg (*summary);
    EXPECT_TRUE (svg.startsWith ("<svg"));
    EXPECT_TRUE (svg.contains ("width=\"1600\""));
    EXPECT_GE (svg.length() - svg.replace ("<rect", "").length(), static_cast<int> (5 * summary->played.size()));

    const auto png = dir.getChildFile ("roll.png");
    ASSERT_TRUE (render::writePianoRoll (*summary, png, error)) << error;
    EXPECT_EQ (juce::ImageFileFormat::loadFrom (png).getWidth(), 1600);

    const auto json = juce::JSON::parse (summary->toJson());
    ASSERT_TRUE (json.isObject());
    EXPECT_EQ (static_cast<juce::int64> (json["steps"]), summary->steps);
    EXPECT_EQ (json["stepPitches"].getArray()->size(), static_cast<int> (summary->stepPitches.size()));
    EXPECT_EQ (json["preset"].toString(), render::demoPresetName);
}

} // namespace
} // namespace mur
