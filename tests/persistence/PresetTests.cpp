#include "persistence/PresetLibrary.h"
#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace mur
{
namespace
{

class Presets : public testing::Test
{
protected:
    juce::TemporaryFile scratch;
    juce::File documents;

    void SetUp() override
    {
        documents = scratch.getFile();
        ASSERT_TRUE (documents.createDirectory());
        PresetLibrary::setDocumentsFolderOverride (documents);
    }

    void TearDown() override { documents.deleteRecursively(); }

    juce::File presets() const { return documents.getChildFile ("Corvane/MUR/Presets"); }

    juce::File saveAs (ArpAudioProcessor& p, const juce::File& file)
    {
        file.getParentDirectory().createDirectory();
        p.getPresets().savePreset (file);
        return file;
    }
};

TEST_F (Presets, FoldersAreCreatedAndDialogsAvoidTheFactoryFolder)
{
    ArpAudioProcessor p;
    EXPECT_TRUE (presets().isDirectory());
    EXPECT_TRUE (presets().getChildFile ("Factory").isDirectory());
    EXPECT_EQ (p.getPresets().getCurrentPresetFolder(), presets());
    EXPECT_EQ (p.getPresets().getPresetLibrary().presetsFolder(), presets());

    saveAs (p, presets().getChildFile ("Factory/Bass/One.fxp"));
    EXPECT_EQ (p.getPresets().loadDialogFolder(), presets().getChildFile ("Factory/Bass"));
    EXPECT_EQ (p.getPresets().saveDialogFolder(), presets());
}

TEST_F (Presets, SavingNamesTheStateAndLoadingRestoresIt)
{
    ArpAudioProcessor p;
    p.getSettings().setLeakRate (0.25f);
    p.getSettings().setHoldMode (true);
    saveAs (p, presets().getChildFile ("Mine/  Sparse Lead .fxp"));
    EXPECT_EQ (p.getPresets().getCurrentPresetName(), "Sparse Lead");
    EXPECT_EQ (p.getPresets().getCurrentPresetFolder(), presets().getChildFile ("Mine"));

    ArpAudioProcessor q;
    EXPECT_TRUE (q.getPresets().loadPresetFile (presets().getChildFile ("Mine/  Sparse Lead .fxp")).wasOk());
    EXPECT_FLOAT_EQ (q.getSettings().getMirrors().leakRate, 0.25f);
    EXPECT_FALSE (q.getSettings().getMirrors().holdMode);
    EXPECT_EQ (q.getPresets().getCurrentPresetName(), "Sparse Lead");
    EXPECT_EQ (q.getEngine().getInputWeights(), p.getEngine().getInputWeights());

    // A file that is not a preset changes nothing but still moves the folder.
    const auto junk = presets().getChildFile ("Other/junk.fxp");
    junk.getParentDirectory().createDirectory();
    junk.replaceWithText ("nothing useful");
    EXPECT_EQ (q.getPresets().loadPresetFile (junk).getErrorMessage(), "junk.fxp is not a MUR preset: it is not an XML document.");
    EXPECT_FLOAT_EQ (q.getSettings().getMirrors().leakRate, 0.25f);
    EXPECT_EQ (q.getPresets().getCurrentPresetFolder(), junk.getParentDirectory());

    EXPECT_TRUE (q.getPresets().loadPresetFile (presets().getChildFile ("missing.fxp")).failed());
    EXPECT_EQ (q.getPresets().getCurrentPresetFolder(), junk.getParentDirectory());
}

TEST_F (Presets, NavigationWrapsInNaturalCaseInsensitiveOrder)
{
    ArpAudioProcessor p;
    const auto folder = presets().getChildFile ("Set");
    for (auto* name : { "C", "A", "b", "Preset 10", "Preset 2" })
        saveAs (p, folder.getChildFile (juce::String (name) + ".fxp"));

    juce::StringArray names;
    for (const auto& f : p.getPresets().listPresetsInCurrentFolder())
        names.add (f.getFileNameWithoutExtension());
    EXPECT_EQ (names, juce::StringArray ({ "A", "b", "C", "Preset 2", "Preset 10" }));

    EXPECT_EQ (p.getPresets().loadAdjacentPreset ("b", true).getFileNameWithoutExtension(), "C");
    EXPECT_EQ (p.getPresets().loadAdjacentPreset ("Preset 10", true).getFileNameWithoutExtension(), "A");
    EXPECT_EQ (p.getPresets().loadAdjacentPreset ("A", false).getFileNameWithoutExtension(), "Preset 10");
    EXPECT_EQ (p.getPresets().loadAdjacentPreset ("nowhere", true).getFileNameWithoutExtension(), "A");
    EXPECT_EQ (p.getPresets().loadAdjacentPreset ("", false).getFileNameWithoutExtension(), "Preset 10");
    EXPECT_EQ (p.getPresets().getCurrentPresetName(), "Preset 10");
}

TEST_F (Presets, FactoryPresetsAreFoundFirstAndHostStatesFollowThem)
{
    ArpAudioProcessor p;
    saveAs (p, presets().getChildFile ("Lead.fxp"));
    saveAs (p, presets().getChildFile ("Factory/Leads/lead.fxp"));

    EXPECT_EQ (p.getPresets().findPresetFile ("Lead"), presets().getChildFile ("Factory/Leads/lead.fxp"));
    EXPECT_EQ (p.getPresets().findPresetFile ("LEAD.FXP"), presets().getChildFile ("Factory/Leads/lead.fxp"));
    EXPECT_EQ (p.getPresets().findPresetFile ("Nothing"), juce::File());
    EXPECT_EQ (p.getPresets().findPresetFile (""), juce::File());

    saveAs (p, presets().getChildFile ("Only Mine.fxp"));
    EXPECT_EQ (p.getPresets().findPresetFile ("only mine"), presets().getChildFile ("Only Mine.fxp"));

    // A host state naming the factory preset sends previous/next there.
    EXPECT_TRUE (p.getPresets().loadPresetFile (presets().getChildFile ("Factory/Leads/lead.fxp")).wasOk());
    juce::MemoryBlock state;
    p.getStateInformation (state);
    ArpAudioProcessor restored;
    restored.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    EXPECT_EQ (restored.getPresets().getCurrentPresetName(), "lead");
    EXPECT_EQ (restored.getPresets().getCurrentPresetFolder(), presets().getChildFile ("Factory/Leads"));
}

TEST_F (Presets, SavingReplacesTheFileInOneStep)
{
    ArpAudioProcessor p;
    const auto file = saveAs (p, presets().getChildFile ("Keep.fxp"));
    juce::MemoryBlock before;
    ASSERT_TRUE (file.loadFileAsData (before));

    // A second name for the old file's content: a save that rewrote the file
    // in place (and could be cut short half-way) would change it too.
    const auto witness = presets().getChildFile ("witness");
    ASSERT_EQ (::link (file.getFullPathName().toRawUTF8(), witness.getFullPathName().toRawUTF8()), 0);

    p.getSettings().setLeakRate (0.5f);
    p.getPresets().savePreset (file);

    juce::MemoryBlock after, old;
    ASSERT_TRUE (file.loadFileAsData (after));
    ASSERT_TRUE (witness.loadFileAsData (old));
    EXPECT_EQ (old, before);
    EXPECT_NE (after, before);
    EXPECT_EQ (presets().findChildFiles (juce::File::findFiles, false, "*").size(), 2);
}

} // namespace
} // namespace mur
