// Draws every embedded image of the editor at its exact pixel size and writes
// them as PNG files. The pictures are made here, from code, so that they can
// be changed with the layout and regenerated at will:
//     mur-artwork <fonts folder> <output folder>
#include <juce_graphics/juce_graphics.h>
#include <juce_events/juce_events.h>

#include <iostream>

namespace
{
// The colour world of the palette: very dark violet, plum, olive, pale green-white.
const juce::Colour night { 0xff120a24 }, deep { 0xff1c0e34 }, panelTop { 0xff261540 }, panelBottom { 0xff1b0f31 },
    plum { 0xff5a2e4c }, dusk { 0xff3b2450 }, olive { 0xff747050 }, sage { 0xffb8c99a }, pale { 0xffeff5dc },
    well { 0xff0b0618 }, wellEdge { 0xff3a2450 }, navy { 0xff0b0070 }, ink { 0xff1b1240 };

juce::Typeface::Ptr regularFace, lightFace;

juce::Font uiFont (float height, bool light = false)
{
    auto face = light ? lightFace : regularFace;
    return face != nullptr ? juce::Font (face).withHeight (height) : juce::Font (height);
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    const auto ok = out.openedOk() && png.writeImageToStream (image, out);
    std::cout << (ok ? "wrote " : "FAILED ") << file.getFileName() << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
    return ok;
}

template <typename Draw>
bool make (const juce::File& folder, const char* name, int w, int h, Draw draw)
{
    juce::Image image (juce::Image::ARGB, w, h, true, juce::SoftwareImageType());
    {
        juce::Graphics g (image);
        g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
        draw (g, static_cast<float> (w), static_cast<float> (h));
    }
    return writePng (image, folder.getChildFile (name));
}

void caption (juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area,
              juce::Justification justification = juce::Justification::centred, float height = 9.5f, float alpha = 0.78f)
{
    g.setColour (pale.withAlpha (alpha));
    g.setFont (uiFont (height));
    g.drawText (text, area, justification, false);
}

void roundWell (juce::Graphics& g, juce::Point<float> centre, float radius)
{
    juce::ColourGradient shade (well, centre.x, centre.y - radius, deep, centre.x, centre.y + radius, false);
    g.setGradientFill (shade);
    g.fillEllipse (juce::Rectangle<float> (radius * 2, radius * 2).withCentre (centre));
    g.setColour (wellEdge.withAlpha (0.8f));
    g.drawEllipse (juce::Rectangle<float> (radius * 2, radius * 2).withCentre (centre), 0.6f);
}

void boxWell (juce::Graphics& g, juce::Rectangle<float> r, float corner = 6.0f)
{
    g.setColour (well);
    g.fillRoundedRectangle (r, corner);
    g.setColour (wellEdge);
    g.drawRoundedRectangle (r, corner, 0.7f);
}

void sliderTrack (juce::Graphics& g, juce::Rectangle<float> bounds)
{
    const auto y = bounds.getCentreY();
    g.setColour (well);
    g.fillRoundedRectangle (bounds.getX() + 4, y - 3.0f, bounds.getWidth() - 8, 6.0f, 3.0f);
    g.setColour (dusk);
    g.drawLine (bounds.getX() + 9.5f, y, bounds.getRight() - 9.5f, y, 1.4f);
}

void chevron (juce::Graphics& g, juce::Rectangle<float> r, juce::Colour colour, float thickness)
{
    juce::Path p;
    p.startNewSubPath (r.getRight() - r.getWidth() * 0.15f, r.getY() + r.getHeight() * 0.1f);
    p.lineTo (r.getX() + r.getWidth() * 0.2f, r.getCentreY());
    p.lineTo (r.getRight() - r.getWidth() * 0.15f, r.getBottom() - r.getHeight() * 0.1f);
    g.setColour (colour);
    g.strokePath (p, juce::PathStrokeType (thickness, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

// The whole window at four times its design size; everything below is in
// design units (1078 x 539).
void background (juce::Graphics& g, bool withPresetBar)
{
    g.addTransform (juce::AffineTransform::scale (4.0f));

    juce::ColourGradient sky (juce::Colour (0xff180c2e), 0, 0, juce::Colour (0xff0d071c), 0, 539, false);
    g.setGradientFill (sky);
    g.fillRect (0.0f, 0.0f, 1078.0f, 539.0f);

    // A faint glow behind the accent ring.
    juce::ColourGradient glow (plum.withAlpha (0.35f), 540, 293, plum.withAlpha (0.0f), 540 + 300, 293, true);
    g.setGradientFill (glow);
    g.fillRect (240.0f, 0.0f, 600.0f, 539.0f);

    const juce::Rectangle<float> panels[] = { { 20, 56, 270, 456 }, { 300, 56, 478, 456 }, { 788, 56, 270, 456 } };
    const char* titles[] = { "ENGINE", "RHYTHM", "NOTES" };

    for (int i = 0; i < 3; ++i)
    {
        const auto& r = panels[i];
        juce::ColourGradient fill (panelTop.withAlpha (0.92f), 0, r.getY(), panelBottom.withAlpha (0.92f), 0, r.getBottom(), false);
        g.setGradientFill (fill);
        g.fillRoundedRectangle (r, 12.0f);
        g.setColour (plum.withAlpha (0.55f));
        g.drawRoundedRectangle (r.reduced (0.5f), 12.0f, 1.0f);
        g.setColour (pale.withAlpha (0.06f));
        g.drawLine (r.getX() + 14, r.getY() + 30, r.getRight() - 14, r.getY() + 30, 0.8f);

        g.setColour (sage.withAlpha (0.85f));
        g.setFont (uiFont (11.0f).withExtraKerningFactor (0.35f));
        g.drawText (titles[i], juce::Rectangle<float> (r.getX() + 16, r.getY() + 10, 150, 14), juce::Justification::centredLeft);
    }

    // Engine panel.
    boxWell (g, { 32, 103, 242, 117 });
    caption (g, "Feedback", { 36, 235, 66, 14 }, juce::Justification::centredLeft);
    sliderTrack (g, { 106, 232, 166, 19 });
    roundWell (g, { 152.5f, 325.5f }, 38.0f);
    roundWell (g, { 182.5f, 295.5f }, 11.5f);
    caption (g, "Capacity", { 103, 364, 100, 12 });
    roundWell (g, { 101, 440 }, 36.0f);
    roundWell (g, { 204, 440 }, 36.0f);
    roundWell (g, { 153, 441 }, 7.5f);
    caption (g, "Inertia", { 66, 478, 70, 12 });
    caption (g, "Echo", { 169, 478, 70, 12 });
    caption (g, "Link", { 128, 452, 50, 10 }, juce::Justification::centred, 8.5f);
    g.setColour (dusk);
    g.drawLine (138.0f, 440.0f, 145.0f, 440.0f, 1.0f);
    g.drawLine (161.0f, 440.0f, 168.0f, 440.0f, 1.0f);

    // Rhythm panel: the accent ring with the pad in its middle.
    const juce::Point<float> centre { 540.0f, 293.0f };
    g.setColour (night);
    g.fillEllipse (juce::Rectangle<float> (380, 380).withCentre (centre));
    g.setColour (dusk.withAlpha (0.9f));
    g.drawEllipse (juce::Rectangle<float> (380, 380).withCentre (centre), 1.0f);
    juce::ColourGradient pad (juce::Colour (0xff140a28), centre.x, centre.y, well, centre.x, centre.y + 145, true);
    g.setGradientFill (pad);
    g.fillEllipse (juce::Rectangle<float> (290, 290).withCentre (centre));
    g.setColour (plum.withAlpha (0.7f));
    g.drawEllipse (juce::Rectangle<float> (290, 290).withCentre (centre), 0.8f);
    g.setColour (pale.withAlpha (0.05f));
    g.drawLine (centre.x - 130, centre.y, centre.x + 130, centre.y, 0.5f);
    g.drawLine (centre.x, centre.y - 130, centre.x, centre.y + 130, 0.5f);

    roundWell (g, { 363, 124 }, 22.0f);
    caption (g, "Rate", { 344, 147, 38, 10 }, juce::Justification::centred, 8.5f);
    roundWell (g, { 716, 456 }, 22.0f);
    caption (g, "Length", { 690, 479, 52, 10 }, juce::Justification::centred, 8.5f);
    roundWell (g, { 682.5f, 148.5f }, 12.0f);
    caption (g, "Accents", { 652, 163, 62, 10 }, juce::Justification::centred, 8.0f, 0.6f);

    // Notes panel.
    boxWell (g, { 800, 103, 248, 117 });
    caption (g, "Random", { 984, 235, 66, 14 }, juce::Justification::centredLeft);
    sliderTrack (g, { 806, 232, 173, 19 });
    for (float x : { 844.0f, 924.0f, 1004.0f })
        roundWell (g, { x, 326 }, 36.0f);
    caption (g, "Repetition", { 799, 364, 90, 12 });
    caption (g, "Proximity", { 879, 364, 90, 12 });
    caption (g, "Breath", { 959, 364, 90, 12 });
    boxWell (g, { 808, 404, 232, 66 }, 8.0f);
    chevron (g, { 815, 428, 7, 12 }, sage, 1.4f);
    chevron (g, { 1025, 428, 7, 12 }, sage, 1.4f);
    {
        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::rotation (juce::MathConstants<float>::pi, 1028.5f, 434.0f));
        g.setColour (night);
        g.fillRect (1023.0f, 426.0f, 11.0f, 16.0f);
        chevron (g, { 1025, 428, 7, 12 }, sage, 1.4f);
    }
    roundWell (g, { 830, 484 }, 7.5f);
    caption (g, "Reset", { 840, 479, 44, 10 }, juce::Justification::centredLeft, 8.5f);
    roundWell (g, { 1017, 484 }, 7.5f);
    caption (g, "Hold", { 966, 479, 44, 10 }, juce::Justification::centredRight, 8.5f);

    if (withPresetBar)
    {
        const juce::Rectangle<float> bar { 318, 14, 442, 30 };
        g.setColour (juce::Colours::black.withAlpha (0.35f));
        g.fillRoundedRectangle (bar.translated (0, 1.5f), 15.0f);
        juce::ColourGradient light (pale, 0, bar.getY(), juce::Colour (0xffd9e4c2), 0, bar.getBottom(), false);
        g.setGradientFill (light);
        g.fillRoundedRectangle (bar, 15.0f);
        g.setColour (juce::Colour (0xffcbd8b3));
        g.fillRoundedRectangle (428, 18, 223, 22, 11.0f);
        g.setColour (olive.withAlpha (0.5f));
        g.drawRoundedRectangle (428, 18, 223, 22, 11.0f, 0.6f);
        g.drawLine (384.0f, 20.0f, 384.0f, 38.0f, 0.6f);
    }
    else
    {
        g.setColour (pale.withAlpha (0.04f));
        g.fillRoundedRectangle (318, 14, 442, 30, 15.0f);
    }
}

juce::Path die (juce::Rectangle<float> r, float corner)
{
    juce::Path p;
    p.addRoundedRectangle (r, corner);
    return p;
}

void drawDie (juce::Graphics& g, float w, float h, bool filled, float brightness)
{
    const auto body = juce::Rectangle<float> (w, h).reduced (w * 0.1f, h * 0.12f);
    const auto colour = pale.withMultipliedBrightness (brightness);
    g.setColour (filled ? colour : night.withAlpha (0.5f));
    g.fillPath (die (body, w * 0.16f));
    g.setColour (colour);
    g.strokePath (die (body, w * 0.16f), juce::PathStrokeType (w * 0.06f));
    const auto pip = body.getWidth() * 0.16f;
    g.setColour (filled ? night : colour);
    for (auto [fx, fy] : { std::pair { 0.25f, 0.25f }, { 0.75f, 0.25f }, { 0.5f, 0.5f }, { 0.25f, 0.75f }, { 0.75f, 0.75f } })
        g.fillEllipse (juce::Rectangle<float> (pip, pip).withCentre ({ body.getX() + body.getWidth() * fx, body.getY() + body.getHeight() * fy }));
}

void drawGear (juce::Graphics& g, float w, bool filled, float brightness)
{
    const auto c = w / 2;
    juce::Path gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i)
    {
        const auto a = juce::MathConstants<float>::twoPi * static_cast<float> (i) / (teeth * 2);
        const auto r = (i % 2 == 0) ? w * 0.44f : w * 0.34f;
        const auto a2 = a + juce::MathConstants<float>::twoPi / (teeth * 2);
        if (i == 0)
            gear.startNewSubPath (c + r * std::cos (a), c + r * std::sin (a));
        else
            gear.lineTo (c + r * std::cos (a), c + r * std::sin (a));
        gear.lineTo (c + r * std::cos (a2), c + r * std::sin (a2));
    }
    gear.closeSubPath();
    gear.addEllipse (c - w * 0.13f, c - w * 0.13f, w * 0.26f, w * 0.26f);
    gear.setUsingNonZeroWinding (false);
    const auto colour = pale.withMultipliedBrightness (brightness);
    if (filled)
    {
        g.setColour (colour);
        g.fillPath (gear);
    }
    else
    {
        g.setColour (colour.withAlpha (0.9f));
        g.strokePath (gear, juce::PathStrokeType (w * 0.05f, juce::PathStrokeType::curved));
    }
}

void drawFloppy (juce::Graphics& g, float w, juce::Colour colour, bool filled)
{
    const auto r = juce::Rectangle<float> (w, w).reduced (w * 0.12f);
    juce::Path body;
    body.startNewSubPath (r.getX(), r.getY());
    body.lineTo (r.getRight() - r.getWidth() * 0.2f, r.getY());
    body.lineTo (r.getRight(), r.getY() + r.getHeight() * 0.2f);
    body.lineTo (r.getRight(), r.getBottom());
    body.lineTo (r.getX(), r.getBottom());
    body.closeSubPath();
    g.setColour (colour);
    if (filled)
        g.fillPath (body);
    else
        g.strokePath (body, juce::PathStrokeType (w * 0.07f, juce::PathStrokeType::curved));
    const auto inner = filled ? pale : colour;
    g.setColour (inner);
    g.fillRect (juce::Rectangle<float> (r.getX() + r.getWidth() * 0.22f, r.getY() + r.getHeight() * 0.06f, r.getWidth() * 0.46f, r.getHeight() * 0.26f));
    g.fillRoundedRectangle (juce::Rectangle<float> (r.getX() + r.getWidth() * 0.18f, r.getY() + r.getHeight() * 0.56f, r.getWidth() * 0.64f, r.getHeight() * 0.3f), w * 0.03f);
}

void drawUndoArrow (juce::Graphics& g, float w, juce::Colour colour)
{
    juce::Path arc;
    arc.addCentredArc (w * 0.52f, w * 0.56f, w * 0.28f, w * 0.28f, 0.0f, -1.9f, 1.6f, true);
    g.setColour (colour);
    g.strokePath (arc, juce::PathStrokeType (w * 0.1f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    juce::Path head;
    const auto tip = juce::Point<float> (w * 0.52f + w * 0.28f * std::cos (-1.9f - juce::MathConstants<float>::halfPi),
                                         w * 0.56f + w * 0.28f * std::sin (-1.9f - juce::MathConstants<float>::halfPi));
    head.addTriangle (tip.x - w * 0.18f, tip.y, tip.x + w * 0.06f, tip.y - w * 0.17f, tip.x + w * 0.07f, tip.y + w * 0.16f);
    g.fillPath (head);
}

void knobFrame (juce::Graphics& g, float w, float value)
{
    const auto c = w / 2;
    const auto radius = w * 0.42f;
    const float start = -2.3561945f, end = 2.3561945f;

    juce::Path track;
    track.addCentredArc (c, c, radius, radius, 0.0f, start, end, true);
    g.setColour (dusk);
    g.strokePath (track, juce::PathStrokeType (w * 0.05f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    if (value > 0.0f)
    {
        juce::Path lit;
        lit.addCentredArc (c, c, radius, radius, 0.0f, start, start + (end - start) * value, true);
        juce::ColourGradient sweep (plum.brighter (0.4f), c - radius, c + radius, pale, c + radius, c - radius, false);
        sweep.addColour (0.5, sage);
        g.setGradientFill (sweep);
        g.strokePath (lit, juce::PathStrokeType (w * 0.05f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    g.setColour (pale.withAlpha (0.08f));
    g.drawEllipse (juce::Rectangle<float> (w * 0.97f, w * 0.97f).withCentre ({ c, c }), w * 0.006f);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: mur-artwork FONTS_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto fonts = cwd.getChildFile (argv[1]);
    const auto out = cwd.getChildFile (argv[2]);
    out.createDirectory();

    juce::MemoryBlock data;
    if (fonts.getChildFile ("Cornerita_Regular.ttf").loadFileAsData (data))
        regularFace = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
    if (fonts.getChildFile ("Bounded_Light.otf").loadFileAsData (data))
        lightFace = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());

    bool ok = true;
    ok &= make (out, "background.png", 4312, 2160, [] (auto& g, float, float) { background (g, true); });
    ok &= make (out, "background_hidden.png", 4312, 2160, [] (auto& g, float, float) { background (g, false); });

    ok &= make (out, "MUR.png", 251, 67, [] (auto& g, float w, float h)
    {
        juce::ColourGradient text (pale, 0, 0, sage, w, h, false);
        g.setGradientFill (text);
        g.setFont (uiFont (h * 0.95f).withExtraKerningFactor (0.22f));
        g.drawText ("MUR", juce::Rectangle<float> (w, h), juce::Justification::centred);
    });

    ok &= make (out, "corvane_logo.png", 432, 71, [] (auto& g, float w, float h)
    {
        const auto mark = juce::Rectangle<float> (h, h).reduced (6);
        g.setColour (sage);
        g.drawEllipse (mark, 3.0f);
        juce::Path wing;
        wing.startNewSubPath (mark.getX() + mark.getWidth() * 0.2f, mark.getBottom() - mark.getHeight() * 0.3f);
        wing.quadraticTo (mark.getCentreX(), mark.getY() + mark.getHeight() * 0.1f, mark.getRight() - mark.getWidth() * 0.15f, mark.getY() + mark.getHeight() * 0.35f);
        wing.quadraticTo (mark.getCentreX(), mark.getCentreY(), mark.getX() + mark.getWidth() * 0.2f, mark.getBottom() - mark.getHeight() * 0.3f);
        g.fillPath (wing);
        g.setColour (pale);
        g.setFont (uiFont (h * 0.62f).withExtraKerningFactor (0.3f));
        g.drawText ("CORVANE", juce::Rectangle<float> (h + 10, 0, w - h - 10, h), juce::Justification::centredLeft);
    });

    for (int i = 0; i < 16; ++i)
    {
        const auto name = "knob_" + juce::String (i).paddedLeft ('0', 2) + ".png";
        ok &= make (out, name.toRawUTF8(), 280, 280, [i] (auto& g, float w, float) { knobFrame (g, w, static_cast<float> (i) / 15.0f); });
    }

    ok &= make (out, "knob_base.png", 176, 176, [] (auto& g, float w, float)
    {
        const auto c = w / 2;
        g.setColour (juce::Colours::black.withAlpha (0.4f));
        g.fillEllipse (juce::Rectangle<float> (w * 0.92f, w * 0.92f).withCentre ({ c, c + w * 0.02f }));
        juce::ColourGradient body (juce::Colour (0xff45325e), c - w * 0.2f, c - w * 0.3f, juce::Colour (0xff140b24), c + w * 0.2f, c + w * 0.4f, false);
        g.setGradientFill (body);
        g.fillEllipse (juce::Rectangle<float> (w * 0.88f, w * 0.88f).withCentre ({ c, c }));
        g.setColour (pale.withAlpha (0.18f));
        g.drawEllipse (juce::Rectangle<float> (w * 0.86f, w * 0.86f).withCentre ({ c, c }), w * 0.012f);
    });

    ok &= make (out, "knob_moving.png", 16, 16, [] (auto& g, float w, float)
    {
        g.setColour (pale.withAlpha (0.35f));
        g.fillEllipse (0, 0, w, w);
        g.setColour (pale);
        g.fillEllipse (w * 0.2f, w * 0.2f, w * 0.6f, w * 0.6f);
    });

    const std::pair<const char*, juce::Colour> thumbs[] = { { "slider.png", sage }, { "slider_hover.png", pale }, { "slider_on.png", juce::Colours::white } };
    for (const auto& [name, colour] : thumbs)
        ok &= make (out, name, 77, 77, [colour = colour, glow = juce::String (name) != "slider.png"] (auto& g, float w, float)
        {
            const auto c = w / 2;
            if (glow)
            {
                g.setColour (colour.withAlpha (0.25f));
                g.fillEllipse (juce::Rectangle<float> (w * 0.96f, w * 0.96f).withCentre ({ c, c }));
            }
            g.setColour (juce::Colours::black.withAlpha (0.45f));
            g.fillEllipse (juce::Rectangle<float> (w * 0.66f, w * 0.66f).withCentre ({ c, c + 2 }));
            g.setColour (colour);
            g.fillEllipse (juce::Rectangle<float> (w * 0.62f, w * 0.62f).withCentre ({ c, c }));
            g.setColour (plum);
            g.fillEllipse (juce::Rectangle<float> (w * 0.16f, w * 0.16f).withCentre ({ c, c }));
        });

    ok &= make (out, "button.png", 44, 44, [] (auto& g, float w, float)
    {
        g.setColour (juce::Colour (0xff7a7486));
        g.fillEllipse (juce::Rectangle<float> (w * 0.8f, w * 0.8f).withCentre ({ w / 2, w / 2 }));
        g.setColour (juce::Colour (0xff4a4458));
        g.drawEllipse (juce::Rectangle<float> (w * 0.8f, w * 0.8f).withCentre ({ w / 2, w / 2 }), w * 0.06f);
    });
    ok &= make (out, "button_on.png", 44, 44, [] (auto& g, float w, float)
    {
        g.setColour (pale.withAlpha (0.3f));
        g.fillEllipse (0, 0, w, w);
        g.setColour (juce::Colours::white);
        g.fillEllipse (juce::Rectangle<float> (w * 0.8f, w * 0.8f).withCentre ({ w / 2, w / 2 }));
    });

    ok &= make (out, "reseed.png", 70, 75, [] (auto& g, float w, float h) { drawDie (g, w, h, false, 0.8f); });
    ok &= make (out, "reseed_hover.png", 70, 75, [] (auto& g, float w, float h) { drawDie (g, w, h, false, 1.15f); });
    ok &= make (out, "reseed_on.png", 69, 75, [] (auto& g, float w, float h) { drawDie (g, w, h, true, 0.9f); });
    ok &= make (out, "reseed_on_hover.png", 69, 75, [] (auto& g, float w, float h) { drawDie (g, w, h, true, 1.15f); });

    ok &= make (out, "seq_settings.png", 73, 73, [] (auto& g, float w, float) { drawGear (g, w, false, 0.8f); });
    ok &= make (out, "seq_settings_hover.png", 73, 73, [] (auto& g, float w, float) { drawGear (g, w, false, 1.15f); });
    ok &= make (out, "seq_settings_on.png", 73, 73, [] (auto& g, float w, float) { drawGear (g, w, true, 0.9f); });
    ok &= make (out, "seq_settings_on_hover.png", 73, 73, [] (auto& g, float w, float) { drawGear (g, w, true, 1.15f); });

    ok &= make (out, "preset_save.png", 70, 70, [] (auto& g, float w, float) { drawFloppy (g, w, ink, false); });
    ok &= make (out, "save_hover.png", 70, 70, [] (auto& g, float w, float) { drawFloppy (g, w, navy, false); });
    ok &= make (out, "save_on.png", 70, 70, [] (auto& g, float w, float) { drawFloppy (g, w, ink, true); });
    ok &= make (out, "save_on_hover.png", 70, 70, [] (auto& g, float w, float) { drawFloppy (g, w, navy, true); });

    ok &= make (out, "undo.png", 72, 72, [] (auto& g, float w, float) { drawUndoArrow (g, w, ink); });
    ok &= make (out, "undo_on.png", 72, 72, [] (auto& g, float w, float) { drawUndoArrow (g, w, pale); });

    ok &= make (out, "preset_menu.png", 28, 48, [] (auto& g, float w, float h) { chevron (g, { 0, 0, w, h }, ink, w * 0.16f); });
    ok &= make (out, "preset_menu_on.png", 28, 48, [] (auto& g, float w, float h) { chevron (g, { 0, 0, w, h }, pale, w * 0.16f); });

    regularFace = nullptr;
    lightFace = nullptr;
    return ok ? 0 : 1;
}
