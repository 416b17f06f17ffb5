#include "ParameterLayout.h"

#include "ParameterTable.h"

namespace mur
{
const juce::StringArray& rateChoices()
{
    static const juce::StringArray choices { "1/96", "1/64", "1/48", "1/32", "1/24", "1/16", "1/12",
                                             "1/8",  "1/6",  "1/4",  "1/3",  "1/2",  "1/1" };
    return choices;
}

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (const auto& spec : parameterTable())
    {
        const auto id = ids::versioned (spec.id);
        const juce::NormalisableRange<float> range { spec.start, spec.end, 0.0001f, spec.skew };

        switch (spec.kind)
        {
            case ParameterKind::real:
                layout.add (std::make_unique<juce::AudioParameterFloat> (id, spec.name, range, spec.defaultValue));
                break;
            case ParameterKind::meta:
                layout.add (std::make_unique<MetaAudioParameterFloat> (id, spec.name, range, spec.defaultValue));
                break;
            case ParameterKind::whole:
                layout.add (std::make_unique<juce::AudioParameterInt> (id, spec.name, juce::roundToInt (spec.start),
                                                                       juce::roundToInt (spec.end), juce::roundToInt (spec.defaultValue)));
                break;
            case ParameterKind::choice:
                layout.add (std::make_unique<juce::AudioParameterChoice> (id, spec.name, rateChoices(), juce::roundToInt (spec.defaultValue)));
                break;
            case ParameterKind::toggle:
                layout.add (std::make_unique<juce::AudioParameterBool> (id, spec.name, spec.defaultValue >= 0.5f));
                break;
        }
    }

    return layout;
}

} // namespace mur
