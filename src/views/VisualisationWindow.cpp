#include "VisualisationWindow.h"

#include <chrono>
#include <cmath>

namespace mur::views
{

VisualisationWindow::VisualisationWindow (const juce::String& title, juce::Component* contentToOwn)
    : juce::Component (title), content (contentToOwn)
{
    setOpaque (false);
    setTitle (title);
    addAndMakeVisible (*content);
}

void VisualisationWindow::resized()
{
    content->setBounds (getLocalBounds());
}

bool BackgroundTint::set (juce::Colour newColour, float newLevel, float newStrength) noexcept
{
    newLevel = juce::jlimit (0.0f, 1.0f, newLevel);
    newStrength = juce::jlimit (0.0f, 1.0f, newStrength);

    // Only what reaches the screen counts: the wash's colour at its 8-bit alpha.
    const auto before = paintedColour();
    colour = newColour;
    level = newLevel;
    strength = newStrength;
    return paintedColour() != before;
}

juce::Colour BackgroundTint::paintedColour() const noexcept
{
    if (level > 0.001f && strength > 0.001f)
        return colour.withAlpha (level * strength);
    return juce::Colours::transparentBlack;
}

void BackgroundTint::paint (juce::Graphics& g, juce::Rectangle<float> bounds) const
{
    const auto painted = paintedColour();
    if (! painted.isTransparent())
    {
        g.setColour (painted);
        g.fillRect (bounds);
    }
}

juce::Colour dominantRowColour (const std::vector<juce::Colour>& noteColours, int row, float dominance)
{
    if (row < 0 || static_cast<size_t> (row) >= noteColours.size())
        return juce::Colours::white;

    const auto d = std::pow (juce::jlimit (0.0f, 1.0f, dominance), 0.75f);
    return noteColours[static_cast<size_t> (row)].interpolatedWith (juce::Colours::white, 1.0f - (0.3f + 0.7f * d));
}

std::int64_t MonotonicClock::now() const
{
    if (fixed >= 0)
        return fixed;
    return std::chrono::duration_cast<std::chrono::nanoseconds> (std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace mur::views
