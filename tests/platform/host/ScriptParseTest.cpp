#include <gtest/gtest.h>

#include "platform/host/Main.h"
#include "platform/host/Script.h"

namespace {

using host::ScriptError;
using host::ScriptStep;
using Kind = ScriptStep::Kind;

std::vector<ScriptStep> parseOk(const std::string& text) {
    ScriptError error;
    auto steps = host::parseScript(text, &error);
    EXPECT_TRUE(steps.has_value()) << "line " << error.line << ": " << error.why;
    return steps.value_or(std::vector<ScriptStep>{});
}

ScriptError parseBad(const std::string& text) {
    ScriptError error;
    auto steps = host::parseScript(text, &error);
    EXPECT_FALSE(steps.has_value()) << "accepted: " << text;
    return error;
}

TEST(ScriptParse, ReadsEveryStepWithItsLineNumber) {
    auto steps = parseOk(
        "# a comment\n"
        "\n"
        "tap \"Save\"\n"
        "tap-at 10 20.5\n"
        "type \"25\"\n"
        "return\n"
        "shake\n"
        "wait 1.5\n"
        "background 30\n"
        "screenshot after-save\n"
        "dump\n"
        "expect \"Saved 25\"\n"
        "expect-not \"Error\"\n"
        "quit\n");
    ASSERT_EQ(steps.size(), 12u);
    EXPECT_EQ(steps[0].kind, Kind::Tap);
    EXPECT_EQ(steps[0].text, "Save");
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[1].kind, Kind::TapAt);
    EXPECT_DOUBLE_EQ(steps[1].x, 10);
    EXPECT_DOUBLE_EQ(steps[1].y, 20.5);
    EXPECT_EQ(steps[2].kind, Kind::Type);
    EXPECT_EQ(steps[3].kind, Kind::Return);
    EXPECT_EQ(steps[4].kind, Kind::Shake);
    EXPECT_EQ(steps[5].kind, Kind::Wait);
    EXPECT_DOUBLE_EQ(steps[5].seconds, 1.5);
    EXPECT_EQ(steps[6].kind, Kind::Background);
    EXPECT_DOUBLE_EQ(steps[6].seconds, 30);
    EXPECT_EQ(steps[7].kind, Kind::Screenshot);
    EXPECT_EQ(steps[7].text, "after-save");
    EXPECT_EQ(steps[8].kind, Kind::Dump);
    EXPECT_EQ(steps[9].kind, Kind::Expect);
    EXPECT_EQ(steps[10].kind, Kind::ExpectNot);
    EXPECT_EQ(steps[11].kind, Kind::Quit);
    EXPECT_EQ(steps[11].line, 14);
}

TEST(ScriptParse, TextsKeepSpacesHashesAndEscapes) {
    auto steps = parseOk("  tap   \"Week 1 # Day 2\"  \r\nexpect \"say \\\"hi\\\" \\\\ now\\nnext\\tcol\"\n");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].text, "Week 1 # Day 2");
    EXPECT_EQ(steps[0].source, "tap   \"Week 1 # Day 2\"");
    EXPECT_EQ(steps[1].text, "say \"hi\" \\ now\nnext\tcol");
}

TEST(ScriptParse, ByteOrderMarkAndWindowsLineEndingsAreHarmless) {
    auto steps = parseOk("\xEF\xBB\xBFwait 1\r\n\r\nquit\r\n");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].line, 3);
}

TEST(ScriptParse, TypingNothingIsAllowedButTappingNothingIsNot) {
    EXPECT_EQ(parseOk("type \"\"").size(), 1u);
    EXPECT_NE(parseBad("tap \"\"").why.find("not empty"), std::string::npos);
    EXPECT_NE(parseBad("expect \"\"").why.find("not empty"), std::string::npos);
}

TEST(ScriptParse, MistakesNameTheLineAndTheReason) {
    auto e = parseBad("wait 1\n\ntapp \"Save\"\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(e.why.find("unknown step \"tapp\""), std::string::npos);

    EXPECT_NE(parseBad("tap Save").why.find("double quotes"), std::string::npos);
    EXPECT_NE(parseBad("tap \"Save").why.find("closing quote"), std::string::npos);
    EXPECT_NE(parseBad("tap \"Save\"x").why.find("closing quote"), std::string::npos);
    EXPECT_NE(parseBad("tap \"a\\qb\"").why.find("unknown escape"), std::string::npos);
    EXPECT_NE(parseBad("tap").why.find("missing"), std::string::npos);
    EXPECT_NE(parseBad("tap-at 10").why.find("write: tap-at X Y"), std::string::npos);
    EXPECT_NE(parseBad("tap \"a\" \"b\"").why.find("too much"), std::string::npos);
    EXPECT_NE(parseBad("return now").why.find("too much"), std::string::npos);
    EXPECT_NE(parseBad("\"tap\" \"a\"").why.find("unknown step"), std::string::npos);
}

TEST(ScriptParse, NumbersArePlainAndNotNegative) {
    for (const char* bad : {"wait -1", "wait 1e3", "wait nan", "wait inf", "wait 0x10", "wait .", "wait 1.2.3",
                            "wait \"1\"", "background -5", "tap-at a 10", "tap-at 10 -1"})
        EXPECT_NE(parseBad(bad).why.find("number"), std::string::npos) << bad;
    EXPECT_DOUBLE_EQ(parseOk("wait 0")[0].seconds, 0);
    EXPECT_DOUBLE_EQ(parseOk("wait .25")[0].seconds, 0.25);
}

TEST(ScriptParse, TapAtMustBeOnTheScreen) {
    EXPECT_EQ(parseOk("tap-at 319.5 479")[0].kind, Kind::TapAt);
    EXPECT_NE(parseBad("tap-at 320 10").why.find("outside the screen"), std::string::npos);
    EXPECT_NE(parseBad("tap-at 10 480").why.find("outside the screen"), std::string::npos);
}

TEST(ScriptParse, SwipeTakesTwoPointsOnTheScreen) {
    auto steps = parseOk("swipe 160 400 160.5 100");
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].kind, Kind::Swipe);
    EXPECT_EQ(steps[0].x, 160);
    EXPECT_EQ(steps[0].y, 400);
    EXPECT_EQ(steps[0].x2, 160.5);
    EXPECT_EQ(steps[0].y2, 100);
    EXPECT_NE(parseBad("swipe 160 400 160").why.find("write: swipe X1 Y1 X2 Y2"), std::string::npos);
    EXPECT_NE(parseBad("swipe 160 400 160 480").why.find("outside the screen"), std::string::npos);
    EXPECT_NE(parseBad("swipe 160 400 x 100").why.find("must be numbers"), std::string::npos);
}

TEST(ScriptParse, WheelTakesAPointOnTheScreenAndSignedNotches) {
    auto steps = parseOk("wheel 160 300 -3\nwheel 10 20 +0.5\nwheel 0 0 100");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].kind, Kind::Wheel);
    EXPECT_EQ(steps[0].x, 160);
    EXPECT_EQ(steps[0].y, 300);
    EXPECT_EQ(steps[0].notches, -3);
    EXPECT_EQ(steps[1].notches, 0.5);
    EXPECT_EQ(steps[2].notches, 100);
    EXPECT_NE(parseBad("wheel 160 300").why.find("write: wheel X Y NOTCHES"), std::string::npos);
    EXPECT_NE(parseBad("wheel 160 480 1").why.find("outside the screen"), std::string::npos);
    for (const char* bad :
         {"wheel 160 300 --1", "wheel 160 300 -", "wheel 160 300 101", "wheel 160 300 -1e9", "wheel -1 300 1"})
        EXPECT_NE(parseBad(bad).why.find("number"), std::string::npos) << bad;
}

TEST(ScriptParse, ScreenshotNamesStayInTheirFolder) {
    EXPECT_EQ(parseOk("screenshot \"home screen\"")[0].text, "home screen");
    for (const char* bad : {"screenshot ../escape", "screenshot a/b", "screenshot ..", "screenshot \"\""})
        EXPECT_NE(parseBad(bad).why.find("screenshot name"), std::string::npos) << bad;
}

TEST(CommandLine, ReadsTheHeadlessAndWindowForms) {
    std::string why;
    auto line = host::parseCommandLine({"--headless", "--script", "a.script", "--screenshots", "shots"}, &why);
    ASSERT_TRUE(line) << why;
    EXPECT_TRUE(line->headless);
    EXPECT_EQ(line->script, "a.script");
    EXPECT_EQ(line->screenshotDir.value_or(""), "shots");

    line = host::parseCommandLine({}, &why);
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->headless);
    EXPECT_EQ(line->frames, 0);

    line = host::parseCommandLine({"--frames", "3"}, &why);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->frames, 3);
}

TEST(CommandLine, RefusesWhatItCannotRun) {
    struct Case {
        std::vector<std::string> args;
        const char* why;
    };
    std::vector<Case> cases = {
        {{"--headless"}, "needs --script"},
        {{"--script", "a"}, "only with --headless"},
        {{"--headless", "--script"}, "needs a FILE"},
        {{"--headless", "--script", "a", "--script", "b"}, "twice"},
        {{"--screenshots", "d"}, "goes with --headless"},
        {{"--frames", "0"}, "at least 1"},
        {{"--frames", "2x"}, "whole number"},
        {{"--headless", "--script", "a", "--frames", "2"}, "not --headless"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"fb1://authorize", "fb1://authorize"}, "only one URL"},
        {{"no url"}, "not a URL"},
    };
    for (auto& c : cases) {
        std::string why;
        EXPECT_FALSE(host::parseCommandLine(c.args, &why)) << c.why;
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
    }
    EXPECT_EQ(host::runMain(std::vector<std::string>{"--bogus"}, {}), 64);
}

}  // namespace
