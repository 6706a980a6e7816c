#include "screens/ProgramTableViewController.h"

#include <sstream>

#include "platform/base/Format.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "screens/DayText.h"
#include "screens/SettingsLook.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/LookPalette.h"

namespace {

// A subtitle cell whose detail, with no title above it, uses the whole
// height of the row.
class PlanDayCell : public ui::TableViewCell {
public:
    PlanDayCell() : ui::TableViewCell(ui::TableViewCellStyle::Subtitle, "LogViewCell") {}
    std::string className() const override { return "PlanDayCell"; }
    void layoutSubviews() override {
        ui::TableViewCell::layoutSubviews();
        auto title = textLabel();
        auto detail = detailTextLabel();
        if (!title || !detail || !title->text().empty()) return;
        const ui::Rect content = contentView()->bounds();
        ui::Rect frame = detail->frame();
        detail->setFrame(ui::Rect(frame.origin.x, 0, frame.size.width, content.size.height));
    }
};

std::vector<int> versionParts(const std::string& version) {
    std::vector<int> parts;
    std::stringstream in(version);
    std::string part;
    while (std::getline(in, part, '.') && parts.size() < 8) parts.push_back(homelook::intValue(part));
    return parts;
}

}  // namespace

ProgramTableViewController::ProgramTableViewController() : ui::TableViewController(ui::TableViewStyle::Plain) {
    setTitle("Plan");
}

bool ProgramTableViewController::versionBelow(const std::string& version, const std::string& than) {
    const auto a = versionParts(version), b = versionParts(than);
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const int x = i < a.size() ? a[i] : 0, y = i < b.size() ? b[i] : 0;
        if (x != y) return x < y;
    }
    return false;
}

ProgramTableViewController::PlanDay ProgramTableViewController::planDayAt(const ui::IndexPath& indexPath) {
    return PlanDay{indexPath.row / 3 + 1, indexPath.row % 3 + 1, indexPath.section + 1};
}

void ProgramTableViewController::viewDidLoad() {
    navigationItem()->setTitleView(settingslook::titleLabel("Plan", 140));
    loadData();
}

void ProgramTableViewController::viewDidAppear(bool) { loadData(); }

void ProgramTableViewController::loadData() {
    programData_ = DataAccess::getProgramData();
    tableView()->reloadData();
}

int ProgramTableViewController::numberOfSectionsInTableView(ui::TableView&) { return kLevels; }

int ProgramTableViewController::numberOfRowsInSection(ui::TableView&, int) { return kDaysPerLevel; }

std::optional<std::string> ProgramTableViewController::titleForHeaderInSection(ui::TableView&, int section) {
    return base::format("Level %d", section + 1);
}

std::vector<std::string> ProgramTableViewController::sectionIndexTitlesForTableView(ui::TableView&) {
    return {"Level 1", "Level 2", "Level 3"};
}

std::shared_ptr<ui::TableViewCell> ProgramTableViewController::cellForRowAtIndexPath(ui::TableView&,
                                                                                     const ui::IndexPath& indexPath) {
    auto cell = std::make_shared<PlanDayCell>();
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const PlanDay at = planDayAt(indexPath);
    // A day the plan lacks comes back as a row of zeros and shows as one.
    auto program = DataAccess::getProgram(at.day, at.week, at.level);
    if (!program) return cell;  // the plan cannot be read (reported): the row stays empty
    const DayText text = makeDayText(program->week(), program->day(), program->level(), program->nineSlots());
    auto detail = cell->detailTextLabel();
    detail->setNumberOfLines(2);
    detail->setFont(text.font);
    detail->setText(text.text);
    // With no title above it, the detail is the row's text: dark, to read
    // well on the white row.
    detail->setTextColor(lookpalette::planDetailInk());
    return cell;
}

std::optional<ui::Float> ProgramTableViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&) {
    return versionBelow(ui::Device::currentDevice().systemVersion(), "4.0") ? 65 : 44;
}
