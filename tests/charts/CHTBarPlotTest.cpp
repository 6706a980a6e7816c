// Bar plots: bar paths and their corner radius, horizontal and reversed
// bars, locations spread over a plot range, per-record styles, gradient
// fills, visibility at the plot area's edges, labels and the tubular bar plot.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestEnvironment.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGradient.h"
#include "charts/CHTColor.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/PlotTestSupport.h"
#include "charts/_CHTFillGradient.h"

using namespace plottest;
using charttest::D;

namespace {

// A plot area of 100 x 100 over x and y ranges 0..10: 10 points per unit;
// bars 0.5 wide are 5 points wide.
struct BarStage {
    BarStage(std::vector<double> locations, std::vector<double> tips, double x0 = 0, double xl = 10)
        : stage({100, 100}, x0, xl, 0, 10) {
        source = std::make_shared<TableSource>(Answer::Number);
        source->set(CHTBarPlotFieldBarLocation, std::move(locations));
        source->set(CHTBarPlotFieldBarTip, std::move(tips));
        plot = stage.add(std::make_shared<CHTBarPlot>());
        plot->setAlignsPointsToPixels(false);
        plot->setDataSource(source);
        plot->reloadData();
    }
    gfx::Path path(std::size_t i) const {
        auto p = plot->newBarPathWithContext(nullptr, i);
        return p ? *p : gfx::Path();
    }
    long drawn(const char* op) const {
        gfx::RecordingContext ctx({100, 100});
        plot->renderAsVectorInContext(ctx);
        long n = 0;
        for (const auto& o : ctx.operations()) n += o.name == op;
        return n;
    }
    Stage stage;
    std::shared_ptr<TableSource> source;
    std::shared_ptr<CHTBarPlot> plot;
};

}  // namespace

TEST(CHTBarPlotTest, CornerRadiusIsCappedAtHalfTheWidthAndAtTheLength) {
    BarStage s({5, 2, 8}, {5, 0.1, 0});
    s.plot->setBarCornerRadius(10);
    // A long bar: radius 2.5 (half of 5), a half circle at the tip.
    gfx::Path tall = s.path(0);
    EXPECT_EQ(tall.pathBoundingBox().integral(), gfx::Rect(47, 0, 6, 50).integral());
    EXPECT_TRUE(tall.containsPoint({50, 49.9f}));
    EXPECT_FALSE(tall.containsPoint({52.4f, 49.9f}));  // beyond the round corner
    EXPECT_TRUE(tall.containsPoint({52.4f, 1}));       // the base corners stay square
    // A bar 1 point long: the radius is its length.
    gfx::Path shortBar = s.path(1);
    EXPECT_TRUE(shortBar.containsPoint({20, 0.5f}));
    EXPECT_FALSE(shortBar.containsPoint({22.4f, 0.95f}));
    EXPECT_TRUE(shortBar.containsPoint({20.5f, 0.95f}));
    // A flat bar: a line at the base.
    gfx::Rect flat = s.path(2).pathBoundingBox();
    EXPECT_FLOAT_EQ(flat.height(), 0);
    EXPECT_FLOAT_EQ(flat.width(), 5);

    s.plot->setBarCornerRadius(-3);
    EXPECT_EQ(s.plot->barCornerRadius(), 3);
}

TEST(CHTBarPlotTest, HorizontalAndReversedBars) {
    BarStage s({5}, {4});
    s.plot->setBarsAreHorizontal(true);
    gfx::Rect r = s.path(0).pathBoundingBox();
    EXPECT_FLOAT_EQ(r.minX(), 0);
    EXPECT_FLOAT_EQ(r.maxX(), 40);
    EXPECT_FLOAT_EQ(r.minY(), 47.5f);
    EXPECT_FLOAT_EQ(r.maxY(), 52.5f);
    EXPECT_EQ(s.plot->fieldIdentifiersForCoordinate(CHTCoordinateX), (std::vector<std::size_t>{3}));
    EXPECT_EQ(s.plot->fieldIdentifiersForCoordinate(CHTCoordinateY), (std::vector<std::size_t>{2}));

    // A reversed x range: the half width is negative in view units, yet the
    // bars keep their rounded tips and every bar at the edges is drawn.
    BarStage reversed({0, 5, 10}, {5, 5, 5}, 10, -10);
    reversed.plot->setBarCornerRadius(2);
    EXPECT_LT(reversed.plot->lengthInView(D("0.5")), 0);
    EXPECT_EQ(reversed.drawn("fillPath"), 3);
    gfx::Path middle = reversed.path(1);
    EXPECT_EQ(middle.pathBoundingBox().integral(), gfx::Rect(47, 0, 6, 50).integral());
    EXPECT_FALSE(middle.containsPoint({52.4f, 49.9f}));
    EXPECT_TRUE(middle.containsPoint({50, 49}));
}

TEST(CHTBarPlotTest, LocationsFromThePlotRangeStayEvenlySpreadAfterAnInsert) {
    BarStage s({0, 0, 0}, {1, 2, 3});
    s.plot->setPlotRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("4")));
    s.plot->reloadData();
    auto locations = [&] {
        std::vector<double> out;
        for (std::size_t i = 0; i < s.plot->cachedDataCount(); ++i)
            out.push_back(s.plot->cachedDoubleForField(CHTBarPlotFieldBarLocation, i));
        return out;
    };
    EXPECT_EQ(locations(), (std::vector<double>{0, 2, 4}));
    s.source->fields[CHTBarPlotFieldBarTip] = {1, 2, 3, 9, 10};
    s.source->count = 5;
    s.plot->insertDataAtIndex(3, 2);
    EXPECT_EQ(locations(), (std::vector<double>{0, 1, 2, 3, 4}));

    // (0, 10) with 11 records: 0 ... 10; a single record sits at the start.
    s.plot->setPlotRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("10")));
    s.source->set(CHTBarPlotFieldBarTip, std::vector<double>(11, 1));
    s.plot->reloadData();
    EXPECT_EQ(locations().back(), 10);
    EXPECT_EQ(locations()[3], 3);
    s.source->set(CHTBarPlotFieldBarTip, {1});
    s.plot->reloadData();
    EXPECT_EQ(locations(), (std::vector<double>{0}));

    // In a decimal cache the steps are exact decimals.
    s.plot->setCachePrecision(CHTPlotCachePrecisionDecimal);
    s.plot->setPlotRange(CHTPlotRange::plotRangeWithLocation(D("1"), D("1")));
    s.source->set(CHTBarPlotFieldBarTip, {1, 2, 3, 4});
    s.plot->reloadData();
    EXPECT_TRUE(CHTDecimalEquals(s.plot->cachedDecimalForField(CHTBarPlotFieldBarLocation, 3), D("2")));
}

TEST(CHTBarPlotTest, PerRecordFillAndLineStyleAnswers) {
    BarStage s({1, 2, 3, 4}, {1, 2, 3, 4});
    auto red = CHTFill::fillWithColor(CHTColor::redColor());
    s.source->fills[1] = CHTDataSourceObject<CHTFill>::of(red);           // its own fill
    s.source->fills[2] = CHTDataSourceObject<CHTFill>::null();            // no fill
    s.source->lineStyles[3] = CHTDataSourceObject<CHTLineStyle>::null();  // no outline
    gfx::RecordingContext ctx({100, 100});
    s.plot->renderAsVectorInContext(ctx);
    std::vector<std::string> painted;
    for (const auto& op : ctx.operations()) {
        if (op.name == "fillPath") painted.push_back("fill");
        if (op.name == "strokePath") painted.push_back("stroke");
    }
    // Bar 0: plot's fill and line; 1: red fill and line; 2: line only; 3: fill only.
    EXPECT_EQ(painted, (std::vector<std::string>{"fill", "stroke", "fill", "stroke", "stroke", "fill"}));
    // The red bar really is red.
    auto image = std::make_unique<gfx::ImageContext>(gfx::Size(100, 100), 1, gfx::YAxis::Up);
    s.plot->renderAsVectorInContext(*image);
    auto px = image->image()->pixel(20, 95);
    EXPECT_EQ(px.r, 255);
    EXPECT_EQ(px.g, 0);
}

TEST(CHTBarPlotTest, GradientBarsAreFilledWithoutAClipAndLookAsClippedShadings) {
    // Bars with fractional edges and round tips, their gradient across each.
    BarStage s({1.33, 4.71, 7.5}, {6.27, 0.13, 9.5});
    auto green = CHTColor::greenColor();
    auto gradient = CHTGradient::gradientWithBeginningColor(green, CHTColor::blackColor());
    s.plot->setFill(CHTFill::fillWithGradient(gradient));
    s.plot->setBarCornerRadius(2);
    // One clip for the plot's own mask, none per bar.
    EXPECT_EQ(s.drawn("clip"), 1);
    EXPECT_EQ(s.drawn("fillPathWithShading"), 3);

    gfx::ImageContext filled({100, 100}, 2, gfx::YAxis::Up);
    s.plot->renderAsVectorInContext(filled);
    // Each bar clipped to its path and the shading painted through the clip.
    gfx::ImageContext clipped({100, 100}, 2, gfx::YAxis::Up);
    for (std::size_t i = 0; i < 3; ++i) {
        auto path = s.plot->newBarPathWithContext(&clipped, i);
        ASSERT_TRUE(path);
        clipped.save();
        clipped.beginPath();
        clipped.addPath(*path);
        auto shading = gradient->newAxialGradientInRect(clipped.pathBoundingBox());
        ASSERT_TRUE(shading);
        shading->breakpoints = {0, 1};
        clipped.clip();
        clipped.drawShading(*shading);
        clipped.restore();
        s.plot->lineStyle()->setLineStyleInContext(clipped);
        clipped.beginPath();
        clipped.addPath(*path);
        clipped.strokePath();
    }
    EXPECT_EQ(filled.image()->pixelData(), clipped.image()->pixelData());
    // Green on the first bar's left, dark on its right.
    EXPECT_GT(filled.image()->pixel(23, 180).g, 150);
    EXPECT_LT(filled.image()->pixel(31, 180).g, 100);
}

TEST(CHTBarPlotTest, BarsAtThePlotAreasEdgesAreShownUntilHalfTheirWidthIsPast) {
    // Half a bar is 0.25 data units.
    BarStage s({-0.2, -0.3, 10.2, 10.3, NaN}, {1, 1, 1, 1, 1});
    gfx::Point base, tip;
    auto visible = [&](std::size_t i) {
        return s.plot->barAtRecordIndex(i, base, tip) && s.plot->barIsVisibleWithBasePoint(base);
    };
    EXPECT_TRUE(visible(0));
    EXPECT_FALSE(visible(1));
    EXPECT_TRUE(visible(2));
    EXPECT_FALSE(visible(3));
    EXPECT_FALSE(s.plot->barAtRecordIndex(4, base, tip));  // a missing location: no bar
    EXPECT_EQ(s.drawn("strokePath"), 2);
    // An offset moves the bars along the location axis.
    s.plot->setBarOffset(D("0.5"));
    EXPECT_FALSE(visible(2));
    EXPECT_TRUE(visible(1));
}

TEST(CHTBarPlotTest, LabelsGoAboveUpwardBarsAndBelowOnAReversedValueRange) {
    BarStage s({1, 2}, {3, -2});
    s.plot->setLabelTextStyle(CHTTextStyle::textStyle());
    s.plot->relabel();
    ASSERT_EQ(s.plot->labelAnnotations().size(), 2u);
    EXPECT_EQ(s.plot->labelAnnotations()[0]->displacement(), gfx::Point(0, 10));
    EXPECT_EQ(s.plot->labelAnnotations()[1]->displacement(), gfx::Point(0, -10));
    auto anchor = s.plot->labelAnnotations()[0]->anchorPlotPoint();
    EXPECT_TRUE(CHTDecimalEquals(anchor[0], D("1")));
    EXPECT_TRUE(CHTDecimalEquals(anchor[1], D("3")));
    s.stage.space->setYRange(CHTPlotRange::plotRangeWithLocation(D("10"), D("-10")));
    s.plot->repositionAllLabelAnnotations();
    EXPECT_EQ(s.plot->labelAnnotations()[0]->displacement(), gfx::Point(0, -10));
}

TEST(CHTBarPlotTest, TubularBarsAndMismatchedFields) {
    auto plot = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), false);
    EXPECT_TRUE(CHTDecimalEquals(plot->barWidth(), D("0.8")));
    EXPECT_EQ(plot->barCornerRadius(), 2);
    EXPECT_FALSE(plot->barsAreHorizontal());
    EXPECT_EQ(plot->lineStyle()->lineWidth(), 1);
    auto gradientFill = std::dynamic_pointer_cast<_CHTFillGradient>(plot->fill());
    ASSERT_TRUE(gradientFill);
    auto horizontal = CHTBarPlot::tubularBarPlotWithColor(CHTColor::greenColor(), true);
    EXPECT_TRUE(horizontal->barsAreHorizontal());
    EXPECT_EQ(plot->labelOffset(), 10);
    EXPECT_EQ(plot->labelField(), CHTBarPlotFieldBarTip);
    EXPECT_TRUE(CHTBarPlot::needsDisplayForKey("barWidthScale"));
    EXPECT_TRUE(CHTBarPlot::needsDisplayForKey("labelOffset"));
    EXPECT_FALSE(CHTBarPlot::needsDisplayForKey("fill"));

    BarStage s({1, 2}, {1, 2});
    s.plot->cachedNumbersForField(CHTBarPlotFieldBarTip)->setShape({1});
    try {
        s.drawn("fillPath");
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.reason(), "Number of bar locations and lengths do not match");
    }

    CHTRegisterCodingClasses();
    plot->setPlotRange(CHTPlotRange::plotRangeWithLocation(D("1"), D("5")));
    plot->setBarBasesVary(true);
    auto decoded =
        base::KeyedUnarchiver::unarchiveObjectOfType<CHTBarPlot>(base::KeyedArchiver::archivedDataWithRootObject(plot));
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(CHTDecimalEquals(decoded->barWidth(), D("0.8")));
    EXPECT_EQ(decoded->barCornerRadius(), 2);
    EXPECT_TRUE(decoded->barBasesVary());
    ASSERT_TRUE(decoded->plotRange());
    EXPECT_TRUE(CHTDecimalEquals(decoded->plotRange()->length(), D("5")));
    EXPECT_TRUE(std::dynamic_pointer_cast<_CHTFillGradient>(decoded->fill()));
}

TEST(CHTBarPlotTest, LegendSwatchIsABarInThePlotsStyle) {
    auto plot = std::make_shared<CHTBarPlot>();
    plot->setFill(CHTFill::fillWithColor(CHTColor::redColor()));
    plot->setLineStyle(nullptr);
    plot->setBarCornerRadius(8);
    gfx::ImageContext ctx({40, 30}, 1, gfx::YAxis::Up);
    plot->drawSwatchForLegend(CHTLegendSwatchStyle{}, 0, gfx::Rect(10, 10, 20, 10), ctx);
    auto image = ctx.image();
    EXPECT_EQ(image->pixel(20, 15).r, 255);
    // The corners are rounded by at most half the height.
    EXPECT_EQ(image->pixel(10, 10).a, 0);
    EXPECT_EQ(image->pixel(0, 0).a, 0);
}
