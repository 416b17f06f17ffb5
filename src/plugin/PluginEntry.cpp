#include "ArpAudioProcessor.h"

// The plug-in wrappers call this once per instance the host creates.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new mur::ArpAudioProcessor();
}
