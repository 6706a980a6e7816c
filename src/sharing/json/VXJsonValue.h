#pragma once
// The values the JSON parser produces and the writer consumes: null, a
// boolean, an exact decimal number, a UTF-8 string, an array, an object
// (string keys in insertion order; setting an existing key replaces its
// value in place), or an application object that offers a stand-in value for
// the writer (VXJsonCustom).
//
// Arrays and objects are shared between copies and copied on the first
// write, so copying a value is cheap. However deeply values nest, copying,
// comparing and destroying them never recurse deeply on the machine stack.
//
// The parser builds each array and object in one go, at its final size, in
// a region of memory that the whole document shares (VXJsonArena.h); the
// first write to such a container moves it to the ordinary heap.
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <new>
#include <vector>

#include "platform/base/Decimal.h"
#include "sharing/json/VXJsonArena.h"

class VXJsonValue;
using VXJsonArray = std::vector<VXJsonValue, VXJsonAllocator<VXJsonValue>>;

// An application object handed to the writer. proxyForJson() gives the
// value written in its place; nullopt (the default) means the object has no
// JSON form and the writer refuses it. A proxy chain must end: an object
// whose proxy leads back to itself is not written.
class VXJsonCustom {
public:
    virtual ~VXJsonCustom() = default;
    // The name used in the writer's error message.
    virtual std::string className() const = 0;
    virtual std::optional<VXJsonValue> proxyForJson() const;
};

class VXJsonObject {
public:
    using Item = std::pair<std::string, VXJsonValue>;
    using Items = std::vector<Item, VXJsonAllocator<Item>>;

    VXJsonObject() = default;
    VXJsonObject(std::initializer_list<Item> items);
    // Takes the items as they are, except that a later duplicate key
    // replaces the value of the earlier one where it stands.
    explicit VXJsonObject(Items items);
    VXJsonObject(const VXJsonObject& other);
    VXJsonObject(VXJsonObject&& other) noexcept;
    VXJsonObject& operator=(const VXJsonObject& other);
    VXJsonObject& operator=(VXJsonObject&& other) noexcept;
    ~VXJsonObject();

    // Defined below VXJsonValue: the items' type is complete only there.
    std::size_t size() const;
    bool empty() const;
    bool contains(std::string_view key) const { return indexOf(key) != npos; }
    // Null when missing.
    const VXJsonValue* find(std::string_view key) const;
    VXJsonValue* find(std::string_view key);
    // Replaces the value of an existing key where it stands, or appends.
    void set(std::string key, VXJsonValue value);
    bool remove(std::string_view key);
    void clear();
    std::vector<std::string> keys() const;

    Items::const_iterator begin() const;
    Items::const_iterator end() const;
    const Items& items() const { return items_; }

private:
    friend class VXJsonValue;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    // Small objects are searched in order; larger ones get a hash index.
    static constexpr std::size_t indexThreshold = 12;
    std::size_t indexOf(std::string_view key) const;
    void rebuildIndex();
    bool onHeap() const { return items_.get_allocator().arena() == nullptr; }

    Items items_;
    std::unique_ptr<std::unordered_map<std::string, std::size_t>> index_;
};

class VXJsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object, Custom };

    VXJsonValue() = default;
    VXJsonValue(std::nullptr_t) {}
    VXJsonValue(bool v) : v_(v) {}
    VXJsonValue(int v) : v_(base::Decimal::fromInteger(v)) {}
    VXJsonValue(long v) : v_(base::Decimal::fromInteger(v)) {}
    VXJsonValue(long long v) : v_(base::Decimal::fromInteger(v)) {}
    VXJsonValue(unsigned v) : v_(base::Decimal::fromUnsigned(v)) {}
    VXJsonValue(unsigned long v) : v_(base::Decimal::fromUnsigned(v)) {}
    VXJsonValue(unsigned long long v) : v_(base::Decimal::fromUnsigned(v)) {}
    // A non-finite double becomes the not-a-number decimal, which the writer
    // refuses.
    VXJsonValue(double v) : v_(base::Decimal::fromDouble(v)) {}
    VXJsonValue(const base::Decimal& v) : v_(v) {}
    VXJsonValue(const char* v) : v_(std::string(v)) {}
    VXJsonValue(std::string v) : v_(std::move(v)) {}
    VXJsonValue(std::string_view v) : v_(std::string(v)) {}
    VXJsonValue(VXJsonArray v);
    VXJsonValue(VXJsonObject v);
    // An application object; a null pointer is null.
    template <class T>
        requires std::is_base_of_v<VXJsonCustom, T>
    VXJsonValue(std::shared_ptr<T> v) : v_(customStorage(std::move(v))) {}

    VXJsonValue(const VXJsonValue&) = default;
    VXJsonValue(VXJsonValue&&) noexcept = default;
    VXJsonValue& operator=(const VXJsonValue& other);
    VXJsonValue& operator=(VXJsonValue&& other) noexcept;
    ~VXJsonValue() {
        if (v_.type() == Type::Array || v_.type() == Type::Object)
            releaseContainer();
    }

    Type type() const { return v_.type(); }
    bool isNull() const { return type() == Type::Null; }
    bool isBool() const { return type() == Type::Bool; }
    bool isNumber() const { return type() == Type::Number; }
    bool isString() const { return type() == Type::String; }
    bool isArray() const { return type() == Type::Array; }
    bool isObject() const { return type() == Type::Object; }
    // An array or an object: what a JSON text may hold at its top.
    bool isContainer() const { return isArray() || isObject(); }

    // Exact access: null when the type differs. The mutable forms detach a
    // shared array or object first.
    const bool* asBool() const { return v_.asBool(); }
    const base::Decimal* asNumber() const { return v_.asNumber(); }
    const std::string* asString() const { return v_.asString(); }
    std::string* asString() { return v_.asString(); }
    const VXJsonArray* asArray() const;
    VXJsonArray* asArray();
    const VXJsonObject* asObject() const;
    VXJsonObject* asObject();
    const std::shared_ptr<const VXJsonCustom>* asCustom() const { return v_.asCustom(); }

    // Object shorthand: a missing key (or a value that is no object) reads
    // null.
    const VXJsonValue& operator[](std::string_view key) const;

    // By value: numbers compare as decimals (1.0 equals 1), objects ignore
    // the order of their keys, custom objects compare by identity.
    bool operator==(const VXJsonValue& other) const;
    bool operator!=(const VXJsonValue& other) const { return !(*this == other); }

    // A short text for logs and messages (not JSON).
    std::string description() const;

private:
    friend class VXJsonObject;
    friend class VXJsonParser;
    using ArrayPtr = std::shared_ptr<VXJsonArray>;
    using ObjectPtr = std::shared_ptr<VXJsonObject>;
    using CustomPtr = std::shared_ptr<const VXJsonCustom>;

    // One of the seven kinds of value, tagged by Type. Written out rather
    // than a std::variant so that moving and destroying the plain kinds
    // (null, booleans, numbers) costs a test of the tag and no more.
    class Storage {
    public:
        Storage() noexcept {}
        Storage(bool v) noexcept : tag_(Type::Bool) { b_ = v; }
        Storage(const base::Decimal& v) noexcept : tag_(Type::Number) { new (&d_) base::Decimal(v); }
        Storage(std::string v) noexcept : tag_(Type::String) { new (&s_) std::string(std::move(v)); }
        Storage(ArrayPtr v) noexcept : tag_(Type::Array) { new (&a_) ArrayPtr(std::move(v)); }
        Storage(ObjectPtr v) noexcept : tag_(Type::Object) { new (&o_) ObjectPtr(std::move(v)); }
        Storage(CustomPtr v) noexcept : tag_(Type::Custom) { new (&c_) CustomPtr(std::move(v)); }
        Storage(const Storage& other) : tag_(other.tag_) { copyFrom(other); }
        Storage(Storage&& other) noexcept : tag_(other.tag_) { moveFrom(other); }
        Storage& operator=(const Storage&) = delete;
        Storage& operator=(Storage&&) = delete;
        ~Storage() { destroy(); }

        std::size_t index() const { return static_cast<std::size_t>(tag_); }
        Type type() const { return tag_; }
        void reset() noexcept {
            destroy();
            tag_ = Type::Null;
        }
        void swap(Storage& other) noexcept {
            Storage taken(std::move(other));
            other.reset();
            new (&other) Storage(std::move(*this));
            reset();
            new (this) Storage(std::move(taken));
        }

        const bool* asBool() const { return tag_ == Type::Bool ? &b_ : nullptr; }
        const base::Decimal* asNumber() const { return tag_ == Type::Number ? &d_ : nullptr; }
        base::Decimal* asNumber() { return tag_ == Type::Number ? &d_ : nullptr; }
        const std::string* asString() const { return tag_ == Type::String ? &s_ : nullptr; }
        std::string* asString() { return tag_ == Type::String ? &s_ : nullptr; }
        const ArrayPtr* asArray() const { return tag_ == Type::Array ? &a_ : nullptr; }
        ArrayPtr* asArray() { return tag_ == Type::Array ? &a_ : nullptr; }
        const ObjectPtr* asObject() const { return tag_ == Type::Object ? &o_ : nullptr; }
        ObjectPtr* asObject() { return tag_ == Type::Object ? &o_ : nullptr; }
        const CustomPtr* asCustom() const { return tag_ == Type::Custom ? &c_ : nullptr; }

    private:
        void copyFrom(const Storage& other) {
            switch (tag_) {
            case Type::Null: break;
            case Type::Bool: b_ = other.b_; break;
            case Type::Number: new (&d_) base::Decimal(other.d_); break;
            case Type::String: new (&s_) std::string(other.s_); break;
            case Type::Array: new (&a_) ArrayPtr(other.a_); break;
            case Type::Object: new (&o_) ObjectPtr(other.o_); break;
            case Type::Custom: new (&c_) CustomPtr(other.c_); break;
            }
        }
        void moveFrom(Storage& other) noexcept {
            switch (tag_) {
            case Type::Null: break;
            case Type::Bool: b_ = other.b_; break;
            case Type::Number: new (&d_) base::Decimal(other.d_); break;
            case Type::String: new (&s_) std::string(std::move(other.s_)); break;
            case Type::Array: new (&a_) ArrayPtr(std::move(other.a_)); break;
            case Type::Object: new (&o_) ObjectPtr(std::move(other.o_)); break;
            case Type::Custom: new (&c_) CustomPtr(std::move(other.c_)); break;
            }
        }
        void destroy() noexcept {
            switch (tag_) {
            case Type::Null:
            case Type::Bool:
            case Type::Number: break;
            case Type::String: s_.~basic_string(); break;
            case Type::Array: a_.~ArrayPtr(); break;
            case Type::Object: o_.~ObjectPtr(); break;
            case Type::Custom: c_.~CustomPtr(); break;
            }
        }

        union {
            bool b_;
            base::Decimal d_;
            std::string s_;
            ArrayPtr a_;
            ObjectPtr o_;
            CustomPtr c_;
        };
        Type tag_ = Type::Null;
    };

    static Storage customStorage(std::shared_ptr<const VXJsonCustom> v) {
        return v ? Storage(std::move(v)) : Storage();
    }
    explicit VXJsonValue(ArrayPtr v) : v_(std::move(v)) {}
    explicit VXJsonValue(ObjectPtr v) : v_(std::move(v)) {}
    // Frees the array or object held: by plain recursion while the nesting
    // is shallow, else through releaseChildren.
    void releaseContainer();
    static void prefetchRelease(const VXJsonValue& v);
    // Takes apart, without recursion, the arrays and objects that only this
    // value still holds.
    void releaseChildren();
    Storage v_;
};

inline std::size_t VXJsonObject::size() const { return items_.size(); }
inline bool VXJsonObject::empty() const { return items_.empty(); }
inline VXJsonObject::Items::const_iterator VXJsonObject::begin() const { return items_.begin(); }
inline VXJsonObject::Items::const_iterator VXJsonObject::end() const { return items_.end(); }
