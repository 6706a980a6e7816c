#pragma once
// The rules and the state of one training day, free of any view: the plan
// row of the day, the set to do (with the doubled first sets on days 2 and 3
// of weeks 5 and 6), the rest that counts down once a second, the position
// inside the day written to the settings after every set so that an
// unfinished day can be resumed, and the completed days, kept in the
// settings until the log has them. The workout screen owns one and shows
// it; tests drive one on the manual clock without a window.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/base/RunLoop.h"
#include "training/Log.h"
#include "training/Program.h"

class WorkoutSession {
public:
    // Makes a session.
    static std::shared_ptr<WorkoutSession> create();

    WorkoutSession() = default;
    ~WorkoutSession();
    WorkoutSession(const WorkoutSession&) = delete;
    WorkoutSession& operator=(const WorkoutSession&) = delete;

    // --- The position inside the day.
    int repNum() const { return repNum_; }
    int repToShow() const { return repToShow_; }
    int restCountdown() const { return restCountdown_; }
    int firstRepPending() const { return firstRepPending_; }
    int week() const { return week_; }
    int day() const { return day_; }
    // The repeating one-second timer (null before the first day starts).
    std::shared_ptr<base::Timer> restTimer() const { return restTimer_; }
    std::shared_ptr<Program> today() const { return today_; }
    void setToday(std::shared_ptr<Program> today) { today_ = std::move(today); }
    // A rest counts down.
    bool isGoing() const { return isGoing_; }
    // Sets isGoing here and in the application's state.
    void setGoing(bool going);
    bool hasRepEdit() const { return hasRepEdit_; }
    std::shared_ptr<Log> changedLog() const { return changedLog_; }
    // A completed day waits for Done, Repeat or a trouble answer to be stored.
    bool hasUnsavedDay() const { return unsavedDay_; }

    // --- Starting.
    // Reads the plan position and the position inside the day from the
    // settings.
    void readPosition();
    // A day with no set done starts at the first round of its first set:
    // true when it had none done.
    bool startFresh();
    // Loads the plan row of the position read; a set to show is at least 1.
    void loadToday();
    // The resumed day starts again at its first set.
    void restartDay();
    // The plan position was set from the settings: the day is ready again,
    // its timer stopped, and a completed day not stored is forgotten.
    void resetDay();
    // The week a start lands in (7 and above: past the end of the plan).
    int startWeek() const;
    // The user's own rest is shorter than ten seconds and the user has not
    // turned the question off.
    static bool shortRestToConfirm();
    // The day begins: the rest timer calls tick once a second.
    void beginDay(std::function<void()> tick);
    void stopTimer();

    // --- Sets and rests.
    // The rest of this day: the user's own when set, else the plan's.
    int restLength() const;
    // A rest begins with its full length.
    void beginRest();
    // A rest that had no length takes the plan's.
    void fillEmptyRest();
    // Moves on to the next set (or the second round of a doubled one) and
    // writes the position; false when the fifth set was done, and the day
    // starts over.
    bool nextSet();
    enum class Tick { Idle, Counted, RestOver };
    // One second of rest (or the time spent in the background) passes.
    Tick tick();
    // Adds 30 seconds, never past the longest rest.
    void addTime();
    void endRest() { restCountdown_ = 0; }
    void useUserRest();
    void usePlanRest();
    // The count of set 1 to 5 (bounded); false when there is no such set.
    bool setRep(int set, double value);
    void setRestInterval(double value);

    // --- The end of the day.
    // Moves the plan position on, and keeps the completed day with the
    // moment it was finished.
    void completeDay();
    // An edit of the completed day ("EditReps"); false when there is no
    // completed day to take it.
    bool applyEdit(const Log& log);
    // The day as it is stored: the edit when there is one.
    std::shared_ptr<Log> dayToStore() const;
    // Stores the completed day once; a day the log refuses stays kept, and
    // is held by the program to be stored at a later save.
    void saveDay();
    void clearEdit();
    // Done: the day counts as done (the test flag is set for the week).
    void markDone();
    // The day fell well short of the plan (from week 2 on, below 0.85 of the
    // planned total), and the user is asked how to go on.
    bool fellShort() const;
    // Done needed no question: no rest counts down and the position may be
    // set again.
    void finish();
    // The answers to that question.
    enum class TroubleAnswer { Continue, RepeatDay, WeekBack };
    // Sets the plan position as the answer says: the next day, the day just
    // done again, or the same day a week back.
    void moveAfterTrouble(TroubleAnswer answer);
    // Repeat: the same day next time.
    void repeatDay();

    // The sum of the nine log slots of a day of the row.
    static long long totalDoneToday(const Program& program);
    // The share text of a day: its total, week, day and level.
    static std::string shareText(const Program& program);

    // Every completed day is kept in the settings (settingskeys::kUnsavedDay,
    // a list in the order the days were finished) from the moment it
    // completes until the log has it, so that ending the program before
    // Done, or a failed write, loses nothing. A kept day carries the moment
    // it was finished ("Finished") and the LogDate text it is logged with
    // ("LogDate"), made once when the day completes: whether the log holds
    // the day is decided by that text, whatever the time zone or the
    // rounding of the moment in the settings file when the question is
    // asked. An older version kept one day, as a dictionary of its own, and
    // may have written it without the text: such a day is logged with the
    // text of its moment in the zone of the start that stores it, and found
    // in the log by its moment, in whatever zone the text there was made.
    struct KeptDay {
        Log day;
        std::string logDate;                 // the text it is logged with
        std::optional<base::Date> finished;  // when it was finished, when known
        bool ownText = true;                 // logDate was kept with the day
    };
    // The most days the settings keep; a day completed beyond them is told
    // to the user and held only while the program runs.
    static constexpr std::size_t kMostKeptDays = 100;
    // Keeps the day (replacing a kept day of the same LogDate text) in the
    // settings, not yet written to their file; false when kMostKeptDays
    // other days are kept already.
    static bool keepCompletedDay(const Log& day, base::Date finished);
    static bool keepCompletedDay(const Log& day, base::Date finished, const std::string& logDate);
    // The kept days, oldest first; both forms of the settings are read.
    static std::vector<KeptDay> keptDays();
    // Removes one kept day from the settings and writes them.
    static void forgetKeptDay(const KeptDay& day);
    // Reset Data: no kept or held day is logged any more, in this run or a
    // later one.
    static void forgetKeptDays();
    // Start-up: stores the kept days, oldest first, as Done would (no
    // question) and forgets each once stored; a kept day the log already
    // holds is only forgotten. True when a day was stored. From the first
    // day the log refuses on, the days are held as after a refused Done.
    static bool storeKeptDays();

    // Days that Done (or the start) could not log, because the disk was full
    // or the log could not be written, are held by the running program (and
    // kept in the settings) and stored, oldest first and each once, when
    // the program saves: at the next Done, when it goes to the background
    // or comes back, every minute, and at quit. Answers true when none is
    // left. A retry that fails again is noted in the program's log only: the
    // user was told at the first.
    static bool retryUnstoredDays();
    static bool hasUnstoredDays();

private:
    int repNum_ = 1;
    int repToShow_ = 1;
    int restCountdown_ = 0;
    int week_ = 0;
    int day_ = 0;
    int level_ = 0;
    int firstRepPending_ = 0;
    std::shared_ptr<base::Timer> restTimer_;
    std::shared_ptr<Program> today_;
    bool isGoing_ = false;
    bool hasRepEdit_ = false;
    std::shared_ptr<Log> changedLog_;
    bool unsavedDay_ = false;
    base::Date finishedAt_;        // when the unsaved day was completed
    std::string finishedLogDate_;  // and the LogDate text it is logged with
    bool keptWritten_ = false;     // the settings file holds the completed day
    bool keptRefused_ = false;     // kMostKeptDays were kept already when it completed
};
