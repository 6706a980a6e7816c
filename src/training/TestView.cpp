#include "training/TestView.h"

#include "platform/base/Date.h"
#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/Application.h"
#include "platform/ui/EventStore.h"
#include "platform/ui/NavigationController.h"
#include "training/DataAccess.h"
#include "training/HomeLook.h"
#include "training/LookPalette.h"
#include "training/SettingsKeys.h"
#include "training/Test.h"
#include "training/AppState.h"
#include "training/Utility.h"

namespace {
constexpr int kReminderAlertTag = 1;
// The reminder question's buttons: "No" is given as the cancel button.
constexpr int kNoButton = 0;
constexpr int kYesButton = 1;
constexpr ui::Float kWidth = 290;
constexpr ui::Float kHeight = 296;
// How far the panel rises while the keyboard is up.
constexpr ui::Float kLift = 70;

std::shared_ptr<ui::NavigationController> applicationNavigation() {
    auto delegate = AppState::current();
    return delegate ? delegate->navigationController() : nullptr;
}
}  // namespace

TestView::TestView() : ui::ViewController("TestView") {}

TestView::~TestView() = default;

std::string TestView::mainTextForWeek(int week) {
    if (week >= 7)
        return "You made it through all six weeks! Time for your final test: do as many good-form push-ups as "
               "you can, without stopping, and enter the number below.";
    return base::format(
        "Time for your week %d test! Do as many good-form push-ups as you can, without "
        "stopping, and enter the number below. Your score sets your level from here on.",
        week);
}

void TestView::loadView() {
    // The overlay dims the whole home screen; the panel sits in its middle.
    auto backdrop = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 460));
    backdrop->setBackgroundColor(lookpalette::testBackdrop());
    backdrop->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    panel_ = std::make_shared<TestViewView>(ui::Rect((320 - kWidth) / 2, (460 - kHeight) / 2, kWidth, kHeight));
    panel_->setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin |
                                ui::Autoresizing::FlexibleTopMargin | ui::Autoresizing::FlexibleBottomMargin);
    backdrop->addSubview(panel_);
    const auto& panel = panel_;
    const gfx::Color text = lookpalette::testInk();

    panel->addSubview(homelook::label(ui::Rect(16, 10, kWidth - 32, 28), "Exhaustion Test",
                                      gfx::Font::boldSystemFont(21), gfx::Color::white(), ui::TextAlignment::Center));
    mainTextLabel_ = homelook::label(ui::Rect(18, 52, kWidth - 36, 76), "", gfx::Font::systemFont(14), text,
                                     ui::TextAlignment::Center);
    mainTextLabel_->setNumberOfLines(0);
    mainTextLabel_->setLineBreakMode(ui::LineBreakMode::WordWrap);
    panel->addSubview(mainTextLabel_);

    testScoreLabel_ =
        homelook::label(ui::Rect(20, 136, 120, 36), "Push-ups done:", gfx::Font::boldSystemFont(15), text);
    panel->addSubview(testScoreLabel_);
    resultField_ = std::make_shared<ui::TextField>(ui::Rect(144, 134, kWidth - 164, 40));
    resultField_->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    resultField_->setBackgroundColor(gfx::Color::clear());
    resultField_->setFont(gfx::Font::boldSystemFont(22));
    resultField_->setTextAlignment(ui::TextAlignment::Center);
    resultField_->setPlaceholder("Score");
    resultField_->setAccessibilityLabel("Score");
    resultField_->setKeyboardType(ui::KeyboardType::NumberPad);
    resultField_->setReturnKeyType(ui::ReturnKeyType::Done);
    panel->addSubview(resultField_);

    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    auto self = [weak] { return std::static_pointer_cast<TestView>(weak.lock()); };
    doneButton_ =
        homelook::button(ui::Rect(20, 188, kWidth - 40, 42), "Save Score", homelook::barTint(), gfx::Color::black());
    doneButton_->addTarget(
        [self] {
            if (auto s = self()) s->doneClicked();
        },
        ui::ControlEvents::TouchUpInside);
    panel->addSubview(doneButton_);
    cancelButton_ = homelook::button(ui::Rect(20, 238, kWidth - 40, 38), "Not Now", lookpalette::testDimInk());
    cancelButton_->setFont(gfx::Font::boldSystemFont(15));
    cancelButton_->addTarget(
        [self] {
            if (auto s = self()) s->cancelClicked();
        },
        ui::ControlEvents::TouchUpInside);
    panel->addSubview(cancelButton_);
    setView(backdrop);
}

void TestView::viewDidLoad() {
    resultField_->setDelegate(std::dynamic_pointer_cast<ui::TextFieldDelegate>(shared_from_this()));
    mainTextLabel_->setText(mainTextForWeek(Utility::GetWeek()));
}

void TestView::showOver(const std::shared_ptr<ui::View>& superview, ui::Point center) {
    showing_ = true;
    auto v = view();
    // The dimming covers the whole of the view it is laid over.
    v->setFrame(superview->bounds());
    v->setCenter(center);
    superview->addSubview(v);
}

void TestView::viewWillDisappear(bool) {
    if (isViewLoaded()) view()->endEditing(true);
}

void TestView::removeOverlay() {
    if (!isViewLoaded()) return;
    view()->endEditing(true);
    view()->removeFromSuperview();
}

void TestView::finish() {
    removeOverlay();
    if (waiting_ || !showing_) return;
    showing_ = false;
    auto handler = std::move(finished_);
    finished_ = nullptr;
    auto self = shared_from_this();  // the handler may drop the last other owner
    if (handler) handler();
}

void TestView::cancelClicked() { finish(); }

void TestView::doneClicked() {
    resultField_->resignFirstResponder();
    const std::string text = resultField_->text();
    const auto score = Utility::countFromText(text, Utility::kMostReps);
    if (!score) {
        Utility::ShowAlert("Please Enter a Value");
        return;
    }
    const int week = Utility::GetWeek();
    Test test;
    test.setWeek(week);
    test.setDay(Utility::GetDay());
    test.setScore(text);
    DataAccess::saveTest(test);

    auto& defaults = base::UserDefaults::standardUserDefaults();
    // The tests that start weeks 3, 5 and 6 set the level by their own
    // thresholds. The final test after week 6 is kept as a record only: week 7
    // has no thresholds, and the plan-complete choice that follows offers to
    // go on at the level the user has reached.
    if (week == 3 || week == 5 || week == 6) defaults.setInteger(settingskeys::kLevel, Utility::GetLevel(*score, week));
    defaults.setBool(settingskeys::kTest, false);
    Utility::synchronizeSettings();
    removeOverlay();

    if (Utility::hasReminder() && ui::isClassAvailable("EKEventEditViewController")) {
        waiting_ = true;
        auto alert =
            std::make_shared<ui::AlertView>("Set Reminder?", "Would you like to set a reminder for your next workout?",
                                            std::dynamic_pointer_cast<ui::AlertViewDelegate>(shared_from_this()),
                                            std::string("No"), std::vector<std::string>{"Yes"});
        alert->setTag(kReminderAlertTag);
        // Return takes up the offer ("Yes"); Escape declines it ("No").
        alert->setKeys(ui::KeyAnswer::press(kYesButton), ui::KeyAnswer::press(kNoButton));
        alert->show();
        return;
    }
    finish();
}

void TestView::clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) {
    if (alertView.tag() != kReminderAlertTag) return;
    if (buttonIndex <= 0) {
        if (auto nav = applicationNavigation()) nav->popViewControllerAnimated(true);
        waiting_ = false;
        finish();
        return;
    }
    presentEventEditor();
}

void TestView::presentEventEditor() {
    auto nav = applicationNavigation();
    if (!nav) {
        waiting_ = false;
        finish();
        return;
    }
    // The next workout, two days from now, a quarter of an hour long, with
    // an alarm five minutes before; the editor saves or discards it.
    auto store = std::make_shared<ui::EventStore>();
    auto event = ui::CalendarEvent::eventWithEventStore(store);
    event->setTitle("Tolvek - Sets to do");
    event->addAlarm(ui::Alarm::alarmWithRelativeOffset(-300));
    event->setStartDate(base::Date::now().addingTimeInterval(172800));
    event->setEndDate(event->startDate().addingTimeInterval(900));
    editor_ = std::make_shared<ui::EventEditViewController>();
    editor_->setEventStore(store);
    editor_->setEvent(event);
    editor_->setEditViewDelegate(std::dynamic_pointer_cast<ui::EventEditViewDelegate>(shared_from_this()));
    nav->presentModalViewController(editor_, true);
}

void TestView::didCompleteWithAction(ui::EventEditViewController&, ui::EventEditViewAction action) {
    if (action == ui::EventEditViewAction::Failed) return;
    eventEditViewControllerDidComplete();
}

void TestView::eventEditViewControllerDidComplete() {
    if (auto nav = applicationNavigation()) nav->dismissModalViewControllerAnimated(true);
    editor_.reset();
    waiting_ = false;
    finish();
}

void TestView::touchesBegan(const ui::TouchSet& touches, const ui::Event* event) {
    if (resultField_ && resultField_->isEditing()) {
        bool onField = false;
        for (auto& t : touches)
            if (t->view() == std::static_pointer_cast<ui::View>(resultField_)) onField = true;
        if (!onField) resultField_->resignFirstResponder();
    }
    ui::ViewController::touchesBegan(touches, event);
}

bool TestView::textFieldShouldReturn(ui::TextField& field) {
    field.resignFirstResponder();
    return true;
}

void TestView::textFieldDidBeginEditing(ui::TextField&) { lift(true); }

void TestView::textFieldDidEndEditing(ui::TextField&) { lift(false); }

void TestView::lift(bool up) {
    if (up == lifted_ || !isViewLoaded()) return;
    lifted_ = up;
    auto v = panel_;
    ui::View::beginAnimations("lift");
    ui::View::setAnimationDuration(0.3);
    ui::Point c = v->center();
    c.y += up ? -kLift : kLift;
    v->setCenter(c);
    ui::View::commitAnimations();
}
