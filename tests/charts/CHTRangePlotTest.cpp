// Range plots: one record's bars and caps in drawing order, missing ends and
// gaps, the band between the ends, which records are drawn, fields shorter
// than x and y, labels, the legend swatch and archiving.
#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTRangePlot.h"
#include "charts/PlotTestSupport.h"

using namespace plottest;
using charttest::D;

namespace {

CHTPlotNumberArray numbers(std::initializer_list<double> values) {
    CHTPlotNumberArray out;
    for (double v : values) out.push_back(std::isnan(v) ? std::nullopt : std::optional<base::Number>(base::Number(v)));
    return out;
}

// A plot area of 100 x 100 over x 0..10 and y 0..100.
struct RangeStage {
    RangeStage() : stage({100, 100}, 0, 10, 0, 100), plot(stage.add(std::make_shared<CHTRangePlot>())) {
        plot->setAlignsPointsToPixels(false);
    }
    Stage stage;
    std::shared_ptr<CHTRangePlot> plot;
};

}  // namespace

TEST(CHTRangePlotTest, OneRecordsEightSegmentsInOrderWithGapAndCaps) {
    CHTRangePlot plot;
    gfx::RecordingContext ctx({100, 100});
    const CHTRangePlotViewPoint v{50, 50, 80, 20, 10, 90};
    EXPECT_EQ(pathTexts(plot.rangePath(ctx, v, gfx::Size(2, 3), 4, false)),
              (std::vector<std::string>{"M 50 53", "L 50 80",     // upper bar
                                        "M 50 47", "L 50 20",     // lower bar
                                        "M 46 80", "L 54 80",     // upper cap
                                        "M 46 20", "L 54 20",     // lower cap
                                        "M 48 50", "L 10 50",     // left bar
                                        "M 52 50", "L 90 50",     // right bar
                                        "M 10 46", "L 10 54",     // left cap
                                        "M 90 46", "L 90 54"}));  // right cap
    // Only a high: the upper bar from the point itself and its cap.
    const CHTRangePlotViewPoint onlyHigh{50, 50, 80, NaN, NaN, NaN};
    EXPECT_EQ(pathTexts(plot.rangePath(ctx, onlyHigh, gfx::Size(0, 0), 4, false)),
              (std::vector<std::string>{"M 50 50", "L 50 80", "M 46 80", "L 54 80"}));
    // A gap taller than the bar: drawn downward from above the end.
    const CHTRangePlotViewPoint shortHigh{50, 50, 55, NaN, NaN, NaN};
    EXPECT_EQ(pathTexts(plot.rangePath(ctx, shortHigh, gfx::Size(0, 10), 0, false)),
              (std::vector<std::string>{"M 50 60", "L 50 55", "M 50 55", "L 50 55"}));
    // No point: nothing, and nothing is stroked.
    EXPECT_TRUE(plot.rangePath(ctx, {NaN, 50, 80, 20, 10, 90}, gfx::Size(0, 0), 4, false).isEmpty());
    ctx.clearOperations();
    plot.drawRangeInContext(ctx, {50, NaN, 80, 20, 10, 90}, gfx::Size(0, 0), 4, false);
    EXPECT_TRUE(ctx.operations().empty());
}

TEST(CHTRangePlotTest, ViewPointsMapTheEndsAndLeaveMissingOnesOut) {
    RangeStage s;
    s.plot->setXValues(numbers({2, 5, NaN}));
    s.plot->setYValues(numbers({50, 40, 10}));
    s.plot->setHighValues(numbers({10, NaN, 1}));
    s.plot->setLowValues(numbers({20, 5, 1}));
    s.plot->setLeftValues(numbers({1, 1, 1}));
    s.plot->setRightValues(numbers({0.5, NaN, 1}));
    std::vector<char> flags;
    s.plot->calculatePointsToDraw(flags, s.stage.space.get(), false);
    EXPECT_EQ(flags, (std::vector<char>{1, 1, 0}));
    std::vector<CHTRangePlotViewPoint> points;
    s.plot->calculateViewPoints(points, flags);
    EXPECT_FLOAT_EQ(points[0].x, 20);
    EXPECT_FLOAT_EQ(points[0].high, 60);
    EXPECT_FLOAT_EQ(points[0].low, 30);
    EXPECT_FLOAT_EQ(points[0].left, 10);
    EXPECT_FLOAT_EQ(points[0].right, 25);
    EXPECT_TRUE(std::isnan(points[1].high));
    EXPECT_TRUE(std::isnan(points[1].right));
    EXPECT_FLOAT_EQ(points[1].low, 35);
    EXPECT_TRUE(std::isnan(points[2].x));
}

TEST(CHTRangePlotTest, OnlyAChangeOfTheXRegionKeepsBothNeighbours) {
    RangeStage s;
    // Record 1 is above the y range; record 3 right of the x range.
    s.plot->setXValues(numbers({5, 5, 5, 12}));
    s.plot->setYValues(numbers({50, 200, 50, 50}));
    std::vector<char> flags;
    s.plot->calculatePointsToDraw(flags, s.stage.space.get(), false);
    EXPECT_EQ(flags, (std::vector<char>{1, 0, 1, 1}));
    s.plot->calculatePointsToDraw(flags, s.stage.space.get(), true);
    EXPECT_EQ(flags, (std::vector<char>{1, 0, 1, 0}));
    EXPECT_EQ(CHTPlot::extremeDrawnPointIndexForFlags(flags, false), 2u);

    // The scatter plot, sharing the selection, also keeps a pair whose y
    // region changes.
    auto scatter = s.stage.add(std::make_shared<CHTScatterPlot>());
    scatter->setXValues(numbers({5, 5, 5, 12}));
    scatter->setYValues(numbers({50, 200, 50, 50}));
    scatter->calculatePointsToDraw(flags, s.stage.space.get(), false);
    EXPECT_EQ(flags, (std::vector<char>{1, 1, 1, 1}));
}

TEST(CHTRangePlotTest, TheBandRunsThroughThePointsWhereAnEndIsMissing) {
    RangeStage s;
    s.plot->setBarLineStyle(nullptr);
    s.plot->setAreaFill(CHTFill::fillWithColor(CHTColor::blueColor()));
    s.plot->setXValues(numbers({2, 5, 8}));
    s.plot->setYValues(numbers({50, 50, 50}));
    s.plot->setHighValues(numbers({20, NaN, 20}));
    s.plot->setLowValues(numbers({20, 20, 20}));
    gfx::ImageContext ctx({100, 100}, 1, gfx::YAxis::Up);
    s.plot->renderAsVectorInContext(ctx);
    auto img = ctx.image();
    // Rows count from the top: row r is y = 100 - r.
    EXPECT_EQ(img->pixel(50, 45).a, 0);    // y 55 at x 50: above the point, where the band's top dips
    EXPECT_EQ(img->pixel(50, 55).b, 255);  // y 45: inside
    EXPECT_EQ(img->pixel(30, 40).b, 255);  // y 60 near x 20: under the upper edge
    EXPECT_EQ(img->pixel(50, 75).a, 0);    // y 25: below the lower edge
}

TEST(CHTRangePlotTest, FieldsShorterThanXAndYReadAsMissingEnds) {
    RangeStage s;
    // Cached first, so that x and y (three records) set the count.
    s.plot->setHighValues(numbers({10}));
    s.plot->setLeftValues(numbers({1, 1}));
    s.plot->setXValues(numbers({2, 5, 8}));
    s.plot->setYValues(numbers({50, 50, 50}));
    s.plot->setBarWidth(4);
    std::vector<char> flags;
    s.plot->calculatePointsToDraw(flags, s.stage.space.get(), false);
    std::vector<CHTRangePlotViewPoint> points;
    s.plot->calculateViewPoints(points, flags);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[0].high, 60);
    EXPECT_TRUE(std::isnan(points[1].high));
    EXPECT_TRUE(std::isnan(points[2].high));
    EXPECT_FLOAT_EQ(points[1].left, 40);
    EXPECT_TRUE(std::isnan(points[2].left));
    EXPECT_TRUE(std::isnan(points[0].low));
    // The whole plot draws: two bars with caps for the first, one for the
    // second, nothing for the third (the sanitizer build checks the reads).
    gfx::RecordingContext ctx({100, 100});
    s.plot->renderAsVectorInContext(ctx);
    long strokes = 0;
    for (const auto& op : ctx.operations()) strokes += op.name == "strokePath";
    EXPECT_EQ(strokes, 3);
    // The same in a decimal cache.
    s.plot->setCachePrecision(CHTPlotCachePrecisionDecimal);
    s.plot->calculateViewPoints(points, flags);
    EXPECT_FLOAT_EQ(points[0].high, 60);
    EXPECT_TRUE(std::isnan(points[2].high));
    EXPECT_TRUE(std::isnan(points[2].left));
}

TEST(CHTRangePlotTest, MismatchedCountsLabelsSwatchAndArchiving) {
    RangeStage s;
    s.plot->setXValues(numbers({2, 5, 8}));
    s.plot->setYValues(numbers({50, 60}));
    gfx::RecordingContext ctx({100, 100});
    try {
        s.plot->renderAsVectorInContext(ctx);
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Number of x and y values do not match");
    }
    EXPECT_EQ(s.plot->fieldIdentifiersForCoordinate(CHTCoordinateY), (std::vector<std::size_t>{1}));
    EXPECT_THROW(s.plot->fieldIdentifiersForCoordinate(5), base::Exception);

    // Labels at the point, hidden without one, below on a reversed range.
    s.plot->setYValues(numbers({50, NaN, 70}));
    s.plot->setLabelOffset(3);
    s.plot->setLabelTextStyle(CHTTextStyle::textStyle());
    s.plot->relabel();
    const auto& labels = s.plot->labelAnnotations();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_TRUE(CHTDecimalEquals(labels[2]->anchorPlotPoint()[1], D("70")));
    EXPECT_EQ(labels[0]->displacement(), gfx::Point(0, 3));
    s.stage.space->setYRange(CHTPlotRange::plotRangeWithLocation(D("100"), D("-100")));
    s.plot->repositionAllLabelAnnotations();
    EXPECT_EQ(labels[0]->displacement(), gfx::Point(0, -3));

    // The swatch: the band fills the rectangle, the bars reach its edges.
    s.plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    auto red = CHTLineStyle::lineStyle();
    red->setLineColor(CHTColor::redColor());
    red->setLineWidth(2);
    s.plot->setBarLineStyle(red);
    s.plot->setGapHeight(100);  // capped at half the swatch's height
    gfx::ImageContext image({40, 40}, 1, gfx::YAxis::Up);
    s.plot->drawSwatchForLegend(CHTLegendSwatchStyle{}, 0, gfx::Rect(10, 10, 20, 20), image);
    auto img = image.image();
    EXPECT_EQ(img->pixel(12, 12).g, 255);  // the band
    EXPECT_EQ(img->pixel(20, 12).r, 255);  // the upper bar ends at the top edge
    EXPECT_EQ(img->pixel(20, 18).g, 255);  // inside the gap: the band only
    EXPECT_EQ(img->pixel(12, 20).r, 255);  // the left bar

    CHTRegisterCodingClasses();
    s.plot->setBarWidth(6);
    s.plot->setGapWidth(3);
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTRangePlot>(
        base::KeyedArchiver::archivedDataWithRootObject(s.plot));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->barWidth(), 6);
    EXPECT_EQ(decoded->gapWidth(), 3);
    EXPECT_EQ(decoded->gapHeight(), 100);
    ASSERT_TRUE(decoded->barLineStyle());
    EXPECT_EQ(decoded->barLineStyle()->lineWidth(), 2);
    EXPECT_TRUE(decoded->areaFill());
}
