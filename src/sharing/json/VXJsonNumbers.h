#pragma once
// Number text to and from exact decimals, with a quick path for the common
// numbers of up to 19 digits. The results are the very decimals and texts
// that base::Decimal::fromString and toString give, only made without
// wide-integer arithmetic.
#include <string>
#include <string_view>

#include "platform/base/Decimal.h"

// A JSON number text (already checked by the parser) as a decimal; NaN when
// it lies outside the decimal's range.
base::Decimal VXJsonDecimalFromText(std::string_view text);
// Appends the decimal's plain text (digits, ".", no exponent).
void VXJsonAppendDecimal(std::string& out, const base::Decimal& d);
