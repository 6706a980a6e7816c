#include <gtest/gtest.h>

#include <cmath>

#include "platform/gfx/Path.h"

using namespace gfx;

TEST(PathTest, ElementsAreRecordedInOrder) {
    Path p;
    p.moveTo(1, 2);
    p.lineTo(3, 4);
    p.quadCurveTo(5, 6, 7, 8);
    p.curveTo(1, 1, 2, 2, 3, 3);
    p.closeSubpath();
    ASSERT_EQ(p.elements().size(), 5u);
    EXPECT_EQ(p.elements()[2].type, PathElementType::AddQuadCurveToPoint);
    EXPECT_EQ(p.elements()[2].points[1], Point(7, 8));
    EXPECT_EQ(p.elements()[4].type, PathElementType::CloseSubpath);
    EXPECT_EQ(p.currentPoint(), Point(1, 2));  // back at the subpath start
    int count = 0;
    p.apply([&](const PathElement&) { ++count; });
    EXPECT_EQ(count, 5);
}

TEST(PathTest, BoundingBoxIncludesControlPoints) {
    Path p;
    p.moveTo(0, 0);
    p.curveTo(0, 10, 10, 10, 10, 0);
    EXPECT_EQ(p.boundingBox(), Rect(0, 0, 10, 10));
    Rect tight = p.pathBoundingBox();
    EXPECT_NEAR(tight.height(), 7.5, 0.05);
    EXPECT_TRUE(Path().boundingBox().isNull());
    EXPECT_TRUE(Path().isEmpty());
}

TEST(PathTest, NonFiniteCoordinatesAreDropped) {
    Path p;
    p.moveTo(0, 0);
    p.lineTo(NAN, 1);
    p.lineTo(2, INFINITY);
    p.lineTo(5, 5);
    EXPECT_EQ(p.elements().size(), 2u);
}

TEST(PathTest, ContainsPointByFillRule) {
    Path p;
    p.addRect({0, 0, 10, 10});
    p.addRect({2, 2, 6, 6});  // same direction: non-zero fills the hole
    EXPECT_TRUE(p.containsPoint({5, 5}, FillRule::NonZero));
    EXPECT_FALSE(p.containsPoint({5, 5}, FillRule::EvenOdd));
    EXPECT_TRUE(p.containsPoint({1, 1}, FillRule::EvenOdd));
    EXPECT_FALSE(p.containsPoint({11, 5}));
}

TEST(PathTest, EllipseTouchesItsRect) {
    Path p;
    p.addEllipseInRect({0, 0, 20, 10});
    Rect b = p.pathBoundingBox();
    EXPECT_NEAR(b.minX(), 0, 0.01);
    EXPECT_NEAR(b.maxX(), 20, 0.01);
    EXPECT_NEAR(b.maxY(), 10, 0.01);
    EXPECT_TRUE(p.containsPoint({10, 5}));
    EXPECT_FALSE(p.containsPoint({0.5f, 0.5f}));
}

TEST(PathTest, ArcRunsByDirection) {
    Path ccw;
    ccw.addArc(0, 0, 10, 0, float(M_PI / 2), false);
    EXPECT_NEAR(ccw.currentPoint().x, 0, 1e-4);
    EXPECT_NEAR(ccw.currentPoint().y, 10, 1e-4);
    EXPECT_GT(ccw.pathBoundingBox().minX(), -0.01);  // the short way
    Path cw;
    cw.addArc(0, 0, 10, 0, float(M_PI / 2), true);
    EXPECT_NEAR(cw.pathBoundingBox().minX(), -10, 0.01);  // three quarters round
}

TEST(PathTest, ArcToPointIsTangentToBothLines) {
    Path p;
    p.moveTo(0, 0);
    p.addArcToPoint(10, 0, 10, 10, 4);
    // A line to the first tangent point (6, 0), then a quarter arc to (10, 4).
    ASSERT_GE(p.elements().size(), 3u);
    EXPECT_EQ(p.elements()[1].type, PathElementType::AddLineToPoint);
    EXPECT_NEAR(p.elements()[1].points[0].x, 6, 1e-4);
    EXPECT_NEAR(p.elements()[1].points[0].y, 0, 1e-4);
    EXPECT_NEAR(p.currentPoint().x, 10, 1e-4);
    EXPECT_NEAR(p.currentPoint().y, 4, 1e-4);
    Rect b = p.pathBoundingBox();
    EXPECT_LE(b.maxX(), 10.001);
}

TEST(PathTest, ArcToPointWithZeroRadiusOrCollinearIsALine) {
    Path p;
    p.moveTo(0, 0);
    p.addArcToPoint(10, 0, 10, 10, 0);
    ASSERT_EQ(p.elements().size(), 2u);
    EXPECT_EQ(p.currentPoint(), Point(10, 0));
    Path q;
    q.moveTo(0, 0);
    q.addArcToPoint(5, 0, 10, 0, 3);
    EXPECT_EQ(q.currentPoint(), Point(5, 0));
}

TEST(PathTest, RoundedRectangleFromArcsStaysInside) {
    Rect r{0, 0, 40, 20};
    Path p;
    p.moveTo(r.minX(), r.midY());
    p.addArcToPoint(r.minX(), r.minY(), r.midX(), r.minY(), 5);
    p.addArcToPoint(r.maxX(), r.minY(), r.maxX(), r.midY(), 5);
    p.addArcToPoint(r.maxX(), r.maxY(), r.midX(), r.maxY(), 5);
    p.addArcToPoint(r.minX(), r.maxY(), r.minX(), r.midY(), 5);
    p.closeSubpath();
    Rect b = p.pathBoundingBox();
    EXPECT_NEAR(b.minX(), 0, 0.01);
    EXPECT_NEAR(b.maxX(), 40, 0.01);
    EXPECT_NEAR(b.minY(), 0, 0.01);
    EXPECT_NEAR(b.maxY(), 20, 0.01);
    EXPECT_FALSE(p.containsPoint({0.5f, 0.5f}));  // the corner is cut
    EXPECT_TRUE(p.containsPoint({5, 5}));
}

TEST(PathTest, TransformedAndAddPath) {
    Path p;
    p.addRect({0, 0, 1, 1});
    Path t = p.transformed(AffineTransform::makeScale(2, 3));
    EXPECT_EQ(t.boundingBox(), Rect(0, 0, 2, 3));
    Path both = p;
    both.addPath(p, AffineTransform::makeTranslation(5, 0));
    EXPECT_EQ(both.boundingBox(), Rect(0, 0, 6, 1));
    EXPECT_EQ(both.elements().size(), 10u);
}
