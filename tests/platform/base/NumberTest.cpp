#include "platform/base/Number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using base::Decimal;
using base::Number;

TEST(Number, KeepsItsKindAndConverts) {
    EXPECT_EQ(Number(static_cast<signed char>(-1)).kind(), Number::Kind::Signed);
    EXPECT_EQ(Number(255u).kind(), Number::Kind::Unsigned);
    EXPECT_EQ(Number(2.5f).kind(), Number::Kind::Float);
    EXPECT_TRUE(Number(Decimal::fromString("2.7")).isDecimalNumber());
    EXPECT_EQ(Number(300).charValue(), 44);  // integers narrow by wrapping
    EXPECT_EQ(Number(-1).unsignedShortValue(), 65535);
    EXPECT_EQ(Number(2.7).longValue(), 2);
    EXPECT_EQ(Number(-2.7).longLongValue(), -2);
    EXPECT_EQ(Number(Decimal::fromString("-7.9")).shortValue(), -7);
}

TEST(Number, FloatingToIntegerIsNeverUndefined) {
    EXPECT_EQ(Number(std::nan("")).longLongValue(), 0);
    EXPECT_EQ(Number(1e300).longLongValue(), std::numeric_limits<long long>::max());
    EXPECT_EQ(Number(-1e300).longLongValue(), std::numeric_limits<long long>::min());
    EXPECT_EQ(Number(1e300).unsignedLongLongValue(), std::numeric_limits<unsigned long long>::max());
    EXPECT_EQ(Number(std::nan("")).unsignedLongLongValue(), 0u);
}

TEST(Number, DecimalValueUsesShortestDigits) {
    EXPECT_EQ(Number(2.7f).decimalValue().toString(), "2.7");
    EXPECT_EQ(Number(0.1).decimalValue().toString(), "0.1");
    EXPECT_EQ(Number(-12).decimalValue().toString(), "-12");
    EXPECT_TRUE(Number(std::nan("")).decimalValue().isNaN());
    EXPECT_EQ(Number(Decimal::fromString("0.1")).doubleValue(), 0.1);
}

TEST(Number, CompareAndText) {
    EXPECT_EQ(Number(1).compare(Number(2.5)), -1);
    EXPECT_EQ(Number(std::numeric_limits<long long>::max()).compare(Number(std::numeric_limits<long long>::max() - 1)),
              1);
    EXPECT_TRUE(Number(Decimal::fromString("2.5")) == Number(2.5));
    EXPECT_EQ(Number(Decimal::fromString("0.1")).compare(Number(0.1)), 0);
    EXPECT_EQ(Number(2.5).description(), "2.5");
    EXPECT_EQ(Number(Decimal::fromString("1.50")).description(), "1.5");
    EXPECT_EQ(Number(-3).description(), "-3");
}
