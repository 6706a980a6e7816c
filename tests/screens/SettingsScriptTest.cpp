// The settings, plan and F.A.Q. screens driven by a script through the
// headless host, as the program runs one: every screenshot it takes is a
// real screen.
#include <filesystem>

#include "ScriptTestSupport.h"
#include "SettingsTestSupport.h"

namespace {

namespace fs = std::filesystem;
using settingstest::SettingsTest;

TEST_F(SettingsTest, AScriptResetsTheDayByTheWheelsSetsARestAndReadsTheFaqAndThePlan) {
    placed(1, 1, 1);
    launch();
    const fs::path shots = screenscript::shotsDir(tempHome);
    ASSERT_NO_FATAL_FAILURE(screenscript::runScript(*driver, "settings.script", shots));

    base::UserDefaults fromFile(tempHome.configHome() + "/tolvek/defaults.plist");
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Week"), 5);
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Day"), 3);
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Level"), 2);
    EXPECT_TRUE(fromFile.boolForKey("Tolvek_UserRest"));
    EXPECT_EQ(fromFile.integerForKey("Tolvek_UserRestValue"), 45);
    ASSERT_NO_FATAL_FAILURE(screenscript::expectScreenshots(
        shots, {"01-settings", "02-reset-to-day", "03-reset-done", "04-timer", "05-answer", "06-plan"}));
}

}  // namespace
