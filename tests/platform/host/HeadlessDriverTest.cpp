#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "platform/base/Clock.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/host/HeadlessDriver.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace {

[[maybe_unused]] auto* const kHome = ::testing::AddGlobalTestEnvironment(new hosttest::HomeEnvironment);

using Log = std::shared_ptr<std::vector<std::string>>;

// A screen that records its appearance callbacks and shows its name.
class Recording : public ui::ViewController {
public:
    Recording(std::string name, Log log) : name_(std::move(name)), log_(std::move(log)) { setTitle(name_); }
    void loadView() override {
        auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
        view->setBackgroundColor(gfx::Color::white());
        auto label = std::make_shared<ui::Label>(ui::Rect(20, 100, 280, 30));
        label->setText(name_ + " screen");
        view->addSubview(label);
        setView(view);
    }
    void viewWillAppear(bool) override { log_->push_back(name_ + " will appear"); }
    void viewDidAppear(bool) override { log_->push_back(name_ + " did appear"); }
    void viewWillDisappear(bool) override { log_->push_back(name_ + " will disappear"); }
    void viewDidDisappear(bool) override { log_->push_back(name_ + " did disappear"); }

private:
    std::string name_;
    Log log_;
};

struct Launched {
    std::shared_ptr<hosttest::RootDelegate> delegate;
    template <class T>
    std::shared_ptr<T> root() const {
        return std::dynamic_pointer_cast<T>(delegate->root());
    }
};

Launched launch(host::HeadlessDriver& driver, std::function<std::shared_ptr<ui::ViewController>()> makeRoot) {
    auto delegate = std::make_shared<hosttest::RootDelegate>(std::move(makeRoot));
    EXPECT_TRUE(driver.start(delegate));
    return {delegate};
}

TEST(HeadlessDriver, RunsOnAManualClockAtScaleTwo) {
    host::HeadlessDriver driver;
    EXPECT_TRUE(base::Clock::current().isManual());
    EXPECT_EQ(ui::Screen::mainScreen().scale(), 2);
    auto log = std::make_shared<std::vector<std::string>>();
    auto launched = launch(driver, [&] { return std::make_shared<Recording>("Home", log); });
    double start = base::Clock::current().now();
    int fired = 0;
    auto timer = base::Timer::scheduledTimer(1, true, [&](base::Timer&) { ++fired; });
    driver.tap("nothing by this name");
    EXPECT_EQ(base::Clock::current().now(), start) << "steps other than wait do not move time";
    driver.wait(3.5);
    EXPECT_EQ(fired, 3);
    EXPECT_DOUBLE_EQ(base::Clock::current().now(), start + 3.5);
    timer->invalidate();

    auto image = driver.renderScreen();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 640);
    EXPECT_EQ(image->height(), 960);
    driver.quit();
    EXPECT_EQ(launched.delegate->terminations, 1);
    EXPECT_FALSE(driver.tap("Home screen"));
    EXPECT_EQ(driver.lastError(), "the application has quit");
}

TEST(HeadlessDriver, NavigationPushAndPopCallAppearanceInTheToolkitsOrder) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    auto launched = launch(
        driver, [&] { return std::make_shared<ui::NavigationController>(std::make_shared<Recording>("First", log)); });
    EXPECT_EQ(*log, (std::vector<std::string>{"First will appear", "First did appear"}));
    log->clear();

    auto nav = launched.root<ui::NavigationController>();
    nav->pushViewController(std::make_shared<Recording>("Second", log), true);
    EXPECT_EQ(*log, (std::vector<std::string>{"First will disappear", "Second will appear"}))
        << "the did-callbacks wait for the slide";
    driver.wait(1);
    EXPECT_EQ(*log, (std::vector<std::string>{"First will disappear", "Second will appear", "First did disappear",
                                              "Second did appear"}));
    EXPECT_TRUE(driver.expect("Second screen"));
    log->clear();

    // The back button is titled by the previous screen.
    ASSERT_TRUE(driver.tap("First")) << driver.lastError();
    driver.wait(1);
    EXPECT_EQ(*log, (std::vector<std::string>{"Second will disappear", "First will appear", "Second did disappear",
                                              "First did appear"}));
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_TRUE(driver.expect("First screen"));
    EXPECT_TRUE(driver.expectNot("Second screen"));
}

// A screen with a button that counts its taps.
class Counter : public Recording {
public:
    Counter(std::string name, Log log) : Recording(std::move(name), std::move(log)) {}
    void viewDidLoad() override {
        auto button = ui::Button::buttonWithType(ui::ButtonType::RoundedRect);
        button->setFrame(ui::Rect(20, 200, 280, 44));
        button->setTitle(std::string("Count"));
        button->addTarget([this] { ++taps; }, ui::ControlEvents::TouchUpInside);
        view()->addSubview(button);
    }
    int taps = 0;
};

TEST(HeadlessDriver, AModalPresentationCoversTheScreenAndItsDismissalReturns) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    auto launched = launch(driver, [&] { return std::make_shared<Counter>("Home", log); });
    auto home = launched.root<Counter>();
    ASSERT_TRUE(driver.tap("Count"));
    EXPECT_EQ(home->taps, 1);
    log->clear();

    auto modal = std::make_shared<Counter>("Modal", log);
    home->presentModalViewController(modal, true);
    driver.wait(1);
    EXPECT_EQ(*log, (std::vector<std::string>{"Home will disappear", "Modal will appear", "Home did disappear",
                                              "Modal did appear"}));
    EXPECT_EQ(home->modalViewController(), modal);
    EXPECT_EQ(modal->presentingViewController(), home);
    // The modal screen takes the whole screen below the status bar: a tap
    // where Home's button is reaches the modal's button instead.
    ui::Rect covered = modal->view()->convertRectToView(modal->view()->bounds(), nullptr);
    EXPECT_TRUE(covered.contains(ui::Rect(0, 20, 320, 460))) << covered.x() << "," << covered.y();
    ASSERT_TRUE(driver.tapAt(160, 222));
    EXPECT_EQ(modal->taps, 1);
    EXPECT_EQ(home->taps, 1);
    log->clear();

    modal->dismissModalViewControllerAnimated(true);
    driver.wait(1);
    EXPECT_EQ(*log, (std::vector<std::string>{"Modal will disappear", "Home will appear", "Modal did disappear",
                                              "Home did appear"}));
    EXPECT_FALSE(home->modalViewController());
    ASSERT_TRUE(driver.tapAt(160, 222));
    EXPECT_EQ(home->taps, 2);
    EXPECT_TRUE(driver.expectNot("Modal screen"));
}

class AlertRecorder : public ui::AlertViewDelegate {
public:
    void clickedButtonAtIndex(ui::AlertView&, int index) override { clicked.push_back(index); }
    void didDismissWithButtonIndex(ui::AlertView&, int index) override { dismissed.push_back(index); }
    std::vector<int> clicked, dismissed;
};

TEST(HeadlessDriver, AnAlertsButtonReportsItsIndexToTheDelegate) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    auto launched = launch(driver, [&] { return std::make_shared<Counter>("Home", log); });
    auto recorder = std::make_shared<AlertRecorder>();
    auto alert = std::make_shared<ui::AlertView>("Reset", "Start the plan again?", recorder, std::string("Cancel"),
                                                 std::vector<std::string>{"Week 1", "Week 4"});
    alert->show();
    driver.settle();
    EXPECT_TRUE(driver.expect("Start the plan again?"));
    // Nothing under the alert can be tapped while it is up.
    EXPECT_FALSE(driver.tap("Count"));
    EXPECT_EQ(launched.root<Counter>()->taps, 0);

    ASSERT_TRUE(driver.tap("Week 4")) << driver.lastError();
    driver.wait(1);
    EXPECT_EQ(recorder->clicked, std::vector<int>{2});
    EXPECT_EQ(recorder->dismissed, std::vector<int>{2});
    EXPECT_TRUE(driver.expectNot("Start the plan again?"));
    EXPECT_TRUE(driver.tap("Count"));
}

// A grouped table of two sections whose rows can be deleted in edit mode.
class Sections : public ui::TableViewController {
public:
    Sections() : ui::TableViewController(ui::TableViewStyle::Grouped) { setTitle("Log"); }
    void viewDidLoad() override { navigationItem()->setRightBarButtonItem(editButtonItem()); }
    int numberOfSectionsInTableView(ui::TableView&) override { return 2; }
    int numberOfRowsInSection(ui::TableView&, int section) override {
        return static_cast<int>(rows[static_cast<std::size_t>(section)].size());
    }
    std::optional<std::string> titleForHeaderInSection(ui::TableView&, int section) override {
        return section == 0 ? "This week" : "Earlier";
    }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, const ui::IndexPath& path) override {
        auto cell = table.dequeueReusableCellWithIdentifier("Day");
        if (!cell) cell = std::make_shared<ui::TableViewCell>(ui::TableViewCellStyle::Default, "Day");
        cell->textLabel()->setText(rows[static_cast<std::size_t>(path.section)][static_cast<std::size_t>(path.row)]);
        return cell;
    }
    bool canEditRowAtIndexPath(ui::TableView&, const ui::IndexPath&) override { return true; }
    void commitEditingStyle(ui::TableView& table, ui::TableViewCellEditingStyle style,
                            const ui::IndexPath& path) override {
        commits.emplace_back(path.section, path.row);
        if (style != ui::TableViewCellEditingStyle::Delete) return;
        auto& section = rows[static_cast<std::size_t>(path.section)];
        section.erase(section.begin() + path.row);
        table.deleteRowsAtIndexPaths({path}, ui::TableViewRowAnimation::Fade);
    }
    std::vector<std::vector<std::string>> rows{{"Monday", "Wednesday"}, {"Last Friday", "Last Monday", "Older"}};
    std::vector<std::pair<int, int>> commits;
};

TEST(HeadlessDriver, AnEditModeDeleteInATableOfTwoSectionsReachesTheDataSource) {
    host::HeadlessDriver driver;
    std::shared_ptr<Sections> table;
    launch(driver, [&] {
        table = std::make_shared<Sections>();
        return std::make_shared<ui::NavigationController>(table);
    });
    EXPECT_TRUE(driver.expect("This week"));
    EXPECT_TRUE(driver.expect("Last Monday"));
    ASSERT_TRUE(driver.tap("Edit")) << driver.lastError();
    driver.wait(1);
    EXPECT_TRUE(table->isEditing());

    // The row's delete control, then its Delete button.
    auto* app = &driver.application();
    std::optional<ui::AccessibleElement> minus;
    for (auto& e : app->accessibleElements())
        if (e.label.find("Delete") != std::string::npos && e.label.find("Last Monday") != std::string::npos) minus = e;
    ASSERT_TRUE(minus) << driver.dump();
    ASSERT_TRUE(driver.tap(minus->label));
    driver.wait(0.5);
    ASSERT_TRUE(driver.tap("Delete")) << driver.lastError() << "\n" << driver.dump();
    driver.wait(1);
    EXPECT_EQ(table->commits, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_TRUE(driver.expectNot("Last Monday"));
    EXPECT_TRUE(driver.expect("Older"));
    EXPECT_EQ(table->tableView()->numberOfRowsInSection(1), 2);
}

class Pages : public ui::ViewController, public ui::ScrollViewDelegate {
public:
    void loadView() override {
        auto scroll = std::make_shared<ui::ScrollView>(ui::Rect(0, 20, 320, 460));
        scroll->setContentSize(ui::Size(960, 460));
        scroll->setPagingEnabled(true);
        for (int i = 0; i < 3; ++i) {
            auto label = std::make_shared<ui::Label>(ui::Rect(320.0f * i + 20, 100, 280, 30));
            label->setText("Page " + std::to_string(i + 1));
            scroll->addSubview(label);
        }
        scroll_ = scroll;
        setView(scroll);
    }
    void viewDidLoad() override {
        scroll_->setDelegate(std::dynamic_pointer_cast<ui::ScrollViewDelegate>(shared_from_this()));
    }
    void scrollViewDidScroll(ui::ScrollView&) override { ++scrolls; }
    void scrollViewDidEndDecelerating(ui::ScrollView&) override { ++settled; }
    std::shared_ptr<ui::ScrollView> scroll_;
    int scrolls = 0, settled = 0;
};

TEST(HeadlessDriver, APagingScrollViewLandsOnPageTwoAfterASwipe) {
    host::HeadlessDriver driver;
    std::shared_ptr<Pages> pages;
    launch(driver, [&] { return pages = std::make_shared<Pages>(); });
    ASSERT_TRUE(driver.swipe(ui::Point(260, 240), ui::Point(100, 240), 0.25, 10));
    driver.wait(2);
    EXPECT_FLOAT_EQ(pages->scroll_->contentOffset().x, 320);
    EXPECT_FLOAT_EQ(pages->scroll_->contentOffset().y, 0);
    EXPECT_GT(pages->scrolls, 0);
    EXPECT_EQ(pages->settled, 1);
}

TEST(HeadlessDriver, AnimationsCompleteOnTheManualClockAndReportFinished) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    auto launched = launch(driver, [&] { return std::make_shared<Recording>("Home", log); });
    auto view = launched.delegate->root()->view();
    std::vector<bool> completions;
    ui::View::animate(
        0.5, [&] { view->setAlpha(0.2f); }, [&](bool finished) { completions.push_back(finished); });
    EXPECT_FLOAT_EQ(view->alpha(), 0.2f) << "the model value changes at once";
    driver.wait(0.25);
    EXPECT_TRUE(completions.empty());
    EXPECT_GT(view->presentationAlpha(), 0.2f);
    EXPECT_LT(view->presentationAlpha(), 1.0f);
    driver.wait(0.3);
    EXPECT_EQ(completions, std::vector<bool>{true});
    EXPECT_FLOAT_EQ(view->presentationAlpha(), 0.2f);

    std::vector<std::pair<std::string, bool>> stops;
    ui::View::beginAnimations("slide");
    ui::View::setAnimationDuration(1);
    ui::View::setAnimationDidStop(
        [&](const std::string& id, bool finished, const std::any&) { stops.emplace_back(id, finished); });
    view->setCenter(ui::Point(160, 300));
    ui::View::commitAnimations();
    driver.wait(0.5);
    EXPECT_TRUE(stops.empty());
    driver.wait(0.6);
    EXPECT_EQ(stops, (std::vector<std::pair<std::string, bool>>{{"slide", true}}));
    EXPECT_FALSE(ui::View::hasRunningAnimations());
}

TEST(HeadlessDriver, BackgroundSuspendsTimersAndComesBack) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    launch(driver, [&] { return std::make_shared<Recording>("Home", log); });
    std::vector<std::string> events;
    auto& center = base::NotificationCenter::defaultCenter();
    std::vector<base::NotificationCenter::Token> tokens;
    for (const char* name :
         {ui::ApplicationDidEnterBackgroundNotification, ui::ApplicationWillEnterForegroundNotification})
        tokens.push_back(center.addObserver(nullptr, name, nullptr,
                                            [&events](const base::Notification& n) { events.push_back(n.name); }));
    int ticks = 0;
    auto timer = base::Timer::scheduledTimer(1, true, [&](base::Timer&) { ++ticks; });
    double before = base::Clock::current().now();
    driver.background(30);
    EXPECT_DOUBLE_EQ(base::Clock::current().now(), before + 30);
    EXPECT_EQ(events, (std::vector<std::string>{ui::ApplicationDidEnterBackgroundNotification,
                                                ui::ApplicationWillEnterForegroundNotification}));
    EXPECT_EQ(ticks, 1) << "a suspended application's timer fires once on return, not once per second";
    EXPECT_EQ(driver.application().applicationState(), ui::ApplicationState::Active);
    timer->invalidate();
    for (auto t : tokens) center.removeObserver(t);
}

TEST(HeadlessDriver, TypingNeedsATextInputAndScreenshotsAreRealPNGs) {
    host::HeadlessDriver driver;
    std::shared_ptr<ui::TextField> field;
    auto log = std::make_shared<std::vector<std::string>>();
    launch(driver, [&] {
        auto root = std::make_shared<Recording>("Home", log);
        field = std::make_shared<ui::TextField>(ui::Rect(20, 160, 280, 31));
        field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
        field->setPlaceholder("Reps");
        root->view()->addSubview(field);
        return root;
    });
    EXPECT_FALSE(driver.type("12"));
    EXPECT_NE(driver.lastError().find("no text input"), std::string::npos);
    EXPECT_FALSE(driver.pressReturn());
    ASSERT_TRUE(driver.tap("Reps")) << driver.dump();
    EXPECT_TRUE(driver.application().isKeyboardVisible());
    EXPECT_TRUE(driver.type("12"));
    EXPECT_EQ(field->text(), "12");
    EXPECT_TRUE(driver.expect("12"));

    auto dir = std::filesystem::temp_directory_path() / ("tolvek-host-shot-" + std::to_string(::getpid()));
    std::string path = (dir / "nested" / "shot.png").string();
    ASSERT_TRUE(driver.screenshot(path)) << driver.lastError();
    auto image = gfx::Image::load(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 640);
    EXPECT_EQ(image->height(), 960);
    EXPECT_GT(hosttest::distinctColours(*image), 8);
    // "Home screen" is drawn 100 points below the status bar.
    EXPECT_GT(hosttest::darkPixels(*image, 40, 230, 560, 310), 30);
    EXPECT_FALSE(driver.screenshot((dir / "nested" / "shot.png" / "inside.png").string()));
    std::filesystem::remove_all(dir);
}

TEST(HeadlessDriver, SettleRunsZeroDelayWorkButNotLaterWork) {
    host::HeadlessDriver driver;
    auto log = std::make_shared<std::vector<std::string>>();
    launch(driver, [&] { return std::make_shared<Recording>("Home", log); });
    int now = 0, later = 0;
    base::RunLoop::main().performAfterDelay(0, [&] { ++now; });
    base::RunLoop::main().performAfterDelay(0.5, [&] { ++later; });
    base::RunLoop::main().performOnMainThread([&] { ++now; });
    driver.shake();
    EXPECT_EQ(now, 2);
    EXPECT_EQ(later, 0);
    driver.wait(0.5);
    EXPECT_EQ(later, 1);
}

}  // namespace
