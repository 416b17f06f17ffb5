#include "PluginHost.h"

#include <juce_events/juce_events.h>

#include <iostream>

// Loads the built VST3 bundle as a host would and prints what it finds.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;

    const auto bundle = argc > 1 ? juce::File::getCurrentWorkingDirectory().getChildFile (argv[1])
                                 : mur::host::vst3BundleFor (juce::File (MUR_VST3_BINARY));

    juce::String error;
    auto instance = mur::host::loadVst3 (bundle, 48000.0, 512, error);

    if (instance == nullptr)
    {
        std::cerr << "mur-hostcheck: " << error << "\n";
        return 1;
    }

    const auto description = instance->getPluginDescription();
    std::cout << "bundle:       " << bundle.getFullPathName() << "\n"
              << "plug-in:      " << description.name << " by " << description.manufacturerName
              << ", version " << description.version << "\n"
              << "category:     " << description.category << "\n"
              << "MIDI:         in " << (instance->acceptsMidi() ? "yes" : "no")
              << ", out " << (instance->producesMidi() ? "yes" : "no") << "\n";

    const auto parameters = mur::host::visibleParameters (*instance);
    std::cout << "parameters:   " << parameters.size() << " (of " << instance->getParameters().size()
              << " including MIDI controller stand-ins)\n";

    for (auto index : { 0, 1, 59, 88, parameters.size() - 1 })
        if (auto* p = parameters[index])
            std::cout << "  #" << (index + 1) << " " << p->getName (64) << " = " << p->getCurrentValueAsText()
                      << (p->isMetaParameter() ? " (meta)" : "") << "\n";

    instance->prepareToPlay (48000.0, 512);
    juce::Random random (1);
    const auto loudest = mur::host::runNoiseBlocks (*instance, 200, 512, random);
    instance->releaseResources();

    std::cout << "audio:        200 blocks of noise in, "
              << (loudest == 0.0f ? juce::String ("silence out")
                                  : "NOT silent (peak " + juce::String (loudest) + ")") << "\n";

    return loudest == 0.0f ? 0 : 1;
}
