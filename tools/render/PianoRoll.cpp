#include "PianoRoll.h"

#include "editor/Palette.h"

#include <juce_graphics/juce_graphics.h>

namespace mur::render
{
namespace
{
constexpr int width = 1600, rowHeight = 12, left = 56, right = 16, top = 34, accentLane = 48, bottom = 28;

// What the picture is made of, drawn the same way into pixels or SVG.
class Canvas
{
public:
    virtual ~Canvas() = default;
    virtual void rect (float x, float y, float w, float h, juce::Colour colour) = 0;
    virtual void line (float x1, float y1, float x2, float y2, juce::Colour colour, float thickness) = 0;
    virtual void text (float x, float y, const juce::String& s, float size, juce::Colour colour) = 0;
};

class PixelCanvas final : public Canvas
{
public:
    explicit PixelCanvas (juce::Image& image) : g (image) {}
    void rect (float x, float y, float w, float h, juce::Colour colour) override
    {
        g.setColour (colour);
        g.fillRect (x, y, w, h);
    }
    void line (float x1, float y1, float x2, float y2, juce::Colour colour, float thickness) override
    {
        g.setColour (colour);
        g.drawLine (x1, y1, x2, y2, thickness);
    }
    void text (float x, float y, const juce::String& s, float size, juce::Colour colour) override
    {
        g.setColour (colour);
        g.setFont (size);
        g.drawSingleLineText (s, juce::roundToInt (x), juce::roundToInt (y));
    }

private:
    juce::Graphics g;
};

class SvgCanvas final : public Canvas
{
public:
    SvgCanvas (int w, int h)
    {
        svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << w << "\" height=\"" << h << "\" viewBox=\"0 0 " << w << " " << h << "\">\n";
    }
    static juce::String fill (juce::Colour c)
    {
        return "fill=\"#" + c.toDisplayString (false) + "\" fill-opacity=\"" + juce::String (c.getFloatAlpha(), 3) + "\"";
    }
    void rect (float x, float y, float w, float h, juce::Colour colour) override
    {
        svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << h << "\" " << fill (colour) << "/>\n";
    }
    void line (float x1, float y1, float x2, float y2, juce::Colour colour, float thickness) override
    {
        svg << "<line x1=\"" << x1 << "\" y1=\"" << y1 << "\" x2=\"" << x2 << "\" y2=\"" << y2 << "\" stroke=\"#" << colour.toDisplayString (false)
            << "\" stroke-opacity=\"" << juce::String (colour.getFloatAlpha(), 3) << "\" stroke-width=\"" << thickness << "\"/>\n";
    }
    void text (float x, float y, const juce::String& s, float size, juce::Colour colour) override
    {
        svg << "<text x=\"" << x << "\" y=\"" << y << "\" font-family=\"sans-serif\" font-size=\"" << size << "\" " << fill (colour) << ">"
            << s.replace ("&", "&amp;").replace ("<", "&lt;").replace (">", "&gt;") << "</text>\n";
    }
    juce::String finish() { return svg + "</svg>\n"; }

private:
    juce::String svg;
};

struct Layout
{
    int low = 60, high = 72;
    double endQuarter = 1.0;
    int height = 0;
    float xOf (double quarter) const { return left + static_cast<float> (quarter / endQuarter) * (width - left - right); }
    float yOf (int pitch) const { return top + static_cast<float> (high - pitch) * rowHeight; }
    float rollBottom() const { return yOf (low - 1); }
};

Layout layoutFor (const RenderSummary& summary)
{
    Layout layout;
    auto low = 127, high = 0;
    for (const auto* notes : { &summary.held, &summary.played })
        for (const auto& n : *notes)
        {
            low = std::min (low, n.pitch);
            high = std::max (high, n.pitch);
            layout.endQuarter = std::max (layout.endQuarter, n.end);
        }
    if (low > high)
        low = high = 60;
    layout.low = std::max (0, low - 2);
    layout.high = std::min (127, high + 2);
    layout.height = static_cast<int> (layout.rollBottom()) + accentLane + bottom;
    return layout;
}

void draw (const RenderSummary& summary, const Layout& layout, Canvas& canvas)
{
    const auto background = juce::Colour (0xff101014), grid = juce::Colour (0xff2a2a34), label = juce::Colour (0xffb8b8c8);
    canvas.rect (0, 0, width, static_cast<float> (layout.height), background);
    canvas.text (left, 20, "MUR" + (summary.presetName.isNotEmpty() ? " - " + summary.presetName : juce::String()) + "   "
                              + juce::String (summary.tempoBpm, 1) + " BPM, " + juce::String (summary.numerator) + "/" + juce::String (summary.denominator),
                 14.0f, label);

    // Rows: C rows a little lighter, and their names.
    for (int pitch = layout.low; pitch <= layout.high; ++pitch)
    {
        const auto y = layout.yOf (pitch);
        if (pitch % 12 == 0)
        {
            canvas.rect (left, y, width - left - right, rowHeight, juce::Colour (0xff1a1a22));
            canvas.text (8, y + rowHeight - 2, juce::MidiMessage::getMidiNoteName (pitch, true, true, 4), 10.0f, label);
        }
    }

    // Beats and bars.
    const auto beat = 4.0 / std::max (1, summary.denominator);
    const auto bar = beat * std::max (1, summary.numerator);
    for (int k = 0; k * beat <= layout.endQuarter + 1.0e-9; ++k)
    {
        const auto q = k * beat;
        const auto isBar = std::fmod (q + 1.0e-9, bar) < 1.0e-6;
        const auto x = layout.xOf (q);
        canvas.line (x, top, x, layout.rollBottom() + accentLane, isBar ? juce::Colour (0xff55556a) : grid, isBar ? 1.5f : 0.5f);
        if (isBar)
            canvas.text (x + 3, layout.rollBottom() + accentLane + 16, juce::String (juce::roundToInt (q / bar) + 1), 11.0f, label);
    }

    // The held chords, faint.
    for (const auto& n : summary.held)
        canvas.rect (layout.xOf (n.start), layout.yOf (n.pitch), std::max (1.0f, layout.xOf (n.end) - layout.xOf (n.start)), rowHeight,
                     juce::Colours::white.withAlpha (0.12f));

    // The arpeggio, in the colour of each note's slot in its chord.
    const auto colours = palette::computeNoteColours (4, 0.235f, 0.235f);
    auto slotOf = [&summary] (const PlottedNote& n)
    {
        const auto step = static_cast<int> (std::llround ((n.start - summary.firstStepQuarter) / summary.quartersPerStep));
        for (const auto& chord : summary.chords)
            if (step >= chord.firstStep && step < chord.firstStep + chord.numSteps)
                for (size_t i = 0; i < chord.pitches.size(); ++i)
                    if (chord.pitches[i] == n.pitch)
                        return static_cast<int> (i);
        return 0;
    };
    for (const auto& n : summary.played)
    {
        const auto slot = slotOf (n);
        auto count = 4;
        for (const auto& chord : summary.chords)
            if (std::find (chord.pitches.begin(), chord.pitches.end(), n.pitch) != chord.pitches.end())
                count = static_cast<int> (chord.pitches.size());
        const auto& palette = count == 4 ? colours : palette::computeNoteColours (count, 0.235f, 0.235f);
        const auto colour = juce::Colour (palette.colours[static_cast<size_t> (juce::jlimit (0, palette::numNoteColours - 1, slot + 1))]);
        canvas.rect (layout.xOf (n.start), layout.yOf (n.pitch), std::max (4.0f, layout.xOf (n.end) - layout.xOf (n.start) - 1), rowHeight,
                     colour.withAlpha (0.55f + 0.45f * static_cast<float> (n.velocity) / 127.0f));
    }

    // Rests: a short grey dash on the grid line under the roll; accents:
    // a bar per step, violet for a push, lime for a pull.
    const auto laneMiddle = layout.rollBottom() + accentLane / 2.0f;
    canvas.line (left, laneMiddle, width - right, laneMiddle, grid, 1.0f);
    canvas.text (8, laneMiddle + 4, "accent", 10.0f, label);
    for (size_t i = 0; i < summary.stepPitches.size(); ++i)
    {
        const auto q = summary.firstStepQuarter + static_cast<double> (i) * summary.quartersPerStep;
        const auto x = layout.xOf (q);
        const auto w = std::max (1.5f, layout.xOf (q + summary.quartersPerStep) - x - 1.0f);
        if (summary.stepPitches[i] < 0)
            canvas.rect (x, layout.rollBottom() + 2, w, 3, juce::Colour (0xff8a8a9a));
        if (i < summary.stepAccents.size() && summary.stepAccents[i] != 0.0f)
        {
            const auto gain = summary.stepAccents[i];
            const auto h = std::abs (gain) * (accentLane / 2.0f - 4.0f);
            canvas.rect (x, gain > 0 ? laneMiddle - h : laneMiddle, w, h, gain > 0 ? juce::Colour (0xffa060ff) : juce::Colour (0xffb0ff40));
        }
    }
}
} // namespace

juce::String pianoRollSvg (const RenderSummary& summary)
{
    const auto layout = layoutFor (summary);
    SvgCanvas canvas (width, layout.height);
    draw (summary, layout, canvas);
    return canvas.finish();
}

bool writePianoRoll (const RenderSummary& summary, const juce::File& file, juce::String& error)
{
    file.deleteFile();
    if (file.hasFileExtension ("svg"))
    {
        if (! file.replaceWithText (pianoRollSvg (summary)))
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }
        return true;
    }

    const auto layout = layoutFor (summary);
    juce::Image image (juce::Image::RGB, width, layout.height, true, juce::SoftwareImageType());
    {
        PixelCanvas canvas (image);
        draw (summary, layout, canvas);
    }
    juce::FileOutputStream out (file);
    if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, out))
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }
    return true;
}

} // namespace mur::render
