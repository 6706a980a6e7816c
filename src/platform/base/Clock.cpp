#include "platform/base/Clock.h"

#include <chrono>
#include <mutex>
#include <vector>

namespace base {

namespace {

std::mutex& clockMutex() {
    static std::mutex m;
    return m;
}

// Every clock ever put in force stays alive until the program ends, so a
// reference handed out by current() on another thread never dangles when a
// test swaps the clock. Tests make a handful; the cost is negligible.
std::vector<std::shared_ptr<Clock>>& retainedClocks() {
    static auto* clocks = new std::vector<std::shared_ptr<Clock>>();
    return *clocks;
}

Clock* systemClock() {
    static auto* clock = new SystemClock();
    return clock;
}

std::atomic<Clock*> g_current{nullptr};

}  // namespace

Clock& Clock::current() {
    Clock* c = g_current.load(std::memory_order_acquire);
    return c ? *c : *systemClock();
}

void Clock::setCurrent(const std::shared_ptr<Clock>& clock) {
    std::lock_guard lock(clockMutex());
    if (!clock) {
        g_current.store(nullptr, std::memory_order_release);
        return;
    }
    retainedClocks().push_back(clock);
    g_current.store(clock.get(), std::memory_order_release);
}

double SystemClock::now() const {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

ManualClock::ManualClock(double start) : t_(start) {}

double ManualClock::now() const { return t_.load(std::memory_order_acquire); }

void ManualClock::advance(double seconds) { t_.fetch_add(seconds, std::memory_order_acq_rel); }

void ManualClock::setTime(double secondsSince1970) { t_.store(secondsSince1970, std::memory_order_release); }

}  // namespace base
