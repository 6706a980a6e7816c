#include "platform/base/RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/Clock.h"

using namespace base;

namespace {

// Puts a manual clock in force for the test and restores the system clock.
class ManualClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<ManualClock>(1000.0);
        Clock::setCurrent(clock);
    }
    void TearDown() override { Clock::setCurrent(nullptr); }
    std::shared_ptr<ManualClock> clock;
};

}  // namespace

TEST(ClockTest, SystemClockIsInForceByDefaultAndCanBeSwapped) {
    Clock::setCurrent(nullptr);
    EXPECT_FALSE(Clock::current().isManual());
    double wall = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    EXPECT_NEAR(Date::now().timeIntervalSince1970(), wall, 5.0);

    auto manual = std::make_shared<ManualClock>(50.0);
    Clock::setCurrent(manual);
    EXPECT_TRUE(Clock::current().isManual());
    EXPECT_EQ(Date::now().timeIntervalSince1970(), 50.0);
    manual->advance(2.5);
    EXPECT_EQ(Date::now().timeIntervalSince1970(), 52.5);
    manual->setTime(10.0);
    EXPECT_EQ(Date(12.0).timeIntervalSinceNow(), 2.0);
    Clock::setCurrent(nullptr);
    EXPECT_FALSE(Clock::current().isManual());
}

TEST(ClockTest, ManualClockAdvancesFromManyThreadsWithoutLosingTime) {
    ManualClock clock(0.0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 10000; ++k) clock.advance(1.0);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(clock.now(), 40000.0);
}

TEST(DateTest, DescriptionIsIsoUtcWithMilliseconds) {
    EXPECT_EQ(Date(0).description(), "1970-01-01T00:00:00.000Z");
    EXPECT_EQ(Date(1796000000.25).description(), "2026-11-30T00:53:20.250Z");
    // Rounding to the millisecond carries into the seconds.
    EXPECT_EQ(Date(59.9996).description(), "1970-01-01T00:01:00.000Z");
    EXPECT_EQ(Date(-0.5).description(), "1969-12-31T23:59:59.500Z");
    EXPECT_LT(Date::distantPast(), Date(0));
    EXPECT_GT(Date::distantFuture(), Date(4102444800.0));  // after 2100
    EXPECT_EQ(Date(10).addingTimeInterval(5).timeIntervalSinceDate(Date(3)), 12.0);
}

TEST_F(ManualClockTest, TimersFireInFireDateOrderAsTheClockAdvances) {
    RunLoop loop;
    std::vector<std::string> fired;
    std::vector<double> at;
    auto record = [&](std::string name) {
        return [&, name = std::move(name)](Timer&) {
            fired.push_back(name);
            at.push_back(clock->now());
        };
    };
    loop.addTimer(Timer::timer(3.0, false, record("c")));
    loop.addTimer(Timer::timer(1.0, false, record("a")));
    loop.addTimer(Timer::timer(2.0, false, record("b1")));
    loop.addTimer(Timer::timer(2.0, false, record("b2")));  // same date: scheduling order
    loop.advanceBy(2.5);
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b1", "b2"}));
    EXPECT_EQ(at, (std::vector<double>{1001.0, 1002.0, 1002.0}));
    EXPECT_EQ(clock->now(), 1002.5);
    loop.advanceBy(10);
    EXPECT_EQ(fired.back(), "c");
    EXPECT_EQ(at.back(), 1003.0);
    EXPECT_FALSE(loop.nextFireDate(nullptr));  // one-shots are gone
}

TEST_F(ManualClockTest, RepeatingTimerKeepsItsPeriod) {
    RunLoop loop;
    std::vector<double> at;
    auto timer = Timer::timer(1.5, true, [&](Timer&) { at.push_back(clock->now()); });
    loop.addTimer(timer);
    loop.advanceBy(0.7);
    // Work done in between does not shift the schedule.
    loop.advanceBy(4.0);
    EXPECT_EQ(at, (std::vector<double>{1001.5, 1003.0, 1004.5}));
    EXPECT_EQ(timer->fireDate().timeIntervalSince1970(), 1006.0);
    // Firing by hand does not move the schedule either.
    timer->fire();
    EXPECT_EQ(at.size(), 4u);
    EXPECT_TRUE(timer->isValid());
    EXPECT_EQ(timer->fireDate().timeIntervalSince1970(), 1006.0);
    timer->invalidate();
    loop.advanceBy(10);
    EXPECT_EQ(at.size(), 4u);
}

TEST_F(ManualClockTest, RepeatingTimerThatFellBehindSkipsMissedPeriodsButKeepsPhase) {
    RunLoop loop;
    int count = 0;
    auto timer = Timer::timer(1.0, true, [&](Timer&) { ++count; });
    loop.addTimer(timer);
    clock->advance(3.5);  // the clock moved without the loop
    loop.runPendingWork();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(timer->fireDate().timeIntervalSince1970(), 1004.0);
    timer->invalidate();
}

TEST_F(ManualClockTest, TimersScheduledByACallbackFireWithinTheSameAdvance) {
    RunLoop loop;
    std::vector<double> at;
    loop.addTimer(Timer::timer(1.0, false, [&](Timer&) {
        at.push_back(clock->now());
        loop.addTimer(Timer::timer(2.0, false, [&](Timer&) { at.push_back(clock->now()); }));
        loop.addTimer(Timer::timer(20.0, false, [&](Timer&) { at.push_back(clock->now()); }));
    }));
    loop.performAfterDelay(2.0, [&] { at.push_back(-clock->now()); });
    loop.advanceBy(5.0);
    EXPECT_EQ(at, (std::vector<double>{1001.0, -1002.0, 1003.0}));
    loop.advanceBy(20.0);
    EXPECT_EQ(at.back(), 1021.0);
}

TEST_F(ManualClockTest, InvalidateAndSetFireDate) {
    RunLoop loop;
    std::vector<int> fired;
    auto a = Timer::timer(1.0, false, [&](Timer&) { fired.push_back(1); });
    auto b = Timer::timer(2.0, false, [&](Timer&) { fired.push_back(2); });
    loop.addTimer(a);
    loop.addTimer(b);
    a->invalidate();
    EXPECT_FALSE(a->isValid());
    b->setFireDate(Date(1000.5));
    Date next;
    ASSERT_TRUE(loop.nextFireDate(&next));
    EXPECT_EQ(next.timeIntervalSince1970(), 1000.5);
    loop.advanceBy(3.0);
    EXPECT_EQ(fired, (std::vector<int>{2}));
    EXPECT_FALSE(b->isValid());

    // A repeating timer may invalidate itself while it fires; an
    // invalidated timer cannot be scheduled again.
    int n = 0;
    auto r = Timer::timer(1.0, true, [&](Timer& t) {
        if (++n == 2) t.invalidate();
    });
    loop.addTimer(r);
    loop.advanceBy(5.0);
    EXPECT_EQ(n, 2);
    loop.addTimer(r);
    EXPECT_FALSE(loop.nextFireDate(nullptr));
}

TEST_F(ManualClockTest, ThrowingOneShotIsStillInvalidated) {
    RunLoop loop;
    auto t = Timer::timer(1.0, false, [](Timer&) { throw std::runtime_error("boom"); });
    loop.addTimer(t);
    EXPECT_THROW(loop.advanceBy(2.0), std::runtime_error);
    EXPECT_FALSE(t->isValid());
    loop.advanceBy(2.0);  // nothing left to throw
}

TEST_F(ManualClockTest, PerformAfterDelayAndCancel) {
    RunLoop loop;
    std::vector<int> ran;
    auto keep = loop.performAfterDelay(1.0, [&] { ran.push_back(1); });
    auto drop = loop.performAfterDelay(1.0, [&] { ran.push_back(2); });
    loop.performAfterDelay(0.0, [&] { ran.push_back(0); });
    loop.cancelPerform(drop);
    loop.cancelPerform(drop);    // twice is harmless
    loop.cancelPerform(999999);  // unknown token is harmless
    loop.runPendingWork();
    EXPECT_EQ(ran, (std::vector<int>{0}));
    loop.advanceBy(1.0);
    EXPECT_EQ(ran, (std::vector<int>{0, 1}));
    loop.cancelPerform(keep);  // after it ran: harmless
    loop.advanceBy(5.0);
    EXPECT_EQ(ran, (std::vector<int>{0, 1}));
}

TEST_F(ManualClockTest, ScheduledTimerUsesTheMainLoop) {
    int n = 0;
    auto t = Timer::scheduledTimer(1.0, false, [&](Timer&) { ++n; });
    RunLoop::main().advanceBy(1.0);
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(RunLoop::isMainThread());
    bool other = true;
    std::thread([&] { other = RunLoop::isMainThread(); }).join();
    EXPECT_FALSE(other);
}

TEST_F(ManualClockTest, RunUntilFiresTimersUntilTheConditionHolds) {
    RunLoop loop;
    int ticks = 0;
    auto t = Timer::timer(1.0, true, [&](Timer&) { ++ticks; });
    loop.addTimer(t);
    EXPECT_TRUE(loop.runUntil([&] { return ticks == 3; }, 10.0));
    EXPECT_EQ(clock->now(), 1003.0);
    t->invalidate();
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.0));
    // Without work from other threads the clock ends at the deadline.
    EXPECT_FALSE(loop.runUntil([] { return false; }, 0.01));
    EXPECT_DOUBLE_EQ(clock->now(), 1003.01);
}

TEST(RunLoopThreadTest, WorkFromAWorkerRunsOnTheLoopThread) {
    Clock::setCurrent(nullptr);
    RunLoop& loop = RunLoop::main();
    const auto mainId = std::this_thread::get_id();
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        loop.performOnMainThread([&] {
            ranOnMain = std::this_thread::get_id() == mainId;
            done = true;
        });
    });
    EXPECT_TRUE(loop.runUntil([&] { return done.load(); }, 10.0));
    worker.join();
    EXPECT_TRUE(ranOnMain);
}

TEST(RunLoopThreadTest, WaitingPerformBlocksTheWorkerUntilItRan) {
    Clock::setCurrent(nullptr);
    RunLoop& loop = RunLoop::main();
    int value = 0;  // written on the main thread only
    std::atomic<int> seenByWorker{-1};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        loop.performOnMainThread([&] { value = 42; }, true);
        seenByWorker = value;  // the waiting call returned after the work ran
        try {
            loop.performOnMainThread([] { throw std::runtime_error("main failed"); }, true);
        } catch (const std::runtime_error&) {
            finished = true;
            loop.wake();  // the loop re-checks its condition
        }
    });
    EXPECT_TRUE(loop.runUntil([&] { return finished.load(); }, 10.0));
    worker.join();
    EXPECT_EQ(seenByWorker, 42);

    // On the loop's own thread a waiting call runs at once, a queued one later.
    std::vector<int> order;
    loop.performOnMainThread([&] { order.push_back(2); });
    loop.performOnMainThread([&] { order.push_back(1); }, true);
    EXPECT_EQ(order, (std::vector<int>{1}));
    loop.runPendingWork();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(RunLoopThreadTest, ManualClockRunUntilWaitsForAWorker) {
    auto clock = std::make_shared<ManualClock>(0.0);
    Clock::setCurrent(clock);
    RunLoop loop;
    std::atomic<bool> go{false};
    bool got = false;
    std::thread worker([&] {
        while (!go.load()) std::this_thread::yield();
        loop.performOnMainThread([&] { got = true; });
    });
    go = true;
    EXPECT_TRUE(loop.runUntil([&] { return got; }, 30.0));
    worker.join();
    EXPECT_LT(clock->now(), 30.0);  // the clock did not jump to the deadline
    Clock::setCurrent(nullptr);
}

TEST(RunLoopThreadTest, SystemClockTimersAndWakeUps) {
    Clock::setCurrent(nullptr);
    RunLoop loop;
    int fired = 0;
    loop.addTimer(Timer::timer(0.02, false, [&](Timer&) { ++fired; }));
    auto start = std::chrono::steady_clock::now();
    loop.runUntilDate(Date::now().addingTimeInterval(0.05));
    EXPECT_EQ(fired, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));

    // wake() from another thread ends a long runOnce early.
    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        loop.wake();
    });
    start = std::chrono::steady_clock::now();
    loop.runOnce(30.0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    waker.join();
}

TEST(RunLoopThreadTest, HostWaiterIsUsedAndInterrupted) {
    Clock::setCurrent(nullptr);
    RunLoop loop;
    std::mutex m;
    std::condition_variable cv;
    bool interrupted = false;
    int waits = 0;             // the loop's waits in the host's waiter
    int interruptedWaits = 0;  // those ended by the interrupt, not by their time
    loop.setWaiter(
        [&](double maxSeconds) {
            std::unique_lock lock(m);
            ++waits;
            cv.notify_all();
            if (cv.wait_for(lock, std::chrono::duration<double>(maxSeconds), [&] { return interrupted; }))
                ++interruptedWaits;
            interrupted = false;
        },
        [&] {
            std::lock_guard lock(m);
            interrupted = true;
            cv.notify_all();
        });
    bool ran = false;
    // Posts once the loop is waiting in the waiter, which the post must end
    // long before the 30 s the loop asked it to wait.
    std::thread poster([&] {
        {
            std::unique_lock lock(m);
            cv.wait(lock, [&] { return waits > 0; });
        }
        loop.performOnMainThread([&] { ran = true; });
    });
    EXPECT_TRUE(loop.runUntil([&] { return ran; }, 30.0));
    poster.join();
    std::lock_guard lock(m);
    EXPECT_GE(waits, 1);
    EXPECT_GE(interruptedWaits, 1);
}
