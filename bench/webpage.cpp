// The page parser over pages that hold nothing but one character sequence
// repeated up to a given size (256 KB, 1 MB and the 4 MB answer bound):
// "&" (an entity that never closes), "&#" (a numeric one that never
// closes) and "<" (a tag that never closes). Each page must parse in time
// proportional to its size; the bytes-per-second figure shows whether it
// does (it stays flat as the page grows).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "platform/net/URLConnection.h"
#include "platform/ui/WebView.h"

namespace {

std::string repeated(const std::string& unit, std::size_t size) {
    std::string page;
    page.reserve(size);
    while (page.size() + unit.size() <= size) page += unit;
    return page;
}

void parseRun(benchmark::State& state, const std::string& unit) {
    const std::string page = repeated(unit, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ui::WebPage parsed = ui::WebPage::parse(page, "https://127.0.0.1/");
        benchmark::DoNotOptimize(parsed);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(page.size()));
}

void BM_AmpersandRun(benchmark::State& state) { parseRun(state, "&"); }
void BM_NumericEntityRun(benchmark::State& state) { parseRun(state, "&#"); }
void BM_LessThanRun(benchmark::State& state) { parseRun(state, "<"); }

constexpr std::int64_t kQuarter = 256 * 1024;
constexpr std::int64_t kOne = 1024 * 1024;
constexpr auto kCap = static_cast<std::int64_t>(net::MaximumResponseLength);

BENCHMARK(BM_AmpersandRun)->Arg(kQuarter)->Arg(kOne)->Arg(kCap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumericEntityRun)->Arg(kQuarter)->Arg(kOne)->Arg(kCap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LessThanRun)->Arg(kQuarter)->Arg(kOne)->Arg(kCap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
