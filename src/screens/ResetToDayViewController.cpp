#include "screens/ResetToDayViewController.h"

#include "platform/base/Format.h"
#include "platform/base/NotificationCenter.h"
#include "platform/ui/NavigationController.h"
#include "screens/ScreenAction.h"
#include "screens/SettingsLook.h"
#include "training/HomeLook.h"
#include "training/Utility.h"

ResetToDayViewController::ResetToDayViewController() : ui::ViewController("ResetToDayView") {
    setTitle("Reset To Day");
}

void ResetToDayViewController::loadView() {
    auto view = settingslook::screenView();
    auto card = std::make_shared<homelook::CardView>(ui::Rect(10, 12, 300, 96));
    view->addSubview(card);
    view->addSubview(homelook::label(ui::Rect(24, 20, 272, 22), "Where you are now", gfx::Font::boldSystemFont(16),
                                     homelook::gold()));
    currentValuesLabel_ = homelook::label(ui::Rect(24, 44, 272, 22), "", gfx::Font::systemFont(15), homelook::ink());
    currentValuesLabel_->setAdjustsFontSizeToFitWidth(true);
    currentValuesLabel_->setMinimumFontSize(11);
    view->addSubview(currentValuesLabel_);
    view->addSubview(homelook::label(ui::Rect(24, 68, 272, 34), "Pick a week, day and level, then tap Reset.",
                                     gfx::Font::systemFont(13), homelook::dimInk()));

    pickerView_ = std::make_shared<ui::PickerView>(ui::Rect(0, 120, 320, 216));
    pickerView_->setShowsSelectionIndicator(true);
    view->addSubview(pickerView_);

    resetButton_ = homelook::button(ui::Rect(20, 350, 280, 44), "Reset", homelook::barTint(), gfx::Color::black());
    resetButton_->setFont(gfx::Font::boldSystemFont(18));
    resetButton_->addTarget(screenAction(this, &ResetToDayViewController::reset), ui::ControlEvents::TouchUpInside);
    view->addSubview(resetButton_);
    setView(view);
}

void ResetToDayViewController::viewDidLoad() {
    auto self = std::static_pointer_cast<ResetToDayViewController>(shared_from_this());
    pickerView_->setDataSource(std::static_pointer_cast<ui::PickerViewDataSource>(self));
    pickerView_->setDelegate(std::static_pointer_cast<ui::PickerViewDelegate>(self));
    pickerView_->reloadAllComponents();
}

void ResetToDayViewController::viewWillAppear(bool) {
    navigationItem()->setTitleView(settingslook::titleLabel("Reset To Day", 140));
    currentValuesLabel_->setText(base::format("Current Values: Week %i, Day %i, Level %i", Utility::GetWeek(),
                                              Utility::GetDay(), Utility::getLevel()));
}

int ResetToDayViewController::numberOfComponentsInPickerView(ui::PickerView&) { return 3; }

int ResetToDayViewController::numberOfRowsInComponent(ui::PickerView&, int component) { return component == 0 ? 6 : 3; }

std::optional<std::string> ResetToDayViewController::titleForRow(ui::PickerView&, int row, int component) {
    switch (component) {
    case 0: return base::format("Week %d", row + 1);
    case 1: return base::format("Day %d", row + 1);
    case 2: return base::format("Level %d", row + 1);
    default: return std::nullopt;
    }
}

void ResetToDayViewController::reset() {
    const int week = pickerView_->selectedRowInComponent(0) + 1;
    const int day = pickerView_->selectedRowInComponent(1) + 1;
    const int level = pickerView_->selectedRowInComponent(2) + 1;
    Utility::resetToDayAndWeekAndLevel(day, week, false, level);
    Utility::ShowAlert("Week, Day and Level have been reset", "Information");
    base::NotificationCenter::defaultCenter().post("ResetToDay", this, shared_from_this());
}
