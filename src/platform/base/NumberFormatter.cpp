#include "platform/base/NumberFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace base {

namespace {

// The longest digit run a formatter pads to; keeps a careless setting from
// asking for gigabytes of zeros.
constexpr int kMaximumDigits = 340;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The number part of text as plain digits ("-12.5"), or nullopt when the
// text is not exactly one plain decimal number between optional blanks.
std::optional<std::string> plainNumber(const std::string& text) {
    std::size_t i = 0, n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    while (n > i && isBlank(text[n - 1])) --n;
    std::string out;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') out += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < n; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            out += c;
        } else if (c == '.' && !point) {
            point = true;
            out += c;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return out;
}

}  // namespace

void NumberFormatter::setMinimumIntegerDigits(int n) { minimumIntegerDigits_ = std::clamp(n, 0, kMaximumDigits); }

void NumberFormatter::setMinimumFractionDigits(int n) {
    minimumFractionDigits_ = std::clamp(n, 0, kMaximumDigits);
    maximumFractionDigits_ = std::max(maximumFractionDigits_, minimumFractionDigits_);
}

void NumberFormatter::setMaximumFractionDigits(int n) {
    maximumFractionDigits_ = std::clamp(n, 0, kMaximumDigits);
    minimumFractionDigits_ = std::min(minimumFractionDigits_, maximumFractionDigits_);
}

std::string NumberFormatter::formatPlainDigits(const std::string& plain) const {
    bool negative = !plain.empty() && plain[0] == '-';
    std::string body = negative ? plain.substr(1) : plain;
    auto dot = body.find('.');
    std::string intPart = dot == std::string::npos ? body : body.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : body.substr(dot + 1);

    // Round half-even to the maximum fraction digits, on the digits as text.
    const std::size_t keep = static_cast<std::size_t>(maximumFractionDigits_);
    if (frac.size() > keep) {
        char first = frac[keep];
        bool restNonZero = frac.find_first_not_of('0', keep + 1) != std::string::npos;
        frac.resize(keep);
        std::string digits = intPart + frac;
        bool up = first > '5' || (first == '5' && restNonZero);
        if (first == '5' && !restNonZero) {
            char last = digits.empty() ? '0' : digits.back();
            up = (last - '0') % 2 == 1;
        }
        if (up) {
            int k = static_cast<int>(digits.size()) - 1;
            while (k >= 0 && digits[k] == '9') digits[k--] = '0';
            if (k >= 0) ++digits[k];
            else digits.insert(digits.begin(), '1');
        }
        intPart = digits.substr(0, digits.size() - keep);
        frac = digits.substr(digits.size() - keep);
    }
    // Fraction digits to the minimum (dropping trailing zeros or adding
    // them); integer digits padded to the minimum.
    while (frac.size() > static_cast<std::size_t>(minimumFractionDigits_) && frac.back() == '0') frac.pop_back();
    if (frac.size() < static_cast<std::size_t>(minimumFractionDigits_)) frac.resize(minimumFractionDigits_, '0');
    std::size_t lead = intPart.find_first_not_of('0');
    intPart = lead == std::string::npos ? std::string() : intPart.substr(lead);
    if (intPart.size() < static_cast<std::size_t>(minimumIntegerDigits_))
        intPart = std::string(minimumIntegerDigits_ - intPart.size(), '0') + intPart;
    if (intPart.empty() && frac.empty()) intPart.assign(1, '0');

    bool zero = intPart.find_first_not_of('0') == std::string::npos && frac.find_first_not_of('0') == std::string::npos;
    std::string out = (negative && !zero) ? "-" : "";
    out += intPart;
    if (!frac.empty()) {
        out += '.';
        out += frac;
    }
    return out;
}

std::string NumberFormatter::stringFromNumber(double value) const {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "∞" : "-∞";
    // Shortest digits that read back as the same double, in plain notation.
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (ec != std::errc()) return "NaN";
    return formatPlainDigits(std::string(buf, end));
}

std::string NumberFormatter::stringFromDecimal(const Decimal& value) const {
    if (value.isNaN()) return "NaN";
    return formatPlainDigits(value.toString());
}

std::optional<double> NumberFormatter::numberFromString(const std::string& text) const {
    auto plain = plainNumber(text);
    if (!plain) return std::nullopt;
    double v = 0;
    const char* first = plain->data();
    const char* last = first + plain->size();
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::result_out_of_range) return std::strtod(plain->c_str(), nullptr);  // ±inf or 0
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return v;
}

std::optional<Decimal> NumberFormatter::decimalFromString(const std::string& text) const {
    auto plain = plainNumber(text);
    if (!plain) return std::nullopt;
    Decimal d = Decimal::fromString(*plain);
    if (d.isNaN()) return std::nullopt;  // beyond the decimal's range
    return d;
}

}  // namespace base

namespace base {

void NumberFormatter::encodeWithCoder(KeyedArchiver& coder) const {
    coder.encodeInteger(minimumIntegerDigits_, "NSNumberFormatter.minimumIntegerDigits");
    coder.encodeInteger(minimumFractionDigits_, "NSNumberFormatter.minimumFractionDigits");
    coder.encodeInteger(maximumFractionDigits_, "NSNumberFormatter.maximumFractionDigits");
}

std::shared_ptr<Coding> NumberFormatter::initWithCoder(KeyedUnarchiver& coder) {
    auto digits = [&](const char* key) {
        return static_cast<int>(std::clamp<long long>(coder.decodeInteger(key), 0, kMaximumDigits));
    };
    setMinimumIntegerDigits(digits("NSNumberFormatter.minimumIntegerDigits"));
    maximumFractionDigits_ = 0;
    minimumFractionDigits_ = 0;
    setMaximumFractionDigits(digits("NSNumberFormatter.maximumFractionDigits"));
    setMinimumFractionDigits(digits("NSNumberFormatter.minimumFractionDigits"));
    return nullptr;
}

}  // namespace base
