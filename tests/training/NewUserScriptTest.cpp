// The whole road of a new user, run from a script through the headless
// host as the program runs it: every screenshot it takes is a real screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Image.h"
#include "platform/host/Script.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"

namespace {

namespace fs = std::filesystem;

TEST(NewUserScript, RunsFromTheFirstStartThroughTheFirstWorkout) {
    test::TempHome home;
    // The screenshots go to TOLVEK_SHOTS when it is set (to look at them),
    // else into the temporary home.
    const char* keep = std::getenv("TOLVEK_SHOTS");
    const fs::path shots = keep ? fs::path(keep) : fs::path(home.path()) / "shots";
    const fs::path script = test::testSourceDir("training/scripts") / "new_user.script";
    std::ostringstream out, err;
    const int status = host::runScriptFile(
        script.string(), shots.string(), [] { return std::make_shared<TolvekAppDelegate>(); }, out, err);
    ASSERT_EQ(status, 0) << err.str();

    // What the run left behind: the placement, the day moved on, the day logged.
    auto& defaults = base::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.integerForKey("Tolvek_Level"), 2);
    EXPECT_EQ(defaults.integerForKey("Tolvek_Week"), 1);
    EXPECT_EQ(defaults.integerForKey("Tolvek_Day"), 2);

    for (const char* name :
         {"01-setup", "02-good-form", "03-score", "04-home", "05-home-today", "06-workout", "07-first-set", "08-rest",
          "09-day-completed", "10-home-next-day", "11-home-totals", "12-last-workout"}) {
        auto image = gfx::Image::load((shots / (std::string(name) + ".png")).string());
        ASSERT_TRUE(image) << name;
        EXPECT_EQ(image->width(), 640) << name;
        EXPECT_EQ(image->height(), 960) << name;
    }
}

}  // namespace
