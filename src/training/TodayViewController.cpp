#include "training/TodayViewController.h"

#include "sharing/core/SHRActionSheet.h"
#include "sharing/core/SHRItem.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "platform/base/Format.h"
#include "platform/base/Number.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "training/CustomRepViewController.h"
#include "training/EditRepsViewController.h"
#include "training/HelpViewController.h"
#include "training/LookPalette.h"
#include "training/SettingsKeys.h"
#include "training/TodayView.h"
#include "training/AppState.h"
#include "training/Utility.h"
#include "training/WorkoutLook.h"

namespace look = workoutlook;

namespace {

constexpr const char* kBeepSound = "BEEP_FM-1";
constexpr const char* kPulseSound = "BEEPROBO";
constexpr int kMarkerTag = 1;
// The tags of the help callouts' views.
enum CalloutTag { SetsCallout = 100, MinimumCallout = 101, ShareCallout = 102, EditCallout = 103 };
constexpr ui::Float kMarkerX[5] = {11, 78, 139, 195, 250};

// The buttons of the two-button alerts: the first is given as the cancel
// button.
constexpr int kFirstButton = 0;
constexpr int kSecondButton = 1;

base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }

// The number a "repChanged" or "restChanged" notification carries.
std::optional<double> carriedNumber(const base::Notification& n) {
    if (const auto* number = std::any_cast<base::Number>(&n.object)) return number->doubleValue();
    if (const auto* i = std::any_cast<int>(&n.object)) return *i;
    if (const auto* d = std::any_cast<double>(&n.object)) return *d;
    return std::nullopt;
}

// A button of a sheet: its title and the choice it stands for.
template <class Choice>
struct ChoiceButton {
    const char* title;
    Choice choice;
};

// Makes a sheet of these buttons and lists the choice of each button by its
// index, as the sheet lays them out, so that what a tap does follows the
// button it was given with, whatever its title or place. The escape key
// presses the button of the escape choice; the return key presses none, as
// no choice of these sheets is one to take without reading it.
template <class Choice>
std::shared_ptr<ui::ActionSheet> choiceSheet(const std::string& title, std::weak_ptr<ui::ActionSheetDelegate> delegate,
                                             std::optional<ChoiceButton<Choice>> cancel,
                                             std::optional<ChoiceButton<Choice>> destructive,
                                             const std::vector<ChoiceButton<Choice>>& others, Choice escapeChoice,
                                             std::vector<Choice>& choices) {
    std::vector<std::string> otherTitles;
    otherTitles.reserve(others.size());
    for (const auto& button : others) otherTitles.emplace_back(button.title);
    auto titleOf = [](const auto& button) {
        return button ? std::optional<std::string>(button->title) : std::optional<std::string>();
    };
    auto sheet = std::make_shared<ui::ActionSheet>(title, std::move(delegate), titleOf(cancel), titleOf(destructive),
                                                   std::move(otherTitles));
    choices.clear();
    std::size_t other = 0;
    for (int i = 0; i < sheet->numberOfButtons(); ++i) {
        if (cancel && i == sheet->cancelButtonIndex()) choices.push_back(cancel->choice);
        else if (destructive && i == sheet->destructiveButtonIndex()) choices.push_back(destructive->choice);
        else choices.push_back(others.at(other++).choice);
    }
    const auto escape = std::find(choices.begin(), choices.end(), escapeChoice);
    if (escape != choices.end())
        sheet->setKeys(ui::KeyAnswer::nothing(), ui::KeyAnswer::press(static_cast<int>(escape - choices.begin())));
    return sheet;
}

// The choice of the tapped button; the given one when no button was tapped.
template <class Choice>
Choice chosen(const std::vector<Choice>& choices, int buttonIndex, Choice none) {
    if (buttonIndex < 0 || static_cast<std::size_t>(buttonIndex) >= choices.size()) return none;
    return choices[static_cast<std::size_t>(buttonIndex)];
}

std::shared_ptr<ui::ImageView> helpImage(ui::Rect frame) {
    auto image = std::make_shared<ui::ImageView>(frame);
    image->setImage(look::highlightImage(frame.size));
    image->setAlpha(0);
    image->setUserInteractionEnabled(false);
    return image;
}

std::shared_ptr<ui::Button> clearButton(ui::Rect frame, const std::string& name) {
    auto b = std::make_shared<ui::Button>(ui::ButtonType::Custom, frame);
    b->setAccessibilityLabel(name);
    return b;
}

}  // namespace

// --- Life cycle -----------------------------------------------------------

TodayViewController::TodayViewController() : ui::ViewController("TodayView") { setTitle("Today's Program"); }

TodayViewController::~TodayViewController() {
    base::NotificationCenter::defaultCenter().removeObserver(this);
    if (beepSound_) ui::SystemSound::dispose(*beepSound_);
    if (pulseSound_) ui::SystemSound::dispose(*pulseSound_);
    // The timer reaches the screen weakly; a screen that is gone stops it.
    session_->stopTimer();
}

std::shared_ptr<TodayViewController> TodayViewController::self() {
    return std::static_pointer_cast<TodayViewController>(shared_from_this());
}

void TodayViewController::hold() {
    ++holds_;
    holder_ = self();
}

void TodayViewController::release() {
    if (holds_ > 0 && --holds_ == 0) {
        // Let go at the end of this event, not in the middle of it.
        auto keep = std::move(holder_);
        base::RunLoop::main().performOnMainThread([keep] {}, false);
    }
}

void TodayViewController::loadView() {
    auto view = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 416));
    view->setBackgroundColor(look::background());

    // Subview 0: the band behind the row of sets; the set marker goes in at
    // index 1, above the band and below the labels.
    auto band = std::make_shared<ui::View>(ui::Rect(0, 0, 320, 50));
    band->setBackgroundColor(look::band());
    band->setUserInteractionEnabled(false);
    view->addSubview(band);

    for (int i = 0; i < 5; ++i) {
        auto label = look::label(ui::Rect(kMarkerX[i], 10, 55, 30), {}, gfx::Font("Helvetica-Bold", 17), look::ink());
        repLabels_.push_back(label);
        view->addSubview(label);
    }
    for (int i = 0; i < 5; ++i) {
        auto button = clearButton(ui::Rect(kMarkerX[i], 6, 55, 38), base::format("Set %d", i + 1));
        button->setTag(i + 1);
        button->addTarget([this, i] { userRepButtonTapped(i + 1); }, ui::ControlEvents::TouchUpInside);
        userRepButtons_.push_back(button);
        view->addSubview(button);
    }
    for (int i = 0; i < 5; ++i) {
        auto image = helpImage(ui::Rect(kMarkerX[i] - 4, 4, 63, 42));
        todayHelp_.push_back(image);
        view->addSubview(image);
    }

    topTodayLabel_ = look::label(ui::Rect(8, 54, 304, 18), "Today", gfx::Font::systemFont(13), look::dimInk());
    topTodayLabel_->setAdjustsFontSizeToFitWidth(true);
    topTodayLabel_->setMinimumFontSize(10);
    view->addSubview(topTodayLabel_);
    helpButton_ = look::button(ui::Rect(282, 102, 30, 30), "?", lookpalette::brownButton());
    helpButton_->setAccessibilityLabel("Help");
    helpButton_->addTarget([this] { helpPushed(); }, ui::ControlEvents::TouchUpInside);

    topLabel_ = look::label(ui::Rect(10, 102, 300, 30), {}, gfx::Font::boldSystemFont(22), look::accent());
    view->addSubview(topLabel_);
    restLabel_ = look::label(ui::Rect(10, 102, 300, 30), "Rest", gfx::Font::boldSystemFont(22), look::accent());
    view->addSubview(restLabel_);
    view->addSubview(helpButton_);

    placardView_ = std::make_shared<ui::ImageView>(ui::Rect(46, 136, 228, 160));
    placardView_->setContentMode(ui::ContentMode::ScaleAspectFit);
    view->addSubview(placardView_);
    needleView_ = std::make_shared<ui::ImageView>(ui::Rect(46, 136, 228, 160));
    needleView_->setContentMode(ui::ContentMode::ScaleAspectFit);
    needleView_->setImage(look::bundleImage("needle.png"));
    view->addSubview(needleView_);

    contentLabel_ = look::label(ui::Rect(72, 172, 176, 88), {}, gfx::Font::boldSystemFont(54), lookpalette::plateInk());
    contentLabel_->setAdjustsFontSizeToFitWidth(true);
    contentLabel_->setMinimumFontSize(20);
    view->addSubview(contentLabel_);
    todayMin_ = helpImage(ui::Rect(66, 172, 188, 88));
    view->addSubview(todayMin_);

    // The seconds sit in a small cream window in the lower half of the dial:
    // the needle passes under it instead of striking through the digits.
    countdownLabel_ =
        look::label(ui::Rect(128, 232, 64, 30), {}, gfx::Font::boldSystemFont(28), lookpalette::plateInk());
    countdownLabel_->setBackgroundColor(lookpalette::countdownWindow());
    countdownLabel_->layer()->setCornerRadius(7);
    view->addSubview(countdownLabel_);

    shakeLabel_ =
        look::label(ui::Rect(10, 354, 300, 18), "Shake to end the rest", gfx::Font::systemFont(13), look::dimInk());
    view->addSubview(shakeLabel_);

    actionButton_ = look::button(ui::Rect(60, 302, 200, 42), "Tap To Start", lookpalette::orangeButton());
    actionButton_->addTarget([this] { actionButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(actionButton_);
    addTimeButton_ = look::button(ui::Rect(30, 304, 124, 42), "+30 sec", lookpalette::brownButton());
    addTimeButton_->addTarget([this] { addTimeButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(addTimeButton_);
    zeroButton_ = look::button(ui::Rect(166, 304, 124, 42), "End Rest", lookpalette::orangeButton());
    zeroButton_->addTarget([this] { zeroPushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(zeroButton_);

    restTimeLabel_ = look::label(ui::Rect(10, 358, 300, 24), {}, gfx::Font::systemFont(14), look::dimInk());
    view->addSubview(restTimeLabel_);
    restTimeButton_ = clearButton(ui::Rect(10, 354, 300, 32), "Change rest");
    restTimeButton_->addTarget([this] { restTimeTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(restTimeButton_);

    // Today's plan, with room below it above the screen's edge.
    todayPlanView_ = std::make_shared<TodayView>(ui::Rect(0, 348, 320, 60));
    todayPlanView_->setBackgroundColor(gfx::Color::clear());
    todayPlanView_->setOpaque(false);
    todayPlanView_->setUserInteractionEnabled(false);
    view->addSubview(todayPlanView_);

    // Done and Repeat in full width; Edit and Share side by side below, so
    // that their help callouts fit under them on the screen.
    doneButton_ = look::button(ui::Rect(40, 138, 240, 46), "Done", lookpalette::greenButton());
    doneButton_->addTarget([this] { donePushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(doneButton_);
    repeatButton_ = look::button(ui::Rect(40, 192, 240, 44), "Repeat", lookpalette::brownButton());
    repeatButton_->addTarget([this] { repeatPushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(repeatButton_);
    editRepButton_ = look::button(ui::Rect(40, 244, 114, 44), "Edit", lookpalette::brownButton());
    editRepButton_->addTarget([this] { editRepButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(editRepButton_);
    todayEdit_ = helpImage(ui::Rect(35, 239, 124, 54));
    view->addSubview(todayEdit_);
    shareButton_ = look::button(ui::Rect(166, 244, 114, 44), "Share", lookpalette::brownButton());
    shareButton_->addTarget([this] { sharePushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(shareButton_);
    todayShare_ = helpImage(ui::Rect(161, 239, 124, 54));
    view->addSubview(todayShare_);

    for (auto& b : {doneButton_, repeatButton_, editRepButton_, shareButton_}) b->setHidden(true);
    for (auto& v : std::initializer_list<std::shared_ptr<ui::View>>{restLabel_, countdownLabel_, needleView_,
                                                                    addTimeButton_, zeroButton_, shakeLabel_})
        v->setHidden(true);
    setView(view);
}

void TodayViewController::viewDidLoad() {
    todayMode_ = TodayModeReady;
    if (!beepSound_) beepSound_ = ui::SystemSound::createFromResource(kBeepSound, "wav");
    if (!pulseSound_) pulseSound_ = ui::SystemSound::createFromResource(kPulseSound, "WAV");
    auto& accelerometer = ui::Accelerometer::sharedAccelerometer();
    accelerometer.setUpdateInterval(0.1);
    accelerometer.setDelegate(std::static_pointer_cast<ui::AccelerometerDelegate>(self()));
}

void TodayViewController::viewDidUnload() {
    restTimeButton_.reset();
    restLabel_.reset();
    restTimeLabel_.reset();
}

void TodayViewController::registerObservers() {
    if (observing_) return;
    observing_ = true;
    auto& center = base::NotificationCenter::defaultCenter();
    std::weak_ptr<TodayViewController> weak = self();
    auto on = [weak](void (TodayViewController::*fn)()) {
        return [weak, fn](const base::Notification&) {
            if (auto s = weak.lock()) ((*s).*fn)();
        };
    };
    center.addObserver(this, "ResetToDay", nullptr, on(&TodayViewController::dayReset));
    center.addObserver(this, "UserRest", nullptr, on(&TodayViewController::restUser));
    center.addObserver(this, "UserUnRest", nullptr, on(&TodayViewController::unRestUser));
    center.addObserver(this, "EditReps", nullptr, [weak](const base::Notification& n) {
        if (auto s = weak.lock()) s->editRepsNotification(n);
    });
}

void TodayViewController::registerDayObservers() {
    if (observingDay_) return;
    observingDay_ = true;
    auto& center = base::NotificationCenter::defaultCenter();
    std::weak_ptr<TodayViewController> weak = self();
    center.addObserver(this, "repChanged", nullptr, [weak](const base::Notification& n) {
        auto s = weak.lock();
        if (!s) return;
        if (auto value = carriedNumber(n)) s->changeRep(*value);
    });
    center.addObserver(this, "restChanged", nullptr, [weak](const base::Notification& n) {
        auto s = weak.lock();
        if (!s) return;
        if (auto value = carriedNumber(n)) s->restChanged(*value);
    });
}

void TodayViewController::viewWillAppear(bool animated) {
    (void)animated;
    registerObservers();
    // Another screen may have taken the accelerometer since.
    ui::Accelerometer::sharedAccelerometer().setDelegate(std::static_pointer_cast<ui::AccelerometerDelegate>(self()));
    auto& session = *session_;
    if (todayMode_ == TodayModeSharing && !session.hasUnsavedDay()) return;
    if (todayMode_ == TodayModeAway) {
        todayMode_ = previousTodayMode_;
        return;
    }
    if (session.hasUnsavedDay()) {
        // A completed day that is not stored yet comes back with Done and
        // Repeat, whatever the screen was last set to.
        todayMode_ = TodayModeDayComplete;
        updateSetLabels();
        displayControls(TodayModeDayComplete);
        showRestTimeText();
        return;
    }
    session.readPosition();
    if (todayMode_ == TodayModeReady) {
        const bool fresh = session.startFresh();
        // Both keys keep the day: "No" would start it again from the first set.
        if (!fresh && defaults().boolForKey(settingskeys::kShowAlerts))
            showAlert(ResumeAlert, "Resume", "Resume day from last position?", "Yes", "No", kFirstButton, kFirstButton);
        session.loadToday();
        registerDayObservers();
        prepareDay(fresh);
    }
    showRestTimeText();
}

void TodayViewController::viewWillDisappear(bool animated) {
    (void)animated;
    if (todayMode_ == TodayModeSet || todayMode_ == TodayModeRest || todayMode_ == TodayModeDayComplete) {
        previousTodayMode_ = todayMode_;
        todayMode_ = TodayModeAway;
    }
}

// --- Presentation ---------------------------------------------------------

void TodayViewController::showRestTimeText() {
    const auto today = session_->today();
    if (restTimeLabel_ && today)
        restTimeLabel_->setText(base::format("Rest: %i      (tap to change)", today->interval()));
}

void TodayViewController::prepareDay(bool freshDay) {
    view();
    zeroButton_->setHidden(true);
    for (auto& label : repLabels_) {
        label->setText({});
        label->setTextColor(look::ink());
    }
    for (auto& button : userRepButtons_) button->setEnabled(false);
    if (auto nav = navigationController()) nav->navigationBar()->setTintColor(look::barTint());
    setTitle("Today's Program");
    helpButton_->setHidden(true);
    topTodayLabel_->setText("Today");
    if (freshDay) {
        if (auto marker = setMarker()) marker->removeFromSuperview();
    }
    const auto today = session_->today();
    const int week = today ? today->week() : 0;
    const int day = today ? today->day() : 0;
    contentLabel_->setText(base::format("Week %i Day %i", week ? week : session_->week(), day ? day : session_->day()));
    actionButton_->setTitle("Tap To Start");
    placardView_->setImage(look::bundleImage("todayplacard.png"));
    for (auto& v : std::initializer_list<std::shared_ptr<ui::View>>{restLabel_, countdownLabel_, needleView_,
                                                                    addTimeButton_, shakeLabel_})
        v->setHidden(true);
    topTodayLabel_->setHidden(false);
    for (auto& b : {doneButton_, shareButton_, repeatButton_, editRepButton_}) b->setHidden(true);
    placardView_->setHidden(false);
    actionButton_->setHidden(false);
    contentLabel_->setHidden(false);
    restTimeLabel_->setHidden(true);
    restTimeButton_->setHidden(true);
    topLabel_->setText({});
    todayPlanView_->setHidden(false);
    todayPlanView_->setNeedsDisplay();
}

void TodayViewController::displayControls(int mode) {
    view();
    for (auto& b : {doneButton_, shareButton_, repeatButton_, editRepButton_}) b->setHidden(true);
    for (auto& b : userRepButtons_) b->setEnabled(false);
    restTimeLabel_->setHidden(false);
    restTimeButton_->setHidden(false);
    todayPlanView_->setHidden(true);
    // The views each mode shows; the other views of the list go. Other modes
    // leave them as they are.
    const std::vector<std::shared_ptr<ui::View>> governed = {
        helpButton_,     actionButton_,  contentLabel_, topLabel_,      restLabel_,   countdownLabel_,
        needleView_,     addTimeButton_, shakeLabel_,   zeroButton_,    placardView_, restTimeLabel_,
        restTimeButton_, doneButton_,    repeatButton_, editRepButton_, shareButton_};
    const std::map<int, std::vector<std::shared_ptr<ui::View>>> visible = {
        {TodayModeSet,
         {helpButton_, actionButton_, contentLabel_, topLabel_, placardView_, restTimeLabel_, restTimeButton_}},
        {TodayModeRest,
         {restLabel_, countdownLabel_, needleView_, addTimeButton_, shakeLabel_, zeroButton_, placardView_}},
        {TodayModeDayComplete, {helpButton_, topLabel_, doneButton_, repeatButton_, editRepButton_, shareButton_}},
    };
    const auto shown = visible.find(mode);
    if (shown == visible.end()) return;
    if (mode == TodayModeDayComplete) closeHelp();
    for (auto& v : governed)
        v->setHidden(std::find(shown->second.begin(), shown->second.end(), v) == shown->second.end());
    switch (mode) {
    case TodayModeSet:
        topLabel_->setText("Pushups to Perform");
        placardView_->setImage(look::bundleImage("todayplacard.png"));
        for (auto& b : userRepButtons_) b->setEnabled(true);
        break;
    case TodayModeRest:
        session_->beginRest();
        needleView_->setImage(look::bundleImage("needle.png"));
        shakeLabel_->setHidden(!defaults().boolForKey(settingskeys::kAllowShake));
        placardView_->setImage(look::bundleImage("timerdial_noticks.png"));
        break;
    default:
        for (auto& b : userRepButtons_) b->setEnabled(true);
        topLabel_->setText("Day Completed");
        topTodayLabel_->setHidden(false);
        topTodayLabel_->setText("Tap each set below to change values if needed");
        break;
    }
}

std::shared_ptr<ui::View> TodayViewController::setMarker() const {
    if (!isViewLoaded()) return nullptr;
    auto v = const_cast<TodayViewController*>(this)->view();
    for (auto& sub : v->subviews())
        if (sub->tag() == kMarkerTag && sub->className() == "ImageView") return sub;
    return nullptr;
}

void TodayViewController::updateSetLabels() {
    const auto today = session_->today();
    if (!today) return;
    const int reps[5] = {today->rep1(), today->rep2(), today->rep3(), today->rep4(), today->rep5()};
    const int doubled = Program::doubledSets(today->week(), today->day());
    for (int i = 0; i < 5; ++i) {
        const bool twice = i < doubled;
        // One weight along the row; doubled sets take the smaller size so
        // that "NN(x2)" fits its 55-point slot.
        repLabels_[i]->setFont(gfx::Font("Helvetica-Bold", twice ? 15 : 17));
        repLabels_[i]->setText(base::format(twice ? "%i(x2)" : "%i", reps[i]));
        repLabels_[i]->setTextColor(look::ink());
    }
}

void TodayViewController::showToday() {
    view();
    for (auto& b : userRepButtons_) b->setEnabled(true);
    restTimeLabel_->setHidden(false);
    restTimeLabel_->setEnabled(true);
    restTimeButton_->setHidden(false);
    updateSetLabels();
    while (auto marker = setMarker()) marker->removeFromSuperview();
    const int repNum = session_->repNum();
    if (repNum >= 1 && repNum <= 5) {
        auto marker = std::make_shared<ui::ImageView>(ui::Rect(kMarkerX[repNum - 1], 10, 55, 30));
        marker->setImage(look::bundleImage("setbutton.png"));
        marker->setTag(kMarkerTag);
        marker->setUserInteractionEnabled(false);
        view()->insertSubview(marker, 1);
        repLabels_[repNum - 1]->setTextColor(gfx::Color::black());
    }
}

void TodayViewController::showRep() {
    showToday();
    const int repNum = session_->repNum();
    const auto today = session_->today();
    std::string text = "Finished!";
    if (today && repNum >= 1 && repNum <= 5) {
        const int reps[5] = {today->rep1(), today->rep2(), today->rep3(), today->rep4(), today->rep5()};
        text = base::format(repNum == 5 ? "%d (+)" : "%d", reps[repNum - 1]);
    }
    contentLabel_->setText(text);
    topLabel_->setHidden(false);
    topLabel_->setText("Pushups to Perform");
}

void TodayViewController::showCountdown() {
    const int seconds = session_->restCountdown();
    if (countdownLabel_) countdownLabel_->setText(base::format("%i", std::max(seconds, 0)));
    if (seconds >= 1 && seconds <= 4) playSound(kBeepSound);
    else if (seconds == 0) playSound(kPulseSound);
    rotateNeedleAnimation();
}

void TodayViewController::rotateNeedleAnimation() {
    if (!needleView_) return;
    const double seconds = std::max(session_->restCountdown(), 0);
    const double radians = -(seconds * 6.0) * std::numbers::pi / 180.0;
    needleView_->setTransform(ui::AffineTransform::makeRotation(static_cast<ui::Float>(radians)));
}

void TodayViewController::playSound(const char* name) {
    const auto& sound = name == std::string(kBeepSound) ? beepSound_ : pulseSound_;
    if (sound) ui::SystemSound::playAlertSound(*sound);
}

// --- Help overlay ---------------------------------------------------------

void TodayViewController::helpPushed() {
    if (todayMode_ == TodayModeSet || todayMode_ == TodayModeDayComplete || todayMode_ == TodayModeSharing)
        animateTodayHelp();
}

void TodayViewController::closeHelp() {
    if (helpModeOn_) animateTodayHelp();
}

void TodayViewController::animateTodayHelp() {
    view();
    float alpha = 0;
    if (!helpModeOn_) {
        helpModeOn_ = true;
        animDoneOnce_ = false;
        alpha = 1;
    } else {
        helpModeOn_ = false;
        animDoneOnce_ = true;
        removeCallouts();
        alpha = 0;
    }
    std::vector<std::shared_ptr<ui::View>> targets;
    if (todayMode_ == TodayModeDayComplete || todayMode_ == TodayModeSharing) {
        targets.push_back(todayEdit_);
        if (!shareButton_->isHidden()) targets.push_back(todayShare_);
    } else {
        for (auto& image : todayHelp_) targets.push_back(image);
        if (session_->repNum() == 5) targets.push_back(todayMin_);
    }
    // Every highlight that is not a target of this overlay stays out.
    if (alpha == 0)
        targets = {todayEdit_,    todayShare_,   todayMin_,     todayHelp_[0],
                   todayHelp_[1], todayHelp_[2], todayHelp_[3], todayHelp_[4]};
    std::weak_ptr<TodayViewController> weak = self();
    ui::View::animate(
        0.75, 0, ui::AnimationOptions::CurveEaseInOut,
        [targets, alpha] {
            for (auto& t : targets) t->setAlpha(alpha);
        },
        [weak](bool finished) {
            if (auto s = weak.lock()) s->animationDidStop(finished);
        });
}

void TodayViewController::animationDidStop(bool finished) {
    if (!finished || !helpModeOn_ || animDoneOnce_) return;
    animDoneOnce_ = true;
    addCallouts();
}

void TodayViewController::placeCallout(const std::shared_ptr<ui::View>& target, int tag, ui::Float width,
                                       const std::string* text, ui::Float preferredX) {
    auto callout = std::make_shared<HelpViewController>();
    auto calloutView = callout->view();
    calloutView->setTag(tag);
    if (text) {
        callout->text()->setText(*text);
        callout->text()->setTextAlignment(ui::TextAlignment::Left);
    }
    // Inside the screen, next to what it explains and never over it.
    const ui::Rect t = target->frame();
    callout->placeAt(t, view()->bounds(), width, preferredX);
    view()->addSubview(calloutView);
    callouts_.push_back(callout);
}

void TodayViewController::addCallouts() {
    if (todayMode_ == TodayModeDayComplete || todayMode_ == TodayModeSharing) {
        if (!shareButton_->isHidden()) {
            const std::string share = "Tap Share to post your day to social networking sites.";
            placeCallout(todayShare_, ShareCallout, 144, &share, 166);
        }
        // Side by side under their buttons, so the line break of the wide
        // callout goes.
        const std::string edit = "Tap to edit todays reps in detail";
        placeCallout(todayEdit_, EditCallout, 144, &edit, 10);
    } else {
        // The set callout takes the place of the caption above the plate
        // while it is up.
        topTodayLabel_->setAlpha(0);
        placeCallout(todayHelp_[0], SetsCallout, 270, nullptr, 10);
        if (session_->repNum() == 5) {
            const std::string minimum = "+ = Minimum";
            placeCallout(todayMin_, MinimumCallout, 160, &minimum, 58);
        }
    }
}

void TodayViewController::removeCallouts() {
    if (topTodayLabel_) topTodayLabel_->setAlpha(1);
    for (auto& callout : callouts_)
        if (callout->isViewLoaded()) callout->view()->removeFromSuperview();
    callouts_.clear();
}

// --- Engine ---------------------------------------------------------------

void TodayViewController::actionButtonTapped() {
    switch (todayMode_) {
    case TodayModeReady:
        session_->setGoing(false);
        if (auto app = AppState::current()) app->setCanReset(true);
        todayMode_ = TodayModeSet;
        startDay();
        break;
    case TodayModeSet:
        if (session_->repNum() > 4) {
            completeDay();
            return;
        }
        session_->setGoing(true);
        todayMode_ = TodayModeRest;
        processStep();
        break;
    case TodayModeRest:
        session_->setGoing(false);
        todayMode_ = TodayModeSet;
        processStep();
        break;
    default: break;
    }
}

void TodayViewController::startDay() {
    view();
    if (session_->startWeek() >= 7) {
        hold();
        using B = ChoiceButton<EndOfPlanChoice>;
        auto sheet = choiceSheet<EndOfPlanChoice>(
            "You have reached the end of the 6 week program! It is recommended that you now reset to week four to "
            "maintain your current level, or reset back to level one to do the program all over again!",
            std::static_pointer_cast<ui::ActionSheetDelegate>(self()),
            B{"Reset To Week Four", EndOfPlanChoice::ResetToWeekFour}, B{"Do nothing", EndOfPlanChoice::Stay},
            {B{"Reset To Week One", EndOfPlanChoice::ResetToWeekOne}}, EndOfPlanChoice::Stay, endOfPlanChoices_);
        sheet->setTag(EndOfPlanSheet);
        sheet->showInView(view());
        return;
    }
    // The day's plan row could not be read (the store reported it when it
    // was read): no day of zeros begins.
    if (!session_->today()) return;
    if (WorkoutSession::shortRestToConfirm()) {
        // Both keys keep the user's rest: "Use Default" switches it off.
        showAlert(RestNagAlert, "Rest Timer", "You have set a custom rest time of less than ten seconds. Is this OK?",
                  "Yes", "Use Default", kFirstButton, kFirstButton);
    }
    std::weak_ptr<TodayViewController> weak = self();
    session_->beginDay([weak] {
        if (auto screen = weak.lock()) screen->timerFired();
    });
    actionButton_->setTitle("Done");
    displayControls(TodayModeSet);
    helpButton_->setHidden(false);
    showRep();
}

void TodayViewController::processStep() {
    displayControls(todayMode_);
    if (todayMode_ == TodayModeSet) {
        calcNextRep();
        return;
    }
    closeHelp();
    session_->fillEmptyRest();
    showCountdown();
}

void TodayViewController::calcNextRep() {
    if (!session_->nextSet()) {
        popToHome(true);
        return;
    }
    showRep();
}

void TodayViewController::timerFired() {
    const auto tick = session_->tick();
    if (tick == WorkoutSession::Tick::Idle) return;
    showCountdown();
    if (tick == WorkoutSession::Tick::RestOver) {
        todayMode_ = todayMode_ == TodayModeAway ? TodayModeAway : TodayModeSet;
        if (todayMode_ == TodayModeAway) previousTodayMode_ = TodayModeSet;
        displayControls(TodayModeSet);
        calcNextRep();
        actionButton_->setTitle("Done");
        actionButton_->setHidden(false);
        placardView_->setImage(look::bundleImage("todayplacard.png"));
        if (auto app = AppState::current()) app->setBackFromBeingInBackground(false);
    }
}

void TodayViewController::zeroPushed() {
    session_->endRest();
    if (countdownLabel_) countdownLabel_->setText("0");
    rotateNeedleAnimation();
}

void TodayViewController::addTimeButtonTapped() {
    if (todayMode_ != TodayModeRest) return;
    session_->addTime();
    showCountdown();
}

void TodayViewController::didAccelerate(ui::Accelerometer& accelerometer, const ui::Acceleration& a) {
    (void)accelerometer;
    if (!defaults().boolForKey(settingskeys::kAllowShake)) return;
    if (a.x > 1.2 || a.y > 1.2 || a.z > 1.2) zeroPushed();
}

void TodayViewController::userRepButtonTapped(int tag) {
    const auto today = session_->today();
    if (!today || tag < 1 || tag > 5) return;
    repChanged_ = tag;
    const int reps[5] = {today->rep1(), today->rep2(), today->rep3(), today->rep4(), today->rep5()};
    previousTodayMode_ = todayMode_;
    todayMode_ = TodayModeAway;
    if (!customRepViewController_) customRepViewController_ = std::make_shared<CustomRepViewController>();
    customRepViewController_->setRep(reps[tag - 1]);
    customRepViewController_->setRestMode(false);
    presentModalViewController(customRepViewController_, true);
}

void TodayViewController::restTimeTapped() {
    const auto today = session_->today();
    if (!today) return;
    repChanged_ = 0;
    if (todayMode_ == TodayModeSet || todayMode_ == TodayModeRest || todayMode_ == TodayModeDayComplete) {
        previousTodayMode_ = todayMode_;
        todayMode_ = TodayModeAway;
    }
    if (!customRepViewController_) customRepViewController_ = std::make_shared<CustomRepViewController>();
    customRepViewController_->setRep(today->interval());
    customRepViewController_->setRestMode(true);
    presentModalViewController(customRepViewController_, true);
}

void TodayViewController::changeRep(double value) {
    if (!session_->setRep(repChanged_, value)) return;
    const int mode = todayMode_ == TodayModeAway ? previousTodayMode_ : todayMode_;
    if (mode == TodayModeSet) showRep();
    else updateSetLabels();
}

void TodayViewController::restChanged(double value) {
    if (!session_->today()) return;
    session_->setRestInterval(value);
    showRestTimeText();
}

void TodayViewController::restUser() { session_->useUserRest(); }

void TodayViewController::unRestUser() { session_->usePlanRest(); }

void TodayViewController::dayReset() {
    // The plan position was set from the settings: the screen comes back
    // ready for the new day, which starts when the user starts it.
    session_->resetDay();
    if (helpModeOn_) {
        helpModeOn_ = false;
        removeCallouts();
    }
    todayMode_ = TodayModeReady;
    previousTodayMode_ = TodayModeReady;
    if (auto app = AppState::current()) app->setCanReset(true);
    if (isViewLoaded()) {
        prepareDay(true);
        showRestTimeText();
    }
}

void TodayViewController::completeDay() {
    closeHelp();
    session_->completeDay();
    for (auto& label : repLabels_) label->setTextColor(look::ink());
    topLabel_->setHidden(true);
    topTodayLabel_->setHidden(true);
    while (auto marker = setMarker()) marker->removeFromSuperview();
    todayMode_ = TodayModeDayComplete;
    displayControls(TodayModeDayComplete);
}

void TodayViewController::editRepButtonTapped() {
    // The edit is taken only when the editor saves it ("EditReps").
    auto editor = std::make_shared<EditRepsViewController>();
    editor->setToday(session_->today());
    if (auto nav = navigationController()) nav->pushViewController(editor, true);
}

void TodayViewController::editRepsNotification(const base::Notification& notification) {
    const auto* carried = std::any_cast<std::shared_ptr<Log>>(&notification.object);
    if (!carried || !*carried) return;
    if (session_->applyEdit(**carried) && isViewLoaded()) updateSetLabels();
}

void TodayViewController::saveDay() {
    todayMode_ = TodayModeDayComplete;
    session_->saveDay();
}

void TodayViewController::finishDay() {
    session_->finish();
    closeHelp();
    saveDay();
    todayMode_ = TodayModeReady;
    reminderOffer();
}

void TodayViewController::donePushed() {
    session_->markDone();
    if (session_->fellShort()) {
        hold();
        using Answer = WorkoutSession::TroubleAnswer;
        using B = ChoiceButton<Answer>;
        auto sheet =
            choiceSheet<Answer>("You seem to be having a little trouble with the current program? Do you want to:",
                                std::static_pointer_cast<ui::ActionSheetDelegate>(self()), std::nullopt, std::nullopt,
                                {B{"Continue with program", Answer::Continue},
                                 B{"Repeat today next time", Answer::RepeatDay}, B{"Go back a week", Answer::WeekBack}},
                                Answer::RepeatDay, troubleChoices_);
        sheet->setTag(TroubleSheet);
        sheet->showInView(view());
        return;
    }
    finishDay();
}

void TodayViewController::answerTrouble(WorkoutSession::TroubleAnswer answer) {
    session_->moveAfterTrouble(answer);
    closeHelp();
    saveDay();
    todayMode_ = TodayModeReady;
    reminderOffer();
}

void TodayViewController::repeatPushed() {
    session_->repeatDay();
    closeHelp();
    saveDay();
    todayMode_ = TodayModeReady;
    if (Utility::hasReminder() && ui::isClassAvailable("EKEventEditViewController")) {
        reminderOffer();
    } else {
        Utility::ShowAlert("Repeating day for next workout", "Rerun...");
        popToHome(true);
    }
}

void TodayViewController::sharePushed() {
    closeHelp();
    const auto today = session_->today();
    if (!today) return;
    statusString_ = shareText(*today);
    todayMode_ = TodayModeSharing;
    auto sheet = SHRActionSheet::actionSheetForItem(SHRItem::text(statusString_));
    if (!sheet) return;
    sheet->setTag(ShareSheet);
    sheet->showInView(view());
}

void TodayViewController::reminderOffer() {
    if (Utility::hasReminder() && ui::isClassAvailable("EKEventEditViewController")) {
        // Return takes up the offer; Escape declines it.
        showAlert(ReminderAlert, "Set Reminder?", "Would you like to set a reminder for your next workout?", "No",
                  "Yes", kSecondButton, kFirstButton);
    } else {
        popToHome(true);
    }
}

void TodayViewController::presentEventEditor() {
    // The next workout, two days from now, with an alarm five minutes before.
    auto store = std::make_shared<ui::EventStore>();
    auto event = ui::CalendarEvent::eventWithEventStore(store);
    event->setTitle("Tolvek - Sets to do");
    const base::Date start = base::Date::now().addingTimeInterval(172800);
    event->setStartDate(start);
    event->setEndDate(start.addingTimeInterval(900));
    event->addAlarm(ui::Alarm::alarmWithRelativeOffset(-300));
    auto editor = std::make_shared<ui::EventEditViewController>();
    editor->setEventStore(store);
    editor->setEvent(event);
    editor->setEditViewDelegate(std::static_pointer_cast<ui::EventEditViewDelegate>(self()));
    hold();
    presentModalViewController(editor, true);
}

void TodayViewController::didCompleteWithAction(ui::EventEditViewController& controller,
                                                ui::EventEditViewAction action) {
    (void)controller;
    // A failed save says why in its own alert and stays, so that the user
    // can try again or cancel.
    if (action == ui::EventEditViewAction::Failed) return;
    dismissModalViewControllerAnimated(true);
    popToHome(true);
    release();
}

void TodayViewController::popToHome(bool animated) {
    if (auto nav = navigationController()) nav->popToRootViewControllerAnimated(animated);
}

// --- Alerts and sheets ----------------------------------------------------

void TodayViewController::showAlert(AlertTag tag, const std::string& title, const std::string& message,
                                    const std::string& first, const std::string& second, int returnIndex,
                                    int escapeIndex) {
    hold();
    // The first button is given as the cancel button, so its index is 0.
    auto alert =
        std::make_shared<ui::AlertView>(title, message, std::static_pointer_cast<ui::AlertViewDelegate>(self()), first,
                                        std::vector<std::string>{second});
    alert->setTag(tag);
    alert->setKeys(ui::KeyAnswer::press(returnIndex), ui::KeyAnswer::press(escapeIndex));
    alert->show();
}

void TodayViewController::clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) {
    switch (alertView.tag()) {
    case ResumeAlert:
        if (buttonIndex == 1) session_->restartDay();
        break;
    case RestNagAlert:
        if (buttonIndex == 0) {
            defaults().setBool(settingskeys::kTurnUserRestNagOff, true);
        } else {
            defaults().setBool(settingskeys::kUserRest, false);
            Utility::synchronizeSettings();
        }
        break;
    case ReminderAlert:
        if (buttonIndex == 1) presentEventEditor();
        else popToHome(true);
        break;
    default: break;
    }
}

void TodayViewController::didDismissWithButtonIndex(ui::AlertView& alertView, int buttonIndex) {
    (void)alertView, (void)buttonIndex;
    release();
}

void TodayViewController::clickedButtonAtIndex(ui::ActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() == TroubleSheet) {
        // A sheet closed without a tap keeps the day for next time.
        answerTrouble(chosen(troubleChoices_, buttonIndex, WorkoutSession::TroubleAnswer::RepeatDay));
        return;
    }
    if (sheet.tag() == EndOfPlanSheet) {
        const auto today = session_->today();
        const int level = today && today->level() ? today->level() : Utility::getLevel();
        switch (chosen(endOfPlanChoices_, buttonIndex, EndOfPlanChoice::Stay)) {
        case EndOfPlanChoice::ResetToWeekFour: Utility::resetToDayAndWeekAndLevel(1, 4, level); break;
        case EndOfPlanChoice::ResetToWeekOne: Utility::resetToDayAndWeekAndLevel(1, 1, level); break;
        case EndOfPlanChoice::Stay: break;
        }
        // The day did not start: the screen is ready again for the next visit.
        todayMode_ = TodayModeReady;
        if (auto app = AppState::current()) app->setCanReset(true);
        popToHome(false);
    }
}

void TodayViewController::didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) {
    (void)sheet, (void)buttonIndex;
    release();
}
