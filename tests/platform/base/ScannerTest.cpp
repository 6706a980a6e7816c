#include "platform/base/Scanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace base;

namespace {

// What a numeric-entry check does: one number and nothing but blanks after.
bool isNumeric(const std::string& text) {
    Scanner s(text);
    return s.scanDouble(nullptr) && s.isAtEnd();
}

struct Scanned {
    bool ok;
    double value;
    std::size_t location;
};

Scanned scanDouble(const std::string& text) {
    Scanner s(text);
    double v = -12345;
    bool ok = s.scanDouble(&v);
    return {ok, v, s.scanLocation()};
}

}  // namespace

TEST(ScannerTest, ScanDoubleReadsTheLongestNumberPrefix) {
    auto r = scanDouble("  \t\n12.5kg");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 12.5);
    EXPECT_EQ(r.location, 8u);
    EXPECT_EQ(scanDouble("-.5").value, -0.5);
    EXPECT_EQ(scanDouble("+7.").value, 7.0);
    EXPECT_EQ(scanDouble("7.").location, 2u);
    EXPECT_EQ(scanDouble("1.5e3x").value, 1500.0);
    EXPECT_EQ(scanDouble("2E-2").value, 0.02);
    // An incomplete exponent is left unread.
    r = scanDouble("3e");
    EXPECT_EQ(r.value, 3.0);
    EXPECT_EQ(r.location, 1u);
    r = scanDouble("3e+");
    EXPECT_EQ(r.value, 3.0);
    EXPECT_EQ(r.location, 1u);
    // A second point ends the number.
    r = scanDouble("1.2.3");
    EXPECT_EQ(r.value, 1.2);
    EXPECT_EQ(r.location, 3u);
    EXPECT_EQ(scanDouble("0.1").value, 0.1);  // correctly rounded
}

TEST(ScannerTest, ScanDoubleRefusesWhatIsNotADecimalNumber) {
    for (const char* text : {"", "   ", "abc", ".", "-", "+", "-.", "e5", "inf", "nan", "INFINITY", "NaN", "x1"}) {
        auto r = scanDouble(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.value, -12345) << text;  // untouched
        EXPECT_EQ(r.location, 0u) << text;   // failure does not move, not even past blanks
    }
    // Hexadecimal: only the leading 0 is a number.
    auto r = scanDouble("0x1A");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.location, 1u);
    // A comma is not a decimal point, in any locale.
    r = scanDouble("3,5");
    EXPECT_EQ(r.value, 3.0);
    EXPECT_EQ(r.location, 1u);
}

TEST(ScannerTest, ScanDoubleOverflowAndUnderflow) {
    auto r = scanDouble("1e400 rest");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, HUGE_VAL);
    EXPECT_EQ(r.location, 5u);
    EXPECT_EQ(scanDouble("-1e400").value, -HUGE_VAL);
    r = scanDouble("1e-400");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, 0.0);
    EXPECT_EQ(r.location, 6u);
    std::string digits(400, '9');
    r = scanDouble(digits);
    EXPECT_EQ(r.value, HUGE_VAL);
    EXPECT_EQ(r.location, 400u);
}

TEST(ScannerTest, NumericCheckAsTheEntryScreensUseIt) {
    EXPECT_TRUE(isNumeric("12"));
    EXPECT_TRUE(isNumeric(" 12 \n"));
    EXPECT_TRUE(isNumeric("-3.25"));
    EXPECT_TRUE(isNumeric("1e3"));
    EXPECT_TRUE(isNumeric("12\u00a0"));  // a no-break space counts as white space
    EXPECT_FALSE(isNumeric(""));
    EXPECT_FALSE(isNumeric("  "));
    EXPECT_FALSE(isNumeric("12a"));
    EXPECT_FALSE(isNumeric("1 2"));
    EXPECT_FALSE(isNumeric("0x10"));
    EXPECT_FALSE(isNumeric("inf"));
    EXPECT_FALSE(isNumeric("1,5"));
}

TEST(ScannerTest, ScanInt) {
    Scanner s(" 42, -7 +3 x");
    int v = 0;
    ASSERT_TRUE(s.scanInt(&v));
    EXPECT_EQ(v, 42);
    EXPECT_FALSE(s.scanInt(&v));  // at the comma
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(s.scanString(","));
    ASSERT_TRUE(s.scanInt(&v));
    EXPECT_EQ(v, -7);
    ASSERT_TRUE(s.scanInt(&v));
    EXPECT_EQ(v, 3);
    EXPECT_FALSE(s.isAtEnd());
    EXPECT_FALSE(s.scanInt(&v));
    // "2.5" as an int stops at the point.
    Scanner t("2.5");
    ASSERT_TRUE(t.scanInt(&v));
    EXPECT_EQ(v, 2);
    EXPECT_EQ(t.scanLocation(), 1u);
    // Out of range clamps and moves past every digit.
    Scanner big("99999999999999999999999 -99999999999999999999999 2147483648 -2147483648");
    ASSERT_TRUE(big.scanInt(&v));
    EXPECT_EQ(v, INT_MAX);
    ASSERT_TRUE(big.scanInt(&v));
    EXPECT_EQ(v, INT_MIN);
    ASSERT_TRUE(big.scanInt(&v));
    EXPECT_EQ(v, INT_MAX);
    ASSERT_TRUE(big.scanInt(&v));
    EXPECT_EQ(v, INT_MIN);
    EXPECT_TRUE(big.isAtEnd());
    long long ll = 0;
    Scanner edge("-9223372036854775808 9223372036854775807 9223372036854775808");
    ASSERT_TRUE(edge.scanLongLong(&ll));
    EXPECT_EQ(ll, LLONG_MIN);
    ASSERT_TRUE(edge.scanLongLong(&ll));
    EXPECT_EQ(ll, LLONG_MAX);
    ASSERT_TRUE(edge.scanLongLong(&ll));
    EXPECT_EQ(ll, LLONG_MAX);
}

TEST(ScannerTest, ScanDecimalReadsExactly) {
    Scanner s("0.1 25 abc");
    Decimal d;
    ASSERT_TRUE(s.scanDecimal(&d));
    EXPECT_EQ(d, Decimal::fromString("0.1"));
    ASSERT_TRUE(s.scanDecimal(&d));
    EXPECT_EQ(d, Decimal::fromInteger(25));
    EXPECT_FALSE(s.scanDecimal(&d));
    EXPECT_EQ(d, Decimal::fromInteger(25));
}

TEST(ScannerTest, StringsAndLocation) {
    // Finding a JSON error message the way a service's reply is read.
    std::string body = R"({"request":"/1/x.json", "error":"Could not authenticate with OAuth."})";
    Scanner s(body);
    std::string message = "Unknown Error";
    s.scanUpToString("\"error\":\"");
    if (s.scanString("\"error\":\"")) {
        s.setSkipsWhitespace(false);
        s.scanUpToString("\"", &message);
    }
    EXPECT_EQ(message, "Could not authenticate with OAuth.");

    Scanner t("Hello World");
    EXPECT_TRUE(t.scanString("hello"));  // case-insensitive by default
    t.setCaseSensitive(true);
    EXPECT_FALSE(t.scanString("world"));
    EXPECT_TRUE(t.scanString("World"));
    EXPECT_TRUE(t.isAtEnd());
    EXPECT_FALSE(t.scanUpToString("x"));  // nothing left
    t.setScanLocation(100);
    EXPECT_EQ(t.scanLocation(), t.string().size());
    t.setScanLocation(6);
    std::string rest;
    EXPECT_TRUE(t.scanUpToString("missing", &rest));
    EXPECT_EQ(rest, "World");
}
