#pragma once
// A small generic form: a grouped table of labelled fields (text, password
// or switch) in sections with optional header and footer texts, Cancel on
// the left and a titled button on the right that asks the delegate to
// validate and then save. Values typed into a cell that the table reuses
// for another row are remembered, so nothing typed is lost by scrolling.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

enum SHRFormFieldType { SHRFormFieldTypeText = 0, SHRFormFieldTypePassword = 1, SHRFormFieldTypeSwitch = 2 };

class SHRFormFieldSettings {
public:
    static std::shared_ptr<SHRFormFieldSettings> label(std::string label, std::string key, int type, std::string start);
    std::string label_, key_, start_;
    int type_ = SHRFormFieldTypeText;

    const std::string& label() const { return label_; }
    const std::string& key() const { return key_; }
    int type() const { return type_; }
    const std::string& start() const { return start_; }
};

class SHRFormController;

class SHRFormFieldCell : public ui::TableViewCell {
public:
    explicit SHRFormFieldCell(std::string reuseIdentifier = "Cell");
    std::string className() const override { return "SHRFormFieldCell"; }

    const std::shared_ptr<SHRFormFieldSettings>& settings() const { return settings_; }
    void setSettings(std::shared_ptr<SHRFormFieldSettings> settings);
    ui::Float labelWidth() const { return labelWidth_; }
    void setLabelWidth(ui::Float width) {
        labelWidth_ = width;
        setNeedsLayout();
    }
    std::shared_ptr<ui::TextField> textField();
    std::shared_ptr<ui::Switch> toggle() const { return toggle_; }
    void setForm(const std::shared_ptr<SHRFormController>& form) { form_ = form; }

    void setValue(const std::string& value);
    std::optional<std::string> getValue() const;

    void setSelected(bool selected, bool animated) override;
    void layoutSubviews() override;

private:
    std::shared_ptr<SHRFormFieldSettings> settings_;
    ui::Float labelWidth_ = 0;
    std::shared_ptr<ui::TextField> textField_;
    std::shared_ptr<ui::Switch> toggle_;
    std::optional<std::string> tmpValue_;
    std::weak_ptr<SHRFormController> form_;
};

class SHRCustomFormFieldCell : public SHRFormFieldCell {
public:
    using SHRFormFieldCell::SHRFormFieldCell;
    std::string className() const override { return "SHRCustomFormFieldCell"; }
};

class SHRFormController : public ui::TableViewController, public ui::TextFieldDelegate {
public:
    using Selector = std::function<void(SHRFormController&)>;
    struct Section {
        std::vector<std::shared_ptr<SHRFormFieldSettings>> rows;
        std::optional<std::string> header, footer;
    };

    SHRFormController(ui::TableViewStyle style, const std::string& title, const std::string& rightButtonTitle);

    // The delegate is owned by the form (a sharer waits for its form).
    const std::shared_ptr<void>& delegate() const { return delegate_; }
    void setDelegate(std::shared_ptr<void> delegate) { delegate_ = std::move(delegate); }
    void setValidateSelector(Selector selector) { validateSelector_ = std::move(selector); }
    void setSaveSelector(Selector selector) { saveSelector_ = std::move(selector); }
    // Called when the user cancels (the delegate hears nothing else).
    void setCancelSelector(std::function<void()> selector) { cancelSelector_ = std::move(selector); }
    bool autoSelect() const { return autoSelect_; }
    void setAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    void addSection(std::vector<std::shared_ptr<SHRFormFieldSettings>> rows, std::optional<std::string> header,
                    std::optional<std::string> footer);
    const std::vector<Section>& sections() const { return sections_; }
    ui::Float labelWidth() const { return labelWidth_; }
    const std::map<std::string, std::string>& values() const { return values_; }

    std::map<std::string, std::string> formValuesForSection(int section);
    std::map<std::string, std::string> formValues() { return formValuesForSection(0); }

    void validateForm();
    void saveForm();
    void close();
    void cancel();

    // Table.
    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView& tableView, int section) override;
    std::optional<std::string> titleForFooterInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) override { return true; }

    // Text fields.
    bool textFieldShouldReturn(ui::TextField& field) override;
    void textFieldDidBeginEditing(ui::TextField& field) override;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    std::shared_ptr<void> delegate_;
    Selector validateSelector_, saveSelector_;
    std::function<void()> cancelSelector_;
    std::vector<Section> sections_;
    std::map<std::string, std::string> values_;
    ui::Float labelWidth_ = 0;
    std::weak_ptr<ui::TextField> activeField_;
    bool autoSelect_ = false;
    std::string rightButtonTitle_;
};

class SHRCustomFormController : public SHRFormController {
public:
    using SHRFormController::SHRFormController;
};
