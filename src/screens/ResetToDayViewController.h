#pragma once
// Sets the plan position to a chosen week, day and level: three wheels of
// a picker and a reset button. The position inside the day is cleared, the
// test flag turned off, and the workout screen told ("ResetToDay").
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/ViewController.h"

class ResetToDayViewController : public ui::ViewController,
                                 public ui::PickerViewDataSource,
                                 public ui::PickerViewDelegate {
public:
    ResetToDayViewController();

    std::shared_ptr<ui::PickerView> pickerView() const { return pickerView_; }
    std::shared_ptr<ui::Label> currentValuesLabel() const { return currentValuesLabel_; }
    std::shared_ptr<ui::Button> resetButton() const { return resetButton_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Wheel 0: "Week 1" to "Week 6"; wheels 1 and 2: "Day 1" to "Day 3" and
    // "Level 1" to "Level 3".
    int numberOfComponentsInPickerView(ui::PickerView& pickerView) override;
    int numberOfRowsInComponent(ui::PickerView& pickerView, int component) override;
    std::optional<std::string> titleForRow(ui::PickerView& pickerView, int row, int component) override;

    // Stores the picked position and says so.
    void reset();

private:
    std::shared_ptr<ui::PickerView> pickerView_;
    std::shared_ptr<ui::Label> currentValuesLabel_;
    std::shared_ptr<ui::Button> resetButton_;
};
