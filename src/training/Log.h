#pragma once
// One logged training day: its week, day and level, the nine slots of its
// sets, the date text the store wrote when the day was inserted, and (only in
// the newest-first list) that date as a date value.
#include <array>
#include <utility>
#include <memory>
#include <optional>
#include <string>

#include "platform/base/Date.h"

class Log {
public:
    Log() = default;

    const std::string& logDate() const { return logDate_; }
    void setLogDate(const std::string& v) { logDate_ = v; }
    void setLogDate(std::string&& v) { logDate_ = std::move(v); }
    int week() const { return week_; }
    void setWeek(int v) { week_ = v; }
    int day() const { return day_; }
    void setDay(int v) { day_ = v; }
    int level() const { return level_; }
    void setLevel(int v) { level_ = v; }
    int rep1() const { return reps_[0]; }
    void setRep1(int v) { reps_[0] = v; }
    int rep2() const { return reps_[1]; }
    void setRep2(int v) { reps_[1] = v; }
    int rep3() const { return reps_[2]; }
    void setRep3(int v) { reps_[2] = v; }
    int rep4() const { return reps_[3]; }
    void setRep4(int v) { reps_[3] = v; }
    int rep5() const { return reps_[4]; }
    void setRep5(int v) { reps_[4] = v; }
    int rep6() const { return reps_[5]; }
    void setRep6(int v) { reps_[5] = v; }
    int rep7() const { return reps_[6]; }
    void setRep7(int v) { reps_[6] = v; }
    int rep8() const { return reps_[7]; }
    void setRep8(int v) { reps_[7] = v; }
    int rep9() const { return reps_[8]; }
    void setRep9(int v) { reps_[8] = v; }
    const std::optional<base::Date>& dateSort() const { return dateSort_; }
    void setDateSort(std::optional<base::Date> v) { dateSort_ = v; }

    // All nine slots at once, slot 1 first.
    const std::array<int, 9>& reps() const { return reps_; }
    void setReps(const std::array<int, 9>& v) { reps_ = v; }
    // The day's total: the sum of the nine slots.
    long long total() const;

    // Sets every field at once; the first argument is the week.
    void initValues(int week, int day, int level, int rep1, int rep2, int rep3, int rep4, int rep5, int rep6, int rep7,
                    int rep8, int rep9, std::optional<base::Date> dateSort, const std::string& logDate);
    // A new record with every field copied.
    std::shared_ptr<Log> copy() const;

    // Equal in the thirteen stored columns (dateSort is not stored).
    bool sameRow(const Log& other) const;

private:
    std::string logDate_;
    int week_ = 0;
    int day_ = 0;
    int level_ = 0;
    std::array<int, 9> reps_{};
    std::optional<base::Date> dateSort_;
};
