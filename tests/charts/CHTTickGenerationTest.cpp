#include "charts/CHTTickGeneration.h"

#include <gtest/gtest.h>

#include <vector>

#include "charts/AxisTestSupport.h"

using charttest::R;
using charttest::values;

namespace {

TEST(CHTTickGenerationTest, CapsAreSettingsAndTheResultSaysWhichOneApplied) {
    CHTTickPolicy policy;  // interval 1 from 0, one minor tick per interval
    auto range = R("0", "10");
    CHTTickLocations ticks = CHTFixedIntervalTickLocations(*range, policy);
    EXPECT_EQ(ticks.major.size(), 11u);
    EXPECT_EQ(ticks.minor.size(), 10u);
    EXPECT_EQ(ticks.cap, CHTTickCap::None);

    // 21 ticks in all are more than 15; the 11 majors fit their cap.
    policy.maximumTickLocations = 15;
    ticks = CHTFixedIntervalTickLocations(*range, policy);
    EXPECT_EQ(ticks.major.size(), 11u);
    EXPECT_TRUE(ticks.minor.empty());
    EXPECT_EQ(ticks.cap, CHTTickCap::MinorTicksDropped);

    policy.maximumMajorTickLocations = 10;
    for (auto generate : {CHTFixedIntervalTickLocations, CHTEqualDivisionTickLocations}) {
        policy.preferredNumberOfMajorTicks = 11;
        ticks = generate(*range, policy);
        EXPECT_TRUE(ticks.major.empty());
        EXPECT_TRUE(ticks.minor.empty());
        EXPECT_EQ(ticks.cap, CHTTickCap::AllTicksDropped);
    }
    // Automatic: 6 majors (an interval of 2) are more than a cap of 3 and
    // its margin of 2.
    policy.preferredNumberOfMajorTicks = 0;
    policy.maximumMajorTickLocations = 3;
    ticks = CHTAutomaticTickLocations(*range, policy);
    EXPECT_TRUE(ticks.major.empty());
    EXPECT_EQ(ticks.cap, CHTTickCap::AllTicksDropped);
}

TEST(CHTTickGenerationTest, ADescendingRangeGivesTheTicksOfItsAscendingMirror) {
    CHTTickPolicy policy;
    policy.majorIntervalLength = charttest::D("0.3");
    policy.labelingOrigin = charttest::D("0.1");
    policy.minorTicksPerInterval = 2;
    policy.preferredNumberOfMajorTicks = 4;
    auto up = R("-0.7", "2.2"), down = R("1.5", "-2.2");
    for (auto generate : {CHTFixedIntervalTickLocations, CHTEqualDivisionTickLocations, CHTAutomaticTickLocations}) {
        CHTTickLocations a = generate(*up, policy), b = generate(*down, policy);
        EXPECT_FALSE(a.major.empty());
        EXPECT_EQ(a.major, b.major) << testing::PrintToString(values(b.major));
        EXPECT_EQ(a.minor, b.minor) << testing::PrintToString(values(b.minor));
    }
    policy.scaleType = CHTScaleTypeLog;
    auto logUp = R("0.5", "99.5"), logDown = R("100", "-99.5");
    EXPECT_EQ(CHTAutomaticTickLocations(*logUp, policy).major, CHTAutomaticTickLocations(*logDown, policy).major);
}

TEST(CHTTickGenerationTest, ARangeInsideOneIntervalKeepsTheMinorTicksOfThatInterval) {
    CHTTickPolicy policy;  // interval 1 from 0
    policy.minorTicksPerInterval = 4;
    CHTTickLocations ticks = CHTFixedIntervalTickLocations(*R("0.25", "0.5"), policy);
    EXPECT_TRUE(ticks.major.empty());
    EXPECT_EQ(values(ticks.minor), (std::vector<double>{0.4, 0.6}));
}

TEST(CHTTickGenerationTest, TheEndTickToleranceIsNoLongerThanARangeMuchNarrowerThanItsInterval) {
    // 2e-10 wide around 1: the tick at 1 stays in the middle, not on a limit.
    CHTTickPolicy policy;
    policy.minorTicksPerInterval = 0;
    CHTTickLocations ticks = CHTFixedIntervalTickLocations(*R("0.9999999999", "0.0000000002"), policy);
    ASSERT_EQ(ticks.major.size(), 1u);
    EXPECT_EQ(*ticks.major.begin(), charttest::D("1"));
}

}  // namespace
