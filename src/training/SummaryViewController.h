#pragma once
// The pages of the home screen's pager. SummaryViewController shows the
// totals (all push-ups logged, the last logged day, the day planned next);
// the other three pages (Today, Yesterday and Tomorrow summaries) each show
// one text of the store. The home screen fills the labels.
#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"

// A page: a rounded card with a heading, the size of one page of the pager.
class SummaryPageViewController : public ui::ViewController {
public:
    SummaryPageViewController(std::string nibName, std::string heading);
    void loadView() override;

protected:
    // Adds the page's own labels to the card.
    virtual void buildContent(ui::View& card) = 0;
    // A multi-line text label filling the card under the heading.
    static std::shared_ptr<ui::Label> textLabel(ui::View& card);

private:
    std::string heading_;
};

class SummaryViewController : public SummaryPageViewController {
public:
    SummaryViewController();
    std::shared_ptr<ui::Label> totalPULabel() const { return totalPULabel_; }
    std::shared_ptr<ui::Label> totalLastDay() const { return totalLastDay_; }
    std::shared_ptr<ui::Label> totalNextDay() const { return totalNextDay_; }
    void viewDidUnload() override;

protected:
    void buildContent(ui::View& card) override;

private:
    std::shared_ptr<ui::Label> totalPULabel_, totalLastDay_, totalNextDay_;
};
