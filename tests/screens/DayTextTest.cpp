#include <gtest/gtest.h>

#include "screens/DayText.h"
#include "training/Program.h"

namespace {

TEST(DayText, FiveSetDayListsFiveValuesInTheLargerFont) {
    auto t = makeDayText(3, 2, 1, {10, 12, 9, 9, 13, 0, 0, 0, 0});
    EXPECT_EQ(t.text, "Week 3 Day 2 Level 1 Total Reps 53\nMade up of Sets:10, 12, 9, 9, 13");
    EXPECT_EQ(t.values, 5);
    EXPECT_EQ(t.font.fontName(), "Helvetica");
    EXPECT_EQ(t.font.pointSize(), 13);
}

TEST(DayText, DoubledDaysOfWeeksFiveAndSixListEightOrNineInTheSmallerFont) {
    auto w5 = makeDayText(5, 2, 2, {8, 8, 10, 10, 9, 9, 12, 14, 0});
    EXPECT_EQ(w5.text, "Week 5 Day 2 Level 2 Total Reps 80\nMade up of Sets:8, 8, 10, 10, 9, 9, 12, 14");
    EXPECT_EQ(w5.values, 8);
    EXPECT_EQ(w5.font.pointSize(), 11);

    auto w6 = makeDayText(6, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(w6.text, "Week 6 Day 3 Level 3 Total Reps 45\nMade up of Sets:1, 2, 3, 4, 5, 6, 7, 8, 9");
    EXPECT_EQ(w6.values, 9);
    EXPECT_EQ(w6.font.pointSize(), 11);

    // Day 1 of weeks 5 and 6 is a five-set (test) day.
    EXPECT_EQ(makeDayText(5, 1, 1, {}).values, 5);
    EXPECT_EQ(makeDayText(6, 1, 1, {}).values, 5);
    EXPECT_EQ(makeDayText(7, 2, 1, {}).values, 5);
}

TEST(DayText, TotalCountsAllNineSlotsEvenThoseNotListed) {
    // A five-set day whose unused slots were filled by hand still totals all.
    auto t = makeDayText(2, 1, 1, {1, 1, 1, 1, 1, 5, 5, 5, 5});
    EXPECT_EQ(t.text, "Week 2 Day 1 Level 1 Total Reps 25\nMade up of Sets:1, 1, 1, 1, 1");
    // Large counts do not wrap around.
    auto big = makeDayText(1, 1, 1, {2000000000, 2000000000, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_NE(big.text.find("Total Reps 4000000000\n"), std::string::npos);
}

TEST(DayText, PlanDayExpandedToNineSlotsRepeatsTheDoubledSets) {
    Program p;
    p.setRep1(10);
    p.setRep2(11);
    p.setRep3(12);
    p.setRep4(13);
    p.setRep5(20);
    auto t = makeDayText(6, 2, 1, p.nineSlots(6, 2));
    EXPECT_EQ(t.text, "Week 6 Day 2 Level 1 Total Reps 112\nMade up of Sets:10, 10, 11, 11, 12, 12, 13, 13, 20");
    auto t5 = makeDayText(5, 3, 1, p.nineSlots(5, 3));
    EXPECT_EQ(t5.text, "Week 5 Day 3 Level 1 Total Reps 99\nMade up of Sets:10, 10, 11, 11, 12, 12, 13, 20");
}

}  // namespace
