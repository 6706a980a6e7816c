#include <gtest/gtest.h>

#include <filesystem>

#include "TestEnvironment.h"
#include "platform/ui/DeviceProcess.h"

using namespace ui;

namespace {

TEST(DeviceProcessTest, ArgumentsReachTheProgramAsTheyStandWithoutAShell) {
    test::TempHome home;
    std::string marker = home.path() + "/made-by-a-shell";
    std::string tricky = "a b; touch " + marker + " $(touch " + marker + ") 'q\"";
    auto out = process::runAndRead({"printf", "%s|", tricky, "second"});
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, tricky + "|second|");
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(DeviceProcessTest, MissingOrFailingProgramsAreReported) {
    EXPECT_FALSE(process::findProgram("tolvek-no-such-program").has_value());
    EXPECT_FALSE(process::runAndRead({"tolvek-no-such-program"}).has_value());
    EXPECT_FALSE(process::spawnDetached({"tolvek-no-such-program", "x"}));
    EXPECT_FALSE(process::runAndRead({"false"}).has_value());
    EXPECT_FALSE(process::runAndRead({}).has_value());
    EXPECT_TRUE(process::spawnDetached({"true"}));
}

}  // namespace
