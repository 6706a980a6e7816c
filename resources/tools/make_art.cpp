// Draws the application's images at build time.
//
// Every image is drawn once by a function working in points and written
// twice into the resource folder: "name.png" at 1x and "name@2x.png" at 2x
// (the same drawing, scaled). Icons have transparent backgrounds.
//
// Usage: make_art <resource folder>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgba {
    double r, g, b, a = 1;
    Rgba alpha(double x) const { return {r, g, b, a * x}; }
};

// The palette: the home screen's warm yellow, the workout bar's charcoal,
// white and a cream for paper-like faces.
const Rgba kYellow{0.949, 0.769, 0.173};
const Rgba kYellowLight{1.0, 0.875, 0.42};
const Rgba kYellowDeep{0.86, 0.62, 0.09};
const Rgba kAmberEdge{0.60, 0.41, 0.06};
const Rgba kCharcoal{0.259, 0.2, 0.18};
const Rgba kCharcoalDark{0.16, 0.12, 0.105};
const Rgba kCharcoalLight{0.40, 0.33, 0.30};
const Rgba kWhite{1, 1, 1};
const Rgba kCream{1.0, 0.984, 0.945};
const Rgba kCreamDeep{0.955, 0.905, 0.80};

void source(cairo_t* cr, const Rgba& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// Fills the current path with a vertical gradient from top to bottom.
void fillVertical(cairo_t* cr, double y0, double y1, const Rgba& top, const Rgba& bottom, bool preserve = false) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, p);
    if (preserve) cairo_fill_preserve(cr);
    else cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void fillRadial(cairo_t* cr, double cx, double cy, double r0, double r1, const Rgba& inner, const Rgba& outer) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
    cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outer.a);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A soft drop shadow under a rounded rectangle: layered translucent
// outlines stand in for a blur.
void softShadow(cairo_t* cr, double x, double y, double w, double h, double r, double spread, double strength) {
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double grow = spread * i / steps;
        roundedRect(cr, x - grow, y - grow, w + 2 * grow, h + 2 * grow, r + grow);
        source(cr, kCharcoalDark.alpha(strength / steps));
        cairo_fill(cr);
    }
}

void softCircleShadow(cairo_t* cr, double cx, double cy, double r, double spread, double strength) {
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        cairo_arc(cr, cx, cy, r + spread * i / steps, 0, 2 * kPi);
        source(cr, kCharcoalDark.alpha(strength / steps));
        cairo_fill(cr);
    }
}

// The yellow tile every icon stands on: shadow, gradient body, gloss,
// an amber edge and a thin inner highlight.
void yellowTile(cairo_t* cr, double x, double y, double w, double h, double r, double shadow) {
    if (shadow > 0) softShadow(cr, x, y + shadow * 0.5, w, h, r, shadow, 0.35);
    roundedRect(cr, x, y, w, h, r);
    fillVertical(cr, y, y + h, kYellowLight, kYellowDeep);

    // Gloss over the upper half.
    cairo_save(cr);
    roundedRect(cr, x, y, w, h, r);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h * 0.18);
    cairo_scale(cr, w * 0.75, h * 0.42);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    fillVertical(cr, y - h * 0.25, y + h * 0.6, kWhite.alpha(0.45), kWhite.alpha(0.0));
    cairo_restore(cr);

    const double edge = std::max(1.0, w / 60);
    roundedRect(cr, x + edge * 1.5, y + edge * 1.5, w - edge * 3, h - edge * 3, r - edge * 1.5);
    source(cr, kWhite.alpha(0.45));
    cairo_set_line_width(cr, edge);
    cairo_stroke(cr);
    roundedRect(cr, x + edge / 2, y + edge / 2, w - edge, h - edge, r - edge / 2);
    source(cr, kAmberEdge);
    cairo_set_line_width(cr, edge);
    cairo_stroke(cr);
}

// ---- glyphs ---------------------------------------------------------------
// Glyphs are drawn on a 24-unit grid with a 2-unit stroke, so that every
// icon, large or small, has the same weight. `ink` is the main colour,
// `paper` the fill of page-like parts.

struct Pens {
    Rgba ink;
    Rgba paper;
    Rgba soft;  // secondary marks
};

void strokeWith(cairo_t* cr, const Rgba& c, double width) {
    source(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void fillWith(cairo_t* cr, const Rgba& c) {
    source(cr, c);
    cairo_fill(cr);
}

// An arc from a0 to a1 (radians, clockwise on screen when a1 > a0) with an
// arrowhead at its end.
void arcArrow(cairo_t* cr, const Pens& p, double cx, double cy, double r, double a0, double a1, double width = 2) {
    if (a1 > a0) cairo_arc(cr, cx, cy, r, a0, a1);
    else cairo_arc_negative(cr, cx, cy, r, a0, a1);
    strokeWith(cr, p.ink, width);
    const double dir = a1 > a0 ? 1 : -1;
    const double ex = cx + r * std::cos(a1), ey = cy + r * std::sin(a1);
    const double tx = -std::sin(a1) * dir, ty = std::cos(a1) * dir;  // tangent
    const double nx = std::cos(a1), ny = std::sin(a1);               // outward
    const double head = 2.2 + width * 0.6;
    cairo_move_to(cr, ex + tx * head * 1.1, ey + ty * head * 1.1);
    cairo_line_to(cr, ex + nx * head - tx * head * 0.3, ey + ny * head - ty * head * 0.3);
    cairo_line_to(cr, ex - nx * head - tx * head * 0.3, ey - ny * head - ty * head * 0.3);
    cairo_close_path(cr);
    source(cr, p.ink);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
}

void glyphPlay(cairo_t* cr, const Pens& p) {
    cairo_arc(cr, 12, 12, 9.5, 0, 2 * kPi);
    strokeWith(cr, p.ink, 2);
    cairo_move_to(cr, 9.6, 7.4);
    cairo_line_to(cr, 17.2, 12);
    cairo_line_to(cr, 9.6, 16.6);
    cairo_close_path(cr);
    source(cr, p.ink);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 1.4);
}

void glyphBars(cairo_t* cr, const Pens& p) {
    const double heights[] = {5.5, 9, 13};
    for (int i = 0; i < 3; ++i) {
        const double x = 7.2 + i * 4.6;
        roundedRect(cr, x, 19 - heights[i], 3.2, heights[i], 0.9);
        fillWith(cr, p.ink);
    }
    cairo_move_to(cr, 3.5, 3.5);
    cairo_line_to(cr, 3.5, 20.5);
    cairo_line_to(cr, 21, 20.5);
    strokeWith(cr, p.ink, 2);
}

void glyphGear(cairo_t* cr, const Pens& p) {
    const int teeth = 8;
    const double outer = 10.2, inner = 7.6;
    for (int i = 0; i < teeth; ++i) {
        const double c = 2 * kPi * i / teeth - kPi / 2;
        const double half = kPi / teeth;
        const double a[] = {c - half * 0.95, c - half * 0.42, c + half * 0.42, c + half * 0.95};
        const double rr[] = {inner, outer, outer, inner};
        for (int k = 0; k < 4; ++k) {
            const double x = 12 + rr[k] * std::cos(a[k]), y = 12 + rr[k] * std::sin(a[k]);
            if (i == 0 && k == 0) cairo_move_to(cr, x, y);
            else cairo_line_to(cr, x, y);
        }
        cairo_arc(cr, 12, 12, inner, c + half * 0.95, c + 2 * half - half * 0.95);
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 12, 12, 3.4, 0, 2 * kPi);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    source(cr, p.ink);
    cairo_fill_preserve(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_line_width(cr, 0.8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void glyphPushUp(cairo_t* cr, const Pens& p) {
    cairo_move_to(cr, 2.5, 19.6);
    cairo_line_to(cr, 21.5, 19.6);
    strokeWith(cr, p.soft, 1.4);
    cairo_arc(cr, 19.2, 8.6, 2.3, 0, 2 * kPi);
    fillWith(cr, p.ink);
    cairo_move_to(cr, 4, 17.6);
    cairo_line_to(cr, 16.2, 11.2);
    strokeWith(cr, p.ink, 2.8);
    cairo_move_to(cr, 15, 12);
    cairo_line_to(cr, 15.2, 18.6);
    strokeWith(cr, p.ink, 2);
}

void glyphBulb(cairo_t* cr, const Pens& p) {
    cairo_arc(cr, 12, 10, 6.2, kPi * 0.78, kPi * 2.22);
    cairo_line_to(cr, 14.4, 16.4);
    cairo_line_to(cr, 9.6, 16.4);
    cairo_close_path(cr);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    cairo_move_to(cr, 9.8, 19.2);
    cairo_line_to(cr, 14.2, 19.2);
    strokeWith(cr, p.ink, 2);
    cairo_move_to(cr, 10.9, 21.6);
    cairo_line_to(cr, 13.1, 21.6);
    strokeWith(cr, p.ink, 2);
    // Filament.
    cairo_move_to(cr, 10.4, 12.6);
    cairo_line_to(cr, 11.2, 10.6);
    cairo_line_to(cr, 12.8, 10.6);
    cairo_line_to(cr, 13.6, 12.6);
    strokeWith(cr, p.soft, 1.2);
    // Rays.
    for (double a : {-kPi / 2, -kPi / 2 - 0.9, -kPi / 2 + 0.9}) {
        cairo_move_to(cr, 12 + 8.4 * std::cos(a), 10 + 8.4 * std::sin(a));
        cairo_line_to(cr, 12 + 10.4 * std::cos(a), 10 + 10.4 * std::sin(a));
        strokeWith(cr, p.ink, 1.6);
    }
}

void calendarPage(cairo_t* cr, const Pens& p) {
    roundedRect(cr, 3.5, 5, 17, 15.5, 2.2);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    cairo_save(cr);
    roundedRect(cr, 3.5, 5, 17, 15.5, 2.2);
    cairo_clip(cr);
    cairo_rectangle(cr, 3.5, 5, 17, 4.5);
    fillWith(cr, p.ink);
    cairo_restore(cr);
    for (double x : {8.0, 16.0}) {
        cairo_move_to(cr, x, 3);
        cairo_line_to(cr, x, 6.5);
        strokeWith(cr, p.ink, 2);
    }
}

void glyphCalendar(cairo_t* cr, const Pens& p) {
    calendarPage(cr, p);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            const double x = 6.6 + col * 4, y = 11.6 + row * 3.9;
            roundedRect(cr, x, y, 2.8, 2.6, 0.6);
            fillWith(cr, (row == 1 && col == 1) ? p.ink : p.soft);
        }
    }
}

void glyphResetDay(cairo_t* cr, const Pens& p) {
    calendarPage(cr, p);
    arcArrow(cr, p, 12.6, 15.6, 3.5, kPi * 0.3, -kPi * 0.98, 1.8);
}

void glyphRestartDay(cairo_t* cr, const Pens& p) {
    arcArrow(cr, p, 12, 12, 8.6, -kPi * 0.35, kPi * 1.45);
    cairo_move_to(cr, 10.2, 8.6);
    cairo_line_to(cr, 15.4, 12);
    cairo_line_to(cr, 10.2, 15.4);
    cairo_close_path(cr);
    source(cr, p.ink);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 1.2);
}

void glyphRedo(cairo_t* cr, const Pens& p) { arcArrow(cr, p, 12, 12.6, 7.2, kPi * 0.75, kPi * 2.05); }

void glyphSpin(cairo_t* cr, const Pens& p) {
    arcArrow(cr, p, 12, 12, 7.6, kPi * 1.08, kPi * 1.8);
    arcArrow(cr, p, 12, 12, 7.6, kPi * 0.08, kPi * 0.8);
}

void glyphFillLog(cairo_t* cr, const Pens& p) {
    roundedRect(cr, 3.5, 3, 12.5, 18, 1.8);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    for (double y : {8.0, 11.5, 15.0}) {
        cairo_move_to(cr, 6.6, y);
        cairo_line_to(cr, 12.6, y);
        strokeWith(cr, p.soft, 1.5);
    }
    // Pencil.
    cairo_save(cr);
    cairo_translate(cr, 16.6, 14.2);
    cairo_rotate(cr, kPi * 0.25);
    roundedRect(cr, -1.9, -9, 3.8, 11.5, 0.8);
    source(cr, p.ink);
    cairo_fill(cr);
    cairo_move_to(cr, -1.9, 3.2);
    cairo_line_to(cr, 0, 6.4);
    cairo_line_to(cr, 1.9, 3.2);
    cairo_close_path(cr);
    source(cr, p.ink);
    cairo_fill(cr);
    cairo_rectangle(cr, -1.1, -7.8, 2.2, 1.4);
    source(cr, p.paper);
    cairo_fill(cr);
    cairo_restore(cr);
}

void glyphShake(cairo_t* cr, const Pens& p) {
    cairo_save(cr);
    cairo_translate(cr, 12, 12);
    cairo_rotate(cr, -0.22);
    roundedRect(cr, -3.9, -8.2, 7.8, 16.4, 1.9);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    cairo_arc(cr, 0, 5.4, 0.9, 0, 2 * kPi);
    fillWith(cr, p.ink);
    cairo_restore(cr);
    for (double side : {-1.0, 1.0}) {
        const double base = side > 0 ? 0 : kPi;
        cairo_arc(cr, 12, 12, 7.4, base - 0.42, base + 0.42);
        strokeWith(cr, p.ink, 1.6);
        cairo_new_path(cr);
        cairo_arc(cr, 12, 12, 10.2, base - 0.34, base + 0.34);
        strokeWith(cr, p.soft, 1.6);
        cairo_new_path(cr);
    }
}

void glyphSignOut(cairo_t* cr, const Pens& p) {
    cairo_move_to(cr, 13, 7.5);
    cairo_line_to(cr, 13, 4);
    cairo_line_to(cr, 4, 4);
    cairo_line_to(cr, 4, 20);
    cairo_line_to(cr, 13, 20);
    cairo_line_to(cr, 13, 16.5);
    strokeWith(cr, p.ink, 2);
    cairo_move_to(cr, 8.5, 12);
    cairo_line_to(cr, 20, 12);
    strokeWith(cr, p.ink, 2);
    cairo_move_to(cr, 16.6, 8.4);
    cairo_line_to(cr, 20.4, 12);
    cairo_line_to(cr, 16.6, 15.6);
    strokeWith(cr, p.ink, 2);
}

void glyphGraphType(cairo_t* cr, const Pens& p) {
    const double heights[] = {6, 10, 8, 13};
    for (int i = 0; i < 4; ++i) {
        roundedRect(cr, 4.3 + i * 4.2, 20 - heights[i], 3, heights[i], 0.7);
        fillWith(cr, p.soft);
    }
    const double pts[][2] = {{4.5, 13}, {9.5, 9}, {14, 11.5}, {19.5, 4.8}};
    cairo_move_to(cr, pts[0][0], pts[0][1]);
    for (int i = 1; i < 4; ++i) cairo_line_to(cr, pts[i][0], pts[i][1]);
    strokeWith(cr, p.ink, 2);
    for (auto& pt : pts) {
        cairo_arc(cr, pt[0], pt[1], 1.7, 0, 2 * kPi);
        source(cr, p.paper);
        cairo_fill_preserve(cr);
        strokeWith(cr, p.ink, 1.3);
    }
    cairo_move_to(cr, 3, 21);
    cairo_line_to(cr, 21, 21);
    strokeWith(cr, p.ink, 1.6);
}

void glyphBell(cairo_t* cr, const Pens& p) {
    cairo_move_to(cr, 4.6, 17.4);
    cairo_curve_to(cr, 6.4, 15.8, 6.6, 14.2, 6.6, 11.4);
    cairo_arc(cr, 12, 11, 5.4, kPi, 2 * kPi);
    cairo_curve_to(cr, 17.4, 14.2, 17.6, 15.8, 19.4, 17.4);
    cairo_close_path(cr);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    cairo_arc(cr, 12, 4.3, 1.3, 0, 2 * kPi);
    fillWith(cr, p.ink);
    cairo_arc(cr, 12, 19.6, 1.9, 0, kPi);
    fillWith(cr, p.ink);
    cairo_arc(cr, 12, 11, 2.9, kPi * 1.1, kPi * 1.45);
    strokeWith(cr, p.soft, 1.3);
}

void glyphHelp(cairo_t* cr, const Pens& p) {
    cairo_arc(cr, 12, 12, 9.6, 0, 2 * kPi);
    source(cr, p.paper);
    cairo_fill_preserve(cr);
    strokeWith(cr, p.ink, 2);
    cairo_arc(cr, 12, 9.6, 3.2, kPi, kPi * 2.3);
    cairo_curve_to(cr, 12.6, 12.6, 12, 12.9, 12, 14.4);
    strokeWith(cr, p.ink, 2.2);
    cairo_arc(cr, 12, 17.6, 1.35, 0, 2 * kPi);
    fillWith(cr, p.ink);
}

using Glyph = void (*)(cairo_t*, const Pens&);

// A glyph placed in a box, pressed into its tile: a faint light copy one
// unit below, then the glyph itself.
void placeGlyph(cairo_t* cr, Glyph glyph, double x, double y, double size) {
    const double k = size / 24;
    const Pens pressed{kWhite.alpha(0.5), kWhite.alpha(0.5), kWhite.alpha(0.3)};
    const Pens real{kCharcoal, kCream, kCharcoalLight.alpha(0.75)};
    for (const Pens* pens : {&pressed, &real}) {
        cairo_save(cr);
        cairo_translate(cr, x, y + (pens == &pressed ? std::max(0.6, size / 48) : 0));
        cairo_scale(cr, k, k);
        glyph(cr, *pens);
        cairo_restore(cr);
        cairo_new_path(cr);
    }
}

// ---- images ---------------------------------------------------------------

void menuTile(cairo_t* cr, Glyph glyph) {
    yellowTile(cr, 5, 4, 80, 80, 18, 4);
    if (glyph) placeGlyph(cr, glyph, 19, 18, 52);
}

// The flip's blank face: the tile with an engraved inner outline only.
void blankTile(cairo_t* cr) {
    yellowTile(cr, 5, 4, 80, 80, 18, 4);
    roundedRect(cr, 17, 17, 56, 56, 10);
    source(cr, kWhite.alpha(0.4));
    cairo_set_line_width(cr, 1.5);
    cairo_save(cr);
    cairo_translate(cr, 0, 1);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    roundedRect(cr, 17, 17, 56, 56, 10);
    source(cr, kAmberEdge.alpha(0.55));
    cairo_stroke(cr);
}

// The program's icon for the desktop's menus: the push-up glyph on the
// yellow tile, filling the square with a small margin for the shadow.
void appIcon(cairo_t* cr) {
    yellowTile(cr, 8, 6, 112, 112, 24, 5);
    placeGlyph(cr, glyphPushUp, 22, 20, 84);
}

void rowIcon(cairo_t* cr, Glyph glyph) {
    yellowTile(cr, 1.5, 1, 29, 29, 7, 1.2);
    placeGlyph(cr, glyph, 4.5, 4, 23);
}

// The plate behind the set count: a yellow frame round a cream panel.
void placard(cairo_t* cr) {
    const double x = 6, y = 5, w = 268, h = 136;
    softShadow(cr, x, y + 3, w, h, 24, 6, 0.45);
    roundedRect(cr, x, y, w, h, 24);
    fillVertical(cr, y, y + h, kYellowLight, kYellowDeep);
    roundedRect(cr, x + 0.75, y + 0.75, w - 1.5, h - 1.5, 23.25);
    source(cr, kAmberEdge);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    roundedRect(cr, x + 2.5, y + 2.5, w - 5, h - 5, 21.5);
    source(cr, kWhite.alpha(0.45));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The panel, set into the frame: a light lip below, a shade above.
    const double px = x + 13, py = y + 13, pw = w - 26, ph = h - 26, pr = 13;
    roundedRect(cr, px, py + 1.2, pw, ph, pr);
    source(cr, kWhite.alpha(0.55));
    cairo_fill(cr);
    roundedRect(cr, px, py, pw, ph, pr);
    fillVertical(cr, py, py + ph, kCream, kCreamDeep);
    cairo_save(cr);
    roundedRect(cr, px, py, pw, ph, pr);
    cairo_clip(cr);
    roundedRect(cr, px - 4, py - 3, pw + 8, ph + 6, pr + 3);
    source(cr, kCharcoalDark.alpha(0.22));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    cairo_restore(cr);
    roundedRect(cr, px, py, pw, ph, pr);
    source(cr, kAmberEdge.alpha(0.8));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // Four rivets in the frame's corners.
    for (auto [rx, ry] : {std::pair{x + 13.0, y + 7.0}, std::pair{x + w - 13.0, y + 7.0},
                          std::pair{x + 13.0, y + h - 7.0}, std::pair{x + w - 13.0, y + h - 7.0}}) {
        cairo_arc(cr, rx, ry + 0.6, 2.6, 0, 2 * kPi);
        source(cr, kWhite.alpha(0.5));
        cairo_fill(cr);
        cairo_arc(cr, rx, ry, 2.6, 0, 2 * kPi);
        fillRadial(cr, rx - 0.8, ry - 0.8, 0.2, 2.8, kYellowLight, kAmberEdge);
    }
}

// The rest dial: a charcoal bezel, a yellow ring and a cream face; no
// marks, so that the countdown reads clearly on it.
void timerDial(cairo_t* cr) {
    const double c = 100;
    softCircleShadow(cr, c, c + 2.5, 92, 6, 0.5);
    cairo_arc(cr, c, c, 93, 0, 2 * kPi);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, 7, 0, 193);
    cairo_pattern_add_color_stop_rgb(bezel, 0, kCharcoalLight.r, kCharcoalLight.g, kCharcoalLight.b);
    cairo_pattern_add_color_stop_rgb(bezel, 1, kCharcoalDark.r, kCharcoalDark.g, kCharcoalDark.b);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    cairo_arc(cr, c, c, 92, 0, 2 * kPi);
    source(cr, kWhite.alpha(0.18));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_arc(cr, c, c, 85, 0, 2 * kPi);
    fillVertical(cr, 15, 185, kYellowLight, kYellowDeep);
    cairo_arc(cr, c, c, 84.5, 0, 2 * kPi);
    source(cr, kAmberEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The face, sunk into the ring.
    cairo_arc(cr, c, c + 1.2, 75, 0, 2 * kPi);
    source(cr, kWhite.alpha(0.55));
    cairo_fill(cr);
    cairo_arc(cr, c, c, 75, 0, 2 * kPi);
    fillRadial(cr, c, c - 22, 8, 86, kCream, kCreamDeep);
    cairo_save(cr);
    cairo_arc(cr, c, c, 75, 0, 2 * kPi);
    cairo_clip(cr);
    cairo_arc(cr, c, c - 2, 78, 0, 2 * kPi);
    source(cr, kCharcoalDark.alpha(0.2));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    cairo_restore(cr);
    cairo_arc(cr, c, c, 75, 0, 2 * kPi);
    source(cr, kAmberEdge.alpha(0.8));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// The dial's needle, in a square the dial's size: it points straight up
// from the centre, so turning the square about its centre turns the needle.
void needle(cairo_t* cr) {
    const double c = 100;
    cairo_move_to(cr, c, c - 70);
    cairo_curve_to(cr, c + 1.5, c - 40, c + 4.2, c - 6, c + 4.2, c + 14);
    cairo_arc(cr, c, c + 14, 4.2, 0, kPi);
    cairo_curve_to(cr, c - 4.2, c - 6, c - 1.5, c - 40, c, c - 70);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(c - 4, 0, c + 4, 0);
    cairo_pattern_add_color_stop_rgb(p, 0, kCharcoalLight.r, kCharcoalLight.g, kCharcoalLight.b);
    cairo_pattern_add_color_stop_rgb(p, 1, kCharcoalDark.r, kCharcoalDark.g, kCharcoalDark.b);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Hub cap.
    cairo_arc(cr, c, c, 9, 0, 2 * kPi);
    source(cr, kCharcoalDark);
    cairo_fill(cr);
    cairo_arc(cr, c, c, 7, 0, 2 * kPi);
    fillRadial(cr, c - 2, c - 2.5, 0.5, 8, kYellowLight, kYellowDeep);
    cairo_arc(cr, c, c, 2, 0, 2 * kPi);
    source(cr, kCharcoal);
    cairo_fill(cr);
}

// The marker over the current set: a yellow pill.
void setMarker(cairo_t* cr) {
    softShadow(cr, 3, 3.5, 49, 23, 10, 2, 0.35);
    roundedRect(cr, 3, 2.5, 49, 23, 10);
    fillVertical(cr, 2.5, 25.5, kYellowLight, kYellowDeep);
    cairo_save(cr);
    roundedRect(cr, 3, 2.5, 49, 23, 10);
    cairo_clip(cr);
    cairo_rectangle(cr, 3, 2.5, 49, 10);
    fillVertical(cr, 2.5, 13, kWhite.alpha(0.45), kWhite.alpha(0.05));
    cairo_restore(cr);
    roundedRect(cr, 3.5, 3, 48, 22, 9.5);
    source(cr, kAmberEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// ---- the push-up frames -----------------------------------------------------

struct Pt {
    double x, y;
};

Pt add(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
Pt mul(Pt a, double k) { return {a.x * k, a.y * k}; }
double dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }

void line(cairo_t* cr, Pt a, Pt b, const Rgba& c, double width) {
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    strokeWith(cr, c, width);
}

// Side view of one push-up, `depth` 0 at the top (arms straight) to 1 at
// the bottom (elbows at a right angle). The body is one straight line from
// head to heels pivoting on the toes; the hands stay under the shoulders'
// top position.
void pushUpFrame(cairo_t* cr, double depth, bool goingDown) {
    const double W = 280, H = 160;
    // The card.
    roundedRect(cr, 2, 2, W - 4, H - 4, 14);
    fillVertical(cr, 2, H - 2, kCream, kCreamDeep);
    roundedRect(cr, 2.5, 2.5, W - 5, H - 5, 13.5);
    source(cr, kAmberEdge.alpha(0.55));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    const double ground = 128;
    const Pt toe{32, ground - 3};
    const double body = 178;  // toe to shoulder
    const double topAngle = 20 * kPi / 180;
    const double arm = body * std::sin(topAngle) / 2 + 0.01;  // upper arm = forearm, straight at the top
    const Pt hand{toe.x + body * std::cos(topAngle), ground - 3};
    auto shoulderAt = [&](double a) { return Pt{toe.x + body * std::cos(a), toe.y - body * std::sin(a)}; };
    // The bottom angle puts hand and shoulder a right-angled elbow apart.
    double lo = 0.01, hi = topAngle;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        if (dist(shoulderAt(mid), hand) < arm * std::sqrt(2.0)) lo = mid;
        else hi = mid;
    }
    const double bottomAngle = (lo + hi) / 2;
    const double eased = (1 - std::cos(kPi * depth)) / 2;
    const double angle = topAngle + (bottomAngle - topAngle) * eased;
    const Pt dir{std::cos(angle), -std::sin(angle)};  // along the body, toward the head
    const Pt up{dir.y, -dir.x};                       // perpendicular, away from the floor
    const Pt shoulder = shoulderAt(angle);
    const Pt hip = add(toe, mul(dir, body * 0.5));
    const Pt ankle = add(toe, mul(dir, 6));
    const Pt head = add(toe, mul(dir, body + 21));

    // The elbow: two equal links from shoulder to hand, bent toward the feet.
    const double d = std::min(dist(shoulder, hand), 2 * arm);
    const Pt mid{(shoulder.x + hand.x) / 2, (shoulder.y + hand.y) / 2};
    const double h = std::sqrt(std::max(0.0, arm * arm - d * d / 4));
    Pt across{-(hand.y - shoulder.y) / d, (hand.x - shoulder.x) / d};
    if (across.x > 0) across = mul(across, -1);
    const Pt elbow = add(mid, mul(across, h));

    // Floor mat and the figure's shadow.
    roundedRect(cr, 14, ground - 1, 252, 7, 3.5);
    fillVertical(cr, ground - 1, ground + 6, kYellowLight, kYellowDeep);
    roundedRect(cr, 14.5, ground - 0.5, 251, 6, 3);
    source(cr, kAmberEdge.alpha(0.6));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, (toe.x + head.x) / 2, ground - 1);
    cairo_scale(cr, (head.x - toe.x) / 2 + 6, 3);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    source(cr, kCharcoalDark.alpha(0.12));
    cairo_fill(cr);

    // The straight line from head to heels, drawn as a guide just above
    // the back.
    {
        const Pt a = add(add(toe, mul(dir, -6)), mul(up, 19));
        const Pt b = add(add(toe, mul(dir, body + 36)), mul(up, 19));
        const double dash[] = {5, 4};
        cairo_set_dash(cr, dash, 2, 0);
        line(cr, a, b, kYellowDeep.alpha(0.85), 1.6);
        cairo_set_dash(cr, nullptr, 0, 0);
    }

    // Far arm first (a shade lighter), then the body, then the near arm.
    const Rgba skin = kCharcoalLight;
    const Pt farOffset{5, -1.5};
    line(cr, add(shoulder, farOffset), add(elbow, farOffset), skin, 8);
    line(cr, add(elbow, farOffset), add(hand, farOffset), skin, 8);

    // Feet and legs.
    line(cr, toe, add(ankle, mul(up, 6)), kCharcoalDark, 6);
    line(cr, ankle, hip, kCharcoal, 12);
    // Shorts, shirt.
    line(cr, add(hip, mul(dir, -10)), add(hip, mul(dir, 6)), kCharcoalDark, 16.5);
    line(cr, add(hip, mul(dir, 6)), shoulder, kAmberEdge, 18.5);
    line(cr, add(hip, mul(dir, 6)), shoulder, kYellow, 16);
    line(cr, add(add(hip, mul(dir, 8)), mul(up, 3.5)), add(shoulder, mul(up, 3.5)), kYellowLight, 3);
    // Neck and head.
    line(cr, shoulder, add(toe, mul(dir, body + 9)), kCharcoal, 7);
    cairo_arc(cr, head.x, head.y, 11.5, 0, 2 * kPi);
    fillRadial(cr, head.x - 3, head.y - 3.5, 1, 12, kCharcoalLight, kCharcoalDark);

    // Near arm and hand.
    line(cr, shoulder, elbow, kCharcoal, 9);
    line(cr, elbow, hand, kCharcoal, 9);
    line(cr, hand, add(hand, Pt{6, 0}), kCharcoalDark, 5);

    // Which way the body is moving.
    {
        const double cx = 252, cy = 30, s = goingDown ? 1 : -1;
        for (int i = 0; i < 2; ++i) {
            const double y = cy + s * (i * 7 - 4);
            cairo_move_to(cr, cx - 7, y - s * 4);
            cairo_line_to(cr, cx, y + s * 3);
            cairo_line_to(cr, cx + 7, y - s * 4);
            strokeWith(cr, kYellowDeep.alpha(i == 0 ? 0.5 : 1), 2.6);
        }
    }
}

// ---- writing ----------------------------------------------------------------

struct Art {
    std::string name;
    int width, height;
    std::function<void(cairo_t*)> draw;
};

bool write(const Art& art, const std::filesystem::path& folder, int scale) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, art.width * scale, art.height * scale);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    art.draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const std::string file = art.name + (scale == 1 ? ".png" : "@2x.png");
    const std::filesystem::path final = folder / file;
    const std::filesystem::path temp = folder / (file + ".part");
    // Written beside the final name and renamed, so that an interrupted
    // build never leaves a truncated image behind.
    const cairo_status_t status = cairo_surface_write_to_png(surface, temp.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make_art: cannot write %s: %s\n", temp.c_str(), cairo_status_to_string(status));
        std::filesystem::remove(temp);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, final, ec);
    if (ec) {
        std::fprintf(stderr, "make_art: cannot rename %s: %s\n", temp.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

std::vector<Art> allArt() {
    std::vector<Art> art;
    art.push_back({"todayplacard", 280, 150, placard});
    art.push_back({"timerdial_noticks", 200, 200, timerDial});
    art.push_back({"needle", 200, 200, needle});
    art.push_back({"setbutton", 55, 30, setMarker});

    const std::pair<const char*, Glyph> menu[] = {
        {"dotoday", glyphPlay}, {"graphmain", glyphBars}, {"setup", glyphGear},      {"goodform", glyphPushUp},
        {"weektip", glyphBulb}, {"hinttips", glyphHelp},  {"program", glyphCalendar}};
    for (const auto& [name, g] : menu) {
        Glyph glyph = g;  // a plain copy: structured bindings are not captured by every compiler
        art.push_back({name, 90, 90, [glyph](cairo_t* cr) { menuTile(cr, glyph); }});
    }
    art.push_back({"blank_button", 90, 90, blankTile});
    art.push_back({"appicon", 128, 128, appIcon});

    for (int i = 0; i < 8; ++i) {
        // Frames 1-4 go down, 5-8 come back up.
        const bool down = i < 4;
        const double depth = down ? i / 3.0 : (7 - i) / 3.0;
        art.push_back(
            {"gf" + std::to_string(i + 1), 280, 160, [depth, down](cairo_t* cr) { pushUpFrame(cr, depth, down); }});
    }

    const std::pair<const char*, Glyph> rows[] = {{"redo", glyphRedo},
                                                  {"calendar_r", glyphCalendar},
                                                  {"ResetDay", glyphResetDay},
                                                  {"RestartDay", glyphRestartDay},
                                                  {"filllog", glyphFillLog},
                                                  {"reset", glyphSpin},
                                                  {"shake_icon", glyphShake},
                                                  {"signout", glyphSignOut},
                                                  {"graph_type", glyphGraphType},
                                                  {"reminder", glyphBell},
                                                  {"help", glyphHelp}};
    for (const auto& [name, g] : rows) {
        Glyph glyph = g;
        art.push_back({name, 32, 32, [glyph](cairo_t* cr) { rowIcon(cr, glyph); }});
    }
    return art;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art <resource folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "make_art: cannot make %s: %s\n", folder.c_str(), ec.message().c_str());
        return 1;
    }
    bool ok = true;
    for (const Art& art : allArt()) {
        ok = write(art, folder, 1) && ok;
        ok = write(art, folder, 2) && ok;
    }
    return ok ? 0 : 1;
}
