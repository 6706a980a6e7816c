#pragma once
// Shared set-up of the training tests: a temporary home, a manual clock, an
// installed application delegate whose databases live in the temporary
// Documents, and an assertion handler that records reports.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/base/FileManager.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/Application.h"
#include "training/TolvekAppDelegate.h"

namespace storetest {

// The shared temporary home of the tests (HOME and XDG_* point into it).
using TemporaryHome = test::TempHome;

struct Report {
    std::string method;
    const void* object;
    std::string file;
    int line;
    std::string description;
};

// Records assertion reports instead of throwing.
class RecordingHandler : public base::AssertionHandler {
public:
    void handleFailureInMethod(const std::string& method, const void* object, const std::string& file, int line,
                               const std::string& description) override {
        reports.push_back({method, object, file, line, description});
    }
    void handleFailureInFunction(const std::string& function, const std::string& file, int line,
                                 const std::string& description) override {
        reports.push_back({function, nullptr, file, line, description});
    }
    std::vector<Report> reports;
};

// Runs SQL on a file (creating it), for fixtures and checks.
inline bool execSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The integers of the first column of a query's rows.
inline std::vector<long long> queryIntegers(const std::string& path, const std::string& sql) {
    std::vector<long long> values;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK)
            while (sqlite3_step(stmt) == SQLITE_ROW) values.push_back(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return values;
}

// The application as the store sees it: launched in a temporary home on a
// manual clock, with store reports recorded.
inline ui::Application& app() { return ui::Application::sharedApplication(); }

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<base::ManualClock>();
        base::Clock::setCurrent(clock);
        ui::Application::resetSharedApplication();
        delegate = std::make_shared<TolvekAppDelegate>();
        ui::Application::sharedApplication().launch(delegate);
        handler = std::make_shared<RecordingHandler>();
        previousHandler = base::AssertionHandler::setCurrent(handler);
    }
    void TearDown() override {
        base::AssertionHandler::setCurrent(nullptr);
        ui::Application::resetSharedApplication();
        base::Clock::setCurrent(nullptr);
    }

    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    void setPosition(int day, int week, int level, bool test = false) {
        defaults().setInteger("Tolvek_Day", day);
        defaults().setInteger("Tolvek_Week", week);
        defaults().setInteger("Tolvek_Level", level);
        defaults().setBool("Tolvek_Test", test);
    }
    // Rewrites one plan row of the Documents copy.
    void setPlanRow(int week, int day, int level, std::array<int, 5> reps, int interval) {
        ASSERT_TRUE(execSql(delegate->databasePath(),
                            "UPDATE Program SET Rep1=" + std::to_string(reps[0]) + ", Rep2=" + std::to_string(reps[1]) +
                                ", Rep3=" + std::to_string(reps[2]) + ", Rep4=" + std::to_string(reps[3]) +
                                ", Rep5=" + std::to_string(reps[4]) + ", Interval=" + std::to_string(interval) +
                                " WHERE Week=" + std::to_string(week) + " AND Day=" + std::to_string(day) +
                                " AND Level=" + std::to_string(level)));
    }
    long long logRows() {
        auto v = queryIntegers(delegate->logDatabasePath(), "SELECT count(*) FROM LogDay");
        return v.empty() ? -1 : v[0];
    }

    TemporaryHome home;
    std::shared_ptr<base::ManualClock> clock;
    std::shared_ptr<TolvekAppDelegate> delegate;
    std::shared_ptr<RecordingHandler> handler;
    std::shared_ptr<base::AssertionHandler> previousHandler;
};

}  // namespace storetest
