#include "screens/RestartDayViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/SettingsKeys.h"

RestartDayViewController::RestartDayViewController() : ui::ViewController("RestartDayView") {
    setTitle("Restart Day Options");
}

void RestartDayViewController::loadView() {
    auto view = settingslook::screenView();
    showAlerts_ = settingslook::switchCard(*view, ui::Rect(10, 16, 300, 56), "Ask to resume a day");
    view->addSubview(settingslook::note(
        ui::Rect(20, 84, 280, 150),
        "If you leave Tolvek in the middle of a day's program, it can ask you next time whether to carry on from "
        "the set you reached or to start the day again.\n\nWith this switched off, it carries on from the set you "
        "reached without asking."));
    showAlerts_->addTarget(screenAction(this, &RestartDayViewController::switchToggled),
                           ui::ControlEvents::ValueChanged);
    setView(view);
}

void RestartDayViewController::viewDidLoad() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    showAlerts_->setOn(defaults.boolForKey(settingskeys::kShowAlerts));
    defaults.synchronize();
    navigationItem()->setTitleView(settingslook::titleLabel("Restart Day Options", 200));
}

void RestartDayViewController::switchToggled() {
    base::UserDefaults::standardUserDefaults().setBool(settingskeys::kShowAlerts, showAlerts_->isOn());
}
