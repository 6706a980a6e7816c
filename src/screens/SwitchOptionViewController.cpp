#include "screens/SwitchOptionViewController.h"

#include "platform/base/UserDefaults.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"

SwitchOptionViewController::SwitchOptionViewController(const std::string& nibName, const Option& option)
    : ui::ViewController(nibName), option_(option) {}

void SwitchOptionViewController::loadView() {
    auto view = settingslook::screenView();
    toggle_ = settingslook::switchCard(*view, ui::Rect(10, 16, 300, 56), option_.caption);
    view->addSubview(settingslook::note(ui::Rect(20, 84, 280, option_.noteHeight), option_.note));
    toggle_->addTarget(screenAction(this, &SwitchOptionViewController::switchToggled), ui::ControlEvents::ValueChanged);
    setView(view);
}

void SwitchOptionViewController::viewWillAppear(bool) {
    setTitle(option_.title);
    toggle_->setOn(storedValue());
}

bool SwitchOptionViewController::storedValue() const {
    return base::UserDefaults::standardUserDefaults().boolForKey(option_.key);
}

void SwitchOptionViewController::switchToggled() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool(option_.key, toggle_->isOn());
    defaults.synchronize();
}
