#pragma once
// A launched application in a temporary home whose log holds many days, one
// per calendar day from a fixed date, inserted in one transaction: the log
// the store, table, chart and export benchmarks work on. Each benchmark says
// what the i-th day holds.
#include <sqlite3.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/base/FileManager.h"
#include "platform/ui/Application.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace bench {

struct LoggedDay {
    int week = 1, day = 1, level = 1;
    std::array<int, 9> reps{};
};

class LoggedYears {
public:
    // `beforeLaunch` runs once the clock and application are fresh, before
    // the delegate launches (a benchmark of screens registers them there).
    LoggedYears(int days, const std::function<LoggedDay(int)>& dayAt, const std::function<void()>& beforeLaunch = {}) {
        clock_ = std::make_shared<base::ManualClock>(1500000000.0);
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
        if (beforeLaunch) beforeLaunch();
        delegate_ = std::make_shared<TolvekAppDelegate>();
        ui::Application::sharedApplication().launch(delegate_);

        sqlite3* db = nullptr;
        sqlite3_open_v2(delegate_->logDatabasePath().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO LogDay(Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, "
                           "Rep9, LogDate) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &stmt, nullptr);
        for (int i = 0; i < days; ++i) {
            const LoggedDay d = dayAt(i);
            sqlite3_bind_int(stmt, 1, d.week);
            sqlite3_bind_int(stmt, 2, d.day);
            sqlite3_bind_int(stmt, 3, d.level);
            for (int slot = 0; slot < 9; ++slot) sqlite3_bind_int(stmt, 4 + slot, d.reps[slot]);
            const std::string date = DataAccess::logDateText(base::Date(1500000000.0 + 86400.0 * i));
            sqlite3_bind_text(stmt, 13, date.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    ~LoggedYears() {
        ui::Application::resetSharedApplication();
        base::AssertionHandler::setCurrent(nullptr);
        base::Clock::setCurrent(nullptr);
    }
    LoggedYears(const LoggedYears&) = delete;
    LoggedYears& operator=(const LoggedYears&) = delete;

    base::ManualClock& clock() { return *clock_; }
    std::string logPath() const { return delegate_->logDatabasePath(); }
    std::string folder() const { return base::paths::documents(); }

private:
    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<TolvekAppDelegate> delegate_;
};

}  // namespace bench
