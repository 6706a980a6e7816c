#pragma once
// Whether a calendar reminder for the next workout is offered after each
// finished day and week test (settingskeys::kShowReminders).
#include "screens/SwitchOptionViewController.h"

class SetRemindersViewController : public SwitchOptionViewController {
public:
    SetRemindersViewController();

protected:
    // Read as the workout reads it.
    bool storedValue() const override;
};
