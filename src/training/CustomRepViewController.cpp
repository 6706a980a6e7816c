#include "training/CustomRepViewController.h"

#include <cctype>
#include <climits>

#include "platform/base/Format.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/Number.h"
#include "platform/base/NumberFormatter.h"
#include "training/LookPalette.h"
#include "training/Utility.h"
#include "training/WorkoutLook.h"

namespace look = workoutlook;

CustomRepViewController::CustomRepViewController() : ui::ViewController("CustomRepView") {}

void CustomRepViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 480));
    view->setBackgroundColor(look::background());

    // Everything sits above the keyboard, which covers the screen from 264
    // down (244 in this view, which starts under the status bar).
    topLabel_ = look::label(ui::Rect(20, 12, 280, 34), "Current Reps", gfx::Font::boldSystemFont(26), look::accent());
    view->addSubview(topLabel_);
    descriptionLabel_ = look::label(ui::Rect(20, 46, 280, 22), "Set the reps", gfx::Font::systemFont(16), look::ink());
    view->addSubview(descriptionLabel_);
    currentRepsLabel_ = look::label(ui::Rect(20, 68, 280, 20), {}, gfx::Font::systemFont(14), look::dimInk());
    view->addSubview(currentRepsLabel_);

    repLabel_ = look::label(ui::Rect(20, 92, 280, 18), "New value", gfx::Font::boldSystemFont(13), look::dimInk());
    view->addSubview(repLabel_);

    downRepsButton_ = look::button(ui::Rect(30, 112, 64, 52), "\xE2\x88\x92", lookpalette::brownButton());
    downRepsButton_->setFont(gfx::Font::boldSystemFont(30));
    downRepsButton_->setAccessibilityLabel("Down");
    downRepsButton_->addTarget([this] { downRepButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(downRepsButton_);

    repField_ = std::make_shared<ui::TextField>(ui::Rect(106, 114, 108, 48));
    repField_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    repField_->setBackgroundColor(gfx::Color::clear());
    repField_->setFont(gfx::Font::boldSystemFont(26));
    repField_->setTextAlignment(ui::TextAlignment::Center);
    repField_->setKeyboardType(ui::KeyboardType::NumbersAndPunctuation);
    repField_->setReturnKeyType(ui::ReturnKeyType::Done);
    repField_->setAccessibilityLabel("Value");
    view->addSubview(repField_);

    upRepsButton_ = look::button(ui::Rect(226, 112, 64, 52), "+", lookpalette::brownButton());
    upRepsButton_->setFont(gfx::Font::boldSystemFont(30));
    upRepsButton_->setAccessibilityLabel("Up");
    upRepsButton_->addTarget([this] { upRepButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(upRepsButton_);

    repNumberLabel_ = look::label(ui::Rect(20, 166, 280, 18), "Whole numbers; a fraction is dropped",
                                  gfx::Font::systemFont(12), look::dimInk());
    view->addSubview(repNumberLabel_);

    // Cancel leaves the value as it was.
    cancelButton_ = look::button(ui::Rect(30, 192, 124, 44), "Cancel", lookpalette::brownButton());
    cancelButton_->addTarget([this] { cancelTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(cancelButton_);
    newRepsButton_ = look::button(ui::Rect(166, 192, 124, 44), "Save", lookpalette::orangeButton());
    newRepsButton_->addTarget([this] { saveRepsToUserTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(newRepsButton_);

    setView(view);
    // The controller outlives its view's use of it: the view is its own.
    repField_->setDelegate(std::static_pointer_cast<CustomRepViewController>(shared_from_this()));
}

void CustomRepViewController::viewWillAppear(bool animated) {
    (void)animated;
    view();
    repField_->setText(base::format("%i", rep_));
    if (restMode_) {
        currentRepsLabel_->setText(base::format("Current Rest: %i", rep_));
        topLabel_->setText("Current Rest Period");
        descriptionLabel_->setText("Set the rest period");
    } else {
        currentRepsLabel_->setText(base::format("Current Reps: %i", rep_));
        topLabel_->setText("Current Reps");
        descriptionLabel_->setText("Set the reps");
    }
}

int CustomRepViewController::leadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void CustomRepViewController::step(int by) {
    const std::string& text = repField_->text();
    if (text.empty() || !Utility::isNumeric(text)) return;
    const int value = leadingInteger(text);
    if (by < 0 && value == 1) return;  // a set never goes below one with Down
    const int most = restMode_ ? Utility::kMostRestSeconds : Utility::kMostReps;
    if ((by > 0 && value >= most) || (by < 0 && value <= -most)) return;
    repField_->setText(base::format("%i", value + by));
}

void CustomRepViewController::upRepButtonTapped() { step(1); }
void CustomRepViewController::downRepButtonTapped() { step(-1); }

void CustomRepViewController::saveRepsToUserTapped() {
    // A count or a rest is a plain number in the range a person reaches:
    // "1e3" or 99999999 is refused like any other text.
    const int most = restMode_ ? Utility::kMostRestSeconds : Utility::kMostReps;
    const auto number = base::NumberFormatter().numberFromString(repField_->text());
    if (!number || !Utility::countFromText(repField_->text(), most)) {
        Utility::ShowAlert("Please Enter a valid number");
        return;
    }
    repField_->resignFirstResponder();
    base::NotificationCenter::defaultCenter().post(restMode_ ? "restChanged" : "repChanged", this,
                                                   base::Number(*number));
    dismissModalViewControllerAnimated(true);
}

void CustomRepViewController::cancelTapped() {
    repField_->resignFirstResponder();
    dismissModalViewControllerAnimated(true);
}

bool CustomRepViewController::textFieldShouldReturn(ui::TextField& field) {
    field.resignFirstResponder();
    return true;
}

void CustomRepViewController::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    (void)touches, (void)event;
    if (repField_ && repField_->isEditing()) repField_->resignFirstResponder();
}
