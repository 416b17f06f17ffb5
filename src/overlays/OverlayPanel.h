#pragma once

#include "MurVersion.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// What the three information overlays share: the veil and panel they draw,
// the maker's details they show, their buttons and the way out to a browser.
namespace mur::overlays
{

// The installed version, as the build's VERSION file gives it: About shows
// it, the update request sends it, the changelog's notes are looked up by it.
inline constexpr const char* installedVersion = MUR_VERSION_STRING;

inline constexpr const char* makerWebSite = "https://corvane.com";
inline constexpr const char* makerWebSiteName = "corvane.com";
inline constexpr const char* makerNoticeLine = "Made by Corvane. Copyright 2026 Corvane. All rights reserved.";
inline constexpr const char* makerSecondLine = "Support: support@corvane.com";

// A panel of the given size centred in `area` (integer halves, as laid out).
juce::Rectangle<int> centredPanel (juce::Rectangle<int> area, int width, int height);

// The near-opaque veil over the whole overlay, then the rounded panel and its outline.
void paintVeilAndPanel (juce::Graphics& g, juce::Rectangle<int> whole, juce::Rectangle<int> panel);

// One line of text centred in its box, ending in an ellipsis when too long.
void drawSingleLine (juce::Graphics& g, const juce::String& text, float fontHeight, juce::Colour colour, juce::Rectangle<int> box);

// A text button in the overlays' style: white text, the lent look-and-feel,
// a pointing hand.
void styleButton (juce::TextButton& button, const juce::String& text, juce::LookAndFeel* lookAndFeel, std::function<void()> onClick);

// Opens a page in the default browser; tests replace the launcher to record
// the address instead (an empty function restores the browser).
void openInBrowser (const juce::String& address);
void setBrowserLauncher (std::function<void (const juce::String&)> launcher);

} // namespace mur::overlays
