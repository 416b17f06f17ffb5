#include "Triangulation.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace mur::views
{

Triangulation::Triangulation (std::vector<Point> outline) : polygon (std::move (outline)), vertices (polygon)
{
    const auto n = static_cast<int> (polygon.size());
    for (int i = 0; i < n; ++i)
        constrained.emplace_back (std::min (i, (i + 1) % n), std::max (i, (i + 1) % n));

    double extent = 0.0;
    for (const auto& p : polygon)
        extent = std::max ({ extent, std::abs (p.x), std::abs (p.y) });
    scale = std::max (extent, 1.0e-300);
}

bool Triangulation::contains (double x, double y) const noexcept
{
    const auto n = polygon.size();
    if (n < 3)
        return false;

    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const auto& q = polygon[i];
        const auto& p = polygon[j];
        if ((y < p.y) != (y < q.y) && x < p.x + (q.x - p.x) * (y - p.y) / (q.y - p.y + 1.0e-6))
            inside = ! inside;
    }
    return inside;
}

double Triangulation::orientation (int a, int b, int c) const noexcept
{
    const auto& p = vertices[static_cast<size_t> (a)];
    const auto& q = vertices[static_cast<size_t> (b)];
    const auto& r = vertices[static_cast<size_t> (c)];
    return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
}

bool Triangulation::inCircumcircle (const Triangle& t, int d) const noexcept
{
    const auto& p = vertices[static_cast<size_t> (d)];
    auto row = [&] (int i)
    {
        const auto& v = vertices[static_cast<size_t> (i)];
        const auto dx = (v.x - p.x) / scale, dy = (v.y - p.y) / scale;
        return std::array<double, 3> { dx, dy, dx * dx + dy * dy };
    };
    const auto a = row (t[0]), b = row (t[1]), c = row (t[2]);
    const auto det = a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) + a[2] * (b[0] * c[1] - b[1] * c[0]);
    return det > 1.0e-6 * 1.0e-6;
}

bool Triangulation::isConstrained (int a, int b) const noexcept
{
    return std::binary_search (constrained.begin(), constrained.end(), std::make_pair (std::min (a, b), std::max (a, b)));
}

bool Triangulation::build()
{
    triangles.clear();
    const auto n = static_cast<int> (polygon.size());
    if (n < 3)
        return false;

    // Points that coincide (within a hair of the polygon's size) are one
    // corner: the later ones stand in for the earlier.
    alias.resize (static_cast<size_t> (n));
    const auto hair = 1.0e-12 * scale;
    for (int i = 0; i < n; ++i)
    {
        alias[static_cast<size_t> (i)] = i;
        for (int j = 0; j < i; ++j)
            if (std::abs (polygon[static_cast<size_t> (i)].x - polygon[static_cast<size_t> (j)].x) <= hair
                && std::abs (polygon[static_cast<size_t> (i)].y - polygon[static_cast<size_t> (j)].y) <= hair)
            {
                alias[static_cast<size_t> (i)] = alias[static_cast<size_t> (j)];
                break;
            }
    }

    std::vector<int> ring;
    for (int i = 0; i < n; ++i)
        if (const auto a = alias[static_cast<size_t> (i)]; ring.empty() || (a != ring.back() && ! (i == n - 1 && a == ring.front())))
            ring.push_back (a);
    if (ring.size() < 3)
        return false;

    double area = 0.0;
    for (size_t i = 0; i < ring.size(); ++i)
    {
        const auto& p = vertices[static_cast<size_t> (ring[i])];
        const auto& q = vertices[static_cast<size_t> (ring[(i + 1) % ring.size()])];
        area += p.x * q.y - q.x * p.y;
    }
    if (std::abs (area) <= 1.0e-12 * scale * scale)
        return false;
    if (area < 0.0)
        std::reverse (ring.begin(), ring.end());

    const auto tolerance = 1.0e-6 * 1.0e-6 * scale * scale;
    auto insideOrOn = [&] (int a, int b, int c, int p)
    {
        return orientation (a, b, p) >= -tolerance && orientation (b, c, p) >= -tolerance && orientation (c, a, p) >= -tolerance;
    };

    // Ear clipping: a strictly convex corner whose triangle holds no other
    // remaining corner, not even on its sides.
    for (int searches = 0; ring.size() > 3 && searches < 10000; ++searches)
    {
        bool clipped = false;
        const auto m = ring.size();
        for (size_t i = 0; i < m && ! clipped; ++i)
        {
            const auto a = ring[(i + m - 1) % m], b = ring[i], c = ring[(i + 1) % m];
            if (orientation (a, b, c) <= tolerance)
                continue;

            bool empty = true;
            for (const auto other : ring)
                if (other != a && other != b && other != c && insideOrOn (a, b, c, other))
                    empty = false;

            if (empty)
            {
                triangles.push_back ({ a, b, c });
                ring.erase (ring.begin() + static_cast<std::ptrdiff_t> (i));
                clipped = true;
            }
        }
        if (! clipped)
            break;
    }

    if (ring.size() == 3 && orientation (ring[0], ring[1], ring[2]) > tolerance)
        triangles.push_back ({ ring[0], ring[1], ring[2] });

    // A polygon the clipping could not finish is reported as failed rather
    // than left with a hole.
    if (ring.size() != 3 || triangles.empty())
    {
        triangles.clear();
        return false;
    }

    std::sort (constrained.begin(), constrained.end());
    for (auto& [a, b] : constrained)
    {
        a = alias[static_cast<size_t> (a)];
        b = alias[static_cast<size_t> (b)];
        if (a > b)
            std::swap (a, b);
    }
    std::sort (constrained.begin(), constrained.end());
    legalise();
    return true;
}

void Triangulation::legalise()
{
    const auto tolerance = 1.0e-6 * 1.0e-6 * scale * scale;

    for (int pass = 0; pass < 64; ++pass)
    {
        // Which triangles share each edge.
        std::map<std::pair<int, int>, std::vector<size_t>> owners;
        for (size_t t = 0; t < triangles.size(); ++t)
            for (int k = 0; k < 3; ++k)
            {
                const auto a = triangles[t][static_cast<size_t> (k)], b = triangles[t][static_cast<size_t> ((k + 1) % 3)];
                owners[{ std::min (a, b), std::max (a, b) }].push_back (t);
            }

        bool flipped = false;
        std::vector<bool> touched (triangles.size(), false);
        for (const auto& [edge, shared] : owners)
        {
            if (shared.size() != 2 || isConstrained (edge.first, edge.second) || touched[shared[0]] || touched[shared[1]])
                continue;

            auto& t1 = triangles[shared[0]];
            auto& t2 = triangles[shared[1]];
            auto opposite = [&edge] (const Triangle& t)
            {
                for (const auto v : t)
                    if (v != edge.first && v != edge.second)
                        return v;
                return -1;
            };
            const auto c = opposite (t1), d = opposite (t2);
            if (c < 0 || d < 0 || ! inCircumcircle (t1, d))
                continue;

            // The flipped pair must both be proper counter-clockwise triangles.
            auto ccw = [this] (int a, int b, int e) { return orientation (a, b, e) > 0.0 ? Triangle { a, b, e } : Triangle { a, e, b }; };
            const Triangle n1 = ccw (c, d, edge.first), n2 = ccw (c, d, edge.second);
            if (std::abs (orientation (n1[0], n1[1], n1[2])) <= tolerance || std::abs (orientation (n2[0], n2[1], n2[2])) <= tolerance)
                continue;
            // The quadrilateral must be convex: the new diagonal crosses the old edge.
            if ((orientation (c, d, edge.first) > 0.0) == (orientation (c, d, edge.second) > 0.0))
                continue;

            t1 = n1;
            t2 = n2;
            touched[shared[0]] = touched[shared[1]] = true;
            flipped = true;
        }

        if (! flipped)
            break;
    }
}

int Triangulation::insert (Point p)
{
    if (triangles.empty() || ! contains (p.x, p.y))
        return -1;

    vertices.push_back (p);
    const auto v = static_cast<int> (vertices.size()) - 1;
    const auto tolerance = 1.0e-5 * 1.0e-5 * scale * scale;

    // The triangle that holds the point, then every neighbour reached
    // without crossing a polygon side whose circumcircle holds it too.
    auto holds = [&] (const Triangle& t)
    {
        return orientation (t[0], t[1], v) >= -tolerance && orientation (t[1], t[2], v) >= -tolerance && orientation (t[2], t[0], v) >= -tolerance;
    };
    const auto start = std::find_if (triangles.begin(), triangles.end(), holds);
    if (start == triangles.end())
    {
        vertices.pop_back();
        return -1;
    }

    std::vector<bool> removed (triangles.size(), false);
    std::vector<size_t> pending { static_cast<size_t> (start - triangles.begin()) };
    removed[pending.front()] = true;
    auto sharesEdge = [] (const Triangle& t, int a, int b)
    {
        return std::find (t.begin(), t.end(), a) != t.end() && std::find (t.begin(), t.end(), b) != t.end();
    };
    while (! pending.empty())
    {
        const auto t = triangles[pending.back()];
        pending.pop_back();
        for (int k = 0; k < 3; ++k)
        {
            const auto a = t[static_cast<size_t> (k)], b = t[static_cast<size_t> ((k + 1) % 3)];
            if (isConstrained (a, b))
                continue;
            for (size_t u = 0; u < triangles.size(); ++u)
                if (! removed[u] && sharesEdge (triangles[u], a, b) && inCircumcircle (triangles[u], v))
                {
                    removed[u] = true;
                    pending.push_back (u);
                }
        }
    }

    // The cavity's boundary: the sides of removed triangles no other removed
    // triangle shares, each joined to the new point.
    std::vector<Triangle> kept, added;
    std::map<std::pair<int, int>, int> sideCount;
    for (size_t u = 0; u < triangles.size(); ++u)
    {
        if (! removed[u])
        {
            kept.push_back (triangles[u]);
            continue;
        }
        for (int k = 0; k < 3; ++k)
        {
            const auto a = triangles[u][static_cast<size_t> (k)], b = triangles[u][static_cast<size_t> ((k + 1) % 3)];
            ++sideCount[{ std::min (a, b), std::max (a, b) }];
        }
    }
    for (size_t u = 0; u < triangles.size(); ++u)
    {
        if (! removed[u])
            continue;
        for (int k = 0; k < 3; ++k)
        {
            const auto a = triangles[u][static_cast<size_t> (k)], b = triangles[u][static_cast<size_t> ((k + 1) % 3)];
            // A point on a side makes a flat triangle there: it is left out.
            if (sideCount[{ std::min (a, b), std::max (a, b) }] == 1 && orientation (a, b, v) > tolerance)
                added.push_back ({ a, b, v });
        }
    }

    kept.insert (kept.end(), added.begin(), added.end());
    triangles = std::move (kept);
    legalise();
    return v;
}

std::vector<std::pair<int, int>> Triangulation::edges() const
{
    std::vector<std::pair<int, int>> result;
    for (const auto& t : triangles)
        for (int k = 0; k < 3; ++k)
        {
            const auto a = t[static_cast<size_t> (k)], b = t[static_cast<size_t> ((k + 1) % 3)];
            result.emplace_back (std::min (a, b), std::max (a, b));
        }
    std::sort (result.begin(), result.end());
    result.erase (std::unique (result.begin(), result.end()), result.end());
    return result;
}

} // namespace mur::views
