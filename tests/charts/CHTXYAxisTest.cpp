#include "charts/CHTXYAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "charts/AxisTestSupport.h"
#include "charts/CHTColor.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTGridLines.h"
#include "charts/CHTMutableLineStyle.h"
#include "platform/gfx/Context.h"

using charttest::D;
using charttest::filledRects;
using charttest::R;
using charttest::segments;
using charttest::XYChart;

namespace {

// Where a coordinate lands after alignment to pixel centres in a y-down
// context at scale 1.
float aligned(float v) { return std::round(v) + 0.5f; }

// An x axis held across the middle of the 200 x 100 plot area by its
// constraints (its orthogonal value would put it at the bottom), x over
// [0, 10].
struct MiddleAxis : XYChart {
    MiddleAxis() {
        x->setOrthogonalCoordinateDecimal(D("0"));
        x->setAxisConstraints(CHTConstraints::constraintWithRelativeOffset(0.5f));
        x->setMinorTickLineStyle(nullptr);
        x->setAxisLineStyle(nullptr);
        x->setLabelingPolicy(1);
        x->setMajorTickLocations({D("5")});
    }
};

TEST(CHTXYAxisTest, NewAxisSetHasAnXAndAYAxis) {
    CHTXYAxisSet set(gfx::Rect(0, 0, 10, 10));
    ASSERT_TRUE(set.xAxis() && set.yAxis());
    EXPECT_EQ(set.xAxis()->coordinate(), 0);
    EXPECT_EQ(set.xAxis()->labelAlignment(), 1);
    EXPECT_EQ(set.xAxis()->tickDirection(), -1);
    EXPECT_EQ(set.yAxis()->coordinate(), 1);
    EXPECT_EQ(set.yAxis()->labelAlignment(), 4);
    EXPECT_EQ(set.yAxis()->tickDirection(), -1);
    EXPECT_EQ(CHTXYAxis().tickDirection(), 0);
}

TEST(CHTXYAxisTest, CoordinateKeepsTheAlignmentFittingAndRefusesOthers) {
    CHTXYAxis axis;
    axis.setLabelAlignment(2);
    axis.setCoordinate(1);
    EXPECT_EQ(axis.labelAlignment(), 4);
    axis.setLabelAlignment(5);
    axis.setCoordinate(0);
    EXPECT_EQ(axis.labelAlignment(), 1);
    try {
        axis.setCoordinate(2);
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "NSInvalidArgumentException");
        EXPECT_EQ(e.reason(), "Invalid coordinate: 2");
    }
    EXPECT_EQ(axis.coordinate(), 0);
}

TEST(CHTXYAxisTest, TicksRunAcrossTheAxisByDirection) {
    MiddleAxis chart;
    struct Case {
        int direction;
        float from, to;
    } cases[] = {{0, 50 - 3.5f, 50 + 3.5f}, {1, 50, 57}, {-1, 50, 43}};
    for (const auto& c : cases) {
        chart.x->setTickDirection(c.direction);
        chart.x->setMajorTickLength(7);
        gfx::RecordingContext ctx({200, 100});
        chart.x->drawTicksInContext(ctx, chart.x->majorTickLocations(), 7, true);
        auto lines = segments(ctx);
        ASSERT_EQ(lines.size(), 1u) << c.direction;
        EXPECT_EQ(lines[0][0], aligned(100));
        EXPECT_EQ(lines[0][2], aligned(100));
        EXPECT_EQ(lines[0][1], aligned(c.from)) << c.direction;
        EXPECT_EQ(lines[0][3], aligned(c.to)) << c.direction;
    }
    // Without a tick line style nothing is drawn.
    chart.x->setMajorTickLineStyle(nullptr);
    gfx::RecordingContext none({200, 100});
    chart.x->drawTicksInContext(none, chart.x->majorTickLocations(), 7, true);
    EXPECT_TRUE(segments(none).empty());
}

TEST(CHTXYAxisTest, AxisLineRunsOverTheVisibleRange) {
    MiddleAxis chart;
    chart.x->setMajorTickLineStyle(nullptr);
    chart.x->setAxisLineStyle(CHTLineStyle::lineStyle());
    chart.x->setVisibleRange(R("2", "6"));
    gfx::RecordingContext ctx({200, 100});
    chart.x->renderAsVectorInContext(ctx);
    auto lines = segments(ctx);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (std::vector<float>{aligned(40), aligned(50), aligned(160), aligned(50)}));
}

TEST(CHTXYAxisTest, ConstraintsPlaceTheAxisWhateverTheOrthogonalValue) {
    XYChart chart;
    chart.x->setAxisConstraints(CHTConstraints::constraintWithRelativeOffset(0.5f));
    for (const char* orthogonal : {"0", "80", "-1000"}) {
        chart.x->setOrthogonalCoordinateDecimal(D(orthogonal));
        gfx::Point p = chart.x->viewPointForCoordinateDecimalNumber(D("5"));
        EXPECT_FLOAT_EQ(p.x, 100);
        EXPECT_FLOAT_EQ(p.y, 50);
    }
    chart.y->setAxisConstraints(CHTConstraints::constraintWithLowerOffset(10));
    gfx::Point p = chart.y->viewPointForCoordinateDecimalNumber(D("25"));
    EXPECT_FLOAT_EQ(p.x, 10);
    EXPECT_FLOAT_EQ(p.y, 25);
    CGFloat lower = 0, upper = 0;
    chart.y->orthogonalCoordinateViewLowerBound(lower, upper);
    EXPECT_FLOAT_EQ(lower, 0);
    EXPECT_FLOAT_EQ(upper, 200);
}

TEST(CHTXYAxisTest, GridLinesCrossThePlotAreaAtEachTick) {
    XYChart chart;
    chart.y->setMajorIntervalLength(D("25"));
    chart.y->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    chart.x->setMajorIntervalLength(D("5"));
    ASSERT_TRUE(chart.area->majorGridLineGroup());
    gfx::RecordingContext ctx({200, 100});
    chart.area->majorGridLineGroup()->renderAsVectorInContext(ctx);
    auto lines = segments(ctx);
    // Only the y axis has a grid line style: five horizontal lines.
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], (std::vector<float>{aligned(0), aligned(25.0f * i), aligned(200), aligned(25.0f * i)}));

    // A grid-lines range shortens them.
    chart.y->setGridLinesRange(R("2", "5"));
    gfx::RecordingContext shorter({200, 100});
    chart.area->majorGridLineGroup()->renderAsVectorInContext(shorter);
    EXPECT_EQ(segments(shorter)[0], (std::vector<float>{aligned(40), aligned(0), aligned(140), aligned(0)}));

    // An axis with grid lines of its own is skipped by the shared group.
    chart.y->setSeparateLayers(true);
    gfx::RecordingContext skipped({200, 100});
    chart.area->majorGridLineGroup()->renderAsVectorInContext(skipped);
    EXPECT_TRUE(segments(skipped).empty());
    gfx::RecordingContext own({200, 100});
    chart.y->majorGridLines()->renderAsVectorInContext(own);
    EXPECT_EQ(segments(own).size(), 5u);
}

TEST(CHTXYAxisTest, NoGridLineStyleDrawsNoGridLines) {
    XYChart chart;
    chart.x->setLabelingPolicy(1);
    chart.x->setMajorTickLocations({D("1"), D("2")});
    gfx::RecordingContext ctx({200, 100});
    chart.x->drawGridLinesInContext(ctx, true);
    chart.x->drawGridLinesInContext(ctx, false);
    EXPECT_TRUE(segments(ctx).empty());
}

// The bands filled for majors over an x range, as {minX, maxX} in view units.
std::vector<std::pair<float, float>> bands(XYChart& chart, const std::vector<const char*>& majors) {
    chart.x->setLabelingPolicy(1);
    CHTDecimalSet set;
    for (const char* m : majors) set.insert(D(m));
    chart.x->setMajorTickLocations(set);
    gfx::RecordingContext ctx({200, 100});
    chart.x->drawBackgroundBandsInContext(ctx);
    std::vector<std::pair<float, float>> out;
    for (const auto& r : filledRects(ctx)) {
        EXPECT_NEAR(r[1], 0, 1);
        EXPECT_NEAR(r[3], 100, 1);
        out.emplace_back(r[0], r[0] + r[2]);
    }
    return out;
}

TEST(CHTXYAxisTest, AlternatingBandsSkipZeroWidthBandsAndNullFills) {
    const float unit = 200.0f / 60;
    auto expectBands = [&](const std::vector<std::pair<float, float>>& got,
                           const std::vector<std::pair<float, float>>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].first, want[i].first * unit, 1) << i;
            EXPECT_NEAR(got[i].second, want[i].second * unit, 1) << i;
        }
    };
    XYChart chart;
    chart.space->setXRange(R("0", "60"));
    chart.x->setAlternatingBandFills({CHTColor::lightGrayColor(), nullptr});
    // A tick at the range's start opens no band.
    expectBands(bands(chart, {"0", "25", "50"}), {{0, 25}, {50, 60}});
    expectBands(bands(chart, {"25", "50"}), {{0, 25}, {50, 60}});

    // A descending range takes the ticks from high to low.
    XYChart descending;
    descending.space->setXRange(R("60", "-60"));
    descending.x->setAlternatingBandFills({CHTColor::lightGrayColor(), nullptr});
    auto got = bands(descending, {"0", "25", "50"});
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NEAR(got[0].first, 0, 1);  // the band from 60 to 50 comes first, at the left
    EXPECT_NEAR(got[0].second, 10 * unit, 1);
    EXPECT_NEAR(got[1].first, 35 * unit, 1);
    EXPECT_NEAR(got[1].second, 60 * unit, 1);

    // No fills, or no ticks: nothing.
    XYChart plain;
    EXPECT_TRUE(bands(plain, {"1", "2"}).empty());
}

TEST(CHTXYAxisTest, LimitBandsAreCutToTheRange) {
    XYChart chart;
    chart.x->addBackgroundLimitBand(
        CHTLimitBand::limitBandWithRange(R("8", "5"), CHTFill::fillWithColor(CHTColor::redColor())));
    chart.x->addBackgroundLimitBand(CHTLimitBand::limitBandWithRange(R("1", "1"), nullptr));
    chart.y->setGridLinesRange(R("0", "100"));
    gfx::RecordingContext ctx({200, 100});
    chart.x->drawBackgroundLimitsInContext(ctx);
    auto rects = filledRects(ctx);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0][0], 160, 1);
    EXPECT_NEAR(rects[0][0] + rects[0][2], 200, 1);
    EXPECT_NEAR(rects[0][3], 100, 1);
}

TEST(CHTXYAxisTest, DefaultTitleLocationIsTheMiddleOfTheRange) {
    XYChart chart;
    EXPECT_TRUE(chart.x->defaultTitleLocation() == D("5"));
    chart.space->setYScaleType(1);
    chart.space->setYRange(R("1", "99"));
    EXPECT_NEAR(chart.y->defaultTitleLocation().toDouble(), 10, 1e-9);
    CHTXYAxis lone;
    EXPECT_TRUE(lone.defaultTitleLocation() == D("0"));
}

TEST(CHTXYAxisTest, AxisSetDrawsTheBorderOfThePlotArea) {
    XYChart chart;
    gfx::RecordingContext none({200, 100});
    chart.axisSet->renderAsVectorInContext(none);
    EXPECT_TRUE(filledRects(none).empty());
    chart.area->setBorderLineStyle(CHTLineStyle::lineStyle());
    EXPECT_TRUE(chart.area->borderLineStyle());
    gfx::RecordingContext ctx({200, 100});
    chart.axisSet->renderAsVectorInContext(ctx);
    auto rects = filledRects(ctx);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0][2], 200, 1);
    EXPECT_NEAR(rects[0][3], 100, 1);
}

TEST(CHTXYAxisTest, DescriptionNamesTheRangeAndViewEnds) {
    XYChart chart;
    std::string text = chart.x->description();
    EXPECT_NE(text.find("with range: "), std::string::npos);
    EXPECT_NE(text.find("viewCoordinates: {0, 0} to {200, 0}"), std::string::npos) << text;
}

TEST(CHTXYAxisTest, MissingOrthogonalRangeIsAnAssertionFailure) {
    charttest::ScopedAssertionRecorder recorder(false);
    auto space = std::make_shared<CHTPlotSpace>();
    CHTXYAxis axis;
    axis.setPlotSpace(space);
    CGFloat lower = 1, upper = 1;
    axis.orthogonalCoordinateViewLowerBound(lower, upper);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description,
              "The orthogonalRange was nil in orthogonalCoordinateViewLowerBound:upperBound:");
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 0);
}

}  // namespace
