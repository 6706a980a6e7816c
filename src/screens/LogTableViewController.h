#pragma once
// The log page of the progress screen: every logged day, newest first (or
// in stored order after the sort row is tapped), one 75-point row each. A
// day row opens the day editor; in editing mode a day can be deleted. With
// two or more days a sort row stands first, scrolled out of sight above the
// first day when the list is loaded.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/NotificationCenter.h"
#include "platform/ui/ViewController.h"
#include "training/Log.h"

class LogTableViewController : public ui::ViewController, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    static constexpr ui::Float kRowHeight = 75;

    LogTableViewController();
    ~LogTableViewController() override;

    std::shared_ptr<ui::TableView> logTableView() const { return logTableView_; }
    const std::vector<std::shared_ptr<Log>>& logData() const { return logData_; }
    void setLogData(std::vector<std::shared_ptr<Log>> data) { logData_ = std::move(data); }
    // The progress screen, whose navigation controller the day editor is
    // pushed on.
    std::shared_ptr<ui::ViewController> parent() const { return parent_.lock(); }
    void setParent(const std::shared_ptr<ui::ViewController>& parent) { parent_ = parent; }
    // NO: newest first (the start); YES: stored order.
    bool isAscending() const { return ascending_; }

    void loadView() override;
    // Starts listening for edited days ("EditReps"), once.
    void viewDidLoad() override;

    // Reads the log in the current order and reloads the table; with two or
    // more days the sort row is scrolled out of sight.
    void loadData();
    void editRepsNotification();

    // Whether the list has a sort row (two or more days).
    bool hasSortRow() const { return logData_.size() >= 2; }
    // The day of a row, or null for the sort row (or a row past the end).
    std::shared_ptr<Log> recordForRow(int row) const;

    // The main text of a day row: day, month name and year of its LogDate
    // ("08-December-2026"); the LogDate as written when it names no month.
    static std::string dateText(const std::string& logDate);

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void commitEditingStyle(ui::TableView& tableView, ui::TableViewCellEditingStyle editingStyle,
                            const ui::IndexPath& indexPath) override;
    ui::TableViewCellEditingStyle editingStyleForRowAtIndexPath(ui::TableView& tableView,
                                                                const ui::IndexPath& indexPath) override;
    std::optional<ui::Float> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWithIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    void editDay(const std::shared_ptr<Log>& day);

    std::shared_ptr<ui::TableView> logTableView_;
    std::vector<std::shared_ptr<Log>> logData_;
    std::weak_ptr<ui::ViewController> parent_;
    bool ascending_ = false;
    bool observing_ = false;
};
