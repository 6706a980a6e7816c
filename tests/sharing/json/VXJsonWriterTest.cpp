#include "sharing/json/VXJsonWriter.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "VXJsonTestSupport.h"
#include "sharing/json/VXJsonParser.h"

namespace {

VXJsonValue sample() {
    return VXJsonObject{
        {"name", "Tolvek"},      {"week", 3},       {"reps", VXJsonArray{10, 12, base::Decimal::fromString("7.5")}},
        {"done", true},          {"note", nullptr}, {"empty", VXJsonObject{}},
        {"none", VXJsonArray{}},
    };
}

class Opaque : public VXJsonCustom {
public:
    std::string className() const override { return "Opaque"; }
};

class Proxied : public VXJsonCustom {
public:
    explicit Proxied(VXJsonValue v) : v_(std::move(v)) {}
    std::string className() const override { return "Proxied"; }
    std::optional<VXJsonValue> proxyForJson() const override { return v_; }

private:
    VXJsonValue v_;
};

}  // namespace

TEST(VXJsonWriter, CompactKeepsInsertionOrder) {
    VXJsonWriter writer;
    EXPECT_EQ(writer.stringWithObject(sample()),
              R"({"name":"Tolvek","week":3,"reps":[10,12,7.5],"done":true,"note":null,"empty":{},"none":[]})");
}

TEST(VXJsonWriter, SortedKeys) {
    VXJsonWriter writer;
    writer.setSortKeys(true);
    EXPECT_EQ(writer.stringWithObject(sample()),
              R"({"done":true,"empty":{},"name":"Tolvek","none":[],"note":null,"reps":[10,12,7.5],"week":3})");
    // Plain character order: capitals before small letters, a prefix first.
    EXPECT_EQ(writer.stringWithObject(VXJsonObject{{"b", 1}, {"a2", 2}, {"a", 3}, {"B", 4}}),
              R"({"B":4,"a":3,"a2":2,"b":1})");
}

TEST(VXJsonWriter, HumanReadable) {
    VXJsonWriter writer;
    writer.setHumanReadable(true);
    writer.setSortKeys(true);
    EXPECT_EQ(writer.stringWithObject(sample()),
              "{\n"
              "  \"done\" : true,\n"
              "  \"empty\" : {},\n"
              "  \"name\" : \"Tolvek\",\n"
              "  \"none\" : [],\n"
              "  \"note\" : null,\n"
              "  \"reps\" : [\n"
              "    10,\n"
              "    12,\n"
              "    7.5\n"
              "  ],\n"
              "  \"week\" : 3\n"
              "}");
    EXPECT_EQ(writer.stringWithObject(VXJsonArray{VXJsonValue(VXJsonArray{VXJsonObject{{"a", 1}}})}),
              "[\n  [\n    {\n      \"a\" : 1\n    }\n  ]\n]");
    EXPECT_EQ(writer.stringWithObject(VXJsonArray{}), "[]");
}

TEST(VXJsonWriter, HumanReadableWithoutDepthLimitStillIndents) {
    VXJsonWriter writer;
    writer.setMaxDepth(0);
    writer.setHumanReadable(true);
    EXPECT_EQ(writer.stringWithObject(VXJsonArray{VXJsonValue(VXJsonArray{1})}), "[\n  [\n    1\n  ]\n]");
}

TEST(VXJsonWriter, StringEscapes) {
    VXJsonWriter writer;
    EXPECT_EQ(writer.stringWithFragment(std::string("q\" b\\ /\b\t\n\f\r\x01\x1f\x7f \xc3\xa6")),
              "\"q\\\" b\\\\ /\\b\\t\\n\\f\\r\\u0001\\u001f\x7f \xc3\xa6\"");
    EXPECT_EQ(writer.stringWithFragment(std::string("a\0b", 3)), "\"a\\u0000b\"");
    EXPECT_EQ(writer.stringWithFragment(std::string("plain")), "\"plain\"");
    EXPECT_EQ(writer.stringWithFragment(std::string()), "\"\"");
    // Keys take the same escapes.
    EXPECT_EQ(writer.stringWithObject(VXJsonObject{{"k\"\n", 1}}), R"({"k\"\n":1})");
}

TEST(VXJsonWriter, Scalars) {
    VXJsonWriter writer;
    EXPECT_EQ(writer.stringWithFragment(VXJsonValue()), "null");
    EXPECT_EQ(writer.stringWithFragment(false), "false");
    EXPECT_EQ(writer.stringWithFragment(-42), "-42");
    EXPECT_EQ(writer.stringWithFragment(2.7), "2.7");
    EXPECT_EQ(writer.stringWithFragment(base::Decimal::fromString("-0.001")), "-0.001");
    EXPECT_FALSE(writer.stringWithObject(5));
    EXPECT_EQ(traceOf(writer), (Trace{{4, "Not valid type for JSON"}}));
    EXPECT_FALSE(writer.stringWithObject("text"));
    EXPECT_EQ(traceOf(writer), (Trace{{4, "Not valid type for JSON"}}));
}

TEST(VXJsonWriter, RefusesNonFiniteNumbers) {
    VXJsonWriter writer;
    for (double d : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(writer.stringWithFragment(d));
        EXPECT_EQ(traceOf(writer), (Trace{{1, "JSON serialisation not supported for NaN"}}));
    }
    EXPECT_FALSE(writer.stringWithObject(VXJsonObject{{"outer", VXJsonObject{{"x", NAN}}}}));
    EXPECT_EQ(traceOf(writer), (Trace{{1, "JSON serialisation not supported for NaN"},
                                      {1, "Unsupported value for key x in object"},
                                      {1, "Unsupported value for key outer in object"}}));
    // Arrays add nothing of their own.
    EXPECT_FALSE(writer.stringWithObject(VXJsonArray{VXJsonValue(VXJsonArray{HUGE_VAL})}));
    EXPECT_EQ(traceOf(writer), (Trace{{1, "JSON serialisation not supported for NaN"}}));
}

TEST(VXJsonWriter, ApplicationObjectsAndProxies) {
    VXJsonWriter writer;
    auto opaque = std::make_shared<Opaque>();
    EXPECT_FALSE(writer.stringWithFragment(VXJsonValue(opaque)));
    EXPECT_EQ(traceOf(writer), (Trace{{1, "JSON serialisation not supported for Opaque"}}));
    EXPECT_FALSE(writer.stringWithObject(VXJsonObject{{"o", opaque}}));
    EXPECT_EQ(traceOf(writer), (Trace{{1, "JSON serialisation not supported for Opaque"},
                                      {1, "Unsupported value for key o in object"}}));

    auto proxied = std::make_shared<Proxied>(VXJsonArray{1, "two"});
    EXPECT_EQ(writer.stringWithObject(VXJsonValue(proxied)), R"([1,"two"])");
    EXPECT_EQ(writer.stringWithObject(VXJsonObject{{"p", proxied}}), R"({"p":[1,"two"]})");
    // A proxy of a proxy.
    auto twice = std::make_shared<Proxied>(VXJsonValue(proxied));
    EXPECT_EQ(writer.stringWithObject(VXJsonValue(twice)), R"([1,"two"])");
    // An object whose proxy is a scalar can be a fragment, not an object.
    auto scalar = std::make_shared<Proxied>(VXJsonValue(3));
    EXPECT_EQ(writer.stringWithFragment(VXJsonValue(scalar)), "3");
    EXPECT_FALSE(writer.stringWithObject(VXJsonValue(scalar)));
    EXPECT_EQ(traceOf(writer), (Trace{{4, "Not valid type for JSON"}}));
    // A proxy that fails to write is reported as not valid for JSON.
    auto bad = std::make_shared<Proxied>(VXJsonArray{VXJsonValue(opaque)});
    EXPECT_FALSE(writer.stringWithObject(VXJsonValue(bad)));
    EXPECT_EQ(traceOf(writer), (Trace{{4, "Not valid type for JSON"}}));
}

TEST(VXJsonWriter, DepthLimit) {
    VXJsonValue v = VXJsonArray{};
    for (int i = 1; i < 512; ++i) v = VXJsonArray{v};
    VXJsonWriter writer;
    auto text = writer.stringWithObject(v);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 1024u);
    v = VXJsonObject{{"k", v}};
    EXPECT_FALSE(writer.stringWithObject(v));
    EXPECT_EQ(traceOf(writer), (Trace{{7, "Nested too deep"}, {1, "Unsupported value for key k in object"}}));
    writer.setMaxDepth(0);
    EXPECT_TRUE(writer.stringWithObject(v));
}

TEST(VXJsonWriter, DeepValuesWithoutLimit) {
    const int levels = 300000;
    VXJsonValue v = 1;
    for (int i = 0; i < levels; ++i) v = VXJsonArray{std::move(v)};
    VXJsonWriter writer;
    writer.setMaxDepth(0);
    auto text = writer.stringWithObject(v);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 2u * levels + 1);
    VXJsonParser parser;
    parser.setMaxDepth(0);
    EXPECT_EQ(parser.objectWithString(*text), v);
}

TEST(VXJsonWriter, RoundTrips) {
    const char* texts[] = {
        R"({"a":[1,2.25,-3,1e2,0.000001],"b":{"c":"\"\\\/\b\f\n\r\t\u0001"},"d":[true,false,null],"e":"\u00e6\ud83d\ude00"})",
        R"([[],{},[[]],"",0,-0.5,12345678901234567890123456789012345678])",
    };
    VXJsonParser parser;
    VXJsonWriter writer;
    for (const char* t : texts) {
        auto v = parser.objectWithString(t);
        ASSERT_TRUE(v) << t;
        for (bool human : {false, true}) {
            writer.setHumanReadable(human);
            auto out = writer.stringWithObject(*v);
            ASSERT_TRUE(out);
            auto again = parser.objectWithString(*out);
            ASSERT_TRUE(again) << *out;
            EXPECT_EQ(*again, *v);
            EXPECT_EQ(writer.stringWithObject(*again), out);
        }
    }
    // Text written compactly by the writer comes back unchanged.
    const std::string canonical = R"({"list":[1,"two",{"three":3}],"text":"tab\tquote\""})";
    writer.setHumanReadable(false);
    EXPECT_EQ(writer.stringWithObject(*parser.objectWithString(canonical)), canonical);
}

namespace {

TEST(VXJsonWriterRepairTest, TextThatIsNotUTF8IsWrittenAsReplacementCharacters) {
    VXJsonWriter writer;
    VXJsonParser parser;
    const std::string bad =
        "A\x80"
        "B\xC3";
    auto json = writer.stringWithObject(VXJsonObject{{"k\xFF", bad}, {"ok", "\xC3\xA9"}});
    ASSERT_TRUE(json);
    EXPECT_NE(json->find("\"A\xEF\xBF\xBD"
                         "B\xEF\xBF\xBD\""),
              std::string::npos);
    EXPECT_NE(json->find("\"k\xEF\xBF\xBD\""), std::string::npos);
    EXPECT_NE(json->find("\"\xC3\xA9\""), std::string::npos);  // valid text untouched
    // What the writer writes, the parser reads.
    auto back = parser.objectWithString(*json);
    ASSERT_TRUE(back);
    EXPECT_EQ(*(*back).asObject()->find("ok")->asString(), "\xC3\xA9");
}

}  // namespace
