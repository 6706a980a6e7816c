#include "UITestSupport.h"

using namespace ui;
using uitest::LoggingController;

namespace {

// A screen that asks a question as it arrives (as its slide begins, or once
// it has ended) and records the answers. Escape names the first button and
// Return the second, so that any answer a key gives shows.
class AskingController : public LoggingController, public AlertViewDelegate {
public:
    enum class Asks { Never, AsItSlidesIn, OnceItIsIn };
    AskingController(std::string name, std::shared_ptr<std::vector<std::string>> log)
        : LoggingController(std::move(name), std::move(log)) {}
    void viewWillAppear(bool animated) override {
        LoggingController::viewWillAppear(animated);
        if (asks == Asks::AsItSlidesIn) ask();
    }
    void viewDidAppear(bool animated) override {
        LoggingController::viewDidAppear(animated);
        if (asks == Asks::OnceItIsIn) ask();
    }
    void clickedButtonAtIndex(AlertView&, int index) override { answers.push_back(index); }
    void ask() {
        question = std::make_shared<AlertView>("Resume", "Go on where you left off?",
                                               std::dynamic_pointer_cast<AlertViewDelegate>(shared_from_this()),
                                               std::string("Keep"), std::vector<std::string>{"Restart"});
        question->setKeys(KeyAnswer::press(1), KeyAnswer::press(0));
        question->show();
    }
    Asks asks = Asks::Never;
    std::shared_ptr<AlertView> question;
    std::vector<int> answers;
};

class NavigationTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        log_ = std::make_shared<std::vector<std::string>>();
        first_ = std::make_shared<LoggingController>("First", log_);
        nav_ = std::make_shared<NavigationController>(first_);
        window_->addSubview(nav_->view());
    }
    std::shared_ptr<std::vector<std::string>> log_;
    std::shared_ptr<LoggingController> first_;
    std::shared_ptr<NavigationController> nav_;
};

TEST_F(NavigationTest, RootAppearsWhenTheNavigationViewEntersTheWindow) {
    EXPECT_EQ(*log_, (std::vector<std::string>{"First.viewDidLoad", "First.viewWillAppear", "First.viewDidAppear"}));
    EXPECT_EQ(first_->navigationController(), nav_);
    EXPECT_TRUE(app().isTextVisible("First"));
}

TEST_F(NavigationTest, AnimatedPushAndPopCallTheAppearanceCallbacksInOrder) {
    log_->clear();
    auto second = std::make_shared<LoggingController>("Second", log_);
    nav_->pushViewController(second, true);
    // The will-callbacks come at once, the did-callbacks after the slide.
    EXPECT_EQ(*log_,
              (std::vector<std::string>{"Second.viewDidLoad", "First.viewWillDisappear", "Second.viewWillAppear"}));
    EXPECT_TRUE(nav_->isTransitioning());
    advance(0.5);
    EXPECT_EQ(*log_, (std::vector<std::string>{"Second.viewDidLoad", "First.viewWillDisappear", "Second.viewWillAppear",
                                               "First.viewDidDisappear", "Second.viewDidAppear"}));
    EXPECT_EQ(nav_->topViewController(), second);
    EXPECT_EQ(second->view()->frame(), Rect(0, 44, 320, 416));
    EXPECT_EQ(first_->view()->superview(), nullptr);

    log_->clear();
    EXPECT_EQ(nav_->popViewControllerAnimated(true), second);
    EXPECT_EQ(*log_, (std::vector<std::string>{"Second.viewWillDisappear", "First.viewWillAppear"}));
    advance(0.5);
    EXPECT_EQ(*log_, (std::vector<std::string>{"Second.viewWillDisappear", "First.viewWillAppear",
                                               "Second.viewDidDisappear", "First.viewDidAppear"}));
    EXPECT_EQ(nav_->viewControllers().size(), 1u);
    EXPECT_EQ(second->navigationController(), nullptr);
}

TEST_F(NavigationTest, TheBackButtonIsTitledByThePreviousScreenAndPops) {
    auto second = std::make_shared<LoggingController>("Second", log_);
    nav_->pushViewController(second, false);
    EXPECT_TRUE(app().isTextVisible("Second"));
    ASSERT_TRUE(app().findElement("First"));
    EXPECT_EQ(app().findElement("First")->className, "BarButton");
    tapNamed("First");
    advance(0.5);
    EXPECT_EQ(nav_->topViewController(), first_);
    // The root has no back button.
    EXPECT_FALSE(app().findElement("First"));
}

TEST_F(NavigationTest, EscapeGoesBackWhereTheBackButtonIsShown) {
    window_->setRootViewController(nav_);
    app().pressEscape();  // the root: nowhere to go back to
    EXPECT_EQ(nav_->topViewController(), first_);
    auto second = std::make_shared<LoggingController>("Second", log_);
    auto third = std::make_shared<LoggingController>("Third", log_);
    nav_->pushViewController(second, false);
    nav_->pushViewController(third, false);
    // A screen that hides its back button (a workout under way) stays.
    third->navigationItem()->setHidesBackButton(true);
    app().pressEscape();
    advance(0.5);
    EXPECT_EQ(nav_->topViewController(), third);
    third->navigationItem()->setHidesBackButton(false);
    app().pressEscape();
    advance(0.5);
    EXPECT_EQ(nav_->topViewController(), second);
    // An alert in front takes the key: the screen behind stays.
    auto alert = std::make_shared<AlertView>("Note", "", std::weak_ptr<AlertViewDelegate>(), std::nullopt,
                                             std::vector<std::string>{"OK"});
    alert->show();
    app().pressEscape();
    advance(0.5);
    EXPECT_EQ(nav_->topViewController(), second);
    alert->dismissWithClickedButtonIndex(0, false);
    app().pressEscape();
    advance(0.5);
    EXPECT_EQ(nav_->topViewController(), first_);
}

TEST_F(NavigationTest, EscapesPressedWhileAScreenSlidesWaitForTheSlide) {
    window_->setRootViewController(nav_);
    for (const char* title : {"Second", "Third", "Fourth"})
        nav_->pushViewController(std::make_shared<LoggingController>(title, log_), false);
    // Five at once: the first starts a slide back, the next two go back once
    // each when the slide before them ends, and the last two find the root.
    for (int i = 0; i < 5; ++i) app().pressEscape();
    EXPECT_EQ(nav_->viewControllers().size(), 3u);
    advance(2);
    EXPECT_EQ(nav_->viewControllers().size(), 1u);
    EXPECT_EQ(nav_->topViewController(), first_);
    // None is left over for the next screen.
    nav_->pushViewController(std::make_shared<LoggingController>("Fifth", log_), true);
    advance(1);
    EXPECT_EQ(nav_->viewControllers().size(), 2u);
}

TEST_F(NavigationTest, EscapesWaitingForASlideAreDroppedWhenTheArrivingScreenAsks) {
    window_->setRootViewController(nav_);
    auto asking = std::make_shared<AskingController>("Asking", log_);
    asking->asks = AskingController::Asks::OnceItIsIn;
    nav_->pushViewController(asking, true);
    for (int i = 0; i < 3; ++i) app().pressEscape();
    advance(2);
    ASSERT_TRUE(asking->question);
    EXPECT_EQ(app().frontAlert(), asking->question);
    EXPECT_TRUE(asking->answers.empty());
    EXPECT_EQ(nav_->topViewController(), asking);
    // Once the question is up, the key answers it as the alert names.
    app().pressEscape();
    advance(1);
    EXPECT_EQ(asking->answers, std::vector<int>{0});
    EXPECT_EQ(nav_->topViewController(), asking);
}

TEST_F(NavigationTest, NoKeyAnswersAQuestionThatCameUpWithASlidingScreen) {
    window_->setRootViewController(nav_);
    auto asking = std::make_shared<AskingController>("Asking", log_);
    asking->asks = AskingController::Asks::AsItSlidesIn;
    nav_->pushViewController(asking, true);
    ASSERT_EQ(app().frontAlert(), asking->question);
    advance(0.1);  // mid-slide: the question is fading in
    app().pressEscape();
    app().pressReturn();
    app().pressEscape();
    advance(2);
    EXPECT_EQ(app().frontAlert(), asking->question);
    EXPECT_TRUE(asking->answers.empty());
    EXPECT_EQ(nav_->topViewController(), asking);
    app().pressReturn();
    advance(1);
    EXPECT_EQ(asking->answers, std::vector<int>{1});
}

TEST_F(NavigationTest, AWaitingEscapeGoesBackButNeverPressesCancel) {
    window_->setRootViewController(nav_);
    int cancels = 0;
    auto form = std::make_shared<LoggingController>("Form", log_);
    form->navigationItem()->setLeftBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Cancel, [&](BarButtonItem&) { ++cancels; }));
    nav_->pushViewController(form, true);
    app().pressEscape();
    advance(1);
    EXPECT_EQ(cancels, 0);
    EXPECT_EQ(nav_->topViewController(), form);
    // Pressed on the screen in front, Escape does press its Cancel.
    app().pressEscape();
    EXPECT_EQ(cancels, 1);
}

TEST_F(NavigationTest, ABackThatLandsOnAQuestionDropsTheEscapesStillWaiting) {
    window_->setRootViewController(nav_);
    auto asking = std::make_shared<AskingController>("Second", log_);
    nav_->pushViewController(asking, false);
    for (const char* title : {"Third", "Fourth"})
        nav_->pushViewController(std::make_shared<LoggingController>(title, log_), false);
    asking->asks = AskingController::Asks::OnceItIsIn;
    // The first slides back to Third, the second on to Second, which asks:
    // the other three neither answer it nor go back behind it.
    for (int i = 0; i < 5; ++i) app().pressEscape();
    advance(2);
    EXPECT_EQ(nav_->topViewController(), asking);
    ASSERT_TRUE(asking->question);
    EXPECT_EQ(app().frontAlert(), asking->question);
    EXPECT_TRUE(asking->answers.empty());
    asking->question->dismissWithClickedButtonIndex(0, false);
    asking->asks = AskingController::Asks::Never;
    nav_->pushViewController(std::make_shared<LoggingController>("Fifth", log_), true);
    advance(1);
    EXPECT_EQ(nav_->viewControllers().size(), 3u);
}

TEST_F(NavigationTest, BarButtonItemsShowAndSendTheirActions) {
    int added = 0;
    first_->navigationItem()->setRightBarButtonItem(
        std::make_shared<BarButtonItem>(BarButtonSystemItem::Add, [&](BarButtonItem&) { ++added; }));
    first_->navigationItem()->setLeftBarButtonItem(first_->editButtonItem());
    tapNamed("Add");
    EXPECT_EQ(added, 1);
    tapNamed("Edit");
    EXPECT_TRUE(first_->isEditing());
    EXPECT_TRUE(app().findElement("Done"));
    tapNamed("Done");
    EXPECT_FALSE(first_->isEditing());
}

TEST_F(NavigationTest, APushDuringASlideWaitsForTheSlideToEnd) {
    auto second = std::make_shared<LoggingController>("Second", log_);
    auto third = std::make_shared<LoggingController>("Third", log_);
    nav_->pushViewController(second, true);
    nav_->pushViewController(third, true);
    EXPECT_EQ(nav_->viewControllers().size(), 2u);
    advance(1);
    EXPECT_EQ(nav_->viewControllers().size(), 3u);
    EXPECT_EQ(nav_->topViewController(), third);
    EXPECT_TRUE(second->isViewLoaded());
    EXPECT_FALSE(second->isViewVisible());
    EXPECT_TRUE(third->isViewVisible());
}

TEST_F(NavigationTest, PopToRootAnswersThePoppedControllers) {
    auto second = std::make_shared<LoggingController>("Second", log_);
    auto third = std::make_shared<LoggingController>("Third", log_);
    nav_->pushViewController(second, false);
    nav_->pushViewController(third, false);
    log_->clear();
    auto popped = nav_->popToRootViewControllerAnimated(false);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<ViewController>>{second, third}));
    EXPECT_EQ(*log_, (std::vector<std::string>{"Third.viewWillDisappear", "First.viewWillAppear",
                                               "Third.viewDidDisappear", "First.viewDidAppear"}));
    // Nothing to pop at the root.
    EXPECT_EQ(nav_->popViewControllerAnimated(false), nullptr);
}

}  // namespace

namespace {

class NavigationDetailsTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        log_ = std::make_shared<std::vector<std::string>>();
        root_ = std::make_shared<LoggingController>("Home", log_);
        nav_ = std::make_shared<NavigationController>(root_);
        window_->addSubview(nav_->view());
    }
    std::shared_ptr<std::vector<std::string>> log_;
    std::shared_ptr<LoggingController> root_;
    std::shared_ptr<NavigationController> nav_;
};

TEST_F(NavigationDetailsTest, TheDelegateHearsWillAndDidShow) {
    struct Delegate : NavigationControllerDelegate {
        std::vector<std::string> events;
        void willShowViewController(NavigationController&, ViewController& vc, bool) override {
            events.push_back("will " + vc.title());
        }
        void didShowViewController(NavigationController&, ViewController& vc, bool) override {
            events.push_back("did " + vc.title());
        }
    };
    auto d = std::make_shared<Delegate>();
    nav_->setDelegate(d);
    nav_->pushViewController(std::make_shared<LoggingController>("Tips", log_), true);
    EXPECT_EQ(d->events, std::vector<std::string>{"will Tips"});
    advance(1);
    EXPECT_EQ(d->events, (std::vector<std::string>{"will Tips", "did Tips"}));
}

TEST_F(NavigationDetailsTest, AHiddenBarGivesTheScreenTheWholeFrame) {
    EXPECT_EQ(root_->view()->frame(), Rect(0, 44, 320, 416));
    nav_->setNavigationBarHidden(true, false);
    EXPECT_EQ(root_->view()->frame(), Rect(0, 0, 320, 460));
    EXPECT_TRUE(nav_->navigationBar()->isHidden());
    EXPECT_FALSE(app().isTextVisible("Home"));
}

TEST_F(NavigationDetailsTest, TitlesAndTitleViewsUpdateTheBar) {
    root_->setTitle("Progress");
    EXPECT_TRUE(app().isTextVisible("Progress"));
    auto custom = std::make_shared<Label>(Rect(0, 0, 120, 30));
    custom->setText("Custom title");
    root_->navigationItem()->setTitleView(custom);
    EXPECT_TRUE(app().isTextVisible("Custom title"));
    EXPECT_FALSE(app().isTextVisible("Progress"));
    Rect f = custom->convertRectToView(custom->bounds(), nullptr);
    EXPECT_EQ(f.midX(), 160);
}

TEST_F(NavigationDetailsTest, ALongPreviousTitleBecomesBackAndAnItemCanHideIt) {
    root_->setTitle("A very long title for the home screen");
    auto next = std::make_shared<LoggingController>("Next", log_);
    nav_->pushViewController(next, false);
    EXPECT_TRUE(app().findElement("Back"));
    next->navigationItem()->setHidesBackButton(true);
    EXPECT_FALSE(app().findElement("Back"));
    root_->navigationItem()->setBackBarButtonItem(
        std::make_shared<BarButtonItem>("Home", BarButtonItemStyle::Bordered));
    next->navigationItem()->setHidesBackButton(false);
    nav_->setViewControllers({root_, next}, false);
    EXPECT_TRUE(app().findElement("Home"));
}

TEST_F(NavigationDetailsTest, ReplacingTheStackShowsTheNewTop) {
    auto a = std::make_shared<LoggingController>("A", log_);
    auto b = std::make_shared<LoggingController>("B", log_);
    log_->clear();
    nav_->setViewControllers({a, b}, false);
    EXPECT_EQ(nav_->topViewController(), b);
    EXPECT_EQ(*log_, (std::vector<std::string>{"B.viewDidLoad", "Home.viewWillDisappear", "B.viewWillAppear",
                                               "Home.viewDidDisappear", "B.viewDidAppear"}));
    EXPECT_EQ(root_->navigationController(), nullptr);
    EXPECT_EQ(a->navigationController(), nav_);
    EXPECT_TRUE(app().findElement("A"));  // back to the one below
}

TEST_F(NavigationDetailsTest, AWindowRootControllerGetsTheAppearanceCalls) {
    auto window = std::make_shared<Window>();
    log_->clear();
    auto screen = std::make_shared<LoggingController>("Root", log_);
    window->setRootViewController(screen);
    window->makeKeyAndVisible();
    EXPECT_EQ(*log_, (std::vector<std::string>{"Root.viewDidLoad", "Root.viewWillAppear", "Root.viewDidAppear"}));
    EXPECT_EQ(screen->view()->frame(), Screen::mainScreen().applicationFrame());
    app().setStatusBarHidden(true);
    EXPECT_EQ(Screen::mainScreen().applicationFrame(), Rect(0, 0, 320, 480));
}

}  // namespace
