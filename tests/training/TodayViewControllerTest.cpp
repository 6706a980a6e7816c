// The workout screen through the headless driver on the manual clock: whole
// days, the doubled sets, the end-of-day questions, resuming, the rest
// controls and the background.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "WorkoutTestSupport.h"
#include "platform/ui/EventEditViewController.h"
#include "platform/ui/SystemSound.h"
#include "training/HelpViewController.h"
#include "training/TodayView.h"
#include "training/Utility.h"

using workouttest::WorkoutTest;

namespace {
std::array<int, 9> slotsOf(const Log& log) { return log.reps(); }

// While one lives the disk is full for this process: every write to a file
// fails (the file size limit is 0, and its signal is ignored), reads go on.
class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved_;
        none.rlim_cur = 0;
        full_ = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~FullDisk() { makeRoom(); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool isFull() const { return full_; }
    void makeRoom() {
        if (!full_) return;
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, signal_);
        full_ = false;
    }

private:
    rlimit saved_{};
    void (*signal_)(int) = SIG_DFL;
    bool full_ = false;
};
}  // namespace

TEST_F(WorkoutTest, WeekOneDayOneRunsFiveSetsAndFourRestsWithBeeps) {
    placed(1, 1, 1);
    launch();
    openToday();
    expect("Week 1 Day 1");
    expect("Tap To Start");
    shot("workout_ready");
    EXPECT_EQ(today().todayMode(), TodayModeReady);
    EXPECT_TRUE(app->tolvek->canReset());

    tap("Tap To Start");
    EXPECT_EQ(today().todayMode(), TodayModeSet);
    EXPECT_FALSE(app->tolvek->canReset());
    EXPECT_EQ(plate(), "2");
    expect("Pushups to Perform");

    const char* expected[] = {"3", "2", "2", "4 (+)"};
    for (int rest = 0; rest < 4; ++rest) {
        tap("Done");
        const double start = now();
        EXPECT_EQ(today().todayMode(), TodayModeRest);
        EXPECT_TRUE(app->tolvek->isGoing());
        EXPECT_EQ(today().countdownLabel()->text(), "60");
        driver->wait(30);
        EXPECT_EQ(today().countdownLabel()->text(), "30");
        // The needle turns back with the seconds left: a half turn at 30 s.
        EXPECT_NEAR(today().needleView()->transform().a, -1, 1e-5);
        driver->wait(30);
        EXPECT_EQ(today().countdownLabel()->text(), "0");
        EXPECT_EQ(today().todayMode(), TodayModeRest) << "0 shows for a whole second";
        driver->wait(1);
        EXPECT_EQ(today().todayMode(), TodayModeSet);
        EXPECT_FALSE(app->tolvek->isGoing());
        EXPECT_EQ(plate(), expected[rest]);
        EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), rest + 2);

        // Four beeps at 4, 3, 2 and 1 seconds left, the second sound at 0.
        const auto sounds = ui::SystemSound::playsForTesting();
        ASSERT_EQ(sounds.size(), static_cast<std::size_t>(5 * (rest + 1)));
        for (int i = 0; i < 5; ++i) {
            const auto& s = sounds[5 * rest + i];
            EXPECT_EQ(std::filesystem::path(s.path).stem().string(), i < 4 ? "BEEP_FM-1" : "BEEPROBO");
            EXPECT_DOUBLE_EQ(s.time - start, 56 + i);
        }
    }
    // The sounds were played as alert sounds of the two bundle files.
    const auto plays = ui::SystemSound::playsForTesting();
    ASSERT_EQ(plays.size(), 20u);
    EXPECT_TRUE(plays[0].alert);
    EXPECT_NE(plays[0].path.find("BEEP_FM-1.wav"), std::string::npos);
    EXPECT_NE(plays[4].path.find("BEEPROBO.WAV"), std::string::npos);
    // The fifth set is the hardest: the marker sits under it.
    auto marker = today().setMarker();
    ASSERT_TRUE(marker);
    EXPECT_EQ(marker->frame().origin.x, 250);
    EXPECT_EQ(today().repLabel(5)->text(), "4");

    tap("Done");
    EXPECT_EQ(today().todayMode(), TodayModeDayComplete);
    expect("Day Completed");
    EXPECT_FALSE(today().setMarker());
    EXPECT_FALSE(today().doneButton()->isHidden());
    EXPECT_FALSE(today().repeatButton()->isHidden());
    EXPECT_FALSE(today().editRepButton()->isHidden());
    EXPECT_FALSE(today().shareButton()->isHidden());
    EXPECT_EQ(Utility::GetDay(), 2);
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), 0);
    EXPECT_TRUE(DataAccess::getLogData().empty()) << "a completed day waits for Done";

    tap("Done", 1);
    EXPECT_EQ(today().todayMode(), TodayModeReady);
    EXPECT_EQ(app->nav->viewControllers().size(), 1u) << "back to the home screen";
    EXPECT_TRUE(app->tolvek->canReset());
    EXPECT_EQ(Utility::GetDay(), 2);
    EXPECT_EQ(Utility::GetWeek(), 1);
    auto log = DataAccess::getLogData();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(slotsOf(*log[0]), (std::array<int, 9>{2, 3, 2, 2, 4, 0, 0, 0, 0}));
    EXPECT_EQ(log[0]->week(), 1);
    EXPECT_EQ(log[0]->day(), 1);
    EXPECT_EQ(log[0]->level(), 1);
}

TEST_F(WorkoutTest, DoubledSetsOfWeekFiveDayTwoAndWeekSixDayThree) {
    struct Case {
        int week, day;
        std::vector<int> sets;
    };
    const Case cases[] = {{5, 2, {1, 1, 2, 2, 3, 3, 4, 5}}, {6, 3, {1, 1, 2, 2, 3, 3, 4, 4, 5}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(base::format("week %d day %d", c.week, c.day));
        placed(c.day, c.week, 2);
        launch();
        setPlanRow(c.week, c.day, 2, 11, 12, 13, 14, 15, 60);
        openToday();
        auto rounds = runDay();
        std::vector<std::string> expected;
        for (int set : c.sets) expected.push_back(set == 5 ? "15 (+)" : std::to_string(10 + set));
        EXPECT_EQ(rounds, expected);
        EXPECT_EQ(today().todayMode(), TodayModeDayComplete);
        EXPECT_EQ(today().repLabel(1)->text(), "11(x2)");
        EXPECT_EQ(today().repLabel(4)->text(), c.week == 6 ? "14(x2)" : "14");
        EXPECT_EQ(today().repLabel(1)->font().pointSize(), 15);
        EXPECT_EQ(today().repLabel(5)->font().pointSize(), 17);
        tap("Done", 1);
        auto log = DataAccess::getLogDataReversed();
        ASSERT_FALSE(log.empty());
        std::array<int, 9> slots{};
        for (std::size_t i = 0; i < c.sets.size(); ++i) slots[i] = 10 + c.sets[i];
        EXPECT_EQ(slotsOf(*log[0]), slots);
        end();
    }
}

TEST_F(WorkoutTest, DoneFromWeekTwoAsksOnlyBelowEightyFivePercent) {
    // 17 of a planned 20 is exactly 0.85 and asks nothing.
    placed(1, 2, 1);
    launch();
    setPlanRow(2, 1, 1, 4, 4, 4, 4, 4, 60);
    openToday();
    runDay();
    tap("Set 5", 1);
    enterValue("1");
    EXPECT_EQ(today().repLabel(5)->text(), "1");
    tap("Done", 1);
    EXPECT_FALSE(driver->isTextVisible("trouble"));
    EXPECT_EQ(Utility::GetDay(), 2);
    EXPECT_TRUE(defaults().boolForKey("Tolvek_Test"));
    ASSERT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(DataAccess::getLogData()[0]->total(), 17);
    end();

    // 16 of 20 asks; each answer sets the position and stores the day. The
    // escape key (no title) repeats the day: it moves the plan neither on
    // nor back.
    struct Answer {
        const char* title;
        int day, week;
    };
    const Answer answers[] = {
        {"Continue with program", 2, 2}, {"Repeat today next time", 1, 2}, {"Go back a week", 3, 1}, {nullptr, 1, 2}};
    std::size_t stored = 1;
    for (const auto& a : answers) {
        SCOPED_TRACE(a.title ? a.title : "escape");
        placed(1, 2, 1);
        launch();
        openToday();
        runDay();
        tap("Set 4", 1);
        enterValue("3");
        tap("Set 5", 1);
        enterValue("1");
        tap("Done", 1);
        expect("You seem to be having a little trouble with the current program? Do you want to:");
        EXPECT_EQ(DataAccess::getLogData().size(), stored) << "nothing is stored before the answer";
        EXPECT_FALSE(app->tolvek->canReset());
        if (a.title) {
            tap(a.title, 1);
        } else {
            driver->pressEscape();
            driver->wait(1);
        }
        EXPECT_EQ(Utility::GetDay(), a.day);
        EXPECT_EQ(Utility::GetWeek(), a.week);
        EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
        EXPECT_TRUE(app->tolvek->canReset());
        ASSERT_EQ(DataAccess::getLogData().size(), ++stored);
        EXPECT_EQ(DataAccess::getLogDataReversed()[0]->total(), 16);
        EXPECT_EQ(app->nav->viewControllers().size(), 1u);
        end();
    }
}

TEST_F(WorkoutTest, RepeatLeavesTheDayToComeAgain) {
    placed(3, 2, 1);
    launch();
    openToday();
    runDay();
    // Completing day 3 moved the position to day 1 of week 3 with the test due.
    EXPECT_EQ(Utility::GetWeek(), 3);
    EXPECT_TRUE(defaults().boolForKey("Tolvek_Test"));
    tap("Repeat", 1);
    expect("Repeating day for next workout");
    EXPECT_EQ(Utility::GetDay(), 3);
    EXPECT_EQ(Utility::GetWeek(), 2);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    tap("Ok", 1);
    EXPECT_EQ(app->nav->viewControllers().size(), 1u);
}

TEST_F(WorkoutTest, QuittingMidDayAsksToResume) {
    // Yes continues at the saved set.
    placed(1, 1, 1);
    defaults().setBool("Tolvek_ShowAlerts", true);
    launch();
    openToday();
    tap("Tap To Start");
    tap("Done");
    skipRest();
    tap("Done");
    skipRest();
    EXPECT_EQ(plate(), "2");  // set 3
    end();

    launch();
    openToday();
    expect("Resume day from last position?");
    tap("Yes", 1);
    tap("Tap To Start");
    EXPECT_EQ(today().session()->repNum(), 3);
    EXPECT_EQ(plate(), "2");
    tap("Done");
    skipRest();
    EXPECT_EQ(today().session()->repNum(), 4);
    end();

    // No starts again at set 1.
    launch();
    openToday();
    tap("No", 1);
    tap("Tap To Start");
    EXPECT_EQ(today().session()->repNum(), 1);
    EXPECT_EQ(plate(), "2");
    tap("Done");
    skipRest();
    EXPECT_EQ(plate(), "3");
}

TEST_F(WorkoutTest, NoToResumeRedoesTheFirstRoundOfADoubledSet) {
    placed(2, 5, 1);
    defaults().setBool("Tolvek_ShowAlerts", true);
    launch();
    setPlanRow(5, 2, 1, 11, 12, 13, 14, 15, 60);
    openToday();
    tap("Tap To Start");
    tap("Done");
    skipRest();
    EXPECT_EQ(defaults().integerForKey("Tolvek_FirstRep"), 1);
    end();

    launch();
    openToday();
    tap("No", 1);
    tap("Tap To Start");
    std::vector<std::string> rounds;
    for (int i = 0; i < 3; ++i) {
        rounds.push_back(plate());
        tap("Done");
        skipRest();
    }
    EXPECT_EQ(rounds, (std::vector<std::string>{"11", "11", "12"}));
}

TEST_F(WorkoutTest, ShakeEndsARestOnlyWhenAllowed) {
    startFirstDay();
    tap("Done");
    EXPECT_TRUE(today().shakeLabel()->isHidden());
    driver->shake();
    driver->wait(1);
    EXPECT_EQ(today().todayMode(), TodayModeRest);
    EXPECT_EQ(today().session()->restCountdown(), 59);

    defaults().setBool("Tolvek_AllowShake", true);
    driver->shake();
    driver->wait(1);
    EXPECT_EQ(today().todayMode(), TodayModeSet);
    tap("Done");
    EXPECT_FALSE(today().shakeLabel()->isHidden());
}

TEST_F(WorkoutTest, AddTimeWorksOnlyDuringARest) {
    startFirstDay();
    const int before = today().session()->restCountdown();
    today().addTimeButtonTapped();
    EXPECT_EQ(today().session()->restCountdown(), before) << "no time is added outside a rest";
    tap("Done");
    driver->wait(10);
    tap("+30 sec");
    EXPECT_EQ(today().session()->restCountdown(), 80);
    EXPECT_EQ(today().countdownLabel()->text(), "80");
}

TEST_F(WorkoutTest, BackgroundTimeIsTakenOffTheRestOnce) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_UserRest", true);
    defaults().setInteger("Tolvek_UserRestValue", 150);
    launch();
    openToday();
    tap("Tap To Start");
    tap("Done");
    EXPECT_EQ(today().session()->restCountdown(), 150);
    driver->wait(5);
    EXPECT_EQ(today().session()->restCountdown(), 145);
    driver->background(95);
    EXPECT_EQ(today().session()->restCountdown(), 50);
    EXPECT_FALSE(app->tolvek->backFromBeingInBackground());
    driver->wait(1);
    EXPECT_EQ(today().session()->restCountdown(), 49);
}

TEST_F(WorkoutTest, TheRestGoesOnWhileTheScreenIsPopped) {
    startFirstDay();
    tap("Done", 1);
    app->nav->popViewControllerAnimated(false);
    EXPECT_EQ(today().todayMode(), TodayModeAway);
    driver->wait(94);
    openToday();
    EXPECT_EQ(today().todayMode(), TodayModeSet);
    EXPECT_EQ(plate(), "3");
    EXPECT_EQ(today().session()->repNum(), 2);
}

TEST_F(WorkoutTest, ResetToDayLeavesTheScreenReady) {
    placed(1, 1, 1);
    launch();
    openToday();
    app->nav->popViewControllerAnimated(false);
    Utility::resetToDayAndWeekAndLevel(2, 3, 1);
    base::NotificationCenter::defaultCenter().post("ResetToDay");
    EXPECT_EQ(today().todayMode(), TodayModeReady);
    EXPECT_TRUE(app->tolvek->canReset());
    openToday();
    expect("Week 3 Day 2");
    expect("Tap To Start");
}

TEST_F(WorkoutTest, ACompletedDayLeftUnsavedComesBackAndIsStoredOnce) {
    placed(1, 1, 1);
    launch();
    openToday();
    runDay();
    today().sharePushed();
    EXPECT_EQ(today().todayMode(), TodayModeSharing);
    EXPECT_EQ(today().statusString(),
              "Today I did a total of 13 pushups thanks to the Tolvek iPhone app. (Week 1, Day 1, Level 1) #Tolvek");
    driver->wait(1);
    expect("Cancel");  // the share sheet
    tap("Cancel", 1);
    app->nav->popViewControllerAnimated(false);
    openToday();
    EXPECT_EQ(today().todayMode(), TodayModeDayComplete);
    EXPECT_FALSE(today().doneButton()->isHidden());
    tap("Done", 1);
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(Utility::GetDay(), 2) << "the day is not done twice";
}

TEST_F(WorkoutTest, EndOfPlanOffersTheRestart) {
    placed(1, 7, 2);
    launch();
    openToday();
    tap("Tap To Start", 1);
    expect("You have reached the end of the 6 week program!");
    tap("Reset To Week Four", 1);
    EXPECT_EQ(Utility::GetWeek(), 4);
    EXPECT_EQ(Utility::GetDay(), 1);
    EXPECT_EQ(Utility::getLevel(), 2);
    EXPECT_EQ(today().todayMode(), TodayModeReady);
    EXPECT_EQ(app->nav->viewControllers().size(), 1u);
}

TEST_F(WorkoutTest, HelpTogglesCalloutsInTheDayCompleteState) {
    startFirstDay();
    tap("Done");
    today().helpPushed();  // ignored during a rest
    driver->wait(1);
    EXPECT_FALSE(today().helpModeOn());
    skipRest();
    tap("Help", 1);
    EXPECT_TRUE(today().helpModeOn());
    ASSERT_EQ(today().callouts().size(), 1u);
    EXPECT_EQ(today().callouts()[0]->view()->tag(), 100);
    // The set callout leaves "Pushups to Perform" and the sets in view.
    EXPECT_FALSE(today().callouts()[0]->view()->frame().intersects(today().topLabel()->frame()));
    EXPECT_FALSE(today().callouts()[0]->view()->frame().intersects(today().repLabel(1)->frame()));
    shot("workout_help_set");
    tap("Help", 1);
    EXPECT_TRUE(today().callouts().empty());
    for (int i = 0; i < 3; ++i) {
        tap("Done");
        skipRest();
    }
    tap("Done");
    tap("Help", 1);
    ASSERT_EQ(today().callouts().size(), 2u);  // edit and share
    shot("workout_help_complete");
    EXPECT_EQ(today().callouts()[0]->view()->tag(), 102);
    EXPECT_EQ(today().callouts()[1]->view()->tag(), 103);
    expect("Tap to edit todays reps in");
    // Inside the screen, over neither button they explain nor each other.
    const ui::Rect screen = today().view()->bounds();
    for (const auto& callout : today().callouts()) {
        const ui::Rect f = callout->view()->frame();
        EXPECT_TRUE(screen.contains(f)) << f.origin.y + f.size.height;
        EXPECT_FALSE(f.intersects(today().shareButton()->frame()));
        EXPECT_FALSE(f.intersects(today().editRepButton()->frame()));
    }
    EXPECT_FALSE(today().callouts()[0]->view()->frame().intersects(today().callouts()[1]->view()->frame()));
    tap("Help", 1);
    EXPECT_TRUE(today().callouts().empty());
}

TEST_F(WorkoutTest, TheScreenOutlivesItsOpenerWhileItsQuestionShows) {
    placed(1, 2, 1);
    defaults().setBool("Tolvek_ShowAlerts", true);
    defaults().setInteger("Tolvek_RepNum", 3);
    launch();
    openToday();
    expect("Resume day from last position?");
    // The opener lets go of the screen while its question is up.
    std::weak_ptr<TodayViewController> screen = app->home->today;
    app->nav->popViewControllerAnimated(false);
    app->home->today.reset();
    driver->wait(1);
    ASSERT_FALSE(screen.expired());
    EXPECT_EQ(screen.lock()->session()->repNum(), 3);
    tap("No");
    ASSERT_FALSE(screen.expired());
    EXPECT_EQ(screen.lock()->session()->repNum(), 1);
    driver->wait(2);
    EXPECT_TRUE(screen.expired()) << "and goes once the question is answered";
}

TEST_F(WorkoutTest, AKeyPressedWhileTheScreenSlidesInLeavesTheResumeQuestionOpen) {
    placed(1, 2, 1);
    defaults().setBool("Tolvek_ShowAlerts", true);
    defaults().setInteger("Tolvek_RepNum", 3);
    launch();
    tap("Today's Workout");
    ASSERT_TRUE(app->nav->isTransitioning());
    driver->pressEscape();
    driver->application().pressReturn();
    driver->pressEscape();
    driver->wait(1);
    // The question is still up, unanswered, over the workout screen, and
    // the day waits at its third set.
    auto alert = std::dynamic_pointer_cast<ui::AlertView>(driver->application().frontAlert());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "Resume day from last position?");
    EXPECT_EQ(app->nav->topViewController(), app->home->today);
    EXPECT_EQ(today().session()->repNum(), 3);
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), 3);
    // The user's own answer still counts.
    tap("No", 1);
    EXPECT_EQ(driver->application().frontAlert(), nullptr);
    EXPECT_EQ(today().session()->repNum(), 1);
}

TEST_F(WorkoutTest, TodayViewTextsFollowTheDoubledDays) {
    EXPECT_EQ(TodayView::countsText(6, 3, {1, 2, 3, 4, 5}), "1(x2),2(x2),3(x2),4(x2),5");
    EXPECT_EQ(TodayView::countsText(5, 2, {1, 2, 3, 4, 5}), "1(x2),2(x2),3(x2),4,5");
    EXPECT_EQ(TodayView::countsText(5, 1, {1, 2, 3, 4, 5}), "1, 2, 3, 4, 5");
    EXPECT_EQ(TodayView::countsFont(6, 3).pointSize(), 20);
    EXPECT_EQ(TodayView::countsFont(5, 3).pointSize(), 22);
    Program day;
    day.setWeek(2);
    day.setDay(1);
    day.setLevel(2);
    for (auto set : {&Program::setRep1, &Program::setRep2, &Program::setRep3, &Program::setRep4, &Program::setRep5})
        (day.*set)(10);
    EXPECT_EQ(TodayViewController::shareText(day),
              "Today I did a total of 50 pushups thanks to the Tolvek iPhone app. (Week 2, Day 1, Level 2) #Tolvek");
    day.setWeek(6);
    day.setDay(3);
    EXPECT_EQ(TodayViewController::totalDoneToday(day), 90);
}

TEST_F(WorkoutTest, WithRemindersOnAFinishedDayOffersAnEventTwoDaysAhead) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_ShowReminders", true);
    launch();
    ASSERT_TRUE(ui::isClassAvailable("EKEventEditViewController"));
    openToday();
    runDay();
    tap("Done", 1);
    expect("Would you like to set a reminder for your next workout?");
    EXPECT_EQ(DataAccess::getLogData().size(), 1u) << "the day is stored before the offer";
    const double asked = now();
    tap("Yes", 1);
    auto editor = std::dynamic_pointer_cast<ui::EventEditViewController>(today().modalViewController());
    ASSERT_TRUE(editor);
    auto event = editor->event();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->title(), "Tolvek - Sets to do");
    EXPECT_DOUBLE_EQ(event->startDate().timeIntervalSince1970() - asked, 172800);
    EXPECT_DOUBLE_EQ(event->endDate().timeIntervalSince1970() - event->startDate().timeIntervalSince1970(), 900);
    ASSERT_EQ(event->alarms().size(), 1u);
    EXPECT_EQ(event->alarms()[0]->relativeOffset(), -300);
    tap("Save", 1);
    const std::string path = editor->eventStore()->pathForEvent(*event);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("SUMMARY:Tolvek - Sets to do"), std::string::npos) << text;
    EXPECT_NE(text.find("TRIGGER:-PT5M"), std::string::npos) << text;
    EXPECT_FALSE(today().modalViewController());
    EXPECT_EQ(app->nav->viewControllers().size(), 1u);
}

TEST_F(WorkoutTest, NoToTheReminderGoesHomeWithoutAnEvent) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_ShowReminders", true);
    launch();
    openToday();
    runDay();
    tap("Done", 1);
    tap("No", 1);
    EXPECT_FALSE(today().modalViewController());
    EXPECT_EQ(app->nav->viewControllers().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(tempHome.dataHome() + "/tolvek/Calendar"));
}

TEST_F(WorkoutTest, ADayTheLogRefusesIsKeptForTheNextStartAndToldPlainly) {
    placed(1, 1, 2);
    launch();
    openToday();
    runDay();
    ASSERT_EQ(today().todayMode(), TodayModeDayComplete);
    // The day is kept the moment it completes.
    ASSERT_EQ(TodayViewController::keptDays().size(), 1u);
    EXPECT_EQ(TodayViewController::keptDays()[0].day.total(), 26);

    // The log file goes away under the program: Done cannot store the day.
    const std::string logPath = app->tolvek->logDatabasePath();
    std::filesystem::rename(logPath, logPath + ".away");
    ASSERT_NO_FATAL_FAILURE(tapDoneTheLogRefuses());
    EXPECT_EQ(TodayViewController::keptDays().size(), 1u);
    end();

    // The next start stores it once, and forgets it.
    std::filesystem::rename(logPath + ".away", logPath);
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    ASSERT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(DataAccess::getLogData()[0]->total(), 26);
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    end();
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
}

TEST_F(WorkoutTest, ADayDoneOnAFullDiskIsLoggedOnceWhenThereIsRoomAgainInTheSameRun) {
    placed(1, 1, 2);
    launch();
    openToday();
    runDay();
    ASSERT_EQ(today().todayMode(), TodayModeDayComplete);

    FullDisk disk;
    ASSERT_TRUE(disk.isFull());
    // The settings file kept the day when it completed; the log has no room.
    ASSERT_NO_FATAL_FAILURE(tapDoneTheLogRefuses());
    EXPECT_TRUE(WorkoutSession::hasUnstoredDays());
    // A try while the disk is still full stores nothing and shows nothing.
    app->tolvek->storeHeldDays();
    EXPECT_TRUE(DataAccess::getLogData().empty());
    EXPECT_FALSE(driver->application().frontAlert());

    // The program tries again while it runs.
    disk.makeRoom();
    driver->wait(TolvekAppDelegate::kHeldDaysRetrySeconds);
    ASSERT_EQ(DataAccess::getLogData().size(), 1u);
    EXPECT_EQ(DataAccess::getLogData()[0]->total(), 26);
    EXPECT_FALSE(WorkoutSession::hasUnstoredDays());
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    Utility::synchronizeSettings();
    end();
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_EQ(DataAccess::getLogData().size(), 1u);
}

namespace {
// While one lives the log file is away from its folder, as when the folder
// cannot be written: the log refuses every day, the settings take them.
class LogAway {
public:
    explicit LogAway(std::string path) : path_(std::move(path)) { std::filesystem::rename(path_, path_ + ".away"); }
    ~LogAway() { back(); }
    LogAway(const LogAway&) = delete;
    LogAway& operator=(const LogAway&) = delete;
    void back() {
        if (away_) std::filesystem::rename(path_ + ".away", path_);
        away_ = false;
    }

private:
    std::string path_;
    bool away_ = true;
};

// The week, day and total of every logged day, in the log's order.
std::vector<std::string> loggedDays() {
    std::vector<std::string> days;
    for (const auto& log : DataAccess::getLogData())
        days.push_back(base::format("W%i D%i %i", log->week(), log->day(), static_cast<int>(log->total())));
    return days;
}
}  // namespace

class HeldDaysTest : public WorkoutTest {
protected:
    // Week 1 days 1 and 2 of level 2, each done and refused by the log; the
    // user is told each time what becomes of the day.
    void finishTwoDaysTheLogRefuses() {
        for (int day = 1; day <= 2; ++day) {
            openToday();
            expect(base::format("Week 1 Day %i", day));
            runDay();
            ASSERT_EQ(today().todayMode(), TodayModeDayComplete);
            ASSERT_NO_FATAL_FAILURE(tapDoneTheLogRefuses());
            if (app->nav->viewControllers().size() > 1) tap("Back", 1);
        }
        const auto kept = TodayViewController::keptDays();
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(kept[0].day.day(), 1);
        EXPECT_EQ(kept[1].day.day(), 2);
    }
    const std::vector<std::string> bothDays{"W1 D1 26", "W1 D2 30"};
};

TEST_F(HeldDaysTest, TwoDaysTheLogRefusedAreLoggedInOrderOnceItCanTakeThem) {
    placed(1, 1, 2);
    launch();
    LogAway away(app->tolvek->logDatabasePath());
    finishTwoDaysTheLogRefuses();
    EXPECT_TRUE(WorkoutSession::hasUnstoredDays());

    away.back();
    driver->wait(TolvekAppDelegate::kHeldDaysRetrySeconds);
    EXPECT_EQ(loggedDays(), bothDays);
    EXPECT_FALSE(WorkoutSession::hasUnstoredDays());
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    end();
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_EQ(loggedDays(), bothDays);
}

TEST_F(HeldDaysTest, TwoDaysTheLogRefusedOutliveAQuitAndAreLoggedOnceAtTheNextStart) {
    placed(1, 1, 2);
    launch();
    {
        LogAway away(app->tolvek->logDatabasePath());
        finishTwoDaysTheLogRefuses();
        driver->quit();
        end();
    }
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_EQ(loggedDays(), bothDays);
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    end();
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_EQ(loggedDays(), bothDays);
    EXPECT_EQ(Utility::GetDay(), 3);
}

TEST_F(WorkoutTest, AHugeRestGainsNoTimeFromPlusThirty) {
    placed(1, 1, 2);
    launch();
    openToday();
    tap("Tap To Start", 1);
    tap("Done", 1);
    ASSERT_EQ(today().todayMode(), TodayModeRest);
    for (int i = 0; i < 200; ++i) tap("+30 sec");
    EXPECT_LE(today().session()->restCountdown(), Utility::kMostRestSeconds + 30);
    EXPECT_GT(today().session()->restCountdown(), 3000);
    EXPECT_EQ(today().todayMode(), TodayModeRest);
}

TEST_F(WorkoutTest, AResetDropsTheKeptDaySoNoLaterStartLogsIt) {
    placed(1, 1, 2);
    launch();
    openToday();
    runDay();
    ASSERT_EQ(TodayViewController::keptDays().size(), 1u);
    base::NotificationCenter::defaultCenter().post("ResetToDay", nullptr);
    driver->wait(1);
    EXPECT_TRUE(TodayViewController::keptDays().empty());
    end();
    base::UserDefaults::resetStandardUserDefaultsForTesting();
    launch();
    EXPECT_TRUE(DataAccess::getLogData().empty());
}
