// The progress screen's chart page over a log of 10,000 days, as the
// application builds it (theme, axes, title, plot), drawn into the page's
// 320 x 416 points at 2x in three ways each for the line graph and the bar
// graph:
// - Screen: the page's view drawn through the layer tree, as the window
//   draws it (plot symbols stamped from their cached drawing).
// - Picture: the graph's layoutAndRenderInContext into an image, the path of
//   an image of the chart.
// - CairoFloor: the same page drawn straight with cairo and pango: the
//   background and plot area gradients, the frame's border, the bands and
//   axis lines, every text of the page, the area under the line, the line
//   and one marker drawn once and painted at every point (or every bar's
//   path filled with its gradient and outlined).
// And the whole reload the page does each time it is shown (reading the log,
// building the graph, pulling the numbers) with its first picture.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include "CairoFloor.h"
#include <pango/pangocairo.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LoggedYears.h"
#include "TestEnvironment.h"
#include "charts/CHTGraphHostingView.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTTextLayer.h"
#include "charts/CHTTextStyle.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Renderer.h"
#include "platform/ui/Application.h"
#include "screens/DrawGraphViewController.h"
#include "screens/RegisterScreens.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;
constexpr gfx::Size kPage{320, 416};
constexpr double kScale = 2;

// Totals that rise and fall over the weeks.
bench::LoggedDay chartDay(int i) {
    bench::LoggedDay d{(i / 3) % 6 + 1, i % 3 + 1, 2, {}};
    const int set = 10 + static_cast<int>(7 * std::sin(i / 60.0)) + i % 5;
    for (int slot = 0; slot < 5; ++slot) d.reps[slot] = set;
    return d;
}

struct LoggedYears : bench::LoggedYears {
    LoggedYears() : bench::LoggedYears(kDays, chartDay, registerScreens) {}
};

std::shared_ptr<DrawGraphViewController> chartPage(bool bars) {
    auto page = std::make_shared<DrawGraphViewController>();
    page->setGraphType(bars);
    page->reloadGraph();
    // The window's pixel density, as a 2x screen gives it.
    page->barChart()->setContentsScale(kScale);
    return page;
}

void clear(gfx::Context& ctx) { ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage)); }

// The page's view drawn as the window draws it: the layer tree, each chart
// layer drawing itself (the first frame is drawn before timing).
void ScreenFrame(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    if (page->graphData().size() != static_cast<std::size_t>(kDays)) state.SkipWithError("wrong day count");
    gfx::ImageContext ctx(kPage, kScale);
    auto layer = page->view()->layer();
    gfx::Renderer::renderInBounds(*layer, ctx);
    for (auto _ : state) {
        clear(ctx);
        gfx::Renderer::renderInBounds(*layer, ctx);
        ctx.flush();
    }
}

// The graph drawn whole into an image, as a picture of the chart is made.
void PictureFrame(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    if (page->graphData().size() != static_cast<std::size_t>(kDays)) state.SkipWithError("wrong day count");
    gfx::ImageContext ctx(kPage, kScale, gfx::YAxis::Up);
    page->barChart()->layoutAndRenderInContext(ctx);
    for (auto _ : state) {
        clear(ctx);
        page->barChart()->layoutAndRenderInContext(ctx);
        ctx.flush();
    }
}

// ---- The floor: the same page drawn straight with cairo and pango

struct PageText {
    std::string text;
    std::string font;
    double size;
    std::array<gfx::Float, 4> rgba;
    gfx::Rect frame;  // graph coordinates, y up
};

// What the floor needs of the laid-out page: where the plot area lies, the
// ranges it shows, and every text with its place.
struct PageGeometry {
    gfx::Rect graph, frame, area;
    double xLocation, xLength, yLocation, yLength, barOffset;
    std::vector<PageText> texts;
};

void collectTexts(const gfx::Layer& layer, const gfx::Layer& graph, std::vector<PageText>& out) {
    if (layer.isHidden()) return;
    if (auto text = dynamic_cast<const CHTTextLayer*>(&layer); text && text->textStyle()) {
        const auto& style = *text->textStyle();
        auto color = style.color() ? style.color()->cgColor().rgba() : std::array<gfx::Float, 4>{0, 0, 0, 1};
        out.push_back(
            {text->text(), style.fontName(), style.fontSize(), color, graph.convertRectFrom(text->bounds(), &layer)});
    }
    for (const auto& sub : layer.sublayers()) collectTexts(*sub, graph, out);
}

PageGeometry pageGeometry(DrawGraphViewController& page, bool bars) {
    auto graph = page.barChart();
    gfx::ImageContext scratch(kPage, kScale, gfx::YAxis::Up);
    graph->layoutAndRenderInContext(scratch);  // lays out, labels the axes
    PageGeometry g;
    g.graph = graph->bounds();
    auto frame = graph->plotAreaFrame();
    g.frame = graph->convertRectFrom(frame->bounds(), frame.get());
    auto area = frame->plotArea();
    g.area = graph->convertRectFrom(area->bounds(), area.get());
    auto space = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    g.xLocation = space->xRange()->locationDouble();
    g.xLength = space->xRange()->lengthDouble();
    g.yLocation = space->yRange()->locationDouble();
    g.yLength = space->yRange()->lengthDouble();
    g.barOffset = bars ? static_cast<double>(DrawGraphViewController::barOffset(kDays)) : 0;
    collectTexts(*graph, *graph, g.texts);
    return g;
}

// Where the data is drawn: inside the plot area frame's inner border (its
// rounded corners included), as the frame masks the plots.
void clipToFrame(cairo_t* cr, const PageGeometry& g, bool bars);

void roundedRect(cairo_t* cr, const gfx::Rect& r, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void clipToFrame(cairo_t* cr, const PageGeometry& g, bool bars) {
    const double border = bars ? 0 : 4, radius = bars ? 2 : 10;
    roundedRect(cr, g.frame.inset(border, border), radius - border / 2);
    cairo_clip(cr);
}

void drawTexts(cairo_t* cr, const PageGeometry& g) {
    for (const PageText& t : g.texts) {
        cairo_save(cr);
        // Text runs top-down: flip about the text's frame.
        cairo_translate(cr, t.frame.minX(), t.frame.maxY());
        cairo_scale(cr, 1, -1);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        PangoFontDescription* font = pango_font_description_from_string(t.font.c_str());
        pango_font_description_set_absolute_size(font, t.size * PANGO_SCALE);
        pango_layout_set_font_description(layout, font);
        pango_layout_set_text(layout, t.text.c_str(), -1);
        cairo_set_source_rgba(cr, t.rgba[0], t.rgba[1], t.rgba[2], t.rgba[3]);
        cairo_move_to(cr, 1, 1);
        pango_cairo_show_layout(cr, layout);
        pango_font_description_free(font);
        g_object_unref(layout);
        cairo_restore(cr);
    }
}

// The background, the plot area frame and the bands.
void drawPageFurniture(cairo_t* cr, const PageGeometry& g, bool bars) {
    cairo_pattern_t* back = cairo_pattern_create_linear(0, g.graph.minY(), 0, g.graph.maxY());
    const double stops[][2] = {{0, 0.1}, {0.3, 0.2}, {0.5, 0.3}, {0.6, 0.2}, {1, 0.1}};
    for (const auto& s : stops) cairo_pattern_add_color_stop_rgb(back, s[0], s[1], s[1], s[1]);
    cairo_set_source(cr, back);
    cairo_paint(cr);
    cairo_pattern_destroy(back);

    cairo_pattern_t* frame = cairo_pattern_create_linear(0, g.frame.minY(), 0, g.frame.maxY());
    cairo_pattern_add_color_stop_rgb(frame, 0, 0.1, 0.1, 0.1);
    cairo_pattern_add_color_stop_rgb(frame, 1, 0.3, 0.3, 0.3);
    roundedRect(cr, g.frame.inset(2, 2), bars ? 2 : 10);
    cairo_set_source(cr, frame);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(frame);
    if (!bars) {
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);

    if (!bars) {
        // Every other band of 25 repetitions lightened.
        cairo_set_source_rgba(cr, 1, 1, 1, 0.1);
        const double band = 25 * g.area.height() / g.yLength;
        for (double y = g.area.minY(); y < g.area.maxY(); y += 2 * band)
            cairo_rectangle(cr, g.area.minX(), y, g.area.width(), std::min(band, g.area.maxY() - y));
        cairo_fill(cr);
    }
}

// The axis lines, above the data.
void drawAxes(cairo_t* cr, const PageGeometry& g, bool bars) {
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    if (bars) cairo_set_source_rgb(cr, 1, 1, 1);
    else cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_move_to(cr, g.area.minX(), g.area.minY());
    cairo_line_to(cr, g.area.maxX(), g.area.minY());
    cairo_move_to(cr, g.area.minX(), g.area.minY());
    cairo_line_to(cr, g.area.minX(), g.area.maxY());
    cairo_stroke(cr);
}

// The line graph's data: the area to the baseline with its gradient, the
// line, and a marker drawn once and painted at each point; the points on
// pixel centres, as the plot aligns them, and the markers on whole pixels.
void drawLineData(cairo_t* cr, const PageGeometry& g, const std::vector<double>& totals, cairo_surface_t* marker,
                  int markerPixels) {
    const double sx = g.area.width() / g.xLength, sy = g.area.height() / g.yLength;
    cairo_save(cr);
    clipToFrame(cr, g, false);
    // Everything below in device pixels.
    cairo_matrix_t toDevice;
    cairo_get_matrix(cr, &toDevice);
    cairo_identity_matrix(cr);
    std::vector<std::pair<double, double>> points(totals.size());
    for (std::size_t i = 0; i < totals.size(); ++i) {
        double x = g.area.minX() + (double(i + 1) - g.xLocation) * sx;
        double y = g.area.minY() + (totals[i] - g.yLocation) * sy;
        cairo_matrix_transform_point(&toDevice, &x, &y);
        points[i] = {std::round(x) + 0.5, std::round(y) + 0.5};
    }
    double top = g.area.maxY(), bottom = g.area.minY(), unused = 0;
    cairo_matrix_transform_point(&toDevice, &unused, &top);
    cairo_matrix_transform_point(&toDevice, &unused, &bottom);

    cairo_new_path(cr);
    for (const auto& [x, y] : points) cairo_line_to(cr, x, y);
    cairo_path_t* line = cairo_copy_path(cr);
    cairo_line_to(cr, points.back().first, bottom);
    cairo_line_to(cr, points.front().first, bottom);
    cairo_close_path(cr);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgba(gradient, 0, 0.3, 1, 0.3, 0.8);
    cairo_pattern_add_color_stop_rgba(gradient, 1, 0.3, 1, 0.3, 0.4);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
    cairo_append_path(cr, line);
    cairo_path_destroy(line);
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_set_line_width(cr, kScale);
    cairo_stroke(cr);

    const double half = markerPixels / 2.0;
    for (const auto& [x, y] : points) {
        const double px = std::round(x - half), py = std::round(y - half);
        cairo_set_source_surface(cr, marker, px, py);
        cairo_rectangle(cr, px, py, markerPixels, markerPixels);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// The bar graph's data in device pixels: each bar's corners on pixel
// centres as the plot aligns them, the tip corners rounded by the plot's
// radius, filled with the green to black gradient across the bar and
// outlined in black.
void drawBarData(cairo_t* cr, const PageGeometry& g, const std::vector<double>& totals) {
    const double sx = g.area.width() / g.xLength, sy = g.area.height() / g.yLength;
    const double w = 0.4 * sx * kScale;
    cairo_save(cr);
    clipToFrame(cr, g, true);
    cairo_matrix_t toDevice;
    cairo_get_matrix(cr, &toDevice);
    cairo_identity_matrix(cr);
    cairo_set_line_width(cr, kScale);
    auto align = [](double v) { return std::round(v) + 0.5; };
    for (std::size_t i = 0; i < totals.size(); ++i) {
        double c = g.area.minX() + (double(i) + g.barOffset - g.xLocation) * sx;
        double base = g.area.minY() - g.yLocation * sy, tip = g.area.minY() + (totals[i] - g.yLocation) * sy;
        double unused = c;
        cairo_matrix_transform_point(&toDevice, &c, &base);
        cairo_matrix_transform_point(&toDevice, &unused, &tip);
        const double r = std::min({2.0 * kScale, w, std::fabs(tip - base)});
        const double right = align(c + w), left = align(c - w), middle = align(c);
        base = align(base);
        tip = align(tip);
        benchfloor::drawBar(cr, left, middle, right, base, tip, r);
    }
    cairo_restore(cr);
}

void CairoFloor(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    const PageGeometry g = pageGeometry(*page, bars);
    std::vector<double> totals;
    for (const auto& day : page->graphData()) totals.push_back(double(DrawGraphViewController::dayTotal(*day)));

    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(kPage.width * kScale), int(kPage.height * kScale));
    // The marker: a 10-point green circle with a black outline, drawn once.
    const int markerPixels = int(std::ceil((10 + 1) * kScale + 2));
    cairo_surface_t* marker =
        cairo_surface_create_similar(surface, CAIRO_CONTENT_COLOR_ALPHA, markerPixels, markerPixels);
    {
        cairo_t* m = cairo_create(marker);
        cairo_scale(m, kScale, kScale);
        cairo_arc(m, markerPixels / (2 * kScale), markerPixels / (2 * kScale), 5, 0, 2 * M_PI);
        cairo_set_source_rgb(m, 0, 1, 0);
        cairo_fill_preserve(m);
        cairo_set_source_rgb(m, 0, 0, 0);
        cairo_set_line_width(m, 1);
        cairo_stroke(m);
        cairo_destroy(m);
    }
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_save(cr);
        // Points, y up, as the graph draws.
        cairo_translate(cr, 0, kPage.height * kScale);
        cairo_scale(cr, kScale, -kScale);
        drawPageFurniture(cr, g, bars);
        if (bars) drawBarData(cr, g, totals);
        else drawLineData(cr, g, totals, marker, markerPixels);
        drawAxes(cr, g, bars);
        drawTexts(cr, g);
        cairo_restore(cr);
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(marker);
    cairo_surface_destroy(surface);
}

// What showing the page costs: the log read, a new graph, its numbers and
// its first picture.
void ReloadAndFirstFrame(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    gfx::ImageContext ctx(kPage, kScale, gfx::YAxis::Up);
    for (auto _ : state) {
        page->reloadGraph();
        clear(ctx);
        page->barChart()->layoutAndRenderInContext(ctx);
        ctx.flush();
    }
}

void LineGraphScreenFrame10kDays(benchmark::State& state) { ScreenFrame(state, false); }
void LineGraphPictureFrame10kDays(benchmark::State& state) { PictureFrame(state, false); }
void LineGraphCairoFloor10kDays(benchmark::State& state) { CairoFloor(state, false); }
void BarGraphScreenFrame10kDays(benchmark::State& state) { ScreenFrame(state, true); }
void BarGraphPictureFrame10kDays(benchmark::State& state) { PictureFrame(state, true); }
void BarGraphCairoFloor10kDays(benchmark::State& state) { CairoFloor(state, true); }
void LineGraphReloadAndFrame10kDays(benchmark::State& state) { ReloadAndFirstFrame(state, false); }
void BarGraphReloadAndFrame10kDays(benchmark::State& state) { ReloadAndFirstFrame(state, true); }

}  // namespace

BENCHMARK(LineGraphScreenFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(LineGraphPictureFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(LineGraphCairoFloor10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphScreenFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphPictureFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphCairoFloor10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(LineGraphReloadAndFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphReloadAndFrame10kDays)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
