#pragma once
// Shared set-up of the progress screen tests: a temporary home, a user
// placed before the start (so no set-up screen), the screens registered,
// the application launched on the headless driver, days written straight
// into the log file with LogDate texts of the test's choosing, and every
// mail handed to a recorder instead of the desktop's mail program.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/base/FileManager.h"
#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/NavigationController.h"
#include "screens/LogGraphViewController.h"
#include "screens/RegisterScreens.h"
#include "sharing/core/SHR.h"
#include "training/RootViewController.h"
#include "training/StoreTestSupport.h"
#include "training/TolvekAppDelegate.h"

namespace progresstest {

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        SHR::resetForTesting();
        registerScreens();
        defaults().setInteger("Tolvek_Day", 1);
        defaults().setInteger("Tolvek_Week", 1);
        defaults().setInteger("Tolvek_Level", 2);
        defaults().synchronize();
        ui::MailComposeViewController::setHandoffForTesting([this](const ui::OutboxMessage& m) {
            handed.push_back(m);
            return true;
        });
    }
    void TearDown() override {
        driver.reset();
        SHR::resetForTesting();
        ui::MailComposeViewController::resetHandoffForTesting();
        base::UserDefaults::resetStandardUserDefaultsForTesting();
    }

    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    void launch() {
        driver = std::make_unique<host::HeadlessDriver>();
        app = std::make_shared<TolvekAppDelegate>();
        ASSERT_TRUE(driver->start(app));
        driver->wait(1);
    }
    std::shared_ptr<ui::NavigationController> nav() { return app->navigationController(); }
    // One logged day as the store keeps it.
    void addDay(int week, int day, int level, std::array<int, 9> r, const std::string& logDate) {
        ASSERT_TRUE(storetest::execSql(
            app->logDatabasePath(),
            base::format("INSERT INTO LogDay (Week, Day, Level, Rep1, Rep2, Rep3, Rep4, Rep5, Rep6, Rep7, Rep8, "
                         "Rep9, LogDate) VALUES (%i, %i, %i, %i, %i, %i, %i, %i, %i, %i, %i, %i, '%@')",
                         week, day, level, r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], logDate)));
    }
    long long logRows() {
        auto v = storetest::queryIntegers(app->logDatabasePath(), "SELECT count(*) FROM LogDay");
        return v.empty() ? -1 : v[0];
    }
    // Taps and lets the animations it starts end.
    void tap(const std::string& text, double seconds = 1) {
        ASSERT_TRUE(driver->tap(text)) << driver->lastError();
        driver->wait(seconds);
    }
    // Opens the progress screen from the home screen.
    std::shared_ptr<LogGraphViewController> openProgress() {
        tap("Progress");
        auto screen = std::dynamic_pointer_cast<LogGraphViewController>(nav()->topViewController());
        EXPECT_TRUE(screen);
        return screen;
    }
    std::shared_ptr<ui::AlertView> alert() {
        return std::dynamic_pointer_cast<ui::AlertView>(driver->application().frontAlert());
    }
    // Writes a screenshot when TOLVEK_SHOTS names a folder (to look at them).
    void shot(const std::string& name) {
        if (const char* dir = std::getenv("TOLVEK_SHOTS")) driver->screenshot(std::string(dir) + "/" + name + ".png");
    }

    test::TempHome tempHome;
    std::unique_ptr<host::HeadlessDriver> driver;
    std::shared_ptr<TolvekAppDelegate> app;
    std::vector<ui::OutboxMessage> handed;
};

}  // namespace progresstest
