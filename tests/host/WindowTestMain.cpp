#include <juce_events/juce_events.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Tests that need a real X display. Without one, a private Xvfb server is
// started for the run (and stopped afterwards); without Xvfb they are skipped.
namespace
{
// A host keeps X errors from ending the process (a window manager's atoms
// that a bare server lacks, for example); so does this one.
int ignoreXErrors (Display*, XErrorEvent*) { return 0; }

pid_t startXvfb (const char* display)
{
    const auto pid = fork();
    if (pid == 0)
    {
        // The server must not hold the test's output open.
        freopen ("/dev/null", "w", stdout);
        freopen ("/dev/null", "w", stderr);
        execlp ("Xvfb", "Xvfb", display, "-screen", "0", "2400x1400x24", "-nolisten", "tcp", static_cast<char*> (nullptr));
        _exit (127);
    }
    return pid;
}
} // namespace

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    const bool onlyListing = testing::GTEST_FLAG (list_tests);

    pid_t xvfb = -1;
    if (! onlyListing && (std::getenv ("DISPLAY") == nullptr || *std::getenv ("DISPLAY") == 0))
    {
        const auto number = 90 + static_cast<int> (getpid() % 100);
        char display[16], socket[64];
        std::snprintf (display, sizeof (display), ":%d", number);
        std::snprintf (socket, sizeof (socket), "/tmp/.X11-unix/X%d", number);
        xvfb = startXvfb (display);
        setenv ("DISPLAY", display, 1);

        // Wait (up to five seconds) for the server's socket, or for it to give up.
        int status = 0;
        bool exited = false;
        for (int i = 0; i < 100 && access (socket, F_OK) != 0; ++i)
        {
            if (xvfb <= 0 || waitpid (xvfb, &status, WNOHANG) != 0)
            {
                exited = true;
                break;
            }
            usleep (50 * 1000);
        }

        if (exited || access (socket, F_OK) != 0)
        {
            std::cout << "no X display and no Xvfb: the window tests are skipped\n";
            unsetenv ("DISPLAY");
            setenv ("MUR_NO_DISPLAY", "1", 1);
        }
    }

    XSetErrorHandler (ignoreXErrors);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    if (xvfb > 0)
    {
        kill (xvfb, SIGTERM);
        waitpid (xvfb, nullptr, 0);
    }
    return result;
}
