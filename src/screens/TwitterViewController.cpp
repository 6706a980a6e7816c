#include "screens/TwitterViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "sharing/core/SHR.h"
#include "training/HomeLook.h"

TwitterViewController::TwitterViewController() : ui::ViewController("TwitterViewController") {}

TwitterViewController::~TwitterViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void TwitterViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    view->addSubview(std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, 64)));
    view->addSubview(
        homelook::label(ui::Rect(26, 30, 180, 27), "Send to Twitter", gfx::Font::boldSystemFont(17), homelook::ink()));
    updateTwitterSwitch_ = std::make_shared<ui::Switch>(ui::Rect(206, 30, 94, 27));
    updateTwitterSwitch_->setAccessibilityLabel("Send to Twitter");
    updateTwitterSwitch_->addTarget(screenAction(this, &TwitterViewController::switchValueChanged),
                                    ui::ControlEvents::ValueChanged);
    view->addSubview(updateTwitterSwitch_);

    // The keyboard covers the password field: the view moves up for it.
    view->addSubview(std::make_shared<homelook::CardView>(ui::Rect(10, 92, 300, 224)));
    view->addSubview(homelook::label(ui::Rect(26, 104, 268, 26), "Twitter Account", gfx::Font::boldSystemFont(17),
                                     homelook::gold()));
    auto self = std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this());
    auto makeField = [&](ui::Float y, const std::string& placeholder) {
        auto field = std::make_shared<ui::TextField>(ui::Rect(26, y, 268, 36));
        field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        field->setFont(gfx::Font::systemFont(16));
        field->setPlaceholder(placeholder);
        field->setAccessibilityLabel(placeholder);
        field->setAutocorrectionType(ui::TextAutocorrectionType::No);
        field->setAutocapitalizationType(ui::TextAutocapitalizationType::None);
        field->setDelegate(self);
        view->addSubview(field);
        return field;
    };
    usernameTextField_ = makeField(140, "User Name");
    usernameTextField_->setReturnKeyType(ui::ReturnKeyType::Next);
    passTextField_ = makeField(188, "Password");
    passTextField_->setSecureTextEntry(true);
    passTextField_->setReturnKeyType(ui::ReturnKeyType::Done);
    saveButton_ = homelook::button(ui::Rect(60, 248, 200, 44), "Save", homelook::gold(), gfx::Color::black());
    saveButton_->addTarget(screenAction(this, &TwitterViewController::saveTwitterCredentials),
                           ui::ControlEvents::TouchUpInside);
    view->addSubview(saveButton_);
    setView(view);
}

void TwitterViewController::viewDidLoad() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    updateTwitterSwitch_->setOn(defaults.boolForKey(kUpdatesKey));
    const std::string user = defaults.stringForKey(kUserNameKey);
    if (!user.empty()) {
        usernameTextField_->setText(user);
        passTextField_->setText(SFHFKeychainUtils::getPasswordForUsername(user, kUpdatesKey, nullptr).value_or(""));
    }
    navigationItem()->setTitleView(homelook::titleLabel("Twitter", 140));
}

void TwitterViewController::viewWillAppear(bool) {
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this, ui::KeyboardWillShowNotification);
    center.addObserver(this, ui::KeyboardWillShowNotification, nullptr, [weak](const base::Notification&) {
        if (auto self = std::static_pointer_cast<TwitterViewController>(weak.lock())) self->keyboardWillShow();
    });
}

void TwitterViewController::viewWillDisappear(bool) {
    base::NotificationCenter::defaultCenter().removeObserver(this, ui::KeyboardWillShowNotification);
    // Left while typing: the keyboard goes and the view comes back down, so
    // that the screen is whole when it is shown again.
    view()->endEditing(true);
    setMovedUp(false);
}

void TwitterViewController::switchValueChanged() {
    base::UserDefaults::standardUserDefaults().setBool(kUpdatesKey, updateTwitterSwitch_->isOn());
}

void TwitterViewController::showAlert(const std::string& title, const std::string& message) {
    auto self = std::dynamic_pointer_cast<ui::AlertViewDelegate>(shared_from_this());
    std::make_shared<ui::AlertView>(title, message, self, std::string("Ok"))->show();
}

void TwitterViewController::saveTwitterCredentials() {
    const std::string user = usernameTextField_->text();
    const std::string password = passTextField_->text();
    if (user.empty() || password.empty()) {
        showAlert("Error", "Please Enter a Username or Password");
        return;
    }
    std::optional<net::Error> error;
    if (!SFHFKeychainUtils::storeUsername(user, password, kUpdatesKey, true, &error) || error) {
        showAlert("Error", error ? error->localizedDescription() : std::string("The password could not be stored."));
        return;
    }
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setString(kUserNameKey, user);
    defaults.synchronize();
    showAlert("Information", "Details Saved");
}

void TwitterViewController::keyboardWillShow() {
    // The keyboard is announced as the field takes it, before the field
    // counts as editing.
    const bool password = passTextField_ && (passTextField_->isEditing() || passTextField_->isFirstResponder());
    if (password && view()->frame().minY() >= 0) setMovedUp(true);
}

void TwitterViewController::setMovedUp(bool movedUp) {
    if (movedUp == movedUp_ || !isViewLoaded()) return;
    movedUp_ = movedUp;
    settingslook::liftView(*view(), kMoveDistance, movedUp);
}

bool TwitterViewController::textFieldShouldReturn(ui::TextField& field) {
    if (&field == usernameTextField_.get()) {
        passTextField_->becomeFirstResponder();
        setMovedUp(true);
    } else if (&field == passTextField_.get()) {
        setMovedUp(false);
    }
    field.resignFirstResponder();
    return true;
}
