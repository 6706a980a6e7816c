#pragma once
// The tips screen of the home screen's menu: the tip for the user's current
// week of the plan.
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

class TipView : public ui::ViewController {
public:
    TipView();

    std::shared_ptr<ui::TextView> tipView() const { return tipView_; }

    void loadView() override;
    // Shows the tip of the current week (weeks 1 to 6; otherwise the text
    // shown before stays).
    void viewWillAppear(bool animated) override;

    // The tip of a week, or nothing outside weeks 1 to 6.
    static std::optional<std::string> tipForWeek(int week);

private:
    std::shared_ptr<ui::TextView> tipView_;
    std::shared_ptr<ui::Label> weekLabel_;
};
