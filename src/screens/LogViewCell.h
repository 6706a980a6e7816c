#pragma once
// A list cell with three labels of its own: the date, a description and
// the workout.
#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

class LogViewCell : public ui::TableViewCell {
public:
    explicit LogViewCell(std::string reuseIdentifier = "LogViewCell");
    std::string className() const override { return "LogViewCell"; }

    std::shared_ptr<ui::Label> dateLabel() const { return dateLabel_; }
    std::shared_ptr<ui::Label> descLabel() const { return descLabel_; }
    std::shared_ptr<ui::Label> workoutLabel() const { return workoutLabel_; }

    void setSelected(bool selected, bool animated) override;
    using ui::TableViewCell::setSelected;

private:
    std::shared_ptr<ui::Label> dateLabel_;
    std::shared_ptr<ui::Label> descLabel_;
    std::shared_ptr<ui::Label> workoutLabel_;
};
