#include "screens/SetRemindersViewController.h"

#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/Utility.h"

SetRemindersViewController::SetRemindersViewController() : ui::ViewController("SetRemindersView") {}

void SetRemindersViewController::loadView() {
    auto view = settingslook::screenView();
    toggle_ = settingslook::switchCard(*view, ui::Rect(10, 16, 300, 56), "Offer workout reminders");
    view->addSubview(settingslook::note(
        ui::Rect(20, 84, 280, 120),
        "When this is on, Tolvek offers to put your next workout in the calendar, two days ahead with an alarm "
        "five minutes before it, each time you finish a day or a test."));
    toggle_->addTarget(screenAction(this, &SetRemindersViewController::switchToggled),
                       ui::ControlEvents::ValueChanged);
    setView(view);
}

void SetRemindersViewController::viewWillAppear(bool) {
    setTitle("Configure Reminders");
    toggle_->setOn(Utility::hasReminder());
}

void SetRemindersViewController::switchToggled() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setBool("Tolvek_ShowReminders", toggle_->isOn());
    defaults.synchronize();
}
