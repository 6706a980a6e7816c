// Presses on the progress chart's plots, routed through the graph with the
// chart screen's frame paddings: a press on a symbol or inside a bar tells
// the delegate its record; a press between bars or away from the points
// tells it nothing.
#include <gtest/gtest.h>

#include <vector>

#include "TestEnvironment.h"
#include "charts/CHTPlotArea.h"
#include "charts/gallery/AppCharts.h"

namespace {

class Recorder : public CHTScatterPlotDelegate, public CHTBarPlotDelegate {
public:
    void scatterPlot(CHTScatterPlot*, std::size_t index) override { symbols.push_back(index); }
    void barPlot(CHTBarPlot*, std::size_t index) override { bars.push_back(index); }
    std::vector<std::size_t> symbols, bars;
};

// A point of the plot area in the graph's coordinates.
gfx::Point inGraph(const appchart::Chart& chart, gfx::Point plotAreaPoint) {
    return chart.graph->plotArea()->convertPointTo(plotAreaPoint, chart.graph.get());
}

}  // namespace

TEST(CHTPlotHitTest, APressOnASymbolTellsTheDelegateItsRecord) {
    auto chart = appchart::makeChart(std::make_shared<appchart::DayLog>(std::vector<double>{40, 55, 62, 70}), false);
    auto recorder = std::make_shared<Recorder>();
    chart.graph->reloadData();
    chart.graph->layoutIfNeeded();
    // No delegate for symbols: the plot leaves the press to others.
    gfx::Point second = inGraph(chart, chart.line->plotAreaPointOfVisiblePointAtIndex(1));
    EXPECT_FALSE(chart.line->pointingDeviceDownEvent(nullptr, second));

    chart.line->setDelegate(recorder);
    // The frame's paddings (50 left, 50 bottom) put the plot area away from
    // the graph's origin: the press is converted, not taken as it is.
    EXPECT_GT(second.x, chart.line->plotAreaPointOfVisiblePointAtIndex(1).x + 40);
    EXPECT_TRUE(chart.graph->pointingDeviceDownEvent(nullptr, second));
    // Within the 10 x 10 symbol, off its centre.
    gfx::Point third = inGraph(chart, chart.line->plotAreaPointOfVisiblePointAtIndex(2));
    EXPECT_TRUE(chart.graph->pointingDeviceDownEvent(nullptr, gfx::Point(third.x + 4, third.y - 4)));
    EXPECT_EQ(recorder->symbols, (std::vector<std::size_t>{1, 2}));
    // Beyond the symbol: nothing, unless the margin reaches it.
    EXPECT_FALSE(chart.line->pointingDeviceDownEvent(nullptr, gfx::Point(third.x + 7, third.y)));
    chart.line->setPlotSymbolMarginForHitDetection(3);
    EXPECT_TRUE(chart.line->pointingDeviceDownEvent(nullptr, gfx::Point(third.x + 7, third.y)));
    EXPECT_EQ(recorder->symbols, (std::vector<std::size_t>{1, 2, 2}));
}

TEST(CHTPlotHitTest, APressInsideABarTellsTheDelegateItsRecordAndBetweenBarsNothing) {
    auto chart = appchart::makeChart(std::make_shared<appchart::DayLog>(std::vector<double>{40, 55, 62}), true);
    auto recorder = std::make_shared<Recorder>();
    chart.bars->setDelegate(recorder);
    chart.graph->reloadData();
    chart.graph->layoutIfNeeded();
    auto space = chart.graph->defaultPlotSpace();
    // Bars stand at record index + 5 (the offset of a short log), 0.8 wide.
    auto at = [&](double x, double y) {
        return inGraph(chart, space->plotAreaViewPointForDoublePrecisionPlotPoint({x, y}));
    };
    EXPECT_TRUE(chart.graph->pointingDeviceDownEvent(nullptr, at(6, 30)));
    EXPECT_TRUE(chart.graph->pointingDeviceDownEvent(nullptr, at(7.3, 1)));
    EXPECT_EQ(recorder->bars, (std::vector<std::size_t>{1, 2}));
    // Between two bars, above a bar, and where a bar would be without the offset.
    EXPECT_FALSE(chart.bars->pointingDeviceDownEvent(nullptr, at(5.5, 10)));
    EXPECT_FALSE(chart.bars->pointingDeviceDownEvent(nullptr, at(5, 45)));
    EXPECT_FALSE(chart.bars->pointingDeviceDownEvent(nullptr, at(1, 10)));
    EXPECT_EQ(recorder->bars, (std::vector<std::size_t>{1, 2}));
}
