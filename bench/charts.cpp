// Drawing 10,000 logged days: the progress chart's scatter plot (line, area
// gradient and ellipse symbols) and its bar plot, each into a 640 x 960
// image, against the floor of the same points drawn as one raw cairo polyline
// with the same fill. ScatterLineAndArea10k is the scatter plot without its
// symbols, the part that is compared with the floor; BarPlot is compared
// with BarFloor, the same bars drawn straight with cairo, at 10,000 and at
// 100,000 bars.
// RelabelRecords builds the data labels of 10,000 and of 100,000 records on a
// fresh plot and releases them again; RelabelAgain labels every record of a
// plot that has its labels already, ReloadAndRelabel reloads the data and
// labels every record again, and RemoveAllLabels takes every label away.
// Each of them should take about ten times as long for ten times the records.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include "CairoFloor.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "charts/CHTBarPlot.h"
#include "charts/CHTColor.h"
#include "charts/CHTGradient.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/gfx/Context.h"

namespace {

constexpr int kRecords = 10000;
constexpr gfx::Size kImage{640, 960};
constexpr double kMaxY = 110;

// A log that rises and falls over weeks, with the day-to-day spread of sets.
double dayTotal(int i) { return 50 + 35 * std::sin(i / 60.0) + (i % 5) * 3; }

class BenchGraph : public CHTPlotSpaceGraph {
public:
    bool hasPlotAreaFrame() const override { return true; }
    bool hasPlotArea() const override { return true; }
    gfx::Size plotAreaBoundsSize() const override { return kImage; }
    bool plotAreaContainsPoint(gfx::Point) const override { return true; }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return p; }
    bool plotAreaFrameContainsPoint(gfx::Point) const override { return true; }
};

// Hands over whole ranges of doubles, as a fast data source does.
class BenchSource : public CHTPlotDataSource {
public:
    explicit BenchSource(int records = kRecords) {
        for (int i = 0; i < records; ++i) {
            x.push_back(i + 1);
            y.push_back(dayTotal(i));
            location.push_back(i);
        }
    }
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return x.size(); }
    std::optional<std::span<const double>> doublesForPlot(CHTPlot*, std::size_t field, CHTRecordRange range) override {
        const std::vector<double>& v = field == 0 ? x : field == 2 ? location : y;
        return std::span<const double>(v.data() + range.location, range.length);
    }
    std::vector<double> x, y, location;
};

std::shared_ptr<CHTFill> areaFill() {
    auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithComponentRed(0.3f, 1, 0.3f, 0.8f),
                                                            CHTColor::colorWithComponentRed(0.3f, 1, 0.3f, 0.4f));
    gradient->setAngle(-90);
    return CHTFill::fillWithGradient(gradient);
}

struct Scene {
    std::shared_ptr<BenchGraph> graph = std::make_shared<BenchGraph>();
    std::shared_ptr<CHTXYPlotSpace> space = std::make_shared<CHTXYPlotSpace>();
    std::shared_ptr<BenchSource> source;
    explicit Scene(int records = kRecords) : source(std::make_shared<BenchSource>(records)) {
        space->setGraph(graph);
        space->setXRange(
            CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(records + 1)));
        space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromDouble(kMaxY)));
    }
    template <class P>
    void place(P& plot) {
        plot.setFrame(gfx::Rect(gfx::Point(0, 0), kImage));
        plot.setPlotSpace(space);
        plot.setDataSource(source);
        plot.reloadData();
    }
};

std::shared_ptr<CHTScatterPlot> scatterPlot(Scene& scene, bool symbols) {
    auto plot = std::make_shared<CHTScatterPlot>();
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(1);
    line->setLineColor(CHTColor::greenColor());
    plot->setDataLineStyle(line);
    plot->setAreaFill(areaFill());
    plot->setAreaBaseValue(CHTDecimalFromInteger(0));
    if (symbols) {
        auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
        symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
        symbol->setSize({10, 10});
        plot->setPlotSymbol(symbol);
    }
    scene.place(*plot);
    return plot;
}

void clear(gfx::ImageContext& ctx) { ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kImage)); }

// An image context whose user space runs y-up, as chart layers draw (the
// hosting view flips the same way).
std::unique_ptr<gfx::ImageContext> chartContext() {
    auto ctx = std::make_unique<gfx::ImageContext>(kImage);
    ctx->translate(0, kImage.height);
    ctx->scale(1, -1);
    return ctx;
}

void ScatterPlot10k(benchmark::State& state) {
    Scene scene;
    auto plot = scatterPlot(scene, true);
    auto ctx = chartContext();
    for (auto _ : state) {
        clear(*ctx);
        plot->drawInContext(*ctx);
        ctx->flush();
    }
}

void ScatterLineAndArea10k(benchmark::State& state) {
    Scene scene;
    auto plot = scatterPlot(scene, false);
    auto ctx = chartContext();
    for (auto _ : state) {
        clear(*ctx);
        plot->drawInContext(*ctx);
        ctx->flush();
    }
}

void BarPlot(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    auto plot = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false);
    scene.place(*plot);
    auto ctx = chartContext();
    for (auto _ : state) {
        clear(*ctx);
        plot->drawInContext(*ctx);
        ctx->flush();
    }
}

// The same points mapped to the image (on pixel centres) and drawn straight
// with cairo: the area closed to the baseline and filled with the same
// vertical gradient, then the line stroked.
void CairoFloor10k(benchmark::State& state) {
    BenchSource source;
    gfx::ImageContext ctx(kImage);
    cairo_t* cr = ctx.cairo();
    const double sx = kImage.width / double(kRecords + 1), sy = kImage.height / kMaxY;
    for (auto _ : state) {
        clear(ctx);
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_new_path(cr);
        for (int i = 0; i < kRecords; ++i) {
            // On pixel centres, as the plot aligns its points.
            const double px = std::floor(source.x[i] * sx) + 0.5;
            const double py = std::floor(kImage.height - source.y[i] * sy) + 0.5;
            if (i == 0) cairo_move_to(cr, px, py);
            else cairo_line_to(cr, px, py);
        }
        cairo_path_t* line = cairo_copy_path(cr);
        cairo_line_to(cr, source.x[kRecords - 1] * sx, kImage.height);
        cairo_line_to(cr, source.x[0] * sx, kImage.height);
        cairo_close_path(cr);
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, kImage.height, 0, 0);
        cairo_pattern_add_color_stop_rgba(gradient, 0, 0.3, 1, 0.3, 0.8);
        cairo_pattern_add_color_stop_rgba(gradient, 1, 0.3, 1, 0.3, 0.4);
        cairo_set_source(cr, gradient);
        cairo_fill(cr);
        cairo_pattern_destroy(gradient);
        cairo_append_path(cr, line);
        cairo_path_destroy(line);
        cairo_set_source_rgb(cr, 0, 1, 0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_restore(cr);
        ctx.flush();
    }
}

// The bar plot's bars drawn straight with cairo, in device pixels: each
// bar's corners on pixel centres as the plot aligns them, the tip corners
// rounded by the plot's radius, filled with the green to black gradient
// across the bar and outlined in black.
void BarFloor(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    BenchSource source(records);
    gfx::ImageContext ctx(kImage);
    cairo_t* cr = ctx.cairo();
    const double sx = kImage.width / double(records + 1), sy = kImage.height / kMaxY;
    const double w = 0.4 * sx;
    auto align = [](double v) { return std::round(v) + 0.5; };
    for (auto _ : state) {
        clear(ctx);
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_line_width(cr, 1);
        for (int i = 0; i < records; ++i) {
            const double c = source.location[i] * sx, length = source.y[i] * sy;
            const double base = align(kImage.height), tip = align(kImage.height - length);
            const double right = align(c + w), left = align(c - w), middle = align(c);
            const double r = std::min({2.0, w, length});
            benchfloor::drawBar(cr, left, middle, right, base, tip, r);
        }
        cairo_restore(cr);
        ctx.flush();
    }
}

// Any number of records, handed over as whole ranges of doubles.
class LabelSource : public CHTPlotDataSource {
public:
    explicit LabelSource(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            x.push_back(double(i + 1));
            y.push_back(dayTotal(int(i)));
        }
    }
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return x.size(); }
    std::optional<std::span<const double>> doublesForPlot(CHTPlot*, std::size_t field, CHTRecordRange range) override {
        const std::vector<double>& v = field == 0 ? x : y;
        return std::span<const double>(v.data() + range.location, range.length);
    }
    std::vector<double> x, y;
};

// Timed: building the labels of every record, then releasing the plot and
// its labels. The plot and its data are made outside the timing.
void RelabelRecords(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    Scene scene;
    auto source = std::make_shared<LabelSource>(count);
    auto style = CHTTextStyle::textStyle();
    for (auto _ : state) {
        state.PauseTiming();
        auto plot = std::make_shared<CHTScatterPlot>();
        plot->setFrame(gfx::Rect(gfx::Point(0, 0), kImage));
        plot->setPlotSpace(scene.space);
        plot->setDataSource(source);
        plot->reloadData();
        plot->setLabelTextStyle(style);
        state.ResumeTiming();
        plot->relabel();
        benchmark::DoNotOptimize(plot->labelAnnotations().size());
        plot.reset();
    }
    state.counters["records"] = double(count);
}

// A plot of `count` records with the labels of all of them, made outside
// the timing.
std::shared_ptr<CHTScatterPlot> labelledPlot(Scene& scene, const std::shared_ptr<LabelSource>& source) {
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setFrame(gfx::Rect(gfx::Point(0, 0), kImage));
    plot->setPlotSpace(scene.space);
    plot->setDataSource(source);
    plot->reloadData();
    plot->setLabelTextStyle(CHTTextStyle::textStyle());
    plot->relabel();
    return plot;
}

// Timed: what is done to a plot that has its labels; the plot is made and
// released outside the timing.
template <class Step>
void withLabelledPlot(benchmark::State& state, Step step) {
    const auto count = static_cast<std::size_t>(state.range(0));
    Scene scene;
    auto source = std::make_shared<LabelSource>(count);
    for (auto _ : state) {
        state.PauseTiming();
        auto plot = labelledPlot(scene, source);
        state.ResumeTiming();
        step(*plot);
        benchmark::DoNotOptimize(plot->labelAnnotations().size());
        state.PauseTiming();
        plot.reset();
        state.ResumeTiming();
    }
    state.counters["records"] = double(count);
}

void RelabelAgain(benchmark::State& state) {
    withLabelledPlot(state, [](CHTScatterPlot& plot) {
        plot.setNeedsRelabel();
        plot.relabel();
    });
}

void ReloadAndRelabel(benchmark::State& state) {
    withLabelledPlot(state, [](CHTScatterPlot& plot) {
        plot.reloadData();
        plot.relabel();
    });
}

void RemoveAllLabels(benchmark::State& state) {
    withLabelledPlot(state, [](CHTScatterPlot& plot) {
        plot.setLabelTextStyle(nullptr);
        plot.relabel();
    });
}

}  // namespace

BENCHMARK(ScatterPlot10k)->Unit(benchmark::kMillisecond);
BENCHMARK(ScatterLineAndArea10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BarPlot)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(CairoFloor10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BarFloor)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RelabelRecords)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RelabelAgain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReloadAndRelabel)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RemoveAllLabels)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
