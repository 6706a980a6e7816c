#include "sharing/core/SHRShareMenu.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/base/UserDefaults.h"
#include "platform/ui/Label.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/core/SHRSharer.h"

namespace {
std::string folded(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

SHRShareMenu::SHRShareMenu(ui::TableViewStyle style)
    : ui::TableViewController(style), item_(std::make_shared<SHRItem>()) {
    setTitle(localizedFormat("Share"));
}

void SHRShareMenu::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    std::weak_ptr<ui::ViewController> weak = shared_from_this();
    auto call = [weak](void (SHRShareMenu::*op)()) {
        return [weak, op](ui::BarButtonItem&) {
            if (auto self = std::dynamic_pointer_cast<SHRShareMenu>(weak.lock())) ((*self).*op)();
        };
    };
    navigationItem()->setLeftBarButtonItem(
        std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Cancel, call(&SHRShareMenu::cancel)));
    editItem_ = std::make_shared<ui::BarButtonItem>(localizedFormat("Edit"), ui::BarButtonItemStyle::Bordered,
                                                    call(&SHRShareMenu::edit));
    doneItem_ = std::make_shared<ui::BarButtonItem>(ui::BarButtonSystemItem::Done, call(&SHRShareMenu::save));
    navigationItem()->setRightBarButtonItem(editItem_);
    rebuildTableDataAnimated(false);
}

void SHRShareMenu::setItem(std::shared_ptr<SHRItem> item) {
    item_ = item ? std::move(item) : std::make_shared<SHRItem>();
    rebuildTableDataAnimated(false);
    if (isViewLoaded()) tableView()->reloadData();
}

std::vector<SHRShareMenu::Row> SHRShareMenu::section(const std::string& key) const {
    std::vector<Row> rows;
    for (const auto& name : SHR::sharersListed(key)) {
        auto sharer = SHRSharer::prototype(name);
        if (!sharer || !sharer->canShare() || !sharer->canShareType(item_->shareType())) continue;
        rows.push_back(Row{name, sharer->sharerTitle()});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return folded(a.name) < folded(b.name); });
    return rows;
}

void SHRShareMenu::rebuildTableDataAnimated(bool animated) {
    auto table = isViewLoaded() ? tableView() : nullptr;
    if (table) table->setAllowsSelectionDuringEditing(true);
    tableData_ = {section("actions"), section("services")};
    exclusions_ =
        base::UserDefaults::standardUserDefaults().dictionaryForKey("SHRExcluded").value_or(base::Dictionary{});
    const bool editing = table && table->isEditing();
    if (editing && !animated) return;
    std::vector<ui::IndexPath> changed;
    for (int s = 0; s < static_cast<int>(tableData_.size()); ++s) {
        auto& rows = tableData_[s];
        std::vector<Row> kept;
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            if (exclusions_.contains(rows[r].className)) {
                changed.push_back(ui::IndexPath{s, r});
                if (!editing) continue;
            }
            kept.push_back(rows[r]);
        }
        rows = std::move(kept);
    }
    if (animated && table && !changed.empty()) {
        table->beginUpdates();
        if (editing) table->insertRowsAtIndexPaths(changed, ui::TableViewRowAnimation::Fade);
        else table->deleteRowsAtIndexPaths(changed, ui::TableViewRowAnimation::Fade);
        table->endUpdates();
    }
    if (table && !animated) table->reloadData();
    else if (table) {
        for (const auto& cell : table->visibleCells()) {  // switches follow the editing state
            if (auto path = table->indexPathForCell(cell.get())) {
                if (path->section < static_cast<int>(tableData_.size()) &&
                    path->row < static_cast<int>(tableData_[path->section].size()))
                    cellForRowAtIndexPath(*table, *path);
            }
        }
    }
}

void SHRShareMenu::edit() {
    setEditing(true, true);
    rebuildTableDataAnimated(true);
    navigationItem()->setRightBarButtonItem(doneItem_);
}

void SHRShareMenu::save() {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setObject("SHRExcluded", exclusions_);
    defaults.synchronize();
    setEditing(false, true);
    rebuildTableDataAnimated(true);
    navigationItem()->setRightBarButtonItem(editItem_);
}

void SHRShareMenu::cancel() { SHR::currentHelper().hideCurrentViewControllerAnimated(true); }

void SHRShareMenu::viewDidDisappear(bool animated) {
    ui::TableViewController::viewDidDisappear(animated);
    SHR::currentHelper().viewWasDismissed();
}

int SHRShareMenu::numberOfSectionsInTableView(ui::TableView&) { return 2; }

int SHRShareMenu::numberOfRowsInSection(ui::TableView&, int section) {
    if (section < 0 || section >= static_cast<int>(tableData_.size())) return 0;
    return static_cast<int>(tableData_[section].size());
}

std::optional<std::string> SHRShareMenu::titleForHeaderInSection(ui::TableView& tableView, int section) {
    if (numberOfRowsInSection(tableView, section) == 0) return std::nullopt;
    return section == 0 ? localizedFormat("Actions") : localizedFormat("Services");
}

std::shared_ptr<ui::TableViewCell> SHRShareMenu::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                       const ui::IndexPath& indexPath) {
    auto cell = tableView.cellForRowAtIndexPath(indexPath);
    if (!cell) cell = tableView.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) {
        cell = std::make_shared<SHRCustomShareMenuCell>(ui::TableViewCellStyle::Default, "Cell");
        cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
    }
    const Row& row = tableData_.at(indexPath.section).at(indexPath.row);
    cell->textLabel()->setText(row.name);
    // The switch sits at the right of the row while editing (the row
    // takes the tap, the switch only shows the state).
    std::shared_ptr<ui::Switch> toggle;
    for (const auto& sub : cell->contentView()->subviews())
        if (auto s = std::dynamic_pointer_cast<ui::Switch>(sub)) toggle = s;
    if (!toggle) {
        toggle = std::make_shared<ui::Switch>();
        toggle->setUserInteractionEnabled(false);
        toggle->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin);
        cell->contentView()->addSubview(toggle);
    }
    const ui::Rect content = cell->contentView()->bounds();
    const ui::Size size = toggle->frame().size;
    toggle->setFrame(ui::Rect(content.size.width - size.width - 10, std::round((content.size.height - size.height) / 2),
                              size.width, size.height));
    toggle->setHidden(!tableView.isEditing());
    toggle->setOn(!exclusions_.contains(row.className), false);
    cell->setAccessoryType(tableView.isEditing() ? ui::TableViewCellAccessoryType::None
                                                 : ui::TableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void SHRShareMenu::didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) {
    if (indexPath.section >= static_cast<int>(tableData_.size()) ||
        indexPath.row >= static_cast<int>(tableData_[indexPath.section].size()))
        return;
    const Row row = tableData_[indexPath.section][indexPath.row];
    if (tableView.isEditing()) {
        auto cell = tableView.cellForRowAtIndexPath(indexPath);
        std::shared_ptr<ui::Switch> toggle;
        if (cell)
            for (const auto& sub : cell->contentView()->subviews())
                if (auto s = std::dynamic_pointer_cast<ui::Switch>(sub)) toggle = s;
        const bool on = toggle ? !toggle->isOn() : exclusions_.contains(row.className);
        if (toggle) toggle->setOn(on, true);
        if (on) exclusions_.remove(row.className);
        else exclusions_.set(row.className, "1");
        tableView.deselectRowAtIndexPath(indexPath, true);
        return;
    }
    auto keep = shared_from_this();
    SHRSharer::shareItem(row.className, item_);
    SHR::currentHelper().hideCurrentViewControllerAnimated(true);
}

ui::TableViewCellEditingStyle SHRShareMenu::editingStyleForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) {
    return ui::TableViewCellEditingStyle::None;
}

bool SHRShareMenu::shouldIndentWhileEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath&) { return false; }
