#include "PianoRoll.h"
#include "Renderer.h"
#include "Snapshot.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <unistd.h>

// mur-render: MUR's arpeggio of a MIDI file, offline.
int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;

    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    juce::String error;
    const auto options = mur::render::parseArguments (args, error);

    if (! options)
    {
        std::cerr << "mur-render: " << error << "\n";
        return 2;
    }

    if (options->showHelp)
    {
        std::cout << mur::render::usage();
        return 0;
    }

    if (options->listPresets || options->listParams)
    {
        mur::ArpAudioProcessor processor;
        if (options->listPresets)
            std::cout << mur::render::listPresets();
        if (options->listParams)
        {
            // The values shown are those the render would start from.
            if (! mur::render::applyPresetAndSettings (processor, *options, error))
            {
                std::cerr << "mur-render: " << error << "\n";
                return 2;
            }
            std::cout << mur::render::listParameters (processor);
        }
        return 0;
    }

    if (options->snapshot != juce::File())
    {
        if (! mur::render::writeEditorSnapshot (options->snapshot, *options, error))
        {
            std::cerr << "mur-render: " << error << "\n";
            return 2;
        }

        const auto& shot = options->snapshotOptions;
        const auto scale = shot.width / 1078.0;
        const auto size = shot.area.isEmpty() ? juce::Point<int> (shot.width, shot.height)
                                              : juce::Point<int> (juce::roundToInt (shot.area.getWidth() * scale),
                                                                  juce::roundToInt (shot.area.getHeight() * scale));
        std::cout << "written:    " << options->snapshot.getFullPathName() << " (" << size.x << " x " << size.y << ")\n";
        return 0;
    }

    const bool drawProgress = options->showProgress || (isatty (STDERR_FILENO) && ! options->json);
    auto progress = [drawProgress] (double fraction)
    {
        if (! drawProgress)
            return;
        const auto filled = static_cast<int> (fraction * 40.0);
        std::cerr << "\rrendering [" << std::string (static_cast<size_t> (filled), '#')
                  << std::string (static_cast<size_t> (40 - filled), '.') << "] " << static_cast<int> (fraction * 100.0) << "%"
                  << (fraction >= 1.0 ? "\n" : "") << std::flush;
    };

    const auto summary = mur::render::render (*options, error, progress);

    if (! summary)
    {
        std::cerr << "mur-render: " << error << "\n";
        return 2;
    }

    if (options->plot != juce::File() && ! mur::render::writePianoRoll (*summary, options->plot, error))
    {
        std::cerr << "mur-render: " << error << "\n";
        return 2;
    }

    if (options->json)
    {
        std::cout << summary->toJson() << "\n";
        return 0;
    }

    std::cout << "input:      " << (options->input == juce::File() ? juce::String ("built-in demo (Am F C G, two bars each)")
                                                                   : options->input.getFullPathName()) << "\n"
              << summary->describe() << "written:    " << options->output.getFullPathName() << "\n";
    if (options->plot != juce::File())
        std::cout << "plot:       " << options->plot.getFullPathName() << "\n";
    return 0;
}
