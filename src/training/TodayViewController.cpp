#include "training/TodayViewController.h"

#include "sharing/core/SHRActionSheet.h"
#include "sharing/core/SHRItem.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "platform/base/Clock.h"
#include "platform/base/Format.h"
#include "platform/base/Number.h"
#include "platform/base/UserDefaults.h"
#include "platform/gfx/Layer.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "training/CustomRepViewController.h"
#include "training/DataAccess.h"
#include "training/EditRepsViewController.h"
#include "training/HelpViewController.h"
#include "training/TodayView.h"
#include "training/TolvekAppDelegate.h"
#include "training/Utility.h"
#include "training/WorkoutLook.h"

namespace look = workoutlook;

namespace {

constexpr const char* kBeepSound = "BEEP_FM-1";
constexpr const char* kPulseSound = "BEEPROBO";
constexpr int kMarkerTag = 1;
constexpr int kResumeAlert = 0;
constexpr int kReminderAlert = 1;
constexpr int kRestNagAlert = 911;
constexpr int kTroubleSheet = 90;
constexpr int kEndOfPlanSheet = 91;
constexpr int kShareSheet = 100;
constexpr ui::Float kMarkerX[5] = {11, 78, 139, 195, 250};

struct DayState {
    int repNum = 1;
    int repToShow = 1;
    int restCountdown = 0;
    int week = 0;
    int day = 0;
    int firstRepPending = 0;
    std::shared_ptr<base::Timer> restTimer;
};

DayState& state() {
    static DayState s;
    return s;
}

std::vector<TodayViewController::PlayedSound>& soundLog() {
    static std::vector<TodayViewController::PlayedSound> log;
    return log;
}

base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
int setting(const char* key) { return static_cast<int>(defaults().integerForKey(key)); }

bool doubledWeek5(int week, int day) { return week == 5 && (day == 2 || day == 3); }
bool doubledWeek6(int week, int day) { return week == 6 && (day == 2 || day == 3); }

int clampToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);  // the integer value: the fraction is dropped
}

// The number a "repChanged" or "restChanged" notification carries.
std::optional<double> carriedNumber(const base::Notification& n) {
    if (const auto* number = std::any_cast<base::Number>(&n.object)) return number->doubleValue();
    if (const auto* i = std::any_cast<int>(&n.object)) return *i;
    if (const auto* d = std::any_cast<double>(&n.object)) return *d;
    return std::nullopt;
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

// --- Day state ------------------------------------------------------------

int TodayViewController::repNum() { return state().repNum; }
int TodayViewController::repToShow() { return state().repToShow; }
int TodayViewController::restCountdown() { return state().restCountdown; }
int TodayViewController::firstRepPending() { return state().firstRepPending; }
int TodayViewController::dayStateWeek() { return state().week; }
int TodayViewController::dayStateDay() { return state().day; }
std::shared_ptr<base::Timer> TodayViewController::restTimer() { return state().restTimer; }
const std::vector<TodayViewController::PlayedSound>& TodayViewController::playedSounds() { return soundLog(); }
void TodayViewController::clearPlayedSounds() { soundLog().clear(); }

long long TodayViewController::totalDoneToday(const Program& program) {
    long long total = 0;
    for (int slot : program.nineSlots(program.week(), program.day())) total += slot;
    return total;
}

std::string TodayViewController::shareText(const Program& program) {
    return base::format(
        "Today I did a total of %i pushups thanks to the Tolvek iPhone app. (Week %i, Day %i, Level %i) #Tolvek",
        totalDoneToday(program), program.week(), program.day(), program.level());
}

// --- The kept day ---------------------------------------------------------

namespace {
constexpr const char* kKeptDayKey = "Tolvek_UnsavedDay";
}  // namespace

void TodayViewController::keepCompletedDay(const Log& day, base::Date finished) {
    base::Dictionary kept;
    kept.set("Finished", base::Value(finished));
    kept.set("Week", base::Value(static_cast<long long>(day.week())));
    kept.set("Day", base::Value(static_cast<long long>(day.day())));
    kept.set("Level", base::Value(static_cast<long long>(day.level())));
    base::Array reps;
    for (int r : day.reps()) reps.push_back(base::Value(static_cast<long long>(r)));
    kept.set("Reps", base::Value(std::move(reps)));
    defaults().setObject(kKeptDayKey, base::Value(std::move(kept)));
}

std::optional<Log> TodayViewController::keptDay() {
    const auto kept = defaults().dictionaryForKey(kKeptDayKey);
    if (!kept) return std::nullopt;
    // The settings file is the user's to edit: what is read is bounded as
    // typed counts are.
    auto bounded = [](long long v, long long most) { return static_cast<int>(std::clamp(v, -most, most)); };
    Log day;
    day.setWeek(bounded(kept->get("Week").integerValue(), 1000));
    day.setDay(bounded(kept->get("Day").integerValue(), 1000));
    day.setLevel(bounded(kept->get("Level").integerValue(), 1000));
    std::array<int, 9> reps{};
    if (const base::Array* list = kept->get("Reps").asArray())
        for (std::size_t i = 0; i < reps.size() && i < list->size(); ++i)
            reps[i] = bounded((*list)[i].integerValue(), Utility::kMostReps);
    day.setReps(reps);
    return day;
}

std::optional<base::Date> TodayViewController::keptDayFinished() {
    const auto kept = defaults().dictionaryForKey(kKeptDayKey);
    if (!kept) return std::nullopt;
    const base::Date* finished = kept->get("Finished").asDate();
    if (!finished) return std::nullopt;
    return *finished;
}

void TodayViewController::forgetKeptDay() {
    defaults().removeObjectForKey(kKeptDayKey);
    Utility::synchronizeSettings();
}

bool TodayViewController::storeKeptDay() {
    const auto day = keptDay();
    if (!day) return false;
    // The day is logged with the moment it was finished. The run that kept
    // it may have logged it and ended before it could forget it: a day the
    // log already holds with that moment is only forgotten.
    const auto finished = keptDayFinished();
    if (finished) {
        const auto held = DataAccess::holdsDay(*day, *finished);
        if (!held) return false;  // the log cannot be read: kept for the next start
        if (*held) {
            forgetKeptDay();
            return false;
        }
    }
    StoreFailureNote note("Tolvek keeps the day and tries again the next time it starts.");
    if (!DataAccess::saveLog(*day, finished.value_or(base::Date::now()))) return false;
    forgetKeptDay();
    return true;
}

// --- Life cycle -----------------------------------------------------------

TodayViewController::TodayViewController() : ui::ViewController("TodayView") { setTitle("Today's Program"); }

TodayViewController::~TodayViewController() {
    base::NotificationCenter::defaultCenter().removeObserver(this);
    if (beepSound_) ui::SystemSound::dispose(*beepSound_);
    if (pulseSound_) ui::SystemSound::dispose(*pulseSound_);
    // The timer reaches the screen weakly; a screen that is gone stops it.
    if (state().restTimer) state().restTimer->invalidate();
    state().restTimer.reset();
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
    helpButton_ = look::button(ui::Rect(282, 102, 30, 30), "?", gfx::Color::rgb(0.45f, 0.33f, 0.27f));
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

    contentLabel_ = look::label(ui::Rect(72, 172, 176, 88), {}, gfx::Font::boldSystemFont(54),
                                gfx::Color::rgb(0.24f, 0.15f, 0.09f));
    contentLabel_->setAdjustsFontSizeToFitWidth(true);
    contentLabel_->setMinimumFontSize(20);
    view->addSubview(contentLabel_);
    todayMin_ = helpImage(ui::Rect(66, 172, 188, 88));
    view->addSubview(todayMin_);

    // The seconds sit in a small window of the dial's face colour in the
    // lower half of the dial: the needle passes under it instead of
    // striking through the digits.
    countdownLabel_ = look::label(ui::Rect(128, 232, 64, 30), {}, gfx::Font::boldSystemFont(28),
                                  gfx::Color::rgb(0.24f, 0.15f, 0.09f));
    countdownLabel_->setBackgroundColor(gfx::Color::rgb(0.99f, 0.96f, 0.88f));
    countdownLabel_->layer()->setCornerRadius(7);
    view->addSubview(countdownLabel_);

    shakeLabel_ = look::label(ui::Rect(10, 354, 300, 18), "Shake to end the rest", gfx::Font::systemFont(13),
                              look::dimInk());
    view->addSubview(shakeLabel_);

    actionButton_ = look::button(ui::Rect(60, 302, 200, 42), "Tap To Start", gfx::Color::rgb(0.85f, 0.45f, 0.1f));
    actionButton_->addTarget([this] { actionButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(actionButton_);
    addTimeButton_ = look::button(ui::Rect(30, 304, 124, 42), "+30 sec", gfx::Color::rgb(0.45f, 0.33f, 0.27f));
    addTimeButton_->addTarget([this] { addTimeButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(addTimeButton_);
    zeroButton_ = look::button(ui::Rect(166, 304, 124, 42), "End Rest", gfx::Color::rgb(0.85f, 0.45f, 0.1f));
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

    const gfx::Color green = gfx::Color::rgb(0.25f, 0.55f, 0.2f);
    const gfx::Color brown = gfx::Color::rgb(0.45f, 0.33f, 0.27f);
    // Done and Repeat in full width; Edit and Share side by side below, so
    // that their help callouts fit under them on the screen.
    doneButton_ = look::button(ui::Rect(40, 138, 240, 46), "Done", green);
    doneButton_->addTarget([this] { donePushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(doneButton_);
    repeatButton_ = look::button(ui::Rect(40, 192, 240, 44), "Repeat", brown);
    repeatButton_->addTarget([this] { repeatPushed(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(repeatButton_);
    editRepButton_ = look::button(ui::Rect(40, 244, 114, 44), "Edit", brown);
    editRepButton_->addTarget([this] { editRepButtonTapped(); }, ui::ControlEvents::TouchUpInside);
    view->addSubview(editRepButton_);
    todayEdit_ = helpImage(ui::Rect(35, 239, 124, 54));
    view->addSubview(todayEdit_);
    shareButton_ = look::button(ui::Rect(166, 244, 114, 44), "Share", brown);
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
    if (todayMode_ == TodayModeSharing && !unsavedDay_) return;
    if (todayMode_ == TodayModeAway) {
        todayMode_ = previousTodayMode_;
        return;
    }
    if (unsavedDay_) {
        // A completed day that is not stored yet comes back with Done and
        // Repeat, whatever the screen was last set to.
        todayMode_ = TodayModeDayComplete;
        updateSetLabels();
        displayControls(TodayModeDayComplete);
        showRestTimeText();
        return;
    }
    auto& s = state();
    const int level = setting("Tolvek_Level");
    s.day = setting("Tolvek_Day");
    s.week = setting("Tolvek_Week");
    s.repNum = setting("Tolvek_RepNum");
    s.repToShow = setting("Tolvek_RepToShow");
    s.firstRepPending = setting("Tolvek_FirstRep") ? 1 : 0;
    if (todayMode_ == TodayModeReady) {
        bool fresh = false;
        if (s.repNum < 1) {
            s.repNum = 1;
            // A fresh day starts with the first round of a doubled set.
            s.firstRepPending = 0;
            fresh = true;
        } else if (defaults().boolForKey("Tolvek_ShowAlerts")) {
            showAlert(kResumeAlert, "Resume", "Resume day from last position?", "Yes", "No");
        }
        if (s.repToShow < 1) s.repToShow = 1;
        today_ = DataAccess::getProgram(s.day, s.week, level);
        if (auto d = TolvekAppDelegate::shared()) d->setCanReset(true);
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
    if (restTimeLabel_ && today_) restTimeLabel_->setText(base::format("Rest: %i      (tap to change)", today_->interval()));
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
    const int week = today_ ? today_->week() : 0;
    const int day = today_ ? today_->day() : 0;
    contentLabel_->setText(base::format("Week %i Day %i", week ? week : state().week, day ? day : state().day));
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
    auto& s = state();
    switch (mode) {
    case TodayModeSet:
        helpButton_->setHidden(false);
        actionButton_->setHidden(false);
        contentLabel_->setHidden(false);
        topLabel_->setHidden(false);
        topLabel_->setText("Pushups to Perform");
        restLabel_->setHidden(true);
        countdownLabel_->setHidden(true);
        needleView_->setHidden(true);
        addTimeButton_->setHidden(true);
        shakeLabel_->setHidden(true);
        zeroButton_->setHidden(true);
        placardView_->setHidden(false);
        placardView_->setImage(look::bundleImage("todayplacard.png"));
        for (auto& b : userRepButtons_) b->setEnabled(true);
        restTimeLabel_->setHidden(false);
        restTimeButton_->setHidden(false);
        break;
    case TodayModeRest:
        isGoing_ = true;
        if (auto d = TolvekAppDelegate::shared()) d->setIsGoing(true);
        if (defaults().boolForKey("Tolvek_UserRest"))
            s.restCountdown = setting("Tolvek_UserRestValue");
        else
            s.restCountdown = today_ ? today_->interval() : 0;
        helpButton_->setHidden(true);
        actionButton_->setHidden(true);
        contentLabel_->setHidden(true);
        topLabel_->setHidden(true);
        restLabel_->setHidden(false);
        countdownLabel_->setHidden(false);
        needleView_->setHidden(false);
        needleView_->setImage(look::bundleImage("needle.png"));
        addTimeButton_->setHidden(false);
        shakeLabel_->setHidden(!defaults().boolForKey("Tolvek_AllowShake"));
        zeroButton_->setHidden(false);
        placardView_->setHidden(false);
        placardView_->setImage(look::bundleImage("timerdial_noticks.png"));
        restTimeLabel_->setHidden(true);
        restTimeButton_->setHidden(true);
        break;
    case TodayModeDayComplete:
        closeHelp();
        helpButton_->setHidden(false);
        actionButton_->setHidden(true);
        contentLabel_->setHidden(true);
        topLabel_->setHidden(false);
        topLabel_->setText("Day Completed");
        restLabel_->setHidden(true);
        countdownLabel_->setHidden(true);
        needleView_->setHidden(true);
        addTimeButton_->setHidden(true);
        shakeLabel_->setHidden(true);
        zeroButton_->setHidden(true);
        placardView_->setHidden(true);
        for (auto& b : userRepButtons_) b->setEnabled(true);
        doneButton_->setHidden(false);
        repeatButton_->setHidden(false);
        editRepButton_->setHidden(false);
        shareButton_->setHidden(false);
        restTimeLabel_->setHidden(true);
        restTimeButton_->setHidden(true);
        topTodayLabel_->setHidden(false);
        topTodayLabel_->setText("Tap each set below to change values if needed");
        break;
    default:
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
    if (!today_) return;
    const int week = today_->week();
    const int day = today_->day();
    const int reps[5] = {today_->rep1(), today_->rep2(), today_->rep3(), today_->rep4(), today_->rep5()};
    const int doubled = doubledWeek5(week, day) ? 3 : doubledWeek6(week, day) ? 4 : 0;
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
    const int repNum = state().repNum;
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
    const int repNum = state().repNum;
    std::string text = "Finished!";
    if (today_ && repNum >= 1 && repNum <= 5) {
        const int reps[5] = {today_->rep1(), today_->rep2(), today_->rep3(), today_->rep4(), today_->rep5()};
        text = base::format(repNum == 5 ? "%d (+)" : "%d", reps[repNum - 1]);
    }
    contentLabel_->setText(text);
    topLabel_->setHidden(false);
    topLabel_->setText("Pushups to Perform");
}

void TodayViewController::showCountdown() {
    const int seconds = state().restCountdown;
    if (countdownLabel_) countdownLabel_->setText(base::format("%i", std::max(seconds, 0)));
    if (seconds >= 1 && seconds <= 4) playSound(kBeepSound);
    else if (seconds == 0) playSound(kPulseSound);
    rotateNeedleAnimation();
}

void TodayViewController::rotateNeedleAnimation() {
    if (!needleView_) return;
    const double seconds = std::max(state().restCountdown, 0);
    const double radians = -(seconds * 6.0) * std::numbers::pi / 180.0;
    needleView_->setTransform(ui::AffineTransform::makeRotation(static_cast<ui::Float>(radians)));
}

void TodayViewController::playSound(const char* name) {
    auto& log = soundLog();
    if (log.size() >= 1000) log.erase(log.begin(), log.begin() + 500);
    log.push_back({name, base::Clock::current().now()});
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
        if (state().repNum == 5) targets.push_back(todayMin_);
    }
    // Every highlight that is not a target of this overlay stays out.
    if (alpha == 0) targets = {todayEdit_, todayShare_, todayMin_, todayHelp_[0], todayHelp_[1], todayHelp_[2],
                               todayHelp_[3], todayHelp_[4]};
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
            placeCallout(todayShare_, 102, 144, &share, 166);
        }
        // Side by side under their buttons, so the line break of the wide
        // callout goes.
        const std::string edit = "Tap to edit todays reps in detail";
        placeCallout(todayEdit_, 103, 144, &edit, 10);
    } else {
        // The set callout takes the place of the caption above the plate
        // while it is up.
        topTodayLabel_->setAlpha(0);
        placeCallout(todayHelp_[0], 100, 270, nullptr, 10);
        if (state().repNum == 5) {
            const std::string minimum = "+ = Minimum";
            placeCallout(todayMin_, 101, 160, &minimum, 58);
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

void TodayViewController::clearEdit() {
    hasRepEdit_ = false;
    changedLog_.reset();
}

void TodayViewController::actionButtonTapped() {
    auto d = TolvekAppDelegate::shared();
    switch (todayMode_) {
    case TodayModeReady:
        isGoing_ = false;
        if (d) {
            d->setIsGoing(false);
            d->setCanReset(true);
        }
        todayMode_ = TodayModeSet;
        startDay();
        break;
    case TodayModeSet:
        if (state().repNum > 4) {
            completeDay();
            return;
        }
        isGoing_ = true;
        if (d) d->setIsGoing(true);
        todayMode_ = TodayModeRest;
        processStep();
        break;
    case TodayModeRest:
        isGoing_ = false;
        if (d) d->setIsGoing(false);
        todayMode_ = TodayModeSet;
        processStep();
        break;
    default:
        break;
    }
}

void TodayViewController::startDay() {
    view();
    auto& s = state();
    auto d = TolvekAppDelegate::shared();
    const int week = std::max(today_ ? today_->week() : 0, s.week);
    if (week >= 7) {
        hold();
        auto sheet = std::make_shared<ui::ActionSheet>(
            "You have reached the end of the 6 week program! It is recommended that you now reset to week four to "
            "maintain your current level, or reset back to level one to do the program all over again!",
            std::static_pointer_cast<ui::ActionSheetDelegate>(self()), "Reset To Week Four", "Do nothing",
            std::vector<std::string>{"Reset To Week One"});
        sheet->setTag(kEndOfPlanSheet);
        sheet->showInView(view());
        return;
    }
    if (defaults().boolForKey("Tolvek_UserRest") && setting("Tolvek_UserRestValue") <= 9 &&
        !defaults().boolForKey("TurnUserRestNagOff")) {
        showAlert(kRestNagAlert, "Rest Timer", "You have set a custom rest time of less than ten seconds. Is this OK?",
                  "Yes", "Use Default");
    }
    isGoing_ = d ? d->isGoing() : false;
    if (d && d->hasReset()) {
        d->setHasReset(false);
        s.restCountdown = 0;
    }
    if (s.restTimer) s.restTimer->invalidate();
    std::weak_ptr<TodayViewController> weak = self();
    s.restTimer = base::Timer::scheduledTimer(1.0, true, [weak](base::Timer&) {
        if (auto screen = weak.lock()) screen->timerFired();
    });
    // A new day has no edit of an earlier one.
    clearEdit();
    unsavedDay_ = false;
    actionButton_->setTitle("Done");
    if (d) d->setCanReset(false);
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
    if (state().restCountdown == 0) state().restCountdown = today_ ? today_->interval() : 0;
    showCountdown();
}

void TodayViewController::calcNextRep() {
    auto& s = state();
    auto d = TolvekAppDelegate::shared();
    if (s.repNum > 4) {
        s.repNum = 1;
        s.repToShow = 1;
        popToHome(true);
        return;
    }
    isGoing_ = false;
    if (d) d->setIsGoing(false);
    s.restCountdown = defaults().boolForKey("Tolvek_UserRest") ? setting("Tolvek_UserRestValue")
                                                               : (today_ ? today_->interval() : 0);
    if (s.restCountdown == 0 && today_) s.restCountdown = today_->interval();
    const int week = today_ ? today_->week() : s.week;
    const int day = today_ ? today_->day() : s.day;
    const int bound = doubledWeek5(week, day) ? 4 : doubledWeek6(week, day) ? 5 : 0;
    if (s.repNum < bound) {
        if (s.firstRepPending == 0) {
            s.firstRepPending = 1;
        } else {
            s.firstRepPending = 0;
            ++s.repNum;
        }
    } else {
        ++s.repNum;
    }
    ++s.repToShow;
    defaults().setInteger("Tolvek_RepToShow", s.repToShow);
    defaults().setInteger("Tolvek_RepNum", s.repNum);
    defaults().setInteger("Tolvek_FirstRep", s.firstRepPending);
    showRep();
}

void TodayViewController::timerFired() {
    if (!isGoing_) return;
    auto& s = state();
    auto d = TolvekAppDelegate::shared();
    if (d && d->backFromBeingInBackground()) {
        const long long left = static_cast<long long>(s.restCountdown) - d->timeInBackground();
        s.restCountdown = static_cast<int>(std::max<long long>(left, INT_MIN));
        d->setBackFromBeingInBackground(false);
    } else {
        s.restCountdown -= 1;
    }
    showCountdown();
    if (s.restCountdown < 0) {
        isGoing_ = false;
        if (d) d->setIsGoing(false);
        todayMode_ = todayMode_ == TodayModeAway ? TodayModeAway : TodayModeSet;
        if (todayMode_ == TodayModeAway) previousTodayMode_ = TodayModeSet;
        displayControls(TodayModeSet);
        calcNextRep();
        actionButton_->setTitle("Done");
        actionButton_->setHidden(false);
        placardView_->setImage(look::bundleImage("todayplacard.png"));
        if (d) d->setBackFromBeingInBackground(false);
    }
}

void TodayViewController::zeroPushed() {
    state().restCountdown = 0;
    if (countdownLabel_) countdownLabel_->setText("0");
    rotateNeedleAnimation();
}

void TodayViewController::addTimeButtonTapped() {
    if (todayMode_ != TodayModeRest) return;
    // Never past the longest rest, so a long rest cannot wrap round and end.
    auto& countdown = state().restCountdown;
    countdown = std::min(countdown, Utility::kMostRestSeconds) + 30;
    showCountdown();
}

void TodayViewController::didAccelerate(ui::Accelerometer& accelerometer, const ui::Acceleration& a) {
    (void)accelerometer;
    if (!defaults().boolForKey("Tolvek_AllowShake")) return;
    if (a.x > 1.2 || a.y > 1.2 || a.z > 1.2) zeroPushed();
}

void TodayViewController::userRepButtonTapped(int tag) {
    if (!today_ || tag < 1 || tag > 5) return;
    repChanged_ = tag;
    const int reps[5] = {today_->rep1(), today_->rep2(), today_->rep3(), today_->rep4(), today_->rep5()};
    previousTodayMode_ = todayMode_;
    todayMode_ = TodayModeAway;
    if (!customRepViewController_) customRepViewController_ = std::make_shared<CustomRepViewController>();
    customRepViewController_->setRep(reps[tag - 1]);
    customRepViewController_->setRestMode(false);
    presentModalViewController(customRepViewController_, true);
}

void TodayViewController::restTimeTapped() {
    if (!today_) return;
    repChanged_ = 0;
    if (todayMode_ == TodayModeSet || todayMode_ == TodayModeRest || todayMode_ == TodayModeDayComplete) {
        previousTodayMode_ = todayMode_;
        todayMode_ = TodayModeAway;
    }
    if (!customRepViewController_) customRepViewController_ = std::make_shared<CustomRepViewController>();
    customRepViewController_->setRep(today_->interval());
    customRepViewController_->setRestMode(true);
    presentModalViewController(customRepViewController_, true);
}

void TodayViewController::changeRep(double value) {
    if (!today_ || repChanged_ < 1 || repChanged_ > 5) return;
    const int count = std::clamp(clampToInt(value), -Utility::kMostReps, Utility::kMostReps);
    switch (repChanged_) {
    case 1: today_->setRep1(count); break;
    case 2: today_->setRep2(count); break;
    case 3: today_->setRep3(count); break;
    case 4: today_->setRep4(count); break;
    default: today_->setRep5(count); break;
    }
    const int mode = todayMode_ == TodayModeAway ? previousTodayMode_ : todayMode_;
    if (mode == TodayModeDayComplete || mode == TodayModeSharing) {
        updateSetLabels();
    } else if (mode == TodayModeSet) {
        showRep();
    } else {
        updateSetLabels();
    }
}

void TodayViewController::restChanged(double value) {
    if (!today_) return;
    today_->setInterval(std::clamp(clampToInt(value), -Utility::kMostRestSeconds, Utility::kMostRestSeconds));
    showRestTimeText();
}

void TodayViewController::restUser() { state().restCountdown = setting("Tolvek_UserRestValue"); }

void TodayViewController::unRestUser() { state().restCountdown = today_ ? today_->interval() : 0; }

void TodayViewController::dayReset() {
    // The plan position was set from the settings: the screen comes back
    // ready for the new day, which starts when the user starts it.
    auto& s = state();
    const int level = setting("Tolvek_Level");
    s.day = setting("Tolvek_Day");
    s.week = setting("Tolvek_Week");
    s.repNum = 1;
    s.repToShow = 1;
    s.firstRepPending = 0;
    defaults().setInteger("Tolvek_FirstRep", 0);
    today_ = DataAccess::getProgram(s.day, s.week, level);
    if (s.restTimer) s.restTimer->invalidate();
    s.restTimer.reset();
    isGoing_ = false;
    clearEdit();
    // A reset of the plan (or of all data) drops a completed day that was
    // not stored, also from the settings, so no later start logs it.
    if (unsavedDay_ || keptDay()) forgetKeptDay();
    unsavedDay_ = false;
    if (helpModeOn_) {
        helpModeOn_ = false;
        removeCallouts();
    }
    todayMode_ = TodayModeReady;
    previousTodayMode_ = TodayModeReady;
    if (auto d = TolvekAppDelegate::shared()) d->setCanReset(true);
    if (isViewLoaded()) {
        prepareDay(true);
        showRestTimeText();
    }
}

void TodayViewController::completeDay() {
    closeHelp();
    auto& s = state();
    auto& d = defaults();
    if (s.day >= 3) {
        d.setInteger("Tolvek_Day", 1);
        d.setInteger("Tolvek_Week", s.week + 1);
        d.setBool("Tolvek_Test", true);
    } else {
        d.setInteger("Tolvek_Day", s.day + 1);
    }
    d.setInteger("Tolvek_RepToShow", 0);
    d.setInteger("Tolvek_RepNum", 0);
    d.setInteger("Tolvek_FirstRep", 0);
    unsavedDay_ = true;
    // Whole milliseconds, as the log's date text holds them, so the moment
    // names the same text after the settings file held it.
    finishedAt_ = base::Date(std::round(base::Date::now().timeIntervalSince1970() * 1000.0) / 1000.0);
    // The day is kept with the moved position in the same write, so that a
    // program ended now stores it at its next start.
    keepCompletedDay(*dayToStore(), finishedAt_);
    Utility::synchronizeSettings();
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
    editor->setToday(today_);
    if (auto nav = navigationController()) nav->pushViewController(editor, true);
}

void TodayViewController::editRepsNotification(const base::Notification& notification) {
    const auto* carried = std::any_cast<std::shared_ptr<Log>>(&notification.object);
    if (!carried || !*carried || !today_ || !unsavedDay_) return;
    const Log& log = **carried;
    changedLog_ = log.copy();
    hasRepEdit_ = true;
    const int week = today_->week();
    const int day = today_->day();
    const bool doubled = doubledWeek5(week, day) || doubledWeek6(week, day);
    today_->setRep1(log.rep1());
    today_->setRep2(doubled ? log.rep3() : log.rep2());
    today_->setRep3(doubled ? log.rep5() : log.rep3());
    today_->setRep4(doubled ? log.rep7() : log.rep4());
    today_->setRep5(doubledWeek5(week, day) ? log.rep8() : doubledWeek6(week, day) ? log.rep9() : log.rep5());
    keepCompletedDay(*changedLog_, finishedAt_);
    Utility::synchronizeSettings();
    if (isViewLoaded()) updateSetLabels();
}

std::shared_ptr<Log> TodayViewController::dayToStore() const {
    if (hasRepEdit_ && changedLog_) return changedLog_->copy();
    auto log = std::make_shared<Log>();
    if (!today_) return log;
    log->setWeek(today_->week());
    log->setDay(today_->day());
    log->setLevel(today_->level());
    log->setReps(today_->nineSlots(today_->week(), today_->day()));
    return log;
}

void TodayViewController::saveDay() {
    todayMode_ = TodayModeDayComplete;
    if (!unsavedDay_) return;  // a day is stored once
    bool stored = false;
    {
        StoreFailureNote note("Tolvek keeps the day and tries again the next time it starts.");
        // Stamped with the moment the day was finished, as the kept copy
        // is, so that a start after a crash before it is forgotten finds it
        // in the log and does not log it again.
        stored = DataAccess::saveLog(*dayToStore(), finishedAt_);
    }
    // A day that did not reach the log stays kept in the settings, and the
    // next start stores it; this run does not try again, so it is never
    // stored twice.
    if (stored) forgetKeptDay();
    clearEdit();
    unsavedDay_ = false;
}

void TodayViewController::finishDay() {
    if (auto d = TolvekAppDelegate::shared()) {
        d->setCanReset(true);
        d->setIsGoing(false);
    }
    isGoing_ = false;
    closeHelp();
    saveDay();
    todayMode_ = TodayModeReady;
    reminderOffer();
}

void TodayViewController::donePushed() {
    defaults().setBool("Tolvek_Test", true);
    Utility::synchronizeSettings();
    if (today_ && today_->week() > 1) {
        const long long done = dayToStore()->total();
        const long long planned = DataAccess::getProgram(today_->day(), today_->week(), today_->level())->total();
        if (planned != 0) {
            const float quotient = static_cast<float>(done) / static_cast<float>(planned);
            if (static_cast<double>(quotient) < 0.85) {
                hold();
                auto sheet = std::make_shared<ui::ActionSheet>(
                    "You seem to be having a little trouble with the current program? Do you want to:",
                    std::static_pointer_cast<ui::ActionSheetDelegate>(self()), std::nullopt, std::nullopt,
                    std::vector<std::string>{"Continue with program", "Repeat today next time", "Go back a week"});
                sheet->setTag(kTroubleSheet);
                sheet->showInView(view());
                return;
            }
        }
    }
    finishDay();
}

void TodayViewController::answerTrouble(int buttonIndex) {
    const auto& s = state();
    Utility::PlanDay next{s.day, s.week};
    if (buttonIndex == 0) next = Utility::nextDay(s.day, s.week);
    else if (buttonIndex == 2) next = Utility::dayAWeekBack(s.day, s.week);
    Utility::resetToDayAndWeekAndLevel(next.day, next.week, false, today_ ? today_->level() : Utility::getLevel());
    if (auto d = TolvekAppDelegate::shared()) d->setCanReset(true);
    closeHelp();
    saveDay();
    todayMode_ = TodayModeReady;
    reminderOffer();
}

void TodayViewController::repeatPushed() {
    defaults().setBool("Tolvek_Test", false);
    Utility::synchronizeSettings();
    const auto& s = state();
    Utility::resetToDayAndWeekAndLevel(s.day, s.week, false, today_ ? today_->level() : Utility::getLevel());
    if (auto d = TolvekAppDelegate::shared()) {
        d->setCanReset(true);
        d->setIsGoing(false);
    }
    isGoing_ = false;
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
    if (!today_) return;
    statusString_ = shareText(*today_);
    todayMode_ = TodayModeSharing;
    auto sheet = SHRActionSheet::actionSheetForItem(SHRItem::text(statusString_));
    if (!sheet) return;
    sheet->setTag(kShareSheet);
    sheet->showInView(view());
}

void TodayViewController::reminderOffer() {
    if (Utility::hasReminder() && ui::isClassAvailable("EKEventEditViewController")) {
        showAlert(kReminderAlert, "Set Reminder?", "Would you like to set a reminder for your next workout?", "No",
                  "Yes");
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

void TodayViewController::showAlert(int tag, const std::string& title, const std::string& message,
                                    const std::string& first, const std::string& second) {
    hold();
    // The first button is given as the cancel button, so its index is 0.
    auto alert = std::make_shared<ui::AlertView>(title, message,
                                                 std::static_pointer_cast<ui::AlertViewDelegate>(self()), first,
                                                 std::vector<std::string>{second});
    alert->setTag(tag);
    alert->show();
}

void TodayViewController::clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) {
    auto& s = state();
    switch (alertView.tag()) {
    case kResumeAlert:
        if (buttonIndex == 1) {
            s.repNum = 1;
            s.repToShow = 1;
            s.firstRepPending = 0;
        }
        break;
    case kRestNagAlert:
        if (buttonIndex == 0) {
            defaults().setBool("TurnUserRestNagOff", true);
        } else {
            defaults().setBool("Tolvek_UserRest", false);
            Utility::synchronizeSettings();
        }
        break;
    case kReminderAlert:
        if (buttonIndex == 1) presentEventEditor();
        else popToHome(true);
        break;
    default:
        break;
    }
}

void TodayViewController::didDismissWithButtonIndex(ui::AlertView& alertView, int buttonIndex) {
    (void)alertView, (void)buttonIndex;
    release();
}

void TodayViewController::clickedButtonAtIndex(ui::ActionSheet& sheet, int buttonIndex) {
    if (sheet.tag() == kTroubleSheet) {
        answerTrouble(buttonIndex);
        return;
    }
    if (sheet.tag() == kEndOfPlanSheet) {
        const std::string title = sheet.buttonTitleAtIndex(buttonIndex);
        const int level = today_ && today_->level() ? today_->level() : Utility::getLevel();
        if (title == "Reset To Week Four") Utility::resetToDayAndWeekAndLevel(1, 4, level);
        else if (title == "Reset To Week One") Utility::resetToDayAndWeekAndLevel(1, 1, level);
        // The day did not start: the screen is ready again for the next visit.
        todayMode_ = TodayModeReady;
        if (auto d = TolvekAppDelegate::shared()) d->setCanReset(true);
        popToHome(false);
    }
}

void TodayViewController::didDismissWithButtonIndex(ui::ActionSheet& sheet, int buttonIndex) {
    (void)sheet, (void)buttonIndex;
    release();
}
