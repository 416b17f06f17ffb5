#include "views/Triangulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace mur
{
namespace
{
using T = views::Triangulation;

double signedArea (const T::Point& a, const T::Point& b, const T::Point& c)
{
    return ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / 2.0;
}

double polygonArea (const std::vector<T::Point>& p)
{
    double area = 0.0;
    for (size_t i = 0; i < p.size(); ++i)
        area += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
    return std::abs (area) / 2.0;
}

// Whether two counter-clockwise triangles share interior: no side of
// either separates them (a shared side or corner is not an overlap).
bool overlap (const std::array<T::Point, 3>& a, const std::array<T::Point, 3>& b, double tolerance)
{
    for (const auto* t : { &a, &b })
        for (int k = 0; k < 3; ++k)
        {
            const auto& p = (*t)[static_cast<size_t> (k)];
            const auto& q = (*t)[static_cast<size_t> ((k + 1) % 3)];
            const auto& other = t == &a ? b : a;
            if (std::all_of (other.begin(), other.end(), [&] (const T::Point& r) { return signedArea (p, q, r) <= tolerance; }))
                return false;
        }
    return true;
}

// Whether no two sides that do not share a corner cross or touch.
bool isSimple (const std::vector<T::Point>& p)
{
    const auto n = p.size();
    auto cross = [] (const T::Point& a, const T::Point& b, const T::Point& c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    for (size_t i = 0; i < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
        {
            if (j == i + 1 || (i == 0 && j == n - 1))
                continue;
            const auto &a = p[i], &b = p[(i + 1) % n], &c = p[j], &d = p[(j + 1) % n];
            const auto d1 = cross (a, b, c), d2 = cross (a, b, d), d3 = cross (c, d, a), d4 = cross (c, d, b);
            if (d1 == 0.0 && d2 == 0.0)
            {
                // On one line: they meet when their spans along it overlap.
                const auto ux = b.x - a.x, uy = b.y - a.y;
                auto along = [&] (const T::Point& q) { return (q.x - a.x) * ux + (q.y - a.y) * uy; };
                const auto lo = std::min (along (c), along (d)), hi = std::max (along (c), along (d));
                if (hi >= 0.0 && lo <= ux * ux + uy * uy)
                    return false;
                continue;
            }
            if (d1 * d2 <= 0.0 && d3 * d4 <= 0.0)
                return false;
        }
    return true;
}

void expectValid (const T& triangulation, const std::vector<T::Point>& polygon, const char* what)
{
    const auto& v = triangulation.getVertices();
    const auto& triangles = triangulation.getTriangles();
    const auto area = polygonArea (polygon);
    double covered = 0.0;
    std::vector<std::array<T::Point, 3>> corners;
    for (const auto& t : triangles)
    {
        const std::array<T::Point, 3> c { v[static_cast<size_t> (t[0])], v[static_cast<size_t> (t[1])], v[static_cast<size_t> (t[2])] };
        const auto a = signedArea (c[0], c[1], c[2]);
        ASSERT_GT (a, 1.0e-12 * area) << what << ": a degenerate or clockwise triangle";
        covered += a;
        corners.push_back (c);
    }
    EXPECT_NEAR (covered, area, 1.0e-4 * area) << what;

    for (size_t i = 0; i < corners.size(); ++i)
        for (size_t j = i + 1; j < corners.size(); ++j)
            ASSERT_FALSE (overlap (corners[i], corners[j], 1.0e-9 * area)) << what << ": triangles " << i << " and " << j;

    // Every outline corner is a corner of some triangle (or coincides with one).
    for (const auto& p : polygon)
    {
        const auto used = std::any_of (triangles.begin(), triangles.end(), [&] (const T::Triangle& t)
        {
            return std::any_of (t.begin(), t.end(), [&] (int i)
            {
                return std::abs (v[static_cast<size_t> (i)].x - p.x) <= 1.0e-9 && std::abs (v[static_cast<size_t> (i)].y - p.y) <= 1.0e-9;
            });
        });
        ASSERT_TRUE (used) << what << ": an outline corner is in no triangle";
    }
}

TEST (Triangulation, ASquareIsTwoTrianglesAndPointsInsideAreJoinedIn)
{
    const std::vector<T::Point> square { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } };
    T t (square);
    EXPECT_TRUE (t.contains (0.5, 0.5));
    EXPECT_FALSE (t.contains (1.5, 0.5));
    ASSERT_TRUE (t.build());
    EXPECT_EQ (t.getTriangles().size(), 2u);
    EXPECT_EQ (t.edges().size(), 5u);

    EXPECT_EQ (t.insert ({ 0.4, 0.3 }), 4);
    EXPECT_EQ (t.insert ({ 3.0, 3.0 }), -1);
    EXPECT_EQ (t.getTriangles().size(), 4u);
    expectValid (t, square, "square with a point");

    // A corner given twice is one corner; a run of collinear corners is used
    // all the same.
    const std::vector<T::Point> doubled { { 0, 0 }, { 1, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 3, 2 }, { 0, 2 } };
    T d (doubled);
    ASSERT_TRUE (d.build());
    expectValid (d, doubled, "a doubled corner and a collinear run");

    // Nothing to build from a line or two points.
    T line ({ { 0, 0 }, { 1, 1 }, { 2, 2 } });
    EXPECT_FALSE (line.build());
    EXPECT_EQ (line.insert ({ 1, 1 }), -1);
    T two ({ { 0, 0 }, { 1, 1 } });
    EXPECT_FALSE (two.build());
    EXPECT_FALSE (two.contains (0.5, 0.5));
}

// Random simple polygons (star-shaped around the origin) with runs of
// collinear corners and corners a hair apart, triangulated and then given up
// to eight points inside, one at a time.
TEST (Triangulation, RandomSimplePolygonsAreCoveredExactlyOnce)
{
    std::mt19937 random (7);
    auto uniform = [&random] (double low, double high) { return std::uniform_real_distribution<double> (low, high) (random); };

    int tested = 0, withRuns = 0;
    for (int round = 0; tested < 2000 && round < 100000; ++round)
    {
        const auto corners = 3 + static_cast<int> (uniform (0.0, 14.0));
        std::vector<double> angles;
        for (int i = 0; i < corners; ++i)
            angles.push_back (uniform (0.0, 2.0 * M_PI));
        std::sort (angles.begin(), angles.end());

        std::vector<T::Point> polygon;
        for (const auto angle : angles)
        {
            const auto r = uniform (0.3, 1.0) * 100.0;
            const T::Point p { r * std::cos (angle), r * std::sin (angle) };
            if (! polygon.empty())
            {
                const auto q = polygon.back();
                const auto kind = uniform (0.0, 1.0);
                if (kind < 0.2) // a collinear run along the side
                    for (const auto f : { 0.25, 0.5, 0.75 })
                        polygon.push_back ({ q.x + (p.x - q.x) * f, q.y + (p.y - q.y) * f });
                else if (kind < 0.3) // a corner a hair past the previous one
                    polygon.push_back ({ q.x + (p.x - q.x) * 1.0e-7, q.y + (p.y - q.y) * 1.0e-7 });
            }
            polygon.push_back (p);
        }
        if (polygonArea (polygon) < 1.0 || ! isSimple (polygon))
            continue;
        ++tested;
        withRuns += polygon.size() > static_cast<size_t> (corners) ? 1 : 0;

        T t (polygon);
        ASSERT_TRUE (t.build()) << "round " << round;
        expectValid (t, polygon, "built");

        for (int level = 1; level <= 8; ++level)
        {
            const T::Point inside { uniform (-100.0, 100.0), uniform (-100.0, 100.0) };
            if (t.insert (inside) >= 0)
                expectValid (t, polygon, "after an insertion");
            if (HasFatalFailure())
                return;
        }
    }
    EXPECT_EQ (tested, 2000);
    // Most of them have a collinear run or a corner a hair from the next.
    EXPECT_GT (withRuns, 1000);
}

} // namespace
} // namespace mur
