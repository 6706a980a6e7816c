#pragma once
// A page of the home screen's pager: "Today's Workout", one text of the store.
#include "training/SummaryViewController.h"

class TodaySummaryViewController : public SummaryPageViewController {
public:
    TodaySummaryViewController();
    std::shared_ptr<ui::Label> todayLabel() const { return todayLabel_; }
    void viewDidUnload() override { todayLabel_.reset(); }

protected:
    void buildContent(ui::View& card) override;

private:
    std::shared_ptr<ui::Label> todayLabel_;
};
