// The whole first day as a script of the headless host, run with the
// program's own delegate, as `tolvek --headless --script` runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "StoreTestSupport.h"
#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/Script.h"
#include "platform/ui/SystemSound.h"
#include "training/DataAccess.h"
#include "training/TolvekAppDelegate.h"
#include "training/Utility.h"

TEST(WorkoutScript, AFirstDayRunsFromTheHomeScreenToTheLog) {
    test::TempHome home;
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setInteger("Tolvek_Level", 1);
    defaults.setInteger("Tolvek_Week", 1);
    defaults.setInteger("Tolvek_Day", 1);
    defaults.synchronize();
    ui::SystemSound::setRecordsPlaysForTesting(true);

    const auto script = test::testSourceDir("training/scripts") / "workout_day.script";
    // TOLVEK_SHOTS keeps the screenshots where they can be looked at.
    const char* keep = std::getenv("TOLVEK_SHOTS");
    const std::string shots = keep ? std::string(keep) : home.path() + "/shots";
    std::ostringstream out, err;
    const int status = host::runScriptFile(
        script.string(), shots, [] { return std::make_shared<TolvekAppDelegate>(); }, out, err);
    ASSERT_EQ(status, 0) << err.str();
    for (const char* name : {"workout_set", "workout_rest", "workout_complete"})
        EXPECT_TRUE(std::filesystem::exists(shots + "/" + name + ".png")) << name;

    // Four rests, each with four beeps and the sound at zero.
    EXPECT_EQ(ui::SystemSound::playsForTesting().size(), 20u);
    EXPECT_EQ(Utility::GetDay(), 2);
    EXPECT_EQ(Utility::GetWeek(), 1);
    // The day is in the log, its five sets in slots 1 to 5.
    const std::string log = home.dataHome() + "/tolvek/Documents/LogDay.sqlite";
    EXPECT_EQ(storetest::queryIntegers(log, "SELECT Rep1 || Rep2 || Rep3 || Rep4 || Rep5 || Rep6 || Rep9 FROM LogDay"),
              (std::vector<long long>{2322400}));
}
