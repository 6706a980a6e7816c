#include "charts/CHTPlotArea.h"

#include <gtest/gtest.h>

#include <vector>

#include "charts/AxisTestSupport.h"
#include "charts/CHTAxisLabelGroup.h"
#include "charts/CHTColor.h"
#include "charts/CHTGridLineGroup.h"
#include "charts/CHTMutableLineStyle.h"
#include "charts/CHTPlotGroup.h"
#include "platform/gfx/Context.h"

using charttest::D;
using charttest::R;
using charttest::XYChart;

namespace {

// The sublayers of the plot area as layer types, bottom first.
std::vector<int> groupOrder(const CHTPlotArea& area) {
    std::vector<int> out;
    for (const auto& sub : area.sublayers()) {
        const gfx::Layer* l = sub.get();
        if (l == area.minorGridLineGroup().get()) out.push_back(0);
        else if (l == area.majorGridLineGroup().get()) out.push_back(1);
        else if (l == area.axisSet().get()) out.push_back(2);
        else if (l == area.plotGroup().get()) out.push_back(3);
        else if (l == area.axisLabelGroup().get()) out.push_back(4);
        else if (l == area.axisTitleGroup().get()) out.push_back(5);
        else out.push_back(-1);
    }
    return out;
}

// A chart whose x axis needs every group.
void needEveryGroup(XYChart& chart) {
    chart.x->setMinorGridLineStyle(CHTLineStyle::lineStyle());
    chart.x->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    chart.x->setTitle(std::string("Days"));
    chart.x->relabel();
}

TEST(CHTPlotAreaTest, NewPlotAreaHoldsOnlyThePlotGroup) {
    auto area = std::make_shared<CHTPlotArea>(gfx::Rect(0, 0, 100, 50));
    ASSERT_EQ(area->sublayers().size(), 1u);
    EXPECT_EQ(area->sublayers()[0], area->plotGroup());
    EXPECT_EQ(area->bottomUpLayerOrder(), (std::array<int, 6>{0, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(area->topDownLayerOrder());
}

TEST(CHTPlotAreaTest, BareAxisSetGoesBeneathThePlots) {
    XYChart chart;
    EXPECT_EQ(groupOrder(*chart.area), (std::vector<int>{2, 3}));
    EXPECT_EQ(chart.x->plotArea(), chart.area);
    EXPECT_EQ(chart.x->axisSet(), chart.axisSet);
}

struct OrderCase {
    std::optional<std::vector<int>> topDown;
    std::vector<int> bottomUp;
};

class LayerOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(LayerOrderTest, GroupsStackInTheResultingOrder) {
    XYChart chart;
    needEveryGroup(chart);
    chart.area->setTopDownLayerOrder(GetParam().topDown);
    std::array<int, 6> expected{};
    std::copy(GetParam().bottomUp.begin(), GetParam().bottomUp.end(), expected.begin());
    EXPECT_EQ(chart.area->bottomUpLayerOrder(), expected);
    EXPECT_EQ(groupOrder(*chart.area), GetParam().bottomUp);
    // Every group knows its index.
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(chart.area->indexForLayerType(GetParam().bottomUp[i]), i);
}

INSTANTIATE_TEST_SUITE_P(Orders, LayerOrderTest,
                         testing::Values(OrderCase{std::nullopt, {0, 1, 2, 3, 4, 5}},
                                         OrderCase{std::vector<int>{3}, {0, 1, 2, 4, 5, 3}},
                                         OrderCase{std::vector<int>{4, 3}, {0, 1, 2, 5, 3, 4}},
                                         OrderCase{std::vector<int>{0, 1, 2, 3, 4, 5}, {5, 4, 3, 2, 1, 0}},
                                         OrderCase{std::vector<int>{}, {0, 1, 2, 3, 4, 5}}));

TEST(CHTPlotAreaTest, BadLayerOrdersAreRefusedAndTheOldOneKept) {
    XYChart chart;
    needEveryGroup(chart);
    chart.area->setTopDownLayerOrder(std::vector<int>{3});
    const std::vector<int> kept{0, 1, 2, 4, 5, 3};
    for (const auto& bad :
         std::vector<std::vector<int>>{{6}, {-1}, {1, 1}, {0, 1, 2, 3, 4, 5, 0}, {0, 1, 2, 3, 4, 5, 6}}) {
        chart.area->setTopDownLayerOrder(bad);
        EXPECT_EQ(chart.area->topDownLayerOrder(), std::optional<std::vector<int>>(std::vector<int>{3}));
        EXPECT_EQ(groupOrder(*chart.area), kept);
    }
}

TEST(CHTPlotAreaTest, MissingGroupsTakeNoRoom) {
    XYChart chart;
    chart.x->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    EXPECT_EQ(groupOrder(*chart.area), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(chart.area->indexForLayerType(3), 2u);
    EXPECT_EQ(chart.area->indexForLayerType(5), 3u);
}

TEST(CHTPlotAreaTest, GridLineGroupsComeAndGoWithTheStyles) {
    XYChart chart;
    chart.x->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    ASSERT_TRUE(chart.area->majorGridLineGroup());
    EXPECT_TRUE(chart.area->majorGridLineGroup()->isMajor());
    EXPECT_EQ(chart.area->majorGridLineGroup()->plotArea(), chart.area);
    chart.y->setMajorGridLineStyle(CHTLineStyle::lineStyle());
    chart.x->setMajorGridLineStyle(nullptr);
    EXPECT_TRUE(chart.area->majorGridLineGroup());
    chart.y->setMajorGridLineStyle(nullptr);
    EXPECT_FALSE(chart.area->majorGridLineGroup());

    chart.y->setMinorGridLineStyle(CHTLineStyle::lineStyle());
    ASSERT_TRUE(chart.area->minorGridLineGroup());
    EXPECT_FALSE(chart.area->minorGridLineGroup()->isMajor());
    EXPECT_EQ(groupOrder(*chart.area), (std::vector<int>{0, 2, 3}));
}

TEST(CHTPlotAreaTest, LabelGroupComesWithLabelsAndTitleGroupWithTitles) {
    XYChart chart;
    EXPECT_FALSE(chart.area->axisLabelGroup());
    chart.x->relabel();
    ASSERT_TRUE(chart.area->axisLabelGroup());
    EXPECT_EQ(chart.area->axisLabelGroup()->sublayers().size(), 11u);
    chart.x->setMajorIntervalLength(D("0"));
    chart.x->relabel();
    EXPECT_FALSE(chart.area->axisLabelGroup());
}

TEST(CHTPlotAreaTest, TitlesOfTwoAxesTakeTheirAxisIndexes) {
    XYChart chart;
    chart.y->setTitle(std::string("Push-ups"));
    chart.x->setTitle(std::string("Days"));
    auto group = chart.area->axisTitleGroup();
    ASSERT_TRUE(group);
    ASSERT_EQ(group->sublayers().size(), 2u);
    EXPECT_EQ(group->sublayers()[0], chart.x->axisTitle()->contentLayer());
    EXPECT_EQ(group->sublayers()[1], chart.y->axisTitle()->contentLayer());
    EXPECT_EQ(chart.area->sublayerIndexForAxis(chart.y.get(), 5), 1u);
    EXPECT_EQ(chart.area->sublayerIndexForAxis(chart.y.get(), 1), 0u);
}

TEST(CHTPlotAreaTest, ReplacingTheAxisSetMovesTheAxesOut) {
    XYChart chart;
    needEveryGroup(chart);
    auto other = std::make_shared<CHTXYAxisSet>(gfx::Rect(0, 0, 200, 100));
    chart.area->setAxisSet(other);
    EXPECT_EQ(chart.x->plotArea(), nullptr);
    EXPECT_EQ(other->xAxis()->plotArea(), chart.area);
    EXPECT_EQ(groupOrder(*chart.area), (std::vector<int>{2, 3}));
}

TEST(CHTPlotAreaTest, GroupsCoverTheFrameAndThePlotGroupThePlotArea) {
    auto frame = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 300, 200));
    XYChart chart(gfx::Rect(0, 0, 200, 100));
    chart.area->setFrame(gfx::Rect(40, 30, 200, 100));
    frame->addSublayer(chart.area);
    needEveryGroup(chart);
    chart.area->layoutSublayers();
    for (const auto& sub : chart.area->sublayers()) {
        if (sub == chart.area->plotGroup()) EXPECT_EQ(sub->frame(), gfx::Rect(0, 0, 200, 100));
        else EXPECT_EQ(sub->frame(), gfx::Rect(-40, -30, 300, 200));
    }
    // An axis point lands in the frame's coordinates, the plot area's
    // origin being (40, 30) there.
    gfx::Point origin = chart.x->viewPointForCoordinateDecimalNumber(D("0"));
    EXPECT_FLOAT_EQ(origin.x, 40);
    EXPECT_FLOAT_EQ(origin.y, 30);
}

TEST(CHTPlotAreaTest, GroupsMadeDuringLayoutCoverTheFrameAtOnce) {
    // The label group is made while the axes lay out, after the plot area
    // placed its groups; its labels must still land at their ticks.
    auto frame = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 300, 200));
    frame->setPaddingLeft(40);
    frame->setPaddingBottom(30);
    frame->setPaddingRight(60);
    frame->setPaddingTop(70);
    XYChart chart(gfx::Rect(0, 0, 200, 100));
    frame->addSublayer(chart.area);
    frame->layoutIfNeeded();
    ASSERT_TRUE(chart.area->axisLabelGroup());
    EXPECT_EQ(chart.area->axisLabelGroup()->frame(), gfx::Rect(-40, -30, 300, 200));
    for (const auto& label : chart.x->axisLabels()) {
        gfx::Rect inFrame = label->contentLayer()->convertRectTo(label->contentLayer()->bounds(), frame.get());
        EXPECT_NEAR(inFrame.midX(), 40 + 20 * label->tickLocation().toDouble(), 0.51);
        EXPECT_LT(inFrame.maxY(), 30);
    }
}

TEST(CHTPlotAreaTest, DrawsItsFillThenBandsThenLimits) {
    XYChart chart;
    chart.area->setFill(CHTFill::fillWithColor(CHTColor::whiteColor()));
    chart.x->setAlternatingBandFills({CHTColor::lightGrayColor()});
    chart.x->setLabelingPolicy(1);
    chart.x->setMajorTickLocations({D("5")});
    chart.y->addBackgroundLimitBand(
        CHTLimitBand::limitBandWithRange(R("10", "10"), CHTFill::fillWithColor(CHTColor::redColor())));
    gfx::RecordingContext ctx({200, 100});
    chart.area->renderAsVectorInContext(ctx);
    auto rects = charttest::filledRects(ctx);
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], (std::vector<float>{0, 0, 200, 100}));
    EXPECT_NEAR(rects[1][2], 100, 1);  // bands 0-5 and 5-10
    EXPECT_NEAR(rects[2][2], 100, 1);
    EXPECT_NEAR(rects[3][3], 10, 1);  // limit band 10-20 of y
    chart.area->setHidden(true);
    gfx::RecordingContext hidden({200, 100});
    chart.area->renderAsVectorInContext(hidden);
    EXPECT_TRUE(charttest::filledRects(hidden).empty());
}

TEST(CHTPlotAreaTest, PlotGroupAddsAndRemovesOnlyItsOwnPlots) {
    CHTPlotGroup group;
    auto plot = std::make_shared<CHTLayer>();
    auto stranger = std::make_shared<CHTLayer>();
    auto elsewhere = std::make_shared<CHTLayer>();
    elsewhere->addSublayer(stranger);
    auto holder = std::make_shared<CHTPlotGroup>();
    holder->addPlot(plot);
    EXPECT_EQ(plot->superlayer(), holder.get());
    holder->removePlot(stranger);
    EXPECT_EQ(stranger->superlayer(), elsewhere.get());
    holder->removePlot(plot);
    EXPECT_EQ(plot->superlayer(), nullptr);
}

}  // namespace
