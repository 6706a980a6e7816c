#include "platform/base/RunLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/base/Clock.h"

namespace base {

namespace {

// The shortest period of a repeating timer; a zero or negative period would
// otherwise fire without end at one instant.
constexpr double kMinimumRepeatInterval = 0.0001;
// The longest single wait; a wait for a date far away is done in slices so
// the conversion to a duration cannot overflow.
constexpr double kLongestWait = 86400.0;

ManualClock* manualClock() {
    Clock& c = Clock::current();
    return c.isManual() ? dynamic_cast<ManualClock*>(&c) : nullptr;
}

// Invalidates a one-shot timer when its callback returns or throws, so a
// failing callback cannot leave it due for ever.
struct InvalidateOnExit {
    Timer* timer;
    ~InvalidateOnExit() {
        if (timer) timer->invalidate();
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Timer

Timer::Timer(double interval, bool repeats, Callback callback)
    : interval_(repeats ? std::max(interval, kMinimumRepeatInterval) : std::max(interval, 0.0)),
      repeats_(repeats),
      callback_(std::move(callback)),
      fireDate_(Date::now().addingTimeInterval(interval_)) {}

std::shared_ptr<Timer> Timer::timer(double interval, bool repeats, Callback callback) {
    return std::make_shared<Timer>(interval, repeats, std::move(callback));
}

std::shared_ptr<Timer> Timer::scheduledTimer(double interval, bool repeats, Callback callback) {
    auto t = timer(interval, repeats, std::move(callback));
    RunLoop::main().addTimer(t);
    return t;
}

void Timer::invalidate() {
    Callback released;  // destroyed outside the lock: it may own anything
    {
        std::lock_guard lock(mutex_);
        valid_ = false;
        released = std::move(callback_);
        callback_ = nullptr;
    }
}

bool Timer::isValid() const {
    std::lock_guard lock(mutex_);
    return valid_;
}

Date Timer::fireDate() const {
    std::lock_guard lock(mutex_);
    return fireDate_;
}

void Timer::setFireDate(Date date) {
    RunLoop* loop;
    {
        std::lock_guard lock(mutex_);
        fireDate_ = date;
        loop = valid_ ? loop_ : nullptr;
    }
    // A waiting loop recomputes how long to wait.
    if (loop) loop->wake();
}

void Timer::fire() {
    Callback cb;
    {
        std::lock_guard lock(mutex_);
        if (!valid_) return;
        cb = callback_;  // a copy: the callback may invalidate this timer
    }
    InvalidateOnExit guard{repeats_ ? nullptr : this};
    if (cb) cb(*this);
}

// ---------------------------------------------------------------------------
// RunLoop

struct RunLoop::Impl {
    std::thread::id owner = std::this_thread::get_id();
    mutable std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::function<void()>> queue;
    std::vector<std::shared_ptr<Timer>> timers;
    unsigned long long nextSequence = 1;
    std::unordered_map<PerformToken, std::weak_ptr<Timer>> performs;
    PerformToken nextToken = 1;
    bool woken = false;
    Waiter waiter;
    std::function<void()> interrupt;

    // Drops invalid timers; the earliest valid one (ties in scheduling
    // order), or null. Caller holds mutex.
    std::shared_ptr<Timer> earliestLocked(Date* fireDate) {
        std::shared_ptr<Timer> best;
        Date bestDate;
        unsigned long long bestSeq = 0;
        auto it = timers.begin();
        while (it != timers.end()) {
            std::shared_ptr<Timer> keep = *it;  // outlives the lock on its mutex
            Timer& t = *keep;
            std::unique_lock tl(t.mutex_);
            if (!t.valid_) {
                t.loop_ = nullptr;
                tl.unlock();
                it = timers.erase(it);
                continue;
            }
            if (!best || t.fireDate_ < bestDate || (t.fireDate_ == bestDate && t.sequence_ < bestSeq)) {
                best = *it;
                bestDate = t.fireDate_;
                bestSeq = t.sequence_;
            }
            ++it;
        }
        if (best && fireDate) *fireDate = bestDate;
        return best;
    }

    // Wakes a waiting loop; call without holding mutex.
    void signal() {
        std::function<void()> intr;
        {
            std::lock_guard lock(mutex);
            intr = interrupt;
        }
        cv.notify_all();
        if (intr) intr();
    }

    void post(std::function<void()> fn) {
        {
            std::lock_guard lock(mutex);
            queue.push_back(std::move(fn));
        }
        signal();
    }

    // Waits at most seconds (real time) for posted work or wake().
    // Returns false when the time passed with neither.
    bool waitFor(double seconds) {
        seconds = std::clamp(seconds, 0.0, kLongestWait);
        Waiter w;
        {
            std::unique_lock lock(mutex);
            if (!queue.empty() || woken) {
                woken = false;
                return true;
            }
            if (!waiter) {
                bool signalled = cv.wait_for(lock, std::chrono::duration<double>(seconds),
                                             [this] { return !queue.empty() || woken; });
                woken = false;
                return signalled;
            }
            w = waiter;
        }
        // The host's own wait; its interrupt (called by signal()) ends it early.
        w(seconds);
        std::lock_guard lock(mutex);
        bool signalled = !queue.empty() || woken;
        woken = false;
        return signalled;
    }

    // Fires one timer that the loop has chosen as due at now.
    static void fireScheduled(Timer& t, double now) {
        Timer::Callback cb;
        {
            std::lock_guard lock(t.mutex_);
            if (!t.valid_) return;
            cb = t.callback_;
            if (t.repeats_) {
                // The next fire date keeps the period: the previous fire date
                // plus the interval, skipping periods already wholly missed.
                double prev = t.fireDate_.timeIntervalSince1970();
                double next = prev + t.interval_;
                if (next <= now) next = prev + t.interval_ * (std::floor((now - prev) / t.interval_) + 1);
                while (next <= now) next += t.interval_;
                t.fireDate_ = Date(next);
            }
        }
        InvalidateOnExit guard{t.repeats_ ? nullptr : &t};
        if (cb) cb(t);
    }
};

RunLoop::RunLoop() : impl_(std::make_unique<Impl>()) {}

RunLoop::~RunLoop() {
    std::lock_guard lock(impl_->mutex);
    for (auto& t : impl_->timers) {
        std::lock_guard tl(t->mutex_);
        t->loop_ = nullptr;
    }
}

RunLoop& RunLoop::main() {
    // Never destroyed: worker threads may still hand work over at exit.
    static RunLoop* loop = new RunLoop();
    return *loop;
}

bool RunLoop::isMainThread() { return std::this_thread::get_id() == main().impl_->owner; }

void RunLoop::addTimer(const std::shared_ptr<Timer>& timer) {
    if (!timer) return;
    {
        std::lock_guard lock(impl_->mutex);
        std::lock_guard tl(timer->mutex_);
        if (!timer->valid_ || timer->loop_) return;  // invalid, or already scheduled
        timer->loop_ = this;
        timer->sequence_ = impl_->nextSequence++;
        impl_->timers.push_back(timer);
    }
    impl_->signal();
}

void RunLoop::performOnMainThread(std::function<void()> fn, bool wait) {
    if (!fn) return;
    if (!wait) {
        impl_->post(std::move(fn));
        return;
    }
    if (std::this_thread::get_id() == impl_->owner) {
        fn();
        return;
    }
    struct State {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
        std::exception_ptr error;
    };
    auto state = std::make_shared<State>();
    impl_->post([state, fn = std::move(fn)] {
        try {
            fn();
        } catch (...) {
            state->error = std::current_exception();
        }
        {
            std::lock_guard lock(state->mutex);
            state->done = true;
        }
        state->cv.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return state->done; });
    // What the work threw belongs to the caller that waited for it.
    if (state->error) std::rethrow_exception(state->error);
}

RunLoop::PerformToken RunLoop::performAfterDelay(double delay, std::function<void()> fn) {
    PerformToken token;
    {
        std::lock_guard lock(impl_->mutex);
        token = impl_->nextToken++;
    }
    Impl* impl = impl_.get();
    auto t = Timer::timer(delay, false, [impl, token, fn = std::move(fn)](Timer&) {
        {
            std::lock_guard lock(impl->mutex);
            impl->performs.erase(token);
        }
        if (fn) fn();
    });
    {
        std::lock_guard lock(impl_->mutex);
        impl_->performs[token] = t;
    }
    addTimer(t);
    return token;
}

void RunLoop::cancelPerform(PerformToken token) {
    std::shared_ptr<Timer> t;
    {
        std::lock_guard lock(impl_->mutex);
        auto it = impl_->performs.find(token);
        if (it == impl_->performs.end()) return;
        t = it->second.lock();
        impl_->performs.erase(it);
    }
    if (t) t->invalidate();
}

bool RunLoop::runPendingWork() {
    bool ran = false;
    // Work queued before this pass; what it queues in turn runs next pass.
    std::size_t count;
    {
        std::lock_guard lock(impl_->mutex);
        count = impl_->queue.size();
    }
    for (std::size_t i = 0; i < count; ++i) {
        std::function<void()> fn;
        {
            std::lock_guard lock(impl_->mutex);
            if (impl_->queue.empty()) break;
            fn = std::move(impl_->queue.front());
            impl_->queue.pop_front();
        }
        ran = true;
        fn();
    }
    // Every timer due now, earliest first; one that a callback schedules and
    // that is already due fires in this pass too.
    for (;;) {
        double now = Clock::current().now();
        std::shared_ptr<Timer> due;
        {
            std::lock_guard lock(impl_->mutex);
            Date when;
            due = impl_->earliestLocked(&when);
            if (!due || when.timeIntervalSince1970() > now) break;
        }
        ran = true;
        Impl::fireScheduled(*due, now);
    }
    return ran;
}

bool RunLoop::nextFireDate(Date* out) const {
    std::lock_guard lock(impl_->mutex);
    Date when;
    if (!impl_->earliestLocked(&when)) return false;
    if (out) *out = when;
    return true;
}

void RunLoop::runUntilDate(Date date) {
    if (ManualClock* clock = manualClock()) {
        runPendingWork();
        Date next;
        while (nextFireDate(&next) && next <= date) {
            if (next.timeIntervalSince1970() > clock->now()) clock->setTime(next.timeIntervalSince1970());
            runPendingWork();
        }
        if (date.timeIntervalSince1970() > clock->now()) clock->setTime(date.timeIntervalSince1970());
        runPendingWork();
        return;
    }
    for (;;) {
        runPendingWork();
        double now = Clock::current().now();
        double wait = date.timeIntervalSince1970() - now;
        if (wait <= 0) return;
        Date next;
        if (nextFireDate(&next)) wait = std::min(wait, next.timeIntervalSince1970() - now);
        impl_->waitFor(wait);
    }
}

void RunLoop::advanceBy(double seconds) { runUntilDate(Date::now().addingTimeInterval(std::max(seconds, 0.0))); }

bool RunLoop::runUntil(const std::function<bool()>& condition, double timeout) {
    const double deadline = Clock::current().now() + timeout;
    if (ManualClock* clock = manualClock()) {
        // Timers due before the deadline fire as the clock moves to them;
        // when none is left, work from other threads is waited for (real
        // time, at most the timeout) before the clock jumps to the deadline.
        const auto realDeadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(std::clamp(timeout, 0.0, kLongestWait));
        for (;;) {
            runPendingWork();
            if (condition()) return true;
            Date next;
            if (nextFireDate(&next) && next.timeIntervalSince1970() <= deadline) {
                if (next.timeIntervalSince1970() > clock->now()) clock->setTime(next.timeIntervalSince1970());
                continue;
            }
            double left = std::chrono::duration<double>(realDeadline - std::chrono::steady_clock::now()).count();
            if (left <= 0 || !impl_->waitFor(left)) break;
        }
        if (deadline > clock->now()) clock->setTime(deadline);
        runPendingWork();
        return condition();
    }
    for (;;) {
        runPendingWork();
        if (condition()) return true;
        double now = Clock::current().now();
        double wait = deadline - now;
        if (wait <= 0) return condition();
        Date next;
        if (nextFireDate(&next)) wait = std::min(wait, next.timeIntervalSince1970() - now);
        impl_->waitFor(wait);
    }
}

void RunLoop::runOnce(double maxWait) {
    if (runPendingWork()) return;
    double wait = maxWait;
    // On the manual clock no timer becomes due by waiting; only work from
    // other threads or wake() ends the wait.
    if (!manualClock()) {
        Date next;
        if (nextFireDate(&next)) wait = std::min(wait, next.timeIntervalSince1970() - Clock::current().now());
    }
    impl_->waitFor(wait);
    runPendingWork();
}

void RunLoop::wake() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->woken = true;
    }
    impl_->signal();
}

void RunLoop::setWaiter(Waiter waiter, std::function<void()> interrupt) {
    std::lock_guard lock(impl_->mutex);
    impl_->waiter = std::move(waiter);
    impl_->interrupt = std::move(interrupt);
}

}  // namespace base
