#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace mur
{

// The editor's image buttons. Each sizes itself to a quarter of its first
// image (the editor's layout then places it) and shows the pointing hand.
class ImageButtonBase : public juce::Button
{
public:
    ImageButtonBase (const juce::String& name, std::initializer_list<const char*> resources);

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

// Normal, hover, on and on-hover pictures (die, gear, floppy disk).
class FourStateButton : public ImageButtonBase
{
public:
    using ImageButtonBase::ImageButtonBase;
    void paintButton (juce::Graphics&, bool highlighted, bool down) override;
};

class ReseedButtonComponent : public FourStateButton
{
public:
    explicit ReseedButtonComponent (const juce::String& name);
};

class SeqSettingsButtonComponent : public FourStateButton
{
public:
    explicit SeqSettingsButtonComponent (const juce::String& name);
};

class SaveButtonComponent : public FourStateButton
{
public:
    explicit SaveButtonComponent (const juce::String& name);
};

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

} // namespace mur
