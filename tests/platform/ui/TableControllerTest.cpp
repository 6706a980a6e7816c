#include "UITestSupport.h"

using namespace ui;

namespace {

// A log table: one plain section of days, editable, with an Add button
// that inserts a row at the top.
class LogTable : public TableViewController {
public:
    LogTable() : TableViewController(TableViewStyle::Plain) { setTitle("Log"); }
    std::vector<std::string> days{"Mon", "Wed", "Fri"};
    std::vector<std::string> events;

    void viewDidLoad() override {
        navigationItem()->setRightBarButtonItem(editButtonItem());
        navigationItem()->setLeftBarButtonItem(
            std::make_shared<BarButtonItem>(BarButtonSystemItem::Add, [this](BarButtonItem&) {
                days.insert(days.begin(), "Sun");
                tableView()->insertRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::Top);
            }));
    }
    int numberOfRowsInSection(TableView&, int) override { return static_cast<int>(days.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tv, const IndexPath& ip) override {
        auto cell = tv.dequeueReusableCellWithIdentifier("Day");
        if (!cell) cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle, "Day");
        cell->textLabel()->setText(days[static_cast<std::size_t>(ip.row)]);
        cell->detailTextLabel()->setText("Total Reps " + std::to_string(10 * (ip.row + 1)));
        cell->setAccessoryType(TableViewCellAccessoryType::DetailDisclosureButton);
        return cell;
    }
    std::optional<std::string> titleForHeaderInSection(TableView&, int) override { return "Week 1"; }
    void commitEditingStyle(TableView& tv, TableViewCellEditingStyle, const IndexPath& ip) override {
        days.erase(days.begin() + ip.row);
        tv.deleteRowsAtIndexPaths({ip}, TableViewRowAnimation::Fade);
    }
    std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, const IndexPath& ip) override {
        if (days[static_cast<std::size_t>(ip.row)] == "Wed") return std::nullopt;  // not selectable
        return ip;
    }
    void didSelectRowAtIndexPath(TableView&, const IndexPath& ip) override {
        events.push_back("select " + days[static_cast<std::size_t>(ip.row)]);
    }
    void accessoryButtonTappedForRowWithIndexPath(TableView&, const IndexPath& ip) override {
        events.push_back("detail " + days[static_cast<std::size_t>(ip.row)]);
    }
    std::string titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&, const IndexPath&) override {
        return "Remove";
    }
};

class TableControllerTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        nav_ = std::make_shared<NavigationController>(log_);
        window_->addSubview(nav_->view());
    }
    std::shared_ptr<LogTable> log_ = std::make_shared<LogTable>();
    std::shared_ptr<NavigationController> nav_;
};

TEST_F(TableControllerTest, TheControllerIsItsTablesDataSourceAndDelegate) {
    EXPECT_EQ(log_->tableView()->dataSource(), log_);
    EXPECT_TRUE(app().isTextVisible("Week 1"));
    EXPECT_TRUE(app().isTextVisible("Total Reps 20"));
    // Rows are found by their title and by their detail text.
    tapNamed("Total Reps 30");
    EXPECT_EQ(log_->events, std::vector<std::string>{"select Fri"});
    EXPECT_EQ(log_->tableView()->indexPathForSelectedRow(), (IndexPath{0, 2}));
}

TEST_F(TableControllerTest, WillSelectCanRefuseARow) {
    tapNamed("Wed");
    EXPECT_TRUE(log_->events.empty());
    EXPECT_FALSE(log_->tableView()->indexPathForSelectedRow());
}

TEST_F(TableControllerTest, TheDetailButtonGoesToTheDelegateNotTheSelection) {
    auto buttons = app().accessibleElements();
    int detailButtons = 0;
    for (auto& e : buttons)
        if (e.label == "More Info") ++detailButtons;
    EXPECT_EQ(detailButtons, 3);
    tapNamed("More Info");  // one of the three
    ASSERT_EQ(log_->events.size(), 1u);
    EXPECT_EQ(log_->events[0].rfind("detail ", 0), 0u);
    EXPECT_FALSE(log_->tableView()->indexPathForSelectedRow());
}

TEST_F(TableControllerTest, TheEditButtonTogglesTheTableAndDeletesUseTheDelegatesTitle) {
    tapNamed("Edit");
    EXPECT_TRUE(log_->isEditing());
    EXPECT_TRUE(log_->tableView()->isEditing());
    tapNamed("Delete Mon");
    tapNamed("Remove");
    EXPECT_EQ(log_->days, (std::vector<std::string>{"Wed", "Fri"}));
    EXPECT_FALSE(app().isTextVisible("Mon"));
    tapNamed("Done");
    EXPECT_FALSE(log_->tableView()->isEditing());
    EXPECT_FALSE(app().findElement("Delete Wed"));
}

TEST_F(TableControllerTest, InsertedRowsShowAtOnce) {
    tapNamed("Add");
    EXPECT_EQ(log_->tableView()->numberOfRowsInSection(0), 4);
    auto first = log_->tableView()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->textLabel()->text(), "Sun");
}

TEST_F(TableControllerTest, ComingBackClearsTheSelection) {
    tapNamed("Fri");
    ASSERT_TRUE(log_->tableView()->indexPathForSelectedRow());
    auto detail = std::make_shared<ViewController>();
    detail->setTitle("Day");
    nav_->pushViewController(detail, true);
    advance(1);
    nav_->popViewControllerAnimated(true);
    EXPECT_FALSE(log_->tableView()->indexPathForSelectedRow());
    advance(1);
}

TEST_F(TableControllerTest, PlainHeadersStayAtTheTopWhileTheirSectionScrolls) {
    for (int i = 0; i < 30; ++i) log_->days.push_back("Day " + std::to_string(i));
    auto table = log_->tableView();
    table->reloadData();
    table->setContentOffset(Point(0, 300));
    table->layoutIfNeeded();
    // The header is still in view, at the top of the visible area.
    EXPECT_TRUE(app().isTextVisible("Week 1"));
    bool found = false;
    for (auto& v : table->subviews())
        if (v->displayedText() == "Week 1") {
            found = true;
            EXPECT_EQ(v->frame().minY(), 300);
        }
    EXPECT_TRUE(found);
    // Shrinking the data keeps the offset inside the content.
    log_->days.resize(2);
    table->reloadData();
    EXPECT_EQ(table->contentOffset(), Point(0, 0));
}

class Alphabet : public TableViewDataSource {
public:
    int numberOfSectionsInTableView(TableView&) override { return 26; }
    int numberOfRowsInSection(TableView&, int) override { return 3; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath& ip) override {
        auto cell = std::make_shared<TableViewCell>();
        cell->textLabel()->setText(std::string(1, static_cast<char>('A' + ip.section)) + std::to_string(ip.row));
        return cell;
    }
    std::optional<std::string> titleForHeaderInSection(TableView&, int s) override {
        return std::string(1, static_cast<char>('A' + s));
    }
    std::vector<std::string> sectionIndexTitlesForTableView(TableView&) override {
        std::vector<std::string> out;
        for (char c = 'A'; c <= 'Z'; ++c) out.emplace_back(1, c);
        return out;
    }
};

TEST_F(TableControllerTest, TheSectionIndexJumpsToItsSection) {
    auto letters = std::make_shared<Alphabet>();
    auto table = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Plain);
    table->setDataSource(letters);
    window_->addSubview(table);
    table->layoutIfNeeded();
    EXPECT_LT(table->rectForRowAtIndexPath({0, 0}).width(), 320);  // room for the index
    tapNamed("Index M");
    EXPECT_EQ(table->contentOffset().y, table->rectForSection(12).minY());
    table->layoutIfNeeded();
    EXPECT_TRUE(app().isTextVisible("M1"));
}

}  // namespace

namespace {

// A form of fields in rows, as the login and share forms are.
class Form : public TableViewController {
public:
    Form() : TableViewController(TableViewStyle::Grouped) {
        for (int i = 0; i < 10; ++i) {
            auto cell = std::make_shared<TableViewCell>();
            auto field = std::make_shared<TextField>(Rect(100, 10, 180, 24));
            field->setPlaceholder("Field " + std::to_string(i));
            cell->contentView()->addSubview(field);
            cells.push_back(cell);
            fields.push_back(field);
        }
    }
    int numberOfRowsInSection(TableView&, int) override { return 10; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath& ip) override {
        return cells[static_cast<std::size_t>(ip.row)];
    }
    std::vector<std::shared_ptr<TableViewCell>> cells;
    std::vector<std::shared_ptr<TextField>> fields;
};

class FormTest : public uitest::UITest {};

TEST_F(FormTest, TheKeyboardNeverCoversTheFieldBeingTypedInto) {
    auto form = std::make_shared<Form>();
    window_->setRootViewController(form);
    form->tableView()->layoutIfNeeded();
    tapNamed("Field 7");
    ASSERT_TRUE(form->fields[7]->isFirstResponder());
    auto below = [&](int i) {
        return form->fields[static_cast<std::size_t>(i)]
            ->convertRectToView(form->fields[static_cast<std::size_t>(i)]->bounds(), nullptr)
            .maxY();
    };
    EXPECT_LE(below(7), 264);
    EXPECT_EQ(form->tableView()->contentInset().bottom, 216);
    // The last field can be reached too, and moving to it keeps it in view.
    form->tableView()->layoutIfNeeded();
    form->fields[9]->becomeFirstResponder();
    EXPECT_LE(below(9), 264);
    form->fields[9]->resignFirstResponder();
    EXPECT_EQ(form->tableView()->contentInset().bottom, 0);
}

}  // namespace
