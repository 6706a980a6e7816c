#include "StoreTestSupport.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "training/DataAccess.h"

using storetest::execSql;
using storetest::queryIntegers;
using storetest::TemporaryHome;

namespace {

// Start-up in a temporary home, without the store's recording handler: what
// a real launch does to the Documents folder.
class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<base::ManualClock>();
        base::Clock::setCurrent(clock);
    }
    void TearDown() override {
        base::AssertionHandler::setCurrent(nullptr);
        ui::Application::resetSharedApplication();
        base::Clock::setCurrent(nullptr);
        base::Bundle::setMainBundlePath(resources);
    }
    // One start of the program.
    std::shared_ptr<TolvekAppDelegate> launch() {
        base::UserDefaults::resetStandardUserDefaults();  // as a new process reads them
        ui::Application::resetSharedApplication();
        current = std::make_shared<TolvekAppDelegate>();
        ui::Application::sharedApplication().launch(current);
        return current;
    }
    std::string documents() const { return base::paths::documents(); }
    std::string planFile() const { return documents() + "/Tolvek.sqlite"; }
    std::string logFile() const { return documents() + "/LogDay.sqlite"; }
    long long firstRep1() {
        auto v = queryIntegers(planFile(), "SELECT Rep1 FROM Program WHERE ProgramId=1");
        return v.empty() ? -1 : v[0];
    }
    base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
    bool exists(const std::string& path) { return base::FileManager::defaultManager().fileExists(path); }

    TemporaryHome home;
    std::shared_ptr<base::ManualClock> clock;
    std::shared_ptr<TolvekAppDelegate> current;
    const std::string resources = base::Bundle::mainBundle().resourcePath();
};

TEST_F(LaunchTest, FirstStartCopiesBothFilesSetsTheKeyAndMakesTest) {
    ASSERT_FALSE(exists(documents()));
    auto d = launch();
    EXPECT_EQ(d->databasePath(), planFile());
    EXPECT_EQ(d->logDatabasePath(), logFile());
    EXPECT_TRUE(exists(planFile()));
    EXPECT_TRUE(exists(logFile()));
    EXPECT_TRUE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='Test'"),
              std::vector<long long>{1});
    EXPECT_EQ(d->launchLevel(), 0);
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
}

TEST_F(LaunchTest, ALaterStartCopiesNothingAndKeepsTheLog) {
    launch();
    DataAccess::saveLog(Log());
    ASSERT_TRUE(execSql(planFile(), "UPDATE Program SET Rep1=77 WHERE ProgramId=1"));
    defaults().setInteger("Tolvek_Level", 2);
    defaults().synchronize();

    auto d = launch();
    EXPECT_EQ(firstRep1(), 77);  // the plan was not replaced
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(d->launchLevel(), 2);
}

TEST_F(LaunchTest, AnUpdateWithoutTheKeyReplacesThePlan) {
    launch();
    ASSERT_TRUE(execSql(planFile(), "UPDATE Program SET Rep1=77 WHERE ProgramId=1"));
    DataAccess::saveLog(Log());
    defaults().removeObjectForKey("Tolvek_ReplacedDBFromUpdate");
    defaults().synchronize();

    launch();
    EXPECT_NE(firstRep1(), 77);
    EXPECT_TRUE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);  // the log is never replaced
}

TEST_F(LaunchTest, ADeletedPlanIsCopiedAgain) {
    launch();
    ASSERT_TRUE(base::FileManager::defaultManager().removeItem(planFile()));
    launch();
    EXPECT_TRUE(exists(planFile()));
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
}

TEST_F(LaunchTest, AFailedCopyLeavesNoEmptyFileBehindAndIsTriedAgain) {
    const std::string empty = home.path() + "/empty-bundle";
    ASSERT_TRUE(base::FileManager::defaultManager().createDirectory(empty));
    base::Bundle::setMainBundlePath(empty);
    launch();
    // The store's reads and the Test table do not create the missing files.
    EXPECT_EQ(DataAccess::getProgram(1, 1, 1)->rep1(), 0);
    EXPECT_EQ(DataAccess::getTodayString(), "Week 0, Day  0, Level 0\rReps: 0, 0, 0, 0, 0\rRest: 0 seconds");
    EXPECT_FALSE(exists(planFile()));
    EXPECT_FALSE(exists(logFile()));
    EXPECT_FALSE(defaults().boolForKey("Tolvek_ReplacedDBFromUpdate"));

    base::Bundle::setMainBundlePath(resources);
    launch();
    EXPECT_EQ(DataAccess::getProgramData().size(), 54u);
    EXPECT_EQ(queryIntegers(logFile(), "SELECT count(*) FROM LogDay"), std::vector<long long>{0});
}

TEST_F(LaunchTest, LaunchSetsTheFlagsAndInstallsTheStoreHandler) {
    auto d = std::make_shared<TolvekAppDelegate>();
    d->setIsGoing(true);
    d->setHasReset(true);
    d->setCanReset(false);
    d->setBackFromBeingInBackground(true);
    d->setTimeInBackground(12);
    auto& app = ui::Application::sharedApplication();
    EXPECT_TRUE(app.launch(d));
    EXPECT_EQ(TolvekAppDelegate::shared(), d);
    EXPECT_FALSE(d->isGoing());
    EXPECT_FALSE(d->hasReset());
    EXPECT_TRUE(d->canReset());
    EXPECT_FALSE(d->backFromBeingInBackground());
    EXPECT_EQ(d->timeInBackground(), 0);
    EXPECT_NE(dynamic_cast<TolvekAssertionHandler*>(&base::AssertionHandler::current()), nullptr);
}

TEST_F(LaunchTest, LaunchShowsTheNavigationStackAndKeepsTheScreenAwake) {
    auto d = launch();
    auto& app = ui::Application::sharedApplication();
    ASSERT_TRUE(d->window());
    EXPECT_EQ(app.keyWindow(), d->window());
    EXPECT_TRUE(d->window()->isKeyWindow());
    ASSERT_TRUE(d->navigationController());
    EXPECT_EQ(d->window()->rootViewController(), d->navigationController());
    EXPECT_EQ(d->navigationController()->view()->superview().get(), d->window().get());
    EXPECT_TRUE(app.isIdleTimerDisabled());  // also for a user never placed
    EXPECT_EQ(d->launchLevel(), 0);
}

TEST_F(LaunchTest, TheEntrysWindowAndNavigationStackAreUsed) {
    auto& app = ui::Application::sharedApplication();
    auto d = std::make_shared<TolvekAppDelegate>();
    auto window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
    auto root = std::make_shared<ui::ViewController>();
    auto navigation = std::make_shared<ui::NavigationController>(root);
    d->setWindow(window);
    d->setNavigationController(navigation);
    app.launch(d);
    EXPECT_EQ(d->window(), window);
    EXPECT_EQ(window->rootViewController(), navigation);
    EXPECT_EQ(navigation->topViewController(), root);
    EXPECT_TRUE(window->isKeyWindow());
}

// ---- the background bookkeeping

class BackgroundTest : public storetest::StoreTest {};

TEST_F(BackgroundTest, LeavingWithNoRestRunningStoresNothing) {
    delegate->setBackFromBeingInBackground(true);
    delegate->setTimeInBackground(7);
    delegate->applicationDidEnterBackground(storetest::app());
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
    clock->advance(30);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_FALSE(delegate->backFromBeingInBackground());
    EXPECT_EQ(delegate->timeInBackground(), 0);
}

TEST_F(BackgroundTest, LeavingDuringARestCountsTheWholeSecondsAway) {
    delegate->setIsGoing(true);
    delegate->applicationDidEnterBackground(storetest::app());
    // Written to disk at once.
    base::UserDefaults onDisk(defaults().path());
    ASSERT_TRUE(onDisk.dateForKey("backgroundTime").has_value());
    EXPECT_EQ(onDisk.dateForKey("backgroundTime")->timeIntervalSince1970(), clock->now());

    clock->advance(95.7);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 95);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
    EXPECT_TRUE(base::UserDefaults(defaults().path()).objectForKey("backgroundTime").isNull());
}

TEST_F(BackgroundTest, ComingBackWithoutAStoredTimeCountsZero) {
    delegate->setIsGoing(true);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 0);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
}

TEST_F(BackgroundTest, AClockThatWentBackCountsTheDistance) {
    delegate->setIsGoing(true);
    delegate->applicationDidEnterBackground(storetest::app());
    clock->setTime(clock->now() - 10.4);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 10);
}

TEST_F(BackgroundTest, TheHostsBackgroundAndReturnDriveTheBookkeeping) {
    auto& app = storetest::app();
    delegate->setIsGoing(true);
    app.enterBackground();
    clock->advance(95.7);
    app.enterForeground();
    EXPECT_EQ(delegate->timeInBackground(), 95);
    EXPECT_TRUE(delegate->backFromBeingInBackground());
}

TEST_F(BackgroundTest, AStaleTimeIsLeftAloneWhenNoRestRuns) {
    defaults().setObject("backgroundTime", base::Value(base::Date(clock->now() - 500)));
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_FALSE(defaults().objectForKey("backgroundTime").isNull());
    delegate->setIsGoing(true);
    delegate->applicationWillEnterForeground(storetest::app());
    EXPECT_EQ(delegate->timeInBackground(), 500);
    EXPECT_TRUE(defaults().objectForKey("backgroundTime").isNull());
}

}  // namespace
