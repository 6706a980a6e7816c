#include "screens/SetRemindersViewController.h"

#include "training/SettingsKeys.h"
#include "training/Utility.h"

SetRemindersViewController::SetRemindersViewController()
    : SwitchOptionViewController(
          "SetRemindersView",
          {settingskeys::kShowReminders, "Configure Reminders", "Offer workout reminders",
           "When this is on, Tolvek offers to put your next workout in the calendar, two days ahead with an alarm "
           "five minutes before it, each time you finish a day or a test.",
           120}) {}

bool SetRemindersViewController::storedValue() const { return Utility::hasReminder(); }
