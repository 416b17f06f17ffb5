// mur-update-server: the update service's reference server, for trying the
// update notice by hand. It answers every request on 127.0.0.1 with one answer:
//
//   mur-update-server [--port N] [--latest VERSION] [--download URL]
//                     [--body FILE] [--status N] [--delay-ms N] [--redirect-loop]
//
// and prints the address to give MUR in MUR_UPDATE_URL.
#include "ReferenceUpdateServer.h"

#include <csignal>
#include <iostream>

namespace
{
std::atomic<bool> stopRequested { false };

int usage (const juce::String& why)
{
    std::cerr << "mur-update-server: " << why << "\n"
              << "usage: mur-update-server [--port N] [--latest VERSION] [--download URL] [--body FILE] [--status N]"
                 " [--delay-ms N] [--redirect-loop]\n";
    return 2;
}
} // namespace

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (argv[i]);

    int port = 8642, status = 200, delayMs = 0;
    juce::String latest = "1.1.0", download, bodyFile;
    auto redirectLoop = false;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& flag = args[i];
        auto value = [&]() -> juce::String { return i + 1 < args.size() ? args[++i] : juce::String(); };
        if (flag == "--port")
            port = value().getIntValue();
        else if (flag == "--latest")
            latest = value();
        else if (flag == "--download")
            download = value();
        else if (flag == "--body")
            bodyFile = value();
        else if (flag == "--status")
            status = value().getIntValue();
        else if (flag == "--delay-ms")
            delayMs = value().getIntValue();
        else if (flag == "--redirect-loop")
            redirectLoop = true;
        else
            return usage ("unknown option " + flag);
    }
    if (port < 0 || port > 65535)
        return usage ("the port is 0 to 65535");

    auto answer = mur::update::ServedAnswer::update (latest, download);
    if (bodyFile.isNotEmpty())
    {
        const juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (bodyFile));
        if (! file.existsAsFile() || ! file.loadFileAsData (answer.body))
            return usage ("cannot read " + bodyFile);
    }
    answer.status = status;
    answer.delayMs = juce::jmax (0, delayMs);
    answer.redirectLoop = redirectLoop;

    mur::update::ReferenceUpdateServer server (answer);
    if (! server.start (port))
    {
        std::cerr << "mur-update-server: cannot listen on 127.0.0.1:" << port << "\n";
        return 1;
    }

    std::cout << "serving " << server.address() << "\n"
              << "try: MUR_UPDATE_URL=" << server.address() << " build/MUR_artefacts/Release/Standalone/MUR\n"
              << "(Ctrl+C stops)" << std::endl;

    std::signal (SIGINT, [] (int) { stopRequested = true; });
    std::signal (SIGTERM, [] (int) { stopRequested = true; });
    while (! stopRequested)
        juce::Thread::sleep (100);
    return 0;
}
