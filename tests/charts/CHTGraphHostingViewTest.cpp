// The hosting view inside a running application: touches become chart
// events (a drag pans), a pinch scales about the pinch point, user
// interaction can be turned off, the collapsed mode follows the graph's
// redraw requests, and one render of a never-drawn view shows the whole
// themed chart, collapsed or not.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ChartTestSupport.h"
#include "charts/CHTAxisSet.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTGraphHostingView.h"
#include "charts/CHTNativeEvent.h"
#include "charts/CHTMutableTextStyle.h"
#include "charts/CHTColor.h"
#include "charts/CHTPlotArea.h"
#include "charts/CHTPlotAreaFrame.h"
#include "charts/CHTTheme.h"
#include "charts/CHTXYGraph.h"
#include "charts/CHTXYPlotSpace.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/UITestSupport.h"

namespace {

using charttest::D;
using ui::Point;

// Records the plot-space events the graph routes to it (and pans as usual).
class RecordingPlotSpace : public CHTXYPlotSpace {
public:
    bool pointingDeviceDownEvent(const CHTNativeEvent* e, gfx::Point p) override {
        log.push_back("down");
        nativeTouches = e ? static_cast<int>(e->touches.size()) : -1;
        hasEvent = e && e->event;
        return CHTXYPlotSpace::pointingDeviceDownEvent(e, p);
    }
    bool pointingDeviceDraggedEvent(const CHTNativeEvent* e, gfx::Point p) override {
        log.push_back("dragged");
        return CHTXYPlotSpace::pointingDeviceDraggedEvent(e, p);
    }
    bool pointingDeviceUpEvent(const CHTNativeEvent* e, gfx::Point p) override {
        log.push_back("up");
        return CHTXYPlotSpace::pointingDeviceUpEvent(e, p);
    }
    bool pointingDeviceCancelledEvent(const CHTNativeEvent* e) override {
        log.push_back("cancelled");
        return CHTXYPlotSpace::pointingDeviceCancelledEvent(e);
    }
    std::vector<std::string> log;
    int nativeTouches = -1;
    bool hasEvent = false;
};

class CHTGraphHostingViewTest : public uitest::UITest {
protected:
    void SetUp() override {
        uitest::UITest::SetUp();
        CHTTheme::registerThemes();
        hostingView = CHTGraphHostingView::create(ui::Rect(0, 0, 320, 480));
        window_->addSubview(hostingView);
        graph = CHTXYGraph::create();
        graph->applyTheme(CHTTheme::themeNamed(kCHTDarkGradientTheme));
        hostingView->setHostedGraph(graph);
        graph->removePlotSpace(graph->defaultPlotSpace());
        plotSpace = std::make_shared<RecordingPlotSpace>();
        graph->addPlotSpace(plotSpace);
        plotSpace->setAllowsUserInteraction(true);
        plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("10")));
        plotSpace->setYRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("10")));
        for (const auto& axis : graph->axisSet()->axes()) axis->setPlotSpace(plotSpace);
    }

    // The data point under a point of the view.
    CHTDoublePlotPoint dataAt(Point viewPoint) {
        gfx::Point graphPoint = hostingView->graphPointForViewPoint(viewPoint);
        gfx::Point areaPoint = graph->plotArea()->convertPointFrom(graphPoint, graph.get());
        CHTDoublePlotPoint p{};
        plotSpace->doublePrecisionPlotPoint(p, areaPoint);
        return p;
    }

    double location(const std::shared_ptr<CHTPlotRange>& r) { return r->locationDouble(); }
    double length(const std::shared_ptr<CHTPlotRange>& r) { return r->lengthDouble(); }

    void pinch(Point center, ui::Float from, ui::Float to) {
        // One finger stays, the other moves: one callback, about the centre
        // of the fingers where they end.
        Point fixed(center.x + to / 2, center.y);
        app().sendTouches(ui::TouchPhase::Began, {{1, Point(fixed.x - from, center.y)}, {2, fixed}});
        advance(0.05);
        app().sendTouches(ui::TouchPhase::Moved, {{1, Point(fixed.x - to, center.y)}});
        advance(0.05);
        app().sendTouches(ui::TouchPhase::Ended, {{1, Point(fixed.x - to, center.y)}, {2, fixed}});
    }

    std::shared_ptr<CHTGraphHostingView> hostingView;
    std::shared_ptr<CHTXYGraph> graph;
    std::shared_ptr<RecordingPlotSpace> plotSpace;
};

TEST_F(CHTGraphHostingViewTest, TheGraphFillsTheViewRightWayUp) {
    EXPECT_EQ(graph->frame(), gfx::Rect(0, 0, 320, 480));
    EXPECT_EQ(graph->superlayer(), hostingView->layer().get());
    EXPECT_EQ(graph->contentsScale(), ui::Screen::mainScreen().scale());
    EXPECT_TRUE(hostingView->allowPinchScaling());
    ASSERT_TRUE(hostingView->pinchGestureRecognizer());
    // The top of the view is the top of the graph.
    EXPECT_EQ(hostingView->graphPointForViewPoint(Point(10, 30)), gfx::Point(10, 450));
    hostingView->setFrame(ui::Rect(0, 0, 300, 400));
    EXPECT_EQ(graph->frame(), gfx::Rect(0, 0, 300, 400));
}

TEST_F(CHTGraphHostingViewTest, AOneFingerDragPansByTheDraggedDataDistance) {
    renderScreen();
    gfx::Size area = graph->plotArea()->bounds().size;
    ASSERT_GT(area.width, 0);
    Point start(160, 240), end(160 + 30, 240 + 20);
    auto before = dataAt(start);
    swipe(start, end);
    EXPECT_EQ(plotSpace->log.front(), "down");
    EXPECT_EQ(plotSpace->log.back(), "up");
    EXPECT_NEAR(location(plotSpace->xRange()), -30 * 10.0 / area.width, 1e-6);
    EXPECT_NEAR(location(plotSpace->yRange()), 20 * 10.0 / area.height, 1e-6);
    EXPECT_NEAR(length(plotSpace->xRange()), 10, 1e-9);
    // The data under the finger moved with it.
    auto after = dataAt(end);
    EXPECT_NEAR(after[0], before[0], 1e-6);
    EXPECT_NEAR(after[1], before[1], 1e-6);
}

TEST_F(CHTGraphHostingViewTest, TheNativeEventCarriesTheTouches) {
    renderScreen();
    app().touchBegan(Point(100, 100));
    EXPECT_TRUE(plotSpace->hasEvent);
    EXPECT_EQ(plotSpace->nativeTouches, 1);
    app().touchEnded(Point(100, 100));
}

TEST_F(CHTGraphHostingViewTest, ATwoFingerPinchToTwiceHalvesBothRangesAboutThePinchPoint) {
    renderScreen();
    Point center(150, 260);
    pinch(center, 40, 80);
    EXPECT_NEAR(length(plotSpace->xRange()), 5, 1e-6);
    EXPECT_NEAR(length(plotSpace->yRange()), 5, 1e-6);
    // The pinch point keeps its data: it lies at the same fraction of both
    // ranges as before (the plot area is unchanged).
    graph->layoutIfNeeded();
    gfx::Size area = graph->plotArea()->bounds().size;
    gfx::Point p = graph->plotArea()->convertPointFrom(hostingView->graphPointForViewPoint(center), graph.get());
    double xBefore = p.x / area.width * 10, yBefore = p.y / area.height * 10;
    EXPECT_NEAR(location(plotSpace->xRange()) + p.x / area.width * 5, xBefore, 1e-4);
    EXPECT_NEAR(location(plotSpace->yRange()) + p.y / area.height * 5, yBefore, 1e-4);
    // A touch that began with two fingers down made no down event.
    EXPECT_EQ(std::count(plotSpace->log.begin(), plotSpace->log.end(), "down"), 0);
    EXPECT_EQ(hostingView->pinchGestureRecognizer()->scale(), 1);
}

TEST_F(CHTGraphHostingViewTest, WithUserInteractionOffNothingMoves) {
    renderScreen();
    plotSpace->setAllowsUserInteraction(false);
    swipe(Point(160, 240), Point(200, 300));
    pinch(Point(150, 260), 40, 80);
    EXPECT_EQ(location(plotSpace->xRange()), 0);
    EXPECT_EQ(location(plotSpace->yRange()), 0);
    EXPECT_EQ(length(plotSpace->xRange()), 10);
    EXPECT_EQ(length(plotSpace->yRange()), 10);
    EXPECT_EQ(hostingView->pinchGestureRecognizer()->scale(), 1);

    // Nor when the view takes no touches at all.
    plotSpace->setAllowsUserInteraction(true);
    plotSpace->log.clear();
    hostingView->setUserInteractionEnabled(false);
    swipe(Point(160, 240), Point(200, 300));
    EXPECT_TRUE(plotSpace->log.empty());
    EXPECT_EQ(location(plotSpace->xRange()), 0);
}

TEST_F(CHTGraphHostingViewTest, MovesAndEndsOfATouchBegunWithTwoFingersAreStillSent) {
    hostingView->setAllowPinchScaling(false);
    EXPECT_EQ(hostingView->pinchGestureRecognizer(), nullptr);
    EXPECT_TRUE(hostingView->gestureRecognizers().empty());
    renderScreen();
    app().sendTouches(ui::TouchPhase::Began, {{1, Point(100, 200)}, {2, Point(140, 200)}});
    app().sendTouches(ui::TouchPhase::Moved, {{1, Point(90, 200)}});
    app().sendTouches(ui::TouchPhase::Ended, {{1, Point(90, 200)}, {2, Point(140, 200)}});
    EXPECT_EQ(std::count(plotSpace->log.begin(), plotSpace->log.end(), "down"), 0);
    EXPECT_GE(std::count(plotSpace->log.begin(), plotSpace->log.end(), "dragged"), 1);
    EXPECT_GE(std::count(plotSpace->log.begin(), plotSpace->log.end(), "up"), 1);
}

TEST_F(CHTGraphHostingViewTest, CollapsedTheViewRedrawsWhenTheGraphAsks) {
    hostingView->setCollapsesLayers(true);
    EXPECT_EQ(graph->superlayer(), nullptr);
    renderScreen();
    app().clearNeedsRedraw();
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("1"), D("10")));
    EXPECT_TRUE(app().needsRedraw());
    // A layer of the graph asks under the same sender as the plot space.
    renderScreen();
    app().clearNeedsRedraw();
    graph->plotAreaFrame()->setNeedsDisplay();
    EXPECT_TRUE(app().needsRedraw());

    // Touches land on the same graph points in both modes.
    EXPECT_EQ(hostingView->graphPointForViewPoint(Point(10, 30)), gfx::Point(10, 450));

    // Another graph is followed instead of the old one.
    auto old = graph;
    auto other = CHTXYGraph::create();
    hostingView->setHostedGraph(other);
    renderScreen();
    app().clearNeedsRedraw();
    std::dynamic_pointer_cast<CHTXYPlotSpace>(old->defaultPlotSpace())
        ->setXRange(CHTPlotRange::plotRangeWithLocation(D("3"), D("1")));
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("4"), D("1")));
    EXPECT_FALSE(app().needsRedraw());
    std::dynamic_pointer_cast<CHTXYPlotSpace>(other->defaultPlotSpace())
        ->setXRange(CHTPlotRange::plotRangeWithLocation(D("5"), D("1")));
    EXPECT_TRUE(app().needsRedraw());

    hostingView->setCollapsesLayers(false);
    EXPECT_EQ(other->superlayer(), hostingView->layer().get());
}

TEST_F(CHTGraphHostingViewTest, AnArchivedHostingViewKeepsItsGraphAndSwitches) {
    CHTRegisterCodingClasses();
    hostingView->setCollapsesLayers(true);
    hostingView->setAllowPinchScaling(false);
    graph->setTitle(std::string("Kept"));
    auto data = base::KeyedArchiver::archivedDataWithRootObject(
        std::static_pointer_cast<const base::Coding>(std::static_pointer_cast<CHTGraphHostingView>(hostingView)));
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTGraphHostingView>(data);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->collapsesLayers());
    EXPECT_FALSE(decoded->allowPinchScaling());
    EXPECT_EQ(decoded->pinchGestureRecognizer(), nullptr);
    ASSERT_TRUE(decoded->hostedGraph());
    EXPECT_EQ(decoded->hostedGraph()->title(), std::optional<std::string>("Kept"));
    EXPECT_EQ(decoded->hostedGraph()->superlayer(), nullptr);  // collapsed
}

// Counts the pixels of a region that are nearly white (label text on the
// dark theme).
int whitePixels(const gfx::Image& image, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            auto p = image.pixel(x, y);
            if (p.r > 200 && p.g > 200 && p.b > 200) ++n;
        }
    return n;
}

int differingPixels(const gfx::Image& a, const gfx::Image& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            auto p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 60) ++n;
        }
    return n;
}

// A themed chart as the chart screen sets one up: frame paddings make room
// for the tick labels inside the plot area frame, the title sits above it.
std::shared_ptr<CHTXYGraph> themedChart() {
    auto graph = CHTXYGraph::create();
    graph->applyTheme(CHTTheme::themeNamed(kCHTDarkGradientTheme));
    auto plotSpace = std::dynamic_pointer_cast<CHTXYPlotSpace>(graph->defaultPlotSpace());
    plotSpace->setXRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("3")));
    plotSpace->setYRange(CHTPlotRange::plotRangeWithLocation(D("0"), D("3")));
    graph->setPaddingTop(50);
    auto frame = graph->plotAreaFrame();
    frame->setPaddingLeft(45);
    frame->setPaddingBottom(35);
    frame->setPaddingTop(15);
    frame->setPaddingRight(15);
    auto titleStyle = CHTTextStyle::textStyle();
    titleStyle->setColor(CHTColor::whiteColor());
    titleStyle->setFontSize(18);
    graph->setTitleTextStyle(titleStyle);
    graph->setTitle(std::string("Push-ups"));
    graph->setTitleDisplacement(gfx::Point(0, 20));
    return graph;
}

TEST_F(CHTGraphHostingViewTest, OneRenderOfANeverDrawnViewShowsTheWholeChartCollapsedOrNot) {
    hostingView->removeFromSuperview();
    // Below the status bar.
    auto layeredView = CHTGraphHostingView::create(ui::Rect(0, 20, 320, 460));
    layeredView->setHostedGraph(themedChart());
    window_->addSubview(layeredView);
    auto layered = renderScreen();

    // The background gradient is drawn.
    auto corner = layered->pixel(3, 470);
    EXPECT_LT(corner.r, 100);
    EXPECT_GT(corner.a, 200);
    // Tick labels left of the plot area and below it, and the title above.
    EXPECT_GT(whitePixels(*layered, 20, 90, 65, 420), 30);
    EXPECT_GT(whitePixels(*layered, 60, 420, 320, 460), 30);
    EXPECT_GT(whitePixels(*layered, 100, 20, 220, 70), 20);

    // Collapsed: the same chart drawn into the view's own drawing.
    layeredView->removeFromSuperview();
    auto collapsedView = CHTGraphHostingView::create(ui::Rect(0, 20, 320, 460));
    collapsedView->setCollapsesLayers(true);
    collapsedView->setHostedGraph(themedChart());
    window_->addSubview(collapsedView);
    auto collapsed = renderScreen();

    if (const char* dir = std::getenv("TOLVEK_CHART_SHOTS")) {
        std::filesystem::create_directories(dir);
        layered->writePNG(std::string(dir) + "/hosting-layered.png");
        collapsed->writePNG(std::string(dir) + "/hosting-collapsed.png");
    }
    EXPECT_GT(whitePixels(*collapsed, 20, 90, 65, 420), 30);
    EXPECT_GT(whitePixels(*collapsed, 100, 20, 220, 70), 20);
    EXPECT_LT(differingPixels(*layered, *collapsed), 320 * 480 / 100);
}

}  // namespace
