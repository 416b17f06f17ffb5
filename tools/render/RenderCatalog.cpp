#include "RenderCatalog.h"

#include "FactoryPresets.h"
#include "persistence/PresetLibrary.h"

namespace mur::render
{
bool parseNumber (const juce::String& text, double& value)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || ! trimmed.containsOnly ("0123456789.-+eE"))
        return false;
    value = trimmed.getDoubleValue();
    return std::isfinite (value);
}

namespace
{
const presets::FactoryPreset* builtInFactoryPreset (const juce::String& name)
{
    for (const auto& preset : presets::factoryPresets())
        if (name.equalsIgnoreCase (preset.name))
            return &preset;
    return nullptr;
}

juce::String rangeText (const juce::RangedAudioParameter& parameter)
{
    if (auto* choice = dynamic_cast<const juce::AudioParameterChoice*> (&parameter))
        return choice->choices.joinIntoString (" ");
    if (dynamic_cast<const juce::AudioParameterBool*> (&parameter) != nullptr)
        return "on off";
    const auto& range = parameter.getNormalisableRange();
    return juce::String (range.start) + " to " + juce::String (range.end);
}
} // namespace

juce::String listPresets()
{
    const PresetLibrary library;
    const auto presetsFolder = library.presetsFolder();
    juce::String text;
    juce::StringArray installedFactory;

    auto listFolder = [&] (const juce::File& folder, bool factory)
    {
        for (const auto& file : PresetLibrary::list (folder))
        {
            text << folder.getRelativePathFrom (presetsFolder.getParentDirectory()) << "/" << file.getFileNameWithoutExtension() << "\n";
            if (factory)
                installedFactory.add (file.getFileNameWithoutExtension());
        }
    };

    // The factory folder and its subfolders, then every other folder.
    juce::Array<juce::File> folders { library.factoryFolder() };
    for (const auto& entry : juce::RangedDirectoryIterator (library.factoryFolder(), true, "*", juce::File::findDirectories))
        folders.add (entry.getFile());
    for (const auto& folder : folders)
        listFolder (folder, true);

    for (const auto& preset : presets::factoryPresets())
        if (! installedFactory.contains (preset.name, true))
            text << "Factory (built in)/" << preset.name << "\n";

    juce::Array<juce::File> userFolders { presetsFolder };
    for (const auto& entry : juce::RangedDirectoryIterator (presetsFolder, true, "*", juce::File::findDirectories))
        if (! entry.getFile().isAChildOf (library.factoryFolder()) && entry.getFile() != library.factoryFolder())
            userFolders.add (entry.getFile());
    std::stable_sort (userFolders.begin(), userFolders.end(), [] (const juce::File& a, const juce::File& b)
    {
        return a.getFullPathName().compareNatural (b.getFullPathName(), false) < 0;
    });
    for (const auto& folder : userFolders)
        listFolder (folder, false);
    return text;
}

bool applyPreset (ArpAudioProcessor& processor, const juce::String& nameOrPath, juce::String& error, juce::String& appliedName)
{
    const auto asPath = juce::File::getCurrentWorkingDirectory().getChildFile (nameOrPath);
    auto file = asPath.existsAsFile() ? asPath : processor.getPresets().findPresetFile (nameOrPath);

    if (file == juce::File())
    {
        if (const auto* preset = builtInFactoryPreset (nameOrPath))
        {
            presets::apply (*preset, processor);
            appliedName = preset->name;
            return true;
        }
        error = "no preset named \"" + nameOrPath + "\" (mur-render --list-presets shows them)";
        return false;
    }

    if (file.getSize() > maxPresetFileBytes)
    {
        error = file.getFullPathName() + " is too large to be a MUR preset";
        return false;
    }
    juce::MemoryBlock content;
    if (! file.loadFileAsData (content))
    {
        error = "cannot read " + file.getFullPathName();
        return false;
    }
    const auto* data = static_cast<const char*> (content.getData());
    const auto xml = juce::XmlDocument::parse (juce::String::fromUTF8 (data, static_cast<int> (strnlen (data, content.getSize()))));
    if (xml == nullptr || ! xml->hasTagName ("Arp"))
    {
        error = file.getFullPathName() + " is not a MUR preset";
        return false;
    }
    processor.getPresets().loadPresetFile (file);
    appliedName = file.getFileNameWithoutExtension();
    return true;
}

juce::String listParameters (ArpAudioProcessor& processor)
{
    juce::String text;
    text << juce::String ("ID").paddedRight (' ', 24) << juce::String ("name").paddedRight (' ', 18) << juce::String ("range").paddedRight (' ', 30)
         << juce::String ("default").paddedRight (' ', 12) << "now\n";
    for (auto* p : processor.getParameters())
        if (auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (p))
            text << parameter->getParameterID().paddedRight (' ', 24) << parameter->getName (64).paddedRight (' ', 18)
                 << (rangeText (*parameter) + " ").paddedRight (' ', 30)
                 << parameter->getText (parameter->getDefaultValue(), 32).paddedRight (' ', 12)
                 << parameter->getText (parameter->getValue(), 32) << "\n";
    return text;
}

juce::RangedAudioParameter* findParameter (ArpAudioProcessor& processor, const juce::String& idOrName)
{
    if (auto* parameter = processor.getParameterTree().getParameter (idOrName))
        return parameter;
    for (auto* p : processor.getParameters())
        if (auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (p); parameter != nullptr && parameter->getName (64).equalsIgnoreCase (idOrName))
            return parameter;
    return nullptr;
}

bool applySetting (ArpAudioProcessor& processor, const juce::String& idOrName, const juce::String& text, juce::String& error)
{
    auto* parameter = findParameter (processor, idOrName);
    if (parameter == nullptr)
    {
        error = "unknown parameter \"" + idOrName + "\" (mur-render --list-params shows the IDs and names)";
        return false;
    }

    const auto id = parameter->getParameterID();
    const auto value = text.trim();
    double number = 0.0;

    if (auto* toggle = dynamic_cast<juce::AudioParameterBool*> (parameter))
    {
        const juce::StringArray on { "on", "true", "1" }, off { "off", "false", "0" };
        if (! on.contains (value, true) && ! off.contains (value, true))
        {
            error = id + " is on or off (or true/false, 1/0), not \"" + text + "\"";
            return false;
        }
        toggle->setValueNotifyingHost (on.contains (value, true) ? 1.0f : 0.0f);
        return true;
    }

    if (! parseNumber (value, number))
    {
        auto* choice = dynamic_cast<juce::AudioParameterChoice*> (parameter);
        if (choice == nullptr || ! choice->choices.contains (value))
        {
            error = "the value \"" + text + "\" for " + id + " is not a number"
                  + (choice != nullptr ? " or one of " + choice->choices.joinIntoString (" ") : juce::String());
            return false;
        }
        number = choice->choices.indexOf (value);
    }

    const auto& range = parameter->getNormalisableRange();
    if (number < static_cast<double> (range.start) || number > static_cast<double> (range.end))
    {
        error = "the value " + text + " for " + id + " is outside its range " + juce::String (range.start) + " to " + juce::String (range.end);
        return false;
    }
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (static_cast<float> (number)));
    return true;
}

} // namespace mur::render
