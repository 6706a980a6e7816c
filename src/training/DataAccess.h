#pragma once
// The store of the plan and the training log. Every operation asks the
// application delegate for the file's path and runs its statements on that
// SQLite file. The connection stays open for the next operation on the same
// file; a file moved aside, replaced or changed by other means since then is
// opened afresh. Reading operations report nothing and answer an empty list,
// 0 or a zero-filled record when the file or the statement fails, except the
// plan rows of one day, whose failure is reported and answered apart from a
// missing day; writing operations report every failure to the assertion
// handler.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "training/Log.h"
#include "training/Program.h"
#include "training/Test.h"

class DataAccess {
public:
    DataAccess() = delete;

    // The plan.
    // The row of this day, week and level (the day comes first), or a
    // Program with every field 0 when the plan has no such day. Null when
    // the plan cannot be read (the file does not open, the query fails):
    // the failure is reported to the assertion handler, and callers show no
    // day rather than a day of zeros.
    static std::shared_ptr<Program> getProgram(int day, int week, int level);
    // Every row with week, day, level and the five sets (programId and
    // interval 0), in the table's order.
    static std::vector<std::shared_ptr<Program>> getProgramData();
    // The row with this id, as getProgram answers.
    static std::shared_ptr<Program> getProgramForId(int programId);

    // The log.
    // Inserts one day, stamped with the current moment (the record's logDate
    // and dateSort are not used). True when the day is stored.
    static bool saveLog(const Log& log);
    // The same, stamped with the given moment instead (a day finished
    // earlier is logged with the date it was finished).
    static bool saveLog(const Log& log, base::Date moment);
    // The same, stamped with a LogDate text made earlier (logDateText): a
    // kept day carries the text it is logged with, so that its identity does
    // not depend on the time zone or the rounding in force when it is stored.
    static bool saveLog(const Log& log, const std::string& logDate);
    // Whether the log holds a day of this week, day and level stamped with
    // exactly this moment (or LogDate text); nullopt when the log cannot be
    // read.
    static std::optional<bool> holdsDay(const Log& log, base::Date moment);
    static std::optional<bool> holdsDay(const Log& log, const std::string& logDate);
    // Whether the log holds a day of this week, day and level whose LogDate
    // text names this moment (to the millisecond) in some time zone: the
    // local time it holds lies a whole number of quarter hours, at most 12
    // behind or 14 ahead, from the moment in universal time. A day kept
    // without its text is found so, whatever zone it was logged in.
    static std::optional<bool> holdsDayAt(const Log& log, base::Date moment);
    // Rewrites every row equal to oldData in all thirteen columns.
    static void updateDay(const Log& newData, const Log& oldData);
    // Deletes every row equal to the record in all thirteen columns.
    static void deleteDay(const Log& log);
    static void clearAllData();
    // Logs the plan of every day from week 1 day 1 up to and including the
    // current day of the plan position.
    static void fillLog();
    // Every logged day in the table's order (dateSort empty).
    static std::vector<std::shared_ptr<Log>> getLogData();
    // Every logged day with dateSort filled, newest date first (days of the
    // same date: the later inserted first).
    static std::vector<std::shared_ptr<Log>> getLogDataReversed();

    // Totals and the home screen's texts.
    // Totals add in 64 bits, so that no log a file can hold overflows them.
    static long long getTotalToday();
    static long long getTotalYesterday();
    static long long getTotalReps();
    static long long getMaxReps();
    static std::string getTodayString();
    static std::string getTomorrowString();
    // nullopt when the log can't be opened or read.
    static std::optional<std::string> getYesterdayString();

    // Exhaustion tests.
    static void saveTest(const Test& test);
    static void createNewTestTable();
    static std::vector<std::shared_ptr<Test>> getTestData();
    static std::shared_ptr<Test> getTest(int day, int week);

    // The LogDate text of a moment, in local time and a fixed form that
    // does not depend on the locale: "Tue 2026 12 08 18:58:45.123" (week
    // day, year, month, day of month, time to the millisecond).
    static std::string logDateText(base::Date date);
    // The calendar day (local midnight) that a LogDate text names by its
    // second, third and fourth blank-separated fields, or nullopt when the
    // text does not name one.
    static std::optional<base::Date> dateOfLogDate(const std::string& logDate);

    // Start-up checks of the two files, after SQLite has rolled back what a
    // killed writer left half done. The plan is usable when SQLite's quick
    // check passes and the table Program has rows; the log when it opens as
    // a database with a readable table LogDay.
    static bool planIsUsable(const std::string& path);
    static bool logIsUsable(const std::string& path);

    // The object that store failures are reported with.
    static const void* classObject();
};
