#include "NeuronPathOverlay.h"

#include <cmath>
#include <limits>

namespace mur::views
{
namespace
{
// The outline, in outline units; its box is x 6070 ... 6670, y 593 ... 1105.
const std::vector<Triangulation::Point> outline { { 6295, 1098 }, { 6337, 1011 }, { 6396, 970 }, { 6472, 970 }, { 6534, 894 },
                                                  { 6640, 880 },  { 6670, 767 },  { 6589, 659 }, { 6465, 604 }, { 6337, 593 },
                                                  { 6196, 630 },  { 6102, 751 },  { 6070, 873 }, { 6134, 961 }, { 6196, 1032 },
                                                  { 6270, 1039 }, { 6270, 1105 } };

std::vector<NeuronPathOverlay::Segment> segmentsOf (const Triangulation& t)
{
    std::vector<NeuronPathOverlay::Segment> segments;
    const auto& v = t.getVertices();
    for (const auto& [a, b] : t.edges())
        segments.push_back ({ { static_cast<float> (v[static_cast<size_t> (a)].x), static_cast<float> (v[static_cast<size_t> (a)].y) },
                              { static_cast<float> (v[static_cast<size_t> (b)].x), static_cast<float> (v[static_cast<size_t> (b)].y) } });
    return segments;
}

std::vector<Triangulation::Point> toPoints (const std::vector<juce::Point<float>>& points)
{
    std::vector<Triangulation::Point> result;
    for (const auto& p : points)
        result.push_back ({ static_cast<double> (p.x), static_cast<double> (p.y) });
    return result;
}
} // namespace

NeuronPathOverlay::NeuronPathOverlay()
{
    setInterceptsMouseClicks (false, false);
    setOpaque (false);
    // The inner nodes sway for as long as the overlay exists.
    startFrames();
}

NeuronPathOverlay::~NeuronPathOverlay() { stopFrames(); }

void NeuronPathOverlay::generateExtras()
{
    const Triangulation shape (outline);
    juce::Random random (seed & 0x7FFFFFFF);
    constexpr double minX = 6070.0, maxX = 6670.0, minY = 593.0, maxY = 1105.0;

    std::vector<Triangulation::Point> candidates;
    for (int attempt = 0; attempt < 200000 && candidates.size() < 1200; ++attempt)
    {
        const auto r1 = static_cast<double> (random.nextFloat()), r2 = static_cast<double> (random.nextFloat());
        const Triangulation::Point p { minX + r1 * (maxX - minX), minY + r2 * (maxY - minY) };
        if (shape.contains (p.x, p.y))
            candidates.push_back (p);
    }

    extrasSource.clear();
    for (int round = 0; round < 8 && ! candidates.empty(); ++round)
    {
        // Far from every node so far, with a good deal of chance.
        std::vector<double> distance (candidates.size());
        for (size_t c = 0; c < candidates.size(); ++c)
        {
            auto least = std::numeric_limits<double>::max();
            for (const auto* list : { &outline, static_cast<const std::vector<Triangulation::Point>*> (&extrasSource) })
                for (const auto& p : *list)
                    least = std::min (least, std::pow (candidates[c].x - p.x, 2.0) + std::pow (candidates[c].y - p.y, 2.0));
            distance[c] = least;
        }
        const auto [lowest, highest] = std::minmax_element (distance.begin(), distance.end());
        const auto spread = std::max (*highest - *lowest, 1.0e-9);

        size_t best = 0;
        auto bestScore = -1.0;
        for (size_t c = 0; c < candidates.size(); ++c)
        {
            const auto score = 0.95 * static_cast<double> (random.nextFloat()) + 0.05 * (distance[c] - *lowest) / spread;
            if (score > bestScore)
            {
                bestScore = score;
                best = c;
            }
        }

        extrasSource.push_back (candidates[best]);
        candidates[best] = candidates.back();
        candidates.pop_back();
    }

    if (extrasSource.empty())
        extrasSource.push_back (outline.front());
}

void NeuronPathOverlay::resized()
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    const auto scale = std::min (w, h) * 0.45333335f / 600.0f;
    auto map = [&] (const Triangulation::Point& p)
    {
        return juce::Point<float> (w / 2.0f + (static_cast<float> (p.x) - 6370.0f) * scale, h / 2.0f + (static_cast<float> (p.y) - 849.0f) * scale);
    };

    nodes.clear();
    for (const auto& p : outline)
        nodes.push_back (map (p));
    extras.clear();
    for (const auto& p : extrasSource)
        extras.push_back (map (p));

    rebuildLevels();
    level = level <= 0 ? 1 : juce::jlimit (1, std::max (1, static_cast<int> (levels.size()) - 1), level);
}

bool NeuronPathOverlay::insideOutline (juce::Point<float> p) const
{
    return Triangulation (toPoints (nodes)).contains (p.x, p.y);
}

void NeuronPathOverlay::rebuildLevels()
{
    levels.clear();
    Triangulation t (toPoints (nodes));
    if (nodes.size() < 3 || ! t.build())
        return;

    levels.push_back (segmentsOf (t));
    const auto n = std::min<size_t> (extras.size(), 8);
    for (size_t i = 1; i <= n; ++i)
    {
        const auto& e = extras[i - 1];
        juce::Random random (static_cast<juce::int64> ((static_cast<std::uint32_t> (i) * static_cast<std::uint32_t> (-11895787)
                                                        ^ static_cast<std::uint32_t> (seed))
                                                       & 0x7FFFFFFFu));
        const auto r1 = random.nextFloat(), r2 = random.nextFloat();
        const juce::Point<float> jittered { e.x + (r2 - 0.5f) * 1.8f, e.y + (r1 - 0.5f) * 1.8f };
        const auto p = t.contains (jittered.x, jittered.y) ? jittered : e;
        t.insert ({ static_cast<double> (p.x), static_cast<double> (p.y) });
        levels.push_back (segmentsOf (t));
    }
    while (levels.size() < 9)
        levels.push_back (levels.back());
}

const std::vector<NeuronPathOverlay::Segment>& NeuronPathOverlay::segmentsAt (int atLevel) const
{
    static const std::vector<Segment> none;
    if (levels.empty())
        return none;
    return levels[static_cast<size_t> (juce::jlimit (1, static_cast<int> (levels.size()) - 1, atLevel))];
}

void NeuronPathOverlay::setLevel (int newLevel)
{
    newLevel = juce::jlimit (1, 8, newLevel);
    if (newLevel == level)
        return;
    level = newLevel;
    startTransition();
}

void NeuronPathOverlay::startTransition()
{
    if (extras.empty() || nodes.empty())
        return;

    juce::Random random (juce::Time::currentTimeMillis());
    transitionStart.clear();
    for (const auto& e : extras)
    {
        const auto theta = juce::MathConstants<float>::twoPi * random.nextFloat();
        const juce::Point<float> moved { e.x + 5.0f * std::cos (theta), e.y + 5.0f * std::sin (theta) };
        transitionStart.push_back (insideOutline (moved) ? moved : e);
    }
    progress = 0.0f;
    computeCurrentSegments();
    if (! framesRunning())
        startFrames();
}

void NeuronPathOverlay::computeCurrentSegments()
{
    const auto count = std::min ({ extras.size(), static_cast<size_t> (8), static_cast<size_t> (std::max (level, 1)) });
    const auto e = 1.0f - (1.0f - progress) * (1.0f - progress);
    Triangulation t (toPoints (nodes));
    currentSegments.clear();
    if (! t.build())
        return;
    for (size_t i = 0; i < count && i < transitionStart.size(); ++i)
    {
        const auto p = transitionStart[i] + (extras[i] - transitionStart[i]) * e;
        t.insert ({ static_cast<double> (p.x), static_cast<double> (p.y) });
    }
    currentSegments = segmentsOf (t);
}

void NeuronPathOverlay::flash (int step)
{
    flashStep = step;
    flashPhase = 0.0f;
    flashStartMs = juce::Time::getMillisecondCounterHiRes();
    if (! framesRunning())
        startFrames();
}

void NeuronPathOverlay::frame() { advance (juce::Time::getMillisecondCounterHiRes() / 1000.0); }

void NeuronPathOverlay::advance (double nowSeconds)
{
    const auto dt = lastTickSeconds < 0.0 ? 0.0 : std::min (nowSeconds - lastTickSeconds, 0.25);
    lastTickSeconds = nowSeconds;
    phase += 1.5f * static_cast<float> (dt);
    if (phase > 6283.1855f)
        phase -= 6283.1855f;

    // The sway moves a node at most 1.52 amplitudes per radian of phase.
    const auto amplitude = std::max (1.2f * std::max (static_cast<float> (getWidth()) / 72.84f, 0.5f), 0.5f);
    swaySincePaint += 1.52f * amplitude * 1.5f * static_cast<float> (dt);
    const auto wasChanging = progress < 1.0f || isFlashing();

    if (progress < 1.0f)
    {
        progress = std::min (progress + static_cast<float> (dt / 0.28), 1.0f);
        computeCurrentSegments();
    }

    const auto nowMs = nowSeconds * 1000.0;
    if (flashPhase >= 0.0f && flashPhase < 1.0f)
    {
        flashPhase = static_cast<float> (std::min ((nowMs - flashStartMs) / 80.0, 1.0));
        if (flashPhase >= 1.0f)
            flashStartMs = nowMs;
    }
    else if (flashPhase >= 1.0f && flashPhase < 2.0f)
    {
        flashPhase = static_cast<float> (std::min (1.0 + (nowMs - flashStartMs) * 4.0 / 1000.0, 2.0));
    }

    // The slow sway is drawn again once it has drifted far enough; a
    // transition or a flash (and the frame that ends it, which clears the
    // views' wash) on every frame.
    if (wasChanging || progress < 1.0f || isFlashing() || swaySincePaint >= driftRedrawPixels)
    {
        swaySincePaint = 0.0f;
        repaint();
    }
}

void NeuronPathOverlay::paint (juce::Graphics& g)
{
    const auto w = static_cast<float> (getWidth()), h = static_cast<float> (getHeight());
    if (w <= 0.0f || h <= 0.0f)
        return;

    juce::Path clip;
    clip.addEllipse (getLocalBounds().toFloat());
    g.reduceClipRegion (clip);

    // The flash: white turning toward the accent's colour (violet for a
    // positive accent, lime for a negative one) and back.
    auto flashColour = juce::Colours::white.withAlpha (0.9f);
    float strength = 0.0f, envelope = 0.0f;
    if (isFlashing())
    {
        const auto a = flashStep >= 0 && accentOf != nullptr ? juce::jlimit (-1.0f, 1.0f, accentOf (flashStep)) : 0.0f;
        strength = juce::jlimit (0.0f, 1.0f, std::abs (a));
        const auto accent = juce::Colour (a >= 0.0f ? 0xff9078f2u : 0xffdaf278u).withAlpha (strength * strength * strength);
        const auto u = flashPhase < 1.0f ? flashPhase : 2.0f - flashPhase;
        envelope = u * u * u;
        flashColour = juce::Colours::white.interpolatedWith (accent, envelope).withAlpha (0.9f);
    }
    if (onTint != nullptr)
        onTint (flashColour, envelope, strength);

    const auto& segments = progress < 1.0f && ! currentSegments.empty() ? currentSegments : segmentsAt (level);

    // Shared endpoints become one point, so that a swaying node keeps its edges.
    std::vector<juce::Point<float>> points;
    std::vector<std::pair<size_t, size_t>> lines;
    auto pointIndex = [&points] (juce::Point<float> p)
    {
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].getDistanceFrom (p) < 0.5f)
                return i;
        points.push_back (p);
        return points.size() - 1;
    };
    for (const auto& [a, b] : segments)
    {
        const auto i = pointIndex (a);
        lines.emplace_back (i, pointIndex (b));
    }

    const auto k = std::max (w / 72.84f, 0.5f);
    const auto lineWidth = std::max (0.025f * std::min (w, h) / 2.0f, 0.6f * k);
    const auto amplitude = std::max (1.2f * k, 0.5f);
    const Triangulation shape (toPoints (nodes));

    for (size_t i = 0; i < points.size(); ++i)
    {
        const auto fixed = std::any_of (nodes.begin(), nodes.end(), [&] (auto n) { return n.getDistanceFrom (points[i]) <= 2.5f; });
        if (fixed)
            continue;

        const auto alpha = 0.7f * static_cast<float> (i) + 1.3f * phase, beta = 0.4f * static_cast<float> (i) + phase;
        const juce::Point<float> sway { (0.4f * std::sin (alpha) + std::cos (beta)) * amplitude, (0.4f * std::cos (alpha) + std::sin (beta)) * amplitude };
        for (const auto factor : { 1.0f, 0.5f, 0.25f, 0.125f })
        {
            const auto moved = points[i] + sway * factor;
            if (shape.contains (moved.x, moved.y))
            {
                points[i] = moved;
                break;
            }
        }
    }

    g.setColour (juce::Colours::white.withAlpha (0.9f));
    for (const auto& [a, b] : lines)
        g.drawLine ({ points[a], points[b] }, lineWidth);
}

} // namespace mur::views
