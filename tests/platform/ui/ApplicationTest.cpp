#include "UITestSupport.h"
#include "platform/ui/AnimationEngine.h"

using namespace ui;

namespace {

class ApplicationTest : public uitest::UITest {};

TEST_F(ApplicationTest, OpenedURLsAreKeptAndHandedToTheOpener) {
    std::vector<std::string> opened;
    app().setURLOpener([&](const std::string& url) {
        opened.push_back(url);
        return url.rfind("fb", 0) != 0;
    });
    EXPECT_TRUE(app().openURL("https://example.test/faq"));
    EXPECT_FALSE(app().openURL("fbauth://authorize"));
    EXPECT_FALSE(app().openURL("not a url"));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.test/faq", "fbauth://authorize"}));
    EXPECT_EQ(app().openedURLs().size(), 2u);

    struct Delegate : ApplicationDelegate {
        std::string seen;
        bool handleOpenURL(Application&, const std::string& url) override {
            seen = url;
            return true;
        }
    };
    auto d = std::make_shared<Delegate>();
    app().launch(d);
    EXPECT_TRUE(app().deliverOpenURL("fb123://authorize#access_token=x"));
    EXPECT_EQ(d->seen, "fb123://authorize#access_token=x");
}

TEST_F(ApplicationTest, AFailingLaunchIsReportedNotFatal) {
    struct Broken : ApplicationDelegate {
        bool didFinishLaunchingWithOptions(Application&, const base::Value&) override {
            throw std::runtime_error("Tolvek.sqlite is unreadable");
        }
    };
    app().launch(std::make_shared<Broken>());
    EXPECT_EQ(app().applicationState(), ApplicationState::Active);
    EXPECT_TRUE(app().isTextVisible("Tolvek.sqlite is unreadable"));
}

TEST_F(ApplicationTest, RepeatingAutoreversingAnimationsEndWhereTheyStarted) {
    auto view = std::make_shared<View>(Rect(0, 0, 10, 10));
    window_->addSubview(view);
    bool done = false;
    View::beginAnimations("pulse");
    View::setAnimationDuration(0.5);
    View::setAnimationRepeatCount(2);
    View::setAnimationRepeatAutoreverses(true);
    View::setAnimationDidStop([&](const std::string&, bool finished, const std::any&) { done = finished; });
    view->setAlpha(0);
    View::commitAnimations();
    advance(0.5);
    EXPECT_LT(view->presentationAlpha(), 0.05f);  // at the far end of the first swing
    advance(0.5);
    EXPECT_GT(view->presentationAlpha(), 0.95f);  // and back
    EXPECT_FALSE(done);
    advance(1.1);
    EXPECT_TRUE(done);
    EXPECT_EQ(view->presentationAlpha(), 0);  // then the model value shows
}

TEST_F(ApplicationTest, NestedBlocksAreSeparateAnimations) {
    auto a = std::make_shared<View>(Rect(0, 0, 10, 10));
    auto b = std::make_shared<View>(Rect(0, 0, 10, 10));
    window_->addSubview(a);
    window_->addSubview(b);
    std::vector<std::string> order;
    View::animate(
        1,
        [&] {
            a->setAlpha(0);
            View::animate(
                0.2, [&] { b->setAlpha(0); }, [&](bool) { order.push_back("inner"); });
        },
        [&](bool) { order.push_back("outer"); });
    advance(0.3);
    EXPECT_EQ(order, std::vector<std::string>{"inner"});
    EXPECT_GT(a->presentationAlpha(), 0.2f);
    advance(1);
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer"}));
}

TEST_F(ApplicationTest, AnExceptionInACompletionIsReportedAndLaterAnimationsRun) {
    auto view = std::make_shared<View>(Rect(0, 0, 10, 10));
    window_->addSubview(view);
    View::animate(
        0.1, [&] { view->setAlpha(0.5f); }, [](bool) { throw std::runtime_error("completion broke"); });
    advance(0.2);
    EXPECT_TRUE(app().isTextVisible("completion broke"));
    bool ran = false;
    View::animate(
        0.1, [&] { view->setAlpha(1); }, [&](bool f) { ran = f; });
    advance(0.2);
    EXPECT_TRUE(ran);
}

TEST_F(ApplicationTest, CurlTransitionsCoverAndUncover) {
    auto container = std::make_shared<View>(Rect(0, 20, 320, 460));
    auto page = std::make_shared<View>(Rect(0, 0, 320, 460));
    page->setBackgroundColor(gfx::Color::rgb(1, 0, 0));
    container->addSubview(page);
    window_->addSubview(container);
    std::vector<bool> done;
    View::transition(
        container, 1.0, AnimationOptions::TransitionCurlUp, [&] { page->setBackgroundColor(gfx::Color::rgb(0, 1, 0)); },
        [&](bool f) { done.push_back(f); });
    advance(0.5);
    auto mid = renderScreen();
    EXPECT_GT(mid->pixel(160, 40).r, 150);   // the old page still at the top
    EXPECT_GT(mid->pixel(160, 470).g, 150);  // the new one shows below
    advance(0.6);
    EXPECT_EQ(done, std::vector<bool>{true});
    EXPECT_GT(renderScreen()->pixel(160, 40).g, 150);
}

TEST_F(ApplicationTest, TheAccelerometerIsQuietAtRestAndStopsWhenItsDelegateGoes) {
    struct Counter : AccelerometerDelegate {
        int samples = 0;
        void didAccelerate(Accelerometer&, const Acceleration&) override { ++samples; }
    };
    auto counter = std::make_shared<Counter>();
    Accelerometer::sharedAccelerometer().setUpdateInterval(0.1);
    Accelerometer::sharedAccelerometer().setDelegate(counter);
    // A device at rest has nothing to report: no timer wakes the program.
    advance(1);
    EXPECT_EQ(counter->samples, 0);
    EXPECT_NEAR(Accelerometer::sharedAccelerometer().currentValue().y, -1, 1e-9);
    app().shake();
    EXPECT_GE(counter->samples, 3);
    const int afterShake = counter->samples;
    advance(1);
    EXPECT_EQ(counter->samples, afterShake);
    counter.reset();
    app().shake();  // no delegate: nothing delivered and nothing crashes
    auto other = std::make_shared<Counter>();
    advance(1);
    EXPECT_EQ(other->samples, 0);
}

TEST_F(ApplicationTest, TheRedrawCallbackFiresOncePerBurst) {
    int calls = 0;
    app().setRedrawCallback([&] { ++calls; });
    renderScreen();
    auto label = std::make_shared<Label>(Rect(0, 100, 100, 20));
    window_->addSubview(label);
    label->setText("a");
    label->setText("b");
    EXPECT_EQ(calls, 1);
    renderScreen();
    label->setText("c");
    EXPECT_EQ(calls, 2);
    // A view outside any window asks for nothing.
    renderScreen();
    auto loose = std::make_shared<View>(Rect(0, 0, 10, 10));
    auto child = std::make_shared<Label>(Rect(0, 0, 10, 10));
    loose->addSubview(child);
    child->setText("unseen");
    EXPECT_EQ(calls, 2);
}

}  // namespace
