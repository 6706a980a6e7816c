#include "UITestSupport.h"

using namespace ui;

namespace {

class PagingDelegate : public ScrollViewDelegate {
public:
    void scrollViewDidScroll(ScrollView&) override { ++scrolls; }
    void scrollViewDidEndDecelerating(ScrollView& sv) override {
        page = static_cast<int>(sv.contentOffset().x / sv.bounds().width());
        ++ends;
    }
    int scrolls = 0, ends = 0, page = -1;
};

class ScrollViewTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        scroll_ = std::make_shared<ScrollView>(Rect(0, 20, 320, 400));
        scroll_->setContentSize(Size(960, 400));
        scroll_->setPagingEnabled(true);
        scroll_->setDelegate(delegate_);
        for (int i = 0; i < 3; ++i) {
            auto label = std::make_shared<Label>(Rect(i * 320.0f + 20, 100, 280, 40));
            label->setText("Page " + std::to_string(i + 1));
            scroll_->addSubview(label);
        }
        window_->addSubview(scroll_);
    }
    std::shared_ptr<PagingDelegate> delegate_ = std::make_shared<PagingDelegate>();
    std::shared_ptr<ScrollView> scroll_;
};

TEST_F(ScrollViewTest, ASwipeLandsOnPageTwo) {
    swipe(Point(290, 200), Point(40, 200));
    EXPECT_GT(delegate_->scrolls, 0);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
    EXPECT_EQ(delegate_->ends, 1);
    EXPECT_EQ(delegate_->page, 1);
    EXPECT_TRUE(app().isTextVisible("Page 2"));
    EXPECT_FALSE(app().isTextVisible("Page 1"));
}

TEST_F(ScrollViewTest, AShortSlowDragSnapsBack) {
    app().touchBegan(Point(200, 200));
    advance(0.3);
    app().touchMoved(Point(150, 200));
    advance(0.3);
    app().touchEnded(Point(150, 200));
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(0, 0));
}

TEST_F(ScrollViewTest, NoSwipePassesTheLastPage) {
    for (int i = 0; i < 4; ++i) {
        swipe(Point(290, 200), Point(40, 200));
        advance(1);
    }
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
    swipe(Point(40, 200), Point(290, 200));
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
}

TEST_F(ScrollViewTest, ADragThatStartsOnAButtonScrollsAndDoesNotPressIt) {
    auto button = std::make_shared<Button>(ButtonType::RoundedRect, Rect(20, 200, 280, 44));
    button->setTitle(std::string("Start"));
    int presses = 0;
    button->addTarget([&] { ++presses; }, ControlEvents::TouchUpInside);
    scroll_->addSubview(button);
    swipe(Point(280, 242), Point(30, 242));
    advance(1);
    EXPECT_EQ(presses, 0);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
    scroll_->setContentOffset(Point(0, 0));
    tapNamed("Start");
    EXPECT_EQ(presses, 1);
}

TEST_F(ScrollViewTest, TheWheelTurnsWholePagesOneANotchEvenDuringATurn) {
    // Towards the user turns on to the next page; the page ends as a swipe's
    // does, with the end of the deceleration.
    app().scrollWheel(Point(160, 200), 0, -1);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
    EXPECT_EQ(delegate_->ends, 1);
    EXPECT_EQ(delegate_->page, 1);
    // Two quick notches, the second while the first page still turns: two
    // pages, ending once.
    app().scrollWheel(Point(160, 200), 0, 1);
    advance(0.1);
    app().scrollWheel(Point(160, 200), 0, 1);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(0, 0));
    EXPECT_EQ(delegate_->ends, 2);
    // A touchpad's small steps add up: eight quarter notches during the
    // turns are two pages.
    for (int i = 0; i < 8; ++i) {
        app().scrollWheel(Point(160, 200), 0, -0.25f);
        advance(0.02);
    }
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
    // Never past the last page; away from the user goes back.
    app().scrollWheel(Point(160, 200), 0, -1);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
    app().scrollWheel(Point(160, 200), 0, 1);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
    // Half a step is no page; a sideways scroll turns pages too.
    app().scrollWheel(Point(160, 200), 0, 0.5f);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(320, 0));
    app().scrollWheel(Point(160, 200), 1, 0);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
    // Beside the pager the wheel moves nothing.
    app().scrollWheel(Point(160, 450), 0, 1);
    advance(1);
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
}

TEST_F(ScrollViewTest, AnimatedOffsetEndsWithTheScrollingAnimationCallback) {
    struct Ends : ScrollViewDelegate {
        int count = 0;
        void scrollViewDidEndScrollingAnimation(ScrollView&) override { ++count; }
    };
    auto ends = std::make_shared<Ends>();
    scroll_->setDelegate(ends);
    scroll_->setContentOffset(Point(640, 0), true);
    EXPECT_EQ(scroll_->contentOffset(), Point(0, 0));
    advance(0.5);
    EXPECT_EQ(scroll_->contentOffset(), Point(640, 0));
    EXPECT_EQ(ends->count, 1);
}

}  // namespace
