#include "platform/base/Decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

using base::CalculationError;
using base::Decimal;
using base::RoundingMode;

namespace {

Decimal D(const char* text) { return Decimal::fromString(text); }

Decimal add(const Decimal& a, const Decimal& b, RoundingMode m = RoundingMode::Plain) {
    Decimal r;
    base::decimalAdd(&r, a, b, m);
    return r;
}
Decimal sub(const Decimal& a, const Decimal& b, RoundingMode m = RoundingMode::Plain) {
    Decimal r;
    base::decimalSubtract(&r, a, b, m);
    return r;
}
Decimal mul(const Decimal& a, const Decimal& b, RoundingMode m = RoundingMode::Plain) {
    Decimal r;
    base::decimalMultiply(&r, a, b, m);
    return r;
}
Decimal div(const Decimal& a, const Decimal& b, RoundingMode m = RoundingMode::Plain) {
    Decimal r;
    base::decimalDivide(&r, a, b, m);
    return r;
}
Decimal rounded(const char* text, int scale, RoundingMode m) {
    Decimal r;
    base::decimalRound(&r, D(text), scale, m);
    return r;
}

}  // namespace

TEST(DecimalLayout, IsTwentyTriviallyCopyableBytes) {
    EXPECT_EQ(sizeof(Decimal), 20u);
    EXPECT_TRUE(std::is_trivially_copyable_v<Decimal>);
    Decimal nan = Decimal::notANumber();
    EXPECT_EQ(nan.length, 0u);
    EXPECT_EQ(nan.isNegative, 1u);
    Decimal zero = Decimal::zero();
    EXPECT_EQ(zero.length, 0u);
    EXPECT_EQ(zero.isNegative, 0u);
}

TEST(DecimalArithmetic, OneThirdHas38DigitsAndTimesThreeIsNotOne) {
    Decimal third;
    EXPECT_EQ(base::decimalDivide(&third, Decimal::one(), Decimal::fromInteger(3), RoundingMode::Plain),
              CalculationError::LossOfPrecision);
    EXPECT_EQ(third.toString(), "0." + std::string(38, '3'));
    Decimal back = mul(third, Decimal::fromInteger(3));
    EXPECT_FALSE(back == Decimal::one());
    EXPECT_EQ(back.toString(), "0." + std::string(38, '9'));
}

TEST(DecimalArithmetic, TwoThirdsRoundsItsLastDigitByMode) {
    Decimal two = Decimal::fromInteger(2), three = Decimal::fromInteger(3);
    EXPECT_EQ(div(two, three, RoundingMode::Plain).toString(), "0." + std::string(37, '6') + "7");
    EXPECT_EQ(div(two, three, RoundingMode::Down).toString(), "0." + std::string(38, '6'));
    EXPECT_EQ(div(two, three, RoundingMode::Up).toString(), "0." + std::string(37, '6') + "7");
    EXPECT_EQ(div(Decimal::fromInteger(-2), three, RoundingMode::Down).toString(), "-0." + std::string(37, '6') + "7");
    EXPECT_EQ(div(Decimal::fromInteger(-2), three, RoundingMode::Up).toString(), "-0." + std::string(38, '6'));
}

TEST(DecimalArithmetic, HalfWayRoundsAwayUnderPlainAndToEvenUnderBankers) {
    // The same half-way case at small scale, through rounding to a scale.
    EXPECT_EQ(rounded("2.5", 0, RoundingMode::Plain).toString(), "3");
    EXPECT_EQ(rounded("2.5", 0, RoundingMode::Bankers).toString(), "2");
    EXPECT_EQ(rounded("3.5", 0, RoundingMode::Bankers).toString(), "4");
    EXPECT_EQ(rounded("-2.5", 0, RoundingMode::Plain).toString(), "-3");
    EXPECT_EQ(rounded("-2.5", 0, RoundingMode::Down).toString(), "-3");
    EXPECT_EQ(rounded("-2.5", 0, RoundingMode::Up).toString(), "-2");
    EXPECT_EQ(rounded("1.25", 1, RoundingMode::Bankers).toString(), "1.2");
    EXPECT_EQ(rounded("1.251", 1, RoundingMode::Bankers).toString(), "1.3");
    EXPECT_EQ(rounded("1234", -2, RoundingMode::Plain).toString(), "1200");
    EXPECT_EQ(rounded("7", 3, RoundingMode::Plain).toString(), "7");
    // Far below the rounding unit: only the directed modes leave a unit.
    EXPECT_EQ(rounded("1e-100", 2, RoundingMode::Up).toString(), "0.01");
    EXPECT_EQ(rounded("-1e-100", 2, RoundingMode::Down).toString(), "-0.01");
    EXPECT_TRUE(rounded("1e-100", 2, RoundingMode::Plain).isZero());
    EXPECT_TRUE(rounded("0", 2, RoundingMode::Up).isZero());
    EXPECT_TRUE(rounded("5", -200, RoundingMode::Up).isNaN());
}

TEST(DecimalArithmetic, BankersHalfWayAfterA38DigitQuotient) {
    // 38 digits (even last digit) followed by an exact 5: half-way.
    Decimal v = D("12345678901234567890123456789012345672");  // 38 digits, even last
    Decimal plain = add(mul(v, D("10")), D("5"), RoundingMode::Plain);
    Decimal bankers = add(mul(v, D("10")), D("5"), RoundingMode::Bankers);
    EXPECT_EQ(plain.toString(), "123456789012345678901234567890123456730");
    EXPECT_EQ(bankers.toString(), "123456789012345678901234567890123456720");
    EXPECT_FALSE(plain == bankers);
}

TEST(DecimalArithmetic, DivisionByZeroIsNaNWithoutException) {
    Decimal r;
    EXPECT_NO_THROW(EXPECT_EQ(base::decimalDivide(&r, Decimal::one(), Decimal::zero(), RoundingMode::Plain),
                              CalculationError::DivideByZero));
    EXPECT_TRUE(r.isNaN());
    EXPECT_EQ(base::decimalDivide(&r, Decimal::zero(), Decimal::zero(), RoundingMode::Bankers),
              CalculationError::DivideByZero);
    EXPECT_TRUE(r.isNaN());
}

TEST(DecimalArithmetic, OverflowIsNaNAndUnderflowIsZero) {
    Decimal r;
    EXPECT_EQ(base::decimalMultiply(&r, Decimal::maximum(), Decimal::fromInteger(10), RoundingMode::Plain),
              CalculationError::Overflow);
    EXPECT_TRUE(r.isNaN());
    EXPECT_EQ(base::decimalAdd(&r, Decimal::maximum(), Decimal::maximum(), RoundingMode::Plain),
              CalculationError::Overflow);
    EXPECT_TRUE(r.isNaN());
    Decimal tiny = D("1e-100");
    EXPECT_EQ(base::decimalMultiply(&r, tiny, tiny, RoundingMode::Plain), CalculationError::Underflow);
    EXPECT_TRUE(r.isZero());
    // A large exponent that still fits once moved into the mantissa.
    EXPECT_EQ(base::decimalMultiplyByPowerOf10(&r, D("1"), 130, RoundingMode::Plain), CalculationError::None);
    EXPECT_EQ(r.toDouble(), 1e130);
}

TEST(DecimalArithmetic, ZeroResultsAreZeroNotNaN) {
    Decimal r = sub(Decimal::one(), Decimal::one());
    EXPECT_TRUE(r.isZero());
    EXPECT_FALSE(r.isNaN());
    EXPECT_TRUE(mul(D("-3"), Decimal::zero()).isZero());
    EXPECT_TRUE(add(D("-2.5"), D("2.50")).isZero());
    EXPECT_TRUE(div(Decimal::zero(), D("-7")).isZero());
    EXPECT_TRUE(D("-0").isZero());
}

TEST(DecimalArithmetic, AnyNaNOperandGivesNaN) {
    Decimal nan = Decimal::notANumber();
    EXPECT_TRUE(add(nan, Decimal::one()).isNaN());
    EXPECT_TRUE(sub(Decimal::one(), nan).isNaN());
    EXPECT_TRUE(mul(nan, Decimal::zero()).isNaN());
    EXPECT_TRUE(div(nan, Decimal::one()).isNaN());
    Decimal r;
    base::decimalPower(&r, nan, 2, RoundingMode::Plain);
    EXPECT_TRUE(r.isNaN());
}

TEST(DecimalArithmetic, ExactSumsAcrossExponents) {
    EXPECT_EQ(add(D("0.1"), D("0.2")).toString(), "0.3");
    EXPECT_EQ(add(D("1e20"), D("1e-10")).toString(), "100000000000000000000.0000000001");
    EXPECT_EQ(sub(D("2"), D("5.25")).toString(), "-3.25");
    EXPECT_EQ(mul(D("-1.5"), D("-4")).toString(), "6");
    EXPECT_EQ(div(D("1"), D("8")).toString(), "0.125");
    Decimal r;
    EXPECT_EQ(base::decimalPower(&r, D("1.1"), 3, RoundingMode::Plain), CalculationError::None);
    EXPECT_EQ(r.toString(), "1.331");
    EXPECT_EQ(base::decimalPower(&r, D("7"), 0, RoundingMode::Plain), CalculationError::None);
    EXPECT_EQ(r.toString(), "1");
}

TEST(DecimalCompare, ByValueAcrossExponents) {
    Decimal tenTenths;
    tenTenths.mantissa[0] = 10;
    tenTenths.length = 1;
    tenTenths.exponent = -1;
    EXPECT_TRUE(tenTenths == Decimal::one());
    EXPECT_EQ(base::decimalCompare(D("-2"), D("-10")), 1);
    EXPECT_EQ(base::decimalCompare(D("-2"), D("1")), -1);
    EXPECT_EQ(base::decimalCompare(D("0"), D("-0.0001")), 1);
    EXPECT_EQ(base::decimalCompare(D("1e100"), D("9e99")), 1);
}

TEST(DecimalCompare, NaNEqualsNaNAndOrdersBelowEverything) {
    Decimal nan = Decimal::notANumber();
    EXPECT_TRUE(nan == Decimal::notANumber());
    EXPECT_TRUE(nan < Decimal::minimum());
    EXPECT_FALSE(Decimal::minimum() < nan);
    EXPECT_TRUE(Decimal::minimum() < Decimal::maximum());
}

TEST(DecimalNormalizeCompact, CommonExponentAndTrailingZeros) {
    Decimal a = D("1.5"), b = D("200");
    EXPECT_EQ(base::decimalNormalize(&a, &b, RoundingMode::Plain), CalculationError::None);
    EXPECT_EQ(a.exponent, b.exponent);
    EXPECT_TRUE(a == D("1.5"));
    EXPECT_TRUE(b == D("200"));

    // Too far apart for 38 digits: the small one loses digits.
    Decimal big = D("1e50"), small = D("1.5");
    EXPECT_EQ(base::decimalNormalize(&big, &small, RoundingMode::Plain), CalculationError::LossOfPrecision);
    EXPECT_EQ(big.exponent, small.exponent);
    EXPECT_TRUE(big == D("1e50"));

    Decimal c;
    c.mantissa[0] = 1200;
    c.length = 1;
    c.exponent = -3;
    base::decimalCompact(&c);
    EXPECT_EQ(c.mantissa[0], 12);
    EXPECT_EQ(c.exponent, -1);
    EXPECT_EQ(c.toString(), "1.2");
}

TEST(DecimalConversion, FromDoubleUsesShortestDigits) {
    EXPECT_TRUE(Decimal::fromDouble(2.7) == D("2.7"));
    EXPECT_EQ(Decimal::fromDouble(2.7).toString(), "2.7");
    EXPECT_EQ(Decimal::fromDouble(-0.1).toString(), "-0.1");
    EXPECT_EQ(Decimal::fromDouble(1e21).toString(), "1000000000000000000000");
    EXPECT_TRUE(Decimal::fromDouble(0.0).isZero());
    EXPECT_TRUE(Decimal::fromDouble(-0.0).isZero());
    EXPECT_TRUE(Decimal::fromDouble(std::nan("")).isNaN());
    EXPECT_TRUE(Decimal::fromDouble(std::numeric_limits<double>::infinity()).isNaN());
    EXPECT_TRUE(Decimal::fromDouble(-std::numeric_limits<double>::infinity()).isNaN());
}

TEST(DecimalConversion, ToDoubleIsCorrectlyRounded) {
    EXPECT_EQ(D("0.1").toDouble(), 0.1);
    EXPECT_EQ(D("2.7").toDouble(), 2.7);
    EXPECT_EQ(D("-123.456e-7").toDouble(), -123.456e-7);
    EXPECT_EQ(Decimal::maximum().toDouble(), 3.4028236692093846346e165);
    EXPECT_TRUE(std::isnan(Decimal::notANumber().toDouble()));
    EXPECT_EQ(Decimal::zero().toDouble(), 0.0);
    for (double v : {0.3, 1.0 / 3.0, 123456.789, 5e-100, 1.7976931348623157e100})
        EXPECT_EQ(Decimal::fromDouble(v).toDouble(), v);
}

TEST(DecimalConversion, IntegersBothWays) {
    EXPECT_EQ(Decimal::fromInteger(-1).toString(), "-1");
    EXPECT_EQ(Decimal::fromInteger(std::numeric_limits<long long>::min()).toString(), "-9223372036854775808");
    EXPECT_EQ(Decimal::fromUnsigned(std::numeric_limits<unsigned long long>::max()).toString(), "18446744073709551615");
    EXPECT_EQ(D("-7.9").toInteger(), -7);
    EXPECT_EQ(D("7.9").toInteger(), 7);
    EXPECT_EQ(D("1e30").toInteger(), std::numeric_limits<long long>::max());
    EXPECT_EQ(D("-1e30").toInteger(), std::numeric_limits<long long>::min());
    EXPECT_EQ(Decimal::notANumber().toInteger(), 0);
    EXPECT_EQ(D("-5").toUnsigned(), 0u);
    EXPECT_EQ(D("1e30").toUnsigned(), std::numeric_limits<unsigned long long>::max());
    EXPECT_EQ(D("42.99").toUnsigned(), 42u);
    EXPECT_EQ(D("1e-50").toInteger(), 0);
}

TEST(DecimalConversion, FromTextAcceptsPlainNumeralsOnly) {
    EXPECT_EQ(D("  -12.50 ").toString(), "-12.5");
    EXPECT_EQ(D("+3").toString(), "3");
    EXPECT_EQ(D(".5").toString(), "0.5");
    EXPECT_EQ(D("5.").toString(), "5");
    EXPECT_EQ(D("2.5E3").toString(), "2500");
    EXPECT_EQ(D("25e-1").toString(), "2.5");
    EXPECT_EQ(D("007").toString(), "7");
    for (const char* bad : {"", " ", "abc", "1x", "1e", "1e+", ".", "-", "1.2.3", "--1", "1 2", "nan"})
        EXPECT_TRUE(D(bad).isNaN()) << '"' << bad << '"';
    // More digits than fit are rounded to 38 significant digits; 39 that
    // the mantissa holds exactly are kept, so text gives back its decimal.
    Decimal long40 = D("1234567890123456789012345678901234567890");
    EXPECT_EQ(long40.toString(), "1234567890123456789012345678901234567890");
    EXPECT_EQ(D("9234567890123456789012345678901234567890").toString(), "9234567890123456789012345678901234567900");
    Decimal long41 = D("12345678901234567890123456789012345678951");
    EXPECT_EQ(long41.toString(), "12345678901234567890123456789012345679000");
    EXPECT_TRUE(D("1e500").isNaN());
    EXPECT_TRUE(D("1e-500").isZero());
}

TEST(DecimalConversion, ToTextHasNoExponent) {
    EXPECT_EQ(D("1e-5").toString(), "0.00001");
    EXPECT_EQ(D("1.5e3").toString(), "1500");
    EXPECT_EQ(Decimal::notANumber().toString(), "NaN");
    EXPECT_EQ(Decimal::zero().toString(), "0");
}
