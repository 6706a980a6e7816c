#pragma once
// A form for logging one training day by hand: nine count fields, one per
// slot of a logged day, each showing the plan's count for its slot as a
// placeholder, and a Save button that stores the day. The start-up creates
// it and keeps it; no menu opens it.
#include <array>
#include <memory>
#include <string>

#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "sharing/core/SHRSharer.h"
#include "training/Program.h"

class LogViewController : public ui::ViewController,
                          public ui::TextFieldDelegate,
                          public ui::ActionSheetDelegate,
                          public SHRSharerDelegate {
public:
    LogViewController();
    ~LogViewController() override;

    // Field 1 to 9.
    std::shared_ptr<ui::TextField> rep(int slot) const { return fields_.at(slot - 1); }
    std::shared_ptr<Program> today() const { return today_; }
    void setToday(std::shared_ptr<Program> today) { today_ = std::move(today); }
    bool hasMovedUp() const { return hasMovedUp_; }
    // 0 for a five-set day, 1 for days 2 and 3 of week 5 (eight slots), 2
    // for days 2 and 3 of week 6 (nine slots).
    int extendedKeyboard() const { return extendedKeyboard_; }
    const std::string& message() const { return message_; }
    // The share text of the last day saved.
    const std::string& statusString() const { return statusString_; }
    std::shared_ptr<ui::Button> saveButton() const { return saveButton_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // Stores the day: every empty field takes the plan's count of its slot;
    // a field that is not a number stops the save with an alert.
    void saveLog();
    void setMovedUp(bool movedUp);
    void socialNetworkUpdatesFinished();

    bool textFieldShouldReturn(ui::TextField& field) override;
    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
    void didDismissWithButtonIndex(ui::ActionSheet& actionSheet, int buttonIndex) override;
    // The sharer reports only reach the log.
    void sharerStartedSending(SHRSharer& sharer) override;
    void sharerFinishedSending(SHRSharer& sharer) override;
    void sharerCancelledSending(SHRSharer& sharer) override;
    void sharerFailedWithError(SHRSharer& sharer, const net::Error& error, bool shouldRelogin) override;

    // The planned counts of the nine slots of the day in today (zeros
    // without one).
    std::array<int, 9> plannedSlots() const;
    // How many slots the day in today has (5, 8 or 9).
    int visibleSlots() const;

private:
    void keyboardWillShow();
    int editingSlot() const;

    std::array<std::shared_ptr<ui::TextField>, 9> fields_;
    std::shared_ptr<ui::Button> saveButton_;
    std::shared_ptr<ui::ActivityIndicatorView> indicator_;
    std::shared_ptr<Program> today_;
    bool hasMovedUp_ = false;
    int extendedKeyboard_ = 0;
    std::string message_;
    std::string statusString_;
};
