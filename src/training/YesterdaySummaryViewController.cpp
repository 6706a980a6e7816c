#include "training/YesterdaySummaryViewController.h"

YesterdaySummaryViewController::YesterdaySummaryViewController()
    : SummaryPageViewController("YesterdaySummaryView", "Last Workout") {}

void YesterdaySummaryViewController::buildContent(ui::View& card) { yesterdayLabel_ = textLabel(card); }
