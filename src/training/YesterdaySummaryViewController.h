#pragma once
// A page of the home screen's pager: "Last Workout", one text of the store.
#include "training/SummaryViewController.h"

class YesterdaySummaryViewController : public SummaryPageViewController {
public:
    YesterdaySummaryViewController();
    std::shared_ptr<ui::Label> yesterdayLabel() const { return yesterdayLabel_; }
    void viewDidUnload() override { yesterdayLabel_.reset(); }

protected:
    void buildContent(ui::View& card) override;

private:
    std::shared_ptr<ui::Label> yesterdayLabel_;
};
