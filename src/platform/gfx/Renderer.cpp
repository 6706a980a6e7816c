#include "platform/gfx/Renderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "platform/gfx/Layer.h"
#include "platform/gfx/Path.h"

namespace gfx {

namespace {

Path roundedRect(const Rect& r, Float radius) {
    Path p;
    radius = std::min({radius, r.width() / 2, r.height() / 2});
    if (radius <= 0) {
        p.addRect(r);
        return p;
    }
    p.moveTo(r.minX(), r.midY());
    p.addArcToPoint(r.minX(), r.minY(), r.midX(), r.minY(), radius);
    p.addArcToPoint(r.maxX(), r.minY(), r.maxX(), r.midY(), radius);
    p.addArcToPoint(r.maxX(), r.maxY(), r.midX(), r.maxY(), radius);
    p.addArcToPoint(r.minX(), r.maxY(), r.minX(), r.midY(), radius);
    p.closeSubpath();
    return p;
}

void drawTree(Layer& layer, Context& context, bool placed) {
    if (layer.isHidden() || layer.opacity() <= 0) return;
    // Each guard also undoes what the drawing code left saved.
    SavedState saved(context);
    if (placed) context.concat(layer.transformToSuperlayer());
    Rect bounds = layer.bounds();
    // Only what lies in the clip is drawn (a redraw of part of the screen
    // clips to that part); a little room is left for antialiasing and
    // shadows that reach past the bounds.
    const Rect clip = context.clipBoundingBox();
    const Float room = 8 + 0.1f * std::max(std::fabs(bounds.width()), std::fabs(bounds.height()));
    const bool visible = clip.isNull() || bounds.standardized().inset(-room, -room).intersects(clip);
    if (!visible && layer.masksToBounds()) return;
    if (layer.masksToBounds()) {
        context.beginPath();
        context.addPath(roundedRect(bounds.standardized(), layer.cornerRadius()));
        context.clip();
    }
    bool group = layer.opacity() < 1;
    cairo_t* cr = context.cairo();
    if (group) cairo_push_group(cr);

    if (visible) {
        SavedState drawing(context);
        context.beginPath();
        layer.drawInContext(context);
        layer.clearNeedsDisplay();
    }

    // A copy: drawing and layout may add sublayers (axis labels are made
    // during layout); those added here are laid out before they draw.
    std::vector<std::shared_ptr<Layer>> subs = layer.sublayers();
    for (const auto& sub : subs) {
        if (sub->superlayer() != &layer) continue;
        sub->layoutIfNeeded();
        drawTree(*sub, context, true);
    }
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, layer.opacity());
    }
}

}  // namespace

void Renderer::render(Layer& layer, Context& context) {
    layer.layoutIfNeeded();
    drawTree(layer, context, true);
}

void Renderer::renderInBounds(Layer& layer, Context& context) {
    layer.layoutIfNeeded();
    drawTree(layer, context, false);
}

void Renderer::drawLayerTree(Layer& layer, Context& context) { drawTree(layer, context, true); }

std::shared_ptr<Image> Renderer::renderToImage(Layer& layer, Float scale) {
    Rect b = layer.bounds().standardized();
    ImageContext context(b.size, scale);
    context.translate(-b.x(), -b.y());
    renderInBounds(layer, context);
    return context.image();
}

std::vector<std::uint8_t> Renderer::renderToPDF(Layer& layer) {
    Rect b = layer.bounds().standardized();
    PDFContext context(Rect(0, 0, b.width(), b.height()));
    context.beginPage();
    context.translate(0, b.height());
    context.scale(1, -1);
    context.translate(-b.x(), -b.y());
    renderInBounds(layer, context);
    context.endPage();
    return context.data();
}

}  // namespace gfx
