#include "ParameterLayout.h"

#include "ParameterIds.h"

namespace mur
{
namespace
{
constexpr float interval = 0.0001f;

juce::NormalisableRange<float> linearRange (float start, float end)
{
    return { start, end, interval };
}

std::unique_ptr<juce::AudioParameterFloat> floatParam (const juce::String& id, const juce::String& name,
                                                       float start, float end, float defaultValue)
{
    return std::make_unique<juce::AudioParameterFloat> (ids::versioned (id), name, linearRange (start, end),
                                                        defaultValue);
}

std::unique_ptr<juce::AudioParameterInt> intParam (const juce::String& id, const juce::String& name,
                                                   int start, int end, int defaultValue)
{
    return std::make_unique<juce::AudioParameterInt> (ids::versioned (id), name, start, end, defaultValue);
}
} // namespace

const juce::StringArray& rateChoices()
{
    static const juce::StringArray choices { "1/96", "1/64", "1/48", "1/32", "1/24", "1/16", "1/12",
                                             "1/8",  "1/6",  "1/4",  "1/3",  "1/2",  "1/1" };
    return choices;
}

juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (int i = 0; i < ids::numNoteGains; ++i)
        layout.add (floatParam (ids::noteGain (i),
                                i == 0 ? juce::String ("Breath") : "Note Gain " + juce::String (i),
                                0.0f, 1.0f, i == 0 ? 0.0f : 0.5f));

    layout.add (floatParam (ids::leakRate, "Inertia", 0.0f, 1.0f, 1.0f),
                floatParam (ids::recurrenceScale, "Echo", 0.0f, 20.0f, 1.0f),
                floatParam (ids::feedbackScale, "Feedback", 0.0f, 10.0f, 1.0f),
                floatParam (ids::noiseAmount, "Noise", 0.0f, 1.0f, 0.0f),
                intParam (ids::hiddenSize, "Capacity", 2, 50, 5),
                floatParam (ids::activationGain, "Act Gain", 0.0f, 5.0f, 1.0f),
                floatParam (ids::biasGain, "Bias", 0.0f, 10.0f, 1.0f),
                std::make_unique<juce::AudioParameterFloat> (ids::versioned (ids::softmaxGain), "Random",
                                                             juce::NormalisableRange<float> (0.0f, 2000.0f, interval, 0.3f),
                                                             1000.0f),
                std::make_unique<MetaAudioParameterFloat> (ids::versioned (ids::pulseTimeShift), "Start",
                                                           linearRange (0.0f, 1.0f), 0.0f),
                floatParam (ids::pulseGain, "Pulse Gain", -1.0f, 1.0f, 1.0f),
                floatParam (ids::repeatGain, "Repetition", 0.0f, 1.0f, 0.5f),
                floatParam (ids::neighborGain, "Proximity", 0.0f, 1.0f, 0.0f),
                floatParam (ids::gatePercentage, "Length %", 0.0f, 100.0f, 50.0f),
                std::make_unique<juce::AudioParameterBool> (ids::versioned (ids::holdMode), "Hold", false),
                std::make_unique<juce::AudioParameterChoice> (ids::versioned (ids::beatRate), "Rate",
                                                              rateChoices(), 5),
                floatParam (ids::controlInput0, "Control X", -1.0f, 1.0f, 0.0f),
                floatParam (ids::controlInput1, "Control Y", -1.0f, 1.0f, 0.0f),
                std::make_unique<juce::AudioParameterBool> (ids::versioned (ids::bypassNoteGains), "Bypass Gains",
                                                            false),
                floatParam (ids::darkPaletteBias, "Dark Bias", 0.0f, 1.0f, 0.27f),
                floatParam (ids::lightPaletteBias, "Light Bias", 0.0f, 1.0f, 0.2f),
                intParam (ids::numSteps, "Num Steps", 2, 64, 16),
                intParam (ids::pulseTimeShiftStep, "Start Step", 0, 127, 0));

    for (int j = 1; j <= ids::numBeatPulseParams; ++j)
        layout.add (floatParam (ids::beatPulseGain (j), "Rate Pulse " + juce::String (j), 0.0f, 1.0f,
                                j == 1 ? 1.0f : 0.5f));

    return layout;
}

} // namespace mur
