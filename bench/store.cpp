// The store opens and closes its SQLite file on every call. These benchmarks
// time that design on a log of 10,000 days: the newest-first read (every row,
// its date parsed, sorted) beside a plain read of the same columns as its
// floor, the total over all rows, and saving one day.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/ui/Application.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;

// A launched application in a temporary home whose log holds kDays days,
// one per calendar day, inserted in one transaction.
class LoggedYears {
public:
    LoggedYears() {
        clock_ = std::make_shared<base::ManualClock>(1500000000.0);
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
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
        for (int i = 0; i < kDays; ++i) {
            const int week = (i / 3) % 6 + 1;
            sqlite3_bind_int(stmt, 1, week);
            sqlite3_bind_int(stmt, 2, i % 3 + 1);
            sqlite3_bind_int(stmt, 3, i % 3 + 1);
            for (int slot = 0; slot < 9; ++slot) sqlite3_bind_int(stmt, 4 + slot, slot < 5 ? 10 + slot : 0);
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
    base::ManualClock& clock() { return *clock_; }

private:
    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<TolvekAppDelegate> delegate_;
};

void BM_GetLogDataReversed(benchmark::State& state) {
    LoggedYears log;
    for (auto _ : state) {
        auto rows = DataAccess::getLogDataReversed();
        benchmark::DoNotOptimize(rows.data());
        if (rows.size() != static_cast<std::size_t>(kDays)) state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_GetLogDataReversed)->Unit(benchmark::kMillisecond);

// The floor of the read above: the same file opened, the same columns read
// into a vector of plain rows, and nothing else.
void BM_PlainSQLiteRead(benchmark::State& state) {
    LoggedYears log;
    struct Row {
        int columns[12];
        std::string logDate;
    };
    const std::string path = TolvekAppDelegate::shared()->logDatabasePath();
    for (auto _ : state) {
        std::vector<Row> rows;
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db,
                           "select Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9, LogDate "
                           "from LogDay",
                           -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            Row& row = rows.emplace_back();
            for (int c = 0; c < 12; ++c) row.columns[c] = sqlite3_column_int(stmt, c);
            row.logDate.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 12)),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt, 12)));
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows.data());
        if (rows.size() != static_cast<std::size_t>(kDays)) state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_PlainSQLiteRead)->Unit(benchmark::kMillisecond);

void BM_GetTotalReps(benchmark::State& state) {
    LoggedYears log;
    for (auto _ : state) benchmark::DoNotOptimize(DataAccess::getTotalReps());
}
BENCHMARK(BM_GetTotalReps)->Unit(benchmark::kMicrosecond);

void BM_SaveLog(benchmark::State& state) {
    LoggedYears log;
    Log day;
    day.initValues(3, 2, 2, 9, 11, 9, 9, 17, 0, 0, 0, 0, std::nullopt, {});
    for (auto _ : state) {
        log.clock().advance(0.001);
        DataAccess::saveLog(day);
    }
}
BENCHMARK(BM_SaveLog)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
