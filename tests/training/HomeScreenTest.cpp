// The home screen, the set-up screen and the week tests, driven through the
// headless driver on the manual clock as a user would.
#include <cmath>
#include <filesystem>
#include <set>

#include "HomeTestSupport.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/EventEditViewController.h"
#include "training/DataAccess.h"
#include "training/Utility.h"
#include "training/GoodFormView.h"
#include "training/SummaryViewController.h"
#include "training/TestView.h"
#include "training/TipView.h"
#include "training/TodaySummaryViewController.h"
#include "training/UserViewController.h"
#include "training/YesterdaySummaryViewController.h"

namespace {

using hometest::ScreenTest;

std::shared_ptr<UserViewController> presentedSetup(ScreenTest&, const std::shared_ptr<ui::NavigationController>& nav) {
    return std::dynamic_pointer_cast<UserViewController>(nav->modalViewController());
}

// --- First start and placement ---------------------------------------------

TEST_F(ScreenTest, FirstStartPresentsTheSetUpScreenOverTheHomeScreenWithTheIdleTimerOff) {
    launch();
    auto setup = presentedSetup(*this, nav());
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->level(), 0);
    EXPECT_EQ(depth(), 1u);
    EXPECT_EQ(nav()->topViewController(), home());
    EXPECT_FALSE(nav()->isNavigationBarHidden());
    EXPECT_TRUE(application().isIdleTimerDisabled());
    // No bar above a presented screen: it shows its own title band.
    EXPECT_TRUE(setup->background2() && !setup->background2()->isHidden());
    EXPECT_TRUE(setup->background()->isHidden());
    EXPECT_TRUE(driver->isTextVisible("To perform the test, simply execute"));
    ASSERT_TRUE(app->logViewController());
    shot("setup");
}

TEST_F(ScreenTest, APlacedUserStartsOnTheHomeScreenAndTheIdleTimerIsStillOff) {
    placed(2, 1, 1);
    launch();
    EXPECT_FALSE(nav()->modalViewController());
    EXPECT_TRUE(application().isIdleTimerDisabled());
    EXPECT_TRUE(driver->isTextVisible("Your Push-ups"));
}

struct Placement {
    const char* score;
    const char* answer;  // the "Wow" alert's button, or nullptr when none comes
    int level, week;
    bool test;
};

// Readable test names: the score and the answer given, if any.
void PrintTo(const Placement& p, std::ostream* os) {
    *os << "score_" << p.score << (p.answer ? std::string("_") + p.answer : std::string());
}

class PlacementTest : public ScreenTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, TheInitialScoreGivesItsLevelWeekAndTestFlag) {
    const auto& p = GetParam();
    launch();
    tap("Push-ups");
    type(p.score);
    tap("OK");
    if (p.answer) {
        EXPECT_TRUE(driver->isTextVisible("You managed more than 20 Pushups."));
        tap(p.answer);
    } else {
        EXPECT_FALSE(driver->isTextVisible("Wow"));
    }
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), p.level);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Week"), p.week);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Day"), 1);
    EXPECT_EQ(defaults().boolForKey("Tolvek_Test"), p.test);
    // Presented at the first start, the screen dismisses itself.
    EXPECT_FALSE(nav()->modalViewController());
    EXPECT_EQ(depth(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Scores, PlacementTest,
                         ::testing::Values(Placement{"5", nullptr, 1, 1, false}, Placement{"10", nullptr, 2, 1, false},
                                           Placement{"20", nullptr, 3, 1, false}, Placement{"21", "Yes", 2, 3, true},
                                           // Week 1 takes the initial test's level: 21 is more than 20.
                                           Placement{"21", "No", 3, 1, true}, Placement{"26", "Yes", 3, 3, true},
                                           Placement{"26", "No", 3, 1, true}));

TEST_F(ScreenTest, ANonNumericInitialScoreIsRefusedAndNothingIsWritten) {
    launch();
    tap("OK");
    EXPECT_TRUE(driver->isTextVisible("Please Enter a valid number"));
    tap("Ok");
    tap("Push-ups");
    type("1O");
    tap("OK");
    EXPECT_TRUE(driver->isTextVisible("Please Enter a valid number"));
    tap("Ok");
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 0);
    EXPECT_TRUE(presentedSetup(*this, nav()));
}

TEST_F(ScreenTest, TheKeyboardLiftsTheScoreFieldAndATapElsewhereBringsItBack) {
    launch();
    auto setup = presentedSetup(*this, nav());
    const ui::Float y = setup->view()->frame().origin.y;
    tap("Push-ups");
    EXPECT_TRUE(setup->isMovedUp());
    EXPECT_FLOAT_EQ(setup->view()->frame().origin.y, y - 150);
    ASSERT_TRUE(driver->tapAt(160, 60));
    driver->wait(1);
    EXPECT_FALSE(setup->isMovedUp());
    EXPECT_FLOAT_EQ(setup->view()->frame().origin.y, y);
    EXPECT_FALSE(application().isKeyboardVisible());
}

TEST_F(ScreenTest, PushedFromTheHomeScreenTheSetUpScreenPopsBack) {
    placed(1, 1, 2);
    launch();
    defaults().setInteger("Tolvek_Level", 0);  // as after a reset of the placement
    tap("Today's Workout");
    ASSERT_EQ(depth(), 2u);
    auto setup = std::dynamic_pointer_cast<UserViewController>(nav()->topViewController());
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->level(), 1000);
    EXPECT_FALSE(setup->hasBeenReset());
    EXPECT_TRUE(setup->background2()->isHidden());
    shot("setup-pushed");
    tap("Push-ups");
    type("8");
    tap("OK");
    EXPECT_EQ(depth(), 1u);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 2);
}

TEST_F(ScreenTest, TheGoodFormScreenOfTheSetUpScreenComesAndGoes) {
    launch();
    auto setup = presentedSetup(*this, nav());
    tap("See a Good-Form Push-up");
    ASSERT_TRUE(setup->flipside());
    EXPECT_EQ(setup->modalViewController(), setup->flipside());
    auto image = setup->flipside()->flipsideView()->image();
    EXPECT_EQ(image->isAnimating(), !image->animationImages().empty());
    EXPECT_DOUBLE_EQ(image->animationDuration(), 1.25);
    EXPECT_TRUE(driver->isTextVisible("Good Form"));
    tap("Done");
    EXPECT_FALSE(setup->modalViewController());
    EXPECT_FALSE(setup->flipside());
    EXPECT_EQ(nav()->modalViewController(), setup);
}

// --- The pages ----------------------------------------------------------------

TEST_F(ScreenTest, AfterALoggedDayThePagesShowTheNewTotalAndTheLastDay) {
    placed(2, 1, 2);
    launch();
    EXPECT_EQ(home()->summaryViewController()->totalPULabel()->text(), "0");
    EXPECT_EQ(home()->yesterdayViewController()->yesterdayLabel()->text(), "N/A");
    Log day;
    day.initValues(1, 1, 2, 6, 6, 4, 4, 5, 0, 0, 0, 0, std::nullopt, "");
    DataAccess::saveLog(day);
    // Coming back to the home screen refreshes its pages.
    tap("Tip of the Week");
    tap("Back");
    EXPECT_EQ(home()->summaryViewController()->totalPULabel()->text(), "25");
    EXPECT_EQ(home()->summaryViewController()->totalLastDay()->text(), "25");
    EXPECT_EQ(home()->summaryViewController()->totalNextDay()->text(), std::to_string(DataAccess::getTotalToday()));
    EXPECT_EQ(home()->yesterdayViewController()->yesterdayLabel()->text(),
              "Week 1, Day  1, Level 2\rReps: 6, 6, 4, 4, 5");
    EXPECT_EQ(home()->todaySummaryViewController()->todayLabel()->text(), DataAccess::getTodayString());
    EXPECT_TRUE(driver->isTextVisible("25"));
}

TEST_F(ScreenTest, ThePageControlFollowsASwipeAndAtMostThreePagesAreLoaded) {
    placed(1, 1, 1);
    launch();
    auto pager = home()->pagedView();
    EXPECT_EQ(pager->pageControl()->numberOfPages(), 4);
    EXPECT_EQ(pager->pageControl()->currentPage(), 0);
    EXPECT_EQ(pager->loadedPages().size(), 2u);  // pages 0 and 1
    for (int page = 1; page <= 3; ++page) {
        ASSERT_TRUE(driver->swipe({260, 140}, {40, 140}));
        driver->wait(1);
        EXPECT_EQ(pager->indexForSelectedPage(), page);
        EXPECT_EQ(pager->pageControl()->currentPage(), page);
        EXPECT_LE(pager->loadedPages().size(), 3u);
        EXPECT_TRUE(pager->loadedPages().count(page));
    }
    EXPECT_FALSE(pager->loadedPages().count(0));
    EXPECT_TRUE(driver->isTextVisible("Coming Up Next"));
    ASSERT_TRUE(driver->swipe({40, 140}, {260, 140}));
    driver->wait(1);
    EXPECT_EQ(pager->pageControl()->currentPage(), 2);
    EXPECT_TRUE(driver->isTextVisible("Last Workout"));
}

TEST_F(ScreenTest, TheMouseWheelTurnsThePagesAWholePageANotch) {
    placed(1, 1, 1);
    launch();
    auto pager = home()->pagedView();
    for (int page = 1; page <= 3; ++page) {
        ASSERT_TRUE(driver->wheel({160, 140}, -1)) << driver->lastError();
        driver->wait(1);
        EXPECT_EQ(pager->scrollView()->contentOffset().x, page * pager->pageSize().width);
        EXPECT_EQ(pager->pageControl()->currentPage(), page);
        EXPECT_TRUE(pager->loadedPages().count(page));
    }
    EXPECT_TRUE(driver->isTextVisible("Coming Up Next"));
    ASSERT_TRUE(driver->wheel({160, 140}, 1));
    driver->wait(1);
    EXPECT_EQ(pager->pageControl()->currentPage(), 2);
    EXPECT_TRUE(driver->isTextVisible("Last Workout"));
}

TEST_F(ScreenTest, RapidTapsOnThePageDotsLeaveNoBlankCard) {
    placed(1, 1, 1);
    launch();
    auto pager = home()->pagedView();
    // Three taps right of the current dot, each before the scroll ends.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(driver->tapAt(250, 234)) << driver->lastError();
    driver->wait(2);
    const int page = pager->indexForSelectedPage();
    EXPECT_EQ(page, 3);
    EXPECT_EQ(pager->pageControl()->currentPage(), page);
    EXPECT_TRUE(pager->loadedPages().count(page));
    EXPECT_TRUE(driver->isTextVisible("Coming Up Next"));
    if (const char* dir = std::getenv("TOLVEK_SHOTS")) driver->screenshot(std::string(dir) + "/pager-rapid-taps.png");
}

// --- The menu and its flips -----------------------------------------------------

TEST_F(ScreenTest, WithAnimationsOffTheMenuOpensItsScreenAtOnce) {
    placed(1, 1, 1);
    launch();
    ASSERT_TRUE(driver->tap("Good Form"));
    EXPECT_FALSE(home()->isFlipping());
    EXPECT_EQ(depth(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<GoodFormView>(nav()->topViewController()));
}

TEST_F(ScreenTest, WithAnimationsOnTheButtonFlipsTwiceAndThenTheScreenIsPushed) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_AnimationOn", true);
    launch();
    ASSERT_TRUE(driver->tap("Tip of the Week"));
    EXPECT_TRUE(home()->isFlipping());
    EXPECT_EQ(home()->currentButton(), home()->tipButton());
    EXPECT_EQ(home()->dictionaryIndex(), RootViewController::EntryTip);
    driver->wait(0.3);  // the first half is over, the second runs
    EXPECT_TRUE(home()->isFlipping());
    EXPECT_EQ(depth(), 1u);
    driver->wait(0.15);
    EXPECT_FALSE(home()->isFlipping());
    EXPECT_EQ(depth(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<TipView>(nav()->topViewController()));
}

// As the button turns, the screen behind it shows around the turning face:
// half-way, edge-on, the button's square is the screen behind, not black.
TEST_F(ScreenTest, ATurningMenuButtonShowsTheScreenBehindIt) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_AnimationOn", true);
    launch();
    auto button = home()->tipButton();
    const ui::Rect square = button->convertRectToView(button->bounds(), nullptr);
    button->setHidden(true);
    const auto behind = driver->renderScreen();
    button->setHidden(false);
    ASSERT_TRUE(driver->tap("Tip of the Week"));
    driver->wait(0.05);
    shot("menu-flip-quarter-way");
    driver->wait(0.05);  // half-way through the first half of the turn
    ASSERT_TRUE(home()->isFlipping());
    const auto halfWay = driver->renderScreen();
    shot("menu-flip-half-way");
    ASSERT_TRUE(behind && halfWay);
    int checked = 0, differing = 0;
    for (int y = static_cast<int>(square.minY() * 2); y < static_cast<int>(square.maxY() * 2); ++y)
        for (int x = static_cast<int>(square.minX() * 2); x < static_cast<int>(square.maxX() * 2); ++x) {
            if (std::abs(x / 2.0 - square.midX()) < 4) continue;  // the edge of the turning face
            const auto a = behind->pixel(x, y), b = halfWay->pixel(x, y);
            ++checked;
            if (std::abs(a.r - b.r) > 2 || std::abs(a.g - b.g) > 2 || std::abs(a.b - b.b) > 2) ++differing;
        }
    EXPECT_GT(checked, 4000);
    EXPECT_EQ(differing, 0) << "of " << checked << " pixels around the turning button";
    driver->wait(1);
    EXPECT_FALSE(home()->isFlipping());
}

TEST_F(ScreenTest, ASecondTapDuringAFlipPushesNothingTwice) {
    placed(1, 1, 1);
    defaults().setBool("Tolvek_AnimationOn", true);
    launch();
    ASSERT_TRUE(driver->tap("Good Form"));
    driver->wait(0.1);
    ASSERT_TRUE(driver->tap("Good Form"));
    driver->wait(0.1);
    ASSERT_TRUE(driver->tap("Tip of the Week"));
    driver->wait(2);
    EXPECT_EQ(depth(), 2u);
    EXPECT_TRUE(std::dynamic_pointer_cast<GoodFormView>(nav()->topViewController()));
}

TEST_F(ScreenTest, OnlyTheMenuEntriesWithAScreenAreShown) {
    placed(1, 1, 1);
    launch();
    EXPECT_FALSE(home()->todayButton()->isHidden());
    EXPECT_FALSE(home()->goodFormButton()->isHidden());
    EXPECT_FALSE(home()->tipButton()->isHidden());
    EXPECT_TRUE(home()->graphButton()->isHidden());
    EXPECT_TRUE(home()->setupButton()->isHidden());
    EXPECT_TRUE(home()->hintButton()->isHidden());
    EXPECT_TRUE(home()->programButton()->isHidden());
    EXPECT_FALSE(driver->tap("Settings"));
}

// --- The week tests -----------------------------------------------------------

class WeekTest : public ScreenTest {
protected:
    void openTest(int week, int level) {
        placed(1, week, level, true);
        launch();
        tap("Today's Workout");
        overlay = home()->shownTestOverlay();
        ASSERT_TRUE(overlay);
    }
    void enter(const std::string& score) {
        overlay->resultField()->setText(score);
        tap("Save Score");
    }
    std::shared_ptr<TestView> overlay;
};

TEST_F(WeekTest, OnATestDayTodaysButtonShowsTheOverlayAndTheHomeScreenForgetsIt) {
    openTest(3, 1);
    EXPECT_EQ(depth(), 1u);
    EXPECT_FALSE(home()->testViewController());
    EXPECT_TRUE(overlay->isShowing());
    EXPECT_TRUE(overlay->view()->superview() == nav()->view());
    EXPECT_EQ(overlay->view()->center(), ui::Point(160, 230));
    // The overlay dims the whole home screen behind its panel.
    EXPECT_EQ(overlay->view()->frame(), nav()->view()->bounds());
    EXPECT_GT(overlay->view()->backgroundColor().alpha(), 0.7f);
    EXPECT_TRUE(driver->isTextVisible("Time for your week 3 test!"));
    shot("weektest");
    // While the score is typed the panel rises so that the field shows.
    tap("Score");
    ASSERT_TRUE(application().isKeyboardVisible());
    const auto field = overlay->resultField()->convertRectToView(overlay->resultField()->bounds(), nullptr);
    EXPECT_LE(field.maxY(), application().keyboardFrame().minY());
    shot("weektest-typing");
    ASSERT_TRUE(driver->tapAt(160, 120));
    driver->wait(1);
    EXPECT_FALSE(application().isKeyboardVisible());
    EXPECT_EQ(overlay->view()->center(), ui::Point(160, 230));
}

TEST_F(WeekTest, AnEmptyOrNonNumericScoreIsRefusedAndTheOverlayStays) {
    openTest(3, 1);
    for (const char* bad : {"", "abc", "12a"}) {
        enter(bad);
        EXPECT_TRUE(driver->isTextVisible("Please Enter a Value")) << bad;
        tap("Ok");
    }
    EXPECT_TRUE(DataAccess::getTestData().empty());
    EXPECT_TRUE(overlay->isShowing());
    EXPECT_TRUE(overlay->view()->superview());
    EXPECT_TRUE(defaults().boolForKey("Tolvek_Test"));
}

TEST_F(WeekTest, AScoreSetsTheLevelByTheWeeksThresholdsStoresTheTestAndClearsTheFlag) {
    openTest(5, 1);
    enter("38");
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 2);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    auto tests = DataAccess::getTestData();
    ASSERT_EQ(tests.size(), 1u);
    EXPECT_EQ(tests[0]->week(), 5);
    EXPECT_EQ(tests[0]->day(), 1);
    EXPECT_EQ(tests[0]->score(), "38");
    EXPECT_FALSE(overlay->view()->superview());
    EXPECT_FALSE(overlay->isShowing());
    // The pages show the day at its new level.
    EXPECT_EQ(home()->todaySummaryViewController()->todayLabel()->text().rfind("Week 5, Day  1, Level 2", 0), 0u);
    // The next tap opens the day, not a second test.
    EXPECT_FALSE(Utility::IsTestDay());
}

TEST_F(WeekTest, TheFinalTestKeepsTheLevelReached) {
    openTest(7, 3);
    EXPECT_TRUE(driver->isTextVisible("final test"));
    enter("12");
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 3);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    ASSERT_EQ(DataAccess::getTestData().size(), 1u);
    EXPECT_EQ(DataAccess::getTestData()[0]->week(), 7);
    // Then the plan-complete choice.
    tap("Today's Workout");
    EXPECT_TRUE(driver->isTextVisible("Congratulations!! Program completed."));
}

TEST_F(WeekTest, ADueTestWinsAlsoWhenTheUserWasNeverPlaced) {
    placed(1, 3, 0, true);
    launch();
    home()->DoToday();
    driver->wait(1);
    EXPECT_TRUE(home()->shownTestOverlay());
    EXPECT_EQ(depth(), 1u);
}

TEST_F(WeekTest, NotNowRemovesTheOverlayAndStoresNothing) {
    openTest(6, 2);
    tap("Not Now");
    EXPECT_FALSE(overlay->view()->superview());
    EXPECT_FALSE(overlay->isShowing());
    EXPECT_TRUE(DataAccess::getTestData().empty());
    EXPECT_TRUE(defaults().boolForKey("Tolvek_Test"));
}

TEST_F(WeekTest, TheOverlayStaysAliveWhileItsReminderQuestionIsShown) {
    defaults().setBool("Tolvek_ShowReminders", true);
    openTest(3, 1);
    std::weak_ptr<TestView> weak = overlay;
    overlay->resultField()->setText("30");
    overlay.reset();
    tap("Save Score");
    EXPECT_TRUE(driver->isTextVisible("Would you like to set a reminder for your next workout?"));
    ASSERT_FALSE(weak.expired());  // held until it finishes
    EXPECT_FALSE(weak.lock()->view()->superview());
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 3);
    tap("No");
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(depth(), 1u);
}

TEST_F(WeekTest, YesToTheReminderOpensTheCalendarEditorForTheNextWorkout) {
    defaults().setBool("Tolvek_ShowReminders", true);
    openTest(5, 2);
    std::weak_ptr<TestView> weak = overlay;
    overlay->resultField()->setText("45");
    overlay.reset();
    tap("Save Score");
    const double asked = base::Date::now().timeIntervalSince1970();
    tap("Yes");
    ASSERT_FALSE(weak.expired());
    auto editor = weak.lock()->eventEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(nav()->modalViewController(), editor);
    auto event = editor->event();
    EXPECT_EQ(event->title(), "Tolvek - Sets to do");
    EXPECT_DOUBLE_EQ(event->startDate().timeIntervalSince1970(), asked + 172800);
    EXPECT_DOUBLE_EQ(event->endDate().timeIntervalSinceDate(event->startDate()), 900);
    ASSERT_EQ(event->alarms().size(), 1u);
    EXPECT_DOUBLE_EQ(event->alarms()[0]->relativeOffset(), -300);
    shot("reminder");
    tap("Save");
    EXPECT_FALSE(nav()->modalViewController());
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(std::filesystem::exists(editor->eventStore()->pathForEvent(*event)));
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 3);
    EXPECT_EQ(depth(), 1u);
}

TEST_F(WeekTest, ACancelledReminderSavesNoEvent) {
    defaults().setBool("Tolvek_ShowReminders", true);
    openTest(6, 1);
    std::weak_ptr<TestView> weak = overlay;
    overlay->resultField()->setText("52");
    overlay.reset();
    tap("Save Score");
    tap("Yes");
    auto editor = weak.lock()->eventEditor();
    ASSERT_TRUE(editor);
    const auto path = editor->eventStore()->pathForEvent(*editor->event());
    tap("Cancel");
    EXPECT_FALSE(nav()->modalViewController());
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 2);
}

// --- The end of the plan --------------------------------------------------------

struct Restart {
    const char* button;
    int week;
};

void PrintTo(const Restart& r, std::ostream* os) { *os << "week_" << r.week; }

class PlanCompleteTest : public ScreenTest, public ::testing::WithParamInterface<Restart> {};

TEST_P(PlanCompleteTest, TheSheetResetsToTheChosenWeekAtTheStoredLevelAndSaysSo) {
    placed(2, 7, 2);
    defaults().setInteger("Tolvek_RepNum", 3);
    launch();
    tap("Today's Workout");
    auto sheet = home()->planCompleteSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->actionSheetStyle(), ui::ActionSheetStyle::BlackOpaque);
    EXPECT_EQ(depth(), 1u);
    shot("complete");
    tap(GetParam().button);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Week"), GetParam().week);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Day"), 1);
    EXPECT_EQ(defaults().integerForKey("Tolvek_Level"), 2);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), 0);
    EXPECT_TRUE(app->hasReset());
    EXPECT_TRUE(driver->isTextVisible("Week and Day have been reset"));
    EXPECT_TRUE(driver->isTextVisible("Information"));
    tap("Ok");
    EXPECT_EQ(home()->todaySummaryViewController()->todayLabel()->text().rfind(
                  "Week " + std::to_string(GetParam().week) + ", Day  1, Level 2", 0),
              0u);
}

INSTANTIATE_TEST_SUITE_P(Choices, PlanCompleteTest,
                         ::testing::Values(Restart{"Start from Beginning", 1}, Restart{"Start from Week 4 Day 1", 4}));

// --- Tips and good form -----------------------------------------------------------

TEST_F(ScreenTest, TheTipScreenShowsTheTipOfTheCurrentWeek) {
    placed(1, 5, 2);
    launch();
    tap("Tip of the Week");
    EXPECT_TRUE(driver->isTextVisible("Congratulations on getting this far."));
    EXPECT_TRUE(driver->isTextVisible("Week 5"));
    EXPECT_TRUE(driver->isTextVisible("Tip of The Week"));
    shot("tip");
    tap("Back");
    defaults().setInteger("Tolvek_Week", 3);
    tap("Tip of the Week");
    EXPECT_TRUE(driver->isTextVisible("You should be a little stronger"));
    tap("Back");
    // After the plan the last tip stays.
    defaults().setInteger("Tolvek_Week", 7);
    tap("Tip of the Week");
    EXPECT_TRUE(driver->isTextVisible("You should be a little stronger"));
    for (int week = 1; week <= 6; ++week) EXPECT_TRUE(TipView::tipForWeek(week)) << week;
    EXPECT_FALSE(TipView::tipForWeek(0));
    EXPECT_FALSE(TipView::tipForWeek(7));
}

TEST_F(ScreenTest, TheTipCardIsNeverBlankAfterThePlan) {
    placed(1, 7, 2);
    launch();
    tap("Tip of the Week");
    EXPECT_TRUE(driver->isTextVisible("Plan Complete"));
    EXPECT_TRUE(driver->isTextVisible("You have finished the six weeks"));
    shot("tip-week-7");
}

TEST_F(ScreenTest, TheGoodFormFramesLoopWhileTheScreenIsShown) {
    placed(1, 1, 1);
    launch();
    tap("Good Form");
    auto screen = std::dynamic_pointer_cast<GoodFormView>(nav()->topViewController());
    ASSERT_TRUE(screen);
    auto image = screen->image();
    EXPECT_EQ(image->isAnimating(), !image->animationImages().empty());
    EXPECT_DOUBLE_EQ(image->animationDuration(), 1.25);
    EXPECT_EQ(image->animationRepeatCount(), 0);
    EXPECT_EQ(screen->title(), "Good Form Push Up");
    EXPECT_TRUE(driver->isTextVisible("Good Form Pushup"));
    const auto& frames = image->animationImages();
    if (frames.size() == 8) {
        // Two passes and a bit: the frames go round and start again.
        std::vector<std::size_t> seen;
        for (int i = 0; i < 24; ++i) {
            seen.push_back(image->currentAnimationFrame());
            driver->wait(1.25 / 8);
        }
        EXPECT_EQ(std::set<std::size_t>(seen.begin(), seen.end()).size(), 8u);
        EXPECT_EQ(seen[0], seen[8]);
        EXPECT_EQ(seen[0], seen[16]);
    }
    shot("goodform");
    tap("Back");
    EXPECT_FALSE(image->isAnimating());
}

}  // namespace
