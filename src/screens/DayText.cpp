#include "screens/DayText.h"

#include <numeric>

#include "platform/base/Format.h"
#include "training/Program.h"

int dayTextValueCount(int week, int day) { return Program::slotCount(week, day); }

DayText makeDayText(int week, int day, int level, const std::array<int, 9>& slots) {
    DayText result;
    result.values = dayTextValueCount(week, day);
    // Sum in a wide type (the format prints it whole): a hand-edited log may
    // hold large counts.
    long long total = std::accumulate(slots.begin(), slots.end(), 0LL);
    std::string sets = "Made up of Sets:";
    for (int i = 0; i < result.values; ++i) {
        if (i) sets += ", ";
        sets += base::format("%i", slots[static_cast<size_t>(i)]);
    }
    result.text = base::format("Week %i Day %i Level %i Total Reps %i\n%@", week, day, level, total, sets);
    result.font = gfx::Font("Helvetica", result.values == 5 ? 13 : 11);
    return result;
}
