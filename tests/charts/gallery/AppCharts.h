#pragma once
// The progress chart as the chart screen builds it, for the gallery and the
// plot tests: the "Dark Gradients" graph with its title, axes and frame
// paddings, and either the green line with its area gradient and ellipse
// symbols or the tubular green bars, over a log of day totals.
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "charts/CHTAxisLabel.h"
#include "charts/CHTBarPlot.h"
#include "charts/CHTColor.h"
#include "charts/CHTGradient.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTScatterPlot.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYAxis.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"

namespace appchart {

// Day totals; NaN is a day the source answers nil for.
class DayLog : public CHTPlotDataSource {
public:
    explicit DayLog(std::vector<double> totals) : totals(std::move(totals)) {}
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return totals.size(); }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot* plot, std::size_t field,
                                                             std::size_t index) override {
        const bool bars = dynamic_cast<CHTBarPlot*>(plot) != nullptr;
        const double total = index < totals.size() ? totals[index] : 0;
        std::optional<base::Number> none;
        if (bars) {
            if (field == CHTBarPlotFieldBarLocation) return std::optional<base::Number>(base::Number(int(index)));
            if (field == CHTBarPlotFieldBarTip)
                return std::isnan(total) ? none : std::optional<base::Number>(base::Number(int(total)));
            return none;
        }
        if (field == CHTScatterPlotFieldX) return std::optional<base::Number>(base::Number(int(index + 1)));
        if (field == CHTScatterPlotFieldY)
            return std::isnan(total) ? none : std::optional<base::Number>(base::Number(int(total)));
        return none;
    }
    std::vector<double> totals;
};

struct Chart {
    // Plots do not own their data source: the chart keeps it.
    std::shared_ptr<DayLog> log;
    std::shared_ptr<CHTXYGraph> graph;
    std::shared_ptr<CHTScatterPlot> line;
    std::shared_ptr<CHTBarPlot> bars;
};

inline std::shared_ptr<base::NumberFormatter> wholeNumbers() {
    auto f = std::make_shared<base::NumberFormatter>();
    f->setMaximumFractionDigits(0);
    return f;
}

// The chart screen's graph of the log, `size` points large.
inline Chart makeChart(const std::shared_ptr<DayLog>& log, bool barGraph, gfx::Size size = {320, 367}) {
    CHTTheme::registerThemes();
    double max = 0;
    for (double t : log->totals)
        if (!std::isnan(t)) max = std::max(max, t);
    if (log->totals.empty()) max = 5;
    const double n = double(log->totals.size());

    Chart chart;
    chart.log = log;
    auto graph = CHTXYGraph::create(gfx::Rect(0, 0, size.width, size.height));
    chart.graph = graph;
    graph->applyTheme(CHTTheme::themeNamed("Dark Gradients"));
    auto white = CHTLineStyle::lineStyle();
    white->setLineColor(CHTColor::whiteColor());
    white->setLineWidth(2);
    auto frame = graph->plotAreaFrame();
    if (barGraph) {
        frame->setBorderLineStyle(nullptr);
        frame->setCornerRadius(2);
    }
    graph->setPaddingLeft(0);
    graph->setPaddingRight(0);
    graph->setPaddingTop(0);
    graph->setPaddingBottom(0);
    frame->setPaddingLeft(barGraph ? 35 : 50);
    frame->setPaddingTop(20);
    frame->setPaddingRight(barGraph ? 10 : 20);
    frame->setPaddingBottom(50);
    auto titleStyle = CHTTextStyle::textStyle();
    titleStyle->setColor(CHTColor::grayColor());
    titleStyle->setFontSize(16);
    graph->setTitleTextStyle(titleStyle);
    graph->setTitle(std::string("Total Reps per Day"));
    graph->setTitleDisplacement(gfx::Point(0, -20));

    auto space = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    auto axes = std::dynamic_pointer_cast<CHTXYAxisSet>(graph->axisSet());
    auto x = axes->xAxis();
    auto y = axes->yAxis();
    if (!barGraph) {
        space->setYRange(
            CHTPlotRange::plotRangeWithLocation(CHTDecimalFromFloat(0), CHTDecimalFromFloat(float(max + 5))));
        space->setXRange(
            CHTPlotRange::plotRangeWithLocation(CHTDecimalFromFloat(0), CHTDecimalFromFloat(float(n + 1))));
        x->setMajorIntervalLength(CHTDecimalFromFloat(2));
        x->setOrthogonalCoordinateDecimal(CHTDecimalFromInteger(0));
        x->setMinorTicksPerInterval(1);
        y->setMajorTickLineStyle(nullptr);
        y->setMinorTickLineStyle(nullptr);
        y->setMinorTicksPerInterval(5);
        y->setMajorIntervalLength(CHTDecimalFromString("25"));
        y->setOrthogonalCoordinateDecimal(CHTDecimalFromInteger(0));
        y->setAlternatingBandFills({CHTFill::fillWithColor(CHTColor::colorWithComponentRed(1, 1, 1, 0.1f)), nullptr});
        y->setLabelingPolicy(2);
        y->setLabelFormatter(wholeNumbers());

        auto plot = std::make_shared<CHTScatterPlot>(graph->bounds());
        plot->setIdentifier(base::Value("Pushups"));
        auto line = CHTLineStyle::lineStyle();
        line->setLineWidth(1);
        line->setLineColor(CHTColor::greenColor());
        plot->setDataLineStyle(line);
        plot->setDataSource(log);
        auto gradient = CHTGradient::gradientWithBeginningColor(CHTColor::colorWithComponentRed(0.3f, 1, 0.3f, 0.8f),
                                                                CHTColor::colorWithComponentRed(0.3f, 1, 0.3f, 0.4f));
        gradient->setAngle(-90);
        plot->setAreaFill(CHTFill::fillWithGradient(gradient));
        plot->setAreaBaseValue(CHTDecimalFromString("0"));
        auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
        symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
        auto outline = CHTLineStyle::lineStyle();
        outline->setLineColor(CHTColor::blackColor());
        symbol->setLineStyle(outline);
        symbol->setSize({10, 10});
        plot->setPlotSymbol(symbol);
        graph->addPlot(plot);
        chart.line = plot;
    } else {
        // Room for the last bar: the bars stand at record index + offset, so
        // n days need n + 1 days of range (the chart screen's rule of n puts
        // the last bar on the edge, half cut off).
        const double xLength = std::max(n + 1, 10.0);
        space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromFloat(0), CHTDecimalFromFloat(float(max))));
        space->setXRange(
            CHTPlotRange::plotRangeWithLocation(CHTDecimalFromFloat(0), CHTDecimalFromFloat(float(xLength))));
        x->setAxisLineStyle(white);
        x->setMajorTickLineStyle(nullptr);
        x->setMinorTickLineStyle(nullptr);
        x->setMajorIntervalLength(CHTDecimalFromString("2"));
        x->setMinorTicksPerInterval(1);
        x->setOrthogonalCoordinateDecimal(CHTDecimalFromString("0"));
        x->setTitleLocation(CHTDecimalFromFloat(4));
        x->setTitleOffset(5);
        x->setLabelRotation(0.785398f);
        x->setLabelingPolicy(0);
        auto days = CHTAxisLabel::initWithText("Days", x->labelTextStyle());
        days->setTickLocation(CHTDecimalFromInteger(15));
        days->setOffset(x->labelOffset() + x->majorTickLength());
        x->setAxisLabels(CHTAxisLabelSet{days});
        y->setAxisLineStyle(white);
        y->setMajorTickLineStyle(nullptr);
        y->setMinorTickLineStyle(nullptr);
        y->setMajorIntervalLength(CHTDecimalFromString("25"));
        y->setOrthogonalCoordinateDecimal(CHTDecimalFromInteger(0));
        y->setTitleOffset(0);
        y->setTitleLocation(CHTDecimalFromInteger(150));
        y->setLabelingPolicy(2);
        y->setLabelFormatter(wholeNumbers());

        auto plot = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false);
        plot->setBaseValue(CHTDecimalFromString("0"));
        plot->setDataSource(log);
        // The bars move 5 days right only while all of them still fit in the
        // range; otherwise 1, so that no bar is pushed out of the picture.
        plot->setBarOffset(CHTDecimalFromInteger(n + 5 <= xLength ? 5 : 1));
        plot->setIdentifier(base::Value("Pushups"));
        graph->addPlot(plot);
        chart.bars = plot;
    }
    return chart;
}

}  // namespace appchart
