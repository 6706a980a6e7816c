#pragma once
// Number text to and from exact decimals, with a quick path for the common
// numbers of up to 19 digits. The results are the very decimals and texts
// that base::Decimal::fromString and toString give, only made without
// wide-integer arithmetic.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/Decimal.h"

// A JSON number text (already checked by the parser) as a decimal; NaN when
// it lies outside the decimal's range.
base::Decimal VXJsonDecimalFromText(std::string_view text);
// A number text taken apart by the parser as it checked it: the sign, the
// digits as a binary mantissa (meaningful while `significant`, the count of
// digits from the first non-zero one, is at most 19; beyond, it is the
// digits' value modulo 2^64, zero included), and the power of ten (the
// exponent less the digits after the point).
struct VXJsonNumberParts {
    bool negative = false;
    std::uint64_t mantissa = 0;
    long significant = 0;
    long exponent = 0;
    std::string_view text;  // the whole text, for the exact slow path
};
// The same decimal as VXJsonDecimalFromText(parts.text), written into a
// zero decimal in place.
void VXJsonDecimalFromParts(const VXJsonNumberParts& parts, base::Decimal& out);
// Appends the decimal's plain text (digits, ".", no exponent).
void VXJsonAppendDecimal(std::string& out, const base::Decimal& d);
