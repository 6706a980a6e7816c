#include "training/Program.h"

std::array<int, 9> Program::nineSlots(int week, int day) const {
    const bool heavy = day == 2 || day == 3;
    if (week == 5 && heavy) return {rep1_, rep1_, rep2_, rep2_, rep3_, rep3_, rep4_, rep5_, 0};
    if (week == 6 && heavy) return {rep1_, rep1_, rep2_, rep2_, rep3_, rep3_, rep4_, rep4_, rep5_};
    return {rep1_, rep2_, rep3_, rep4_, rep5_, 0, 0, 0, 0};
}

long long Program::total() const {
    long long sum = 0;
    for (int v : nineSlots()) sum += v;
    return sum;
}
