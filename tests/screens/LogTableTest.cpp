// The log page of the progress screen: rows by number of logged days, the
// sort row and its offset, row texts, deleting and editing days, and the
// segmented control with its Edit button.
#include "ProgressTestSupport.h"

#include "platform/base/NotificationCenter.h"
#include "platform/gfx/Text.h"
#include "platform/ui/NavigationController.h"
#include "screens/DrawGraphViewController.h"
#include "screens/ExportViewController.h"
#include "screens/LogTableViewController.h"
#include "training/DataAccess.h"
#include "training/EditRepsViewController.h"

namespace {

using progresstest::ProgressTest;

class LogTableTest : public ProgressTest {
protected:
    std::shared_ptr<LogTableViewController> openLog() {
        screen = openProgress();
        if (!screen) return nullptr;
        tap("Log");
        return screen->logPage();
    }
    std::shared_ptr<ui::TableView> table() { return screen->logPage()->logTableView(); }
    std::shared_ptr<ui::TableViewCell> cellAt(int row) {
        auto& t = *table();
        return screen->logPage()->cellForRowAtIndexPath(t, ui::IndexPath{0, row});
    }
    std::shared_ptr<LogGraphViewController> screen;
};

TEST_F(LogTableTest, AnEmptyLogHasNoSectionAndOneDayNoSortRow) {
    launch();
    auto log = openLog();
    ASSERT_TRUE(log);
    EXPECT_EQ(table()->numberOfSections(), 0);
    EXPECT_FALSE(log->hasSortRow());
    shot("log-empty");

    // One day: one row, the day itself, no scrolling.
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Tue 2026 12 08 18:58:45.123");
    log->loadData();
    EXPECT_EQ(table()->numberOfSections(), 1);
    EXPECT_EQ(table()->numberOfRowsInSection(0), 1);
    EXPECT_EQ(table()->contentOffset().y, 0);
    EXPECT_EQ(cellAt(0)->textLabel()->text(), "08-December-2026");
    EXPECT_EQ(cellAt(0)->accessoryType(), ui::TableViewCellAccessoryType::DetailDisclosureButton);
}

TEST_F(LogTableTest, TwoOrMoreDaysOpenNewestFirstWithTheSortRowScrolledAway) {
    launch();
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(1, 2, 2, {6, 6, 5, 5, 8, 0, 0, 0, 0}, "Wed 2026 12 02 18:00:00.000");
    addDay(1, 3, 2, {7, 7, 6, 6, 9, 0, 0, 0, 0}, "Fri 2026 12 04 18:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    EXPECT_EQ(table()->numberOfRowsInSection(0), 4);
    EXPECT_EQ(table()->rowHeight(), 75);
    EXPECT_EQ(table()->contentOffset().y, 75);
    // The sort row is first, out of sight; the newest day is at the top.
    EXPECT_EQ(cellAt(0)->detailTextLabel()->text(), "Tap to reverse sort order");
    EXPECT_EQ(cellAt(0)->accessoryType(), ui::TableViewCellAccessoryType::None);
    EXPECT_TRUE(cellAt(0)->imageView()->image());
    EXPECT_FALSE(driver->isTextVisible("Tap to reverse sort order"));
    EXPECT_EQ(cellAt(1)->textLabel()->text(), "04-December-2026");
    EXPECT_EQ(cellAt(3)->textLabel()->text(), "30-November-2026");
    EXPECT_TRUE(cellAt(1)->imageView()->image());
    shot("log-newest-first");

    // Scrolled back into view, the sort row turns the list round and the
    // choice is written down.
    table()->setContentOffset(ui::Point(0, 0));
    driver->wait(0.1);
    shot("log-sort-row");
    tap("Tap to reverse sort order");
    EXPECT_TRUE(log->isAscending());
    EXPECT_TRUE(defaults().boolForKey("sort_order"));
    EXPECT_EQ(cellAt(1)->textLabel()->text(), "30-November-2026");
    EXPECT_EQ(cellAt(3)->textLabel()->text(), "04-December-2026");
    EXPECT_EQ(table()->contentOffset().y, 75);
    // The order lasts while the page is kept, over a trip back home.
    tap("Back");
    tap("Progress");
    EXPECT_EQ(cellAt(1)->textLabel()->text(), "30-November-2026");
}

TEST_F(LogTableTest, RowTextsShowTheDateTheSetsAndTheTotalOfAllNineSlots) {
    launch();
    addDay(5, 2, 2, {8, 8, 10, 10, 9, 9, 12, 14, 0}, "Tue 2026 12 08 18:58:45.123");
    addDay(3, 1, 1, {10, 12, 9, 9, 13, 0, 0, 0, 0}, "Mon 2026 01 05 07:00:00.000");
    // A LogDate that names no month shows as it is written.
    addDay(2, 1, 1, {1, 1, 1, 1, 1, 0, 0, 0, 0}, "Sat 2026 13 07 07:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    std::map<std::string, std::shared_ptr<ui::TableViewCell>> byDate;
    for (int row = 1; row <= 3; ++row) byDate[cellAt(row)->textLabel()->text()] = cellAt(row);

    auto w5 = byDate["08-December-2026"];
    ASSERT_TRUE(w5);
    EXPECT_EQ(w5->detailTextLabel()->text(),
              "Week 5 Day 2 Level 2 Total Reps 80\nMade up of Sets:8, 8, 10, 10, 9, 9, 12, 14");
    EXPECT_EQ(w5->detailTextLabel()->font().pointSize(), 11);
    EXPECT_EQ(w5->detailTextLabel()->numberOfLines(), 3);

    auto w3 = byDate["05-January-2026"];
    ASSERT_TRUE(w3);
    EXPECT_EQ(w3->detailTextLabel()->text(), "Week 3 Day 1 Level 1 Total Reps 53\nMade up of Sets:10, 12, 9, 9, 13");
    EXPECT_EQ(w3->detailTextLabel()->font().pointSize(), 13);

    EXPECT_TRUE(byDate.count("Sat 2026 13 07 07:00:00.000"));
    EXPECT_EQ(LogTableViewController::dateText("Tue 2026 0 08 1"), "Tue 2026 0 08 1");
    EXPECT_EQ(LogTableViewController::dateText("2026 12"), "2026 12");
    EXPECT_EQ(LogTableViewController::dateText(""), "");
    shot("log-rows");
}

// Week 6, days 2 and 3 list nine sets: the row keeps its height and draws
// every count, the last and biggest included, on a third line.
TEST_F(LogTableTest, ANineSetDayDrawsEverySetCountInItsRow) {
    launch();
    addDay(6, 2, 3, {15, 15, 15, 15, 12, 12, 15, 15, 25}, "Tue 2026 12 08 18:58:45.123");
    addDay(6, 1, 3, {20, 25, 20, 20, 35, 0, 0, 0, 0}, "Mon 2026 12 07 18:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    driver->wait(0.1);
    ASSERT_TRUE(driver->renderScreen());  // laid out as drawn
    auto cell = table()->cellForRowAtIndexPath(ui::IndexPath{0, 1});
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->textLabel()->text(), "08-December-2026");
    EXPECT_EQ(table()->rectForRowAtIndexPath(ui::IndexPath{0, 1}).height(), 75);
    auto detail = cell->detailTextLabel();
    ASSERT_EQ(detail->text(),
              "Week 6 Day 2 Level 3 Total Reps 139\nMade up of Sets:15, 15, 15, 15, 12, 12, 15, 15, 25");

    // What the label draws: the lines of its text, wrapped at its width,
    // that fit its text rect. All of them fit, so every count is drawn.
    const ui::Float width = detail->bounds().width();
    const gfx::Size whole =
        gfx::measureText(detail->text(), detail->font(), gfx::Size(width, gfx::kUnboundedTextExtent));
    const ui::Rect textRect = detail->textRectForBounds(detail->bounds(), detail->numberOfLines());
    const gfx::Size drawn =
        gfx::measureText(detail->text(), detail->font(), gfx::Size(width, textRect.height() + 0.5f));
    EXPECT_GT(whole.height, 2.5 * detail->font().lineHeight()) << "the nine counts take a third line";
    EXPECT_EQ(drawn.height, whole.height) << "lines cut off below the label";
    // And the label lies whole inside the row, clear of the accessory.
    const ui::Rect inCell = detail->convertRectToView(textRect, cell.get());
    EXPECT_GE(inCell.minY(), 0);
    EXPECT_LE(inCell.maxY(), 75);
    EXPECT_LE(inCell.maxX(), cell->contentView()->frame().maxX());
    // The five-set day beside it keeps its two lines.
    auto five = table()->cellForRowAtIndexPath(ui::IndexPath{0, 2});
    ASSERT_TRUE(five);
    EXPECT_EQ(five->detailTextLabel()->numberOfLines(), 2);
    shot("log-nine-sets");
}

TEST_F(LogTableTest, DeletingADayRemovesItFromTheTableAndTheStore) {
    launch();
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    addDay(1, 2, 2, {6, 6, 5, 5, 8, 0, 0, 0, 0}, "Wed 2026 12 02 18:00:00.000");
    addDay(1, 3, 2, {7, 7, 6, 6, 9, 0, 0, 0, 0}, "Fri 2026 12 04 18:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    tap("Edit");
    EXPECT_TRUE(table()->isEditing());
    // The sort row has no delete control.
    auto& t = *table();
    EXPECT_FALSE(log->canEditRowAtIndexPath(t, ui::IndexPath{0, 0}));
    EXPECT_EQ(log->editingStyleForRowAtIndexPath(t, ui::IndexPath{0, 0}), ui::TableViewCellEditingStyle::None);
    shot("log-editing");
    tap("Delete 02-December-2026");
    tap("Delete");
    EXPECT_EQ(logRows(), 2);
    EXPECT_FALSE(driver->isTextVisible("02-December-2026"));
    EXPECT_EQ(log->logData().size(), 2u);
    // Reading the log again gives the same list.
    log->loadData();
    ASSERT_EQ(log->logData().size(), 2u);
    EXPECT_EQ(log->logData()[0]->day(), 3);
    EXPECT_EQ(log->logData()[1]->day(), 1);

    // Down to one day: the sort row goes as well.
    tap("Delete 04-December-2026");
    tap("Delete");
    EXPECT_EQ(logRows(), 1);
    EXPECT_EQ(table()->numberOfRowsInSection(0), 1);
    EXPECT_EQ(cellAt(0)->textLabel()->text(), "30-November-2026");
}

TEST_F(LogTableTest, DeletingOneOfTwoIdenticalDaysTakesBothAsTheStoreDoes) {
    launch();
    addDay(2, 1, 1, {6, 7, 6, 6, 8, 0, 0, 0, 0}, "Mon 2026 12 07 18:00:00.000");
    addDay(2, 1, 1, {6, 7, 6, 6, 8, 0, 0, 0, 0}, "Mon 2026 12 07 18:00:00.000");
    addDay(1, 3, 1, {5, 5, 4, 4, 6, 0, 0, 0, 0}, "Fri 2026 12 04 18:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    EXPECT_EQ(table()->numberOfRowsInSection(0), 4);
    tap("Edit");
    auto& t = *table();
    log->commitEditingStyle(t, ui::TableViewCellEditingStyle::Delete, ui::IndexPath{0, 1});
    EXPECT_EQ(logRows(), 1);
    // What the table shows is what the store keeps: one day, no sort row.
    ASSERT_EQ(log->logData().size(), 1u);
    EXPECT_EQ(table()->numberOfRowsInSection(0), 1);
    EXPECT_EQ(cellAt(0)->textLabel()->text(), "04-December-2026");
    // Other editing styles change nothing.
    log->commitEditingStyle(t, ui::TableViewCellEditingStyle::Insert, ui::IndexPath{0, 0});
    EXPECT_EQ(logRows(), 1);
}

TEST_F(LogTableTest, EditingADayRewritesItAndTheTableShowsTheNewTotal) {
    launch();
    addDay(6, 2, 1, {10, 10, 11, 11, 12, 12, 13, 13, 20}, "Tue 2026 12 08 18:58:45.123");
    addDay(6, 1, 1, {10, 11, 12, 13, 14, 0, 0, 0, 0}, "Mon 2026 12 07 18:00:00.000");
    auto log = openLog();
    ASSERT_TRUE(log);
    tap("08-December-2026");
    auto editor = std::dynamic_pointer_cast<EditRepsViewController>(nav()->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->title(), "Edit Day");
    EXPECT_TRUE(driver->isTextVisible("Edit Day"));
    EXPECT_EQ(editor->fieldsInUse(), 9);
    editor->repText(9)->setText("25");
    shot("log-edit-day");
    tap("Save");
    EXPECT_EQ(nav()->topViewController(), screen);
    EXPECT_TRUE(driver->isTextVisible("Week 6 Day 2 Level 1 Total Reps 117"));
    auto stored = storetest::queryIntegers(app->logDatabasePath(),
                                           "SELECT Rep9 FROM LogDay WHERE LogDate = 'Tue 2026 12 08 18:58:45.123'");
    EXPECT_EQ(stored, std::vector<long long>{25});

    // An edit made elsewhere ("EditReps" with no day) reloads the list once
    // it is posted, however often the page was shown.
    tap("Chart");
    tap("Log");
    tap("Chart");
    tap("Log");
    ASSERT_TRUE(storetest::execSql(app->logDatabasePath(), "UPDATE LogDay SET Rep1 = 40 WHERE Day = 1"));
    base::NotificationCenter::defaultCenter().post("EditReps", nullptr);
    EXPECT_TRUE(driver->isTextVisible("Week 6 Day 1 Level 1 Total Reps 90"));
}

TEST_F(LogTableTest, TheEditButtonShowsOnTheLogStaysOnExportAndGoesOnTheChart) {
    launch();
    defaults().setBool("Tolvek_GraphType", true);
    addDay(1, 1, 2, {5, 6, 4, 4, 7, 0, 0, 0, 0}, "Mon 2026 11 30 18:00:00.000");
    screen = openProgress();
    ASSERT_TRUE(screen);
    // The chart is first: no Edit button; the page knows the log and the kind.
    EXPECT_EQ(screen->segmentControl()->selectedSegmentIndex(), LogGraphViewController::SegmentChart);
    EXPECT_EQ(screen->navigationItem()->titleView(), screen->segmentControl());
    EXPECT_FALSE(screen->navigationItem()->rightBarButtonItem());
    ASSERT_TRUE(screen->graphPage());
    EXPECT_TRUE(screen->graphPage()->graphType());
    EXPECT_EQ(screen->graphPage()->graphData().size(), 1u);
    EXPECT_EQ(screen->currentView(), screen->graphPage()->view());

    tap("Log");
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), screen->editButtonItem());
    EXPECT_TRUE(driver->isTextVisible("Edit"));
    EXPECT_EQ(screen->currentView(), screen->logPage()->view());
    EXPECT_EQ(screen->logPage()->parent(), screen);

    tap("Export");
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), screen->editButtonItem());
    EXPECT_EQ(screen->currentView(), screen->exportPage()->view());
    EXPECT_FALSE(screen->logPage()->view()->superview());

    // The chart reads the log and the kind afresh each time it is shown.
    defaults().setBool("Tolvek_GraphType", false);
    addDay(1, 2, 2, {6, 6, 5, 5, 8, 0, 0, 0, 0}, "Wed 2026 12 02 18:00:00.000");
    tap("Chart");
    EXPECT_FALSE(screen->navigationItem()->rightBarButtonItem());
    EXPECT_FALSE(screen->graphPage()->graphType());
    EXPECT_EQ(screen->graphPage()->graphData().size(), 2u);
    // Each page is made once and kept.
    auto log = screen->logPage();
    tap("Log");
    EXPECT_EQ(screen->logPage(), log);
    EXPECT_EQ(screen->contentView()->subviews().size(), 1u);
}

}  // namespace
