#include "training/Program.h"

#include <cstddef>

int Program::doubledSets(int week, int day) {
    if (day != 2 && day != 3) return 0;
    if (week == 5) return 3;
    if (week == 6) return 4;
    return 0;
}

std::array<int, 9> Program::slotSets(int week, int day) {
    const int doubled = doubledSets(week, day);
    std::array<int, 9> sets{};
    std::size_t slot = 0;
    for (int set = 1; set <= 5; ++set) {
        sets[slot++] = set;
        if (set <= doubled) sets[slot++] = set;
    }
    return sets;
}

std::array<int, 5> Program::setsOfSlots(int week, int day, const std::array<int, 9>& slots) {
    const auto sets = slotSets(week, day);
    std::array<int, 5> counts{};
    // Slots run backwards so that a doubled set ends on its first round.
    for (std::size_t slot = sets.size(); slot-- > 0;)
        if (sets[slot] > 0) counts[static_cast<std::size_t>(sets[slot] - 1)] = slots[slot];
    return counts;
}

std::array<int, 9> Program::nineSlots(int week, int day) const {
    const std::array<int, 5> reps{rep1_, rep2_, rep3_, rep4_, rep5_};
    const auto sets = slotSets(week, day);
    std::array<int, 9> slots{};
    for (std::size_t slot = 0; slot < sets.size(); ++slot)
        if (sets[slot] > 0) slots[slot] = reps[static_cast<std::size_t>(sets[slot] - 1)];
    return slots;
}

long long Program::total() const {
    long long sum = 0;
    for (int v : nineSlots()) sum += v;
    return sum;
}
