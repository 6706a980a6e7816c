// Renders plots for a person to look at, as PNG files into the folder given:
// every plot symbol drawn as vectors and stamped, the three scatter
// interpolations across a gap, bar variants, the progress chart's line
// graph (with a missing day) and bar graph for 3, 10 and 12 days, data
// labels of a line and of bars in a graph, OHLC bars
// and candlesticks, error bars with a band, a pie and a ring with a slice
// pushed out, and a legend with a swatch of every plot type.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "charts/CHTConstraints.h"
#include "charts/CHTFill.h"
#include "charts/CHTLegend.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPieChart.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTRangePlot.h"
#include "charts/CHTTextStyleExtensions.h"
#include "charts/CHTTradingRangePlot.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/gallery/AppCharts.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "GallerySupport.h"

namespace {

using namespace gallery;
using gfx::Rect;

// Every symbol type: drawn as vectors on the left, stamped on the right (a
// triangle and a star must point up in both).
void symbols() {
    const char* names[] = {"none",    "rectangle", "ellipse", "diamond", "triangle", "star",  "pentagon",
                           "hexagon", "cross",     "plus",    "dash",    "snow",     "custom"};
    Canvas c({260, 13 * 26 + 30});
    label(c.ctx, "vector", Rect(100, 13 * 26 + 8, 60, 14));
    label(c.ctx, "stamped", Rect(170, 13 * 26 + 8, 60, 14));
    gfx::Path arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(4, 2);
    arrow.lineTo(0, 4);
    arrow.lineTo(1, 2);
    arrow.closeSubpath();
    auto shadow = CHTShadow::shadow();
    shadow->setShadowColor(CHTColor::colorWithComponentRed(0, 0, 0, 0.5f));
    shadow->setShadowOffset({1.5f, -1.5f});
    shadow->setShadowBlurRadius(1);
    for (int type = 0; type <= CHTPlotSymbolTypeCustom; ++type) {
        auto symbol = type == CHTPlotSymbolTypeCustom ? CHTPlotSymbol::customPlotSymbolWithPath(arrow)
                                                      : CHTPlotSymbol::plotSymbol();
        symbol->setSymbolType(type);
        symbol->setSize({16, 16});
        symbol->setFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.8f, 0.3f, 1)));
        auto line = CHTLineStyle::lineStyle();
        line->setLineWidth(1.5f);
        line->setLineColor(CHTColor::blackColor());
        symbol->setLineStyle(line);
        if (type == CHTPlotSymbolTypeStar) symbol->setShadow(shadow);
        CGFloat y = 13 * 26 - 14 - type * 26.0f;
        label(c.ctx, names[type], Rect(10, y - 7, 80, 14));
        symbol->renderAsVectorInContext(c.ctx, {130, y}, 1);
        symbol->renderInContext(c.ctx, {200, y}, 2, true);
    }
    save(c.ctx, "plot-symbols");
}

// A free-standing plot over a plot space that maps its ranges onto the
// plot's own bounds.
class StageGraph : public CHTPlotSpaceGraph {
public:
    explicit StageGraph(gfx::Size size) : size(size) {}
    bool hasPlotAreaFrame() const override { return true; }
    bool hasPlotArea() const override { return true; }
    gfx::Size plotAreaBoundsSize() const override { return size; }
    bool plotAreaContainsPoint(gfx::Point) const override { return true; }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return p; }
    bool plotAreaFrameContainsPoint(gfx::Point) const override { return true; }
    gfx::Size size;
};

struct Stage {
    std::shared_ptr<StageGraph> graph;
    std::shared_ptr<CHTXYPlotSpace> space = std::make_shared<CHTXYPlotSpace>();
    Stage(gfx::Size size, double x0, double xl, double y0, double yl) : graph(std::make_shared<StageGraph>(size)) {
        space->setGraph(graph);
        space->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(x0), CHTDecimalFromDouble(xl)));
        space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(y0), CHTDecimalFromDouble(yl)));
    }
    void draw(CHTPlot& plot, gfx::Context& ctx, gfx::Point at) {
        plot.setFrame(Rect(gfx::Point(0, 0), graph->size));
        plot.setPlotSpace(space);
        ctx.save();
        ctx.translate(at.x, at.y);
        ctx.setStrokeColor(gfx::Color::rgb(0.8, 0.8, 0.8, 1));
        ctx.strokeRect(Rect(gfx::Point(0, 0), graph->size));
        plot.layoutAndRenderInContext(ctx);
        ctx.restore();
    }
};

void scatterPlots() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const char* names[] = {"linear", "stepped", "histogram"};
    Canvas c({3 * 170 + 10, 190});
    for (int i = 0; i < 3; ++i) {
        Stage stage({160, 150}, 0, 8, 0, 10);
        auto plot = std::make_shared<CHTScatterPlot>();
        plot->setInterpolation(i);
        plot->setXValues(CHTPlotNumberArray{base::Number(0.5), base::Number(1.5), base::Number(2.5), base::Number(3.5),
                                            base::Number(4.5), base::Number(5.5), base::Number(6.5),
                                            base::Number(7.5)});
        CHTPlotNumberArray y;
        for (double v : {2.0, 6.0, 4.0, nan, 7.0, 5.0, 8.0, 3.0})
            y.push_back(std::isnan(v) ? std::nullopt : std::optional<base::Number>(base::Number(v)));
        plot->setYValues(y);
        auto line = CHTLineStyle::lineStyle();
        line->setLineWidth(2);
        line->setLineColor(CHTColor::blueColor());
        plot->setDataLineStyle(line);
        plot->setAreaFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.5f, 1, 0.3f)));
        plot->setAreaBaseValue(CHTDecimalFromInteger(1));
        auto symbol = CHTPlotSymbol::diamondPlotSymbol();
        symbol->setSize({9, 9});
        symbol->setFill(CHTFill::fillWithColor(CHTColor::orangeColor()));
        plot->setPlotSymbol(symbol);
        stage.draw(*plot, c.ctx, {10 + 170.0f * i, 30});
        label(c.ctx, std::string(names[i]) + ", gap at x = 3.5, base 1", Rect(10 + 170.0f * i, 8, 160, 14), 9);
    }
    save(c.ctx, "scatter-interpolations");
}

void barPlots() {
    Canvas c({3 * 170 + 10, 190});
    auto tips = CHTPlotNumberArray{base::Number(3.0), base::Number(7.0), base::Number(0.2),
                                   base::Number(5.0), base::Number(0.0), base::Number(9.0)};
    const char* names[] = {"vertical, radius 6", "horizontal", "reversed x range"};
    for (int i = 0; i < 3; ++i) {
        Stage stage({160, 150}, i == 2 ? 6 : -0.5, i == 2 ? -6.5 : 6.5, 0, 10);
        if (i == 1) stage = Stage({160, 150}, 0, 10, -0.5, 6.5);
        auto plot = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), i == 1);
        plot->setBarCornerRadius(i == 0 ? 6 : 3);
        plot->setBarTips(tips);
        plot->setBarLocations(CHTPlotNumberArray{base::Number(0), base::Number(1), base::Number(2), base::Number(3),
                                                 base::Number(4), base::Number(5)});
        stage.draw(*plot, c.ctx, {10 + 170.0f * i, 30});
        label(c.ctx, names[i], Rect(10 + 170.0f * i, 8, 160, 14), 9);
    }
    save(c.ctx, "bar-variants");
}

CHTPlotNumberArray numberArray(std::initializer_list<double> values) {
    CHTPlotNumberArray out;
    for (double v : values) out.push_back(std::isnan(v) ? std::nullopt : std::optional<base::Number>(base::Number(v)));
    return out;
}

std::shared_ptr<CHTLineStyle> lineOf(const std::shared_ptr<CHTColor>& color, CGFloat width) {
    auto line = CHTLineStyle::lineStyle();
    line->setLineColor(color);
    line->setLineWidth(width);
    return line;
}

// Seven records: rising, falling, flat (open = close), a missing open, a
// high inside the body, and two more.
std::shared_ptr<CHTTradingRangePlot> week() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    auto plot = std::make_shared<CHTTradingRangePlot>();
    plot->setXValues(numberArray({1, 2, 3, 4, 5, 6, 7}));
    plot->setOpenValues(numberArray({3, 7, 5, nan, 4, 6.5, 5}));
    plot->setHighValues(numberArray({8, 8.5, 7, 8, 5.2, 9, 7.5}));
    plot->setLowValues(numberArray({2, 4, 3, 3, 1.5, 5, 2.5}));
    plot->setCloseValues(numberArray({7, 4.5, 5, 6, 5.5, 8.5, 3}));
    return plot;
}

void tradingRangePlots() {
    Canvas c({3 * 170 + 10, 190});
    const char* names[] = {"OHLC (4: no open)", "candles (3: flat, 5: high in body)", "candlesticks, radius 6"};
    for (int i = 0; i < 3; ++i) {
        Stage stage({160, 150}, 0, 8, 0, 10);
        auto plot = week();
        plot->setLineStyle(lineOf(CHTColor::blackColor(), 1.5f));
        if (i > 0) {
            plot->setPlotStyle(CHTTradingRangePlotStyleCandleStick);
            plot->setBarWidth(12);
            plot->setIncreaseFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.75f, 0.35f, 1)));
            plot->setDecreaseFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.85f, 0.25f, 0.2f, 1)));
            plot->setDecreaseLineStyle(lineOf(CHTColor::colorWithComponentRed(0.45f, 0.05f, 0.05f, 1), 1.5f));
            plot->setBarCornerRadius(i == 2 ? 6 : 0);
        } else {
            plot->setStickLength(6);
        }
        stage.draw(*plot, c.ctx, {10 + 170.0f * i, 30});
        label(c.ctx, names[i], Rect(10 + 170.0f * i, 8, 160, 14), 9);
    }
    save(c.ctx, "trading-range");
}

void rangePlots() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Canvas c({2 * 250 + 10, 230});
    const char* names[] = {"bars, caps and gaps (record 3: no high, record 5: no left)",
                           "band between the ends, bars without caps"};
    for (int i = 0; i < 2; ++i) {
        Stage stage({240, 190}, 0, 7, 0, 10);
        auto plot = std::make_shared<CHTRangePlot>();
        plot->setXValues(numberArray({1, 2, 3, 4, 5, 6}));
        plot->setYValues(numberArray({3, 5, 4.5, 6.5, 6, 7.5}));
        plot->setHighValues(numberArray({1, 1.5, nan, 1, 2, 1}));
        plot->setLowValues(numberArray({1, 1, 1.5, 2, 1, 1.5}));
        plot->setLeftValues(numberArray({0.3, 0.4, 0.3, 0.3, nan, 0.4}));
        plot->setRightValues(numberArray({0.3, 0.4, 0.3, 0.5, 0.3, 0.4}));
        plot->setBarLineStyle(lineOf(CHTColor::colorWithComponentRed(0.1f, 0.2f, 0.6f, 1), 1.5f));
        if (i == 0) {
            plot->setBarWidth(10);
            plot->setGapHeight(8);
            plot->setGapWidth(8);
        } else {
            plot->setAreaFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.5f, 1, 0.3f)));
        }
        stage.draw(*plot, c.ctx, {10 + 250.0f * i, 30});
        label(c.ctx, names[i], Rect(10 + 250.0f * i, 8, 240, 14), 9);
    }
    save(c.ctx, "range-plot");
}

// Slices 1 to 12 of a week's sets, one pushed out.
class SetShares : public CHTPieChartDataSource {
public:
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return values.size(); }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t, std::size_t i) override {
        return std::optional<base::Number>(base::Number(values[i]));
    }
    std::optional<CGFloat> radialOffsetForPieChart(CHTPieChart*, std::size_t i) override {
        return i == pushed ? CGFloat(12) : CGFloat(0);
    }
    std::optional<std::optional<std::string>> legendTitleForPieChart(CHTPieChart*, std::size_t i) override {
        return std::optional<std::string>("Set " + std::to_string(i + 1));
    }
    std::vector<double> values;
    std::size_t pushed = 0;
};

// A graph without axes around one plot, with a legend on its right.
std::shared_ptr<CHTXYGraph> bareGraph(gfx::Size size) {
    auto graph = CHTXYGraph::create(Rect(gfx::Point(0, 0), size));
    graph->setAxisSet(nullptr);
    graph->setPaddingLeft(10);
    graph->setPaddingRight(10);
    graph->setPaddingTop(10);
    graph->setPaddingBottom(10);
    return graph;
}

void pieCharts() {
    Canvas c({2 * 260 + 10, 240});
    std::vector<std::shared_ptr<SetShares>> sources;
    const char* names[] = {"pie, clockwise from the top, slice 1 pushed out",
                           "ring (inner radius 30), counter-clockwise, 12 slices"};
    for (int i = 0; i < 2; ++i) {
        auto source = std::make_shared<SetShares>();
        source->values =
            i == 0 ? std::vector<double>{20, 15, 25, 10, 30} : std::vector<double>{5, 4, 6, 3, 5, 4, 6, 5, 3, 4, 5, 6};
        source->pushed = i == 0 ? 0 : 11;
        sources.push_back(source);
        auto graph = bareGraph({250, 210});
        auto pie = std::make_shared<CHTPieChart>();
        pie->setDataSource(source);
        pie->setPieRadius(70);
        pie->setCenterAnchor({0.36f, 0.5f});
        pie->setBorderLineStyle(lineOf(CHTColor::whiteColor(), 1.5f));
        auto labels = CHTTextStyle::textStyle();
        labels->setFontSize(9);
        pie->setLabelTextStyle(labels);
        pie->setLabelOffset(4);
        if (i == 1) {
            pie->setPieInnerRadius(30);
            pie->setSliceDirection(CHTPieDirectionCounterClockwise);
            pie->setLabelTextStyle(nullptr);
        }
        graph->addPlot(pie);
        auto legend = CHTLegend::legendWithGraph(graph);
        auto small = CHTTextStyle::textStyle();
        small->setFontSize(9);
        legend->setTextStyle(small);
        legend->setNumberOfColumns(1);
        legend->setRowMargin(2);
        legend->setBorderLineStyle(lineOf(CHTColor::grayColor(), 1));
        legend->setCornerRadius(4);
        graph->setLegend(legend);
        graph->setLegendAnchor(CHTRectAnchorRight);
        graph->setLegendDisplacement({-12, 0});
        c.ctx.save();
        c.ctx.translate(10 + 260.0f * i, 28);
        graph->layoutAndRenderInContext(c.ctx);
        c.ctx.restore();
        label(c.ctx, names[i], Rect(10 + 260.0f * i, 8, 250, 14), 9);
    }
    save(c.ctx, "pie-charts");
}

// One legend over a plot of every kind, each with its own swatch.
void legendSwatches() {
    auto line = std::make_shared<CHTScatterPlot>();
    line->setTitle(std::string("Scatter: line and symbol"));
    line->setDataLineStyle(lineOf(CHTColor::blueColor(), 2));
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setSize({8, 8});
    symbol->setFill(CHTFill::fillWithColor(CHTColor::orangeColor()));
    line->setPlotSymbol(symbol);
    auto area = std::make_shared<CHTScatterPlot>();
    area->setTitle(std::string("Scatter: two area fills"));
    area->setDataLineStyle(nullptr);
    area->setAreaFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.5f, 1, 0.6f)));
    area->setAreaFill2(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(1, 0.6f, 0.2f, 0.6f)));
    area->setAreaBaseValue(CHTDecimalFromInteger(0));
    area->setAreaBaseValue2(CHTDecimalFromInteger(5));
    auto bars = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false);
    bars->setTitle(std::string("Bar"));
    auto ohlc = week();
    ohlc->setTitle(std::string("Trading range: OHLC"));
    auto candles = week();
    candles->setTitle(std::string("Trading range: candlestick"));
    candles->setPlotStyle(CHTTradingRangePlotStyleCandleStick);
    candles->setBarWidth(8);
    candles->setIncreaseFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.75f, 0.35f, 1)));
    auto range = std::make_shared<CHTRangePlot>();
    range->setTitle(std::string("Range: bars and band"));
    range->setBarWidth(8);
    range->setGapHeight(6);
    range->setGapWidth(6);
    range->setAreaFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.3f, 0.5f, 1, 0.3f)));
    auto shares = std::make_shared<SetShares>();
    shares->values = {1, 2, 3};
    auto pie = std::make_shared<CHTPieChart>();
    pie->setDataSource(shares);
    pie->setBorderLineStyle(lineOf(CHTColor::blackColor(), 1));

    auto legend = CHTLegend::legendWithPlots({line, area, bars, ohlc, candles, range, pie});
    legend->setNumberOfColumns(2);
    legend->setSwatchSize({24, 18});
    legend->setSwatchCornerRadius(3);
    legend->setColumnMargin(18);
    legend->setFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.97f, 0.97f, 0.93f, 1)));
    legend->setBorderLineStyle(lineOf(CHTColor::darkGrayColor(), 1));
    legend->setCornerRadius(5);
    legend->layoutIfNeeded();
    const gfx::Size size = legend->bounds().size;
    Canvas c({size.width + 20, size.height + 40});
    c.ctx.save();
    c.ctx.translate(10, 10);
    legend->layoutAndRenderInContext(c.ctx);
    c.ctx.restore();
    label(c.ctx, "a legend of every plot type (two columns, rounded swatches)",
          Rect(10, size.height + 18, size.width, 14), 9);
    save(c.ctx, "legend-swatches");
}

// Data labels in a graph: above the points of a line (none at its gap),
// above upward and below downward bars. The value axis is labelled every 4
// with grid lines, so the zero line still reads; the x axis lies along the
// bottom of the plot area, its labels below it where no bar reaches, and the
// frame's padding holds both axes' labels whole.
void labelledPlots() {
    gfx::Size size(300, 220);
    Canvas canvas(size);
    auto& ctx = canvas.ctx;
    auto graph = CHTXYGraph::create(Rect(0, 0, size.width, size.height));
    graph->setPaddingLeft(10);
    graph->setPaddingTop(10);
    graph->setPaddingRight(10);
    graph->setPaddingBottom(10);
    graph->plotAreaFrame()->setPaddingLeft(32);
    graph->plotAreaFrame()->setPaddingTop(8);
    graph->plotAreaFrame()->setPaddingRight(14);
    graph->plotAreaFrame()->setPaddingBottom(22);
    auto space = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    space->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(8)));
    // Room below the lowest bar for its label.
    space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(-6), CHTDecimalFromInteger(20)));
    auto axisSet = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    auto xAxis = axisSet->xAxis();
    xAxis->setAxisConstraints(CHTConstraints::constraintWithLowerOffset(0));
    auto yAxis = axisSet->yAxis();
    yAxis->setMajorIntervalLength(CHTDecimalFromInteger(4));
    yAxis->setMinorTicksPerInterval(0);
    yAxis->setMajorGridLineStyle(lineOf(CHTColor::colorWithComponentRed(0.8f, 0.8f, 0.8f, 1), 0.5f));
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(9);

    auto bars = CHTBarPlot::tubularBarPlotWithColor(CHTColor::orangeColor(), false);
    bars->setBarLocations(CHTPlotNumberArray{base::Number(1), base::Number(3), base::Number(5), base::Number(7)});
    bars->setBarTips(CHTPlotNumberArray{base::Number(3.0), base::Number(-2.5), base::Number(5.0), base::Number(-1.0)});
    bars->setLabelTextStyle(style);
    bars->setLabelOffset(4);
    graph->addPlot(bars);

    auto line = std::make_shared<CHTScatterPlot>();
    line->setXValues(
        CHTPlotNumberArray{base::Number(0.5), base::Number(2), base::Number(4), base::Number(6), base::Number(7.5)});
    line->setYValues(
        CHTPlotNumberArray{base::Number(6.0), base::Number(8.5), std::nullopt, base::Number(9.0), base::Number(7.0)});
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setFill(CHTFill::fillWithColor(CHTColor::blueColor()));
    symbol->setSize({7, 7});
    line->setPlotSymbol(symbol);
    line->setLabelTextStyle(style);
    line->setLabelOffset(5);
    graph->addPlot(line);
    graph->layoutAndRenderInContext(ctx);
    save(ctx, "labelled-plots");
}

void appChart(const std::string& name, std::vector<double> totals, bool bars) {
    gfx::Size size(320, 367);
    gfx::ImageContext ctx(size, 2, gfx::YAxis::Up);
    auto chart = appchart::makeChart(std::make_shared<appchart::DayLog>(std::move(totals)), bars, size);
    chart.graph->layoutAndRenderInContext(ctx);
    save(ctx, name);
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = start(argc, argv, "plot-gallery", "every plot type, plot symbol and legend swatch"); status >= 0)
        return status;
    symbols();
    scatterPlots();
    barPlots();
    labelledPlots();
    tradingRangePlots();
    rangePlots();
    pieCharts();
    legendSwatches();
    const double gap = std::numeric_limits<double>::quiet_NaN();
    appChart("app-line-graph", {40, 55, 62, gap, 75, 80, 96, 101, 118}, false);
    appChart("app-bar-graph-3-days", {40, 55, 62}, true);
    appChart("app-bar-graph-10-days", {40, 55, 62, 70, 75, 80, 96, 101, 118, 124}, true);
    appChart("app-bar-graph-12-days", {40, 55, 62, 70, 75, 80, 96, 101, 118, 124, 131, 140}, true);
    return failures == 0 ? 0 : 1;
}
