#pragma once
// A list of owned items in which each item remembers its index (its slot),
// so that taking one out costs no search and no shift: its slot is emptied,
// and the empty slots are closed up the next time the list is read in order,
// or when an append finds them outnumbering the items. Layers keep their
// sublayers this way and annotation hosts their annotations, so that
// removing every one of many items stays linear, and replacing items again
// and again without ever reading the list keeps it within a few times the
// items it holds.
#include <cstddef>
#include <utility>
#include <vector>

namespace base {

namespace slotlist {

// A list holding this many places or fewer is never reallocated smaller.
inline constexpr std::size_t kSmallCapacity = 32;

// Gives back the room of a list that holds far fewer items than it has
// places for: above four places per item it is moved into room for two per
// item. That leaves room to grow before the next reallocation, and since the
// list must lose half its items again before the next shrink, the copying
// stays linear in the number of removals over any run of changes.
template <class Ptr>
void giveBackSpareRoom(std::vector<Ptr>& list) {
    const std::size_t size = list.size();
    if (list.capacity() <= kSmallCapacity || list.capacity() / 4 <= size) return;
    std::vector<Ptr> smaller;
    smaller.reserve(2 * size);
    for (Ptr& item : list) smaller.push_back(std::move(item));
    list.swap(smaller);
}

}  // namespace slotlist

// Moves the items down over the empty slots, keeping their order, tells each
// item its new slot through setSlot(item, index) and gives back room the list
// no longer needs.
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
    slotlist::giveBackSpareRoom(list);
}

// Empties slot i of the list. The list never ends in an empty slot: taking
// out the last item drops it and every empty slot before it, and gives back
// the room the list no longer needs.
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
    slotlist::giveBackSpareRoom(list);
}

// Appends the item and tells it its slot. When the list is full (appending
// would reallocate it larger) and its empty slots outnumber its items, it is
// closed up first instead of growing: items replaced again and again with no
// read between keep the list within about four places per item. The
// close-up costs the length of the list, which at least half as many appends
// since the last close-up or growth have paid for, so the cost stays linear;
// removals alone never move an item.
template <class Ptr, class SetSlot>
void appendToSlots(std::vector<Ptr>& list, std::size_t& emptySlots, Ptr item, SetSlot setSlot) {
    if (list.size() == list.capacity() && emptySlots > list.size() - emptySlots)
        closeUpSlots(list, emptySlots, setSlot);
    setSlot(*item, list.size());
    list.push_back(std::move(item));
}

}  // namespace base
