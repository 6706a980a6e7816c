#pragma once
// A point in time: seconds since 1 January 1970 UTC, as a double.
#include <string>

namespace base {

class Date {
public:
    Date() = default;
    explicit Date(double secondsSince1970) : t_(secondsSince1970) {}
    // The current time of the clock in force (system or manual).
    static Date now();
    static Date distantFuture();
    static Date distantPast();
    // 1 January 2001, 00:00 GMT: the reference date of property lists,
    // archives and chart time axes.
    static constexpr double kReferenceDateSince1970 = 978307200.0;
    static Date referenceDate() { return Date(kReferenceDateSince1970); }
    static Date dateWithTimeIntervalSinceReferenceDate(double seconds) {
        return Date(kReferenceDateSince1970 + seconds);
    }
    double timeIntervalSinceReferenceDate() const { return t_ - kReferenceDateSince1970; }

    double timeIntervalSince1970() const { return t_; }
    double timeIntervalSinceDate(const Date& other) const { return t_ - other.t_; }
    double timeIntervalSinceNow() const;
    Date addingTimeInterval(double seconds) const { return Date(t_ + seconds); }

    auto operator<=>(const Date&) const = default;
    bool operator==(const Date&) const = default;
    // ISO 8601 UTC text with milliseconds, for logs and description().
    std::string description() const;

private:
    double t_ = 0;
};

}  // namespace base
