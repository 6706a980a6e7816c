#pragma once
// The one-set editor: changes one number, the count of a set or the rest
// period, with up and down buttons or by typing, and announces the saved
// value with "repChanged" (a set) or "restChanged" (the rest) carrying a
// base::Number. Presented modally by the workout screen.
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class TodayViewController;

class CustomRepViewController : public ui::ViewController, public ui::TextFieldDelegate {
public:
    CustomRepViewController();

    int rep() const { return rep_; }
    void setRep(int rep) { rep_ = rep; }
    bool restMode() const { return restMode_; }
    void setRestMode(bool restMode) { restMode_ = restMode; }
    std::shared_ptr<TodayViewController> todayViewController() const { return todayViewController_; }
    void setTodayViewController(std::shared_ptr<TodayViewController> controller) {
        todayViewController_ = std::move(controller);
    }

    void loadView() override;
    void viewWillAppear(bool animated) override;

    // Reads the field; a number is posted and the editor goes, anything else
    // is refused with an alert and the editor stays.
    void saveRepsToUserTapped();
    // Closes the editor and changes nothing.
    void cancelTapped();
    void upRepButtonTapped();
    void downRepButtonTapped();
    bool textFieldShouldReturn(ui::TextField& field) override;
    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;

    std::shared_ptr<ui::Label> repNumberLabel() const { return repNumberLabel_; }
    std::shared_ptr<ui::Button> newRepsButton() const { return newRepsButton_; }
    std::shared_ptr<ui::Button> cancelButton() const { return cancelButton_; }
    std::shared_ptr<ui::TextField> repField() const { return repField_; }
    std::shared_ptr<ui::Label> repLabel() const { return repLabel_; }
    std::shared_ptr<ui::Label> currentRepsLabel() const { return currentRepsLabel_; }
    std::shared_ptr<ui::Label> topLabel() const { return topLabel_; }
    std::shared_ptr<ui::Label> descriptionLabel() const { return descriptionLabel_; }
    std::shared_ptr<ui::Button> upRepsButton() const { return upRepsButton_; }
    std::shared_ptr<ui::Button> downRepsButton() const { return downRepsButton_; }

    // The integer a text starts with, as the up and down buttons read it
    // (leading blanks and sign, then digits; 0 when there are none; clamped
    // to the range of int).
    static int leadingInteger(const std::string& text);

private:
    void step(int by);

    int rep_ = 0;
    bool restMode_ = false;
    std::shared_ptr<TodayViewController> todayViewController_;
    std::shared_ptr<ui::Label> repNumberLabel_;
    std::shared_ptr<ui::Button> newRepsButton_;
    std::shared_ptr<ui::Button> cancelButton_;
    std::shared_ptr<ui::TextField> repField_;
    std::shared_ptr<ui::Label> repLabel_;
    std::shared_ptr<ui::Label> currentRepsLabel_;
    std::shared_ptr<ui::Label> topLabel_;
    std::shared_ptr<ui::Label> descriptionLabel_;
    std::shared_ptr<ui::Button> upRepsButton_;
    std::shared_ptr<ui::Button> downRepsButton_;
};
