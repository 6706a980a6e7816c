#include "platform/gfx/Geometry.h"

#include <algorithm>

namespace gfx {

namespace {
constexpr Float kInf = std::numeric_limits<Float>::infinity();
}

Rect Rect::null() { return {kInf, kInf, 0, 0}; }

Rect Rect::infinite() {
    constexpr Float big = std::numeric_limits<Float>::max() / 2;
    return {-big, -big, std::numeric_limits<Float>::max(), std::numeric_limits<Float>::max()};
}

Float Rect::minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
Float Rect::maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
Float Rect::midX() const { return origin.x + size.width / 2; }
Float Rect::minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
Float Rect::maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
Float Rect::midY() const { return origin.y + size.height / 2; }

Rect Rect::standardized() const {
    if (isNull()) return *this;
    return {minX(), minY(), std::fabs(size.width), std::fabs(size.height)};
}

Rect Rect::integral() const {
    if (isNull() || isInfinite()) return *this;
    Rect s = standardized();
    Float x0 = std::floor(s.minX()), y0 = std::floor(s.minY());
    Float x1 = std::ceil(s.maxX()), y1 = std::ceil(s.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Rect::isNull() const { return std::isinf(origin.x) && origin.x > 0; }

bool Rect::isInfinite() const {
    return size.width == std::numeric_limits<Float>::max() && size.height == std::numeric_limits<Float>::max();
}

bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

Rect Rect::inset(Float dx, Float dy) const {
    if (isNull()) return *this;
    Rect s = standardized();
    Rect r{s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy};
    if (r.size.width < 0 || r.size.height < 0) return null();
    return r;
}

Rect Rect::offset(Float dx, Float dy) const {
    if (isNull()) return *this;
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

Rect Rect::unionWith(const Rect& other) const {
    if (isNull()) return other;
    if (other.isNull()) return *this;
    Float x0 = std::min(minX(), other.minX()), y0 = std::min(minY(), other.minY());
    Float x1 = std::max(maxX(), other.maxX()), y1 = std::max(maxY(), other.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::intersection(const Rect& other) const {
    if (isNull() || other.isNull()) return null();
    Float x0 = std::max(minX(), other.minX()), y0 = std::max(minY(), other.minY());
    Float x1 = std::min(maxX(), other.maxX()), y1 = std::min(maxY(), other.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Rect::intersects(const Rect& other) const {
    Rect r = intersection(other);
    return !r.isNull() && !r.isEmpty();
}

bool Rect::contains(const Point& p) const {
    if (isNull()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& other) const {
    if (isNull() || other.isNull()) return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY() && other.maxY() <= maxY();
}

// ---- AffineTransform

AffineTransform AffineTransform::makeRotation(Float angle) {
    Float s = std::sin(angle), c = std::cos(angle);
    return {c, s, -s, c, 0, 0};
}

bool AffineTransform::isInvertible() const {
    double det = double(a) * d - double(b) * c;
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(tx) &&
           std::isfinite(ty) && det != 0 && std::isfinite(det);
}

AffineTransform AffineTransform::concat(const AffineTransform& o) const {
    return {a * o.a + b * o.c, a * o.b + b * o.d,          c * o.a + d * o.c,
            c * o.b + d * o.d, tx * o.a + ty * o.c + o.tx, tx * o.b + ty * o.d + o.ty};
}

AffineTransform AffineTransform::translate(Float x, Float y) const { return makeTranslation(x, y).concat(*this); }

AffineTransform AffineTransform::scale(Float sx, Float sy) const { return makeScale(sx, sy).concat(*this); }

AffineTransform AffineTransform::rotate(Float angle) const { return makeRotation(angle).concat(*this); }

AffineTransform AffineTransform::invert() const {
    if (!isInvertible()) return *this;
    double det = double(a) * d - double(b) * c;
    double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    double itx = -(tx * ia + ty * ic), ity = -(tx * ib + ty * id);
    return {Float(ia), Float(ib), Float(ic), Float(id), Float(itx), Float(ity)};
}

Point AffineTransform::apply(const Point& p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

Size AffineTransform::apply(const Size& s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }

Rect AffineTransform::apply(const Rect& r) const {
    if (r.isNull() || r.isInfinite()) return r;
    Point p[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}), apply(Point{r.minX(), r.maxY()}),
                  apply(Point{r.maxX(), r.maxY()})};
    Float x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

// ---- Transform3D

Transform3D Transform3D::makeTranslation(Float tx, Float ty, Float tz) {
    Transform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

Transform3D Transform3D::makeScale(Float sx, Float sy, Float sz) {
    Transform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

Transform3D Transform3D::makeRotation(Float angle, Float x, Float y, Float z) {
    double len = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (len == 0 || !std::isfinite(len)) return identity();
    double ux = x / len, uy = y / len, uz = z / len;
    double s = std::sin(angle), c = std::cos(angle), k = 1 - c;
    Transform3D t;
    t.m11 = Float(ux * ux * k + c);
    t.m12 = Float(ux * uy * k + uz * s);
    t.m13 = Float(ux * uz * k - uy * s);
    t.m21 = Float(uy * ux * k - uz * s);
    t.m22 = Float(uy * uy * k + c);
    t.m23 = Float(uy * uz * k + ux * s);
    t.m31 = Float(uz * ux * k + uy * s);
    t.m32 = Float(uz * uy * k - ux * s);
    t.m33 = Float(uz * uz * k + c);
    return t;
}

Transform3D Transform3D::makeAffine(const AffineTransform& a) {
    Transform3D t;
    t.m11 = a.a;
    t.m12 = a.b;
    t.m21 = a.c;
    t.m22 = a.d;
    t.m41 = a.tx;
    t.m42 = a.ty;
    return t;
}

bool Transform3D::isAffine() const {
    return m13 == 0 && m14 == 0 && m23 == 0 && m24 == 0 && m31 == 0 && m32 == 0 && m33 == 1 && m34 == 0 && m43 == 0 &&
           m44 == 1;
}

AffineTransform Transform3D::affine() const { return {m11, m12, m21, m22, m41, m42}; }

Transform3D Transform3D::concat(const Transform3D& o) const {
    const Float A[4][4] = {{m11, m12, m13, m14}, {m21, m22, m23, m24}, {m31, m32, m33, m34}, {m41, m42, m43, m44}};
    const Float B[4][4] = {{o.m11, o.m12, o.m13, o.m14},
                           {o.m21, o.m22, o.m23, o.m24},
                           {o.m31, o.m32, o.m33, o.m34},
                           {o.m41, o.m42, o.m43, o.m44}};
    Float R[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += double(A[i][k]) * B[k][j];
            R[i][j] = Float(s);
        }
    Transform3D t;
    t.m11 = R[0][0];
    t.m12 = R[0][1];
    t.m13 = R[0][2];
    t.m14 = R[0][3];
    t.m21 = R[1][0];
    t.m22 = R[1][1];
    t.m23 = R[1][2];
    t.m24 = R[1][3];
    t.m31 = R[2][0];
    t.m32 = R[2][1];
    t.m33 = R[2][2];
    t.m34 = R[2][3];
    t.m41 = R[3][0];
    t.m42 = R[3][1];
    t.m43 = R[3][2];
    t.m44 = R[3][3];
    return t;
}

}  // namespace gfx
