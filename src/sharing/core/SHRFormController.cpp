#include "sharing/core/SHRFormController.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/Text.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"

std::shared_ptr<SHRFormFieldSettings> SHRFormFieldSettings::label(std::string label, std::string key, int type,
                                                                  std::string start) {
    auto field = std::make_shared<SHRFormFieldSettings>();
    field->label_ = std::move(label);
    field->key_ = std::move(key);
    field->type_ = type;
    field->start_ = std::move(start);
    return field;
}

// --- Cell -------------------------------------------------------------------

SHRFormFieldCell::SHRFormFieldCell(std::string reuseIdentifier)
    : ui::TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    // The label width of the form is measured in this font.
    textLabel()->setFont(gfx::Font::boldSystemFont(17));
}

void SHRFormFieldCell::setSettings(std::shared_ptr<SHRFormFieldSettings> settings) {
    settings_ = std::move(settings);
    setNeedsLayout();
}

std::shared_ptr<ui::TextField> SHRFormFieldCell::textField() {
    if (!textField_) {
        textField_ = std::make_shared<ui::TextField>(ui::Rect(0, 0, 100, 25));
        textField_->setClearsOnBeginEditing(false);
        textField_->setReturnKeyType(ui::ReturnKeyType::Done);
        textField_->setFont(gfx::Font::systemFont(17));
        textField_->setTextColor(gfx::Color::gray(1.0 / 3.0));
        textField_->setAutocapitalizationType(ui::TextAutocapitalizationType::None);
        textField_->setAutocorrectionType(ui::TextAutocorrectionType::No);
        if (auto form = form_.lock()) textField_->setDelegate(std::static_pointer_cast<ui::TextFieldDelegate>(form));
        if (settings_) textField_->setAccessibilityLabel(settings_->label());
        contentView()->addSubview(textField_);
        textField_->setText(tmpValue_.value_or(""));
    }
    return textField_;
}

void SHRFormFieldCell::setValue(const std::string& value) {
    tmpValue_ = value;
    if (!settings_) return;
    if (settings_->type() == SHRFormFieldTypeSwitch) {
        if (toggle_) toggle_->setOn(value == "1", false);
    } else if (textField_) {
        textField_->setText(value);
    }
}

std::optional<std::string> SHRFormFieldCell::getValue() const {
    if (!settings_) return std::nullopt;
    if (settings_->type() == SHRFormFieldTypeSwitch) {
        if (toggle_) return std::string(toggle_->isOn() ? "1" : "0");
        return std::string(tmpValue_ && *tmpValue_ == "1" ? "1" : "0");
    }
    if (textField_) return textField_->text();
    return tmpValue_;
}

void SHRFormFieldCell::setSelected(bool selected, bool animated) {
    (void)animated;
    // No highlight: selecting a row puts the keyboard in its field.
    if (!settings_ || settings_->type() == SHRFormFieldTypeSwitch) return;
    if (selected) textField()->becomeFirstResponder();
    else if (textField_) textField_->resignFirstResponder();
}

void SHRFormFieldCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    if (!settings_) return;
    const ui::Rect content = contentView()->bounds();
    if (settings_->type() == SHRFormFieldTypeSwitch) {
        if (!toggle_) {
            toggle_ = std::make_shared<ui::Switch>();
            toggle_->setAccessibilityLabel(settings_->label());
            contentView()->addSubview(toggle_);
            toggle_->setOn(tmpValue_ && *tmpValue_ == "1", false);
        }
        toggle_->setAccessibilityLabel(settings_->label());
        const ui::Size size = toggle_->frame().size;
        toggle_->setFrame(ui::Rect(content.size.width - size.width - 10,
                                   std::round(content.size.height / 2 - size.height / 2), size.width, size.height));
        if (textField_) {
            textField_->removeFromSuperview();
            textField_.reset();
        }
    } else {
        auto field = textField();
        field->setSecureTextEntry(settings_->type() == SHRFormFieldTypePassword);
        field->setAccessibilityLabel(settings_->label());
        const ui::Float height = field->frame().size.height;
        field->setFrame(ui::Rect(labelWidth_ + 24, std::round(content.size.height / 2 - height / 2) + 2,
                                 content.size.width - 10 - 24 - labelWidth_, height));
        if (toggle_) {
            toggle_->removeFromSuperview();
            toggle_.reset();
        }
        contentView()->bringSubviewToFront(field);
    }
}

// --- Form -------------------------------------------------------------------

SHRFormController::SHRFormController(ui::TableViewStyle style, const std::string& title,
                                     const std::string& rightButtonTitle)
    : ui::TableViewController(style), rightButtonTitle_(rightButtonTitle) {
    setTitle(title);
}

void SHRFormController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    std::weak_ptr<ui::ViewController> weak = shared_from_this();
    auto cancelItem = std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Cancel, [weak](ui::BarButtonItem&) {
        if (auto self = std::dynamic_pointer_cast<SHRFormController>(weak.lock())) self->cancel();
    });
    auto rightItem = std::make_shared<ui::BarButtonItem>(
        rightButtonTitle_, ui::BarButtonItemStyle::Done, [weak](ui::BarButtonItem&) {
            if (auto self = std::dynamic_pointer_cast<SHRFormController>(weak.lock())) self->validateForm();
        });
    navigationItem()->setLeftBarButtonItem(cancelItem);
    navigationItem()->setRightBarButtonItem(rightItem);
}

void SHRFormController::addSection(std::vector<std::shared_ptr<SHRFormFieldSettings>> rows,
                                   std::optional<std::string> header, std::optional<std::string> footer) {
    if (sections_.empty()) {
        ui::Float widest = 0;
        for (const auto& field : rows) {
            if (!field || field->type() == SHRFormFieldTypeSwitch) continue;
            widest = std::max(widest, gfx::measureText(field->label(), gfx::Font::boldSystemFont(17)).width);
        }
        labelWidth_ = widest;
    }
    sections_.push_back(Section{std::move(rows), std::move(header), std::move(footer)});
}

int SHRFormController::numberOfSectionsInTableView(ui::TableView&) { return static_cast<int>(sections_.size()); }

int SHRFormController::numberOfRowsInSection(ui::TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(sections_.size())) return 0;
    return static_cast<int>(sections_[section].rows.size());
}

std::optional<std::string> SHRFormController::titleForHeaderInSection(ui::TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(sections_.size())) return std::nullopt;
    return sections_[section].header;
}

std::optional<std::string> SHRFormController::titleForFooterInSection(ui::TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(sections_.size())) return std::nullopt;
    return sections_[section].footer;
}

std::shared_ptr<ui::TableViewCell> SHRFormController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                            const ui::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<SHRFormFieldCell>(tableView.dequeueReusableCellWithIdentifier("Cell"));
    if (!cell) {
        cell = std::make_shared<SHRCustomFormFieldCell>("Cell");
        cell->setForm(std::static_pointer_cast<SHRFormController>(shared_from_this()));
    } else if (cell->settings()) {
        // The cell leaves its old row: keep what it shows for that key.
        if (auto value = cell->getValue()) values_[cell->settings()->key()] = *value;
    }
    const auto& field = sections_.at(indexPath.section).rows.at(indexPath.row);
    cell->setSettings(field);
    cell->setLabelWidth(labelWidth_);
    cell->textLabel()->setText(field->label());
    auto remembered = values_.find(field->key());
    cell->setValue(remembered != values_.end() ? remembered->second : field->start());
    return cell;
}

std::map<std::string, std::string> SHRFormController::formValuesForSection(int section) {
    std::map<std::string, std::string> out;
    if (section < 0 || section >= static_cast<int>(sections_.size())) return out;
    auto table = isViewLoaded() ? tableView() : nullptr;
    const auto& rows = sections_[section].rows;
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const std::string& key = rows[row]->key();
        std::shared_ptr<SHRFormFieldCell> cell;
        if (table) cell = std::dynamic_pointer_cast<SHRFormFieldCell>(table->cellForRowAtIndexPath({section, row}));
        std::optional<std::string> value;
        if (cell && cell->settings() && cell->settings()->key() == key) value = cell->getValue();
        if (value) {
            out[key] = *value;
        } else {
            auto remembered = values_.find(key);
            if (remembered != values_.end()) out[key] = remembered->second;
        }
    }
    return out;
}

void SHRFormController::validateForm() {
    if (auto field = activeField_.lock()) field->resignFirstResponder();
    auto keep = shared_from_this();
    if (validateSelector_) validateSelector_(*this);
}

void SHRFormController::saveForm() {
    auto keep = shared_from_this();
    if (saveSelector_) saveSelector_(*this);
    close();
}

void SHRFormController::close() { SHR::currentHelper().hideCurrentViewControllerAnimated(true); }

void SHRFormController::cancel() {
    auto keep = shared_from_this();
    if (auto field = activeField_.lock()) field->resignFirstResponder();
    close();
    if (cancelSelector_) {
        auto selector = std::move(cancelSelector_);
        cancelSelector_ = nullptr;
        selector();
    }
}

bool SHRFormController::textFieldShouldReturn(ui::TextField&) {
    validateForm();
    return true;
}

void SHRFormController::textFieldDidBeginEditing(ui::TextField& field) {
    activeField_ = std::dynamic_pointer_cast<ui::TextField>(field.shared_from_this());
}

void SHRFormController::viewDidAppear(bool animated) {
    ui::TableViewController::viewDidAppear(animated);
    if (autoSelect_ && !sections_.empty() && !sections_[0].rows.empty())
        tableView()->selectRowAtIndexPath(ui::IndexPath{0, 0}, false, ui::TableViewScrollPosition::None);
}

void SHRFormController::viewDidDisappear(bool animated) {
    ui::TableViewController::viewDidDisappear(animated);
    SHR::currentHelper().viewWasDismissed();
}
