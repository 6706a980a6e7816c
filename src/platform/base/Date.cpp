#include "platform/base/Date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/base/Clock.h"

namespace base {

Date Date::now() { return Date(Clock::current().now()); }

// The first instants of the years 4001 and 1 (proleptic Gregorian).
Date Date::distantFuture() { return Date(64092211200.0); }
Date Date::distantPast() { return Date(-62135596800.0); }

double Date::timeIntervalSinceNow() const { return t_ - Clock::current().now(); }

std::string Date::description() const {
    if (!std::isfinite(t_)) return t_ > 0 ? "+inf" : (t_ < 0 ? "-inf" : "nan");
    // Milliseconds rounded first, so 0.9996 s prints as the next second
    // rather than ".1000".
    double totalMs = std::round(t_ * 1000.0);
    double secondsPart = std::floor(totalMs / 1000.0);
    int ms = static_cast<int>(totalMs - secondsPart * 1000.0);
    std::time_t secs = static_cast<std::time_t>(secondsPart);
    std::tm tm{};
    if (!gmtime_r(&secs, &tm)) return std::to_string(t_);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    return buf;
}

}  // namespace base
