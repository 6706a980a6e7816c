#include "training/TomorrowSummaryViewController.h"

#include "training/DataAccess.h"

TomorrowSummaryViewController::TomorrowSummaryViewController()
    : SummaryPageViewController("TomorrowSummaryView", "Coming Up Next") {}

void TomorrowSummaryViewController::buildContent(ui::View& card) { nextTimeLabel_ = textLabel(card); }

void TomorrowSummaryViewController::viewDidLoad() { nextTimeLabel_->setText(DataAccess::getTomorrowString()); }
