#pragma once
// The rest-timer options: whether a shake ends a rest early
// (settingskeys::kAllowShake), and whether the workout rests for the user's own
// number of seconds (settingskeys::kUserRest, settingskeys::kUserRestValue) instead of
// the plan's. Leaving the screen stores the typed seconds and tells the
// workout screen which rest to use ("UserRest" or "UserUnRest").
#include <memory>

#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class ShakeViewController : public ui::ViewController, public ui::TextFieldDelegate {
public:
    // The longest rest that can be set, in seconds (an hour).
    static constexpr int kMaxRestSeconds = 3600;

    ShakeViewController();
    ~ShakeViewController() override;

    // The switch that lets a shake end a rest.
    std::shared_ptr<ui::Switch> showAlerts() const { return showAlerts_; }
    std::shared_ptr<ui::Switch> userRest() const { return userRest_; }
    std::shared_ptr<ui::TextField> userRestValue() const { return userRestValue_; }
    // The view is lifted for the keyboard.
    bool isMovedUp() const { return movedUp_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // The switches' actions: each writes its option and synchronizes.
    void switchToggled();
    void restSwitch();

    // Lifts the view by 150 points (and makes it as much taller) while the
    // keyboard covers the field, and back; asking twice the same way does
    // nothing more.
    void setMovedUp(bool movedUp);

    bool textFieldShouldReturn(ui::TextField& field) override;
    void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) override;

    // The seconds a typed text stands for: its leading whole number (0 when
    // there is none), kept between 0 and kMaxRestSeconds.
    static int restSecondsOf(const std::string& text);

private:
    void keyboardWillShow();

    std::shared_ptr<ui::Switch> showAlerts_;
    std::shared_ptr<ui::Switch> userRest_;
    std::shared_ptr<ui::TextField> userRestValue_;
    bool movedUp_ = false;
};
