#pragma once
// The week-test overlay that the home screen lays over itself on a test day
// (day 1 of week 3, 5, 6 or 7 with the test flag set): the user does as
// many good-form push-ups as they can and types the number, which is stored
// as a Test and sets the level anew; then a calendar reminder for the next
// workout may be offered.
//
// The home screen forgets the overlay as its child once it is shown, but
// holds it until the overlay reports that it has finished: its view is off
// screen and no alert or event editor of it is left.
#include <functional>
#include <memory>

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/EventEditViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "training/TestViewView.h"

class TestView : public ui::ViewController,
                 public ui::TextFieldDelegate,
                 public ui::AlertViewDelegate,
                 public ui::EventEditViewDelegate {
public:
    TestView();
    ~TestView() override;

    std::shared_ptr<ui::Label> testScoreLabel() const { return testScoreLabel_; }
    std::shared_ptr<ui::Label> mainTextLabel() const { return mainTextLabel_; }
    std::shared_ptr<ui::TextField> resultField() const { return resultField_; }

    // Lays the overlay's view over the view, centred at the point (the
    // superview's coordinates); the finish handler runs once it is done.
    void showOver(const std::shared_ptr<ui::View>& superview, ui::Point center);
    // True from showOver until the overlay has finished (its view removed
    // and no alert or editor left).
    bool isShowing() const { return showing_; }
    // Called once the overlay has finished; the one who showed the overlay
    // can let it go then.
    void setFinishHandler(std::function<void()> handler) { finished_ = std::move(handler); }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    // Stores the score and sets the level; an empty or non-numeric score is
    // refused with an alert and the overlay stays.
    void doneClicked();
    // Removes the overlay; nothing is stored.
    void cancelClicked();

    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
    bool textFieldShouldReturn(ui::TextField& field) override;
    // While the score is typed the panel rises above the keyboard.
    void textFieldDidBeginEditing(ui::TextField& field) override;
    void textFieldDidEndEditing(ui::TextField& field) override;
    void clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) override;
    // The calendar editor finished: saved or cancelled, it goes. A failed
    // save leaves it up (it says why), so that the user can try again.
    void didCompleteWithAction(ui::EventEditViewController& controller, ui::EventEditViewAction action) override;
    void eventEditViewControllerDidComplete();
    // The calendar editor while it is shown.
    std::shared_ptr<ui::EventEditViewController> eventEditor() const { return editor_; }

    // The text of the overlay for a week (the final test after week 6 says so).
    static std::string mainTextForWeek(int week);

private:
    void removeOverlay();
    void lift(bool up);
    void presentEventEditor();
    void finish();

    std::shared_ptr<ui::Label> testScoreLabel_;
    std::shared_ptr<ui::Label> mainTextLabel_;
    std::shared_ptr<ui::TextField> resultField_;
    std::shared_ptr<ui::Button> doneButton_;
    std::shared_ptr<ui::Button> cancelButton_;
    std::shared_ptr<ui::EventEditViewController> editor_;
    std::function<void()> finished_;
    bool lifted_ = false;
    bool showing_ = false;                 // from showOver until finished
    std::shared_ptr<TestViewView> panel_;  // the card inside the dimming backdrop
    bool waiting_ = false;                 // an alert or the editor is showing
};
