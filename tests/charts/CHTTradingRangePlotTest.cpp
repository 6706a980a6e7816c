// Trading range plots: OHLC bars and candlesticks as paths (missing values,
// flat and rounded bodies, wicks), rising and falling styles as drawn,
// opens and closes that cannot be drawn left out as missing ones are,
// labels over records with missing values, the exception texts, archiving.
#include <gtest/gtest.h>

#include <limits>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTTradingRangePlot.h"
#include "charts/PlotTestSupport.h"

using namespace plottest;
using charttest::D;

namespace {

template <class F>
std::string raisedReason(F f) {
    try {
        f();
    } catch (const base::Exception& e) {
        return e.name() + ": " + e.reason();
    }
    return "nothing raised";
}

CHTPlotNumberArray numbers(std::initializer_list<double> values) {
    CHTPlotNumberArray out;
    for (double v : values) out.push_back(std::isnan(v) ? std::nullopt : std::optional<base::Number>(base::Number(v)));
    return out;
}

long count(const std::vector<std::string>& texts, char kind) {
    return std::count_if(texts.begin(), texts.end(), [kind](const std::string& t) { return t[0] == kind; });
}

}  // namespace

TEST(CHTTradingRangePlotTest, OHLCBarsLeaveOutTheirMissingParts) {
    CHTTradingRangePlot plot;
    gfx::RecordingContext ctx({100, 100});
    // No open: the high-low line and the close tick only.
    EXPECT_EQ(pathTexts(plot.newOHLCPath(ctx, 50, NaN, 60, 80, 20, false)),
              (std::vector<std::string>{"M 50 80", "L 50 20", "M 50 60", "L 53 60"}));
    plot.setStickLength(4);
    EXPECT_EQ(pathTexts(plot.newOHLCPath(ctx, 50, 40, 60, 80, NaN, false)),
              (std::vector<std::string>{"M 50 40", "L 46 40", "M 50 60", "L 54 60"}));
    // One stroke for the whole mark.
    plot.drawOHLCInContext(ctx, 50, 40, 60, 80, 20, true);
    auto texts = ctx.operationTexts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& t) { return t.rfind("strokePath", 0) == 0; }),
              1);
}

TEST(CHTTradingRangePlotTest, CandlestickBodiesFlatRoundedAndWicks) {
    CHTTradingRangePlot plot;
    plot.setPlotStyle(CHTTradingRangePlotStyleCandleStick);
    plot.setBarWidth(10);
    auto line = CHTLineStyle::lineStyle();
    line->setLineWidth(2);
    line->setLineColor(CHTColor::redColor());
    plot.setLineStyle(line);
    gfx::RecordingContext ctx({100, 100});

    // Open equal to close: a body one line width tall.
    EXPECT_EQ(pathTexts(plot.newCandleStickPath(ctx, 50, 50, 50, NaN, NaN, false, true)),
              (std::vector<std::string>{"M 55 49", "L 55 51", "L 45 51", "L 45 49", "Z"}));
    // ... filled with the line colour.
    gfx::ImageContext image({100, 100}, 1, gfx::YAxis::Up);
    plot.drawCandleStickInContext(image, 50, 50, 50, NaN, NaN, false);
    EXPECT_EQ(image.image()->pixel(50, 50).r, 255);
    EXPECT_EQ(image.image()->pixel(50, 50).g, 0);

    // A radius larger than half the width on a body taller than that: a half
    // circle on the close side, square corners on the open side.
    plot.setBarCornerRadius(20);
    gfx::Path rounded = plot.newCandleStickPath(ctx, 50, 20, 60, NaN, NaN, false, false);
    EXPECT_EQ(rounded.pathBoundingBox().integral(), gfx::Rect(45, 20, 10, 40).integral());
    EXPECT_TRUE(rounded.containsPoint({50, 59.5f}));
    EXPECT_FALSE(rounded.containsPoint({54.5f, 59.5f}));
    EXPECT_TRUE(rounded.containsPoint({54.5f, 20.5f}));
    EXPECT_GE(count(pathTexts(rounded), 'C'), 2);
    // A negative width gives the same body: the radius takes its size.
    plot.setBarWidth(-10);
    gfx::Path mirrored = plot.newCandleStickPath(ctx, 50, 20, 60, NaN, NaN, false, false);
    EXPECT_EQ(mirrored.pathBoundingBox().integral(), gfx::Rect(45, 20, 10, 40).integral());
    EXPECT_FALSE(mirrored.containsPoint({54.5f, 59.5f}));
    EXPECT_TRUE(mirrored.containsPoint({50, 59.5f}));
    plot.setBarWidth(10);
    plot.setBarCornerRadius(0);

    // A high inside the body: only the lower wick.
    auto texts = pathTexts(plot.newCandleStickPath(ctx, 50, 20, 60, 50, 10, false, true));
    EXPECT_EQ(count(texts, 'M'), 2);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()), (std::vector<std::string>{"M 50 20", "L 50 10"}));
    // A high above a falling body: the wick leaves the body's top edge.
    texts = pathTexts(plot.newCandleStickPath(ctx, 50, 60, 20, 90, 20, false, true));
    EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()), (std::vector<std::string>{"M 50 60", "L 50 90"}));
    // No open: the high-low line alone.
    EXPECT_EQ(pathTexts(plot.newCandleStickPath(ctx, 50, NaN, 60, 90, 10, false, true)),
              (std::vector<std::string>{"M 50 90", "L 50 10"}));
}

TEST(CHTTradingRangePlotTest, RisingAndFallingCandlesticksTakeTheirStyles) {
    Stage stage({100, 100}, 0, 10, 0, 100);
    auto plot = stage.add(std::make_shared<CHTTradingRangePlot>());
    plot->setAlignsPointsToPixels(false);
    plot->setPlotStyle(CHTTradingRangePlotStyleCandleStick);
    plot->setBarWidth(10);
    plot->setIncreaseFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    plot->setDecreaseFill(CHTFill::fillWithColor(CHTColor::redColor()));
    auto blue = CHTLineStyle::lineStyle();
    blue->setLineColor(CHTColor::blueColor());
    blue->setLineWidth(3);
    plot->setDecreaseLineStyle(blue);
    plot->setXValues(numbers({2, 6, NaN}));
    plot->setOpenValues(numbers({20, 60, 10}));
    plot->setHighValues(numbers({90, 90, 90}));
    plot->setLowValues(numbers({10, 10, 10}));
    plot->setCloseValues(numbers({60, 20, 50}));
    gfx::ImageContext ctx({100, 100}, 1, gfx::YAxis::Up);
    plot->renderAsVectorInContext(ctx);
    auto img = ctx.image();
    // Rows count from the top: y 40 is row 60.
    EXPECT_EQ(img->pixel(20, 60).g, 255);  // rising body: green
    EXPECT_EQ(img->pixel(20, 60).r, 0);
    EXPECT_EQ(img->pixel(60, 60).r, 255);  // falling body: red
    EXPECT_EQ(img->pixel(55, 60).b, 255);  // its outline in the falling line style
    EXPECT_GT(img->pixel(20, 15).a, 0);    // the wick up to the high
    EXPECT_EQ(img->pixel(20, 5).a, 0);     // ... and no further
    EXPECT_EQ(img->pixel(90, 60).a, 0);    // the record without x is skipped
}

TEST(CHTTradingRangePlotTest, AnOpenOrCloseThatIsInfiniteOrBeyondADecimalDrawsTheHighLowLineAsAMissingOneDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    for (CHTPlotCachePrecision precision : {CHTPlotCachePrecisionDouble, CHTPlotCachePrecisionDecimal}) {
        SCOPED_TRACE(precision == CHTPlotCachePrecisionDouble ? "doubles" : "decimals");
        Stage stage({100, 100}, 0, 10, 0, 100);
        auto plot = stage.add(std::make_shared<CHTTradingRangePlot>());
        plot->setAlignsPointsToPixels(false);
        plot->setPlotStyle(CHTTradingRangePlotStyleCandleStick);
        plot->setBarWidth(10);
        plot->setCachePrecision(precision);
        // The first record's open is missing: the line the others must match.
        plot->setXValues(numbers({1, 3, 5, 7, 9}));
        plot->setOpenValues(numbers({NaN, inf, -inf, 20, 20}));
        plot->setHighValues(numbers({90, 90, 90, 90, 90}));
        plot->setLowValues(numbers({10, 10, 10, 10, 10}));
        plot->setCloseValues(numbers({60, 60, 60, 1e200, -std::numeric_limits<double>::max()}));
        gfx::ImageContext ctx({100, 100}, 1, gfx::YAxis::Up);
        plot->renderAsVectorInContext(ctx);
        auto img = ctx.image();
        // Rows count from the top: y 50 is row 50, y 90 row 10.
        ASSERT_GT(img->pixel(10, 50).a, 0);
        for (int record = 1; record < 5; ++record) {
            SCOPED_TRACE(record);
            for (int row = 0; row < 100; ++row)
                for (int dx = -7; dx <= 7; ++dx) {
                    const auto missing = img->pixel(10 + dx, row), drawn = img->pixel(10 + 20 * record + dx, row);
                    ASSERT_EQ(drawn.a, missing.a) << "column " << dx << " row " << row;
                    ASSERT_EQ(drawn.r, missing.r) << "column " << dx << " row " << row;
                }
        }
    }
}

TEST(CHTTradingRangePlotTest, ExceptionTextsAndFields) {
    Stage stage({100, 100}, 0, 10, 0, 100);
    auto plot = stage.add(std::make_shared<CHTTradingRangePlot>());
    plot->setXValues(numbers({1, 2}));
    plot->setOpenValues(numbers({1, 2}));
    plot->setHighValues(numbers({1, 2}));
    plot->setLowValues(numbers({1, 2}));
    plot->setCloseValues(numbers({1}));
    gfx::RecordingContext ctx({100, 100});
    EXPECT_EQ(raisedReason([&] { plot->renderAsVectorInContext(ctx); }),
              "CHTException: Mismatching number of data values in trading range plot");
    plot->setCloseValues(numbers({1, 2}));
    plot->setPlotStyle(7);
    EXPECT_EQ(raisedReason([&] { plot->renderAsVectorInContext(ctx); }),
              "CHTException: Invalid plot style in renderAsVectorInContext");
    EXPECT_EQ(raisedReason([&] { plot->fieldIdentifiersForCoordinate(2); }),
              "CHTException: Invalid coordinate passed to fieldIdentifiersForCoordinate:");
    EXPECT_EQ(plot->fieldIdentifiers(), (std::vector<std::size_t>{0, 1, 4, 2, 3}));
    EXPECT_EQ(plot->fieldIdentifiersForCoordinate(CHTCoordinateY), (std::vector<std::size_t>{1, 3, 2, 4}));
    EXPECT_EQ(plot->labelField(), CHTTradingRangePlotFieldClose);
    EXPECT_TRUE(CHTTradingRangePlot::needsDisplayForKey("stickLength"));
    EXPECT_FALSE(CHTTradingRangePlot::needsDisplayForKey("plotStyle"));
}

TEST(CHTTradingRangePlotTest, LabelsSitOverTheHighestValueThatIsANumber) {
    Stage stage({100, 100}, 0, 10, 0, 100);
    auto source = std::make_shared<TableSource>(Answer::Number);
    source->set(CHTTradingRangePlotFieldX, {1, 2, 3});
    source->set(CHTTradingRangePlotFieldOpen, {NaN, 5, NaN});
    source->set(CHTTradingRangePlotFieldHigh, {NaN, 9, NaN});
    source->set(CHTTradingRangePlotFieldLow, {3, 1, NaN});
    source->set(CHTTradingRangePlotFieldClose, {5, 4, NaN});
    auto plot = stage.add(std::make_shared<CHTTradingRangePlot>());
    plot->setDataSource(source);
    plot->setLabelOffset(4);
    plot->reloadData();
    source->fields[CHTTradingRangePlotFieldClose] = {5, 4, 7};  // record 2 gets a label value
    plot->reloadData();
    plot->setLabelTextStyle(CHTTextStyle::textStyle());
    plot->relabel();
    const auto& labels = plot->labelAnnotations();
    ASSERT_EQ(labels.size(), 3u);
    // Missing open and high are left out, not sorted to the top.
    EXPECT_TRUE(CHTDecimalEquals(labels[0]->anchorPlotPoint()[1], D("5")));
    EXPECT_FALSE(labels[0]->contentLayer()->isHidden());
    EXPECT_TRUE(CHTDecimalEquals(labels[1]->anchorPlotPoint()[1], D("9")));
    EXPECT_EQ(labels[1]->displacement(), gfx::Point(0, 4));
    EXPECT_TRUE(CHTDecimalEquals(labels[2]->anchorPlotPoint()[1], D("7")));
    // None a number: hidden.
    source->fields[CHTTradingRangePlotFieldClose] = {5, 4, NaN};
    source->fields[CHTTradingRangePlotFieldClose][2] = NaN;
    plot->reloadData();
    plot->positionLabelAnnotation(labels[2], 2);
    EXPECT_TRUE(labels[2]->contentLayer()->isHidden());
    // A reversed y range: under the lowest.
    stage.space->setYRange(CHTPlotRange::plotRangeWithLocation(D("100"), D("-100")));
    plot->repositionAllLabelAnnotations();
    EXPECT_TRUE(CHTDecimalEquals(labels[1]->anchorPlotPoint()[1], D("1")));
    EXPECT_EQ(labels[1]->displacement(), gfx::Point(0, -4));
}

TEST(CHTTradingRangePlotTest, ReloadsEveryFieldAndArchives) {
    auto source = std::make_shared<TableSource>(Answer::Number);
    for (std::size_t f = 0; f < 5; ++f) source->set(f, {double(f), double(f + 10)});
    auto plot = std::make_shared<CHTTradingRangePlot>();
    plot->setDataSource(source);
    plot->reloadData();
    ASSERT_TRUE(plot->lowValues());
    EXPECT_EQ(plot->cachedDoubleForField(CHTTradingRangePlotFieldLow, 1), 13);
    auto range = plot->plotRangeForCoordinate(CHTCoordinateY);
    ASSERT_TRUE(range);
    EXPECT_TRUE(CHTDecimalEquals(range->location(), D("1")));
    EXPECT_TRUE(CHTDecimalEquals(range->length(), D("13")));

    CHTRegisterCodingClasses();
    plot->setPlotStyle(CHTTradingRangePlotStyleCandleStick);
    plot->setStickLength(7);
    plot->setBarCornerRadius(2);
    plot->setIncreaseLineStyle(CHTLineStyle::lineStyle());
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTTradingRangePlot>(
        base::KeyedArchiver::archivedDataWithRootObject(plot));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->plotStyle(), CHTTradingRangePlotStyleCandleStick);
    EXPECT_EQ(decoded->stickLength(), 7);
    EXPECT_EQ(decoded->barCornerRadius(), 2);
    EXPECT_EQ(decoded->barWidth(), 5);
    EXPECT_TRUE(decoded->increaseLineStyle());
    EXPECT_FALSE(decoded->decreaseLineStyle());
    EXPECT_TRUE(decoded->decreaseFill());

    // Without a data source every field is cleared.
    plot->setDataSource(nullptr);
    plot->reloadData();
    EXPECT_FALSE(plot->xValues());
    EXPECT_FALSE(plot->closeValues());
}
