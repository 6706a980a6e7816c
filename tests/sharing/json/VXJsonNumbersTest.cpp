#include "sharing/json/VXJsonNumbers.h"

#include "sharing/json/VXJsonParser.h"
#include "sharing/json/VXJsonWriter.h"

#include <cstring>
#include <random>
#include <string>
#include <utility>

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

namespace {

// Numbers whose digits, read as one integer, are multiples of 2^64: a
// mantissa gathered in 64 bits wraps to exactly zero on them. Each with
// the decimal's exact text.
const std::pair<const char*, const char*> wrappingNumbers[] = {
    {"18446744073709551616", "18446744073709551616"},
    {"-18446744073709551616", "-18446744073709551616"},
    {"36893488147419103232", "36893488147419103232"},
    {"55340232221128654848", "55340232221128654848"},
    {"1844674407370955161.6", "1844674407370955161.6"},
    {"-0.18446744073709551616", "-0.18446744073709551616"},
    {"0.00018446744073709551616", "0.00018446744073709551616"},
    {"18446744073709551616e3", "18446744073709551616000"},
    {"18446744073709551616E-25", "0.0000018446744073709551616"},
    {"-1.8446744073709551616e+19", "-18446744073709551616"},
    {"184467440737095516160000", "184467440737095516160000"},
    // 2^45 * 10^19: the wrap lands on trailing zeros.
    {"351843720888320000000000000000000", "351843720888320000000000000000000"},
    // 2^127 has 39 digits and still fits the mantissa; 2^128 is rounded
    // to 38 digits, as every longer number is.
    {"170141183460469231731687303715884105728", "170141183460469231731687303715884105728"},
    {"340282366920938463463374607431768211456", "340282366920938463463374607431768211460"},
};

// What the parser reads for `number` set into `json` at "#", or NaN when
// it refuses the text.
base::Decimal parsedAt(VXJsonParser& parser, const std::string& json, const std::string& number) {
    std::string text = json;
    text.replace(text.find('#'), 1, number);
    const std::optional<VXJsonValue> v = parser.fragmentWithString(text);
    if (!v) return base::Decimal::notANumber();
    const VXJsonValue* n = &*v;
    if (v->isArray()) n = &(*v->asArray())[0];
    else if (v->isObject()) n = &(*v)["id"];
    return n->asNumber() ? *n->asNumber() : base::Decimal::notANumber();
}

}  // namespace

// Wherever the number stands (at the very end, before a few bytes or
// before eight and more, so that its last digits are read one at a time or
// eight at a time), its value is the exact one.
TEST(VXJsonNumbers, MultiplesOfTwoToThe64AreReadExactly) {
    VXJsonParser parser;
    for (const auto& [text, exact] : wrappingNumbers) {
        EXPECT_EQ(VXJsonDecimalFromText(text).toString(), exact) << text;
        for (const char* json : {"#", "# ", "[#]", "[#,1]", "[# , 1]", "[#,12345678901]", "[#\n,\"eight more\"]",
                                 R"({"id": #})", R"({"id":#,"next":2})", R"({"id":#                    })"}) {
            const base::Decimal d = parsedAt(parser, json, text);
            EXPECT_EQ(d.toString(), exact) << json << " with " << text;
        }
    }
    // The digits after a wrap to zero count too: a 20-digit number read
    // through both paths, its last digits alone or in a run of eight.
    for (const char* json : {"[#]", "[#,\"padding\"]"}) {
        EXPECT_EQ(parsedAt(parser, json, "184467440737095516160").toString(), "184467440737095516160");
        EXPECT_EQ(parsedAt(parser, json, "18446744073709551616.000001").toString(), "18446744073709551616.000001");
    }
}

// What the writer writes of such numbers reads back as the same value.
TEST(VXJsonNumbers, WrittenWrappingNumbersReadBackEqual) {
    VXJsonParser parser;
    VXJsonWriter writer;
    const base::Decimal twoTo64 = base::Decimal::fromString("18446744073709551616");
    const std::optional<std::string> pair = writer.stringWithObject(VXJsonArray{twoTo64, 1});
    ASSERT_TRUE(pair);
    EXPECT_EQ(*pair, "[18446744073709551616,1]");
    const std::optional<VXJsonValue> back = parser.objectWithString(*pair);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (VXJsonValue{VXJsonArray{twoTo64, 1}}));
    EXPECT_EQ(writer.stringWithObject(*back), pair);

    VXJsonObject all;
    for (const auto& [text, exact] : wrappingNumbers) all.set(text, base::Decimal::fromString(exact));
    const std::optional<std::string> written = writer.stringWithObject(VXJsonValue(all));
    ASSERT_TRUE(written);
    const std::optional<VXJsonValue> read = parser.objectWithString(*written);
    ASSERT_TRUE(read) << *written;
    for (const auto& [text, exact] : wrappingNumbers) {
        const base::Decimal* n = (*read)[text].asNumber();
        ASSERT_TRUE(n) << text;
        EXPECT_EQ(n->toString(), exact) << *written;
    }
}

// A long run of digits offsets a long exponent: the value is what the two
// make together, however many digits the text spends on them.
TEST(VXJsonNumbers, MillionDigitTextsKeepTheirValue) {
    const std::string zeros(1000000, '0');
    const std::pair<std::string, const char*> cases[] = {
        {"0." + zeros + "1e1000001", "1"},
        {"-0." + zeros + "15E+1000002", "-15"},
        {"1" + zeros + "e-1000000", "1"},
        {"123" + zeros + "e-1000002", "1.23"},
        // 39 digits the mantissa would hold, and a last one far after
        // them: rounded once, to 38 digits, up.
        {"1" + std::string(37, '0') + "5" + zeros + "1e-1000038", "10.000000000000000000000000000000000001"},
        {"1" + std::string(37, '0') + "5" + std::string(50, '0') + "1e-89", "1.0000000000000000000000000000000000001"},
        {"-1" + std::string(37, '0') + "4" + std::string(9, '9') + zeros + "e-1000047", "-1"},
        // Beyond the range whatever the digits: refused, or zero.
        {"1" + zeros + "e1000000", "NaN"},
        {"0." + zeros + "1e-1000000", "0"},
        {"1e100000000000000000000", "NaN"},
        {"1e-100000000000000000000", "0"},
    };
    VXJsonParser parser;
    for (const auto& [text, exact] : cases) {
        const std::string shown = text.size() > 40 ? text.substr(0, 20) + "…" + text.substr(text.size() - 20) : text;
        EXPECT_EQ(VXJsonDecimalFromText(text).toString(), exact) << shown;
        const base::Decimal read = parsedAt(parser, "[#]", text);
        EXPECT_EQ(read.toString(), exact) << shown;
    }
}
