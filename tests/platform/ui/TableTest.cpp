#include "UITestSupport.h"

using namespace ui;

namespace {

// Two sections of named rows; deleting removes the row and tells the table.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<std::vector<std::string>> sections{{"A1", "A2"}, {"B1", "B2", "B3"}};
    std::vector<IndexPath> committed;
    std::vector<IndexPath> selected;
    int made = 0;

    int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(sections.size()); }
    int numberOfRowsInSection(TableView&, int s) override {
        return static_cast<int>(sections[static_cast<std::size_t>(s)].size());
    }
    std::optional<std::string> titleForHeaderInSection(TableView&, int s) override {
        return s == 0 ? "Section One" : "Section Two";
    }
    std::optional<std::string> titleForFooterInSection(TableView&, int s) override {
        return s == 1 ? std::optional<std::string>("Swipe to delete") : std::nullopt;
    }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, const IndexPath& ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("Row");
        if (!cell) {
            cell = std::make_shared<TableViewCell>(TableViewCellStyle::Value1, "Row");
            ++made;
        }
        cell->textLabel()->setText(sections[static_cast<std::size_t>(ip.section)][static_cast<std::size_t>(ip.row)]);
        cell->detailTextLabel()->setText("detail");
        cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
        return cell;
    }
    bool canEditRowAtIndexPath(TableView&, const IndexPath& ip) override { return !(ip.section == 0 && ip.row == 0); }
    void commitEditingStyle(TableView& tv, TableViewCellEditingStyle style, const IndexPath& ip) override {
        if (style != TableViewCellEditingStyle::Delete) return;
        committed.push_back(ip);
        auto& rows = sections[static_cast<std::size_t>(ip.section)];
        rows.erase(rows.begin() + ip.row);
        tv.deleteRowsAtIndexPaths({ip}, TableViewRowAnimation::Fade);
    }
    void didSelectRowAtIndexPath(TableView& tv, const IndexPath& ip) override {
        selected.push_back(ip);
        tv.deselectRowAtIndexPath(ip, true);
    }
};

class TableTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        table_ = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Grouped);
        table_->setDataSource(rows_);
        table_->setDelegate(rows_);
        window_->addSubview(table_);
        table_->layoutIfNeeded();
    }
    std::shared_ptr<Rows> rows_ = std::make_shared<Rows>();
    std::shared_ptr<TableView> table_;
};

TEST_F(TableTest, TwoSectionsWithTitlesAndRows) {
    EXPECT_EQ(table_->numberOfSections(), 2);
    EXPECT_EQ(table_->numberOfRowsInSection(1), 3);
    EXPECT_TRUE(app().isTextVisible("Section Two"));
    EXPECT_TRUE(app().isTextVisible("Swipe to delete"));
    EXPECT_TRUE(app().isTextVisible("B3"));
    // Grouped rows are inset from the edges, sections follow each other.
    Rect a1 = table_->rectForRowAtIndexPath({0, 0});
    Rect b1 = table_->rectForRowAtIndexPath({1, 0});
    EXPECT_EQ(a1.minX(), 10);
    EXPECT_EQ(a1.width(), 300);
    EXPECT_GT(b1.minY(), table_->rectForRowAtIndexPath({0, 1}).maxY());
    EXPECT_EQ(table_->indexPathForRowAtPoint(Point(100, b1.midY())), (IndexPath{1, 0}));
}

TEST_F(TableTest, EditModeDeleteReachesTheDataSourcesCommit) {
    table_->setEditing(true, true);
    table_->layoutIfNeeded();
    // The first row cannot be edited: it shows no editing control.
    EXPECT_FALSE(app().findElement("Delete A1"));
    tapNamed("Delete B2");
    ASSERT_TRUE(app().findElement("Delete"));
    EXPECT_TRUE(rows_->committed.empty());
    tapNamed("Delete");
    ASSERT_EQ(rows_->committed.size(), 1u);
    EXPECT_EQ(rows_->committed[0], (IndexPath{1, 1}));
    EXPECT_EQ(table_->numberOfRowsInSection(1), 2);
    table_->layoutIfNeeded();
    EXPECT_FALSE(app().isTextVisible("B2"));
    EXPECT_TRUE(app().isTextVisible("B3"));
}

TEST_F(TableTest, TappingTheEditingControlAgainCancelsTheDelete) {
    table_->setEditing(true, false);
    table_->layoutIfNeeded();
    tapNamed("Delete A2");
    ASSERT_TRUE(app().findElement("Delete"));
    // A tap on another row hides the delete button without selecting (rows
    // cannot be selected while editing, so it is not a named target).
    EXPECT_FALSE(app().findElement("B1"));
    Rect b1 = table_->convertRectToView(table_->rectForRowAtIndexPath({1, 0}), nullptr);
    tap(b1.center());
    EXPECT_FALSE(app().findElement("Delete"));
    EXPECT_TRUE(rows_->selected.empty());
    EXPECT_TRUE(rows_->committed.empty());
}

TEST_F(TableTest, SelectionReportsTheRowAndDeselectsAnimated) {
    tapNamed("B3");
    ASSERT_EQ(rows_->selected.size(), 1u);
    EXPECT_EQ(rows_->selected[0], (IndexPath{1, 2}));
    EXPECT_FALSE(table_->indexPathForSelectedRow());
    advance(0.5);
    EXPECT_FALSE(table_->cellForRowAtIndexPath({1, 2})->isSelected());
    // Rows are not selectable while editing (unless allowed).
    table_->setEditing(true, false);
    table_->layoutIfNeeded();
    EXPECT_FALSE(app().findElement("B3"));
}

TEST_F(TableTest, CellsAreReusedWhileScrolling) {
    rows_->sections[1].clear();
    for (int i = 0; i < 60; ++i) rows_->sections[1].push_back("Row " + std::to_string(i));
    table_->reloadData();
    int madeBefore = rows_->made;
    for (int i = 0; i < 20; ++i) {
        table_->setContentOffset(Point(0, i * 100.0f));
        table_->layoutIfNeeded();
    }
    EXPECT_LT(rows_->made, madeBefore + 5);
    EXPECT_TRUE(app().isTextVisible("Row 45"));
    EXPECT_FALSE(app().isTextVisible("Row 1\n"));
    table_->scrollToRowAtIndexPath({1, 59}, TableViewScrollPosition::Bottom, false);
    table_->layoutIfNeeded();
    EXPECT_NE(table_->cellForRowAtIndexPath({1, 59}), nullptr);
}

TEST_F(TableTest, HeightsComeFromTheDelegate) {
    struct Tall : Rows {
        std::optional<Float> heightForRowAtIndexPath(TableView&, const IndexPath& ip) override {
            return ip.row == 0 ? std::optional<Float>(80) : std::nullopt;
        }
    };
    auto tall = std::make_shared<Tall>();
    table_->setDataSource(tall);
    table_->setDelegate(tall);
    table_->reloadData();
    EXPECT_EQ(table_->rectForRowAtIndexPath({0, 0}).height(), 80);
    EXPECT_EQ(table_->rectForRowAtIndexPath({0, 1}).height(), 44);
}

}  // namespace

namespace {

// A settings-style table whose cells the screen makes once and keeps.
class KeptCells : public TableViewDataSource {
public:
    std::vector<std::shared_ptr<TableViewCell>> cells;
    KeptCells() {
        for (const char* t : {"Rest Timer", "Animations"}) {
            auto c = std::make_shared<TableViewCell>(TableViewCellStyle::Default);
            c->textLabel()->setText(t);
            cells.push_back(c);
        }
    }
    int numberOfRowsInSection(TableView&, int) override { return 2; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath& ip) override {
        return cells[static_cast<std::size_t>(ip.row)];
    }
};

class KeptCellsTest : public uitest::UITest {};

TEST_F(KeptCellsTest, CellsKeptByTheScreenOutliveTheirTable) {
    auto source = std::make_shared<KeptCells>();
    {
        auto table = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Grouped);
        table->setDataSource(source);
        window_->addSubview(table);
        table->layoutIfNeeded();
        table->reloadData();
        table->layoutIfNeeded();
        EXPECT_EQ(source->cells[0]->tableView(), table.get());
        table->removeFromSuperview();
    }
    EXPECT_EQ(source->cells[0]->tableView(), nullptr);
    // The cell can still be drawn and touched on its own.
    auto holder = std::make_shared<View>(Rect(0, 20, 320, 44));
    holder->addSubview(source->cells[0]);
    window_->addSubview(holder);
    tap(Point(160, 40));
    EXPECT_TRUE(renderScreen());
}

}  // namespace

namespace {

// A table put on screen and dragged before anything drew it: the finger
// lands on the laid-out screen, so the drag scrolls the long list.
TEST_F(TableTest, ADragBeforeTheFirstDrawingScrollsALongTable) {
    auto rows = std::make_shared<Rows>();
    rows->sections = {std::vector<std::string>(30, "Row")};
    auto table = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Plain);
    table->setDataSource(rows);
    table->setDelegate(rows);
    table_->removeFromSuperview();
    window_->addSubview(table);
    swipe(Point(160, 400), Point(160, 100));
    advance(2);
    EXPECT_GT(table->contentOffset().y, 100);
}

}  // namespace

namespace {

// Ten thousand rows in two sections under plain headers, the heights of
// the rows varying, laid out at several offsets down to the last page: the
// cells on screen are exactly the rows that reach into the view, each at
// the place a plain sum of the heights above it gives.
class LongRows : public TableViewDataSource, public TableViewDelegate {
public:
    static constexpr int kFirst = 3000, kSecond = 7000;
    int numberOfSectionsInTableView(TableView&) override { return 2; }
    int numberOfRowsInSection(TableView&, int s) override { return s == 0 ? kFirst : kSecond; }
    std::optional<std::string> titleForHeaderInSection(TableView&, int s) override { return s == 0 ? "Early" : "Late"; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, const IndexPath& ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("Long");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Default, "Long");
        cell->textLabel()->setText(std::to_string(ip.section) + ":" + std::to_string(ip.row));
        return cell;
    }
    static Float height(const IndexPath& ip) { return ip.row % 7 == 3 ? 75 : ip.row % 5 == 1 ? 30.5f : 44; }
    std::optional<Float> heightForRowAtIndexPath(TableView&, const IndexPath& ip) override { return height(ip); }
};

TEST_F(TableTest, TenThousandRowsShowExactlyTheRowsInViewAtEveryOffsetDownToTheLastPage) {
    auto rows = std::make_shared<LongRows>();
    auto table = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Plain);
    table->setDataSource(rows);
    table->setDelegate(rows);
    table_->removeFromSuperview();
    window_->addSubview(table);
    table->layoutIfNeeded();

    // Where each row lies, summed here in doubles.
    struct Placed {
        IndexPath ip;
        double top, height;
    };
    std::vector<Placed> all;
    double y = 0;
    for (int s = 0; s < 2; ++s) {
        y += 22;  // the plain header
        for (int r = 0; r < (s == 0 ? LongRows::kFirst : LongRows::kSecond); ++r) {
            IndexPath ip{s, r};
            all.push_back({ip, y, LongRows::height(ip)});
            y += LongRows::height(ip);
        }
    }
    ASSERT_DOUBLE_EQ(table->contentSize().height, y);
    const double last = y - 460;
    for (double offset : {0.0, 1000.25, 131234.0, 134000.0, y / 2, last - 1, last}) {
        table->setContentOffset(Point(0, static_cast<Float>(offset)));
        table->layoutIfNeeded();
        std::vector<IndexPath> expected;
        for (const auto& p : all)
            if (p.top + p.height > offset && p.top < offset + 460) expected.push_back(p.ip);
        ASSERT_FALSE(expected.empty());
        const Rect view = table->bounds();
        EXPECT_EQ(table->indexPathsForRowsInRect(view), expected) << "at " << offset;
        for (const auto& ip : expected) {
            auto cell = table->cellForRowAtIndexPath(ip);
            ASSERT_TRUE(cell) << "no cell for " << ip.section << ":" << ip.row << " at " << offset;
            EXPECT_EQ(cell->textLabel()->text(), std::to_string(ip.section) + ":" + std::to_string(ip.row));
            const Placed& p = *std::find_if(all.begin(), all.end(), [&](const Placed& q) { return q.ip == ip; });
            EXPECT_EQ(cell->frame(), Rect(0, static_cast<Float>(p.top), 320, static_cast<Float>(p.height)));
        }
        // Rows just out of sight have no cell; the point lookup finds the
        // row under the middle of the view.
        EXPECT_LE(table->visibleCells().size(), expected.size() + 2);
        const double middle = offset + 230;
        auto under = std::find_if(all.begin(), all.end(),
                                  [&](const Placed& p) { return p.top <= middle && middle < p.top + p.height; });
        ASSERT_NE(under, all.end());
        EXPECT_EQ(table->indexPathForRowAtPoint(Point(160, static_cast<Float>(middle))), under->ip) << "at " << offset;
    }
    // The last page shows the very last row.
    EXPECT_TRUE(table->cellForRowAtIndexPath({1, LongRows::kSecond - 1}));
    // A point on a header or past the end is on no row.
    EXPECT_FALSE(table->indexPathForRowAtPoint(Point(160, 10)));
    EXPECT_FALSE(table->indexPathForRowAtPoint(Point(160, static_cast<Float>(y + 5))));
}

}  // namespace
