#include "PluginHost.h"

#include <gtest/gtest.h>

#include <set>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

    juce::String error;
    auto instance = host::loadVst3Module (juce::File (MUR_VST3_BINARY), 48000.0, 512, error);
    ASSERT_NE (instance, nullptr) << error;

    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 1078);
    EXPECT_EQ (editor->getHeight(), 539);

    juce::DocumentWindow window ("MUR", juce::Colours::black, 0, true);
    window.setUsingNativeTitleBar (false);
    window.setTitleBarHeight (0);
    window.setContentNonOwned (editor.get(), true);
    window.setTopLeftPosition (40, 40);
    window.setVisible (true);
    window.toFront (false);

    // Let both sides of the plug-in boundary map and paint their windows.
    for (int i = 0; i < 30; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    const auto area = window.getScreenBounds().withSize (1078, 539);
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

    window.setVisible (false);
    window.clearContentComponent();
    editor.reset();
}

} // namespace
} // namespace mur
