#include "charts/CHTTickGeneration.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "charts/CHTUtilities.h"

double niceNum(double x, bool round) {
    if (x == 0 || std::isnan(x)) return x == 0 ? 0 : x;
    double a = std::fabs(x);
    if (std::isinf(a)) return x;
    double e = std::pow(10.0, std::floor(std::log10(a)));
    double f = a / e;
    double nice;
    if (round) nice = f < 1.5 ? 1 : f < 3 ? 2 : f < 7 ? 5 : 10;
    else nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    return std::copysign(nice * e, x);
}

namespace {

bool finite(const base::Decimal& d) { return !d.isNaN(); }

// Collects the ticks of one generation within the caps. More majors than
// their cap leave no ticks at all; more ticks in all than their cap drop
// the minor ticks only, while the majors fit.
class TickCollector {
public:
    TickCollector(const CHTTickPolicy& policy, CHTTickLocations& out) : policy_(policy), out_(out) {}

    // false once the majors are past their cap: both sets are then empty.
    bool addMajor(const base::Decimal& t) {
        if (out_.major.size() >= policy_.maximumMajorTickLocations && !out_.major.count(t)) {
            out_.major.clear();
            out_.minor.clear();
            out_.cap = CHTTickCap::AllTicksDropped;
            return false;
        }
        out_.major.insert(t);
        return true;
    }
    void addMinor(const base::Decimal& t) {
        if (minorsDropped_) return;
        if (out_.minor.size() >= policy_.maximumTickLocations && !out_.minor.count(t)) return dropMinors();
        out_.minor.insert(t);
    }
    bool wantsMinors() const { return !minorsDropped_; }
    // Checks the count of all ticks once the majors are known.
    void finish() {
        if (out_.major.size() + out_.minor.size() > policy_.maximumTickLocations) dropMinors();
    }

private:
    void dropMinors() {
        minorsDropped_ = true;
        out_.minor.clear();
        out_.cap = CHTTickCap::MinorTicksDropped;
    }
    const CHTTickPolicy& policy_;
    CHTTickLocations& out_;
    bool minorsDropped_ = false;
};

// How far past a limit of the range a tick may come out, as a fraction of
// its spacing, and still stand on that limit. Tick locations are sums and
// products that round (to 38 decimal digits, or to doubles), and a limit
// that is exact in decimals is not in binary: without the tolerance a tick
// that lies on the range's end in decimals can be lost.
constexpr double kTickTolerance = 1e-9;

const base::Decimal& decimalTickTolerance() {
    static const base::Decimal tolerance = base::Decimal::fromString("0.000000001");
    return tolerance;
}

// The limits of a working range in decimals, with the tolerance of one
// spacing of ticks. The tolerance is a billionth of the spacing or of the
// range's length, whichever is shorter: on a range much narrower than the
// spacing a billionth of the spacing could reach across the whole range and
// move a tick inside it onto a limit.
struct TickLimits {
    base::Decimal min, max, tolerance;
    TickLimits(const base::Decimal& lo, const base::Decimal& hi, const base::Decimal& spacing)
        : min(lo), max(hi), tolerance(CHTDecimalMultiply(shorter(spacing, lo, hi), decimalTickTolerance())) {}
    bool pastMax(const base::Decimal& t) const { return CHTDecimalGreaterThan(CHTDecimalSubtract(t, tolerance), max); }
    bool belowMin(const base::Decimal& t) const { return CHTDecimalLessThan(CHTDecimalAdd(t, tolerance), min); }
    // Where a tick at t stands: on a limit when t is within the tolerance
    // of it (on either side), else at t inside the range; nothing farther
    // outside.
    std::optional<base::Decimal> place(const base::Decimal& t) const {
        if (!finite(t) || pastMax(t) || belowMin(t)) return std::nullopt;
        if (!CHTDecimalGreaterThan(CHTDecimalSubtract(t, tolerance), min)) return min;
        if (!CHTDecimalLessThan(CHTDecimalAdd(t, tolerance), max)) return max;
        return t;
    }

private:
    static base::Decimal shorter(const base::Decimal& spacing, const base::Decimal& lo, const base::Decimal& hi) {
        const base::Decimal length = CHTDecimalSubtract(hi, lo);
        return finite(length) && CHTDecimalLessThan(length, spacing) ? length : spacing;
    }
};

// The step of m minor ticks per interval (m + 1 parts). m becomes 0 when
// the step is not a positive decimal.
base::Decimal minorStep(const base::Decimal& interval, unsigned& m) {
    const base::Decimal zero = base::Decimal::zero();
    base::Decimal step = m > 0 ? CHTDecimalDivide(interval, CHTDecimalFromUnsignedLong(m + 1UL)) : zero;
    if (m > 0 && (!finite(step) || !CHTDecimalGreaterThan(step, zero))) m = 0;
    return step;
}

// The decimal tick loop of the fixed-interval and the equal-division
// policies: majors at first, first + interval, ... up to max, each followed
// by up to m minor ticks a step apart up to max, and the m minor ticks of
// the interval below first down to min (there are none when first is min).
// Those are walked down from first: on a range narrower than one interval,
// first lies past max and the minors inside the range are the lower ones of
// that interval, so minors past max are skipped, not the end. A tick a
// little past a limit still stands on it: a third of a range is rounded to
// 38 digits, and the last division may come out just past max.
CHTTickLocations decimalTickLocations(const base::Decimal& min, const base::Decimal& max, const base::Decimal& first,
                                      const base::Decimal& interval, unsigned m, const CHTTickPolicy& policy) {
    CHTTickLocations out;
    const base::Decimal step = minorStep(interval, m);
    const TickLimits majorLimits(min, max, interval), minorLimits(min, max, m > 0 ? step : interval);
    TickCollector ticks(policy, out);

    base::Decimal below = first;
    for (unsigned j = 0; j < m && ticks.wantsMinors(); ++j) {
        base::Decimal next = CHTDecimalSubtract(below, step);
        if (!finite(next) || !CHTDecimalLessThan(next, below) || minorLimits.belowMin(next)) break;
        below = next;
        if (auto at = minorLimits.place(next)) ticks.addMinor(*at);
    }
    base::Decimal t = first;
    while (!majorLimits.pastMax(t)) {
        if (auto at = majorLimits.place(t); at && !ticks.addMajor(*at)) return out;
        base::Decimal minorAt = t;
        for (unsigned j = 0; j < m && ticks.wantsMinors(); ++j) {
            base::Decimal next = CHTDecimalAdd(minorAt, step);
            if (!finite(next) || !CHTDecimalGreaterThan(next, minorAt) || minorLimits.pastMax(next)) break;
            minorAt = next;
            if (auto at = minorLimits.place(next)) ticks.addMinor(*at);
        }
        base::Decimal next = CHTDecimalAdd(t, interval);
        if (!finite(next) || !CHTDecimalGreaterThan(next, t)) break;  // t no longer grows
        t = next;
    }
    ticks.finish();
    return out;
}

// The nice interval of the automatic policy as an exact decimal: niceNum
// gives 1, 2 or 5 times a power of ten, which a double holds only nearly.
base::Decimal niceDecimal(double interval) {
    char text[40];
    std::snprintf(text, sizeof text, "%.12g", interval);
    return base::Decimal::fromString(text);
}

// Whether the majors from index first to last are more than their cap (or
// cannot be counted): the automatic policy then makes no ticks.
bool tooManyMajors(double first, double last, const CHTTickPolicy& policy) {
    return !(std::isfinite(first) && std::isfinite(last) &&
             last - first + 1 <= static_cast<double>(policy.maximumMajorTickLocations) + 2.0);
}

// Automatic on a linear scale, over [min, max] (doubles for the interval,
// decimals for the locations).
void automaticLinearTicks(double min, double max, const base::Decimal& minLimit, const base::Decimal& maxLimit,
                          double len, unsigned n, unsigned m, const CHTTickPolicy& policy, CHTTickLocations& out) {
    if (n == 0) n = 5;
    else if (n == 1) n = 2;
    double interval = niceNum(len / (n - 1.0), true);
    if (!std::isfinite(interval) || interval <= 0) return;
    double first = std::floor(min / interval), last = std::ceil(max / interval);
    if (tooManyMajors(first, last, policy)) {
        out.cap = CHTTickCap::AllTicksDropped;
        return;
    }
    // So many intervals from zero that neighbouring ticks would be one
    // number in doubles: no ticks rather than a count out of range.
    if (std::fabs(first) > 1e15 || std::fabs(last) > 1e15) return;
    // The majors are whole multiples of the interval, made and compared
    // with the range's limits in decimals; one more on each side makes up
    // for a quotient that rounded the wrong way in doubles.
    const base::Decimal zero = base::Decimal::zero();
    const base::Decimal step = niceDecimal(interval);
    if (!finite(step) || !CHTDecimalGreaterThan(step, zero)) return;
    const base::Decimal minorStepValue = minorStep(step, m);
    const TickLimits majorLimits(minLimit, maxLimit, step),
        minorLimits(minLimit, maxLimit, m > 0 ? minorStepValue : step);
    TickCollector ticks(policy, out);
    for (long long i = static_cast<long long>(first) - 1; i <= static_cast<long long>(last) + 1; ++i) {
        const base::Decimal value = CHTDecimalMultiply(step, CHTDecimalFromLongLong(i));
        if (auto at = majorLimits.place(value); at && !ticks.addMajor(*at)) return;
        // Every minor of this interval lies below min: none to try.
        if (CHTDecimalLessThanOrEqualTo(CHTDecimalAdd(value, step), minLimit)) continue;
        // In the interval that holds min, the minors start just below it.
        unsigned j = 1;
        base::Decimal minorValue = value;
        if (CHTDecimalLessThan(value, minLimit)) {
            base::Decimal skipped;
            base::decimalRound(&skipped, CHTDecimalDivide(CHTDecimalSubtract(minLimit, value), minorStepValue), 0,
                               base::RoundingMode::Down);
            const double count = std::clamp(skipped.toDouble() - 1, 0.0, static_cast<double>(m));
            j += static_cast<unsigned>(count);
            minorValue =
                CHTDecimalAdd(value, CHTDecimalMultiply(minorStepValue, CHTDecimalFromDouble(std::floor(count))));
        }
        for (; j <= m && ticks.wantsMinors(); ++j) {
            base::Decimal next = CHTDecimalAdd(minorValue, minorStepValue);
            if (!finite(next) || !CHTDecimalGreaterThan(next, minorValue) || minorLimits.pastMax(next)) break;
            minorValue = next;
            if (auto at = minorLimits.place(minorValue)) ticks.addMinor(*at);
        }
    }
    ticks.finish();
}

// Automatic on a log scale, over [min, max] with min > 0 (doubles, the
// locations made from them).
void automaticLogTicks(double min, double max, const base::Decimal& minLimit, const base::Decimal& maxLimit, double len,
                       unsigned n, unsigned m, const CHTTickPolicy& policy, CHTTickLocations& out) {
    if (n == 0) n = 5;
    double L = std::log10(len);
    double interval = std::fabs(L) >= n ? niceNum(L / (n - 1.0), true) : (L < 0 ? -1.0 : 1.0);
    // The magnitude: a negative interval (ranges shorter than 1) would take
    // logarithms of negative numbers.
    double magnitude = std::fabs(interval);
    if (!std::isfinite(magnitude) || magnitude <= 0) return;
    double first = std::floor(std::log10(min / magnitude)), last = std::ceil(std::log10(max / magnitude));
    if (tooManyMajors(first, last, policy)) {
        out.cap = CHTTickCap::AllTicksDropped;
        return;
    }
    // Ticks made in doubles, kept within the tolerance of the limits (a
    // major relative to its value, as log ticks lie a factor apart; a minor
    // relative to the minor step; neither more than a billionth of the
    // range's length) and then standing on them.
    auto place = [&](double v, double tolerance) -> std::optional<base::Decimal> {
        if (!(v >= min - tolerance && v <= max + tolerance)) return std::nullopt;
        if (v <= min + tolerance) return minLimit;
        if (v >= max - tolerance) return maxLimit;
        return CHTDecimalFromDouble(v);
    };
    TickCollector ticks(policy, out);
    double base = std::pow(10.0, magnitude);
    double step = base * std::pow(10.0, std::floor(std::log10(min))) / (m + 1.0);
    for (long long i = static_cast<long long>(first); i <= static_cast<long long>(last); ++i, step *= base) {
        double value = std::pow(10.0, static_cast<double>(i) * magnitude);
        if (auto at = place(value, std::min(value, len) * kTickTolerance); at && !ticks.addMajor(*at)) return;
        const double minorTolerance = std::min(step, len) * kTickTolerance;
        if (value + m * step < min - minorTolerance) continue;
        // In the decade that holds min, the minors start just below it.
        unsigned j = 1;
        if (value < min) j += static_cast<unsigned>(std::clamp(std::floor((min - value) / step) - 1, 0.0, double(m)));
        double previous = value;
        for (; j <= m && ticks.wantsMinors(); ++j) {
            double minorValue = value + j * step;
            // A step too small to move the value makes no more ticks.
            if (!(minorValue > previous) || !(minorValue <= max + minorTolerance)) break;
            previous = minorValue;
            if (auto at = place(minorValue, minorTolerance)) ticks.addMinor(*at);
        }
    }
    ticks.finish();
}

}  // namespace

CHTTickLocations CHTFixedIntervalTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy) {
    const base::Decimal zero = base::Decimal::zero();
    const base::Decimal& interval = policy.majorIntervalLength;
    if (!finite(interval) || !CHTDecimalGreaterThan(interval, zero)) return {};
    base::Decimal min = range.minLimit(), max = range.maxLimit();
    const base::Decimal& origin = policy.labelingOrigin;
    if (!finite(min) || !finite(max) || !finite(origin)) return {};

    // The first whole number of intervals from the origin that reaches min,
    // within the tolerance (a quotient of 2.000…01 still means 2).
    base::Decimal quotient = CHTDecimalDivide(CHTDecimalSubtract(min, origin), interval);
    base::Decimal whole;
    base::decimalRound(&whole, CHTDecimalSubtract(quotient, decimalTickTolerance()), 0, base::RoundingMode::Up);
    base::Decimal first = CHTDecimalAdd(origin, CHTDecimalMultiply(interval, whole));
    if (!finite(first)) return {};
    return decimalTickLocations(min, max, first, interval, policy.minorTicksPerInterval, policy);
}

CHTTickLocations CHTEqualDivisionTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy) {
    const base::Decimal zero = base::Decimal::zero();
    base::Decimal length = range.length();
    base::Decimal min = range.minLimit(), max = range.maxLimit();
    if (!finite(length) || !finite(min) || !finite(max) || length == zero) return {};

    unsigned n = policy.preferredNumberOfMajorTicks;
    base::Decimal interval =
        CHTDecimalDivide(length, n > 1 ? CHTDecimalFromUnsignedLong(n - 1UL) : base::Decimal::one());
    if (CHTDecimalLessThan(interval, zero)) interval = CHTDecimalSubtract(zero, interval);
    if (!finite(interval) || !CHTDecimalGreaterThan(interval, zero)) return {};
    return decimalTickLocations(min, max, min, interval, policy.minorTicksPerInterval, policy);
}

CHTTickLocations CHTAutomaticTickLocations(const CHTPlotRange& range, const CHTTickPolicy& policy) {
    double min = range.minLimitDouble(), max = range.maxLimitDouble();
    double length = range.lengthDouble();
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(length) || length == 0) return {};
    if (policy.scaleType == CHTScaleTypeLog) {
        if (min <= 0 || max <= 0) return {};
    } else if (policy.scaleType != CHTScaleTypeLinear) {
        return {};
    }
    const base::Decimal minLimit = range.minLimit(), maxLimit = range.maxLimit();
    if (!finite(minLimit) || !finite(maxLimit)) return {};
    unsigned n = policy.preferredNumberOfMajorTicks;
    unsigned m = policy.minorTicksPerInterval;
    double len = std::fabs(length);
    CHTTickLocations out;
    if (policy.scaleType == CHTScaleTypeLinear)
        automaticLinearTicks(min, max, minLimit, maxLimit, len, n, m, policy, out);
    else automaticLogTicks(min, max, minLimit, maxLimit, len, n, m, policy, out);
    return out;
}
