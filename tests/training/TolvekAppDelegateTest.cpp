#include "StoreTestSupport.h"
#include "platform/base/Log.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "training/DataAccess.h"
#include "training/TodayViewController.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

using storetest::execSql;
using storetest::queryIntegers;
using storetest::TemporaryHome;

namespace {

// Start-up in a temporary home, without the store's recording handler: what
// a real launch does to the Documents folder.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<base::ManualClock>();
        base::Clock::setCurrent(clock);
    }
    void TearDown() override {
        base::AssertionHandler::setCurrent(nullptr);
        ui::Application::resetSharedApplication();
        base::Clock::setCurrent(nullptr);
        base::Bundle::setMainBundlePathForTesting(resources);
    }
    // One start of the program.
    std::shared_ptr<TolvekAppDelegate> launch() {
        base::UserDefaults::resetStandardUserDefaultsForTesting();  // as a new process reads them
        ui::Application::resetSharedApplication();
        current = std::make_shared<TolvekAppDelegate>();
        ui::Application::sharedApplication().launch(current);
        return current;
    }
    std::string documents() const { return base::paths::documents(); }
    std::string planFile() const { return documents() + "/Tolvek.sqlite"; }
    std::string logFile() const { return documents() + "/LogDay.sqlite"; }
    long long firstRep1() {
        auto v = queryIntegers(planFile(), "SELECT Rep1 FROM Program WHERE ProgramId=1");
        return v.empty() ? -1 : v[0];
    }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    bool exists(const std::string& path) { return base::FileManager::defaultManager().fileExists(path); }

    TemporaryHome home;
    std::shared_ptr<base::ManualClock> clock;
    std::shared_ptr<TolvekAppDelegate> current;
    const std::string resources = base::Bundle::mainBundle().resourcePath();
};

TEST_F(LaunchTest, FirstStartCopiesBothFilesSetsTheKeyAndMakesTest) {
    ASSERT_FALSE(exists(documents()));
    auto d = launch();
    EXPECT_EQ(d->databasePath(), planFile());
    EXPECT_EQ(d->logDatabasePath(), logFile());
    EXPECT_TRUE(exists(planFile()));
    EXPECT_TRUE(exists(logFile()));
    EXPECT_TRUE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='Test'"),
              std::vector<long long>{1});
    EXPECT_EQ(d->launchLevelForTesting(), 0);
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
}

TEST_F(LaunchTest, ALaterStartCopiesNothingAndKeepsTheLog) {
    launch();
    DataAccess::saveLog(Log());
    ASSERT_TRUE(execSql(planFile(), "UPDATE Program SET Rep1=77 WHERE ProgramId=1"));
    defaults().setInteger("Tolvek_Level", 2);
    defaults().synchronize();

    auto d = launch();
    EXPECT_EQ(firstRep1(), 77);  // the plan was not replaced
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(d->launchLevelForTesting(), 2);
}

TEST_F(LaunchTest, AnUpdateWithoutTheKeyReplacesThePlan) {
    launch();
    ASSERT_TRUE(execSql(planFile(), "UPDATE Program SET Rep1=77 WHERE ProgramId=1"));
    DataAccess::saveLog(Log());
    defaults().removeObjectForKey("Tolvek_ReplacedDBFromUpdate");
    defaults().synchronize();

    launch();
    EXPECT_NE(firstRep1(), 77);
    EXPECT_TRUE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);  // the log is never replaced
}

TEST_F(LaunchTest, ADeletedPlanIsCopiedAgain) {
    launch();
    ASSERT_TRUE(base::FileManager::defaultManager().removeItem(planFile()));
    launch();
    EXPECT_TRUE(exists(planFile()));
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
}

TEST_F(LaunchTest, AFailedCopyLeavesNoEmptyFileBehindAndIsTriedAgain) {
    const std::string empty = home.path() + "/empty-bundle";
    ASSERT_TRUE(base::FileManager::defaultManager().createDirectory(empty));
    base::Bundle::setMainBundlePathForTesting(empty);
    launch();
    // The store's reads and the Test table do not create the missing files.
    // The plan cannot be read: no day, rather than a day of zeros.
    EXPECT_EQ(DataAccess::getProgram(1, 1, 1), nullptr);
    EXPECT_EQ(DataAccess::getTodayString(), "");
    EXPECT_FALSE(exists(planFile()));
    EXPECT_FALSE(exists(logFile()));
    EXPECT_FALSE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));

    base::Bundle::setMainBundlePathForTesting(resources);
    launch();
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM LogDay"), std::vector<long long>{0});
}

// A log whose writer was killed in the middle of a transaction: the file
// with some pages of the unfinished transaction written into it, and the
// rollback journal that holds their committed contents. Made by copying both
// files while a writer holds its transaction open, which is what a kill
// leaves on disk.
void leaveHotJournal(const std::string& writerFile, const std::string& logFile, int committedRows) {
    ASSERT_TRUE(execSql(writerFile,
                        "CREATE TABLE LogDay (Week INTEGER, Day INTEGER, Level INTEGER, Rep1 INTEGER, "
                        "Rep2 INTEGER, Rep3 INTEGER, Rep4 INTEGER, Rep5 INTEGER, Rep6 INTEGER, "
                        "Rep7 INTEGER, Rep8 INTEGER, Rep9 INTEGER, LogDate TEXT);"));
    for (int i = 0; i < committedRows; ++i)
        ASSERT_TRUE(execSql(writerFile,
                            "INSERT INTO LogDay VALUES (1, 1, 1, 5, 5, 5, 5, 5, 0, 0, 0, 0, "
                            "'Mon 2026 12 07 10:00:00.000')"));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(writerFile.c_str(), &db), SQLITE_OK);
    // A cache of a few pages makes SQLite spill the transaction's pages into
    // the file before it commits.
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA cache_size=2; BEGIN; DELETE FROM LogDay; "
                           "INSERT INTO LogDay SELECT 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, hex(randomblob(400)) "
                           "FROM (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                           "SELECT i FROM n);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    auto& files = base::FileManager::defaultManager();
    ASSERT_TRUE(files.createDirectory(base::paths::deletingLastComponent(logFile)));
    ASSERT_TRUE(files.copyItem(writerFile, logFile));
    ASSERT_TRUE(files.copyItem(writerFile + "-journal", logFile + "-journal"));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TEST_F(LaunchTest, ALogLeftByAKilledWriterIsRolledBackWithAllItsCommittedRows) {
    leaveHotJournal(home.path() + "/writer.sqlite", logFile(), 40);
    launch();
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM LogDay"), std::vector<long long>{40});
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM LogDay WHERE Week = 9"), std::vector<long long>{0});
    EXPECT_FALSE(exists(logFile() + "-journal"));
    EXPECT_FALSE(exists(logFile() + ".unreadable"));
    EXPECT_FALSE(storetest::app().frontAlert());
    EXPECT_EQ(DataAccess::getLogData().size(), 40u);
}

TEST_F(LaunchTest, ACorruptLogIsMovedAsideWithItsJournalAndTheFreshCopyIsSound) {
    auto& files = base::FileManager::defaultManager();
    ASSERT_TRUE(files.createDirectory(documents()));
    // Not a database at all, with the files SQLite keeps beside one: those
    // SQLite does not clear itself when it opens the file go aside with it;
    // none may stay beside the fresh copy.
    ASSERT_TRUE(files.writeAtomically(logFile(), std::string(8192, '\x5a')));
    ASSERT_TRUE(files.writeAtomically(logFile() + "-journal", std::string(4096, '\x33')));
    ASSERT_TRUE(files.writeAtomically(logFile() + "-wal", std::string(4096, '\x44')));
    ASSERT_TRUE(files.writeAtomically(logFile() + "-shm", std::string(32768, '\x55')));

    launch();
    EXPECT_TRUE(exists(logFile() + ".unreadable"));
    for (const char* sidecar : {"-journal", "-wal", "-shm"}) EXPECT_FALSE(exists(logFile() + sidecar)) << sidecar;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(logFile().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
    // The fresh log takes a day.
    EXPECT_TRUE(DataAccess::saveLog(Log()));
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
}

TEST_F(LaunchTest, AKeptDayIsLoggedOnceWithTheDateItWasFinished) {
    launch();
    Log day;
    day.setWeek(2);
    day.setDay(1);
    day.setLevel(2);
    day.setReps({5, 6, 4, 4, 7, 0, 0, 0, 0});
    const base::Date monday(1796000000.25);
    // Finished on one day and never stored: the program ended on "Day
    // Completed". Two days later it starts again.
    TodayViewController::keepCompletedDay(day, monday);
    defaults().synchronize();
    clock->advance(2 * 86400);
    launch();
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->logDate(), DataAccess::logDateText(monday));
    EXPECT_EQ(rows[0]->total(), 26);
    EXPECT_TRUE(TodayViewController::keptDays().empty());

    // Stored, then the program died before it forgot the kept copy.
    const base::Date later(1796300000.5);
    TodayViewController::keepCompletedDay(day, later);
    ASSERT_TRUE(DataAccess::saveLog(day, later));
    defaults().synchronize();
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 2u);
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 2u);
}

// The time zone of the process, as the TZ variable sets it, until the end of
// the scope.
class TimeZone {
public:
    TimeZone() : had_(std::getenv("TZ") != nullptr), saved_(had_ ? std::getenv("TZ") : "") {}
    ~TimeZone() {
        if (had_) ::setenv("TZ", saved_.c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;
    void set(const char* tz) {
        ::setenv("TZ", tz, 1);
        ::tzset();
    }

private:
    bool had_;
    std::string saved_;
};

// Week 1, day 2 of level 1, as done in the time zone tests below.
Log weekOneDayTwo() {
    Log day;
    day.setWeek(1);
    day.setDay(2);
    day.setLevel(1);
    day.setReps({3, 3, 2, 2, 4, 0, 0, 0, 0});
    return day;
}

TEST_F(LaunchTest, AKeptDayLoggedBeforeACrashIsNotLoggedAgainInAnotherTimeZone) {
    TimeZone zone;
    zone.set("UTC0");
    launch();
    const Log day = weekOneDayTwo();
    // Stored, then the program died before it forgot the kept copy; it
    // starts again nine hours east.
    const base::Date finished(1796000000.123);
    TodayViewController::keepCompletedDay(day, finished);
    ASSERT_TRUE(DataAccess::saveLog(day, finished));
    defaults().synchronize();
    zone.set("JST-9");
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_TRUE(TodayViewController::keptDays().empty());
}

TEST_F(LaunchTest, AKeptDayAnOlderVersionWroteWithoutItsTextIsLoggedOnceInAnyTimeZone) {
    TimeZone zone;
    zone.set("UTC0");
    launch();
    const Log day = weekOneDayTwo();
    // The one dictionary that version kept: the moment, no LogDate text.
    auto keptByOlderVersion = [&](base::Date finished) {
        base::Array reps;
        for (int r : day.reps()) reps.push_back(base::Value(static_cast<long long>(r)));
        defaults().setObject("Tolvek_UnsavedDay", base::Value(base::Dictionary{{"Finished", base::Value(finished)},
                                                                               {"Week", 1},
                                                                               {"Day", 2},
                                                                               {"Level", 1},
                                                                               {"Reps", base::Value(reps)}}));
        ASSERT_TRUE(defaults().synchronize());
    };
    // Logged by it, which ended before it forgot the kept copy; the program
    // starts again nine hours east, where the moment reads another text.
    const base::Date finished(1796000000.123);
    keptByOlderVersion(finished);
    ASSERT_TRUE(DataAccess::saveLog(day, finished));
    zone.set("JST-9");
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_TRUE(TodayViewController::keptDays().empty());

    // Not logged by it: logged now, with the text of its moment here.
    const base::Date later(1796100000.5);
    keptByOlderVersion(later);
    launch();
    const auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1]->logDate(), DataAccess::logDateText(later));
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 2u);
}

// The program's log lines while one lives.
class LogLines {
public:
    LogLines() : old_(base::setLogSinkForTesting([this](const std::string& line) { lines.push_back(line); })) {}
    ~LogLines() { base::setLogSinkForTesting(old_); }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;
    int count(const std::string& part) const {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const std::string& l) { return l.find(part) != std::string::npos; }));
    }
    std::vector<std::string> lines;

private:
    base::LogSink old_;
};

// A kept day as the settings file holds it, with the fields given.
base::Value keptEntry(std::initializer_list<std::pair<std::string, base::Value>> fields) {
    base::Dictionary entry;
    for (const auto& [key, value] : fields) entry.set(key, value);
    return base::Value(std::move(entry));
}

base::Value repsOf(std::initializer_list<int> reps) {
    base::Array list;
    for (int r : reps) list.push_back(base::Value(r));
    return base::Value(std::move(list));
}

TEST_F(LaunchTest, AHandEditedListOfKeptDaysLogsOnlyItsDaysOfThePlanAndDropsTheRest) {
    launch();
    const base::Date first(1796000000.25), second(1796090000.5);
    const base::Value reps = repsOf({3, 3, 2, 2, 4});
    const base::Value dayOne = keptEntry({{"Finished", base::Value(first)},
                                          {"LogDate", base::Value(DataAccess::logDateText(first))},
                                          {"Week", 1},
                                          {"Day", 1},
                                          {"Level", 1},
                                          {"Reps", reps}});
    const base::Value dayTwo = keptEntry({{"Finished", base::Value(second)},
                                          {"LogDate", base::Value(DataAccess::logDateText(second))},
                                          {"Week", 1},
                                          {"Day", 2},
                                          {"Level", 1},
                                          {"Reps", repsOf({4, 4, 3, 3, 5})}});
    defaults().setObject(
        "Tolvek_UnsavedDay",
        base::Value(base::Array{
            base::Value(42),
            base::Value("Week 1 Day 3"),
            dayOne,
            keptEntry({{"Finished", base::Value(first)}, {"Day", 3}, {"Level", 1}, {"Reps", reps}}),
            keptEntry({{"Finished", base::Value(first)}, {"Week", "x"}, {"Day", 3}, {"Level", 1}, {"Reps", reps}}),
            keptEntry({{"Finished", base::Value(first)}, {"Week", 99}, {"Day", 3}, {"Level", 1}, {"Reps", reps}}),
            dayTwo,
        }));
    ASSERT_TRUE(defaults().synchronize());

    LogLines logged;
    launch();
    // The two days, once each and in order; nothing else reached the log.
    const auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]->day(), 1);
    EXPECT_EQ(rows[0]->total(), 14);
    EXPECT_EQ(rows[0]->logDate(), DataAccess::logDateText(first));
    EXPECT_EQ(rows[1]->day(), 2);
    EXPECT_EQ(rows[1]->total(), 19);
    // Each entry that was not a day is named in the program's log.
    EXPECT_EQ(logged.count("is not one and is dropped"), 5) << ::testing::PrintToString(logged.lines);
    EXPECT_EQ(logged.count("no readable Week"), 2);
    EXPECT_EQ(logged.count("week 99 day 3 level 1 is not a day of the plan"), 1);

    // The settings file holds none of them any more, and a later start
    // logs nothing again.
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    EXPECT_TRUE(defaults().objectForKey("Tolvek_UnsavedDay").isNull());
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 2u);
}

TEST_F(LaunchTest, WhatIsNotAKeptDayNeitherTakesADaysPlaceNorStaysInTheSettings) {
    launch();
    // The one value an older version kept, edited by hand into no day at
    // all, leaves the settings at the next start with nothing logged.
    for (const base::Value& notADay :
         {base::Value(7), keptEntry({{"Week", 2}, {"Day", 1}, {"Level", 2}}),
          keptEntry({{"Week", 2.5}, {"Day", 1}, {"Level", 2}, {"Reps", repsOf({1})}}),
          keptEntry({{"Week", 2}, {"Day", 4}, {"Level", 2}, {"Reps", repsOf({1})}}),
          keptEntry({{"Week", 2}, {"Day", 1}, {"Level", 2}, {"Reps", base::Value(base::Array{"many"})}})}) {
        SCOPED_TRACE(notADay.description());
        defaults().setObject("Tolvek_UnsavedDay", notADay);
        ASSERT_TRUE(defaults().synchronize());
        launch();
        EXPECT_TRUE(DataAccess::getLogData().empty());
        base::UserDefaults::resetStandardUserDefaultsForTesting();
        EXPECT_TRUE(defaults().objectForKey("Tolvek_UnsavedDay").isNull());
    }

    // A full list of entries that are not days still takes a finished day.
    base::Array junk(WorkoutSession::kMostKeptDays, base::Value("not a day"));
    defaults().setObject("Tolvek_UnsavedDay", base::Value(junk));
    EXPECT_TRUE(TodayViewController::keepCompletedDay(weekOneDayTwo(), base::Date(1796000000.0)));
    ASSERT_EQ(TodayViewController::keptDays().size(), 1u);
    const base::Value kept = defaults().objectForKey("Tolvek_UnsavedDay");
    ASSERT_NE(kept.asArray(), nullptr);
    EXPECT_EQ(kept.asArray()->size(), 1u);
}

TEST_F(LaunchTest, ASettingsFileWithADamagedKeyStartsWithItsOtherSettingsAndIsKeptAside) {
    // A dictionary key holding a NUL: the library that writes the file
    // aborts the program on reading such a key.
    base::Data bytes =
        base::Value(base::Dictionary{{"Tolvek_Level", 2}, {"Tolvek_Week", 3}, {"Tolvek_Dxy", 1}}).toBinaryPlist();
    const std::string key = "Tolvek_Dxy";
    auto at = std::search(bytes.begin(), bytes.end(), key.begin(), key.end());
    ASSERT_NE(at, bytes.end());
    at[8] = '\0';
    const std::string settings = base::paths::configHome() + "/defaults.plist";
    auto& files = base::FileManager::defaultManager();
    ASSERT_TRUE(files.createDirectory(base::paths::configHome()));
    ASSERT_TRUE(files.writeAtomically(settings, bytes));

    auto d = launch();
    EXPECT_EQ(d->launchLevelForTesting(), 2);  // no set-up: the level was kept
    EXPECT_EQ(defaults().integerForKey("Tolvek_Week"), 3);
    EXPECT_EQ(files.contentsAtPath(settings + ".corrupt"), bytes);
    // The readable settings replace the damaged file.
    defaults().synchronize();
    auto again = base::Value::fromPlist(*files.contentsAtPath(settings));
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)["Tolvek_Week"].integerValue(), 3);
}

TEST_F(LaunchTest, StartUpSweepsTheStaleTemporariesOfEveryAtomicWrite) {
    auto& files = base::FileManager::defaultManager();
    const std::string outbox = base::paths::dataHome() + "/Outbox";
    auto make = [&](const std::string& folder, const std::string& name, bool stale) {
        std::string path = folder + "/" + name;
        EXPECT_TRUE(files.createDirectory(folder));
        EXPECT_TRUE(files.writeAtomically(path, std::string("half")));
        if (stale)
            std::filesystem::last_write_time(path,
                                             std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        return path;
    };
    const std::vector<std::string> stale = {
        make(documents(), ".log.csv.tmp-Ab3xYz", true),
        make(base::paths::caches() + "/SHR", ".SHROfflineQueue.plist.tmp-QQ11zz", true),
        make(outbox + "/Drafts", ".20260101-101010-abcd1234.eml.tmp-a1B2c3", true),
        make(base::paths::dataHome() + "/Calendar", ".event.ics.tmp-000000", true),
    };
    const std::vector<std::string> kept = {
        make(documents(), ".log.csv.tmp-NewOne", false),   // a write under way
        make(documents(), ".log.csv.tmp-toolong1", true),  // not our pattern
        make(documents(), "notes.tmp-ABCDEF", true),       // not a hidden temporary
    };
    launch();
    for (const auto& path : stale) EXPECT_FALSE(exists(path)) << path;
    for (const auto& path : kept) EXPECT_TRUE(exists(path)) << path;
}

TEST_F(LaunchTest, LaunchSetsTheFlagsAndInstallsTheStoreHandler) {
    auto d = std::make_shared<TolvekAppDelegate>();
    d->setIsGoing(true);
    d->setHasReset(true);
    d->setCanReset(false);
    d->setBackFromBeingInBackground(true);
    d->setTimeInBackground(12);
    auto& app = ui::Application::sharedApplication();
    EXPECT_TRUE(app.launch(d));
    EXPECT_EQ(TolvekAppDelegate::shared(), d);
    EXPECT_FALSE(d->isGoing());
    EXPECT_FALSE(d->hasReset());
    EXPECT_TRUE(d->canReset());
    EXPECT_FALSE(d->backFromBeingInBackground());
    EXPECT_EQ(d->timeInBackground(), 0);
    EXPECT_NE(dynamic_cast<TolvekAssertionHandler*>(&base::AssertionHandler::current()), nullptr);
}

TEST_F(LaunchTest, LaunchShowsTheNavigationStackAndKeepsTheScreenAwake) {
    auto d = launch();
    auto& app = ui::Application::sharedApplication();
    ASSERT_TRUE(d->window());
    EXPECT_EQ(app.keyWindow(), d->window());
    EXPECT_TRUE(d->window()->isKeyWindow());
    ASSERT_TRUE(d->navigationController());
    EXPECT_EQ(d->window()->rootViewController(), d->navigationController());
    EXPECT_EQ(d->navigationController()->view()->superview().get(), d->window().get());
    EXPECT_TRUE(app.isIdleTimerDisabled());  // also for a user never placed
    EXPECT_EQ(d->launchLevelForTesting(), 0);
}

TEST_F(LaunchTest, TheEntrysWindowAndNavigationStackAreUsed) {
    auto& app = ui::Application::sharedApplication();
    auto d = std::make_shared<TolvekAppDelegate>();
    auto window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    auto root = std::make_shared<ui::ViewController>();
    auto navigation = std::make_shared<ui::NavigationController>(root);
    d->setWindow(window);
    d->setNavigationController(navigation);
    app.launch(d);
    EXPECT_EQ(d->window(), window);
    EXPECT_EQ(window->rootViewController(), navigation);
    EXPECT_EQ(navigation->topViewController(), root);
    EXPECT_TRUE(window->isKeyWindow());
}

// ---- the background bookkeeping

class BackgroundTest : public storetest::StoreTest {};

TEST_F(BackgroundTest, LeavingWithNoRestRunningStoresNothing) {
    delegate->setBackFromBeingInBackground(true);
    delegate->setTimeInBackground(7);
    delegate->applicationDidEnterBackground(storetest::app());
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
    clock->advance(30);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_FALSE(delegate->backFromBeingInBackground());
    EXPECT_EQ(delegate->timeInBackground(), 0);
}

TEST_F(BackgroundTest, LeavingDuringARestCountsTheWholeSecondsAway) {
    delegate->setIsGoing(true);
    delegate->applicationDidEnterBackground(storetest::app());
    // Written to disk at once.
    base::UserDefaults onDisk(defaults().path());
    ASSERT_TRUE(onDisk.dateForKey("backgroundTime").has_value());
    EXPECT_EQ(onDisk.dateForKey("backgroundTime")->timeIntervalSince1970(), clock->now());

    clock->advance(95.7);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 95);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
    EXPECT_TRUE(base::UserDefaults(defaults().path()).objectForKey("backgroundTime").isNull());
}

TEST_F(BackgroundTest, ComingBackWithoutAStoredTimeCountsZero) {
    delegate->setIsGoing(true);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 0);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
}

TEST_F(BackgroundTest, AClockThatWentBackCountsTheDistance) {
    delegate->setIsGoing(true);
    delegate->applicationDidEnterBackground(storetest::app());
    clock->setTime(clock->now() - 10.4);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 10);
}

TEST_F(BackgroundTest, TheHostsBackgroundAndReturnDriveTheBookkeeping) {
    auto& app = storetest::app();
    delegate->setIsGoing(true);
    app.enterBackground();
    clock->advance(95.7);
    app.enterForeground();
    EXPECT_EQ(delegate->timeInBackground(), 95);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
}

TEST_F(BackgroundTest, AStaleTimeIsLeftAloneWhenNoRestRuns) {
    defaults().setObject("backgroundTime", base::Value(base::Date(clock->now() - 500)));
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_FALSE(defaults().objectForKey("backgroundTime").isNull());
    delegate->setIsGoing(true);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 500);
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
}

}  // namespace
