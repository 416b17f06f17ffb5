#pragma once

#include <juce_core/juce_core.h>

#include <atomic>

namespace mur::update
{

// What the server answers to every request.
struct ServedAnswer
{
    int status = 200;
    juce::String contentType = "application/json";
    juce::MemoryBlock body;
    bool sendLength = true;     // a Content-Length header (otherwise the end of the body is the close)
    int delayMs = 0;            // before the first byte of the answer
    bool redirectLoop = false;  // every request is sent to the next address on the server, for ever

    // {"latestVersion": V} with "downloadUrl" when a location is given.
    static ServedAnswer update (const juce::String& latestVersion, const juce::String& downloadUrl = {});
    static ServedAnswer text (const juce::String& body, const juce::String& contentType = "application/json");
};

// A small HTTP/1.1 server for the update service on this machine's loopback
// address, one connection at a time. It answers every path with the same
// answer and counts the requests it read.
class ReferenceUpdateServer : private juce::Thread
{
public:
    explicit ReferenceUpdateServer (ServedAnswer answer);
    ~ReferenceUpdateServer() override;

    // Listens on `port` (0: any free port). False when it cannot listen.
    bool start (int port = 0);
    int getPort() const noexcept { return port; }
    // The service's address on this server.
    juce::String address() const;
    int requestCount() const noexcept { return requests.load(); }
    juce::String lastRequestLine() const;

private:
    void run() override;
    void serve (juce::StreamingSocket& connection);

    const ServedAnswer answer;
    juce::StreamingSocket listener;
    int port = 0;
    std::atomic<int> requests { 0 };
    mutable juce::CriticalSection lock;
    juce::String requestLine;

    JUCE_DECLARE_NON_COPYABLE (ReferenceUpdateServer)
};

} // namespace mur::update
