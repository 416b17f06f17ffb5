#include "plugin/ArpAudioProcessor.h"

#include <gtest/gtest.h>

// Saved documents of known settings, committed byte for byte: what the writer
// makes of the same settings must never change, or projects saved by one
// version would differ from those of the next. MUR_WRITE_FIXTURES=1 rewrites
// them (only when the format is meant to change).
namespace mur
{
namespace
{

juce::File fixture (const juce::String& name)
{
    return juce::File (MUR_FIXTURES_DIR).getChildFile (name);
}

void defaults (ArpAudioProcessor&) {}

void varied (ArpAudioProcessor& p)
{
    p.getSettings().reseed (4242);
    p.getSettings().setLeakRate (0.3f);
    p.getSettings().setRecurrenceScale (2.5f);
    p.getSettings().setHiddenSize (17);
    p.getSettings().setSoftmaxGain (123.4567f);
    p.getSettings().setRepeatGain (0.2f);
    p.getSettings().setNeighborGain (0.6f);
    p.getSettings().setBeatRate (9);
    p.getSettings().setHoldMode (true);
    p.getSettings().setGatePercentage (75.0);
    p.getSettings().setControlInput (0, -0.4f);
    p.getSettings().setControlInput (1, 0.9f);
    p.getSettings().setNoteGain (0, 0.2f);
    p.getSettings().setNoteGain (3, 0.9f);
    p.getSettings().setNumSteps (24);
    p.getSettings().setStartStep (5);
    p.getSettings().setPulseGain (-0.5f);
    p.getSettings().ensureBeatPulseGainCount (24);
    p.getSettings().setBeatPulseGain (20, -0.75f);
    p.getSettings().setDarkPaletteBias (0.61f);
    p.getSettings().setBypassNoteGains (true);
    p.getSettings().setXYCheckpoints ({ { 0.5f, -0.25f, 0xff102030 }, { -1.0f, 1.0f, 0x80ffffff } });
    p.getSettings().setLinkLeakRecurrence (true);
}

TEST (StateFixtures, TheWriterMakesTheCommittedBytes)
{
    const std::tuple<const char*, void (*) (ArpAudioProcessor&), bool> cases[] = {
        { "defaults.state", defaults, true },
        { "varied.state", varied, true },
        { "varied-preset.state", varied, false },
    };

    for (const auto& [name, settings, transport] : cases)
    {
        ArpAudioProcessor p;
        settings (p);
        juce::MemoryBlock written;
        p.getStateDocument().write (written, transport);

        if (std::getenv ("MUR_WRITE_FIXTURES") != nullptr)
            fixture (name).replaceWithData (written.getData(), written.getSize());

        juce::MemoryBlock committed;
        ASSERT_TRUE (fixture (name).loadFileAsData (committed)) << name;
        EXPECT_EQ (written, committed) << name << " differs from the committed document";

        // And a fresh processor that reads it writes it again unchanged.
        ArpAudioProcessor reader;
        reader.getStateDocument().read (committed.getData(), committed.getSize(), {}, transport);
        juce::MemoryBlock again;
        reader.getStateDocument().write (again, transport);
        EXPECT_EQ (again, committed) << name << " does not survive a round trip";
    }
}

} // namespace
} // namespace mur
