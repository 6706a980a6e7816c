#pragma once
// A small XY chart for the axis, plot-area and annotation tests: a real plot
// area of 200 x 100 points, an XY plot space whose graph is the fake graph
// reporting that plot area, and an XY axis set on both.
#include <memory>
#include <string>
#include <vector>

#include "charts/CHTAxis.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotRange.h"
#include "charts/CHTXYAxisSet.h"
#include "charts/CHTXYPlotSpace.h"
#include "charts/ChartTestSupport.h"

namespace charttest {

inline std::shared_ptr<CHTPlotRange> R(const char* location, const char* length) {
    return CHTPlotRange::plotRangeWithLocation(D(location), D(length));
}

// The locations as doubles, ascending.
inline std::vector<double> values(const CHTDecimalSet& set) {
    std::vector<double> out;
    for (const auto& d : set) out.push_back(d.toDouble());
    return out;
}

struct XYChart {
    explicit XYChart(gfx::Rect frame = gfx::Rect(0, 0, 200, 100)) {
        area = std::make_shared<CHTPlotArea>(frame);
        graph = std::make_shared<FakeGraph>(area);
        space = std::make_shared<CHTXYPlotSpace>();
        space->setGraph(graph);
        space->setXRange(R("0", "10"));
        space->setYRange(R("0", "100"));
        axisSet = std::make_shared<CHTXYAxisSet>(frame);
        x = axisSet->xAxis();
        y = axisSet->yAxis();
        x->setPlotSpace(space);
        y->setPlotSpace(space);
        area->setAxisSet(axisSet);
    }

    std::shared_ptr<CHTPlotArea> area;
    std::shared_ptr<FakeGraph> graph;
    std::shared_ptr<CHTXYPlotSpace> space;
    std::shared_ptr<CHTXYAxisSet> axisSet;
    std::shared_ptr<CHTXYAxis> x;
    std::shared_ptr<CHTXYAxis> y;
};

// The segments stroked by a recording: each moveTo followed by its lineTo,
// as {x1, y1, x2, y2}.
inline std::vector<std::vector<float>> segments(const gfx::RecordingContext& ctx) {
    std::vector<std::vector<float>> out;
    std::vector<float> start;
    for (const auto& op : ctx.operations()) {
        if (op.name == "moveTo") start = op.args;
        else if (op.name == "lineTo" && start.size() == 2) out.push_back({start[0], start[1], op.args[0], op.args[1]});
    }
    return out;
}

// The rectangles filled by a recording ({x, y, width, height}).
inline std::vector<std::vector<float>> filledRects(const gfx::RecordingContext& ctx) {
    std::vector<std::vector<float>> out;
    for (const auto& op : ctx.operations())
        if (op.name == "fillRect" || op.name == "addRect") out.push_back(op.args);
    return out;
}

}  // namespace charttest
