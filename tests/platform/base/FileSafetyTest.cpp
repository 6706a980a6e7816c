// Settings and files: nothing written that cannot be read back, values out
// of the library's range kept in range, no temporaries left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "TestEnvironment.h"
#include "platform/base/Exception.h"
#include "platform/base/FileManager.h"
#include "platform/base/Keychain.h"
#include "platform/base/UTF8.h"
#include "platform/base/UserDefaults.h"
#include "platform/base/Value.h"

namespace {

using base::Array;
using base::Data;
using base::Dictionary;
using base::Value;

Data bytesOf(const std::string& s) { return Data(s.begin(), s.end()); }

Value roundTrip(const Value& v) {
    auto bytes = v.toBinaryPlist(nullptr);
    EXPECT_TRUE(bytes);
    if (!bytes) return {};
    auto back = Value::fromPlist(*bytes);
    EXPECT_TRUE(back);
    return back ? *back : Value();
}

// A binary property list of one array holding one object, given as its
// marker byte and payload.
Data singleObjectList(const Data& object) {
    Data out = bytesOf("bplist00");
    const std::uint8_t arrayAt = 8;
    out.push_back(0xA1);  // array of one
    out.push_back(1);     // reference to object 1
    const std::uint8_t objectAt = static_cast<std::uint8_t>(out.size());
    out.insert(out.end(), object.begin(), object.end());
    const std::size_t tableAt = out.size();
    out.push_back(arrayAt);
    out.push_back(objectAt);
    Data trailer(32, 0);
    trailer[6] = 1;   // offset size
    trailer[7] = 1;   // reference size
    trailer[15] = 2;  // objects
    trailer[23] = 0;  // top
    trailer[31] = static_cast<std::uint8_t>(tableAt);
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

TEST(PlistWriterTest, InvalidUTF8IsWrittenAsReplacementCharacters) {
    // A string starting with an invalid byte used to come back empty, a
    // later invalid byte cut it short.
    const std::string leading =
        "\x80"
        "abc";
    const std::string inner =
        "ab\xC3"
        "cd\xFF"
        "e";
    Value back = roundTrip(Value(Dictionary{{"leading", leading},
                                            {"inner", inner},
                                            {"k\xFE"
                                             "ey",
                                             1}}));
    EXPECT_EQ(back["leading"].stringValue(),
              "\xEF\xBF\xBD"
              "abc");
    EXPECT_EQ(back["inner"].stringValue(),
              "ab\xEF\xBF\xBD"
              "cd\xEF\xBF\xBD"
              "e");
    EXPECT_EQ(back["k\xEF\xBF\xBD"
                   "ey"]
                  .integerValue(),
              1);
    // Valid text of every width survives unchanged.
    const std::string wide = "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xAA";
    EXPECT_EQ(roundTrip(Value(Array{wide})).asArray()->at(0).stringValue(), wide);
    EXPECT_EQ(
        base::validUTF8("A" + std::string(60, '\x80')), "A" + [] {
            std::string r;
            for (int i = 0; i < 60; ++i) r += "\xEF\xBF\xBD";
            return r;
        }());
}

TEST(PlistWriterTest, AWriteThatWouldLoseDataFailsVisibly) {
    std::string why;
    Value nul(Dictionary{{"name", std::string("a\0b", 3)}});
    EXPECT_FALSE(nul.toBinaryPlist(&why));
    EXPECT_NE(why.find("NUL"), std::string::npos);
    EXPECT_THROW(nul.toBinaryPlist(), base::Exception);
    // Two keys that repair to the same text would merge.
    EXPECT_FALSE(Value(Dictionary{{"k\x80", 1}, {"k\x81", 2}}).toBinaryPlist(&why));
    EXPECT_FALSE(Value(Array{"bell\x07"}).toXMLPlist(&why));
    // Empty data is fine and reads back empty.
    EXPECT_TRUE(roundTrip(Value(Array{Data{}})).asArray()->at(0).asData()->empty());
}

TEST(PlistWriterTest, SettingsWithABadStringStayReadable) {
    test::TempHome home;
    {
        auto& d = base::UserDefaults::standardUserDefaults();
        d.setInteger("Tolvek_Level", 2);
        d.setString("note", "\x80 bad start");
        EXPECT_TRUE(d.synchronize());
        d.setString("nul", std::string("x\0y", 3));
        EXPECT_FALSE(d.synchronize());  // refused, and the good file stays
    }
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    const std::string file = base::paths::join(base::paths::configHome(), "defaults.plist");
    auto bytes = base::FileManager::defaultManager().contentsAtPath(file);
    ASSERT_TRUE(bytes);
    auto v = Value::fromPlist(*bytes);
    ASSERT_TRUE(v);
    EXPECT_EQ((*v)["Tolvek_Level"].integerValue(), 2);
    EXPECT_EQ((*v)["note"].stringValue(), "\xEF\xBF\xBD bad start");
    EXPECT_FALSE(base::FileManager::defaultManager().fileExists(file + ".corrupt"));
}

TEST(PlistReaderTest, IntegersSpanTheSignedAndUnsignedRanges) {
    const auto max = std::numeric_limits<std::int64_t>::max();
    const auto min = std::numeric_limits<std::int64_t>::min();
    const auto umax = std::numeric_limits<std::uint64_t>::max();
    std::string xml =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
        "<integer>9223372036854775808</integer><integer>18446744073709551615</integer>"
        "<integer>123456789012345678901234567890</integer><integer>-99999999999999999999</integer>"
        "<integer>-9223372036854775808</integer><integer> 42 </integer></array></plist>";
    auto v = Value::fromPlist(bytesOf(xml));
    ASSERT_TRUE(v);
    const Array& a = *v->asArray();
    EXPECT_EQ(a[0].wideIntegerValue(), std::uint64_t{1} << 63);
    EXPECT_EQ(a[0].integerValue(), max);  // the signed reading saturates
    EXPECT_EQ(a[0].stringValue(), "9223372036854775808");
    EXPECT_EQ(a[1].wideIntegerValue(), umax);
    EXPECT_EQ(a[2].wideIntegerValue(), umax);  // beyond: the nearest end
    EXPECT_EQ(a[3].integerValue(), min);
    EXPECT_EQ(a[4].integerValue(), min);
    EXPECT_FALSE(a[4].wideIntegerValue());
    EXPECT_EQ(a[5].integerValue(), 42);
    EXPECT_NE(a[0], Value(max));  // an integer past the signed range equals only itself
    EXPECT_EQ(a[1], Value(static_cast<unsigned long long>(umax)));

    // Binary: a 16-byte integer of 2^64 - 1 and one of 2^70.
    Data big{0x14};
    for (int i = 0; i < 8; ++i) big.push_back(0);
    for (int i = 0; i < 8; ++i) big.push_back(0xFF);
    auto b = Value::fromPlist(singleObjectList(big));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->asArray()->at(0).wideIntegerValue(), umax);
    Data huge{0x14, 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Value::fromPlist(singleObjectList(huge))->asArray()->at(0).wideIntegerValue(), umax);

    // Both ends of both ranges round-trip through both forms.
    const Value ends(Array{Value(min), Value(max), Value(static_cast<unsigned long long>(umax)),
                           Value(static_cast<unsigned long long>(max) + 1)});
    EXPECT_EQ(roundTrip(ends), ends);
    const std::string written = ends.toXMLPlist();
    EXPECT_NE(written.find("<integer>-9223372036854775808</integer>"), std::string::npos);
    EXPECT_NE(written.find("<integer>18446744073709551615</integer>"), std::string::npos);
    EXPECT_EQ(Value::fromPlist(bytesOf(written)), ends);
}

TEST(PlistReaderTest, MarkupInTextIsNotTakenForNumbers) {
    // Integers and dates are set aside before the library reads the text:
    // what only looks like one (in a CDATA section or a comment) stays text,
    // and one in a form this cannot see is refused rather than misread.
    std::string xml =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><!-- <integer>7</integer> -->"
        "<string><![CDATA[<integer>5</integer><date>x</date>]]></string><integer>3</integer></array></plist>";
    auto v = Value::fromPlist(bytesOf(xml));
    ASSERT_TRUE(v);
    ASSERT_EQ(v->asArray()->size(), 2u);
    EXPECT_EQ(v->asArray()->at(0).stringValue(), "<integer>5</integer><date>x</date>");
    EXPECT_EQ(v->asArray()->at(1).integerValue(), 3);
    for (const char* bad : {"<integer/>", "<integer a=\"1\">1</integer>", "<integer>1x</integer>",
                            "<date>2001-13-01T00:00:00Z</date>", "<date >2001-01-01T00:00:00Z</date>"}) {
        std::string error;
        EXPECT_FALSE(
            Value::fromPlist(bytesOf(std::string("<plist version=\"1.0\"><array>") + bad + "</array></plist>"), &error))
            << bad;
        EXPECT_EQ(error, "malformed XML property list");
    }
}

TEST(PlistWriterTest, FarDatesKeepTheirDayInBothForms) {
    // Year 4001 (the platform's distant future), year 1, and a fraction of a
    // second before 2001, which XML writes rounded down.
    const Value dates(Array{Value(base::Date::dateWithTimeIntervalSinceReferenceDate(63113904000.0)),
                            Value(base::Date::dateWithTimeIntervalSinceReferenceDate(-63113904000.0)),
                            Value(base::Date::dateWithTimeIntervalSinceReferenceDate(-0.25))});
    EXPECT_EQ(roundTrip(dates), dates);
    const std::string xml = dates.toXMLPlist();
    EXPECT_NE(xml.find("<date>4001-01-01T00:00:00Z</date>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<date>0001-01-01T00:00:00Z</date>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<date>2000-12-31T23:59:59Z</date>"), std::string::npos) << xml;
    auto back = Value::fromPlist(bytesOf(xml));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->asArray()->at(0), dates.asArray()->at(0));
    EXPECT_EQ(back->asArray()->at(2).asDate()->timeIntervalSinceReferenceDate(), -1.0);
}

TEST(PlistReaderTest, DatesOutOfRangeAreClampedNotWrapped) {
    // A binary date of 1e300 seconds after 2001 used to come back as a date
    // in 1932 (the conversion overflowed); it is the latest date instead.
    double far = 1e300;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &far, sizeof bits);
    Data date{0x33};
    for (int i = 7; i >= 0; --i) date.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    auto v = Value::fromPlist(singleObjectList(date));
    ASSERT_TRUE(v);
    ASSERT_TRUE(v->asArray()->at(0).asDate());
    EXPECT_GT(v->asArray()->at(0).asDate()->timeIntervalSince1970(), 3.0e9);

    std::string xml =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><date>99999-01-01T00:00:00Z</date>"
        "<date>1800-01-01T00:00:00Z</date><date>2010-05-06T07:08:09Z</date></array></plist>";
    auto x = Value::fromPlist(bytesOf(xml));
    ASSERT_TRUE(x);
    EXPECT_GT(x->asArray()->at(0).asDate()->timeIntervalSince1970(), 3.0e9);
    EXPECT_LT(x->asArray()->at(1).asDate()->timeIntervalSince1970(), -1.1e9);
    EXPECT_EQ(x->asArray()->at(2).asDate()->timeIntervalSince1970(), 1273129689.0);
}

void age(const std::string& file, int seconds) {
    std::filesystem::last_write_time(file,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::seconds(seconds));
}

TEST(StaleTemporariesTest, LeftOverTemporariesAreRemovedAtStart) {
    test::TempHome home;
    auto& fm = base::FileManager::defaultManager();
    const std::string config = base::paths::configHome();
    fm.createDirectory(config, true);
    const std::string settings = base::paths::join(config, "defaults.plist");
    const std::string stale = base::paths::join(config, ".defaults.plist.tmp-Ab12Cd");
    const std::string fresh = base::paths::join(config, ".defaults.plist.tmp-Xy34Zw");
    const std::string other = base::paths::join(config, ".other.plist.tmp-Ab12Cd");
    for (const auto& f : {stale, fresh, other}) ASSERT_TRUE(fm.writeAtomically(f, std::string("half")));
    age(stale, 3600);
    age(other, 3600);
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    base::UserDefaults::standardUserDefaults().boolForKey("x");
    EXPECT_FALSE(fm.fileExists(stale));
    EXPECT_TRUE(fm.fileExists(fresh));  // another instance may be writing it
    EXPECT_TRUE(fm.fileExists(other));  // not ours

    // The keychain's half-written copies hold secrets: they go too.
    const std::string keychainFile = base::paths::join(base::paths::dataHome(), "sweep-keychain.plist");
    fm.createDirectory(base::paths::dataHome(), true);
    const std::string copy = base::paths::join(base::paths::dataHome(), ".sweep-keychain.plist.tmp-Qw12Er");
    ASSERT_TRUE(fm.writeAtomically(copy, std::string("secret"), nullptr, 0600));
    age(copy, 3600);
    base::FileKeychain keychain(keychainFile);
    std::optional<Data> data;
    keychain.findData("svc", "acct", &data);
    EXPECT_FALSE(fm.fileExists(copy));
}

}  // namespace

namespace {

TEST(PlistWriterTest, HugeRealsAreWrittenExactly) {
    // Reals beyond single precision go past the library's narrowing test.
    const double big = 1e300, negative = -3.5e200, max = std::numeric_limits<double>::max();
    const double standInLike = 1.0 + std::ldexp(1.0, -50);  // what a stand-in would be
    Value v(Array{big, negative, max, 2.5, standInLike, big, std::numeric_limits<double>::infinity()});
    Value back = roundTrip(v);
    ASSERT_TRUE(back.asArray());
    const Array& a = *back.asArray();
    ASSERT_EQ(a.size(), 7u);
    EXPECT_EQ(a[0].doubleValue(), big);
    EXPECT_EQ(a[1].doubleValue(), negative);
    EXPECT_EQ(a[2].doubleValue(), max);
    EXPECT_EQ(a[3].doubleValue(), 2.5);
    EXPECT_EQ(a[4].doubleValue(), standInLike);
    EXPECT_EQ(a[5].doubleValue(), big);
    EXPECT_EQ(a[6].doubleValue(), std::numeric_limits<double>::infinity());
}

}  // namespace
