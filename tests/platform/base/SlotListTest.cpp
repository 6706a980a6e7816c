// The slot list under long runs of changes that never read it in order: its
// room stays within a few times its items, every item knows its slot, and
// the items moved by close-ups stay in proportion to the removals.
#include "platform/base/SlotList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Item {
    std::size_t slot = 0;
    int id = 0;
};

using List = std::vector<std::unique_ptr<Item>>;

struct Slots {
    List list;
    std::size_t empty = 0;
    long moves = 0;

    Item* add(int id) {
        list.push_back(std::make_unique<Item>(Item{list.size(), id}));
        return list.back().get();
    }
    void remove(const Item& item) {
        base::emptySlot(list, item.slot, empty, [this](Item& moved, std::size_t slot) {
            moved.slot = slot;
            ++moves;
        });
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
            ASSERT_LE(s.list.size(), std::size_t(2 * kItems + 1));
        }
        ASSERT_LE(s.list.capacity(), std::size_t(4 * kItems + 4));
    }
    std::vector<int> expected;
    for (int i = 0; i < kItems; ++i) expected.push_back(1000 * kItems + i);
    EXPECT_EQ(s.ids(), expected);
    // Each close-up moves what it keeps once; the removals pay for it.
    EXPECT_LE(s.moves, 2 * removals);

    // Taking most items out gives their room back.
    for (std::size_t i = 0; i + 10 < live.size(); ++i) s.remove(*live[i]);
    EXPECT_EQ(s.ids(), std::vector<int>(expected.end() - 10, expected.end()));
    EXPECT_LE(s.list.capacity(), std::max(base::slotlist::kSmallCapacity, 4 * s.list.size()));
}
