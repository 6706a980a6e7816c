#pragma once
// Drawing helpers shared by the raw cairo floors of the chart benchmarks.
#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace benchfloor {

// A corner of radius r from the current point through (x1, y1) towards
// (x2, y2), as the plot's paths round their corners; a straight line where
// there is no corner.
inline void arcTo(cairo_t* cr, double x1, double y1, double x2, double y2, double r) {
    double x0, y0;
    cairo_get_current_point(cr, &x0, &y0);
    double ux = x0 - x1, uy = y0 - y1, vx = x2 - x1, vy = y2 - y1;
    const double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    if (r == 0 || lu == 0 || lv == 0 || std::fabs(ux * vy - uy * vx) < 1e-9 * lu * lv) {
        cairo_line_to(cr, x1, y1);
        return;
    }
    ux /= lu, uy /= lu, vx /= lv, vy /= lv;
    const double theta = std::acos(std::clamp(ux * vx + uy * vy, -1.0, 1.0));
    const double d = r / std::tan(theta / 2), h = r / std::sin(theta / 2);
    const double bx = ux + vx, by = uy + vy, lb = std::hypot(bx, by);
    const double cx = x1 + bx / lb * h, cy = y1 + by / lb * h;
    const double a0 = std::atan2(y1 + uy * d - cy, x1 + ux * d - cx);
    const double a1 = std::atan2(y1 + vy * d - cy, x1 + vx * d - cx);
    if ((x1 - x0) * (y2 - y1) - (y1 - y0) * (x2 - x1) < 0) cairo_arc_negative(cr, cx, cy, r, a0, a1);
    else cairo_arc(cr, cx, cy, r, a0, a1);
}

// A bar as the bar plot draws it, in device pixels: the tip's corners rounded
// by r, filled with the green to black gradient across the bar and outlined
// in black.
inline void drawBar(cairo_t* cr, double left, double middle, double right, double base, double tip, double r) {
    cairo_new_path(cr);
    cairo_move_to(cr, right, base);
    arcTo(cr, right, tip, middle, tip, r);
    arcTo(cr, left, tip, left, base, r);
    cairo_line_to(cr, left, base);
    cairo_close_path(cr);
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, 0, x1, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 0, 1, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 0, 0, 0);
    cairo_set_source(cr, gradient);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gradient);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_stroke(cr);
}

}  // namespace benchfloor
