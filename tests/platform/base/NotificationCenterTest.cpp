#include "platform/base/NotificationCenter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace base;

TEST(NotificationCenterTest, DeliversByNameWithObjectAndUserInfo) {
    NotificationCenter center;
    int owner = 0;
    std::vector<std::string> heard;
    int carried = 0;
    std::string info;
    center.addObserver(&owner, "repChanged", nullptr, [&](const Notification& n) {
        heard.push_back(n.name);
        carried = std::any_cast<int>(n.object);
        if (auto* s = n.userInfo["key"].asString()) info = *s;
    });
    center.addObserver(&owner, "", nullptr, [&](const Notification& n) { heard.push_back("any:" + n.name); });
    center.post("restChanged");
    center.post("repChanged", nullptr, 7, Value(Dictionary{{"key", Value("v")}}));
    EXPECT_EQ(heard, (std::vector<std::string>{"any:restChanged", "repChanged", "any:repChanged"}));
    EXPECT_EQ(carried, 7);
    EXPECT_EQ(info, "v");
}

TEST(NotificationCenterTest, FiltersBySenderIdentity) {
    NotificationCenter center;
    int plotA = 0, plotB = 0;
    std::vector<std::string> heard;
    center.addObserver(nullptr, "CHTLegendNeedsLayoutForPlotNotification", &plotA,
                       [&](const Notification&) { heard.push_back("only A"); });
    center.addObserver(nullptr, "CHTLegendNeedsLayoutForPlotNotification", nullptr,
                       [&](const Notification& n) { heard.push_back(n.sender == &plotA ? "all:A" : "all:B"); });
    center.post("CHTLegendNeedsLayoutForPlotNotification", &plotB);
    center.post("CHTLegendNeedsLayoutForPlotNotification", &plotA);
    center.post("CHTLegendNeedsLayoutForPlotNotification");  // no sender: only unfiltered observers
    EXPECT_EQ(heard, (std::vector<std::string>{"all:B", "only A", "all:A", "all:B"}));
}

TEST(NotificationCenterTest, RemovalByTokenAndByOwner) {
    NotificationCenter center;
    int screen = 0, legend = 0;
    std::vector<int> heard;
    auto t1 = center.addObserver(&screen, "a", nullptr, [&](const Notification&) { heard.push_back(1); });
    center.addObserver(&screen, "b", nullptr, [&](const Notification&) { heard.push_back(2); });
    center.addObserver(&screen, "a", nullptr, [&](const Notification&) { heard.push_back(3); });
    center.addObserver(&legend, "a", nullptr, [&](const Notification&) { heard.push_back(4); });
    center.removeObserver(t1);
    center.removeObserver(t1);  // twice is harmless
    center.post("a");
    EXPECT_EQ(heard, (std::vector<int>{3, 4}));
    heard.clear();
    center.removeObserver(&screen, "a");  // only the "a" observations of screen
    center.post("a");
    center.post("b");
    EXPECT_EQ(heard, (std::vector<int>{4, 2}));
    heard.clear();
    center.removeObserver(&screen);
    center.removeObserver(&legend);
    center.post("a");
    center.post("b");
    EXPECT_TRUE(heard.empty());
}

TEST(NotificationCenterTest, ObserverMayRemoveItselfAndOthersDuringDelivery) {
    NotificationCenter center;
    std::vector<std::string> heard;
    NotificationCenter::Token self = 0, later = 0;
    int owner = 0;
    self = center.addObserver(&owner, "n", nullptr, [&](const Notification&) {
        heard.push_back("self");
        center.removeObserver(self);
        center.removeObserver(later);  // not yet called in this delivery: must not be
        // Added during delivery: hears only the next notification.
        center.addObserver(&owner, "n", nullptr, [&](const Notification&) { heard.push_back("new"); });
    });
    center.addObserver(nullptr, "n", nullptr, [&](const Notification&) { heard.push_back("other"); });
    later = center.addObserver(nullptr, "n", nullptr, [&](const Notification&) { heard.push_back("later"); });
    center.post("n");
    EXPECT_EQ(heard, (std::vector<std::string>{"self", "other"}));
    heard.clear();
    center.post("n");
    EXPECT_EQ(heard, (std::vector<std::string>{"other", "new"}));
    // An observer removing every observation of its owner while called.
    heard.clear();
    center.addObserver(&owner, "m", nullptr, [&](const Notification&) {
        heard.push_back("m1");
        center.removeObserver(&owner);
    });
    center.addObserver(&owner, "m", nullptr, [&](const Notification&) { heard.push_back("m2"); });
    center.post("m");
    center.post("n");
    EXPECT_EQ(heard, (std::vector<std::string>{"m1", "other"}));
}

TEST(NotificationCenterTest, RegistrationAndPostingFromManyThreads) {
    NotificationCenter center;
    std::atomic<int> calls{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 200; ++k) {
                auto t = center.addObserver(&calls, "x", nullptr, [&](const Notification&) { ++calls; });
                center.post("x", &threads);
                center.removeObserver(t);
            }
        });
    for (auto& t : threads) t.join();
    // Each post reaches at least its own thread's observation.
    EXPECT_GE(calls.load(), 800);
    calls = 0;
    center.post("x");
    EXPECT_EQ(calls.load(), 0);
}

TEST(NotificationCenterTest, DefaultCenterIsOneInstance) {
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
    bool heard = false;
    int owner = 0;
    NotificationCenter::defaultCenter().addObserver(&owner, "ResetToDay", nullptr,
                                                    [&](const Notification&) { heard = true; });
    NotificationCenter::defaultCenter().post("ResetToDay", &owner);
    NotificationCenter::defaultCenter().removeObserver(&owner);
    EXPECT_TRUE(heard);
}
