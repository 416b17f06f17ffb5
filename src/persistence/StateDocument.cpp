#include "StateDocument.h"

#include "NetworkBlock.h"
#include "UntrustedXml.h"
#include "engine/NetworkShaping.h"
#include "processor/ParameterIds.h"
#include "processor/ParameterBridge.h"
#include "processor/ParameterTable.h"
#include "processor/Settings.h"
#include "processor/SharedEngine.h"

#include <cmath>
#include <cstring>
#include <functional>

// The processor's state document: how a host project and a preset file hold
// everything MUR is, and how both are read back, including damaged ones.
namespace mur
{
namespace
{
// A number from a document: text that is not a number reads as 0, a missing
// attribute or a non-finite number takes the default.
double readReal (const juce::XmlElement& e, const char* name, double fallback)
{
    if (! e.hasAttribute (name))
        return fallback;

    const auto value = e.getDoubleAttribute (name, fallback);
    return std::isfinite (value) ? value : fallback;
}

float readFloat (const juce::XmlElement& e, const char* name, double fallback)
{
    return static_cast<float> (juce::jlimit (-3.0e38, 3.0e38, readReal (e, name, fallback)));
}

int readInt (const juce::XmlElement& e, const char* name, int fallback)
{
    return e.getIntAttribute (name, fallback);
}

// The rate choice. Documents before rateFormat 1 numbered the rates one higher.
int storedRate (const juce::XmlElement& root)
{
    const auto& id = ids::at (ids::pos::beatRate);
    const auto format = readInt (root, "rateFormat", 0);
    auto rate = readInt (root, id.toRawUTF8(), format < 1 ? 6 : 5);
    if (format < 1)
        rate = rate >= 13 ? 12 : (rate > 0 ? rate - 1 : rate);
    return juce::jlimit (0, numRates - 1, rate);
}

std::unique_ptr<juce::XmlElement> parseDocument (const void* data, size_t size)
{
    return parseUntrustedXml (static_cast<const char*> (data), size);
}
} // namespace

StateDocument::StateDocument (Settings& s, SharedEngine& e, ParameterBridge& b)
    : settings (s), engine (e), bridge (b)
{
}

bool StateDocument::restore (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= 0)
        return false;

    const auto size = static_cast<size_t> (sizeInBytes);

    if (auto root = parseDocument (data, size); root != nullptr && root->hasTagName ("Arp"))
    {
        read (data, size, {}, true);
        return true;
    }

    return readLegacy (data, sizeInBytes);
}

//==============================================================================
void StateDocument::write (juce::MemoryBlock& destination, bool includeTransportSettings) const
{
    // No load changes the settings or the network halfway through a save; the
    // audio thread plays on meanwhile.
    const auto loadsHeld = engine.holdLoads();
    juce::XmlElement root ("Arp");
    auto real = [] (float v) { return static_cast<double> (v); };

    const auto& table = parameterTable();

    // The document's own attributes sit between the parameters' (see the
    // parameter table), at these places.
    const std::pair<int, std::function<void()>> ownAttributes[] = {
        { 0, [&] { root.setAttribute ("arpSeed", settings.arpSeed.get()); } },
        { 9, [&] { root.setAttribute ("rateFormat", 1); } },
        { 11, [&] { root.setAttribute ("currentPresetName", presetName.get()); } },
        { 12, [&] { root.setAttribute ("linkLeakRecurrence", settings.linkLeakRecurrence ? 1 : 0); } },
    };
    size_t nextOwn = 0;

    auto writeRows = [&] (Stored where)
    {
        for (const auto index : documentOrder())
        {
            const auto& spec = table[static_cast<size_t> (index)];
            if (spec.stored != where)
                continue;

            for (; nextOwn < std::size (ownAttributes) && ownAttributes[nextOwn].first < spec.documentPlace; ++nextOwn)
                ownAttributes[nextOwn].second();

            const auto value = spec.current (settings);
            if (spec.isWholeNumber())
                root.setAttribute (spec.id, juce::roundToInt (value));
            else
                root.setAttribute (spec.id, value);
        }
    };

    writeRows (Stored::settings);

    if (includeTransportSettings)
        writeRows (Stored::transport);

    auto* gains = root.createNewChildElement ("NoteGains");
    for (int i = 0; i < numOutputs; ++i)
        gains->setAttribute ("Gain" + juce::String (i), real (settings.noteGains[static_cast<size_t> (i)]));

    auto* accents = root.createNewChildElement ("BeatPulseGains");
    accents->setAttribute ("NumGains", settings.beatPulseGains.size());
    for (int i = 0; i < settings.beatPulseGains.size(); ++i)
        accents->setAttribute ("Gain" + juce::String (i), real (settings.beatPulseGains[i]));

    auto* checkpoints = root.createNewChildElement ("XYCheckpoints");
    for (const auto& checkpoint : settings.xyCheckpoints.get())
    {
        auto* cp = checkpoints->createNewChildElement ("cp");
        cp->setAttribute ("x", real (checkpoint.x));
        cp->setAttribute ("y", real (checkpoint.y));
        cp->setAttribute ("colour", juce::Colour (checkpoint.colour).toString());
    }

    root.setAttribute ("hasBinaryRNNData", 1);

    // Later additions, after everything earlier readers know: those readers
    // skip attributes they do not know, and a document without these keeps
    // the values a reader already has.
    writeRows (Stored::appended);

    const auto text = root.toString();
    std::vector<std::uint8_t> bytes;
    bytes.reserve (static_cast<size_t> (text.getNumBytesAsUTF8()) + 1 + networkMarkerLength + 32036);
    bytes.insert (bytes.end(), text.toRawUTF8(), text.toRawUTF8() + text.getNumBytesAsUTF8());
    bytes.push_back (0);
    bytes.insert (bytes.end(), networkMarker, networkMarker + networkMarkerLength);
    appendNetworkBlock (bytes, engine.copyNetwork());

    destination.replaceAll (bytes.data(), bytes.size());
}

//==============================================================================
void StateDocument::read (const void* data, size_t sizeInBytes, const juce::String& loadedPresetName,
                          bool includeTransportSettings)
{
    const ParameterBridge::ScopedLoad loading (bridge);
    // The settings and the network reach the audio thread together, when
    // this ends.
    SharedEngine::Load load (engine, settings.mirrors);
    bridge.beginLoadTransaction();

    const auto root = parseDocument (data, sizeInBytes);

    if (root != nullptr)
    {
        if (root->hasTagName ("Arp"))
        {
            applySettings (*root, includeTransportSettings);
            setPresetName (loadedPresetName.isNotEmpty() ? loadedPresetName : root->getStringAttribute ("currentPresetName"));
        }

        auto& network = load.network();

        if (root->getIntAttribute ("hasBinaryRNNData", 0) != 0)
            applyStoredNetworkBlock (load, static_cast<const juce::uint8*> (data), sizeInBytes);

        if (root->hasAttribute ("arpSeed"))
        {
            network.reseed (static_cast<std::uint32_t> (settings.arpSeed.get()));
            load.sets (SharedEngine::generatorState);
        }

        loads.fetch_add (1, std::memory_order_acq_rel);
    }

    bridge.postChangeNotification();
}

void StateDocument::applySettings (const juce::XmlElement& root, bool includeTransportSettings)
{
    settings.arpSeed = readInt (root, "arpSeed", defaultArpSeed);
    settings.linkLeakRecurrence = readInt (root, "linkLeakRecurrence", 0) != 0;

    // In host order, which is also the order the values depend on each other
    // (the start fraction before the pattern length and start step).
    for (int index = 0; index < ids::numParameters; ++index)
    {
        const auto& spec = parameterTable()[static_cast<size_t> (index)];

        if (spec.stored == Stored::apart || (spec.stored == Stored::transport && ! includeTransportSettings))
            continue;

        const auto* name = spec.id.toRawUTF8();
        double value;

        if (index == ids::pos::beatRate)
            value = storedRate (root);
        else if (! root.hasAttribute (spec.id))
            value = spec.whenMissing;
        else if (spec.kind == ParameterKind::toggle)
            value = readInt (root, name, 0) != 0 ? 1.0 : 0.0;
        else if (spec.isWholeNumber())
            value = readInt (root, name, 0);
        else
            value = juce::jlimit (-3.0e38, 3.0e38, readReal (root, name, spec.whenMissing));

        if (std::isfinite (value))
            spec.apply (settings, spec.familyIndex, value);
    }

    if (const auto* gains = root.getChildByName ("NoteGains"))
        for (int i = 0; i < numOutputs; ++i)
        {
            const auto name = "Gain" + juce::String (i);
            settings.setNoteGain (i, juce::jlimit (0.0f, 1.0f, readFloat (*gains, name.toRawUTF8(), i == 0 ? 0.0 : 0.5)));
        }

    if (const auto* accents = root.getChildByName ("BeatPulseGains"))
    {
        const auto count = juce::jmin (readInt (*accents, "NumGains", 0), maxAccentSteps);

        if (count > 0)
        {
            settings.ensureBeatPulseGainCount (count);
            for (int j = 0; j < count; ++j)
            {
                const auto name = "Gain" + juce::String (j);
                settings.setBeatPulseGain (j, juce::jlimit (-1.0f, 1.0f, readFloat (*accents, name.toRawUTF8(), 0.0)));
            }

            settings.resetAccentParametersFrom (count);
        }
    }

    if (const auto* checkpoints = root.getChildByName ("XYCheckpoints"))
    {
        std::vector<XYCheckpoint> loaded;
        for (const auto* cp : checkpoints->getChildWithTagNameIterator ("cp"))
            loaded.push_back ({ readFloat (*cp, "x", 0.0), readFloat (*cp, "y", 0.0),
                                juce::Colour::fromString (cp->getStringAttribute ("colour", "ff808080")).getARGB() });
        settings.xyCheckpoints.set (std::move (loaded));
    }
}

void StateDocument::applyStoredNetworkBlock (SharedEngine::Load& load, const juce::uint8* data, size_t size)
{
    const auto stored = readNetworkBlock (data, size);

    if (! stored)
        return;

    const auto seed = static_cast<std::uint32_t> (settings.arpSeed.get());
    auto& network = load.network();

    if (! applyStoredNetwork (network, stored->inputs, stored->hidden, stored->outputs, stored->input,
                              stored->recurrent, stored->readout, stored->state, seed))
        return;

    // The earlier layout's network is widened with fresh draws.
    const auto drew = stored->inputs != network.getInputSize();
    network.reseed (seed);

    // The engine needs exactly one bias value per hidden unit; anything else
    // is treated as a missing bias and drawn afresh.
    const auto redraw = ! stored->bias || ! network.setBias (*stored->bias);
    if (redraw)
        network.redrawBias();

    load.sets (static_cast<std::uint8_t> (SharedEngine::hiddenState | SharedEngine::generatorState
                                          | (drew || redraw ? SharedEngine::normalCache : 0)));
}

//==============================================================================
bool StateDocument::readLegacy (const void* data, int sizeInBytes)
{
    const ParameterBridge::ScopedLoad loading (bridge);
    SharedEngine::Load load (engine, settings.mirrors);
    const auto xml = parseUntrustedBinaryXml (data, sizeInBytes);
    if (xml == nullptr)
        return false;

    const auto tree = juce::ValueTree::fromXml (*xml);
    if (! tree.isValid() || ! tree.hasType (bridge.treeType()))
        return false;

    bridge.restoreTree (tree);

    if (tree.hasProperty ("arpSeed"))
        settings.arpSeed = static_cast<int> (tree.getProperty ("arpSeed", defaultArpSeed));
    if (tree.hasProperty ("currentPresetName"))
        setPresetName (tree.getProperty ("currentPresetName").toString());
    settings.linkLeakRecurrence = static_cast<bool> (tree.getProperty ("linkLeakRecurrence", false));

    // A stored parameter value, or the current one where the tree has none.
    auto stored = [&tree] (const juce::String& id, double current)
    {
        const auto child = tree.getChildWithProperty ("id", id);
        const auto value = child.isValid() ? static_cast<double> (child.getProperty ("value", current)) : current;
        return std::isfinite (value) ? value : current;
    };

    const auto* gainsChild = xml->getChildByName ("NoteGains");
    for (int i = 0; i < numOutputs; ++i)
    {
        auto gain = juce::jlimit (0.0f, 1.0f, static_cast<float> (stored (ids::noteGain (i), settings.getNoteGain (i))));
        if (gainsChild != nullptr)
            gain = juce::jlimit (0.0f, 1.0f, readFloat (*gainsChild, ("Gain" + juce::String (i)).toRawUTF8(), gain));
        settings.noteGains[static_cast<size_t> (i)] = gain;
    }

    // Every single parameter but the start fraction, in host order, through
    // its setter: the stored value, or the parameter's own where none is.
    for (int index = ids::pos::leakRate; index < ids::pos::beatPulseGain1; ++index)
    {
        if (index == ids::pos::pulseTimeShift)
            continue;

        const auto& spec = parameterTable()[static_cast<size_t> (index)];
        spec.apply (settings, spec.familyIndex,
                    static_cast<float> (stored (spec.id, bridge.rawValue (index))));
    }

    // The earlier form knew only one octave.
    settings.setOctaveRange (juce::roundToInt (stored ("octaveRange", 1.0)));

    if (const auto* accents = xml->getChildByName ("BeatPulseGains"))
    {
        const auto count = juce::jmin (readInt (*accents, "NumGains", settings.beatPulseGains.size()), maxAccentSteps);

        if (count > 0)
        {
            settings.beatPulseGains.resize (count);
            for (int j = 0; j < count; ++j)
                settings.beatPulseGains.set (j, juce::jlimit (-1.0f, 1.0f, readFloat (*accents, ("Gain" + juce::String (j)).toRawUTF8(), settings.beatPulseGains[j])));

            for (int j = 0; j < juce::jmin (settings.beatPulseGains.size(), ids::numAccentParams); ++j)
                bridge.parameter (ids::pos::beatPulseGain1 + j).setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, (settings.beatPulseGains[j] + 1.0f) * 0.5f));
        }
    }

    const auto seed = static_cast<std::uint32_t> (settings.arpSeed.get());
    auto& network = load.network();

    if (tree.hasProperty ("rnnWeightsBase64"))
    {
        juce::MemoryBlock block;
        if (block.fromBase64Encoding (tree.getProperty ("rnnWeightsBase64").toString()))
            if (const auto legacy = readLegacyNetwork (static_cast<const std::uint8_t*> (block.getData()), block.getSize()))
                if (applyStoredNetwork (network, legacy->inputs, legacy->hidden, legacy->outputs, legacy->input,
                                        legacy->recurrent, legacy->readout, legacy->state, seed))
                {
                    network.reseed (seed);
                    load.sets (static_cast<std::uint8_t> (SharedEngine::hiddenState | SharedEngine::generatorState
                                                          | (legacy->inputs != network.getInputSize() ? SharedEngine::normalCache : 0)));
                }
    }
    else if (tree.hasProperty ("arpSeed"))
    {
        network.reseed (seed);
        load.sets (SharedEngine::generatorState);
    }

    loads.fetch_add (1, std::memory_order_acq_rel);
    bridge.postChangeNotification();
    return true;
}

} // namespace mur
