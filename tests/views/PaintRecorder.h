#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace mur::test
{

// A software renderer that also remembers what was drawn where: the bounds
// of every filled shape (strokes and ellipses arrive as filled paths), every
// rectangle and every line, with the colour it was drawn in.
class PaintRecorder : public juce::LowLevelGraphicsSoftwareRenderer
{
public:
    struct Mark
    {
        enum class Kind
        {
            path,
            rectangle,
            line
        };

        Kind kind;
        juce::Rectangle<float> bounds;
        juce::Colour colour;
    };

    explicit PaintRecorder (const juce::Image& target) : juce::LowLevelGraphicsSoftwareRenderer (target) {}

    void setFill (const juce::FillType& fill) override
    {
        colour = fill.colour;
        juce::LowLevelGraphicsSoftwareRenderer::setFill (fill);
    }

    void fillPath (const juce::Path& path, const juce::AffineTransform& t) override
    {
        marks.push_back ({ Mark::Kind::path, path.getBoundsTransformed (t), colour });
        juce::LowLevelGraphicsSoftwareRenderer::fillPath (path, t);
    }

    void fillRect (const juce::Rectangle<float>& r) override
    {
        marks.push_back ({ Mark::Kind::rectangle, r, colour });
        juce::LowLevelGraphicsSoftwareRenderer::fillRect (r);
    }

    void fillRect (const juce::Rectangle<int>& r, bool replace) override
    {
        marks.push_back ({ Mark::Kind::rectangle, r.toFloat(), colour });
        juce::LowLevelGraphicsSoftwareRenderer::fillRect (r, replace);
    }

    void drawLine (const juce::Line<float>& line) override
    {
        marks.push_back ({ Mark::Kind::line, juce::Rectangle<float> (line.getStart(), line.getEnd()), colour });
        juce::LowLevelGraphicsSoftwareRenderer::drawLine (line);
    }

    std::vector<Mark> marks;

private:
    juce::Colour colour;
};

// Runs `paint` on a width x height picture and returns what it drew.
template <typename Paint>
std::vector<PaintRecorder::Mark> recordPaint (int width, int height, Paint&& paint)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, width), juce::jmax (1, height), true, juce::SoftwareImageType());
    PaintRecorder recorder (image);
    {
        juce::Graphics g (recorder);
        paint (g);
    }
    return std::move (recorder.marks);
}

// Paints a component (not its children) and returns what it drew.
inline std::vector<PaintRecorder::Mark> recordPaint (juce::Component& component)
{
    return recordPaint (component.getWidth(), component.getHeight(), [&component] (juce::Graphics& g) { component.paint (g); });
}

inline bool isFinite (juce::Rectangle<float> r)
{
    return std::isfinite (r.getX()) && std::isfinite (r.getY()) && std::isfinite (r.getWidth()) && std::isfinite (r.getHeight());
}

} // namespace mur::test
