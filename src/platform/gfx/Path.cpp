#include "platform/gfx/Path.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool finite(std::initializer_list<Float> values) {
    for (Float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

Float distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

}  // namespace

int PathElement::pointCount() const {
    switch (type) {
    case PathElementType::MoveToPoint:
    case PathElementType::AddLineToPoint: return 1;
    case PathElementType::AddQuadCurveToPoint: return 2;
    case PathElementType::AddCurveToPoint: return 3;
    case PathElementType::CloseSubpath: return 0;
    }
    return 0;
}

bool PathElement::operator==(const PathElement& other) const {
    if (type != other.type) return false;
    for (int i = 0; i < pointCount(); ++i)
        if (!(points[i] == other.points[i])) return false;
    return true;
}

void Path::ensureStart(Float x, Float y) {
    if (!open_) moveTo(x, y);
}

void Path::moveTo(Float x, Float y) {
    if (!finite({x, y})) return;
    PathElement e;
    e.type = PathElementType::MoveToPoint;
    e.points[0] = {x, y};
    elements_.push_back(e);
    start_ = {x, y};
    open_ = true;
}

void Path::lineTo(Float x, Float y) {
    if (!finite({x, y})) return;
    ensureStart(x, y);
    PathElement e;
    e.type = PathElementType::AddLineToPoint;
    e.points[0] = {x, y};
    elements_.push_back(e);
}

void Path::quadCurveTo(Float cpx, Float cpy, Float x, Float y) {
    if (!finite({cpx, cpy, x, y})) return;
    ensureStart(cpx, cpy);
    PathElement e;
    e.type = PathElementType::AddQuadCurveToPoint;
    e.points[0] = {cpx, cpy};
    e.points[1] = {x, y};
    elements_.push_back(e);
}

void Path::curveTo(Float cp1x, Float cp1y, Float cp2x, Float cp2y, Float x, Float y) {
    if (!finite({cp1x, cp1y, cp2x, cp2y, x, y})) return;
    ensureStart(cp1x, cp1y);
    PathElement e;
    e.type = PathElementType::AddCurveToPoint;
    e.points[0] = {cp1x, cp1y};
    e.points[1] = {cp2x, cp2y};
    e.points[2] = {x, y};
    elements_.push_back(e);
}

void Path::closeSubpath() {
    if (!open_) return;
    if (!elements_.empty() && elements_.back().type == PathElementType::CloseSubpath) return;
    PathElement e;
    e.type = PathElementType::CloseSubpath;
    elements_.push_back(e);
}

void Path::addRect(const Rect& rect) {
    if (rect.isNull() || !finite({rect.x(), rect.y(), rect.width(), rect.height()})) return;
    moveTo(rect.minX(), rect.minY());
    lineTo(rect.maxX(), rect.minY());
    lineTo(rect.maxX(), rect.maxY());
    lineTo(rect.minX(), rect.maxY());
    closeSubpath();
}

void Path::addRects(const std::vector<Rect>& rects) {
    for (const Rect& r : rects) addRect(r);
}

void Path::addLines(const std::vector<Point>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) moveTo(points[i].x, points[i].y);
        else lineTo(points[i].x, points[i].y);
    }
}

void Path::addEllipseInRect(const Rect& rect) {
    if (rect.isNull() || !finite({rect.x(), rect.y(), rect.width(), rect.height()})) return;
    const Float k = 0.5522847498f;
    Float cx = rect.midX(), cy = rect.midY();
    Float rx = std::fabs(rect.width()) / 2, ry = std::fabs(rect.height()) / 2;
    moveTo(cx + rx, cy);
    curveTo(cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
    curveTo(cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
    curveTo(cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
    curveTo(cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
    closeSubpath();
}

void Path::addArc(Float x, Float y, Float radius, Float startAngle, Float endAngle, bool clockwise) {
    if (!finite({x, y, radius, startAngle, endAngle}) || radius < 0) return;
    double delta = double(endAngle) - startAngle;
    const double twoPi = 2 * kPi;
    if (!clockwise) {
        if (delta < 0) delta = std::fmod(delta, twoPi) + twoPi;
        if (delta > twoPi) delta = twoPi;
    } else {
        if (delta > 0) delta = std::fmod(delta, twoPi) - twoPi;
        if (delta < -twoPi) delta = -twoPi;
    }
    double a0 = startAngle;
    Point first{Float(x + radius * std::cos(a0)), Float(y + radius * std::sin(a0))};
    if (open_) lineTo(first.x, first.y);
    else moveTo(first.x, first.y);
    if (delta == 0 || radius == 0) return;
    int segments = std::max(1, int(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-9)));
    double step = delta / segments;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < segments; ++i) {
        double t0 = a0 + step * i, t1 = t0 + step;
        double c0 = std::cos(t0), s0 = std::sin(t0), c1 = std::cos(t1), s1 = std::sin(t1);
        curveTo(Float(x + radius * (c0 - k * s0)), Float(y + radius * (s0 + k * c0)), Float(x + radius * (c1 + k * s1)),
                Float(y + radius * (s1 - k * c1)), Float(x + radius * c1), Float(y + radius * s1));
    }
}

void Path::addArcToPoint(Float x1, Float y1, Float x2, Float y2, Float radius) {
    if (!finite({x1, y1, x2, y2, radius}) || radius < 0) return;
    if (!open_) {
        moveTo(x1, y1);
        return;
    }
    Point p0 = currentPoint(), p1{x1, y1}, p2{x2, y2};
    double ux = p0.x - p1.x, uy = p0.y - p1.y, vx = p2.x - p1.x, vy = p2.y - p1.y;
    double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    double cross = ux * vy - uy * vx;
    if (radius == 0 || lu == 0 || lv == 0 || std::fabs(cross) < 1e-9 * lu * lv) {
        lineTo(x1, y1);
        return;
    }
    ux /= lu;
    uy /= lu;
    vx /= lv;
    vy /= lv;
    double cosTheta = std::clamp(ux * vx + uy * vy, -1.0, 1.0);
    double theta = std::acos(cosTheta);  // angle at the corner
    double d = radius / std::tan(theta / 2);
    double t1x = p1.x + ux * d, t1y = p1.y + uy * d;
    double t2x = p1.x + vx * d, t2y = p1.y + vy * d;  // where the arc ends
    double bx = ux + vx, by = uy + vy, lb = std::hypot(bx, by);
    double h = radius / std::sin(theta / 2);
    double cx = p1.x + bx / lb * h, cy = p1.y + by / lb * h;
    double a0 = std::atan2(t1y - cy, t1x - cx), a1 = std::atan2(t2y - cy, t2x - cx);
    // The path turns the way the corner turns: from p0->p1 to p1->p2.
    double turn = (p1.x - p0.x) * (p2.y - p1.y) - (p1.y - p0.y) * (p2.x - p1.x);
    bool clockwise = turn < 0;
    addArc(Float(cx), Float(cy), radius, Float(a0), Float(a1), clockwise);
}

void Path::addPath(const Path& other, const AffineTransform& transform) {
    for (const PathElement& e : other.elements_) {
        Point p[3];
        for (int i = 0; i < e.pointCount(); ++i) p[i] = transform.apply(e.points[i]);
        switch (e.type) {
        case PathElementType::MoveToPoint: moveTo(p[0].x, p[0].y); break;
        case PathElementType::AddLineToPoint: lineTo(p[0].x, p[0].y); break;
        case PathElementType::AddQuadCurveToPoint: quadCurveTo(p[0].x, p[0].y, p[1].x, p[1].y); break;
        case PathElementType::AddCurveToPoint: curveTo(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y); break;
        case PathElementType::CloseSubpath: closeSubpath(); break;
        }
    }
}

Point Path::currentPoint() const {
    if (elements_.empty()) return Point::zero();
    const PathElement& e = elements_.back();
    if (e.type == PathElementType::CloseSubpath) return start_;
    return e.points[e.pointCount() - 1];
}

Rect Path::boundingBox() const {
    if (elements_.empty()) return Rect::null();
    Float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const PathElement& e : elements_)
        for (int i = 0; i < e.pointCount(); ++i) {
            x0 = std::min(x0, e.points[i].x);
            x1 = std::max(x1, e.points[i].x);
            y0 = std::min(y0, e.points[i].y);
            y1 = std::max(y1, e.points[i].y);
        }
    if (x0 > x1) return Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Path::pathBoundingBox() const {
    Float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const Polyline& pl : flattened(0.01f))
        for (const Point& p : pl.points) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1) return Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

std::vector<Path::Polyline> Path::flattened(Float tolerance) const {
    if (!(tolerance > 0)) tolerance = 0.1f;
    std::vector<Polyline> out;
    Point start, cur;
    auto segments = [&](Float controlLength) {
        return std::clamp(int(std::ceil(std::sqrt(controlLength / tolerance))), 1, 200);
    };
    for (const PathElement& e : elements_) {
        switch (e.type) {
        case PathElementType::MoveToPoint:
            out.push_back({});
            start = cur = e.points[0];
            out.back().points.push_back(cur);
            break;
        case PathElementType::AddLineToPoint:
            if (out.empty() || out.back().closed) out.push_back({{cur}, false});
            cur = e.points[0];
            out.back().points.push_back(cur);
            break;
        case PathElementType::AddQuadCurveToPoint: {
            if (out.empty() || out.back().closed) out.push_back({{cur}, false});
            Point p0 = cur, c = e.points[0], p1 = e.points[1];
            int n = segments(distance(p0, c) + distance(c, p1));
            for (int i = 1; i <= n; ++i) {
                Float t = Float(i) / n, u = 1 - t;
                out.back().points.push_back(
                    {u * u * p0.x + 2 * u * t * c.x + t * t * p1.x, u * u * p0.y + 2 * u * t * c.y + t * t * p1.y});
            }
            cur = p1;
            break;
        }
        case PathElementType::AddCurveToPoint: {
            if (out.empty() || out.back().closed) out.push_back({{cur}, false});
            Point p0 = cur, c1 = e.points[0], c2 = e.points[1], p1 = e.points[2];
            int n = segments(distance(p0, c1) + distance(c1, c2) + distance(c2, p1));
            for (int i = 1; i <= n; ++i) {
                Float t = Float(i) / n, u = 1 - t;
                Float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                out.back().points.push_back(
                    {a * p0.x + b * c1.x + c * c2.x + d * p1.x, a * p0.y + b * c1.y + c * c2.y + d * p1.y});
            }
            cur = p1;
            break;
        }
        case PathElementType::CloseSubpath:
            if (!out.empty()) out.back().closed = true;
            cur = start;
            break;
        }
    }
    return out;
}

bool Path::containsPoint(const Point& point, FillRule rule) const {
    if (!point.isFiniteValue()) return false;
    int winding = 0, crossings = 0;
    for (const Polyline& pl : flattened(0.05f)) {
        const auto& pts = pl.points;
        std::size_t n = pts.size();
        if (n < 2) continue;
        for (std::size_t i = 0; i < n; ++i) {
            Point a = pts[i], b = pts[(i + 1) % n];  // implicitly closed
            if ((a.y <= point.y) != (b.y <= point.y)) {
                double t = (double(point.y) - a.y) / (double(b.y) - a.y);
                double x = a.x + t * (double(b.x) - a.x);
                if (x > point.x) {
                    ++crossings;
                    winding += (b.y > a.y) ? 1 : -1;
                }
            }
        }
    }
    return rule == FillRule::EvenOdd ? (crossings % 2) == 1 : winding != 0;
}

Path Path::transformed(const AffineTransform& transform) const {
    Path p;
    p.addPath(*this, transform);
    return p;
}

void Path::apply(const std::function<void(const PathElement&)>& visitor) const {
    for (const PathElement& e : elements_) visitor(e);
}

}  // namespace gfx
