#include "screens/AnimationConfigViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"

AnimationConfigViewController::AnimationConfigViewController() : ui::ViewController("AnimationConfigView") {}

void AnimationConfigViewController::loadView() {
    auto view = settingslook::screenView();
    toggle_ = settingslook::switchCard(*view, ui::Rect(10, 16, 300, 56), "Spin the menu buttons");
    view->addSubview(settingslook::note(
        ui::Rect(20, 84, 280, 100),
        "When this is on, a button of the main menu flips over before its screen opens. Switch it off to go "
        "straight to the screen."));
    toggle_->addTarget(screenAction(this, &AnimationConfigViewController::switchToggled),
                       ui::ControlEvents::ValueChanged);
    setView(view);
}

void AnimationConfigViewController::viewWillAppear(bool) {
    toggle_->setOn(base::UserDefaults::standardUserDefaults().boolForKey("Tolvek_AnimationOn"));
    setTitle("Configure Animations");
}

void AnimationConfigViewController::switchToggled() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool("Tolvek_AnimationOn", toggle_->isOn());
    defaults.synchronize();
}
