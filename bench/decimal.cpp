// Exact decimal arithmetic against the same work in double.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/base/Decimal.h"

namespace {

using base::Decimal;

std::vector<Decimal> decimals() {
    std::vector<Decimal> v;
    for (int i = 1; i <= 64; ++i) v.push_back(Decimal::fromDouble(i * 1.37 + 0.01 * i));
    return v;
}

std::vector<double> doubles() {
    std::vector<double> v;
    for (int i = 1; i <= 64; ++i) v.push_back(i * 1.37 + 0.01 * i);
    return v;
}

template <base::CalculationError (*Op)(Decimal*, const Decimal&, const Decimal&, base::RoundingMode)>
void decimalOp(benchmark::State& state) {
    auto v = decimals();
    std::size_t i = 0;
    for (auto _ : state) {
        Decimal r;
        Op(&r, v[i % v.size()], v[(i + 7) % v.size()], base::RoundingMode::Bankers);
        benchmark::DoNotOptimize(r);
        ++i;
    }
}

template <typename F>
void doubleOp(benchmark::State& state, F op) {
    auto v = doubles();
    std::size_t i = 0;
    for (auto _ : state) {
        double r = op(v[i % v.size()], v[(i + 7) % v.size()]);
        benchmark::DoNotOptimize(r);
        ++i;
    }
}

void DecimalAdd(benchmark::State& s) { decimalOp<base::decimalAdd>(s); }
void DecimalMultiply(benchmark::State& s) { decimalOp<base::decimalMultiply>(s); }
void DecimalDivide(benchmark::State& s) { decimalOp<base::decimalDivide>(s); }
void DoubleAdd(benchmark::State& s) {
    doubleOp(s, [](double a, double b) { return a + b; });
}
void DoubleMultiply(benchmark::State& s) {
    doubleOp(s, [](double a, double b) { return a * b; });
}
void DoubleDivide(benchmark::State& s) {
    doubleOp(s, [](double a, double b) { return a / b; });
}

}  // namespace

BENCHMARK(DecimalAdd);
BENCHMARK(DoubleAdd);
BENCHMARK(DecimalMultiply);
BENCHMARK(DoubleMultiply);
BENCHMARK(DecimalDivide);
BENCHMARK(DoubleDivide);

BENCHMARK_MAIN();
