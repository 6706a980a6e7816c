// Decimals at the edges: rounded once near the smallest exponent, the full
// mantissa kept through text, lengths beyond the mantissa never read.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/Decimal.h"

namespace {

using base::Decimal;

TEST(DecimalBoundsTest, ResultsBelowTheSmallestExponentAreRoundedOnce) {
    // 4.49999...95e-128 rounds to 4e-128 when rounded once; rounding to 38
    // digits first would give 4.5e-128 and then 5e-128.
    Decimal d = Decimal::fromString("4.49999999999999999999999999999999999999995e-128");
    EXPECT_EQ(d.toString(), "0." + std::string(127, '0') + "4");
    // The same through arithmetic: 5e-83 * 89999999999999999999999999999999999999e-83
    // is 4.49999999999999999999999999999999999999 5e-128 exactly (39 digits).
    Decimal product;
    base::decimalMultiply(&product, Decimal::fromString("5e-83"),
                          Decimal::fromString("89999999999999999999999999999999999999e-83"), base::RoundingMode::Plain);
    EXPECT_EQ(product, Decimal::fromString("4e-128"));
    // Halfway cases still round by the mode.
    EXPECT_EQ(Decimal::fromString("4.5e-128"), Decimal::fromString("5e-128"));
}

TEST(DecimalBoundsTest, TheFullMantissaSurvivesItsTextForm) {
    const std::string digits39 = "340282366920938463463374607431768211455";
    EXPECT_EQ(Decimal::fromString(digits39).toString(), digits39);
    Decimal max = Decimal::maximum();
    Decimal back = Decimal::fromString(max.toString());
    EXPECT_FALSE(back.isNaN());
    EXPECT_EQ(back, max);
    EXPECT_EQ(Decimal::fromString(Decimal::minimum().toString()), Decimal::minimum());
    // 39 digits beyond the mantissa's range still round to 38.
    EXPECT_EQ(Decimal::fromString("999999999999999999999999999999999999999").toString(),
              "1000000000000000000000000000000000000000");
}

TEST(DecimalBoundsTest, ALengthBeyondTheMantissaIsNeverReadPast) {
    Decimal d;
    d.length = 15;  // possible in the 4-bit field, as bytes from outside may say
    for (auto& w : d.mantissa) w = 0;
    d.mantissa[0] = 7;
    // Reads only the eight words there are.
    EXPECT_EQ(d.toString(), "7");
    EXPECT_EQ(d.toDouble(), 7.0);
    Decimal sum;
    base::decimalAdd(&sum, d, Decimal::one(), base::RoundingMode::Bankers);
    EXPECT_EQ(sum.toString(), "8");
}

}  // namespace
