#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <functional>
#include <optional>

// The client side of the update service (docs/update-service.md): one GET,
// a small JSON answer, and strict rules for what of it is believed.
namespace mur::update
{

inline constexpr int connectionTimeoutMs = 3000;
// The whole check, however slowly the answer trickles in.
inline constexpr int overallDeadlineMs = 10000;
inline constexpr int maxAnswerBytes = 16 * 1024;
inline constexpr int maxDownloadUrlLength = 2048;
inline constexpr int maxRedirects = 3;
inline constexpr const char* defaultServiceAddress = "https://updates.corvane.com/mur/v1/latest";
inline constexpr const char* addressVariable = "MUR_UPDATE_URL";

// "N.N.N" with each part 0 to 9999 and nothing else; empty when not.
std::optional<std::array<int, 3>> parseVersion (const juce::String& text);
bool isNewerVersion (const juce::String& candidate, const juce::String& running);

// Only an https:// address of at most 2048 characters with a host is a
// download location; anything else counts as none.
bool isSafeDownloadUrl (const juce::String& text);

struct Answer
{
    bool available = false;
    juce::String latestVersion, downloadLocation;
};

// What an answer's body says, or nothing when it cannot be read (not a
// small JSON object with a well-formed version and, if there, a string
// download location). A version not newer than `running` is no update.
std::optional<Answer> readAnswer (const juce::String& body, const juce::String& running);

// The service's address: MUR_UPDATE_URL when set (empty switches the check
// off), otherwise the maker's. Only https, or plain http to this machine
// (tests and local mirrors), is ever asked; anything else is off too.
juce::String serviceAddress();
// Replaces the address for this process (tools switch the check off with an
// empty one); nullopt returns to the environment and the default.
void overrideServiceAddress (std::optional<juce::String> address);
bool isAcceptableServiceAddress (const juce::String& address);
juce::URL requestUrl (const juce::String& address, const juce::String& runningVersion);
juce::String platformName();

// The notice's rule: not for an empty or dismissed version, not before the
// remind-after time (seconds since 1970; text without leading digits is 0).
bool shouldShowUpdate (const juce::String& version, const juce::String& dismissedVersion, const juce::String& remindAfter,
                       juce::int64 nowSeconds);

// One request to the service; cancel() from any thread ends a blocked read.
class Request
{
public:
    std::optional<Answer> perform (const juce::String& address, const juce::String& runningVersion,
                                   const std::function<bool()>& shouldStop);
    void cancel();

private:
    std::optional<juce::String> fetch (const juce::URL& url, const std::function<bool()>& shouldStop);

    juce::CriticalSection lock;
    juce::WebInputStream* active = nullptr;
    bool cancelled = false;
};

} // namespace mur::update
