#include "EditorResources.h"

#include <BinaryData.h>

namespace mur
{
namespace
{
juce::Typeface::Ptr embeddedTypeface (const char* resourceName)
{
    int size = 0;
    if (const auto* data = BinaryData::getNamedResource (resourceName, size); data != nullptr && size > 0)
        return juce::Typeface::createSystemTypefaceFor (data, static_cast<size_t> (size));
    return nullptr;
}

juce::Font fontWith (const juce::Typeface::Ptr& face, float height)
{
    return face != nullptr ? juce::Font (face).withHeight (height) : juce::Font (height);
}
} // namespace

juce::Font uiFont (float height)
{
    static const auto face = embeddedTypeface ("Cornerita_Regular_ttf");
    return fontWith (face, height);
}

juce::Font presetFont (float height)
{
    static const auto face = embeddedTypeface ("Bounded_Light_otf");
    return fontWith (face, height);
}

juce::Image embeddedImage (const char* resourceName)
{
    int size = 0;
    if (const auto* data = BinaryData::getNamedResource (resourceName, size); data != nullptr && size > 0)
        return juce::ImageCache::getFromMemory (data, size);
    return {};
}

} // namespace mur
