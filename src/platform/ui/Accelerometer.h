#pragma once
// The accelerometer: values in g along x, y and z delivered to its delegate
// every updateInterval seconds (on the run loop's timers). At rest the
// device lies upright: (0, -1, 0). A shake from the host delivers a burst of
// strong values.
#include <memory>

#include "platform/base/RunLoop.h"

namespace ui {

class Accelerometer;

struct Acceleration {
    double x = 0, y = 0, z = 0;
    double timestamp = 0;
};

class AccelerometerDelegate {
public:
    virtual ~AccelerometerDelegate() = default;
    virtual void didAccelerate(Accelerometer& accelerometer, const Acceleration& acceleration) {
        (void)accelerometer, (void)acceleration;
    }
};

class Accelerometer {
public:
    static Accelerometer& sharedAccelerometer();
    // Threshold (g) above which the toolkit counts a movement as a shake.
    static constexpr double ShakeThreshold = 1.5;

    double updateInterval() const { return interval_; }
    void setUpdateInterval(double seconds);
    std::shared_ptr<AccelerometerDelegate> delegate() const { return delegate_.lock(); }
    // Setting a delegate starts the updates; null stops them.
    void setDelegate(std::weak_ptr<AccelerometerDelegate> delegate);

    // Host side: delivers one value (now) to the delegate.
    void deliver(const Acceleration& acceleration);
    // Host side: a shake, a burst of values well over the threshold.
    void shake();
    Acceleration currentValue() const { return current_; }

    Accelerometer() = default;
    ~Accelerometer();

private:
    void restartTimer();
    std::weak_ptr<AccelerometerDelegate> delegate_;
    double interval_ = 0.1;
    std::shared_ptr<base::Timer> timer_;
    Acceleration current_{0, -1, 0, 0};
};

}  // namespace ui
