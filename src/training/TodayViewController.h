#pragma once
// The workout screen: shows one training day, whose rules and state its
// WorkoutSession holds. It shows the sets one at a time on a plate with the
// row of five set counts above it, counts the rest between sets down once a
// second on a dial with beeps over the last seconds, lets a button or a
// shake end a rest early, and at the end asks how the day went and offers a
// calendar reminder for the next workout.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/base/NotificationCenter.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/Accelerometer.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/EventEditViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/SystemSound.h"
#include "platform/ui/ViewController.h"
#include "training/Log.h"
#include "training/Program.h"
#include "training/WorkoutSession.h"

class CustomRepViewController;
class HelpViewController;
class TodayView;

// The states of the workout screen.
enum TodayMode {
    TodayModeReady = 0,        // the day is loaded, not started
    TodayModeSet = 1,          // a set is to be done
    TodayModeRest = 2,         // a rest counts down
    TodayModeDayComplete = 3,  // every set is done
    TodayModeSharing = 4,      // the share sheet was opened from the completed day
    TodayModeAway = 5,         // another screen covers this one (the mode it left is kept)
};

class TodayViewController : public ui::ViewController,
                            public ui::AlertViewDelegate,
                            public ui::ActionSheetDelegate,
                            public ui::AccelerometerDelegate,
                            public ui::EventEditViewDelegate {
public:
    TodayViewController();
    ~TodayViewController() override;

    int todayMode() const { return todayMode_; }
    void setTodayMode(int mode) { todayMode_ = mode; }
    std::shared_ptr<Program> today() const { return session_->today(); }
    void setToday(std::shared_ptr<Program> today) { session_->setToday(std::move(today)); }
    bool isGoing() const { return session_->isGoing(); }
    bool hasRepEdit() const { return session_->hasRepEdit(); }
    std::shared_ptr<Log> changedLog() const { return session_->changedLog(); }
    bool helpModeOn() const { return helpModeOn_; }
    // The last share text built from a completed day.
    const std::string& statusString() const { return statusString_; }
    // A completed day waits for Done, Repeat or a trouble answer to be stored.
    bool hasUnsavedDay() const { return session_->hasUnsavedDay(); }
    // The rules and the state of the day shown.
    const std::shared_ptr<WorkoutSession>& session() const { return session_; }

    // The sum of the nine log slots of a day of the row.
    static long long totalDoneToday(const Program& program) { return WorkoutSession::totalDoneToday(program); }

    // The completed days kept in the settings until the log has them (see
    // WorkoutSession).
    static bool keepCompletedDay(const Log& day, base::Date finished) {
        return WorkoutSession::keepCompletedDay(day, finished);
    }
    static std::vector<WorkoutSession::KeptDay> keptDays() { return WorkoutSession::keptDays(); }
    // The share text of a day: its total, week, day and level.
    static std::string shareText(const Program& program) { return WorkoutSession::shareText(program); }

    // --- The view's life.
    void loadView() override;
    void viewDidLoad() override;
    void viewDidUnload() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // --- The engine.
    void startDay();
    void processStep();
    void calcNextRep();
    void showRep();
    void completeDay();
    void saveDay();
    void timerFired();

    // --- The presentation.
    void displayControls(int mode);
    void showToday();
    void showCountdown();
    void rotateNeedleAnimation();
    void animateTodayHelp();
    void animationDidStop(bool finished);

    // --- Actions.
    void actionButtonTapped();
    void zeroPushed();
    void addTimeButtonTapped();
    void userRepButtonTapped(int tag);
    void restTimeTapped();
    void editRepButtonTapped();
    void donePushed();
    void repeatPushed();
    void sharePushed();
    void helpPushed();

    // --- Notifications.
    void dayReset();
    void restUser();
    void unRestUser();
    void editRepsNotification(const base::Notification& notification);
    void changeRep(double value);
    void restChanged(double value);

    // --- Delegates.
    void clickedButtonAtIndex(ui::AlertView& alertView, int buttonIndex) override;
    void didDismissWithButtonIndex(ui::AlertView& alertView, int buttonIndex) override;
    void clickedButtonAtIndex(ui::ActionSheet& actionSheet, int buttonIndex) override;
    void didDismissWithButtonIndex(ui::ActionSheet& actionSheet, int buttonIndex) override;
    void didAccelerate(ui::Accelerometer& accelerometer, const ui::Acceleration& acceleration) override;
    // The calendar editor finished (saved or cancelled): it goes, and so
    // does this screen. A save that failed leaves it up with its alert.
    void didCompleteWithAction(ui::EventEditViewController& controller, ui::EventEditViewAction action) override;

    // --- Outlets.
    std::shared_ptr<ui::Label> topLabel() const { return topLabel_; }
    std::shared_ptr<ui::Label> contentLabel() const { return contentLabel_; }
    std::shared_ptr<ui::Button> actionButton() const { return actionButton_; }
    std::shared_ptr<ui::Button> addTimeButton() const { return addTimeButton_; }
    std::shared_ptr<ui::ImageView> placardView() const { return placardView_; }
    std::shared_ptr<ui::ImageView> needleView() const { return needleView_; }
    std::shared_ptr<ui::Label> countdownLabel() const { return countdownLabel_; }
    std::shared_ptr<ui::Label> restLabel() const { return restLabel_; }
    // Set labels 1 to 5.
    std::shared_ptr<ui::Label> repLabel(int set) const { return repLabels_.at(set - 1); }
    std::shared_ptr<ui::Button> userRepButton(int set) const { return userRepButtons_.at(set - 1); }
    std::shared_ptr<ui::Label> shakeLabel() const { return shakeLabel_; }
    std::shared_ptr<ui::Button> editRepButton() const { return editRepButton_; }
    std::shared_ptr<ui::Button> doneButton() const { return doneButton_; }
    std::shared_ptr<ui::Button> shareButton() const { return shareButton_; }
    std::shared_ptr<ui::Button> repeatButton() const { return repeatButton_; }
    std::shared_ptr<ui::Label> topTodayLabel() const { return topTodayLabel_; }
    std::shared_ptr<ui::Button> helpButton() const { return helpButton_; }
    std::shared_ptr<ui::Button> zeroButton() const { return zeroButton_; }
    std::shared_ptr<ui::Button> restTimeButton() const { return restTimeButton_; }
    std::shared_ptr<ui::Label> restTimeLabel() const { return restTimeLabel_; }
    std::shared_ptr<TodayView> todayPlanView() const { return todayPlanView_; }
    // The set marker (an image view tagged 1), or null when none is placed.
    std::shared_ptr<ui::View> setMarker() const;
    // The help callouts shown now.
    const std::vector<std::shared_ptr<HelpViewController>>& callouts() const { return callouts_; }

private:
    std::shared_ptr<TodayViewController> self();
    // Holds this screen while an alert, sheet or editor it is the delegate
    // of is showing, and lets go when the last of them goes.
    void hold();
    void release();
    // The tags of the alerts and sheets this screen is the delegate of.
    enum AlertTag { ResumeAlert = 0, ReminderAlert = 1, RestNagAlert = 911 };
    enum SheetTag { TroubleSheet = 90, EndOfPlanSheet = 91, ShareSheet = 100 };
    // Shows a two-button alert (the first button given as its cancel button,
    // index 0) whose keys press the buttons of the given indices.
    void showAlert(AlertTag tag, const std::string& title, const std::string& message, const std::string& first,
                   const std::string& second, int returnIndex, int escapeIndex);
    void prepareDay(bool freshDay);
    void updateSetLabels();
    void closeHelp();
    void addCallouts();
    void removeCallouts();
    void placeCallout(const std::shared_ptr<ui::View>& target, int tag, ui::Float width, const std::string* text,
                      ui::Float preferredX);
    void finishDay();
    void answerTrouble(WorkoutSession::TroubleAnswer answer);
    void reminderOffer();
    void presentEventEditor();
    void popToHome(bool animated);
    void showRestTimeText();
    void playSound(const char* name);
    void registerObservers();
    void registerDayObservers();

    std::optional<ui::SystemSoundID> beepSound_, pulseSound_;
    int todayMode_ = TodayModeReady;
    int previousTodayMode_ = TodayModeReady;
    // The day's rules and state. The day is one for the whole program, but
    // the session is this screen's own: that holds only because the home
    // screen makes this screen once and keeps it (RootViewController). A
    // second workout screen would need to share this session.
    std::shared_ptr<WorkoutSession> session_ = WorkoutSession::create();
    // What each button of the trouble and end-of-plan sheets does, by button
    // index, while the sheet shows.
    enum class EndOfPlanChoice { ResetToWeekFour, ResetToWeekOne, Stay };
    std::vector<WorkoutSession::TroubleAnswer> troubleChoices_;
    std::vector<EndOfPlanChoice> endOfPlanChoices_;
    int repChanged_ = 0;
    std::string statusString_;
    bool helpModeOn_ = false;
    bool animDoneOnce_ = false;
    bool observing_ = false;
    bool observingDay_ = false;
    std::shared_ptr<TodayViewController> holder_;
    int holds_ = 0;

    std::shared_ptr<CustomRepViewController> customRepViewController_;
    std::vector<std::shared_ptr<HelpViewController>> callouts_;

    std::shared_ptr<ui::Label> topLabel_, contentLabel_, countdownLabel_, restLabel_, shakeLabel_, topTodayLabel_,
        restTimeLabel_;
    std::shared_ptr<ui::Button> actionButton_, addTimeButton_, editRepButton_, doneButton_, shareButton_, repeatButton_,
        helpButton_, zeroButton_, restTimeButton_;
    std::shared_ptr<ui::ImageView> placardView_, needleView_;
    std::vector<std::shared_ptr<ui::Label>> repLabels_;
    std::vector<std::shared_ptr<ui::Button>> userRepButtons_;
    std::vector<std::shared_ptr<ui::ImageView>> todayHelp_;  // today_help1 to today_help5
    std::shared_ptr<ui::ImageView> todayMin_, todayShare_, todayEdit_;
    std::shared_ptr<TodayView> todayPlanView_;
};
