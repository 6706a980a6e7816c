#pragma once
// A path value: subpaths of lines and Bezier curves, built element by element.
// Arcs and ellipses are stored as cubic curves, so a path is always a list of
// the five element kinds below, which is how paths are walked and archived.
#include <functional>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace gfx {

enum class PathElementType {
    MoveToPoint = 0,          // points[0]
    AddLineToPoint = 1,       // points[0]
    AddQuadCurveToPoint = 2,  // points[0] control, points[1] end
    AddCurveToPoint = 3,      // points[0], points[1] controls, points[2] end
    CloseSubpath = 4,         // no point
};

struct PathElement {
    PathElementType type = PathElementType::MoveToPoint;
    Point points[3];

    // 1, 1, 2, 3 or 0 by type.
    int pointCount() const;
    bool operator==(const PathElement& other) const;
};

// How the inside of a path is decided.
enum class FillRule { NonZero, EvenOdd };

class Path {
public:
    Path() = default;

    // Building. Every operation is ignored when one of its numbers is NaN or
    // infinite, so one bad coordinate never corrupts the rest of the path.
    // An element that needs a current point (line, curves) starts a subpath
    // at its first point when there is none.
    void moveTo(Float x, Float y);
    void lineTo(Float x, Float y);
    void quadCurveTo(Float cpx, Float cpy, Float x, Float y);
    void curveTo(Float cp1x, Float cp1y, Float cp2x, Float cp2y, Float x, Float y);
    void closeSubpath();
    // A closed subpath: (minX, minY), (maxX, minY), (maxX, maxY), (minX, maxY).
    void addRect(const Rect& rect);
    void addRects(const std::vector<Rect>& rects);
    // Move to the first point, then lines to the others.
    void addLines(const std::vector<Point>& points);
    // A closed ellipse fitting the rectangle, four cubic curves starting at
    // (maxX, midY), in the direction of increasing angle.
    void addEllipseInRect(const Rect& rect);
    // An arc of the circle about (x, y) from startAngle to endAngle (radians,
    // measured from the +x axis towards +y); clockwise means the angle
    // decreases. A line joins the current point to the arc's start.
    void addArc(Float x, Float y, Float radius, Float startAngle, Float endAngle, bool clockwise);
    // The tangent arc: a line from the current point towards (x1, y1) and an
    // arc of the radius tangent to the lines current point -> (x1, y1) and
    // (x1, y1) -> (x2, y2). A radius of 0 or collinear points add a line to
    // (x1, y1).
    void addArcToPoint(Float x1, Float y1, Float x2, Float y2, Float radius);
    // Appends another path's elements, transformed.
    void addPath(const Path& other, const AffineTransform& transform = AffineTransform());

    // Querying.
    bool isEmpty() const { return elements_.empty(); }
    // The end point of the last element (the start of the subpath after a
    // close); Point::zero() for an empty path.
    Point currentPoint() const;
    // The smallest rectangle containing every point, control points included;
    // Rect::null() for an empty path.
    Rect boundingBox() const;
    // The smallest rectangle containing the path itself (curves flattened).
    Rect pathBoundingBox() const;
    // Whether the point is inside the filled path (subpaths implicitly closed).
    bool containsPoint(const Point& point, FillRule rule = FillRule::NonZero) const;
    // The path with every point mapped by the transform.
    Path transformed(const AffineTransform& transform) const;
    // The path as straight segments, each subpath a list of points (with a
    // flag telling whether it is closed). Tolerance is the largest distance
    // from the curve, in path units.
    struct Polyline {
        std::vector<Point> points;
        bool closed = false;
    };
    std::vector<Polyline> flattened(Float tolerance = 0.1f) const;

    // Walking.
    const std::vector<PathElement>& elements() const { return elements_; }
    void apply(const std::function<void(const PathElement&)>& visitor) const;

    bool operator==(const Path& other) const { return elements_ == other.elements_; }

private:
    void ensureStart(Float x, Float y);

    std::vector<PathElement> elements_;
    Point start_;        // start of the current subpath
    bool open_ = false;  // a subpath has been started
};

}  // namespace gfx
