#pragma once
// Whether the home screen's menu buttons spin before their screen opens
// ("Tolvek_AnimationOn").
#include <memory>

#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"

class AnimationConfigViewController : public ui::ViewController {
public:
    AnimationConfigViewController();

    std::shared_ptr<ui::Switch> toggle() const { return toggle_; }

    void loadView() override;
    // Shows the stored option on every appearance.
    void viewWillAppear(bool animated) override;
    // Writes the switch's state and synchronizes.
    void switchToggled();

private:
    std::shared_ptr<ui::Switch> toggle_;
};
