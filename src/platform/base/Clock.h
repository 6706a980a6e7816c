#pragma once
// The one source of time. Everything that reads the time or waits goes
// through the clock in force: the system clock in the window host, a manual
// clock in the headless host and in tests, which only moves when told.
#include <atomic>
#include <memory>

namespace base {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970 (wall time).
    virtual double now() const = 0;
    virtual bool isManual() const { return false; }

    // The clock in force (the system clock unless replaced).
    static Clock& current();
    // Replaces the clock; nullptr restores the system clock.
    static void setCurrent(const std::shared_ptr<Clock>& clock);
};

class SystemClock : public Clock {
public:
    double now() const override;
};

// A clock that moves only by advance()/setTime(). Advancing does not fire
// timers by itself: RunLoop::main().advanceBy() does both. Safe to read from
// any thread while another moves it.
class ManualClock : public Clock {
public:
    explicit ManualClock(double start = 1796000000.0);  // an arbitrary fixed day in 2026
    double now() const override;
    bool isManual() const override { return true; }
    void advance(double seconds);
    void setTime(double secondsSince1970);

private:
    std::atomic<double> t_;
};

}  // namespace base
