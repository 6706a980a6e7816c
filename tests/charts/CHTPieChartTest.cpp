// Pie charts: normalizing the values (missing values, zero sums, decimals),
// slice angles in both directions, wedge and ring paths, a slice pushed out,
// data labels, hit tests in the hole and on the rim, default slice colours,
// the legend notifications of reloads, inserts and deletes, archiving.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <numbers>

#include "TestEnvironment.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTPieChart.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotSpaceAnnotation.h"
#include "charts/CHTXYGraph.h"
#include "charts/PlotTestSupport.h"
#include "platform/base/NotificationCenter.h"

using charttest::D;
using plottest::NaN;

namespace {

constexpr double kPi = std::numbers::pi;

class PieSource : public CHTPieChartDataSource {
public:
    explicit PieSource(std::vector<double> values) : values(std::move(values)) {}
    std::size_t numberOfRecordsForPlot(CHTPlot*) override { return values.size(); }
    std::optional<std::optional<base::Number>> numberForPlot(CHTPlot*, std::size_t, std::size_t i) override {
        if (i >= values.size() || std::isnan(values[i])) return std::optional<base::Number>();
        if (decimals) return std::optional<base::Number>(base::Number(CHTDecimalFromDouble(values[i])));
        return std::optional<base::Number>(base::Number(values[i]));
    }
    std::optional<CGFloat> radialOffsetForPieChart(CHTPieChart*, std::size_t i) override {
        auto it = offsets.find(i);
        return it == offsets.end() ? CGFloat(0) : it->second;
    }
    std::optional<std::optional<std::string>> legendTitleForPieChart(CHTPieChart*, std::size_t i) override {
        if (!titled) return std::nullopt;
        return std::optional<std::string>("slice " + std::to_string(i));
    }
    std::vector<double> values;
    std::map<std::size_t, CGFloat> offsets;
    bool decimals = false;
    bool titled = false;
};

class Selections : public CHTPieChartDelegate {
public:
    void pieChart(CHTPieChart*, std::size_t index) override { selected.push_back(index); }
    std::vector<std::size_t> selected;
};

// A pie of radius 50 at the centre of a 200 x 200 plot area in a 240 x 240
// graph (paddings 20): the centre is (100, 100) in the plot area and
// (120, 120) in the graph.
struct PieStage {
    explicit PieStage(std::vector<double> values) : source(std::make_shared<PieSource>(std::move(values))) {
        graph = CHTXYGraph::create(gfx::Rect(0, 0, 240, 240));
        pie = std::make_shared<CHTPieChart>(gfx::Rect(0, 0, 200, 200));
        pie->setPieRadius(50);
        pie->setAlignsPointsToPixels(false);
        pie->setDataSource(source);
        graph->addPlot(pie);
        graph->layoutIfNeeded();
        pie->reloadData();
    }
    std::vector<double> field(std::size_t f) const {
        std::vector<double> out;
        for (std::size_t i = 0; i < pie->cachedDataCount(); ++i) out.push_back(pie->cachedDoubleForField(f, i));
        return out;
    }
    // A press at the angle and distance from the centre, in the graph.
    bool press(double angle, double distance) {
        return graph->pointingDeviceDownEvent(
            nullptr, gfx::Point(CGFloat(120 + distance * std::cos(angle)), CGFloat(120 + distance * std::sin(angle))));
    }
    std::shared_ptr<PieSource> source;
    std::shared_ptr<CHTXYGraph> graph;
    std::shared_ptr<CHTPieChart> pie;
};

long slicesDrawn(CHTPieChart& pie) {
    gfx::RecordingContext ctx({200, 200});
    pie.renderAsVectorInContext(ctx);
    long n = 0;
    for (const auto& op : ctx.operations()) n += op.name == "fillPath";
    return n;
}

bool sameOrBothNaN(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::isnan(a[i]) && std::isnan(b[i])) && std::fabs(a[i] - b[i]) > 1e-12) return false;
    return true;
}

}  // namespace

TEST(CHTPieChartTest, ValuesBecomeSharesOfTheirSum) {
    PieStage s({1, 1, 2});
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {0.25, 0.25, 0.5}));
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthSum), {0.25, 0.5, 1.0}));
    EXPECT_EQ(slicesDrawn(*s.pie), 3);
    EXPECT_EQ(s.pie->sliceWidths().size(), 3u);

    // A missing value: no share, no slice, and the running share stays.
    s.source->values = {1, NaN, 3};
    s.pie->reloadData();
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {0.25, NaN, 0.75}));
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthSum), {0.25, 0.25, 1.0}));
    EXPECT_EQ(slicesDrawn(*s.pie), 2);

    // All zeros: 0 / 0 everywhere, nothing drawn.
    s.source->values = {0, 0, 0};
    s.pie->reloadData();
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {NaN, NaN, NaN}));
    EXPECT_EQ(slicesDrawn(*s.pie), 0);

    // A zero sum of values that are not all zero would give endless slices:
    // they are no slices either.
    s.source->values = {1, -1, 0};
    s.pie->reloadData();
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {NaN, NaN, NaN}));
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthSum), {NaN, NaN, NaN}));
    EXPECT_EQ(slicesDrawn(*s.pie), 0);

    // Exact decimals in a decimal cache.
    s.source->values = {1, 1, 1};
    s.source->decimals = true;
    s.pie->reloadData();
    EXPECT_FALSE(s.pie->doublePrecisionCache());
    EXPECT_TRUE(CHTDecimalEquals(s.pie->cachedDecimalForField(CHTPieChartFieldSliceWidthSum, 2), D("1")));
    EXPECT_TRUE(CHTDecimalEquals(s.pie->cachedDecimalForField(CHTPieChartFieldSliceWidthNormalized, 0),
                                 CHTDecimalDivide(D("1"), D("3"))));
    s.source->values = {0, 0};
    s.pie->reloadData();
    EXPECT_TRUE(CHTDecimalIsNaN(s.pie->cachedDecimalForField(CHTPieChartFieldSliceWidthNormalized, 0)));
    EXPECT_EQ(slicesDrawn(*s.pie), 0);
}

TEST(CHTPieChartTest, SumsThatOverflowStillGiveShares) {
    const double inf = std::numeric_limits<double>::infinity();
    PieStage s({1e308, 1e308});
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {0.5, 0.5}));
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthSum), {0.5, 1.0}));
    EXPECT_EQ(slicesDrawn(*s.pie), 2);

    // An infinite value has no share to draw: left out as a missing one.
    s.source->values = {1, inf, 3};
    s.pie->reloadData();
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {0.25, NaN, 0.75}));
    EXPECT_EQ(slicesDrawn(*s.pie), 2);

    // Decimals overflow past about 3.4e165.
    s.source->values = {1e165, 2e165, 1e165};
    s.source->decimals = true;
    s.pie->reloadData();
    ASSERT_FALSE(s.pie->doublePrecisionCache());
    EXPECT_TRUE(CHTDecimalEquals(s.pie->cachedDecimalForField(CHTPieChartFieldSliceWidthNormalized, 0), D("0.25")));
    EXPECT_TRUE(CHTDecimalEquals(s.pie->cachedDecimalForField(CHTPieChartFieldSliceWidthSum, 1), D("0.75")));
    EXPECT_EQ(slicesDrawn(*s.pie), 3);
}

TEST(CHTPieChartTest, AnglesRunFromTheStartInTheSliceDirection) {
    CHTPieChart pie(gfx::Rect(0, 0, 200, 100));
    EXPECT_FLOAT_EQ(pie.pieRadius(), 40);
    EXPECT_FLOAT_EQ(pie.startAngle(), float(kPi / 2));
    EXPECT_EQ(pie.labelOffset(), 10);
    // Clockwise: the first of 1, 1, 2 runs from pi/2 to 0, the third from
    // -pi/2 to -3 pi/2.
    EXPECT_NEAR(pie.radiansForPieSliceValue(0.25f), 0, 1e-6);
    EXPECT_NEAR(pie.radiansForPieSliceValue(0.5f), -kPi / 2, 1e-6);
    EXPECT_NEAR(pie.radiansForPieSliceValue(1.0f), -3 * kPi / 2, 1e-5);
    pie.setSliceDirection(CHTPieDirectionCounterClockwise);
    EXPECT_NEAR(pie.radiansForPieSliceValue(0.25f), kPi, 1e-6);
    pie.setSliceDirection(5);
    EXPECT_NEAR(pie.radiansForPieSliceValue(0.25f), kPi / 2, 1e-6);
    pie.setPieRadius(-50);
    EXPECT_EQ(pie.pieRadius(), 50);
    pie.setPieInnerRadius(-5);
    EXPECT_EQ(pie.pieInnerRadius(), 5);
    EXPECT_TRUE(CHTPieChart::needsDisplayForKey("centerAnchor"));
    EXPECT_TRUE(CHTPieChart::needsDisplayForKey("labelOffset"));
    EXPECT_FALSE(CHTPieChart::needsDisplayForKey("sliceDirection"));
}

TEST(CHTPieChartTest, WedgeAndRingPaths) {
    CHTPieChart pie(gfx::Rect(0, 0, 200, 200));
    pie.setPieRadius(50);
    // A quarter wedge from pi/2 clockwise to 0 about (100, 100).
    gfx::Path wedge;
    pie.addSliceToPath(wedge, {100, 100}, float(kPi / 2), 0);
    wedge.closeSubpath();
    auto texts = plottest::pathTexts(wedge);
    EXPECT_EQ(texts.front(), "M 100 100");
    EXPECT_EQ(texts[1], "L 100 150");  // to the arc's start, straight up
    EXPECT_TRUE(wedge.containsPoint({120, 120}));
    EXPECT_FALSE(wedge.containsPoint({80, 120}));
    EXPECT_FALSE(wedge.containsPoint({140, 140}));  // outside the radius

    // A ring segment: the outer arc, then the inner one back.
    pie.setPieInnerRadius(20);
    gfx::Path ring;
    pie.addSliceToPath(ring, {100, 100}, float(kPi / 2), 0);
    ring.closeSubpath();
    texts = plottest::pathTexts(ring);
    EXPECT_EQ(texts.front(), "M 100 150");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "L 120 100"), texts.end());  // down to the inner arc
    EXPECT_FALSE(ring.containsPoint({105, 105}));                                // the hole
    EXPECT_TRUE(ring.containsPoint({125, 125}));
    EXPECT_FALSE(ring.containsPoint({80, 120}));
}

TEST(CHTPieChartTest, ARadialOffsetPushesTheSliceAndItsLabelOut) {
    PieStage s({1, 3});
    s.source->offsets[0] = 10;
    s.pie->setBorderLineStyle(nullptr);
    // The first slice, a quarter from straight up clockwise to 0, moves out
    // along pi/4.
    gfx::ImageContext ctx({200, 200}, 1, gfx::YAxis::Up);
    s.pie->renderAsVectorInContext(ctx);
    auto img = ctx.image();
    const int shift = int(std::lround(10 * std::cos(kPi / 4)));
    // Rows count from the top: y is 200 - row.
    EXPECT_EQ(img->pixel(100 + shift + 2, 200 - (100 + shift + 2)).r, 255);  // just inside its new corner
    EXPECT_EQ(img->pixel(102, 98).a, 0);                                     // the gap it left at the centre
    EXPECT_EQ(img->pixel(98, 98).g, 255);                                    // the second slice stays put

    s.pie->setLabelTextStyle(CHTTextStyle::textStyle());
    s.pie->relabel();
    const auto& labels = s.pie->labelAnnotations();
    ASSERT_EQ(labels.size(), 2u);
    // 50 + 10 (offset) + 10 (radial offset) along pi/4.
    const gfx::Point d = labels[0]->displacement();
    EXPECT_NEAR(d.x, 70 * std::cos(kPi / 4), 1e-3);
    EXPECT_NEAR(d.y, 70 * std::sin(kPi / 4), 1e-3);
    // The second label, at the middle of three quarters clockwise from 0.
    EXPECT_NEAR(labels[1]->displacement().x, 60 * std::cos(-3 * kPi / 4), 1e-3);
    // Every label is anchored at the pie's centre.
    EXPECT_TRUE(CHTDecimalEquals(labels[1]->anchorPlotPoint()[0], labels[0]->anchorPlotPoint()[0]));
}

TEST(CHTPieChartTest, LabelsOfMissingSlicesAreHidden) {
    PieStage s({1, NaN, 3});
    s.pie->setLabelTextStyle(CHTTextStyle::textStyle());
    // A label layer for every record, so that the missing one can be hidden.
    s.pie->relabel();
    const auto& labels = s.pie->labelAnnotations();
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_FALSE(labels[1] && labels[1]->contentLayer());  // no value: no label at all
    ASSERT_TRUE(labels[0]->contentLayer());
    EXPECT_FALSE(labels[0]->contentLayer()->isHidden());
    s.source->values = {1, -1, 0};
    s.pie->reloadData();
    s.pie->relabel();
    ASSERT_TRUE(labels[0]->contentLayer());
    EXPECT_TRUE(labels[0]->contentLayer()->isHidden());
}

TEST(CHTPieChartTest, PressesInTheHoleSelectNothingAndOnTheRimTheSlice) {
    PieStage s({1, 1, 2});
    auto selections = std::make_shared<Selections>();
    s.pie->setDelegate(selections);
    s.pie->setPieInnerRadius(20);
    // Clockwise from straight up: slice 0 covers pi/2 .. 0, slice 1 0 .. -pi/2,
    // slice 2 the left half.
    EXPECT_FALSE(s.press(kPi / 4, 10));    // in the hole
    EXPECT_TRUE(s.press(kPi / 2, 50));     // exactly on the rim, straight up
    EXPECT_FALSE(s.press(kPi / 4, 50.5));  // beyond it
    EXPECT_TRUE(s.press(-kPi / 4, 30));
    EXPECT_TRUE(s.press(kPi, 30));
    EXPECT_EQ(selections->selected, (std::vector<std::size_t>{0, 1, 2}));

    // Counter-clockwise, slice 0 is the quarter from pi/2 to pi.
    s.pie->setSliceDirection(CHTPieDirectionCounterClockwise);
    selections->selected.clear();
    EXPECT_TRUE(s.press(3 * kPi / 4, 30));
    EXPECT_TRUE(s.press(-kPi / 2 + 0.1, 30));  // slice 2: from 3 pi/2 (wrapping) to 5 pi/2
    EXPECT_EQ(selections->selected, (std::vector<std::size_t>{0, 2}));

    // A pushed-out slice is hit where it is drawn, not where it was.
    s.pie->setSliceDirection(CHTPieDirectionClockwise);
    s.pie->setPieInnerRadius(0);
    s.source->offsets[0] = 20;
    selections->selected.clear();
    EXPECT_FALSE(s.press(kPi / 4, 5));  // the gap it left at the centre
    EXPECT_TRUE(s.press(kPi / 4, 65));  // beyond the rim, inside the moved slice
    EXPECT_EQ(selections->selected, (std::vector<std::size_t>{0}));
}

TEST(CHTPieChartTest, DefaultSliceColoursPastTen) {
    auto c0 = CHTPieChart::defaultPieSliceColorForIndex(0)->cgColor();
    EXPECT_EQ(c0.red(), 1);
    EXPECT_EQ(c0.green(), 0);
    auto c4 = CHTPieChart::defaultPieSliceColorForIndex(4)->cgColor();
    EXPECT_FLOAT_EQ(c4.green(), 0.5f);
    // Record 12: entry 2 plus 0.1 each; the blue of 1.1 is kept at full.
    auto c12 = CHTPieChart::defaultPieSliceColorForIndex(12)->cgColor();
    EXPECT_FLOAT_EQ(c12.red(), 0.1f);
    EXPECT_FLOAT_EQ(c12.green(), 0.1f);
    EXPECT_FLOAT_EQ(c12.blue(), 1.0f);
    EXPECT_FLOAT_EQ(c12.alpha(), 1.0f);
    auto c25 = CHTPieChart::defaultPieSliceColorForIndex(25)->cgColor();
    EXPECT_FLOAT_EQ(c25.red(), 1.0f);
    EXPECT_FLOAT_EQ(c25.green(), 0.2f);
}

TEST(CHTPieChartTest, ReloadsThatChangeTheRecordCountAskTheLegendForNewEntries) {
    PieStage s({1, 2});
    int reloads = 0, redraws = 0;
    auto& center = base::NotificationCenter::defaultCenter();
    const void* sender = dynamic_cast<const void*>(s.pie.get());
    auto t1 = center.addObserver(&reloads, CHTLegendNeedsReloadEntriesForPlotNotification, sender,
                                 [&](const base::Notification&) { ++reloads; });
    auto t2 = center.addObserver(&redraws, CHTLegendNeedsRedrawForPlotNotification, sender,
                                 [&](const base::Notification&) { ++redraws; });
    s.pie->reloadData();
    EXPECT_EQ(reloads, 0);  // the same two records
    EXPECT_EQ(redraws, 0);  // no per-slice fills or titles
    s.source->values = {1, 2, 3, 4};
    s.pie->reloadData();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(s.pie->numberOfLegendEntries(), 4u);
    s.source->titled = true;
    s.pie->reloadData();
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(s.pie->titleForLegendEntryAtIndex(3), std::optional<std::string>("slice 3"));
    s.source->values.push_back(5);
    s.pie->insertDataAtIndex(4, 1);
    EXPECT_EQ(reloads, 2);
    s.pie->deleteDataInIndexRange({0, 2});
    EXPECT_EQ(reloads, 3);
    EXPECT_EQ(s.pie->cachedDataCount(), 3u);
    EXPECT_TRUE(sameOrBothNaN(s.field(CHTPieChartFieldSliceWidthNormalized), {0.25, 1.0 / 3, 5.0 / 12}));
    center.removeObserver(t1);
    center.removeObserver(t2);
}

TEST(CHTPieChartTest, ArchivesItsGeometryAndStyles) {
    CHTRegisterCodingClasses();
    auto pie = std::make_shared<CHTPieChart>(gfx::Rect(0, 0, 100, 100));
    pie->setPieInnerRadius(12);
    pie->setStartAngle(1.25f);
    pie->setSliceDirection(CHTPieDirectionCounterClockwise);
    pie->setCenterAnchor({0.25f, 0.75f});
    pie->setBorderLineStyle(CHTLineStyle::lineStyle());
    pie->setOverlayFill(CHTFill::fillWithColor(CHTColor::clearColor()));
    auto decoded =
        base::KeyedUnarchiver::unarchiveObjectOfType<CHTPieChart>(base::KeyedArchiver::archivedDataWithRootObject(pie));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pieRadius(), 40);
    EXPECT_EQ(decoded->pieInnerRadius(), 12);
    EXPECT_FLOAT_EQ(decoded->startAngle(), 1.25f);
    EXPECT_EQ(decoded->sliceDirection(), CHTPieDirectionCounterClockwise);
    EXPECT_EQ(decoded->centerAnchor(), gfx::Point(0.25f, 0.75f));
    EXPECT_TRUE(decoded->borderLineStyle());
    EXPECT_TRUE(decoded->overlayFill());
}
