// The one-set editor and the day editor, in today mode from the workout
// screen and in log mode over a stored day.
#include <gtest/gtest.h>

#include "WorkoutTestSupport.h"
#include "training/CustomRepViewController.h"
#include "training/EditRepsViewController.h"
#include "training/Utility.h"

using workouttest::WorkoutTest;

namespace {
std::shared_ptr<CustomRepViewController> setEditor(TodayViewController& today) {
    return std::dynamic_pointer_cast<CustomRepViewController>(today.modalViewController());
}
}  // namespace

TEST_F(WorkoutTest, SetEditorTakesTheIntegerValueAndRefusesText) {
    startFirstDay();
    tap("Set 2", 1);
    auto editor = setEditor(today());
    ASSERT_TRUE(editor);
    expect("Current Reps: 3");
    shot("editor_set");
    expect("Set the reps");
    EXPECT_EQ(editor->repField()->text(), "3");

    enterValue("12a");
    expect("Please Enter a valid number");
    EXPECT_EQ(setEditor(today()), editor) << "the editor stays";
    tap("Ok", 1);
    EXPECT_EQ(today().today()->rep2(), 3);

    enterValue("12.5");
    EXPECT_FALSE(setEditor(today()));
    EXPECT_EQ(today().today()->rep2(), 12);
    EXPECT_EQ(today().repLabel(2)->text(), "12");
    EXPECT_EQ(today().todayMode(), TodayModeSet);
    EXPECT_EQ(plate(), "2") << "the set to do now is still set 1";
}

TEST_F(WorkoutTest, SetEditorSaveAndCancelStayAboveTheKeyboardAndCancelChangesNothing) {
    startFirstDay();
    tap("Set 2", 1);
    auto editor = setEditor(today());
    ASSERT_TRUE(editor);
    tap("Value", 1);
    ASSERT_TRUE(driver->application().isKeyboardVisible());
    const float keyboardTop = driver->application().keyboardFrame().minY();
    for (const auto& button : {editor->newRepsButton(), editor->cancelButton()})
        EXPECT_LE(button->convertRectToView(button->bounds(), nullptr).maxY(), keyboardTop) << button->currentTitle();
    for (int i = 0; i < 4; ++i) driver->application().pressBackspace();
    ASSERT_TRUE(driver->type("40"));
    tap("Cancel", 1);
    EXPECT_FALSE(setEditor(today()));
    EXPECT_EQ(today().today()->rep2(), 3);
    EXPECT_EQ(today().todayMode(), TodayModeSet);
    // A count no person reaches, or one in exponent form, is refused.
    for (const char* text : {"99999999", "1e3", "10001"}) {
        tap("Set 2", 1);
        enterValue(text);
        expect("Please Enter a valid number");
        tap("Ok", 1);
        tap("Cancel", 1);
        EXPECT_EQ(today().today()->rep2(), 3) << text;
    }
}

TEST_F(WorkoutTest, SetEditorDownStopsAtOneButNotBelowIt) {
    startFirstDay();
    tap("Set 1", 1);
    auto editor = setEditor(today());
    ASSERT_TRUE(editor);
    tap("Down");
    EXPECT_EQ(editor->repField()->text(), "1");
    tap("Down");
    EXPECT_EQ(editor->repField()->text(), "1");
    tap("Up");
    tap("Up");
    EXPECT_EQ(editor->repField()->text(), "3");
    // A typed 0 or a negative value goes further down.
    editor->repField()->setText("0");
    tap("Down");
    EXPECT_EQ(editor->repField()->text(), "-1");
    editor->repField()->setText("abc");
    tap("Up");
    EXPECT_EQ(editor->repField()->text(), "abc");
    EXPECT_EQ(CustomRepViewController::leadingInteger(" 12.9"), 12);
    EXPECT_EQ(CustomRepViewController::leadingInteger("-4"), -4);
    EXPECT_EQ(CustomRepViewController::leadingInteger("99999999999"), INT_MAX);
}

TEST_F(WorkoutTest, RestEditorChangesTheRestOfThisDay) {
    startFirstDay();
    expect("Rest: 60      (tap to change)");
    tap("Change rest", 1);
    expect("Current Rest: 60");
    expect("Current Rest Period");
    enterValue("45");
    expect("Rest: 45      (tap to change)");
    tap("Done");
    EXPECT_EQ(today().session()->restCountdown(), 45);
    EXPECT_EQ(DataAccess::getProgram(1, 1, 1)->interval(), 60) << "the plan keeps its rest";
}

TEST_F(WorkoutTest, DayEditorInTodayModeShowsThePlanAndPostsTheEditedDay) {
    placed(2, 5, 1);
    launch();
    setPlanRow(5, 2, 1, 10, 12, 14, 16, 18, 60);
    openToday();
    tap("Tap To Start");
    for (int i = 0; i < 7; ++i) {
        tap("Done");
        skipRest();
    }
    tap("Done");
    ASSERT_EQ(today().todayMode(), TodayModeDayComplete);
    tap("Edit", 1);
    auto editor = std::dynamic_pointer_cast<EditRepsViewController>(app->nav->topViewController());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->extendedKeyboard(), 1);
    EXPECT_FALSE(editor->repText(8)->isHidden());
    EXPECT_TRUE(editor->repText(9)->isHidden());
    const int plan[8] = {10, 10, 12, 12, 14, 14, 16, 18};
    for (int round = 1; round <= 8; ++round) {
        EXPECT_EQ(editor->repText(round)->placeholder(),
                  base::format("Program default for Rep %d: %d", round, plan[round - 1]));
        EXPECT_EQ(editor->repText(round)->text(), "");
    }
    // Going back without saving takes nothing.
    app->nav->popViewControllerAnimated(false);
    driver->wait(1);
    EXPECT_FALSE(today().hasRepEdit());

    tap("Edit", 1);
    editor = std::dynamic_pointer_cast<EditRepsViewController>(app->nav->topViewController());
    ASSERT_TRUE(editor);
    tap("Round 3");
    ASSERT_TRUE(driver->type("7"));
    shot("editor_day");
    // The return key chain: 3 passes to 4.
    ASSERT_TRUE(driver->pressReturn());
    EXPECT_TRUE(editor->repText(4)->isEditing());
    tap("Save", 1);
    EXPECT_EQ(app->nav->topViewController(), app->home->today);
    EXPECT_TRUE(today().hasRepEdit());
    EXPECT_EQ(today().today()->rep2(), 7) << "set 2 comes from slot 3 on a doubled day";
    EXPECT_EQ(today().repLabel(2)->text(), "7(x2)");
    tap("Done", 1);
    auto log = DataAccess::getLogData();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0]->reps(), (std::array<int, 9>{10, 10, 7, 12, 14, 14, 16, 18, 0}));
}

TEST_F(WorkoutTest, DayEditorRefusesTextAndLeavesTheDay) {
    startFirstDay();
    for (int i = 0; i < 4; ++i) {
        tap("Done");
        skipRest();
    }
    tap("Done");
    tap("Edit", 1);
    tap("Round 2");
    ASSERT_TRUE(driver->type("12a"));
    tap("Save", 1);
    expect("Please Enter a valid number");
    tap("Ok", 1);
    EXPECT_FALSE(today().hasRepEdit());
    EXPECT_NE(app->nav->topViewController(), app->home->today);
}

TEST_F(WorkoutTest, DayEditorKeyboardShiftAndReturnChainOfNineFields) {
    placed(3, 6, 1);
    launch();
    auto editor = std::make_shared<EditRepsViewController>();
    auto day = DataAccess::getProgram(3, 6, 1);
    editor->setToday(day);
    app->nav->pushViewController(editor, false);
    driver->wait(1);
    EXPECT_EQ(editor->fieldsInUse(), 9);
    const ui::Float top = editor->view()->frame().origin.y;
    tap("Round 5");
    EXPECT_FALSE(editor->hasMovedUp()) << "field 5 moves nothing";
    EXPECT_EQ(editor->repText(5)->returnKeyType(), ui::ReturnKeyType::Next);
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_TRUE(editor->hasMovedUp());
    shot("editor_day_moved_up");
    EXPECT_EQ(editor->view()->frame().origin.y, top - 150);
    EXPECT_TRUE(editor->repText(6)->isEditing());
    for (int round = 6; round < 9; ++round) ASSERT_TRUE(driver->pressReturn());
    EXPECT_TRUE(editor->repText(9)->isEditing());
    EXPECT_EQ(editor->repText(9)->returnKeyType(), ui::ReturnKeyType::Done);
    EXPECT_EQ(editor->repText(8)->returnKeyType(), ui::ReturnKeyType::Next);
    ASSERT_TRUE(driver->pressReturn());
    driver->wait(0.5);
    EXPECT_FALSE(editor->hasMovedUp());
    EXPECT_EQ(editor->view()->frame().origin.y, top);
    EXPECT_FALSE(driver->application().isKeyboardVisible());

    // A field below the keyboard moves the view up when it takes the keyboard.
    tap("Round 7");
    driver->wait(0.5);
    EXPECT_TRUE(editor->hasMovedUp());
    editor->touchesBegan({}, nullptr);
    driver->wait(0.5);
    EXPECT_FALSE(editor->hasMovedUp());
}

TEST_F(WorkoutTest, DayEditorInLogModeRewritesTheRowAndKeepsItsDate) {
    placed(1, 1, 1);
    launch();
    Log stored;
    stored.initValues(6, 3, 2, 11, 11, 12, 12, 13, 13, 14, 14, 15, std::nullopt, {});
    DataAccess::saveLog(stored);
    auto rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 1u);
    const std::string logDate = rows[0]->logDate();
    int reloads = 0;
    base::NotificationCenter::defaultCenter().addObserver(this, "EditReps", nullptr, [&](const base::Notification& n) {
        EXPECT_FALSE(n.object.has_value());
        ++reloads;
    });

    auto editor = std::make_shared<EditRepsViewController>();
    editor->setLogToEdit(rows[0]);
    app->nav->pushViewController(editor, false);
    driver->wait(1);
    EXPECT_FALSE(editor->isEditingToday());
    EXPECT_EQ(editor->repText(9)->text(), "15");
    // One field emptied keeps its logged value; another is changed.
    editor->repText(4)->setText("");
    editor->repText(1)->setText("20");
    driver->wait(5);
    tap("Save", 1);
    base::NotificationCenter::defaultCenter().removeObserver(this);
    EXPECT_EQ(reloads, 1);
    rows = DataAccess::getLogData();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->reps(), (std::array<int, 9>{20, 11, 12, 12, 13, 13, 14, 14, 15}));
    EXPECT_EQ(rows[0]->logDate(), logDate);
    EXPECT_EQ(rows[0]->week(), 6);
    EXPECT_EQ(rows[0]->level(), 2);
    // The workout screen ignores a day editor's reload.
    EXPECT_EQ(app->nav->viewControllers().size(), 1u);
}
