#include "ArpAudioProcessorEditor.h"

#include "processor/ArpAudioProcessor.h"

namespace mur
{

ArpAudioProcessorEditor::ArpAudioProcessorEditor (ArpAudioProcessor& p)
    : juce::AudioProcessorEditor (p), processor (p)
{
    setSize (designWidth, designHeight);
}

ArpAudioProcessorEditor::~ArpAudioProcessorEditor() = default;

void ArpAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1a1024));
    g.setColour (juce::Colour (0xffe8f0e0));
    g.setFont (juce::Font (48.0f));
    g.drawText (processor.getName(), getLocalBounds(), juce::Justification::centred);
}

void ArpAudioProcessorEditor::resized() {}

void ArpAudioProcessorEditor::paletteChanged()
{
    ++paletteRefreshCount;
    repaint();
}

} // namespace mur
