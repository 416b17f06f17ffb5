#include "FactoryPresets.h"

#include <juce_events/juce_events.h>

#include <iostream>

// Writes MUR's factory presets into the folder given as the only argument.
int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: mur-make-presets FOLDER\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;

    // The processors made here must not create folders in anyone's documents.
    const auto scratch = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getNonexistentChildFile ("mur-make-presets", {}, false);
    scratch.createDirectory();
    mur::PresetLibrary::setDocumentsFolderOverride (scratch);

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    const auto written = mur::presets::writeAll (folder);
    scratch.deleteRecursively();

    std::cout << "mur-make-presets: " << written.size() << " presets in " << folder.getFullPathName() << "\n";
    return written.size() == static_cast<int> (mur::presets::factoryPresets().size()) ? 0 : 1;
}
