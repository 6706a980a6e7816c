#pragma once
// The accelerometer: values in g along x, y and z delivered to its delegate.
// The desktop has no motion to sense: the device lies still and upright at
// (0, -1, 0) (currentValue) and reports nothing while it does; only a shake
// from the host delivers values (a burst of strong ones, then rest again),
// so a resting device never wakes the program.
#include <memory>

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

    // How often a device in motion would report (kept for its users).
    double updateInterval() const { return interval_; }
    void setUpdateInterval(double seconds);
    std::shared_ptr<AccelerometerDelegate> delegate() const { return delegate_.lock(); }
    // The delegate hears of every shake; null stops the deliveries.
    void setDelegate(std::weak_ptr<AccelerometerDelegate> delegate);

    // Host side: delivers one value (now) to the delegate.
    void deliver(const Acceleration& acceleration);
    // Host side: a shake, a burst of values well over the threshold.
    void shake();
    Acceleration currentValue() const { return current_; }

    Accelerometer() = default;

private:
    std::weak_ptr<AccelerometerDelegate> delegate_;
    double interval_ = 0.1;
    Acceleration current_{0, -1, 0, 0};
};

}  // namespace ui
