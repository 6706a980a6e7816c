#include "screens/ConfigurationTableViewController.h"

#include <algorithm>
#include <array>

#include "platform/base/NotificationCenter.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/AnimationConfigViewController.h"
#include "screens/EmulateThreeOhCell.h"
#include "screens/FacebookConfigurationViewController.h"
#include "screens/GraphTypeViewController.h"
#include "screens/ResetToDayViewController.h"
#include "screens/RestartDayViewController.h"
#include "screens/SetRemindersViewController.h"
#include "screens/SettingsLook.h"
#include "screens/ShakeViewController.h"
#include "screens/TwitterViewController.h"
#include "sharing/core/SHR.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/AppState.h"
#include "training/SettingsKeys.h"
#include "training/UserViewController.h"
#include "training/Utility.h"
#include "training/WorkoutSession.h"

namespace {

const std::array<ConfigurationTableViewController::RowInfo, ConfigurationTableViewController::RowCount> kRows{{
    {"Reset To Day", "ResetDay.png",
     "Reset your work out to a specific week,\rday and/or level. Use this option if you are \rhaving trouble with a "
     "particular day or week",
     5, true},
    {"Redo Initial Test", "redo.png", "Redo your initial test if you entered it by\rmistake or when testing the app", 2,
     true},
    {"Restart day options", "RestartDay.png",
     "Decide whether to continue or restart day\rif you need to stop app in the middle\rof a day's program", 5, true},
    {"Fill Log", "filllog.png", "Fill the log if you have started the program\rbefore using the app", 2, false},
    {"Animation", "reset.png", "Turn off/on button spin animation", 1, true},
    {"Timer Reset Options", "shake_icon.png", "Specify whether you want to be able to \rshake the rest timer to zero",
     2, true},
    {"Sign out of Social Networking", "signout.png",
     "Tap to sign out of Social Networking sites\r if you changed password or need to reset", 2, false},
    {"Graph Selection", "graph_type.png", "Tap to choose bar or line graph", 2, true},
    {"Reset Data", "ResetDay.png", "Tap to reset all data from the app.\rclears all workout data and logs", 2, false},
    {"Reminder Settings", "reminder.png", "Tap to turn on or off reminder alerts", 1, true},
}};

const char* const kCannotReset = "Cannot Reset Day while day is in process";

}  // namespace

ConfigurationTableViewController::ConfigurationTableViewController() : ui::ViewController("ConfigurationTableView") {
    setTitle("Configuration");
}

ConfigurationTableViewController::~ConfigurationTableViewController() = default;

const ConfigurationTableViewController::RowInfo& ConfigurationTableViewController::rowInfo(int row) {
    return kRows.at(static_cast<std::size_t>(std::clamp(row, 0, static_cast<int>(RowCount) - 1)));
}

void ConfigurationTableViewController::loadView() {
    auto view = settingslook::screenView();
    configTable_ = settingslook::cardTable(*view);
    setView(view);
}

void ConfigurationTableViewController::viewDidLoad() {
    configTable_->setBackgroundColor(gfx::Color::clear());
    auto self = std::static_pointer_cast<ConfigurationTableViewController>(shared_from_this());
    configTable_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(self));
    configTable_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(self));
}

void ConfigurationTableViewController::viewDidAppear(bool) {
    navigationItem()->setTitleView(settingslook::titleLabel("Configuration", 140));
}

int ConfigurationTableViewController::numberOfRowsInSection(ui::TableView&, int) { return RowCount; }

std::optional<ui::Float> ConfigurationTableViewController::heightForRowAtIndexPath(ui::TableView&,
                                                                                   const ui::IndexPath& indexPath) {
    switch (indexPath.row) {
    case 0:
    case 2: return 85;
    case 4: return 50;
    case 1:
    case 3:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9: return 65;
    default: return 85;
    }
}

std::shared_ptr<ui::TableViewCell> ConfigurationTableViewController::cellForRowAtIndexPath(
    ui::TableView& tableView, const ui::IndexPath& indexPath) {
    auto cell = EmulateThreeOhCell::dequeueOrLoad(tableView, threeOhCell_);
    const RowInfo& info = rowInfo(indexPath.row);
    const ui::Float heights[] = {0, 30, 0, 0, 20, 30};
    const ui::Float detailHeight = indexPath.row >= 1 && indexPath.row <= 5 ? heights[indexPath.row] : 0;
    cell->showRow(homelook::bundleImage(info.image), info.title, info.detail, info.lines, info.indicator, detailHeight);
    return cell;
}

bool ConfigurationTableViewController::canResetPosition() {
    auto delegate = AppState::current();
    if (delegate && delegate->isGoing()) return false;
    if (base::UserDefaults::standardUserDefaults().integerForKey(settingskeys::kRepNum) != 0) return false;
    if (delegate && !delegate->canReset()) return false;
    return true;
}

bool ConfigurationTableViewController::pushScreen(const std::shared_ptr<ui::ViewController>& controller) {
    auto nav = navigationController();
    if (!nav || !controller) return false;
    const auto& stack = nav->viewControllers();
    if (std::find(stack.begin(), stack.end(), controller) != stack.end()) return false;
    if (nav->topViewController() != shared_from_this()) return false;
    nav->pushViewController(controller, true);
    return true;
}

void ConfigurationTableViewController::didSelectRowAtIndexPath(ui::TableView& tableView,
                                                               const ui::IndexPath& indexPath) {
    runRow(indexPath.row);
    tableView.deselectRowAtIndexPath(indexPath, true);
}

void ConfigurationTableViewController::runRow(int row) {
    switch (row) {
    case RowResetToDay:
        if (!canResetPosition()) {
            Utility::ShowAlert(kCannotReset, "Error");
            return;
        }
        if (!resetToDayViewController_) resetToDayViewController_ = std::make_shared<ResetToDayViewController>();
        pushScreen(resetToDayViewController_);
        return;
    case RowRedoInitialTest:
        if (!canResetPosition()) {
            Utility::ShowAlert(kCannotReset, "Error");
            return;
        }
        redoInitialTest();
        return;
    case RowRestartDay:
        if (!restartDayViewController_) restartDayViewController_ = std::make_shared<RestartDayViewController>();
        pushScreen(restartDayViewController_);
        return;
    case RowFillLog: fillLog(); return;
    case RowAnimation:
        if (!animationController_) animationController_ = std::make_shared<AnimationConfigViewController>();
        pushScreen(animationController_);
        return;
    case RowTimerReset:
        if (!shakeViewController_) shakeViewController_ = std::make_shared<ShakeViewController>();
        pushScreen(shakeViewController_);
        return;
    case RowSignOut: signOut(); return;
    case RowGraphSelection:
        if (!graphTypeViewController_) graphTypeViewController_ = std::make_shared<GraphTypeViewController>();
        pushScreen(graphTypeViewController_);
        return;
    case RowResetData: clearData(); return;
    case RowReminders:
        if (!setRemindersViewController_) setRemindersViewController_ = std::make_shared<SetRemindersViewController>();
        pushScreen(setRemindersViewController_);
        return;
    default: return;
    }
}

void ConfigurationTableViewController::redoInitialTest() {
    if (!userViewController_) userViewController_ = std::make_shared<UserViewController>();
    // As the home screen does: the set-up screen, whose view loads during the
    // push, learns that it was pushed, so its OK goes back to the home screen
    // even when no level is stored (after "Reset Data").
    userViewController_->setHasBeenReset(true);
    pushScreen(userViewController_);
    userViewController_->setHasBeenReset(false);
}

void ConfigurationTableViewController::signOut() {
    SHR::logoutOfAll();
    Utility::ShowAlert("You have been signed out of previously signed in Social Networking sites", "Signed Out");
}

void ConfigurationTableViewController::fillLog() {
    auto alert = std::make_shared<ui::AlertView>(
        "Are you sure?",
        "Tapping yes will fill the log with default reps for each day up until the point you are at. This is to "
        "allow logging and graphing if you are currently in the middle of the program. Please only do this once.",
        std::dynamic_pointer_cast<ui::AlertViewDelegate>(shared_from_this()), std::string("Yes"),
        std::vector<std::string>{"No"});
    alert->setTag(kFillLogTag);
    // Neither key fills the log: both answer "No".
    alert->setKeys(ui::KeyAnswer::press(kNoButton), ui::KeyAnswer::press(kNoButton));
    alert->show();
}

void ConfigurationTableViewController::clearData() {
    auto alert = std::make_shared<ui::AlertView>("Are you sure?",
                                                 "Tapping yes will clear all your data, and reset the application",
                                                 std::dynamic_pointer_cast<ui::AlertViewDelegate>(shared_from_this()),
                                                 std::string("Yes"), std::vector<std::string>{"No"});
    alert->setTag(kClearDataTag);
    // Neither key clears the data: both answer "No".
    alert->setKeys(ui::KeyAnswer::press(kNoButton), ui::KeyAnswer::press(kNoButton));
    alert->show();
}

void ConfigurationTableViewController::clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) {
    if (buttonIndex != kYesButton) return;
    if (alertView.tag() == kFillLogTag) {
        // With no level yet (never placed, or right after "Reset Data") the
        // plan has no rows to log: logging would only add days of zeros.
        if (Utility::getLevel() == 0) return;
        DataAccess::fillLog();
    } else if (alertView.tag() == kClearDataTag) {
        resetAllData();
    }
}

void ConfigurationTableViewController::resetAllData() {
    // Days kept or held for the log are data too: none of them is logged
    // into the cleared log later.
    WorkoutSession::forgetKeptDays();
    DataAccess::clearAllData();
    Utility::resetToDayAndWeekAndLevel(1, 1, 0);
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setInteger(settingskeys::kLevel, 0);
    defaults.synchronize();
    // A workout screen holding a day in progress drops it, so that no day
    // of the old plan is logged into the cleared log and resets are allowed
    // again.
    base::NotificationCenter::defaultCenter().post("ResetToDay", this, shared_from_this());
}
