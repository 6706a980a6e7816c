// The progress screen's chart page over a log of 10,000 days, as the
// application builds it (theme, axes, title, plot): one frame of the line
// graph and of the bar graph drawn into the page's 320 x 416 points at 2x,
// and the whole reload the page does each time it is shown (reading the log,
// building the graph, pulling the numbers) with its first frame.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <string>

#include "TestEnvironment.h"
#include "charts/CHTXYGraph.h"
#include "platform/base/Exception.h"
#include "platform/base/Clock.h"
#include "platform/gfx/Context.h"
#include "platform/ui/Application.h"
#include "screens/DrawGraphViewController.h"
#include "screens/RegisterScreens.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;
constexpr gfx::Size kPage{320, 416};

// A launched application in a temporary home whose log holds kDays days
// with totals that rise and fall over the weeks.
class LoggedYears {
public:
    LoggedYears() {
        clock_ = std::make_shared<base::ManualClock>(1500000000.0);
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
        registerScreens();
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
            sqlite3_bind_int(stmt, 1, (i / 3) % 6 + 1);
            sqlite3_bind_int(stmt, 2, i % 3 + 1);
            sqlite3_bind_int(stmt, 3, 2);
            const int set = 10 + static_cast<int>(7 * std::sin(i / 60.0)) + i % 5;
            for (int slot = 0; slot < 9; ++slot) sqlite3_bind_int(stmt, 4 + slot, slot < 5 ? set : 0);
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

private:
    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<TolvekAppDelegate> delegate_;
};

std::shared_ptr<DrawGraphViewController> chartPage(bool bars) {
    auto page = std::make_shared<DrawGraphViewController>();
    page->setGraphType(bars);
    page->reloadGraph();
    return page;
}

// One frame of the graph shown, data already pulled (the first frame is
// drawn before timing).
void Frame(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    if (page->graphData().size() != static_cast<std::size_t>(kDays)) state.SkipWithError("wrong day count");
    gfx::ImageContext ctx(kPage, 2, gfx::YAxis::Up);
    page->barChart()->layoutAndRenderInContext(ctx);
    for (auto _ : state) {
        ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage));
        page->barChart()->layoutAndRenderInContext(ctx);
        ctx.flush();
    }
}

// What showing the page costs: the log read, a new graph, its numbers and
// its first frame.
void ReloadAndFirstFrame(benchmark::State& state, bool bars) {
    LoggedYears log;
    auto page = chartPage(bars);
    gfx::ImageContext ctx(kPage, 2, gfx::YAxis::Up);
    for (auto _ : state) {
        page->reloadGraph();
        ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage));
        page->barChart()->layoutAndRenderInContext(ctx);
        ctx.flush();
    }
}

void LineGraphFrame10kDays(benchmark::State& state) { Frame(state, false); }
void BarGraphFrame10kDays(benchmark::State& state) { Frame(state, true); }
void LineGraphReloadAndFrame10kDays(benchmark::State& state) { ReloadAndFirstFrame(state, false); }
void BarGraphReloadAndFrame10kDays(benchmark::State& state) { ReloadAndFirstFrame(state, true); }

}  // namespace

BENCHMARK(LineGraphFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(LineGraphReloadAndFrame10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(BarGraphReloadAndFrame10kDays)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
