#include "platform/base/Decimal.h"

#include <boost/multiprecision/cpp_int.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstring>
#include <limits>
#include <system_error>

namespace base {

namespace {

using boost::multiprecision::cpp_int;
constexpr unsigned kPow10Count = 385;

constexpr int kMaxDigits = 38;
constexpr int kMaxExponent = 127;
constexpr int kMinExponent = -128;

// An exact value: (negative ? -1 : 1) * magnitude * 10^exponent, with a wide
// exponent so intermediate results never overflow before rounding.
struct Wide {
    bool negative = false;
    cpp_int magnitude;
    int exponent = 0;
};

const cpp_int& maxMantissa() {
    static const cpp_int m = (cpp_int(1) << 128) - 1;
    return m;
}

// Powers of ten, cached. Callers never ask beyond the width of the integer
// type: dropping more digits than a value has is handled without a power.
const cpp_int& pow10(unsigned n) {
    static const std::array<cpp_int, kPow10Count> table = [] {
        std::array<cpp_int, kPow10Count> t;
        t[0] = 1;
        for (std::size_t i = 1; i < t.size(); ++i) t[i] = t[i - 1] * 10;
        return t;
    }();
    return table[std::min<unsigned>(n, kPow10Count - 1)];
}

int digitCount(const cpp_int& v) {
    if (v == 0) return 0;
    // Estimate from the bit length, then correct by comparison.
    unsigned bits = static_cast<unsigned>(boost::multiprecision::msb(v)) + 1;
    int d = static_cast<int>(bits * 30103ULL / 100000ULL);  // log10(2)
    if (d < 1) d = 1;
    while (d > 1 && v < pow10(static_cast<unsigned>(d - 1))) --d;
    while (v >= pow10(static_cast<unsigned>(d))) ++d;
    return d;
}

// The mantissa words in use. The length field has room for 15 but the
// mantissa holds 8: a decimal copied in from outside with a larger length
// is read no further than the array (where such decimals enter, they are
// refused).
int wordsInUse(const Decimal& d) { return d.length > 8 ? 8 : static_cast<int>(d.length); }

Wide unpack(const Decimal& d) {
    Wide w;
    w.negative = d.isNegative;
    w.exponent = d.exponent;
    for (int i = wordsInUse(d) - 1; i >= 0; --i) {
        w.magnitude <<= 16;
        w.magnitude += d.mantissa[i];
    }
    return w;
}

// Whether dropping a remainder of `dropped` (out of a unit of `unit`) from a
// truncated quotient should round the quotient's magnitude up. `sticky` says
// the true value lies slightly above the truncated one (an inexact division).
bool roundsUp(const cpp_int& quotient, const cpp_int& dropped, const cpp_int& unit, bool sticky, bool negative,
              RoundingMode mode) {
    bool inexact = dropped != 0 || sticky;
    if (!inexact) return false;
    switch (mode) {
    case RoundingMode::Down:  // toward negative infinity
        return negative;
    case RoundingMode::Up:  // toward positive infinity
        return !negative;
    case RoundingMode::Plain:
    case RoundingMode::Bankers: {
        cpp_int twice = dropped * 2;
        if (twice > unit) return true;
        if (twice < unit) return false;
        if (sticky) return true;  // just above the half
        if (mode == RoundingMode::Plain) return true;
        return (quotient & 1) != 0;  // half to even
    }
    }
    return false;
}

// Drops the `count` lowest digits of w's magnitude with rounding.
// Returns true when a non-zero part was dropped.
bool dropDigits(Wide& w, int count, bool sticky, RoundingMode mode) {
    if (count <= 0) return sticky;
    if (count > digitCount(w.magnitude)) {
        // Everything goes, and what goes is below a tenth of the unit: only
        // the directed modes round away from zero.
        bool inexact = w.magnitude != 0 || sticky;
        bool away =
            inexact && ((mode == RoundingMode::Up && !w.negative) || (mode == RoundingMode::Down && w.negative));
        w.magnitude = away ? 1 : 0;
        w.exponent += count;
        return inexact;
    }
    const cpp_int& unit = pow10(static_cast<unsigned>(count));
    cpp_int quotient, dropped;
    boost::multiprecision::divide_qr(w.magnitude, unit, quotient, dropped);
    bool inexact = dropped != 0 || sticky;
    if (roundsUp(quotient, dropped, unit, sticky, w.negative, mode)) quotient += 1;
    w.magnitude = std::move(quotient);
    w.exponent += count;
    return inexact;
}

Decimal makeNaN() {
    Decimal d;
    d.isNegative = 1;
    return d;
}

// ---- 128-bit fast paths ----
// Most values of the charting code have short mantissas and nearby
// exponents: their exact results fit in 128 bits with at most 38 digits and
// need no rounding, so the wide integer is left for the rest.

using u128 = unsigned __int128;

constexpr u128 pow10u(int n) {
    u128 v = 1;
    for (int i = 0; i < n; ++i) v *= 10;
    return v;
}
constexpr u128 kTen38 = pow10u(38);
constexpr u128 kMax128 = ~u128(0);

const u128* pow10Table() {
    static const auto table = [] {
        std::array<u128, 39> t{};
        for (int i = 0; i <= 38; ++i) t[static_cast<std::size_t>(i)] = pow10u(i);
        return t;
    }();
    return table.data();
}

u128 mantissaOf(const Decimal& d) {
    u128 m = 0;
    for (int i = wordsInUse(d) - 1; i >= 0; --i) m = (m << 16) | d.mantissa[i];
    return m;
}

cpp_int toWide(u128 v) {
    cpp_int w = static_cast<unsigned long long>(v >> 64);
    w <<= 64;
    w += static_cast<unsigned long long>(v);
    return w;
}

// Packs an exact value of at most 38 digits. Answers false (leaving *out
// alone) when the exponent is too small to fit without rounding.
bool packSmall(Decimal* out, bool negative, u128 magnitude, int exponent, CalculationError* error) {
    if (magnitude == 0) {
        *out = Decimal{};
        *error = CalculationError::None;
        return true;
    }
    while (exponent < kMaxExponent && magnitude % 10 == 0) {
        magnitude /= 10;
        ++exponent;
    }
    while (exponent > kMaxExponent && magnitude <= kMax128 / 10) {
        magnitude *= 10;
        --exponent;
    }
    if (exponent > kMaxExponent) {
        *out = makeNaN();
        *error = CalculationError::Overflow;
        return true;
    }
    if (exponent < kMinExponent) return false;
    Decimal d;
    d.exponent = static_cast<std::int8_t>(exponent);
    d.isNegative = negative ? 1 : 0;
    d.isCompact = 1;
    unsigned length = 0;
    for (int i = 0; i < 8 && magnitude != 0; ++i) {
        d.mantissa[i] = static_cast<std::uint16_t>(magnitude & 0xFFFF);
        magnitude >>= 16;
        length = static_cast<unsigned>(i + 1);
    }
    d.length = length;
    *out = d;
    *error = CalculationError::None;
    return true;
}

// Rounds the exact value once, to at most 38 digits and to the smallest
// exponent at the same time, and packs it. `sticky` marks a value known to
// lie just above its magnitude (the remainder of a division). With
// fullMantissa a value of 39 digits that the mantissa holds exactly is kept
// as it is (text read back must give the decimal it was written from).
CalculationError pack(Decimal* out, Wide w, RoundingMode mode, bool sticky = false, bool fullMantissa = false) {
    CalculationError error = CalculationError::None;
    if (fullMantissa) {
        // Trailing zeros are exact: drop them before counting digits.
        while (w.magnitude != 0 && w.exponent < 100000 && w.magnitude % 10 == 0) {
            w.magnitude /= 10;
            ++w.exponent;
        }
    }
    int digits = digitCount(w.magnitude);
    int limit = fullMantissa && digits == kMaxDigits + 1 && w.magnitude <= maxMantissa() ? digits : kMaxDigits;
    // One rounding: as many digits go as the digit limit or the exponent's
    // lower limit asks, whichever asks more.
    int drop = std::max(digits - limit, kMinExponent - w.exponent);
    if (drop > 0) {
        if (dropDigits(w, drop, sticky, mode)) error = CalculationError::LossOfPrecision;
    } else if (sticky) {
        // Callers give at least 39 digits with a sticky remainder; this keeps
        // the rule total all the same.
        if (roundsUp(w.magnitude, 0, 1, true, w.negative, mode)) w.magnitude += 1;
        error = CalculationError::LossOfPrecision;
    }

    if (w.magnitude == 0) {
        *out = Decimal{};
        return error == CalculationError::None ? CalculationError::None : CalculationError::Underflow;
    }

    // Remove trailing zeros (compact form), as far as the exponent allows.
    while (w.exponent < kMaxExponent && (w.magnitude % 10) == 0) {
        w.magnitude /= 10;
        ++w.exponent;
    }
    // Too large an exponent: move it into the mantissa while that fits.
    while (w.exponent > kMaxExponent && w.magnitude * 10 <= maxMantissa()) {
        w.magnitude *= 10;
        --w.exponent;
    }
    if (w.exponent > kMaxExponent) {
        *out = makeNaN();
        return CalculationError::Overflow;
    }
    if (w.exponent < kMinExponent) {
        if (dropDigits(w, kMinExponent - w.exponent, false, mode)) error = CalculationError::LossOfPrecision;
        if (w.magnitude == 0) {
            *out = Decimal{};
            return CalculationError::Underflow;
        }
        // Rounding up may have produced a trailing zero; compact again.
        while (w.exponent < kMaxExponent && (w.magnitude % 10) == 0) {
            w.magnitude /= 10;
            ++w.exponent;
        }
    }

    Decimal d;
    d.exponent = static_cast<std::int8_t>(w.exponent);
    d.isNegative = w.negative ? 1 : 0;
    d.isCompact = 1;
    cpp_int m = w.magnitude;
    unsigned length = 0;
    for (int i = 0; i < 8 && m != 0; ++i) {
        d.mantissa[i] = static_cast<std::uint16_t>(static_cast<unsigned>(m & 0xFFFF));
        m >>= 16;
        length = static_cast<unsigned>(i + 1);
    }
    d.length = length;
    *out = d;
    return error;
}

CalculationError nanResult(Decimal* result) {
    *result = makeNaN();
    return CalculationError::None;
}

// Brings two exact values to the same (lower) exponent.
void align(Wide& a, Wide& b) {
    if (a.exponent > b.exponent) {
        a.magnitude *= pow10(static_cast<unsigned>(a.exponent - b.exponent));
        a.exponent = b.exponent;
    } else if (b.exponent > a.exponent) {
        b.magnitude *= pow10(static_cast<unsigned>(b.exponent - a.exponent));
        b.exponent = a.exponent;
    }
}

int compareMagnitudes(Wide a, Wide b) {
    align(a, b);
    if (a.magnitude < b.magnitude) return -1;
    if (a.magnitude > b.magnitude) return 1;
    return 0;
}

// The exact value truncated toward zero to an integer.
cpp_int truncatedInteger(const Decimal& d) {
    Wide w = unpack(d);
    cpp_int v;
    if (w.exponent >= 0) v = w.magnitude * pow10(static_cast<unsigned>(w.exponent));
    else v = w.magnitude / pow10(static_cast<unsigned>(-w.exponent));
    return w.negative ? cpp_int(-v) : v;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

Decimal Decimal::zero() { return Decimal{}; }

Decimal Decimal::one() { return fromInteger(1); }

Decimal Decimal::notANumber() { return makeNaN(); }

Decimal Decimal::maximum() {
    Decimal d;
    d.exponent = kMaxExponent;
    d.length = 8;
    d.isCompact = 1;
    for (auto& word : d.mantissa) word = 0xFFFF;
    return d;
}

Decimal Decimal::minimum() {
    Decimal d = maximum();
    d.isNegative = 1;
    return d;
}

namespace {

// Machine integers fit the mantissa exactly: no wide arithmetic needed.
Decimal fromMagnitude(unsigned long long magnitude, bool negative) {
    Decimal d;
    if (magnitude == 0) return d;
    int exponent = 0;
    while (magnitude % 10 == 0) {
        magnitude /= 10;
        ++exponent;
    }
    d.exponent = static_cast<std::int8_t>(exponent);
    d.isNegative = negative ? 1 : 0;
    d.isCompact = 1;
    unsigned length = 0;
    for (int i = 0; i < 4 && magnitude != 0; ++i) {
        d.mantissa[i] = static_cast<std::uint16_t>(magnitude & 0xFFFF);
        magnitude >>= 16;
        length = static_cast<unsigned>(i + 1);
    }
    d.length = length;
    return d;
}

}  // namespace

Decimal Decimal::fromInteger(long long v) {
    // Negate in unsigned arithmetic: well defined for LLONG_MIN too.
    bool negative = v < 0;
    unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    return fromMagnitude(magnitude, negative);
}

Decimal Decimal::fromUnsigned(unsigned long long v) { return fromMagnitude(v, false); }

Decimal Decimal::fromDouble(double v) {
    if (!std::isfinite(v)) return makeNaN();
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    if (ec != std::errc()) return makeNaN();
    return fromString(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

Decimal Decimal::fromString(std::string_view text) {
    std::size_t i = 0, n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    Wide w;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        w.negative = text[i] == '-';
        ++i;
    }
    // Digits go into the mantissa; fraction digits lower the exponent.
    // Beyond a generous cap, further integer digits only raise the exponent
    // and further fraction digits are dropped (they are rounded away anyway).
    constexpr int kDigitCap = 80;
    int kept = 0;
    long long exponent = 0;
    bool anyDigit = false;
    bool droppedNonZero = false;
    // Up to 38 significant digits accumulate in 128 bits; more move the
    // value into the wide integer.
    u128 small = 0;
    bool wide = false;
    auto addDigit = [&](int digit) {
        if (!wide && (kept < kMaxDigits || (small == 0 && digit == 0))) {
            small = small * 10 + static_cast<unsigned>(digit);
        } else {
            if (!wide) {
                w.magnitude = toWide(small);
                wide = true;
            }
            w.magnitude = w.magnitude * 10 + digit;
        }
        if (kept > 0 || digit != 0) ++kept;
    };
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        anyDigit = true;
        if (kept < kDigitCap) {
            addDigit(text[i] - '0');
        } else {
            ++exponent;
            droppedNonZero |= text[i] != '0';
        }
        ++i;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            anyDigit = true;
            if (kept < kDigitCap) {
                addDigit(text[i] - '0');
                --exponent;
            } else {
                droppedNonZero |= text[i] != '0';
            }
            ++i;
        }
    }
    if (!anyDigit) return makeNaN();
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i >= n || text[i] < '0' || text[i] > '9') return makeNaN();
        long long e = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            if (e < 100000) e = e * 10 + (text[i] - '0');  // far beyond any range
            ++i;
        }
        exponent += negativeExponent ? -e : e;
    }
    while (i < n && isBlank(text[i])) ++i;
    if (i != n) return makeNaN();

    if (!wide) {
        if (small == 0) return Decimal{};
        CalculationError error;
        Decimal d;
        if (exponent >= kMinExponent && exponent <= 100000 &&
            packSmall(&d, w.negative, small, static_cast<int>(exponent), &error))
            return d;
        w.magnitude = toWide(small);
    }
    if (w.magnitude == 0) return Decimal{};
    // Keep the exponent within int range; pack() turns extremes into
    // overflow (NaN) or underflow (zero).
    exponent = std::clamp(exponent, -100000LL, 100000LL);
    w.exponent = static_cast<int>(exponent);
    Decimal d;
    pack(&d, std::move(w), RoundingMode::Plain, droppedNonZero, true);
    return d;
}

double Decimal::toDouble() const {
    if (isNaN()) return std::numeric_limits<double>::quiet_NaN();
    if (length == 0) return 0.0;
    // Both the mantissa and the power of ten exact in doubles: one correctly
    // rounded multiplication or division.
    static constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    u128 m = mantissaOf(*this);
    if (m < (u128(1) << 53) && exponent >= -22 && exponent <= 22) {
        double v = static_cast<double>(static_cast<unsigned long long>(m));
        v = exponent >= 0 ? v * kExactPowers[exponent] : v / kExactPowers[-exponent];
        return isNegative ? -v : v;
    }
    // The decimal text "<mantissa>e<exponent>" read by from_chars is the
    // correctly rounded double.
    Wide w = unpack(*this);
    std::string text = w.magnitude.str();
    text += 'e';
    text += std::to_string(w.exponent);
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
    return isNegative ? -value : value;
}

long long Decimal::toInteger() const {
    if (length == 0) return 0;
    cpp_int v = truncatedInteger(*this);
    if (v > cpp_int(std::numeric_limits<long long>::max())) return std::numeric_limits<long long>::max();
    if (v < cpp_int(std::numeric_limits<long long>::min())) return std::numeric_limits<long long>::min();
    return v.convert_to<long long>();
}

unsigned long long Decimal::toUnsigned() const {
    if (length == 0) return 0;
    cpp_int v = truncatedInteger(*this);
    if (v <= 0) return 0;
    if (v > cpp_int(std::numeric_limits<unsigned long long>::max()))
        return std::numeric_limits<unsigned long long>::max();
    return v.convert_to<unsigned long long>();
}

std::string Decimal::toString() const {
    if (isNaN()) return "NaN";
    if (length == 0) return "0";
    Wide w = unpack(*this);
    std::string digits = w.magnitude.str();
    std::string out;
    if (w.negative) out += '-';
    if (w.exponent >= 0) {
        out += digits;
        out.append(static_cast<std::size_t>(w.exponent), '0');
    } else {
        std::size_t fraction = static_cast<std::size_t>(-w.exponent);
        if (digits.size() <= fraction) {
            out += "0.";
            out.append(fraction - digits.size(), '0');
            out += digits;
        } else {
            out += digits.substr(0, digits.size() - fraction);
            out += '.';
            out += digits.substr(digits.size() - fraction);
        }
    }
    return out;
}

CalculationError decimalAdd(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode) {
    if (a.isNaN() || b.isNaN()) return nanResult(result);
    {
        u128 x = mantissaOf(a), y = mantissaOf(b);
        int ex = a.exponent, ey = b.exponent;
        const u128* p10 = pow10Table();
        if (x < kTen38 && y < kTen38) {
            // Align when the larger-exponent mantissa stays below 10^38.
            if (ex > ey && ex - ey <= 38 && x < p10[38 - (ex - ey)]) {
                x *= p10[ex - ey];
                ex = ey;
            } else if (ey > ex && ey - ex <= 38 && y < p10[38 - (ey - ex)]) {
                y *= p10[ey - ex];
                ey = ex;
            }
            if (ex == ey) {
                bool xn = a.isNegative, yn = b.isNegative;
                bool negative;
                u128 sum;
                if (xn == yn) {
                    negative = xn;
                    sum = x + y;  // below 2 * 10^38 < 2^128
                } else if (x >= y) {
                    negative = xn;
                    sum = x - y;
                } else {
                    negative = yn;
                    sum = y - x;
                }
                CalculationError error;
                if (sum < kTen38 && packSmall(result, negative, sum, ex, &error)) return error;
            }
        }
    }
    Wide x = unpack(a), y = unpack(b);
    align(x, y);
    Wide sum;
    sum.exponent = x.exponent;
    if (x.negative == y.negative) {
        sum.negative = x.negative;
        sum.magnitude = x.magnitude + y.magnitude;
    } else if (x.magnitude >= y.magnitude) {
        sum.negative = x.negative;
        sum.magnitude = x.magnitude - y.magnitude;
    } else {
        sum.negative = y.negative;
        sum.magnitude = y.magnitude - x.magnitude;
    }
    return pack(result, std::move(sum), mode);
}

CalculationError decimalSubtract(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode) {
    if (a.isNaN() || b.isNaN()) return nanResult(result);
    Decimal negated = b;
    if (negated.length != 0) negated.isNegative = !b.isNegative;
    return decimalAdd(result, a, negated, mode);
}

CalculationError decimalMultiply(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode) {
    if (a.isNaN() || b.isNaN()) return nanResult(result);
    if (a.length <= 4 && b.length <= 4) {
        // Two 64-bit mantissas: the product fits in 128 bits.
        u128 product = mantissaOf(a) * mantissaOf(b);
        CalculationError error;
        if (product < kTen38 &&
            packSmall(result, a.isNegative != b.isNegative, product, a.exponent + b.exponent, &error))
            return error;
    }
    Wide x = unpack(a), y = unpack(b);
    Wide product;
    product.negative = x.negative != y.negative;
    product.magnitude = x.magnitude * y.magnitude;
    product.exponent = x.exponent + y.exponent;
    return pack(result, std::move(product), mode);
}

CalculationError decimalDivide(Decimal* result, const Decimal& a, const Decimal& b, RoundingMode mode) {
    if (a.isNaN() || b.isNaN()) return nanResult(result);
    if (b.isZero()) {
        *result = makeNaN();
        return CalculationError::DivideByZero;
    }
    if (a.isZero()) {
        *result = Decimal{};
        return CalculationError::None;
    }
    if (b.length <= 4) {
        // A divisor below 2^64: long division in 128 bits, 19 digits at a
        // time, to a 38-digit quotient; the remainder decides the rounding.
        const u128* p10 = pow10Table();
        u128 x = mantissaOf(a);
        unsigned long long y = static_cast<unsigned long long>(mantissaOf(b));
        u128 q = x / y, r = x % y;
        if (q < kTen38) {
            auto digits = [p10](u128 v) {
                int d = 0;
                while (d < 39 && v >= p10[d]) ++d;
                return d;
            };
            int k = 0;
            while (r != 0 && q < p10[37]) {
                int c = q == 0 ? 19 : std::min(19, kMaxDigits - digits(q));
                u128 t = r * p10[c];
                q = q * p10[c] + t / y;
                r = t % y;
                k += c;
            }
            bool negative = a.isNegative != b.isNegative;
            bool inexact = r != 0;
            bool up = false;
            if (inexact) {
                u128 twice = r * 2;
                switch (mode) {
                case RoundingMode::Down: up = negative; break;
                case RoundingMode::Up: up = !negative; break;
                case RoundingMode::Plain: up = twice >= y; break;
                case RoundingMode::Bankers: up = twice > y || (twice == y && (q & 1) != 0); break;
                }
            }
            if (up) q += 1;
            CalculationError error;
            if (packSmall(result, negative, q, a.exponent - b.exponent - k, &error)) {
                if (error == CalculationError::None && inexact) error = CalculationError::LossOfPrecision;
                return error;
            }
        }
    }
    Wide x = unpack(a), y = unpack(b);
    // Scale the dividend so the quotient has at least 39 digits; the
    // remainder then only decides the rounding of the last one.
    int scale = std::max(0, digitCount(y.magnitude) + kMaxDigits + 1 - digitCount(x.magnitude));
    cpp_int dividend = x.magnitude * pow10(static_cast<unsigned>(scale));
    Wide quotient;
    quotient.negative = x.negative != y.negative;
    quotient.exponent = x.exponent - y.exponent - scale;
    cpp_int remainder;
    boost::multiprecision::divide_qr(dividend, y.magnitude, quotient.magnitude, remainder);
    return pack(result, std::move(quotient), mode, remainder != 0);
}

CalculationError decimalPower(Decimal* result, const Decimal& a, unsigned power, RoundingMode mode) {
    if (a.isNaN()) return nanResult(result);
    Decimal value = Decimal::one();
    Decimal base = a;
    CalculationError error = CalculationError::None;
    auto note = [&error](CalculationError e) {
        if (e != CalculationError::None && error == CalculationError::None) error = e;
    };
    // Square and multiply; each step rounds to 38 digits.
    while (power != 0) {
        if (power & 1U) {
            note(decimalMultiply(&value, value, base, mode));
            if (value.isNaN()) break;
        }
        power >>= 1U;
        if (power != 0) {
            note(decimalMultiply(&base, base, base, mode));
            if (base.isNaN()) {
                value = base;
                break;
            }
        }
    }
    *result = value;
    return error;
}

CalculationError decimalMultiplyByPowerOf10(Decimal* result, const Decimal& a, short power, RoundingMode mode) {
    if (a.isNaN()) return nanResult(result);
    Wide w = unpack(a);
    w.exponent += power;
    return pack(result, std::move(w), mode);
}

void decimalRound(Decimal* result, const Decimal& a, int scale, RoundingMode mode) {
    if (a.isNaN()) {
        *result = makeNaN();
        return;
    }
    Wide w = unpack(a);
    // Digits below 10^-scale go; a value already that coarse is kept.
    long long drop = -static_cast<long long>(scale) - w.exponent;
    if (drop > 0) {
        // Beyond the value's digits only the directed modes leave a unit.
        dropDigits(w, static_cast<int>(std::min<long long>(drop, 100000)), false, mode);
    }
    pack(result, std::move(w), mode);
}

CalculationError decimalNormalize(Decimal* a, Decimal* b, RoundingMode mode) {
    if (a->isNaN() || b->isNaN()) return CalculationError::None;
    if (a->exponent == b->exponent) return CalculationError::None;
    Wide x = unpack(*a), y = unpack(*b);
    // A zero takes the other's exponent.
    auto store = [](Decimal* d, const Wide& w) {
        Decimal out;
        out.exponent = static_cast<std::int8_t>(w.exponent);
        out.isNegative = w.magnitude != 0 && w.negative;
        cpp_int m = w.magnitude;
        unsigned length = 0;
        for (int i = 0; i < 8 && m != 0; ++i) {
            out.mantissa[i] = static_cast<std::uint16_t>(static_cast<unsigned>(m & 0xFFFF));
            m >>= 16;
            length = static_cast<unsigned>(i + 1);
        }
        out.length = length;
        out.isCompact = 0;
        *d = out;
    };
    Wide& high = x.exponent > y.exponent ? x : y;
    Wide& low = x.exponent > y.exponent ? y : x;
    CalculationError error = CalculationError::None;
    // Lower the larger exponent as far as 38 digits allow.
    while (high.exponent > low.exponent && digitCount(high.magnitude * 10) <= kMaxDigits) {
        high.magnitude *= 10;
        --high.exponent;
    }
    if (high.magnitude == 0) high.exponent = low.exponent;
    if (high.exponent > low.exponent) {
        // Then raise the smaller one, losing its lowest digits.
        if (dropDigits(low, high.exponent - low.exponent, false, mode)) error = CalculationError::LossOfPrecision;
        if (digitCount(low.magnitude) > kMaxDigits) {
            // Rounding carried into a new digit: shift both by one.
            dropDigits(low, 1, false, mode);
            if (dropDigits(high, 1, false, mode)) error = CalculationError::LossOfPrecision;
        }
    }
    store(a, x);
    store(b, y);
    return error;
}

void decimalCompact(Decimal* d) {
    if (d->length == 0) {
        d->exponent = 0;
        return;
    }
    Wide w = unpack(*d);
    while (w.exponent < kMaxExponent && (w.magnitude % 10) == 0) {
        w.magnitude /= 10;
        ++w.exponent;
    }
    pack(d, std::move(w), RoundingMode::Plain);
}

int decimalCompare(const Decimal& a, const Decimal& b) {
    bool aNaN = a.isNaN(), bNaN = b.isNaN();
    if (aNaN || bNaN) return aNaN && bNaN ? 0 : (aNaN ? -1 : 1);
    int aSign = a.length == 0 ? 0 : (a.isNegative ? -1 : 1);
    int bSign = b.length == 0 ? 0 : (b.isNegative ? -1 : 1);
    if (aSign != bSign) return aSign < bSign ? -1 : 1;
    if (aSign == 0) return 0;
    int byMagnitude = compareMagnitudes(unpack(a), unpack(b));
    return aSign > 0 ? byMagnitude : -byMagnitude;
}

}  // namespace base
