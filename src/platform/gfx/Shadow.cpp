#include "platform/gfx/Shadow.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gfx/CairoHandle.h"

namespace gfx {

namespace {

// One box pass over a line of `n` values spaced `step` apart; values outside
// the line count as 0.
void boxLine(float* line, int n, int radius, std::vector<float>& tmp) {
    tmp.assign(line, line + n);
    const float scale = 1.0f / float(2 * radius + 1);
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        if (i >= 0 && i < n) sum += tmp[i];
    for (int i = 0; i < n; ++i) {
        line[i] = float(sum * scale);
        int add = i + radius + 1, drop = i - radius;
        if (add < n) sum += tmp[add];
        if (drop >= 0) sum -= tmp[drop];
    }
}

}  // namespace

Rect userRectToDevice(cairo_t* cr, double x0, double y0, double x1, double y1) {
    double xs[4] = {x0, x1, x0, x1}, ys[4] = {y0, y0, y1, y1};
    double minx = INFINITY, miny = INFINITY, maxx = -INFINITY, maxy = -INFINITY;
    for (int i = 0; i < 4; ++i) {
        cairo_user_to_device(cr, &xs[i], &ys[i]);
        minx = std::min(minx, xs[i]);
        maxx = std::max(maxx, xs[i]);
        miny = std::min(miny, ys[i]);
        maxy = std::max(maxy, ys[i]);
    }
    return {Float(minx), Float(miny), Float(maxx - minx), Float(maxy - miny)};
}

void boxBlurAlpha(unsigned char* data, int width, int height, int stride, int radius) {
    if (radius <= 0 || width <= 0 || height <= 0) return;
    std::vector<float> plane(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) plane[std::size_t(y) * width + x] = data[y * stride + x];
    std::vector<float> line, tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) boxLine(&plane[std::size_t(y) * width], width, radius, tmp);
        line.resize(height);
        for (int x = 0; x < width; ++x) {
            for (int y = 0; y < height; ++y) line[y] = plane[std::size_t(y) * width + x];
            boxLine(line.data(), height, radius, tmp);
            for (int y = 0; y < height; ++y) plane[std::size_t(y) * width + x] = line[y];
        }
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            data[y * stride + x] = (unsigned char)std::clamp(std::lround(plane[std::size_t(y) * width + x]), 0L, 255L);
}

void drawShadow(cairo_t* cr, const Rect& deviceBounds, const ShadowParams& params,
                const std::function<void(cairo_t*)>& paint) {
    if (deviceBounds.isNull() || deviceBounds.isEmpty()) return;
    if (!std::isfinite(deviceBounds.x()) || !std::isfinite(deviceBounds.width())) return;
    Float blur = std::isfinite(params.blur) ? std::max<Float>(0, params.blur) : 0;
    // Three box passes of width w approximate a Gaussian of sigma = blur / 2.
    double sigma = blur / 2;
    int radius = blur > 0 ? std::max(1, int(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2))) : 0;
    Float pad = Float(3 * radius + 2);

    double cx0, cy0, cx1, cy1;
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    // Only the part of the drawing whose shadow can land inside the clip.
    Rect clipDevice = userRectToDevice(cr, cx0, cy0, cx1, cy1);
    Rect wanted = clipDevice.offset(-params.offset.width, -params.offset.height).inset(-pad, -pad);
    Rect region = deviceBounds.inset(-pad, -pad).intersection(wanted).integral();
    if (region.isNull() || region.isEmpty()) return;
    if (region.width() > 8192 || region.height() > 8192) return;
    int w = int(region.width()), h = int(region.height());

    SurfaceHandle scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    CairoContextHandle scratchContext(cairo_create(scratch.get()));
    cairo_t* s = scratchContext.get();
    cairo_matrix_t m, shift, both;
    cairo_get_matrix(cr, &m);
    cairo_matrix_init_translate(&shift, -region.x(), -region.y());
    cairo_matrix_multiply(&both, &m, &shift);
    cairo_set_matrix(s, &both);
    PathHandle path(cairo_copy_path(cr));
    if (path->status == CAIRO_STATUS_SUCCESS) cairo_append_path(s, path.get());
    cairo_set_line_width(s, cairo_get_line_width(cr));
    cairo_set_line_cap(s, cairo_get_line_cap(cr));
    cairo_set_line_join(s, cairo_get_line_join(cr));
    cairo_set_miter_limit(s, cairo_get_miter_limit(cr));
    cairo_set_fill_rule(s, cairo_get_fill_rule(cr));
    cairo_set_antialias(s, cairo_get_antialias(cr));
    int dashes = cairo_get_dash_count(cr);
    if (dashes > 0) {
        std::vector<double> d(dashes);
        double offset;
        cairo_get_dash(cr, d.data(), &offset);
        cairo_set_dash(s, d.data(), dashes, offset);
    }
    cairo_set_source_rgba(s, 0, 0, 0, 1);
    paint(s);
    scratchContext.reset();  // the drawing into the scratch surface is done
    cairo_surface_flush(scratch.get());
    boxBlurAlpha(cairo_image_surface_get_data(scratch.get()), w, h, cairo_image_surface_get_stride(scratch.get()),
                 radius);
    cairo_surface_mark_dirty(scratch.get());

    CairoSavedState saved(cr);
    cairo_identity_matrix(cr);
    auto c = params.color.rgba();
    cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
    cairo_mask_surface(cr, scratch.get(), region.x() + params.offset.width, region.y() + params.offset.height);
}

}  // namespace gfx
