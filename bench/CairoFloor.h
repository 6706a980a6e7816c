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

}  // namespace benchfloor
