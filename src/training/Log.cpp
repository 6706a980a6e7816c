#include "training/Log.h"

long long Log::total() const {
    long long sum = 0;
    for (int v : reps_) sum += v;
    return sum;
}

void Log::initValues(int week, int day, int level, int rep1, int rep2, int rep3, int rep4, int rep5, int rep6, int rep7,
                     int rep8, int rep9, std::optional<base::Date> dateSort, const std::string& logDate) {
    week_ = week;
    day_ = day;
    level_ = level;
    reps_ = {rep1, rep2, rep3, rep4, rep5, rep6, rep7, rep8, rep9};
    dateSort_ = dateSort;
    logDate_ = logDate;
}

std::shared_ptr<Log> Log::copy() const {
    auto other = std::make_shared<Log>();
    other->initValues(week_, day_, level_, reps_[0], reps_[1], reps_[2], reps_[3], reps_[4], reps_[5], reps_[6],
                      reps_[7], reps_[8], dateSort_, logDate_);
    return other;
}

bool Log::sameRow(const Log& other) const {
    return week_ == other.week_ && day_ == other.day_ && level_ == other.level_ && reps_ == other.reps_ &&
           logDate_ == other.logDate_;
}
