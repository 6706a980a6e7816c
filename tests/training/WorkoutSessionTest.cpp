// The rules of a training day, driven without a screen: the session's own
// timer on the manual clock, the set number, the doubled sets and the kept
// day.
#include <gtest/gtest.h>

#include <vector>

#include "StoreTestSupport.h"
#include "platform/base/RunLoop.h"
#include "training/DataAccess.h"
#include "training/WorkoutSession.h"

namespace {

class WorkoutSessionTest : public storetest::StoreTest {
protected:
    // Starts the day placed in the settings, as the screen does when it
    // appears and its start is tapped.
    std::shared_ptr<WorkoutSession> start() {
        auto session = WorkoutSession::create();
        session->readPosition();
        EXPECT_TRUE(session->startFresh());
        session->loadToday();
        std::weak_ptr<WorkoutSession> weak = session;
        session->beginDay([this, weak] {
            auto s = weak.lock();
            if (s && s->tick() == WorkoutSession::Tick::RestOver) {
                restsOver++;
                s->nextSet();
            }
        });
        return session;
    }
    int restsOver = 0;
};

TEST_F(WorkoutSessionTest, AFirstDayRestsOnTheClockAndIsLoggedWithTheMomentItWasFinished) {
    setPosition(1, 1, 1);
    auto session = start();
    ASSERT_TRUE(session->today());
    EXPECT_EQ(session->repNum(), 1);
    for (int set = 1; set <= 4; ++set) {
        session->beginRest();
        EXPECT_EQ(session->restCountdown(), 60);
        base::RunLoop::main().advanceBy(60);
        EXPECT_EQ(session->restCountdown(), 0) << "a rest ends after its last second, not on it";
        EXPECT_EQ(restsOver, set - 1);
        base::RunLoop::main().advanceBy(1);
        EXPECT_EQ(restsOver, set);
        EXPECT_EQ(session->repNum(), set + 1);
        EXPECT_FALSE(session->isGoing());
        EXPECT_EQ(defaults().integerForKey("Tolvek_RepNum"), set + 1) << "the position is written after every set";
    }
    session->completeDay();
    EXPECT_EQ(defaults().integerForKey("Tolvek_Day"), 2);
    const auto kept = WorkoutSession::keptDay();
    const auto finished = WorkoutSession::keptDayFinished();
    ASSERT_TRUE(kept && finished);
    EXPECT_EQ(kept->total(), 13);
    EXPECT_EQ(DataAccess::holdsDay(*kept, *finished), std::optional<bool>(false));

    session->saveDay();
    session->saveDay();
    EXPECT_EQ(logRows(), 1) << "a day is stored once";
    EXPECT_EQ(DataAccess::holdsDay(*kept, *finished), std::optional<bool>(true));
    EXPECT_FALSE(WorkoutSession::keptDay());
}

TEST_F(WorkoutSessionTest, TheFirstThreeSetsOfADoubledDayAreDoneTwice) {
    setPosition(2, 5, 1);
    auto session = start();
    std::vector<int> sets{session->repNum()};
    while (session->nextSet() && sets.size() < 20) sets.push_back(session->repNum());
    EXPECT_EQ(sets, (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 5}));
    EXPECT_EQ(session->repNum(), 1) << "after the fifth set the day starts over";
}

}  // namespace
