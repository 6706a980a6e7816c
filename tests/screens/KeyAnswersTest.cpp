// The return and escape keys on the program's own alerts and sheets, driven
// as a user presses them: each row opens one alert or sheet the way the user
// meets it, presses one key, and reads what the program then holds. No key
// may answer yes to a question that wipes, fills, restarts or switches off.
#include <ostream>

#include "SettingsTestSupport.h"
#include "platform/ui/ActionSheet.h"
#include "training/DataAccess.h"
#include "training/SettingsKeys.h"
#include "training/TodayViewController.h"
#include "training/WorkoutSession.h"

namespace {

using Menu = ConfigurationTableViewController;

enum class Question { ResetData, FillLog, Resume, ShortRest, PlanComplete, OneButton };
enum class Key { Return, Escape };

// What the program holds after the key: the log's rows, the level, the week,
// the day's set (the workout's, once its screen is made; else the stored
// one), whether the user's own rest is on, and the alert or sheet in front.
struct State {
    std::size_t logRows;
    long long level;
    long long week;
    int set;
    bool ownRest;
    std::string front;
    bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& out, const State& s) {
    return out << "{log " << s.logRows << ", level " << s.level << ", week " << s.week << ", set " << s.set
               << ", own rest " << (s.ownRest ? "on" : "off") << ", front \"" << s.front << "\"}";
}

struct Row {
    Question question;
    Key key;
    State expected;
    // The sheet was closed with no choice: the next tap shows it again.
    bool showsAgainOnTap = false;
};

std::string nameOf(const Row& row) {
    static const char* const names[] = {"ResetData", "FillLog", "Resume", "ShortRest", "PlanComplete", "OneButton"};
    return std::string(names[static_cast<int>(row.question)]) + (row.key == Key::Return ? "Return" : "Escape");
}

void PrintTo(const Row& row, std::ostream* out) { *out << nameOf(row); }

const char* const kPlanComplete = "Congratulations!! Program completed. What would you like to do?";

class KeyAnswersTest : public settingstest::SettingsTest, public ::testing::WithParamInterface<Row> {
protected:
    // Opens the question as the user meets it.
    void open(Question question) {
        switch (question) {
        case Question::ResetData:
            // Eighteen days logged, on day 3 of week 6.
            openMenu(3, 6, 2);
            DataAccess::fillLog();
            ASSERT_EQ(DataAccess::getLogData().size(), 18u);
            tapRow(Menu::RowResetData);
            break;
        case Question::FillLog:
            openMenu(3, 6, 2);
            tapRow(Menu::RowFillLog);
            break;
        case Question::Resume:
            // Two sets of the day done, and the question asked on return.
            placed(1, 2, 1);
            defaults().setBool(settingskeys::kShowAlerts, true);
            defaults().setInteger(settingskeys::kRepNum, 3);
            defaults().setInteger(settingskeys::kRepToShow, 3);
            launch();
            tap("Today's Workout");
            break;
        case Question::ShortRest:
            // A rest of five seconds of the user's own.
            placed(1, 2, 1);
            defaults().setBool(settingskeys::kUserRest, true);
            defaults().setInteger(settingskeys::kUserRestValue, 5);
            launch();
            tap("Today's Workout");
            tap("Tap To Start");
            break;
        case Question::PlanComplete:
            placed(1, 7, 2);
            launch();
            tap("Today's Workout");
            break;
        case Question::OneButton:
            // A new user's set-up screen, OK with no count typed.
            launch();
            tap("OK");
            break;
        }
    }
    std::string frontTitle() {
        auto front = application().frontAlert();
        if (auto alert = std::dynamic_pointer_cast<ui::AlertView>(front)) return alert->message();
        if (auto sheet = std::dynamic_pointer_cast<ui::ActionSheet>(front)) return sheet->title();
        return "none";
    }
    State state() {
        auto today = home()->todayViewController();
        return State{
            DataAccess::getLogData().size(),
            defaults().integerForKey(settingskeys::kLevel),
            defaults().integerForKey(settingskeys::kWeek),
            today ? today->session()->repNum() : static_cast<int>(defaults().integerForKey(settingskeys::kRepNum)),
            defaults().boolForKey(settingskeys::kUserRest),
            frontTitle()};
    }
};

TEST_P(KeyAnswersTest, TheKeyLeavesWhatTheUserHas) {
    const Row& row = GetParam();
    open(row.question);
    ASSERT_NE(application().frontAlert(), nullptr) << driver->dump();
    if (row.key == Key::Return) ASSERT_TRUE(driver->pressReturn()) << driver->lastError();
    else driver->pressEscape();
    driver->wait(1);
    shot(std::string("keys_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    EXPECT_EQ(state(), row.expected);
    if (row.showsAgainOnTap) {
        tap("Today's Workout");
        EXPECT_EQ(frontTitle(), kPlanComplete);
    }
}

// The log, level, week, set and rest each question started from; only the
// alert in front may change.
constexpr std::size_t kEighteenDays = 18;
const State kSettingsUser{kEighteenDays, 2, 6, 0, false, "none"};
const State kNoLogUser{0, 2, 6, 0, false, "none"};
const State kMidDay{0, 1, 2, 3, false, "none"};
const State kOwnRest{0, 1, 2, 1, true, "none"};
const State kPlanDone{0, 2, 7, 0, false, "none"};
const State kNewUser{0, 0, 0, 0, false, "none"};

State withFront(State s, std::string front) {
    s.front = std::move(front);
    return s;
}

std::string rowName(const ::testing::TestParamInfo<Row>& info) { return nameOf(info.param); }

INSTANTIATE_TEST_SUITE_P(
    Table, KeyAnswersTest,
    ::testing::Values(Row{Question::ResetData, Key::Return, kSettingsUser},
                      Row{Question::ResetData, Key::Escape, kSettingsUser},
                      Row{Question::FillLog, Key::Return, kNoLogUser}, Row{Question::FillLog, Key::Escape, kNoLogUser},
                      Row{Question::Resume, Key::Return, kMidDay}, Row{Question::Resume, Key::Escape, kMidDay},
                      Row{Question::ShortRest, Key::Return, kOwnRest}, Row{Question::ShortRest, Key::Escape, kOwnRest},
                      Row{Question::PlanComplete, Key::Return, withFront(kPlanDone, kPlanComplete)},
                      Row{Question::PlanComplete, Key::Escape, kPlanDone, true},
                      Row{Question::OneButton, Key::Return, kNewUser}, Row{Question::OneButton, Key::Escape, kNewUser}),
    rowName);

}  // namespace
