#include "persistence/UserSettings.h"
#include "overlays/OverlayPanel.h"
#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Tests that need a real X display. Without one, a private Xvfb server is
// started for the run on a display number it finds free itself (and stopped
// afterwards). Only when Xvfb is not installed at all are the tests skipped;
// an Xvfb that does not start fails the run with the reason.
namespace
{
// A host keeps X errors from ending the process (a window manager's atoms
// that a bare server lacks, for example); so does this one.
int ignoreXErrors (Display*, XErrorEvent*) { return 0; }

bool xvfbInstalled()
{
    const char* path = std::getenv ("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";

    for (size_t start = 0; start <= folders.size();)
    {
        const auto end = std::min (folders.find (':', start), folders.size());
        if (access ((folders.substr (start, end - start) + "/Xvfb").c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Starts Xvfb, which writes the display number it chose to a pipe once it
// accepts connections. Returns the number, or -1 with the reason.
int startXvfb (pid_t& pid, std::string& reason)
{
    int fds[2];
    if (pipe (fds) != 0)
    {
        reason = "no pipe for Xvfb";
        return -1;
    }

    pid = fork();
    if (pid == 0)
    {
        close (fds[0]);
        // The server must not hold the test's output open.
        freopen ("/dev/null", "w", stdout);
        freopen ("/dev/null", "w", stderr);
        const auto fd = std::to_string (fds[1]);
        execlp ("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2400x1400x24", "-nolisten", "tcp",
                static_cast<char*> (nullptr));
        _exit (127);
    }
    close (fds[1]);

    std::string number;
    pollfd reader { fds[0], POLLIN, 0 };
    char c = 0;

    while (poll (&reader, 1, 10000) > 0 && read (fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close (fds[0]);

    if (number.empty() || number.find_first_not_of ("0123456789") != std::string::npos)
    {
        int status = 0;
        if (pid > 0 && waitpid (pid, &status, WNOHANG) == pid)
            reason = "Xvfb exited with status " + std::to_string (WIFEXITED (status) ? WEXITSTATUS (status) : -1);
        else
            reason = "Xvfb did not report a display within ten seconds";
        return -1;
    }

    return std::stoi (number);
}
} // namespace

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    const bool onlyListing = testing::GTEST_FLAG (list_tests);

    pid_t xvfb = -1;
    if (! onlyListing && (std::getenv ("DISPLAY") == nullptr || *std::getenv ("DISPLAY") == 0))
    {
        if (! xvfbInstalled())
        {
            std::cout << "no X display and no Xvfb installed: the window tests are skipped\n";
            setenv ("MUR_NO_DISPLAY", "1", 1);
        }
        else
        {
            std::string reason;
            const auto number = startXvfb (xvfb, reason);

            if (number < 0)
            {
                std::cerr << "the window tests need an X display, and Xvfb did not start: " << reason << "\n";
                if (xvfb > 0)
                {
                    kill (xvfb, SIGTERM);
                    waitpid (xvfb, nullptr, 0);
                }
                return 1;
            }

            setenv ("DISPLAY", (":" + std::to_string (number)).c_str(), 1);
        }
    }

    XSetErrorHandler (ignoreXErrors);

    // The hosted plug-in keeps its settings under HOME: it gets a scratch
    // home in which this version's release notes are already confirmed, and
    // no update check (the notes and the notice have tests of their own).
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("mur-window-home", {}, false);
    home.createDirectory();
    // The X connection's credentials stay where they were.
    if (const auto* oldHome = std::getenv ("HOME"); oldHome != nullptr && std::getenv ("XAUTHORITY") == nullptr)
        setenv ("XAUTHORITY", (std::string (oldHome) + "/.Xauthority").c_str(), 1);
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    unsetenv ("XDG_CONFIG_HOME");
    setenv ("MUR_UPDATE_URL", "", 1);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        mur::userSettings::write (mur::userSettings::changelogAcknowledgedVersion, mur::overlays::installedVersion);
        result = RUN_ALL_TESTS();
    }
    home.deleteRecursively();

    if (xvfb > 0)
    {
        kill (xvfb, SIGTERM);
        waitpid (xvfb, nullptr, 0);
    }
    return result;
}
