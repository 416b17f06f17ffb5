#include "PaintRecorder.h"
#include "views/NeuralNetworkTopologyPlot.h"
#include "views/PixelLayer.h"
#include "views/TopologyLayout.h"

#include <gtest/gtest.h>

namespace mur
{
namespace
{
using Topology = views::NeuralNetworkTopologyPlot::TopologyComponent;
using Mark = test::PaintRecorder::Mark;

views::Rows square (size_t n, float value)
{
    return views::Rows (n, std::vector<float> (n, value));
}

float meanDistanceFromCentre (const std::vector<views::Position>& positions)
{
    float sum = 0.0f;
    for (const auto& [x, y] : positions)
        sum += std::hypot (x - 0.5f, y - 0.5f);
    return sum / static_cast<float> (positions.size());
}

TEST (TopologyLayout, CouplingIsSymmetricNormalisedAndNamesTheStrongestPartner)
{
    // Unit 2's weights to unit 0 are the strongest pair; unit 1 has a single
    // weak link to unit 2; row 3 is missing and reads as zeros.
    const views::Rows w { { 0.0f, 0.0f, 0.8f }, { 0.0f, 0.0f, 0.1f }, { -0.4f, 0.0f, 0.0f } };
    std::vector<float> coupling;
    std::vector<int> partner;
    views::findCoupling (w, 4, coupling, partner);

    ASSERT_EQ (coupling.size(), 16u);
    EXPECT_FLOAT_EQ (coupling[0 * 4 + 2], 1.0f);
    EXPECT_FLOAT_EQ (coupling[2 * 4 + 0], 1.0f);
    EXPECT_FLOAT_EQ (coupling[1 * 4 + 2], 0.05f / 0.6f);
    EXPECT_EQ (partner, (std::vector<int> { 2, 2, 0, -1 }));

    // Nothing coupled: all zeros and no partners.
    views::findCoupling (square (3, 0.0f), 3, coupling, partner);
    EXPECT_EQ (partner, (std::vector<int> { -1, -1, -1 }));
}

TEST (PixelLayer, LinesCoverThePixelsTheyCrossAndNothingElse)
{
    juce::Image image (juce::Image::ARGB, 40, 20, true, juce::SoftwareImageType());
    {
        juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readWrite);
        // Along the centres of row 5, fully opaque: that row turns white.
        views::blendWhiteLine (pixels, { 2.0f, 5.5f }, { 30.0f, 5.5f }, 1.0f, 1.0f);
        // Off the image, not a number: ignored.
        views::blendWhiteLine (pixels, { -50.0f, -50.0f }, { -10.0f, -5.0f }, 1.0f, 1.0f);
        views::blendWhiteLine (pixels, { std::nanf (""), 1.0f }, { 10.0f, 10.0f }, 1.0f, 1.0f);
    }
    EXPECT_EQ (image.getPixelAt (10, 5), juce::Colours::white);
    EXPECT_EQ (image.getPixelAt (10, 4).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (10, 6).getAlpha(), 0);
    EXPECT_EQ (image.getPixelAt (35, 5).getAlpha(), 0);

    // A faint diagonal: about its length times its alpha, spread over the
    // pixels beside it.
    juce::Image diagonal (juce::Image::ARGB, 40, 40, true, juce::SoftwareImageType());
    {
        juce::Image::BitmapData pixels (diagonal, juce::Image::BitmapData::readWrite);
        views::blendWhiteLine (pixels, { 5.0f, 5.0f }, { 35.0f, 35.0f }, 1.0f, 0.2f);
    }
    float total = 0.0f;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            total += diagonal.getPixelAt (x, y).getFloatAlpha();
    EXPECT_NEAR (total, 0.2f * std::hypot (30.0f, 30.0f), 1.5f);
}

TEST (TopologyView, OneUnitIsOneNodeWithoutEdgesOrLayout)
{
    Topology view;
    view.setSize (234, 109);
    view.setRecurrentWeights (square (1, 0.5f));
    view.pushState ({ 0.8f });
    const auto before = view.getPositions();
    for (int i = 0; i < 10; ++i)
        view.tick();
    EXPECT_EQ (view.getPositions(), before);

    const auto marks = test::recordPaint (view);
    // Glow, body and rim of one node, centred in the view; no edge.
    ASSERT_EQ (marks.size(), 3u);
    for (const auto& mark : marks)
    {
        EXPECT_NEAR (mark.bounds.getCentreX(), 117.0f, 0.01f);
        EXPECT_NEAR (mark.bounds.getCentreY(), 54.5f, 0.01f);
    }
}

TEST (TopologyView, WithoutEchoNodesSpreadAndOnlyStrongestPartnersAreJoined)
{
    constexpr size_t n = 12;
    auto weights = square (n, 0.0f);
    for (size_t i = 0; i < n; ++i)
        weights[i][(i + 1) % n] = 0.2f + 0.05f * static_cast<float> (i);

    Topology view;
    view.setSize (234, 109);
    view.setEdgeGain (0.0f);
    view.setRecurrentWeights (weights);
    view.pushState (std::vector<float> (n, 0.1f));
    view.tick();
    const auto start = meanDistanceFromCentre (view.getPositions());
    for (int i = 0; i < 300; ++i)
        view.tick();
    EXPECT_GT (meanDistanceFromCentre (view.getPositions()), start);

    // Without Echo every coupling strength is 0: only strongest partners
    // are joined, at the faintest alpha and the thinnest width.
    const auto& edges = view.visibleEdges();
    EXPECT_GT (edges.size(), 0u);
    EXPECT_LE (edges.size(), n);
    for (const auto& edge : edges)
    {
        EXPECT_TRUE (view.getStrongestPartners()[edge.from] == static_cast<int> (edge.to)
                     || view.getStrongestPartners()[edge.to] == static_cast<int> (edge.from));
        EXPECT_FLOAT_EQ (edge.alpha(), 0.04f);
        EXPECT_FLOAT_EQ (edge.width(), 0.6f);
    }
    const auto marks = test::recordPaint (view);

    // A negative Echo counts as none.
    view.setEdgeGain (-3.0f);
    EXPECT_EQ (test::recordPaint (view).size(), marks.size());
}

TEST (TopologyView, AZeroReadoutLeavesNodesWhiteAndQuietNodesHaveNoGlow)
{
    Topology view;
    view.setSize (234, 109);
    view.setNoteColours ({ juce::Colours::grey, juce::Colours::red });
    view.setReadoutWeights (views::Rows (2, std::vector<float> (3, 0.0f)));
    view.pushState ({ 0.1f, -0.1f, 0.05f });
    view.tick();
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ (view.nodeColour (i), juce::Colours::white);

    // Three quiet nodes: body and rim each, no glow.
    const auto marks = test::recordPaint (view);
    EXPECT_EQ (std::count_if (marks.begin(), marks.end(), [] (const Mark& m) { return m.kind == Mark::Kind::path; }), 6);

    // A readout that names row 1 for unit 0 colours it.
    view.setReadoutWeights ({ { 0.0f, 0.0f, 0.0f }, { 1.0f, 0.0f, 0.0f } });
    view.tick();
    EXPECT_EQ (view.nodeColour (0), juce::Colours::red);
}

} // namespace
} // namespace mur
