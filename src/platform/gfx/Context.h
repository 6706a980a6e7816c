#pragma once
// A drawing context over cairo, with the semantics of the platform's 2-D
// drawing API: a graphics state stack (transform, clip, colours, line
// attributes, shadow, alpha, antialiasing), a current path in user space,
// fills, strokes, clipping, images, shadings and off-screen layers.
//
// Coordinate spaces: device space is pixels (y down, as every cairo surface).
// The context's root transform maps its base user space onto device space: the
// screen scale and, for y-up contexts (PDF), a vertical flip. `ctm()` is the
// full user-to-device transform; `userTransform()` the part drawing has added
// on top of the root.
//
// Bad input never breaks the context: a NaN or infinite coordinate drops the
// operation (a path holding one is discarded by the next fill, stroke or clip),
// a transform that would become singular draws nothing until the state that
// made it is restored, a negative or all-zero dash pattern draws solid lines.
// The cairo status stays success.
//
// Far coordinates: cairo holds path coordinates in device space as 24.8
// fixed point, which wraps beyond about 8 million pixels, and rasterises
// long slanted edges wrongly from about 2^17 pixels out. Every path is
// therefore clipped, segment by segment, to a square of ±2^16 device pixels
// around the origin before cairo sees it; what lies beyond is replaced by
// lines along the square's edges (curves are split, the pieces beyond
// becoming lines), so fills cover exactly what they cover unclipped and
// strokes keep their direction up to far outside any surface. path() and
// pathBoundingBox() answer that clipped path; currentPoint() is the point as
// given.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/CairoHandle.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Path.h"

namespace gfx {

class Image;
class OffscreenLayer;

enum class LineCap { Butt = 0, Round = 1, Square = 2 };
enum class LineJoin { Miter = 0, Round = 1, Bevel = 2 };
// Which of fill and stroke drawPath() does.
enum class PathDrawingMode { Fill = 0, EOFill = 1, Stroke = 2, FillStroke = 3, EOFillStroke = 4 };
// Direction of the y axis of a context's base user space.
enum class YAxis { Down, Up };

// A function of one input in [0, 1] with four outputs (red, green, blue,
// alpha in [0, 1], not premultiplied): the colour ramp of a shading.
using ShadingFunction = std::function<std::array<Float, 4>(Float)>;

// A shading function sampled into colour stops: (input in [0, 1], colour as
// the function gives it), in ascending order of input.
using ShadingRamp = std::vector<std::pair<double, std::array<Float, 4>>>;

// The stops a context paints a shading function with: a regular grid, each
// breakpoint with the inputs just beside it, and more samples wherever the
// function bends away from a straight blend.
ShadingRamp sampleShadingFunction(const ShadingFunction& function, const std::vector<Float>& breakpoints);

// An axial (along a line) or radial (between two circles) shading, in the
// user space it is drawn in. `extendStart`/`extendEnd` continue the end
// colours beyond the ends.
struct Shading {
    enum class Type { Axial, Radial };
    Type type = Type::Axial;
    Point start;
    Point end;
    Float startRadius = 0;  // radial only
    Float endRadius = 0;    // radial only
    ShadingFunction function;
    bool extendStart = false;
    bool extendEnd = false;
    // Inputs (0 to 1) at which the function changes course, such as the
    // stops of a gradient: the function is sampled there too, so a colour
    // band narrower than the regular sampling step is not lost.
    std::vector<Float> breakpoints;
    // The function already sampled (sampleShadingFunction of the function
    // and breakpoints), for a caller that paints one ramp many times; when
    // set, it is painted in place of sampling the function again.
    std::shared_ptr<const ShadingRamp> ramp;

    static Shading axial(Point start, Point end, ShadingFunction function, bool extendStart = false,
                         bool extendEnd = false);
    static Shading radial(Point startCenter, Float startRadius, Point endCenter, Float endRadius,
                          ShadingFunction function, bool extendStart = true, bool extendEnd = true);
};

// One logged operation of a recording context: its name, its numeric
// arguments as given (user space) and the user transform in force.
struct RecordedOperation {
    std::string name;
    std::vector<Float> args;
    AffineTransform ctm;
    // "name(a, b, c)" with %g numbers.
    std::string text() const;
};

class Context {
public:
    // A context drawing into the cairo context (a reference is taken). The
    // root transform is the scale (device pixels per point) and, for YAxis::Up,
    // a flip about the given height in points. Cairo's current transform is
    // replaced by the root.
    Context(cairo_t* cr, Float scale = 1, YAxis axis = YAxis::Down, Float heightInPoints = 0);
    // The same over a cairo context whose reference is handed over.
    explicit Context(CairoContextHandle cr, Float scale = 1, YAxis axis = YAxis::Down, Float heightInPoints = 0);
    virtual ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // ---- State
    void save();
    // Ignored without a matching save().
    void restore();
    int saveDepth() const;

    // ---- Transform
    void translate(Float tx, Float ty);
    void scale(Float sx, Float sy);
    void rotate(Float angle);
    void concat(const AffineTransform& transform);
    // User space to device space, root transform included.
    AffineTransform ctm() const;
    // What drawing has added to the root transform (identity at creation).
    AffineTransform userTransform() const;
    // The root transform: base user space to device pixels.
    AffineTransform rootTransform() const { return root_; }
    // Device pixels per point of the base space.
    Float deviceScale() const { return scale_; }
    YAxis yAxis() const { return axis_; }
    // Whether drawing ends as pixels of an image (not a document, nor a
    // recording of the operations) with user space neither scaled nor
    // rotated against the base space, only moved and flipped: a bitmap made
    // at deviceScale() then lands one to one on device pixels.
    bool drawsPixelsAtDeviceScale() const;
    Point convertPointToDeviceSpace(const Point& p) const;
    Point convertPointToUserSpace(const Point& p) const;
    Size convertSizeToDeviceSpace(const Size& s) const;
    Size convertSizeToUserSpace(const Size& s) const;
    // Bounding boxes of the mapped rectangles.
    Rect convertRectToDeviceSpace(const Rect& r) const;
    Rect convertRectToUserSpace(const Rect& r) const;

    // ---- Current path (user space; kept across save/restore)
    void beginPath();
    void moveTo(Float x, Float y);
    void lineTo(Float x, Float y);
    void curveTo(Float cp1x, Float cp1y, Float cp2x, Float cp2y, Float x, Float y);
    void quadCurveTo(Float cpx, Float cpy, Float x, Float y);
    void closePath();
    void addRect(const Rect& rect);
    void addRects(const std::vector<Rect>& rects);
    void addLines(const std::vector<Point>& points);
    void addEllipseInRect(const Rect& rect);
    void addArc(Float x, Float y, Float radius, Float startAngle, Float endAngle, bool clockwise);
    void addArcToPoint(Float x1, Float y1, Float x2, Float y2, Float radius);
    void addPath(const Path& path);
    bool isPathEmpty() const;
    // In user space; Point::zero() without a path.
    Point currentPoint() const;
    // The bounding box of the current path (control points included) in the
    // current user space; Rect::null() when empty.
    Rect pathBoundingBox() const;
    // A copy of the current path in the current user space.
    Path path() const;
    // Whether the point (user space) lies inside the current path.
    bool pathContainsPoint(const Point& p, PathDrawingMode mode) const;

    // ---- Painting (each consumes the current path)
    void fillPath();
    void eoFillPath();
    void strokePath();
    void drawPath(PathDrawingMode mode);
    void fillRect(const Rect& rect);
    void fillRects(const std::vector<Rect>& rects);
    void strokeRect(const Rect& rect);
    void strokeRectWithWidth(const Rect& rect, Float width);
    void fillEllipseInRect(const Rect& rect);
    void strokeEllipseInRect(const Rect& rect);
    // Pairs of points, each pair a separate segment.
    void strokeLineSegments(const std::vector<Point>& points);
    // Paints the rect transparent (ignores colours, alpha and shadow).
    void clearRect(const Rect& rect);

    // ---- Clipping (consumes the current path; only ever shrinks)
    void clip();
    void eoClip();
    void clipToRect(const Rect& rect);
    void clipToRects(const std::vector<Rect>& rects);
    // The clip's bounding box in user space.
    Rect clipBoundingBox() const;

    // ---- Attributes
    void setLineWidth(Float width);  // negative or NaN is ignored
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    void setMiterLimit(Float limit);
    // Dash lengths with a phase; empty, negative, non-finite or all-zero
    // lengths draw solid lines.
    void setLineDash(Float phase, const std::vector<Float>& lengths);
    Float lineWidth() const;
    LineCap lineCap() const;
    LineJoin lineJoin() const;
    Float miterLimit() const;
    // The dash in force (empty when solid) and its phase.
    std::vector<Float> lineDash() const;
    Float lineDashPhase() const;

    void setFillColor(const Color& color);
    void setStrokeColor(const Color& color);
    void setRGBFillColor(Float r, Float g, Float b, Float a) { setFillColor(Color::rgb(r, g, b, a)); }
    void setRGBStrokeColor(Float r, Float g, Float b, Float a) { setStrokeColor(Color::rgb(r, g, b, a)); }
    void setGrayFillColor(Float w, Float a) { setFillColor(Color::gray(w, a)); }
    void setGrayStrokeColor(Float w, Float a) { setStrokeColor(Color::gray(w, a)); }
    const Color& fillColor() const;
    const Color& strokeColor() const;
    // Global alpha, multiplied into every drawing; clamped to [0, 1].
    void setAlpha(Float alpha);
    Float alpha() const;
    void setShouldAntialias(bool antialias);
    bool shouldAntialias() const;

    // The shadow of later fills, strokes, images, shadings and text: offset
    // in base user space (y-down contexts: positive height moves down), blur
    // radius in points, colour; no colour (or a fully transparent one) turns
    // shadows off. The one-argument form uses black at one-third alpha.
    void setShadow(Size offset, Float blur, std::optional<Color> color);
    void setShadow(Size offset, Float blur);
    bool hasShadow() const;

    // ---- Images
    // The image fills the rect with its first row at the rect's maxY, as the
    // platform draws images: upright in a y-up context.
    void drawImage(const Rect& rect, const Image& image);
    // The image fills the rect with its first row at the rect's minY: upright
    // in a y-down context (the toolkit's image drawing).
    void drawImageTopDown(const Rect& rect, const Image& image);
    // Repeats the image in tiles of the tile rect (positioned as drawImage
    // places one image) over the whole clip.
    void drawTiledImage(const Rect& tile, const Image& image);

    // ---- Shadings
    // Paints the shading through the current clip.
    void drawShading(const Shading& shading);
    // Paints the shading inside the current path (consumed; nonzero
    // winding), as clip() and drawShading() in a saved state would, and
    // leaves the clip as it is.
    void fillPathWithShading(const Shading& shading);

    // ---- Off-screen layers
    // A layer of `size` points with a surface compatible with this context's,
    // of size * deviceScale() device pixels. Its context has this context's
    // y axis, so what is drawn into it comes back upright through drawLayer()
    // in a y-up context as in a y-down one.
    std::shared_ptr<OffscreenLayer> createLayer(Size size);
    // Draws the layer scaled into the rect.
    void drawLayer(const Rect& rect, const OffscreenLayer& layer);
    void drawLayer(const Point& point, const OffscreenLayer& layer);

    // ---- Pages (PDF contexts; elsewhere they only reset the state)
    virtual void beginPage();
    virtual void endPage();
    // Finishes pending drawing on the surface.
    void flush();

    // ---- Low level
    // The underlying cairo context, for the text and image code of this layer
    // and for window hosts. Do not leave it with a changed state.
    cairo_t* cairo() const { return cr_.get(); }
    // cairo_status_t of the underlying context (0 is success).
    int status() const;

    // Text drawing support: runs `draw` with the shadow and alpha in force
    // applied, as fills are. `draw` paints with cairo directly.
    void paintWithEffects(const std::function<void(cairo_t*)>& draw, const Rect& deviceBounds);
    // Adds an entry to the log of a recording context (nothing elsewhere);
    // for drawing code outside the context, such as text.
    void note(const char* name, std::initializer_list<Float> args = {});

protected:
    // Called with every operation when recording is switched on.
    void setRecording(std::vector<RecordedOperation>* log) { log_ = log; }
    void resetRoot(Float scale, YAxis axis, Float heightInPoints);

private:
    struct State;
    struct PathPen;
    State& state();
    const State& state() const;
    void record(const char* name, std::initializer_list<Float> args = {});
    bool usable() const;
    bool applyTransform(const AffineTransform& t);
    void applyLine();
    void applySource(const Color& color);
    void doFill(bool evenOdd, bool preserve);
    void doStroke(bool preserve);
    template <class F>
    void withShadow(F paint, bool stroke);
    void drawImageImpl(const Rect& rect, const Image& image, bool flip);
    PatternHandle shadingPattern(const Shading& shading);
    // The path in user space, through the pen (each marks the path bad when
    // the point is not finite in device space).
    void penMoveTo(double x, double y);
    void penLineTo(double x, double y);
    void penCurveTo(double x1, double y1, double x2, double y2, double x, double y);
    void penClose();
    // Adds the path's elements from element `from` on.
    void appendPath(const Path& path, std::size_t from = 0);
    // The current point in user space (false without one).
    bool penPoint(double* x, double* y) const;
    // A path fragment starting at the current point, when there is one.
    Path fragment(bool* hadPoint) const;
    // Empties the current path.
    void resetPath();
    PatternHandle rampPattern(const Shading& shading);
    cairo_t* cr() const { return cr_.get(); }

    // A sampled ramp's axial pattern along a line of length 2^scaleExponent
    // from the origin, made once and moved onto each shading by its matrix:
    // a plot that fills every bar with one gradient makes its pattern once.
    struct RampPattern {
        std::shared_ptr<const ShadingRamp> ramp;  // kept: the key is its identity
        int scaleExponent = 0;
        bool extend = false;
        PatternHandle pattern;
    };

    CairoContextHandle cr_;
    Float scale_ = 1;
    YAxis axis_ = YAxis::Down;
    Float height_ = 0;
    AffineTransform root_;
    std::vector<State> states_;
    bool badPath_ = false;
    std::unique_ptr<PathPen> pen_;  // where the current path stands, unclipped
    std::vector<RecordedOperation>* log_ = nullptr;
    std::vector<RampPattern> rampPatterns_;  // the most recently made last
};

// Saves the context's graphics state and, when the scope ends, however it is
// left, restores the context to the depth it had before: also past any save
// the scope's drawing left unmatched, as drawing code does when it throws. A
// context kept from frame to frame so never keeps a clip or transform of a
// frame that failed.
class SavedState {
public:
    explicit SavedState(Context& context) : context_(context), depth_(context.saveDepth()) { context_.save(); }
    ~SavedState() {
        while (context_.saveDepth() > depth_) context_.restore();
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    Context& context_;
    int depth_;
};

// A context over a new ARGB32 pixel surface of size * scale pixels, y-down in
// points (the toolkit's image contexts), transparent at the start.
class ImageContext : public Context {
public:
    ImageContext(Size size, Float scale = 1, YAxis axis = YAxis::Down);
    // The pixels drawn so far, with the context's scale.
    std::shared_ptr<Image> image();
    // The image a context of this size and scale would give after `draw`,
    // drawn only when its pixels are first needed (a picture that may never
    // be shown costs nothing until it is). nullptr for an empty size.
    static std::shared_ptr<Image> drawnOnFirstUse(Size size, Float scale, std::function<void(Context&)> draw);
    Size size() const { return size_; }
    cairo_surface_t* surface() const { return surface_.get(); }

private:
    SurfaceHandle surface_;
    Size size_;
};

// A y-up context writing a PDF document into memory. The media box is
// (0, 0, width, height) in points; drawing outside a page is kept for the
// first page.
class PDFContext : public Context {
public:
    explicit PDFContext(Rect mediaBox);
    ~PDFContext() override;
    void beginPage() override;
    void endPage() override;
    // Ends the document; later drawing is ignored. Called by data().
    void close();
    // The document bytes; closes the context first.
    const std::vector<std::uint8_t>& data();
    Rect mediaBox() const { return mediaBox_; }

private:
    std::vector<std::uint8_t> data_;
    SurfaceHandle surface_;
    Rect mediaBox_;
    bool closed_ = false;
    bool inPage_ = false;
};

// A context that logs every path, painting and state operation it is given
// (as RecordedOperation) and also draws them into a small pixel surface, so
// that tests can assert geometry exactly.
class RecordingContext : public Context {
public:
    explicit RecordingContext(Size size = {320, 480}, Float scale = 1, YAxis axis = YAxis::Down);
    ~RecordingContext() override;
    const std::vector<RecordedOperation>& operations() const { return ops_; }
    // The operations' texts, one per entry.
    std::vector<std::string> operationTexts() const;
    void clearOperations() { ops_.clear(); }

private:
    SurfaceHandle surface_;
    std::vector<RecordedOperation> ops_;
};

// A surface of a fixed pixel size compatible with the context it was made
// for, with its own context (scaled so that it is `size` points, its y axis
// running the way the creating context's does).
class OffscreenLayer {
public:
    OffscreenLayer(cairo_surface_t* similarTo, Size size, Float scale, YAxis axis = YAxis::Down);
    OffscreenLayer(const OffscreenLayer&) = delete;
    OffscreenLayer& operator=(const OffscreenLayer&) = delete;
    // Size in points.
    Size size() const { return size_; }
    Float scale() const { return scale_; }
    YAxis yAxis() const { return context_->yAxis(); }
    Context& context() { return *context_; }
    cairo_surface_t* surface() const { return surface_.get(); }

private:
    SurfaceHandle surface_;
    Size size_;
    Float scale_;
    std::unique_ptr<Context> context_;
};

// The toolkit's current drawing context stack (main thread only).
void pushCurrentContext(Context* context);
void popCurrentContext();
// The top of the stack, or nullptr.
Context* currentContext();

}  // namespace gfx
