#pragma once

#include <array>
#include <utility>
#include <vector>

namespace mur::views
{

// A triangulation of a simple polygon: ear clipping, then edge flips that
// make it Delaunay wherever the polygon's own sides allow, with points
// inserted inside afterwards. No framework dependency.
class Triangulation
{
public:
    struct Point
    {
        double x = 0.0, y = 0.0;
    };

    using Triangle = std::array<int, 3>;

    explicit Triangulation (std::vector<Point> polygon);

    // Even-odd test against the polygon; fewer than three points contain nothing.
    bool contains (double x, double y) const noexcept;

    // Triangulates the polygon. False when no triangulation results (fewer
    // than three distinct points, or all on one line).
    bool build();

    // Adds a point inside the polygon and re-triangulates around it; the new
    // vertex's index, or -1 when it is outside or nothing is built.
    int insert (Point p);

    // Every triangle side once, as (lower index, higher index), sorted.
    std::vector<std::pair<int, int>> edges() const;

    const std::vector<Point>& getVertices() const noexcept { return vertices; }
    const std::vector<Triangle>& getTriangles() const noexcept { return triangles; }

private:
    double orientation (int a, int b, int c) const noexcept;
    bool inCircumcircle (const Triangle& t, int d) const noexcept;
    bool isConstrained (int a, int b) const noexcept;
    void legalise();

    std::vector<Point> polygon, vertices;
    std::vector<Triangle> triangles;
    std::vector<std::pair<int, int>> constrained;
    // Each polygon point's stand-in: itself, or an earlier point it coincides with.
    std::vector<int> alias;
    double scale = 1.0;
};

} // namespace mur::views
