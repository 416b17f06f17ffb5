#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace mur
{

class ArpAudioProcessor;

// The plug-in window: a fixed 1078 x 539 design.
class ArpAudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    static constexpr int designWidth = 1078;
    static constexpr int designHeight = 539;

    explicit ArpAudioProcessorEditor (ArpAudioProcessor&);
    ~ArpAudioProcessorEditor() override;

    // The palette biases changed: colours are recomputed and repainted.
    void paletteChanged();

    void paint (juce::Graphics&) override;
    void resized() override;

    int getPaletteRefreshCount() const noexcept { return paletteRefreshCount; }

private:
    ArpAudioProcessor& processor;
    int paletteRefreshCount = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ArpAudioProcessorEditor)
};

} // namespace mur
