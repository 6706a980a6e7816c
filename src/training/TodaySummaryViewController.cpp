#include "training/TodaySummaryViewController.h"

TodaySummaryViewController::TodaySummaryViewController()
    : SummaryPageViewController("TodaySummaryView", "Today's Workout") {}

void TodaySummaryViewController::buildContent(ui::View& card) { todayLabel_ = textLabel(card); }
