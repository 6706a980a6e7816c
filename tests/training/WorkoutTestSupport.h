#pragma once
// Shared set-up of the workout screen tests: a temporary home, the headless
// driver on its manual clock, and a small application whose home screen has
// one button that pushes the workout screen (created once and kept, as the
// program's home screen does), under the program's application delegate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "StoreTestSupport.h"
#include "platform/base/Clock.h"
#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SystemSound.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "training/DataAccess.h"
#include "training/TodayViewController.h"
#include "training/TolvekAppDelegate.h"

namespace workouttest {

class HomeStub : public ui::ViewController {
public:
    void loadView() override {
        auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::white());
        auto button = std::make_shared<ui::Button>(ui::ButtonType::RoundedRect, ui::Rect(40, 100, 240, 44));
        button->setTitle("Today's Workout");
        button->addTarget([this] { openToday(); }, ui::ControlEvents::TouchUpInside);
        view->addSubview(button);
        setView(view);
    }
    void openToday() {
        if (!today) today = std::make_shared<TodayViewController>();
        if (today->todayMode() == TodayModeSharing) today->setTodayMode(TodayModeReady);
        navigationController()->pushViewController(today, true);
    }
    std::shared_ptr<TodayViewController> today;
};

// The program's delegate over a navigation stack whose root is the stub.
struct WorkoutApp {
    std::shared_ptr<TolvekAppDelegate> tolvek;
    std::shared_ptr<HomeStub> home;
    std::shared_ptr<ui::NavigationController> nav;
};

class WorkoutTest : public ::testing::Test {
protected:
    void SetUp() override { ui::SystemSound::setRecordsPlaysForTesting(true); }
    void TearDown() override { end(); }

    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    void placed(int day, int week, int level) {
        defaults().setInteger("Tolvek_Day", day);
        defaults().setInteger("Tolvek_Week", week);
        defaults().setInteger("Tolvek_Level", level);
        defaults().synchronize();
    }
    void launch() {
        driver = std::make_unique<host::HeadlessDriver>();
        app = std::make_shared<WorkoutApp>();
        app->tolvek = std::make_shared<TolvekAppDelegate>();
        app->home = std::make_shared<HomeStub>();
        app->nav = std::make_shared<ui::NavigationController>(app->home);
        app->tolvek->setNavigationController(app->nav);
        ASSERT_TRUE(driver->start(app->tolvek));
        driver->wait(1);
    }
    // Quits the program (nothing is saved on the way out).
    void end() {
        if (!driver) return;
        driver.reset();
        app.reset();
    }
    void openToday() { tap("Today's Workout", 1); }
    // Launches on week 1, day 1, level 1, opens the workout screen and starts
    // the day with "Tap To Start".
    void startFirstDay() {
        placed(1, 1, 1);
        launch();
        openToday();
        tap("Tap To Start");
    }
    void tap(const std::string& text, double seconds = 0) {
        ASSERT_TRUE(driver->tap(text)) << driver->lastError();
        if (seconds > 0) driver->wait(seconds);
    }
    void expect(const std::string& text) { EXPECT_TRUE(driver->isTextVisible(text)) << text << "\n" << driver->dump(); }
    // Writes a screenshot when TOLVEK_SHOTS names a folder (to look at them).
    void shot(const std::string& name) {
        if (const char* dir = std::getenv("TOLVEK_SHOTS")) driver->screenshot(std::string(dir) + "/" + name + ".png");
    }
    TodayViewController& today() { return *app->home->today; }
    std::string plate() { return today().contentLabel()->text(); }
    double now() { return base::Clock::current().now(); }
    // Rewrites one plan row of the Documents copy (the program must run).
    void setPlanRow(int week, int day, int level, int r1, int r2, int r3, int r4, int r5, int interval) {
        ASSERT_TRUE(storetest::execSql(
            app->tolvek->databasePath(),
            base::format("UPDATE Program SET Rep1=%d, Rep2=%d, Rep3=%d, Rep4=%d, Rep5=%d, Interval=%d "
                         "WHERE Week=%d AND Day=%d AND Level=%d",
                         r1, r2, r3, r4, r5, interval, week, day, level)));
    }
    // Types a value into the one-set editor shown now and saves it.
    void enterValue(const std::string& text) {
        ASSERT_TRUE(driver->tap("Value")) << driver->lastError();
        for (int i = 0; i < 12; ++i) driver->application().pressBackspace();
        ASSERT_TRUE(driver->type(text)) << driver->lastError();
        tap("Save", 1);
    }
    // Rests end one second after "End Rest".
    void skipRest() {
        tap("End Rest");
        driver->wait(1);
    }
    // Runs today's whole day with the rests skipped; answers the plate of
    // every round.
    std::vector<std::string> runDay() {
        std::vector<std::string> rounds;
        tap("Tap To Start");
        for (int guard = 0; guard < 12 && today().todayMode() == TodayModeSet; ++guard) {
            rounds.push_back(plate());
            tap("Done");
            if (today().todayMode() == TodayModeRest) skipRest();
        }
        return rounds;
    }
    // Taps Done on the completed day shown while the log refuses it: the user
    // is told plainly that the day is kept and tried again; every alert is
    // then closed with "Ok".
    void tapDoneTheLogRefuses() {
        tap("Done", 1);
        auto alert = std::dynamic_pointer_cast<ui::AlertView>(driver->application().frontAlert());
        ASSERT_TRUE(alert);
        EXPECT_EQ(alert->message(),
                  "The day could not be saved in your training log. Tolvek keeps the day and tries "
                  "again while it runs and the next time it starts.");
        EXPECT_EQ(alert->message().find("sqlite"), std::string::npos);
        while (driver->application().frontAlert()) tap("Ok", 1);
    }

    test::TempHome tempHome;
    std::unique_ptr<host::HeadlessDriver> driver;
    std::shared_ptr<WorkoutApp> app;
};

}  // namespace workouttest
