#pragma once
// Shared set-up of the screen tests of the training core: a temporary home,
// the headless driver on its manual clock, and the application launched
// with its own delegate, as the program starts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "TestEnvironment.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "training/RootViewController.h"
#include "training/TolvekAppDelegate.h"

namespace hometest {

class ScreenTest : public ::testing::Test {
protected:
    void TearDown() override {
        driver.reset();
        base::UserDefaults::resetStandardUserDefaultsForTesting();
    }

    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    // A user placed before this start.
    void placed(int day, int week, int level, bool test = false) {
        defaults().setInteger("Tolvek_Day", day);
        defaults().setInteger("Tolvek_Week", week);
        defaults().setInteger("Tolvek_Level", level);
        defaults().setBool("Tolvek_Test", test);
        defaults().synchronize();
    }
    // Starts the program and lets the start-up animations end.
    void launch() {
        driver = std::make_unique<host::HeadlessDriver>();
        app = std::make_shared<TolvekAppDelegate>();
        ASSERT_TRUE(driver->start(app));
        driver->wait(1);
    }
    ui::Application& application() { return driver->application(); }
    std::shared_ptr<ui::NavigationController> nav() { return app->navigationController(); }
    std::shared_ptr<RootViewController> home() { return app->rootViewController(); }
    std::size_t depth() { return nav()->viewControllers().size(); }
    // Taps and lets the animations it starts end.
    void tap(const std::string& text, double seconds = 1) {
        ASSERT_TRUE(driver->tap(text)) << driver->lastError();
        driver->wait(seconds);
    }
    void type(const std::string& text) { ASSERT_TRUE(driver->type(text)) << driver->lastError(); }
    // Writes a screenshot when TOLVEK_SHOTS names a folder (to look at them).
    void shot(const std::string& name) {
        if (const char* dir = std::getenv("TOLVEK_SHOTS")) driver->screenshot(std::string(dir) + "/" + name + ".png");
    }

    test::TempHome tempHome;
    std::unique_ptr<host::HeadlessDriver> driver;
    std::shared_ptr<TolvekAppDelegate> app;
};

}  // namespace hometest
