// The XY plot space's mapping of 100,000 data points to view points, in exact
// decimals against doubles, so plots can pick their fast path with numbers.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "charts/CHTXYPlotSpace.h"

namespace {

class BenchGraph : public CHTPlotSpaceGraph {
public:
    bool hasPlotAreaFrame() const override { return true; }
    bool hasPlotArea() const override { return true; }
    gfx::Size plotAreaBoundsSize() const override { return {300, 200}; }
    bool plotAreaContainsPoint(gfx::Point) const override { return true; }
    gfx::Point convertPointToPlotAreaFrame(gfx::Point p) const override { return p; }
    bool plotAreaFrameContainsPoint(gfx::Point) const override { return true; }
};

constexpr int kPoints = 100000;

struct Fixture {
    std::shared_ptr<BenchGraph> graph = std::make_shared<BenchGraph>();
    std::shared_ptr<CHTXYPlotSpace> space = std::make_shared<CHTXYPlotSpace>();
    Fixture() {
        space->setGraph(graph);
        space->setXRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromInteger(0), CHTDecimalFromInteger(kPoints)));
        space->setYRange(CHTPlotRange::plotRangeWithLocation(CHTDecimalFromDouble(-1.5), CHTDecimalFromInteger(250)));
    }
};

void DecimalViewMapping(benchmark::State& state) {
    Fixture f;
    std::vector<CHTDecimalPlotPoint> points;
    points.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i)
        points.push_back({CHTDecimalFromInteger(i), CHTDecimalFromDouble((i % 97) * 2.5 - 1)});
    for (auto _ : state) {
        for (const auto& p : points) benchmark::DoNotOptimize(f.space->plotAreaViewPointForPlotPoint(p));
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void DoubleViewMapping(benchmark::State& state) {
    Fixture f;
    std::vector<CHTDoublePlotPoint> points;
    points.reserve(kPoints);
    for (int i = 0; i < kPoints; ++i) points.push_back({static_cast<double>(i), (i % 97) * 2.5 - 1});
    for (auto _ : state) {
        for (const auto& p : points) benchmark::DoNotOptimize(f.space->plotAreaViewPointForDoublePrecisionPlotPoint(p));
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

}  // namespace

BENCHMARK(DecimalViewMapping)->Unit(benchmark::kMillisecond);
BENCHMARK(DoubleViewMapping)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
