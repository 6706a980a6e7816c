#pragma once
// A page of the home screen's pager: "Coming Up Next", one text of the store.
#include "training/SummaryViewController.h"

class TomorrowSummaryViewController : public SummaryPageViewController {
public:
    TomorrowSummaryViewController();
    std::shared_ptr<ui::Label> nextTimeLabel() const { return nextTimeLabel_; }
    // The label shows the day after the current one as soon as it exists.
    void viewDidLoad() override;
    void viewDidUnload() override { nextTimeLabel_.reset(); }

protected:
    void buildContent(ui::View& card) override;

private:
    std::shared_ptr<ui::Label> nextTimeLabel_;
};
