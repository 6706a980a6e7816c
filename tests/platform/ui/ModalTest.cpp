#include <utility>

#include "UITestSupport.h"

using namespace ui;
using uitest::LoggingController;

namespace {

class ModalTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        log_ = std::make_shared<std::vector<std::string>>();
        home_ = std::make_shared<LoggingController>("Home", log_);
        nav_ = std::make_shared<NavigationController>(home_);
        window_->addSubview(nav_->view());
        log_->clear();
    }
    std::shared_ptr<std::vector<std::string>> log_;
    std::shared_ptr<LoggingController> home_;
    std::shared_ptr<NavigationController> nav_;
};

TEST_F(ModalTest, PresentationCoversTheScreenAndDismissalReturns) {
    auto setup = std::make_shared<LoggingController>("Setup", log_);
    home_->presentModalViewController(setup, true);
    EXPECT_TRUE(app().isIgnoringInteractionEvents());
    advance(1);
    EXPECT_FALSE(app().isIgnoringInteractionEvents());
    EXPECT_EQ(*log_, (std::vector<std::string>{"Setup.viewDidLoad", "Home.viewWillDisappear", "Setup.viewWillAppear",
                                               "Home.viewDidDisappear", "Setup.viewDidAppear"}));
    // It fills the application frame, and nothing of the home screen is left.
    EXPECT_EQ(setup->view()->frame(), Screen::mainScreen().applicationFrame());
    EXPECT_EQ(setup->view()->window(), window_);
    EXPECT_EQ(nav_->view()->window(), nullptr);
    EXPECT_FALSE(app().isTextVisible("Home"));
    EXPECT_EQ(window_->hitTest(Point(160, 240), nullptr), setup->view());
    // The container presents for its child.
    EXPECT_EQ(setup->presentingViewController(), nav_);
    EXPECT_EQ(home_->modalViewController(), setup);

    log_->clear();
    setup->dismissModalViewControllerAnimated(true);
    advance(1);
    EXPECT_EQ(*log_, (std::vector<std::string>{"Setup.viewWillDisappear", "Home.viewWillAppear",
                                               "Setup.viewDidDisappear", "Home.viewDidAppear"}));
    EXPECT_EQ(setup->view()->window(), nullptr);
    EXPECT_EQ(nav_->view()->window(), window_);
    EXPECT_EQ(home_->modalViewController(), nullptr);
    EXPECT_EQ(setup->presentingViewController(), nullptr);
    EXPECT_TRUE(app().isTextVisible("Home"));
}

TEST_F(ModalTest, EveryTransitionStyleEndsInTheSamePlace) {
    for (auto style : {ModalTransitionStyle::CoverVertical, ModalTransitionStyle::FlipHorizontal,
                       ModalTransitionStyle::CrossDissolve, ModalTransitionStyle::PartialCurl}) {
        auto other = std::make_shared<LoggingController>("Other", log_);
        other->setModalTransitionStyle(style);
        nav_->presentModalViewController(other, true);
        // Mid-way the screen still draws.
        advance(0.2);
        EXPECT_TRUE(renderScreen());
        advance(1);
        EXPECT_EQ(other->view()->frame(), Screen::mainScreen().applicationFrame()) << int(style);
        EXPECT_EQ(other->view()->alpha(), 1);
        EXPECT_TRUE(other->isViewVisible());
        other->dismissModalViewControllerAnimated(true);
        advance(1);
        EXPECT_FALSE(other->isViewVisible()) << int(style);
        EXPECT_TRUE(home_->isViewVisible()) << int(style);
        EXPECT_FALSE(View::hasRunningAnimations());
    }
}

TEST_F(ModalTest, PresentingFromAPresentedControllerStacks) {
    auto a = std::make_shared<LoggingController>("A", log_);
    auto b = std::make_shared<LoggingController>("B", log_);
    home_->presentModalViewController(a, false);
    a->presentModalViewController(b, false);
    EXPECT_EQ(b->presentingViewController(), a);
    EXPECT_TRUE(b->isViewVisible());
    EXPECT_FALSE(a->isViewVisible());
    // Dismissing the first one takes the second with it.
    nav_->dismissModalViewControllerAnimated(false);
    EXPECT_FALSE(a->isViewVisible());
    EXPECT_FALSE(b->isViewVisible());
    EXPECT_TRUE(home_->isViewVisible());
    EXPECT_EQ(nav_->view()->window(), window_);
}

// A screen that presents another as soon as it has slid in.
class PresentingOnArrival : public LoggingController {
public:
    PresentingOnArrival(std::shared_ptr<std::vector<std::string>> log, std::shared_ptr<ViewController> presents)
        : LoggingController("Presenting", std::move(log)), presents_(std::move(presents)) {}
    void viewDidAppear(bool animated) override {
        LoggingController::viewDidAppear(animated);
        if (auto p = std::exchange(presents_, nullptr)) presentModalViewController(p, true);
    }

private:
    std::shared_ptr<ViewController> presents_;
};

TEST_F(ModalTest, EscapesPressedBeforeAPresentedScreenIsInAreDropped) {
    window_->setRootViewController(nav_);
    // The presented screens could go back (B over A): the keys pressed
    // before they came up do not.
    auto a = std::make_shared<LoggingController>("A", log_);
    auto b = std::make_shared<LoggingController>("B", log_);
    auto presented = std::make_shared<NavigationController>(a);
    presented->pushViewController(b, false);
    auto presenting = std::make_shared<PresentingOnArrival>(log_, presented);
    // Two wait for the push, which ends in the presentation; one more comes
    // while that slides in.
    nav_->pushViewController(presenting, true);
    app().pressEscape();
    app().pressEscape();
    advance(0.5);
    ASSERT_EQ(presenting->modalViewController(), presented);
    app().pressEscape();
    advance(2);
    EXPECT_EQ(presented->topViewController(), b);
    EXPECT_TRUE(b->isViewVisible());
    EXPECT_EQ(nav_->topViewController(), presenting);
    // Once it is in front the key goes back in it.
    app().pressEscape();
    advance(1);
    EXPECT_EQ(presented->topViewController(), a);
}

TEST_F(ModalTest, EscapesPressedWhileAPresentedScreenGoesStillGoBackBeneathIt) {
    window_->setRootViewController(nav_);
    nav_->pushViewController(std::make_shared<LoggingController>("Second", log_), false);
    auto sheet = std::make_shared<LoggingController>("Sheet", log_);
    nav_->presentModalViewController(sheet, false);
    sheet->dismissModalViewControllerAnimated(true);
    app().pressEscape();
    advance(2);
    EXPECT_EQ(nav_->topViewController(), home_);
}

}  // namespace
