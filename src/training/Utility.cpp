#include "training/Utility.h"

#include "platform/base/Scanner.h"
#include "platform/base/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "training/AppState.h"
#include "training/SettingsKeys.h"

namespace {
base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
int integerSetting(const char* key) { return static_cast<int>(defaults().integerForKey(key)); }
}  // namespace

int Utility::GetDay() { return integerSetting(settingskeys::kDay); }
int Utility::GetWeek() { return integerSetting(settingskeys::kWeek); }
int Utility::getLevel() { return integerSetting(settingskeys::kLevel); }

bool Utility::IsTestDay() {
    const int week = GetWeek();
    return GetDay() == 1 && (week == 3 || week == 5 || week == 6 || week == 7) &&
           defaults().boolForKey(settingskeys::kTest);
}

int Utility::GetLevel(int score) {
    if (score < 6) return 1;
    if (score <= 10) return 2;
    return 3;
}

int Utility::GetLevel(int score, int week) {
    int two = 0;
    int three = 0;
    switch (week) {
    case 3:
        two = 21;
        three = 26;
        break;
    case 5:
        two = 36;
        three = 41;
        break;
    case 6:
        two = 51;
        three = 61;
        break;
    default: return 1;
    }
    if (score >= three) return 3;
    if (score >= two) return 2;
    return 1;
}

void Utility::resetToDayAndWeekAndLevel(int day, int week, bool test, int level) {
    auto& d = defaults();
    d.setInteger(settingskeys::kLevel, level);
    d.setInteger(settingskeys::kDay, day);
    d.setInteger(settingskeys::kWeek, week);
    d.setBool(settingskeys::kTest, test);
    d.setInteger(settingskeys::kRepNum, 0);
    d.setInteger(settingskeys::kRepToShow, 0);
    synchronizeSettings();
    if (auto app = AppState::current()) {
        app->setIsGoing(false);
        app->setHasReset(true);
    }
}

void Utility::resetToDayAndWeekAndLevel(int day, int week, int level) {
    resetToDayAndWeekAndLevel(day, week, false, level);
}

Utility::PlanDay Utility::nextDay(int day, int week) {
    if (day >= 3) return {1, week + 1};
    return {day + 1, week};
}

Utility::PlanDay Utility::dayAWeekBack(int day, int week) {
    if (day <= 1 && week <= 1) return {1, 1};
    PlanDay back = day <= 1 ? PlanDay{3, week - 2} : PlanDay{day - 1, week - 1};
    if (back.week < 1) back.week = 1;
    return back;
}

bool Utility::hasReminder() { return defaults().boolForKey(settingskeys::kShowReminders); }

bool Utility::isNumeric(const std::string& text) {
    // The scanner reads "." as the decimal point in every locale and knows no
    // "inf", "nan" or hexadecimal; blanks around the number are skipped.
    base::Scanner scanner(text);
    return scanner.scanDouble(nullptr) && scanner.isAtEnd();
}

std::optional<int> Utility::countFromText(const std::string& text, int most) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && blank(text[i])) ++i;
    while (end > i && blank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    int digits = 0;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > most) return std::nullopt;  // also keeps value far from overflowing
    }
    if (i < end && text[i] == '.') {
        for (++i; i < end && text[i] >= '0' && text[i] <= '9'; ++i) ++digits;
    }
    if (digits == 0 || i != end) return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

namespace {
bool& settingsProblemShown() {
    static bool shown = false;
    return shown;
}
}  // namespace

bool Utility::synchronizeSettings() {
    if (defaults().synchronize()) return true;
    reportSettingsProblem(
        "Your settings could not be saved, so Tolvek may not remember where you are in the plan after it "
        "closes. Please check that your settings folder can be written.");
    return false;
}

void Utility::reportSettingsProblem(const std::string& message) {
    if (settingsProblemShown()) return;
    settingsProblemShown() = true;
    ShowAlert(message, "Settings");
}

void Utility::resetSettingsProblem() { settingsProblemShown() = false; }

void Utility::ShowAlert(const std::string& message) { ShowAlert(message, "Error"); }

void Utility::ShowAlert(const std::string& message, const std::string& title) {
    auto alert = std::make_shared<ui::AlertView>(title, message, std::weak_ptr<ui::AlertViewDelegate>(), std::nullopt,
                                                 std::vector<std::string>{"Ok"});
    alert->show();
}
