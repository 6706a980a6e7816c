#pragma once
// Plane geometry of the graphics layer: points, sizes, rectangles, affine
// transforms and the 4 x 4 transform of layers. Coordinates are single
// precision, as every screen quantity of the application is.
#include <cmath>
#include <limits>

namespace gfx {

using Float = float;

struct Point {
    Float x = 0;
    Float y = 0;

    constexpr Point() = default;
    constexpr Point(Float px, Float py) : x(px), y(py) {}

    static constexpr Point zero() { return {}; }
    bool operator==(const Point&) const = default;
    Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
    Point operator*(Float s) const { return {x * s, y * s}; }
    // True when either coordinate is NaN or infinite.
    bool isFiniteValue() const { return std::isfinite(x) && std::isfinite(y); }
};

struct Size {
    Float width = 0;
    Float height = 0;

    constexpr Size() = default;
    constexpr Size(Float w, Float h) : width(w), height(h) {}

    static constexpr Size zero() { return {}; }
    bool operator==(const Size&) const = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr Rect(Float x, Float y, Float w, Float h) : origin(x, y), size(w, h) {}

    static constexpr Rect zero() { return {}; }
    // The null rectangle: what the intersection of two disjoint rectangles is.
    static Rect null();
    // The infinite rectangle (contains everything).
    static Rect infinite();

    bool operator==(const Rect&) const = default;

    Float x() const { return origin.x; }
    Float y() const { return origin.y; }
    Float width() const { return size.width; }
    Float height() const { return size.height; }

    // Edges of the standardized rectangle (a negative width or height counts
    // from the other side).
    Float minX() const;
    Float midX() const;
    Float maxX() const;
    Float minY() const;
    Float midY() const;
    Float maxY() const;
    Point center() const { return {midX(), midY()}; }

    // The same rectangle with non-negative width and height.
    Rect standardized() const;
    // The smallest rectangle with whole-number edges that contains this one.
    Rect integral() const;
    // Zero width or height, or null.
    bool isEmpty() const;
    bool isNull() const;
    bool isInfinite() const;

    // Moves each edge inwards by dx (left and right) and dy (top and bottom);
    // a negative amount grows the rectangle. Null when the result would have
    // a negative size.
    Rect inset(Float dx, Float dy) const;
    Rect offset(Float dx, Float dy) const;
    // The smallest rectangle containing both; a null operand is ignored.
    Rect unionWith(const Rect& other) const;
    // The common part; null when the two do not overlap.
    Rect intersection(const Rect& other) const;
    bool intersects(const Rect& other) const;
    // Half-open: minX <= x < maxX and minY <= y < maxY.
    bool contains(const Point& p) const;
    bool contains(const Rect& other) const;
};

// x' = a*x + c*y + tx; y' = b*x + d*y + ty (row-vector convention, as the
// platform's affine transform: concatenating A with B applies A first).
struct AffineTransform {
    Float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    constexpr AffineTransform() = default;
    constexpr AffineTransform(Float pa, Float pb, Float pc, Float pd, Float ptx, Float pty)
        : a(pa), b(pb), c(pc), d(pd), tx(ptx), ty(pty) {}

    static constexpr AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(Float x, Float y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform makeScale(Float sx, Float sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Counter-clockwise in a y-up space, by the angle in radians.
    static AffineTransform makeRotation(Float angle);

    bool operator==(const AffineTransform&) const = default;
    bool isIdentity() const { return *this == AffineTransform(); }
    // The determinant is non-zero and every entry is finite.
    bool isInvertible() const;

    // Each of these returns "this transform, then the new operation applied
    // first to points", as the platform's translate/scale/rotate do.
    AffineTransform translate(Float x, Float y) const;
    AffineTransform scale(Float sx, Float sy) const;
    AffineTransform rotate(Float angle) const;
    // This transform followed by `other`.
    AffineTransform concat(const AffineTransform& other) const;
    // The inverse, or this transform unchanged when it is not invertible.
    AffineTransform invert() const;

    Point apply(const Point& p) const;
    // Applies to the size as a vector (no translation).
    Size apply(const Size& s) const;
    // The bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;
};

// A 4 x 4 transform of a layer, in the same row-vector convention:
// [x y z 1] * M. m41, m42, m43 hold the translation.
struct Transform3D {
    Float m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    Float m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    Float m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    Float m41 = 0, m42 = 0, m43 = 0, m44 = 1;

    static constexpr Transform3D identity() { return {}; }
    static Transform3D makeTranslation(Float tx, Float ty, Float tz);
    static Transform3D makeScale(Float sx, Float sy, Float sz);
    // Rotation by the angle (radians) about the axis (x, y, z).
    static Transform3D makeRotation(Float angle, Float x, Float y, Float z);
    static Transform3D makeAffine(const AffineTransform& t);

    bool operator==(const Transform3D&) const = default;
    bool isIdentity() const { return *this == Transform3D(); }
    // True when the transform acts on the plane alone (what draws).
    bool isAffine() const;
    // The plane part: (m11, m12, m21, m22, m41, m42).
    AffineTransform affine() const;
    // This transform followed by `other`.
    Transform3D concat(const Transform3D& other) const;
};

}  // namespace gfx
