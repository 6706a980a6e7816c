// Faults a user met, each replayed as the program runs it: a script of the
// headless host on a prepared home, with the stored files read back after.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "StoreTestSupport.h"
#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/Script.h"
#include "training/TolvekAppDelegate.h"
#include "training/Utility.h"

namespace {

namespace fs = std::filesystem;

class FaultScript : public ::testing::Test {
protected:
    test::TempHome home;

    std::string documents() const { return home.dataHome() + "/tolvek/Documents"; }
    std::string logFile() const { return documents() + "/LogDay.sqlite"; }
    std::string planFile() const { return documents() + "/Tolvek.sqlite"; }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }

    void placeAt(int week, int day, int level) {
        defaults().setInteger("Tolvek_Level", level);
        defaults().setInteger("Tolvek_Week", week);
        defaults().setInteger("Tolvek_Day", day);
        defaults().synchronize();
    }

    // One run of the program on the script; the screenshots go to
    // TOLVEK_SHOTS when it is set, so that they can be looked at.
    void run(const std::string& name) {
        const char* keep = std::getenv("TOLVEK_SHOTS");
        const std::string shots = keep ? std::string(keep) : home.path() + "/shots";
        const auto script = test::testSourceDir("training/scripts") / (name + ".script");
        std::ostringstream out, err;
        const int status = host::runScriptFile(
            script.string(), shots, [] { return std::make_shared<TolvekAppDelegate>(); }, out, err);
        EXPECT_EQ(status, 0) << err.str();
    }

    // The program ends: the settings are written as at exit and read again
    // by the next run.
    void restart() { base::UserDefaults::resetStandardUserDefaultsForTesting(); }

    long long loggedDays() {
        const auto rows = storetest::queryIntegers(logFile(), "SELECT count(*) FROM LogDay");
        return rows.empty() ? -1 : rows[0];
    }
};

TEST_F(FaultScript, ADayLeftOnDayCompletedIsLoggedOnceAtTheNextStart) {
    placeAt(1, 1, 2);
    run("closed_on_day_completed");
    restart();
    run("restarted_after_day_completed");
    EXPECT_EQ(loggedDays(), 1);
    EXPECT_EQ(storetest::queryIntegers(logFile(), "SELECT Rep1 || Rep2 || Rep3 || Rep4 || Rep5 FROM LogDay"),
              (std::vector<long long>{56447}));
    // Once stored it is forgotten: another start stores nothing more.
    restart();
    EXPECT_TRUE(defaults().objectForKey("Tolvek_UnsavedDay").isNull());
    run("restarted_after_day_completed");
    EXPECT_EQ(loggedDays(), 1);
    EXPECT_EQ(Utility::GetDay(), 2);
}

TEST_F(FaultScript, ACorruptPlanIsCopiedAgainAtStart) {
    fs::create_directories(documents());
    {
        std::ofstream broken(planFile(), std::ios::binary);
        broken << std::string(4096, '\x5a');
    }
    defaults().setBool("Tolvek_ReplacedDBFromUpdate", true);
    placeAt(1, 1, 2);
    run("corrupt_plan");
    EXPECT_EQ(storetest::queryIntegers(planFile(), "SELECT count(*) FROM Program"), std::vector<long long>{54});
    EXPECT_TRUE(fs::exists(planFile() + ".unreadable"));
}

TEST_F(FaultScript, AnEmptyLogIsMovedAsideAndAFreshOneWorks) {
    fs::create_directories(documents());
    std::ofstream(logFile()).close();  // 0 bytes, as a full disk leaves it
    placeAt(1, 1, 2);
    run("empty_log");
    ASSERT_TRUE(fs::exists(logFile() + ".unreadable"));
    EXPECT_EQ(fs::file_size(logFile() + ".unreadable"), 0u);
    EXPECT_EQ(loggedDays(), 1);
}

TEST_F(FaultScript, HugeAndExponentCountsAreRefused) {
    placeAt(1, 1, 2);
    run("bounded_counts");
    restart();
    fs::remove(home.configHome() + "/tolvek/defaults.plist");
    restart();
    run("exponent_score");
    EXPECT_EQ(Utility::getLevel(), 0);  // nobody was placed by "1e3"
}

TEST_F(FaultScript, UnwritableSettingsAreToldOnce) {
    // A file where the settings folder should be: nothing can be written
    // there, whoever runs the program.
    {
        std::ofstream inTheWay(home.configHome() + "/tolvek");
        inTheWay << "not a folder";
    }
    run("unwritable_settings");
}

TEST_F(FaultScript, UnreadableSettingsAreToldAndKept) {
    fs::create_directories(home.configHome() + "/tolvek");
    {
        std::ofstream broken(home.configHome() + "/tolvek/defaults.plist");
        broken << "<plist><dict><key>Tolvek_Level</key>";
    }
    restart();
    run("corrupt_settings");
    EXPECT_TRUE(fs::exists(home.configHome() + "/tolvek/defaults.plist.corrupt"));
}

}  // namespace
