#include "UntrustedXml.h"

#include <cstring>
#include <limits>

namespace mur
{
namespace
{
bool endsInsideHexReference (const char* text, size_t numBytes)
{
    auto end = numBytes;
    int hexDigits = 0;

    while (end > 0 && hexDigits <= 8 && juce::CharacterFunctions::getHexDigitValue (static_cast<juce::juce_wchar> (text[end - 1])) >= 0)
    {
        --end;
        ++hexDigits;
    }

    return hexDigits <= 8 && end >= 3 && (text[end - 1] == 'x' || text[end - 1] == 'X') && text[end - 2] == '#'
        && text[end - 3] == '&';
}
} // namespace

std::unique_ptr<juce::XmlElement> parseUntrustedXml (const char* utf8, size_t numBytes)
{
    if (utf8 == nullptr || numBytes == 0 || numBytes > static_cast<size_t> (std::numeric_limits<int>::max()))
        return nullptr;

    // Up to the first zero byte, as the parser would read it.
    if (const auto* zero = static_cast<const char*> (std::memchr (utf8, 0, numBytes)))
        numBytes = static_cast<size_t> (zero - utf8);

    if (! juce::CharPointer_UTF8::isValidString (utf8, static_cast<int> (numBytes))
        || endsInsideHexReference (utf8, numBytes))
        return nullptr;

    const auto text = juce::String::fromUTF8 (utf8, static_cast<int> (numBytes));

    if (text.containsIgnoreCase ("<!DOCTYPE"))
        return nullptr;

    return juce::XmlDocument::parse (text);
}

std::unique_ptr<juce::XmlElement> parseUntrustedBinaryXml (const void* data, int sizeInBytes)
{
    constexpr juce::uint32 magic = 0x21324356; // "VC2!"

    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt (data) != magic)
        return nullptr;

    const auto length = static_cast<int> (juce::ByteOrder::littleEndianInt (static_cast<const char*> (data) + 4));

    if (length <= 0)
        return nullptr;

    return parseUntrustedXml (static_cast<const char*> (data) + 8, static_cast<size_t> (juce::jmin (sizeInBytes - 8, length)));
}

} // namespace mur
