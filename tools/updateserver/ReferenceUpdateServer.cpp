#include "ReferenceUpdateServer.h"

#include <csignal>

namespace mur::update
{

ServedAnswer ServedAnswer::update (const juce::String& latestVersion, const juce::String& downloadUrl)
{
    auto object = std::make_unique<juce::DynamicObject>();
    object->setProperty ("latestVersion", latestVersion);
    if (downloadUrl.isNotEmpty())
        object->setProperty ("downloadUrl", downloadUrl);
    return text (juce::JSON::toString (juce::var (object.release()), true));
}

ServedAnswer ServedAnswer::text (const juce::String& body, const juce::String& contentType)
{
    ServedAnswer served;
    served.body.append (body.toRawUTF8(), body.getNumBytesAsUTF8());
    served.contentType = contentType;
    return served;
}

ReferenceUpdateServer::ReferenceUpdateServer (ServedAnswer served) : juce::Thread ("UpdateServer"), answer (std::move (served))
{
}

ReferenceUpdateServer::~ReferenceUpdateServer()
{
    stopThread (5000);
    listener.close();
}

bool ReferenceUpdateServer::start (int wantedPort)
{
   #if ! JUCE_WINDOWS
    // A client that hangs up early must not end this process when we write.
    std::signal (SIGPIPE, SIG_IGN);
   #endif
    if (! listener.createListener (wantedPort, "127.0.0.1"))
        return false;
    port = listener.getBoundPort();
    return startThread();
}

juce::String ReferenceUpdateServer::address() const
{
    return "http://127.0.0.1:" + juce::String (port) + "/mur/v1/latest";
}

juce::String ReferenceUpdateServer::lastRequestLine() const
{
    const juce::ScopedLock guard (lock);
    return requestLine;
}

void ReferenceUpdateServer::run()
{
    while (! threadShouldExit())
    {
        if (listener.waitUntilReady (true, 100) != 1)
            continue;
        if (std::unique_ptr<juce::StreamingSocket> connection { listener.waitForNextConnection() })
            serve (*connection);
    }
}

void ReferenceUpdateServer::serve (juce::StreamingSocket& connection)
{
    // The request's head, up to its empty line (8 KiB at most, 3 s at most).
    juce::MemoryOutputStream head;
    const auto deadline = juce::Time::getMillisecondCounter() + 3000;
    while (! head.toString().contains ("\r\n\r\n") && head.getDataSize() < 8192)
    {
        if (threadShouldExit() || juce::Time::getMillisecondCounter() > deadline)
            return;
        if (connection.waitUntilReady (true, 50) != 1)
            continue;
        char buffer[512];
        const auto n = connection.read (buffer, static_cast<int> (sizeof (buffer)), false);
        if (n <= 0)
            return;
        head.write (buffer, static_cast<size_t> (n));
    }

    const auto line = head.toString().upToFirstOccurrenceOf ("\r\n", false, false);
    {
        const juce::ScopedLock guard (lock);
        requestLine = line;
    }
    ++requests;

    for (auto waited = 0; waited < answer.delayMs; waited += 50)
        if (wait (50), threadShouldExit())
            return;

    juce::String reply;
    if (answer.redirectLoop)
    {
        reply << "HTTP/1.1 302 Found\r\nLocation: /mur/v1/latest?hop=" << requests.load()
              << "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        connection.write (reply.toRawUTF8(), static_cast<int> (reply.getNumBytesAsUTF8()));
        return;
    }

    reply << "HTTP/1.1 " << answer.status << (answer.status == 200 ? " OK" : " Error") << "\r\nContent-Type: " << answer.contentType << "\r\n";
    if (answer.sendLength)
        reply << "Content-Length: " << static_cast<juce::int64> (answer.body.getSize()) << "\r\n";
    reply << "Connection: close\r\n\r\n";
    if (connection.write (reply.toRawUTF8(), static_cast<int> (reply.getNumBytesAsUTF8())) < 0)
        return;

    const auto* data = static_cast<const char*> (answer.body.getData());
    for (size_t sent = 0; sent < answer.body.getSize() && ! threadShouldExit();)
    {
        const auto chunk = static_cast<int> (std::min<size_t> (16384, answer.body.getSize() - sent));
        const auto n = connection.write (data + sent, chunk);
        if (n <= 0)
            return;
        sent += static_cast<size_t> (n);
    }
}

} // namespace mur::update
