#include "screens/ShakeViewController.h"

#include <algorithm>

#include "platform/base/Format.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/HomeLook.h"
#include "training/SettingsKeys.h"
#include "training/Utility.h"

namespace {

constexpr ui::Float kLift = 150;

}  // namespace

ShakeViewController::ShakeViewController() : ui::ViewController("ShakeView") { setTitle("Timer Reset Options"); }

ShakeViewController::~ShakeViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void ShakeViewController::loadView() {
    auto view = settingslook::screenView();
    showAlerts_ = settingslook::switchCard(*view, ui::Rect(10, 14, 300, 52), "Shake to end a rest");
    view->addSubview(settingslook::note(
        ui::Rect(20, 70, 280, 52), "Shake the device (Ctrl+K) during a rest to count the timer down to zero at once."));

    userRest_ = settingslook::switchCard(*view, ui::Rect(10, 132, 300, 52), "Use my own rest time");
    view->addSubview(
        settingslook::note(ui::Rect(20, 188, 280, 52),
                           "Rest for the seconds below between sets, instead of the rest the plan gives each day."));

    auto card = std::make_shared<homelook::CardView>(ui::Rect(10, 250, 300, 64));
    view->addSubview(card);
    auto caption = homelook::label(ui::Rect(14, 0, 160, 64), "Rest between sets (seconds)",
                                   gfx::Font::boldSystemFont(15), homelook::ink());
    caption->setNumberOfLines(2);
    card->addSubview(caption);
    userRestValue_ = std::make_shared<ui::TextField>(ui::Rect(186, 14, 100, 36));
    userRestValue_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    userRestValue_->setFont(gfx::Font::boldSystemFont(20));
    userRestValue_->setTextAlignment(ui::TextAlignment::Center);
    userRestValue_->setPlaceholder("Seconds");
    userRestValue_->setAccessibilityLabel("Rest seconds");
    userRestValue_->setKeyboardType(ui::KeyboardType::NumbersAndPunctuation);
    userRestValue_->setReturnKeyType(ui::ReturnKeyType::Done);
    card->addSubview(userRestValue_);

    showAlerts_->addTarget(screenAction(this, &ShakeViewController::switchToggled), ui::ControlEvents::ValueChanged);
    userRest_->addTarget(screenAction(this, &ShakeViewController::restSwitch), ui::ControlEvents::ValueChanged);
    setView(view);
}

void ShakeViewController::viewDidLoad() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    showAlerts_->setOn(defaults.boolForKey(settingskeys::kAllowShake));
    userRest_->setOn(defaults.boolForKey(settingskeys::kUserRest));
    navigationItem()->setTitleView(settingslook::titleLabel("Timer Reset Options", 200));
}

void ShakeViewController::viewWillAppear(bool) {
    auto& center = base::NotificationCenter::defaultCenter();
    center.removeObserver(this, ui::KeyboardWillShowNotification);
    // The keyboard's notifications come from the application, whichever
    // window shows it.
    auto keyboardWillShow = screenAction(this, &ShakeViewController::keyboardWillShow);
    center.addObserver(this, ui::KeyboardWillShowNotification, nullptr,
                       [keyboardWillShow](const base::Notification&) { keyboardWillShow(); });
    userRestValue_->setDelegate(std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this()));
    auto& defaults = base::UserDefaults::standardUserDefaults();
    // With the user's rest on, the field shows it; with it off, an empty
    // field still shows a stored value, so that leaving the screen does not
    // overwrite it with 0.
    const bool stored = !defaults.objectForKey(settingskeys::kUserRestValue).isNull();
    if (defaults.boolForKey(settingskeys::kUserRest) || (stored && userRestValue_->text().empty()))
        userRestValue_->setText(
            base::format("%i", static_cast<int>(defaults.integerForKey(settingskeys::kUserRestValue))));
}

void ShakeViewController::viewWillDisappear(bool) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setInteger(settingskeys::kUserRestValue, restSecondsOf(userRestValue_->text()));
    defaults.synchronize();
    view()->endEditing(true);
    // Leaving while typing must not leave the view lifted for next time.
    setMovedUp(false);
    base::NotificationCenter::defaultCenter().post(userRest_->isOn() ? "UserRest" : "UserUnRest", this,
                                                   shared_from_this());
    base::NotificationCenter::defaultCenter().removeObserver(this, ui::KeyboardWillShowNotification);
}

int ShakeViewController::restSecondsOf(const std::string& text) {
    return std::clamp(homelook::intValue(text), 0, kMaxRestSeconds);
}

void ShakeViewController::switchToggled() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(settingskeys::kAllowShake, showAlerts_->isOn());
    defaults.synchronize();
}

void ShakeViewController::restSwitch() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(settingskeys::kUserRest, userRest_->isOn());
    defaults.synchronize();
}

void ShakeViewController::keyboardWillShow() { setMovedUp(true); }

void ShakeViewController::setMovedUp(bool movedUp) {
    if (movedUp == movedUp_ || !isViewLoaded()) return;
    movedUp_ = movedUp;
    settingslook::liftView(*view(), kLift, movedUp);
}

bool ShakeViewController::textFieldShouldReturn(ui::TextField& field) {
    const std::string& text = field.text();
    // A rest is a number of seconds from 0 to an hour.
    const bool valid =
        Utility::isNumeric(text) && homelook::intValue(text) >= 0 && homelook::intValue(text) <= kMaxRestSeconds;
    if (!valid) {
        Utility::ShowAlert("Please Enter a valid number");
        return false;
    }
    field.resignFirstResponder();
    setMovedUp(false);
    return true;
}

void ShakeViewController::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    if (userRestValue_->isEditing()) {
        bool onField = false;
        for (auto& touch : touches)
            if (touch->view() == std::static_pointer_cast<ui::View>(userRestValue_)) onField = true;
        if (!onField) {
            userRestValue_->resignFirstResponder();
            setMovedUp(false);
        }
    }
    ui::ViewController::touchesBegan(touches, event);
}
