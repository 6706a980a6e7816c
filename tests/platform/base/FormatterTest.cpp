#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/base/DateFormatter.h"
#include "platform/base/KeyedArchiver.h"
#include "platform/base/NumberFormatter.h"

using namespace base;

namespace {

// 2026-12-08 23:26:02.250 UTC, a Tuesday.
const Date kMoment(1796772362.25);

DateFormatter utcPosix(const std::string& pattern) {
    DateFormatter f;
    f.setLocale("en_US_POSIX");
    EXPECT_TRUE(f.setTimeZone("UTC"));
    f.setDateFormat(pattern);
    return f;
}

// Formatters archive their settings; registered here as the charts register
// them at start-up.
template <class T>
std::shared_ptr<T> archived(const std::shared_ptr<T>& formatter, const char* className) {
    KeyedUnarchiver::registerClass(className, [] { return std::make_shared<T>(); });
    return KeyedUnarchiver::unarchiveObjectOfType<T>(KeyedArchiver::archivedDataWithRootObject(formatter));
}

TEST(FormatterArchivingTest, NumberFormatterKeepsItsDigits) {
    auto f = std::make_shared<NumberFormatter>();
    f->setMinimumIntegerDigits(2);
    f->setMaximumFractionDigits(3);
    f->setMinimumFractionDigits(1);
    auto decoded = archived(f, "NSNumberFormatter");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->minimumIntegerDigits(), 2);
    EXPECT_EQ(decoded->minimumFractionDigits(), 1);
    EXPECT_EQ(decoded->maximumFractionDigits(), 3);
    EXPECT_EQ(decoded->stringFromNumber(1.23456), "01.235");
}

TEST(FormatterArchivingTest, DateFormatterKeepsPatternStylesLocaleAndZone) {
    auto f = std::make_shared<DateFormatter>(utcPosix("yyyy MM dd HH:mm"));
    auto decoded = archived(f, "NSDateFormatter");
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->stringFromDate(kMoment), "2026 12 08 23:26");
    EXPECT_EQ(decoded->locale(), f->locale());

    auto styled = std::make_shared<DateFormatter>();
    styled->setLocale("en_US_POSIX");
    styled->setTimeZone("UTC");
    styled->setDateStyle(DateFormatterStyle::Medium);
    styled->setTimeStyle(DateFormatterStyle::Short);
    auto decodedStyled = archived(styled, "NSDateFormatter");
    ASSERT_TRUE(decodedStyled);
    EXPECT_EQ(decodedStyled->dateStyle(), DateFormatterStyle::Medium);
    EXPECT_EQ(decodedStyled->timeStyle(), DateFormatterStyle::Short);
    EXPECT_EQ(decodedStyled->stringFromDate(kMoment), styled->stringFromDate(kMoment));
}

TEST(DateTest, ReferenceDateIsTheStartOf2001) {
    EXPECT_EQ(Date::referenceDate().timeIntervalSince1970(), 978307200.0);
    EXPECT_EQ(Date::dateWithTimeIntervalSinceReferenceDate(60).timeIntervalSinceReferenceDate(), 60.0);
    EXPECT_EQ(utcPosix("yyyy-MM-dd HH:mm").stringFromDate(Date::referenceDate()), "2001-01-01 00:00");
}

}  // namespace

TEST(DateFormatterTest, PatternsInUtcWithAFixedLocale) {
    EXPECT_EQ(utcPosix("dd/MMM/yyyy").stringFromDate(kMoment), "08/Dec/2026");
    EXPECT_EQ(utcPosix("EEE yyyy MM dd HH:mm:ss.SSS").stringFromDate(kMoment), "Tue 2026 12 08 23:26:02.250");
    EXPECT_EQ(utcPosix("EEEE d MMMM yy, h a").stringFromDate(kMoment), "Tuesday 8 December 26, 11 PM");
    EXPECT_EQ(utcPosix("yyyy-MM-dd'T'HH:mm:ss").stringFromDate(Date(0)), "1970-01-01T00:00:00");
    EXPECT_EQ(utcPosix("dd/MMM/yyyy").dateFormat(), "dd/MMM/yyyy");
}

TEST(DateFormatterTest, TimeZoneAndLocaleChangeTheText) {
    auto f = utcPosix("yyyy-MM-dd HH:mm");
    ASSERT_TRUE(f.setTimeZone("Asia/Tokyo"));
    EXPECT_EQ(f.timeZone(), "Asia/Tokyo");
    EXPECT_EQ(f.stringFromDate(kMoment), "2026-12-09 08:26");
    EXPECT_FALSE(f.setTimeZone("Nowhere/Atlantis"));
    EXPECT_EQ(f.timeZone(), "Asia/Tokyo");  // kept
    f.setLocale("de_DE");
    f.setDateFormat("d. MMMM yyyy");
    EXPECT_EQ(f.stringFromDate(kMoment), "9. Dezember 2026");
    EXPECT_EQ(f.monthSymbols().at(2), "März");
    // The system's zone and locale by default.
    DateFormatter plain;
    EXPECT_FALSE(plain.timeZone().empty());
    EXPECT_FALSE(plain.locale().empty());
    EXPECT_EQ(plain.stringFromDate(kMoment), "");  // no pattern, no styles
}

TEST(DateFormatterTest, Styles) {
    DateFormatter f;
    f.setLocale("en_US");
    f.setTimeZone("UTC");
    f.setDateStyle(DateFormatterStyle::Medium);
    EXPECT_EQ(f.stringFromDate(kMoment), "Dec 8, 2026");
    f.setDateStyle(DateFormatterStyle::Short);
    EXPECT_EQ(f.stringFromDate(kMoment), "12/8/26");
    f.setDateStyle(DateFormatterStyle::Full);
    EXPECT_EQ(f.stringFromDate(kMoment), "Tuesday, December 8, 2026");
    f.setDateStyle(DateFormatterStyle::Long);
    EXPECT_EQ(f.stringFromDate(kMoment), "December 8, 2026");
    f.setDateStyle(DateFormatterStyle::None);
    f.setTimeStyle(DateFormatterStyle::Short);
    // ICU writes a narrow no-break space before AM/PM.
    EXPECT_EQ(f.stringFromDate(kMoment), "11:26\u202fPM");
    f.setDateStyle(DateFormatterStyle::Medium);
    f.setTimeStyle(DateFormatterStyle::Medium);
    EXPECT_EQ(f.stringFromDate(kMoment), "Dec 8, 2026, 11:26:02\u202fPM");
    EXPECT_EQ(f.dateStyle(), DateFormatterStyle::Medium);
    // An explicit pattern wins until a style is set again.
    f.setDateFormat("yyyy");
    EXPECT_EQ(f.stringFromDate(kMoment), "2026");
    f.setTimeStyle(DateFormatterStyle::None);
    EXPECT_EQ(f.stringFromDate(kMoment), "Dec 8, 2026");
}

TEST(DateFormatterTest, ParsingIsStrictAndRoundTrips) {
    auto f = utcPosix("dd/MMM/yyyy");
    auto d = f.dateFromString("08/Dec/2026");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->timeIntervalSince1970(), 1796688000.0);  // midnight UTC
    // The full month name, as the log's newest-first read builds it.
    auto months = f.monthSymbols();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months[0], "January");
    auto full = f.dateFromString("08/" + months[11] + "/2026");
    ASSERT_TRUE(full);
    EXPECT_EQ(*full, *d);
    EXPECT_FALSE(f.dateFromString("31/Feb/2026"));   // no such day
    EXPECT_FALSE(f.dateFromString("08/Dec/2026x"));  // trailing text
    EXPECT_FALSE(f.dateFromString("08/Foo/2026"));
    EXPECT_FALSE(f.dateFromString(""));
    auto g = utcPosix("EEE yyyy MM dd HH:mm:ss.SSS");
    auto back = g.dateFromString(g.stringFromDate(kMoment));
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ(back->timeIntervalSince1970(), kMoment.timeIntervalSince1970());
}

TEST(DateFormatterTest, CopiesAreIndependentAndSharedUseIsSafe) {
    auto f = utcPosix("yyyy");
    DateFormatter copy = f;
    copy.setDateFormat("MM");
    EXPECT_EQ(f.stringFromDate(kMoment), "2026");
    EXPECT_EQ(copy.stringFromDate(kMoment), "12");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 200; ++k)
                if (f.stringFromDate(kMoment) != "2026") ++wrong;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(wrong, 0);
}

TEST(NumberFormatterTest, DefaultShowsWholeNumbersRoundedHalfEven) {
    NumberFormatter f;
    EXPECT_EQ(f.stringFromNumber(12), "12");
    EXPECT_EQ(f.stringFromNumber(2.5), "2");
    EXPECT_EQ(f.stringFromNumber(3.5), "4");
    EXPECT_EQ(f.stringFromNumber(-2.5), "-2");
    EXPECT_EQ(f.stringFromNumber(-0.4), "0");  // no "-0"
    EXPECT_EQ(f.stringFromNumber(0), "0");
    EXPECT_EQ(f.stringFromNumber(99.5), "100");
    EXPECT_EQ(f.stringFromNumber(1e21), "1000000000000000000000");
    EXPECT_EQ(f.stringFromNumber(std::nan("")), "NaN");
}

TEST(NumberFormatterTest, FractionAndIntegerDigits) {
    NumberFormatter f;  // the chart label formatter: 1 integer digit, exactly 1 fraction digit
    f.setMinimumIntegerDigits(1);
    f.setMinimumFractionDigits(1);
    f.setMaximumFractionDigits(1);
    EXPECT_EQ(f.stringFromNumber(0), "0.0");
    EXPECT_EQ(f.stringFromNumber(0.25), "0.2");
    EXPECT_EQ(f.stringFromNumber(0.35), "0.4");
    EXPECT_EQ(f.stringFromNumber(2.675), "2.7");
    EXPECT_EQ(f.stringFromNumber(-9.96), "-10.0");
    f.setMaximumFractionDigits(2);
    EXPECT_EQ(f.stringFromNumber(2.675), "2.68");  // as written, not as stored in binary
    EXPECT_EQ(f.stringFromNumber(2.665), "2.66");
    EXPECT_EQ(f.stringFromNumber(3), "3.0");
    f.setMinimumIntegerDigits(3);
    EXPECT_EQ(f.stringFromNumber(7.5), "007.5");
    NumberFormatter bare;
    bare.setMaximumFractionDigits(3);
    EXPECT_EQ(bare.stringFromNumber(0.5), ".5");
    EXPECT_EQ(bare.stringFromNumber(0.0001), "0");
    // Settings keep minimum <= maximum.
    bare.setMinimumFractionDigits(5);
    EXPECT_EQ(bare.maximumFractionDigits(), 5);
    bare.setMaximumFractionDigits(2);
    EXPECT_EQ(bare.minimumFractionDigits(), 2);
}

TEST(NumberFormatterTest, Decimals) {
    NumberFormatter f;
    f.setMinimumIntegerDigits(1);
    f.setMaximumFractionDigits(1);
    f.setMinimumFractionDigits(1);
    EXPECT_EQ(f.stringFromDecimal(Decimal::fromString("0.25")), "0.2");
    EXPECT_EQ(f.stringFromDecimal(Decimal::fromString("0.35")), "0.4");
    EXPECT_EQ(f.stringFromDecimal(Decimal::fromString("-125")), "-125.0");
    EXPECT_EQ(f.stringFromDecimal(Decimal::notANumber()), "NaN");
    auto d = f.decimalFromString(" 25 ");
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, Decimal::fromInteger(25));
    EXPECT_FALSE(f.decimalFromString("2 5"));
}

TEST(NumberFormatterTest, ReadingText) {
    NumberFormatter f;
    EXPECT_EQ(f.numberFromString("12"), 12.0);
    EXPECT_EQ(f.numberFromString(" -3.5 "), -3.5);
    EXPECT_EQ(f.numberFromString("+.5"), 0.5);
    EXPECT_EQ(f.numberFromString("7."), 7.0);
    for (const char* bad : {"", " ", "abc", "12abc", "1.2.3", "1e5", "-", ".", "0x10", "inf", "nan", "1 2"})
        EXPECT_FALSE(f.numberFromString(bad)) << bad;
}
