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
    const auto root = library.presetsFolder().getParentDirectory();
    juce::String text;
    juce::StringArray installedFactory;
    bool builtInListed = false;

    // The factory presets the build knows come after the installed ones,
    // before the user's own.
    auto listBuiltIn = [&]
    {
        for (const auto& preset : presets::factoryPresets())
            if (! installedFactory.contains (preset.name, true))
                text << "Factory (built in)/" << preset.name << "\n";
        builtInListed = true;
    };

    for (const auto& file : library.listAll())
    {
        const auto factory = file.isAChildOf (library.factoryFolder());
        if (factory)
            installedFactory.add (file.getFileNameWithoutExtension());
        else if (! builtInListed)
            listBuiltIn();
        text << file.getParentDirectory().getRelativePathFrom (root) << "/" << file.getFileNameWithoutExtension() << "\n";
    }

    if (! builtInListed)
        listBuiltIn();
    return text;
}

bool applyPreset (ArpAudioProcessor& processor, const juce::String& nameOrPath, juce::String& error, juce::String& appliedName)
{
    const auto asPath = juce::File::getCurrentWorkingDirectory().getChildFile (nameOrPath);
    auto file = asPath.exists() ? asPath : processor.getPresets().findPresetFile (nameOrPath);

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

    if (const auto loaded = processor.getPresets().loadPresetFile (file); loaded.failed())
    {
        error = loaded.getErrorMessage();
        return false;
    }
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
