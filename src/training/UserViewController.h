#pragma once
// The set-up screen ("Setup and initial Test"): the user does as many
// good-form push-ups as they can and types the number; the score places
// them at a level and a starting week. It is presented modally at the first
// start, or pushed by the home screen and the settings; `close` leaves the
// way it came.
#include <memory>

#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "training/FlipsideViewController.h"

class UserViewController : public ui::ViewController,
                           public ui::TextFieldDelegate,
                           public ui::AlertViewDelegate,
                           public FlipsideViewControllerDelegate {
public:
    UserViewController();
    ~UserViewController() override;

    std::shared_ptr<ui::TextField> initialValueField() const { return initialValueField_; }
    std::shared_ptr<ui::TextView> explainationText() const { return explainationText_; }
    std::shared_ptr<ui::ImageView> background() const { return background_; }
    std::shared_ptr<ui::ImageView> background2() const { return background2_; }
    // Set by the home screen around its push, so that the screen knows it
    // was pushed and not presented.
    bool hasBeenReset() const { return hasBeenReset_; }
    void setHasBeenReset(bool v) { hasBeenReset_ = v; }
    // How the screen was opened, fixed when its view loads: 1000 when pushed
    // by the home screen, else the stored level (0 = never placed).
    int level() const { return level_; }
    // The last accepted score.
    int total() const { return total_; }
    // The modal good-form screen while it is shown.
    std::shared_ptr<FlipsideViewController> flipside() const { return flipside_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // Before the start-up presentation: the backdrop with its own title
    // band, as no navigation bar is shown above the screen.
    void setBackgroundFrame();
    // Shifts the view up by 150 points (and makes it as much taller) while
    // the keyboard covers the score field, and back.
    void setMovedUp(bool movedUp);
    bool isMovedUp() const { return movedUp_; }

    void okClicked();
    void viewGoodFormPushed();
    // Pops to the home screen when pushed (or when placed before), dismisses
    // the start-up presentation otherwise.
    void close();

    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;
    bool textFieldShouldReturn(ui::TextField& field) override;
    void clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) override;
    void flipsideViewControllerDidFinish(FlipsideViewController& controller) override;

private:
    void keyboardWillShow();

    std::shared_ptr<ui::View> content_;
    std::shared_ptr<ui::Label> bandTitle_;
    std::shared_ptr<ui::TextField> initialValueField_;
    std::shared_ptr<ui::TextView> explainationText_;
    std::shared_ptr<ui::ImageView> background_;
    std::shared_ptr<ui::ImageView> background2_;
    std::shared_ptr<ui::Button> okButton_;
    std::shared_ptr<ui::Button> goodFormButton_;
    std::shared_ptr<FlipsideViewController> flipside_;
    bool hasBeenReset_ = false;
    int level_ = 0;
    int total_ = 0;
    bool movedUp_ = false;
};
