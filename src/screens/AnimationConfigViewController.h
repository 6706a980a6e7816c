#pragma once
// Whether the home screen's menu buttons spin before their screen opens
// (settingskeys::kAnimationOn).
#include "screens/SwitchOptionViewController.h"

class AnimationConfigViewController : public SwitchOptionViewController {
public:
    AnimationConfigViewController();
};
