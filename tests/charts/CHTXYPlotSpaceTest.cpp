#include "charts/CHTXYPlotSpace.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ChartTestSupport.h"
#include "platform/base/NotificationCenter.h"

using charttest::D;
using charttest::FakeGraph;

namespace {

class FakePlot : public CHTPlotSpacePlot {
public:
    FakePlot(std::shared_ptr<CHTPlotRange> x, std::shared_ptr<CHTPlotRange> y) : x(std::move(x)), y(std::move(y)) {}
    std::shared_ptr<CHTPlotRange> plotRangeForCoordinate(CHTCoordinate c) override {
        return c == CHTCoordinateX ? x : (c == CHTCoordinateY ? y : nullptr);
    }
    std::shared_ptr<CHTPlotRange> x, y;
};

// Records what it is asked, in one shared log with the notifications.
class RecordingDelegate : public CHTPlotSpaceDelegate {
public:
    explicit RecordingDelegate(std::vector<std::string>& log) : log(log) {}
    void didChangePlotRangeForCoordinate(CHTPlotSpace*, CHTCoordinate c) override {
        log.push_back("delegate:" + std::to_string(c));
    }
    std::optional<bool> shouldScaleBy(CHTPlotSpace*, CGFloat, gfx::Point) override { return allowScale; }
    std::optional<bool> shouldHandlePointingDeviceDownEvent(CHTPlotSpace*, const CHTNativeEvent*, gfx::Point) override {
        return handleDown;
    }
    std::optional<gfx::Point> willDisplaceBy(CHTPlotSpace*, gfx::Point d) override {
        if (lockVertical) return gfx::Point(d.x, 0);
        return std::nullopt;
    }
    std::optional<std::shared_ptr<CHTPlotRange>> willChangePlotRangeTo(CHTPlotSpace*,
                                                                       const std::shared_ptr<CHTPlotRange>&,
                                                                       CHTCoordinate c) override {
        log.push_back("willChange:" + std::to_string(c));
        if (c == CHTCoordinateY && replaceY) return replaceY;
        return std::nullopt;
    }
    std::vector<std::string>& log;
    std::optional<bool> allowScale;
    std::optional<bool> handleDown;
    bool lockVertical = false;
    std::shared_ptr<CHTPlotRange> replaceY;
};

std::shared_ptr<CHTPlotRange> R(const char* location, const char* length) {
    return CHTPlotRange::plotRangeWithLocation(D(location), D(length));
}

bool same(const std::shared_ptr<CHTPlotRange>& r, const char* location, const char* length) {
    return r->isEqualToRange(R(location, length).get());
}

class XYPlotSpaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph = std::make_shared<FakeGraph>(gfx::Size(200, 100));
        space = std::make_shared<CHTXYPlotSpace>();
        space->setGraph(graph);
        delegate = std::make_shared<RecordingDelegate>(log);
        space->setDelegate(delegate);
        auto& center = base::NotificationCenter::defaultCenter();
        tokens.push_back(center.addObserver(this, CHTPlotSpaceCoordinateMappingDidChangeNotification, space.get(),
                                            [this](const base::Notification&) { log.push_back("mapping"); }));
        tokens.push_back(center.addObserver(this, CHTGraphNeedsRedrawNotification, graph.get(),
                                            [this](const base::Notification&) { log.push_back("redraw"); }));
    }
    void TearDown() override { base::NotificationCenter::defaultCenter().removeObserver(this); }

    std::vector<std::string> log;
    std::vector<base::NotificationCenter::Token> tokens;
    std::shared_ptr<FakeGraph> graph;
    std::shared_ptr<CHTXYPlotSpace> space;
    std::shared_ptr<RecordingDelegate> delegate;
};

}  // namespace

TEST_F(XYPlotSpaceTest, LinearMappingBothWays) {
    space->setXRange(R("0", "10"));
    auto viewX = [&](const char* x) { return space->plotAreaViewPointForPlotPoint({D(x), D("0")}).x; };
    EXPECT_FLOAT_EQ(viewX("5"), 100);
    EXPECT_FLOAT_EQ(viewX("-1"), -20);
    EXPECT_FLOAT_EQ(viewX("12"), 240);
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({5.0, 0.0}).x, 100);
    CHTDecimalPlotPoint p;
    space->plotPoint(p, {50, 25});
    EXPECT_EQ(p[0].toString(), "2.5");
    EXPECT_EQ(p[1].toString(), "0.25");
    CHTDoublePlotPoint q;
    space->doublePrecisionPlotPoint(q, {50, 25});
    EXPECT_DOUBLE_EQ(q[0], 2.5);

    space->setXRange(R("10", "-10"));
    EXPECT_FLOAT_EQ(viewX("10"), 0);
    EXPECT_FLOAT_EQ(viewX("0"), 200);
}

TEST_F(XYPlotSpaceTest, ZeroLengthAndNoPlotAreaMapToZero) {
    space->setXRange(R("3", "0"));
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForPlotPoint({D("7"), D("0")}).x, 0);
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({7.0, 0.0}).x, 0);
    graph->hasArea = false;
    EXPECT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({0.5, 0.5}), gfx::Point(0, 0));
    CHTDoublePlotPoint q{9, 9};
    space->doublePrecisionPlotPoint(q, {10, 10});
    EXPECT_EQ(q[0], 0.0);
    CHTDecimalPlotPoint p;
    space->plotPoint(p, {10, 10});
    EXPECT_TRUE(p[1].isZero());
}

TEST_F(XYPlotSpaceTest, LogarithmicMappingAndItsInverseRoundTrip) {
    space->setXScaleType(CHTScaleTypeLog);
    space->setXRange(R("1", "99"));
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForPlotPoint({D("10"), D("0")}).x, 100);
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({1.0, 0.0}).x, 0);
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({0.0, 0.0}).x, 0);
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({-5.0, 0.0}).x, 0);
    // The inverse of a log axis is 10^(location's log + fraction of the log span).
    for (double v : {1.0, 3.0, 10.0, 42.0, 100.0}) {
        CGFloat view = space->plotAreaViewPointForDoublePrecisionPlotPoint({v, 0.0}).x;
        double back = std::pow(10.0, view / 200.0 * 2.0);
        EXPECT_NEAR(back, v, v * 1e-5);
    }
    space->setXRange(R("-1", "11"));  // touches zero: everything maps to 0
    EXPECT_FLOAT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({5.0, 0.0}).x, 0);
}

TEST_F(XYPlotSpaceTest, UnsupportedScaleTypeRaises) {
    space->setYScaleType(7);
    try {
        space->plotAreaViewPointForDoublePrecisionPlotPoint({0.5, 0.5});
        ADD_FAILURE();
    } catch (const base::Exception& e) {
        EXPECT_EQ(e.name(), "CHTException");
        EXPECT_EQ(e.reason(), "Scale type not supported in CHTXYPlotSpace");
    }
    EXPECT_THROW(space->plotAreaViewPointForPlotPoint({D("0"), D("0")}), base::Exception);
}

TEST_F(XYPlotSpaceTest, RangeChangeOrderOfNotifications) {
    space->setXRange(R("0", "1"));  // equal to the default: nothing
    EXPECT_TRUE(log.empty());
    space->setXRange(R("0", "2"));
    EXPECT_EQ(log, (std::vector<std::string>{"mapping", "delegate:0", "redraw"}));
    log.clear();
    space->setYRange(R("1", "2"));
    EXPECT_EQ(log, (std::vector<std::string>{"mapping", "delegate:1", "redraw"}));
    log.clear();
    // No graph: no redraw request.
    space->setGraph(nullptr);
    space->setXRange(R("5", "2"));
    EXPECT_EQ(log, (std::vector<std::string>{"mapping", "delegate:0"}));
    log.clear();
    space->setGraph(graph);
    space->setXScaleType(CHTScaleTypeLog);
    EXPECT_EQ(log, std::vector<std::string>{"redraw"});
    // A copy is stored.
    auto r = R("1", "1");
    space->setXRange(r);
    r->setLength(D("50"));
    EXPECT_TRUE(same(space->xRange(), "1", "1"));
}

TEST_F(XYPlotSpaceTest, MissingRangeIsReported) {
    charttest::ScopedAssertionRecorder recorder;
    EXPECT_THROW(space->setXRange(nullptr), base::Exception);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: range");
}

TEST_F(XYPlotSpaceTest, GlobalRangesLimitTheRanges) {
    space->setGlobalXRange(R("0", "10"));
    space->setXRange(R("8", "5"));
    EXPECT_TRUE(same(space->xRange(), "5", "5"));
    space->setXRange(R("-3", "5"));
    EXPECT_TRUE(same(space->xRange(), "0", "5"));
    space->setXRange(R("2", "20"));
    EXPECT_TRUE(same(space->xRange(), "0", "10"));
    // A new global range limits the current range at once.
    space->setGlobalYRange(R("5", "1"));
    EXPECT_TRUE(same(space->yRange(), "5", "1"));
    EXPECT_EQ(CHTXYPlotSpace::constrainRange(nullptr, R("0", "1")), nullptr);
    auto r = R("1", "1");
    EXPECT_EQ(CHTXYPlotSpace::constrainRange(r, nullptr), r);
}

TEST_F(XYPlotSpaceTest, ScalingAboutAPoint) {
    space->setXRange(R("0", "10"));
    // Data x 4 sits at view x 80.
    space->scaleBy(2, {80, 50});
    EXPECT_TRUE(same(space->xRange(), "2", "5")) << space->xRange()->description();
    EXPECT_TRUE(same(space->yRange(), "0.25", "0.5")) << space->yRange()->description();
    auto before = space->xRange()->copy();
    space->scaleBy(0.000001f, {80, 50});
    space->scaleBy(2, {500, 50});  // outside the plot area
    EXPECT_TRUE(space->xRange()->isEqualToRange(before.get()));
    delegate->allowScale = false;
    space->scaleBy(2, {80, 50});
    EXPECT_TRUE(space->xRange()->isEqualToRange(before.get()));
    // A negative range keeps its orientation.
    delegate->allowScale = true;
    space->setXRange(R("10", "-10"));
    space->scaleBy(2, {100, 50});  // data x 5
    EXPECT_TRUE(same(space->xRange(), "7.5", "-5")) << space->xRange()->description();
}

TEST_F(XYPlotSpaceTest, DelegateCanReplaceScaledRanges) {
    delegate->replaceY = R("100", "1");
    log.clear();
    space->scaleBy(2, {100, 50});
    EXPECT_TRUE(same(space->yRange(), "100", "1"));
    EXPECT_EQ(log[0], "willChange:0");
    EXPECT_EQ(log[1], "willChange:1");
}

TEST_F(XYPlotSpaceTest, FittingToPlots) {
    auto a = std::make_shared<FakePlot>(R("1", "2"), R("4", "0"));
    auto b = std::make_shared<FakePlot>(R("2", "4"), R("4", "0"));
    space->scaleToFitPlots({a, b});
    EXPECT_TRUE(same(space->xRange(), "1", "5"));
    EXPECT_TRUE(same(space->yRange(), "0", "1"));  // a single value: unchanged
    EXPECT_TRUE(same(a->x, "1", "2"));             // the plot's own range is left alone
    space->scaleToFitPlots({});
    EXPECT_TRUE(same(space->xRange(), "1", "5"));
}

TEST_F(XYPlotSpaceTest, DraggingPansTheRanges) {
    space->setXRange(R("0", "10"));
    space->setAllowsUserInteraction(true);
    // Graph coordinates: the frame starts at (10, 20).
    EXPECT_TRUE(space->pointingDeviceDownEvent(nullptr, {110, 70}));
    EXPECT_TRUE(space->isDragging());
    EXPECT_EQ(space->lastDragPoint(), gfx::Point(100, 50));
    EXPECT_TRUE(space->pointingDeviceDraggedEvent(nullptr, {130, 70}));
    EXPECT_TRUE(same(space->xRange(), "-1", "10")) << space->xRange()->description();
    EXPECT_TRUE(same(space->yRange(), "0", "1"));
    EXPECT_TRUE(space->pointingDeviceUpEvent(nullptr, {130, 70}));
    EXPECT_FALSE(space->isDragging());
    EXPECT_FALSE(space->pointingDeviceUpEvent(nullptr, {130, 70}));
    EXPECT_FALSE(space->pointingDeviceDraggedEvent(nullptr, {150, 70}));
    // A press outside the frame starts nothing.
    EXPECT_FALSE(space->pointingDeviceDownEvent(nullptr, {0, 0}));
}

TEST_F(XYPlotSpaceTest, DelegateShapesDragging) {
    space->setXRange(R("0", "10"));
    space->setAllowsUserInteraction(true);
    delegate->lockVertical = true;
    space->pointingDeviceDownEvent(nullptr, {110, 70});
    space->pointingDeviceDraggedEvent(nullptr, {130, 80});
    EXPECT_TRUE(same(space->xRange(), "-1", "10"));
    EXPECT_TRUE(same(space->yRange(), "0", "1"));
    EXPECT_EQ(space->lastDragPoint(), gfx::Point(120, 60));  // the undisplaced point
    // A vetoed press is reported handled and does nothing.
    space->pointingDeviceUpEvent(nullptr, {0, 0});
    delegate->handleDown = false;
    EXPECT_TRUE(space->pointingDeviceDownEvent(nullptr, {110, 70}));
    EXPECT_FALSE(space->isDragging());
}

TEST_F(XYPlotSpaceTest, NoInteractionWithoutPermissionOrFrame) {
    EXPECT_FALSE(space->pointingDeviceDownEvent(nullptr, {110, 70}));
    space->setAllowsUserInteraction(true);
    graph->hasFrame = false;
    EXPECT_FALSE(space->pointingDeviceDownEvent(nullptr, {110, 70}));
    EXPECT_FALSE(space->pointingDeviceCancelledEvent(nullptr));
}

TEST_F(XYPlotSpaceTest, DraggingOverAZeroSizedPlotAreaKeepsTheRanges) {
    space->setXRange(R("0", "10"));
    space->setAllowsUserInteraction(true);
    graph->size = gfx::Size(200, 100);
    space->pointingDeviceDownEvent(nullptr, {110, 70});
    graph->size = gfx::Size(0, 0);
    graph->hasFrame = true;
    // The frame no longer contains points, but a drag under way continues.
    EXPECT_TRUE(space->pointingDeviceDraggedEvent(nullptr, {130, 90}));
    EXPECT_TRUE(same(space->xRange(), "0", "10"));
    EXPECT_TRUE(same(space->yRange(), "0", "1"));
    EXPECT_FALSE(CHTDecimalIsNaN(space->xRange()->location()));
}

TEST(CHTPlotSpaceBase, AbstractOperationsDoNothing) {
    CHTPlotSpace space;
    EXPECT_EQ(space.plotAreaViewPointForDoublePrecisionPlotPoint({1, 2}), gfx::Point(0, 0));
    EXPECT_EQ(space.plotRangeForCoordinate(0), nullptr);
    EXPECT_EQ(space.scaleTypeForCoordinate(1), CHTScaleTypeLinear);
    EXPECT_FALSE(space.pointingDeviceDownEvent(nullptr, {}));
    CHTXYPlotSpace xy;
    EXPECT_EQ(xy.plotRangeForCoordinate(2), nullptr);
    xy.setPlotRange(R("3", "3"), CHTCoordinateY);
    EXPECT_TRUE(same(xy.yRange(), "3", "3"));
    xy.setScaleType(CHTScaleTypeLog, CHTCoordinateX);
    EXPECT_EQ(xy.scaleTypeForCoordinate(CHTCoordinateX), CHTScaleTypeLog);
    EXPECT_EQ(xy.scaleTypeForCoordinate(5), CHTScaleTypeLinear);
}

TEST_F(XYPlotSpaceTest, ScalingByAFactorThatIsNotFiniteLeavesTheRanges) {
    space->setXRange(R("0", "10"));
    space->setYRange(R("0", "4"));
    for (float f : {std::nanf(""), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()}) {
        space->scaleBy(f, {80, 50});
        EXPECT_TRUE(space->xRange()->isEqualToRange(R("0", "10").get())) << f;
        EXPECT_TRUE(space->yRange()->isEqualToRange(R("0", "4").get())) << f;
    }
}

TEST_F(XYPlotSpaceTest, AZeroLengthLogRangeMapsToZero) {
    space->setXScaleType(CHTScaleTypeLog);
    space->setXRange(R("10", "0"));
    for (double v : {1.0, 10.0, 1000.0}) {
        EXPECT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({v, 0.0}).x, 0) << v;
        EXPECT_EQ(space->plotAreaViewPointForPlotPoint({D("10"), D("0")}).x, 0);
    }
    space->setXRange(R("1", "99"));
    EXPECT_EQ(space->plotAreaViewPointForDoublePrecisionPlotPoint({std::nan(""), 0.0}).x, 0);
}
