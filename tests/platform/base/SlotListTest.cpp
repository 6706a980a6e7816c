// The slot list under long runs of changes that never read it in order: its
// room stays within a few times its items, every item knows its slot, the
// items moved by close-ups stay in proportion to the changes, and a read
// after many removals gives the room back.
#include "platform/base/SlotList.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kNoSlot = std::numeric_limits<std::size_t>::max();

struct Item {
    std::size_t slot = kNoSlot;
    int id = 0;
};

using List = std::vector<std::unique_ptr<Item>>;

struct Slots {
    List list;
    std::size_t empty = 0;
    long moves = 0;

    // Counts the items that change slots (not the slot a new item is given).
    void place(Item& item, std::size_t slot) {
        if (item.slot != kNoSlot && item.slot != slot) ++moves;
        item.slot = slot;
    }
    Item* add(int id) {
        auto item = std::make_unique<Item>(Item{kNoSlot, id});
        Item* added = item.get();
        base::appendToSlots(list, empty, std::move(item), [this](Item& i, std::size_t slot) { place(i, slot); });
        return added;
    }
    void remove(const Item& item) { base::emptySlot(list, item.slot, empty); }
    // What reading the list in order does first.
    void closeUp() {
        base::closeUpSlots(list, empty, [this](Item& i, std::size_t slot) { place(i, slot); });
    }
    // The live items in order, each checked against its slot.
    std::vector<int> ids() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!list[i]) continue;
            EXPECT_EQ(list[i]->slot, i);
            out.push_back(list[i]->id);
        }
        return out;
    }
};

}  // namespace

TEST(SlotListTest, ReplacingItemsWithoutReadingKeepsTheListWithinAFewTimesItsItems) {
    constexpr int kItems = 1000;
    Slots s;
    std::vector<Item*> live;
    for (int i = 0; i < kItems; ++i) live.push_back(s.add(i));
    // A relabel without a draw: each item taken out and a new one appended,
    // a thousand times over.
    long removals = 0;
    for (int round = 1; round <= 1000; ++round) {
        for (auto& item : live) {
            s.remove(*item);
            ++removals;
            item = s.add(round * kItems + int(&item - live.data()));
            ASSERT_LE(s.list.capacity(), std::size_t(4 * kItems));
        }
    }
    std::vector<int> expected;
    for (int i = 0; i < kItems; ++i) expected.push_back(1000 * kItems + i);
    EXPECT_EQ(s.ids(), expected);
    // Each close-up moves what it keeps once; the replacements pay for it.
    EXPECT_LE(s.moves, 2 * removals);

    // Taking most items out moves none of the others; the next read closes
    // the list up and gives its room back.
    const long movesBefore = s.moves;
    for (std::size_t i = 0; i + 10 < live.size(); ++i) s.remove(*live[i]);
    EXPECT_EQ(s.moves, movesBefore);
    s.closeUp();
    EXPECT_EQ(s.ids(), std::vector<int>(expected.end() - 10, expected.end()));
    EXPECT_LE(s.list.capacity(), base::slotlist::kSmallCapacity);
}
