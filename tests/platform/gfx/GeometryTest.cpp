#include <gtest/gtest.h>

#include <cmath>

#include "GfxTestSupport.h"
#include "platform/gfx/Geometry.h"

using namespace gfx;

namespace {
const auto* const kHome = ::testing::AddGlobalTestEnvironment(new gfxtest::HomeEnvironment);

void expectNear(Point a, Point b) {
    EXPECT_NEAR(a.x, b.x, 1e-4);
    EXPECT_NEAR(a.y, b.y, 1e-4);
}
}  // namespace

TEST(RectTest, EdgesOfNegativeSizesAreStandardized) {
    Rect r{10, 20, -4, -6};
    EXPECT_FLOAT_EQ(r.minX(), 6);
    EXPECT_FLOAT_EQ(r.maxX(), 10);
    EXPECT_FLOAT_EQ(r.minY(), 14);
    EXPECT_FLOAT_EQ(r.maxY(), 20);
    EXPECT_EQ(r.standardized(), Rect(6, 14, 4, 6));
}

TEST(RectTest, IntersectionUnionAndContainment) {
    Rect a{0, 0, 10, 10}, b{5, 5, 10, 10};
    EXPECT_EQ(a.intersection(b), Rect(5, 5, 5, 5));
    EXPECT_EQ(a.unionWith(b), Rect(0, 0, 15, 15));
    EXPECT_TRUE(a.intersection(Rect(20, 20, 1, 1)).isNull());
    EXPECT_EQ(Rect::null().unionWith(a), a);
    EXPECT_TRUE(a.contains(Point(0, 0)));
    EXPECT_FALSE(a.contains(Point(10, 5)));  // half-open
    EXPECT_TRUE(a.contains(Rect(1, 1, 2, 2)));
    EXPECT_TRUE(Rect(3, 3, 0, 5).isEmpty());
    EXPECT_FALSE(Rect::null().contains(Point(0, 0)));
}

TEST(RectTest, InsetOffsetAndIntegral) {
    EXPECT_EQ(Rect(0, 0, 10, 8).inset(2, 1), Rect(2, 1, 6, 6));
    EXPECT_FALSE(Rect(0, 0, 2, 2).inset(1, 0).isNull());
    EXPECT_TRUE(Rect(0, 0, 2, 2).inset(1, 0).isEmpty());
    EXPECT_TRUE(Rect(0, 0, 2, 2).inset(3, 0).isNull());
    EXPECT_EQ(Rect(1, 1, 2, 2).offset(-1, 3), Rect(0, 4, 2, 2));
    EXPECT_EQ(Rect(0.5f, 0.2f, 1, 1).integral(), Rect(0, 0, 2, 2));
}

TEST(AffineTransformTest, ConcatAppliesLeftFirst) {
    AffineTransform t = AffineTransform::makeTranslation(10, 0).concat(AffineTransform::makeScale(2, 3));
    expectNear(t.apply(Point(1, 1)), Point(22, 3));
    // translate() puts the new translation before the existing transform.
    AffineTransform u = AffineTransform::makeScale(2, 3).translate(10, 0);
    expectNear(u.apply(Point(1, 1)), Point(22, 3));
}

TEST(AffineTransformTest, RotationAndInverse) {
    AffineTransform r = AffineTransform::makeRotation(float(M_PI / 2));
    expectNear(r.apply(Point(1, 0)), Point(0, 1));
    AffineTransform t = r.translate(3, 4).scale(2, 0.5f);
    expectNear(t.invert().apply(t.apply(Point(7, -2))), Point(7, -2));
    AffineTransform singular = AffineTransform::makeScale(0, 1);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_EQ(singular.invert(), singular);
    Rect turned = r.apply(Rect(0, 0, 2, 1));
    EXPECT_NEAR(turned.width(), 1, 1e-5);
    EXPECT_NEAR(turned.height(), 2, 1e-5);
}

TEST(Transform3DTest, AffinePartAndConcat) {
    Transform3D t = Transform3D::makeScale(2, 3, 1).concat(Transform3D::makeTranslation(5, 6, 0));
    EXPECT_TRUE(t.isAffine());
    EXPECT_EQ(t.affine(), AffineTransform(2, 0, 0, 3, 5, 6));
    Transform3D rz = Transform3D::makeRotation(float(M_PI / 2), 0, 0, 1);
    EXPECT_TRUE(rz.isAffine());
    expectNear(rz.affine().apply(Point(1, 0)), Point(0, 1));
    EXPECT_FALSE(Transform3D::makeRotation(0.3f, 1, 0, 0).isAffine());
    EXPECT_TRUE(Transform3D::makeAffine(AffineTransform()).isIdentity());
}
