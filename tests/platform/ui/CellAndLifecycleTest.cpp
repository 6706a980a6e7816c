#include "UITestSupport.h"

using namespace ui;

namespace {

class CellAndLifecycleTest : public uitest::UITest {};

TEST_F(CellAndLifecycleTest, CellStylesPlaceTheirLabels) {
    auto subtitle = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle);
    subtitle->setFrame(Rect(0, 0, 320, 60));
    subtitle->textLabel()->setText("Week 1 Day 2");
    subtitle->detailTextLabel()->setText("Total Reps 31");
    subtitle->layoutIfNeeded();
    EXPECT_LT(subtitle->textLabel()->frame().maxY(), subtitle->detailTextLabel()->frame().maxY());
    EXPECT_EQ(subtitle->textLabel()->frame().minX(), subtitle->detailTextLabel()->frame().minX());

    auto value = std::make_shared<TableViewCell>(TableViewCellStyle::Value1);
    value->setFrame(Rect(0, 0, 300, 44));
    value->textLabel()->setText("Rest");
    value->detailTextLabel()->setText("60 s");
    value->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
    value->layoutIfNeeded();
    Rect detail = value->detailTextLabel()->convertRectToView(value->detailTextLabel()->bounds(), value.get());
    EXPECT_GT(detail.minX(), 200);
    EXPECT_LT(detail.maxX(), 300 - 20);  // clear of the chevron

    EXPECT_EQ(std::make_shared<TableViewCell>(TableViewCellStyle::Default)->detailTextLabel(), nullptr);
}

TEST_F(CellAndLifecycleTest, SubtitleDetailOfTwoLinesGetsBothLines) {
    auto cell = std::make_shared<TableViewCell>(TableViewCellStyle::Subtitle);
    cell->setFrame(Rect(0, 0, 320, 75));
    cell->textLabel()->setText("08-December-2026");
    cell->detailTextLabel()->setText("Week 1 Day 2 Level 1 Total Reps 31\nMade up of Sets:6, 6, 7, 6, 6");
    cell->detailTextLabel()->setNumberOfLines(2);
    cell->layoutIfNeeded();
    const Float line = cell->detailTextLabel()->font().lineHeight();
    const Rect detail = cell->detailTextLabel()->frame();
    EXPECT_GE(detail.height(), 2 * line - 1);
    EXPECT_LE(detail.height(), 2 * line + 1);
    // Title and detail stay inside the cell, the detail under the title.
    EXPECT_GE(cell->textLabel()->frame().minY(), 0);
    EXPECT_LE(detail.maxY(), 75);
    EXPECT_GE(detail.minY(), cell->textLabel()->frame().maxY());

    // A one-line detail keeps one line's height.
    cell->detailTextLabel()->setNumberOfLines(1);
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_FLOAT_EQ(cell->detailTextLabel()->frame().height(), line);
}

TEST_F(CellAndLifecycleTest, AnAccessoryViewHidesWhileEditingAndCellsCanRefuseSelection) {
    struct Source : TableViewDataSource {
        std::shared_ptr<TableViewCell> cell = std::make_shared<TableViewCell>();
        Source() {
            cell->textLabel()->setText("Animations");
            cell->setAccessoryView(std::make_shared<Switch>());
            cell->setSelectionStyle(TableViewCellSelectionStyle::None);
        }
        int numberOfRowsInSection(TableView&, int) override { return 1; }
        std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView&, const IndexPath&) override { return cell; }
    };
    auto source = std::make_shared<Source>();
    auto table = std::make_shared<TableView>(Rect(0, 20, 320, 460), TableViewStyle::Grouped);
    table->setDataSource(source);
    window_->addSubview(table);
    table->layoutIfNeeded();
    // The switch in the row is tapped by its own name.
    tapNamed("Switch");
    EXPECT_TRUE(std::static_pointer_cast<Switch>(source->cell->accessoryView())->isOn());
    table->setEditing(true, false);
    table->layoutIfNeeded();
    source->cell->layoutIfNeeded();
    EXPECT_TRUE(source->cell->accessoryView()->isHidden());
    EXPECT_FALSE(app().findElement("Switch"));
}

TEST_F(CellAndLifecycleTest, AnAlertDismissedInCodeDoesNotReportAClick) {
    struct Delegate : AlertViewDelegate {
        std::vector<std::string> events;
        void clickedButtonAtIndex(AlertView&, int i) override { events.push_back("clicked " + std::to_string(i)); }
        void didDismissWithButtonIndex(AlertView&, int i) override {
            events.push_back("dismissed " + std::to_string(i));
        }
        void didPresentAlertView(AlertView&) override { events.push_back("presented"); }
    };
    auto d = std::make_shared<Delegate>();
    auto alert = std::make_shared<AlertView>("Share", "", d, std::nullopt);
    EXPECT_EQ(alert->addButtonWithTitle("Mail"), 0);
    EXPECT_EQ(alert->addButtonWithTitle("Cancel"), 1);
    alert->setCancelButtonIndex(1);
    EXPECT_EQ(alert->cancelButtonIndex(), 1);
    EXPECT_EQ(alert->firstOtherButtonIndex(), 0);
    alert->setTag(5);
    alert->show();
    advance(0.5);
    EXPECT_TRUE(alert->isVisible());
    alert->dismissWithClickedButtonIndex(1, false);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(d->events, (std::vector<std::string>{"presented", "dismissed 1"}));
    // A second dismissal does nothing.
    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(d->events.size(), 2u);
    EXPECT_EQ(alert->tag(), 5);
}

TEST_F(CellAndLifecycleTest, AnAlertWithoutADelegateOrButtonsStillGoesAway) {
    auto alert = std::make_shared<AlertView>("Saved", "Your log was exported.", std::weak_ptr<AlertViewDelegate>(),
                                             std::string("Ok"));
    {
        auto delegateGone = std::make_shared<AlertViewDelegate>();
        alert->setDelegate(delegateGone);
    }
    alert->show();
    tapNamed("Ok");
    advance(0.5);
    EXPECT_EQ(app().frontAlert(), nullptr);
}

TEST_F(CellAndLifecycleTest, TheViewLoadsOnceOnFirstUseFromLoadView) {
    struct Built : ViewController {
        Built() : ViewController("SetupView") {}
        int loads = 0, didLoads = 0;
        void loadView() override {
            ++loads;
            auto v = std::make_shared<View>(Rect(0, 0, 320, 460));
            v->setTag(99);
            setView(v);
        }
        void viewDidLoad() override {
            ++didLoads;
            EXPECT_TRUE(isViewLoaded());
        }
    };
    auto vc = std::make_shared<Built>();
    EXPECT_EQ(vc->nibName(), "SetupView");
    EXPECT_FALSE(vc->isViewLoaded());
    EXPECT_EQ(vc->view()->tag(), 99);
    vc->view();
    EXPECT_EQ(vc->loads, 1);
    EXPECT_EQ(vc->didLoads, 1);
    EXPECT_EQ(vc->view()->viewController(), vc);
    // A controller without its own loadView gets a plain white view.
    auto plain = std::make_shared<ViewController>();
    EXPECT_EQ(plain->view()->frame(), Screen::mainScreen().applicationFrame());
    EXPECT_EQ(plain->view()->backgroundColor(), gfx::Color::white());
    EXPECT_TRUE(plain->shouldAutorotateToInterfaceOrientation(InterfaceOrientation::Portrait));
    EXPECT_FALSE(plain->shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
}

TEST_F(CellAndLifecycleTest, AModalNavigationControllersRootDismissesIt) {
    auto home = std::make_shared<ViewController>();
    window_->setRootViewController(home);
    auto form = std::make_shared<ViewController>();
    form->setTitle("Log In");
    auto formNav = std::make_shared<NavigationController>(form);
    int cancels = 0;
    form->navigationItem()->setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Cancel, [&](BarButtonItem&) {
            ++cancels;
            form->dismissModalViewControllerAnimated(true);
        }));
    home->presentModalViewController(formNav, false);
    EXPECT_TRUE(app().isTextVisible("Log In"));
    tapNamed("Cancel");
    advance(1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(home->modalViewController(), nullptr);
    EXPECT_FALSE(app().isTextVisible("Log In"));
    EXPECT_TRUE(home->isViewVisible());
}

}  // namespace
