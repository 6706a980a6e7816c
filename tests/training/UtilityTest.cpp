#include "StoreTestSupport.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "training/Utility.h"

using storetest::StoreTest;

namespace {

class UtilityTest : public StoreTest {};

TEST_F(UtilityTest, PositionGettersReadTheSettingsAndUnsetReadsZero) {
    EXPECT_EQ(Utility::GetDay(), 0);
    EXPECT_EQ(Utility::GetWeek(), 0);
    EXPECT_EQ(Utility::getLevel(), 0);
    EXPECT_FALSE(Utility::hasReminder());
    setPosition(2, 4, 3);
    defaults().setBool("Tolvek_ShowReminders", true);
    EXPECT_EQ(Utility::GetDay(), 2);
    EXPECT_EQ(Utility::GetWeek(), 4);
    EXPECT_EQ(Utility::getLevel(), 3);
    EXPECT_TRUE(Utility::hasReminder());
}

TEST_F(UtilityTest, TestDayIsDayOneOfATestWeekWithTheFlag) {
    struct Case {
        int day, week;
        bool flag, expected;
    };
    const Case cases[] = {
        {1, 3, true, true},   {1, 5, true, true},  {1, 6, true, true},   {1, 7, true, true},
        {1, 3, false, false}, {1, 4, true, false}, {1, 4, false, false}, {2, 3, true, false},
        {3, 5, true, false},  {1, 1, true, false}, {1, 2, true, false},  {1, 8, true, false},
    };
    for (const auto& c : cases) {
        setPosition(c.day, c.week, 1, c.flag);
        EXPECT_EQ(Utility::IsTestDay(), c.expected) << "day " << c.day << " week " << c.week << " flag " << c.flag;
    }
}

TEST(UtilityLevels, InitialTest) {
    const std::pair<int, int> cases[] = {{-3, 1}, {0, 1}, {5, 1}, {6, 2}, {10, 2}, {11, 3}, {200, 3}};
    for (auto [score, level] : cases) EXPECT_EQ(Utility::GetLevel(score), level) << score;
}

TEST(UtilityLevels, WeekTests) {
    struct Case {
        int score, week, level;
    };
    const Case cases[] = {
        {20, 3, 1}, {21, 3, 2}, {25, 3, 2}, {26, 3, 3}, {35, 5, 1}, {36, 5, 2},  {40, 5, 2},  {41, 5, 3},  {50, 6, 1},
        {51, 6, 2}, {60, 6, 2}, {61, 6, 3}, {0, 3, 1},  {-5, 6, 1}, {100, 4, 1}, {100, 1, 1}, {100, 7, 1}, {100, 2, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utility::GetLevel(c.score, c.week), c.level) << c.score << " in week " << c.week;
}

TEST(UtilityPosition, GoBackAWeek) {
    struct Case {
        int day, week, newDay, newWeek;
    };
    const Case cases[] = {
        {1, 3, 3, 1}, {2, 2, 1, 1}, {1, 2, 3, 1}, {1, 1, 1, 1}, {2, 1, 1, 1},
        {3, 1, 2, 1}, {3, 4, 2, 3}, {2, 6, 1, 5}, {1, 6, 3, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utility::dayAWeekBack(c.day, c.week), (Utility::PlanDay{c.newDay, c.newWeek}))
            << "after day " << c.day << " of week " << c.week;
}

TEST(UtilityPosition, ContinueWithProgram) {
    EXPECT_EQ(Utility::nextDay(1, 1), (Utility::PlanDay{2, 1}));
    EXPECT_EQ(Utility::nextDay(2, 4), (Utility::PlanDay{3, 4}));
    EXPECT_EQ(Utility::nextDay(3, 2), (Utility::PlanDay{1, 3}));
    EXPECT_EQ(Utility::nextDay(3, 6), (Utility::PlanDay{1, 7}));
}

TEST(UtilityNumeric, AcceptsOneDecimalNumberWithBlanksAround) {
    for (const char* text :
         {"12", " 12 ", "12.5", "  12.5\t", "\n7\n", "-3", "+4", "0", ".5", "5.", "1e3", "2.5E-2", "007"})
        EXPECT_TRUE(Utility::isNumeric(text)) << '"' << text << '"';
}

TEST(UtilityNumeric, RefusesEverythingElse) {
    for (const char* text : {"",
                             " ",
                             "12a",
                             "a12",
                             "1 2",
                             "12e",
                             "1e+",
                             ".",
                             "-",
                             "+",
                             "--1",
                             "1.2.3",
                             "1,5",
                             "inf",
                             "-inf",
                             "nan",
                             "NaN",
                             "infinity",
                             "0x1A",
                             "0x",
                             "1e3.5",
                             "12 a",
                             "\xef\xbc\x91\xef\xbc\x92"})
        EXPECT_FALSE(Utility::isNumeric(text)) << '"' << text << '"';
    EXPECT_FALSE(Utility::isNumeric(std::string("12\0", 3)));
}

TEST_F(UtilityTest, ResetWritesSynchronizesAndTellsTheDelegate) {
    defaults().setInteger("Tolvek_RepNum", 3);
    defaults().setInteger("Tolvek_RepToShow", 4);
    defaults().setInteger("Tolvek_FirstRep", 1);
    delegate->setIsGoing(true);
    delegate->setHasReset(false);

    Utility::resetToDayAndWeekAndLevel(2, 4, true, 3);

    EXPECT_FALSE(delegate->isGoing());
    EXPECT_TRUE(delegate->hasReset());
    // Already on disk: a second reader of the settings file sees the reset.
    base::UserDefaults onDisk(defaults().path());
    EXPECT_EQ(onDisk.integerForKey("Tolvek_Day"), 2);
    EXPECT_EQ(onDisk.integerForKey("Tolvek_Week"), 4);
    EXPECT_EQ(onDisk.integerForKey("Tolvek_Level"), 3);
    EXPECT_TRUE(onDisk.boolForKey("Tolvek_Test"));
    EXPECT_EQ(onDisk.integerForKey("Tolvek_RepNum"), 0);
    EXPECT_EQ(onDisk.integerForKey("Tolvek_RepToShow"), 0);
    EXPECT_EQ(defaults().integerForKey("Tolvek_FirstRep"), 1);  // left alone
}

TEST_F(UtilityTest, TheShortResetClearsTheTestFlag) {
    defaults().setBool("Tolvek_Test", true);
    defaults().setInteger("Tolvek_RepNum", 2);
    Utility::resetToDayAndWeekAndLevel(1, 4, 2);
    EXPECT_FALSE(defaults().boolForKey("Tolvek_Test"));
    EXPECT_EQ(Utility::GetWeek(), 4);
    EXPECT_EQ(Utility::getLevel(), 2);
    EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), 0);
    EXPECT_TRUE(delegate->hasReset());
}

TEST(UtilityReset, WorksWithoutADelegate) {
    storetest::TemporaryHome home;
    ui::Application::resetSharedApplication();
    Utility::resetToDayAndWeekAndLevel(1, 2, 1);
    EXPECT_EQ(Utility::GetWeek(), 2);
}

TEST_F(UtilityTest, AlertsHaveOneOkButtonThatOnlyClosesThem) {
    Utility::ShowAlert("Please Enter a valid number");
    auto alert = std::dynamic_pointer_cast<ui::AlertView>(storetest::app().frontAlert());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_EQ(alert->message(), "Please Enter a valid number");
    ASSERT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Ok");
    EXPECT_EQ(alert->cancelButtonIndex(), -1);
    EXPECT_FALSE(alert->delegate());
    alert->buttonTapped(0);
    base::RunLoop::main().advanceBy(1);  // the alert fades out
    EXPECT_FALSE(storetest::app().frontAlert());

    Utility::ShowAlert("Saved", "Export");
    alert = std::dynamic_pointer_cast<ui::AlertView>(storetest::app().frontAlert());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Export");
    EXPECT_TRUE(storetest::app().tapElement("Ok"));
    base::RunLoop::main().advanceBy(1);
    EXPECT_FALSE(storetest::app().frontAlert());
}

}  // namespace

TEST(UtilityCount, TakesPlainNumbersWithinTheBound) {
    EXPECT_EQ(Utility::countFromText("12", 100), 12);
    EXPECT_EQ(Utility::countFromText(" 12.9 ", 100), 12);  // the fraction is dropped
    EXPECT_EQ(Utility::countFromText("-3", 100), -3);
    EXPECT_EQ(Utility::countFromText(".5", 100), 0);
    EXPECT_EQ(Utility::countFromText("10000", Utility::kMostReps), 10000);
    for (const char* text : {"", " ", ".", "-", "1e3", "2.5E-2", "12a", "1 2", "0x1A", "inf", "10001", "-10001",
                             "99999999", "99999999999999999999999"})
        EXPECT_FALSE(Utility::countFromText(text, Utility::kMostReps)) << '"' << text << '"';
    EXPECT_FALSE(Utility::countFromText("3601", Utility::kMostRestSeconds));
}
