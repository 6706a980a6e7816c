#pragma once
// A property-list value: null, bool, integer, real, string, data, date, array
// or dictionary. Values are copied by value (containers copy on write).
// Dictionaries keep their insertion order, so written files are stable.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/Date.h"

namespace base {

class Value;
using Data = std::vector<std::uint8_t>;
using Array = std::vector<Value>;

// An insertion-ordered string-keyed map.
class Dictionary {
public:
    Dictionary() = default;
    Dictionary(std::initializer_list<std::pair<std::string, Value>> items);

    // Defined below Value: the items' type is complete only there.
    std::size_t size() const;
    bool empty() const;
    bool contains(const std::string& key) const;
    // Null value when missing.
    const Value& get(const std::string& key) const;
    const Value* find(const std::string& key) const;
    Value* find(const std::string& key);
    // Sets (replacing in place, or appending).
    void set(const std::string& key, Value value);
    bool remove(const std::string& key);
    void clear();
    std::vector<std::string> keys() const;

    using Items = std::vector<std::pair<std::string, Value>>;
    Items::const_iterator begin() const;
    Items::const_iterator end() const;
    const Items& items() const { return items_; }

    bool operator==(const Dictionary& other) const;  // order-insensitive

private:
    Items items_;
};

class Value {
public:
    enum class Type { Null, Bool, Integer, Real, String, Data, Date, Array, Dictionary };

    Value();
    Value(std::nullptr_t);
    Value(bool v);
    Value(int v);
    Value(long v);
    Value(long long v);
    Value(unsigned v);
    Value(unsigned long v);
    Value(unsigned long long v);
    Value(double v);
    Value(const char* v);
    Value(std::string v);
    Value(Data v);
    Value(Date v);
    Value(Array v);
    Value(Dictionary v);

    Type type() const;
    bool isNull() const { return type() == Type::Null; }
    bool isNumber() const;  // bool, integer or real

    // Lenient readers, as user defaults read: numbers convert between each
    // other; a string is parsed as a number ("12" reads 12, "YES"/"true" as
    // true); anything else reads 0, false or an empty value.
    bool boolValue() const;
    // An integer beyond the signed 64-bit range (up to 2^64 - 1, as property
    // lists hold) reads as the largest signed value here; stringValue() and
    // wideIntegerValue() give it exactly.
    std::int64_t integerValue() const;
    double doubleValue() const;
    std::string stringValue() const;  // strings only (numbers are formatted)

    // An integer beyond the signed 64-bit range, exactly; nullopt for any
    // other value.
    std::optional<std::uint64_t> wideIntegerValue() const;

    // Exact access; the typed pointer is null when the type differs.
    const std::string* asString() const;
    const Data* asData() const;
    const Date* asDate() const;
    const Array* asArray() const;
    Array* asArray();
    const Dictionary* asDictionary() const;
    Dictionary* asDictionary();

    // Dictionary shorthand: a missing key (or a non-dictionary) reads null.
    const Value& operator[](const std::string& key) const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }
    std::string description() const;

    // Property lists. Reading auto-detects XML and binary ("bplist00");
    // malformed input gives std::nullopt and, when error is given, why.
    // Writing leaves null values out (a null root becomes an empty
    // dictionary). Integers span -2^63 to 2^64 - 1 in both forms (values
    // beyond read as the nearest end). Dates span some 31,700 years either
    // side of 2001 in both forms, and keep fractions of a second in binary
    // only; XML keeps whole seconds (rounded down) and cannot hold control
    // characters (but tab and line breaks) nor U+FFFE and U+FFFF, so stores
    // that must lose nothing write binary. The sign of a zero is kept in
    // both forms, and XML writes a carriage return as a character
    // reference, which every reader gets back unchanged. Text
    // that is not valid UTF-8 is written with U+FFFD for each bad byte; a
    // value that cannot be written so that it reads back (a NUL in a string
    // or key, or a character XML cannot carry) makes the write fail: the
    // checked forms answer std::nullopt and why, the plain forms raise
    // NSInvalidArgumentException.
    // A binary list keeps every value that can be read: one that cannot (a
    // string holding a NUL, a dangling reference) is left out of its
    // container and, when dropped is given, described there (at most 100).
    static std::optional<Value> fromPlist(const Data& bytes, std::string* error = nullptr,
                                          std::vector<std::string>* dropped = nullptr);
    std::optional<std::string> toXMLPlist(std::string* error) const;
    std::optional<Data> toBinaryPlist(std::string* error) const;
    std::string toXMLPlist() const;
    Data toBinaryPlist() const;

    struct Storage;

private:
    std::shared_ptr<const Storage> s_;
};

inline std::size_t Dictionary::size() const { return items_.size(); }
inline bool Dictionary::empty() const { return items_.empty(); }
inline void Dictionary::clear() { items_.clear(); }
inline Dictionary::Items::const_iterator Dictionary::begin() const { return items_.begin(); }
inline Dictionary::Items::const_iterator Dictionary::end() const { return items_.end(); }

}  // namespace base
