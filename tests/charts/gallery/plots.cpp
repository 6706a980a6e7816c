// Renders plots for a person to look at, as PNG files into the folder given:
// every plot symbol drawn as vectors and stamped, the three scatter
// interpolations across a gap, bar variants, and the progress chart's line
// graph (with a missing day) and bar graph for 3, 10 and 12 days.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "charts/CHTFill.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTTextStyleExtensions.h"
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
    const char* names[] = {"none",  "rectangle", "ellipse", "diamond", "triangle", "star",  "pentagon",
                           "hexagon", "cross",   "plus",    "dash",    "snow",     "custom"};
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
                                            base::Number(4.5), base::Number(5.5), base::Number(6.5), base::Number(7.5)});
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
        label(c.ctx, std::string(names[i]) + ", gap at x = 3.5, base 1",
              Rect(10 + 170.0f * i, 8, 160, 14), 9);
    }
    save(c.ctx, "scatter-interpolations");
}

void barPlots() {
    Canvas c({3 * 170 + 10, 190});
    auto tips = CHTPlotNumberArray{base::Number(3.0), base::Number(7.0), base::Number(0.2), base::Number(5.0),
                                   base::Number(0.0), base::Number(9.0)};
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

// Data labels in a graph: above the points of a line (none at its gap),
// above upward and below downward bars.
void labelledPlots() {
    gfx::Size size(300, 220);
    gfx::ImageContext ctx(size, 2, gfx::YAxis::Up);
    ctx.setFillColor(gfx::Color::white());
    ctx.fillRect(Rect(0, 0, size.width, size.height));
    auto graph = CHTXYGraph::create(Rect(0, 0, size.width, size.height));
    auto space = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    space->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(8)));
    space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(-4), CHTDecimalFromInteger(16)));
    auto style = CHTTextStyle::textStyle();
    style->setFontSize(9);

    auto bars = CHTBarPlot::tubularBarPlotWithColor(CHTColor::orangeColor(), false);
    bars->setBarLocations(CHTPlotNumberArray{base::Number(1), base::Number(3), base::Number(5), base::Number(7)});
    bars->setBarTips(CHTPlotNumberArray{base::Number(3.0), base::Number(-2.5), base::Number(5.0), base::Number(-1.0)});
    bars->setLabelTextStyle(style);
    bars->setLabelOffset(4);
    graph->addPlot(bars);

    auto line = std::make_shared<CHTScatterPlot>();
    line->setXValues(CHTPlotNumberArray{base::Number(0.5), base::Number(2), base::Number(4), base::Number(6),
                                        base::Number(7.5)});
    line->setYValues(CHTPlotNumberArray{base::Number(6.0), base::Number(8.5), std::nullopt, base::Number(9.0),
                                        base::Number(7.0)});
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
    if (!makeFolder(argc, argv, "plot-gallery")) return 1;
    symbols();
    scatterPlots();
    barPlots();
    labelledPlots();
    const double gap = std::numeric_limits<double>::quiet_NaN();
    appChart("app-line-graph", {40, 55, 62, gap, 75, 80, 96, 101, 118}, false);
    appChart("app-bar-graph-3-days", {40, 55, 62}, true);
    appChart("app-bar-graph-10-days", {40, 55, 62, 70, 75, 80, 96, 101, 118, 124}, true);
    appChart("app-bar-graph-12-days", {40, 55, 62, 70, 75, 80, 96, 101, 118, 124, 131, 140}, true);
    return failures == 0 ? 0 : 1;
}
