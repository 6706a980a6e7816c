// The log export on a log of 10,000 days: every day read through the store,
// turned into the CSV text and written as log.csv the way the export page
// does (the folder made if missing, the file replaced atomically), beside
// its floor: the same rows read with sqlite3 and printed with fprintf into
// a file in the same folder, byte for byte the same text. ExportText times
// the read and the text alone.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "LoggedYears.h"
#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/FileManager.h"
#include "platform/ui/Application.h"
#include "screens/ExportViewController.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;

// A log of kDays days whose sets vary from day to day.
bench::LoggedDay exportDay(int i) {
    bench::LoggedDay d{(i / 3) % 6 + 1, i % 3 + 1, i % 3 + 1, {}};
    for (int slot = 0; slot < 5; ++slot) d.reps[slot] = 10 + slot + i % 7;
    return d;
}

struct LoggedYears : bench::LoggedYears {
    LoggedYears() : bench::LoggedYears(kDays, exportDay) {}
};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// What the export page writes before it hands the file to the mail.
bool exportLog(const std::string& folder) {
    const std::string text = ExportViewController::csvText(DataAccess::getLogData());
    const base::Data bytes(text.begin(), text.end());
    auto& files = base::FileManager::defaultManager();
    return files.createDirectory(folder, true) &&
           files.writeAtomically(base::paths::join(folder, ExportViewController::kFileName), bytes);
}

// The floor: the rows read with sqlite3 and printed straight into the file.
bool floorExport(const std::string& logPath, const std::string& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(logPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return false;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "select LogDate, Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, Rep9 "
                       "from LogDay",
                       -1, &stmt, nullptr);
    std::FILE* out = std::fopen(file.c_str(), "w");
    if (!out) return false;
    std::fputs(ExportViewController::kHeader, out);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        int c[12];
        for (int i = 0; i < 12; ++i) c[i] = sqlite3_column_int(stmt, i + 1);
        std::fprintf(out, "%s, %i, %i, %i, %i, %i, %i, %i, %i, %i, %i, %i, %i \n",
                     reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), c[0], c[1], c[2], c[3], c[4], c[5],
                     c[6], c[7], c[8], c[9], c[10], c[11]);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return std::fclose(out) == 0;
}

void ExportLog(benchmark::State& state) {
    LoggedYears log;
    const std::string folder = log.folder();
    for (auto _ : state)
        if (!exportLog(folder)) state.SkipWithError("the export failed");
    const std::string floorFile = base::paths::join(folder, "floor.csv");
    floorExport(log.logPath(), floorFile);
    if (contents(base::paths::join(folder, ExportViewController::kFileName)) != contents(floorFile))
        state.SkipWithError("the floor does not write the export's text");
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(ExportLog)->Unit(benchmark::kMillisecond);

void ExportText(benchmark::State& state) {
    LoggedYears log;
    for (auto _ : state) {
        std::string text = ExportViewController::csvText(DataAccess::getLogData());
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(ExportText)->Unit(benchmark::kMillisecond);

void ExportFloor(benchmark::State& state) {
    LoggedYears log;
    const std::string file = base::paths::join(log.folder(), "floor.csv");
    for (auto _ : state)
        if (!floorExport(log.logPath(), file)) state.SkipWithError("the floor failed");
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(ExportFloor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
