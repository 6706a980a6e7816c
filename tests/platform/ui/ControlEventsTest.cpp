#include "UITestSupport.h"
#include "platform/base/NotificationCenter.h"

using namespace ui;

namespace {

class ControlEventsTest : public uitest::UITest {
protected:
    void SetUp() override {
        UITest::SetUp();
        button_ = std::make_shared<Button>(ButtonType::RoundedRect, Rect(60, 200, 200, 44));
        button_->setTitle(std::string("Done"));
        button_->addTarget([this](Control&) { events_.push_back("down"); }, ControlEvents::TouchDown);
        button_->addTarget([this](Control&) { events_.push_back("up inside"); }, ControlEvents::TouchUpInside);
        button_->addTarget([this](Control&) { events_.push_back("up outside"); }, ControlEvents::TouchUpOutside);
        button_->addTarget([this](Control&) { events_.push_back("cancel"); }, ControlEvents::TouchCancel);
        window_->addSubview(button_);
    }
    std::shared_ptr<Button> button_;
    std::vector<std::string> events_;
};

TEST_F(ControlEventsTest, AReleaseFarOutsideIsNotATap) {
    app().touchBegan(Point(160, 220));
    EXPECT_TRUE(button_->isHighlighted());
    app().touchMoved(Point(160, 400));
    EXPECT_FALSE(button_->isHighlighted());
    app().touchEnded(Point(160, 400));
    EXPECT_EQ(events_, (std::vector<std::string>{"down", "up outside"}));
}

TEST_F(ControlEventsTest, AReleaseJustOutsideStillCounts) {
    app().touchBegan(Point(160, 220));
    app().touchEnded(Point(160, 262));  // 18 points below the edge
    EXPECT_EQ(events_, (std::vector<std::string>{"down", "up inside"}));
}

TEST_F(ControlEventsTest, DisabledControlsSendNothing) {
    button_->setEnabled(false);
    tap(Point(160, 220));
    EXPECT_TRUE(events_.empty());
}

TEST_F(ControlEventsTest, RemovedTargetsAreNotCalledAndActionsMayRemoveThemselves) {
    int count = 0;
    Control::ActionToken token = 0;
    token = button_->addTarget(
        [&](Control& c) {
            ++count;
            c.removeTarget(token);
        },
        ControlEvents::TouchUpInside);
    tap(Point(160, 220));
    tap(Point(160, 220));
    EXPECT_EQ(count, 1);
    button_->removeTargets(ControlEvents::AllEvents);
    events_.clear();
    tap(Point(160, 220));
    EXPECT_TRUE(events_.empty());
    EXPECT_EQ(button_->allControlEvents(), 0u);
}

TEST_F(ControlEventsTest, GoingToTheBackgroundCancelsATouch) {
    app().touchBegan(Point(160, 220));
    app().enterBackground();
    EXPECT_EQ(events_, (std::vector<std::string>{"down", "cancel"}));
    app().touchEnded(Point(160, 220));
    EXPECT_EQ(events_.size(), 2u);
    app().enterForeground();
}

TEST_F(ControlEventsTest, QuickTapsCountUp) {
    std::vector<int> counts;
    button_->addTarget([&](Control&) { counts.push_back(1); }, ControlEvents::TouchDownRepeat);
    tap(Point(160, 220));
    advance(0.1);
    tap(Point(162, 221));
    advance(1);
    tap(Point(160, 220));
    EXPECT_EQ(counts.size(), 1u);
}

TEST_F(ControlEventsTest, IgnoringInteractionDropsNewTouches) {
    app().beginIgnoringInteractionEvents();
    tap(Point(160, 220));
    app().endIgnoringInteractionEvents();
    EXPECT_TRUE(events_.empty());
    tap(Point(160, 220));
    EXPECT_EQ(events_.size(), 2u);
}

TEST_F(ControlEventsTest, ASliderFollowsTheFingerAndReportsContinuouslyOrAtTheEnd) {
    auto slider = std::make_shared<Slider>(Rect(10, 100, 300, 23));
    slider->setMinimumValue(0);
    slider->setMaximumValue(10);
    std::vector<Float> values;
    slider->addTarget([&](Control& c) { values.push_back(static_cast<Slider&>(c).value()); },
                      ControlEvents::ValueChanged);
    window_->addSubview(slider);
    app().touchBegan(Point(21, 111));
    app().touchMoved(Point(160, 111));
    app().touchMoved(Point(400, 111));
    app().touchEnded(Point(400, 111));
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values.back(), 10);
    EXPECT_NEAR(values[values.size() - 2], 5, 0.2);
    slider->setContinuous(false);
    values.clear();
    app().touchBegan(Point(299, 111));
    app().touchMoved(Point(100, 111));
    app().touchMoved(Point(21, 111));
    app().touchEnded(Point(21, 111));
    EXPECT_EQ(values, std::vector<Float>{0});
    slider->setValue(42);
    EXPECT_EQ(slider->value(), 10);
}

TEST_F(ControlEventsTest, ASwitchCanBeDraggedAcross) {
    auto sw = std::make_shared<Switch>(Rect(100, 100, 0, 0));
    int changes = 0;
    sw->addTarget([&] { ++changes; }, ControlEvents::ValueChanged);
    window_->addSubview(sw);
    app().touchBegan(Point(110, 113));
    app().touchMoved(Point(150, 113));
    app().touchMoved(Point(190, 113));
    app().touchEnded(Point(190, 113));
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(changes, 1);
    // A drag that ends where it began changes nothing.
    app().touchBegan(Point(180, 113));
    app().touchMoved(Point(150, 113));
    app().touchMoved(Point(185, 113));
    app().touchEnded(Point(185, 113));
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlEventsTest, SegmentsCanBeMomentaryDisabledOrRemoved) {
    auto seg = std::make_shared<SegmentedControl>(std::vector<std::string>{"A", "B", "C"});
    seg->setFrame(Rect(10, 100, 300, 44));
    window_->addSubview(seg);
    seg->setEnabled(false, 1);
    std::string why;
    EXPECT_FALSE(app().tapElement("B", &why));
    seg->setSelectedSegmentIndex(2);
    seg->removeSegmentAtIndex(0);
    EXPECT_EQ(seg->selectedSegmentIndex(), 1);
    EXPECT_EQ(seg->titleForSegmentAtIndex(1), "C");
    seg->removeSegmentAtIndex(1);
    EXPECT_EQ(seg->selectedSegmentIndex(), SegmentedControl::NoSegment);
    seg->insertSegmentWithTitle("D", 5);
    EXPECT_EQ(seg->titleForSegmentAtIndex(1), "D");
    seg->setMomentary(true);
    std::vector<int> chosen;
    seg->addTarget([&](Control& c) { chosen.push_back(static_cast<SegmentedControl&>(c).selectedSegmentIndex()); },
                   ControlEvents::ValueChanged);
    tapNamed("D");
    EXPECT_EQ(chosen, std::vector<int>{1});
    EXPECT_EQ(seg->selectedSegmentIndex(), SegmentedControl::NoSegment);
}

TEST_F(ControlEventsTest, APageControlStepsByHalvesAndCanDeferItsDots) {
    auto pc = std::make_shared<PageControl>(Rect(0, 400, 320, 36));
    pc->setNumberOfPages(3);
    window_->addSubview(pc);
    int changes = 0;
    pc->addTarget([&] { ++changes; }, ControlEvents::ValueChanged);
    tap(Point(300, 418));
    EXPECT_EQ(pc->currentPage(), 1);
    tap(Point(300, 418));
    tap(Point(300, 418));
    EXPECT_EQ(pc->currentPage(), 2);
    EXPECT_EQ(changes, 2);
    tap(Point(10, 418));
    EXPECT_EQ(pc->currentPage(), 1);
    EXPECT_TRUE(app().findElement("Page 2 of 3"));
    pc->setNumberOfPages(1);
    EXPECT_EQ(pc->currentPage(), 0);
}

TEST_F(ControlEventsTest, FocusMovesBetweenFieldsWithOneKeyboard) {
    auto a = std::make_shared<TextField>(Rect(10, 60, 300, 31));
    a->setPlaceholder("Name");
    auto b = std::make_shared<TextField>(Rect(10, 100, 300, 31));
    b->setPlaceholder("Password");
    b->setSecureTextEntry(true);
    window_->addSubview(a);
    window_->addSubview(b);
    int shows = 0;
    auto token = base::NotificationCenter::defaultCenter().addObserver(this, KeyboardWillShowNotification, nullptr,
                                                                       [&](const base::Notification&) { ++shows; });
    tapNamed("Name");
    app().typeText("pat");
    tapNamed("Password");
    app().typeText("s3cret");
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(a->isEditing());
    EXPECT_EQ(a->text(), "pat");
    EXPECT_EQ(b->text(), "s3cret");
    EXPECT_FALSE(app().isTextVisible("s3cret"));
    EXPECT_TRUE(app().isTextVisible("\u2022\u2022\u2022\u2022\u2022\u2022"));
    // Taking the field off the screen ends typing and the keyboard goes.
    b->removeFromSuperview();
    EXPECT_EQ(app().firstResponder(), nullptr);
    EXPECT_FALSE(app().isKeyboardVisible());
    app().typeText("lost");
    EXPECT_EQ(b->text(), "s3cret");
    base::NotificationCenter::defaultCenter().removeObserver(token);
}

TEST_F(ControlEventsTest, AFieldCanRefuseToStartOrEndEditing) {
    struct Stubborn : TextFieldDelegate {
        bool allowBegin = false, allowEnd = false;
        bool textFieldShouldBeginEditing(TextField&) override { return allowBegin; }
        bool textFieldShouldEndEditing(TextField&) override { return allowEnd; }
    };
    auto d = std::make_shared<Stubborn>();
    auto field = std::make_shared<TextField>(Rect(10, 60, 300, 31));
    field->setDelegate(d);
    window_->addSubview(field);
    EXPECT_FALSE(field->becomeFirstResponder());
    d->allowBegin = true;
    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_FALSE(field->resignFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    d->allowEnd = true;
    EXPECT_TRUE(window_->endEditing(false));
    EXPECT_FALSE(field->isFirstResponder());
}

TEST_F(ControlEventsTest, ATapRecognizerCancelsTheTouchesOfItsView) {
    struct Touchy : View {
        using View::View;
        int began = 0, cancelled = 0, ended = 0;
        void touchesBegan(const TouchSet&, const Event*) override { ++began; }
        void touchesEnded(const TouchSet&, const Event*) override { ++ended; }
        void touchesCancelled(const TouchSet&, const Event*) override { ++cancelled; }
    };
    auto view = std::make_shared<Touchy>(Rect(0, 0, 320, 480));
    window_->addSubview(view);
    int taps = 0;
    auto recognizer = std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; });
    recognizer->setNumberOfTapsRequired(2);
    view->addGestureRecognizer(recognizer);
    tap(Point(100, 100));
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(view->ended, 1);
    advance(0.1);
    tap(Point(101, 101));
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(view->began, 2);
    EXPECT_EQ(view->ended, 1);
    EXPECT_EQ(recognizer->state(), GestureRecognizerState::Possible);
}

}  // namespace
