#pragma once
// One exhaustion test: when it was taken (seconds since 1970), the week and
// day it was taken on, and the score as the user typed it.
#include <string>

class Test {
public:
    Test() = default;

    double testDate() const { return testDate_; }
    void setTestDate(double v) { testDate_ = v; }
    int week() const { return week_; }
    void setWeek(int v) { week_ = v; }
    int day() const { return day_; }
    void setDay(int v) { day_ = v; }
    const std::string& score() const { return score_; }
    void setScore(const std::string& v) { score_ = v; }

private:
    double testDate_ = 0;
    int week_ = 0;
    int day_ = 0;
    std::string score_;
};
