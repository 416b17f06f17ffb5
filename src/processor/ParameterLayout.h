#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace mur
{

// A float parameter that tells the host it moves other parameters (the accent
// start position drives the derived start step and back).
class MetaAudioParameterFloat final : public juce::AudioParameterFloat
{
public:
    using juce::AudioParameterFloat::AudioParameterFloat;

    bool isMetaParameter() const override { return true; }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MetaAudioParameterFloat)
};

// The 90 host parameters in host order.
juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

// The "beatRate" choice texts, index 0 to 12.
const juce::StringArray& rateChoices();

} // namespace mur
