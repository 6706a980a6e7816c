// The store opens and closes its SQLite file on every call. These benchmarks
// time that design on a log of 10,000 days: the newest-first read (every row,
// its date parsed, sorted) beside a plain read of the same columns as its
// floor, the total over all rows, and saving one day.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

#include "LoggedYears.h"
#include "TestEnvironment.h"
#include "platform/base/Bundle.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/ui/Application.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;

bench::LoggedDay storeDay(int i) {
    bench::LoggedDay d{(i / 3) % 6 + 1, i % 3 + 1, i % 3 + 1, {}};
    for (int slot = 0; slot < 5; ++slot) d.reps[slot] = 10 + slot;
    return d;
}

struct LoggedYears : bench::LoggedYears {
    LoggedYears() : bench::LoggedYears(kDays, storeDay) {}
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
