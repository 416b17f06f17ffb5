// The Windows side of the cross-platform tests. Run under Wine by the Linux
// test suite:
//   mur_wine_host.exe factory BUNDLE              check the VST3 factory and parameters
//   mur_wine_host.exe play BUNDLE OUT [STATE]     play the C-E-G scenario (after loading STATE)
//   mur_wine_host.exe save BUNDLE STATE           write the state of a changed instance
//   mur_wine_host.exe snapshot PNG                draw the editor offscreen, in process
#include "Scenario.h"
#include "persistence/UserSettings.h"
#include "overlays/OverlayPanel.h"
#include "overlays/UpdateService.h"
#include "plugin/ArpAudioProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <pluginterfaces/base/ipluginbase.h>

#include <windows.h>

#include <cstring>
#include <iostream>

namespace
{
int failures = 0;

void check (bool ok, const juce::String& what)
{
    std::cout << (ok ? "ok    " : "FAIL  ") << what << "\n";
    failures += ok ? 0 : 1;
}

std::unique_ptr<juce::AudioPluginInstance> load (const juce::File& bundle)
{
    // JUCE 7 on Windows opens a VST3 by its module file inside the bundle.
    const auto module = bundle.isDirectory() ? bundle.getChildFile ("Contents/x86_64-win/MUR.vst3") : bundle;
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, module.getFullPathName());
    if (types.isEmpty())
    {
        std::cerr << "no plug-in found in " << bundle.getFullPathName() << "\n";
        return nullptr;
    }

    juce::String error;
    auto instance = format.createInstanceFromDescription (*types.getFirst(), 44100.0, 512, error);
    if (instance == nullptr)
        std::cerr << "cannot create the plug-in: " << error << "\n";
    return instance;
}

// The class IDs as the VST3 SDK writes them on Windows (COM byte order):
// first word little-endian, second as two swapped 16-bit halves, the rest big-endian.
std::array<unsigned char, 16> comId (juce::uint32 a, juce::uint32 b, juce::uint32 c, juce::uint32 d)
{
    return { static_cast<unsigned char> (a), static_cast<unsigned char> (a >> 8), static_cast<unsigned char> (a >> 16),
             static_cast<unsigned char> (a >> 24), static_cast<unsigned char> (b >> 16), static_cast<unsigned char> (b >> 24),
             static_cast<unsigned char> (b), static_cast<unsigned char> (b >> 8), static_cast<unsigned char> (c >> 24),
             static_cast<unsigned char> (c >> 16), static_cast<unsigned char> (c >> 8), static_cast<unsigned char> (c),
             static_cast<unsigned char> (d >> 24), static_cast<unsigned char> (d >> 16), static_cast<unsigned char> (d >> 8),
             static_cast<unsigned char> (d) };
}

int checkFactory (const juce::File& bundle)
{
    const auto binary = bundle.getChildFile ("Contents/x86_64-win/MUR.vst3");
    auto* module = LoadLibraryW (binary.getFullPathName().toWideCharPointer());
    check (module != nullptr, "LoadLibrary " + binary.getFullPathName());
    if (module == nullptr)
        return 1;

    using InitFn = bool (*)();
    using FactoryFn = Steinberg::IPluginFactory* (*)();
    auto init = reinterpret_cast<InitFn> (reinterpret_cast<void*> (GetProcAddress (module, "InitDll")));
    auto getFactory = reinterpret_cast<FactoryFn> (reinterpret_cast<void*> (GetProcAddress (module, "GetPluginFactory")));
    check (init != nullptr && GetProcAddress (module, "ExitDll") != nullptr && getFactory != nullptr, "exports InitDll, ExitDll, GetPluginFactory");
    if (init == nullptr || getFactory == nullptr)
        return 1;

    init();
    auto* factory = getFactory();
    Steinberg::PFactoryInfo info;
    factory->getFactoryInfo (&info);
    check (std::strcmp (info.vendor, "Corvane") == 0, "vendor " + juce::String (info.vendor));
    check (info.flags == 16, "factory flags " + juce::String (info.flags));
    check (factory->countClasses() == 2, "two classes");

    const auto component = comId (0xABCDEF01, 0x9182FAEB, 0x436F7276, 0x4D555261);
    const auto controller = comId (0xABCDEF01, 0x1234ABCD, 0x436F7276, 0x4D555261);

    for (int i = 0; i < factory->countClasses(); ++i)
    {
        Steinberg::PClassInfo c;
        factory->getClassInfo (i, &c);
        const auto& expected = std::strcmp (c.category, "Audio Module Class") == 0 ? component : controller;
        check (std::memcmp (c.cid, expected.data(), 16) == 0, "class ID of " + juce::String (c.category));
        check (std::strcmp (c.name, "MUR") == 0, "class name " + juce::String (c.name));
    }

    factory->release();

    auto instance = load (bundle);
    check (instance != nullptr, "JUCE hosts the bundle");
    if (instance != nullptr)
    {
        juce::StringArray names;
        for (auto* p : instance->getParameters())
            if (! p->getName (64).startsWith ("MIDI CC "))
                names.add (p->getName (64));
        check (names.size() == 91, "90 parameters and Bypass (" + juce::String (names.size()) + ")");
        check (names[0] == "Breath" && names[59] == "Start" && names[88] == "Rate Pulse 16" && names[89] == "Octaves" && names[90] == "Bypass",
               "parameter order: " + names[0] + ", " + names[59] + ", " + names[88] + ", " + names[89] + ", " + names[90]);
    }

    return failures == 0 ? 0 : 1;
}

int play (const juce::File& bundle, const juce::File& output, const juce::File& state)
{
    auto instance = load (bundle);
    if (instance == nullptr)
        return 1;

    if (state != juce::File())
    {
        juce::MemoryBlock block;
        if (! state.loadFileAsData (block))
            return 1;
        instance->setStateInformation (block.getData(), static_cast<int> (block.getSize()));
    }

    const auto lines = mur::scenario::playChord (*instance);
    return output.replaceWithText (lines, false, false, "\n") ? 0 : 1;
}

int save (const juce::File& bundle, const juce::File& state)
{
    auto instance = load (bundle);
    if (instance == nullptr)
        return 1;

    mur::scenario::changeParameters (*instance);
    juce::MemoryBlock block;
    instance->getStateInformation (block);
    return state.replaceWithData (block.getData(), block.getSize()) ? 0 : 1;
}

int snapshot (const juce::File& png)
{
    // The picture shows the editor as a returning user sees it: no release
    // notes over it and no update check.
    const mur::userSettings::ScopedScratchSettings scratchSettings (mur::overlays::installedVersion);
    mur::update::overrideServiceAddress (juce::String());
    mur::ArpAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    if (editor == nullptr)
        return 1;

    const auto image = editor->createComponentSnapshot (editor->getLocalBounds(), true, 1.0f);
    editor.reset();
    png.deleteFile();
    juce::FileOutputStream out (png);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out) ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;

    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    const auto command = args[0];
    auto file = [&args] (int i) { return args.size() > i ? juce::File (args[i]) : juce::File(); };

    if (command == "factory" && args.size() == 2)
        return checkFactory (file (1));
    if (command == "play" && args.size() >= 3)
        return play (file (1), file (2), file (3));
    if (command == "save" && args.size() == 3)
        return save (file (1), file (2));
    if (command == "snapshot" && args.size() == 2)
        return snapshot (file (1));

    std::cerr << "usage: mur_wine_host factory BUNDLE | play BUNDLE OUT [STATE] | save BUNDLE STATE | snapshot PNG\n";
    return 2;
}
