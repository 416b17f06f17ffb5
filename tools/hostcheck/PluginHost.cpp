#include "PluginHost.h"

namespace mur::host
{

juce::File vst3BundleFor (const juce::File& moduleBinary)
{
    // MUR.vst3/Contents/<architecture>/MUR.so
    return moduleBinary.getParentDirectory().getParentDirectory().getParentDirectory();
}

std::unique_ptr<juce::AudioPluginInstance> loadVst3 (const juce::File& bundle, double sampleRate, int blockSize,
                                                     juce::String& error)
{
    if (! bundle.exists())
    {
        error = "no plug-in bundle at " + bundle.getFullPathName();
        return nullptr;
    }

    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, bundle.getFullPathName());

    if (types.isEmpty())
    {
        error = "the bundle holds no plug-in: " + bundle.getFullPathName();
        return nullptr;
    }

    return format.createInstanceFromDescription (*types.getFirst(), sampleRate, blockSize, error);
}

std::unique_ptr<juce::AudioPluginInstance> loadVst3Module (const juce::File& moduleBinary, double sampleRate,
                                                           int blockSize, juce::String& error)
{
    return loadVst3 (vst3BundleFor (moduleBinary), sampleRate, blockSize, error);
}

std::unique_ptr<juce::AudioPluginInstance> loadLv2 (const juce::File& bundle, const juce::String& uri,
                                                    double sampleRate, int blockSize, juce::String& error)
{
    if (! bundle.isDirectory())
    {
        error = "no plug-in bundle at " + bundle.getFullPathName();
        return nullptr;
    }

    // The format reads the standard folders when it is made; a bundle
    // elsewhere takes a second search (which JUCE's bundled lilv answers by
    // leaking the first one's plug-in classes).
    juce::LV2PluginFormat format;
    if (! format.getDefaultLocationsToSearch().isFileInPath (bundle, false))
        format.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), false, false);

    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, uri);

    if (types.isEmpty())
    {
        error = "no LV2 plug-in " + uri + " in " + bundle.getFullPathName();
        return nullptr;
    }

    return format.createInstanceFromDescription (*types.getFirst(), sampleRate, blockSize, error);
}

juce::Array<juce::AudioProcessorParameter*> visibleParameters (juce::AudioPluginInstance& instance)
{
    juce::Array<juce::AudioProcessorParameter*> result;

    for (auto* parameter : instance.getParameters())
        if (! parameter->getName (64).startsWith ("MIDI CC "))
            result.add (parameter);

    return result;
}

float runNoiseBlocks (juce::AudioPluginInstance& instance, int numBlocks, int maxBlockSize, juce::Random& random)
{
    const auto channels = juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels());
    juce::AudioBuffer<float> buffer (channels, maxBlockSize);
    juce::MidiBuffer midi;
    float loudest = 0.0f;

    for (int block = 0; block < numBlocks; ++block)
    {
        const auto size = block % 7 == 0 ? 0 : (block % 7 == 1 ? 1 : random.nextInt ({ 2, maxBlockSize + 1 }));
        buffer.setSize (channels, size, false, false, true);

        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < size; ++i)
                buffer.setSample (c, i, random.nextFloat() * 2.0f - 1.0f);

        midi.clear();
        instance.processBlock (buffer, midi);

        for (const auto metadata : midi)
            if (metadata.getMessage().isNoteOnOrOff())
                return -1.0f;

        for (int c = 0; c < channels; ++c)
            loudest = juce::jmax (loudest, buffer.getMagnitude (c, 0, size));
    }

    return loudest;
}

} // namespace mur::host
