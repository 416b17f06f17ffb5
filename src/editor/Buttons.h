#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur
{

// The editor's image buttons. Each sizes itself to a quarter of its first
// image (the editor's layout then places it) and shows the pointing hand.
class ImageButtonBase : public juce::Button
{
public:
    ImageButtonBase (const juce::String& name, const std::vector<const char*>& resources);

    juce::MouseCursor getMouseCursor() override { return juce::MouseCursor::PointingHandCursor; }

protected:
    std::vector<juce::Image> images;
};

// A round dot: grey when off, white when on or pressed.
class CustomButtonComponent : public ImageButtonBase
{
public:
    explicit CustomButtonComponent (const juce::String& name, int dotSize = 0);
    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

private:
    int dotSize;
};

// Normal, hover, on and on-hover pictures of one of three subjects.
class FourStateButton : public ImageButtonBase
{
public:
    enum class Picture
    {
        die,       // Reseed
        gear,      // the accent settings panel: opens and closes, so it toggles
        floppyDisk // Save
    };

    FourStateButton (const juce::String& name, Picture picture);
    void paintButton (juce::Graphics&, bool highlighted, bool down) override;
};

template <FourStateButton::Picture picture>
class FourStateButtonOf : public FourStateButton
{
public:
    explicit FourStateButtonOf (const juce::String& name) : FourStateButton (name, picture) {}
};

using ReseedButtonComponent = FourStateButtonOf<FourStateButton::Picture::die>;
using SeqSettingsButtonComponent = FourStateButtonOf<FourStateButton::Picture::gear>;
using SaveButtonComponent = FourStateButtonOf<FourStateButton::Picture::floppyDisk>;

// The curved arrow, faint while disabled; Redo shows it mirrored.
class UndoButtonComponent : public ImageButtonBase
{
public:
    explicit UndoButtonComponent (const juce::String& name);
    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

protected:
    bool mirrored = false;
};

class RedoButtonComponent : public UndoButtonComponent
{
public:
    explicit RedoButtonComponent (const juce::String& name);
};

// The "<" chevron of the preset bar; turned by 180 degrees it serves as ">".
class presetMenuPreviousButtonComponent : public ImageButtonBase
{
public:
    presetMenuPreviousButtonComponent (const juce::String& name, int mirrored);
    void paintButton (juce::Graphics&, bool highlighted, bool down) override;

private:
    int mirrored;
};

// An invisible click area with a tooltip (over the product logo).
class ClickOverlay : public juce::Component, public juce::SettableTooltipClient
{
public:
    ClickOverlay (const juce::String& tooltip, std::function<void()> clicked) : onClick (std::move (clicked))
    {
        setTooltip (tooltip);
        setInterceptsMouseClicks (true, false);
        setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }

    void mouseDown (const juce::MouseEvent&) override
    {
        if (onClick)
            onClick();
    }

    std::function<void()> onClick;
};

} // namespace mur
