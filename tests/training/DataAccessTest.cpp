#include <filesystem>
#include <regex>

#include "StoreTestSupport.h"
#include "platform/base/Log.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "training/DataAccess.h"

using storetest::StoreTest;

namespace {

Log makeLog(int week, int day, int level, std::array<int, 9> reps, const std::string& logDate = {}) {
    Log log;
    log.setWeek(week);
    log.setDay(day);
    log.setLevel(level);
    log.setReps(reps);
    log.setLogDate(logDate);
    return log;
}

class DataAccessTest : public StoreTest {};

// ---- the plan

TEST_F(DataAccessTest, PlanLookupTakesTheDayFirstAndMissingRowsAreZero) {
    setPlanRow(2, 3, 1, {1, 2, 3, 4, 9}, 70);
    auto p = DataAccess::getProgram(3, 2, 1);
    EXPECT_EQ(p->week(), 2);
    EXPECT_EQ(p->day(), 3);
    EXPECT_EQ(p->level(), 1);
    EXPECT_EQ(p->rep5(), 9);
    EXPECT_EQ(p->interval(), 70);
    EXPECT_GT(p->programId(), 0);

    auto none = DataAccess::getProgram(1, 1, 0);
    EXPECT_EQ(none->programId(), 0);
    EXPECT_EQ(none->week(), 0);
    EXPECT_EQ(none->rep1(), 0);
    EXPECT_EQ(none->interval(), 0);

    auto byId = DataAccess::getProgramForId(p->programId());
    EXPECT_EQ(byId->programId(), p->programId());
    EXPECT_EQ(byId->rep4(), 4);
    EXPECT_EQ(DataAccess::getProgramForId(9999)->programId(), 0);
}

TEST_F(DataAccessTest, ProgramDataListsEveryRowWithoutIdOrRest) {
    auto rows = DataAccess::getProgramData();
    ASSERT_EQ(rows.size(), 54u);
    for (const auto& p : rows) {
        EXPECT_EQ(p->programId(), 0);
        EXPECT_EQ(p->interval(), 0);
        EXPECT_GT(p->rep5(), 0);
    }
}

TEST_F(DataAccessTest, AMissingPlanFileReadsAsEmptyAndItsDaysAsAReportedFailure) {
    delegate->setDatabasePath(home.path() + "/nowhere/Tolvek.sqlite");
    EXPECT_TRUE(DataAccess::getProgramData().empty());
    EXPECT_TRUE(handler->reports.empty());
    // A day that cannot be read is no row of zeros (a day the plan lacks),
    // and the failure is reported.
    EXPECT_EQ(DataAccess::getProgram(1, 1, 1), nullptr);
    ASSERT_EQ(handler->reports.size(), 1u);
    EXPECT_EQ(handler->reports[0].method, "DataAccess::getProgram");
    // Nor is such a day shown or logged as zeros.
    setPosition(2, 1, 1);
    EXPECT_EQ(DataAccess::getTodayString(), "");
    DataAccess::fillLog();
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_FALSE(base::FileManager::defaultManager().fileExists(delegate->databasePath()));
}

// ---- an empty log

TEST_F(DataAccessTest, AnEmptyLogGivesNAZeroAndEmptyLists) {
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_TRUE(DataAccess::getLogDataReversed().empty());
    EXPECT_EQ(DataAccess::getTotalReps(), 0);
    EXPECT_EQ(DataAccess::getMaxReps(), 0);
    EXPECT_EQ(DataAccess::getTotalYesterday(), 0);
    EXPECT_EQ(DataAccess::getYesterdayString(), std::optional<std::string>("N/A"));
}

TEST_F(DataAccessTest, AnUnreadableLogGivesNoYesterdayText) {
    delegate->setLogDatabasePath(home.path() + "/missing.sqlite");
    EXPECT_EQ(DataAccess::getYesterdayString(), std::nullopt);
    EXPECT_EQ(DataAccess::getTotalYesterday(), 0);
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_TRUE(handler->reports.empty());
}

// ---- saving, totals, identical rows

TEST_F(DataAccessTest, SaveStampsTheCurrentMomentAndKeepsTheColumns) {
    DataAccess::saveLog(makeLog(2, 3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}, "Mon 1999 01 01 my own text"));
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->week(), 2);
    EXPECT_EQ(rows[0]->day(), 3);
    EXPECT_EQ(rows[0]->level(), 1);
    EXPECT_EQ(rows[0]->reps(), (std::array<int, 9>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(rows[0]->logDate(), DataAccess::logDateText(base::Date::now()));
    EXPECT_FALSE(rows[0]->dateSort().has_value());
    EXPECT_TRUE(handler->reports.empty());
}

TEST_F(DataAccessTest, TotalsOfHugeStoredCountsDoNotWrap) {
    // A log written by another program may hold any integers.
    DataAccess::saveLog(makeLog(2, 1, 1, {2147483647, 2147483647, 2147483647, 2147483647, 2147483647, 0, 0, 0, 0}));
    DataAccess::saveLog(makeLog(2, 2, 1, {2147483647, 18, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(DataAccess::getTotalYesterday(), 2147483665LL);
    EXPECT_EQ(DataAccess::getMaxReps(), 5LL * 2147483647);
    EXPECT_EQ(DataAccess::getTotalReps(), 6LL * 2147483647 + 18);
    EXPECT_EQ(DataAccess::getLogData()[0]->total(), 5LL * 2147483647);
}

TEST_F(DataAccessTest, TotalsSumAllNineSlots) {
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 1, 1, 1, 1, 0, 0, 0, 0}));
    DataAccess::saveLog(makeLog(6, 2, 1, {1, 1, 2, 2, 3, 3, 4, 4, 5}));
    DataAccess::saveLog(makeLog(1, 2, 1, {2, 2, 2, 2, 2, 0, 0, 0, 0}));
    EXPECT_EQ(DataAccess::getTotalReps(), 5 + 25 + 10);
    EXPECT_EQ(DataAccess::getMaxReps(), 25);
    EXPECT_EQ(DataAccess::getTotalYesterday(), 10);  // the last inserted row
}

// Connections stay open between calls; a file replaced or rewritten by
// other means between two calls must still be read as it now is.
TEST_F(DataAccessTest, ALogReplacedBetweenCallsIsReadAsItNowIs) {
    const std::string log = delegate->logDatabasePath();
    const std::string other = home.path() + "/other.sqlite";
    const std::string third = home.path() + "/third.sqlite";
    DataAccess::saveLog(makeLog(1, 1, 1, {5, 0, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(DataAccess::getTotalReps(), 5);
    for (const auto& [path, reps] : {std::pair{other, 7}, std::pair{third, 11}}) {
        ASSERT_TRUE(std::filesystem::copy_file(log, path));
        ASSERT_TRUE(storetest::execSql(path, "UPDATE LogDay SET Rep1=" + std::to_string(reps)));
    }
    // Another program's write moves the file's change counter on.
    ASSERT_TRUE(storetest::execSql(third, "UPDATE LogDay SET Rep2=0"));
    // Moved aside and replaced by another file.
    std::filesystem::rename(log, home.path() + "/aside.sqlite");
    std::filesystem::copy_file(other, log);
    EXPECT_EQ(DataAccess::getTotalReps(), 7);
    // Rewritten in place: the same file, the same size.
    std::filesystem::copy_file(third, log, std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(DataAccess::getTotalReps(), 11);
    // A write after the reads lands in the file now at the path.
    DataAccess::saveLog(makeLog(1, 2, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(storetest::queryIntegers(log, "SELECT sum(Rep1) FROM LogDay"), std::vector<long long>{12});
    // Gone: read as missing, and no new file is made.
    std::filesystem::remove(log);
    EXPECT_EQ(DataAccess::getTotalReps(), 0);
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_TRUE(handler->reports.empty());
}

TEST_F(DataAccessTest, IdenticalRowsAreDeletedAndUpdatedTogether) {
    const Log day = makeLog(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0});
    DataAccess::saveLog(day);
    DataAccess::saveLog(day);  // same moment: all thirteen columns equal
    clock->advance(0.001);
    DataAccess::saveLog(day);  // a millisecond later: a different row
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0]->logDate(), rows[1]->logDate());
    ASSERT_NE(rows[1]->logDate(), rows[2]->logDate());

    Log edited = *rows[0];
    edited.setRep5(20);
    DataAccess::updateDay(edited, *rows[0]);
    auto after = DataAccess::getLogData();
    EXPECT_EQ(after[0]->rep5(), 20);
    EXPECT_EQ(after[1]->rep5(), 20);
    EXPECT_EQ(after[2]->rep5(), 7);

    DataAccess::deleteDay(*after[0]);
    auto left = DataAccess::getLogData();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0]->logDate(), rows[2]->logDate());
    EXPECT_TRUE(handler->reports.empty());
}

TEST_F(DataAccessTest, UpdateRewritesTheDateTextToo) {
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 2, 3, 4, 5, 0, 0, 0, 0}));
    auto old = DataAccess::getLogData()[0];
    Log moved = *old;
    moved.setLogDate("Wed 2026 01 07 10:00:00.000");
    DataAccess::updateDay(moved, *old);
    EXPECT_EQ(DataAccess::getLogData()[0]->logDate(), "Wed 2026 01 07 10:00:00.000");
}

TEST_F(DataAccessTest, ClearAllDataKeepsTheTests) {
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 2, 3, 4, 5, 0, 0, 0, 0}));
    ::Test t;
    t.setWeek(3);
    t.setDay(1);
    t.setScore("22");
    DataAccess::saveTest(t);
    DataAccess::clearAllData();
    EXPECT_EQ(logRows(), 0);
    EXPECT_EQ(DataAccess::getTestData().size(), 1u);
}

// ---- the newest-first read

TEST_F(DataAccessTest, NewestFirstOrdersByDateWhateverTheInsertionOrder) {
    const double today = clock->now();
    clock->setTime(today - 2 * 86400);
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0}));  // two days ago
    clock->setTime(today);
    DataAccess::saveLog(makeLog(1, 3, 1, {3, 0, 0, 0, 0, 0, 0, 0, 0}));  // today
    clock->setTime(today - 86400);
    DataAccess::saveLog(makeLog(1, 2, 1, {2, 0, 0, 0, 0, 0, 0, 0, 0}));  // yesterday, inserted last

    auto rows = DataAccess::getLogDataReversed();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->rep1(), 3);
    EXPECT_EQ(rows[1]->rep1(), 2);
    EXPECT_EQ(rows[2]->rep1(), 1);
    for (const auto& r : rows) ASSERT_TRUE(r->dateSort().has_value());
    EXPECT_GT(*rows[0]->dateSort(), *rows[1]->dateSort());
    EXPECT_EQ(*rows[0]->dateSort(), *DataAccess::dateOfLogDate(DataAccess::logDateText(base::Date(today))));
}

TEST_F(DataAccessTest, NewestFirstPutsTheLaterOfOneDayFirstAndUnreadableDatesLast) {
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 0, 0, 0, 0, 0, 0, 0, 0}));
    clock->advance(60);
    DataAccess::saveLog(makeLog(1, 2, 1, {2, 0, 0, 0, 0, 0, 0, 0, 0}));
    auto second = DataAccess::getLogData()[1];
    Log broken = *second;
    broken.setLogDate("garbage");
    DataAccess::updateDay(broken, *second);
    DataAccess::saveLog(makeLog(1, 3, 1, {3, 0, 0, 0, 0, 0, 0, 0, 0}));

    auto rows = DataAccess::getLogDataReversed();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->rep1(), 3);
    EXPECT_EQ(rows[1]->rep1(), 1);
    EXPECT_EQ(rows[2]->rep1(), 2);
    EXPECT_FALSE(rows[2]->dateSort().has_value());
}

// ---- the LogDate text

TEST(LogDateText, IsFixedLocaleFreeAndToTheMillisecond) {
    const char* old = getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    // 2026-12-08 18:58:45.123 UTC
    EXPECT_EQ(DataAccess::logDateText(base::Date(1796756325.123)), "Tue 2026 12 08 18:58:45.123");
    EXPECT_EQ(DataAccess::logDateText(base::Date(1767225600.0)), "Thu 2026 01 01 00:00:00.000");
    EXPECT_EQ(DataAccess::logDateText(base::Date(1767225600.9996)), "Thu 2026 01 01 00:00:01.000");
    const auto date = DataAccess::dateOfLogDate("Tue 2026 12 08 18:58:45.123");
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(date->timeIntervalSince1970(), 1796688000.0);  // midnight of that day
    if (old) setenv("TZ", saved.c_str(), 1);
    else unsetenv("TZ");
    tzset();
}

TEST(LogDateText, SplitsIntoTheFieldsTheReadersTake) {
    const std::string text = DataAccess::logDateText(base::Date(1796756325.5));
    EXPECT_TRUE(std::regex_match(
        text, std::regex("[A-Z][a-z]{2} [0-9]{4} [0-9]{2} [0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}")))
        << text;
    EXPECT_EQ(text.find(','), std::string::npos);
    EXPECT_EQ(text.find('"'), std::string::npos);
}

TEST(LogDateText, TextsThatNameNoDayGiveNoDate) {
    EXPECT_FALSE(DataAccess::dateOfLogDate("").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue 2026 12").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue 2026 13 08 10:00").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue 2026 0 08").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue 2026 04 31").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue 2026 xx 08").has_value());
    EXPECT_FALSE(DataAccess::dateOfLogDate("Tue  2026 12 08").has_value());
    EXPECT_TRUE(DataAccess::dateOfLogDate("x 2026 2 8").has_value());
}

// ---- fillLog

TEST_F(DataAccessTest, FillLogAtWeekOneDayOneLogsOneDay) {
    setPosition(1, 1, 2);
    DataAccess::fillLog();
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->week(), 1);
    EXPECT_EQ(rows[0]->day(), 1);
    EXPECT_EQ(rows[0]->level(), 2);
    auto plan = DataAccess::getProgram(1, 1, 2);
    EXPECT_EQ(rows[0]->reps(),
              (std::array<int, 9>{plan->rep1(), plan->rep2(), plan->rep3(), plan->rep4(), plan->rep5(), 0, 0, 0, 0}));
}

TEST_F(DataAccessTest, FillLogAtWeekThreeDayTwoLogsEightDays) {
    setPosition(2, 3, 1);
    DataAccess::fillLog();
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows.back()->week(), 3);
    EXPECT_EQ(rows.back()->day(), 2);
    EXPECT_EQ(rows[3]->week(), 2);
    EXPECT_EQ(rows[3]->day(), 1);
}

TEST_F(DataAccessTest, FillLogAtWeekSixDayThreeExpandsTheDoubledSets) {
    setPlanRow(5, 2, 3, {1, 2, 3, 4, 5}, 100);
    setPlanRow(6, 3, 3, {6, 7, 8, 9, 10}, 120);
    setPosition(3, 6, 3);
    DataAccess::fillLog();
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 18u);
    const Log& w5d2 = *rows[13];
    EXPECT_EQ(w5d2.week(), 5);
    EXPECT_EQ(w5d2.day(), 2);
    EXPECT_EQ(w5d2.reps(), (std::array<int, 9>{1, 1, 2, 2, 3, 3, 4, 5, 0}));
    const Log& w6d3 = *rows[17];
    EXPECT_EQ(w6d3.week(), 6);
    EXPECT_EQ(w6d3.day(), 3);
    EXPECT_EQ(w6d3.reps(), (std::array<int, 9>{6, 6, 7, 7, 8, 8, 9, 9, 10}));
    for (const auto& r : rows) {
        const bool doubled = (r->week() == 5 || r->week() == 6) && r->day() > 1;
        if (!doubled) {
            EXPECT_EQ(r->rep6() + r->rep7() + r->rep8() + r->rep9(), 0) << r->week() << "/" << r->day();
        }
        EXPECT_EQ(r->level(), 3);
    }
}

TEST_F(DataAccessTest, FillLogBeforeAnyPositionDoesNothing) {
    setPosition(0, 0, 0);
    DataAccess::fillLog();
    EXPECT_EQ(logRows(), 0);
}

TEST_F(DataAccessTest, FillLogOfAnUnplacedUserLogsZeros) {
    setPosition(2, 1, 0);
    DataAccess::fillLog();
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1]->total(), 0);
}

// ---- totals and texts of the home screen

TEST_F(DataAccessTest, TotalTodayCountsTheDoubledSets) {
    setPlanRow(6, 2, 2, {10, 11, 12, 13, 14}, 120);
    setPosition(2, 6, 2);
    EXPECT_EQ(DataAccess::getTotalToday(), 106);
    setPlanRow(5, 3, 2, {10, 11, 12, 13, 14}, 120);
    setPosition(3, 5, 2);
    EXPECT_EQ(DataAccess::getTotalToday(), 93);
    setPlanRow(5, 1, 2, {10, 11, 12, 13, 14}, 120);
    setPosition(1, 5, 2);
    EXPECT_EQ(DataAccess::getTotalToday(), 60);
}

TEST_F(DataAccessTest, TodayTextsByteForByte) {
    setPlanRow(1, 1, 2, {5, 6, 4, 4, 7}, 60);
    setPosition(1, 1, 2);
    EXPECT_EQ(DataAccess::getTodayString(), "Week 1, Day  1, Level 2\rReps: 5, 6, 4, 4, 7\rRest: 60 seconds");

    setPlanRow(5, 2, 1, {8, 10, 8, 8, 27}, 105);
    setPosition(2, 5, 1);
    EXPECT_EQ(DataAccess::getTodayString(),
              "Week 5, Day  2, Level 1\rReps: 8(x2), 10(x2), 8(x2), 8, 27\rRest: 105 seconds");

    setPlanRow(6, 3, 3, {20, 22, 19, 19, 55}, 120);
    setPosition(3, 6, 3);
    EXPECT_EQ(DataAccess::getTodayString(),
              "Week 6, Day  3, Level 3\rReps: 20(x2), 22(x2), 19(x2), 19(x2), 55\rRest: 120 seconds");

    setPosition(1, 7, 2, true);
    EXPECT_EQ(DataAccess::getTodayString(), "Program complete!\rReset to another level");
}

TEST_F(DataAccessTest, TodayIsATestDayOnlyWithTheFlag) {
    setPlanRow(3, 1, 1, {6, 8, 6, 6, 13}, 75);
    setPosition(1, 3, 1, false);
    EXPECT_EQ(DataAccess::getTodayString(), "Week 3, Day  1, Level 1\rReps: 6, 8, 6, 6, 13\rRest: 75 seconds");
    setPosition(1, 3, 1, true);
    EXPECT_EQ(DataAccess::getTodayString(), "Test day");
}

TEST_F(DataAccessTest, TodayOfAnUnplacedUserShowsZeros) {
    setPosition(2, 1, 0);
    EXPECT_EQ(DataAccess::getTodayString(), "Week 1, Day  2, Level 0\rReps: 0, 0, 0, 0, 0\rRest: 0 seconds");
}

TEST_F(DataAccessTest, TomorrowTexts) {
    setPosition(3, 2, 1, false);
    EXPECT_EQ(DataAccess::getTomorrowString(), "Test day");
    setPosition(3, 6, 1, false);
    EXPECT_EQ(DataAccess::getTomorrowString(), "Program complete!\rReset to another level");
    setPlanRow(4, 1, 2, {12, 14, 12, 12, 20}, 90);
    setPosition(3, 3, 2, false);
    EXPECT_EQ(DataAccess::getTomorrowString(), "Week 4, Day  1, Level 2\rReps: 12, 14, 12, 12, 20\rRest: 90 seconds");
    setPlanRow(6, 2, 2, {14, 16, 14, 14, 40}, 120);
    setPosition(1, 6, 2, true);
    EXPECT_EQ(DataAccess::getTomorrowString(),
              "Week 6, Day  2, Level 2\rReps: 14(x2), 16(x2), 14(x2), 14(x2), 40\rRest: 120 seconds");
}

TEST_F(DataAccessTest, YesterdayTextsUseTheRightSlots) {
    DataAccess::saveLog(makeLog(2, 1, 3, {11, 13, 10, 10, 16, 0, 0, 0, 0}));
    EXPECT_EQ(DataAccess::getYesterdayString(), "Week 2, Day  1, Level 3\rReps: 11, 13, 10, 10, 16");
    DataAccess::saveLog(makeLog(5, 3, 1, {9, 9, 11, 11, 9, 9, 9, 30, 0}));
    EXPECT_EQ(DataAccess::getYesterdayString(), "Week 5, Day  3, Level 1\rReps: 9(x2), 11(x2), 9(x2), 9, 30");
    DataAccess::saveLog(makeLog(6, 2, 2, {14, 14, 16, 16, 14, 14, 15, 15, 40}));
    EXPECT_EQ(DataAccess::getYesterdayString(), "Week 6, Day  2, Level 2\rReps: 14(x2), 16(x2), 14(x2), 15(x2), 40");
    EXPECT_EQ(DataAccess::getTotalYesterday(), 158);
    DataAccess::saveLog(makeLog(1, 1, 0, {1, 1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(DataAccess::getYesterdayString(), "N/A");
    EXPECT_EQ(DataAccess::getTotalYesterday(), 0);
}

// ---- tests

TEST_F(DataAccessTest, TestsAreStoredWithTheCurrentMoment) {
    ::Test t;
    t.setWeek(5);
    t.setDay(1);
    t.setScore("37");
    t.setTestDate(12);
    DataAccess::saveTest(t);
    auto all = DataAccess::getTestData();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0]->score(), "37");
    EXPECT_EQ(all[0]->testDate(), clock->now());
    auto one = DataAccess::getTest(1, 5);
    EXPECT_EQ(one->week(), 5);
    EXPECT_EQ(one->score(), "37");
    auto none = DataAccess::getTest(1, 3);
    EXPECT_EQ(none->week(), 0);
    EXPECT_EQ(none->score(), "");
    EXPECT_EQ(none->testDate(), 0);
}

TEST_F(DataAccessTest, CreatingTheTestTableTwiceKeepsItsRows) {
    ::Test t;
    t.setWeek(3);
    t.setDay(1);
    t.setScore("20");
    DataAccess::saveTest(t);
    DataAccess::createNewTestTable();
    DataAccess::createNewTestTable();
    EXPECT_EQ(storetest::queryIntegers(delegate->logDatabasePath(),
                                       "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='Test'"),
              std::vector<long long>{1});
    EXPECT_EQ(DataAccess::getTestData().size(), 1u);
}

// ---- failures of writes

TEST_F(DataAccessTest, AWriteIntoALogWithoutLogDayIsReported) {
    const std::string path = home.path() + "/other.sqlite";
    ASSERT_TRUE(storetest::execSql(path, "CREATE TABLE Unrelated (x INTEGER);"));
    delegate->setLogDatabasePath(path);
    DataAccess::saveLog(makeLog(1, 1, 1, {1, 2, 3, 4, 5, 0, 0, 0, 0}));
    ASSERT_EQ(handler->reports.size(), 1u);
    EXPECT_EQ(handler->reports[0].description,
              "Error: failed to prepare statement with message 'no such table: LogDay'.");
    EXPECT_EQ(handler->reports[0].object, DataAccess::classObject());
    EXPECT_EQ(handler->reports[0].file, "DataAccess.cpp");
    EXPECT_GT(handler->reports[0].line, 0);

    DataAccess::deleteDay(makeLog(1, 1, 1, {}));
    DataAccess::clearAllData();
    DataAccess::updateDay(makeLog(1, 1, 1, {}), makeLog(1, 1, 1, {}));
    ASSERT_EQ(handler->reports.size(), 4u);
    EXPECT_EQ(handler->reports[1].description,
              "Error: Failed to prepare delete statement with message 'no such table: LogDay'.");
    EXPECT_EQ(handler->reports[2].description,
              "Error: Failed to prepare delete statement with message 'no such table: LogDay'.");
    EXPECT_EQ(handler->reports[3].description,
              "Error: failed to prepare update statement with message 'no such table: LogDay'.");
}

TEST_F(DataAccessTest, AStepThatFailsWithAnyErrorIsReported) {
    // A constraint failure (not SQLite's general error) must not pass as success.
    const std::string path = home.path() + "/strict.sqlite";
    ASSERT_TRUE(storetest::execSql(
        path,
        "CREATE TABLE LogDay (Week INTEGER NOT NULL DEFAULT 0 CHECK (Week < 100), Day INTEGER, Level INTEGER, "
        "Rep1 INTEGER, Rep2 INTEGER, Rep3 INTEGER, Rep4 INTEGER, Rep5 INTEGER, Rep6 INTEGER, Rep7 INTEGER, "
        "Rep8 INTEGER, Rep9 INTEGER, LogDate TEXT);"
        "CREATE TABLE Test (Week INTEGER CHECK (Week < 100), Day INTEGER, Score STRING, TestDate REAL);"));
    delegate->setLogDatabasePath(path);
    DataAccess::saveLog(makeLog(100, 1, 1, {}));
    ASSERT_EQ(handler->reports.size(), 1u);
    EXPECT_EQ(handler->reports[0].description,
              "Error: failed to insert into the database with message 'CHECK constraint failed: Week < 100'.");

    DataAccess::saveLog(makeLog(1, 1, 1, {}));
    ASSERT_EQ(handler->reports.size(), 1u);
    auto row = DataAccess::getLogData().at(0);
    Log bad = *row;
    bad.setWeek(500);
    DataAccess::updateDay(bad, *row);
    ASSERT_EQ(handler->reports.size(), 2u);
    EXPECT_EQ(handler->reports[1].description,
              "Error: failed to update with message 'CHECK constraint failed: Week < 100'.");

    ::Test t;
    t.setWeek(300);
    DataAccess::saveTest(t);
    ASSERT_EQ(handler->reports.size(), 3u);
    EXPECT_EQ(handler->reports[2].description,
              "Error: failed to insert into the database with message 'CHECK constraint failed: Week < 100'.");
}

TEST_F(DataAccessTest, AFailedOpenOfAWriteIsReportedAndCreatesNoFile) {
    const std::string path = home.path() + "/gone/LogDay.sqlite";
    delegate->setLogDatabasePath(path);
    DataAccess::saveLog(makeLog(1, 1, 1, {}));
    DataAccess::deleteDay(makeLog(1, 1, 1, {}));
    ::Test t;
    DataAccess::saveTest(t);
    ASSERT_EQ(handler->reports.size(), 3u);
    for (const auto& r : handler->reports)
        EXPECT_EQ(r.description, "Error: failed to open the database with message 'unable to open database file'.");

    // A missing file in an existing folder is not created either.
    const std::string missing = home.path() + "/LogDay.sqlite";
    delegate->setLogDatabasePath(missing);
    DataAccess::saveLog(makeLog(1, 1, 1, {}));
    DataAccess::createNewTestTable();
    EXPECT_EQ(handler->reports.size(), 4u);
    EXPECT_FALSE(base::FileManager::defaultManager().fileExists(missing));
}

TEST_F(DataAccessTest, TheApplicationsHandlerLogsAStoreFailureAndLetsTheCallerGoOn) {
    base::RunLoop::main().advanceBy(1);  // the set-up screen's start-up presentation ends
    base::AssertionHandler::setCurrent(std::make_shared<TolvekAssertionHandler>());
    std::vector<std::string> lines;
    auto previous = base::setLogSinkForTesting([&](const std::string& line) { lines.push_back(line); });
    delegate->setLogDatabasePath(home.path() + "/missing.sqlite");
    EXPECT_NO_THROW(DataAccess::saveLog(makeLog(1, 1, 1, {})));
    setPosition(2, 1, 1);
    EXPECT_NO_THROW(DataAccess::fillLog());  // goes on through both days
    base::setLogSinkForTesting(previous);
    int reported = 0;
    for (const auto& l : lines)
        if (l.find("failed to open the database") != std::string::npos) ++reported;
    EXPECT_EQ(reported, 3);
    // One alert for the burst, in plain words (SQLite's message went to the
    // log); the day goes on.
    auto alert = std::dynamic_pointer_cast<ui::AlertView>(storetest::app().frontAlert());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_EQ(alert->message(), "The day could not be saved in your training log.");
    EXPECT_TRUE(storetest::app().tapElement("Ok"));
    base::RunLoop::main().advanceBy(1);
    EXPECT_FALSE(storetest::app().frontAlert());

    // Failures of other code still go the default way.
    EXPECT_THROW(base::AssertionHandler::current().handleFailureInMethod("m", nullptr, "f", 1, "other"),
                 base::Exception);
}

}  // namespace
