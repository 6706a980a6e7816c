// Scatter plots: which points are drawn, the line and area paths of the
// three interpolations, gaps, symbols per record and the drawing itself.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableShadow.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/PlotTestSupport.h"

using namespace plottest;
using charttest::D;

namespace {

// A plot area of 100 x 100 over x and y ranges 0..10: 10 points per unit.
struct ScatterStage {
    ScatterStage(std::vector<double> x, std::vector<double> y) : stage({100, 100}, 0, 10, 0, 10) {
        source = std::make_shared<TableSource>(Answer::Number);
        source->set(0, std::move(x));
        source->set(1, std::move(y));
        plot = stage.add(std::make_shared<CHTScatterPlot>());
        plot->setAlignsPointsToPixels(false);
        plot->setDataSource(source);
        plot->reloadData();
    }
    std::vector<char> flags(bool visibleOnly) const {
        std::vector<char> f;
        plot->calculatePointsToDraw(f, stage.space.get(), visibleOnly);
        return f;
    }
    std::vector<std::string> path(CGFloat baseline = CGFloat(NaN)) const {
        auto f = flags(false);
        std::vector<gfx::Point> points;
        plot->calculateViewPoints(points, f);
        std::size_t first = CHTScatterPlot::extremeDrawnPointIndexForFlags(f, true);
        std::size_t last = CHTScatterPlot::extremeDrawnPointIndexForFlags(f, false);
        if (first == CHTNotFound) return {};
        return pathTexts(plot->newDataLinePathForViewPoints(points, {first, last - first}, baseline));
    }
    Stage stage;
    std::shared_ptr<TableSource> source;
    std::shared_ptr<CHTScatterPlot> plot;
};

std::vector<std::string> names(const gfx::RecordingContext& ctx) {
    std::vector<std::string> out;
    for (const auto& op : ctx.operations()) out.push_back(op.name);
    return out;
}

long countOf(const std::vector<std::string>& list, const std::string& name) {
    return std::count(list.begin(), list.end(), name);
}

}  // namespace

TEST(CHTScatterPlotTest, LinearSteppedAndHistogramPaths) {
    ScatterStage s({0, 1, 2}, {0, 2, 1});
    EXPECT_EQ(s.path(), (std::vector<std::string>{"M 0 0", "L 10 20", "L 20 10"}));
    s.plot->setInterpolation(CHTScatterPlotInterpolationStepped);
    EXPECT_EQ(s.path(), (std::vector<std::string>{"M 0 0", "L 10 0", "L 10 20", "L 20 20", "L 20 10"}));
    s.plot->setInterpolation(CHTScatterPlotInterpolationHistogram);
    EXPECT_EQ(s.path(),
              (std::vector<std::string>{"M 0 0", "L 5 0", "L 5 20", "L 10 20", "L 15 20", "L 15 10", "L 20 10"}));
    s.plot->setInterpolation(7);
    try {
        s.path();
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.reason(), "Interpolation method not supported in scatter plot.");
    }
}

TEST(CHTScatterPlotTest, AGapSplitsTheLineAndEachAreaRunClosesToTheBaseline) {
    ScatterStage s({0, 1, 2, 3, 4}, {1, 2, NaN, 3, 4});
    EXPECT_EQ(s.path(), (std::vector<std::string>{"M 0 10", "L 10 20", "M 30 30", "L 40 40"}));
    EXPECT_EQ(s.path(0), (std::vector<std::string>{"M 0 10", "L 10 20", "L 10 0", "L 0 0", "Z", "M 30 30", "L 40 40",
                                                   "L 40 0", "L 30 0", "Z"}));
    // A single point: the line is only a move.
    ScatterStage one({5}, {5});
    EXPECT_EQ(one.path(), (std::vector<std::string>{"M 50 50"}));
}

TEST(CHTScatterPlotTest, PointsOffTheRangeAreLeftOutExceptTheNeighboursOfACrossing) {
    // x: two left of the range, one inside, one right, one far right.
    ScatterStage s({-3, -2, 5, 12, 14}, {1, 1, 1, 1, 1});
    EXPECT_EQ(s.flags(false), (std::vector<char>{0, 1, 1, 1, 0}));
    EXPECT_EQ(s.flags(true), (std::vector<char>{0, 0, 1, 0, 0}));
    EXPECT_EQ(s.path(), (std::vector<std::string>{"M -20 10", "L 50 10", "L 120 10"}));
    // One left and one right of the range: both drawn (the line crosses).
    ScatterStage across({-1, 11}, {5, 5});
    EXPECT_EQ(across.flags(false), (std::vector<char>{1, 1}));
    // Both left: nothing.
    ScatterStage left({-2, -1}, {5, 5});
    EXPECT_EQ(left.flags(false), (std::vector<char>{0, 0}));
    EXPECT_TRUE(left.path().empty());
    // A fill or a dashed line draws every record.
    left.plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    EXPECT_EQ(left.flags(false), (std::vector<char>{1, 1}));
    left.plot->setAreaFill(nullptr);
    auto dashed = CHTLineStyle::lineStyle();
    dashed->setDashPattern({2, 2});
    left.plot->setDataLineStyle(dashed);
    EXPECT_EQ(left.flags(false), (std::vector<char>{1, 1}));
}

TEST(CHTScatterPlotTest, DrawsFillsThenLineThenStampedSymbols) {
    ScatterStage s({1, 2, 3, 4}, {1, NaN, 3, 4});
    s.plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    s.plot->setAreaBaseValue(D("0"));
    s.plot->setAreaFill2(CHTFill::fillWithColor(CHTColor::redColor()));  // base NaN: not drawn
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    s.plot->setPlotSymbol(symbol);

    gfx::RecordingContext ctx({100, 100});
    s.plot->drawInContext(ctx);  // on-screen drawing: symbols stamped
    auto ops = names(ctx);
    EXPECT_EQ(countOf(ops, "fillPath"), 1);     // one area fill
    EXPECT_EQ(countOf(ops, "strokePath"), 1);   // the line (symbols are stamped)
    EXPECT_EQ(countOf(ops, "createLayer"), 1);  // one drawing for every stamp
    EXPECT_EQ(countOf(ops, "drawLayer"), 3);    // no symbol at the gap
    auto fill = std::find(ops.begin(), ops.end(), "fillPath");
    auto stroke = std::find(ops.begin(), ops.end(), "strokePath");
    auto stamp = std::find(ops.begin(), ops.end(), "drawLayer");
    EXPECT_LT(fill, stroke);
    EXPECT_LT(stroke, stamp);

    // Vector output draws every symbol as paths.
    gfx::RecordingContext vector({100, 100});
    s.plot->renderAsVectorInContext(vector);
    EXPECT_EQ(countOf(names(vector), "drawLayer"), 0);
    EXPECT_EQ(countOf(names(vector), "strokePath"), 1 + 3);

    // Mismatched fields.
    auto y = s.plot->cachedNumbersForField(1);
    ASSERT_TRUE(y);
    y->setShape({1});
    try {
        s.plot->renderAsVectorInContext(vector);
        FAIL() << "no exception";
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.reason(), "Number of x and y values do not match");
    }
}

TEST(CHTScatterPlotTest, APictureStampsSymbolsAsTheScreenDoesAndADocumentKeepsVectors) {
    ScatterStage s({1.3, 2.5, 6.71, 8}, {1, 4.45, 3.02, 9});
    s.plot->setAlignsPointsToPixels(true);
    auto symbol = CHTPlotSymbol::ellipsePlotSymbol();
    symbol->setFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    symbol->setSize({10, 10});
    s.plot->setPlotSymbol(symbol);
    s.plot->setContentsScale(2);

    // A PDF holds the symbols as paths: no drawing of the symbol is made to
    // be stamped.
    const std::vector<std::uint8_t> pdf = s.plot->dataForPDFRepresentationOfLayer();
    EXPECT_GT(pdf.size(), 0u);
    EXPECT_FALSE(s.plot->plotSymbol()->cachedLayer());

    gfx::ImageContext screen({100, 100}, 2, gfx::YAxis::Up);
    s.plot->drawInContext(screen);
    gfx::ImageContext picture({100, 100}, 2, gfx::YAxis::Up);
    s.plot->layoutAndRenderInContext(picture);
    EXPECT_EQ(picture.image()->pixelData(), screen.image()->pixelData());
}

TEST(CHTScatterPlotTest, SymbolsPerRecord) {
    ScatterStage s({1, 2, 3, 4}, {1, 2, 3, 4});
    auto star = CHTPlotSymbol::starPlotSymbol();
    auto shadow = CHTShadow::shadow();
    shadow->setShadowColor(CHTColor::blackColor());
    shadow->setShadowOffset({1, 1});
    star->setShadow(shadow);
    // An answer shorter than the range: what fits, the rest empty.
    s.source->symbolList = std::vector<CHTDataSourceObject<CHTPlotSymbol>>{CHTDataSourceObject<CHTPlotSymbol>::of(star),
                                                                           CHTDataSourceObject<CHTPlotSymbol>::null()};
    s.plot->setPlotSymbol(CHTPlotSymbol::diamondPlotSymbol());
    s.plot->reloadData();
    ASSERT_TRUE(s.plot->plotSymbols());
    ASSERT_EQ(s.plot->plotSymbols()->size(), 4u);
    auto first = s.plot->plotSymbolForRecordIndex(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->symbolType(), CHTPlotSymbolTypeStar);
    EXPECT_NE(first, star);                             // a copy ...
    EXPECT_TRUE(first->shadow());                       // ... that keeps the shadow
    EXPECT_FALSE(s.plot->plotSymbolForRecordIndex(1));  // null: none, not the plot's
    EXPECT_FALSE(s.plot->plotSymbolForRecordIndex(3));

    // An answer longer than the range: the extra symbols are not shifted onto
    // other records.
    s.source->symbolList = std::vector<CHTDataSourceObject<CHTPlotSymbol>>(
        3, CHTDataSourceObject<CHTPlotSymbol>::of(CHTPlotSymbol::crossPlotSymbol()));
    s.plot->reloadDataInIndexRange({3, 1});
    EXPECT_EQ(s.plot->plotSymbolForRecordIndex(3)->symbolType(), CHTPlotSymbolTypeCross);
    EXPECT_EQ(s.plot->plotSymbolForRecordIndex(0)->symbolType(), CHTPlotSymbolTypeStar);
    EXPECT_EQ(s.plot->plotSymbols()->size(), 4u);

    // Inserting puts empty entries in; deleting removes only what the list holds.
    s.source->set(0, {1, 2, 9, 3, 4});
    s.source->set(1, {1, 2, 9, 3, 4});
    s.source->symbolList.reset();
    s.plot->setPlotSymbols(CHTScatterPlot::SymbolList{CHTPlotSymbol::starPlotSymbol(), nullptr});
    s.plot->insertDataAtIndex(1, 1);
    // No symbol operations now: the list is dropped by the reload.
    EXPECT_FALSE(s.plot->plotSymbols());
    s.plot->setPlotSymbols(CHTScatterPlot::SymbolList{CHTPlotSymbol::starPlotSymbol(), nullptr});
    s.plot->deleteDataInIndexRange({1, 3});
    ASSERT_TRUE(s.plot->plotSymbols());
    EXPECT_EQ(s.plot->plotSymbols()->size(), 1u);
    EXPECT_EQ(s.plot->cachedDataCount(), 2u);
}

TEST(CHTScatterPlotTest, LabelsSitAboveOrBelowAndHideAtGaps) {
    ScatterStage s({1, 2}, {1, NaN});
    s.plot->setLabelTextStyle(CHTTextStyle::textStyle());
    s.plot->setLabelOffset(4);
    s.plot->relabel();
    ASSERT_EQ(s.plot->labelAnnotations().size(), 2u);
    EXPECT_EQ(s.plot->labelAnnotations()[0]->displacement(), gfx::Point(0, 4));
    // A reversed y range puts the labels below.
    s.stage.space->setYRange(CHTPlotRange::plotRangeWithLocation(D("10"), D("-10")));
    s.plot->repositionAllLabelAnnotations();
    EXPECT_EQ(s.plot->labelAnnotations()[0]->displacement(), gfx::Point(0, -4));
    EXPECT_EQ(s.plot->fieldIdentifiersForCoordinate(CHTCoordinateY), (std::vector<std::size_t>{1}));
    EXPECT_THROW(s.plot->fieldIdentifiersForCoordinate(3), base::Exception);
}

TEST(CHTScatterPlotTest, ArchivingKeepsTheStyles) {
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setInterpolation(CHTScatterPlotInterpolationStepped);
    plot->setAreaBaseValue(D("2.5"));
    plot->setAreaFill(CHTFill::fillWithColor(CHTColor::greenColor()));
    plot->setPlotSymbol(CHTPlotSymbol::ellipsePlotSymbol());
    plot->setPlotSymbolMarginForHitDetection(3);
    plot->setTitle(std::string("Reps"));
    CHTRegisterCodingClasses();
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTScatterPlot>(
        base::KeyedArchiver::archivedDataWithRootObject(plot));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->interpolation(), CHTScatterPlotInterpolationStepped);
    EXPECT_TRUE(CHTDecimalEquals(decoded->areaBaseValue(), D("2.5")));
    EXPECT_TRUE(CHTDecimalIsNaN(decoded->areaBaseValue2()));
    EXPECT_TRUE(decoded->areaFill());
    ASSERT_TRUE(decoded->plotSymbol());
    EXPECT_EQ(decoded->plotSymbol()->symbolType(), CHTPlotSymbolTypeEllipse);
    EXPECT_EQ(decoded->plotSymbolMarginForHitDetection(), 3);
    EXPECT_EQ(decoded->title(), "Reps");
    EXPECT_TRUE(decoded->dataNeedsReloading());
}

TEST(CHTScatterPlotTest, LegendSwatches) {
    CHTLegendSwatchStyle legend;
    legend.swatchFill = CHTFill::fillWithColor(CHTColor::whiteColor());
    const gfx::Rect rect(10, 10, 20, 10);
    auto paint = [&](CHTScatterPlot& plot) {
        gfx::ImageContext ctx({40, 30}, 1, gfx::YAxis::Up);
        plot.drawSwatchForLegend(legend, 0, rect, ctx);
        return ctx.image();
    };
    // Two fills: the one with the lower base value fills the lower half.
    auto plot = std::make_shared<CHTScatterPlot>();
    plot->setDataLineStyle(nullptr);
    plot->setAreaFill(CHTFill::fillWithColor(CHTColor::redColor()));
    plot->setAreaFill2(CHTFill::fillWithColor(CHTColor::blueColor()));
    plot->setAreaBaseValue(D("0"));
    plot->setAreaBaseValue2(D("5"));
    auto image = paint(*plot);
    EXPECT_EQ(image->pixel(20, 17).r, 255);  // y 12: the lower half
    EXPECT_EQ(image->pixel(20, 12).b, 255);  // y 17: the upper half
    plot->setAreaBaseValue2(D("-5"));
    image = paint(*plot);
    EXPECT_EQ(image->pixel(20, 17).b, 255);
    EXPECT_EQ(image->pixel(20, 12).r, 255);

    // A line style: a line through the middle over the base swatch, no fills.
    auto line = CHTLineStyle::lineStyle();
    line->setLineColor(CHTColor::greenColor());
    line->setLineWidth(2);
    plot->setDataLineStyle(line);
    image = paint(*plot);
    EXPECT_EQ(image->pixel(20, 15).g, 255);
    EXPECT_EQ(image->pixel(20, 12).r, 255);  // the legend's white swatch
    EXPECT_EQ(image->pixel(20, 12).b, 255);
    EXPECT_EQ(image->pixel(20, 12).g, 255);
}
