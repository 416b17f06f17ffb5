#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace mur
{

// Parses XML text that came from outside (a host's project, a preset file).
// JUCE's parser walks past the end of its text when that text is not valid
// UTF-8 or ends inside a hexadecimal character reference ("&#x" and up to
// eight hex digits), and it expands entities that a document type
// declaration defines; such texts are refused before they reach it. Our own
// documents are valid UTF-8 and have neither.
std::unique_ptr<juce::XmlElement> parseUntrustedXml (const char* utf8, size_t numBytes);

inline std::unique_ptr<juce::XmlElement> parseUntrustedXml (const juce::String& text)
{
    return parseUntrustedXml (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

// The earlier binary state form: four magic bytes, a little-endian text
// length, then the XML text (read within the bytes actually there).
std::unique_ptr<juce::XmlElement> parseUntrustedBinaryXml (const void* data, int sizeInBytes);

} // namespace mur
