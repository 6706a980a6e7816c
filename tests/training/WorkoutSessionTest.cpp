// The rules of a training day, driven without a screen: the session's own
// timer on the manual clock, the set number, the doubled sets and the kept
// day.
#include <gtest/gtest.h>

#include <vector>

#include "StoreTestSupport.h"
#include "platform/base/RunLoop.h"
#include "platform/ui/AlertView.h"
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
    const auto kept = WorkoutSession::keptDays();
    ASSERT_EQ(kept.size(), 1u);
    ASSERT_TRUE(kept[0].finished);
    EXPECT_EQ(kept[0].day.total(), 13);
    EXPECT_EQ(DataAccess::holdsDay(kept[0].day, *kept[0].finished), std::optional<bool>(false));

    session->saveDay();
    session->saveDay();
    EXPECT_EQ(logRows(), 1) << "a day is stored once";
    EXPECT_EQ(DataAccess::holdsDay(kept[0].day, *kept[0].finished), std::optional<bool>(true));
    EXPECT_TRUE(WorkoutSession::keptDays().empty());
}

TEST_F(WorkoutSessionTest, TheKeptDaysStopAtTheirMostAndADayBeyondIsToldAndStillLogged) {
    Log kept;
    kept.setWeek(1);
    kept.setDay(1);
    kept.setLevel(1);
    for (std::size_t i = 0; i < WorkoutSession::kMostKeptDays; ++i)
        ASSERT_TRUE(
            WorkoutSession::keepCompletedDay(kept, base::Date(1700000000.0 + 86400.0 * static_cast<double>(i))));
    EXPECT_FALSE(WorkoutSession::keepCompletedDay(kept, base::Date(1690000000.0)));
    const auto days = WorkoutSession::keptDays();
    ASSERT_EQ(days.size(), WorkoutSession::kMostKeptDays) << "none is dropped";
    EXPECT_EQ(days.front().finished->timeIntervalSince1970(), 1700000000.0);

    // The next completed day cannot be kept: the user is told at once.
    setPosition(1, 1, 1);
    auto session = start();
    session->completeDay();
    auto alert = std::dynamic_pointer_cast<ui::AlertView>(storetest::app().frontAlert());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(),
              "Tolvek already keeps 100 finished days that your training log could not take, and keeps no more: this "
              "day is lost if it cannot be saved before Tolvek closes. Please check that the folder of your training "
              "log can be written and has room.");
    EXPECT_EQ(WorkoutSession::keptDays().size(), WorkoutSession::kMostKeptDays);
    // Done logs it all the same.
    session->saveDay();
    EXPECT_EQ(logRows(), 1);
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
