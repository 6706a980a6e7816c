#pragma once
// The plan position and its rules, over the user defaults: where the user
// stands (level, week, day, test flag), the level a test score earns, the
// reset of the position, and two small services the screens share (a
// numeric check of typed text and a one-button alert).
#include <optional>
#include <string>

class Utility {
public:
    Utility() = delete;

    // A day of the plan.
    struct PlanDay {
        int day = 1;
        int week = 1;
        bool operator==(const PlanDay&) const = default;
    };

    static int GetDay();    // settingskeys::kDay
    static int GetWeek();   // settingskeys::kWeek
    static int getLevel();  // settingskeys::kLevel
    // Day 1 of week 3, 5, 6 or 7 with the test flag set.
    static bool IsTestDay();

    // The level after the initial test: below 6 gives 1, 6 to 10 gives 2,
    // 11 and above 3.
    static int GetLevel(int score);
    // The level after the test that starts week 3, 5 or 6; 1 in any other
    // week.
    static int GetLevel(int score, int week);

    // Writes level, day, week, test flag and clears the position inside the
    // day (settingskeys::kRepNum, settingskeys::kRepToShow), synchronizes, then tells
    // the application delegate (isGoing NO, hasReset YES).
    static void resetToDayAndWeekAndLevel(int day, int week, bool test, int level);
    static void resetToDayAndWeekAndLevel(int day, int week, int level);

    // The day after a day: the next day of the week, or day 1 of the next
    // week after day 3.
    static PlanDay nextDay(int day, int week);
    // The day one week before the day before: day D-1 of week W-1 (day 3 of
    // week W-2 for day 1), never before day 1 of week 1.
    static PlanDay dayAWeekBack(int day, int week);

    static bool hasReminder();  // settingskeys::kShowReminders

    // True when the text is one decimal number with optional blanks around
    // it: an optional sign, digits with an optional "." and fraction (or a
    // fraction alone), and an optional exponent. No "inf", "nan" or hex, and
    // "." is the separator whatever the locale.
    static bool isNumeric(const std::string& text);

    // The most push-ups a set, a test or a log slot takes, and the longest
    // rest in seconds: no person reaches them, and totals of such values
    // stay far from overflowing.
    static constexpr int kMostReps = 10000;
    static constexpr int kMostRestSeconds = 3600;
    // The whole number a person typed as a count or a rest: blanks around
    // it, an optional sign, digits and an optional fraction, which is
    // dropped. Nothing when the text is anything else ("1e3", "12a", "")
    // or when the number lies beyond plus or minus most.
    static std::optional<int> countFromText(const std::string& text, int most);

    // Writes the settings now. When they cannot be written the user is told
    // once per run, in one alert, and the program goes on.
    static bool synchronizeSettings();
    // Tells the user about a settings problem, once per run: a later
    // problem of the same run shows nothing more.
    static void reportSettingsProblem(const std::string& message);
    // Forgets that the user was told (a new run, or a test).
    static void resetSettingsProblem();

    // A one-button ("Ok") alert with the title "Error" or the given title;
    // the button only closes it.
    static void ShowAlert(const std::string& message);
    static void ShowAlert(const std::string& message, const std::string& title);
};
