#include "TimeDials.h"

#include "ControlMappings.h"
#include "views/FrameClock.h"

#include <cmath>

namespace mur
{
float RateTimeComponent::getKeyStep() const { return controls::rateKeyStep(); }

namespace
{
constexpr float wrapPhase = 6283.1855f;

// A repeatable pseudo-random fraction for a blob.
float hash (float x)
{
    const auto v = std::sin (x * 12.9898f) * 43758.547f;
    return v - std::floor (v);
}
} // namespace

//==============================================================================
GateNotesComponent::GateNotesComponent() : AnimatedDial (0.246f, 30)
{
    valueText = [] (float v) { return controls::gateText (v); };
}

bool GateNotesComponent::advance()
{
    // One cycle of the three lanes every 25 seconds.
    phase += 0.004f;
    if (phase >= 3.0f)
        phase -= 3.0f;

    // The bars creep by a twentieth of a pixel per tick: they are drawn again
    // once they have drifted far enough.
    const auto step = static_cast<float> (getWidth()) / 3.0f * 0.75f;
    auto moved = std::abs (phase - paintedPhase);
    moved = juce::jmin (moved, 3.0f - moved);

    if (moved * step * pixelsPerUnit() < views::driftRedrawPixels)
        return false;

    paintedPhase = phase;
    return true;
}

void GateNotesComponent::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    g.reduceClipRegion ([&]
    {
        juce::Path circle;
        circle.addEllipse (getLocalBounds().toFloat());
        return circle;
    }());

    const auto percent = static_cast<float> (controls::gatePercentFor (getValue()));
    const auto step = w / 3.0f * 0.75f;
    const auto length = juce::jmax (percent / 100.0f, 0.1f) * step;

    g.setColour (juce::Colours::white);
    const auto first = static_cast<int> (std::floor (phase - length / step));
    const auto last = static_cast<int> (std::floor ((step + w) / step + phase));

    for (int i = first; i <= last; ++i)
    {
        const auto x = (static_cast<float> (i) - phase) * step;
        if (x + length < 0.0f || x > w)
            continue;

        const auto lane = 2 - (((i % 3) + 3) % 3);
        g.fillRect (juce::Rectangle<float> (x, static_cast<float> (lane) * 0.2f * h + 0.225f * h, length, 0.15f * h));
    }

    if (isHovered())
        paintHoverText (g, getValueText());
}

//==============================================================================
RateTimeComponent::RateTimeComponent() : AnimatedDial (0.5833334f, 60)
{
    valueText = [] (float v) { return controls::rateText (v); };
}

int RateTimeComponent::blobCount() const
{
    return controls::rateDivisor (controls::rateIndexFor (getValue()));
}

bool RateTimeComponent::advance()
{
    const auto now = juce::Time::getMillisecondCounterHiRes() * 0.001;
    const auto dt = lastTickSeconds < 0.0 ? 0.0 : now - lastTickSeconds;
    lastTickSeconds = now;
    return advanceBy (dt);
}

bool RateTimeComponent::advanceBy (double seconds)
{
    const auto dt = static_cast<float> (juce::jlimit (0.0, 0.25, seconds));
    const auto introducing = intro < 1.0f;
    phase += 0.5f * dt;
    if (phase > wrapPhase)
        phase -= wrapPhase;
    intro = juce::jmin (intro + 0.67f * dt, 1.0f);

    // The blobs shrink visibly while they come in; afterwards they wobble by
    // a small fraction of a unit per tick and are drawn again once the
    // fastest wobble has drifted far enough.
    const auto wobble = juce::jmax (0.8f * sizeFactor, 0.3f);
    auto moved = std::abs (phase - paintedPhase);
    moved = juce::jmin (moved, wrapPhase - moved);

    if (! introducing && moved * 2.6f * 1.4f * wobble * pixelsPerUnit() < views::driftRedrawPixels)
        return false;

    paintedPhase = phase;
    return true;
}

void RateTimeComponent::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    juce::Path circle;
    circle.addEllipse (0.5f, 0.5f, w - 1.0f, h - 1.0f);
    g.reduceClipRegion (circle);
    g.setColour (juce::Colours::white);

    const auto n = blobCount();
    const auto s = sizeFactor;
    const auto k = juce::jmin (std::sqrt (96.0f / static_cast<float> (juce::jmax (n, 1))), 4.0f);
    const auto big = k * juce::jmax (4.0f * s, 1.5f) * 0.64f;
    const auto small = k * juce::jmax (1.2f * s, 0.75f) * 0.64f;
    const auto wobble = juce::jmax (0.8f * s, 0.3f);
    const auto spiral = juce::jmax (juce::jmin (w, h) * 0.48f - s - (1.4f * wobble + 0.5f * big), 0.0f);
    const auto u = n >= 2 ? spiral * ((std::sqrt (96.0f / static_cast<float> (n)) - 1.0f) * 0.08f + 1.0f)
                                / std::sqrt (static_cast<float> (n - 1))
                          : 0.0f;

    // Sunflower positions (the golden angle from twelve o'clock), centred on
    // their centroid.
    std::vector<juce::Point<float>> positions (static_cast<size_t> (n));
    juce::Point<float> centroid;
    for (int i = 0; i < n; ++i)
    {
        const auto r = i == 0 ? 0.0f : u * std::sqrt (static_cast<float> (i));
        const auto angle = static_cast<float> (i) * 2.3999631f - 1.5707964f;
        positions[static_cast<size_t> (i)] = { r * std::cos (angle), r * std::sin (angle) };
        centroid += positions[static_cast<size_t> (i)];
    }
    centroid /= static_cast<float> (juce::jmax (n, 1));

    const juce::Point<float> middle { w / 2.0f, h / 2.0f };

    for (int i = 0; i < n; ++i)
    {
        const auto fi = static_cast<float> (i);
        const auto alpha = hash (fi) * juce::MathConstants<float>::twoPi + 2.0f * phase;
        const auto beta = hash (fi + 97.0f) * juce::MathConstants<float>::twoPi + 2.6f * phase;
        const juce::Point<float> offset { (std::sin (beta) * 0.4f + std::cos (alpha)) * wobble,
                                          (std::cos (beta) * 0.4f + std::sin (alpha)) * wobble };
        const auto p = middle + positions[static_cast<size_t> (i)] - centroid + offset;

        const auto q = juce::jlimit (0.0f, 1.0f, p.getDistanceFrom (middle) / (2.0f * wobble + spiral));
        const auto z = (big + intro * q * q * 0.6f * (small - big)) * (1.0f + 0.048f * std::sin (0.5f * fi + phase));
        const auto radius = juce::jmax (small, juce::jmin (big, z)) / 2.0f;

        // Six wavering points joined by a closed smooth curve.
        const auto wave = 1.3f * fi + 0.7f * phase;
        juce::Point<float> points[6];
        for (int j = 0; j < 6; ++j)
        {
            const auto fj = static_cast<float> (j);
            const auto rj = radius * (1.0f + 0.0512f * std::sin (2.1f * fj + 1.1f * wave) + 0.0256f * std::sin (3.7f * fj + 1.7f * wave));
            const auto a = fj * juce::MathConstants<float>::pi / 3.0f;
            points[j] = p + juce::Point<float> (rj * std::cos (a), rj * std::sin (a));
        }

        juce::Path blob;
        blob.startNewSubPath (points[0]);
        for (int j = 0; j < 6; ++j)
        {
            const auto& previous = points[(j + 5) % 6];
            const auto& from = points[j];
            const auto& to = points[(j + 1) % 6];
            const auto& after = points[(j + 2) % 6];
            blob.cubicTo (from + (to - previous) / 6.0f, to - (after - from) / 6.0f, to);
        }
        blob.closeSubPath();
        g.fillPath (blob);
    }

    if (isHovered())
        paintHoverText (g, getValueText());
}

} // namespace mur
