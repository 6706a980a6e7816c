#pragma once
// Whether the home screen's menu buttons spin before their screen opens
// ("Tolvek_AnimationOn").
#include "screens/SwitchOptionViewController.h"

class AnimationConfigViewController : public SwitchOptionViewController {
public:
    AnimationConfigViewController();
};
