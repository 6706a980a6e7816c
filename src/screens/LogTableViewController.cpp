#include "screens/LogTableViewController.h"

#include <sstream>

#include "platform/base/DateFormatter.h"
#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "screens/DayText.h"
#include "training/DataAccess.h"
#include "training/EditRepsViewController.h"
#include "training/HomeLook.h"

namespace {

// The LogDate text split at single blanks.
std::vector<std::string> fieldsOf(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(text);
    while (std::getline(in, field, ' ')) fields.push_back(field);
    return fields;
}

// The month number of a field: 1 to 12, or 0 when the field is anything else.
int monthNumber(const std::string& field) {
    if (field.empty() || field.size() > 2) return 0;
    int n = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 12 ? n : 0;
}

}  // namespace

LogTableViewController::LogTableViewController() : ui::ViewController("LogTableView") {}

LogTableViewController::~LogTableViewController() { base::NotificationCenter::defaultCenter().removeObserver(this); }

void LogTableViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    logTableView_ = std::make_shared<ui::TableView>(view->bounds(), ui::TableViewStyle::Plain);
    logTableView_->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    logTableView_->setRowHeight(kRowHeight);
    auto self = std::static_pointer_cast<LogTableViewController>(shared_from_this());
    logTableView_->setDataSource(std::weak_ptr<ui::TableViewDataSource>(self));
    logTableView_->setDelegate(std::weak_ptr<ui::TableViewDelegate>(self));
    view->addSubview(logTableView_);
    setView(view);
}

void LogTableViewController::viewDidLoad() {
    // The day editor posts "EditReps" after it rewrote a day; one observer
    // for the page's whole life, however often it is shown.
    if (observing_) return;
    observing_ = true;
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    base::NotificationCenter::defaultCenter().addObserver(this, "EditReps", nullptr, [weak](const base::Notification&) {
        if (auto self = std::static_pointer_cast<LogTableViewController>(weak.lock())) self->editRepsNotification();
    });
}

void LogTableViewController::editRepsNotification() { loadData(); }

void LogTableViewController::loadData() {
    view();
    logData_ = ascending_ ? DataAccess::getLogData() : DataAccess::getLogDataReversed();
    // Reloading keeps the offset within the rows, so the sort row is scrolled
    // out of sight after the reload, not before.
    logTableView_->reloadData();
    logTableView_->setContentOffset(ui::Point(0, hasSortRow() ? kRowHeight : 0));
}

std::shared_ptr<Log> LogTableViewController::recordForRow(int row) const {
    const int index = hasSortRow() ? row - 1 : row;
    if (index < 0 || index >= static_cast<int>(logData_.size())) return nullptr;
    return logData_[static_cast<size_t>(index)];
}

std::string LogTableViewController::dateText(const std::string& logDate) {
    const auto fields = fieldsOf(logDate);
    const int month = fields.size() >= 4 ? monthNumber(fields[2]) : 0;
    if (month == 0) return logDate;
    const auto names = base::DateFormatter().monthSymbols();
    if (static_cast<int>(names.size()) < month) return logDate;
    return base::format("%@-%@-%@", fields[3], names[static_cast<size_t>(month - 1)], fields[1]);
}

int LogTableViewController::numberOfSectionsInTableView(ui::TableView&) { return logData_.empty() ? 0 : 1; }

int LogTableViewController::numberOfRowsInSection(ui::TableView&, int) {
    return static_cast<int>(logData_.size()) + (hasSortRow() ? 1 : 0);
}

std::shared_ptr<ui::TableViewCell> LogTableViewController::cellForRowAtIndexPath(ui::TableView&,
                                                                                 const ui::IndexPath& indexPath) {
    auto cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Subtitle, "LogViewCell");
    auto day = recordForRow(indexPath.row);
    if (!day) {
        cell->detailTextLabel()->setText("Tap to reverse sort order");
        cell->imageView()->setImage(homelook::bundleImage("redo.png"));
        cell->setAccessoryType(ui::TableViewCellAccessoryType::None);
        return cell;
    }
    cell->setAccessoryType(ui::TableViewCellAccessoryType::DetailDisclosureButton);
    cell->imageView()->setImage(homelook::bundleImage("calendar_r.png"));
    cell->textLabel()->setText(dateText(day->logDate()));
    const DayText text = makeDayText(day->week(), day->day(), day->level(), day->reps());
    // Eight or nine set counts do not fit beside "Made up of Sets:" on one
    // line of the row: they wrap onto a third line, which the 75-point row
    // has room for, so every count shows.
    cell->detailTextLabel()->setNumberOfLines(text.values > 5 ? 3 : 2);
    cell->detailTextLabel()->setFont(text.font);
    cell->detailTextLabel()->setText(text.text);
    return cell;
}

bool LogTableViewController::canEditRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) {
    return recordForRow(indexPath.row) != nullptr;
}

ui::TableViewCellEditingStyle LogTableViewController::editingStyleForRowAtIndexPath(ui::TableView&,
                                                                                    const ui::IndexPath& indexPath) {
    return recordForRow(indexPath.row) ? ui::TableViewCellEditingStyle::Delete : ui::TableViewCellEditingStyle::None;
}

void LogTableViewController::commitEditingStyle(ui::TableView& tableView, ui::TableViewCellEditingStyle editingStyle,
                                                const ui::IndexPath& indexPath) {
    if (editingStyle != ui::TableViewCellEditingStyle::Delete) return;
    auto day = recordForRow(indexPath.row);
    if (!day) return;
    // The store deletes every row equal to this one in all its columns, so
    // the list drops every such twin too and never shows a day that is gone.
    std::vector<std::shared_ptr<Log>> rest;
    rest.reserve(logData_.size());
    for (const auto& entry : logData_)
        if (entry != day && !(entry && entry->sameRow(*day))) rest.push_back(entry);
    logData_ = std::move(rest);
    DataAccess::deleteDay(*day);
    tableView.reloadData();
}

std::optional<ui::Float> LogTableViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) {
    return kRowHeight;
}

void LogTableViewController::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) {
    auto day = recordForRow(indexPath.row);
    if (!day) {
        ascending_ = !ascending_;
        // Kept for the record only: the list starts newest first at every start.
        auto& defaults = base::UserDefaults::standardUserDefaults();
        defaults.setBool("sort_order", ascending_);
        loadData();
        return;
    }
    editDay(day);
}

void LogTableViewController::accessoryButtonTappedForRowWithIndexPath(ui::TableView&, const ui::IndexPath& indexPath) {
    // The row's blue arrow opens the day as the row itself does.
    if (auto day = recordForRow(indexPath.row)) editDay(day);
}

void LogTableViewController::editDay(const std::shared_ptr<Log>& day) {
    auto owner = parent();
    auto nav = owner ? owner->navigationController() : nullptr;
    if (!nav) return;
    auto editor = std::make_shared<EditRepsViewController>();
    editor->setLogToEdit(day);
    editor->setTitle("Edit Day");
    // In the gold bar, the title as the other screens show theirs.
    editor->navigationItem()->setTitleView(homelook::titleLabel("Edit Day", 160));
    nav->pushViewController(editor, true);
}
