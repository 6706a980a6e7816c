// The rules the shipped training plan is built by, checked on the database
// file the build makes from resources/plan.sql.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <map>
#include <string>
#include <tuple>

#include "platform/base/Bundle.h"
#include "platform/base/FileManager.h"
#include "training/Program.h"

namespace {

class PlanRules : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = base::paths::join(base::Bundle::mainBundle().resourcePath(), "Tolvek.sqlite");
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK) << path;
        sqlite3_stmt* stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db,
                                     "SELECT ProgramId, Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Interval "
                                     "FROM Program",
                                     -1, &stmt, nullptr),
                  SQLITE_OK);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            Program p;
            p.setProgramId(sqlite3_column_int(stmt, 0));
            p.setWeek(sqlite3_column_int(stmt, 1));
            p.setDay(sqlite3_column_int(stmt, 2));
            p.setLevel(sqlite3_column_int(stmt, 3));
            p.setRep1(sqlite3_column_int(stmt, 4));
            p.setRep2(sqlite3_column_int(stmt, 5));
            p.setRep3(sqlite3_column_int(stmt, 6));
            p.setRep4(sqlite3_column_int(stmt, 7));
            p.setRep5(sqlite3_column_int(stmt, 8));
            p.setInterval(sqlite3_column_int(stmt, 9));
            ++count;
            rows[{p.week(), p.day(), p.level()}] = p;
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    const Program& at(int week, int day, int level) { return rows.at({week, day, level}); }

    int count = 0;
    std::map<std::tuple<int, int, int>, Program> rows;
};

// The rows are exactly the days the program takes for the plan's (a held
// day is logged only when it is one of them).
TEST_F(PlanRules, OneRowForEveryWeekDayAndLevel) {
    EXPECT_EQ(count, 54);
    for (int w = -1; w <= Program::kWeeks + 2; ++w)
        for (int d = -1; d <= Program::kDaysAWeek + 2; ++d)
            for (int l = -1; l <= Program::kLevels + 2; ++l)
                EXPECT_EQ(rows.count({w, d, l}) == 1, Program::isPlanDay(w, d, l)) << w << "/" << d << "/" << l;
}

// Every day of the plan, at every level, against the table of the nine
// slots: which set each slot holds (0: not in use). Doubled sets are on days
// 2 and 3 of weeks 5 (the first three) and 6 (the first four). The slots,
// their count and the sets read back from them all follow it.
TEST_F(PlanRules, EveryDayLaysItsSetsIntoTheNineSlotsOfTheTable) {
    using Slots = std::array<int, 9>;
    const Slots plain{1, 2, 3, 4, 5, 0, 0, 0, 0};
    const Slots week5{1, 1, 2, 2, 3, 3, 4, 5, 0};
    const Slots week6{1, 1, 2, 2, 3, 3, 4, 4, 5};
    for (const auto& [key, p] : rows) {
        const bool longDay = p.day() == 2 || p.day() == 3;
        const Slots& sets = longDay && p.week() == 5 ? week5 : longDay && p.week() == 6 ? week6 : plain;
        const std::array<int, 5> reps{p.rep1(), p.rep2(), p.rep3(), p.rep4(), p.rep5()};
        Slots expected{};
        int used = 0;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            if (sets[i]) expected[i] = reps[static_cast<std::size_t>(sets[i] - 1)];
            used += sets[i] ? 1 : 0;
        }
        const std::string at = "week " + std::to_string(p.week()) + " day " + std::to_string(p.day());
        EXPECT_EQ(p.nineSlots(), expected) << at;
        EXPECT_EQ(Program::slotSets(p.week(), p.day()), sets) << at;
        EXPECT_EQ(Program::slotCount(p.week(), p.day()), used) << at;
        EXPECT_EQ(Program::setsOfSlots(p.week(), p.day(), p.nineSlots()), reps) << at;
    }
}

TEST_F(PlanRules, TheFifthSetIsTheHardestOfTheDay) {
    for (const auto& [key, p] : rows) {
        EXPECT_GT(p.rep1(), 0);
        EXPECT_GT(p.rep5(), std::max({p.rep1(), p.rep2(), p.rep3(), p.rep4()}))
            << "week " << p.week() << " day " << p.day() << " level " << p.level();
    }
}

TEST_F(PlanRules, EachDayGrowsFromWeekToWeek) {
    for (int l = 1; l <= 3; ++l)
        for (int d = 1; d <= 3; ++d)
            for (int w = 2; w <= 6; ++w)
                EXPECT_GT(at(w, d, l).total(), at(w - 1, d, l).total())
                    << "week " << w << " day " << d << " level " << l;
}

TEST_F(PlanRules, AHigherLevelAsksMoreOnEveryDay) {
    for (int w = 1; w <= 6; ++w)
        for (int d = 1; d <= 3; ++d)
            for (int l = 2; l <= 3; ++l) {
                const Program& hi = at(w, d, l);
                const Program& lo = at(w, d, l - 1);
                EXPECT_GT(hi.total(), lo.total()) << "week " << w << " day " << d << " level " << l;
                EXPECT_GT(hi.rep5(), lo.rep5()) << "week " << w << " day " << d << " level " << l;
                EXPECT_GE(hi.rep1(), lo.rep1());
                EXPECT_GE(hi.rep2(), lo.rep2());
                EXPECT_GE(hi.rep3(), lo.rep3());
                EXPECT_GE(hi.rep4(), lo.rep4());
            }
}

TEST_F(PlanRules, RestsAreOneToTwoMinutesAndGrowWithTheWeeks) {
    for (const auto& [key, p] : rows) {
        EXPECT_GE(p.interval(), 60);
        EXPECT_LE(p.interval(), 120);
    }
    for (int l = 1; l <= 3; ++l)
        for (int d = 1; d <= 3; ++d) {
            for (int w = 2; w <= 6; ++w) EXPECT_GE(at(w, d, l).interval(), at(w - 1, d, l).interval());
            EXPECT_GT(at(6, d, l).interval(), at(1, d, l).interval());
        }
}

TEST_F(PlanRules, WeekOneSuitsTheInitialTestsLevels) {
    // Someone placed at level 1 (below 6) or 2 (6 to 10) can do the first day.
    EXPECT_LE(at(1, 1, 1).rep5(), 5);
    EXPECT_LE(at(1, 1, 2).rep5(), 10);
    EXPECT_GE(at(1, 1, 3).rep5(), 11);
}

TEST_F(PlanRules, TheLastSetBeforeEachTestLeadsToItsThresholds) {
    // Test weeks with the highest score that keeps level 1 and level 2.
    struct Threshold {
        int week, top1, top2;
    };
    const Threshold tests[] = {{3, 20, 25}, {5, 35, 40}, {6, 50, 60}};
    for (const auto& t : tests) {
        // The score that keeps each level in this test.
        const int keep[4] = {0, t.top1, t.top1 + 1, t.top2 + 1};
        const int top[4] = {0, t.top1, t.top2, 1000};
        for (int l = 1; l <= 3; ++l) {
            const Program& last = at(t.week - 1, 3, l);
            // A fresh maximal set is well above the last set after four others:
            // the last set comes to at least 60 % of the score the test asks.
            EXPECT_GE(last.rep5() * 10, keep[l] * 6) << "before the test of week " << t.week << ", level " << l;
            // ... and the day's volume to the score itself.
            EXPECT_GE(last.total(), keep[l]) << "before the test of week " << t.week << ", level " << l;
            // A user who trains the level is not pushed past it.
            EXPECT_LE(last.rep5(), top[l]) << "before the test of week " << t.week << ", level " << l;
        }
    }
}

}  // namespace
