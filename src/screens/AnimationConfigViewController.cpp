#include "screens/AnimationConfigViewController.h"
#include "training/SettingsKeys.h"

AnimationConfigViewController::AnimationConfigViewController()
    : SwitchOptionViewController(
          "AnimationConfigView",
          {settingskeys::kAnimationOn, "Configure Animations", "Spin the menu buttons",
           "When this is on, a button of the main menu flips over before its screen opens. Switch it off to go "
           "straight to the screen.",
           100}) {}
