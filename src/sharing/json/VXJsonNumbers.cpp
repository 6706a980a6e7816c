#include "sharing/json/VXJsonNumbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int maxExponent = 127;
constexpr int minExponent = -128;

// The decimal of a checked number text of any length, through the
// platform's reader. That reader reads a text whole up to 80 significant
// digits and an exponent of six digits, so a text of up to 79 characters
// goes to it as it is (a longer exponent puts such a text beyond the range
// either way). A longer text ("0.000…1e1000001", a million digits
// offsetting a long exponent, is 1) is first brought to at most 80 digits,
// its first 79 and, for any non-zero digit after them, a 1 (the value then
// rounds to 38 digits as the whole text's does), and to an exponent of at
// most five digits.
base::Decimal exactDecimal(std::string_view text) {
    constexpr std::size_t keptDigits = 79;
    if (text.size() <= keptDigits) return base::Decimal::fromString(text);
    // Far beyond the decimal's range for 80 digits either way: overflow or
    // zero, as for any larger exponent.
    constexpr long long exponentLimit = 99999;
    // Beyond any count of digits a text in memory may hold.
    constexpr long long exponentCap = 1000000000000000;
    char buffer[keptDigits + 16];
    std::size_t length = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && text[i] == '-') buffer[length++] = text[i++];
    const std::size_t first = length;
    long long exponent = 0;
    bool fraction = false;
    bool droppedNonZero = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '.') {
            fraction = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        if (length - first == keptDigits) {
            droppedNonZero |= c != '0';
            if (!fraction) ++exponent;
            continue;
        }
        if (fraction) --exponent;
        if (length != first || c != '0') buffer[length++] = c;  // not a leading zero
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        long long e = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) e = std::min(e * 10 + (text[i] - '0'), exponentCap);
        exponent += negativeExponent ? -e : e;
    }
    if (length == first) return base::Decimal{};  // zero
    // Far below the 38th digit: it says only that the value lies above the
    // kept digits.
    if (droppedNonZero) {
        buffer[length++] = '1';
        --exponent;
    }
    buffer[length++] = 'e';
    exponent = std::clamp(exponent, -exponentLimit, exponentLimit);
    length = static_cast<std::size_t>(std::to_chars(buffer + length, buffer + sizeof buffer, exponent).ptr - buffer);
    return base::Decimal::fromString(std::string_view(buffer, length));
}

}  // namespace

base::Decimal VXJsonDecimalFromText(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && text[i] == '-') {
        negative = true;
        ++i;
    }
    std::uint64_t mantissa = 0;
    // The digits from the first non-zero one on. The count, not the
    // mantissa, tells whether one came before: past 19 digits the mantissa
    // wraps, to exactly zero for a multiple of 2^64.
    long significant = 0;
    long exponent = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        mantissa = mantissa * 10 + static_cast<unsigned>(text[i] - '0');
        if (significant != 0 || text[i] != '0') ++significant;
    }
    if (i < n && text[i] == '.') {
        for (++i; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
            mantissa = mantissa * 10 + static_cast<unsigned>(text[i] - '0');
            if (significant != 0 || text[i] != '0') ++significant;
            --exponent;
        }
    }
    if (significant > 19) return exactDecimal(text);
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        long e = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
            e = e * 10 + (text[i] - '0');
            if (e > 10000) return exactDecimal(text);
        }
        exponent += negativeExponent ? -e : e;
    }
    if (i != n) return base::Decimal::fromString(text);  // not a checked number: the reader refuses it
    base::Decimal d;
    VXJsonDecimalFromParts(VXJsonNumberParts{negative, mantissa, significant, exponent, text}, d);
    return d;
}

void VXJsonDecimalFromParts(const VXJsonNumberParts& parts, base::Decimal& d) {
    if (parts.significant > 19 || parts.exponent > 10000 || parts.exponent < -10000) {
        d = exactDecimal(parts.text);
        return;
    }
    std::uint64_t mantissa = parts.mantissa;
    long exponent = parts.exponent;
    if (mantissa == 0) return;  // zero
    // The compact form: no trailing zero digits while the exponent allows.
    while (exponent < maxExponent && mantissa % 10 == 0) {
        mantissa /= 10;
        ++exponent;
    }
    if (exponent > maxExponent || exponent < minExponent) {
        d = exactDecimal(parts.text);  // overflow or rounding: the slow, exact way
        return;
    }
    // The words in use follow from the mantissa's width; the words of a
    // zero decimal are zero already.
    const unsigned length = (static_cast<unsigned>(std::bit_width(mantissa)) + 15) / 16;
    base::Decimal fields;
    fields.exponent = static_cast<std::int8_t>(exponent);
    fields.length = length;
    fields.isNegative = parts.negative ? 1 : 0;
    fields.isCompact = 1;
    std::memcpy(static_cast<void*>(&d), &fields, offsetof(base::Decimal, mantissa));
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(d.mantissa, &mantissa, sizeof mantissa);
    } else {
        for (unsigned w = 0; w < length; ++w) {
            d.mantissa[w] = static_cast<std::uint16_t>(mantissa & 0xFFFF);
            mantissa >>= 16;
        }
    }
}

void VXJsonAppendDecimal(std::string& out, const base::Decimal& d) {
    if (d.length > 4 || d.isNaN()) {
        out += d.toString();
        return;
    }
    if (d.length == 0) {
        out += '0';
        return;
    }
    std::uint64_t m = 0;
    for (int w = static_cast<int>(d.length) - 1; w >= 0; --w) m = (m << 16) | d.mantissa[w];
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m);
    const std::size_t digits = static_cast<std::size_t>(end - p);
    if (d.isNegative) out += '-';
    if (d.exponent >= 0) {
        out.append(p, digits);
        out.append(static_cast<std::size_t>(d.exponent), '0');
        return;
    }
    const std::size_t fraction = static_cast<std::size_t>(-d.exponent);
    if (digits <= fraction) {
        out += "0.";
        out.append(fraction - digits, '0');
        out.append(p, digits);
    } else {
        out.append(p, digits - fraction);
        out += '.';
        out.append(p + digits - fraction, fraction);
    }
}
