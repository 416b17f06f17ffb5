#include "ReleaseNotes.h"

#include "BinaryData.h"

#include <atomic>

namespace mur::overlays
{
namespace
{
std::atomic<int> parses { 0 };

bool isNonEmptyArray (const juce::var& v)
{
    return v.isArray() && v.getArray()->size() > 0;
}
} // namespace

juce::String formatSections (const juce::var& sections)
{
    if (! isNonEmptyArray (sections))
        return {};

    juce::String text;
    auto written = false;
    for (const auto& section : *sections.getArray())
    {
        if (! section.isObject())
            continue;

        const auto heading = section.getProperty ("heading", {}).toString();
        const auto& items = section.getProperty ("items", {});
        if (! isNonEmptyArray (items))
            continue;

        if (written)
            text << "\n\n";
        text << heading << "\n";
        for (const auto& item : *items.getArray())
        {
            const auto line = item.toString().trim();
            if (line.isNotEmpty())
                text << "- " << line << "\n";
        }
        written = true;
    }
    return text.trimEnd();
}

juce::String findVersionNotes (const juce::var& document, const juce::String& version)
{
    const auto& versions = document.getProperty ("versions", {});
    if (! isNonEmptyArray (versions))
        return {};

    for (const auto& entry : *versions.getArray())
    {
        if (! entry.isObject() || entry.getProperty ("version", {}).toString() != version)
            continue;

        const auto text = formatSections (entry.getProperty ("sections", {}));
        if (text.isNotEmpty())
            return text;
        return entry.getProperty ("summary", {}).toString().trim();
    }
    return {};
}

juce::MemoryBlock embeddedChangelog()
{
    return { BinaryData::CHANGELOG_json, static_cast<size_t> (BinaryData::CHANGELOG_jsonSize) };
}

juce::String releaseNotesForVersion (const juce::String& version)
{
    if (version.isEmpty())
        return {};

    // Only the message thread asks; the cache is still guarded for safety.
    static juce::CriticalSection lock;
    static juce::String cachedVersion, cachedText;
    const juce::ScopedLock guard (lock);

    if (version == cachedVersion)
        return cachedText;

    cachedVersion = version;
    cachedText = {};
    const auto text = juce::String::createStringFromData (BinaryData::CHANGELOG_json, BinaryData::CHANGELOG_jsonSize);
    if (text.isNotEmpty())
    {
        ++parses;
        const auto document = juce::JSON::parse (text);
        if (document.getDynamicObject() != nullptr)
            cachedText = findVersionNotes (document, version);
    }
    return cachedText;
}

int changelogParseCount()
{
    return parses.load();
}

} // namespace mur::overlays
