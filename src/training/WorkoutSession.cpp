#include "training/WorkoutSession.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/base/UserDefaults.h"
#include "training/AppState.h"
#include "training/DataAccess.h"
#include "training/SettingsKeys.h"
#include "training/Utility.h"

namespace {

constexpr const char* kKeptDayKey = settingskeys::kUnsavedDay;

// What becomes of a day the log refused, as the user is told.
constexpr const char* kKeptNote = "Tolvek keeps the day and tries again while it runs and the next time it starts.";
constexpr const char* kHeldOnlyNote =
    "Tolvek holds the day and tries again while it runs, but your settings could not be written either: if "
    "Tolvek closes before then, the day is lost.";

// A day the log refused, with the LogDate text it is to be stored with.
struct UnstoredDay {
    Log day;
    std::string logDate;
};

std::vector<UnstoredDay>& unstoredDays() {
    static std::vector<UnstoredDay> days;
    return days;
}

// While a retry runs, a store failure goes to the program's log only.
class QuietStoreFailures : public base::AssertionHandler {
public:
    void handleFailureInMethod(const std::string& method, const void* object, const std::string& file, int line,
                               const std::string& description) override {
        if (object == DataAccess::classObject()) {
            base::log("the log still refuses a held day: " + method + ": " + description);
            return;
        }
        if (previous_) previous_->handleFailureInMethod(method, object, file, line, description);
        else base::AssertionHandler::handleFailureInMethod(method, object, file, line, description);
    }
    void setPrevious(std::shared_ptr<base::AssertionHandler> previous) { previous_ = std::move(previous); }
    const std::shared_ptr<base::AssertionHandler>& previous() const { return previous_; }

private:
    std::shared_ptr<base::AssertionHandler> previous_;
};

base::UserDefaults& defaults() { return base::UserDefaults::standardUserDefaults(); }
int setting(const char* key) { return static_cast<int>(defaults().integerForKey(key)); }

int clampToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);  // the integer value: the fraction is dropped
}

}  // namespace

std::shared_ptr<WorkoutSession> WorkoutSession::create() { return std::make_shared<WorkoutSession>(); }

WorkoutSession::~WorkoutSession() { stopTimer(); }

void WorkoutSession::setGoing(bool going) {
    isGoing_ = going;
    if (auto app = AppState::current()) app->setIsGoing(going);
}

// --- Starting -------------------------------------------------------------

void WorkoutSession::readPosition() {
    level_ = setting(settingskeys::kLevel);
    day_ = setting(settingskeys::kDay);
    week_ = setting(settingskeys::kWeek);
    repNum_ = setting(settingskeys::kRepNum);
    repToShow_ = setting(settingskeys::kRepToShow);
    firstRepPending_ = setting(settingskeys::kFirstRep) ? 1 : 0;
}

bool WorkoutSession::startFresh() {
    if (repNum_ >= 1) return false;
    repNum_ = 1;
    // A fresh day starts with the first round of a doubled set.
    firstRepPending_ = 0;
    return true;
}

void WorkoutSession::loadToday() {
    if (repToShow_ < 1) repToShow_ = 1;
    today_ = DataAccess::getProgram(day_, week_, level_);
    if (auto app = AppState::current()) app->setCanReset(true);
}

void WorkoutSession::restartDay() {
    repNum_ = 1;
    repToShow_ = 1;
    firstRepPending_ = 0;
}

void WorkoutSession::resetDay() {
    level_ = setting(settingskeys::kLevel);
    day_ = setting(settingskeys::kDay);
    week_ = setting(settingskeys::kWeek);
    restartDay();
    defaults().setInteger(settingskeys::kFirstRep, 0);
    today_ = DataAccess::getProgram(day_, week_, level_);
    stopTimer();
    isGoing_ = false;
    clearEdit();
    // A reset of the plan (or of all data) drops a completed day that was
    // not stored, also from the settings, so no later start logs it.
    // A kept day that Done could not store is held for the log, not dropped.
    const auto kept = keptDayLogDate();
    const bool keptIsHeld = kept && std::any_of(unstoredDays().begin(), unstoredDays().end(),
                                                [&](const UnstoredDay& d) { return d.logDate == *kept; });
    if (unsavedDay_ || (kept && !keptIsHeld)) forgetKeptDay();
    unsavedDay_ = false;
}

int WorkoutSession::startWeek() const { return std::max(today_ ? today_->week() : 0, week_); }

bool WorkoutSession::shortRestToConfirm() {
    return defaults().boolForKey(settingskeys::kUserRest) && setting(settingskeys::kUserRestValue) <= 9 &&
           !defaults().boolForKey(settingskeys::kTurnUserRestNagOff);
}

void WorkoutSession::beginDay(std::function<void()> tick) {
    auto app = AppState::current();
    isGoing_ = app ? app->isGoing() : false;
    if (app && app->hasReset()) {
        app->setHasReset(false);
        restCountdown_ = 0;
    }
    stopTimer();
    restTimer_ = base::Timer::scheduledTimer(1.0, true, [tick = std::move(tick)](base::Timer&) { tick(); });
    // A new day has no edit of an earlier one.
    clearEdit();
    unsavedDay_ = false;
    if (app) app->setCanReset(false);
}

void WorkoutSession::stopTimer() {
    if (restTimer_) restTimer_->invalidate();
    restTimer_.reset();
}

// --- Sets and rests -------------------------------------------------------

int WorkoutSession::restLength() const {
    if (defaults().boolForKey(settingskeys::kUserRest)) return setting(settingskeys::kUserRestValue);
    return today_ ? today_->interval() : 0;
}

void WorkoutSession::beginRest() {
    setGoing(true);
    restCountdown_ = restLength();
}

void WorkoutSession::fillEmptyRest() {
    if (restCountdown_ == 0) restCountdown_ = today_ ? today_->interval() : 0;
}

bool WorkoutSession::nextSet() {
    if (repNum_ > 4) {
        repNum_ = 1;
        repToShow_ = 1;
        return false;
    }
    setGoing(false);
    restCountdown_ = restLength();
    if (restCountdown_ == 0 && today_) restCountdown_ = today_->interval();
    const int week = today_ ? today_->week() : week_;
    const int day = today_ ? today_->day() : day_;
    // The doubled sets are done twice before the set number moves on.
    const int doubled = Program::doubledSets(week, day);
    if (doubled > 0 && repNum_ <= doubled) {
        if (firstRepPending_ == 0) {
            firstRepPending_ = 1;
        } else {
            firstRepPending_ = 0;
            ++repNum_;
        }
    } else {
        ++repNum_;
    }
    ++repToShow_;
    defaults().setInteger(settingskeys::kRepToShow, repToShow_);
    defaults().setInteger(settingskeys::kRepNum, repNum_);
    defaults().setInteger(settingskeys::kFirstRep, firstRepPending_);
    return true;
}

WorkoutSession::Tick WorkoutSession::tick() {
    if (!isGoing_) return Tick::Idle;
    auto app = AppState::current();
    if (app && app->backFromBeingInBackground()) {
        const long long left = static_cast<long long>(restCountdown_) - app->timeInBackground();
        restCountdown_ = static_cast<int>(std::max<long long>(left, INT_MIN));
        app->setBackFromBeingInBackground(false);
    } else {
        restCountdown_ -= 1;
    }
    if (restCountdown_ >= 0) return Tick::Counted;
    setGoing(false);
    return Tick::RestOver;
}

void WorkoutSession::addTime() {
    // Never past the longest rest, so a long rest cannot wrap round and end.
    restCountdown_ = std::min(restCountdown_, Utility::kMostRestSeconds) + 30;
}

void WorkoutSession::useUserRest() { restCountdown_ = setting(settingskeys::kUserRestValue); }

void WorkoutSession::usePlanRest() { restCountdown_ = today_ ? today_->interval() : 0; }

bool WorkoutSession::setRep(int set, double value) {
    if (!today_ || set < 1 || set > 5) return false;
    const int count = std::clamp(clampToInt(value), -Utility::kMostReps, Utility::kMostReps);
    switch (set) {
    case 1: today_->setRep1(count); break;
    case 2: today_->setRep2(count); break;
    case 3: today_->setRep3(count); break;
    case 4: today_->setRep4(count); break;
    default: today_->setRep5(count); break;
    }
    return true;
}

void WorkoutSession::setRestInterval(double value) {
    if (!today_) return;
    today_->setInterval(std::clamp(clampToInt(value), -Utility::kMostRestSeconds, Utility::kMostRestSeconds));
}

// --- The end of the day ---------------------------------------------------

void WorkoutSession::completeDay() {
    auto& d = defaults();
    if (day_ >= 3) {
        d.setInteger(settingskeys::kDay, 1);
        d.setInteger(settingskeys::kWeek, week_ + 1);
        d.setBool(settingskeys::kTest, true);
    } else {
        d.setInteger(settingskeys::kDay, day_ + 1);
    }
    d.setInteger(settingskeys::kRepToShow, 0);
    d.setInteger(settingskeys::kRepNum, 0);
    d.setInteger(settingskeys::kFirstRep, 0);
    unsavedDay_ = true;
    // Whole milliseconds, as the log's date text holds them, so the moment
    // names the same text after the settings file held it.
    finishedAt_ = base::Date(std::round(base::Date::now().timeIntervalSince1970() * 1000.0) / 1000.0);
    finishedLogDate_ = DataAccess::logDateText(finishedAt_);
    // The day is kept with the moved position in the same write, so that a
    // program ended now stores it at its next start.
    keepCompletedDay(*dayToStore(), finishedAt_, finishedLogDate_);
    keptWritten_ = Utility::synchronizeSettings();
}

bool WorkoutSession::applyEdit(const Log& log) {
    if (!today_ || !unsavedDay_) return false;
    changedLog_ = log.copy();
    hasRepEdit_ = true;
    const int week = today_->week();
    const int day = today_->day();
    const auto sets = Program::setsOfSlots(week, day, log.reps());
    today_->setRep1(sets[0]);
    today_->setRep2(sets[1]);
    today_->setRep3(sets[2]);
    today_->setRep4(sets[3]);
    today_->setRep5(sets[4]);
    keepCompletedDay(*changedLog_, finishedAt_, finishedLogDate_);
    keptWritten_ = Utility::synchronizeSettings();
    return true;
}

std::shared_ptr<Log> WorkoutSession::dayToStore() const {
    if (hasRepEdit_ && changedLog_) return changedLog_->copy();
    auto log = std::make_shared<Log>();
    if (!today_) return log;
    log->setWeek(today_->week());
    log->setDay(today_->day());
    log->setLevel(today_->level());
    log->setReps(today_->nineSlots(today_->week(), today_->day()));
    return log;
}

void WorkoutSession::saveDay() {
    if (!unsavedDay_) return;  // a day is stored once
    // Days an earlier Done could not log go into the log first.
    retryUnstoredDays();
    const auto day = dayToStore();
    // Whether the settings file holds the kept day decides what the user is
    // told when the log refuses it.
    const bool keptOnDisk = keptWritten_ || defaults().synchronize();
    bool stored = false;
    {
        StoreFailureNote note(keptOnDisk ? kKeptNote : kHeldOnlyNote);
        // Stamped with the text the kept copy carries, so that a start after
        // a crash before it is forgotten finds it in the log and does not log
        // it again.
        stored = DataAccess::saveLog(*day, finishedLogDate_);
    }
    // A day that did not reach the log stays kept in the settings (for the
    // next start) and held here: a later save stores it, once.
    if (stored) forgetKeptDay();
    else unstoredDays().push_back({*day, finishedLogDate_});
    clearEdit();
    unsavedDay_ = false;
}

void WorkoutSession::clearEdit() {
    hasRepEdit_ = false;
    changedLog_.reset();
}

void WorkoutSession::markDone() {
    defaults().setBool(settingskeys::kTest, true);
    Utility::synchronizeSettings();
}

bool WorkoutSession::fellShort() const {
    if (!today_ || today_->week() <= 1) return false;
    const long long done = dayToStore()->total();
    const auto plan = DataAccess::getProgram(today_->day(), today_->week(), today_->level());
    if (!plan) return false;  // the plan cannot be read (reported): no question
    const long long planned = plan->total();
    if (planned == 0) return false;
    const float quotient = static_cast<float>(done) / static_cast<float>(planned);
    return static_cast<double>(quotient) < 0.85;
}

void WorkoutSession::finish() {
    if (auto app = AppState::current()) {
        app->setCanReset(true);
        app->setIsGoing(false);
    }
    isGoing_ = false;
}

void WorkoutSession::moveAfterTrouble(TroubleAnswer answer) {
    Utility::PlanDay next{day_, week_};
    if (answer == TroubleAnswer::Continue) next = Utility::nextDay(day_, week_);
    else if (answer == TroubleAnswer::WeekBack) next = Utility::dayAWeekBack(day_, week_);
    Utility::resetToDayAndWeekAndLevel(next.day, next.week, false, today_ ? today_->level() : Utility::getLevel());
    if (auto app = AppState::current()) app->setCanReset(true);
}

void WorkoutSession::repeatDay() {
    defaults().setBool(settingskeys::kTest, false);
    Utility::synchronizeSettings();
    Utility::resetToDayAndWeekAndLevel(day_, week_, false, today_ ? today_->level() : Utility::getLevel());
    finish();
}

long long WorkoutSession::totalDoneToday(const Program& program) {
    long long total = 0;
    for (int slot : program.nineSlots(program.week(), program.day())) total += slot;
    return total;
}

std::string WorkoutSession::shareText(const Program& program) {
    return base::format(
        "Today I did a total of %i pushups thanks to the Tolvek iPhone app. (Week %i, Day %i, Level %i) #Tolvek",
        totalDoneToday(program), program.week(), program.day(), program.level());
}

// --- The kept day ---------------------------------------------------------

void WorkoutSession::keepCompletedDay(const Log& day, base::Date finished) {
    keepCompletedDay(day, finished, DataAccess::logDateText(finished));
}

void WorkoutSession::keepCompletedDay(const Log& day, base::Date finished, const std::string& logDate) {
    base::Dictionary kept;
    kept.set("Finished", base::Value(finished));
    kept.set("LogDate", base::Value(logDate));
    kept.set("Week", base::Value(static_cast<long long>(day.week())));
    kept.set("Day", base::Value(static_cast<long long>(day.day())));
    kept.set("Level", base::Value(static_cast<long long>(day.level())));
    base::Array reps;
    for (int r : day.reps()) reps.push_back(base::Value(static_cast<long long>(r)));
    kept.set("Reps", base::Value(std::move(reps)));
    defaults().setObject(kKeptDayKey, base::Value(std::move(kept)));
}

std::optional<Log> WorkoutSession::keptDay() {
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

std::optional<base::Date> WorkoutSession::keptDayFinished() {
    const auto kept = defaults().dictionaryForKey(kKeptDayKey);
    if (!kept) return std::nullopt;
    const base::Date* finished = kept->get("Finished").asDate();
    if (!finished) return std::nullopt;
    return *finished;
}

std::optional<std::string> WorkoutSession::keptDayLogDate() {
    const auto kept = defaults().dictionaryForKey(kKeptDayKey);
    if (!kept) return std::nullopt;
    // A LogDate text is short; anything else in the file is not one.
    if (const std::string* text = kept->get("LogDate").asString(); text && !text->empty() && text->size() <= 64)
        return *text;
    const base::Date* finished = kept->get("Finished").asDate();
    if (!finished) return std::nullopt;
    return DataAccess::logDateText(*finished);
}

void WorkoutSession::forgetKeptDay() {
    defaults().removeObjectForKey(kKeptDayKey);
    Utility::synchronizeSettings();
}

bool WorkoutSession::storeKeptDay() {
    // A new run: no day is held yet.
    unstoredDays().clear();
    const auto day = keptDay();
    if (!day) return false;
    // The day is logged with the text made when it was finished. The run
    // that kept it may have logged it and ended before it could forget it:
    // a day the log already holds with that text is only forgotten.
    const auto logDate = keptDayLogDate();
    if (logDate) {
        const auto held = DataAccess::holdsDay(*day, *logDate);
        if (!held) {  // the log cannot be read now: held, and kept for the next start
            unstoredDays().push_back({*day, *logDate});
            return false;
        }
        if (*held) {
            forgetKeptDay();
            return false;
        }
    }
    const std::string text = logDate.value_or(DataAccess::logDateText(base::Date::now()));
    StoreFailureNote note(kKeptNote);
    if (!DataAccess::saveLog(*day, text)) {
        unstoredDays().push_back({*day, text});
        return false;
    }
    forgetKeptDay();
    return true;
}

bool WorkoutSession::hasUnstoredDays() { return !unstoredDays().empty(); }

bool WorkoutSession::retryUnstoredDays() {
    auto& days = unstoredDays();
    // Forgetting a stored day saves the settings, which asks again.
    static bool retrying = false;
    if (days.empty() || retrying) return days.empty();
    retrying = true;
    auto quiet = std::make_shared<QuietStoreFailures>();
    quiet->setPrevious(base::AssertionHandler::setCurrent(quiet));
    while (!days.empty()) {
        const UnstoredDay next = days.front();
        // A write reported as failed may have reached the file all the same.
        const auto held = DataAccess::holdsDay(next.day, next.logDate);
        if (!held || (!*held && !DataAccess::saveLog(next.day, next.logDate))) break;
        days.erase(days.begin());
        base::log("a held day is now in the log: " + next.logDate);
        if (keptDayLogDate() == next.logDate) forgetKeptDay();
    }
    base::AssertionHandler::setCurrent(quiet->previous());
    retrying = false;
    return days.empty();
}
