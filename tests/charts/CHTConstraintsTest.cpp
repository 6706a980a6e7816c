#include "charts/CHTConstraints.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ChartTestSupport.h"

TEST(CHTConstraintsPosition, FixedAndRelative) {
    auto lower = CHTConstraints::constraintWithLowerOffset(10);
    auto upper = CHTConstraints::constraintWithUpperOffset(10);
    auto quarter = CHTConstraints::constraintWithRelativeOffset(0.25f);
    auto beyond = CHTConstraints::constraintWithRelativeOffset(1.5f);
    EXPECT_EQ(lower->positionForLowerBound(0, 100), 10);
    EXPECT_EQ(upper->positionForLowerBound(0, 100), 90);
    EXPECT_EQ(quarter->positionForLowerBound(0, 100), 25);
    EXPECT_EQ(beyond->positionForLowerBound(0, 100), 150);
    EXPECT_EQ(lower->positionForLowerBound(5, 5), 15);
    EXPECT_EQ(upper->positionForLowerBound(5, 5), -5);
    EXPECT_EQ(quarter->positionForLowerBound(5, 5), 5);
    EXPECT_TRUE(std::isnan(CHTConstraints().positionForLowerBound(0, 1)));
}

TEST(CHTConstraintsPosition, BoundsInTheWrongOrderAreReported) {
    charttest::ScopedAssertionRecorder recorder;
    EXPECT_THROW(CHTConstraints::constraintWithLowerOffset(1)->positionForLowerBound(10, 0), base::Exception);
    EXPECT_THROW(CHTConstraints::constraintWithRelativeOffset(1)->positionForLowerBound(NAN, 0), base::Exception);
    ASSERT_EQ(recorder.failures().size(), 2u);
    EXPECT_EQ(recorder.failures()[0].description, "lowerBound must be less than or equal to upperBound");
}

TEST(CHTConstraintsEquality, KindAndFields) {
    auto lower = CHTConstraints::constraintWithLowerOffset(3);
    EXPECT_FALSE(lower->isEqualToConstraint(CHTConstraints::constraintWithUpperOffset(3).get()));
    EXPECT_TRUE(lower->isEqualToConstraint(CHTConstraints::constraintWithLowerOffset(3).get()));
    EXPECT_TRUE(CHTConstraints::constraintWithRelativeOffset(0.5f)->isEqualToConstraint(
        CHTConstraints::constraintWithRelativeOffset(0.5f).get()));
    EXPECT_FALSE(CHTConstraints::constraintWithRelativeOffset(3)->isEqualToConstraint(lower.get()));
    EXPECT_FALSE(lower->isEqualToConstraint(nullptr));
    CHTConstraints abstract;
    EXPECT_TRUE(abstract.isEqualToConstraint(&abstract));
    EXPECT_FALSE(abstract.isEqualToConstraint(CHTConstraints().copy().get()));
}

TEST(CHTConstraintsCopy, SameKindAndFields) {
    auto upper = CHTConstraints::constraintWithUpperOffset(7);
    auto copy = upper->copy();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy.get(), upper.get());
    EXPECT_TRUE(copy->isEqualToConstraint(upper.get()));
    EXPECT_EQ(CHTConstraints().copy(), nullptr);
}
