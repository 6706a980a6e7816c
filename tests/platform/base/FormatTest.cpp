#include "platform/base/Format.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Described {
    std::string description() const { return "<described>"; }
};

TEST(Format, SpaceFlagPadsPositiveNumbers) {
    EXPECT_EQ(base::format("Day % i", 2), "Day  2");
    EXPECT_EQ(base::format("Day % i", -2), "Day -2");
    EXPECT_EQ(base::format("% d|%+d", 12, 12), " 12|+12");
}

TEST(Format, IntegersOfEveryWidthAndLengthModifier) {
    EXPECT_EQ(base::format("%d %i %u", -1, 7, 3u), "-1 7 3");
    EXPECT_EQ(base::format("%ld %lld %lu", 1L << 40, -(1LL << 62), 18446744073709551615UL),
              "1099511627776 -4611686018427387904 18446744073709551615");
    EXPECT_EQ(base::format("%03d|%-4d|%4d", 7, 7, 7), "007|7   |   7");
    EXPECT_EQ(base::format("%x %X %#x %o", 255, 255, 255, 8), "ff FF 0xff 10");
    EXPECT_EQ(base::format("%hhd %zu", 5, std::size_t{9}), "5 9");
}

TEST(Format, RealsFollowPrintf) {
    EXPECT_EQ(base::format("%f", 1.5), "1.500000");
    EXPECT_EQ(base::format("%.2f", 2.675), "2.67");  // binary 2.675 is just below
    EXPECT_EQ(base::format("%.0f %.1f", 0.5, 0.25), "0 0.2");
    EXPECT_EQ(base::format("%8.3f|%-8.1f|", 3.14159, 2.0), "   3.142|2.0     |");
    EXPECT_EQ(base::format("%g %e", 0.0001, 12345.0), "0.0001 1.234500e+04");
    EXPECT_EQ(base::format("%.1f", 3), "3.0");  // an integer given to %f is not garbage
}

TEST(Format, ObjectsStringsAndCharacters) {
    std::string name = "Ann";
    EXPECT_EQ(base::format("%@ and %@", name, "Bob"), "Ann and Bob");
    EXPECT_EQ(base::format("%@", Described{}), "<described>");
    EXPECT_EQ(base::format("%@", std::make_shared<Described>()), "<described>");
    EXPECT_EQ(base::format("%@", std::shared_ptr<Described>()), "(null)");
    EXPECT_EQ(base::format("%@", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(base::format("%s|%5s|%-5s|%.2s", "ab", "ab", "ab", "abc"), "ab|   ab|ab   |ab");
    EXPECT_EQ(base::format("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(base::format("%@ reps", 12), "12 reps");
    EXPECT_EQ(base::format("%@", 0.1), "0.1");
}

TEST(Format, StarWidthAndPrecisionTakeArguments) {
    EXPECT_EQ(base::format("%*d|%-*d|%.*f", 4, 1, 3, 2, 2, 1.0), "   1|2  |1.00");
    EXPECT_EQ(base::format("%*d", -3, 1), "1  ");
}

TEST(Format, PercentAndMalformedSpecsNeverCrash) {
    EXPECT_EQ(base::format("100%%"), "100%");
    EXPECT_EQ(base::format("%d and %d", 1), "1 and 0");  // a missing argument reads 0
    EXPECT_EQ(base::format("%@|%s", 1), "1|");
    EXPECT_EQ(base::format("tail %"), "tail %");
    EXPECT_EQ(base::format("odd %k here"), "odd %k here");
    EXPECT_EQ(base::format("no args"), "no args");
    std::string big(5000, 'x');
    EXPECT_EQ(base::format("[%@]", big), "[" + big + "]");
}

}  // namespace
