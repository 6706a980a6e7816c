#pragma once
// The whole training plan as a table: one section per level, one row per
// training day (week 1 day 1 to week 6 day 3), each with the day's total and
// its sets; a section index jumps between the levels. Read only.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ViewController.h"
#include "training/Program.h"

class ProgramTableViewController : public ui::TableViewController {
public:
    static constexpr int kLevels = 3;
    static constexpr int kDaysPerLevel = 18;

    ProgramTableViewController();

    std::shared_ptr<ui::TableView> programTableView() { return tableView(); }
    // The plan as last loaded (the cells read their day from the store).
    const std::vector<std::shared_ptr<Program>>& programData() const { return programData_; }
    void setProgramData(std::vector<std::shared_ptr<Program>> data) { programData_ = std::move(data); }

    // The week, day and level a row shows.
    struct PlanDay {
        int week, day, level;
    };
    static PlanDay planDayAt(const ui::IndexPath& indexPath);
    // "4.3" below "4.0"? Versions compare part by part as numbers.
    static bool versionBelow(const std::string& version, const std::string& than);

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    // Reads the plan again and reloads the table.
    void loadData();

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::optional<std::string> titleForHeaderInSection(ui::TableView& tableView, int section) override;
    std::vector<std::string> sectionIndexTitlesForTableView(ui::TableView& tableView) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<ui::Float> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

private:
    std::vector<std::shared_ptr<Program>> programData_;
};
