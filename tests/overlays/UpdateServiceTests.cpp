#include "ReferenceUpdateServer.h"
#include "overlays/UpdateService.h"

#include <gtest/gtest.h>

#include <thread>

namespace mur
{
namespace
{
using update::ReferenceUpdateServer;
using update::ServedAnswer;

TEST (UpdateService, VersionsAreThreeNumbersUpTo9999)
{
    EXPECT_EQ (update::parseVersion ("1.0.0"), (std::array<int, 3> { 1, 0, 0 }));
    EXPECT_EQ (update::parseVersion ("9999.0.12"), (std::array<int, 3> { 9999, 0, 12 }));
    for (const auto* bad : { "", "1.0", "1.0.0.0", "v1.0.0", " 1.0.0", "1.0.0 ", "1..0", "10000.0.0", "1.-1.0", "1.0.x",
                             "1.0.0-beta", "+1.0.0", "1,0,0" })
        EXPECT_FALSE (update::parseVersion (bad).has_value()) << bad;

    EXPECT_TRUE (update::isNewerVersion ("1.10.0", "1.9.0")) << "numbers, not text";
    EXPECT_TRUE (update::isNewerVersion ("1.0.1", "1.0.0"));
    EXPECT_FALSE (update::isNewerVersion ("1.0.0", "1.0.0"));
    EXPECT_FALSE (update::isNewerVersion ("0.9.9", "1.0.0"));
    EXPECT_FALSE (update::isNewerVersion ("2.0", "1.0.0"));
}

TEST (UpdateService, OnlyShortHttpsAddressesAreDownloadLocations)
{
    EXPECT_TRUE (update::isSafeDownloadUrl ("https://corvane.com/mur/download?v=1.1.0"));
    for (const auto* bad : { "", "http://corvane.com/mur", "file:///etc/passwd", "javascript:alert(1)", "/downloads/mur.exe",
                             "C:\\mur.exe", "https://", "https:///path", "https://host/with space", "https://host/\nX",
                             "ftp://corvane.com/mur", "HTTPS://corvane.com", " https://corvane.com" })
        EXPECT_FALSE (update::isSafeDownloadUrl (bad)) << bad;

    const juce::String base ("https://corvane.com/");
    EXPECT_TRUE (update::isSafeDownloadUrl (base + juce::String::repeatedString ("a", 2048 - base.length())));
    EXPECT_FALSE (update::isSafeDownloadUrl (base + juce::String::repeatedString ("a", 2049 - base.length())));
}

TEST (UpdateService, AnAnswerIsBelievedOnlyWhenItReadsExactly)
{
    auto read = [] (const juce::String& body) { return update::readAnswer (body, "1.0.0"); };

    const auto offer = read (R"({"latestVersion": "1.2.0", "downloadUrl": "https://corvane.com/get"})");
    ASSERT_TRUE (offer.has_value());
    EXPECT_TRUE (offer->available);
    EXPECT_EQ (offer->latestVersion, "1.2.0");
    EXPECT_EQ (offer->downloadLocation, "https://corvane.com/get");

    const auto bare = read (R"({"latestVersion": "1.2.0"})");
    ASSERT_TRUE (bare.has_value());
    EXPECT_TRUE (bare->available);
    EXPECT_TRUE (bare->downloadLocation.isEmpty());

    // An unsafe location is no location; the offer stands.
    const auto unsafe = read (R"J({"latestVersion": "1.2.0", "downloadUrl": "javascript:alert(1)"})J");
    ASSERT_TRUE (unsafe.has_value());
    EXPECT_TRUE (unsafe->available);
    EXPECT_TRUE (unsafe->downloadLocation.isEmpty());

    // The same or an older version is read, but offers nothing.
    for (const auto* same : { R"({"latestVersion": "1.0.0"})", R"({"latestVersion": "0.9.0", "downloadUrl": "https://x.y/z"})" })
    {
        const auto answer = read (same);
        ASSERT_TRUE (answer.has_value()) << same;
        EXPECT_FALSE (answer->available) << same;
        EXPECT_TRUE (answer->downloadLocation.isEmpty()) << same;
    }

    // Anything else cannot be read.
    for (const auto* bad : { "", "{", "not json", "<html><body>502 Bad Gateway</body></html>", "[\"1.2.0\"]", "\"1.2.0\"",
                             R"({"latestVersion": 1.2})", R"({"latestVersion": "1.2"})", R"({"version": "1.2.0"})",
                             R"({"latestVersion": "1.2.0", "downloadUrl": 5})", R"({"latestVersion": ["1.2.0"]})" })
        EXPECT_FALSE (read (bad).has_value()) << bad;

    // Nesting that would only exercise the parser, and bodies over 16 KiB.
    EXPECT_FALSE (read ("{\"a\":" + juce::String::repeatedString ("[", 5000) + "}").has_value());
    EXPECT_FALSE (read (R"({"latestVersion": "1.2.0", "pad": ")" + juce::String::repeatedString ("x", 16 * 1024) + "\"}").has_value());
    EXPECT_TRUE (read (R"({"latestVersion": "1.2.0", "notes": "[[[{{{"})").has_value()) << "brackets inside strings";
}

TEST (UpdateService, TheNoticeRuleFollowsDismissalAndRemindAfter)
{
    const juce::int64 now = 1'800'000'000;
    EXPECT_FALSE (update::shouldShowUpdate ("", "", "0", now));
    EXPECT_FALSE (update::shouldShowUpdate ("1.2.0", "1.2.0", "0", now)) << "dismissed";
    EXPECT_TRUE (update::shouldShowUpdate ("1.2.0", "1.1.0", "0", now)) << "an older dismissal";
    EXPECT_FALSE (update::shouldShowUpdate ("1.2.0", "", juce::String (now + 10), now)) << "remind later";
    EXPECT_TRUE (update::shouldShowUpdate ("1.2.0", "", juce::String (now), now));
    EXPECT_TRUE (update::shouldShowUpdate ("1.2.0", "", juce::String (now - 86400), now));
    EXPECT_TRUE (update::shouldShowUpdate ("1.2.0", "", "later", now)) << "no leading digits reads as 0";
    EXPECT_TRUE (update::shouldShowUpdate ("1.2.0", "", "", now));
    EXPECT_FALSE (update::shouldShowUpdate ("1.2.0", "", "99999999999x", now)) << "leading digits count";
}

TEST (UpdateService, TheAddressComesFromTheEnvironmentAndOnlySafeOnesAreAsked)
{
    update::overrideServiceAddress (std::nullopt);
    unsetenv (update::addressVariable);
    EXPECT_EQ (update::serviceAddress(), update::defaultServiceAddress);
    EXPECT_TRUE (update::isAcceptableServiceAddress (update::defaultServiceAddress));
    setenv (update::addressVariable, "http://127.0.0.1:9/mur/v1/latest", 1);
    EXPECT_EQ (update::serviceAddress(), "http://127.0.0.1:9/mur/v1/latest");
    setenv (update::addressVariable, "", 1);
    EXPECT_EQ (update::serviceAddress(), juce::String()) << "empty switches the check off";
    update::overrideServiceAddress (juce::String());

    for (const auto* good : { "https://updates.corvane.com/mur/v1/latest", "http://127.0.0.1:8642/mur/v1/latest", "http://localhost/x",
                              "http://[::1]:80/x" })
        EXPECT_TRUE (update::isAcceptableServiceAddress (good)) << good;
    for (const auto* bad : { "http://corvane.com/mur/v1/latest", "file:///tmp/answer.json", "ftp://127.0.0.1/x", "https://",
                             "http://127.0.0.1.evil.com/x", "https://user:pw@corvane.com/x", "127.0.0.1:8642" })
        EXPECT_FALSE (update::isAcceptableServiceAddress (bad)) << bad;

    const auto url = update::requestUrl ("https://updates.corvane.com/mur/v1/latest", "1.0.0").toString (true);
    EXPECT_EQ (url, "https://updates.corvane.com/mur/v1/latest?version=1.0.0&platform=" + update::platformName());
}

//==============================================================================
std::optional<update::Answer> ask (const juce::String& address)
{
    update::Request request;
    return request.perform (address, "1.0.0", [] { return false; });
}

TEST (UpdateServiceClient, OneGetWithTheVersionAndPlatform)
{
    ReferenceUpdateServer server (ServedAnswer::update ("1.1.0", "https://corvane.com/mur"));
    ASSERT_TRUE (server.start());
    const auto answer = ask (server.address());
    ASSERT_TRUE (answer.has_value());
    EXPECT_TRUE (answer->available);
    EXPECT_EQ (answer->latestVersion, "1.1.0");
    EXPECT_EQ (answer->downloadLocation, "https://corvane.com/mur");
    EXPECT_EQ (server.requestCount(), 1);
    EXPECT_EQ (server.lastRequestLine(), "GET /mur/v1/latest?version=1.0.0&platform=" + update::platformName() + " HTTP/1.1");
}

TEST (UpdateServiceClient, FailuresOfTheServiceGiveNoAnswer)
{
    auto megabyte = [] (bool withLength)
    {
        auto served = ServedAnswer::text (R"({"latestVersion": "1.1.0", "pad": ")" + juce::String::repeatedString ("x", 1 << 20) + "\"}");
        served.sendLength = withLength;
        return served;
    };
    auto failing = ServedAnswer::update ("1.1.0");
    failing.status = 500;
    auto looping = ServedAnswer::update ("1.1.0");
    looping.redirectLoop = true;

    for (auto [what, served] : { std::pair { "1 MiB with its length", megabyte (true) }, std::pair { "1 MiB without", megabyte (false) },
                                 std::pair { "a server error", failing }, std::pair { "a redirect loop", looping } })
    {
        ReferenceUpdateServer server (served);
        ASSERT_TRUE (server.start());
        EXPECT_FALSE (ask (server.address()).has_value()) << what;
        EXPECT_GE (server.requestCount(), 1) << what;
    }

    // Nothing listening: the connection is refused.
    int freePort = 0;
    {
        ReferenceUpdateServer closed (ServedAnswer::update ("1.1.0"));
        ASSERT_TRUE (closed.start());
        freePort = closed.getPort();
    }
    EXPECT_FALSE (ask ("http://127.0.0.1:" + juce::String (freePort) + "/mur/v1/latest").has_value());

    // An address that is not the service's is never asked.
    EXPECT_FALSE (ask ("file:///etc/hostname").has_value());
}

TEST (UpdateServiceClient, CancellingEndsARequestThatWaitsForItsAnswer)
{
    auto slow = ServedAnswer::update ("1.1.0");
    slow.delayMs = 10000;
    ReferenceUpdateServer server (slow);
    ASSERT_TRUE (server.start());

    update::Request request;
    std::optional<update::Answer> answer { update::Answer {} };
    std::thread asking ([&] { answer = request.perform (server.address(), "1.0.0", [] { return false; }); });
    while (server.requestCount() == 0)
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    request.cancel();
    asking.join();
    EXPECT_FALSE (answer.has_value());
}

} // namespace
} // namespace mur
