#include "PluginHost.h"
#include "host/BuiltVst3.h"
#include "wine/Scenario.h"
#include "StateRestore.h"

#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

// The built VST3's editor opened in a real window, as a host shows it, and the
// pixels on the screen read back: they must be the artwork.
namespace mur
{
namespace
{

struct ScreenPixels
{
    int width = 0, height = 0;
    std::vector<juce::uint32> rgb;

    juce::uint32 at (int x, int y) const { return rgb[static_cast<size_t> (y * width + x)]; }
};

ScreenPixels grabScreen (juce::Rectangle<int> area)
{
    ScreenPixels pixels;
    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return pixels;

    auto* image = XGetImage (display, DefaultRootWindow (display), area.getX(), area.getY(),
                             static_cast<unsigned> (area.getWidth()), static_cast<unsigned> (area.getHeight()), AllPlanes, ZPixmap);
    if (image != nullptr)
    {
        pixels.width = area.getWidth();
        pixels.height = area.getHeight();
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x)
                pixels.rgb.push_back (static_cast<juce::uint32> (XGetPixel (image, x, y)) & 0xffffff);
        XDestroyImage (image);
    }

    XCloseDisplay (display);
    return pixels;
}

float brightness (juce::uint32 rgb)
{
    return static_cast<float> (((rgb >> 16) & 0xff) + ((rgb >> 8) & 0xff) + (rgb & 0xff)) / (3.0f * 255.0f);
}

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// The built VST3 with its editor shown in a window at (40, 40), as a host
// shows it.
struct HostedEditor
{
    HostedEditor()
    {
        juce::String error;
        instance = host::loadVst3Module (juce::File (MUR_VST3_BINARY), 48000.0, 512, error);
        if (instance == nullptr)
        {
            ADD_FAILURE() << error;
            return;
        }

        editor.reset (instance->createEditorIfNeeded());
        if (editor == nullptr)
            return;

        window = std::make_unique<juce::DocumentWindow> ("MUR", juce::Colours::black, 0, true);
        window->setUsingNativeTitleBar (false);
        window->setTitleBarHeight (0);
        window->setContentNonOwned (editor.get(), true);
        window->setTopLeftPosition (40, 40);
        window->setVisible (true);
        window->toFront (false);

        // Let both sides of the plug-in boundary map and paint their windows.
        for (int i = 0; i < 30; ++i)
            pump (50);
    }

    ~HostedEditor()
    {
        if (window != nullptr)
        {
            window->setVisible (false);
            window->clearContentComponent();
        }
        editor.reset();
    }

    bool isOpen() const { return editor != nullptr && window != nullptr; }
    juce::Point<int> onScreen (int designX, int designY) const { return window->getScreenPosition() + juce::Point<int> (designX, designY); }

    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    std::unique_ptr<juce::DocumentWindow> window;
};

// A press, a drag in small steps and a release, through the X server as a
// mouse would make them.
void dragWithTheMouse (juce::Point<int> from, juce::Point<int> to, int steps = 8)
{
    auto* display = XOpenDisplay (nullptr);
    ASSERT_NE (display, nullptr);

    auto moveTo = [display] (juce::Point<int> p)
    {
        XTestFakeMotionEvent (display, -1, p.x, p.y, CurrentTime);
        XFlush (display);
        pump (30);
    };

    moveTo (from);
    XTestFakeButtonEvent (display, 1, True, CurrentTime);
    XFlush (display);
    pump (30);

    for (int i = 1; i <= steps; ++i)
        moveTo (from + (to - from) * i / steps);

    XTestFakeButtonEvent (display, 1, False, CurrentTime);
    XFlush (display);
    pump (30);

    // Xlib may already hold the release in its own queue (read there by a
    // pointer query on a timer), where nothing wakes the message loop for
    // it; one more small move brings it out, as the next move of a real
    // mouse would.
    moveTo (to + juce::Point<int> (1, 0));
    pump (30);
    XCloseDisplay (display);
}

// What a host's automation sees of one parameter.
struct AutomationLog : juce::AudioProcessorParameter::Listener
{
    void parameterValueChanged (int index, float) override { events.add (juce::String (index) + " value"); }
    void parameterGestureChanged (int index, bool starting) override
    {
        events.add (juce::String (index) + (starting ? " begin" : " end"));
    }

    juce::StringArray events;
};

// One gesture on the parameter: its begin comes first, one begin and one
// end, nothing else moved. (JUCE's VST3 wrapper sends values on a timer of
// its own, so the last value may reach the host after the end.)
void expectOneGesture (const juce::StringArray& events, const juce::String& id)
{
    ASSERT_GE (events.size(), 3) << id << ": " << events.joinIntoString (", ");
    EXPECT_EQ (events[0], id + " begin") << events.joinIntoString (", ");
    int begins = 0, ends = 0;
    for (const auto& event : events)
    {
        EXPECT_TRUE (event.startsWith (id + " ")) << events.joinIntoString (", ");
        begins += event == id + " begin" ? 1 : 0;
        ends += event == id + " end" ? 1 : 0;
    }
    EXPECT_EQ (begins, 1) << events.joinIntoString (", ");
    EXPECT_EQ (ends, 1) << events.joinIntoString (", ");
}

TEST (EditorWindow, ScreenCaptureSeesAPlainWindow)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    struct Red : juce::Component
    {
        void paint (juce::Graphics& g) override { g.fillAll (juce::Colours::red); }
    } red;
    red.setSize (200, 100);
    juce::DocumentWindow window ("test", juce::Colours::black, 0, true);
    window.setUsingNativeTitleBar (false);
    window.setTitleBarHeight (0);
    window.setContentNonOwned (&red, true);
    window.setTopLeftPosition (40, 40);
    window.setVisible (true);
    for (int i = 0; i < 10; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    const auto pixels = grabScreen (window.getScreenBounds().withSize (200, 100));
    ASSERT_EQ (pixels.width, 200);
    EXPECT_EQ (pixels.at (100, 50), 0xff0000u);
}

TEST (EditorWindow, TheHostedEditorShowsTheArtwork)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    EXPECT_EQ (hosted.editor->getWidth(), 1078);
    EXPECT_EQ (hosted.editor->getHeight(), 539);

    const auto area = hosted.window->getScreenBounds().withSize (1078, 539);
    const auto pixels = grabScreen (area);
    ASSERT_EQ (pixels.width, 1078);

    // MUR_WINDOW_CAPTURE=file.png keeps what the screen showed, for a look.
    if (const auto* capture = std::getenv ("MUR_WINDOW_CAPTURE"))
    {
        juce::Image image (juce::Image::RGB, pixels.width, pixels.height, false);
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x)
                image.setPixelAt (x, y, juce::Colour (0xff000000 | pixels.at (x, y)));
        juce::File file (juce::File::getCurrentWorkingDirectory().getChildFile (capture));
        file.deleteFile();
        juce::FileOutputStream out (file);
        juce::PNGImageFormat().writeImageToStream (image, out);
    }

    // The preset bar is pale, the panels dark violet, and the picture varies.
    std::set<juce::uint32> colours;
    float darkest = 1.0f, brightest = 0.0f;
    for (int y = 0; y < pixels.height; y += 7)
        for (int x = 0; x < pixels.width; x += 7)
        {
            const auto c = pixels.at (x, y);
            colours.insert (c);
            darkest = juce::jmin (darkest, brightness (c));
            brightest = juce::jmax (brightest, brightness (c));
        }

    EXPECT_GT (colours.size(), 200u);
    EXPECT_GT (brightness (pixels.at (700, 40)), 0.7f);    // inside the preset bar
    EXPECT_LT (brightness (pixels.at (150, 300)), 0.25f);  // the Engine panel
    const auto violet = pixels.at (150, 300);
    EXPECT_GT (violet & 0xff, (violet >> 8) & 0xff);       // more blue than green
    EXPECT_GT (brightest - darkest, 0.6f);
}

TEST (EditorWindow, ADragOnAKnobIsOneHostGesture)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());

    AutomationLog log;
    const auto& parameters = hosted.instance->getParameters();
    for (auto* parameter : parameters)
        parameter->addListener (&log);

    constexpr int inertia = 51;
    const auto before = parameters[inertia]->getValue();

    // The Inertia knob's centre, dragged to the right.
    const auto centre = hosted.onScreen (66 + 35, 405 + 35);
    dragWithTheMouse (centre, centre + juce::Point<int> (60, 0));

    // The host hears of the gesture's end through its own message queue.
    test::pumpUntil ([&] { return log.events.contains ("51 end"); });
    pump (100);
    for (auto* parameter : parameters)
        parameter->removeListener (&log);

    EXPECT_LT (parameters[inertia]->getValue(), before - 0.1f);

    // Only Inertia moved, and all of it in one gesture.
    expectOneGesture (log.events, "51");
}

TEST (EditorWindow, DragsOnTheNewControlsAreOneGestureEachAndUndoTakesThemBack)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    const auto& parameters = hosted.instance->getParameters();

    constexpr int random = 58, capacity = 55, firstNoteGain = 1, octaves = 89;
    struct Drag
    {
        int parameter;
        juce::Point<int> from, to;
    };

    // Random's track (a press near its left end, dragged right), the
    // Capacity knob's disc (dragged right), the first note arc (dragged up)
    // and the Octaves dots (pressed on the second, dragged to the fourth).
    const Drag drags[] = {
        { random, hosted.onScreen (806 + 20, 232 + 9), hosted.onScreen (806 + 120, 232 + 9) },
        { capacity, hosted.onScreen (118 + 34, 291 + 34), hosted.onScreen (118 + 74, 291 + 34) },
        { firstNoteGain, hosted.onScreen (853, 434), hosted.onScreen (853, 404) },
        { octaves, hosted.onScreen (880 + 68, 476 + 8), hosted.onScreen (880 + 90, 476 + 8) },
    };

    std::vector<float> before;
    for (const auto& d : drags)
    {
        before.push_back (parameters[d.parameter]->getValue());

        AutomationLog log;
        for (auto* parameter : parameters)
            parameter->addListener (&log);
        dragWithTheMouse (d.from, d.to);

        // The host hears of the gesture's end through its own message queue;
        // the plug-in's tree then takes the host's copy on its own timer,
        // which nothing outside reports (a musician's next click comes later).
        const auto id = juce::String (d.parameter);
        test::pumpUntil ([&] { return log.events.contains (id + " end"); });
        pump (100);
        for (auto* parameter : parameters)
            parameter->removeListener (&log);

        EXPECT_NE (parameters[d.parameter]->getValue(), before.back()) << id;
        expectOneGesture (log.events, id);
    }

    // The editor's Undo button, once per drag, newest first.
    const auto undo = hosted.onScreen (336, 29);
    for (int i = static_cast<int> (std::size (drags)) - 1; i >= 0; --i)
    {
        dragWithTheMouse (undo, undo, 1);
        EXPECT_TRUE (test::pumpUntil ([&] { return parameters[drags[i].parameter]->getValue() == before[static_cast<size_t> (i)]; }))
            << drags[i].parameter;
    }
}

TEST (EditorWindow, APadDragIsOneGestureAndARingDragChangesTheAccentsPlayed)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    auto& instance = *hosted.instance;
    const auto& parameters = instance.getParameters();
    constexpr int controlX = 66, controlY = 67, firstAccent = 73;

    // Across the pad: Control X and Control Y, each one gesture.
    const auto beforeX = parameters[controlX]->getValue(), beforeY = parameters[controlY]->getValue();
    {
        AutomationLog log;
        for (auto* parameter : parameters)
            parameter->addListener (&log);
        dragWithTheMouse (hosted.onScreen (560, 293), hosted.onScreen (600, 253));
        test::pumpUntil ([&] { return log.events.contains ("66 end") && log.events.contains ("67 end"); });
        pump (100); // the plug-in's tree takes the host's copy on its own timer
        for (auto* parameter : parameters)
            parameter->removeListener (&log);

        EXPECT_GT (parameters[controlX]->getValue(), beforeX);
        EXPECT_GT (parameters[controlY]->getValue(), beforeY);
        for (const auto* id : { "66", "67" })
        {
            const auto begin = log.events.indexOf (juce::String (id) + " begin"), end = log.events.indexOf (juce::String (id) + " end");
            EXPECT_GE (begin, 0) << id;
            EXPECT_GT (end, begin) << id << ": " << log.events.joinIntoString (", ");
            EXPECT_EQ (log.events.indexOf (juce::String (id) + " begin", false, begin + 1), -1) << log.events.joinIntoString (", ");
        }
        for (const auto& event : log.events)
            EXPECT_TRUE (event.startsWith ("66 ") || event.startsWith ("67 ")) << event;
    }

    const auto undo = hosted.onScreen (336, 29);
    dragWithTheMouse (undo, undo, 1);
    EXPECT_TRUE (test::pumpUntil ([&] { return parameters[controlX]->getValue() == beforeX && parameters[controlY]->getValue() == beforeY; }));

    // The first step's segment at twelve o'clock, pulled from fully accented
    // towards its counter-clockwise end.
    juce::MemoryBlock accented;
    instance.getStateInformation (accented);
    const auto beforeAccent = parameters[firstAccent]->getValue();
    {
        AutomationLog log;
        parameters[firstAccent]->addListener (&log);
        dragWithTheMouse (hosted.onScreen (540, 130), hosted.onScreen (516, 132));
        test::pumpUntil ([&] { return log.events.contains ("73 end"); });
        pump (100);
        parameters[firstAccent]->removeListener (&log);
        expectOneGesture (log.events, "73");
    }
    EXPECT_LT (parameters[firstAccent]->getValue(), beforeAccent - 0.3f);

    // The same session with and without the change plays differently.
    juce::MemoryBlock changed;
    instance.getStateInformation (changed);
    auto play = [] (const juce::MemoryBlock& state)
    {
        auto fresh = host::loadBuiltVst3();
        fresh->setStateInformation (state.getData(), static_cast<int> (state.getSize()));
        return scenario::playChord (*fresh);
    };
    EXPECT_NE (play (accented), play (changed));
}

TEST (EditorWindow, AStateRestoredWithTheEditorOpenStaysRestored)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    auto& instance = *hosted.instance;

    for (const juce::int64 seed : { 7, 77, 777 })
    {
        restore::validatorRound (instance, seed, [&] (const juce::MemoryBlock& state)
        {
            return restore::restoreAndReadOnThisThread (instance, state);
        });

        // And the open editor, once it has caught up, writes nothing over it.
        juce::Random random (seed);
        juce::MemoryBlock state;
        instance.getStateInformation (state);
        const auto restored = restore::restoreAndReadOnThisThread (instance, state);
        restore::randomiseAll (instance, random);
        instance.setStateInformation (state.getData(), static_cast<int> (state.getSize()));
        pump (300);
        restore::expectSameWithinStep (restored, restore::readAll (instance), "after the editor caught up, seed " + juce::String (seed));
    }
}

// How many pixels differ between two captures of the same area.
int pixelsChanged (const ScreenPixels& a, const ScreenPixels& b)
{
    int changed = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i)
        changed += a.rgb[i] != b.rgb[i] ? 1 : 0;
    return changed;
}

TEST (EditorWindow, TheViewsMoveWhileAnArpeggioPlaysAndAClickSwitchesThem)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    auto& instance = *hosted.instance;

    // A host's audio thread: a held chord while the transport plays at 120
    // BPM, a block of 10 ms every 10 ms.
    std::atomic<bool> stop { false };
    std::thread audio ([&]
    {
        scenario::TransportAt120 playHead;
        instance.setPlayHead (&playHead);
        instance.prepareToPlay (48000.0, 480);
        juce::AudioBuffer<float> buffer (2, 480);
        juce::MidiBuffer midi;
        for (const auto note : { 57, 60, 64, 67 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);
        for (juce::int64 position = 0; ! stop; position += 480)
        {
            playHead.ppq = static_cast<double> (position) / 48000.0 * 2.0;
            instance.processBlock (buffer, midi);
            midi.clear();
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
        instance.setPlayHead (nullptr);
    });

    const auto view = juce::Rectangle<int> (36, 107, 234, 109) + hosted.onScreen (0, 0);
    pump (600);
    const auto first = grabScreen (view);
    pump (300);
    const auto second = grabScreen (view);
    EXPECT_GT (pixelsChanged (first, second), 50) << "the Activity view stood still while the arpeggio played";

    // With the arpeggio stopped the Activity view stands still; a click on
    // the screen brings the Map, which has seen no step yet.
    stop = true;
    audio.join();
    pump (300);
    const auto activity = grabScreen (view);
    pump (200);
    EXPECT_EQ (pixelsChanged (activity, grabScreen (view)), 0);

    const auto centre = hosted.onScreen (36 + 117, 107 + 54);
    dragWithTheMouse (centre, centre, 1);
    pump (300);
    EXPECT_GT (pixelsChanged (activity, grabScreen (view)), 200) << "the click did not switch the view";
}

// The text a selection's owner gives for a target, asked for as a drop
// target would ask for it; empty when no answer comes.
juce::String readSelection (Display* display, const char* selection, const char* target)
{
    const auto requestor = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 1, 1, 0, 0, 0);
    const auto property = XInternAtom (display, "MUR_TEST_SELECTION", False);
    XConvertSelection (display, XInternAtom (display, selection, False), XInternAtom (display, target, False), property,
                       requestor, CurrentTime);
    XFlush (display);

    juce::String text;
    for (int attempt = 0; attempt < 100 && text.isEmpty(); ++attempt)
    {
        pump (20);
        XEvent event;
        if (! XCheckTypedWindowEvent (display, requestor, SelectionNotify, &event))
            continue;
        if (event.xselection.property == None)
            break;

        Atom type;
        int format;
        unsigned long items, remaining;
        unsigned char* data = nullptr;
        if (XGetWindowProperty (display, requestor, property, 0, 65536, False, AnyPropertyType, &type, &format, &items,
                                &remaining, &data) == Success && data != nullptr)
        {
            text = juce::String::fromUTF8 (reinterpret_cast<const char*> (data), static_cast<int> (items));
            XFree (data);
        }
        break;
    }
    XDestroyWindow (display, requestor);
    return text;
}

TEST (EditorWindow, DraggingTheCaptureHandleOutOfTheWindowHandsOverAMidiFile)
{
    if (std::getenv ("MUR_NO_DISPLAY") != nullptr)
        GTEST_SKIP() << "no X display";

    HostedEditor hosted;
    ASSERT_TRUE (hosted.isOpen());
    auto& instance = *hosted.instance;

    // Five bars of a held chord with the transport playing, then silence.
    {
        scenario::TransportAt120 playHead;
        instance.setPlayHead (&playHead);
        instance.prepareToPlay (48000.0, 480);
        juce::AudioBuffer<float> buffer (2, 480);
        juce::MidiBuffer midi;
        for (const auto note : { 60, 64, 67 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, static_cast<juce::uint8> (100)), 0);
        for (juce::int64 position = 0; position < 6 * 96000; position += 480)
        {
            if (position == 5 * 96000)
                for (const auto note : { 60, 64, 67 })
                    midi.addEvent (juce::MidiMessage::noteOff (1, note), 0);
            playHead.ppq = static_cast<double> (position) / 48000.0 * 2.0;
            instance.processBlock (buffer, midi);
            midi.clear();
        }
        instance.setPlayHead (nullptr);
    }
    pump (300);

    auto* display = XOpenDisplay (nullptr);
    ASSERT_NE (display, nullptr);
    const auto xdndSelection = XInternAtom (display, "XdndSelection", False);
    const auto ownerBefore = XGetSelectionOwner (display, xdndSelection);

    const auto moveTo = [display] (juce::Point<int> p)
    {
        XTestFakeMotionEvent (display, -1, p.x, p.y, CurrentTime);
        XFlush (display);
        pump (30);
    };

    // Press on the handle and leave the window with the button held.
    const auto handle = hosted.onScreen (708 + 28, 64 + 8);
    moveTo (handle);
    XTestFakeButtonEvent (display, 1, True, CurrentTime);
    XFlush (display);
    pump (30);
    const auto outside = juce::Point<int> (handle.x, hosted.onScreen (0, 0).y - 30);
    for (int i = 1; i <= 8; ++i)
        moveTo (handle + (outside - handle) * i / 8);
    pump (200);

    // The plug-in's window owns the drag's selection and offers the file.
    const auto owner = XGetSelectionOwner (display, xdndSelection);
    const auto uris = readSelection (display, "XdndSelection", "text/uri-list");

    XTestFakeButtonEvent (display, 1, False, CurrentTime);
    XFlush (display);
    pump (100);
    moveTo (outside + juce::Point<int> (1, 0));
    pump (100);
    XCloseDisplay (display);

    EXPECT_NE (owner, static_cast<Window> (None));
    EXPECT_NE (owner, ownerBefore);
    ASSERT_TRUE (uris.startsWith ("file://")) << uris;
    const juce::File file (juce::URL::removeEscapeChars (uris.upToFirstOccurrenceOf ("\r\n", false, false).fromFirstOccurrenceOf ("file://", false, false)));
    ASSERT_TRUE (file.existsAsFile()) << file.getFullPathName();
    EXPECT_EQ (file.getParentDirectory().getFileName(), "MUR");

    juce::FileInputStream in (file);
    juce::MidiFile midi;
    ASSERT_TRUE (midi.readFrom (in));
    EXPECT_EQ (midi.getTimeFormat(), 960);
    int ons = 0;
    for (const auto* e : *midi.getTrack (0))
        ons += e->message.isNoteOn() ? 1 : 0;
    EXPECT_GT (ons, 4);
    file.deleteFile();
}

} // namespace
} // namespace mur
