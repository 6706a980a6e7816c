// The web view showing large pages at 2x in its 320 x 460 points: the first
// frame of a page (the page read, laid out and drawn, each step timed as
// the window would run it, the longest one reported as "longest_ms") and
// the frame drawn after one wheel notch, for 16 KB, 1 MB and the 4 MB
// answer bound of text paragraphs, and for pages of 300,000 text fields and
// of as many as the bound holds.
// "WebViewFirstFrameAndRedrawRatio" measures a 1 MB page against a 16 KB
// one in the same iterations: the ratios of their first frames and of
// their redraws. "peak_rss_MB" is the process's peak so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "TestEnvironment.h"
#include "platform/base/Clock.h"
#include "platform/base/RunLoop.h"
#include "platform/gfx/Context.h"
#include "platform/net/URLConnection.h"
#include "platform/ui/Application.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"

namespace {

constexpr gfx::Size kView{320, 460};

// Paragraphs of ordinary words, each about 600 bytes, up to size bytes;
// every page is new (numbered paragraphs), so that no text measured for
// an earlier page is measured again from a cache.
std::string textPage(std::size_t size) {
    static int pages = 0;
    const std::string page_number = std::to_string(++pages);
    static const char* words[] = {"push-up", "the",  "training", "plan", "of",    "six",   "weeks",
                                  "rest",    "sets", "level",    "and",  "today", "chest", "arms"};
    std::string page = "<html><head><title>A long page</title></head><body>";
    std::size_t w = 0;
    while (page.size() + 700 < size) {
        page += "<p>" + page_number + "." + std::to_string(w) + " ";
        for (int k = 0; k < 90; ++k) {
            page += words[(w * 7 + w / 13) % std::size(words)];
            page += ' ';
            ++w;
        }
        page += "</p>";
    }
    return page + "</body></html>";
}

std::string fieldsPage(int count) {
    std::string page = "<form action='/f' method=post>";
    for (int i = 0; i < count; ++i) page += "<input>";
    return page + "</form>";
}

double peakRSSMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// An application on the manual clock with the web view in its window.
class Browser {
public:
    Browser() {
        clock_ = std::make_shared<base::ManualClock>();
        base::Clock::setCurrent(clock_);
        ui::Application::resetSharedApplication();
        window_ = std::make_shared<ui::Window>();
        window_->makeKeyAndVisible();
        web_ = std::make_shared<ui::WebView>(gfx::Rect(gfx::Point(0, 20), kView));
        window_->addSubview(web_);
    }
    ~Browser() {
        web_.reset();
        window_.reset();
        ui::Application::resetSharedApplication();
        base::RunLoop::main().advanceBy(1);
        base::Clock::setCurrent(nullptr);
    }
    // Loads the page and draws its first frame; answers the longest step
    // the window would have been still for, in milliseconds.
    double firstFrame(const std::string& html) {
        web_->loadHTMLString(html, "https://127.0.0.1/page");
        double longest = 0;
        for (int step = 0; step < 10000 && web_->isLoading(); ++step) {
            const auto start = Clock::now();
            base::RunLoop::main().advanceBy(0.001);
            longest = std::max(longest, msSince(start));
        }
        const auto start = Clock::now();
        draw();
        return std::max(longest, msSince(start));
    }
    // One wheel notch (down, or back up at the bottom) and the frame after it.
    void notchAndRedraw() {
        const ui::Float before = web_->bounds().minY();
        web_->scrollWheel(ui::Point(160, 200), 0, direction_);
        if (web_->bounds().minY() == before) {
            direction_ = -direction_;
            web_->scrollWheel(ui::Point(160, 200), 0, direction_);
        }
        draw();
    }
    void draw() {
        ctx_.clearRect(gfx::Rect(gfx::Point(0, 0), kView));
        web_->renderInContext(ctx_);
        ctx_.flush();
    }

private:
    test::TempHome home_;
    std::shared_ptr<base::ManualClock> clock_;
    std::shared_ptr<ui::Window> window_;
    std::shared_ptr<ui::WebView> web_;
    gfx::ImageContext ctx_{kView, 2};
    ui::Float direction_ = -1;
};

void WebViewFirstFrame(benchmark::State& state, const std::function<std::string()>& makePage) {
    double longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string html = makePage();
        auto browser = std::make_unique<Browser>();
        state.ResumeTiming();
        longest = std::max(longest, browser->firstFrame(html));
        state.PauseTiming();  // the application's teardown is no part of it
        browser.reset();
        state.ResumeTiming();
    }
    state.counters["longest_ms"] = longest;
    state.counters["peak_rss_MB"] = peakRSSMegabytes();
}

void WebViewRedraw(benchmark::State& state, const std::string& html) {
    Browser browser;
    browser.firstFrame(html);
    for (auto _ : state) browser.notchAndRedraw();
    state.counters["peak_rss_MB"] = peakRSSMegabytes();
}

void WebViewFirstFrameText(benchmark::State& state) {
    WebViewFirstFrame(state, [&] { return textPage(static_cast<std::size_t>(state.range(0))); });
}
void WebViewRedrawText(benchmark::State& state) {
    WebViewRedraw(state, textPage(static_cast<std::size_t>(state.range(0))));
}
void WebViewFirstFrameFields(benchmark::State& state) {
    WebViewFirstFrame(state, [&] { return fieldsPage(static_cast<int>(state.range(0))); });
}

// A 1 MB page against a 16 KB page, both in every iteration.
void WebViewFirstFrameAndRedrawRatio(benchmark::State& state) {
    double firstSmall = 0, firstLarge = 0, redrawSmall = 0, redrawLarge = 0;
    constexpr int kNotches = 20;
    for (auto _ : state) {
        for (int which = 0; which < 2; ++which) {
            state.PauseTiming();
            const std::string html = textPage(which ? 1024 * 1024 : 16 * 1024);
            state.ResumeTiming();
            Browser browser;
            auto start = Clock::now();
            browser.firstFrame(html);
            (which ? firstLarge : firstSmall) += msSince(start);
            start = Clock::now();
            for (int k = 0; k < kNotches; ++k) browser.notchAndRedraw();
            (which ? redrawLarge : redrawSmall) += msSince(start) / kNotches;
        }
    }
    state.counters["first_frame_1MB_over_16KB"] = firstLarge / firstSmall;
    state.counters["redraw_1MB_over_16KB"] = redrawLarge / redrawSmall;
}

constexpr std::int64_t k16K = 16 * 1024, k1M = 1024 * 1024;
constexpr auto kCap = static_cast<std::int64_t>(net::MaximumResponseLength) - 1024;

BENCHMARK(WebViewFirstFrameAndRedrawRatio)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewFirstFrameText)->Arg(k16K)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewRedrawText)->Arg(k16K)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewFirstFrameText)->Arg(k1M)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewRedrawText)->Arg(k1M)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewFirstFrameText)->Arg(kCap)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewRedrawText)->Arg(kCap)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(WebViewFirstFrameFields)->Arg(300000)->Iterations(1)->Unit(benchmark::kMillisecond);
// As many fields as the answer bound holds.
BENCHMARK(WebViewFirstFrameFields)->Arg(kCap / 7)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
