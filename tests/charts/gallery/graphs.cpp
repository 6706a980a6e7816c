// Renders graphs for a person to look at: the small graph of every theme
// (one page each and all five side by side) and a larger Dark Gradients
// chart with a title, as PNG files into the folder given.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "charts/CHTColor.h"
#include "charts/CHTGraph.h"
#include "charts/CHTFill.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTPlotSymbol.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Image.h"
#include "GallerySupport.h"

namespace {

using namespace gallery;

// The grey the graphs are shown on.
const gfx::Color kGrey = gfx::Color::rgb(0.5, 0.5, 0.5, 1);

std::string fileName(std::string name) {
    for (auto& c : name) c = (c == ' ') ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Draws a graph at an offset of a y-up canvas.
void drawGraph(CHTGraph& graph, gfx::Context& ctx, gfx::Point origin) {
    ctx.save();
    ctx.translate(origin.x, origin.y);
    graph.layoutAndRenderInContext(ctx);
    ctx.restore();
}

void themePages() {
    auto classes = CHTTheme::themeClasses();
    // One page per theme, on a mid grey so that every background shows.
    for (const auto& c : classes) {
        Canvas canvas({200, 200}, kGrey);
        auto& ctx = canvas.ctx;
        auto graph = CHTTheme::themeNamed(c.name)->newGraph();
        drawGraph(*graph, ctx, {0, 0});
        save(ctx, "theme-" + fileName(c.name));
    }
    // All of them side by side.
    Canvas canvas({210.0f * classes.size() + 10, 220}, kGrey);
    auto& all = canvas.ctx;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        auto graph = CHTTheme::themeNamed(classes[i].name)->newGraph();
        drawGraph(*graph, all, {10 + 210.0f * i, 10});
    }
    save(all, "themes-side-by-side");
}

// Five days of push-up totals (in hundreds), as the chart screen would
// answer them.
class Totals : public CHTPlotDataSource {
public:
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return 5; }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t field, std::size_t index) override {
        static const double totals[] = {0.6, 0.9, 0.8, 1.4, 1.7};
        if (field == CHTScatterPlotFieldX) return std::optional<base::Number>(base::Number(0.5 + 0.5 * index));
        return std::optional<base::Number>(base::Number(totals[index % 5]));
    }
};

// A chart laid out as the chart screen lays one out, in the theme: room for
// the tick labels inside the plot area frame, a title above it and a line of
// totals with symbols.
std::shared_ptr<CHTGraph> chartInTheme(const std::string& themeName, gfx::Size size,
                                       const std::shared_ptr<CHTPlotDataSource>& totals) {
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, size.width, size.height));
    graph->applyTheme(CHTTheme::themeNamed(themeName));
    graph->setPaddingLeft(10);
    graph->setPaddingRight(10);
    graph->setPaddingBottom(10);
    graph->setPaddingTop(45);
    auto frame = graph->plotAreaFrame();
    frame->setPaddingLeft(45);
    frame->setPaddingBottom(35);
    frame->setPaddingTop(15);
    frame->setPaddingRight(20);
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(3)));
    plotSpace->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(2)));

    bool dark = themeName != "Plain White" && themeName != "Slate";
    auto style = CHTTextStyle::textStyle();
    style->setColor(dark ? CHTColor::whiteColor() : CHTColor::blackColor());
    style->setFontSize(18);
    graph->setTitleTextStyle(style);
    graph->setTitle(themeName);
    graph->setTitleDisplacement(gfx::Point(0, 22));

    auto plot = std::make_shared<CHTScatterPlot>();
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(2);
    line->setLineColor(CHTColor::colorWithComponentRed(0.949, 0.769, 0.173, 1));
    plot->setDataLineStyle(line);
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setFill(CHTFill::fillWithColor(CHTColor::colorWithComponentRed(0.949, 0.769, 0.173, 1)));
    symbol->setSize(gfx::Size(7, 7));
    plot->setPlotSymbol(symbol);
    plot->setDataSource(totals);
    graph->addPlot(plot);
    return graph;
}

void themedCharts() {
    auto totals = std::make_shared<Totals>();
    auto classes = CHTTheme::themeClasses();
    gfx::Size size(300, 300);
    gfx::Size page(10 + (size.width + 10) * classes.size(), size.height + 20);
    Canvas canvas(page, kGrey);
    auto& all = canvas.ctx;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        auto graph = chartInTheme(classes[i].name, size, totals);
        drawGraph(*graph, all, {10 + (size.width + 10) * i, 10});
        gfx::ImageContext one(size, 2, gfx::YAxis::Up);
        drawGraph(*chartInTheme(classes[i].name, size, totals), one, {0, 0});
        save(one, "chart-" + fileName(classes[i].name));
    }
    save(all, "charts-side-by-side");
}

}  // namespace

int main(int argc, char** argv) {
    if (int status = start(argc, argv, "graph-gallery", "the small graph of every theme and a titled chart");
        status >= 0)
        return status;
    CHTTheme::registerThemes();
    themePages();
    themedCharts();
    return failures == 0 ? 0 : 1;
}
