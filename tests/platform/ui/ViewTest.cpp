#include "UITestSupport.h"

using namespace ui;

namespace {

class ViewTest : public uitest::UITest {};

TEST_F(ViewTest, PointsConvertThroughTransformsAndScrolling) {
    auto outer = std::make_shared<ScrollView>(Rect(10, 20, 200, 200));
    outer->setContentSize(Size(200, 1000));
    auto inner = std::make_shared<View>(Rect(5, 300, 50, 50));
    outer->addSubview(inner);
    window_->addSubview(outer);
    outer->setContentOffset(Point(0, 250));
    EXPECT_EQ(inner->convertPointToView(Point(0, 0), nullptr), Point(15, 70));
    EXPECT_EQ(inner->convertPointFromView(Point(15, 70), nullptr), Point(0, 0));
    inner->setTransform(AffineTransform::makeScale(2, 2));
    EXPECT_EQ(inner->frame(), Rect(-20, 275, 100, 100));
    EXPECT_EQ(inner->convertPointToView(Point(0, 0), nullptr), Point(-10, 45));
    EXPECT_EQ(window_->hitTest(Point(12, 50), nullptr), inner);
    // Outside the scroll view nothing of its content is hit.
    EXPECT_EQ(window_->hitTest(Point(0, 50), nullptr), window_);
}

TEST_F(ViewTest, AutoresizingFollowsTheSuperview) {
    auto parent = std::make_shared<View>(Rect(0, 0, 320, 460));
    auto bar = std::make_shared<View>(Rect(0, 416, 320, 44));
    bar->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleTopMargin);
    auto body = std::make_shared<View>(Rect(0, 0, 320, 416));
    body->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight);
    parent->addSubview(bar);
    parent->addSubview(body);
    parent->setFrame(Rect(0, 0, 320, 360));
    EXPECT_EQ(bar->frame(), Rect(0, 316, 320, 44));
    EXPECT_EQ(body->frame(), Rect(0, 0, 320, 316));
}

TEST_F(ViewTest, SubviewOrderTagsAndHiddenViewsInHitTesting) {
    auto a = std::make_shared<View>(Rect(0, 0, 100, 100));
    auto b = std::make_shared<View>(Rect(0, 0, 100, 100));
    a->setTag(7);
    window_->addSubview(a);
    window_->addSubview(b);
    EXPECT_EQ(window_->hitTest(Point(50, 50), nullptr), b);
    window_->bringSubviewToFront(a);
    EXPECT_EQ(window_->hitTest(Point(50, 50), nullptr), a);
    a->setHidden(true);
    EXPECT_EQ(window_->hitTest(Point(50, 50), nullptr), b);
    EXPECT_EQ(window_->viewWithTag(7), a);
    b->setUserInteractionEnabled(false);
    EXPECT_EQ(window_->hitTest(Point(50, 50), nullptr), window_);
    // Moving a view keeps a single superview.
    b->addSubview(a);
    EXPECT_EQ(a->superview(), b);
    EXPECT_EQ(window_->subviews().size(), 1u);
}

TEST_F(ViewTest, TouchesGoUpTheResponderChainToTheController) {
    struct Screen : ViewController {
        int touches = 0;
        void touchesBegan(const TouchSet&, const Event*) override { ++touches; }
    };
    auto screen = std::make_shared<Screen>();
    window_->addSubview(screen->view());
    auto plain = std::make_shared<View>(Rect(10, 100, 50, 50));
    screen->view()->addSubview(plain);
    tap(Point(20, 120));
    EXPECT_EQ(screen->touches, 1);
}

TEST_F(ViewTest, ALabelShrinksItsFontToFitOneLine) {
    auto label = std::make_shared<Label>(Rect(0, 0, 80, 30));
    label->setText("Total Reps 1234567");
    label->setFont(gfx::Font::boldSystemFont(20));
    EXPECT_EQ(label->effectiveFont().pointSize(), 20);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumFontSize(8);
    EXPECT_LT(label->effectiveFont().pointSize(), 20);
    EXPECT_GE(label->effectiveFont().pointSize(), 8);
    EXPECT_LE(gfx::measureText(label->text(), label->effectiveFont()).width, 80);
}

TEST_F(ViewTest, ButtonsShowTheValuesOfTheirState) {
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect(0, 100, 100, 40));
    button->setTitle(std::string("Go"));
    button->setTitle(std::string("Going"), ControlState::Highlighted);
    button->setTitle(std::string("Chosen"), ControlState::Selected);
    EXPECT_EQ(button->currentTitle(), "Go");
    button->setHighlighted(true);
    EXPECT_EQ(button->currentTitle(), "Going");
    button->setHighlighted(false);
    button->setSelected(true);
    EXPECT_EQ(button->currentTitle(), "Chosen");
    button->setSelected(false);
    // A disabled button keeps its title but cannot be tapped by name.
    button->setEnabled(false);
    window_->addSubview(button);
    std::string why;
    EXPECT_FALSE(app().tapElement("Go", &why));
    EXPECT_EQ(why, "\"Go\" is disabled");
}

TEST_F(ViewTest, ImageAnimationsStepOnTheClockAndStopAfterTheirRepeats) {
    std::vector<std::shared_ptr<gfx::Image>> frames;
    for (int i = 0; i < 4; ++i) {
        std::vector<std::uint8_t> px(4 * 4 * 4, static_cast<std::uint8_t>(60 * i));
        frames.push_back(gfx::Image::create(4, 4, 8, 32, 16, gfx::Image::kLast, px));
    }
    auto view = std::make_shared<ImageView>(Rect(0, 0, 4, 4));
    view->setAnimationImages(frames);
    view->setAnimationDuration(1);
    view->setAnimationRepeatCount(2);
    window_->addSubview(view);
    view->startAnimating();
    advance(0.55);
    EXPECT_EQ(view->currentAnimationFrame(), 2u);
    advance(0.5);
    EXPECT_EQ(view->currentAnimationFrame(), 0u);
    EXPECT_TRUE(view->isAnimating());
    advance(1.5);
    EXPECT_FALSE(view->isAnimating());
}

TEST_F(ViewTest, ATextViewTakesLinesAndTellsItsDelegate) {
    struct Changes : TextViewDelegate {
        int count = 0;
        void textViewDidChange(TextView&) override { ++count; }
    };
    auto changes = std::make_shared<Changes>();
    auto text = std::make_shared<TextView>(Rect(10, 40, 300, 100));
    text->setDelegate(changes);
    window_->addSubview(text);
    tap(Point(100, 80));
    EXPECT_TRUE(text->isFirstResponder());
    app().typeText("Great day");
    app().pressReturn();
    app().typeText("Tired");
    EXPECT_EQ(text->text(), "Great day\nTired");
    EXPECT_EQ(changes->count, 15);
    text->setEditable(false);
    EXPECT_FALSE(text->isFirstResponder());
}

}  // namespace
