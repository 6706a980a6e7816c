#pragma once
// An option screen for Twitter updates: a switch (settingskeys::kTwitterUpdates),
// the user name (kept in the settings as settingskeys::kTwitterUserName) and the
// password (kept in the keychain under the service settingskeys::kTwitterUpdates
// with the user name as account). No menu opens it. While the keyboard
// covers the password field the view is moved up by 150 points, once, and
// moved back when the field is done or the screen goes away.
#include <memory>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "training/SettingsKeys.h"

class TwitterViewController : public ui::ViewController, public ui::TextFieldDelegate, public ui::AlertViewDelegate {
public:
    static constexpr const char* kUpdatesKey = settingskeys::kTwitterUpdates;
    static constexpr const char* kUserNameKey = settingskeys::kTwitterUserName;
    static constexpr ui::Float kMoveDistance = 150;

    TwitterViewController();
    ~TwitterViewController() override;

    std::shared_ptr<ui::Switch> updateTwitterSwitch() const { return updateTwitterSwitch_; }
    std::shared_ptr<ui::TextField> usernameTextField() const { return usernameTextField_; }
    std::shared_ptr<ui::TextField> passTextField() const { return passTextField_; }
    std::shared_ptr<ui::Button> saveButton() const { return saveButton_; }
    bool isMovedUp() const { return movedUp_; }

    void loadView() override;
    // The switch and the two fields show what is stored.
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // Writes the switch's state (saved with the next synchronisation).
    void switchValueChanged();
    // Stores the user name and password, or says what is missing.
    void saveTwitterCredentials();
    void keyboardWillShow();
    // Moves the view up by 150 points and makes it as much taller (or back)
    // in 0.3 s; asking for the state it is in already does nothing.
    void setMovedUp(bool movedUp);

    bool textFieldShouldReturn(ui::TextField& field) override;

private:
    void showAlert(const std::string& title, const std::string& message);

    std::shared_ptr<ui::Switch> updateTwitterSwitch_;
    std::shared_ptr<ui::TextField> usernameTextField_;
    std::shared_ptr<ui::TextField> passTextField_;
    std::shared_ptr<ui::Button> saveButton_;
    bool movedUp_ = false;
};
