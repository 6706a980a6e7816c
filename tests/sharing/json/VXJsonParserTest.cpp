#include "sharing/json/VXJsonParser.h"

#include <barrier>
#include <thread>

#include <gtest/gtest.h>

#include "VXJsonTestSupport.h"

namespace {

base::Decimal dec(const char* text) { return base::Decimal::fromString(text); }

// The trace of a failed fragment parse.
Trace failure(std::string_view text) {
    VXJsonParser parser;
    EXPECT_FALSE(parser.fragmentWithString(text).has_value()) << text;
    return traceOf(parser);
}

std::string nested(std::size_t levels, char open, char close, const std::string& inner = "") {
    std::string s;
    for (std::size_t i = 0; i < levels; ++i) s += open == '{' ? std::string("{\"k\":") : std::string(1, open);
    if (open == '{') s += "1";
    s += inner;
    s += std::string(levels, close);
    return s;
}

}  // namespace

TEST(VXJsonParser, ScalarsAndContainers) {
    VXJsonParser parser;
    auto v = parser.objectWithString(R"({"a":[1,-2.5,3e2,true,false,null,"x"],"b":{}})");
    ASSERT_TRUE(v);
    const VXJsonArray& a = *(*v)["a"].asArray();
    ASSERT_EQ(a.size(), 7u);
    EXPECT_EQ(*a[0].asNumber(), dec("1"));
    EXPECT_EQ(*a[1].asNumber(), dec("-2.5"));
    EXPECT_EQ(*a[2].asNumber(), dec("300"));
    EXPECT_EQ(*a[3].asBool(), true);
    EXPECT_EQ(*a[4].asBool(), false);
    EXPECT_TRUE(a[5].isNull());
    EXPECT_EQ(*a[6].asString(), "x");
    EXPECT_TRUE((*v)["b"].asObject()->empty());
    EXPECT_TRUE(parser.errorTrace().empty());
}

TEST(VXJsonParser, NumbersAreExactDecimals) {
    VXJsonParser parser;
    auto v = parser.fragmentWithString("0.1");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->asNumber()->toString(), "0.1");
    v = parser.fragmentWithString("12345678901234567890123456789012345678");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->asNumber()->toString(), "12345678901234567890123456789012345678");
    v = parser.fragmentWithString("-0");
    ASSERT_TRUE(v);
    EXPECT_TRUE(v->asNumber()->isZero());
    v = parser.fragmentWithString("1E+2");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asNumber(), dec("100"));
}

TEST(VXJsonParser, MalformedNumbers) {
    EXPECT_EQ(failure("01"), (Trace{{2, "Leading 0 disallowed in number"}}));
    EXPECT_EQ(failure("-01"), (Trace{{2, "Leading 0 disallowed in number"}}));
    EXPECT_EQ(failure("-"), (Trace{{2, "No digits after initial minus"}}));
    EXPECT_EQ(failure("-a"), (Trace{{2, "No digits after initial minus"}}));
    EXPECT_EQ(failure("1."), (Trace{{2, "No digits after decimal point"}}));
    EXPECT_EQ(failure("1e"), (Trace{{2, "No digits after exponent"}}));
    EXPECT_EQ(failure("1e+"), (Trace{{2, "No digits after exponent"}}));
    EXPECT_EQ(failure("+1"), (Trace{{2, "Leading + disallowed in number"}}));
    EXPECT_EQ(failure("1e999"), (Trace{{2, "Failed creating decimal instance"}}));
    EXPECT_EQ(failure("[.5]"),
              (Trace{{3, "Unrecognised leading character"}, {3, "Expected value while parsing array"}}));
}

TEST(VXJsonParser, LiteralsAndLeadingCharacters) {
    EXPECT_EQ(failure("tru"), (Trace{{3, "Expected 'true'"}}));
    EXPECT_EQ(failure("fals"), (Trace{{3, "Expected 'false'"}}));
    EXPECT_EQ(failure("nul"), (Trace{{3, "Expected 'null'"}}));
    EXPECT_EQ(failure("nil"), (Trace{{3, "Expected 'null'"}}));
    EXPECT_EQ(failure("x"), (Trace{{3, "Unrecognised leading character"}}));
    EXPECT_EQ(failure("!"), (Trace{{3, "Unrecognised leading character"}}));
    EXPECT_EQ(failure("\x01"), (Trace{{3, "Unrecognised leading character"}}));
    EXPECT_EQ(failure(""), (Trace{{11, "Unexpected end of string"}}));
    EXPECT_EQ(failure("  \n"), (Trace{{11, "Unexpected end of string"}}));
}

TEST(VXJsonParser, NoInput) {
    VXJsonParser parser;
    EXPECT_FALSE(parser.objectWithString(std::nullopt));
    EXPECT_EQ(traceOf(parser), (Trace{{12, "Input was 'nil'"}}));
}

TEST(VXJsonParser, FragmentVersusObject) {
    VXJsonParser parser;
    EXPECT_TRUE(parser.fragmentWithString("true"));
    EXPECT_FALSE(parser.objectWithString("true"));
    EXPECT_EQ(traceOf(parser), (Trace{{4, "Valid fragment, but not JSON"}}));
    EXPECT_FALSE(parser.objectWithString("\"s\""));
    EXPECT_EQ(traceOf(parser), (Trace{{4, "Valid fragment, but not JSON"}}));
    // A later success starts with an empty trace.
    EXPECT_TRUE(parser.objectWithString("[]"));
    EXPECT_TRUE(parser.errorTrace().empty());
}

TEST(VXJsonParser, WhitespaceIncludesVerticalTabAndFormFeed) {
    VXJsonParser parser;
    auto v = parser.objectWithString(" \t\n\v\f\r[\v1\f,\r2\t]\v\f ");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->asArray()->size(), 2u);
}

TEST(VXJsonParser, CommasAreOptionalButNotTrailing) {
    VXJsonParser parser;
    auto v = parser.objectWithString("[1 2]");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v, VXJsonValue(VXJsonArray{1, 2}));
    v = parser.objectWithString(R"({"a":1 "b":2})");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->asObject()->size(), 2u);
    v = parser.objectWithString(R"(["a""b"[]{}])");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->asArray()->size(), 4u);

    EXPECT_EQ(failure("[1,]"), (Trace{{9, "Trailing comma disallowed in array"}}));
    EXPECT_EQ(failure("[1, \n]"), (Trace{{9, "Trailing comma disallowed in array"}}));
    EXPECT_EQ(failure(R"({"a":1,})"), (Trace{{9, "Trailing comma disallowed in object"}}));
    // Inside an array the inner failure is followed by the array's own error.
    EXPECT_EQ(failure("[[1,]]"),
              (Trace{{9, "Trailing comma disallowed in array"}, {3, "Expected value while parsing array"}}));
    // A leading comma is not a value.
    EXPECT_EQ(failure("[,1]"),
              (Trace{{3, "Unrecognised leading character"}, {3, "Expected value while parsing array"}}));
}

TEST(VXJsonParser, DuplicateKeysLastWins) {
    VXJsonParser parser;
    auto v = parser.objectWithString(R"({"a":1,"b":2,"a":3})");
    ASSERT_TRUE(v);
    const VXJsonObject& o = *v->asObject();
    ASSERT_EQ(o.size(), 2u);
    EXPECT_EQ(o.keys(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(*o.find("a")->asNumber(), dec("3"));
}

TEST(VXJsonParser, EndOfInput) {
    EXPECT_EQ(failure("["), (Trace{{11, "End of input while parsing array"}}));
    EXPECT_EQ(failure("[1"), (Trace{{11, "End of input while parsing array"}}));
    EXPECT_EQ(failure("[1,"), (Trace{{11, "End of input while parsing array"}}));
    // White space after "[" leads into the value scan, which meets the end.
    EXPECT_EQ(failure("[ "), (Trace{{11, "Unexpected end of string"}, {3, "Expected value while parsing array"}}));
    EXPECT_EQ(failure("{"), (Trace{{11, "End of input while parsing object"}}));
    EXPECT_EQ(failure(R"({"a":1)"), (Trace{{11, "End of input while parsing object"}}));
    EXPECT_EQ(failure("\"ab\\n"), (Trace{{11, "Unexpected EOF while parsing string"}}));
    // Ending inside a string is the zero byte as a control character.
    EXPECT_EQ(failure("\"abc"), (Trace{{5, "Unescaped control character '0x0'"}}));
}

TEST(VXJsonParser, ObjectErrors) {
    EXPECT_EQ(failure("{1:2}"), (Trace{{3, "Object key string expected"}}));
    EXPECT_EQ(failure("{\"a\" 1}"), (Trace{{3, "Expected ':' separating key and value"}}));
    EXPECT_EQ(failure(R"({"a":})"),
              (Trace{{3, "Unrecognised leading character"}, {3, "Object value expected for key: a"}}));
    EXPECT_EQ(failure("{\"a\\q\":1}"),
              (Trace{{8, "Illegal escape sequence '0x71'"}, {3, "Object key string expected"}}));
    EXPECT_EQ(failure(R"({"outer":{"inner":[x]}})"), (Trace{{3, "Unrecognised leading character"},
                                                            {3, "Expected value while parsing array"},
                                                            {3, "Object value expected for key: inner"},
                                                            {3, "Object value expected for key: outer"}}));
}

TEST(VXJsonParser, StringEscapes) {
    VXJsonParser parser;
    auto v = parser.fragmentWithString(R"("q\" s\\ sl\/ b\b f\f n\n r\r t\t u\u00e6\u20AC")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "q\" s\\ sl/ b\b f\f n\n r\r t\t u\xc3\xa6\xe2\x82\xac");
    v = parser.fragmentWithString("\"raw \xc3\xa6 \xf0\x9f\x98\x80\"");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "raw \xc3\xa6 \xf0\x9f\x98\x80");
    v = parser.fragmentWithString(R"("\u0000")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), std::string(1, '\0'));

    EXPECT_EQ(failure(R"("\q")"), (Trace{{8, "Illegal escape sequence '0x71'"}}));
    EXPECT_EQ(failure("\"ab\\"), (Trace{{8, "Illegal escape sequence '0x0'"}}));
    EXPECT_EQ(failure("[\xff]"),
              (Trace{{3, "Unrecognised leading character"}, {3, "Expected value while parsing array"}}));
    EXPECT_EQ(failure("\"\\\xc3\xa6\""), (Trace{{8, "Illegal escape sequence '0xe6'"}}));
    EXPECT_EQ(failure("\"a\tb\""), (Trace{{5, "Unescaped control character '0x9'"}}));
    EXPECT_EQ(failure("\"a\x1f\""), (Trace{{5, "Unescaped control character '0x1f'"}}));
    // Bytes that are not UTF-8 cannot become text.
    EXPECT_EQ(failure("\"a\xff\""), (Trace{{6, "Broken unicode character"}}));
    EXPECT_EQ(failure("\"\xc3\""), (Trace{{6, "Broken unicode character"}}));
    EXPECT_EQ(failure("\"\xed\xa0\x80\""), (Trace{{6, "Broken unicode character"}}));
}

TEST(VXJsonParser, SurrogatePairs) {
    VXJsonParser parser;
    auto v = parser.fragmentWithString(R"("\ud83d\ude00")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "\xf0\x9f\x98\x80");  // U+1F600
    // The highest character: its low half is DFFF.
    v = parser.fragmentWithString(R"("\uDBFF\uDFFF")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "\xf4\x8f\xbf\xbf");  // U+10FFFF
    v = parser.fragmentWithString(R"("\uD800\uDC00")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "\xf0\x90\x80\x80");  // U+10000
    v = parser.fragmentWithString(R"("\uFFFF\uE000")");
    ASSERT_TRUE(v);
    EXPECT_EQ(*v->asString(), "\xef\xbf\xbf\xee\x80\x80");

    const Trace broken = {{6, "Broken unicode character"}};
    auto with = [&](std::initializer_list<std::pair<int, std::string>> inner) {
        Trace t(inner);
        t.insert(t.end(), broken.begin(), broken.end());
        return t;
    };
    EXPECT_EQ(failure(R"("\udc00")"), with({{6, "Invalid high character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\udfff")"), with({{6, "Invalid high character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\ud83d")"), with({{6, "Missing low character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\ud83dx")"), with({{6, "Missing low character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\ud83d\n")"), with({{6, "Missing low character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\ud83d\u12x4")"),
              with({{6, "Missing hex digit in quad"}, {6, "Missing low character in surrogate pair"}}));
    EXPECT_EQ(failure(R"("\ud83d\u0041")"), with({{6, "Invalid low surrogate char"}}));
    EXPECT_EQ(failure(R"("\ud83d\ud83d")"), with({{6, "Invalid low surrogate char"}}));
    EXPECT_EQ(failure(R"("\u12g4")"), with({{6, "Missing hex digit in quad"}, {6, "Missing hex quad"}}));
    EXPECT_EQ(failure(R"("\u12)"), with({{6, "Missing hex digit in quad"}, {6, "Missing hex quad"}}));
    // In an array the array adds its own error after the chain.
    EXPECT_EQ(failure(R"(["\u12g4"])"), (Trace{{6, "Missing hex digit in quad"},
                                               {6, "Missing hex quad"},
                                               {6, "Broken unicode character"},
                                               {3, "Expected value while parsing array"}}));
}

TEST(VXJsonParser, GarbageAfterJSON) {
    EXPECT_EQ(failure("[1] x"), (Trace{{10, "Garbage after JSON"}}));
    EXPECT_EQ(failure("[1]]"), (Trace{{10, "Garbage after JSON"}}));
    EXPECT_EQ(failure("1 2"), (Trace{{10, "Garbage after JSON"}}));
    EXPECT_EQ(failure(std::string_view("[1]\0", 4)), (Trace{{10, "Garbage after JSON"}}));
    VXJsonParser parser;
    EXPECT_TRUE(parser.objectWithString("[1] \n\t\v\f\r"));
}

TEST(VXJsonParser, DepthLimitBoundary) {
    for (char open : {'[', '{'}) {
        const char close = open == '[' ? ']' : '}';
        VXJsonParser parser;
        EXPECT_EQ(parser.maxDepth(), 512u);
        EXPECT_TRUE(parser.objectWithString(nested(512, open, close))) << open;
        EXPECT_FALSE(parser.objectWithString(nested(513, open, close))) << open;
        const Trace trace = traceOf(parser);
        ASSERT_EQ(trace.size(), 513u);
        EXPECT_EQ(trace.front(), (std::pair<int, std::string>{7, "Nested too deep"}));
        EXPECT_EQ(trace.back(), (std::pair<int, std::string>(3, open == '[' ? "Expected value while parsing array"
                                                                            : "Object value expected for key: k")));
    }
    VXJsonParser parser;
    parser.setMaxDepth(2);
    EXPECT_TRUE(parser.objectWithString("[[1],[2]]"));
    EXPECT_FALSE(parser.objectWithString("[[[1]]]"));
}

TEST(VXJsonParser, NoDepthLimitDoesNotExhaustTheStack) {
    // Far deeper than any machine stack would take one call per level.
    const std::size_t levels = 300000;
    VXJsonParser parser;
    parser.setMaxDepth(0);
    auto v = parser.objectWithString(nested(levels, '[', ']', "7"));
    ASSERT_TRUE(v);
    std::size_t depth = 0;
    const VXJsonValue* p = &*v;
    while (p->isArray()) {
        ++depth;
        p = &p->asArray()->front();
    }
    EXPECT_EQ(depth, levels);
    EXPECT_EQ(*p->asNumber(), dec("7"));
    VXJsonValue copy = *v;
    EXPECT_EQ(copy, *v);

    // A failure at the bottom leaves one error per level; freeing it is flat
    // too.
    EXPECT_FALSE(parser.objectWithString(nested(levels, '[', ']', "x")));
    EXPECT_EQ(parser.errorTrace().size(), levels + 1);
    const VXJsonErrorPtr last = parser.errorTrace().back();
    EXPECT_TRUE(parser.objectWithString("[]"));  // drops the trace, last holds the chain
}

TEST(VXJsonParser, DuplicateKeysInALargeObjectReplaceInPlace) {
    std::string text = "{";
    for (int i = 0; i < 30; ++i) text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    text += R"("k5":"five","k29":"last","k5":"again"})";
    VXJsonParser parser;
    auto v = parser.objectWithString(text);
    ASSERT_TRUE(v);
    const VXJsonObject& o = *v->asObject();
    ASSERT_EQ(o.size(), 30u);
    EXPECT_EQ(o.items()[5].first, "k5");
    EXPECT_EQ(*o.items()[5].second.asString(), "again");
    EXPECT_EQ(*o.find("k29")->asString(), "last");
    EXPECT_EQ(*o.find("k28")->asNumber(), dec("28"));
}

TEST(VXJsonParser, PartsOfADocumentOutliveItAndChangeOnTheirOwn) {
    VXJsonParser parser;
    VXJsonValue kept;
    VXJsonValue list;
    {
        auto v = parser.objectWithString(
            R"({"keep":{"name":"a string longer than any short-string buffer","n":[1,2,3]},"list":[4,5]})");
        ASSERT_TRUE(v);
        kept = (*v)["keep"];
        list = (*v)["list"];
        // A write to a part of the parsed document leaves the document alone.
        list.asArray()->push_back(6);
        EXPECT_EQ((*v)["list"], VXJsonValue(VXJsonArray{4, 5}));
        // The parser goes on to other documents meanwhile.
        ASSERT_TRUE(parser.objectWithString(R"([{"x":"another document entirely, long enough"}])"));
    }
    EXPECT_EQ(*kept["name"].asString(), "a string longer than any short-string buffer");
    EXPECT_EQ(kept["n"], VXJsonValue(VXJsonArray{1, 2, 3}));
    EXPECT_EQ(list, VXJsonValue(VXJsonArray{4, 5, 6}));
    kept.asObject()->set("n", "changed");
    EXPECT_EQ(*kept["n"].asString(), "changed");
}

TEST(VXJsonParser, ADocumentParsedOnOneThreadIsFreedOnAnother) {
    std::vector<VXJsonValue> documents;
    std::thread reader([&documents] {
        VXJsonParser parser;
        for (int i = 0; i < 50; ++i) {
            std::string text = "[";
            for (int j = 0; j < 200; ++j)
                text += (j ? "," : "") + std::string(R"({"i":)") + std::to_string(j) +
                        R"(,"s":"a longer string value here"})";
            text += "]";
            documents.push_back(*parser.objectWithString(text));
        }
    });
    reader.join();
    for (const VXJsonValue& d : documents) ASSERT_EQ(d.asArray()->size(), 200u);
    // Freed here, on this thread, while parts of them are still held.
    std::vector<VXJsonValue> parts;
    for (VXJsonValue& d : documents) parts.push_back((*d.asArray())[7]);
    documents.clear();
    for (const VXJsonValue& p : parts) EXPECT_EQ(*p["s"].asString(), "a longer string value here");
}

TEST(VXJsonParser, AThreadKeepsAtMostThirtyTwoMegabytesOfALargeDocumentAndNothingAfterItEnds) {
    // About 40 MB of region per document: more than a thread keeps.
    const std::string item = "\"" + std::string(1000, 'x') + "\"";
    std::string text = "[";
    for (int i = 0; i < 40000; ++i) text += (i ? "," : "") + item;
    text += "]";
    constexpr std::size_t cap = 32 * 1024 * 1024;
    constexpr int threads = 4;
    const std::size_t before = VXJsonArena::blockBytes();
    std::barrier dropped(threads + 1);
    std::vector<std::size_t> kept(threads, 0);
    std::vector<std::thread> parsers;
    for (int t = 0; t < threads; ++t)
        parsers.emplace_back([&, t] {
            // A new parser each time: what a parser keeps goes to its thread
            // when it goes.
            for (int round = 0; round < 2; ++round) {
                VXJsonParser parser;
                const std::optional<VXJsonValue> v = parser.objectWithString(text);
                EXPECT_TRUE(v && v->asArray()->size() == 40000u);
            }
            kept[static_cast<std::size_t>(t)] = VXJsonArena::keptBytes();
            dropped.arrive_and_wait();
            dropped.arrive_and_wait();
        });
    dropped.arrive_and_wait();
    // Every thread has dropped its documents: what is left of their regions
    // is what they keep, each within the cap but enough for a next document.
    std::size_t allKept = 0;
    for (const std::size_t k : kept) {
        EXPECT_LE(k, cap);
        EXPECT_GE(k, cap / 2);
        allKept += k;
    }
    EXPECT_EQ(VXJsonArena::blockBytes(), before + allKept);
    dropped.arrive_and_wait();
    for (std::thread& p : parsers) p.join();
    // The threads are gone, and so is what they kept.
    EXPECT_EQ(VXJsonArena::blockBytes(), before);
}

TEST(VXJsonParser, AKeptParserReusesTheRoomOfItsLatestDocumentAndGivesUpWhatItNoLongerNeeds) {
    // About 40 MB of region per document.
    const std::string item = "\"" + std::string(1000, 'y') + "\"";
    std::string text = "[";
    for (int i = 0; i < 40000; ++i) text += (i ? "," : "") + item;
    text += "]";
    std::thread([&text] {
        const std::size_t before = VXJsonArena::blockBytes();
        std::size_t first = 0;
        {
            VXJsonParser parser;
            for (int round = 0; round < 3; ++round) {
                const std::optional<VXJsonValue> v = parser.objectWithString(text);
                ASSERT_TRUE(v && v->asArray()->size() == 40000u);
                EXPECT_EQ(*(*v->asArray())[39999].asString(), std::string(1000, 'y'));
                // Each later document lies in the blocks the one before it
                // gave back: nothing more is taken from the system.
                if (round == 0) first = VXJsonArena::blockBytes();
                else EXPECT_EQ(VXJsonArena::blockBytes(), first);
            }
            // A small document after them lets go of the room it does not
            // need while the parser lives: the thread keeps what it may.
            const std::optional<VXJsonValue> small = parser.objectWithString("[1,2,3]");
            ASSERT_TRUE(small);
            EXPECT_LE(VXJsonArena::blockBytes(), before + 33u * 1024 * 1024);
        }
        // The parser is gone: its thread keeps what it may, no more.
        EXPECT_LE(VXJsonArena::keptBytes(), 32u * 1024 * 1024);
        EXPECT_EQ(VXJsonArena::blockBytes(), before + VXJsonArena::keptBytes());
    }).join();
}

TEST(VXJsonParser, LargeArraysReadInPlaceStayIntactWhileLaterOnesAreRead) {
    // Arrays large enough for the parser's stack to lie in a block of its
    // own, which each document keeps as its array's elements.
    VXJsonParser parser;
    auto numbers = [](int document, int count) {
        std::string text = "[";
        for (int i = 0; i < count; ++i) text += (i ? "," : "") + std::to_string(document * 1000000 + i);
        return text + "]";
    };
    auto intact = [](const VXJsonValue& v, int document, int count) {
        const VXJsonArray* a = v.asArray();
        if (!a || a->size() != static_cast<std::size_t>(count)) return false;
        for (int i = 0; i < count; ++i)
            if ((*a)[static_cast<std::size_t>(i)].asNumber()->toString() != std::to_string(document * 1000000 + i))
                return false;
        return true;
    };
    std::vector<std::optional<VXJsonValue>> kept;
    const int counts[] = {40000, 30000, 65536, 20000, 50000, 9000};
    for (int d = 0; d < 6; ++d) {
        kept.push_back(parser.objectWithString(numbers(d, counts[d])));
        // An earlier one dropped now and then, its blocks free for the next.
        if (d == 2) kept[1].reset();
        if (d == 4) kept[0].reset();
        for (int e = 0; e <= d; ++e)
            if (kept[static_cast<std::size_t>(e)]) {
                EXPECT_TRUE(intact(*kept[static_cast<std::size_t>(e)], e, counts[e])) << e << " after " << d;
            }
    }
    // Wrapped in an object as its first value, and followed by more.
    std::string wrapped = R"({"a":)" + numbers(7, 40000) + R"(,"b":[1,2]})";
    const std::optional<VXJsonValue> w = parser.objectWithString(wrapped);
    ASSERT_TRUE(w);
    EXPECT_TRUE(intact((*w)["a"], 7, 40000));
    EXPECT_EQ((*w)["b"].asArray()->size(), 2u);
    for (int e = 2; e < 6; ++e)
        if (e != 4 || kept[4]) {
            EXPECT_TRUE(intact(*kept[static_cast<std::size_t>(e)], e, counts[e]));
        }
}
