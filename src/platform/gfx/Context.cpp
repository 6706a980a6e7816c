#include "platform/gfx/Context.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/gfx/Image.h"
#include "platform/gfx/Shadow.h"

namespace gfx {

// ---- State kept beside cairo's: what cairo has no notion of.
struct Context::State {
    Color fill = Color::black();
    Color stroke = Color::black();
    Size shadowOffset;
    Float shadowBlur = 0;
    std::optional<Color> shadowColor;
    Float alpha = 1;
    bool antialias = true;
    bool singular = false;  // a transform went singular: draw nothing
    std::vector<Float> dash;
    Float dashPhase = 0;
};

namespace {

bool finite(std::initializer_list<Float> values) {
    for (Float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

bool finiteRect(const Rect& r) { return !r.isNull() && finite({r.x(), r.y(), r.width(), r.height()}); }

AffineTransform fromCairo(const cairo_matrix_t& m) {
    return {Float(m.xx), Float(m.yx), Float(m.xy), Float(m.yy), Float(m.x0), Float(m.y0)};
}

cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

// Takes the current path out of the way for an operation that must not touch
// it, and puts it back afterwards (under the same transform).
class PathGuard {
public:
    explicit PathGuard(cairo_t* cr) : cr_(cr), path_(cairo_copy_path(cr)) { cairo_new_path(cr); }
    ~PathGuard() {
        cairo_new_path(cr_);
        if (path_ && path_->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr_, path_.get());
    }
    PathGuard(const PathGuard&) = delete;
    PathGuard& operator=(const PathGuard&) = delete;

private:
    cairo_t* cr_;
    PathHandle path_;
};

void rectToCairo(cairo_t* cr, const Rect& r) {
    Rect s = r.standardized();
    cairo_rectangle(cr, s.x(), s.y(), s.width(), s.height());
}

// Clips to the rect and maps a surface onto it at the given points per
// pixel, its first row at the rect's bottom when flipped, at its top
// otherwise.
void placeSurfaceIn(cairo_t* cr, const Rect& r, double scaleX, double scaleY, bool flip) {
    cairo_new_path(cr);
    rectToCairo(cr, r);
    cairo_clip(cr);
    if (flip) {
        cairo_translate(cr, r.x(), r.maxY());
        cairo_scale(cr, scaleX, -scaleY);
    } else {
        cairo_translate(cr, r.x(), r.y());
        cairo_scale(cr, scaleX, scaleY);
    }
}

// Adds the path's elements to cairo's current path, from element `from` on.
// A quadratic curve starts at cairo's current point (its control point when
// there is none) and becomes the equal cubic.
void appendPathElements(cairo_t* cr, const Path& path, std::size_t from = 0) {
    const auto& elements = path.elements();
    for (std::size_t i = from; i < elements.size(); ++i) {
        const PathElement& e = elements[i];
        switch (e.type) {
        case PathElementType::MoveToPoint: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
        case PathElementType::AddLineToPoint: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
        case PathElementType::AddQuadCurveToPoint: {
            double x0 = e.points[0].x, y0 = e.points[0].y;
            if (cairo_has_current_point(cr)) cairo_get_current_point(cr, &x0, &y0);
            double cx = e.points[0].x, cy = e.points[0].y, x = e.points[1].x, y = e.points[1].y;
            if (!cairo_has_current_point(cr)) cairo_move_to(cr, x0, y0);
            cairo_curve_to(cr, x0 + 2.0 / 3 * (cx - x0), y0 + 2.0 / 3 * (cy - y0), x + 2.0 / 3 * (cx - x),
                           y + 2.0 / 3 * (cy - y), x, y);
            break;
        }
        case PathElementType::AddCurveToPoint:
            cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                           e.points[2].y);
            break;
        case PathElementType::CloseSubpath: cairo_close_path(cr); break;
        }
    }
}

// A path fragment that starts at the context's current point, so that the
// path code can build arcs; the leading move is not emitted.
Path fragmentFrom(cairo_t* cr, bool* hadPoint) {
    Path p;
    *hadPoint = cairo_has_current_point(cr);
    if (*hadPoint) {
        double x, y;
        cairo_get_current_point(cr, &x, &y);
        p.moveTo(Float(x), Float(y));
    }
    return p;
}

// Adds a fragment made by fragmentFrom, without the move to the current
// point that it starts with when the context had one.
void emitFragment(cairo_t* cr, const Path& p, bool hadPoint) { appendPathElements(cr, p, hadPoint ? 1 : 0); }

Path pathFromCairo(cairo_t* cr) {
    Path out;
    PathHandle cp(cairo_copy_path(cr));
    if (cp && cp->status == CAIRO_STATUS_SUCCESS) {
        for (int i = 0; i < cp->num_data; i += cp->data[i].header.length) {
            const cairo_path_data_t* d = &cp->data[i];
            switch (d->header.type) {
            case CAIRO_PATH_MOVE_TO: out.moveTo(Float(d[1].point.x), Float(d[1].point.y)); break;
            case CAIRO_PATH_LINE_TO: out.lineTo(Float(d[1].point.x), Float(d[1].point.y)); break;
            case CAIRO_PATH_CURVE_TO:
                out.curveTo(Float(d[1].point.x), Float(d[1].point.y), Float(d[2].point.x), Float(d[2].point.y),
                            Float(d[3].point.x), Float(d[3].point.y));
                break;
            case CAIRO_PATH_CLOSE_PATH: out.closeSubpath(); break;
            }
        }
    }
    return out;
}

std::vector<Context*>& contextStack() {
    static std::vector<Context*> stack;
    return stack;
}

}  // namespace

// ---- Shading

Shading Shading::axial(Point start, Point end, ShadingFunction function, bool extendStart, bool extendEnd) {
    Shading s;
    s.type = Type::Axial;
    s.start = start;
    s.end = end;
    s.function = std::move(function);
    s.extendStart = extendStart;
    s.extendEnd = extendEnd;
    return s;
}

Shading Shading::radial(Point startCenter, Float startRadius, Point endCenter, Float endRadius,
                        ShadingFunction function, bool extendStart, bool extendEnd) {
    Shading s;
    s.type = Type::Radial;
    s.start = startCenter;
    s.end = endCenter;
    s.startRadius = startRadius;
    s.endRadius = endRadius;
    s.function = std::move(function);
    s.extendStart = extendStart;
    s.extendEnd = extendEnd;
    return s;
}

std::string RecordedOperation::text() const {
    std::string s = name + "(";
    char buf[64];
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%s%g", i ? ", " : "", double(args[i]));
        s += buf;
    }
    return s + ")";
}

// ---- Context

Context::Context(cairo_t* cr, Float scale, YAxis axis, Float heightInPoints)
    : Context(CairoContextHandle::reference(cr), scale, axis, heightInPoints) {}

Context::Context(CairoContextHandle cr, Float scale, YAxis axis, Float heightInPoints) : cr_(std::move(cr)) {
    states_.emplace_back();
    resetRoot(scale, axis, heightInPoints);
}

Context::~Context() = default;

void Context::resetRoot(Float scale, YAxis axis, Float heightInPoints) {
    scale_ = (std::isfinite(scale) && scale > 0) ? scale : 1;
    axis_ = axis;
    height_ = std::isfinite(heightInPoints) ? heightInPoints : 0;
    root_ = AffineTransform::makeScale(scale_, scale_);
    if (axis_ == YAxis::Up) root_ = AffineTransform(1, 0, 0, -1, 0, height_).concat(root_);
    cairo_matrix_t m = toCairo(root_);
    cairo_set_matrix(cr(), &m);
}

Context::State& Context::state() { return states_.back(); }
const Context::State& Context::state() const { return states_.back(); }

void Context::record(const char* name, std::initializer_list<Float> args) {
    if (!log_) return;
    log_->push_back({name, std::vector<Float>(args), userTransform()});
}

void Context::note(const char* name, std::initializer_list<Float> args) { record(name, args); }

bool Context::usable() const { return !state().singular && cairo_status(cr()) == CAIRO_STATUS_SUCCESS; }

int Context::status() const { return int(cairo_status(cr())); }

void Context::save() {
    record("save");
    cairo_save(cr());
    states_.push_back(state());
}

void Context::restore() {
    record("restore");
    if (states_.size() <= 1) return;
    states_.pop_back();
    cairo_restore(cr());
}

int Context::saveDepth() const { return int(states_.size()) - 1; }

// ---- Transform

bool Context::applyTransform(const AffineTransform& t) {
    if (state().singular) return false;
    AffineTransform next = t.concat(ctm());
    if (!t.isInvertible() || !next.isInvertible()) {
        state().singular = true;
        return false;
    }
    cairo_matrix_t m = toCairo(t);
    cairo_transform(cr(), &m);
    return true;
}

void Context::translate(Float tx, Float ty) {
    record("translate", {tx, ty});
    if (!finite({tx, ty})) return;
    applyTransform(AffineTransform::makeTranslation(tx, ty));
}

void Context::scale(Float sx, Float sy) {
    record("scale", {sx, sy});
    if (!finite({sx, sy})) return;
    applyTransform(AffineTransform::makeScale(sx, sy));
}

void Context::rotate(Float angle) {
    record("rotate", {angle});
    if (!finite({angle})) return;
    applyTransform(AffineTransform::makeRotation(angle));
}

void Context::concat(const AffineTransform& t) {
    record("concat", {t.a, t.b, t.c, t.d, t.tx, t.ty});
    if (!finite({t.a, t.b, t.c, t.d, t.tx, t.ty})) {
        state().singular = true;
        return;
    }
    applyTransform(t);
}

AffineTransform Context::ctm() const {
    cairo_matrix_t m;
    cairo_get_matrix(cr(), &m);
    return fromCairo(m);
}

AffineTransform Context::userTransform() const { return ctm().concat(root_.invert()); }

bool Context::drawsPixelsAtDeviceScale() const {
    if (log_ || cairo_surface_get_type(cairo_get_target(cr())) != CAIRO_SURFACE_TYPE_IMAGE) return false;
    const AffineTransform t = userTransform();
    constexpr double kSlack = 1e-6;  // what composing with the root's inverse leaves
    return std::fabs(t.b) < kSlack && std::fabs(t.c) < kSlack && std::fabs(std::fabs(t.a) - 1) < kSlack &&
           std::fabs(std::fabs(t.d) - 1) < kSlack;
}

Point Context::convertPointToDeviceSpace(const Point& p) const { return ctm().apply(p); }
Point Context::convertPointToUserSpace(const Point& p) const { return ctm().invert().apply(p); }
Size Context::convertSizeToDeviceSpace(const Size& s) const { return ctm().apply(s); }
Size Context::convertSizeToUserSpace(const Size& s) const { return ctm().invert().apply(s); }
Rect Context::convertRectToDeviceSpace(const Rect& r) const { return ctm().apply(r); }
Rect Context::convertRectToUserSpace(const Rect& r) const { return ctm().invert().apply(r); }

// ---- Path

void Context::beginPath() {
    record("beginPath");
    cairo_new_path(cr());
    badPath_ = false;
}

void Context::moveTo(Float x, Float y) {
    record("moveTo", {x, y});
    if (!finite({x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    cairo_move_to(cr(), x, y);
}

void Context::lineTo(Float x, Float y) {
    record("lineTo", {x, y});
    if (!finite({x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    if (!cairo_has_current_point(cr())) cairo_move_to(cr(), x, y);
    cairo_line_to(cr(), x, y);
}

void Context::curveTo(Float cp1x, Float cp1y, Float cp2x, Float cp2y, Float x, Float y) {
    record("curveTo", {cp1x, cp1y, cp2x, cp2y, x, y});
    if (!finite({cp1x, cp1y, cp2x, cp2y, x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    if (!cairo_has_current_point(cr())) cairo_move_to(cr(), cp1x, cp1y);
    cairo_curve_to(cr(), cp1x, cp1y, cp2x, cp2y, x, y);
}

void Context::quadCurveTo(Float cpx, Float cpy, Float x, Float y) {
    record("quadCurveTo", {cpx, cpy, x, y});
    if (!finite({cpx, cpy, x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    Path p;
    double x0 = cpx, y0 = cpy;
    if (cairo_has_current_point(cr())) cairo_get_current_point(cr(), &x0, &y0);
    else cairo_move_to(cr(), x0, y0);
    p.moveTo(Float(x0), Float(y0));
    p.quadCurveTo(cpx, cpy, x, y);
    emitFragment(cr(), p, true);
}

void Context::closePath() {
    record("closePath");
    if (cairo_has_current_point(cr())) cairo_close_path(cr());
}

void Context::addRect(const Rect& rect) {
    record("addRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || state().singular) {
        badPath_ = true;
        return;
    }
    Path p;
    p.addRect(rect);
    appendPathElements(cr(), p);
}

void Context::addRects(const std::vector<Rect>& rects) {
    for (const Rect& r : rects) addRect(r);
}

void Context::addLines(const std::vector<Point>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) moveTo(points[i].x, points[i].y);
        else lineTo(points[i].x, points[i].y);
    }
}

void Context::addEllipseInRect(const Rect& rect) {
    record("addEllipseInRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || state().singular) {
        badPath_ = true;
        return;
    }
    Path p;
    p.addEllipseInRect(rect);
    appendPathElements(cr(), p);
}

void Context::addArc(Float x, Float y, Float radius, Float startAngle, Float endAngle, bool clockwise) {
    record("addArc", {x, y, radius, startAngle, endAngle, Float(clockwise ? 1 : 0)});
    if (!finite({x, y, radius, startAngle, endAngle}) || state().singular) {
        badPath_ = true;
        return;
    }
    bool had;
    Path p = fragmentFrom(cr(), &had);
    p.addArc(x, y, radius, startAngle, endAngle, clockwise);
    emitFragment(cr(), p, had);
}

void Context::addArcToPoint(Float x1, Float y1, Float x2, Float y2, Float radius) {
    record("addArcToPoint", {x1, y1, x2, y2, radius});
    if (!finite({x1, y1, x2, y2, radius}) || state().singular) {
        badPath_ = true;
        return;
    }
    bool had;
    Path p = fragmentFrom(cr(), &had);
    p.addArcToPoint(x1, y1, x2, y2, radius);
    emitFragment(cr(), p, had);
}

void Context::addPath(const Path& path) {
    record("addPath", {Float(path.elements().size())});
    if (state().singular) {
        badPath_ = true;
        return;
    }
    appendPathElements(cr(), path);
}

bool Context::isPathEmpty() const { return path().isEmpty(); }

Point Context::currentPoint() const {
    if (!cairo_has_current_point(cr())) return Point::zero();
    double x, y;
    cairo_get_current_point(cr(), &x, &y);
    return {Float(x), Float(y)};
}

Rect Context::pathBoundingBox() const {
    // The box of every point of the path, control points included, as
    // Path::boundingBox gives it, read straight from cairo's copy of the
    // path: a plot asks for it once per bar.
    PathHandle cp(cairo_copy_path(cr()));
    if (!cp || cp->status != CAIRO_STATUS_SUCCESS) return Rect::null();
    Float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (int i = 0; i < cp->num_data; i += cp->data[i].header.length) {
        for (int k = 1; k < cp->data[i].header.length; ++k) {
            const Float x = Float(cp->data[i + k].point.x), y = Float(cp->data[i + k].point.y);
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    if (x0 > x1) return Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

Path Context::path() const { return pathFromCairo(cr()); }

bool Context::pathContainsPoint(const Point& p, PathDrawingMode mode) const {
    if (!p.isFiniteValue() || badPath_) return false;
    cairo_fill_rule_t old = cairo_get_fill_rule(cr());
    bool evenOdd = mode == PathDrawingMode::EOFill || mode == PathDrawingMode::EOFillStroke;
    cairo_set_fill_rule(cr(), evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    bool in = false;
    if (mode != PathDrawingMode::Stroke) in = cairo_in_fill(cr(), p.x, p.y);
    if (!in && (mode == PathDrawingMode::Stroke || mode == PathDrawingMode::FillStroke ||
                mode == PathDrawingMode::EOFillStroke))
        in = cairo_in_stroke(cr(), p.x, p.y);
    cairo_set_fill_rule(cr(), old);
    return in;
}

// ---- Painting

void Context::applySource(const Color& color) {
    auto c = color.rgba();
    cairo_set_source_rgba(cr(), c[0], c[1], c[2], c[3] * state().alpha);
}

template <class F>
void Context::withShadow(F paint, bool stroke) {
    // `paint(cr)` draws the shape with the current path of cr (kept).
    const State& s = state();
    if (s.shadowColor && s.shadowColor->alpha() > 0 && s.alpha > 0) {
        double x0, y0, x1, y1;
        if (stroke) cairo_stroke_extents(cr(), &x0, &y0, &x1, &y1);
        else cairo_fill_extents(cr(), &x0, &y0, &x1, &y1);
        Rect bounds = userRectToDevice(cr(), x0, y0, x1, y1);
        ShadowParams params{root_.apply(s.shadowOffset), s.shadowBlur * scale_,
                            s.shadowColor->withAlpha(s.shadowColor->alpha() * s.alpha)};
        drawShadow(cr(), bounds, params, [&](cairo_t* target) { paint(target); });
    }
    paint(cr());
}

void Context::doFill(bool evenOdd, bool preserve) {
    if (badPath_ || !usable()) {
        if (!preserve) {
            cairo_new_path(cr());
            badPath_ = false;
        }
        return;
    }
    cairo_set_fill_rule(cr(), evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_antialias(cr(), state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    applySource(state().fill);
    withShadow(
        [&](cairo_t* cr) {
            if (cr != cairo()) {
                auto c = state().fill.rgba();
                cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3] * state().alpha);
            }
            cairo_fill_preserve(cr);
        },
        false);
    if (!preserve) cairo_new_path(cr());
}

void Context::doStroke(bool preserve) {
    if (badPath_ || !usable()) {
        if (!preserve) {
            cairo_new_path(cr());
            badPath_ = false;
        }
        return;
    }
    cairo_set_antialias(cr(), state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    applySource(state().stroke);
    withShadow(
        [&](cairo_t* cr) {
            if (cr != cairo()) {
                auto c = state().stroke.rgba();
                cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3] * state().alpha);
            }
            cairo_stroke_preserve(cr);
        },
        true);
    if (!preserve) cairo_new_path(cr());
}

void Context::fillPath() {
    record("fillPath");
    doFill(false, false);
    badPath_ = false;
}

void Context::eoFillPath() {
    record("eoFillPath");
    doFill(true, false);
    badPath_ = false;
}

void Context::strokePath() {
    record("strokePath");
    doStroke(false);
    badPath_ = false;
}

void Context::drawPath(PathDrawingMode mode) {
    record("drawPath", {Float(int(mode))});
    switch (mode) {
    case PathDrawingMode::Fill: doFill(false, false); break;
    case PathDrawingMode::EOFill: doFill(true, false); break;
    case PathDrawingMode::Stroke: doStroke(false); break;
    case PathDrawingMode::FillStroke:
        doFill(false, true);
        doStroke(false);
        break;
    case PathDrawingMode::EOFillStroke:
        doFill(true, true);
        doStroke(false);
        break;
    }
    cairo_new_path(cr());
    badPath_ = false;
}

void Context::fillRect(const Rect& rect) {
    record("fillRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || !usable()) return;
    bool bad = badPath_;
    badPath_ = false;
    {
        PathGuard guard(cr());
        rectToCairo(cr(), rect);
        doFill(false, false);
    }
    badPath_ = bad;
}

void Context::fillRects(const std::vector<Rect>& rects) {
    for (const Rect& r : rects) fillRect(r);
}

void Context::strokeRect(const Rect& rect) {
    record("strokeRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    cairo_new_path(cr());
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    rectToCairo(cr(), rect);
    doStroke(false);
}

void Context::strokeRectWithWidth(const Rect& rect, Float width) {
    SavedState saved(*this);
    setLineWidth(width);
    strokeRect(rect);
}

void Context::fillEllipseInRect(const Rect& rect) {
    record("fillEllipseInRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    cairo_new_path(cr());
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    Path p;
    p.addEllipseInRect(rect);
    appendPathElements(cr(), p);
    doFill(false, false);
}

void Context::strokeEllipseInRect(const Rect& rect) {
    record("strokeEllipseInRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    cairo_new_path(cr());
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    Path p;
    p.addEllipseInRect(rect);
    appendPathElements(cr(), p);
    doStroke(false);
}

void Context::strokeLineSegments(const std::vector<Point>& points) {
    if (log_) {
        RecordedOperation op{"strokeLineSegments", {}, userTransform()};
        for (const Point& p : points) {
            op.args.push_back(p.x);
            op.args.push_back(p.y);
        }
        log_->push_back(op);
    }
    cairo_new_path(cr());
    badPath_ = false;
    if (!usable()) return;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        if (!points[i].isFiniteValue() || !points[i + 1].isFiniteValue()) continue;
        cairo_move_to(cr(), points[i].x, points[i].y);
        cairo_line_to(cr(), points[i + 1].x, points[i + 1].y);
    }
    doStroke(false);
}

void Context::clearRect(const Rect& rect) {
    record("clearRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || !usable()) return;
    PathGuard guard(cr());
    CairoSavedState saved(cr());
    rectToCairo(cr(), rect);
    cairo_set_operator(cr(), CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr());
}

// ---- Clipping

void Context::clip() {
    record("clip");
    if (!badPath_ && usable()) {
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr());
    }
    cairo_new_path(cr());
    badPath_ = false;
}

void Context::eoClip() {
    record("eoClip");
    if (!badPath_ && usable()) {
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr());
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    }
    cairo_new_path(cr());
    badPath_ = false;
}

void Context::clipToRect(const Rect& rect) {
    record("clipToRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!usable()) return;
    PathGuard guard(cr());
    if (!finiteRect(rect)) {
        if (rect.isNull()) {
            cairo_rectangle(cr(), 0, 0, 0, 0);
            cairo_clip(cr());
        }
        return;
    }
    rectToCairo(cr(), rect);
    cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr());
}

void Context::clipToRects(const std::vector<Rect>& rects) {
    record("clipToRects", {Float(rects.size())});
    if (!usable()) return;
    PathGuard guard(cr());
    for (const Rect& r : rects)
        if (finiteRect(r)) rectToCairo(cr(), r);
    cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr());
}

Rect Context::clipBoundingBox() const {
    double x0, y0, x1, y1;
    cairo_clip_extents(cr(), &x0, &y0, &x1, &y1);
    return {Float(x0), Float(y0), Float(x1 - x0), Float(y1 - y0)};
}

// ---- Attributes

void Context::setLineWidth(Float width) {
    record("setLineWidth", {width});
    if (!std::isfinite(width) || width < 0) return;
    cairo_set_line_width(cr(), width);
}

void Context::setLineCap(LineCap cap) {
    record("setLineCap", {Float(int(cap))});
    cairo_line_cap_t c = CAIRO_LINE_CAP_BUTT;
    if (cap == LineCap::Round) c = CAIRO_LINE_CAP_ROUND;
    else if (cap == LineCap::Square) c = CAIRO_LINE_CAP_SQUARE;
    cairo_set_line_cap(cr(), c);
}

void Context::setLineJoin(LineJoin join) {
    record("setLineJoin", {Float(int(join))});
    cairo_line_join_t j = CAIRO_LINE_JOIN_MITER;
    if (join == LineJoin::Round) j = CAIRO_LINE_JOIN_ROUND;
    else if (join == LineJoin::Bevel) j = CAIRO_LINE_JOIN_BEVEL;
    cairo_set_line_join(cr(), j);
}

void Context::setMiterLimit(Float limit) {
    record("setMiterLimit", {limit});
    if (!std::isfinite(limit) || limit < 0) return;
    cairo_set_miter_limit(cr(), limit);
}

void Context::setLineDash(Float phase, const std::vector<Float>& lengths) {
    if (log_) {
        RecordedOperation op{"setLineDash", {phase}, userTransform()};
        op.args.insert(op.args.end(), lengths.begin(), lengths.end());
        log_->push_back(op);
    }
    bool valid = !lengths.empty();
    double sum = 0;
    for (Float l : lengths) {
        if (!std::isfinite(l) || l < 0) valid = false;
        else sum += l;
    }
    if (!(sum > 0) || !std::isfinite(sum)) valid = false;
    if (!std::isfinite(phase)) phase = 0;
    if (!valid) {
        state().dash.clear();
        state().dashPhase = 0;
        cairo_set_dash(cr(), nullptr, 0, 0);
        return;
    }
    state().dash = lengths;
    state().dashPhase = phase;
    std::vector<double> d(lengths.begin(), lengths.end());
    cairo_set_dash(cr(), d.data(), int(d.size()), phase);
}

Float Context::lineWidth() const { return Float(cairo_get_line_width(cr())); }

LineCap Context::lineCap() const {
    switch (cairo_get_line_cap(cr())) {
    case CAIRO_LINE_CAP_ROUND: return LineCap::Round;
    case CAIRO_LINE_CAP_SQUARE: return LineCap::Square;
    default: return LineCap::Butt;
    }
}

LineJoin Context::lineJoin() const {
    switch (cairo_get_line_join(cr())) {
    case CAIRO_LINE_JOIN_ROUND: return LineJoin::Round;
    case CAIRO_LINE_JOIN_BEVEL: return LineJoin::Bevel;
    default: return LineJoin::Miter;
    }
}

Float Context::miterLimit() const { return Float(cairo_get_miter_limit(cr())); }
std::vector<Float> Context::lineDash() const { return state().dash; }
Float Context::lineDashPhase() const { return state().dashPhase; }

void Context::setFillColor(const Color& color) {
    if (log_) {
        RecordedOperation op{"setFillColor", {}, userTransform()};
        auto c = color.rgba();
        op.args.assign(c.begin(), c.end());
        log_->push_back(op);
    }
    state().fill = color;
}

void Context::setStrokeColor(const Color& color) {
    if (log_) {
        RecordedOperation op{"setStrokeColor", {}, userTransform()};
        auto c = color.rgba();
        op.args.assign(c.begin(), c.end());
        log_->push_back(op);
    }
    state().stroke = color;
}

const Color& Context::fillColor() const { return state().fill; }
const Color& Context::strokeColor() const { return state().stroke; }

void Context::setAlpha(Float alpha) {
    record("setAlpha", {alpha});
    if (std::isnan(alpha)) return;
    state().alpha = std::clamp<Float>(alpha, 0, 1);
}

Float Context::alpha() const { return state().alpha; }

void Context::setShouldAntialias(bool antialias) {
    record("setShouldAntialias", {Float(antialias ? 1 : 0)});
    state().antialias = antialias;
}

bool Context::shouldAntialias() const { return state().antialias; }

void Context::setShadow(Size offset, Float blur, std::optional<Color> color) {
    if (log_) {
        RecordedOperation op{"setShadow", {offset.width, offset.height, blur}, userTransform()};
        if (color) {
            auto c = color->rgba();
            op.args.insert(op.args.end(), c.begin(), c.end());
        }
        log_->push_back(op);
    }
    if (!finite({offset.width, offset.height})) offset = Size::zero();
    if (!std::isfinite(blur) || blur < 0) blur = 0;
    state().shadowOffset = offset;
    state().shadowBlur = blur;
    state().shadowColor = color;
}

void Context::setShadow(Size offset, Float blur) { setShadow(offset, blur, Color::gray(0, 1.0f / 3)); }

bool Context::hasShadow() const { return state().shadowColor && state().shadowColor->alpha() > 0; }

// ---- Images

void Context::drawImageImpl(const Rect& rect, const Image& image, bool flip) {
    if (!finiteRect(rect) || !usable() || rect.isEmpty()) return;
    PathGuard guard(cr());
    Rect r = rect.standardized();
    int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return;
    rectToCairo(cr(), r);
    auto paint = [&](cairo_t* cr) {
        CairoSavedState saved(cr);
        placeSurfaceIn(cr, r, r.width() / w, r.height() / h, flip);
        cairo_set_source_surface(cr, image.surface(), 0, 0);
        cairo_pattern_t* pat = cairo_get_source(cr);
        cairo_pattern_set_extend(pat, CAIRO_EXTEND_PAD);
        cairo_pattern_set_filter(pat, image.shouldInterpolate() ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_paint_with_alpha(cr, state().alpha);
    };
    withShadow(paint, false);
}

void Context::drawImage(const Rect& rect, const Image& image) {
    record("drawImage", {rect.x(), rect.y(), rect.width(), rect.height()});
    drawImageImpl(rect, image, true);
}

void Context::drawImageTopDown(const Rect& rect, const Image& image) {
    record("drawImageTopDown", {rect.x(), rect.y(), rect.width(), rect.height()});
    drawImageImpl(rect, image, false);
}

void Context::drawTiledImage(const Rect& tile, const Image& image) {
    record("drawTiledImage", {tile.x(), tile.y(), tile.width(), tile.height()});
    if (!finiteRect(tile) || tile.isEmpty() || !usable()) return;
    int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return;
    Rect r = tile.standardized();
    AffineTransform place = AffineTransform(r.width() / w, 0, 0, -r.height() / h, r.x(), r.maxY());
    if (!place.isInvertible()) return;
    PathGuard guard(cr());
    double x0, y0, x1, y1;
    cairo_clip_extents(cr(), &x0, &y0, &x1, &y1);
    cairo_rectangle(cr(), x0, y0, x1 - x0, y1 - y0);
    withShadow(
        [&](cairo_t* cr) {
            PatternHandle pat(cairo_pattern_create_for_surface(image.surface()));
            cairo_pattern_set_extend(pat.get(), CAIRO_EXTEND_REPEAT);
            cairo_matrix_t m = toCairo(place.invert());
            cairo_pattern_set_matrix(pat.get(), &m);
            cairo_pattern_set_filter(pat.get(), image.shouldInterpolate() ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
            CairoSavedState saved(cr);
            cairo_set_source(cr, pat.get());
            cairo_paint_with_alpha(cr, state().alpha);
        },
        false);
}

// ---- Shadings

namespace {

using Sample = std::pair<double, std::array<Float, 4>>;

std::array<Float, 4> evaluate(const ShadingFunction& f, double t) {
    std::array<Float, 4> c = f(Float(t));
    for (Float& v : c) v = std::isfinite(v) ? std::clamp<Float>(v, 0, 1) : 0;
    return c;
}

// Adds samples between a and b wherever the function is not close to the
// straight blend of its ends, so that hard edges stay hard.
void refine(const ShadingFunction& f, double a, const std::array<Float, 4>& fa, double b,
            const std::array<Float, 4>& fb, int depth, std::vector<Sample>& out) {
    double m = (a + b) / 2;
    std::array<Float, 4> fm = evaluate(f, m);
    Float worst = 0;
    for (int i = 0; i < 4; ++i) worst = std::max(worst, std::fabs(fm[i] - (fa[i] + fb[i]) / 2));
    if (depth > 0 && worst > 1.0f / 512) {
        refine(f, a, fa, m, fm, depth - 1, out);
        out.push_back({m, fm});
        refine(f, m, fm, b, fb, depth - 1, out);
    }
}

}  // namespace

ShadingRamp sampleShadingFunction(const ShadingFunction& f, const std::vector<Float>& breakpoints) {
    // A regular grid, and every breakpoint with the inputs just beside it
    // (a stop may start a hard edge).
    const int n = 32;
    std::vector<double> at;
    for (int i = 0; i <= n; ++i) at.push_back(double(i) / n);
    constexpr double kBeside = 1e-6;
    std::size_t extra = 0;
    for (Float b : breakpoints) {
        if (!(b >= 0 && b <= 1) || ++extra > 4096) continue;  // bounded work
        for (double t : {double(b) - kBeside, double(b), double(b) + kBeside})
            if (t >= 0 && t <= 1) at.push_back(t);
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    std::vector<Sample> out;
    std::array<Float, 4> prev = evaluate(f, at[0]);
    out.push_back({at[0], prev});
    for (std::size_t i = 1; i < at.size(); ++i) {
        std::array<Float, 4> cur = evaluate(f, at[i]);
        if (at[i] - at[i - 1] > 2 * kBeside) refine(f, at[i - 1], prev, at[i], cur, 18, out);
        out.push_back({at[i], cur});
        prev = cur;
    }
    return out;
}

namespace {

bool drawableShading(const Shading& shading) {
    return shading.function && shading.start.isFiniteValue() && shading.end.isFiniteValue() &&
           finite({shading.startRadius, shading.endRadius});
}

// The shading's cairo pattern, made anew. It is released however the
// shading function leaves the sampling, by return or by throwing.
PatternHandle newShadingPattern(const Shading& shading) {
    cairo_pattern_t* created;
    if (shading.type == Shading::Type::Axial) {
        created = cairo_pattern_create_linear(shading.start.x, shading.start.y, shading.end.x, shading.end.y);
    } else {
        created = cairo_pattern_create_radial(shading.start.x, shading.start.y, std::max<Float>(0, shading.startRadius),
                                              shading.end.x, shading.end.y, std::max<Float>(0, shading.endRadius));
    }
    PatternHandle pat(created);
    auto addStops = [&](const ShadingRamp& ramp) {
        for (const Sample& s : ramp)
            cairo_pattern_add_color_stop_rgba(pat.get(), s.first, s.second[0], s.second[1], s.second[2], s.second[3]);
    };
    if (shading.ramp) addStops(*shading.ramp);
    else addStops(sampleShadingFunction(shading.function, shading.breakpoints));
    bool extend = shading.extendStart || shading.extendEnd;
    cairo_pattern_set_extend(pat.get(), extend ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    return pat;
}

// How many patterns of sampled ramps a context keeps.
constexpr std::size_t kKeptRampPatterns = 8;
// The scale exponent that marks the pattern of a shading of no length.
constexpr int kPointLike = -1000;

}  // namespace

PatternHandle Context::shadingPattern(const Shading& shading) {
    if (shading.type == Shading::Type::Axial && shading.ramp) {
        if (PatternHandle pat = rampPattern(shading)) return pat;
    }
    return newShadingPattern(shading);
}

PatternHandle Context::rampPattern(const Shading& shading) {
    const double sx = shading.start.x, sy = shading.start.y;
    const double dx = shading.end.x - sx, dy = shading.end.y - sy;
    const double lengthSquared = dx * dx + dy * dy;
    if (!std::isfinite(lengthSquared)) return PatternHandle();
    // The kept pattern runs along a length within a factor of 1.4 of the
    // shading's, so the matrix that moves it there holds numbers near 1 and
    // keeps its precision in cairo's fixed-point arithmetic. A shading of no
    // length (a bar narrower than a pixel, aligned to one edge) looks the
    // same wherever it lies: its pattern is kept apart and never moved.
    const bool pointLike = lengthSquared == 0;
    const int exponent = pointLike ? kPointLike : static_cast<int>(std::lround(std::log2(lengthSquared) / 2));
    if (!pointLike && (exponent < -40 || exponent > 40)) return PatternHandle();
    const bool extend = shading.extendStart || shading.extendEnd;
    auto kept = std::find_if(rampPatterns_.begin(), rampPatterns_.end(), [&](const RampPattern& r) {
        return r.ramp == shading.ramp && r.scaleExponent == exponent && r.extend == extend;
    });
    if (kept == rampPatterns_.end()) {
        Shading along = shading;
        along.start = Point(0, 0);
        along.end = pointLike ? Point(0, 0) : Point(Float(std::ldexp(1.0, exponent)), 0);
        PatternHandle made = newShadingPattern(along);
        if (cairo_pattern_status(made.get()) != CAIRO_STATUS_SUCCESS) return PatternHandle();
        if (rampPatterns_.size() >= kKeptRampPatterns) rampPatterns_.erase(rampPatterns_.begin());
        rampPatterns_.push_back({shading.ramp, exponent, extend, std::move(made)});
        kept = rampPatterns_.end() - 1;
    }
    if (pointLike) return PatternHandle::reference(kept->pattern.get());
    // From user space onto the pattern's line: the point at start goes to
    // the origin, the one at end to (2^exponent, 0), and the directions
    // across the line stay across it.
    const double c = std::ldexp(1.0, exponent) / lengthSquared;
    cairo_matrix_t m;
    // Its determinant, c^2 times the length squared, lies near 1.
    cairo_matrix_init(&m, c * dx, -c * dy, c * dy, c * dx, -c * (dx * sx + dy * sy), c * (dy * sx - dx * sy));
    cairo_pattern_set_matrix(kept->pattern.get(), &m);
    return PatternHandle::reference(kept->pattern.get());
}

void Context::drawShading(const Shading& shading) {
    record("drawShading",
           {shading.start.x, shading.start.y, shading.end.x, shading.end.y, shading.startRadius, shading.endRadius});
    if (!usable() || !drawableShading(shading)) return;
    PatternHandle pat = shadingPattern(shading);
    const bool extend = shading.extendStart || shading.extendEnd;

    PathGuard guard(cr());
    CairoSavedState saved(cr());
    // One end extended and the other not: cut the padded pattern at the end
    // that must not extend.
    if (extend && !(shading.extendStart && shading.extendEnd) && shading.type == Shading::Type::Axial) {
        double dx = shading.end.x - shading.start.x, dy = shading.end.y - shading.start.y;
        double len = std::hypot(dx, dy);
        if (len > 0) {
            dx /= len;
            dy /= len;
            const double big = 1e6;
            Point base = shading.extendStart ? shading.end : shading.start;
            double sign = shading.extendStart ? -1 : 1;  // towards the kept side
            double nx = -dy, ny = dx;
            cairo_move_to(cr(), base.x + nx * big, base.y + ny * big);
            cairo_line_to(cr(), base.x - nx * big, base.y - ny * big);
            cairo_line_to(cr(), base.x - nx * big + sign * dx * big, base.y - ny * big + sign * dy * big);
            cairo_line_to(cr(), base.x + nx * big + sign * dx * big, base.y + ny * big + sign * dy * big);
            cairo_close_path(cr());
            cairo_clip(cr());
        }
    }
    double x0, y0, x1, y1;
    cairo_clip_extents(cr(), &x0, &y0, &x1, &y1);
    cairo_rectangle(cr(), x0, y0, x1 - x0, y1 - y0);
    withShadow(
        [&](cairo_t* cr) {
            CairoSavedState savedForPaint(cr);
            cairo_set_source(cr, pat.get());
            cairo_paint_with_alpha(cr, state().alpha);
        },
        false);
    cairo_new_path(cr());
}

void Context::fillPathWithShading(const Shading& shading) {
    record("fillPathWithShading",
           {shading.start.x, shading.start.y, shading.end.x, shading.end.y, shading.startRadius, shading.endRadius});
    if (badPath_ || !usable() || !drawableShading(shading)) {
        cairo_new_path(cr());
        badPath_ = false;
        return;
    }
    const bool oneEndExtended = shading.extendStart != shading.extendEnd && shading.type == Shading::Type::Axial;
    if (hasShadow() || state().alpha < 1 || oneEndExtended) {
        // A shadow, the global alpha and the cut of a one-sided extension
        // belong to painting through a clip: paint that way.
        CairoSavedState saved(cr());
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr());
        drawShading(shading);
        return;
    }
    // The path's coverage times the pattern: what painting the pattern
    // through the path as a clip gives, without making the clip. The
    // antialiasing in force is the one a clip would take.
    PatternHandle pat = shadingPattern(shading);
    CairoSavedState saved(cr());
    cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    cairo_set_source(cr(), pat.get());
    cairo_fill(cr());
}

// ---- Off-screen layers

std::shared_ptr<OffscreenLayer> Context::createLayer(Size size) {
    record("createLayer", {size.width, size.height});
    if (!finite({size.width, size.height}) || size.width < 0 || size.height < 0) size = Size::zero();
    auto layer = std::make_shared<OffscreenLayer>(cairo_get_target(cr()), size, scale_, axis_);
    return layer;
}

void Context::drawLayer(const Rect& rect, const OffscreenLayer& layer) {
    record("drawLayer", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || rect.isEmpty() || !usable()) return;
    double pw = std::ceil(layer.size().width * layer.scale());
    double ph = std::ceil(layer.size().height * layer.scale());
    if (pw <= 0 || ph <= 0) return;
    Rect r = rect.standardized();
    PathGuard guard(cr());
    rectToCairo(cr(), r);
    bool up = axis_ == YAxis::Up;
    withShadow(
        [&](cairo_t* cr) {
            CairoSavedState saved(cr);
            placeSurfaceIn(cr, r, r.width() / pw, r.height() / ph, up);
            cairo_set_source_surface(cr, layer.surface(), 0, 0);
            cairo_paint_with_alpha(cr, state().alpha);
        },
        false);
}

void Context::drawLayer(const Point& point, const OffscreenLayer& layer) {
    drawLayer(Rect(point, layer.size()), layer);
}

// ---- Pages

void Context::beginPage() {
    record("beginPage");
    while (states_.size() > 1) restore();
    states_.front() = State();
    cairo_new_path(cr());
    badPath_ = false;
    cairo_matrix_t m = toCairo(root_);
    cairo_set_matrix(cr(), &m);
}

void Context::endPage() { record("endPage"); }

void Context::flush() { cairo_surface_flush(cairo_get_target(cr())); }

void Context::paintWithEffects(const std::function<void(cairo_t*)>& draw, const Rect& deviceBounds) {
    if (!usable()) return;
    PathGuard guard(cr());
    const State& s = state();
    if (s.shadowColor && s.shadowColor->alpha() > 0 && s.alpha > 0) {
        ShadowParams params{root_.apply(s.shadowOffset), s.shadowBlur * scale_,
                            s.shadowColor->withAlpha(s.shadowColor->alpha() * s.alpha)};
        drawShadow(cr(), deviceBounds, params, draw);
    }
    draw(cr());
}

// ---- Image contexts

namespace {

// A new cairo context over a new surface; the context holds the only
// reference to the surface.
CairoContextHandle createOver(SurfaceHandle surface) { return CairoContextHandle(cairo_create(surface.get())); }

// A reference of its own to the surface the context draws into.
SurfaceHandle targetOf(const Context& context) { return SurfaceHandle::reference(cairo_get_target(context.cairo())); }

// The pixels of an image context of `size` points at `scale`.
std::pair<int, int> imagePixels(Size size, Float scale) {
    if (!(std::isfinite(scale) && scale > 0)) scale = 1;
    double w = std::isfinite(size.width) ? std::max<Float>(0, size.width) : 0;
    double h = std::isfinite(size.height) ? std::max<Float>(0, size.height) : 0;
    int pw = int(std::min(32767.0, std::ceil(w * scale - 1e-4)));
    int ph = int(std::min(32767.0, std::ceil(h * scale - 1e-4)));
    return {std::max(pw, 0), std::max(ph, 0)};
}

SurfaceHandle makeImageSurface(Size size, Float scale) {
    auto [pw, ph] = imagePixels(size, scale);
    return SurfaceHandle(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph));
}

cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

ImageContext::ImageContext(Size size, Float scale, YAxis axis)
    : Context(createOver(makeImageSurface(size, scale)), scale, axis, size.height),
      surface_(targetOf(*this)),
      size_(size) {}

std::shared_ptr<Image> ImageContext::image() {
    cairo_surface_flush(surface_.get());
    return Image::fromSurface(surface_.get(), deviceScale());
}

std::shared_ptr<Image> ImageContext::drawnOnFirstUse(Size size, Float scale, std::function<void(Context&)> draw) {
    auto [pw, ph] = imagePixels(size, scale);
    if (!(std::isfinite(scale) && scale > 0)) scale = 1;
    return Image::deferred(pw, ph, scale, [size, scale, draw = std::move(draw)] {
        ImageContext context(size, scale);
        draw(context);
        cairo_surface_flush(context.surface());
        // The context's own surface becomes the image's: nothing draws into
        // it once the context is gone.
        return SurfaceHandle::reference(context.surface());
    });
}

// ---- PDF contexts

namespace {
CairoContextHandle createPDF(Rect mediaBox, std::vector<std::uint8_t>* out) {
    double w = std::isfinite(mediaBox.width()) ? std::max<Float>(1, std::fabs(mediaBox.width())) : 1;
    double h = std::isfinite(mediaBox.height()) ? std::max<Float>(1, std::fabs(mediaBox.height())) : 1;
    return createOver(SurfaceHandle(cairo_pdf_surface_create_for_stream(appendToVector, out, w, h)));
}
}  // namespace

PDFContext::PDFContext(Rect mediaBox)
    : Context(createPDF(mediaBox, &data_), 1, YAxis::Up,
              std::isfinite(mediaBox.height()) ? std::max<Float>(1, std::fabs(mediaBox.height())) : 1),
      surface_(targetOf(*this)),
      mediaBox_(mediaBox) {}

PDFContext::~PDFContext() { close(); }

void PDFContext::beginPage() {
    if (closed_) return;
    if (inPage_) endPage();
    Context::beginPage();
    inPage_ = true;
}

void PDFContext::endPage() {
    if (closed_) return;
    Context::endPage();
    cairo_show_page(cairo());
    inPage_ = false;
}

void PDFContext::close() {
    if (closed_) return;
    if (inPage_) endPage();
    cairo_surface_finish(surface_.get());
    closed_ = true;
}

const std::vector<std::uint8_t>& PDFContext::data() {
    close();
    return data_;
}

// ---- Recording contexts

RecordingContext::RecordingContext(Size size, Float scale, YAxis axis)
    : Context(createOver(makeImageSurface(size, scale)), scale, axis, size.height), surface_(targetOf(*this)) {
    setRecording(&ops_);
}

RecordingContext::~RecordingContext() { setRecording(nullptr); }

std::vector<std::string> RecordingContext::operationTexts() const {
    std::vector<std::string> out;
    for (const RecordedOperation& op : ops_) out.push_back(op.text());
    return out;
}

// ---- Off-screen layers

OffscreenLayer::OffscreenLayer(cairo_surface_t* similarTo, Size size, Float scale, YAxis axis)
    : size_(size), scale_(scale > 0 ? scale : 1) {
    int pw = std::max(1, int(std::ceil(size.width * scale_)));
    int ph = std::max(1, int(std::ceil(size.height * scale_)));
    surface_ = SurfaceHandle(cairo_surface_create_similar(similarTo, CAIRO_CONTENT_COLOR_ALPHA, pw, ph));
    // A y-up layer flips about its whole pixel height, which is what
    // drawLayer() maps onto the rectangle's height.
    context_ =
        std::make_unique<Context>(CairoContextHandle(cairo_create(surface_.get())), scale_, axis, Float(ph) / scale_);
}

// ---- The current context stack

void pushCurrentContext(Context* context) { contextStack().push_back(context); }

void popCurrentContext() {
    if (!contextStack().empty()) contextStack().pop_back();
}

Context* currentContext() { return contextStack().empty() ? nullptr : contextStack().back(); }

}  // namespace gfx
