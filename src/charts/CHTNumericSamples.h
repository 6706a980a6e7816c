#pragma once
// Reading and writing one sample of a numeric data buffer, shared by the
// numeric data class and its type conversion. Samples may sit at any byte
// offset, so they are copied rather than dereferenced.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "platform/base/Decimal.h"

namespace cht_samples {

template <typename T>
T load(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A decimal sample comes from bytes anyone may have written: a length field
// beyond the eight mantissa words it holds makes it not a number.
template <>
inline base::Decimal load<base::Decimal>(const std::uint8_t* p) {
    base::Decimal v;
    std::memcpy(&v, p, sizeof v);
    return v.length > 8 ? base::Decimal::notANumber() : v;
}

template <typename T>
void store(std::uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// A floating value truncated toward zero into the integer type T: NaN gives
// 0, values beyond T's range give its nearest limit.
template <typename T>
T truncatedTo(double v) {
    if (std::isnan(v)) return 0;
    if (v <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (v >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

// A decimal truncated toward zero into the integer type T, clamped to T's range.
template <typename T>
T clampedInteger(const base::Decimal& d) {
    if constexpr (std::numeric_limits<T>::is_signed) {
        long long v = d.toInteger();
        if (v < static_cast<long long>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
        if (v > static_cast<long long>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
        return static_cast<T>(v);
    } else {
        unsigned long long v = d.toUnsigned();
        if (v > static_cast<unsigned long long>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
        return static_cast<T>(v);
    }
}

}  // namespace cht_samples
