#pragma once
// The settings menu: ten fixed rows, each opening an option screen, the
// reset-to-day screen or the set-up screen, or doing its work at once (fill
// the log with the planned days, sign out of every sharing service, reset
// all data). Resets of the plan position are refused while a day is in
// progress. The screens it opens are made on first use and kept.
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/AlertView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class EmulateThreeOhCell;
class UserViewController;
class ResetToDayViewController;
class RestartDayViewController;
class AnimationConfigViewController;
class ShakeViewController;
class GraphTypeViewController;
class SetRemindersViewController;
class FacebookConfigurationViewController;
class TwitterViewController;

class ConfigurationTableViewController : public ui::ViewController,
                                         public ui::TableViewDataSource,
                                         public ui::TableViewDelegate,
                                         public ui::AlertViewDelegate {
public:
    // The rows, in order.
    enum Row {
        RowResetToDay = 0,
        RowRedoInitialTest,
        RowRestartDay,
        RowFillLog,
        RowAnimation,
        RowTimerReset,
        RowSignOut,
        RowGraphSelection,
        RowResetData,
        RowReminders,
        RowCount
    };
    // The tags of the two questions.
    static constexpr int kFillLogTag = 101;
    static constexpr int kClearDataTag = 102;
    // Their buttons: "Yes" is given as the cancel button.
    static constexpr int kYesButton = 0;
    static constexpr int kNoButton = 1;

    ConfigurationTableViewController();
    ~ConfigurationTableViewController() override;

    std::shared_ptr<ui::TableView> configTable() const { return configTable_; }
    // The last cell loaded from the cell's interface file.
    std::shared_ptr<EmulateThreeOhCell> threeOhCell() const { return threeOhCell_; }

    // The screens the rows open, once made.
    std::shared_ptr<ResetToDayViewController> resetToDayViewController() const { return resetToDayViewController_; }
    std::shared_ptr<UserViewController> userViewController() const { return userViewController_; }
    std::shared_ptr<RestartDayViewController> restartDayViewController() const { return restartDayViewController_; }
    std::shared_ptr<AnimationConfigViewController> animationController() const { return animationController_; }
    std::shared_ptr<ShakeViewController> shakeViewController() const { return shakeViewController_; }
    std::shared_ptr<GraphTypeViewController> graphTypeViewController() const { return graphTypeViewController_; }
    std::shared_ptr<SetRemindersViewController> setRemindersViewController() const {
        return setRemindersViewController_;
    }
    // Slots for the two social-network screens that no row opens.
    std::shared_ptr<FacebookConfigurationViewController> faceBookViewController() const {
        return faceBookViewController_;
    }
    std::shared_ptr<TwitterViewController> twitterViewController() const { return twitterViewController_; }

    // The title, image, detail text, detail lines and accessory of a row.
    struct RowInfo {
        const char* title;
        const char* image;
        const char* detail;
        int lines;
        bool indicator;
    };
    static const RowInfo& rowInfo(int row);

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<ui::Float> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

    // Whether the plan position may be reset now: no rest counting down, no
    // set of a day done yet, and no day started.
    static bool canResetPosition();
    // The fill-log and reset-data questions.
    void fillLog();
    void clearData();
    void clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) override;

private:
    // Pushes the screen on the menu's navigation stack, unless it is there
    // already or the menu is not on top (a second tap while one slides in).
    bool pushScreen(const std::shared_ptr<ui::ViewController>& controller);
    void runRow(int row);
    void redoInitialTest();
    void signOut();
    void resetAllData();

    std::shared_ptr<ui::TableView> configTable_;
    std::shared_ptr<EmulateThreeOhCell> threeOhCell_;
    std::shared_ptr<ResetToDayViewController> resetToDayViewController_;
    std::shared_ptr<UserViewController> userViewController_;
    std::shared_ptr<RestartDayViewController> restartDayViewController_;
    std::shared_ptr<AnimationConfigViewController> animationController_;
    std::shared_ptr<ShakeViewController> shakeViewController_;
    std::shared_ptr<GraphTypeViewController> graphTypeViewController_;
    std::shared_ptr<SetRemindersViewController> setRemindersViewController_;
    std::shared_ptr<FacebookConfigurationViewController> faceBookViewController_;
    std::shared_ptr<TwitterViewController> twitterViewController_;
};
