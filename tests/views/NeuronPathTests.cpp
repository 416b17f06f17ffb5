#include "views/ViewsPanel.h"
#include "PaintRecorder.h"
#include "editor/EditorFixture.h"
#include "processor/Settings.h"
#include "views/NeuronPathOverlay.h"

namespace mur
{
namespace
{
using test::Editor;

struct Tint
{
    juce::Colour colour;
    float level = -1.0f, strength = -1.0f;
};

// An overlay at the Capacity knob's size whose accent is `accent`; returns
// the tint it hands on 40 ms into a flash (the top of its rise).
Tint flashWith (float accent)
{
    views::NeuronPathOverlay overlay;
    overlay.setSize (69, 69);
    overlay.accentOf = [accent] (int) { return accent; };
    Tint tint;
    overlay.onTint = [&tint] (juce::Colour c, float level, float strength) { tint = { c, level, strength }; };

    const auto start = juce::Time::getMillisecondCounterHiRes() / 1000.0;
    overlay.advance (start);
    overlay.flash (3);
    overlay.advance (start + 10.0); // long enough for the 80 ms rise
    test::recordPaint (overlay);
    return tint;
}

TEST (NeuronPath, TheSameSeedGivesTheSameExtraNodesAndEachLevelAddsOne)
{
    views::NeuronPathOverlay first, second;
    for (auto* overlay : { &first, &second })
    {
        overlay->generateExtras();
        overlay->setSize (69, 69);
    }
    EXPECT_EQ (first.getExtrasSource().size(), 8u);
    for (size_t i = 0; i < 8; ++i)
    {
        EXPECT_EQ (first.getExtrasSource()[i].x, second.getExtrasSource()[i].x);
        EXPECT_EQ (first.getExtrasSource()[i].y, second.getExtrasSource()[i].y);
    }

    second.setSeed (99);
    second.generateExtras();
    EXPECT_NE (first.getExtrasSource()[0].x, second.getExtrasSource()[0].x);

    // One more inner node per level: a triangulation gains three edges for
    // each point inside its boundary.
    for (int level = 1; level < 8; ++level)
        EXPECT_EQ (first.segmentsAt (level + 1).size(), first.segmentsAt (level).size() + 3) << level;
}

TEST (NeuronPath, AnAccentOfZeroWashesNothingAndAFullOneWashesMost)
{
    const auto none = flashWith (0.0f);
    EXPECT_EQ (none.strength, 0.0f);

    const auto up = flashWith (1.0f);
    EXPECT_EQ (up.strength, 1.0f);
    EXPECT_NEAR (up.level, 1.0f, 1.0e-4f);
    EXPECT_EQ (up.colour.withAlpha (1.0f), juce::Colour (0xff9078f2));

    const auto down = flashWith (-1.0f);
    EXPECT_EQ (down.strength, 1.0f);
    EXPECT_EQ (down.colour.withAlpha (1.0f), juce::Colour (0xffdaf278));
}

TEST_F (Editor, CapacitySetsTheNeuronPathLevelAndTheNetworkSeedItsNodes)
{
    auto& path = editor->pieces().neuronPath;
    auto& capacity = *editor->pieces().control ("Capacity");
    capacity.setValueAsUserAction (0.0f);
    EXPECT_EQ (path.getLevel(), 1);
    capacity.setValueAsUserAction (1.0f);
    EXPECT_EQ (path.getLevel(), 8);
    EXPECT_LT (path.getProgress(), 1.0f) << "a level change starts a transition";
    bool self = true, children = true;
    path.getInterceptsMouseClicks (self, children);
    EXPECT_FALSE (self || children);

    // Another editor for the same processor draws the same nodes.
    const auto extras = path.getExtrasSource();
    editor.reset();
    editor.reset (dynamic_cast<ArpAudioProcessorEditor*> (processor->createEditorIfNeeded()));
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->pieces().neuronPath.getExtrasSource().size(), extras.size());
    EXPECT_EQ (editor->pieces().neuronPath.getExtrasSource()[0].x, extras[0].x);

    editor->pieces().button ("reseedButton")->onClick();
    EXPECT_EQ (editor->pieces().neuronPath.getSeed(), processor->getSettings().getArpSeed());
    EXPECT_NE (editor->pieces().neuronPath.getExtrasSource()[0].x, extras[0].x);
}

} // namespace
} // namespace mur
