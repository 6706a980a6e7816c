#include "charts/CHTAxis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "charts/AxisTestSupport.h"
#include "charts/CHTAxisLabelGroup.h"
#include "charts/CHTColor.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTGridLines.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTTextLayer.h"

using charttest::D;
using charttest::R;
using charttest::values;
using charttest::XYChart;

namespace {

// ---- generators ----

struct GeneratorCase {
    std::string name;
    int policy;
    const char* location;
    const char* length;
    const char* interval;
    const char* origin;
    unsigned minorTicks;
    unsigned preferred;
    int scaleType;
    std::vector<double> majors;
    std::vector<double> minors;
};

class GeneratorTest : public testing::TestWithParam<GeneratorCase> {};

TEST_P(GeneratorTest, GeneratesTheExpectedLocations) {
    const auto& c = GetParam();
    XYChart chart;
    chart.space->setXScaleType(c.scaleType);
    chart.space->setXRange(R(c.location, c.length));
    auto& axis = *chart.x;
    axis.setLabelingPolicy(c.policy);
    axis.setMajorIntervalLength(D(c.interval));
    axis.setLabelingOrigin(D(c.origin));
    axis.setMinorTicksPerInterval(c.minorTicks);
    axis.setPreferredNumberOfMajorTicks(c.preferred);
    axis.relabel();
    std::vector<double> majors = values(axis.majorTickLocations()), minors = values(axis.minorTickLocations());
    ASSERT_EQ(majors.size(), c.majors.size()) << testing::PrintToString(majors);
    for (std::size_t i = 0; i < majors.size(); ++i) EXPECT_NEAR(majors[i], c.majors[i], 1e-9);
    ASSERT_EQ(minors.size(), c.minors.size()) << testing::PrintToString(minors);
    for (std::size_t i = 0; i < minors.size(); ++i) EXPECT_NEAR(minors[i], c.minors[i], 1e-9);
    // No minor tick ever stands on a major one.
    for (double m : minors)
        for (double M : majors) EXPECT_GT(std::fabs(m - M), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, GeneratorTest,
    testing::Values(
        GeneratorCase{"FixedHalfOverMinusOneToZero",
                      2,
                      "-1",
                      "1",
                      "0.5",
                      "0",
                      4,
                      0,
                      0,
                      {-1, -0.5, 0},
                      {-0.9, -0.8, -0.7, -0.6, -0.4, -0.3, -0.2, -0.1}},
        GeneratorCase{
            "FixedTwoOverZeroToEleven", 2, "0", "11", "2", "0", 1, 0, 0, {0, 2, 4, 6, 8, 10}, {1, 3, 5, 7, 9, 11}},
        GeneratorCase{"FixedTwoFromOriginOne", 2, "0", "6", "2", "1", 1, 0, 0, {1, 3, 5}, {0, 2, 4, 6}},
        GeneratorCase{"FixedZeroInterval", 2, "0", "10", "0", "0", 1, 0, 0, {}, {}},
        GeneratorCase{"FixedNegativeInterval", 2, "0", "10", "-1", "0", 1, 0, 0, {}, {}},
        GeneratorCase{"FixedOverDescendingRange", 2, "10", "-4", "2", "0", 0, 0, 0, {6, 8, 10}, {}},
        GeneratorCase{"AutoZeroPreferred", 3, "0", "10", "1", "0", 0, 0, 0, {0, 2, 4, 6, 8, 10}, {}},
        GeneratorCase{"AutoOneMinor", 3, "0", "10", "1", "0", 1, 0, 0, {0, 2, 4, 6, 8, 10}, {1, 3, 5, 7, 9}},
        GeneratorCase{"AutoOnePreferredIsTwo", 3, "0", "10", "1", "0", 0, 1, 0, {0, 10}, {}},
        GeneratorCase{"AutoLogReachingZero", 3, "0", "100", "1", "0", 1, 0, 1, {}, {}},
        GeneratorCase{"AutoLogOneToHundred", 3, "1", "99", "1", "0", 1, 0, 1, {1, 10, 100}, {6, 60}},
        GeneratorCase{"AutoZeroLength", 3, "5", "0", "1", "0", 1, 0, 0, {}, {}},
        GeneratorCase{"EqualFiveOverZeroToEight", 4, "0", "8", "1", "0", 0, 5, 0, {0, 2, 4, 6, 8}, {}},
        GeneratorCase{"EqualNoneAskedGivesEnds", 4, "0", "8", "1", "0", 0, 0, 0, {0, 8}, {}},
        GeneratorCase{"EqualWithMinors", 4, "0", "8", "1", "0", 1, 3, 0, {0, 4, 8}, {2, 6}},
        GeneratorCase{"EqualZeroLength", 4, "3", "0", "1", "0", 1, 5, 0, {}, {}},
        // Ends that lie on a limit in decimals but not in binary (0.7 + 0.1 is
        // 0.7999999999999999 in doubles; 1000 - 999.9 is 0.10000000000002274),
        // or that a 38-digit third overshoots (5 / 3 three times), are kept.
        GeneratorCase{"AutoKeepsTheEndOfPointSevenPlusPointOne",
                      3,
                      "0.7",
                      "0.1",
                      "1",
                      "0",
                      0,
                      0,
                      0,
                      {0.7, 0.72, 0.74, 0.76, 0.78, 0.8},
                      {}},
        GeneratorCase{"AutoLogKeepsTheStartOfADescendingRange",
                      3,
                      "1000",
                      "-999.9",
                      "1",
                      "0",
                      0,
                      0,
                      1,
                      {0.1, 1, 10, 100, 1000},
                      {}},
        GeneratorCase{"EqualKeepsTheEndOfThirds", 4, "0", "5", "1", "0", 0, 4, 0, {0, 5.0 / 3, 10.0 / 3, 5}, {}}),
    [](const testing::TestParamInfo<GeneratorCase>& info) { return info.param.name; });

// Each of these once looped for ever or made millions of ticks; each now
// ends with a bounded or an empty set.
struct TerminationCase {
    std::string name;
    int policy;
    const char* location;
    const char* length;
    const char* interval;
    unsigned minorTicks;
    unsigned preferred;
    int scaleType;
    std::size_t maxMajors;
};

class TerminationTest : public testing::TestWithParam<TerminationCase> {};

TEST_P(TerminationTest, EndsBounded) {
    const auto& c = GetParam();
    XYChart chart;
    chart.space->setYScaleType(c.scaleType);
    chart.space->setYRange(R(c.location, c.length));
    auto& axis = *chart.y;
    axis.setLabelingPolicy(c.policy);
    axis.setMajorIntervalLength(D(c.interval));
    axis.setMinorTicksPerInterval(c.minorTicks);
    axis.setPreferredNumberOfMajorTicks(c.preferred);
    axis.relabel();
    EXPECT_LE(axis.majorTickLocations().size(), c.maxMajors);
    EXPECT_LE(axis.majorTickLocations().size() + axis.minorTickLocations().size(), kCHTMaximumTickLocations);
    EXPECT_FALSE(axis.needsRelabel());
    EXPECT_LE(axis.axisLabels().size(), c.maxMajors);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TerminationTest,
    testing::Values(TerminationCase{"NaNBound", 2, "NaN", "10", "1", 1, 0, 0, 0},
                    TerminationCase{"NaNLength", 4, "0", "NaN", "1", 1, 5, 0, 0},
                    TerminationCase{"NaNInterval", 2, "0", "10", "NaN", 1, 0, 0, 0},
                    TerminationCase{"StepTooSmallToGrow", 2, "1000000000000000000000000000000", "1", "0.0000000001", 1,
                                    0, 0, 1},
                    TerminationCase{"LogShorterThanOne", 3, "1", "0.5", "1", 1, 0, 1, 2},
                    TerminationCase{"LogTinyRange", 3, "0.001", "0.0001", "1", 9, 0, 1, 2},
                    TerminationCase{"HugeLoggedDay", 2, "0", "99999999", "1", 1, 0, 0, 0},
                    // The 11 majors fit: only the minor ticks are dropped.
                    TerminationCase{"HugeMinorCount", 2, "0", "100", "10", 4000000000u, 0, 0, 11},
                    TerminationCase{"HugePreferredEqual", 4, "0", "100", "1", 0, 4000000000u, 0, 0},
                    TerminationCase{"HugePreferredAuto", 3, "0", "100", "1", 0, 4000000000u, 0, 0}),
    [](const testing::TestParamInfo<TerminationCase>& info) { return info.param.name; });

TEST(CHTAxisTest, EndTicksStandExactlyOnTheDecimalLimits) {
    XYChart chart;
    chart.space->setXRange(R("0.7", "0.1"));
    chart.x->setLabelingPolicy(CHTAxisLabelingPolicyAutomatic);
    chart.x->relabel();
    EXPECT_TRUE(chart.x->majorTickLocations().count(D("0.7")));
    EXPECT_TRUE(chart.x->majorTickLocations().count(D("0.8")));
    chart.space->setXRange(R("0", "5"));
    chart.x->setLabelingPolicy(CHTAxisLabelingPolicyEqualDivisions);
    chart.x->setPreferredNumberOfMajorTicks(4);
    chart.x->relabel();
    EXPECT_TRUE(chart.x->majorTickLocations().count(D("5")));
}

TEST(CHTAxisTest, TooManyTicksInAllDropOnlyTheMinorTicks) {
    // 501 majors fit their cap; with 99 minors each the ticks in all do not.
    XYChart chart;
    chart.space->setXRange(R("0", "500"));
    auto& axis = *chart.x;
    axis.setMajorIntervalLength(D("1"));
    axis.setMinorTicksPerInterval(99);
    axis.relabel();
    EXPECT_EQ(axis.majorTickLocations().size(), 501u);
    EXPECT_TRUE(axis.minorTickLocations().empty());

    axis.setLabelingPolicy(CHTAxisLabelingPolicyEqualDivisions);
    axis.setPreferredNumberOfMajorTicks(501);
    axis.relabel();
    EXPECT_EQ(axis.majorTickLocations().size(), 501u);
    EXPECT_TRUE(axis.minorTickLocations().empty());

    // Automatic: an interval of 100 gives 6 majors, and 5 intervals of 1999
    // minors make 10,001 ticks.
    axis.setLabelingPolicy(CHTAxisLabelingPolicyAutomatic);
    axis.setPreferredNumberOfMajorTicks(5);
    axis.setMinorTicksPerInterval(1999);
    axis.relabel();
    EXPECT_EQ(values(axis.majorTickLocations()), (std::vector<double>{0, 100, 200, 300, 400, 500}));
    EXPECT_TRUE(axis.minorTickLocations().empty());
    // One fewer minor per interval fits: all 9,990 are there.
    axis.setMinorTicksPerInterval(1998);
    axis.relabel();
    EXPECT_EQ(axis.minorTickLocations().size(), 5u * 1998u);
}

TEST(CHTAxisTest, NiceNumRoundsToOneTwoFiveOrTen) {
    EXPECT_DOUBLE_EQ(niceNum(0, true), 0);
    EXPECT_DOUBLE_EQ(niceNum(-0.37, true), -0.5);
    EXPECT_DOUBLE_EQ(niceNum(23, true), 20);
    EXPECT_DOUBLE_EQ(niceNum(23, false), 50);
    EXPECT_DOUBLE_EQ(niceNum(2.5, true), 2);
    EXPECT_DOUBLE_EQ(niceNum(1.4, false), 2);
}

TEST(CHTAxisTest, ExclusionRangeRemovesTheTickFromBothSets) {
    XYChart chart;
    chart.space->setXRange(R("-2", "4"));
    chart.x->setMajorIntervalLength(D("1"));
    chart.x->setMinorTicksPerInterval(1);
    chart.x->setLabelExclusionRanges({R("0", "0"), R("1.5", "0")});
    chart.x->relabel();
    EXPECT_EQ(values(chart.x->majorTickLocations()), (std::vector<double>{-2, -1, 1, 2}));
    EXPECT_EQ(values(chart.x->minorTickLocations()), (std::vector<double>{-1.5, -0.5, 0.5}));
    for (const auto& label : chart.x->axisLabels()) EXPECT_FALSE(label->tickLocation() == D("0"));
}

// ---- relabel and labels ----

TEST(CHTAxisTest, NewAxisDefaults) {
    CHTAxis axis;
    EXPECT_EQ(axis.labelingPolicy(), 2);
    EXPECT_TRUE(axis.majorIntervalLength() == D("1"));
    EXPECT_TRUE(axis.labelingOrigin() == D("0"));
    EXPECT_EQ(axis.minorTicksPerInterval(), 1u);
    EXPECT_EQ(axis.majorTickLength(), 5);
    EXPECT_EQ(axis.minorTickLength(), 3);
    EXPECT_EQ(axis.labelOffset(), 2);
    EXPECT_EQ(axis.minorTickLabelOffset(), 2);
    EXPECT_EQ(axis.titleOffset(), 30);
    EXPECT_FALSE(axis.majorGridLineStyle());
    EXPECT_FALSE(axis.minorGridLineStyle());
    EXPECT_TRUE(axis.axisLineStyle());
    EXPECT_EQ(axis.labelFormatter()->stringFromDecimal(D("1")), "1.0");
    EXPECT_EQ(axis.labelFormatter()->stringFromDecimal(D("0.25")), "0.2");
    EXPECT_TRUE(axis.needsRelabel());
    EXPECT_TRUE(std::isnan(axis.titleRotation()));
    EXPECT_TRUE(axis.titleLocation().isNaN());
    EXPECT_TRUE(CHTAxis::needsDisplayForKey("labelOffset"));
    EXPECT_FALSE(CHTAxis::needsDisplayForKey("coordinate"));
}

TEST(CHTAxisTest, PreferredTickCountRelabelsOnlyUnderTheCountingPolicies) {
    CHTAxis axis;
    axis.relabel();  // no plot space: stays marked
    axis.setNeedsRelabel(false);
    axis.setPreferredNumberOfMajorTicks(7);
    EXPECT_FALSE(axis.needsRelabel());
    axis.setLabelingPolicy(4);
    axis.setNeedsRelabel(false);
    axis.setPreferredNumberOfMajorTicks(3);
    EXPECT_TRUE(axis.needsRelabel());
    axis.setLabelingPolicy(3);
    axis.setNeedsRelabel(false);
    axis.setPreferredNumberOfMajorTicks(4);
    EXPECT_TRUE(axis.needsRelabel());

    // Under equal divisions the new count reaches the ticks.
    XYChart chart;
    chart.space->setXRange(R("0", "8"));
    chart.x->setLabelingPolicy(4);
    chart.x->setMinorTicksPerInterval(0);
    chart.x->setPreferredNumberOfMajorTicks(5);
    chart.x->relabel();
    EXPECT_EQ(chart.x->majorTickLocations().size(), 5u);
    chart.x->setPreferredNumberOfMajorTicks(3);
    chart.x->relabel();
    EXPECT_EQ(values(chart.x->majorTickLocations()), (std::vector<double>{0, 4, 8}));
}

TEST(CHTAxisTest, SettingTheHeldLocationsChangesNothing) {
    XYChart chart;
    chart.x->setLabelingPolicy(1);
    chart.x->setMinorTickLocations({D("1"), D("2")});
    chart.x->setNeedsRelabel(false);
    chart.x->setMinorTickLocations({D("2"), D("1")});
    EXPECT_FALSE(chart.x->needsRelabel());
    chart.x->setMinorTickLocations({D("3")});
    EXPECT_TRUE(chart.x->needsRelabel());
}

TEST(CHTAxisTest, RelabellingWithUnchangedLocationsKeepsLabelsAndTextLayers) {
    XYChart chart;
    chart.x->relabel();
    ASSERT_EQ(chart.x->axisLabels().size(), 11u);
    std::vector<std::pair<CHTAxisLabel*, CHTLayer*>> before;
    std::vector<std::weak_ptr<CHTLayer>> oldLayers;
    for (const auto& label : chart.x->axisLabels()) {
        before.emplace_back(label.get(), label->contentLayer().get());
        oldLayers.push_back(label->contentLayer());
    }
    chart.x->setNeedsRelabel();
    chart.x->relabel();
    std::vector<std::pair<CHTAxisLabel*, CHTLayer*>> after;
    for (const auto& label : chart.x->axisLabels()) after.emplace_back(label.get(), label->contentLayer().get());
    EXPECT_EQ(before, after);

    // A new formatter gives every label a new text.
    auto formatter = std::make_shared<base::NumberFormatter>();
    formatter->setMaximumFractionDigits(2);
    formatter->setMinimumFractionDigits(2);
    chart.x->setLabelFormatter(formatter);
    chart.x->relabel();
    std::size_t i = 0;
    for (const auto& label : chart.x->axisLabels()) {
        EXPECT_EQ(label.get(), before[i].first);
        EXPECT_NE(label->contentLayer().get(), before[i].second);
        // The old text layer left the label group (and, held by nothing, is gone).
        EXPECT_TRUE(oldLayers[i].expired());
        auto text = std::dynamic_pointer_cast<CHTTextLayer>(label->contentLayer());
        ASSERT_TRUE(text);
        EXPECT_EQ(text->text(), formatter->stringFromDecimal(label->tickLocation()));
        ++i;
    }
    EXPECT_FALSE(chart.x->labelFormatterChanged());

    // A moved range keeps the labels that stay and drops the others.
    CHTAxisLabel* atFive = nullptr;
    for (const auto& label : chart.x->axisLabels())
        if (label->tickLocation() == D("5")) atFive = label.get();
    chart.space->setXRange(R("5", "10"));
    chart.x->setNeedsRelabel();
    chart.x->relabel();
    EXPECT_EQ(chart.x->axisLabels().begin()->get(), atFive);
    EXPECT_EQ(chart.area->axisLabelGroup()->sublayers().size(),
              chart.x->axisLabels().size() + chart.y->axisLabels().size());
}

TEST(CHTAxisTest, PolicyNoneKeepsTheCallersLabelsAndPolicyOneLabelsItsLocations) {
    XYChart chart;
    chart.x->setLabelingPolicy(0);
    auto own = CHTAxisLabel::initWithText("Days", CHTTextStyle::textStyle());
    own->setTickLocation(D("3"));
    chart.x->setAxisLabels(CHTAxisLabelSet{own});
    chart.x->setMajorTickLocations({D("1"), D("2")});
    chart.x->relabel();
    ASSERT_EQ(chart.x->axisLabels().size(), 1u);
    EXPECT_EQ(*chart.x->axisLabels().begin(), own);
    EXPECT_EQ(values(chart.x->majorTickLocations()), (std::vector<double>{1, 2}));

    chart.x->setLabelingPolicy(1);
    chart.x->relabel();
    std::vector<double> labelled;
    for (const auto& label : chart.x->axisLabels()) labelled.push_back(label->tickLocation().toDouble());
    EXPECT_EQ(labelled, (std::vector<double>{1, 2}));
    EXPECT_EQ(own->contentLayer()->superlayer(), nullptr);
}

TEST(CHTAxisTest, NoIntervalRemovesAllLabels) {
    XYChart chart;
    chart.x->relabel();
    ASSERT_FALSE(chart.x->axisLabels().empty());
    auto layer = (*chart.x->axisLabels().begin())->contentLayer();
    chart.x->setMajorIntervalLength(D("0"));
    chart.x->relabel();
    EXPECT_TRUE(chart.x->axisLabels().empty());
    EXPECT_TRUE(chart.x->majorTickLocations().empty());
    EXPECT_EQ(layer->superlayer(), nullptr);
}

class VetoingDelegate : public CHTAxisDelegate {
public:
    bool axisShouldRelabel(CHTAxis*) override {
        ++asked;
        return allow;
    }
    void axisDidRelabel(CHTAxis*) override { ++told; }
    std::optional<bool> axisShouldUpdateAxisLabelsAtLocations(CHTAxis*, const CHTDecimalSet&) override {
        return updateLabels;
    }
    bool allow = false;
    std::optional<bool> updateLabels;
    int asked = 0, told = 0;
};

TEST(CHTAxisTest, DelegateCanSkipARelabelOrTheLabels) {
    XYChart chart;
    auto delegate = std::make_shared<VetoingDelegate>();
    chart.x->setDelegate(delegate);
    chart.x->relabel();
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_EQ(delegate->told, 0);
    EXPECT_FALSE(chart.x->needsRelabel());
    EXPECT_TRUE(chart.x->majorTickLocations().empty());

    delegate->allow = true;
    delegate->updateLabels = false;
    chart.x->setNeedsRelabel();
    chart.x->relabel();
    EXPECT_EQ(delegate->told, 1);
    EXPECT_EQ(chart.x->majorTickLocations().size(), 11u);
    EXPECT_TRUE(chart.x->axisLabels().empty());
}

TEST(CHTAxisTest, MinorLabelsComeWithAFormatterAndGoWithoutOne) {
    XYChart chart;
    chart.x->setMinorTickLabelFormatter(std::make_shared<base::NumberFormatter>());
    chart.x->relabel();
    EXPECT_EQ(chart.x->minorTickAxisLabels().size(), 10u);
    auto layer = (*chart.x->minorTickAxisLabels().begin())->contentLayer();
    EXPECT_EQ(layer->superlayer(), chart.area->axisLabelGroup().get());
    chart.x->setMinorTickLabelFormatter(nullptr);
    EXPECT_TRUE(chart.x->minorTickAxisLabels().empty());
    EXPECT_EQ(layer->superlayer(), nullptr);
}

TEST(CHTAxisTest, LabelsTitleAndMinorLabelsLeaveWithTheirPlotArea) {
    XYChart chart;
    chart.x->setMinorTickLabelFormatter(std::make_shared<base::NumberFormatter>());
    chart.x->setTitle(std::string("Days"));
    chart.x->relabel();
    auto major = (*chart.x->axisLabels().begin())->contentLayer();
    auto minor = (*chart.x->minorTickAxisLabels().begin())->contentLayer();
    auto title = chart.x->axisTitle()->contentLayer();
    ASSERT_TRUE(major->superlayer() && minor->superlayer() && title->superlayer());
    chart.area->setAxisSet(nullptr);
    EXPECT_EQ(major->superlayer(), nullptr);
    EXPECT_EQ(minor->superlayer(), nullptr);
    EXPECT_EQ(title->superlayer(), nullptr);
    EXPECT_FALSE(chart.area->axisLabelGroup());
    EXPECT_FALSE(chart.area->axisTitleGroup());
}

TEST(CHTAxisTest, LayoutMakesTheLabelsOfAFreshChart) {
    XYChart chart;
    chart.area->layoutIfNeeded();
    EXPECT_EQ(chart.x->axisLabels().size(), 11u);
    EXPECT_EQ(chart.y->axisLabels().size(), 101u);
    EXPECT_FALSE(chart.x->needsRelabel());
    // Labels of the x axis hang below it, centred on their ticks.
    for (const auto& label : chart.x->axisLabels()) {
        gfx::Point tick = chart.x->viewPointForCoordinateDecimalNumber(label->tickLocation());
        gfx::Rect frame = label->contentLayer()->frame();
        EXPECT_NEAR(frame.midX(), tick.x, 0.51);
        EXPECT_NEAR(frame.maxY(), tick.y - (2 + 5), 0.51);
    }
}

TEST(CHTAxisTest, AlternatingBandFillsAcceptFillsColoursAndNull) {
    CHTAxis axis;
    axis.setAlternatingBandFills({CHTColor::lightGrayColor(), nullptr, CHTFill::fillWithColor(CHTColor::redColor())});
    ASSERT_EQ(axis.alternatingBandFills().size(), 3u);
    EXPECT_TRUE(axis.alternatingBandFills()[0]);
    EXPECT_EQ(axis.alternatingBandFills()[0]->classForCoder(), "CHTFill");
    EXPECT_FALSE(axis.alternatingBandFills()[1]);
    try {
        axis.setAlternatingBandFills({CHTColor::redColor(), R("0", "1")});
        FAIL();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(),
                  "Alternating band fills must be one or more of the following: CHTFill, CHTColor, CHTGradient, "
                  "CHTImage, or [NSNull null].");
    }
    EXPECT_EQ(axis.alternatingBandFills().size(), 3u);
}

TEST(CHTAxisTest, TitleComesAndGoesWithItsText) {
    XYChart chart;
    EXPECT_FALSE(chart.x->axisTitle());
    chart.x->setTitle(std::string("Days"));
    auto title = chart.x->axisTitle();
    ASSERT_TRUE(title);
    auto layer = std::dynamic_pointer_cast<CHTTextLayer>(title->contentLayer());
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->text(), "Days");
    EXPECT_EQ(layer->superlayer(), chart.area->axisTitleGroup().get());
    EXPECT_EQ(title->offset(), 30);

    chart.x->setTitle(std::string("Weeks"));
    EXPECT_EQ(chart.x->axisTitle(), title);
    EXPECT_EQ(layer->text(), "Weeks");

    chart.x->setTitle(std::nullopt);
    EXPECT_FALSE(chart.x->axisTitle());
    EXPECT_EQ(layer->superlayer(), nullptr);
}

TEST(CHTAxisTest, TitleLocationFallsBackToTheDefault) {
    XYChart chart;
    EXPECT_TRUE(chart.x->titleLocation() == D("5"));
    chart.x->setTitleLocation(D("2"));
    EXPECT_TRUE(chart.x->titleLocation() == D("2"));
    chart.x->setTitleLocation(CHTDecimalNaN());
    EXPECT_TRUE(chart.x->titleLocation() == D("5"));
}

TEST(CHTAxisTest, SeparateLayersMoveGridLinesIntoALayerOfTheirOwn) {
    XYChart chart;
    chart.x->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    ASSERT_TRUE(chart.area->majorGridLineGroup());
    EXPECT_FALSE(chart.x->majorGridLines());
    chart.x->setSeparateLayers(true);
    auto own = chart.x->majorGridLines();
    ASSERT_TRUE(own);
    EXPECT_TRUE(own->isMajor());
    EXPECT_EQ(own->axis(), chart.x);
    EXPECT_EQ(own->superlayer(), chart.area->majorGridLineGroup().get());
    EXPECT_FALSE(chart.x->minorGridLines());
    chart.x->setSeparateLayers(false);
    EXPECT_FALSE(chart.x->majorGridLines());
    EXPECT_EQ(own->superlayer(), nullptr);
}

TEST(CHTAxisTest, LimitBandsAreKeptInOrder) {
    CHTAxis axis;
    auto a = CHTLimitBand::limitBandWithRange(R("0", "1"), CHTFill::fillWithColor(CHTColor::redColor()));
    auto b = CHTLimitBand::limitBandWithRange(R("2", "1"), nullptr);
    axis.addBackgroundLimitBand(nullptr);
    axis.addBackgroundLimitBand(a);
    axis.addBackgroundLimitBand(b);
    EXPECT_EQ(axis.backgroundLimitBands(), (std::vector<std::shared_ptr<CHTLimitBand>>{a, b}));
    axis.removeBackgroundLimitBand(a);
    EXPECT_EQ(axis.backgroundLimitBands(), (std::vector<std::shared_ptr<CHTLimitBand>>{b}));
    auto copy = b->copy();
    EXPECT_NE(copy->range(), b->range());
    EXPECT_TRUE(copy->range()->isEqualToRange(b->range().get()));
    EXPECT_EQ(b->description().rfind("<CHTLimitBand", 0), 0u);
}

TEST(CHTAxisTest, ConfiguredAxisAndAxisSetSurviveAnArchive) {
    CHTRegisterCodingClasses();
    XYChart chart;
    auto& x = *chart.x;
    x.setMajorIntervalLength(D("2.5"));
    x.setLabelingOrigin(D("0.5"));
    x.setMinorTicksPerInterval(3);
    x.setLabelingPolicy(4);
    x.setPreferredNumberOfMajorTicks(6);
    x.setTickDirection(1);
    x.setLabelRotation(0.5f);
    x.setTitle(std::string("Days"));
    x.setTitleOffset(12);
    x.setOrthogonalCoordinateDecimal(D("3"));
    x.setAxisConstraints(CHTConstraints::constraintWithRelativeOffset(0.25f));
    x.setVisibleRange(R("1", "5"));
    x.setLabelExclusionRanges({R("2", "1")});
    x.setAlternatingBandFills({CHTColor::lightGrayColor(), nullptr});
    x.addBackgroundLimitBand(
        CHTLimitBand::limitBandWithRange(R("1", "2"), CHTFill::fillWithColor(CHTColor::redColor())));
    auto grid = CHTLineStyle::lineStyle();
    grid->setLineWidth(0.5f);
    x.setMajorGridLineStyle(grid);
    x.setAxisLineStyle(nullptr);
    auto formatter = std::make_shared<base::NumberFormatter>();
    formatter->setMaximumFractionDigits(3);
    x.setLabelFormatter(formatter);
    chart.axisSet->setBorderLineStyle(CHTLineStyle::lineStyle());
    x.relabel();

    auto data = base::KeyedArchiver::archivedDataWithRootObject(chart.area);
    auto area = base::KeyedUnarchiver::unarchiveObjectOfType<CHTPlotArea>(data);
    ASSERT_TRUE(area);
    auto set = std::dynamic_pointer_cast<CHTXYAxisSet>(area->axisSet());
    ASSERT_TRUE(set);
    EXPECT_TRUE(set->borderLineStyle());
    auto decoded = set->xAxis();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->plotArea(), area);
    EXPECT_TRUE(decoded->majorIntervalLength() == D("2.5"));
    EXPECT_TRUE(decoded->labelingOrigin() == D("0.5"));
    EXPECT_EQ(decoded->minorTicksPerInterval(), 3u);
    EXPECT_EQ(decoded->labelingPolicy(), 4);
    EXPECT_EQ(decoded->preferredNumberOfMajorTicks(), 6u);
    EXPECT_EQ(decoded->tickDirection(), 1);
    EXPECT_FLOAT_EQ(decoded->labelRotation(), 0.5f);
    EXPECT_EQ(decoded->title(), std::optional<std::string>("Days"));
    EXPECT_FLOAT_EQ(decoded->titleOffset(), 12);
    EXPECT_TRUE(decoded->orthogonalCoordinateDecimal() == D("3"));
    ASSERT_TRUE(decoded->axisConstraints());
    EXPECT_TRUE(decoded->axisConstraints()->isEqualToConstraint(x.axisConstraints().get()));
    EXPECT_TRUE(decoded->visibleRange()->isEqualToRange(R("1", "5").get()));
    ASSERT_EQ(decoded->labelExclusionRanges().size(), 1u);
    ASSERT_EQ(decoded->alternatingBandFills().size(), 2u);
    EXPECT_TRUE(decoded->alternatingBandFills()[0]);
    EXPECT_FALSE(decoded->alternatingBandFills()[1]);
    ASSERT_EQ(decoded->backgroundLimitBands().size(), 1u);
    EXPECT_TRUE(decoded->backgroundLimitBands()[0]->range()->isEqualToRange(R("1", "2").get()));
    ASSERT_TRUE(decoded->majorGridLineStyle());
    EXPECT_FLOAT_EQ(decoded->majorGridLineStyle()->lineWidth(), 0.5f);
    EXPECT_FALSE(decoded->axisLineStyle());
    ASSERT_TRUE(decoded->labelFormatter());
    EXPECT_EQ(decoded->labelFormatter()->maximumFractionDigits(), 3);
    EXPECT_EQ(values(decoded->majorTickLocations()), values(x.majorTickLocations()));
    EXPECT_EQ(decoded->axisLabels().size(), x.axisLabels().size());
    ASSERT_TRUE(decoded->plotSpace());
    EXPECT_EQ(decoded->plotSpace(), set->yAxis()->plotSpace());
    EXPECT_TRUE(area->majorGridLineGroup());
    EXPECT_EQ(area->majorGridLineGroup()->plotArea(), area);
}

}  // namespace
