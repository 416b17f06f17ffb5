#include "TestHelpers.h"
#include "engine/NetworkShaping.h"
#include "persistence/NetworkBlock.h"
#include "persistence/UntrustedXml.h"
#include "plugin/ArpAudioProcessor.h"
#include "processor/ParameterIds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace mur
{
namespace
{

juce::MemoryBlock stateOf (ArpAudioProcessor& p, bool transport = true)
{
    juce::MemoryBlock block;
    p.getStateDocument().write (block, transport);
    return block;
}

juce::String xmlPart (const juce::MemoryBlock& block)
{
    return juce::String::fromUTF8 (static_cast<const char*> (block.getData()),
                                   static_cast<int> (std::strlen (static_cast<const char*> (block.getData()))));
}

void load (ArpAudioProcessor& p, const juce::String& xml)
{
    const auto utf8 = xml.toStdString();
    p.setStateInformation (utf8.data(), static_cast<int> (utf8.size()));
}

juce::String document (const juce::String& attributes, const juce::String& children = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Arp " + attributes + ">" + children + "</Arp>";
}

// A state document whose network block is built by hand.
juce::MemoryBlock documentWithNetwork (const juce::String& xml, const std::vector<std::uint8_t>& block)
{
    juce::MemoryBlock result;
    const auto utf8 = xml.toStdString();
    result.append (utf8.data(), utf8.size());
    result.append ("\0", 1);
    result.append (networkMarker, networkMarkerLength);
    result.append (block.data(), block.size());
    return result;
}

void putInt (std::vector<std::uint8_t>& out, std::int32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back (static_cast<std::uint8_t> (static_cast<std::uint32_t> (v) >> (8 * i)));
}

void putFloat (std::vector<std::uint8_t>& out, float f)
{
    std::uint32_t bits;
    std::memcpy (&bits, &f, 4);
    putInt (out, static_cast<std::int32_t> (bits));
}

// A network block with the given counts, every weight `value`.
std::vector<std::uint8_t> networkBlock (int inputs, int hidden, int outputs, float value, int biasLength)
{
    std::vector<std::uint8_t> out;
    putInt (out, inputs);
    putInt (out, hidden);
    putInt (out, outputs);
    auto matrix = [&] (int rows, int columns)
    {
        putInt (out, rows);
        for (int r = 0; r < rows; ++r)
        {
            putInt (out, columns);
            for (int c = 0; c < columns; ++c)
                putFloat (out, value);
        }
    };
    matrix (hidden, inputs);
    matrix (hidden, hidden);
    matrix (outputs, hidden);
    putInt (out, hidden);
    for (int i = 0; i < hidden; ++i)
        putFloat (out, 0.25f);
    if (biasLength >= 0)
    {
        putInt (out, biasLength);
        for (int i = 0; i < biasLength; ++i)
            putFloat (out, 0.75f);
    }
    return out;
}

TEST (StateDocument, RoundTripIsBitExactAndStable)
{
    ArpAudioProcessor original;
    original.getSettings().reseed (4242);
    original.getSettings().setLeakRate (0.3f);
    original.getSettings().setHiddenSize (17);
    original.getSettings().setSoftmaxGain (123.4567f);
    original.getSettings().setBeatRate (9);
    original.getSettings().setHoldMode (true);
    original.getSettings().setGatePercentage (75.0);
    original.getSettings().setNoteGain (0, 0.2f);
    original.getSettings().setNoteGain (3, 0.9f);
    original.getSettings().setNumSteps (24);
    original.getSettings().setStartStep (5);
    original.getSettings().ensureBeatPulseGainCount (24);
    original.getSettings().setBeatPulseGain (20, -0.75f);
    original.getSettings().setXYCheckpoints ({ { 0.5f, -0.25f, 0xff102030 }, { -1.0f, 1.0f, 0x80ffffff } });
    original.getSettings().setLinkLeakRecurrence (true);

    const auto first = stateOf (original);
    EXPECT_EQ (first.getSize(), static_cast<size_t> (xmlPart (first).getNumBytesAsUTF8()) + 1 + 33 + 32036);
    EXPECT_TRUE (xmlPart (first).startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));

    ArpAudioProcessor copy;
    copy.setStateInformation (first.getData(), static_cast<int> (first.getSize()));

    EXPECT_EQ (copy.getEngine().getInputWeights(), original.getEngine().getInputWeights());
    EXPECT_EQ (copy.getEngine().getRecurrentWeights(), original.getEngine().getRecurrentWeights());
    EXPECT_EQ (copy.getEngine().getReadoutWeights(), original.getEngine().getReadoutWeights());
    EXPECT_EQ (copy.getEngine().getState(), original.getEngine().getState());
    EXPECT_EQ (copy.getEngine().getBias(), original.getEngine().getBias());
    EXPECT_EQ (copy.getEngine().getActiveHiddenSize(), 17);
    EXPECT_EQ (copy.getSettings().getArpSeed(), 4242);
    EXPECT_TRUE (copy.getSettings().getMirrors().holdMode);
    EXPECT_DOUBLE_EQ (copy.getSettings().getMirrors().gatePercentage, 75.0);
    EXPECT_EQ (copy.getSettings().getMirrors().numSteps, 24);
    EXPECT_EQ (copy.getSettings().getBeatPulseGain (20), -0.75f);
    EXPECT_EQ (copy.getSettings().getXYCheckpoints(), original.getSettings().getXYCheckpoints());
    EXPECT_TRUE (copy.getSettings().getLinkLeakRecurrence());

    for (int i = 0; i < ids::numParameters; ++i)
        EXPECT_EQ (copy.getParameters()[i]->getValue(), original.getParameters()[i]->getValue()) << ids::all()[i];

    const auto second = stateOf (copy);
    EXPECT_EQ (first, second);
}

TEST (StateDocument, BypassGainsAndPaletteBiasesSurviveAReloadAndOlderDocumentsStillRead)
{
    ArpAudioProcessor original;
    original.getParameterTree().getParameter (ids::at (ids::pos::bypassNoteGains))->setValueNotifyingHost (1.0f);
    original.getSettings().setDarkPaletteBias (0.61f);
    original.getSettings().setLightPaletteBias (0.12f);

    const auto saved = stateOf (original);
    const auto xml = xmlPart (saved);
    EXPECT_TRUE (xml.contains ("hasBinaryRNNData=\"1\""));
    EXPECT_GT (xml.indexOf ("bypassNoteGains"), xml.indexOf ("hasBinaryRNNData"));

    ArpAudioProcessor copy;
    copy.setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));
    EXPECT_TRUE (copy.getSettings().getBypassNoteGains());
    EXPECT_FLOAT_EQ (copy.getSettings().getMirrors().darkPaletteBias, 0.61f);
    EXPECT_FLOAT_EQ (copy.getSettings().getMirrors().lightPaletteBias, 0.12f);
    for (auto id : { ids::at (ids::pos::bypassNoteGains), ids::at (ids::pos::darkPaletteBias), ids::at (ids::pos::lightPaletteBias) })
        EXPECT_EQ (copy.getParameterTree().getParameter (id)->getValue(), original.getParameterTree().getParameter (id)->getValue()) << id;

    // A document without them (an earlier version's) leaves them as they are.
    ArpAudioProcessor older;
    load (older, document (""));
    EXPECT_FALSE (older.getSettings().getBypassNoteGains());
    EXPECT_FLOAT_EQ (older.getSettings().getMirrors().darkPaletteBias, 0.235f);
    EXPECT_FLOAT_EQ (older.getParameterTree().getRawParameterValue (ids::at (ids::pos::darkPaletteBias))->load(), 0.27f);
}

TEST (UntrustedXml, TextsThatWouldLeadTheParserPastTheirEndAreRefused)
{
    EXPECT_NE (parseUntrustedXml ("<Arp name=\"&#x41;\"/>"), nullptr);
    EXPECT_EQ (parseUntrustedXml ("<Arp name=\"&#x41;\"/>")->getStringAttribute ("name"), "A");
    EXPECT_NE (parseUntrustedXml ("<Arp>&#x123456789</Arp>"), nullptr); // too long: an error inside the text

    for (const auto* cut : { "<Arp>&#x", "<Arp>&#X1f", "<Arp a=\"&#x12345678", "<Arp>\r\n&#x0" })
        EXPECT_EQ (parseUntrustedXml (cut), nullptr) << cut;

    EXPECT_EQ (parseUntrustedXml ("<!DOCTYPE Arp [<!ENTITY e \"&#x\">]><Arp>&e;</Arp>"), nullptr);

    // A lead byte that promises more bytes than the text has, or stray ones.
    for (const auto* broken : { "<Arp a=\"\xf0\"/>", "<Arp>\xe2\x82</Arp>", "<Arp>\x80</Arp>", "<Arp>\xf0" })
        EXPECT_EQ (parseUntrustedXml (broken, std::strlen (broken)), nullptr) << broken;
    const char euro[] = "<Arp name=\"\xe2\x82\xac\"/>";
    EXPECT_EQ (parseUntrustedXml (euro, std::strlen (euro))->getStringAttribute ("name"), juce::String::fromUTF8 ("\xe2\x82\xac"));

    // The earlier binary form is read within the bytes that are there.
    juce::MemoryBlock binary;
    juce::AudioProcessor::copyXmlToBinary (juce::XmlElement ("ArpParameters"), binary);
    EXPECT_NE (parseUntrustedBinaryXml (binary.getData(), static_cast<int> (binary.getSize())), nullptr);
    static_cast<juce::uint8*> (binary.getData())[4] = 0xff; // a length far beyond the data
    static_cast<juce::uint8*> (binary.getData())[5] = 0xff;
    EXPECT_NE (parseUntrustedBinaryXml (binary.getData(), static_cast<int> (binary.getSize())), nullptr);
    EXPECT_EQ (parseUntrustedBinaryXml (binary.getData(), 8), nullptr);
}

TEST (StateDocument, RatesFromTheEarlierNumberingMoveDownOne)
{
    const std::pair<const char*, int> cases[] = { { "beatRate=\"7\"", 6 }, { "beatRate=\"0\"", 0 },
                                                   { "beatRate=\"20\"", 12 }, { "", 5 },
                                                   { "rateFormat=\"1\" beatRate=\"7\"", 7 } };
    for (const auto& [attributes, expected] : cases)
    {
        ArpAudioProcessor p;
        load (p, document (attributes));
        EXPECT_EQ (p.getSettings().getMirrors().rateIndex, expected) << attributes;
    }
}

TEST (StateDocument, ValuesEndInsideTheirRanges)
{
    ArpAudioProcessor p;
    load (p, document ("numSteps=\"1\" hiddenSize=\"999\" leakRate=\"7\" softmaxGain=\"nan\" recurrenceScale=\"abc\" "
                       "controlInput0=\"3\" pulseGain=\"-inf\"",
                       "<NoteGains Gain3=\"1.7\" Gain4=\"-2\"/><BeatPulseGains NumGains=\"3\" Gain1=\"-3\"/>"));
    const auto& m = p.getSettings().getMirrors();
    EXPECT_EQ (m.numSteps, 2);
    EXPECT_EQ (m.hiddenSize, 50);
    EXPECT_FLOAT_EQ (m.leakRate, 1.0f);
    EXPECT_FLOAT_EQ (m.softmaxGain, 1000.0f);
    EXPECT_FLOAT_EQ (m.recurrenceScale, 0.0f); // text that is no number reads as 0
    EXPECT_FLOAT_EQ (m.controlInput0, 1.0f);
    EXPECT_FLOAT_EQ (m.pulseGain, 1.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getNoteGain (3), 1.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getNoteGain (4), 0.0f);
    EXPECT_FLOAT_EQ (p.getSettings().getNoteGain (5), 0.5f);
    EXPECT_FLOAT_EQ (p.getSettings().getBeatPulseGain (1), -1.0f);

    load (p, document ("numSteps=\"100\""));
    EXPECT_EQ (p.getSettings().getMirrors().numSteps, 64);
}

TEST (StateDocument, DamagedOrForeignNetworksLeaveTheNetworkAlone)
{
    ArpAudioProcessor p;
    const auto weights = p.getEngine().getInputWeights();
    const auto xml = document ("hasBinaryRNNData=\"1\" arpSeed=\"12345\"");

    const std::vector<std::vector<std::uint8_t>> blocks {
        networkBlock (54, 49, 51, 0.5f, 49),            // another hidden count
        networkBlock (20, 50, 51, 0.5f, 50),            // another layout
        networkBlock (54, 50, 51, std::numeric_limits<float>::quiet_NaN(), 50),
        networkBlock (54, 50, 51, std::numeric_limits<float>::infinity(), 50),
    };

    for (const auto& block : blocks)
    {
        const auto doc = documentWithNetwork (xml, block);
        p.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));
        EXPECT_EQ (p.getEngine().getInputWeights(), weights);
    }

    auto truncated = networkBlock (54, 50, 51, 0.5f, 50);
    truncated.resize (truncated.size() / 2);
    const auto doc = documentWithNetwork (xml, truncated);
    p.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));
    EXPECT_EQ (p.getEngine().getInputWeights(), weights);
}

TEST (StateDocument, BiasIsTakenOnlyAtFiftyAndRedrawnOtherwise)
{
    const auto xml = document ("hasBinaryRNNData=\"1\" arpSeed=\"777\"");

    ArpAudioProcessor withBias;
    auto doc = documentWithNetwork (xml, networkBlock (54, 50, 51, 0.5f, 50));
    withBias.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));
    EXPECT_EQ (withBias.getEngine().getInputWeights()[3][7], 0.5f);
    EXPECT_EQ (withBias.getEngine().getBias(), std::vector<float> (50, 0.75f));
    EXPECT_EQ (withBias.getEngine().getState(), std::vector<float> (50, 0.25f));

    // A bias of another length and a missing bias both get the same fresh draw.
    ArpAudioProcessor wrongLength, missing;
    doc = documentWithNetwork (xml, networkBlock (54, 50, 51, 0.5f, 30));
    wrongLength.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));
    doc = documentWithNetwork (xml, networkBlock (54, 50, 51, 0.5f, -1));
    missing.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));

    EXPECT_NE (wrongLength.getEngine().getBias(), std::vector<float> (50, 0.75f));
    EXPECT_EQ (wrongLength.getEngine().getBias(), missing.getEngine().getBias());
}

TEST (StateDocument, EarlierFourteenInputNetworksAreWidened)
{
    const auto xml = document ("hasBinaryRNNData=\"1\" arpSeed=\"99\"");
    ArpAudioProcessor withBias, withoutBias;

    auto doc = documentWithNetwork (xml, networkBlock (14, 50, 11, 0.5f, 50));
    withBias.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));
    doc = documentWithNetwork (xml, networkBlock (14, 50, 11, 0.5f, -1));
    withoutBias.setStateInformation (doc.getData(), static_cast<int> (doc.getSize()));

    for (auto* p : { &withBias, &withoutBias })
    {
        const auto& in = p->getEngine().getInputWeights();
        EXPECT_EQ (in[0][10], 0.5f);
        EXPECT_EQ (in[0][53], 0.5f);
        EXPECT_NE (in[0][20], 0.5f);
        EXPECT_EQ (p->getEngine().getReadoutWeights()[10][0], 0.5f);
        EXPECT_NE (p->getEngine().getReadoutWeights()[11][0], 0.5f);
    }

    EXPECT_EQ (withBias.getEngine().getBias(), std::vector<float> (50, 0.75f));
    EXPECT_NE (withoutBias.getEngine().getBias(), std::vector<float> (50, 0.75f));
    EXPECT_EQ (withBias.getEngine().getInputWeights(), withoutBias.getEngine().getInputWeights());
}

TEST (StateDocument, PresetsLeaveHoldAndGateAlone)
{
    ArpAudioProcessor source;
    source.getSettings().setHoldMode (true);
    source.getSettings().setGatePercentage (90.0);
    const auto preset = stateOf (source, false);
    EXPECT_FALSE (xmlPart (preset).contains ("holdMode"));
    EXPECT_FALSE (xmlPart (preset).contains ("gatePercentage"));

    ArpAudioProcessor target;
    target.getSettings().setGatePercentage (20.0);
    target.getStateDocument().read (preset.getData(), preset.getSize(), "Mine", false);
    EXPECT_FALSE (target.getSettings().getMirrors().holdMode);
    EXPECT_DOUBLE_EQ (target.getSettings().getMirrors().gatePercentage, 20.0);
    EXPECT_EQ (target.getPresets().getCurrentPresetName(), "Mine");
}

TEST (StateDocument, AManyCheckpointDocumentKeepsItsNetwork)
{
    ArpAudioProcessor original;
    original.getSettings().reseed (31);
    std::vector<XYCheckpoint> many;
    for (int i = 0; i < 400; ++i)
        many.push_back ({ static_cast<float> (i) / 400.0f, -0.5f, 0xff00ff00 });
    original.getSettings().setXYCheckpoints (many);

    const auto state = stateOf (original);
    ASSERT_GT (xmlPart (state).length(), 10000);

    ArpAudioProcessor copy;
    copy.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
    EXPECT_EQ (copy.getEngine().getInputWeights(), original.getEngine().getInputWeights());
    EXPECT_EQ (copy.getSettings().getXYCheckpoints().size(), 400u);
}

TEST (StateDocument, LegacyParameterTreeIsReadAndKeepsTheBias)
{
    ArpAudioProcessor source;
    source.getSettings().reseed (2024);
    source.getSettings().setLeakRate (0.4f);
    source.getSettings().setHiddenSize (12);

    auto tree = source.getParameterTree().copyState();
    tree.setProperty ("arpSeed", 2024, nullptr);
    tree.setProperty ("currentPresetName", "  Old Song ", nullptr);

    // The earlier network form: counts, then rows without lengths.
    std::vector<std::uint8_t> raw;
    putInt (raw, 54);
    putInt (raw, 50);
    putInt (raw, 51);
    for (const auto* m : { &source.getEngine().getInputWeights(), &source.getEngine().getRecurrentWeights(),
                           &source.getEngine().getReadoutWeights() })
        for (const auto& row : *m)
            for (auto v : row)
                putFloat (raw, v);
    for (auto v : source.getEngine().getState())
        putFloat (raw, v);
    ASSERT_EQ (raw.size(), 31212u);
    tree.setProperty ("rnnWeightsBase64", juce::MemoryBlock (raw.data(), raw.size()).toBase64Encoding(), nullptr);

    juce::MemoryBlock legacy;
    juce::AudioProcessor::copyXmlToBinary (*tree.createXml(), legacy);

    ArpAudioProcessor target;
    const auto biasBefore = target.getEngine().getBias();
    target.getSettings().setLeakRate (0.9f);
    target.setStateInformation (legacy.getData(), static_cast<int> (legacy.getSize()));

    EXPECT_EQ (target.getEngine().getInputWeights(), source.getEngine().getInputWeights());
    EXPECT_EQ (target.getEngine().getBias(), biasBefore);
    EXPECT_FLOAT_EQ (target.getSettings().getMirrors().leakRate, 0.4f);
    EXPECT_EQ (target.getSettings().getMirrors().hiddenSize, 12);
    EXPECT_EQ (target.getSettings().getArpSeed(), 2024);
    EXPECT_EQ (target.getPresets().getCurrentPresetName(), "Old Song");
    EXPECT_FALSE (target.getHistory().canUndo());
}

TEST (StateDocument, UnreadableStatesChangeNothing)
{
    ArpAudioProcessor p;
    p.getSettings().setLeakRate (0.33f);
    const auto before = stateOf (p);

    for (const juce::String junk : { "", "not xml at all", "<Arp leakRate=\"0.5\" <<", "<Other/>", "VC2!garbage" })
        load (p, junk);

    p.setStateInformation (nullptr, 10);
    EXPECT_EQ (stateOf (p), before);
}

} // namespace
} // namespace mur
