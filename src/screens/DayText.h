#pragma once
// The two-line text of one training day, as the log table and the plan table
// show it in a cell's detail label:
//   "Week 5 Day 2 Level 1 Total Reps 61\nMade up of Sets:8, 8, 10, 10, ..."
// A day lists five set values, except days 2 and 3 of week 5 (eight: the
// first three sets twice) and of week 6 (nine: the first four sets twice);
// the longer lines are set in a smaller font so they fit the cell.
#include <array>
#include <string>

#include "platform/gfx/Font.h"

struct DayText {
    std::string text;  // both lines, joined by a line feed
    int values = 5;    // how many set values the second line lists (5, 8 or 9)
    gfx::Font font{"Helvetica", 13};
};

// How many of the nine slots a day of this week and day lists: 8 on days 2
// and 3 of week 5, 9 on days 2 and 3 of week 6, 5 otherwise.
int dayTextValueCount(int week, int day);

// The text of a day from its week, day and level and its nine slots (slot 1
// first, as a logged day keeps them). The total is the sum of all nine slots;
// the sets line lists the first 5, 8 or 9 of them. Helvetica 13 for five
// values, 11 otherwise.
DayText makeDayText(int week, int day, int level, const std::array<int, 9>& slots);
