#pragma once
// Reads numbers and strings from the front of a text, as a cursor. Before
// every scan, white space and line breaks are skipped (ASCII and the Unicode
// spaces). A scan that fails leaves the location where it was. Numbers are
// read the same in every locale ("." is the decimal point); there is no
// "inf", "nan" or hexadecimal.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/base/Decimal.h"

namespace base {

class Scanner {
public:
    explicit Scanner(std::string text);

    const std::string& string() const { return text_; }
    // A byte offset into the UTF-8 text.
    std::size_t scanLocation() const { return location_; }
    void setScanLocation(std::size_t location);

    // Whether white space is skipped before each scan (default true).
    bool skipsWhitespace() const { return skipsWhitespace_; }
    void setSkipsWhitespace(bool skips) { skipsWhitespace_ = skips; }
    // Whether scanString()/scanUpToString() match letters case-sensitively
    // (default false; ASCII letters only).
    bool caseSensitive() const { return caseSensitive_; }
    void setCaseSensitive(bool sensitive) { caseSensitive_ = sensitive; }

    // True when nothing but skipped characters is left.
    bool isAtEnd() const;

    // The longest prefix that is a decimal number: optional sign, digits
    // with an optional "." (at least one digit), optional exponent ("e" or
    // "E", optional sign, digits; left unread when incomplete). Too large a
    // value gives ±HUGE_VAL, too small 0, and the location still moves past
    // the whole number. out may be null.
    bool scanDouble(double* out);
    // The same text, read exactly as a decimal (NaN when it lies beyond the
    // decimal's range).
    bool scanDecimal(Decimal* out);
    // Optional sign and digits; beyond the range of int it gives INT_MAX or
    // INT_MIN and moves past every digit.
    bool scanInt(int* out);
    bool scanLongLong(long long* out);

    // Consumes s when the text continues with it.
    bool scanString(std::string_view s, std::string* out = nullptr);
    // Consumes everything up to (not including) s, or to the end when s does
    // not occur. False when nothing was consumed.
    bool scanUpToString(std::string_view s, std::string* out = nullptr);

private:
    // Where scanning starts: the location after skipped characters.
    std::size_t skipFrom(std::size_t at) const;
    // Length of the decimal-number text at at (0 when there is none).
    std::size_t numberLength(std::size_t at, bool allowFraction) const;
    std::size_t find(std::string_view s, std::size_t from) const;

    std::string text_;
    std::size_t location_ = 0;
    bool skipsWhitespace_ = true;
    bool caseSensitive_ = false;
};

}  // namespace base
