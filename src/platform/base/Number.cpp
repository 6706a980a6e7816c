#include "platform/base/Number.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace base {

namespace {

long long truncatedSigned(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775808.0) return std::numeric_limits<long long>::max();
    if (d < -9223372036854775808.0) return std::numeric_limits<long long>::min();
    return static_cast<long long>(d);
}

unsigned long long truncatedUnsigned(double d) {
    if (std::isnan(d) || d <= -1.0) {
        // Negative values wrap as the signed value would.
        return std::isnan(d) ? 0 : static_cast<unsigned long long>(truncatedSigned(d));
    }
    if (d >= 18446744073709551616.0) return std::numeric_limits<unsigned long long>::max();
    return static_cast<unsigned long long>(d);
}

}  // namespace

long long Number::longLongValue() const {
    switch (kind_) {
    case Kind::Signed: return i_;
    case Kind::Unsigned: return static_cast<long long>(u_);
    case Kind::Float:
    case Kind::Double: return truncatedSigned(d_);
    case Kind::Decimal: return dec_.toInteger();
    }
    return 0;
}

unsigned long long Number::unsignedLongLongValue() const {
    switch (kind_) {
    case Kind::Signed: return static_cast<unsigned long long>(i_);
    case Kind::Unsigned: return u_;
    case Kind::Float:
    case Kind::Double: return truncatedUnsigned(d_);
    case Kind::Decimal: return dec_.isNegative ? static_cast<unsigned long long>(dec_.toInteger()) : dec_.toUnsigned();
    }
    return 0;
}

double Number::doubleValue() const {
    switch (kind_) {
    case Kind::Signed: return static_cast<double>(i_);
    case Kind::Unsigned: return static_cast<double>(u_);
    case Kind::Float:
    case Kind::Double: return d_;
    case Kind::Decimal: return dec_.toDouble();
    }
    return 0;
}

Decimal Number::decimalValue() const {
    switch (kind_) {
    case Kind::Signed: return Decimal::fromInteger(i_);
    case Kind::Unsigned: return Decimal::fromUnsigned(u_);
    case Kind::Float: {
        // The float's own shortest digits.
        float f = static_cast<float>(d_);
        if (!std::isfinite(f)) return Decimal::notANumber();
        char buffer[32];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, f);
        if (ec != std::errc()) return Decimal::notANumber();
        return Decimal::fromString(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    }
    case Kind::Double: return Decimal::fromDouble(d_);
    case Kind::Decimal: return dec_;
    }
    return Decimal();
}

int Number::compare(const Number& other) const {
    if (kind_ == Kind::Decimal || other.kind_ == Kind::Decimal)
        return decimalCompare(decimalValue(), other.decimalValue());
    if (kind_ == Kind::Signed && other.kind_ == Kind::Signed) return i_ < other.i_ ? -1 : (i_ > other.i_ ? 1 : 0);
    if (kind_ == Kind::Unsigned && other.kind_ == Kind::Unsigned) return u_ < other.u_ ? -1 : (u_ > other.u_ ? 1 : 0);
    double a = doubleValue(), b = other.doubleValue();
    if (a < b) return -1;
    if (a > b) return 1;
    return 0;
}

std::string Number::description() const {
    switch (kind_) {
    case Kind::Signed: return std::to_string(i_);
    case Kind::Unsigned: return std::to_string(u_);
    case Kind::Float:
    case Kind::Double: {
        if (std::isnan(d_)) return "nan";
        if (std::isinf(d_)) return d_ < 0 ? "-inf" : "inf";
        char buffer[32];
        auto [end, ec] = kind_ == Kind::Float ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(d_))
                                              : std::to_chars(buffer, buffer + sizeof buffer, d_);
        return ec == std::errc() ? std::string(buffer, end) : std::string();
    }
    case Kind::Decimal: return dec_.toString();
    }
    return {};
}

}  // namespace base
