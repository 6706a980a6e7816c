#include "platform/base/Value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "platform/base/Exception.h"

namespace {

using base::Array;
using base::Data;
using base::Dictionary;
using base::Value;

Data bytesOf(const std::string& s) { return Data(s.begin(), s.end()); }

Value sample() {
    Dictionary inner{{"reps", 12}, {"goal", 100.5}};
    return Value(Dictionary{
        {"zulu", "last written first"},
        {"flag", true},
        {"negative", -42},
        {"big", 9007199254740993LL},
        {"ratio", 0.1},
        {"text", "a<b & \"c\" \xc3\xa9"},
        {"blob", Data{0, 1, 2, 0xff}},
        {"when", base::Date(1300000000.0)},
        {"list", Array{1, "two", 3.5, Value(inner)}},
        {"empty", Dictionary{}},
    });
}

TEST(Value, LenientReadersConvertLikeUserDefaults) {
    EXPECT_EQ(Value("12").integerValue(), 12);
    EXPECT_EQ(Value(" -7 apples").integerValue(), -7);
    EXPECT_EQ(Value("12.9").integerValue(), 12);
    EXPECT_DOUBLE_EQ(Value("2.5").doubleValue(), 2.5);
    EXPECT_TRUE(Value("YES").boolValue());
    EXPECT_TRUE(Value("true").boolValue());
    EXPECT_TRUE(Value("007").boolValue());
    EXPECT_FALSE(Value("NO").boolValue());
    EXPECT_FALSE(Value("0").boolValue());
    EXPECT_EQ(Value(3.99).integerValue(), 3);
    EXPECT_EQ(Value(-3.99).integerValue(), -3);
    EXPECT_EQ(Value(1e300).integerValue(), INT64_MAX);  // saturates, no undefined behaviour
    EXPECT_EQ(Value("99999999999999999999").integerValue(), INT64_MAX);
    EXPECT_EQ(Value(true).integerValue(), 1);
    EXPECT_EQ(Value().integerValue(), 0);
    EXPECT_EQ(Value(Array{1}).doubleValue(), 0);
    EXPECT_EQ(Value(7).stringValue(), "7");
    EXPECT_EQ(Value(0.1).stringValue(), "0.1");
    EXPECT_EQ(Value(Data{1}).stringValue(), "");
}

TEST(Value, EqualityComparesNumbersByValueAndDictionariesIgnoringOrder) {
    EXPECT_EQ(Value(1), Value(1.0));
    EXPECT_EQ(Value(true), Value(1));
    EXPECT_NE(Value(1), Value("1"));
    EXPECT_EQ(Value(), Value(nullptr));
    EXPECT_EQ(Value(Dictionary{{"a", 1}, {"b", 2}}), Value(Dictionary{{"b", 2}, {"a", 1}}));
    EXPECT_NE(Value(Array{1, 2}), Value(Array{2, 1}));
}

TEST(Value, ContainersCopyOnWrite) {
    Value a(Array{1, 2});
    Value b = a;
    b.asArray()->push_back(3);
    EXPECT_EQ(a.asArray()->size(), 2u);
    EXPECT_EQ(b.asArray()->size(), 3u);
    Value d(Dictionary{{"k", 1}});
    Value e = d;
    e.asDictionary()->set("k", 2);
    EXPECT_EQ(d["k"].integerValue(), 1);
    EXPECT_EQ(e["k"].integerValue(), 2);
    EXPECT_TRUE(Value(5)["missing"].isNull());
    EXPECT_EQ(Value(5).asArray(), nullptr);
}

TEST(Value, DictionaryKeepsInsertionOrderAndReplacesInPlace) {
    Dictionary d;
    d.set("c", 1);
    d.set("a", 2);
    d.set("b", 3);
    d.set("a", 4);
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(d.get("a").integerValue(), 4);
    EXPECT_TRUE(d.remove("c"));
    EXPECT_FALSE(d.remove("c"));
    EXPECT_TRUE(d.get("c").isNull());
}

TEST(Value, XmlAndBinaryRoundTripEveryType) {
    Value v = sample();
    std::string err = "unset";
    auto fromXml = Value::fromPlist(bytesOf(v.toXMLPlist()), &err);
    ASSERT_TRUE(fromXml) << err;
    EXPECT_TRUE(err.empty());
    EXPECT_EQ(*fromXml, v);
    auto fromBin = Value::fromPlist(v.toBinaryPlist(), &err);
    ASSERT_TRUE(fromBin) << err;
    EXPECT_EQ(*fromBin, v);
    // Written order is the insertion order, in both forms.
    EXPECT_EQ(fromXml->asDictionary()->keys(), v.asDictionary()->keys());
    EXPECT_EQ(fromBin->asDictionary()->keys(), v.asDictionary()->keys());
    EXPECT_EQ((*fromBin)["negative"].type(), Value::Type::Integer);
    EXPECT_EQ((*fromBin)["when"].asDate()->timeIntervalSince1970(), 1300000000.0);
}

TEST(Value, EveryRealAReaderTakesIsWrittenAndReadBackInBothForms) {
    // NaN once made the binary writer search for ever: it broke the
    // ordering of the reals it kept.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double max = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::vector<std::pair<std::string, double>> reals{
        {"nan", nan},     {"inf", inf},   {"-inf", -inf},   {"big", 1e300},
        {"-big", -1e300}, {"max", max},   {"-max", -max},   {"zero", 0.0},
        {"-zero", -0.0},  {"tiny", tiny}, {"-tiny", -tiny}, {"stand-in", 1.0 + std::ldexp(1.0, -50)},
        {"again", 1e300}};
    Dictionary d;
    for (const auto& [key, real] : reals) d.set(key, real);
    d.set("list", Array{nan, 1e300, -1e300, inf});
    const Value v(std::move(d));
    auto same = [](double a, double b) { return std::isnan(a) ? std::isnan(b) : a == b; };
    std::string err;
    auto bin = v.toBinaryPlist(&err);
    ASSERT_TRUE(bin) << err;
    auto xml = v.toXMLPlist(&err);
    ASSERT_TRUE(xml) << err;
    for (const auto& back : {Value::fromPlist(*bin, &err), Value::fromPlist(bytesOf(*xml), &err)}) {
        ASSERT_TRUE(back) << err;
        for (const auto& [key, real] : reals) {
            EXPECT_EQ((*back)[key].type(), Value::Type::Real) << key;
            EXPECT_TRUE(same((*back)[key].doubleValue(), real))
                << key << " read back as " << (*back)[key].doubleValue();
        }
        const Array* list = (*back)["list"].asArray();
        ASSERT_TRUE(list && list->size() == 4);
        EXPECT_TRUE(std::isnan((*list)[0].doubleValue()));
        EXPECT_EQ((*list)[1].doubleValue(), 1e300);
        EXPECT_EQ((*list)[2].doubleValue(), -1e300);
        EXPECT_EQ((*list)[3].doubleValue(), inf);
    }
    auto fromBin = Value::fromPlist(*bin);
    EXPECT_TRUE(std::signbit((*fromBin)["-zero"].doubleValue()));
}

TEST(Value, XmlKeepsTheSignOfZeroAndCarriageReturnsAndRefusesWhatItCannotCarry) {
    const Value v(Dictionary{{"minus", -0.0}, {"list", Array{0.0, -0.0, -2.5}}, {"lines", "a\r\nb\rc"}});
    std::string err;
    const auto xml = v.toXMLPlist(&err);
    ASSERT_TRUE(xml) << err;
    // As other readers read it: a bare carriage return would come back as a
    // line feed.
    EXPECT_NE(xml->find("<real>-0.0</real>"), std::string::npos) << *xml;
    EXPECT_EQ(xml->find('\r'), std::string::npos) << *xml;
    const auto back = Value::fromPlist(bytesOf(*xml), &err);
    ASSERT_TRUE(back) << err;
    EXPECT_TRUE(std::signbit((*back)["minus"].doubleValue()));
    const Array* list = (*back)["list"].asArray();
    ASSERT_TRUE(list && list->size() == 3);
    EXPECT_FALSE(std::signbit((*list)[0].doubleValue()));
    EXPECT_TRUE(std::signbit((*list)[1].doubleValue()));
    EXPECT_EQ((*list)[2].doubleValue(), -2.5);
    EXPECT_EQ(*(*back)["lines"].asString(), "a\r\nb\rc");

    // U+FFFF and U+FFFE have no form in XML 1.0: the write fails and says
    // why, and the binary form keeps them.
    const Value odd(Dictionary{{"name", "a\xEF\xBF\xBF"}});
    EXPECT_FALSE(odd.toXMLPlist(&err));
    EXPECT_NE(err.find("U+FFFF"), std::string::npos) << err;
    EXPECT_FALSE(Value(Dictionary{{"\xEF\xBF\xBE", 1}}).toXMLPlist(&err));
    EXPECT_NE(err.find("key holds U+FFFE"), std::string::npos) << err;
    EXPECT_THROW(odd.toXMLPlist(), base::Exception);
    const auto fromBin = Value::fromPlist(odd.toBinaryPlist());
    ASSERT_TRUE(fromBin);
    EXPECT_EQ(*fromBin, odd);
}

TEST(Value, BinaryKeepsFractionalDatesAndNullsAreLeftOut) {
    Value v(Dictionary{{"at", base::Date(1300000000.25)}, {"gone", Value()}, {"list", Array{Value(), 1}}});
    auto back = Value::fromPlist(v.toBinaryPlist());
    ASSERT_TRUE(back);
    EXPECT_DOUBLE_EQ((*back)["at"].asDate()->timeIntervalSince1970(), 1300000000.25);
    EXPECT_FALSE(back->asDictionary()->contains("gone"));
    EXPECT_EQ((*back)["list"].asArray()->size(), 1u);
    auto empty = Value::fromPlist(bytesOf(Value().toXMLPlist()));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->type(), Value::Type::Dictionary);
}

// A binary property list of n arrays, each holding the next (the last one
// empty, or, when loop is set, holding the first again).
Data nestedBinary(std::uint32_t n, bool loop = false) {
    Data out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    auto be32 = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    };
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t i = 0; i < n; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        if (i + 1 < n || loop) {
            out.push_back(0xA1);
            be32(i + 1 < n ? i + 1 : 0);
        } else {
            out.push_back(0xA0);
        }
    }
    auto table = static_cast<std::uint32_t>(out.size());
    for (auto o : offsets) be32(o);
    for (int i = 0; i < 6; ++i) out.push_back(0);
    out.push_back(4);  // offset size
    out.push_back(4);  // reference size
    for (std::uint64_t v : {std::uint64_t{n}, std::uint64_t{0}, std::uint64_t{table}})
        for (int s = 56; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    return out;
}

TEST(Value, HostileNestingIsRefusedBeforeItCanExhaustTheStack) {
    std::string err;
    auto shallow = Value::fromPlist(nestedBinary(100), &err);
    ASSERT_TRUE(shallow) << err;
    EXPECT_EQ(shallow->asArray()->size(), 1u);
    EXPECT_FALSE(Value::fromPlist(nestedBinary(200000), &err));
    EXPECT_EQ(err, "property list nested too deeply");
    EXPECT_FALSE(Value::fromPlist(nestedBinary(3, true), &err));  // an array inside itself

    std::string deep = "<plist>";
    for (int i = 0; i < 100000; ++i) deep += "<array>";
    for (int i = 0; i < 100000; ++i) deep += "</array>";
    EXPECT_FALSE(Value::fromPlist(bytesOf(deep + "</plist>"), &err));
    EXPECT_EQ(err, "property list nested too deeply");
    auto fine = Value::fromPlist(bytesOf("<plist><!-- <array> --><array><array/><string><![CDATA[<a>]]></string>"
                                         "</array></plist>"),
                                 &err);
    ASSERT_TRUE(fine) << err;
    EXPECT_EQ(fine->asArray()->size(), 2u);
}

// The bytes with the first occurrence of from replaced by to (same length).
Data patched(Data bytes, const std::string& from, const std::string& to) {
    const Data needle(from.begin(), from.end());
    auto at = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
    EXPECT_NE(at, bytes.end()) << from;
    if (at != bytes.end()) std::copy(to.begin(), to.end(), at);
    return bytes;
}

TEST(Value, ABinaryStringOrKeyHoldingANulLosesOnlyThatValue) {
    const Value settings(Dictionary{{"Tolvek_Level", 2}, {"Tolvek_Week", 3}, {"name", "abcd"}, {"keyx", 7}});
    Data bytes = patched(settings.toBinaryPlist(), "abcd", std::string("a\0cd", 4));
    bytes = patched(bytes, "keyx", std::string("ke\0x", 4));
    std::string err;
    std::vector<std::string> dropped;
    auto back = Value::fromPlist(bytes, &err, &dropped);
    ASSERT_TRUE(back) << err;
    EXPECT_EQ((*back)["Tolvek_Level"].integerValue(), 2);
    EXPECT_EQ((*back)["Tolvek_Week"].integerValue(), 3);
    EXPECT_EQ(back->asDictionary()->size(), 2u);
    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_NE(dropped[0].find("NUL"), std::string::npos) << dropped[0];

    // The same in a UTF-16 key (a text with a character beyond Latin-1 is
    // written so).
    const Value wide(Dictionary{{"Tolvek_Level", 2}, {"\xE2\x82\xAC\xE2\x82\xAC", 1}});
    const std::string euro("\x20\xAC\x20\xAC", 4);
    auto half = Value::fromPlist(patched(wide.toBinaryPlist(), euro, std::string("\x20\xAC\x00\x00", 4)), &err);
    ASSERT_TRUE(half) << err;
    EXPECT_EQ(*half, Value(Dictionary{{"Tolvek_Level", 2}})) << half->description();
}

TEST(Value, MalformedInputGivesAnErrorNotACrash) {
    std::string err;
    EXPECT_FALSE(Value::fromPlist({}, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(Value::fromPlist(bytesOf("bplist00 this is not binary"), &err));
    EXPECT_FALSE(Value::fromPlist(bytesOf("not a plist at all"), &err));
    EXPECT_FALSE(Value::fromPlist(bytesOf("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"), &err));
    std::string deep = "<plist>";
    for (int i = 0; i < 20000; ++i) deep += "<array>";
    EXPECT_FALSE(Value::fromPlist(bytesOf(deep), &err));

    // Every truncation and a few thousand corruptions of both forms.
    std::string xml = sample().toXMLPlist();
    Data bin = sample().toBinaryPlist();
    for (std::size_t n = 0; n < xml.size(); n += 7) Value::fromPlist(bytesOf(xml.substr(0, n)));
    for (std::size_t n = 0; n < bin.size(); ++n) Value::fromPlist(Data(bin.begin(), bin.begin() + n));
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        Data b = bin;
        for (int k = 0; k < 3; ++k) b[8 + rng() % (b.size() - 8)] = static_cast<std::uint8_t>(rng());
        Value::fromPlist(b);
    }
}

}  // namespace
