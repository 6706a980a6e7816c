#include "platform/base/Scanner.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <locale.h>

namespace base {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length in bytes of the white space or line break at the front of s (0 if
// none): ASCII blanks and controls 9-13, and U+0085, U+00A0, U+1680,
// U+2000-U+200A, U+2028, U+2029, U+202F, U+205F, U+3000.
std::size_t whitespaceLength(std::string_view s) {
    if (s.empty()) return 0;
    unsigned char c = static_cast<unsigned char>(s[0]);
    if (c == ' ' || (c >= 9 && c <= 13)) return 1;
    if (c == 0xC2 && s.size() >= 2) {
        unsigned char d = static_cast<unsigned char>(s[1]);
        return (d == 0x85 || d == 0xA0) ? 2 : 0;
    }
    if (s.size() < 3) return 0;
    unsigned char d = static_cast<unsigned char>(s[1]), e = static_cast<unsigned char>(s[2]);
    if (c == 0xE1 && d == 0x9A && e == 0x80) return 3;  // U+1680
    if (c == 0xE2 && d == 0x80 && (e <= 0x8A || e == 0xA8 || e == 0xA9 || e == 0xAF)) return 3;
    if (c == 0xE2 && d == 0x81 && e == 0x9F) return 3;  // U+205F
    if (c == 0xE3 && d == 0x80 && e == 0x80) return 3;  // U+3000
    return 0;
}

// The "C" locale, so strtod reads "." whatever the process's locale is.
locale_t cLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

}  // namespace

Scanner::Scanner(std::string text) : text_(std::move(text)) {}

void Scanner::setScanLocation(std::size_t location) { location_ = location > text_.size() ? text_.size() : location; }

std::size_t Scanner::skipFrom(std::size_t at) const {
    if (!skipsWhitespace_) return at;
    while (at < text_.size()) {
        std::size_t n = whitespaceLength(std::string_view(text_).substr(at));
        if (n == 0) break;
        at += n;
    }
    return at;
}

bool Scanner::isAtEnd() const { return skipFrom(location_) >= text_.size(); }

std::size_t Scanner::numberLength(std::size_t at, bool allowFraction) const {
    const std::size_t n = text_.size();
    std::size_t i = at;
    if (i < n && (text_[i] == '+' || text_[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(text_[i])) ++i, ++digits;
    if (allowFraction && i < n && text_[i] == '.') {
        std::size_t j = i + 1, fraction = 0;
        while (j < n && isDigit(text_[j])) ++j, ++fraction;
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0;
    if (allowFraction && i < n && (text_[i] == 'e' || text_[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text_[j] == '+' || text_[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < n && isDigit(text_[j])) ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i - at;
}

bool Scanner::scanDouble(double* out) {
    std::size_t start = skipFrom(location_);
    std::size_t len = numberLength(start, true);
    if (len == 0) return false;
    std::string number = text_.substr(start, len);
    double v = strtod_l(number.c_str(), nullptr, cLocale());  // over/underflow: ±HUGE_VAL or 0
    if (out) *out = v;
    location_ = start + len;
    return true;
}

bool Scanner::scanDecimal(Decimal* out) {
    std::size_t start = skipFrom(location_);
    std::size_t len = numberLength(start, true);
    if (len == 0) return false;
    if (out) *out = Decimal::fromString(std::string_view(text_).substr(start, len));
    location_ = start + len;
    return true;
}

bool Scanner::scanLongLong(long long* out) {
    std::size_t start = skipFrom(location_);
    std::size_t len = numberLength(start, false);
    if (len == 0) return false;
    std::size_t i = start;
    bool negative = text_[i] == '-';
    if (text_[i] == '+' || text_[i] == '-') ++i;
    // Accumulated as a negative number, whose range is the larger one.
    long long v = 0;
    bool overflow = false;
    for (; i < start + len; ++i) {
        int d = text_[i] - '0';
        if (!overflow && (v < (LLONG_MIN + d) / 10)) overflow = true;
        if (!overflow) v = v * 10 - d;
    }
    long long result;
    if (overflow) result = negative ? LLONG_MIN : LLONG_MAX;
    else if (negative) result = v;
    else result = v == LLONG_MIN ? LLONG_MAX : -v;
    if (out) *out = result;
    location_ = start + len;
    return true;
}

bool Scanner::scanInt(int* out) {
    long long v = 0;
    if (!scanLongLong(&v)) return false;
    if (out) *out = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
    return true;
}

std::size_t Scanner::find(std::string_view s, std::size_t from) const {
    if (caseSensitive_) return text_.find(s, from);
    if (s.empty()) return from;
    for (std::size_t i = from; i + s.size() <= text_.size(); ++i) {
        std::size_t k = 0;
        while (k < s.size() && lower(text_[i + k]) == lower(s[k])) ++k;
        if (k == s.size()) return i;
    }
    return std::string::npos;
}

bool Scanner::scanString(std::string_view s, std::string* out) {
    if (s.empty()) return false;
    std::size_t start = skipFrom(location_);
    if (start + s.size() > text_.size()) return false;
    for (std::size_t k = 0; k < s.size(); ++k) {
        char a = text_[start + k], b = s[k];
        if (caseSensitive_ ? a != b : lower(a) != lower(b)) return false;
    }
    if (out) *out = text_.substr(start, s.size());
    location_ = start + s.size();
    return true;
}

bool Scanner::scanUpToString(std::string_view s, std::string* out) {
    std::size_t start = skipFrom(location_);
    if (start >= text_.size()) return false;
    std::size_t at = s.empty() ? std::string::npos : find(s, start);
    if (at == std::string::npos) at = text_.size();
    if (at == start) return false;
    if (out) *out = text_.substr(start, at - start);
    location_ = at;
    return true;
}

}  // namespace base
