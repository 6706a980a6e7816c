#pragma once
// The main run loop: timers, work handed over from other threads, delayed
// calls, and waiting for whichever comes first. On the manual clock time only
// moves through advanceBy()/runUntilDate(), which fire due timers in order of
// their fire dates; nothing sleeps or polls.
#include <functional>
#include <memory>
#include <mutex>

#include "platform/base/Date.h"

namespace base {

class RunLoop;

// A one-shot or repeating timer. A repeating timer keeps its period: its next
// fire date is the previous fire date plus the interval, not "now + interval".
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Callback = std::function<void(Timer&)>;

    // Creates a timer and schedules it on the main run loop.
    static std::shared_ptr<Timer> scheduledTimer(double interval, bool repeats, Callback callback);
    // Creates a timer that is not scheduled yet (RunLoop::addTimer schedules it).
    static std::shared_ptr<Timer> timer(double interval, bool repeats, Callback callback);

    void invalidate();
    bool isValid() const;
    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }
    Date fireDate() const;
    void setFireDate(Date date);
    // Fires now (outside the schedule); a one-shot timer is invalidated.
    void fire();

    Timer(double interval, bool repeats, Callback callback);

private:
    friend class RunLoop;
    double interval_;
    bool repeats_;
    Callback callback_;
    mutable std::mutex mutex_;
    Date fireDate_;
    bool valid_ = true;
    unsigned long long sequence_ = 0;  // ties broken by scheduling order
    RunLoop* loop_ = nullptr;          // the loop it is scheduled on
};

class RunLoop {
public:
    // The run loop of the main thread (the thread that first called main()).
    static RunLoop& main();
    // True on the thread that owns the main run loop.
    static bool isMainThread();

    void addTimer(const std::shared_ptr<Timer>& timer);

    // Runs fn on the main run loop. From the main thread with wait == true it
    // runs at once; with wait == false it is queued in either case. A waiting
    // call from another thread blocks until fn has run.
    void performOnMainThread(std::function<void()> fn, bool wait = false);

    // Runs fn after delay seconds on the main loop. Returns a token for
    // cancelPerform().
    using PerformToken = unsigned long long;
    PerformToken performAfterDelay(double delay, std::function<void()> fn);
    void cancelPerform(PerformToken token);

    // Runs queued work and due timers once, without waiting. Returns true if
    // anything ran.
    bool runPendingWork();

    // The date of the next timer or delayed call, if any.
    bool nextFireDate(Date* out) const;

    // Runs until the date: on the system clock it waits (for the next timer,
    // posted work or wake()); on the manual clock it moves the clock forward
    // timer by timer, firing each on the way, then to the date.
    void runUntilDate(Date date);
    // Manual clock: advances by seconds, firing every timer due on the way.
    void advanceBy(double seconds);
    // Runs until the condition holds or the timeout (seconds of the clock in
    // force) passes; returns the condition's last value. The condition is
    // checked after each piece of work: another thread that changes it
    // should post work or call wake(). On the manual clock the timers due
    // before the deadline fire first; then it waits (at most the timeout, in
    // real seconds) for work from other threads before the clock jumps to the
    // deadline.
    bool runUntil(const std::function<bool()>& condition, double timeout);
    // Waits (system clock) until something is posted, the next timer is due,
    // wake() is called, or maxWait seconds pass, then runs what is due. On
    // the manual clock only posted work or wake() ends the wait; the clock
    // does not move.
    void runOnce(double maxWait);
    // Wakes a runOnce() that is waiting, from any thread.
    void wake();
    // An extra source of wake-ups: the window host registers a function that
    // waits for its own events at most the given seconds (and returns early
    // when wake() is called). Without one the loop waits on a condition variable.
    using Waiter = std::function<void(double maxSeconds)>;
    void setWaiter(Waiter waiter, std::function<void()> interrupt);

    RunLoop();
    ~RunLoop();
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace base
