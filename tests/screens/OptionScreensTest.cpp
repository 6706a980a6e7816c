// The five option screens: each shows its stored option, writes it where
// the workout, the home screen and the progress screen read it, and the
// timer screen checks and keeps the user's rest.
#include "SettingsTestSupport.h"
#include "screens/AnimationConfigViewController.h"
#include "screens/GraphTypeViewController.h"
#include "screens/RestartDayViewController.h"
#include "screens/SetRemindersViewController.h"
#include "screens/ShakeViewController.h"

namespace {

using settingstest::SettingsTest;
using Menu = ConfigurationTableViewController;

class OptionScreensTest : public SettingsTest {
protected:
    // The settings as a new reader of the settings file finds them.
    base::UserDefaults fromFile() { return base::UserDefaults(tempHome.configHome() + "/tolvek/defaults.plist"); }
    void back() { tap("Configuration"); }
};

TEST_F(OptionScreensTest, AFreshInstallShowsEverySwitchOffAndTheLineGraphMarked) {
    openMenu();
    tapRow(Menu::RowRestartDay);
    EXPECT_FALSE(menu()->restartDayViewController()->showAlerts()->isOn());
    shot("option_restart_day");
    back();
    tapRow(Menu::RowAnimation);
    EXPECT_FALSE(menu()->animationController()->toggle()->isOn());
    EXPECT_EQ(menu()->animationController()->title(), "Configure Animations");
    shot("option_animation");
    back();
    tapRow(Menu::RowTimerReset);
    auto shake = menu()->shakeViewController();
    EXPECT_FALSE(shake->showAlerts()->isOn());
    EXPECT_FALSE(shake->userRest()->isOn());
    EXPECT_EQ(shake->userRestValue()->text(), "");
    shot("option_timer");
    back();
    tapRow(Menu::RowGraphSelection);
    auto graph = menu()->graphTypeViewController();
    EXPECT_FALSE(graph->lineGraphSelectedImageView()->isHidden());
    EXPECT_TRUE(graph->barGraphSelectedImageView()->isHidden());
    shot("option_graph");
    back();
    tapRow(Menu::RowReminders);
    EXPECT_FALSE(menu()->setRemindersViewController()->toggle()->isOn());
    EXPECT_EQ(menu()->setRemindersViewController()->title(), "Configure Reminders");
    shot("option_reminders");
}

TEST_F(OptionScreensTest, EachSwitchWritesItsOptionToTheSettingsFile) {
    openMenu();
    tapRow(Menu::RowAnimation);
    tap("Spin the menu buttons");
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_AnimationOn"));
    back();
    tapRow(Menu::RowReminders);
    tap("Offer workout reminders");
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_ShowReminders"));
    back();
    tapRow(Menu::RowTimerReset);
    tap("Shake to end a rest");
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_AllowShake"));
    tap("Use my own rest time");
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_UserRest"));
    back();
    tapRow(Menu::RowGraphSelection);
    tap("Bar Graph");
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_GraphType"));
    auto graph = menu()->graphTypeViewController();
    EXPECT_FALSE(graph->barGraphSelectedImageView()->isHidden());
    EXPECT_TRUE(graph->lineGraphSelectedImageView()->isHidden());
    tap("Line Graph");
    EXPECT_FALSE(fromFile().boolForKey("Tolvek_GraphType"));
    EXPECT_FALSE(graph->lineGraphSelectedImageView()->isHidden());
    back();
    // The restart-day switch is written to disk at the next synchronization.
    tapRow(Menu::RowRestartDay);
    tap("Ask to resume a day");
    EXPECT_TRUE(defaults().boolForKey("Tolvek_ShowAlerts"));
    defaults().synchronize();
    EXPECT_TRUE(fromFile().boolForKey("Tolvek_ShowAlerts"));
}

TEST_F(OptionScreensTest, ScreensThatReadOnLoadKeepTheirFirstValueOthersReadOnEveryShowing) {
    openMenu();
    tapRow(Menu::RowRestartDay);
    back();
    tapRow(Menu::RowReminders);
    back();
    defaults().setBool("Tolvek_ShowAlerts", true);
    defaults().setBool("Tolvek_ShowReminders", true);
    tapRow(Menu::RowRestartDay);
    EXPECT_FALSE(menu()->restartDayViewController()->showAlerts()->isOn());
    back();
    tapRow(Menu::RowReminders);
    EXPECT_TRUE(menu()->setRemindersViewController()->toggle()->isOn());
}

TEST_F(OptionScreensTest, TheTimerScreenRefusesANonNumberAndKeepsTheKeyboard) {
    openMenu();
    tapRow(Menu::RowTimerReset);
    tap("Rest seconds");
    type("abc");
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "Error");
    EXPECT_EQ(alert()->message(), "Please Enter a valid number");
    shot("option_timer_refused");
    tap("Ok");
    EXPECT_TRUE(application().isKeyboardVisible());
    EXPECT_TRUE(menu()->shakeViewController()->userRestValue()->isEditing());
    // A rest outside 0 to an hour is refused the same way.
    menu()->shakeViewController()->userRestValue()->setText("");
    type("-5");
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_TRUE(driver->isTextVisible("Please Enter a valid number"));
    tap("Ok");
    EXPECT_TRUE(application().isKeyboardVisible());
}

TEST_F(OptionScreensTest, LeavingStoresTheRestAndTellsTheWorkoutWhichRestToUse) {
    openMenu();
    hear("UserRest");
    hear("UserUnRest");
    tapRow(Menu::RowTimerReset);
    auto shake = menu()->shakeViewController();
    tap("Use my own rest time");
    tap("Rest seconds");
    type("45");
    shot("option_timer_typing");
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_FALSE(application().isKeyboardVisible());
    back();
    EXPECT_EQ(fromFile().integerForKey("Tolvek_UserRestValue"), 45);
    ASSERT_EQ(heard, std::vector<std::string>{"UserRest"});
    EXPECT_EQ(heardSenders[0], shake.get());

    tapRow(Menu::RowTimerReset);
    EXPECT_EQ(shake->userRestValue()->text(), "45");
    tap("Use my own rest time");
    shake->userRestValue()->setText("");
    back();
    EXPECT_EQ(fromFile().integerForKey("Tolvek_UserRestValue"), 0);
    EXPECT_EQ(heard.back(), "UserUnRest");
}

TEST_F(OptionScreensTest, AStoredRestShowsWithTheSwitchOffAndSurvivesAVisit) {
    defaults().setInteger("Tolvek_UserRestValue", 75);
    openMenu();
    tapRow(Menu::RowTimerReset);
    EXPECT_EQ(menu()->shakeViewController()->userRestValue()->text(), "75");
    back();
    EXPECT_EQ(fromFile().integerForKey("Tolvek_UserRestValue"), 75);
}

TEST_F(OptionScreensTest, TheKeyboardLiftsTheViewOnceAndLeavingWhileTypingPutsItBack) {
    openMenu();
    tapRow(Menu::RowTimerReset);
    auto shake = menu()->shakeViewController();
    // Where the view rests, just under the bar.
    const float y = shake->view()->frame().minY();
    const float height = shake->view()->frame().height();
    tap("Rest seconds");
    EXPECT_TRUE(shake->isMovedUp());
    EXPECT_FLOAT_EQ(shake->view()->frame().minY(), y - 150);
    // A second keyboard notification does not lift it further.
    base::NotificationCenter::defaultCenter().post(ui::KeyboardWillShowNotification);
    EXPECT_FLOAT_EQ(shake->view()->frame().minY(), y - 150);
    type("30");
    back();
    tapRow(Menu::RowTimerReset);
    EXPECT_FALSE(shake->isMovedUp());
    EXPECT_FLOAT_EQ(shake->view()->frame().minY(), y);
    EXPECT_FLOAT_EQ(shake->view()->frame().height(), height);
    EXPECT_EQ(fromFile().integerForKey("Tolvek_UserRestValue"), 30);
    // A tap outside the field puts the keyboard and the view down.
    tap("Rest seconds");
    EXPECT_TRUE(shake->isMovedUp());
    ASSERT_TRUE(driver->tapAt(160, 100));
    driver->wait(1);
    EXPECT_FALSE(shake->isMovedUp());
    EXPECT_FALSE(application().isKeyboardVisible());
    EXPECT_FLOAT_EQ(shake->view()->frame().minY(), y);
}

TEST_F(OptionScreensTest, RestSecondsAreTheLeadingWholeNumberKeptWithinAnHour) {
    EXPECT_EQ(ShakeViewController::restSecondsOf(""), 0);
    EXPECT_EQ(ShakeViewController::restSecondsOf("abc"), 0);
    EXPECT_EQ(ShakeViewController::restSecondsOf(" 45 "), 45);
    EXPECT_EQ(ShakeViewController::restSecondsOf("12.5"), 12);
    EXPECT_EQ(ShakeViewController::restSecondsOf("-5"), 0);
    EXPECT_EQ(ShakeViewController::restSecondsOf("99999999999"), ShakeViewController::kMaxRestSeconds);
}

}  // namespace
