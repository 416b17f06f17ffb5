#include "ReleaseNotesOverlayComponent.h"

#include "OverlayPanel.h"
#include "resources/EditorResources.h"

namespace mur
{

ReleaseNotesOverlayComponent::ReleaseNotesOverlayComponent (juce::LookAndFeel* buttonLookAndFeel, const juce::String& versionText,
                                                            const juce::String& notes, std::function<void()> close)
    : onClose (std::move (close)), version (versionText)
{
    setInterceptsMouseClicks (true, true);

    notesView.setMultiLine (true, true);
    notesView.setReadOnly (true);
    notesView.setScrollbarsShown (true);
    notesView.setCaretVisible (false);
    notesView.setPopupMenuEnabled (false);
    notesView.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xFF121218u));
    notesView.setColour (juce::TextEditor::textColourId, juce::Colours::white);
    notesView.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xFF404050u));
    notesView.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xFF404050u));
    notesView.setFont (uiFont (12.0f));
    notesView.setText (notes, false);

    overlays::styleButton (okButton, "OK", buttonLookAndFeel, [this]
    {
        if (auto closing = onClose)
            closing();
    });
    addAndMakeVisible (notesView);
    addAndMakeVisible (okButton);
}

ReleaseNotesOverlayComponent::~ReleaseNotesOverlayComponent()
{
    okButton.setLookAndFeel (nullptr);
}

void ReleaseNotesOverlayComponent::paint (juce::Graphics& g)
{
    overlays::paintVeilAndPanel (g, getLocalBounds(), panel);
    overlays::drawSingleLine (g, "What's new", 18.0f, juce::Colours::white, { panel.getX(), panel.getY(), panelWidth, 46 });
    overlays::drawSingleLine (g, "v" + version, 13.0f, juce::Colours::white, { panel.getX(), panel.getY() + 46, panelWidth, 22 });
}

void ReleaseNotesOverlayComponent::resized()
{
    panel = overlays::centredPanel (getLocalBounds(), panelWidth, panelHeight);
    notesView.setBounds (panel.getX() + 30, panel.getY() + 72, 440, 220);
    okButton.setBounds (panel.getX() + 190, panel.getY() + 306, 120, 28);
}

} // namespace mur
