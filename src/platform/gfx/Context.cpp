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

// ---- Keeping path coordinates where cairo can hold them

// Cairo keeps path coordinates in device space as 24.8 fixed point, which
// wraps beyond ±2^23 pixels, and its rasteriser misplaces a slanted edge
// long before that: once the edge's width times its height passes about
// 2^35 square pixels, as a line at a slope of one from 2^17.5 pixels out
// does (cairo 1.16, measured). Paths are therefore clipped to the square of
// ±kSafe pixels first: an edge inside it spans at most 2^17 by 2^17 pixels,
// and the square reaches 32769 pixels beyond the far edge of the largest
// surface (32767 pixels), so the strokes, joins and caps cairo adds along
// its edges never reach one.
constexpr double kSafe = 65536;  // 2^16
// A piece of a curve reaching beyond the square and smaller than this lies
// wholly more than kSafe - kSmallPiece pixels out, beyond every surface:
// its chord stands for it.
constexpr double kSmallPiece = 8192;  // 2^13
constexpr int kMaxCurveDepth = 64;

struct DevicePoint {
    double x = 0;
    double y = 0;
};

bool isSafe(DevicePoint p) { return std::fabs(p.x) <= kSafe && std::fabs(p.y) <= kSafe; }
bool isFinite(DevicePoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }

DevicePoint toDevice(cairo_t* cr, double x, double y) {
    cairo_user_to_device(cr, &x, &y);
    return {x, y};
}

// The current path of a cairo context as it is built, clipped to the safe
// square in device space by the four half-planes of its edges in turn
// (Sutherland–Hodgman, one stage per edge, each passing what it keeps to
// the next): a segment that crosses an edge ends at the crossing, and what
// runs beyond an edge is replaced by the line along that edge between where
// the path left and where it came back. Inside the square, fills keep their
// winding numbers, so they cover exactly what the whole path covers, and
// strokes keep their direction. Curves reaching beyond the square are split
// into pieces: pieces inside stay curves, pieces wholly beyond one edge or
// small and far out become their chords.
//
// While the path stays inside, points go to cairo in user space as given,
// exactly as cairo would take them unclipped; the stages are then in step
// with the current point and are only brought up to date when the path
// leaves the square.
//
// A fill closes open subpaths with a straight line from their end to their
// start, which must be clipped too, but a stroke must not draw it: a fill
// of a path with clipped open subpaths first adds, for each, its clipped
// closing as a separate closed subpath (appendFillClosings).
class SafePath {
public:
    explicit SafePath(cairo_t* cr) : cr_(cr) {}

    void reset() {
        hasPoint_ = false;
        direct_ = true;
        segments_ = false;
        subpathClipped_ = false;
        openClipped_.clear();
    }
    bool hasPoint() const { return hasPoint_; }
    // The current point as given, in device space.
    DevicePoint current() const { return current_; }
    // Whether cairo's path ends at the current point itself.
    bool direct() const { return direct_; }

    // Each takes the point in device space and, for cairo, in user space.
    void moveTo(DevicePoint d, double x, double y) {
        endSubpath();
        hasPoint_ = true;
        current_ = start_ = d;
        if (isSafe(d)) {
            cairo_move_to(cr_, x, y);
            for (Stage& s : stages_) s.first = d;
            direct_ = true;
            subpathClipped_ = false;
            sent_ = {true, d, d};
            return;
        }
        sent_.any = false;
        clipped([&] { stageMove(0, d); });
        direct_ = false;
    }

    void lineTo(DevicePoint d, double x, double y) {
        segments_ = true;
        if (direct_ && isSafe(d)) {
            cairo_line_to(cr_, x, y);
        } else {
            clipped([&] { stageLine(0, d); });
        }
        current_ = d;
        direct_ = isSafe(d);
    }

    void curveTo(DevicePoint d1, DevicePoint d2, DevicePoint d3, const double user[6]) {
        segments_ = true;
        if (direct_ && isSafe(d1) && isSafe(d2) && isSafe(d3)) {
            cairo_curve_to(cr_, user[0], user[1], user[2], user[3], user[4], user[5]);
        } else {
            clipped([&] { curvePieces(current_, d1, d2, d3, 0); });
        }
        current_ = d3;
        direct_ = isSafe(d3);
    }

    void close() {
        if (!hasPoint_) return;
        if (direct_ && isSafe(start_)) {
            cairo_close_path(cr_);
        } else {
            clipped([&] { stageClose(0); });
        }
        segments_ = false;
        // A start inside the square is where cairo's closed subpath began,
        // so cairo continues from it as it would unclipped; one outside
        // begins the next subpath clipped.
        current_ = start_;
        direct_ = isSafe(start_);
        subpathClipped_ = !direct_;
        sent_ = {direct_, start_, start_};
    }

    // Whether a fill needs appendFillClosings().
    bool needsFillClosings() const { return !openClipped_.empty() || (segments_ && subpathClipped_); }

    // Adds the clipped closing of every open subpath that was clipped, each
    // as a closed subpath of its own: from where cairo's subpath ends, the
    // closing as the stages clip it, on to where cairo's subpath begins and
    // (closed) back. With cairo's own closing of the subpath, which it runs
    // back over, that adds up to the clipped closed subpath. The pen itself
    // is left as it was.
    void appendFillClosings() const {
        std::vector<Closing> closings = openClipped_;
        if (segments_ && subpathClipped_) closings.push_back(closing());
        SafePath scratch(cr_);
        for (const Closing& c : closings) {
            std::copy(std::begin(c.stages), std::end(c.stages), std::begin(scratch.stages_));
            if (c.sent.any) {
                scratch.enterDeviceSpace();
                cairo_move_to(cr_, c.sent.last.x, c.sent.last.y);
                scratch.stageClosingLines(0);
                cairo_line_to(cr_, c.sent.first.x, c.sent.first.y);
                cairo_close_path(cr_);
            } else {
                // Nothing of the subpath reached cairo: its clipped closing
                // is all there is of it.
                scratch.stageClose(0);
            }
        }
        scratch.leaveDeviceSpace();
    }

private:
    // One edge's half-plane: the first point of the subpath it was given,
    // the last point given, whether that lies inside, and whether the stage
    // has passed anything of the subpath on.
    struct Stage {
        DevicePoint first;
        DevicePoint previous;
        bool previousInside = true;
        bool passedOn = false;
    };
    static constexpr int kStages = 4;
    // What of the current subpath reached cairo: whether anything, its
    // first point and its last.
    struct Sent {
        bool any = false;
        DevicePoint first;
        DevicePoint last;
    };
    // An open subpath that was clipped, as the stages and cairo left it.
    struct Closing {
        Stage stages[kStages];
        Sent sent;
    };

    static bool inside(int stage, DevicePoint p) {
        switch (stage) {
        case 0: return p.x >= -kSafe;
        case 1: return p.x <= kSafe;
        case 2: return p.y >= -kSafe;
        default: return p.y <= kSafe;
        }
    }

    // Where the segment from a to b (one inside the stage's half-plane, the
    // other not) crosses its edge.
    static DevicePoint crossing(int stage, DevicePoint a, DevicePoint b) {
        if (stage < 2) {
            const double edge = stage == 0 ? -kSafe : kSafe;
            return {edge, a.y + (edge - a.x) / (b.x - a.x) * (b.y - a.y)};
        }
        const double edge = stage == 2 ? -kSafe : kSafe;
        return {a.x + (edge - a.y) / (b.y - a.y) * (b.x - a.x), edge};
    }

    // The stages in step with a current point that went to cairo directly.
    void catchUp(Stage (&stages)[kStages]) const {
        for (Stage& s : stages) {
            s.previous = current_;
            s.previousInside = true;
            s.passedOn = true;
        }
    }

    // The current subpath as a closing for appendFillClosings().
    Closing closing() const {
        Closing c;
        std::copy(std::begin(stages_), std::end(stages_), std::begin(c.stages));
        c.sent = sent_;
        if (direct_) {
            catchUp(c.stages);
            c.sent.last = current_;
        }
        return c;
    }

    // Keeps the subpath that ends for the fills to come, when it is open
    // and was clipped.
    void endSubpath() {
        if (segments_ && subpathClipped_) openClipped_.push_back(closing());
        segments_ = false;
    }

    // Runs `clip` with the stages up to date and points reaching cairo in
    // device space (see enterDeviceSpace).
    template <class F>
    void clipped(F clip) {
        if (direct_ && hasPoint_) {
            catchUp(stages_);
            sent_.last = current_;
        }
        subpathClipped_ = true;
        clip();
        leaveDeviceSpace();
    }

    // Device space for cairo: the identity transform, in a saved cairo
    // state (which the path is not part of), entered only when something
    // reaches cairo.
    void enterDeviceSpace() {
        if (inDeviceSpace_) return;
        cairo_save(cr_);
        cairo_identity_matrix(cr_);
        inDeviceSpace_ = true;
    }

    void leaveDeviceSpace() {
        if (!inDeviceSpace_) return;
        cairo_restore(cr_);
        inDeviceSpace_ = false;
    }

    void stageMove(int k, DevicePoint p) {
        if (k == kStages) {
            enterDeviceSpace();
            cairo_move_to(cr_, p.x, p.y);
            sent_ = {true, p, p};
            return;
        }
        Stage& s = stages_[k];
        s.first = s.previous = p;
        s.previousInside = inside(k, p);
        s.passedOn = false;
        if (s.previousInside) passOn(k, p);
    }

    // Hands a point the stage keeps to the next: the first of a subpath as
    // a move, the others as lines.
    void passOn(int k, DevicePoint p) {
        Stage& s = stages_[k];
        if (!s.passedOn) {
            s.passedOn = true;
            stageMove(k + 1, p);
        } else {
            stageLine(k + 1, p);
        }
    }

    void stageLine(int k, DevicePoint p) {
        if (k == kStages) {
            enterDeviceSpace();
            cairo_line_to(cr_, p.x, p.y);
            sent_.last = p;
            return;
        }
        Stage& s = stages_[k];
        const bool in = inside(k, p);
        if (s.previousInside) {
            if (!s.passedOn) passOn(k, s.previous);  // a closed subpath's start
            passOn(k, in ? p : crossing(k, s.previous, p));
        } else if (in) {
            passOn(k, crossing(k, s.previous, p));
            passOn(k, p);
        }
        s.previous = p;
        s.previousInside = in;
    }

    // A curve from the stage's previous point lying wholly inside the square.
    void stageCurve(int k, DevicePoint c1, DevicePoint c2, DevicePoint p) {
        if (k == kStages) {
            enterDeviceSpace();
            cairo_curve_to(cr_, c1.x, c1.y, c2.x, c2.y, p.x, p.y);
            sent_.last = p;
            return;
        }
        Stage& s = stages_[k];
        if (!s.passedOn) passOn(k, s.previous);
        stageCurve(k + 1, c1, c2, p);
        s.previous = p;
        s.previousInside = true;
    }

    // Each stage's line back to its first point, as closing the subpath
    // passes them on, without the close itself.
    void stageClosingLines(int k) {
        if (k == kStages) return;
        Stage& s = stages_[k];
        stageLine(k, s.first);
        if (s.passedOn) stageClosingLines(k + 1);
    }

    void stageClose(int k) {
        if (k == kStages) {
            cairo_close_path(cr_);
            return;
        }
        Stage& s = stages_[k];
        stageLine(k, s.first);
        if (s.passedOn) stageClose(k + 1);
        s.previous = s.first;
        s.previousInside = inside(k, s.first);
        s.passedOn = false;
    }

    // The curve p0..p3 in pieces: a piece inside the square is passed on as
    // a curve; a piece wholly beyond one edge lies, with its chord, on the
    // far side of that edge, where the stages replace both by the same line
    // along the edge; a small piece reaching beyond lies far out, where its
    // chord is as good. The rest is halved.
    void curvePieces(DevicePoint p0, DevicePoint p1, DevicePoint p2, DevicePoint p3, int depth) {
        if (isSafe(p0) && isSafe(p1) && isSafe(p2) && isSafe(p3)) {
            stageCurve(0, p1, p2, p3);
            return;
        }
        const double minX = std::min({p0.x, p1.x, p2.x, p3.x}), maxX = std::max({p0.x, p1.x, p2.x, p3.x});
        const double minY = std::min({p0.y, p1.y, p2.y, p3.y}), maxY = std::max({p0.y, p1.y, p2.y, p3.y});
        const bool beyondOneEdge = maxX < -kSafe || minX > kSafe || maxY < -kSafe || minY > kSafe;
        const bool small = maxX - minX < kSmallPiece && maxY - minY < kSmallPiece;
        if (beyondOneEdge || small || depth >= kMaxCurveDepth) {
            stageLine(0, p3);
            return;
        }
        auto mid = [](DevicePoint a, DevicePoint b) { return DevicePoint{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
        const DevicePoint a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
        const DevicePoint ab = mid(a, b), bc = mid(b, c), m = mid(ab, bc);
        curvePieces(p0, a, ab, m, depth + 1);
        curvePieces(m, bc, c, p3, depth + 1);
    }

    cairo_t* cr_;
    bool hasPoint_ = false;
    bool direct_ = true;
    bool inDeviceSpace_ = false;
    bool segments_ = false;        // the current subpath has lines or curves
    bool subpathClipped_ = false;  // ... and the stages have been at work on it
    DevicePoint current_;
    DevicePoint start_;
    Stage stages_[kStages];
    Sent sent_;
    std::vector<Closing> openClipped_;
};

// Adds the rect (user space) to the context's path: as cairo's own
// rectangle when its corners lie inside the safe square, clipped otherwise.
void addSafeRect(cairo_t* cr, const Rect& r) {
    const Rect s = r.standardized();
    const double x0 = s.x(), y0 = s.y(), x1 = x0 + double(s.width()), y1 = y0 + double(s.height());
    const double xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    DevicePoint corners[4];
    bool safe = true;
    for (int i = 0; i < 4; ++i) {
        corners[i] = toDevice(cr, xs[i], ys[i]);
        if (!isFinite(corners[i])) return;
        safe = safe && isSafe(corners[i]);
    }
    if (safe) {
        cairo_rectangle(cr, s.x(), s.y(), s.width(), s.height());
        return;
    }
    SafePath pen(cr);
    pen.moveTo(corners[0], xs[0], ys[0]);
    for (int i = 1; i < 4; ++i) pen.lineTo(corners[i], xs[i], ys[i]);
    pen.close();
}

// Takes the current path out of the way for an operation that must not touch
// it, and puts it back afterwards (under the same transform).
class PathGuard {
public:
    PathGuard(cairo_t* cr, SafePath& pen) : cr_(cr), pen_(pen), kept_(pen), path_(cairo_copy_path(cr)) {
        cairo_new_path(cr);
        pen.reset();
    }
    ~PathGuard() {
        cairo_new_path(cr_);
        if (path_ && path_->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr_, path_.get());
        pen_ = kept_;
    }
    PathGuard(const PathGuard&) = delete;
    PathGuard& operator=(const PathGuard&) = delete;

private:
    cairo_t* cr_;
    SafePath& pen_;
    SafePath kept_;
    PathHandle path_;
};

// Adds the clipped closings a fill of the current path needs (see
// SafePath::appendFillClosings) and, for a path that is kept after the fill,
// puts the path back as it was when the scope ends.
class FillClosings {
public:
    FillClosings(cairo_t* cr, const SafePath& pen, bool keep) : cr_(cr) {
        if (!pen.needsFillClosings()) return;
        if (keep) kept_ = PathHandle(cairo_copy_path(cr));
        pen.appendFillClosings();
    }
    ~FillClosings() {
        if (!kept_) return;
        cairo_new_path(cr_);
        if (kept_->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr_, kept_.get());
    }
    FillClosings(const FillClosings&) = delete;
    FillClosings& operator=(const FillClosings&) = delete;

private:
    cairo_t* cr_;
    PathHandle kept_;
};

// Clips to the rect and maps a surface onto it at the given points per
// pixel, its first row at the rect's bottom when flipped, at its top
// otherwise.
void placeSurfaceIn(cairo_t* cr, const Rect& r, double scaleX, double scaleY, bool flip) {
    cairo_new_path(cr);
    addSafeRect(cr, r);
    cairo_clip(cr);
    if (flip) {
        cairo_translate(cr, r.x(), r.maxY());
        cairo_scale(cr, scaleX, -scaleY);
    } else {
        cairo_translate(cr, r.x(), r.y());
        cairo_scale(cr, scaleX, scaleY);
    }
}

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

// The current path's pen.
struct Context::PathPen : SafePath {
    using SafePath::SafePath;
};

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

Context::Context(CairoContextHandle cr, Float scale, YAxis axis, Float heightInPoints)
    : cr_(std::move(cr)), pen_(std::make_unique<PathPen>(cr_.get())) {
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

void Context::resetPath() {
    cairo_new_path(cr());
    pen_->reset();
}

void Context::penMoveTo(double x, double y) {
    const DevicePoint d = toDevice(cr(), x, y);
    if (!isFinite(d)) {
        badPath_ = true;
        return;
    }
    pen_->moveTo(d, x, y);
}

void Context::penLineTo(double x, double y) {
    const DevicePoint d = toDevice(cr(), x, y);
    if (!isFinite(d)) {
        badPath_ = true;
        return;
    }
    if (!pen_->hasPoint()) pen_->moveTo(d, x, y);
    pen_->lineTo(d, x, y);
}

void Context::penCurveTo(double x1, double y1, double x2, double y2, double x, double y) {
    const DevicePoint d1 = toDevice(cr(), x1, y1), d2 = toDevice(cr(), x2, y2), d3 = toDevice(cr(), x, y);
    if (!isFinite(d1) || !isFinite(d2) || !isFinite(d3)) {
        badPath_ = true;
        return;
    }
    if (!pen_->hasPoint()) pen_->moveTo(d1, x1, y1);
    const double user[6] = {x1, y1, x2, y2, x, y};
    pen_->curveTo(d1, d2, d3, user);
}

void Context::penClose() { pen_->close(); }

bool Context::penPoint(double* x, double* y) const {
    if (!pen_->hasPoint()) return false;
    if (pen_->direct()) {
        // Where cairo's path ends, as cairo answers it.
        cairo_get_current_point(cr(), x, y);
    } else {
        *x = pen_->current().x;
        *y = pen_->current().y;
        cairo_device_to_user(cr(), x, y);
    }
    return true;
}

Path Context::fragment(bool* hadPoint) const {
    Path p;
    double x, y;
    *hadPoint = penPoint(&x, &y);
    if (*hadPoint) p.moveTo(Float(x), Float(y));
    return p;
}

void Context::appendPath(const Path& path, std::size_t from) {
    const auto& elements = path.elements();
    for (std::size_t i = from; i < elements.size(); ++i) {
        const PathElement& e = elements[i];
        switch (e.type) {
        case PathElementType::MoveToPoint: penMoveTo(e.points[0].x, e.points[0].y); break;
        case PathElementType::AddLineToPoint: penLineTo(e.points[0].x, e.points[0].y); break;
        case PathElementType::AddQuadCurveToPoint: {
            // From the current point (the control point when there is
            // none), as the equal cubic.
            double x0 = e.points[0].x, y0 = e.points[0].y;
            if (!penPoint(&x0, &y0)) penMoveTo(x0, y0);
            const double cx = e.points[0].x, cy = e.points[0].y, x = e.points[1].x, y = e.points[1].y;
            penCurveTo(x0 + 2.0 / 3 * (cx - x0), y0 + 2.0 / 3 * (cy - y0), x + 2.0 / 3 * (cx - x),
                       y + 2.0 / 3 * (cy - y), x, y);
            break;
        }
        case PathElementType::AddCurveToPoint:
            penCurveTo(e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
            break;
        case PathElementType::CloseSubpath: penClose(); break;
        }
    }
}

void Context::beginPath() {
    record("beginPath");
    resetPath();
    badPath_ = false;
}

void Context::moveTo(Float x, Float y) {
    record("moveTo", {x, y});
    if (!finite({x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    penMoveTo(x, y);
}

void Context::lineTo(Float x, Float y) {
    record("lineTo", {x, y});
    if (!finite({x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    penLineTo(x, y);
}

void Context::curveTo(Float cp1x, Float cp1y, Float cp2x, Float cp2y, Float x, Float y) {
    record("curveTo", {cp1x, cp1y, cp2x, cp2y, x, y});
    if (!finite({cp1x, cp1y, cp2x, cp2y, x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    penCurveTo(cp1x, cp1y, cp2x, cp2y, x, y);
}

void Context::quadCurveTo(Float cpx, Float cpy, Float x, Float y) {
    record("quadCurveTo", {cpx, cpy, x, y});
    if (!finite({cpx, cpy, x, y}) || state().singular) {
        badPath_ = true;
        return;
    }
    Path p;
    p.quadCurveTo(cpx, cpy, x, y);
    appendPath(p, 1);  // the move the path starts with is the current point's
}

void Context::closePath() {
    record("closePath");
    penClose();
}

void Context::addRect(const Rect& rect) {
    record("addRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || state().singular) {
        badPath_ = true;
        return;
    }
    Path p;
    p.addRect(rect);
    appendPath(p);
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
    appendPath(p);
}

void Context::addArc(Float x, Float y, Float radius, Float startAngle, Float endAngle, bool clockwise) {
    record("addArc", {x, y, radius, startAngle, endAngle, Float(clockwise ? 1 : 0)});
    if (!finite({x, y, radius, startAngle, endAngle}) || state().singular) {
        badPath_ = true;
        return;
    }
    bool had;
    Path p = fragment(&had);
    p.addArc(x, y, radius, startAngle, endAngle, clockwise);
    appendPath(p, had ? 1 : 0);
}

void Context::addArcToPoint(Float x1, Float y1, Float x2, Float y2, Float radius) {
    record("addArcToPoint", {x1, y1, x2, y2, radius});
    if (!finite({x1, y1, x2, y2, radius}) || state().singular) {
        badPath_ = true;
        return;
    }
    bool had;
    Path p = fragment(&had);
    p.addArcToPoint(x1, y1, x2, y2, radius);
    appendPath(p, had ? 1 : 0);
}

void Context::addPath(const Path& path) {
    record("addPath", {Float(path.elements().size())});
    if (state().singular) {
        badPath_ = true;
        return;
    }
    appendPath(path);
}

bool Context::isPathEmpty() const { return path().isEmpty(); }

Point Context::currentPoint() const {
    double x, y;
    if (!penPoint(&x, &y)) return Point::zero();
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
    if (mode != PathDrawingMode::Stroke) {
        FillClosings closings(cr(), *pen_, true);
        in = cairo_in_fill(cr(), p.x, p.y);
    }
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
            resetPath();
            badPath_ = false;
        }
        return;
    }
    FillClosings closings(cr(), *pen_, preserve);
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
    if (!preserve) resetPath();
}

void Context::doStroke(bool preserve) {
    if (badPath_ || !usable()) {
        if (!preserve) {
            resetPath();
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
    if (!preserve) resetPath();
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
    resetPath();
    badPath_ = false;
}

void Context::fillRect(const Rect& rect) {
    record("fillRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || !usable()) return;
    bool bad = badPath_;
    badPath_ = false;
    {
        PathGuard guard(cr(), *pen_);
        addSafeRect(cr(), rect);
        doFill(false, false);
    }
    badPath_ = bad;
}

void Context::fillRects(const std::vector<Rect>& rects) {
    for (const Rect& r : rects) fillRect(r);
}

void Context::strokeRect(const Rect& rect) {
    record("strokeRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    resetPath();
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    addSafeRect(cr(), rect);
    doStroke(false);
}

void Context::strokeRectWithWidth(const Rect& rect, Float width) {
    SavedState saved(*this);
    setLineWidth(width);
    strokeRect(rect);
}

void Context::fillEllipseInRect(const Rect& rect) {
    record("fillEllipseInRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    resetPath();
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    Path p;
    p.addEllipseInRect(rect);
    appendPath(p);
    doFill(false, false);
}

void Context::strokeEllipseInRect(const Rect& rect) {
    record("strokeEllipseInRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    resetPath();
    badPath_ = false;
    if (!finiteRect(rect) || !usable()) return;
    Path p;
    p.addEllipseInRect(rect);
    appendPath(p);
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
    resetPath();
    badPath_ = false;
    if (!usable()) return;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        if (!points[i].isFiniteValue() || !points[i + 1].isFiniteValue()) continue;
        const DevicePoint a = toDevice(cr(), points[i].x, points[i].y);
        const DevicePoint b = toDevice(cr(), points[i + 1].x, points[i + 1].y);
        if (!isFinite(a) || !isFinite(b)) continue;
        pen_->moveTo(a, points[i].x, points[i].y);
        pen_->lineTo(b, points[i + 1].x, points[i + 1].y);
    }
    doStroke(false);
}

void Context::clearRect(const Rect& rect) {
    record("clearRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!finiteRect(rect) || !usable()) return;
    PathGuard guard(cr(), *pen_);
    CairoSavedState saved(cr());
    addSafeRect(cr(), rect);
    cairo_set_operator(cr(), CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr());
}

// ---- Clipping

void Context::clip() {
    record("clip");
    if (!badPath_ && usable()) {
        FillClosings closings(cr(), *pen_, false);
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr());
    }
    resetPath();
    badPath_ = false;
}

void Context::eoClip() {
    record("eoClip");
    if (!badPath_ && usable()) {
        FillClosings closings(cr(), *pen_, false);
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_EVEN_ODD);
        cairo_clip(cr());
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    }
    resetPath();
    badPath_ = false;
}

void Context::clipToRect(const Rect& rect) {
    record("clipToRect", {rect.x(), rect.y(), rect.width(), rect.height()});
    if (!usable()) return;
    PathGuard guard(cr(), *pen_);
    if (!finiteRect(rect)) {
        if (rect.isNull()) {
            cairo_rectangle(cr(), 0, 0, 0, 0);
            cairo_clip(cr());
        }
        return;
    }
    addSafeRect(cr(), rect);
    cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr());
}

void Context::clipToRects(const std::vector<Rect>& rects) {
    record("clipToRects", {Float(rects.size())});
    if (!usable()) return;
    PathGuard guard(cr(), *pen_);
    for (const Rect& r : rects)
        if (finiteRect(r)) addSafeRect(cr(), r);
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
    PathGuard guard(cr(), *pen_);
    Rect r = rect.standardized();
    int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) return;
    addSafeRect(cr(), r);
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
    PathGuard guard(cr(), *pen_);
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

    PathGuard guard(cr(), *pen_);
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
            const double xs[4] = {base.x + nx * big, base.x - nx * big, base.x - nx * big + sign * dx * big,
                                  base.x + nx * big + sign * dx * big};
            const double ys[4] = {base.y + ny * big, base.y - ny * big, base.y - ny * big + sign * dy * big,
                                  base.y + ny * big + sign * dy * big};
            DevicePoint corners[4];
            bool finiteCorners = true;
            for (int i = 0; i < 4; ++i) {
                corners[i] = toDevice(cr(), xs[i], ys[i]);
                finiteCorners = finiteCorners && isFinite(corners[i]);
            }
            if (finiteCorners) {
                SafePath cut(cr());
                cut.moveTo(corners[0], xs[0], ys[0]);
                for (int i = 1; i < 4; ++i) cut.lineTo(corners[i], xs[i], ys[i]);
                cut.close();
                cairo_clip(cr());
            }
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
        resetPath();
        badPath_ = false;
        return;
    }
    FillClosings closings(cr(), *pen_, false);
    const bool oneEndExtended = shading.extendStart != shading.extendEnd && shading.type == Shading::Type::Axial;
    if (hasShadow() || state().alpha < 1 || oneEndExtended) {
        // A shadow, the global alpha and the cut of a one-sided extension
        // belong to painting through a clip: paint that way.
        CairoSavedState saved(cr());
        cairo_set_fill_rule(cr(), CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr());
        pen_->reset();
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
    pen_->reset();
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
    PathGuard guard(cr(), *pen_);
    addSafeRect(cr(), r);
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
    resetPath();
    badPath_ = false;
    cairo_matrix_t m = toCairo(root_);
    cairo_set_matrix(cr(), &m);
}

void Context::endPage() { record("endPage"); }

void Context::flush() { cairo_surface_flush(cairo_get_target(cr())); }

void Context::paintWithEffects(const std::function<void(cairo_t*)>& draw, const Rect& deviceBounds) {
    if (!usable()) return;
    PathGuard guard(cr(), *pen_);
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
