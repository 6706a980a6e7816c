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

constexpr const char* kKeptDaysKey = settingskeys::kUnsavedDay;

// What becomes of a day the log refused, as the user is told.
constexpr const char* kKeptNote = "Tolvek keeps the day and tries again while it runs and the next time it starts.";
// At start, when more than one day waits for the log.
constexpr const char* kKeptDaysNote =
    "Tolvek keeps the days not yet in your log and tries again while it runs and the next time it starts.";
constexpr const char* kHeldOnlyNote =
    "Tolvek holds the day and tries again while it runs, but your settings could not be written either: if "
    "Tolvek closes before then, the day is lost.";
// Said when a day completes with kMostKeptDays kept already, and when Done
// then cannot log it.
constexpr const char* kTooManyKept =
    "Tolvek already keeps %i finished days that your training log could not take, and keeps no more: this day is "
    "lost if it cannot be saved before Tolvek closes. Please check that the folder of your training log can be "
    "written and has room.";
constexpr const char* kTooManyKeptNote =
    "Tolvek holds the day and tries again while it runs, but it already keeps %i other days and keeps no more: if "
    "Tolvek closes before then, the day is lost.";

using KeptDay = WorkoutSession::KeptDay;

// Days the log refused, oldest first, each with the text it is stored with.
std::vector<KeptDay>& unstoredDays() {
    static std::vector<KeptDay> days;
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

// A week, day, level or count as a kept day holds it: a whole number
// (integer, or real without a fraction); nothing for anything else.
std::optional<long long> wholeNumber(const base::Value& value) {
    if (value.type() == base::Value::Type::Integer) return value.integerValue();
    if (value.type() != base::Value::Type::Real) return std::nullopt;
    const double v = value.doubleValue();
    if (!std::isfinite(v) || v != std::floor(v) || std::fabs(v) > 1e15) return std::nullopt;
    return static_cast<long long>(v);
}

// A kept day as the settings hold them, or nothing (and why) when the value
// is not one: the settings file is the user's to edit, so a day must have a
// place in the plan and readable counts; the counts are bounded as typed
// ones are.
std::optional<KeptDay> keptDayFrom(const base::Value& value, std::string* why = nullptr) {
    auto notADay = [&](std::string reason) -> std::optional<KeptDay> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    const base::Dictionary* kept = value.asDictionary();
    if (!kept) return notADay("not a dictionary");
    std::array<long long, 3> place{};
    const std::array<const char*, 3> names{"Week", "Day", "Level"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto number = wholeNumber(kept->get(names[i]));
        if (!number) return notADay(std::string("no readable ") + names[i]);
        place[i] = *number;
    }
    // Checked as ints only once they are small enough to be.
    const bool small = std::all_of(place.begin(), place.end(), [](long long v) { return v >= 0 && v <= 1000; });
    if (!small ||
        !Program::isPlanDay(static_cast<int>(place[0]), static_cast<int>(place[1]), static_cast<int>(place[2])))
        return notADay(
            base::format("week %lld day %lld level %lld is not a day of the plan", place[0], place[1], place[2]));
    const base::Array* list = kept->get("Reps").asArray();
    if (!list) return notADay("no Reps list");
    std::array<int, 9> reps{};
    for (std::size_t i = 0; i < reps.size() && i < list->size(); ++i) {
        const auto count = wholeNumber((*list)[i]);
        if (!count) return notADay("an unreadable count in Reps");
        reps[i] = static_cast<int>(std::clamp<long long>(*count, 0, Utility::kMostReps));
    }
    KeptDay out;
    out.day.setWeek(static_cast<int>(place[0]));
    out.day.setDay(static_cast<int>(place[1]));
    out.day.setLevel(static_cast<int>(place[2]));
    out.day.setReps(reps);
    if (const base::Date* finished = kept->get("Finished").asDate()) out.finished = *finished;
    // A LogDate text is short; anything else in the file is not one.
    if (const std::string* text = kept->get("LogDate").asString(); text && !text->empty() && text->size() <= 64) {
        out.logDate = *text;
    } else {
        out.ownText = false;
        if (out.finished) out.logDate = DataAccess::logDateText(*out.finished);
    }
    return out;
}

void writeKeptList(base::Array list) {
    if (list.empty()) defaults().removeObjectForKey(kKeptDaysKey);
    else defaults().setObject(kKeptDaysKey, base::Value(std::move(list)));
}

// The kept days as the settings hold them: a list, or the one dictionary an
// older version wrote. What is not a kept day (a hand-edited file may hold a
// number, a text, a day missing its week or one outside the plan) is
// dropped from the settings (not yet written) and noted in the program's
// log, so it neither takes the place of a day nor reaches the log; dropped
// then tells.
base::Array keptList(bool* dropped = nullptr) {
    const base::Value value = defaults().objectForKey(kKeptDaysKey);
    if (value.isNull()) return {};
    base::Array read;
    if (const base::Array* list = value.asArray()) read = *list;
    else read.push_back(value);
    base::Array days;
    std::size_t notDays = 0;
    for (const base::Value& entry : read) {
        std::string why;
        if (keptDayFrom(entry, &why)) {
            days.push_back(entry);
            continue;
        }
        // A line for each of the first few; the rest are counted.
        if (++notDays <= 5) base::log("a kept day in the settings is not one and is dropped: " + why);
    }
    if (notDays > 5)
        base::log(base::format("%zu more kept days in the settings are not days and are dropped", notDays - 5));
    if (notDays > 0) writeKeptList(days);
    if (dropped) *dropped = notDays > 0;
    return days;
}

// The same kept day: the same LogDate text, or for a day kept without one,
// the same moment and the same counts.
bool sameKeptDay(const KeptDay& a, const KeptDay& b) {
    if (a.ownText != b.ownText) return false;
    if (a.ownText) return a.logDate == b.logDate;
    auto seconds = [](const std::optional<base::Date>& d) {
        return d ? std::optional<double>(d->timeIntervalSince1970()) : std::nullopt;
    };
    return seconds(a.finished) == seconds(b.finished) && a.day.week() == b.day.week() && a.day.day() == b.day.day() &&
           a.day.level() == b.day.level() && a.day.reps() == b.day.reps();
}

// Removes the kept days the test picks from the settings (not yet written);
// true when one was removed.
template <typename Test>
bool removeKept(Test&& test) {
    base::Array list = keptList();
    const auto kept = std::remove_if(list.begin(), list.end(), [&](const base::Value& value) {
        const auto day = keptDayFrom(value);
        return day && test(*day);
    });
    if (kept == list.end()) return false;
    list.erase(kept, list.end());
    writeKeptList(std::move(list));
    return true;
}

// Whether the log holds the day: by its text, or by its moment when it was
// kept without one; nullopt when the log cannot be read.
std::optional<bool> logHolds(const KeptDay& kept) {
    if (!kept.ownText && kept.finished) return DataAccess::holdsDayAt(kept.day, *kept.finished);
    return DataAccess::holdsDay(kept.day, kept.logDate);
}

// Stores held days, oldest first, until the log refuses one or cannot be
// read; the days stored leave the held list and the settings (not yet
// written). Answers how many were written to the log; forgot tells whether
// the settings changed.
std::size_t storeHeldDays(bool& forgot) {
    auto& days = unstoredDays();
    std::size_t written = 0;
    while (!days.empty()) {
        const KeptDay next = days.front();
        // A day may be in the log already: the run that kept it logged it and
        // ended before it could forget it, or a write reported as failed
        // reached the file all the same.
        const auto inLog = logHolds(next);
        if (!inLog) break;
        if (!*inLog) {
            if (!DataAccess::saveLog(next.day, next.logDate)) break;
            ++written;
        }
        days.erase(days.begin());
        base::log("a held day is in the log: " + next.logDate);
        forgot = removeKept([&](const KeptDay& d) { return sameKeptDay(d, next); }) || forgot;
    }
    return written;
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
    // not stored, also from the settings, so no later start logs it. The
    // days that Done could not store are held for the log, not dropped.
    const auto& held = unstoredDays();
    const bool dropped = removeKept([&](const KeptDay& kept) {
        return std::none_of(held.begin(), held.end(), [&](const KeptDay& h) { return sameKeptDay(h, kept); });
    });
    if (dropped) Utility::synchronizeSettings();
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
    keptRefused_ = !keepCompletedDay(*dayToStore(), finishedAt_, finishedLogDate_);
    keptWritten_ = Utility::synchronizeSettings() && !keptRefused_;
    if (keptRefused_) Utility::ShowAlert(base::format(kTooManyKept, static_cast<int>(kMostKeptDays)), "Training Log");
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
    keptRefused_ = !keepCompletedDay(*changedLog_, finishedAt_, finishedLogDate_);
    keptWritten_ = Utility::synchronizeSettings() && !keptRefused_;
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
    const KeptDay kept{*day, finishedLogDate_, finishedAt_, true};
    // Whether the settings file holds the day decides what the user is told
    // when the log refuses it. The days stored just now may have made room.
    if (keptRefused_) keptRefused_ = !keepCompletedDay(kept.day, finishedAt_, finishedLogDate_);
    const bool keptOnDisk = !keptRefused_ && (keptWritten_ || defaults().synchronize());
    const std::string note = keptOnDisk     ? kKeptNote
                             : keptRefused_ ? base::format(kTooManyKeptNote, static_cast<int>(kMostKeptDays))
                                            : kHeldOnlyNote;
    bool stored = false;
    {
        StoreFailureNote failureNote(note);
        // Stamped with the text the kept copy carries, so that a start after
        // a crash before it is forgotten finds it in the log and does not log
        // it again.
        stored = DataAccess::saveLog(*day, finishedLogDate_);
    }
    // A day that did not reach the log stays kept in the settings (for the
    // next start) and held here, after the days held before it: a later
    // save stores it, once.
    if (stored) forgetKeptDay(kept);
    else unstoredDays().push_back(kept);
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

// --- The kept days --------------------------------------------------------

bool WorkoutSession::keepCompletedDay(const Log& day, base::Date finished) {
    return keepCompletedDay(day, finished, DataAccess::logDateText(finished));
}

bool WorkoutSession::keepCompletedDay(const Log& day, base::Date finished, const std::string& logDate) {
    base::Dictionary entry;
    entry.set("Finished", base::Value(finished));
    entry.set("LogDate", base::Value(logDate));
    entry.set("Week", base::Value(static_cast<long long>(day.week())));
    entry.set("Day", base::Value(static_cast<long long>(day.day())));
    entry.set("Level", base::Value(static_cast<long long>(day.level())));
    base::Array reps;
    for (int r : day.reps()) reps.push_back(base::Value(static_cast<long long>(r)));
    entry.set("Reps", base::Value(std::move(reps)));

    base::Array list = keptList();
    const KeptDay kept{day, logDate, finished, true};
    const auto same = std::find_if(list.begin(), list.end(), [&](const base::Value& value) {
        const auto other = keptDayFrom(value);
        return other && sameKeptDay(*other, kept);
    });
    // An edit of the day replaces it in its place.
    if (same != list.end()) *same = base::Value(std::move(entry));
    else if (list.size() >= kMostKeptDays) return false;
    else list.push_back(base::Value(std::move(entry)));
    writeKeptList(std::move(list));
    return true;
}

std::vector<WorkoutSession::KeptDay> WorkoutSession::keptDays() {
    std::vector<KeptDay> days;
    for (const base::Value& value : keptList())
        if (auto day = keptDayFrom(value)) days.push_back(std::move(*day));
    return days;
}

void WorkoutSession::forgetKeptDay(const KeptDay& day) {
    if (removeKept([&](const KeptDay& kept) { return sameKeptDay(kept, day); })) Utility::synchronizeSettings();
}

void WorkoutSession::forgetKeptDays() {
    unstoredDays().clear();
    if (defaults().objectForKey(kKeptDaysKey).isNull()) return;
    defaults().removeObjectForKey(kKeptDaysKey);
    Utility::synchronizeSettings();
}

bool WorkoutSession::storeKeptDays() {
    // A new run: no day is held yet. Every kept day is held, oldest first,
    // and stored as a retry stores it; the start tells the user when the
    // log refuses one.
    auto& held = unstoredDays();
    held.clear();
    // What is not a day leaves the settings file now.
    bool forgot = false;
    for (const base::Value& value : keptList(&forgot)) {
        auto day = keptDayFrom(value);
        if (!day) continue;
        // Kept without a text or a moment (a hand-made file): logged now.
        if (day->logDate.empty()) day->logDate = DataAccess::logDateText(base::Date::now());
        held.push_back(std::move(*day));
    }
    if (held.empty()) {
        if (forgot) Utility::synchronizeSettings();
        return false;
    }
    std::size_t written = 0;
    {
        StoreFailureNote note(held.size() > 1 ? kKeptDaysNote : kKeptNote);
        written = storeHeldDays(forgot);
    }
    if (forgot) Utility::synchronizeSettings();
    return written > 0;
}

bool WorkoutSession::hasUnstoredDays() { return !unstoredDays().empty(); }

bool WorkoutSession::retryUnstoredDays() {
    if (unstoredDays().empty()) return true;
    auto quiet = std::make_shared<QuietStoreFailures>();
    quiet->setPrevious(base::AssertionHandler::setCurrent(quiet));
    bool forgot = false;
    storeHeldDays(forgot);
    base::AssertionHandler::setCurrent(quiet->previous());
    if (forgot) Utility::synchronizeSettings();
    return unstoredDays().empty();
}
