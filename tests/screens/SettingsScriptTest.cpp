// The settings, plan and F.A.Q. screens driven by a script through the
// headless host, as the program runs one: every screenshot it takes is a
// real screen.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SettingsTestSupport.h"
#include "platform/gfx/Image.h"
#include "platform/host/Script.h"

namespace {

namespace fs = std::filesystem;
using settingstest::SettingsTest;

TEST_F(SettingsTest, AScriptResetsTheDayByTheWheelsSetsARestAndReadsTheFaqAndThePlan) {
    placed(1, 1, 1);
    launch();
    const char* keep = std::getenv("TOLVEK_SHOTS");
    const fs::path shots = keep ? fs::path(keep) : fs::path(tempHome.path()) / "shots";
    const fs::path path = test::testSourceDir("screens/scripts") / "settings.script";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    host::ScriptError error;
    auto steps = host::parseScript(text.str(), &error);
    ASSERT_TRUE(steps) << error.line << ": " << error.why;
    host::ScriptOptions options;
    options.scriptName = path.filename().string();
    options.screenshotDir = shots.string();
    std::ostringstream out, err;
    ASSERT_EQ(host::runSteps(*driver, *steps, options, out, err), 0) << err.str();

    base::UserDefaults fromFile(tempHome.configHome() + "/tolvek/defaults.plist");
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Week"), 5);
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Day"), 3);
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Level"), 2);
    EXPECT_TRUE(fromFile.boolForKey("Tolvek_UserRest"));
    EXPECT_EQ(fromFile.integerForKey("Tolvek_UserRestValue"), 45);
    for (const char* name : {"01-settings", "02-reset-to-day", "03-reset-done", "04-timer", "05-answer", "06-plan"}) {
        auto image = gfx::Image::load((shots / (std::string(name) + ".png")).string());
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 640) << name;
    }
}

}  // namespace
