#include "training/DataAccess.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/UserDefaults.h"
#include "training/AppState.h"
#include "training/SettingsKeys.h"
#include "training/Utility.h"

#ifdef __FILE_NAME__
#define STORE_SOURCE_FILE __FILE_NAME__
#else
#define STORE_SOURCE_FILE __FILE__
#endif

namespace {

// The file a connection was opened on, as the file system saw it after the
// connection was last used: a file moved aside, replaced, or written by
// other means no longer matches.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};
    timespec modified{};

    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

std::optional<FileIdentity> identityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_ctim, st.st_mtim};
}

// Connections kept open between store calls on this thread, one per file and
// mode. Opening a file and reading its schema cost more than the queries the
// program runs on it, and the home screen alone asks a dozen of them. A kept
// connection serves again only while the file at its path is the one it was
// last used on; otherwise it is closed and the file opened afresh.
class KeptConnections {
public:
    KeptConnections() = default;
    KeptConnections(const KeptConnections&) = delete;
    KeptConnections& operator=(const KeptConnections&) = delete;
    ~KeptConnections() {
        for (auto& kept : kept_) sqlite3_close(kept.db);
    }

    // The kept connection for the file and mode, taken out of the keeping
    // while it is used, or nullptr.
    sqlite3* take(const std::string& path, bool writing) {
        for (auto it = kept_.begin(); it != kept_.end(); ++it) {
            if (it->path != path || it->writing != writing) continue;
            sqlite3* db = it->db;
            const bool same = identityOf(path) == it->identity;
            kept_.erase(it);
            if (same) return db;
            sqlite3_close(db);
            return nullptr;
        }
        return nullptr;
    }

    // Keeps a connection that its user is done with. One that is still in a
    // transaction, or whose file is gone, is closed instead.
    void giveBack(const std::string& path, bool writing, sqlite3* db) {
        const auto identity = identityOf(path);
        const bool taken = std::any_of(kept_.begin(), kept_.end(),
                                       [&](const Kept& k) { return k.path == path && k.writing == writing; });
        if (!identity || taken || sqlite3_get_autocommit(db) == 0) {
            sqlite3_close(db);
            return;
        }
        if (kept_.size() >= kMaxKept) {
            sqlite3_close(kept_.front().db);
            kept_.erase(kept_.begin());
        }
        kept_.push_back({path, writing, db, *identity});
    }

private:
    struct Kept {
        std::string path;
        bool writing;
        sqlite3* db;
        FileIdentity identity;
    };
    // The plan and the log, each read and written; more only when the
    // files' folder changes under a running program.
    static constexpr std::size_t kMaxKept = 4;
    std::vector<Kept> kept_;
};

KeptConnections& keptConnections() {
    thread_local KeptConnections kept;
    return kept;
}

// One open database file, for one store call: a kept connection when the
// file is unchanged since its last use, a new one otherwise. When the call
// is done the connection is kept for the next.
class Database {
public:
    // Opens an existing file; never creates one, so that a missing database
    // stays missing (and gets copied again at the next start).
    Database(std::string path, bool writing) : path_(std::move(path)), writing_(writing) {
        if (path_.empty()) {
            rc_ = SQLITE_CANTOPEN;
            return;
        }
        db_ = keptConnections().take(path_, writing);
        if (db_) return;
        const int flags = writing ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
        rc_ = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
        if (rc_ == SQLITE_OK) sqlite3_busy_timeout(db_, 2000);
    }
    ~Database() {
        if (rc_ == SQLITE_OK && db_) keptConnections().giveBack(path_, writing_, db_);
        else sqlite3_close(db_);
    }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool isOpen() const { return rc_ == SQLITE_OK; }
    sqlite3* handle() const { return db_; }
    std::string errorMessage() const {
        if (db_) return sqlite3_errmsg(db_);
        return sqlite3_errstr(rc_);
    }

private:
    std::string path_;
    bool writing_;
    sqlite3* db_ = nullptr;
    int rc_ = SQLITE_OK;
};

// One prepared statement; finalized when the object goes.
class Statement {
public:
    Statement(const Database& db, const std::string& sql) {
        if (db.isOpen()) ok_ = sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt_, nullptr) == SQLITE_OK && stmt_;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isPrepared() const { return ok_; }
    int step() { return sqlite3_step(stmt_); }
    void bind(int index, int value) { sqlite3_bind_int(stmt_, index, value); }
    void bind(int index, double value) { sqlite3_bind_double(stmt_, index, value); }
    void bind(int index, const std::string& value) {
        sqlite3_bind_text(stmt_, index, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    int integer(int column) const { return sqlite3_column_int(stmt_, column); }
    long long integer64(int column) const { return sqlite3_column_int64(stmt_, column); }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }
    std::string text(int column) const {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        if (!t) return {};
        return std::string(reinterpret_cast<const char*>(t),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool ok_ = false;
};

std::string planPath() {
    auto app = AppState::current();
    return app ? app->databasePath() : std::string();
}

std::string logPath() {
    auto app = AppState::current();
    return app ? app->logDatabasePath() : std::string();
}

void reportFailure(const char* method, int line, const char* format, const std::string& message) {
    base::AssertionHandler::current().handleFailureInMethod(method, DataAccess::classObject(), STORE_SOURCE_FILE, line,
                                                            base::format(format, message));
}

// The failure texts of one writing operation.
struct WriteTexts {
    const char* method;
    const char* prepare;
    const char* step;
};

const char* const kOpenFailed = "Error: failed to open the database with message '%s'.";
const char* const kPlanReadFailed = "Error: failed to read the plan with message '%s'.";

// Runs one writing statement on the log database: open, prepare, bind, one
// step, finalize, close. Every failure on the way is reported.
template <class Binder>
bool runWrite(const WriteTexts& texts, const std::string& sql, int line, Binder bind) {
    Database db(logPath(), true);
    if (!db.isOpen()) {
        reportFailure(texts.method, line, kOpenFailed, db.errorMessage());
        return false;
    }
    Statement stmt(db, sql);
    if (!stmt.isPrepared()) {
        reportFailure(texts.method, line, texts.prepare, db.errorMessage());
        return false;
    }
    bind(stmt);
    const int rc = stmt.step();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        reportFailure(texts.method, line, texts.step, db.errorMessage());
        return false;
    }
    return true;
}

// Week, day, level and the five sets from column firstColumn on, then the
// rest when the statement selects it.
void readProgramRow(const Statement& stmt, Program& p, int firstColumn, bool withInterval) {
    int c = firstColumn;
    p.setWeek(stmt.integer(c++));
    p.setDay(stmt.integer(c++));
    p.setLevel(stmt.integer(c++));
    p.setRep1(stmt.integer(c++));
    p.setRep2(stmt.integer(c++));
    p.setRep3(stmt.integer(c++));
    p.setRep4(stmt.integer(c++));
    p.setRep5(stmt.integer(c++));
    if (withInterval) p.setInterval(stmt.integer(c));
}

// Binds week, day, level, rep1 to rep9 and logDate from index first on.
void bindLogColumns(Statement& stmt, int first, const Log& log) {
    stmt.bind(first, log.week());
    stmt.bind(first + 1, log.day());
    stmt.bind(first + 2, log.level());
    for (int i = 0; i < 9; ++i) stmt.bind(first + 3 + i, log.reps()[static_cast<std::size_t>(i)]);
    stmt.bind(first + 12, log.logDate());
}

std::vector<std::shared_ptr<Log>> readLog() {
    std::vector<std::shared_ptr<Log>> rows;
    rows.reserve(256);
    Database db(logPath(), false);
    Statement stmt(
        db, "select Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9, LogDate from LogDay");
    if (!stmt.isPrepared()) return rows;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        auto log = std::make_shared<Log>();
        log->setWeek(stmt.integer(0));
        log->setDay(stmt.integer(1));
        log->setLevel(stmt.integer(2));
        std::array<int, 9> reps;
        for (int i = 0; i < 9; ++i) reps[static_cast<std::size_t>(i)] = stmt.integer(3 + i);
        log->setReps(reps);
        log->setLogDate(stmt.text(12));
        rows.push_back(std::move(log));
    }
    if (rc != SQLITE_DONE) base::log("DataAccess: reading the log stopped: " + db.errorMessage());
    return rows;
}

// The last inserted log row, or nullopt when the file or statement fails.
// An empty table gives a row of zeros.
std::optional<Log> lastLogRow() {
    Database db(logPath(), false);
    Statement stmt(db,
                   "select Day, Week, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9, LogDate,max(rowid) "
                   "from LogDay");
    if (!stmt.isPrepared()) return std::nullopt;
    Log log;
    if (stmt.step() == SQLITE_ROW) {
        log.initValues(stmt.integer(1), stmt.integer(0), stmt.integer(2), stmt.integer(3), stmt.integer(4),
                       stmt.integer(5), stmt.integer(6), stmt.integer(7), stmt.integer(8), stmt.integer(9),
                       stmt.integer(10), stmt.integer(11), std::nullopt, stmt.text(12));
    }
    return log;
}

long long singleInteger(const char* sql) {
    Database db(logPath(), false);
    Statement stmt(db, sql);
    if (!stmt.isPrepared() || stmt.step() != SQLITE_ROW) return 0;
    return stmt.integer64(0);
}

// The sets of a day as the home screen lists them, a doubled set marked
// "(x2)": "12(x2), 14(x2), 12(x2), 12, 30".
std::string setsText(int week, int day, const std::array<int, 5>& sets) {
    const int doubled = Program::doubledSets(week, day);
    std::string text;
    for (int i = 0; i < 5; ++i) {
        if (i) text += ", ";
        text += base::format(i < doubled ? "%i(x2)" : "%i", sets[static_cast<std::size_t>(i)]);
    }
    return text;
}

// The day text of the home screen for a plan row at a position.
std::string dayText(int week, int day, int level, const Program& p, bool testDay) {
    if (testDay && Program::doubledSets(week, day) == 0) return "Test day";
    return base::format("Week %i, Day % i, Level %i\rReps: %@\rRest: %i seconds", week, day, level,
                        setsText(week, day, {p.rep1(), p.rep2(), p.rep3(), p.rep4(), p.rep5()}), p.interval());
}

const char* const kComplete = "Program complete!\rReset to another level";

const char* const kWeekDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// The local time a LogDate text holds, counted in milliseconds as if it were
// universal time, or nullopt when the text is not of that form.
std::optional<long long> wallClockMillis(const std::string& logDate);

}  // namespace

const void* DataAccess::classObject() {
    static const char tag = 0;
    return &tag;
}

// ---- the plan

std::shared_ptr<Program> DataAccess::getProgram(int day, int week, int level) {
    auto p = std::make_shared<Program>();
    Database db(planPath(), false);
    Statement stmt(db, base::format("select ProgramId, Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Interval "
                                    "from Program where day=%i and week=%i and level=%i",
                                    day, week, level));
    const int rc = stmt.isPrepared() ? stmt.step() : SQLITE_ERROR;
    if (rc == SQLITE_ROW) {
        p->setProgramId(stmt.integer(0));
        readProgramRow(stmt, *p, 1, true);
    } else if (rc != SQLITE_DONE) {
        reportFailure("DataAccess::getProgram", __LINE__, kPlanReadFailed, db.errorMessage());
        return nullptr;
    }
    return p;
}

std::shared_ptr<Program> DataAccess::getProgramForId(int programId) {
    auto p = std::make_shared<Program>();
    Database db(planPath(), false);
    Statement stmt(db, base::format("select ProgramId, Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Interval "
                                    "from Program where programId=%d",
                                    programId));
    const int rc = stmt.isPrepared() ? stmt.step() : SQLITE_ERROR;
    if (rc == SQLITE_ROW) {
        p->setProgramId(programId);
        readProgramRow(stmt, *p, 1, true);
    } else if (rc != SQLITE_DONE) {
        reportFailure("DataAccess::getProgramForId", __LINE__, kPlanReadFailed, db.errorMessage());
        return nullptr;
    }
    return p;
}

std::vector<std::shared_ptr<Program>> DataAccess::getProgramData() {
    std::vector<std::shared_ptr<Program>> rows;
    Database db(planPath(), false);
    Statement stmt(db, "select Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5 from Program");
    if (!stmt.isPrepared()) return rows;
    while (stmt.step() == SQLITE_ROW) {
        auto p = std::make_shared<Program>();
        readProgramRow(stmt, *p, 0, false);
        rows.push_back(std::move(p));
    }
    return rows;
}

// ---- the log

bool DataAccess::saveLog(const Log& log) { return saveLog(log, base::Date::now()); }

bool DataAccess::saveLog(const Log& log, base::Date moment) { return saveLog(log, logDateText(moment)); }

bool DataAccess::saveLog(const Log& log, const std::string& stamp) {
    static const WriteTexts texts{"DataAccess::saveLog", "Error: failed to prepare statement with message '%s'.",
                                  "Error: failed to insert into the database with message '%s'."};
    return runWrite(
        texts,
        "INSERT INTO LogDay(Week, Day, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9, Level, LogDate) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
        __LINE__, [&](Statement& stmt) {
            stmt.bind(1, log.week());
            stmt.bind(2, log.day());
            for (int i = 0; i < 9; ++i) stmt.bind(3 + i, log.reps()[static_cast<std::size_t>(i)]);
            stmt.bind(12, log.level());
            stmt.bind(13, stamp);
        });
}

std::optional<bool> DataAccess::holdsDay(const Log& log, base::Date moment) {
    return holdsDay(log, logDateText(moment));
}

std::optional<bool> DataAccess::holdsDay(const Log& log, const std::string& logDate) {
    Database db(logPath(), false);
    Statement stmt(db, "SELECT count(*) FROM LogDay WHERE Week = ? AND Day = ? AND Level = ? AND LogDate = ?");
    if (!stmt.isPrepared()) return std::nullopt;
    stmt.bind(1, log.week());
    stmt.bind(2, log.day());
    stmt.bind(3, log.level());
    stmt.bind(4, logDate);
    if (stmt.step() != SQLITE_ROW) return std::nullopt;
    return stmt.integer64(0) > 0;
}

std::optional<bool> DataAccess::holdsDayAt(const Log& log, base::Date moment) {
    Database db(logPath(), false);
    Statement stmt(db, "SELECT LogDate FROM LogDay WHERE Week = ? AND Day = ? AND Level = ?");
    if (!stmt.isPrepared()) return std::nullopt;
    stmt.bind(1, log.week());
    stmt.bind(2, log.day());
    stmt.bind(3, log.level());
    const long long at = std::llround(moment.timeIntervalSince1970() * 1000.0);
    int rc = SQLITE_ROW;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        const auto local = wallClockMillis(stmt.text(0));
        if (!local) continue;
        // The zone's offset, to a quarter hour: the moment in the settings
        // may have been rounded to the microsecond.
        constexpr long long kQuarter = 15LL * 60 * 1000;
        const long long offset = *local - at;
        if (offset < -12 * 4 * kQuarter - 1 || offset > 14 * 4 * kQuarter + 1) continue;
        const long long rest = ((offset % kQuarter) + kQuarter) % kQuarter;
        if (rest <= 1 || rest >= kQuarter - 1) return true;
    }
    if (rc != SQLITE_DONE) return std::nullopt;
    return false;
}

void DataAccess::updateDay(const Log& newData, const Log& oldData) {
    static const WriteTexts texts{"DataAccess::updateDay",
                                  "Error: failed to prepare update statement with message '%s'.",
                                  "Error: failed to update with message '%s'."};
    runWrite(texts,
             "UPDATE LogDay SET Week = ?, Day = ?, Level = ?, Rep1 = ?, Rep2 = ?, Rep3 = ?, Rep4 = ?, Rep5 = ?, "
             "Rep6 = ?, Rep7 = ?, Rep8 = ?, Rep9 = ?, LogDate = ? WHERE Week = ? AND Day = ? AND Level = ? AND "
             "Rep1 = ? AND Rep2 = ? AND Rep3 = ? AND Rep4 = ? AND Rep5 = ? AND Rep6 = ? AND Rep7 = ? AND Rep8 = ? "
             "AND Rep9 = ? AND LogDate = ?;",
             __LINE__, [&](Statement& stmt) {
                 bindLogColumns(stmt, 1, newData);
                 bindLogColumns(stmt, 14, oldData);
             });
}

void DataAccess::deleteDay(const Log& log) {
    static const WriteTexts texts{"DataAccess::deleteDay",
                                  "Error: Failed to prepare delete statement with message '%s'.",
                                  "Error: failed to delete with message '%s'."};
    runWrite(texts,
             "DELETE FROM LogDay WHERE Week = ? AND Day = ? AND Level = ? AND Rep1 = ? AND Rep2 = ? AND Rep3 = ? "
             "AND Rep4 = ? AND Rep5 = ? AND Rep6 = ? AND Rep7 = ? AND Rep8 = ? AND Rep9 = ? AND LogDate = ?;",
             __LINE__, [&](Statement& stmt) { bindLogColumns(stmt, 1, log); });
}

void DataAccess::clearAllData() {
    static const WriteTexts texts{"DataAccess::clearAllData",
                                  "Error: Failed to prepare delete statement with message '%s'.",
                                  "Error: failed to delete with message '%s'."};
    runWrite(texts, "DELETE FROM LogDay", __LINE__, [](Statement&) {});
}

void DataAccess::fillLog() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    const int currentDay = static_cast<int>(defaults.integerForKey(settingskeys::kDay));
    const int currentWeek = static_cast<int>(defaults.integerForKey(settingskeys::kWeek));
    const int level = static_cast<int>(defaults.integerForKey(settingskeys::kLevel));
    const long long n = static_cast<long long>(currentDay) + 3LL * currentWeek - 3;
    int day = 1;
    int week = 1;
    for (long long i = 0; i < n; ++i) {
        auto row = getProgram(day, week, level);
        if (!row) return;  // the plan cannot be read (reported): no day is logged as zeros
        Log log;
        log.setWeek(week);
        log.setDay(day);
        log.setLevel(level);
        log.setReps(row->nineSlots(week, day));
        saveLog(log);
        const auto next = Utility::nextDay(day, week);
        day = next.day;
        week = next.week;
    }
}

std::vector<std::shared_ptr<Log>> DataAccess::getLogData() { return readLog(); }

std::vector<std::shared_ptr<Log>> DataAccess::getLogDataReversed() {
    auto rows = readLog();
    // The time zone as it is now (the dates below read it without asking).
    tzset();
    for (auto& log : rows) log->setDateSort(dateOfLogDate(log->logDate()));
    // Later insertions first among days of the same date; a row whose date
    // can't be read sorts last.
    std::reverse(rows.begin(), rows.end());
    const auto newerFirst = [](const std::shared_ptr<Log>& a, const std::shared_ptr<Log>& b) {
        if (!a->dateSort()) return false;
        if (!b->dateSort()) return true;
        return *a->dateSort() > *b->dateSort();
    };
    // Days are logged in the order they happen, so the reversed list is
    // mostly in order already.
    if (!std::is_sorted(rows.begin(), rows.end(), newerFirst)) std::stable_sort(rows.begin(), rows.end(), newerFirst);
    return rows;
}

// ---- totals and texts

long long DataAccess::getTotalToday() {
    const int day = Utility::GetDay();
    const int week = Utility::GetWeek();
    const auto row = getProgram(day, week, Utility::getLevel());
    if (!row) return 0;
    long long sum = 0;
    for (int v : row->nineSlots(week, day)) sum += v;
    return sum;
}

long long DataAccess::getTotalYesterday() {
    const auto last = lastLogRow();
    if (!last || last->day() == 0 || last->week() == 0 || last->level() == 0) return 0;
    return last->total();
}

long long DataAccess::getTotalReps() {
    return singleInteger(
        "SELECT sum(rep1 + rep2 + rep3 + rep4 + rep5 + rep6 + rep7 + rep8 + rep9) as Total FROM LogDay");
}

long long DataAccess::getMaxReps() {
    return singleInteger(
        "SELECT MAX(rep1 + rep2 + rep3 + rep4 + rep5 + rep6 + rep7 + rep8 + rep9) as MaxTotal FROM LogDay");
}

std::string DataAccess::getTodayString() {
    const int week = Utility::GetWeek();
    const int day = Utility::GetDay();
    const int level = Utility::getLevel();
    if (week > 6) return kComplete;
    const auto row = getProgram(day, week, level);
    if (!row) return {};  // the plan cannot be read (reported): no day of zeros
    return dayText(week, day, level, *row, Utility::IsTestDay());
}

std::string DataAccess::getTomorrowString() {
    const auto next = Utility::nextDay(Utility::GetDay(), Utility::GetWeek());
    const int level = Utility::getLevel();
    if (next.week > 6) return kComplete;
    const auto row = getProgram(next.day, next.week, level);
    if (!row) return {};
    const bool testDay = next.day == 1 && (next.week == 3 || next.week == 5 || next.week == 6);
    return dayText(next.week, next.day, level, *row, testDay);
}

std::optional<std::string> DataAccess::getYesterdayString() {
    const auto last = lastLogRow();
    if (!last) return std::nullopt;
    const Log& l = *last;
    if (l.day() == 0 || l.week() == 0 || l.level() == 0) return std::string("N/A");
    return base::format("Week %i, Day % i, Level %i\rReps: %@", l.week(), l.day(), l.level(),
                        setsText(l.week(), l.day(), Program::setsOfSlots(l.week(), l.day(), l.reps())));
}

// ---- tests

void DataAccess::saveTest(const Test& test) {
    static const WriteTexts texts{"DataAccess::saveTest", "Error: failed to prepare statement with message '%s'.",
                                  "Error: failed to insert into the database with message '%s'."};
    const double now = base::Date::now().timeIntervalSince1970();
    runWrite(texts, "INSERT INTO Test(Week, Day, Score, TestDate) VALUES (?, ?, ?, ?);", __LINE__,
             [&](Statement& stmt) {
                 stmt.bind(1, test.week());
                 stmt.bind(2, test.day());
                 stmt.bind(3, test.score());
                 stmt.bind(4, now);
             });
}

void DataAccess::createNewTestTable() {
    Database db(logPath(), true);
    if (!db.isOpen()) return;
    {
        Statement query(db, "SELECT name FROM sqlite_master WHERE type='table' AND name='Test';");
        if (!query.isPrepared()) return;
        if (query.step() == SQLITE_ROW) return;
    }
    Statement create(db,
                     "CREATE TABLE Test (  Week INTEGER NOT NULL DEFAULT 0,  Day INTEGER NOT NULL DEFAULT 0,  "
                     "Score STRING NOT NULL DEFAULT 0, TestDate REAL);");
    if (!create.isPrepared() || create.step() != SQLITE_DONE)
        base::log("DataAccess: could not create the table Test: " + db.errorMessage());
}

namespace {
std::shared_ptr<Test> readTest(const Statement& stmt) {
    auto t = std::make_shared<Test>();
    t->setWeek(stmt.integer(0));
    t->setDay(stmt.integer(1));
    t->setScore(stmt.text(2));
    t->setTestDate(stmt.real(3));
    return t;
}
}  // namespace

std::vector<std::shared_ptr<Test>> DataAccess::getTestData() {
    std::vector<std::shared_ptr<Test>> rows;
    Database db(logPath(), false);
    Statement stmt(db, "select Week, Day, Score, TestDate from Test");
    if (!stmt.isPrepared()) return rows;
    while (stmt.step() == SQLITE_ROW) rows.push_back(readTest(stmt));
    return rows;
}

std::shared_ptr<Test> DataAccess::getTest(int day, int week) {
    Database db(logPath(), false);
    Statement stmt(db, base::format("select Week, Day, Score, TestDate from Test where day=%i and week=%i", day, week));
    if (stmt.isPrepared() && stmt.step() == SQLITE_ROW) return readTest(stmt);
    return std::make_shared<Test>();
}

// ---- start-up checks

// The start-up checks open the file for writing: SQLite then rolls back a
// journal that a program killed in the middle of a write left beside it (a
// reader alone cannot, and would find the file unusable).
bool DataAccess::planIsUsable(const std::string& path) {
    Database db(path, true);
    if (!db.isOpen()) return false;
    {
        Statement check(db, "PRAGMA quick_check");
        if (!check.isPrepared() || check.step() != SQLITE_ROW || check.text(0) != "ok") return false;
    }
    Statement rows(db, "select count(*) from Program");
    return rows.isPrepared() && rows.step() == SQLITE_ROW && rows.integer64(0) > 0;
}

bool DataAccess::logIsUsable(const std::string& path) {
    Database db(path, true);
    if (!db.isOpen()) return false;
    Statement rows(db, "select count(*) from LogDay");
    return rows.isPrepared() && rows.step() == SQLITE_ROW;
}

// ---- the LogDate text

std::string DataAccess::logDateText(base::Date date) {
    // Whole milliseconds, rounded: 45.123 is held as 45.12299... and must
    // still read .123.
    const long long total = std::llround(date.timeIntervalSince1970() * 1000.0);
    long long seconds = total / 1000;
    long long millis = total % 1000;
    if (millis < 0) {
        millis += 1000;
        seconds -= 1;
    }
    const std::time_t whole = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&whole, &local);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %04d %02d %02d %02d:%02d:%02d.%03d", kWeekDays[local.tm_wday % 7],
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return buffer;
}

namespace {
// A whole decimal number of at most maxDigits digits, nothing else.
std::optional<int> plainNumber(std::string_view field, std::size_t maxDigits) {
    if (field.empty() || field.size() > maxDigits) return std::nullopt;
    int v = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar.
long long daysFromCivil(long long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

std::optional<long long> wallClockMillis(const std::string& logDate) {
    // "Tue 2026 12 08 18:58:45.123": the week day, then fixed-width fields.
    const std::size_t blank = logDate.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const std::string_view t = std::string_view(logDate).substr(blank + 1);
    if (t.size() != 23 || t[4] != ' ' || t[7] != ' ' || t[10] != ' ' || t[13] != ':' || t[16] != ':' || t[19] != '.')
        return std::nullopt;
    const auto year = plainNumber(t.substr(0, 4), 4);
    const auto month = plainNumber(t.substr(5, 2), 2);
    const auto day = plainNumber(t.substr(8, 2), 2);
    const auto hour = plainNumber(t.substr(11, 2), 2);
    const auto minute = plainNumber(t.substr(14, 2), 2);
    const auto second = plainNumber(t.substr(17, 2), 2);
    const auto millis = plainNumber(t.substr(20, 3), 3);
    if (!year || !month || !day || !hour || !minute || !second || !millis || *month < 1 || *month > 12 || *day < 1 ||
        *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    const long long days = daysFromCivil(*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day));
    return ((days * 24 + *hour) * 60 + *minute) * 60000LL + *second * 1000LL + *millis;
}

// The start of a day in local time, as mktime gives it. mktime is slow (it
// searches, taking the time zone's lock again and again), and a long log
// asks for thousands of days in a row that mostly share one UTC offset: so
// the offset of the last day found is tried first, and kept when the local
// time at the guess is that day's midnight.
std::optional<std::time_t> localMidnight(int year, int month, int day) {
    thread_local long long lastOffset = 0;
    thread_local bool haveOffset = false;
    const long long utcMidnight = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400;
    if (haveOffset) {
        const std::time_t guess = static_cast<std::time_t>(utcMidnight - lastOffset);
        std::tm local{};
        if (localtime_r(&guess, &local) && local.tm_year == year - 1900 && local.tm_mon == month - 1 &&
            local.tm_mday == day && local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0)
            return guess;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1;
    const std::time_t t = std::mktime(&local);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    // A day past the month's end (31 April) is not a date.
    if (local.tm_mday != day || local.tm_mon != month - 1) return std::nullopt;
    lastOffset = utcMidnight - static_cast<long long>(t);
    haveOffset = true;
    return t;
}
}  // namespace

std::optional<base::Date> DataAccess::dateOfLogDate(const std::string& logDate) {
    // Fields split at single blanks; the second to fourth are read.
    std::string_view fields[4];
    std::size_t count = 0;
    std::size_t start = 0;
    const std::string_view text(logDate);
    while (count < 4) {
        const std::size_t blank = text.find(' ', start);
        fields[count++] = text.substr(start, blank == std::string_view::npos ? std::string_view::npos : blank - start);
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    if (count < 4) return std::nullopt;
    const auto year = plainNumber(fields[1], 4);
    const auto month = plainNumber(fields[2], 2);
    const auto day = plainNumber(fields[3], 2);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
    const std::optional<std::time_t> t = localMidnight(*year, *month, *day);
    if (!t) return std::nullopt;
    return base::Date(static_cast<double>(*t));
}
