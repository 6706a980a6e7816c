// The log table over a log of 10,000 days, as the progress screen shows it:
// a page drawn after a swipe (the table scrolled to a new offset, its cells
// laid out and the visible rows drawn into the page's 320 x 416 points at
// 2x), the reload the page does each time it is shown, and beside them a
// floor: cairo and pango drawing the same visible rows (background,
// separator, calendar image, date, two detail lines, the round accessory)
// straight into the same context, texts formatted as the page formats them.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "LoggedYears.h"
#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/Exception.h"
#include "platform/gfx/Context.h"
#include "platform/gfx/Text.h"
#include "platform/ui/Application.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/TableView.h"
#include "screens/DayText.h"
#include "screens/LogTableViewController.h"
#include "screens/RegisterScreens.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/TolvekAppDelegate.h"

namespace {

constexpr int kDays = 10000;
constexpr gfx::Size kPage{320, 416};
// How far one swipe carries the list (a fast flick's worth of rows).
constexpr ui::Float kSwipe = 2437;

// Every day with as many sets as the plan gives it (every sixth a nine-set
// day).
bench::LoggedDay tableDay(int i) {
    bench::LoggedDay d{(i / 3) % 6 + 1, i % 3 + 1, 2, {}};
    const int set = 10 + static_cast<int>(7 * std::sin(i / 60.0)) + i % 5;
    const int sets = dayTextValueCount(d.week, d.day);
    for (int slot = 0; slot < 9; ++slot) d.reps[slot] = slot < sets ? set : 0;
    return d;
}

struct LoggedYears : bench::LoggedYears {
    LoggedYears() : bench::LoggedYears(kDays, tableDay, registerScreens) {}
};

std::shared_ptr<LogTableViewController> logPage() {
    auto page = std::make_shared<LogTableViewController>();
    page->loadData();
    return page;
}

// The offset after the swipe that follows `offset`: down the list, and back
// to the top once past the last page (which is drawn too).
ui::Float nextOffset(ui::Float offset, ui::Float last) {
    if (offset >= last) return 0;
    return std::min(offset + kSwipe, last);
}

ui::Float lastOffset(const ui::TableView& table) {
    return std::max<ui::Float>(0, table.contentSize().height - table.bounds().height());
}

// A page after a swipe: the table moved to its new offset, laid out and
// drawn.
void LogTablePageAfterSwipe10kDays(benchmark::State& state) {
    LoggedYears log;
    auto page = logPage();
    auto table = page->logTableView();
    if (table->numberOfRowsInSection(0) != kDays + 1) {
        const std::string why = "the table has " + std::to_string(table->numberOfRowsInSection(0)) + " rows";
        state.SkipWithError(why.c_str());
        return;
    }
    gfx::ImageContext ctx(kPage, 2);
    page->view()->renderInContext(ctx);
    const ui::Float last = lastOffset(*table);
    ui::Float offset = table->contentOffset().y;
    for (auto _ : state) {
        offset = nextOffset(offset, last);
        table->setContentOffset(ui::Point(0, offset));
        ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage));
        page->view()->renderInContext(ctx);
        ctx.flush();
    }
}

// What showing the page costs: the log read and the table reloaded and
// drawn.
void LogTableLoadDataAndFrame10kDays(benchmark::State& state) {
    LoggedYears log;
    auto page = logPage();
    gfx::ImageContext ctx(kPage, 2);
    for (auto _ : state) {
        page->loadData();
        ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage));
        page->view()->renderInContext(ctx);
        ctx.flush();
    }
}

// The floor: the rows visible at each offset of the same swipes drawn with
// cairo and pango alone, texts formatted from the records as the page does.
void FloorSameVisibleRows10kDays(benchmark::State& state) {
    LoggedYears log;
    auto page = logPage();
    auto table = page->logTableView();
    const auto records = page->logData();
    const ui::Float rowHeight = LogTableViewController::kRowHeight;
    const ui::Float last = lastOffset(*table);
    const auto calendar = homelook::bundleImage("calendar_r.png");
    const gfx::Font dateFont = gfx::Font::boldSystemFont(17);
    gfx::ImageContext ctx(kPage, 2);
    ui::Float offset = table->contentOffset().y;
    for (auto _ : state) {
        offset = nextOffset(offset, last);
        ctx.clearRect(gfx::Rect(gfx::Point(0, 0), kPage));
        ctx.setFillColor(gfx::Color::white());
        ctx.fillRect(gfx::Rect(gfx::Point(0, 0), kPage));
        // Row 0 is the sort row; row r > 0 shows record r - 1.
        const int first = static_cast<int>(std::floor(offset / rowHeight));
        for (int row = std::max(first, 1); row * rowHeight < offset + kPage.height; ++row) {
            if (row - 1 >= static_cast<int>(records.size())) break;
            const auto& day = records[static_cast<std::size_t>(row - 1)];
            const ui::Float y = row * rowHeight - offset;
            ctx.setFillColor(gfx::Color::white());
            ctx.fillRect(gfx::Rect(0, y, 320, rowHeight));
            ctx.setFillColor(ui::draw::separator());
            ctx.fillRect(gfx::Rect(0, y + rowHeight - 1, 320, 1));
            if (calendar) ctx.drawImageTopDown(gfx::Rect(5, y + (rowHeight - 40) / 2, 40, 40), *calendar);
            const DayText text = makeDayText(day->week(), day->day(), day->level(), day->reps());
            ctx.setFillColor(gfx::Color::black());
            gfx::drawText(ctx, LogTableViewController::dateText(day->logDate()), gfx::Rect(55, y + 8, 215, 21),
                          dateFont, gfx::LineBreakMode::TailTruncation);
            ctx.setFillColor(gfx::Color::gray(0.5f));
            gfx::drawText(ctx, text.text, gfx::Rect(55, y + 29, 215, 40), text.font);
            ctx.setFillColor(ui::draw::rgb(36, 112, 216));
            ctx.fillEllipseInRect(gfx::Rect(284, y + rowHeight / 2 - 14, 28, 28));
        }
        ctx.flush();
    }
}

}  // namespace

BENCHMARK(LogTablePageAfterSwipe10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(FloorSameVisibleRows10kDays)->Unit(benchmark::kMillisecond);
BENCHMARK(LogTableLoadDataAndFrame10kDays)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
