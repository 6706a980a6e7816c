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
#include <variant>

#include "platform/base/Exception.h"
#include "platform/base/UTF8.h"

namespace base {

// Seconds between 1970-01-01 and 2001-01-01, the epoch property-list dates
// count from.
static constexpr double kPlistEpoch = Date::kReferenceDateSince1970;

struct Value::Storage {
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date, Array, Dictionary> v;
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

std::string_view trimmedLeft(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    return std::string_view(s).substr(i);
}

double parseDouble(const std::string& s) {
    std::string_view t = trimmedLeft(s);
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
    std::string_view t = trimmedLeft(s);
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
Value::Value(unsigned long v)
    : s_(make(static_cast<std::int64_t>(std::min<unsigned long>(v, std::numeric_limits<std::int64_t>::max())))) {}
Value::Value(unsigned long long v)
    : s_(make(static_cast<std::int64_t>(std::min<unsigned long long>(v, std::numeric_limits<std::int64_t>::max())))) {}
Value::Value(double v) : s_(make(v)) {}
Value::Value(const char* v) : s_(v ? make(std::string(v)) : nullptr) {}
Value::Value(std::string v) : s_(make(std::move(v))) {}
Value::Value(Data v) : s_(make(std::move(v))) {}
Value::Value(Date v) : s_(make(v)) {}
Value::Value(Array v) : s_(make(std::move(v))) {}
Value::Value(Dictionary v) : s_(make(std::move(v))) {}

Value::Type Value::type() const {
    if (!s_) return Type::Null;
    return static_cast<Type>(s_->v.index());
}

bool Value::isNumber() const {
    Type t = type();
    return t == Type::Bool || t == Type::Integer || t == Type::Real;
}

bool Value::boolValue() const {
    switch (type()) {
        case Type::Bool: return std::get<bool>(s_->v);
        case Type::Integer: return std::get<std::int64_t>(s_->v) != 0;
        case Type::Real: return std::get<double>(s_->v) != 0;
        case Type::String: {
            // "YES", "true", "y" and any non-zero number read true.
            std::string_view t = trimmedLeft(std::get<std::string>(s_->v));
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
        case Type::Integer: return std::get<std::int64_t>(s_->v);
        case Type::Real: return clampToInteger(std::get<double>(s_->v));
        case Type::String: return parseInteger(std::get<std::string>(s_->v));
        default: return 0;
    }
}

double Value::doubleValue() const {
    switch (type()) {
        case Type::Bool: return std::get<bool>(s_->v) ? 1 : 0;
        case Type::Integer: return static_cast<double>(std::get<std::int64_t>(s_->v));
        case Type::Real: return std::get<double>(s_->v);
        case Type::String: return parseDouble(std::get<std::string>(s_->v));
        default: return 0;
    }
}

std::string Value::stringValue() const {
    switch (type()) {
        case Type::Bool: return std::get<bool>(s_->v) ? "1" : "0";
        case Type::Integer: return std::to_string(std::get<std::int64_t>(s_->v));
        case Type::Real: return shortestDouble(std::get<double>(s_->v));
        case Type::String: return std::get<std::string>(s_->v);
        default: return {};
    }
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

bool fromNode(plist_t node, Value& out, int depth, std::string& error) {
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
        case PLIST_UINT: {
            std::uint64_t u = 0;
            plist_get_uint_val(node, &u);
            // Stored two's complement: the readers have already brought
            // values beyond the signed 64-bit range to its nearest end.
            out = Value(static_cast<long long>(u));
            return true;
        }
        case PLIST_UID: {
            std::uint64_t u = 0;
            plist_get_uid_val(node, &u);
            out = Value(static_cast<unsigned long long>(u));
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
            std::int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            out = Value(Date(kPlistEpoch + sec + usec / 1e6));
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
                ok = fromNode(item, v, depth + 1, error);
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
                ok = fromNode(val, v, depth + 1, error);
                if (ok) d.set(key ? key : "", std::move(v));
                std::free(key);
                if (!ok) break;
            }
            std::free(it);
            if (!ok) return false;
            out = Value(std::move(d));
            return true;
        }
        default:
            error = "property list holds an unsupported value";
            return false;
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

    std::set<double> reals;  // every real of the value, so no stand-in equals one

    void collectReals(const Value& v) {
        if (v.type() == Value::Type::Real) reals.insert(v.doubleValue());
        if (const Array* a = v.asArray())
            for (const Value& item : *a) collectReals(item);
        if (const Dictionary* d = v.asDictionary())
            for (const auto& item : *d) collectReals(item.second);
    }

    double standInFor(double v) {
        double s = 1.0;
        for (long k = static_cast<long>(standIns.size()) + 1;; ++k) {
            s = 1.0 + std::ldexp(static_cast<double>(k), -50);
            if (!reals.count(s)) break;
        }
        reals.insert(s);
        standIns.emplace_back(s, v);
        return s;
    }

    bool textOk(const std::string& text, const char* what) {
        if (text.find('\0') != std::string::npos) {
            error = std::string("a ") + what + " holds a NUL character";
            return false;
        }
        if (xml) {
            // XML 1.0 has no form for control characters but tab and line breaks.
            for (unsigned char c : text)
                if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                    error = std::string("a ") + what + " holds a control character XML cannot carry";
                    return false;
                }
        }
        return true;
    }

    plist_t node(const Value& v) {
        switch (v.type()) {
            case Value::Type::Null: return nullptr;
            case Value::Type::Bool: return plist_new_bool(v.boolValue() ? 1 : 0);
            case Value::Type::Integer: return plist_new_uint(static_cast<std::uint64_t>(v.integerValue()));
            case Value::Type::Real: {
                double d = v.doubleValue();
                if (!xml && std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
                    d = standInFor(d);
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
                double t = v.asDate()->timeIntervalSince1970() - kPlistEpoch;
                double limit = std::numeric_limits<std::int32_t>::max();
                t = std::isnan(t) ? 0 : std::clamp(t, -limit, limit);
                double whole = std::floor(t);
                auto usec = static_cast<std::int32_t>(std::lround((t - whole) * 1e6));
                auto sec = static_cast<std::int32_t>(whole);
                if (usec >= 1000000 && sec < std::numeric_limits<std::int32_t>::max()) {
                    usec -= 1000000;
                    ++sec;
                }
                return plist_new_date(sec, std::min(usec, 999999));
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

    plist_t root(const Value& v) {
        if (!xml) collectReals(v);
        plist_t n = node(v);
        if (!error.empty()) return nullptr;
        return n ? n : plist_new_dict();
    }
};

// The property-list library aborts the program (an assertion) on a string
// with an embedded NUL where it expects a key, and its readers recurse once
// per level of nesting. Such input is malformed for us anyway, so it is
// checked before the library sees it: every object the offset table names
// must lie inside the buffer, no ASCII or UTF-16 string may hold a NUL, and
// containers may not nest deeper than kMaxDepth or refer to themselves.
bool binaryIsSafe(std::uint8_t* p, std::size_t n, std::string& error) {
    error = "malformed binary property list";
    if (n < 8 + 32) return false;
    const std::uint8_t* trailer = p + n - 32;
    auto be = [&](const std::uint8_t* q, unsigned width) {
        std::uint64_t v = 0;
        for (unsigned i = 0; i < width; ++i) v = (v << 8) | q[i];
        return v;
    };
    unsigned offsetSize = trailer[6];
    unsigned refSize = trailer[7];
    std::uint64_t count = be(trailer + 8, 8);
    std::uint64_t top = be(trailer + 16, 8);
    std::uint64_t tableAt = be(trailer + 24, 8);
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8) return false;
    std::size_t body = n - 32;
    if (tableAt < 8 || tableAt > body || count > (body - tableAt) / offsetSize || top >= count) return false;

    // The object's marker, and where its payload and length are.
    struct Header {
        unsigned kind = 0;
        std::uint64_t length = 0;
        std::uint64_t start = 0;
    };
    auto header = [&](std::uint64_t index, Header& h) {
        std::uint64_t at = be(p + tableAt + index * offsetSize, offsetSize);
        if (at < 8 || at >= tableAt) return false;
        h.kind = p[at] >> 4;
        h.length = p[at] & 0x0f;
        h.start = at + 1;
        if (h.length == 0x0f && (h.kind == 0x4 || h.kind == 0x5 || h.kind == 0x6 || h.kind >= 0xA)) {
            if (h.start >= tableAt || (p[h.start] >> 4) != 0x1) return false;
            unsigned width = 1u << (p[h.start] & 0x0f);
            if (width > 8 || h.start + 1 + width > tableAt) return false;
            h.length = be(p + h.start + 1, width);
            h.start += 1 + width;
        }
        return true;
    };

    for (std::uint64_t i = 0; i < count; ++i) {
        Header h;
        if (!header(i, h)) return false;
        if (h.kind == 0x1 && h.length == 4 && h.start + 16 <= tableAt) {
            // A 16-byte integer: the value is kept when it fits 64 signed
            // bits, else brought to the nearest end of that range.
            std::uint64_t high = be(p + h.start, 8), low = be(p + h.start + 8, 8);
            bool fits = (high == 0 && low <= 0x7FFFFFFFFFFFFFFFull) ||
                        (high == ~0ull && low > 0x7FFFFFFFFFFFFFFFull);
            if (!fits) {
                bool negative = (high >> 63) != 0;
                high = negative ? ~0ull : 0;
                low = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
                for (int k = 0; k < 8; ++k) {
                    p[h.start + k] = static_cast<std::uint8_t>(high >> (56 - 8 * k));
                    p[h.start + 8 + k] = static_cast<std::uint8_t>(low >> (56 - 8 * k));
                }
            }
            continue;
        }
        if (h.kind == 0x3 && h.start + 8 <= tableAt) {
            // A date: seconds as a double, which the library turns into 32
            // bits. Out of that range (or NaN) it is clamped first.
            std::uint64_t bits = be(p + h.start, 8);
            double t = 0;
            std::memcpy(&t, &bits, sizeof t);
            double limit = std::numeric_limits<std::int32_t>::max();
            double clamped = std::isnan(t) ? 0 : std::clamp(t, -limit, limit);
            if (clamped != t || std::isnan(t)) {
                std::memcpy(&bits, &clamped, sizeof bits);
                for (int k = 0; k < 8; ++k) p[h.start + k] = static_cast<std::uint8_t>(bits >> (56 - 8 * k));
            }
            continue;
        }
        if (h.kind != 0x5 && h.kind != 0x6) continue;
        std::uint64_t bytes = h.kind == 0x6 ? h.length * 2 : h.length;
        if (h.length > tableAt || bytes > tableAt - h.start) return false;
        if (h.kind == 0x5) {
            if (std::memchr(p + h.start, 0, bytes)) return false;
        } else {
            for (std::uint64_t k = 0; k < bytes; k += 2)
                if (p[h.start + k] == 0 && p[h.start + k + 1] == 0) return false;
        }
    }

    // Depth-first walk from the top object without recursion; each
    // container's height is kept so shared objects are walked once.
    constexpr std::uint32_t kUnseen = 0, kOpen = 0xFFFFFFFF;
    std::vector<std::uint32_t> height(count, kUnseen);  // 1 + height once known
    struct Frame {
        std::uint64_t index;
        std::vector<std::uint64_t> children;
        std::size_t next = 0;
        std::uint32_t tallest = 0;
    };
    auto open = [&](std::uint64_t index, Frame& f) {
        f.index = index;
        Header h;
        if (!header(index, h)) return false;
        if (h.kind == 0xA || h.kind == 0xC || h.kind == 0xD) {
            std::uint64_t refs = h.kind == 0xD ? h.length * 2 : h.length;
            if (h.length > tableAt || refs > (tableAt - h.start) / refSize) return false;
            f.children.reserve(static_cast<std::size_t>(refs));
            for (std::uint64_t k = 0; k < refs; ++k) f.children.push_back(be(p + h.start + k * refSize, refSize));
        }
        return true;
    };
    std::vector<Frame> stack(1);
    if (!open(top, stack[0])) return false;
    height[top] = kOpen;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.children.size()) {
            std::uint64_t c = f.children[f.next++];
            if (c >= count || height[c] == kOpen) return false;  // dangling or circular
            if (height[c] != kUnseen) {
                if (stack.size() + height[c] - 1 > static_cast<std::size_t>(kMaxDepth)) {
                    error = "property list nested too deeply";
                    return false;
                }
                f.tallest = std::max(f.tallest, height[c] - 1);
                continue;
            }
            if (stack.size() >= static_cast<std::size_t>(kMaxDepth)) {
                error = "property list nested too deeply";
                return false;
            }
            Frame child;
            if (!open(c, child)) return false;
            height[c] = kOpen;
            stack.push_back(std::move(child));
            continue;
        }
        std::uint32_t h = f.tallest + 1;
        height[f.index] = h + 1;
        stack.pop_back();
        if (!stack.empty()) stack.back().tallest = std::max(stack.back().tallest, h);
    }
    return true;
}

// Integers and dates of an XML text brought into the ranges the library
// handles before it parses them: integers beyond 64 signed bits read as the
// nearest end of that range (the library's reader cannot take -2^63 itself,
// so the lower end is -(2^63 - 1) in XML), dates outside what 32-bit seconds
// from 2001 hold as the nearest such date.
std::string xmlWithSaneValues(std::string text) {
    auto rewrite = [&](const std::string& open, const std::string& close, auto fix) {
        std::size_t i = 0;
        while ((i = text.find(open, i)) != std::string::npos) {
            std::size_t b = i + open.size();
            std::size_t e = text.find(close, b);
            if (e == std::string::npos) return;
            std::string inner = text.substr(b, e - b);
            std::string fixed = fix(inner);
            if (fixed != inner) text.replace(b, e - b, fixed);
            i = b + fixed.size() + close.size();
        }
    };
    rewrite("<integer>", "</integer>", [](const std::string& inner) {
        std::size_t b = inner.find_first_not_of(" \t\r\n");
        if (b == std::string::npos) return inner;
        std::size_t e = inner.find_last_not_of(" \t\r\n");
        std::string t = inner.substr(b, e - b + 1);
        bool negative = t[0] == '-';
        std::string digits = t.substr(t[0] == '-' || t[0] == '+' ? 1 : 0);
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return inner;
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        const std::string max = "9223372036854775807";
        bool tooBig = digits.size() > max.size() || (digits.size() == max.size() && digits > max);
        if (!tooBig) return inner;
        return negative ? "-" + max : max;
    });
    rewrite("<date>", "</date>", [](const std::string& inner) {
        // The standard form "YYYY-MM-DDTHH:MM:SSZ" compares as text.
        static const std::string low = "1932-12-13T20:45:53Z", high = "2069-01-19T03:14:07Z";
        std::size_t b = inner.find_first_not_of(" \t\r\n");
        if (b == std::string::npos) return inner;
        std::string t = inner.substr(b);
        std::size_t dash = t.find('-', 1);
        if (t[0] == '-' || dash == std::string::npos) return t[0] == '-' ? low : inner;
        if (dash > 4) return high;  // a year of five digits or more
        if (dash < 4) return low;
        if (t.compare(0, low.size(), low) < 0) return low;
        if (t.compare(0, high.size(), high) > 0) return high;
        return inner;
    });
    return text;
}

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

std::optional<Value> Value::fromPlist(const Data& bytes, std::string* error) {
    auto fail = [&](std::string why) -> std::optional<Value> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (bytes.empty()) return fail("empty property list");
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) return fail("property list too large");
    const char* p = reinterpret_cast<const char*>(bytes.data());
    auto n = static_cast<std::uint32_t>(bytes.size());
    PlistHolder root;
    bool binary = bytes.size() >= 8 && std::memcmp(p, "bplist00", 8) == 0;
    if (binary) {
        std::string why;
        Data checked = bytes;  // the check brings out-of-range values into range
        if (!binaryIsSafe(checked.data(), checked.size(), why)) return fail(why);
        plist_from_bin(reinterpret_cast<const char*>(checked.data()), n, &root.p);
    } else {
        // Text never holds a NUL; the reader would stop short at one.
        if (std::memchr(p, 0, n)) return fail("malformed XML property list");
        if (!xmlNestingIsSafe(std::string_view(p, n))) return fail("property list nested too deeply");
        std::string text = xmlWithSaneValues(std::string(p, n));
        plist_from_xml(text.c_str(), static_cast<std::uint32_t>(text.size()), &root.p);
    }
    if (!root.p) return fail(binary ? "malformed binary property list" : "malformed XML property list");
    Value out;
    std::string why;
    if (!fromNode(root.p, out, 0, why)) return fail(why);
    if (error) error->clear();
    return out;
}

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
    if (out.empty()) {
        if (error) *error = "the property list could not be written";
        return std::nullopt;
    }
    return out;
}

namespace {

// Puts the real values back in place of their stand-ins: each object the
// offset table names that is an 8-byte real holding a stand-in.
bool restoreStandIns(Data& out, const std::vector<std::pair<double, double>>& standIns) {
    if (standIns.empty()) return true;
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
    std::size_t restored = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t at = be(static_cast<std::size_t>(table + i * offsetSize), offsetSize);
        if (at + 9 > table || out[at] != 0x23) continue;
        std::uint64_t bits = be(static_cast<std::size_t>(at + 1), 8);
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        for (const auto& [standIn, value] : standIns) {
            if (d != standIn) continue;
            std::memcpy(&bits, &value, sizeof bits);
            for (int k = 0; k < 8; ++k) out[at + 1 + k] = static_cast<std::uint8_t>(bits >> (56 - 8 * k));
            ++restored;
            break;
        }
    }
    return restored == standIns.size();
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
    if (out.empty() || !restoreStandIns(out, writer.standIns)) {
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
