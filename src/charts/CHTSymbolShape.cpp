#include "charts/CHTSymbolShape.h"

#include "charts/CHTFill.h"
#include "charts/CHTLineStyle.h"
#include "platform/gfx/Context.h"

namespace {

void polygon(gfx::Path& path, std::initializer_list<gfx::Point> points) {
    path.addLines(points);
    path.closeSubpath();
}

}  // namespace

gfx::Path CHTSymbolShapePath(CHTSymbolShape shape, gfx::Size size) {
    const CGFloat h = size.width / 2, k = size.height / 2;
    const CGFloat r3 = 0.8660254f;  // sin 60
    gfx::Path p;
    switch (shape) {
    case CHTSymbolShape::Rectangle: p.addRect(gfx::Rect(-h, -k, size.width, size.height)); break;
    case CHTSymbolShape::Ellipse: p.addEllipseInRect(gfx::Rect(-h, -k, size.width, size.height)); break;
    case CHTSymbolShape::Diamond: polygon(p, {{0, k}, {h, 0}, {0, -k}, {-h, 0}}); break;
    case CHTSymbolShape::Triangle: polygon(p, {{0, k}, {r3 * h, -0.5f * k}, {-r3 * h, -0.5f * k}}); break;
    case CHTSymbolShape::Star:
        // Outer points every 72 degrees from the top; inner points between
        // them at radius 0.38196602.
        polygon(p, {{0, k},
                    {0.22451399f * h, 0.30901700f * k},
                    {0.95105654f * h, 0.30901700f * k},
                    {0.36327127f * h, -0.11803399f * k},
                    {0.58778524f * h, -0.80901700f * k},
                    {0, -0.38196602f * k},
                    {-0.58778524f * h, -0.80901700f * k},
                    {-0.36327127f * h, -0.11803399f * k},
                    {-0.95105654f * h, 0.30901700f * k},
                    {-0.22451399f * h, 0.30901700f * k}});
        break;
    case CHTSymbolShape::Pentagon:
        polygon(p, {{0, k},
                    {0.95105654f * h, 0.30901700f * k},
                    {0.58778524f * h, -0.80901700f * k},
                    {-0.58778524f * h, -0.80901700f * k},
                    {-0.95105654f * h, 0.30901700f * k}});
        break;
    case CHTSymbolShape::Hexagon: {
        const CGFloat c = static_cast<CGFloat>(static_cast<double>(h) * 0.86602540378);
        polygon(p, {{0, k}, {c, 0.5f * k}, {c, -0.5f * k}, {0, -k}, {-c, -0.5f * k}, {-c, 0.5f * k}});
        break;
    }
    case CHTSymbolShape::Cross:
        p.addLines({{-h, k}, {h, -k}});
        p.addLines({{h, k}, {-h, -k}});
        break;
    case CHTSymbolShape::Plus:
        p.addLines({{0, k}, {0, -k}});
        p.addLines({{-h, 0}, {h, 0}});
        break;
    case CHTSymbolShape::Dash: p.addLines({{h, 0}, {-h, 0}}); break;
    case CHTSymbolShape::Snow:
        p.addLines({{0, k}, {0, -k}});
        p.addLines({{r3 * h, -0.5f * k}, {-r3 * h, 0.5f * k}});
        p.addLines({{-r3 * h, -0.5f * k}, {r3 * h, 0.5f * k}});
        break;
    }
    return p;
}

gfx::Path CHTCustomShapePath(const std::optional<gfx::Path>& path, gfx::Size size) {
    gfx::Path p;
    if (!path || path->isEmpty()) return p;
    gfx::Rect box = path->boundingBox();
    // Each axis: the box's start to 0, scaled to the size, then centred. A
    // flat side (a line) keeps scale 1 and lands on the origin.
    const bool wide = box.width() > 0, tall = box.height() > 0;
    const CGFloat sx = wide ? size.width / box.width() : 1;
    const CGFloat sy = tall ? size.height / box.height() : 1;
    const CGFloat tx = -box.minX() * sx - (wide ? size.width / 2 : 0);
    const CGFloat ty = -box.minY() * sy - (tall ? size.height / 2 : 0);
    gfx::AffineTransform t(sx, 0, 0, sy, tx, ty);
    p.addPath(*path, t);
    return p;
}

void CHTDrawShapePath(gfx::Context& context, const gfx::Path& path, gfx::Size size, const CHTFill* fill,
                      const CHTLineStyle* lineStyle, bool usesEvenOddClipRule) {
    if (fill) {
        gfx::SavedState saved(context);
        context.beginPath();
        context.addPath(path);
        if (usesEvenOddClipRule) context.eoClip();
        else context.clip();
        fill->fillRect(gfx::Rect(-size.width / 2, -size.height / 2, size.width, size.height), context);
    }
    if (lineStyle) {
        lineStyle->setLineStyleInContext(context);
        context.beginPath();
        context.addPath(path);
        context.strokePath();
    }
}
