#include "sharing/json/VXJsonNumbers.h"

#include "sharing/json/VXJsonParser.h"

#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace {

bool sameBits(const base::Decimal& a, const base::Decimal& b) {
    return a.exponent == b.exponent && a.length == b.length && a.isNegative == b.isNegative &&
           a.isCompact == b.isCompact && std::memcmp(a.mantissa, b.mantissa, sizeof a.mantissa) == 0;
}

void expectLikePlatform(const std::string& text) {
    const base::Decimal quick = VXJsonDecimalFromText(text);
    const base::Decimal exact = base::Decimal::fromString(text);
    EXPECT_TRUE(sameBits(quick, exact)) << text << ": " << quick.toString() << " vs " << exact.toString();
    // The parser reads the digits while it checks them, in runs of up to
    // eight: inside an array, followed by more text, and at the very end.
    VXJsonParser parser;
    for (const std::string& json : {"[" + text + ",1234567890]", "[" + text + "]"}) {
        const std::optional<VXJsonValue> v = parser.objectWithString(json);
        const base::Decimal* parsed = v ? (*v->asArray())[0].asNumber() : nullptr;
        if (exact.isNaN()) EXPECT_FALSE(v) << json;
        else EXPECT_TRUE(parsed && sameBits(*parsed, exact)) << json;
    }
    std::string written;
    VXJsonAppendDecimal(written, exact);
    EXPECT_EQ(written, exact.toString()) << text;
}

}  // namespace

// The quick paths must give exactly what the decimal type itself gives.
TEST(VXJsonNumbers, MatchThePlatformDecimal) {
    for (const char* t : {"0",
                          "-0",
                          "0.0",
                          "-0.000e5",
                          "1",
                          "-1",
                          "10",
                          "100",
                          "1.50",
                          "0.1",
                          "0.000001",
                          "123.456",
                          "1e2",
                          "1E+2",
                          "1e-2",
                          "2.5e-3",
                          "9999999999999999999",
                          "18446744073709551615",
                          "12345678901234567890",
                          "1234567890123456789.5",
                          "1e127",
                          "1e128",
                          "1e-128",
                          "1e-129",
                          "1e200",
                          "1e-200",
                          "5e-140",
                          "1.0000000000000000000000000000000000000001",
                          "1e99999",
                          "100000000000000000000000000000000000000000",
                          "0.00000000000000000000000000000000000000000001",
                          "-12345678901234567890123456789012345678",
                          "7e126",
                          "70e126",
                          "120e125"}) {
        expectLikePlatform(t);
    }
    std::mt19937_64 rng(42);
    for (int i = 0; i < 3000; ++i) {
        std::string t = (rng() & 1) ? "-" : "";
        t += std::to_string(rng() % 1000000000000ull);
        if (rng() & 1) t += "." + std::to_string(rng() % 100000000ull);
        if ((rng() & 3) == 0) t += "e" + std::to_string(static_cast<int>(rng() % 300) - 150);
        expectLikePlatform(t);
    }
    // Runs of every length on both sides of the point, leading zeros too.
    auto digitsOf = [&rng](int n) {
        std::string d;
        for (int k = 0; k < n; ++k) d += static_cast<char>('0' + rng() % 10);
        return d;
    };
    for (int whole = 1; whole <= 21; ++whole)
        for (int fraction = 0; fraction <= 21; ++fraction) {
            std::string t = std::to_string(1 + rng() % 9) + digitsOf(whole - 1);
            if (fraction) t += "." + std::string(static_cast<std::size_t>(rng() % 3), '0') + digitsOf(fraction);
            expectLikePlatform(t);
            expectLikePlatform("-0." + digitsOf(fraction + 1) + "e-" + std::to_string(whole));
        }
}
