// Cross-checks the decimal arithmetic against a plain reference: the exact
// result as a fraction of wide integers, rounded once to 38 digits.
#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>

#include <random>
#include <string>

#include "platform/base/Decimal.h"

using base::Decimal;
using base::RoundingMode;
using boost::multiprecision::cpp_int;

namespace {

cpp_int pow10(int n) { return boost::multiprecision::pow(cpp_int(10), static_cast<unsigned>(n)); }

int digits(const cpp_int& v) { return v == 0 ? 0 : static_cast<int>(v.str().size()); }

// The decimal nearest to (negative ? -1 : 1) * N / D * 10^exponent with at
// most 38 significant digits, rounded by mode.
Decimal reference(bool negative, const cpp_int& n, const cpp_int& d, int exponent, RoundingMode mode) {
    if (n == 0) return Decimal::zero();
    int k = 38 - (digits(n) - digits(d));
    cpp_int q, r, den;
    for (;;) {
        cpp_int num = k >= 0 ? n * pow10(k) : n;
        den = k >= 0 ? d : d * pow10(-k);
        q = num / den;
        r = num % den;
        if (digits(q) > 38) --k;
        else if (digits(q) < 38 && r != 0) ++k;
        else break;
    }
    bool up = false;
    if (r != 0) {
        cpp_int twice = r * 2;
        switch (mode) {
        case RoundingMode::Down: up = negative; break;
        case RoundingMode::Up: up = !negative; break;
        case RoundingMode::Plain: up = twice >= den; break;
        case RoundingMode::Bankers: up = twice > den || (twice == den && (q & 1) != 0); break;
        }
    }
    if (up) q += 1;
    std::string text = (negative ? "-" : "") + q.str() + "e" + std::to_string(exponent - k);
    return Decimal::fromString(text);
}

struct Operand {
    bool negative;
    cpp_int mantissa;
    int exponent;
    Decimal value;
};

Operand randomOperand(std::mt19937_64& rng) {
    Operand o;
    int length = std::uniform_int_distribution<int>(1, 38)(rng);
    std::string text;
    for (int i = 0; i < length; ++i) text += static_cast<char>('0' + (i == 0 ? 1 + rng() % 9 : rng() % 10));
    o.negative = rng() % 2;
    o.mantissa = cpp_int(text);
    o.exponent = std::uniform_int_distribution<int>(-30, 30)(rng);
    o.value = Decimal::fromString((o.negative ? "-" : "") + text + "e" + std::to_string(o.exponent));
    return o;
}

constexpr RoundingMode kModes[] = {RoundingMode::Plain, RoundingMode::Down, RoundingMode::Up, RoundingMode::Bankers};

}  // namespace

TEST(DecimalReference, AddSubtractMultiplyDivideAgreeWithExactRounding) {
    std::mt19937_64 rng(20261208);
    for (int i = 0; i < 4000; ++i) {
        Operand a = randomOperand(rng), b = randomOperand(rng);
        RoundingMode mode = kModes[i % 4];
        // a + b as one fraction over a common exponent.
        int e = std::min(a.exponent, b.exponent);
        cpp_int sa = a.mantissa * pow10(a.exponent - e) * (a.negative ? -1 : 1);
        cpp_int sb = b.mantissa * pow10(b.exponent - e) * (b.negative ? -1 : 1);
        cpp_int sum = sa + sb;
        Decimal r;
        base::decimalAdd(&r, a.value, b.value, mode);
        Decimal expected = reference(sum < 0, sum < 0 ? cpp_int(-sum) : sum, 1, e, mode);
        ASSERT_TRUE(r == expected) << a.value.toString() << " + " << b.value.toString() << " = " << r.toString()
                                   << " expected " << expected.toString();

        base::decimalMultiply(&r, a.value, b.value, mode);
        expected = reference(a.negative != b.negative, a.mantissa * b.mantissa, 1, a.exponent + b.exponent, mode);
        ASSERT_TRUE(r == expected) << a.value.toString() << " * " << b.value.toString() << " = " << r.toString()
                                   << " expected " << expected.toString();

        base::decimalDivide(&r, a.value, b.value, mode);
        expected = reference(a.negative != b.negative, a.mantissa, b.mantissa, a.exponent - b.exponent, mode);
        ASSERT_TRUE(r == expected) << a.value.toString() << " / " << b.value.toString() << " = " << r.toString()
                                   << " expected " << expected.toString();
    }
}

TEST(DecimalReference, SmallOperandsTakeTheSameRoundingAsLargeOnes) {
    // Short mantissas (the common case in charts) across every mode.
    std::mt19937_64 rng(7);
    for (int i = 0; i < 4000; ++i) {
        long long x = static_cast<long long>(rng() % 2000000) - 1000000;
        long long y = static_cast<long long>(rng() % 999) + 1;
        int ex = static_cast<int>(rng() % 9) - 4, ey = static_cast<int>(rng() % 9) - 4;
        Decimal a = Decimal::fromString(std::to_string(x) + "e" + std::to_string(ex));
        Decimal b = Decimal::fromString(std::to_string(y) + "e" + std::to_string(ey));
        RoundingMode mode = kModes[i % 4];
        Decimal r;
        base::decimalDivide(&r, a, b, mode);
        Decimal expected = reference(x < 0, cpp_int(x < 0 ? -x : x), cpp_int(y), ex - ey, mode);
        ASSERT_TRUE(r == expected) << a.toString() << " / " << b.toString() << " = " << r.toString() << " expected "
                                   << expected.toString();
        EXPECT_EQ(a.toDouble(), std::stod(std::to_string(x) + "e" + std::to_string(ex)));
    }
}
