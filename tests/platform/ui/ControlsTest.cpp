#include "UITestSupport.h"
#include "platform/base/NotificationCenter.h"

using namespace ui;

namespace {

class ControlsTest : public uitest::UITest {};

TEST_F(ControlsTest, EveryControlWithoutTextHasAnAccessibilityLabel) {
    auto sw = std::make_shared<Switch>(Rect(10, 30, 0, 0));
    auto slider = std::make_shared<Slider>(Rect(10, 70, 200, 23));
    auto pages = std::make_shared<PageControl>(Rect(0, 100, 320, 36));
    pages->setNumberOfPages(3);
    auto info = std::make_shared<Button>(ButtonType::DetailDisclosure, Rect(10, 150, 0, 0));
    auto field = std::make_shared<TextField>(Rect(10, 200, 200, 31));
    auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::Gray);
    spinner->setCenter(Point(160, 260));
    spinner->startAnimating();
    for (const std::shared_ptr<View>& v : std::vector<std::shared_ptr<View>>{sw, slider, pages, info, field, spinner})
        window_->addSubview(v);
    std::vector<std::string> names;
    for (auto& e : app().accessibleElements()) names.push_back(e.label);
    for (const char* expected : {"Switch", "Slider", "Page 1 of 3", "More Info", "Text field", "In progress"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    // A label set by the screen wins.
    sw->setAccessibilityLabel("Allow shake");
    EXPECT_TRUE(app().findElement("Allow shake"));
    spinner->stopAnimating();
    EXPECT_TRUE(spinner->isHidden());
}

TEST_F(ControlsTest, ASwitchTogglesOnTapAndSendsValueChanged) {
    auto sw = std::make_shared<Switch>(Rect(100, 100, 10, 10));
    EXPECT_EQ(sw->frame().size, Size(94, 27));
    int changes = 0;
    sw->addTarget([&](Control& c) { changes += static_cast<Switch&>(c).isOn() ? 1 : 10; }, ControlEvents::ValueChanged);
    window_->addSubview(sw);
    tapNamed("Switch");
    EXPECT_TRUE(sw->isOn());
    EXPECT_EQ(changes, 1);
    // Setting it in code sends nothing.
    sw->setOn(false, true);
    EXPECT_EQ(changes, 1);
    advance(0.5);
}

TEST_F(ControlsTest, SegmentsAreTappedByTitle) {
    auto seg = std::make_shared<SegmentedControl>(std::vector<std::string>{"Line", "Bar"});
    seg->setFrame(Rect(20, 100, 280, 44));
    seg->setSelectedSegmentIndex(0);
    int changes = 0;
    seg->addTarget([&] { ++changes; }, ControlEvents::ValueChanged);
    window_->addSubview(seg);
    tapNamed("Bar");
    EXPECT_EQ(seg->selectedSegmentIndex(), 1);
    EXPECT_EQ(changes, 1);
    tapNamed("Bar");
    EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, ATextFieldBringsUpTheKeyboardAndTakesTypedText) {
    struct FieldDelegate : TextFieldDelegate {
        int returns = 0;
        std::vector<std::string> changes;
        bool shouldChangeCharactersInRange(TextField&, std::size_t, std::size_t, const std::string& s) override {
            changes.push_back(s);
            return s != "x";  // refuses one letter
        }
        bool textFieldShouldReturn(TextField& f) override {
            ++returns;
            f.resignFirstResponder();
            return true;
        }
    };
    auto delegate = std::make_shared<FieldDelegate>();
    auto field = std::make_shared<TextField>(Rect(20, 100, 280, 31));
    field->setBorderStyle(TextBorderStyle::RoundedRect);
    field->setPlaceholder("Reps");
    field->setKeyboardType(KeyboardType::NumberPad);
    field->setDelegate(delegate);
    window_->addSubview(field);

    std::vector<Rect> shown;
    int hidden = 0;
    auto& center = base::NotificationCenter::defaultCenter();
    auto t1 = center.addObserver(this, KeyboardWillShowNotification, nullptr, [&](const base::Notification& n) {
        shown.push_back(rectFromString(n.userInfo.asDictionary()->get(KeyboardFrameEndUserInfoKey).stringValue()));
    });
    auto t2 =
        center.addObserver(this, KeyboardWillHideNotification, nullptr, [&](const base::Notification&) { ++hidden; });

    tapNamed("Reps");
    EXPECT_TRUE(field->isFirstResponder());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], Rect(0, 264, 320, 216));
    EXPECT_TRUE(app().isKeyboardVisible());
    app().typeText("1x2");
    EXPECT_EQ(field->text(), "12");
    EXPECT_EQ(delegate->changes, (std::vector<std::string>{"1", "x", "2"}));
    app().pressBackspace();
    EXPECT_EQ(field->text(), "1");
    // The number pad's keys type too.
    advance(0.5);
    tap(Point(53, 264 + 27));  // "1"
    EXPECT_EQ(field->text(), "11");
    app().pressReturn();
    EXPECT_EQ(delegate->returns, 1);
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(app().isKeyboardVisible());
    center.removeObserver(t1);
    center.removeObserver(t2);
}

TEST_F(ControlsTest, CharactersAreCountedInUTF16Units) {
    EXPECT_EQ(utf16Length("abc"), 3u);
    EXPECT_EQ(utf16Length("\xC3\xA9"), 1u);          // é
    EXPECT_EQ(utf16Length("\xF0\x9F\x92\xAA"), 2u);  // a flexed biceps: a surrogate pair
    EXPECT_EQ(utf8OffsetOfUTF16("a\xF0\x9F\x92\xAA"
                                "b",
                                3),
              5u);
    EXPECT_EQ(stringFromRect(Rect(0, 264, 320, 216)), "{{0, 264}, {320, 216}}");
    EXPECT_EQ(rectFromString("{{1.5, 2}, {3, 4}}"), Rect(1.5f, 2, 3, 4));
    EXPECT_EQ(rectFromString("nonsense"), Rect());
}

TEST_F(ControlsTest, APickerRowIsChosenByTappingIt) {
    struct Weeks : PickerViewDataSource, PickerViewDelegate {
        int numberOfComponentsInPickerView(PickerView&) override { return 2; }
        int numberOfRowsInComponent(PickerView&, int c) override { return c == 0 ? 6 : 3; }
        std::optional<std::string> titleForRow(PickerView&, int row, int c) override {
            return (c == 0 ? "Week " : "Day ") + std::to_string(row + 1);
        }
        void didSelectRow(PickerView&, int row, int c) override { chosen.emplace_back(c, row); }
        std::vector<std::pair<int, int>> chosen;
    };
    auto weeks = std::make_shared<Weeks>();
    auto picker = std::make_shared<PickerView>(Rect(0, 244, 320, 0));
    picker->setDataSource(weeks);
    picker->setDelegate(weeks);
    picker->setShowsSelectionIndicator(true);
    window_->addSubview(picker);
    EXPECT_EQ(picker->frame().height(), 216);
    picker->selectRow(2, 0, false);
    EXPECT_TRUE(weeks->chosen.empty());
    tapNamed("Week 4");
    EXPECT_EQ(picker->selectedRowInComponent(0), 3);
    EXPECT_EQ(weeks->chosen, (std::vector<std::pair<int, int>>{{0, 3}}));
    tapNamed("Day 2");
    EXPECT_EQ(picker->selectedRowInComponent(1), 1);
    advance(0.5);
}

TEST_F(ControlsTest, TheScreenIsARealRenderingWithText) {
    auto nav = std::make_shared<NavigationController>(std::make_shared<ViewController>());
    nav->topViewController()->setTitle("Tolvek");
    window_->addSubview(nav->view());
    auto label = std::make_shared<Label>(Rect(20, 100, 280, 40));
    label->setText("Today: 5 sets");
    label->setFont(gfx::Font::boldSystemFont(24));
    nav->topViewController()->view()->addSubview(label);
    auto image = renderScreen();
    // The navigation bar is tinted blue-grey, the content white, and the
    // label left dark pixels.
    auto bar = image->pixel(160, 30);
    EXPECT_LT(bar.r, bar.b);
    auto page = image->pixel(300, 300);
    EXPECT_GT(page.r, 240);
    int dark = 0;
    for (int y = 64 + 100; y < 64 + 140; ++y)
        for (int x = 20; x < 300; ++x)
            if (image->pixel(x, y).r < 80) ++dark;
    EXPECT_GT(dark, 100);
    // Laying out during the first drawing asks for one more; then it is
    // quiet (an idle screen is not redrawn).
    renderScreen();
    EXPECT_FALSE(app().needsRedraw());
    label->setText("Changed");
    EXPECT_TRUE(app().needsRedraw());
}

TEST_F(ControlsTest, TheDumpShowsTheVisibleTree) {
    auto label = std::make_shared<Label>(Rect(20, 100, 280, 40));
    label->setText("Hello");
    auto hiddenLabel = std::make_shared<Label>(Rect(20, 200, 280, 40));
    hiddenLabel->setText("Secret");
    hiddenLabel->setHidden(true);
    window_->addSubview(label);
    window_->addSubview(hiddenLabel);
    std::string dump = app().dumpViewTree();
    EXPECT_NE(dump.find("Window (0, 0, 320, 480)"), std::string::npos);
    EXPECT_NE(dump.find("  Label (20, 100, 280, 40) \"Hello\""), std::string::npos);
    EXPECT_EQ(dump.find("Secret"), std::string::npos);
    EXPECT_FALSE(app().isTextVisible("Secret"));
}

TEST_F(ControlsTest, BackgroundAndForegroundReachTheDelegate) {
    struct Delegate : ApplicationDelegate {
        std::vector<std::string> events;
        bool didFinishLaunchingWithOptions(Application&, const base::Value&) override {
            events.push_back("launch");
            return true;
        }
        void applicationDidEnterBackground(Application&) override { events.push_back("background"); }
        void applicationWillEnterForeground(Application&) override { events.push_back("foreground"); }
        void applicationWillTerminate(Application&) override { events.push_back("terminate"); }
    };
    auto delegate = std::make_shared<Delegate>();
    EXPECT_TRUE(app().launch(delegate));
    app().enterBackground();
    EXPECT_EQ(app().applicationState(), ApplicationState::Background);
    app().enterBackground();  // once only
    app().enterForeground();
    app().terminate();
    EXPECT_EQ(delegate->events, (std::vector<std::string>{"launch", "background", "foreground", "terminate"}));
    EXPECT_EQ(Device::currentDevice().systemVersion(), "4.3");
    EXPECT_TRUE(isClassAvailable("UIPinchGestureRecognizer"));
}

TEST_F(ControlsTest, AShakeReachesTheAccelerometerDelegate) {
    struct Listener : AccelerometerDelegate {
        double peak = 0;
        int samples = 0;
        void didAccelerate(Accelerometer&, const Acceleration& a) override {
            ++samples;
            peak = std::max({peak, std::abs(a.x), std::abs(a.y), std::abs(a.z)});
        }
    };
    auto listener = std::make_shared<Listener>();
    Accelerometer::sharedAccelerometer().setUpdateInterval(0.1);
    Accelerometer::sharedAccelerometer().setDelegate(listener);
    advance(1.0);
    EXPECT_EQ(listener->samples, 0);
    app().shake();
    EXPECT_GT(listener->peak, Accelerometer::ShakeThreshold);
    Accelerometer::sharedAccelerometer().setDelegate({});
}

TEST_F(ControlsTest, APinchReportsItsScale) {
    auto view = std::make_shared<View>(Rect(0, 0, 320, 480));
    window_->addSubview(view);
    std::vector<Float> scales;
    auto pinch = std::make_shared<PinchGestureRecognizer>(
        [&](GestureRecognizer& r) { scales.push_back(static_cast<PinchGestureRecognizer&>(r).scale()); });
    view->addGestureRecognizer(pinch);
    app().sendTouches(TouchPhase::Began, {{1, Point(140, 240)}, {2, Point(180, 240)}});
    app().sendTouches(TouchPhase::Moved, {{1, Point(120, 240)}, {2, Point(200, 240)}});
    app().sendTouches(TouchPhase::Ended, {{1, Point(120, 240)}, {2, Point(200, 240)}});
    ASSERT_FALSE(scales.empty());
    EXPECT_NEAR(scales.front(), 2.0, 0.01);
    EXPECT_EQ(pinch->state(), GestureRecognizerState::Possible);  // reset for the next pinch
}

}  // namespace
