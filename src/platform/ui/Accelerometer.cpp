#include "platform/ui/Accelerometer.h"

#include <cmath>

#include "platform/base/Clock.h"

namespace ui {

Accelerometer& Accelerometer::sharedAccelerometer() {
    static Accelerometer accelerometer;
    return accelerometer;
}

void Accelerometer::setUpdateInterval(double seconds) { interval_ = seconds > 0.01 ? seconds : 0.01; }

void Accelerometer::setDelegate(std::weak_ptr<AccelerometerDelegate> delegate) { delegate_ = std::move(delegate); }

void Accelerometer::deliver(const Acceleration& acceleration) {
    current_ = acceleration;
    if (auto d = delegate()) d->didAccelerate(*this, acceleration);
}

void Accelerometer::shake() {
    double t = base::Clock::current().now();
    // A vigorous shake: six samples swinging well beyond the threshold.
    const double swing[] = {2.4, -2.6, 2.8, -2.5, 2.3, -2.2};
    for (int i = 0; i < 6; ++i) {
        Acceleration a{swing[i], -1 + swing[i] * 0.4, swing[i] * 0.3, t + i * 0.01};
        deliver(a);
    }
    deliver(Acceleration{0, -1, 0, t + 0.07});
}

}  // namespace ui
