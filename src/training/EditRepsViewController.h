#pragma once
// The day editor: five, eight or nine number fields, one for each round of
// a day's sets. In today mode (setToday) the fields start empty with the
// plan's values as placeholders and Save posts "EditReps" with the edited
// day as a Log; in log mode (setLogToEdit) they show the logged day, Save
// rewrites the stored row (keeping its LogDate) and posts "EditReps" with no
// object so that the log table reloads. Pushed by its opener.
#include <array>
#include <memory>
#include <string>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "training/Log.h"
#include "training/Program.h"

class TodayViewController;

class EditRepsViewController : public ui::ViewController, public ui::TextFieldDelegate {
public:
    EditRepsViewController();
    ~EditRepsViewController() override;

    std::shared_ptr<Program> today() const { return today_; }
    void setToday(std::shared_ptr<Program> today) { today_ = std::move(today); }
    std::shared_ptr<Log> logToEdit() const { return logToEdit_; }
    void setLogToEdit(std::shared_ptr<Log> log) { logToEdit_ = std::move(log); }
    int rep() const { return rep_; }
    void setRep(int rep) { rep_ = rep; }
    std::shared_ptr<TodayViewController> todayViewController() const { return todayViewController_; }
    void setTodayViewController(std::shared_ptr<TodayViewController> controller) {
        todayViewController_ = std::move(controller);
    }
    bool isEditingToday() const { return isEditingToday_; }
    bool hasMovedUp() const { return hasMovedUp_; }
    // 0: five fields, 1: eight, 2: nine.
    int extendedKeyboard() const { return extendedKeyboard_; }
    // The number of fields in use.
    int fieldsInUse() const;

    // The field of round 1 to 9.
    std::shared_ptr<ui::TextField> repText(int round) const { return fields_.at(round - 1); }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    void showDefaultProgram();
    void showCurrentLog();
    // The day the fields describe, or null (after the alert) when a field
    // holds something that is not a number.
    std::shared_ptr<Log> logInformationFromEditMode();
    void saveRepsToUserTapped();
    void setMovedUp(bool movedUp);

    bool textFieldShouldReturn(ui::TextField& field) override;
    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;

private:
    void keyboardWillShow();
    void observeKeyboard();
    void chooseFields(int week, int day);
    // The plan value of each round (the doubled-set expansion of today).
    std::array<int, 9> planRounds() const;

    std::shared_ptr<Program> today_;
    std::shared_ptr<Log> logToEdit_;
    int rep_ = 0;
    std::shared_ptr<TodayViewController> todayViewController_;
    bool hasMovedUp_ = false;
    int extendedKeyboard_ = 0;
    bool isEditingToday_ = true;
    std::array<std::shared_ptr<ui::TextField>, 9> fields_;
    std::array<std::shared_ptr<ui::Label>, 9> captions_;
    base::NotificationCenter::Token keyboardToken_ = 0;
};
