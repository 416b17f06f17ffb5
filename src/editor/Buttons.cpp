#include "Buttons.h"

#include "resources/EditorResources.h"

namespace mur
{
namespace
{
void drawStretched (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> area)
{
    if (image.isValid())
        g.drawImage (image, area, juce::RectanglePlacement::stretchToFit);
}
} // namespace

ImageButtonBase::ImageButtonBase (const juce::String& name, const std::vector<const char*>& resources)
    : juce::Button (name)
{
    for (auto* resource : resources)
        images.push_back (embeddedImage (resource));

    if (! images.empty() && images.front().isValid())
        setSize (images.front().getWidth() / 4, images.front().getHeight() / 4);
}

//==============================================================================
CustomButtonComponent::CustomButtonComponent (const juce::String& name, int size)
    : ImageButtonBase (name, { "button_png", "button_on_png" }), dotSize (size)
{
}

void CustomButtonComponent::paintButton (juce::Graphics& g, bool, bool down)
{
    const auto& image = images[(down || getToggleState()) ? 1 : 0];
    auto area = getLocalBounds().toFloat();

    if (dotSize > 0)
        area = { static_cast<float> (getWidth() / 2 - dotSize / 2), static_cast<float> (getHeight() / 2 - dotSize / 2),
                 static_cast<float> (dotSize), static_cast<float> (dotSize) };

    drawStretched (g, image, area);
}

//==============================================================================
namespace
{
std::vector<const char*> fourStateImages (FourStateButton::Picture picture)
{
    switch (picture)
    {
        case FourStateButton::Picture::die:  return { "reseed_png", "reseed_hover_png", "reseed_on_png", "reseed_on_hover_png" };
        case FourStateButton::Picture::gear: return { "seq_settings_png", "seq_settings_hover_png", "seq_settings_on_png", "seq_settings_on_hover_png" };
        case FourStateButton::Picture::floppyDisk: break;
    }
    return { "preset_save_png", "save_hover_png", "save_on_png", "save_on_hover_png" };
}
} // namespace

FourStateButton::FourStateButton (const juce::String& name, Picture picture)
    : ImageButtonBase (name, fourStateImages (picture))
{
    setClickingTogglesState (picture == Picture::gear);
}

void FourStateButton::paintButton (juce::Graphics& g, bool highlighted, bool)
{
    // normal, hover, on, on-hover
    const auto on = getToggleState();
    const auto& plain = images[on ? 2 : 0];
    const auto& hover = images[on ? 3 : 1];
    drawStretched (g, highlighted && hover.isValid() ? hover : plain, getLocalBounds().toFloat());
}

//==============================================================================
UndoButtonComponent::UndoButtonComponent (const juce::String& name)
    : ImageButtonBase (name, { "undo_png", "undo_on_png" })
{
}

void UndoButtonComponent::paintButton (juce::Graphics& g, bool, bool)
{
    const auto& image = images[getToggleState() ? 1 : 0];
    g.setOpacity (isEnabled() ? 1.0f : 0.3f);

    if (mirrored)
        g.addTransform (juce::AffineTransform::scale (-1.0f, 1.0f, static_cast<float> (getWidth()) / 2.0f, 0.0f));

    drawStretched (g, image, getLocalBounds().toFloat());
}

RedoButtonComponent::RedoButtonComponent (const juce::String& name) : UndoButtonComponent (name)
{
    mirrored = true;
}

//==============================================================================
presetMenuPreviousButtonComponent::presetMenuPreviousButtonComponent (const juce::String& name, int isMirrored)
    : ImageButtonBase (name, { "preset_menu_png", "preset_menu_on_png" }), mirrored (isMirrored)
{
}

void presetMenuPreviousButtonComponent::paintButton (juce::Graphics& g, bool, bool)
{
    const auto& image = images[getToggleState() ? 1 : 0];

    if (! image.isValid())
        return;

    if (mirrored == 0)
    {
        drawStretched (g, image, getLocalBounds().toFloat());
        return;
    }

    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    g.drawImageTransformed (image, juce::AffineTransform::scale (-w / static_cast<float> (image.getWidth()),
                                                                 -h / static_cast<float> (image.getHeight()))
                                       .translated (w, h));
}

} // namespace mur
