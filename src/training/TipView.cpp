#include "training/TipView.h"

#include "platform/base/Format.h"
#include "platform/gfx/Font.h"
#include "platform/ui/NavigationController.h"
#include "training/HomeLook.h"
#include "training/Utility.h"

namespace {
const char* const kTips[] = {
    // Week 1
    "Rest a day before Day 2, and again before Day 3. Monday, Wednesday and Friday work well and leave the "
    "weekend for recovery. You can move the days around a busy schedule, but always keep a rest day between "
    "two workouts: your muscles grow stronger while they rest.",
    // Week 2
    "Week 1 is done: well done! Week 2 begins. Take a little more rest between sets if you need it, and "
    "drink plenty of water. At the end of Week 2 comes an exhaustion test: as many good-form push-ups as you "
    "can manage, without going past your safety limit. Its result sets your level for Week 3. Do it within "
    "a couple of days of finishing Week 2.",
    // Week 3
    "You should be a little stronger than you were a couple of weeks ago and able to complete considerably "
    "more push ups than your initial test.",
    // Week 4
    "Week 3 is done and Week 4 begins. At its end comes another exhaustion test, done the same way as before, "
    "whose result sets your level for Week 5. Do it within a couple of days of finishing Week 4.",
    // Week 5
    "Congratulations on getting this far. By now you should feel stronger and notice the difference. There is "
    "another test at the end of the week",
    // Week 6
    "This is the last week of the plan! Give it everything, with good form on every push-up. At its end comes "
    "the final test: see how far you have come since your first one.",
};

const char* const kPlanCompleteTip =
    "You have finished the six weeks: congratulations! Take the final test to see how far you have come. "
    "To keep your strength, start again from Week 4; to go through the whole plan once more, start from "
    "Week 1. Tap Today's Workout on the home screen to choose.";
const char* const kNotPlacedTip =
    "Take the initial test first: as many good-form push-ups as you can do. Its result places you at the "
    "level that suits you, and the tips of each week follow.";
}  // namespace

TipView::TipView() : ui::ViewController("TipsView") { setTitle("Tips for the week"); }

std::optional<std::string> TipView::tipForWeek(int week) {
    if (week < 1 || week > 6) return std::nullopt;
    return std::string(kTips[week - 1]);
}

void TipView::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(homelook::background());
    auto card = std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, 392));
    card->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);
    view->addSubview(card);
    weekLabel_ = homelook::label(ui::Rect(26, 24, 268, 26), "", gfx::Font::boldSystemFont(20), homelook::gold());
    view->addSubview(weekLabel_);
    tipView_ = std::make_shared<ui::TextView>(ui::Rect(18, 56, 284, 340));
    tipView_->setEditable(false);
    tipView_->setBackgroundColor(gfx::Color::clear());
    tipView_->setTextColor(homelook::ink());
    tipView_->setAutoresizingMask(ui::Autoresizing::FlexibleHeight);
    view->addSubview(tipView_);
    setView(view);
}

void TipView::viewWillAppear(bool) {
    const int week = Utility::GetWeek();
    if (auto tip = tipForWeek(week)) {
        tipView_->setText(*tip);
        weekLabel_->setText(base::format("Week %d", week));
    } else if (tipView_->text().empty()) {
        // No week of the plan has a tip here: the card is never left blank.
        weekLabel_->setText(week > 6 ? "Plan Complete" : "Before You Start");
        tipView_->setText(week > 6 ? kPlanCompleteTip : kNotPlacedTip);
    }
    tipView_->setFont(gfx::Font("Helvetica", 18));
    navigationItem()->setTitleView(homelook::titleLabel("Tip of The Week", 180));
}
