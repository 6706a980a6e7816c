#pragma once
// The share menu: every sharer of "SHRSharers.plist" that can share the
// item, in the sections "Actions" and "Services" sorted by title. Edit
// shows the sharers the user switched off with their switches; Done stores
// the choice (the exclusions), Cancel forgets it.
#include <memory>
#include <string>
#include <vector>

#include "platform/base/Value.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Switch.h"
#include "platform/ui/ViewController.h"
#include "sharing/core/SHRItem.h"

class SHRShareMenu : public ui::TableViewController {
public:
    struct Row {
        std::string className, name;
    };

    explicit SHRShareMenu(ui::TableViewStyle style = ui::TableViewStyle::Grouped);

    const std::shared_ptr<SHRItem>& item() const { return item_; }
    // Rebuilds the table (without animation).
    void setItem(std::shared_ptr<SHRItem> item);
    const std::vector<std::vector<Row>>& tableData() const { return tableData_; }
    const base::Dictionary& exclusions() const { return exclusions_; }

    std::vector<Row> section(const std::string& key) const;
    void rebuildTableDataAnimated(bool animated);
    void edit();
    void save();
    void cancel();

    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation) override { return true; }

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    ui::TableViewCellEditingStyle editingStyleForRowAtIndexPath(ui::TableView& tableView,
                                                                const ui::IndexPath& indexPath) override;
    bool shouldIndentWhileEditingRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    std::shared_ptr<SHRItem> item_;
    std::vector<std::vector<Row>> tableData_;
    base::Dictionary exclusions_;
    std::shared_ptr<ui::BarButtonItem> editItem_, doneItem_;
};

class SHRCustomShareMenu : public SHRShareMenu {
public:
    using SHRShareMenu::SHRShareMenu;
};

class SHRCustomShareMenuCell : public ui::TableViewCell {
public:
    using ui::TableViewCell::TableViewCell;
    std::string className() const override { return "SHRCustomShareMenuCell"; }
};
