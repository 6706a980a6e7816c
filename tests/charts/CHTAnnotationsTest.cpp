#include <gtest/gtest.h>

#include <vector>

#include "charts/AxisTestSupport.h"
#include "charts/CHTAnnotationHostLayer.h"
#include "charts/CHTCoderExtensions.h"
#include "charts/CHTLayerAnnotation.h"
#include "charts/CHTPlotSpaceAnnotation.h"

using charttest::D;
using charttest::R;
using charttest::XYChart;

namespace {

// A host of 300 x 200 with an anchor layer at (50, 40) of 100 x 60 inside it
// (in a plain container, so the host's own layout leaves it alone).
struct AnchoredHost {
    AnchoredHost() {
        host = std::make_shared<CHTAnnotationHostLayer>(gfx::Rect(0, 0, 300, 200));
        auto container = gfx::Layer::create();
        container->setFrame(gfx::Rect(0, 0, 300, 200));
        host->addSublayer(container);
        anchor = std::make_shared<CHTLayer>(gfx::Rect(50, 40, 100, 60));
        container->addSublayer(anchor);
        annotation = CHTLayerAnnotation::initWithAnchorLayer(anchor);
        content = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 20, 10));
        annotation->setContentLayer(content);
        host->addAnnotation(annotation);
    }
    std::shared_ptr<CHTAnnotationHostLayer> host;
    std::shared_ptr<CHTLayer> anchor;
    std::shared_ptr<CHTLayerAnnotation> annotation;
    std::shared_ptr<CHTLayer> content;
};

TEST(CHTLayerAnnotationTest, EachAnchorLandsOnItsPointOfTheAnchorLayer) {
    AnchoredHost h;
    // Anchor 0..8 and the host point the content's centre should sit on.
    const std::vector<gfx::Point> expected = {{50, 40},  {100, 40},  {150, 40},  {50, 70}, {150, 70},
                                              {50, 100}, {100, 100}, {150, 100}, {100, 70}};
    for (int anchor = 0; anchor < 9; ++anchor) {
        h.annotation->setRectAnchor(anchor);
        EXPECT_EQ(h.content->position(), expected[anchor]) << anchor;
        EXPECT_EQ(h.content->frame(), gfx::Rect(expected[anchor].x - 10, expected[anchor].y - 5, 20, 10)) << anchor;
    }
    // An unknown anchor has no constraints and leaves the content alone.
    h.annotation->setRectAnchor(9);
    EXPECT_FALSE(h.annotation->xConstraints());
    EXPECT_EQ(h.content->position(), expected[8]);
}

TEST(CHTLayerAnnotationTest, DefaultAnchorIsTheTopEdgeAndContentCanHangBelowIt) {
    AnchoredHost h;
    EXPECT_EQ(h.annotation->rectAnchor(), 6);
    EXPECT_EQ(h.content->position(), gfx::Point(100, 100));
    h.annotation->setContentAnchorPoint({0.5f, 1});
    h.host->layoutIfNeeded();
    EXPECT_EQ(h.content->frame(), gfx::Rect(90, 90, 20, 10));
    h.annotation->setRectAnchor(8);
    EXPECT_EQ(h.content->frame(), gfx::Rect(90, 60, 20, 10));
}

TEST(CHTLayerAnnotationTest, DisplacementMovesTheContentAtTheNextHostLayout) {
    AnchoredHost h;
    h.host->layoutIfNeeded();
    h.annotation->setDisplacement({0, -10});
    EXPECT_TRUE(h.host->needsLayout());
    h.host->layoutIfNeeded();
    EXPECT_EQ(h.content->position(), gfx::Point(100, 90));
    h.annotation->setRotation(0.5f);
    h.host->layoutIfNeeded();
    EXPECT_FALSE(h.content->transform().isIdentity());
}

TEST(CHTLayerAnnotationTest, PositionsArePixelAligned) {
    AnchoredHost h;
    h.anchor->setFrame(gfx::Rect(50.3f, 40.6f, 100, 60));
    h.content->setBounds(gfx::Rect(0, 0, 21, 11));
    h.annotation->positionContentLayer();
    gfx::Rect f = h.content->frame();
    EXPECT_FLOAT_EQ(f.minX(), std::round(f.minX()));
    EXPECT_FLOAT_EQ(f.minY(), std::round(f.minY()));
}

TEST(CHTLayerAnnotationTest, AGoneAnchorLayerIsSkipped) {
    AnchoredHost h;
    gfx::Point before = h.content->position();
    h.anchor->removeFromSuperlayer();
    h.anchor.reset();
    h.annotation->setDisplacement({5, 5});
    h.host->layoutIfNeeded();
    EXPECT_EQ(h.content->position(), before);
}

TEST(CHTLayerAnnotationTest, MissingAnchorLayerIsReported) {
    charttest::ScopedAssertionRecorder recorder(false);
    auto annotation = CHTLayerAnnotation::initWithAnchorLayer(nullptr);
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: newAnchorLayer");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTLayerAnnotation");
    auto host = std::make_shared<CHTAnnotationHostLayer>(gfx::Rect(0, 0, 10, 10));
    annotation->setContentLayer(std::make_shared<CHTLayer>());
    host->addAnnotation(annotation);  // placed nowhere, no crash
}

TEST(CHTLayerAnnotationTest, ArchiveKeepsAnchorAndConstraints) {
    CHTRegisterCodingClasses();
    // Anchored to its own host, as a graph's title is.
    auto host = std::make_shared<CHTAnnotationHostLayer>(gfx::Rect(0, 0, 300, 200));
    auto annotation0 = CHTLayerAnnotation::initWithAnchorLayer(host);
    annotation0->setContentLayer(std::make_shared<CHTLayer>(gfx::Rect(0, 0, 20, 10)));
    host->addAnnotation(annotation0);
    annotation0->setRectAnchor(2);
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTAnnotationHostLayer>(
        base::KeyedArchiver::archivedDataWithRootObject(host));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->annotations().size(), 1u);
    auto annotation = std::dynamic_pointer_cast<CHTLayerAnnotation>(decoded->annotations()[0]);
    ASSERT_TRUE(annotation);
    EXPECT_EQ(annotation->rectAnchor(), 2);
    ASSERT_TRUE(annotation->anchorLayer());
    EXPECT_EQ(annotation->anchorLayer(), decoded);
    EXPECT_EQ(annotation->contentLayer()->superlayer(), decoded.get());
    EXPECT_TRUE(annotation->xConstraints()->isEqualToConstraint(CHTConstraints::constraintWithUpperOffset(0).get()));
}

// ---- plot-space annotations ----

struct PlotAnnotation : XYChart {
    PlotAnnotation() {
        annotation = CHTPlotSpaceAnnotation::initWithPlotSpace(space, {D("5"), D("50")});
        content = std::make_shared<CHTLayer>(gfx::Rect(0, 0, 10, 10));
        annotation->setContentLayer(content);
        area->addAnnotation(annotation);
    }
    std::shared_ptr<CHTPlotSpaceAnnotation> annotation;
    std::shared_ptr<CHTLayer> content;
};

TEST(CHTPlotSpaceAnnotationTest, SitsOnItsDataPointAndFollowsTheMapping) {
    PlotAnnotation chart;
    EXPECT_EQ(chart.content->position(), gfx::Point(100, 50));
    // The notification alone moves it: no layout is run here.
    chart.space->setXRange(R("5", "10"));
    EXPECT_EQ(chart.content->position(), gfx::Point(0, 50));
    chart.space->setYRange(R("0", "50"));
    EXPECT_EQ(chart.content->position(), gfx::Point(0, 100));
    chart.annotation->setAnchorPlotPoint({D("10"), D("25")});
    EXPECT_EQ(chart.content->position(), gfx::Point(100, 50));
}

TEST(CHTPlotSpaceAnnotationTest, ConvertsFromThePlotAreaIntoItsHost) {
    PlotAnnotation chart;
    auto host = std::make_shared<CHTAnnotationHostLayer>(gfx::Rect(0, 0, 400, 300));
    chart.area->setFrame(gfx::Rect(40, 30, 200, 100));
    host->addSublayer(chart.area);
    host->addAnnotation(chart.annotation);
    EXPECT_EQ(chart.content->superlayer(), host.get());
    EXPECT_EQ(chart.content->position(), gfx::Point(140, 80));
    // Without a plot area to convert from, the point is the origin.
    chart.graph->hasArea = false;
    chart.annotation->positionContentLayer();
    EXPECT_EQ(chart.content->position(), gfx::Point(0, 0));
}

TEST(CHTPlotSpaceAnnotationTest, ShortAnchorPointIsSkipped) {
    PlotAnnotation chart;
    chart.annotation->setAnchorPlotPoint({D("1")});
    EXPECT_EQ(chart.content->position(), gfx::Point(100, 50));
    chart.annotation->setAnchorPlotPoint({});
    chart.space->setXRange(R("0", "5"));
    EXPECT_EQ(chart.content->position(), gfx::Point(100, 50));
}

TEST(CHTPlotSpaceAnnotationTest, StopsObservingWhenGone) {
    PlotAnnotation chart;
    chart.area->removeAllAnnotations();
    chart.annotation.reset();
    chart.space->setXRange(R("0", "20"));  // would reach a freed observer
    SUCCEED();
}

TEST(CHTPlotSpaceAnnotationTest, MissingPlotSpaceIsReported) {
    charttest::ScopedAssertionRecorder recorder(false);
    auto annotation = CHTPlotSpaceAnnotation::initWithPlotSpace(nullptr, {D("1"), D("2")});
    ASSERT_EQ(recorder.failures().size(), 1u);
    EXPECT_EQ(recorder.failures()[0].description, "Invalid parameter not satisfying: newPlotSpace");
    EXPECT_EQ(recorder.failures()[0].file, "Charts/Source/CHTPlotSpaceAnnotation");
}

TEST(CHTPlotSpaceAnnotationTest, ArchiveKeepsThePointAndThePlotSpace) {
    CHTRegisterCodingClasses();
    PlotAnnotation chart;
    auto decoded = base::KeyedUnarchiver::unarchiveObjectOfType<CHTPlotArea>(
        base::KeyedArchiver::archivedDataWithRootObject(chart.area));
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->annotations().size(), 1u);
    auto annotation = std::dynamic_pointer_cast<CHTPlotSpaceAnnotation>(decoded->annotations()[0]);
    ASSERT_TRUE(annotation);
    ASSERT_EQ(annotation->anchorPlotPoint().size(), 2u);
    EXPECT_TRUE(annotation->anchorPlotPoint()[1] == D("50"));
    ASSERT_TRUE(annotation->plotSpace());
    EXPECT_EQ(annotation->plotSpace(), decoded->axisSet()->axes()[0]->plotSpace());
}

}  // namespace
