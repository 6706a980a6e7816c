#pragma once
// A list of owned items in which each item remembers its index (its slot),
// so that taking one out costs no search and no shift: its slot is emptied,
// and the empty slots are closed up the next time the list is read in order.
// Layers keep their sublayers this way and annotation hosts their
// annotations, so that removing every one of many items stays linear.
#include <cstddef>
#include <utility>
#include <vector>

namespace base {

// Empties slot i of the list. The list never ends in an empty slot: taking
// out the last item drops it and every empty slot before it.
template <class Ptr>
void emptySlot(std::vector<Ptr>& list, std::size_t i, std::size_t& emptySlots) {
    if (i + 1 < list.size()) {
        list[i].reset();
        ++emptySlots;
        return;
    }
    list.pop_back();
    while (!list.empty() && !list.back()) {
        list.pop_back();
        --emptySlots;
    }
}

// Moves the items down over the empty slots, keeping their order, and tells
// each item its new slot through setSlot(item, index).
template <class Ptr, class SetSlot>
void closeUpSlots(std::vector<Ptr>& list, std::size_t& emptySlots, SetSlot setSlot) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!list[i]) continue;
        if (kept != i) list[kept] = std::move(list[i]);
        setSlot(*list[kept], kept);
        ++kept;
    }
    list.resize(kept);
    emptySlots = 0;
}

}  // namespace base
