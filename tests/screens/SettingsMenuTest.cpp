// The settings menu, its guard, the reset-to-day screen, fill log, reset
// data, redo initial test and sign-out, driven as a user would.
#include <filesystem>

#include "SettingsTestSupport.h"
#include "platform/base/Keychain.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TextField.h"
#include "screens/EmulateThreeOhCell.h"
#include "screens/ResetToDayViewController.h"
#include "screens/RestartDayViewController.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFormController.h"
#include "sharing/core/SHRSharer.h"
#include "support/MemoryKeychain.h"
#include "training/DataAccess.h"
#include "training/TodayViewController.h"
#include "training/UserViewController.h"
#include "training/Utility.h"
#include "training/WorkoutSession.h"

namespace {

using settingstest::SettingsTest;
using Menu = ConfigurationTableViewController;

TEST_F(SettingsTest, TheMenuListsTenRowsWithTheirImagesDetailsHeightsAndIndicators) {
    openMenu();
    auto m = menu();
    ASSERT_TRUE(m);
    EXPECT_EQ(top(), m);
    shot("settings_menu");
    auto table = m->configTable();
    table->layoutIfNeeded();
    EXPECT_EQ(table->numberOfRowsInSection(0), 10);
    const float heights[] = {85, 65, 85, 65, 50, 65, 65, 65, 65, 65};
    for (int row = 0; row < Menu::RowCount; ++row) {
        const auto& info = Menu::rowInfo(row);
        table->scrollToRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0), ui::TableViewScrollPosition::Middle,
                                      false);
        driver->wait(0.1);
        EXPECT_TRUE(driver->expect(info.title)) << driver->lastError();
        auto cell = std::dynamic_pointer_cast<EmulateThreeOhCell>(
            table->cellForRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0)));
        ASSERT_TRUE(cell) << row;
        EXPECT_EQ(cell->reuseIdentifier(), "Cell");
        EXPECT_EQ(cell->textLabel()->text(), info.title);
        EXPECT_EQ(cell->detailTextLabel()->text(), info.detail);
        EXPECT_EQ(cell->detailTextLabel()->font().fontName(), "Helvetica");
        EXPECT_EQ(cell->detailTextLabel()->font().pointSize(), 11);
        EXPECT_EQ(cell->detailTextLabel()->numberOfLines(), info.lines);
        EXPECT_TRUE(cell->imageView()->image()) << info.image;
        EXPECT_EQ(cell->accessoryType() == ui::TableViewCellAccessoryType::DisclosureIndicator, info.indicator);
        EXPECT_FLOAT_EQ(table->rectForRowAtIndexPath(ui::IndexPath::indexPathForRow(row, 0)).height(), heights[row]);
        // The detail never reaches past its row.
        EXPECT_LE(cell->detailTextLabel()->frame().maxY(), cell->contentView()->bounds().height()) << row;
        if (row == 1 || row == 5) {
            EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().height(), 30);
        } else if (row == 4) {
            EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().height(), 20);
        }
    }
    // "\r" in the details is a carriage return.
    EXPECT_NE(std::string(Menu::rowInfo(0).detail).find("week,\rday"), std::string::npos);
    shot("settings_menu_end");
}

TEST_F(SettingsTest, AReusedCellGetsTheFileDetailHeightBack) {
    auto cell = EmulateThreeOhCell::loadFromNib();
    auto frame = cell->detailTextLabel()->frame();
    frame.size.height = 20;
    cell->detailTextLabel()->setFrame(frame);
    cell->prepareForReuse();
    EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().height(), EmulateThreeOhCell::kDetailHeight);
    EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().minY(), EmulateThreeOhCell::kDetailY);
}

TEST_F(SettingsTest, WhileADayIsUnderWayResetsAreRefusedAndTheOtherRowsStillOpen) {
    defaults().setInteger("Tolvek_RepNum", 2);
    openMenu(2, 2, 1);
    for (int row : {Menu::RowResetToDay, Menu::RowRedoInitialTest}) {
        tapRow(row);
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->title(), "Error");
        EXPECT_EQ(alert()->message(), "Cannot Reset Day while day is in process");
        if (row == Menu::RowResetToDay) shot("settings_refused");
        tap("Ok");
        EXPECT_EQ(top(), menu()) << row;
    }
    EXPECT_FALSE(menu()->resetToDayViewController());
    EXPECT_FALSE(menu()->userViewController());
    tapRow(Menu::RowRestartDay);
    EXPECT_EQ(top(), menu()->restartDayViewController());
}

TEST_F(SettingsTest, ARunningRestOrAStartedDayAlsoRefusesResets) {
    openMenu();
    app->setIsGoing(true);
    tapRow(Menu::RowResetToDay);
    EXPECT_TRUE(driver->isTextVisible("Cannot Reset Day while day is in process"));
    tap("Ok");
    app->setIsGoing(false);
    app->setCanReset(false);
    tapRow(Menu::RowRedoInitialTest);
    EXPECT_TRUE(driver->isTextVisible("Cannot Reset Day while day is in process"));
    tap("Ok");
    app->setCanReset(true);
    tapRow(Menu::RowResetToDay);
    EXPECT_EQ(top(), menu()->resetToDayViewController());
}

TEST_F(SettingsTest, ResetToDayStoresThePickedDayClearsThePositionInsideTheDayAndTellsTheWorkout) {
    defaults().setBool("Tolvek_Test", true);
    defaults().setInteger("Tolvek_RepToShow", 3);
    openMenu(2, 4, 1);
    tapRow(Menu::RowResetToDay);
    auto screen = menu()->resetToDayViewController();
    ASSERT_EQ(top(), screen);
    EXPECT_EQ(screen->currentValuesLabel()->text(), "Current Values: Week 4, Day 2, Level 1");
    auto picker = screen->pickerView();
    EXPECT_EQ(picker->numberOfComponents(), 3);
    EXPECT_EQ(picker->numberOfRowsInComponent(0), 6);
    EXPECT_EQ(picker->titleForRow(5, 0), "Week 6");
    EXPECT_EQ(picker->titleForRow(2, 1), "Day 3");
    EXPECT_EQ(picker->titleForRow(0, 2), "Level 1");
    // Not preset: the wheels start at their first rows.
    EXPECT_EQ(picker->selectedRowInComponent(0), 0);
    picker->selectRow(5, 0, false);
    picker->selectRow(2, 1, false);
    picker->selectRow(1, 2, false);
    shot("reset_to_day");
    hear("ResetToDay");
    app->setHasReset(false);
    tap("Reset");
    EXPECT_EQ(defaults().integerForKey("Tolvek_Week"), 6);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Day"), 3);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 2);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), 0);
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepToShow"), 0);
    EXPECT_TRUE(app->hasReset());
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Information");
    EXPECT_EQ(alert()->message(), "Week, Day and Level have been reset");
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heardSenders[0], screen.get());
    // Stored already: a new reader of the settings file finds it.
    base::UserDefaults fromFile(tempHome.configHome() + "/tolvek/defaults.plist");
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Week"), 6);
    // The label is read again only when the screen shows again.
    EXPECT_EQ(screen->currentValuesLabel()->text(), "Current Values: Week 4, Day 2, Level 1");
    tap("Ok");
    tap("Configuration");
    tapRow(Menu::RowResetToDay);
    EXPECT_EQ(screen->currentValuesLabel()->text(), "Current Values: Week 6, Day 3, Level 2");
    EXPECT_EQ(picker->selectedRowInComponent(0), 5) << "the wheels keep what they showed";
}

std::vector<std::pair<int, int>> weekDays(const std::vector<std::shared_ptr<Log>>& log) {
    std::vector<std::pair<int, int>> out;
    for (const auto& day : log) out.emplace_back(day->week(), day->day());
    return out;
}

TEST_F(SettingsTest, FillLogYesLogsThePlannedDaysUpToTheCurrentOneAndNoLogsNothing) {
    openMenu(2, 3, 2);
    tapRow(Menu::RowFillLog);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Are you sure?");
    EXPECT_EQ(alert()->tag(), Menu::kFillLogTag);
    EXPECT_EQ(alert()->buttonTitleAtIndex(0), "Yes");
    EXPECT_EQ(alert()->buttonTitleAtIndex(1), "No");
    shot("fill_log_question");
    tap("No");
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_EQ(top(), menu());

    tapRow(Menu::RowFillLog);
    tap("Yes");
    const auto log = DataAccess::getLogData();
    EXPECT_EQ(weekDays(log),
              (std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}}));
    for (const auto& day : log) EXPECT_EQ(day->level(), 2);
    auto plan = DataAccess::getProgram(2, 3, 2);
    EXPECT_EQ(log.back()->rep1(), plan->rep1());
    EXPECT_GT(log.back()->rep1(), 0);
}

TEST_F(SettingsTest, FillLogWithNoLevelLogsNothing) {
    placed(1, 1, 0);
    launch();
    // Never placed: the set-up screen was presented at start; put it away.
    ASSERT_TRUE(nav()->modalViewController());
    nav()->dismissModalViewControllerAnimated(false);
    tap("Settings");
    tapRow(Menu::RowFillLog);
    tap("Yes");
    EXPECT_TRUE(DataAccess::getLogData().empty());
}

TEST_F(SettingsTest, ResetDataNoKeepsEverythingAndYesClearsTheLogAndThePlacement) {
    openMenu(2, 3, 2);
    DataAccess::fillLog();
    ASSERT_EQ(DataAccess::getLogData().size(), 8u);
    tapRow(Menu::RowResetData);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->message(), "Tapping yes will clear all your data, and reset the application");
    EXPECT_EQ(alert()->tag(), Menu::kClearDataTag);
    tap("No");
    EXPECT_EQ(DataAccess::getLogData().size(), 8u);
    EXPECT_EQ(Utility::getLevel(), 2);

    hear("ResetToDay");
    tapRow(Menu::RowResetData);
    tap("Yes");
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_EQ(Utility::getLevel(), 0);
    EXPECT_EQ(Utility::GetWeek(), 1);
    EXPECT_EQ(Utility::GetDay(), 1);
    EXPECT_EQ(heard.size(), 1u);
    base::UserDefaults fromFile(tempHome.configHome() + "/tolvek/defaults.plist");
    EXPECT_EQ(fromFile.integerForKey("Tolvek_Level"), 0);

    // Redo Initial Test, then OK goes back home with the new level, and
    // does again the next time.
    for (const char* score : {"8", "3"}) {
        tapRow(Menu::RowRedoInitialTest);
        auto setup = menu()->userViewController();
        ASSERT_EQ(top(), setup);
        EXPECT_FALSE(setup->hasBeenReset());
        setup->initialValueField()->setText("");
        tap("Push-ups");
        type(score);
        if (std::string(score) == "8") shot("redo_initial_test");
        tap("OK");
        EXPECT_EQ(top(), home());
        EXPECT_EQ(Utility::getLevel(), std::string(score) == "8" ? 2 : 1);
        if (std::string(score) == "8") tap("Settings");
    }
}

TEST_F(SettingsTest, ResetDataForgetsADayTheLogRefusedSoTheLogStaysEmpty) {
    placed(1, 1, 1);
    launch();
    // A day done while the log cannot be written is held for it.
    const std::string logPath = app->logDatabasePath();
    std::filesystem::rename(logPath, logPath + ".away");
    tap("Today's Workout");
    tap("Tap To Start");
    auto& today = *home()->todayViewController();
    for (int guard = 0; guard < 12 && today.todayMode() == TodayModeSet; ++guard) {
        tap("Done", 0);
        if (today.todayMode() == TodayModeRest) tap("End Rest");
    }
    ASSERT_EQ(today.todayMode(), TodayModeDayComplete);
    tap("Done");
    while (alert()) tap("Ok");
    ASSERT_EQ(WorkoutSession::keptDays().size(), 1u);
    std::filesystem::rename(logPath + ".away", logPath);

    if (depth() > 1) tap("Back");
    tap("Settings");
    tapRow(Menu::RowResetData);
    tap("Yes");
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_TRUE(WorkoutSession::keptDays().empty());
    // Neither a try while the program runs nor the next start brings it back.
    driver->wait(TolvekAppDelegate::kHeldDaysRetrySeconds);
    EXPECT_TRUE(DataAccess::getLogData().empty());
    driver->quit();
    driver.reset();
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_TRUE(DataAccess::getLogData().empty());
}

TEST_F(SettingsTest, ResetDataDuringAStartedDayLetsTheWorkoutDropItsDay) {
    placed(1, 1, 1);
    launch();
    tap("Today's Workout");
    tap("Tap To Start");
    ASSERT_FALSE(app->canReset());
    tap("Back");
    tap("Settings");
    tapRow(Menu::RowResetData);
    tap("Yes");
    EXPECT_TRUE(app->canReset());
    EXPECT_EQ(home()->todayViewController()->todayMode(), TodayModeReady);
    // Resets are no longer refused.
    tapRow(Menu::RowResetToDay);
    EXPECT_EQ(top(), menu()->resetToDayViewController());
}

// A service sharer that counts as signed in while its keychain items exist.
class SignedInSharer : public SHRSharer {
public:
    explicit SignedInSharer(std::string id) : id_(std::move(id)) {}
    std::string sharerId() const override { return id_; }

private:
    std::string id_;
};

// For the length of a test: a keychain in memory, and a stand-in for each
// listed service that this build lacks.
struct SignedInServices {
    SignedInServices() : previous(base::Keychain::setSharedForTesting(keychain)) {
        for (const auto& name : SHR::sharersListed("services")) {
            if (SHRSharer::registry().contains(name)) continue;
            SHRSharer::registry().registerClass(name, [name] { return std::make_shared<SignedInSharer>(name); });
            added.push_back(name);
        }
    }
    ~SignedInServices() {
        for (const auto& name : added) SHRSharer::registry().unregisterClass(name);
        base::Keychain::setSharedForTesting(previous);
    }
    std::shared_ptr<testsupport::MemoryKeychain> keychain = std::make_shared<testsupport::MemoryKeychain>();
    std::shared_ptr<base::Keychain> previous;
    std::vector<std::string> added;
};

TEST_F(SettingsTest, SignOutRemovesEveryServiceLoginAndSaysSo) {
    SignedInServices services;
    openMenu();
    const auto names = SHR::sharersListed("services");
    ASSERT_FALSE(names.empty());
    for (const auto& name : names) {
        auto sharer = SHRSharer::create(name);
        ASSERT_TRUE(sharer) << name;
        for (const auto& field : sharer->authorizationFormFields()) SHR::setAuthValue("secret", field->key(), name);
    }
    ASSERT_FALSE(services.keychain->items().empty());

    tapRow(Menu::RowSignOut);
    EXPECT_TRUE(services.keychain->items().empty());
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Signed Out");
    EXPECT_EQ(alert()->message(), "You have been signed out of previously signed in Social Networking sites");
    shot("signed_out");
    tap("Ok");
    EXPECT_EQ(top(), menu());
}

}  // namespace
