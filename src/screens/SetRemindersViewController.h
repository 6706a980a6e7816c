#pragma once
// Whether a calendar reminder for the next workout is offered after each
// finished day and week test ("Tolvek_ShowReminders").
#include <memory>

#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"

class SetRemindersViewController : public ui::ViewController {
public:
    SetRemindersViewController();

    std::shared_ptr<ui::Switch> toggle() const { return toggle_; }

    void loadView() override;
    // Shows the stored option on every appearance.
    void viewWillAppear(bool animated) override;
    // Writes the switch's state and synchronizes.
    void switchToggled();

private:
    std::shared_ptr<ui::Switch> toggle_;
};
