#include "UpdateService.h"

#include <cstdlib>

namespace mur::update
{
namespace
{
// JSON nested deeper than this is not an answer; refusing it first keeps the
// recursive parser's stack small on any thread.
constexpr int maxNesting = 16;

bool nestsTooDeeply (const juce::String& text)
{
    auto depth = 0;
    auto inString = false, escaped = false;
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
    {
        const auto c = *p;
        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        }
        else if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
        {
            if (++depth > maxNesting)
                return true;
        }
        else if (c == '}' || c == ']')
            --depth;
    }
    return false;
}

bool isLoopbackHost (const juce::String& host)
{
    return host == "127.0.0.1" || host.equalsIgnoreCase ("localhost") || host == "[::1]";
}

juce::String hostOf (const juce::String& address)
{
    auto rest = address.fromFirstOccurrenceOf ("://", false, false).upToFirstOccurrenceOf ("/", false, false);
    rest = rest.upToFirstOccurrenceOf ("?", false, false).upToFirstOccurrenceOf ("#", false, false);
    if (rest.containsChar ('@'))
        return {}; // credentials in the address: not ours
    if (rest.startsWithChar ('['))
        return rest.upToFirstOccurrenceOf ("]", true, false);
    return rest.upToFirstOccurrenceOf (":", false, false);
}
} // namespace

std::optional<std::array<int, 3>> parseVersion (const juce::String& text)
{
    juce::StringArray parts;
    parts.addTokens (text, ".", {});
    if (parts.size() != 3)
        return std::nullopt;

    std::array<int, 3> version {};
    for (int i = 0; i < 3; ++i)
    {
        const auto& part = parts[i];
        if (part.isEmpty() || part.length() > 4 || ! part.containsOnly ("0123456789"))
            return std::nullopt;
        version[static_cast<size_t> (i)] = part.getIntValue();
    }
    return version;
}

bool isNewerVersion (const juce::String& candidate, const juce::String& running)
{
    const auto a = parseVersion (candidate), b = parseVersion (running);
    return a.has_value() && b.has_value() && *a > *b;
}

bool isSafeDownloadUrl (const juce::String& text)
{
    if (text.length() > maxDownloadUrlLength || ! text.startsWith ("https://"))
        return false;
    // No spaces or control characters, and a host to go to.
    for (auto p = text.getCharPointer(); ! p.isEmpty(); ++p)
        if (*p <= ' ' || *p == 0x7f)
            return false;
    return hostOf (text).isNotEmpty();
}

std::optional<Answer> readAnswer (const juce::String& body, const juce::String& running)
{
    if (body.getNumBytesAsUTF8() > static_cast<size_t> (maxAnswerBytes) || nestsTooDeeply (body))
        return std::nullopt;

    juce::var document;
    if (juce::JSON::parse (body, document).failed() || document.getDynamicObject() == nullptr)
        return std::nullopt;

    const auto& version = document.getProperty ("latestVersion", {});
    if (! version.isString() || ! parseVersion (version.toString()).has_value())
        return std::nullopt;

    const auto& download = document.getProperty ("downloadUrl", {});
    if (! download.isVoid() && ! download.isString())
        return std::nullopt;

    Answer answer;
    answer.latestVersion = version.toString();
    answer.available = isNewerVersion (answer.latestVersion, running);
    if (answer.available && isSafeDownloadUrl (download.toString()))
        answer.downloadLocation = download.toString();
    return answer;
}

namespace
{
juce::CriticalSection overrideLock;
std::optional<juce::String> addressOverride;
} // namespace

void overrideServiceAddress (std::optional<juce::String> address)
{
    const juce::ScopedLock guard (overrideLock);
    addressOverride = std::move (address);
}

juce::String serviceAddress()
{
    {
        const juce::ScopedLock guard (overrideLock);
        if (addressOverride.has_value())
            return *addressOverride;
    }
    if (const auto* value = std::getenv (addressVariable))
        return juce::String (juce::CharPointer_UTF8 (value)).trim();
    return defaultServiceAddress;
}

bool isAcceptableServiceAddress (const juce::String& address)
{
    if (address.length() > maxDownloadUrlLength)
        return false;
    const auto host = hostOf (address);
    if (address.startsWith ("https://"))
        return host.isNotEmpty();
    return address.startsWith ("http://") && isLoopbackHost (host);
}

juce::String platformName()
{
   #if JUCE_WINDOWS
    return "windows-x64";
   #elif JUCE_MAC
    return "macos";
   #else
    return "linux-x64";
   #endif
}

juce::URL requestUrl (const juce::String& address, const juce::String& runningVersion)
{
    return juce::URL (address).withParameter ("version", runningVersion).withParameter ("platform", platformName());
}

bool shouldShowUpdate (const juce::String& version, const juce::String& dismissedVersion, const juce::String& remindAfter,
                       juce::int64 nowSeconds)
{
    if (version.isEmpty() || dismissedVersion == version)
        return false;
    const auto after = remindAfter.getLargeIntValue();
    return ! (after > 0 && nowSeconds < after);
}

//==============================================================================
std::optional<Answer> Request::perform (const juce::String& address, const juce::String& runningVersion,
                                        const std::function<bool()>& shouldStop)
{
    if (address.isEmpty() || ! isAcceptableServiceAddress (address))
        return std::nullopt;

    const auto body = fetch (requestUrl (address, runningVersion), shouldStop);
    if (! body.has_value() || shouldStop())
        return std::nullopt;
    return readAnswer (*body, runningVersion);
}

std::optional<juce::String> Request::fetch (const juce::URL& url, const std::function<bool()>& shouldStop)
{
    juce::WebInputStream stream (url, false);
    stream.withConnectionTimeout (connectionTimeoutMs).withNumRedirectsToFollow (maxRedirects).withExtraHeaders ("Accept: application/json");

    {
        const juce::ScopedLock guard (lock);
        if (cancelled)
            return std::nullopt;
        active = &stream;
    }
    const juce::ScopeGuard forget { [this]
    {
        const juce::ScopedLock guard (lock);
        active = nullptr;
    } };

    const auto deadline = juce::Time::getMillisecondCounterHiRes() + overallDeadlineMs;
    if (! stream.connect (nullptr) || stream.getStatusCode() != 200 || stream.getTotalLength() > maxAnswerBytes)
        return std::nullopt;

    juce::MemoryOutputStream body;
    char buffer[2048];
    while (! stream.isExhausted())
    {
        if (shouldStop() || juce::Time::getMillisecondCounterHiRes() > deadline)
            return std::nullopt;

        const auto n = stream.read (buffer, static_cast<int> (sizeof (buffer)));
        if (n < 0 || stream.isError())
            return std::nullopt;
        if (n == 0)
            break;

        body.write (buffer, static_cast<size_t> (n));
        if (body.getDataSize() > static_cast<size_t> (maxAnswerBytes))
            return std::nullopt;
    }
    if (shouldStop())
        return std::nullopt;

    // Not text that reads as UTF-8: no answer.
    const auto* data = static_cast<const char*> (body.getData());
    if (! juce::CharPointer_UTF8::isValidString (data, static_cast<int> (body.getDataSize())))
        return std::nullopt;
    return juce::String::fromUTF8 (data, static_cast<int> (body.getDataSize()));
}

void Request::cancel()
{
    const juce::ScopedLock guard (lock);
    cancelled = true;
    if (active != nullptr)
        active->cancel();
}

} // namespace mur::update
