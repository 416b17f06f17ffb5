#include "overlays/ReleaseNotes.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using overlays::findVersionNotes;
using overlays::formatSections;

juce::var parse (const juce::String& json)
{
    return juce::JSON::parse (json);
}

TEST (Changelog, TheEmbeddedDocumentHasItsBytesLineEndsAndVersions)
{
    const auto bytes = overlays::embeddedChangelog();
    ASSERT_EQ (bytes.getSize(), 2916u);
    const auto* data = static_cast<const unsigned char*> (bytes.getData());
    EXPECT_NE (data[0], 0xEF) << "no byte-order mark";

    // Every line ends in CR LF, and there is no lone CR.
    for (size_t i = 0; i < bytes.getSize(); ++i)
    {
        if (data[i] == '\n')
        {
            ASSERT_TRUE (i > 0 && data[i - 1] == '\r') << "a bare line feed at byte " << i;
        }
        if (data[i] == '\r')
        {
            ASSERT_TRUE (i + 1 < bytes.getSize() && data[i + 1] == '\n') << "a lone carriage return at byte " << i;
        }
    }

    const auto document = parse (bytes.toString());
    ASSERT_TRUE (document.isObject());
    const auto* versions = document["versions"].getArray();
    ASSERT_NE (versions, nullptr);
    const juce::StringArray expected { "1.0.0", "0.1.5", "0.1.4", "0.1.3", "0.1.2", "0.1.1" };
    ASSERT_EQ (versions->size(), expected.size());
    for (int i = 0; i < versions->size(); ++i)
    {
        const auto& entry = (*versions)[i];
        EXPECT_EQ (entry["version"].toString(), expected[i]);
        const auto* sections = entry["sections"].getArray();
        ASSERT_NE (sections, nullptr);
        if (i + 1 == versions->size())
        {
            EXPECT_TRUE (sections->isEmpty());
            EXPECT_TRUE (entry["summary"].toString().isNotEmpty());
            continue;
        }
        ASSERT_EQ (sections->size(), 2) << expected[i];
        EXPECT_EQ ((*sections)[0]["heading"].toString(), "Added");
        EXPECT_EQ ((*sections)[1]["heading"].toString(), "Changed");
        for (const auto& section : *sections)
        {
            const auto count = section["items"].getArray()->size();
            EXPECT_TRUE (count >= 1 && count <= 5) << expected[i];
        }
    }

    // The installed version's entry keeps its comma before the closing bracket.
    EXPECT_TRUE (bytes.toString().contains ("\"Increase maximum number of notes to 50.\", ]"));
}

TEST (Changelog, TheInstalledVersionsNotesAndTheOneEntryCache)
{
    const auto before = overlays::changelogParseCount();
    const auto notes = overlays::releaseNotesForVersion ("1.0.0");
    // Each item's line ends before the separator's two line ends.
    EXPECT_EQ (notes, "Added\n- Click on note LED to play note.\n- Add about section.\n\n\n"
                      "Changed\n- Cleaner UI layout.\n- Increase maximum number of notes to 50.");
    EXPECT_EQ (overlays::releaseNotesForVersion ("1.0.0"), notes);
    EXPECT_LE (overlays::changelogParseCount() - before, 1) << "asked twice, parsed once";

    // A version without an entry has no notes, also when asked again.
    const auto parsed = overlays::changelogParseCount();
    EXPECT_EQ (overlays::releaseNotesForVersion ("9.9.9"), juce::String());
    EXPECT_EQ (overlays::releaseNotesForVersion ("9.9.9"), juce::String());
    EXPECT_EQ (overlays::changelogParseCount() - parsed, 1);
    EXPECT_EQ (overlays::releaseNotesForVersion (""), juce::String());

    // The entry with a summary only gives the summary.
    EXPECT_TRUE (overlays::releaseNotesForVersion ("0.1.1").startsWith ("First public preview"));
}

TEST (Changelog, SectionsWriteHeadingsItemsAndSeparatorsOnlyForItems)
{
    // An empty items array adds neither its heading nor a separator; items
    // are trimmed and empty ones dropped, but their section still counts.
    const auto sections = parse (R"([
        { "heading": "Empty", "items": [] },
        "not a section",
        { "heading": " Added ", "items": [ "  one  ", "", "two" ] },
        { "heading": "Missing" },
        { "heading": "Blank", "items": [ "   " ] },
        { "heading": "Changed", "items": [ "three\n" ] }
    ])");
    EXPECT_EQ (formatSections (sections), " Added \n- one\n- two\n\n\nBlank\n\n\nChanged\n- three");
    EXPECT_EQ (formatSections (parse ("[]")), juce::String());
    EXPECT_EQ (formatSections (juce::var ("text")), juce::String());
}

TEST (Changelog, AVersionsNotesComeFromItsFirstEntry)
{
    const auto document = parse (R"({ "versions": [
        "junk",
        { "version": "2.0.0", "sections": [], "summary": "  Only a summary.  " },
        { "version": "1.5.0", "sections": [ { "heading": "Added", "items": [] } ], "summary": "" },
        { "version": "1.0.0", "sections": [ { "heading": "Fixed", "items": [ "A" ] } ] },
        { "version": "1.0.0", "sections": [ { "heading": "Later", "items": [ "B" ] } ] }
    ] })");
    EXPECT_EQ (findVersionNotes (document, "2.0.0"), "Only a summary.");
    EXPECT_EQ (findVersionNotes (document, "1.5.0"), juce::String()) << "no text and an empty summary";
    EXPECT_EQ (findVersionNotes (document, "1.0.0"), "Fixed\n- A");
    EXPECT_EQ (findVersionNotes (document, "1.0"), juce::String()) << "versions compare exactly";
    EXPECT_EQ (findVersionNotes (parse (R"({ "versions": [] })"), "1.0.0"), juce::String());
    EXPECT_EQ (findVersionNotes (parse (R"({ "versions": {} })"), "1.0.0"), juce::String());
}

} // namespace
} // namespace mur
