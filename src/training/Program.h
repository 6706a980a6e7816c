#pragma once
// One row of the training plan: the five sets of a day and the rest between
// them, for one week, day and level.
#include <array>

class Program {
public:
    Program() = default;

    int programId() const { return programId_; }
    void setProgramId(int v) { programId_ = v; }
    int week() const { return week_; }
    void setWeek(int v) { week_ = v; }
    int day() const { return day_; }
    void setDay(int v) { day_ = v; }
    int level() const { return level_; }
    void setLevel(int v) { level_ = v; }
    int rep1() const { return rep1_; }
    void setRep1(int v) { rep1_ = v; }
    int rep2() const { return rep2_; }
    void setRep2(int v) { rep2_ = v; }
    int rep3() const { return rep3_; }
    void setRep3(int v) { rep3_ = v; }
    int rep4() const { return rep4_; }
    void setRep4(int v) { rep4_ = v; }
    int rep5() const { return rep5_; }
    void setRep5(int v) { rep5_ = v; }
    int interval() const { return interval_; }
    void setInterval(int v) { interval_ = v; }

    // The plan's days: weeks 1 to kWeeks, days 1 to kDaysAWeek of each, at
    // levels 1 to kLevels, one row each.
    static constexpr int kWeeks = 6;
    static constexpr int kDaysAWeek = 3;
    static constexpr int kLevels = 3;
    // Whether the plan has this day at this level.
    static bool isPlanDay(int week, int day, int level) {
        return week >= 1 && week <= kWeeks && day >= 1 && day <= kDaysAWeek && level >= 1 && level <= kLevels;
    }

    // The plan's doubled sets: how many of the first sets of a day are done
    // twice. Three on days 2 and 3 of week 5, four on days 2 and 3 of week
    // 6, none on every other day. Every count, text and editor of a day's
    // sets asks this.
    static int doubledSets(int week, int day);
    // How many of the nine log slots a day fills: its five sets and the
    // second rounds of its doubled ones (5, 8 or 9).
    static int slotCount(int week, int day) { return 5 + doubledSets(week, day); }
    // Which set (1 to 5) each of the nine log slots of a day holds, in the
    // order the sets are done (a doubled set twice in a row); 0 for a slot
    // not in use.
    static std::array<int, 9> slotSets(int week, int day);
    // The five set counts of a day from its nine slots: the first round of a
    // doubled set.
    static std::array<int, 5> setsOfSlots(int week, int day, const std::array<int, 9>& slots);

    // The nine log slots of a day of this row at the given week and day, as
    // slotSets lays them out; unused slots hold 0.
    std::array<int, 9> nineSlots(int week, int day) const;
    // The same for the row's own week and day.
    std::array<int, 9> nineSlots() const { return nineSlots(week_, day_); }
    // The planned total of the day: the sum of the nine slots.
    long long total() const;

private:
    int programId_ = 0;
    int week_ = 0;
    int day_ = 0;
    int level_ = 0;
    int rep1_ = 0;
    int rep2_ = 0;
    int rep3_ = 0;
    int rep4_ = 0;
    int rep5_ = 0;
    int interval_ = 0;
};
