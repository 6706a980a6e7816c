#include "platform/base/Value.h"

#include <plist/plist.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <unordered_set>
#include <variant>

#include "platform/base/Exception.h"
#include "platform/base/Strings.h"
#include "platform/base/UTF8.h"

namespace base {

// Seconds between 1970-01-01 and 2001-01-01, the epoch property-list dates
// count from.
static constexpr double kPlistEpoch = Date::kReferenceDateSince1970;

// The alternatives in the order of Value::Type, then the integers beyond the
// signed 64-bit range (up to 2^64 - 1), which are of type Integer too.
struct Value::Storage {
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date, Array, Dictionary, std::uint64_t>
        v;
};

namespace {

const Value& nullValue() {
    static const Value v;
    return v;
}

template <class T>
std::shared_ptr<const Value::Storage> make(T&& x) {
    auto s = std::make_shared<Value::Storage>();
    s->v = std::forward<T>(x);
    return s;
}

double parseDouble(const std::string& s) {
    std::string_view t = trimLeft(s, kWhitespace);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    double d = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), d, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) return 0;
    return negative ? -d : d;
}

std::int64_t parseInteger(const std::string& s) {
    std::string_view t = trimLeft(s, kWhitespace);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    std::uint64_t u = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), u);
    if (r.ec == std::errc::invalid_argument) return 0;
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (r.ec == std::errc::result_out_of_range || u > max + (negative ? 1 : 0))
        return negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    return negative ? static_cast<std::int64_t>(0 - u) : static_cast<std::int64_t>(u);
}

// Truncates toward zero, saturating instead of overflowing.
std::int64_t clampToInteger(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (d <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(d);
}

std::string shortestDouble(double d) {
    char buf[32];
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    return buf;
}

}  // namespace

// ---- Dictionary ---------------------------------------------------------

Dictionary::Dictionary(std::initializer_list<std::pair<std::string, Value>> items) {
    for (const auto& [k, v] : items) set(k, v);
}

bool Dictionary::contains(const std::string& key) const { return find(key) != nullptr; }

const Value& Dictionary::get(const std::string& key) const {
    const Value* v = find(key);
    return v ? *v : nullValue();
}

const Value* Dictionary::find(const std::string& key) const {
    for (const auto& item : items_)
        if (item.first == key) return &item.second;
    return nullptr;
}

Value* Dictionary::find(const std::string& key) {
    for (auto& item : items_)
        if (item.first == key) return &item.second;
    return nullptr;
}

void Dictionary::set(const std::string& key, Value value) {
    if (Value* v = find(key)) *v = std::move(value);
    else items_.emplace_back(key, std::move(value));
}

bool Dictionary::remove(const std::string& key) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& i) { return i.first == key; });
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
}

std::vector<std::string> Dictionary::keys() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_) out.push_back(item.first);
    return out;
}

bool Dictionary::operator==(const Dictionary& other) const {
    if (size() != other.size()) return false;
    for (const auto& [k, v] : items_) {
        const Value* o = other.find(k);
        if (!o || *o != v) return false;
    }
    return true;
}

// ---- Value --------------------------------------------------------------

Value::Value() = default;
Value::Value(std::nullptr_t) {}
Value::Value(bool v) : s_(make(v)) {}
Value::Value(int v) : s_(make(std::int64_t{v})) {}
Value::Value(long v) : s_(make(std::int64_t{v})) {}
Value::Value(long long v) : s_(make(std::int64_t{v})) {}
Value::Value(unsigned v) : s_(make(std::int64_t{v})) {}
Value::Value(unsigned long v) : Value(static_cast<unsigned long long>(v)) {}
Value::Value(unsigned long long v)
    : s_(v > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max())
             ? make(std::uint64_t{v})
             : make(static_cast<std::int64_t>(v))) {}
Value::Value(double v) : s_(make(v)) {}
Value::Value(const char* v) : s_(v ? make(std::string(v)) : nullptr) {}
Value::Value(std::string v) : s_(make(std::move(v))) {}
Value::Value(Data v) : s_(make(std::move(v))) {}
Value::Value(Date v) : s_(make(v)) {}
Value::Value(Array v) : s_(make(std::move(v))) {}
Value::Value(Dictionary v) : s_(make(std::move(v))) {}

Value::Type Value::type() const {
    if (!s_) return Type::Null;
    if (std::holds_alternative<std::uint64_t>(s_->v)) return Type::Integer;
    return static_cast<Type>(s_->v.index());
}

bool Value::isNumber() const {
    Type t = type();
    return t == Type::Bool || t == Type::Integer || t == Type::Real;
}

bool Value::boolValue() const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(s_->v);
    case Type::Integer: return wideIntegerValue() || std::get<std::int64_t>(s_->v) != 0;
    case Type::Real: return std::get<double>(s_->v) != 0;
    case Type::String: {
        // "YES", "true", "y" and any non-zero number read true.
        std::string_view t = trimLeft(std::get<std::string>(s_->v), kWhitespace);
        if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
        while (!t.empty() && t[0] == '0') t.remove_prefix(1);
        if (t.empty()) return false;
        char c = t[0];
        return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
    }
    default: return false;
    }
}

std::int64_t Value::integerValue() const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(s_->v) ? 1 : 0;
    case Type::Integer:
        return wideIntegerValue() ? std::numeric_limits<std::int64_t>::max() : std::get<std::int64_t>(s_->v);
    case Type::Real: return clampToInteger(std::get<double>(s_->v));
    case Type::String: return parseInteger(std::get<std::string>(s_->v));
    default: return 0;
    }
}

double Value::doubleValue() const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(s_->v) ? 1 : 0;
    case Type::Integer:
        if (auto wide = wideIntegerValue()) return static_cast<double>(*wide);
        return static_cast<double>(std::get<std::int64_t>(s_->v));
    case Type::Real: return std::get<double>(s_->v);
    case Type::String: return parseDouble(std::get<std::string>(s_->v));
    default: return 0;
    }
}

std::string Value::stringValue() const {
    switch (type()) {
    case Type::Bool: return std::get<bool>(s_->v) ? "1" : "0";
    case Type::Integer:
        if (auto wide = wideIntegerValue()) return std::to_string(*wide);
        return std::to_string(std::get<std::int64_t>(s_->v));
    case Type::Real: return shortestDouble(std::get<double>(s_->v));
    case Type::String: return std::get<std::string>(s_->v);
    default: return {};
    }
}

std::optional<std::uint64_t> Value::wideIntegerValue() const {
    if (const auto* wide = s_ ? std::get_if<std::uint64_t>(&s_->v) : nullptr) return *wide;
    return std::nullopt;
}

const std::string* Value::asString() const { return s_ ? std::get_if<std::string>(&s_->v) : nullptr; }
const Data* Value::asData() const { return s_ ? std::get_if<Data>(&s_->v) : nullptr; }
const Date* Value::asDate() const { return s_ ? std::get_if<Date>(&s_->v) : nullptr; }
const Array* Value::asArray() const { return s_ ? std::get_if<Array>(&s_->v) : nullptr; }
const Dictionary* Value::asDictionary() const { return s_ ? std::get_if<Dictionary>(&s_->v) : nullptr; }

// Mutable access detaches a shared container first (copy on write).
Array* Value::asArray() {
    if (type() != Type::Array) return nullptr;
    if (s_.use_count() > 1) s_ = std::make_shared<Storage>(*s_);
    return std::get_if<Array>(&const_cast<Storage*>(s_.get())->v);
}

Dictionary* Value::asDictionary() {
    if (type() != Type::Dictionary) return nullptr;
    if (s_.use_count() > 1) s_ = std::make_shared<Storage>(*s_);
    return std::get_if<Dictionary>(&const_cast<Storage*>(s_.get())->v);
}

const Value& Value::operator[](const std::string& key) const {
    const Dictionary* d = asDictionary();
    return d ? d->get(key) : nullValue();
}

bool Value::operator==(const Value& other) const {
    if (s_ == other.s_) return true;
    if (isNumber() && other.isNumber()) {
        // Numbers compare by value, as number objects do (1 == 1.0 == YES).
        if (type() == Type::Real || other.type() == Type::Real) return doubleValue() == other.doubleValue();
        // An integer beyond the signed range equals only itself.
        if (wideIntegerValue() || other.wideIntegerValue()) return wideIntegerValue() == other.wideIntegerValue();
        return integerValue() == other.integerValue();
    }
    if (type() != other.type()) return false;
    if (type() == Type::Null) return true;
    return s_->v == other.s_->v;
}

std::string Value::description() const {
    switch (type()) {
    case Type::Null: return "(null)";
    case Type::Bool:
    case Type::Integer:
    case Type::Real:
    case Type::String: return stringValue();
    case Type::Data: {
        static const char* hex = "0123456789abcdef";
        std::string out = "<";
        const Data& d = *asData();
        for (std::size_t i = 0; i < d.size(); ++i) {
            if (i && i % 4 == 0) out.push_back(' ');
            out.push_back(hex[d[i] >> 4]);
            out.push_back(hex[d[i] & 15]);
        }
        return out + ">";
    }
    case Type::Date: return asDate()->description();
    case Type::Array: {
        std::string out = "(";
        bool first = true;
        for (const Value& v : *asArray()) {
            out += first ? "" : ", ";
            out += v.description();
            first = false;
        }
        return out + ")";
    }
    case Type::Dictionary: {
        std::string out = "{";
        for (const auto& [k, v] : *asDictionary()) out += k + " = " + v.description() + "; ";
        if (out.size() > 1) out.pop_back();
        return out + "}";
    }
    }
    return {};
}

// ---- Property lists -----------------------------------------------------

namespace {

struct PlistHolder {
    plist_t p = nullptr;
    ~PlistHolder() {
        if (p) plist_free(p);
    }
};

// Nesting deeper than this is treated as malformed rather than risking the
// stack on hostile input.
constexpr int kMaxDepth = 512;

// Dates further than this from 2001 (about 31,700 years) read as the
// nearest such date, and NaN as 2001 itself.
constexpr double kFarthestDate = 1e12;

double saneDate(double secondsSince2001) {
    if (std::isnan(secondsSince2001)) return 0;
    return std::clamp(secondsSince2001, -kFarthestDate, kFarthestDate);
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
}

constexpr long long kDays1970To2001 = 11323;

// A date as XML property lists write it ("2001-01-01T00:00:00Z"), to the
// whole second (rounded down).
std::string isoDate(double secondsSince2001) {
    const auto whole = static_cast<long long>(std::floor(saneDate(secondsSince2001)));
    long long days = whole / 86400, rest = whole % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    long long y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(days + kDays1970To2001, y, m, d);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02lld:%02lld:%02lldZ", y, m, d, rest / 3600, rest / 60 % 60,
                  rest % 60);
    return buf;
}

// Takes the blanks around text away and its sign off its front; true when
// the sign was "-".
bool takeSignedText(std::string_view& text) {
    text = trimLeft(text, " \t\r\n");
    text = trimRight(text, " \t\r\n");
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    return negative;
}

// The seconds since 2001 of such a date, blanks around it allowed.
std::optional<double> parseIsoDate(std::string_view text) {
    const bool negative = takeSignedText(text);
    const std::size_t dash = text.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 7 || text.size() != dash + 16) return std::nullopt;
    long long year = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        year = year * 10 + (text[i] - '0');
    }
    auto two = [&](std::size_t at, int& v) {
        if (!std::isdigit(static_cast<unsigned char>(text[at])) ||
            !std::isdigit(static_cast<unsigned char>(text[at + 1])))
            return false;
        v = (text[at] - '0') * 10 + (text[at + 1] - '0');
        return true;
    };
    int mo = 0, da = 0, h = 0, mi = 0, se = 0;
    const std::string_view rest = text.substr(dash);
    if (rest[0] != '-' || rest[3] != '-' || rest[6] != 'T' || rest[9] != ':' || rest[12] != ':' || rest[15] != 'Z')
        return std::nullopt;
    if (!two(dash + 1, mo) || !two(dash + 4, da) || !two(dash + 7, h) || !two(dash + 10, mi) || !two(dash + 13, se))
        return std::nullopt;
    if (mo < 1 || mo > 12 || da < 1 || da > 31 || h > 23 || mi > 59 || se > 60) return std::nullopt;
    const long long days =
        daysFromCivil(negative ? -year : year, static_cast<unsigned>(mo), static_cast<unsigned>(da)) - kDays1970To2001;
    return static_cast<double>(days * 86400 + h * 3600 + mi * 60 + se);
}

// An integer as XML writes it: decimal (or "0x" hexadecimal), signed, with
// blanks around it. Values beyond -2^63 .. 2^64 - 1 read as the nearest end.
std::optional<Value> parseXmlInteger(std::string_view text) {
    const bool negative = takeSignedText(text);
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return std::nullopt;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / base) overflow = true;
        else magnitude = magnitude * base + digit;
    }
    constexpr std::uint64_t kMinMagnitude = std::uint64_t{1} << 63;
    if (negative) {
        if (overflow || magnitude >= kMinMagnitude) return Value(std::numeric_limits<long long>::min());
        return Value(-static_cast<long long>(magnitude));
    }
    return Value(static_cast<unsigned long long>(overflow ? std::numeric_limits<std::uint64_t>::max() : magnitude));
}

// The integers and dates of an XML text, which the library cannot hold as
// they are (it keeps no sign for integers past 2^63 and holds dates in
// 32-bit seconds): each is replaced in the text by its number among them,
// which the library reads exactly, and read from this table afterwards.
struct XmlNumbers {
    std::vector<Value> integers;
    std::vector<double> dates;  // seconds since 2001
};

// Takes every integer and date out of text (comments and CDATA sections,
// where markup is text, are left alone). False when one cannot be read, or
// an element of either kind is written in a form this reading does not see
// (with attributes, or empty): the library would read it, and a number it
// read unseen would be taken for a stand-in.
bool takeOutNumbers(std::string& text, XmlNumbers& aside) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t lt = text.find('<', i);
        if (lt == std::string::npos) break;
        out.append(text, i, lt - i);
        i = lt;
        auto copyThrough = [&](std::string_view end) {
            const std::size_t e = text.find(end, i);
            const std::size_t stop = e == std::string::npos ? text.size() : e + end.size();
            out.append(text, i, stop - i);
            i = stop;
        };
        const std::string_view at = std::string_view(text).substr(i);
        if (at.substr(0, 4) == "<!--") {
            copyThrough("-->");
            continue;
        }
        if (at.substr(0, 9) == "<![CDATA[") {
            copyThrough("]]>");
            continue;
        }
        const bool integer = at.substr(0, 8) == "<integer", date = at.substr(0, 5) == "<date";
        if (!integer && !date) {
            out += '<';
            ++i;
            continue;
        }
        const std::string open = integer ? "<integer>" : "<date>", close = integer ? "</integer>" : "</date>";
        if (at.substr(0, open.size()) != open) {
            // "<integers>" is no element of either kind; "<integer/>" is.
            const char next = at.size() > open.size() - 1 ? at[open.size() - 1] : '\0';
            if (std::isalnum(static_cast<unsigned char>(next)) || next == '-' || next == '_' || next == '.') {
                out += '<';
                ++i;
                continue;
            }
            return false;
        }
        const std::size_t end = text.find(close, i + open.size());
        if (end == std::string::npos) return false;
        const std::string_view inner = std::string_view(text).substr(i + open.size(), end - i - open.size());
        std::string standIn;
        if (integer) {
            auto value = parseXmlInteger(inner);
            if (!value) return false;
            standIn = std::to_string(aside.integers.size());
            aside.integers.push_back(std::move(*value));
        } else {
            auto seconds = parseIsoDate(inner);
            if (!seconds) return false;
            standIn = isoDate(static_cast<double>(aside.dates.size()));
            aside.dates.push_back(*seconds);
        }
        out += open;
        out += standIn;
        out += close;
        i = end + close.size();
    }
    if (i < text.size()) out.append(text, i, std::string::npos);
    text = std::move(out);
    return true;
}

bool fromNode(plist_t node, Value& out, int depth, const XmlNumbers& numbers, std::string& error) {
    if (depth > kMaxDepth) {
        error = "property list nested too deeply";
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t b = 0;
        plist_get_bool_val(node, &b);
        out = Value(b != 0);
        return true;
    }
    case PLIST_UINT:
    case PLIST_UID: {
        // A stand-in: the integer's number in the table.
        std::uint64_t u = 0;
        if (plist_get_node_type(node) == PLIST_UID) plist_get_uid_val(node, &u);
        else plist_get_uint_val(node, &u);
        if (u >= numbers.integers.size()) {
            error = "malformed XML property list";
            return false;
        }
        out = numbers.integers[static_cast<std::size_t>(u)];
        return true;
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        out = Value(d);
        return true;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        std::uint64_t len = 0;
        const char* s = plist_get_string_ptr(node, &len);
        out = Value(s ? std::string(s, len) : std::string());
        return true;
    }
    case PLIST_DATA: {
        std::uint64_t len = 0;
        const char* p = plist_get_data_ptr(node, &len);
        out = Value(p ? Data(p, p + len) : Data());
        return true;
    }
    case PLIST_DATE: {
        // A stand-in: the date's number in the table, in seconds.
        std::int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        if (sec < 0 || static_cast<std::size_t>(sec) >= numbers.dates.size() || usec != 0) {
            error = "malformed XML property list";
            return false;
        }
        out = Value(Date(kPlistEpoch + numbers.dates[static_cast<std::size_t>(sec)]));
        return true;
    }
    case PLIST_ARRAY: {
        Array a;
        std::uint32_t n = plist_array_get_size(node);
        a.reserve(n);
        // Walked with an iterator: indexed access is linear per item on
        // arrays read from binary files.
        plist_array_iter it = nullptr;
        plist_array_new_iter(node, &it);
        bool ok = true;
        for (std::uint32_t i = 0; it && i < n && ok; ++i) {
            plist_t item = nullptr;
            plist_array_next_item(node, it, &item);
            if (!item) break;
            Value v;
            ok = fromNode(item, v, depth + 1, numbers, error);
            if (ok) a.push_back(std::move(v));
        }
        std::free(it);
        if (!ok) return false;
        out = Value(std::move(a));
        return true;
    }
    case PLIST_DICT: {
        Dictionary d;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it) {
            out = Value(std::move(d));
            return true;
        }
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t val = nullptr;
            plist_dict_next_item(node, it, &key, &val);
            if (!val) {
                std::free(key);
                break;
            }
            Value v;
            ok = fromNode(val, v, depth + 1, numbers, error);
            if (ok) d.set(key ? key : "", std::move(v));
            std::free(key);
            if (!ok) break;
        }
        std::free(it);
        if (!ok) return false;
        out = Value(std::move(d));
        return true;
    }
    default: error = "property list holds an unsupported value"; return false;
    }
}

// Null has no property-list form: it is left out of containers, and a null
// root is written as an empty dictionary.
//
// Every value is checked before the library sees it, so that nothing is
// written that the reader cannot read back: text that is not valid UTF-8 is
// repaired (each bad byte becomes U+FFFD; the library would write such a
// string empty or cut short), and what cannot be repaired without losing
// data (a NUL inside a string or key, two keys that repair to the same text)
// fails the whole write. An empty data value is handed over with a valid
// pointer, and dates are clamped to the range the format's 32-bit seconds
// hold.
struct Writer {
    bool xml = false;
    std::string error;
    // Binary only: the library narrows every real to single precision to
    // see whether four bytes hold it, which is undefined for finite values
    // beyond that range. Such reals are handed over as stand-ins (distinct
    // doubles that single precision cannot hold) and put back into the
    // written bytes afterwards.
    std::vector<std::pair<double, double>> standIns;  // stand-in, real value

    // The library holds dates in 32-bit seconds, and writes integers past
    // 2^63 as negative ones in XML. Every date is handed over as a stand-in
    // (its number among the dates, in seconds) and put back into what is
    // written; so is every integer in XML (its number among the integers).
    std::vector<double> dates;          // seconds since 2001
    std::vector<std::string> integers;  // XML only: each as written

    // The bit pattern of every real of the value, so that no stand-in equals
    // one. Bits, not doubles: NaN compares unequal to everything (itself
    // included), so a container ordered or hashed by value cannot hold it.
    std::unordered_set<std::uint64_t> reals;

    static std::uint64_t bitsOf(double d) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return bits;
    }

    void collectReals(const Value& v) {
        if (v.type() == Value::Type::Real) reals.insert(bitsOf(v.doubleValue()));
        if (const Array* a = v.asArray())
            for (const Value& item : *a) collectReals(item);
        if (const Dictionary* d = v.asDictionary())
            for (const auto& item : *d) collectReals(item.second);
    }

    // Each candidate is a distinct finite double; at most reals.size() of
    // them are taken, so the search ends within that many more steps.
    double standInFor(double v) {
        double s = 1.0;
        for (long k = static_cast<long>(standIns.size()) + 1;; ++k) {
            s = 1.0 + std::ldexp(static_cast<double>(k), -50);
            if (reals.insert(bitsOf(s)).second) break;
        }
        standIns.emplace_back(s, v);
        return s;
    }

    // XML only: the position of each negative zero among the reals in the
    // order they are written. The library writes -0.0 as 0.0; the sign is
    // put back into the text afterwards.
    std::size_t xmlReals = 0;
    std::vector<std::size_t> negativeZeros;

    bool textOk(const std::string& text, const char* what) {
        if (text.find('\0') != std::string::npos) {
            error = std::string("a ") + what + " holds a NUL character";
            return false;
        }
        if (xml) {
            // XML 1.0 has no form, not even a character reference, for
            // control characters but tab and line breaks, nor for U+FFFE and
            // U+FFFF: such text cannot be written so that a reader gets it
            // back, and the write fails rather than change it.
            for (unsigned char c : text)
                if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    error = std::string("a ") + what + " holds a control character XML cannot carry";
                    return false;
                }
            // Each is a well-formed sequence of its own, which the repair of
            // bad bytes keeps as it is and never makes: the text as given
            // holds one exactly when the text written does.
            for (const char* nonCharacter : {"\xEF\xBF\xBE", "\xEF\xBF\xBF"})
                if (text.find(nonCharacter) != std::string::npos) {
                    error = std::string("a ") + what + " holds U+" + (nonCharacter[2] == '\xBE' ? "FFFE" : "FFFF") +
                            ", a character XML cannot carry";
                    return false;
                }
        }
        return true;
    }

    plist_t node(const Value& v) {
        switch (v.type()) {
        case Value::Type::Null: return nullptr;
        case Value::Type::Bool: return plist_new_bool(v.boolValue() ? 1 : 0);
        case Value::Type::Integer: {
            if (xml) {
                integers.push_back(v.stringValue());
                return plist_new_uint(integers.size() - 1);
            }
            if (auto wide = v.wideIntegerValue()) return wideIntegerNode(*wide);
            return plist_new_uint(static_cast<std::uint64_t>(v.integerValue()));
        }
        case Value::Type::Real: {
            double d = v.doubleValue();
            if (!xml && std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) d = standInFor(d);
            if (xml && d == 0 && std::signbit(d)) negativeZeros.push_back(xmlReals);
            if (xml) ++xmlReals;
            return plist_new_real(d);
        }
        case Value::Type::String: {
            if (!textOk(*v.asString(), "string")) return nullptr;
            return plist_new_string(validUTF8(*v.asString()).c_str());
        }
        case Value::Type::Data: {
            static const char empty = 0;
            const Data& d = *v.asData();
            return plist_new_data(d.empty() ? &empty : reinterpret_cast<const char*>(d.data()), d.size());
        }
        case Value::Type::Date: {
            dates.push_back(saneDate(v.asDate()->timeIntervalSinceReferenceDate()));
            return plist_new_date(static_cast<std::int32_t>(dates.size() - 1), 0);
        }
        case Value::Type::Array: {
            plist_t a = plist_new_array();
            for (const Value& item : *v.asArray()) {
                plist_t n = node(item);
                if (!error.empty()) {
                    plist_free(a);
                    return nullptr;
                }
                if (n) plist_array_append_item(a, n);
            }
            return a;
        }
        case Value::Type::Dictionary: {
            plist_t d = plist_new_dict();
            std::set<std::string> keys;
            for (const auto& [key, item] : *v.asDictionary()) {
                plist_t n = nullptr;
                std::string k = validUTF8(key);
                if (!textOk(key, "key")) {
                } else if (!keys.insert(k).second) {
                    error = "two keys differ only in bytes that are not UTF-8";
                } else {
                    n = node(item);
                }
                if (!error.empty()) {
                    if (n) plist_free(n);
                    plist_free(d);
                    return nullptr;
                }
                if (n) plist_dict_set_item(d, k.c_str(), n);
            }
            return d;
        }
        }
        return nullptr;
    }

    // An integer the library writes in 16 bytes, as the binary form holds
    // those past 2^63: its XML reader makes such nodes, and nothing else does.
    static plist_t wideIntegerNode(std::uint64_t value) {
        const std::string text = "<plist version=\"1.0\"><integer>" + std::to_string(value) + "</integer></plist>";
        plist_t node = nullptr;
        plist_from_xml(text.c_str(), static_cast<std::uint32_t>(text.size()), &node);
        return node;
    }

    plist_t root(const Value& v) {
        if (!xml) collectReals(v);
        plist_t n = node(v);
        if (!error.empty()) return nullptr;
        return n ? n : plist_new_dict();
    }
};

// Binary property lists are read by our own reader rather than the
// library's, which aborts the program (an assertion) on a key holding a NUL
// and recurses without bound. The reader checks every offset, length and
// reference against the buffer before it reads, nests at most kMaxDepth
// levels (a container holding itself nests without end), and makes at most
// kMostValues values, so that shared objects cannot multiply without bound.
// A value it cannot read (a string holding a NUL, a reference past the
// object table, a kind it does not know, a dictionary key that is no string)
// is left out of its container and named in the dropped list; the read fails
// only when the trailer, the offset table or the top object is unreadable,
// or the nesting or size is hostile. Each object is read once: another
// reference to it shares the value read (containers copy on write), and the
// size counted is that of the whole tree the references spell out, so that
// no reader of the value meets more than kMostValues values.
class BinaryReader {
public:
    BinaryReader(const std::uint8_t* p, std::size_t n, std::vector<std::string>* dropped)
        : p_(p), n_(n), dropped_(dropped) {}

    std::optional<Value> read(std::string& error) {
        error = "malformed binary property list";
        if (n_ < 8 + 32) return std::nullopt;
        const std::uint8_t* trailer = p_ + n_ - 32;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        count_ = be(trailer + 8, 8);
        const std::uint64_t top = be(trailer + 16, 8);
        tableAt_ = be(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return std::nullopt;
        const std::size_t body = n_ - 32;
        if (tableAt_ < 8 || tableAt_ > body || count_ > (body - tableAt_) / offsetSize_ || top >= count_)
            return std::nullopt;
        done_.assign(static_cast<std::size_t>(count_), Done{});
        Value out;
        std::string why;
        if (!object(top, 0, nullptr, out, why)) {
            error = why;
            return std::nullopt;
        }
        if (fatal_) {
            error = fatalWhy_;
            return std::nullopt;
        }
        return out;
    }

private:
    static constexpr std::uint64_t kMostValues = 1 << 20;

    // Where a value sits, for the dropped list: built into text only when a
    // value is dropped.
    struct Where {
        const Where* parent;
        const std::string* key;  // in a dictionary, else null
        std::uint64_t index;     // in an array, or the entry's number when its key is unreadable
    };
    static std::string describe(const Where* where) {
        if (!where) return "the top value";
        std::vector<const Where*> chain;
        for (; where; where = where->parent) chain.push_back(where);
        std::string out;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if ((*it)->key) out += (out.empty() ? "" : "/") + *(*it)->key;
            else out += "[" + std::to_string((*it)->index) + "]";
        }
        return out;
    }

    // What is known of each object: not yet read, being read (on the path
    // from the top), or read with its height and the size of its tree.
    struct Done {
        enum class State : std::uint8_t { Unread, Reading, Read, Unreadable } state = State::Unread;
        std::uint32_t height = 0;
        std::uint64_t size = 0;
        Value value;
        std::string why;
    };

    std::uint64_t be(const std::uint8_t* q, unsigned width) const {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < width; ++i) v = (v << 8) | q[i];
        return v;
    }

    void drop(const Where* where, const std::string& why) {
        if (dropped_ && dropped_->size() < 100) dropped_->push_back(describe(where) + ": " + why);
    }

    // Reads object index into out (once; later references share it).
    // False with why when it cannot be read; a hostile structure also sets
    // fatal_, which ends the whole read.
    bool object(std::uint64_t index, int depth, const Where* where, Value& out, std::string& why) {
        if (fatal_) return false;
        why = "malformed binary property list";
        if (index >= count_) return false;
        Done& done = done_[static_cast<std::size_t>(index)];
        // A container inside itself nests without end.
        if (done.state == Done::State::Reading) return fail("property list nested too deeply", why);
        if (done.state == Done::State::Unread) {
            done.state = Done::State::Reading;
            Value value;
            std::string valueWhy;
            std::uint32_t height = 0;
            std::uint64_t size = 1;
            const bool ok = read(index, depth, where, value, valueWhy, height, size);
            Done& now = done_[static_cast<std::size_t>(index)];
            if (fatal_) {
                why = fatalWhy_;
                return false;
            }
            now.state = ok ? Done::State::Read : Done::State::Unreadable;
            now.value = std::move(value);
            now.why = valueWhy;
            now.height = height;
            now.size = size;
        }
        const Done& known = done_[static_cast<std::size_t>(index)];
        if (known.state == Done::State::Unreadable) {
            why = known.why;
            return false;
        }
        if (static_cast<std::uint64_t>(depth) + known.height > static_cast<std::uint64_t>(kMaxDepth))
            return fail("property list nested too deeply", why);
        lastHeight_ = known.height;
        lastSize_ = known.size;
        out = known.value;
        return true;
    }

    // Reads the object itself; height and size of its tree are added to.
    bool read(std::uint64_t index, int depth, const Where* where, Value& out, std::string& why, std::uint32_t& height,
              std::uint64_t& size) {
        if (depth > kMaxDepth) return fail("property list nested too deeply", why);
        why = "malformed binary property list";
        const std::uint64_t at = be(p_ + tableAt_ + index * offsetSize_, offsetSize_);
        if (at < 8 || at >= tableAt_) return false;
        const unsigned kind = p_[at] >> 4;
        const unsigned info = p_[at] & 0x0f;
        std::uint64_t start = at + 1;
        const std::uint64_t end = tableAt_;
        auto room = [&](std::uint64_t bytes) { return start <= end && bytes <= end - start; };
        switch (kind) {
        case 0x0:
            if (info == 0x8 || info == 0x9) {
                out = Value(info == 0x9);
                return true;
            }
            why = "the property list holds an unsupported value";
            return false;
        case 0x1: {
            if (info > 4) return false;
            const unsigned width = 1u << info;
            if (!room(width)) return false;
            if (width == 16) {
                // Signed: kept when it lies in -2^63 .. 2^64 - 1, else the
                // nearest end of that range.
                const std::uint64_t high = be(p_ + start, 8), low = be(p_ + start + 8, 8);
                if (high == 0) out = Value(static_cast<unsigned long long>(low));
                else if (high == ~0ull && low > 0x7FFFFFFFFFFFFFFFull) out = Value(static_cast<long long>(low));
                else if (high >> 63) out = Value(std::numeric_limits<long long>::min());
                else out = Value(std::numeric_limits<unsigned long long>::max());
                return true;
            }
            const std::uint64_t v = be(p_ + start, width);
            // Eight bytes are two's complement; shorter integers are unsigned.
            out = Value(static_cast<long long>(v));
            return true;
        }
        case 0x2: {
            if (info == 2 && room(4)) {
                const auto bits = static_cast<std::uint32_t>(be(p_ + start, 4));
                float f = 0;
                std::memcpy(&f, &bits, sizeof f);
                out = Value(static_cast<double>(f));
                return true;
            }
            if (info == 3 && room(8)) {
                const std::uint64_t bits = be(p_ + start, 8);
                double d = 0;
                std::memcpy(&d, &bits, sizeof d);
                out = Value(d);
                return true;
            }
            return false;
        }
        case 0x3: {
            if (info != 3 || !room(8)) return false;
            const std::uint64_t bits = be(p_ + start, 8);
            double t = 0;
            std::memcpy(&t, &bits, sizeof t);
            out = Value(Date(kPlistEpoch + saneDate(t)));
            return true;
        }
        case 0x4:
        case 0x5:
        case 0x6:
        case 0x8:
        case 0xA:
        case 0xD: break;
        default: why = "the property list holds an unsupported value"; return false;
        }
        if (kind == 0x8) {
            // A UID of info + 1 bytes.
            if (info > 7 || !room(info + 1)) return false;
            out = Value(static_cast<unsigned long long>(be(p_ + start, info + 1)));
            return true;
        }
        std::uint64_t length = info;
        if (info == 0x0f) {
            if (!room(1) || (p_[start] >> 4) != 0x1) return false;
            const unsigned width = 1u << (p_[start] & 0x0f);
            if (width > 8 || !room(1 + width)) return false;
            length = be(p_ + start + 1, width);
            start += 1 + width;
        }
        if (kind == 0x4) {
            if (!room(length)) return false;
            out = Value(Data(p_ + start, p_ + start + length));
            return true;
        }
        if (kind == 0x5) {
            if (!room(length)) return false;
            const char* s = reinterpret_cast<const char*>(p_ + start);
            if (std::memchr(s, 0, length)) {
                why = "a string holds a NUL character";
                return false;
            }
            out = Value(std::string(s, length));
            return true;
        }
        if (kind == 0x6) {
            if (length > end || !room(length * 2)) return false;
            std::string text;
            if (!utf16(p_ + start, length, text)) {
                why = "a string holds a NUL character";
                return false;
            }
            out = Value(std::move(text));
            return true;
        }
        // An array holds length references; a dictionary length key
        // references, then as many value references.
        const std::uint64_t refs = kind == 0xD ? length * 2 : length;
        if (length > end || refs > (end - start) / refSize_) return false;
        auto ref = [&](std::uint64_t k) { return be(p_ + start + k * refSize_, refSize_); };
        // Takes in a child just read: its height and size count for this one.
        auto grow = [&]() {
            height = std::max(height, lastHeight_ + 1);
            size += lastSize_;
            if (size > kMostValues) fail("property list too large", why);
            return !fatal_;
        };
        if (kind == 0xA) {
            Array a;
            for (std::uint64_t k = 0; k < length; ++k) {
                Value item;
                std::string itemWhy;
                const Where itemWhere{where, nullptr, k};
                if (object(ref(k), depth + 1, &itemWhere, item, itemWhy)) {
                    if (!grow()) return false;
                    a.push_back(std::move(item));
                } else if (fatal_) {
                    return false;
                } else {
                    drop(&itemWhere, itemWhy);
                }
            }
            out = Value(std::move(a));
            return true;
        }
        Dictionary d;
        for (std::uint64_t k = 0; k < length; ++k) {
            Value key, item;
            std::string itemWhy;
            const Where keyWhere{where, nullptr, k};
            if (!object(ref(k), depth + 1, &keyWhere, key, itemWhy)) {
                if (fatal_) return false;
                drop(&keyWhere, "an unreadable dictionary key (" + itemWhy + ")");
                continue;
            }
            const std::string* name = key.asString();
            if (!name) {
                drop(&keyWhere, "a dictionary key is not a string");
                continue;
            }
            const Where itemWhere{where, name, k};
            if (object(ref(length + k), depth + 1, &itemWhere, item, itemWhy)) {
                if (!grow()) return false;
                d.set(*name, std::move(item));
            } else if (fatal_) {
                return false;
            } else {
                drop(&itemWhere, itemWhy);
            }
        }
        out = Value(std::move(d));
        return true;
    }

    bool fail(const char* why, std::string& out) {
        fatal_ = true;
        fatalWhy_ = why;
        out = why;
        return false;
    }

    // UTF-16 big-endian code units to UTF-8; a lone surrogate becomes
    // U+FFFD. False on a NUL.
    static bool utf16(const std::uint8_t* q, std::uint64_t units, std::string& out) {
        out.reserve(static_cast<std::size_t>(units));
        for (std::uint64_t k = 0; k < units; ++k) {
            std::uint32_t c = static_cast<std::uint32_t>(q[2 * k] << 8 | q[2 * k + 1]);
            if (c == 0) return false;
            if (c >= 0xD800 && c <= 0xDBFF && k + 1 < units) {
                const std::uint32_t low = static_cast<std::uint32_t>(q[2 * k + 2] << 8 | q[2 * k + 3]);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++k;
                }
            }
            if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
            appendUTF8(out, c);
        }
        return true;
    }

    const std::uint8_t* p_;
    std::size_t n_;
    std::vector<std::string>* dropped_;
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t tableAt_ = 0;
    std::vector<Done> done_;
    std::uint32_t lastHeight_ = 0;  // of the object object() last gave
    std::uint64_t lastSize_ = 0;
    bool fatal_ = false;
    std::string fatalWhy_;
};

// How deeply the elements of an XML text nest, counted without parsing it
// (comments, CDATA sections and declarations are skipped). Used to refuse
// hostile nesting before the library's recursive reader sees it.
bool xmlNestingIsSafe(std::string_view t) {
    int depth = 0;
    std::size_t i = 0;
    while ((i = t.find('<', i)) != std::string_view::npos) {
        auto skipTo = [&](std::string_view end) {
            std::size_t e = t.find(end, i);
            i = e == std::string_view::npos ? t.size() : e + end.size();
        };
        if (t.substr(i, 4) == "<!--") skipTo("-->");
        else if (t.substr(i, 9) == "<![CDATA[") skipTo("]]>");
        else if (t.substr(i, 2) == "<?" || t.substr(i, 2) == "<!") skipTo(">");
        else if (t.substr(i, 2) == "</") {
            --depth;
            skipTo(">");
        } else {
            std::size_t e = t.find('>', i);
            if (e == std::string_view::npos) return true;  // unterminated: the reader rejects it
            if (t[e - 1] != '/' && ++depth > kMaxDepth) return false;
            i = e + 1;
        }
    }
    return true;
}

}  // namespace

std::optional<Value> Value::fromPlist(const Data& bytes, std::string* error, std::vector<std::string>* dropped) {
    auto fail = [&](std::string why) -> std::optional<Value> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (bytes.empty()) return fail("empty property list");
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) return fail("property list too large");
    const char* p = reinterpret_cast<const char*>(bytes.data());
    auto n = static_cast<std::uint32_t>(bytes.size());
    PlistHolder root;
    XmlNumbers numbers;
    bool binary = bytes.size() >= 8 && std::memcmp(p, "bplist00", 8) == 0;
    if (binary) {
        std::string why;
        auto out = BinaryReader(bytes.data(), bytes.size(), dropped).read(why);
        if (!out) return fail(why);
        if (error) error->clear();
        return out;
    } else {
        // Text never holds a NUL; the reader would stop short at one.
        if (std::memchr(p, 0, n)) return fail("malformed XML property list");
        if (!xmlNestingIsSafe(std::string_view(p, n))) return fail("property list nested too deeply");
        std::string text(p, n);
        if (!takeOutNumbers(text, numbers)) return fail("malformed XML property list");
        plist_from_xml(text.c_str(), static_cast<std::uint32_t>(text.size()), &root.p);
    }
    if (!root.p) return fail(binary ? "malformed binary property list" : "malformed XML property list");
    Value out;
    std::string why;
    if (!fromNode(root.p, out, 0, numbers, why)) return fail(why);
    if (error) error->clear();
    return out;
}

namespace {

// Mends the library's XML text where it would not read back as written. A
// carriage return is written as a character reference: a reader turns a
// bare one (and a CR LF pair) into a line feed. The reals at the positions
// given are negative zeros written as "0.0": their sign is put back. Markup
// is never inside text (the library escapes "<" there), so the n-th "<real>"
// is the n-th real written. False when the text does not hold the reals
// counted.
// Puts each integer's and date's text in place of its stand-in (the n-th
// "<integer>" holds n, the n-th "<date>" the date n seconds after 2001).
bool restoreNumbers(std::string& text, const std::vector<std::string>& integers, const std::vector<double>& dates) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0, integersSeen = 0, datesSeen = 0;
    for (;;) {
        const std::size_t integer = text.find("<integer>", i), date = text.find("<date>", i);
        const std::size_t at = std::min(integer, date);
        if (at == std::string::npos) break;
        const bool isInteger = at == integer;
        const std::string open = isInteger ? "<integer>" : "<date>", close = isInteger ? "</integer>" : "</date>";
        const std::size_t begin = at + open.size(), end = text.find(close, begin);
        if (end == std::string::npos) return false;
        out.append(text, i, begin - i);
        const std::string_view inner = std::string_view(text).substr(begin, end - begin);
        if (isInteger) {
            if (inner != std::to_string(integersSeen) || integersSeen >= integers.size()) return false;
            out += integers[integersSeen++];
        } else {
            auto k = parseIsoDate(inner);
            if (!k || *k < 0 || *k >= static_cast<double>(dates.size())) return false;
            out += isoDate(dates[static_cast<std::size_t>(*k)]);
            ++datesSeen;
        }
        i = end;
    }
    out.append(text, i, std::string::npos);
    if (integersSeen != integers.size() || datesSeen != dates.size()) return false;
    text = std::move(out);
    return true;
}

bool restoreXmlText(std::string& text, std::size_t reals, const std::vector<std::size_t>& negativeZeros) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r') out += "&#13;";
        else out += c;
    }
    std::size_t at = 0;
    std::size_t index = 0;
    std::size_t next = 0;
    const std::string open = "<real>", close = "</real>";
    while ((at = out.find(open, at)) != std::string::npos) {
        const std::size_t begin = at + open.size();
        const std::size_t end = out.find(close, begin);
        if (end == std::string::npos) return false;
        if (next < negativeZeros.size() && negativeZeros[next] == index) {
            out.replace(begin, end - begin, "-0.0");
            ++next;
        }
        ++index;
        at = begin;
    }
    if (index != reals || next != negativeZeros.size()) return false;
    text = std::move(out);
    return true;
}

}  // namespace

std::optional<std::string> Value::toXMLPlist(std::string* error) const {
    Writer writer;
    writer.xml = true;
    PlistHolder root;
    root.p = writer.root(*this);
    if (!root.p) {
        if (error) *error = writer.error;
        return std::nullopt;
    }
    char* xml = nullptr;
    std::uint32_t len = 0;
    plist_to_xml(root.p, &xml, &len);
    std::string out = xml ? std::string(xml, len) : std::string();
    if (xml) plist_to_xml_free(xml);
    if (!out.empty() && (!restoreXmlText(out, writer.xmlReals, writer.negativeZeros) ||
                         !restoreNumbers(out, writer.integers, writer.dates)))
        out.clear();
    if (out.empty()) {
        if (error) *error = "the property list could not be written";
        return std::nullopt;
    }
    return out;
}

namespace {

// Puts the real values back in place of their stand-ins: each object the
// offset table names that is an 8-byte real holding a stand-in.
bool restoreStandIns(Data& out, const std::vector<std::pair<double, double>>& standIns,
                     const std::vector<double>& dates) {
    if (standIns.empty() && dates.empty()) return true;
    if (out.size() < 40) return false;
    auto be = [&](std::size_t at, unsigned width) {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < width; ++i) v = (v << 8) | out[at + i];
        return v;
    };
    const std::size_t trailer = out.size() - 32;
    unsigned offsetSize = out[trailer + 6];
    std::uint64_t count = be(trailer + 8, 8), table = be(trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || table > trailer || count > (trailer - table) / offsetSize) return false;
    std::size_t restored = 0, datesRestored = 0;
    auto put = [&](std::uint64_t at, double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int k = 0; k < 8; ++k) out[at + 1 + k] = static_cast<std::uint8_t>(bits >> (56 - 8 * k));
    };
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t at = be(static_cast<std::size_t>(table + i * offsetSize), offsetSize);
        if (at + 9 > table || (out[at] != 0x23 && out[at] != 0x33)) continue;
        std::uint64_t bits = be(static_cast<std::size_t>(at + 1), 8);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        if (out[at] == 0x33) {
            // A date: its number among the dates.
            if (!(d >= 0 && d < static_cast<double>(dates.size())) || d != std::floor(d)) return false;
            put(at, dates[static_cast<std::size_t>(d)]);
            ++datesRestored;
            continue;
        }
        for (const auto& [standIn, value] : standIns) {
            if (d != standIn) continue;
            std::memcpy(&bits, &value, sizeof bits);
            for (int k = 0; k < 8; ++k) out[at + 1 + k] = static_cast<std::uint8_t>(bits >> (56 - 8 * k));
            ++restored;
            break;
        }
    }
    return restored == standIns.size() && datesRestored == dates.size();
}

}  // namespace

std::optional<Data> Value::toBinaryPlist(std::string* error) const {
    Writer writer;
    PlistHolder root;
    root.p = writer.root(*this);
    if (!root.p) {
        if (error) *error = writer.error;
        return std::nullopt;
    }
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(root.p, &bin, &len);
    Data out = bin ? Data(bin, bin + len) : Data();
    if (bin) plist_to_bin_free(bin);
    if (out.empty() || !restoreStandIns(out, writer.standIns, writer.dates)) {
        if (error) *error = "the property list could not be written";
        return std::nullopt;
    }
    return out;
}

std::string Value::toXMLPlist() const {
    std::string why;
    if (auto out = toXMLPlist(&why)) return std::move(*out);
    raise("NSInvalidArgumentException", "cannot write property list: " + why);
}

Data Value::toBinaryPlist() const {
    std::string why;
    if (auto out = toBinaryPlist(&why)) return std::move(*out);
    raise("NSInvalidArgumentException", "cannot write property list: " + why);
}

}  // namespace base
