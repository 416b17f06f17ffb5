#pragma once

#include <juce_core/juce_core.h>

// The changelog that travels inside the plug-in, and the notes it gives for
// a version: each section's heading on a line, its items as "- " lines,
// sections apart by an empty line.
namespace mur::overlays
{

juce::String formatSections (const juce::var& sections);
juce::String findVersionNotes (const juce::var& document, const juce::String& version);

// The notes of `version` in the embedded changelog, empty when it has none.
// The last answer is kept, so asking again reads nothing.
juce::String releaseNotesForVersion (const juce::String& version);

// How often the embedded changelog has been parsed (tests watch the cache).
int changelogParseCount();

// The embedded changelog's bytes.
juce::MemoryBlock embeddedChangelog();

} // namespace mur::overlays
