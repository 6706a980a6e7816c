#include "sharing/json/VXJSON.h"

#include <cmath>

#include <gtest/gtest.h>

#include "VXJsonTestSupport.h"
#include "platform/base/Log.h"

TEST(VXJSON, DepthIsSharedByBothParts) {
    VXJSON json;
    EXPECT_EQ(json.maxDepth(), 512u);
    json.setMaxDepth(1);
    EXPECT_TRUE(json.objectWithString("[1]"));
    EXPECT_FALSE(json.objectWithString("[[1]]"));
    EXPECT_FALSE(json.stringWithObject(VXJsonArray{VXJsonValue(VXJsonArray{})}));
    EXPECT_EQ(traceOf(json), (Trace{{7, "Nested too deep"}}));
}

TEST(VXJSON, WriterSettingsPassThrough) {
    VXJSON json;
    json.setHumanReadable(true);
    json.setSortKeys(true);
    EXPECT_TRUE(json.humanReadable());
    EXPECT_TRUE(json.sortKeys());
    EXPECT_EQ(json.stringWithObject(VXJsonObject{{"b", 1}, {"a", 2}}), "{\n  \"a\" : 2,\n  \"b\" : 1\n}");
}

TEST(VXJSON, FailureCopiesTraceAndHandsBackTheOutermostError) {
    VXJSON json;
    EXPECT_FALSE(json.objectWithString("[\"\\u12g4\"]"));
    EXPECT_EQ(traceOf(json).size(), 4u);

    VXJsonErrorPtr error;
    EXPECT_FALSE(json.objectWithString("[x]", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 3);
    EXPECT_EQ(error->localizedDescription(), "Expected value while parsing array");
    EXPECT_EQ(error->domain(), VXJsonError::errorDomain);
    ASSERT_TRUE(error->underlyingError());
    EXPECT_EQ(error->underlyingError()->localizedDescription(), "Unrecognised leading character");
    EXPECT_FALSE(error->underlyingError()->underlyingError());
    EXPECT_EQ(traceOf(json), (Trace{{3, "Unrecognised leading character"}, {3, "Expected value while parsing array"}}));

    EXPECT_FALSE(json.objectWithString("7", &error));
    EXPECT_EQ(error->code(), 4);
    auto v = json.fragmentWithString("7", &error);
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asNumber(), base::Decimal::fromInteger(7));

    EXPECT_FALSE(json.stringWithObject(7, &error));
    EXPECT_EQ(error->code(), 4);
    EXPECT_EQ(json.stringWithFragment(7, &error), "7");
    EXPECT_FALSE(json.stringWithFragment(VXJsonValue(NAN), &error));
    EXPECT_EQ(error->code(), 1);
    // No error place is fine too.
    EXPECT_FALSE(json.objectWithString(std::nullopt, false, nullptr));
    EXPECT_EQ(traceOf(json), (Trace{{12, "Input was 'nil'"}}));
}

TEST(VXJSON, TraceChangesAreAnnounced) {
    VXJsonParser parser;
    int changes = 0;
    parser.setErrorTraceObserver([&] { ++changes; });
    parser.objectWithString("[x]");
    EXPECT_EQ(changes, 3);  // cleared, then two errors
}

TEST(VXJSON, ConveniencesLogTheirFailure) {
    std::vector<std::string> lines;
    auto old = base::setLogSinkForTesting([&](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ(JSONRepresentation(VXJsonArray{1}), "[1]");
    EXPECT_EQ(JSONFragment("s"), "\"s\"");
    EXPECT_EQ(*JSONValue("{\"a\":1}"), (VXJsonValue(VXJsonObject{{"a", 1}})));
    EXPECT_EQ(*JSONFragmentValue("null"), VXJsonValue());
    EXPECT_TRUE(lines.empty());

    EXPECT_FALSE(JSONRepresentation(1));
    EXPECT_FALSE(JSONFragment(VXJsonValue(NAN)));
    EXPECT_FALSE(JSONValue("true"));
    EXPECT_FALSE(JSONFragmentValue("[1,]"));
    base::setLogSinkForTesting(old);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("-JSONRepresentation failed. Error trace is: "), std::string::npos);
    EXPECT_NE(lines[0].find("Not valid type for JSON"), std::string::npos);
    EXPECT_NE(lines[1].find("-JSONFragment failed. Error trace is: "), std::string::npos);
    EXPECT_NE(lines[2].find("-JSONValue failed. Error trace is: "), std::string::npos);
    EXPECT_NE(lines[2].find("Valid fragment, but not JSON"), std::string::npos);
    EXPECT_NE(lines[3].find("-JSONFragmentValue failed. Error trace is: "), std::string::npos);
    EXPECT_NE(lines[3].find("Trailing comma disallowed in array"), std::string::npos);
}
