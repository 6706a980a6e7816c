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
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
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

// An object's key: its text in a block of its own, so that an item is a
// pointer and a value. A key the program makes owns its block (a copy is a
// copy of the text); a key the parser makes lies in the document's region,
// shared by every object of the document that has the same key.
class VXJsonKey {
public:
    VXJsonKey() noexcept : block_(reinterpret_cast<std::uintptr_t>(&emptyBlock) | shared) {}
    VXJsonKey(std::string_view text);
    VXJsonKey(const std::string& text) : VXJsonKey(std::string_view(text)) {}
    VXJsonKey(const char* text) : VXJsonKey(std::string_view(text)) {}
    VXJsonKey(const VXJsonKey& other) : VXJsonKey(other.view()) {}
    VXJsonKey(VXJsonKey&& other) noexcept : VXJsonKey() { std::swap(block_, other.block_); }
    VXJsonKey& operator=(const VXJsonKey& other) {
        VXJsonKey copy(other);
        std::swap(block_, copy.block_);
        return *this;
    }
    VXJsonKey& operator=(VXJsonKey&& other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }
    ~VXJsonKey() {
        if (!(block_ & shared)) ::operator delete(reinterpret_cast<void*>(block_));
    }

    std::size_t size() const { return header()->size; }
    bool empty() const { return size() == 0; }
    const char* data() const { return reinterpret_cast<const char*>(header() + 1); }
    std::string_view view() const { return std::string_view(data(), size()); }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    operator std::string() const { return str(); }

    friend bool operator==(const VXJsonKey& a, const VXJsonKey& b) {
        return a.block_ == b.block_ || a.view() == b.view();
    }
    friend bool operator==(const VXJsonKey& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const VXJsonKey& a, const std::string& b) { return a.view() == b; }
    friend bool operator==(const VXJsonKey& a, const char* b) { return a.view() == b; }
    friend bool operator<(const VXJsonKey& a, const VXJsonKey& b) { return a.view() < b.view(); }
    friend std::ostream& operator<<(std::ostream& out, const VXJsonKey& key) { return out << key.view(); }

private:
    friend class VXJsonParser;
    struct Header {
        std::uint32_t size;
    };
    // The low bit of the block's address marks a shared block, which the
    // key does not free.
    static constexpr std::uintptr_t shared = 1;
    struct Shared {};
    // A block the region keeps: a header, the text and a zero byte.
    VXJsonKey(const Header* block, Shared) noexcept : block_(reinterpret_cast<std::uintptr_t>(block) | shared) {}
    const Header* header() const { return reinterpret_cast<const Header*>(block_ & ~shared); }
    // The text of an empty key, and of a key moved from.
    struct EmptyBlock {
        Header header;
        char zero;
    };
    static const EmptyBlock emptyBlock;

    std::uintptr_t block_ = 0;
};

class VXJsonObject {
public:
    using Item = std::pair<VXJsonKey, VXJsonValue>;
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
    friend class VXJsonWriter;
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
    enum class Type : unsigned char { Null, Bool, Number, String, Array, Object, Custom };

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
    requires std::is_base_of_v<VXJsonCustom, T> VXJsonValue(std::shared_ptr<T> v) : v_(customStorage(std::move(v))) {}

    VXJsonValue(const VXJsonValue&) = default;
    VXJsonValue(VXJsonValue&&) noexcept = default;
    // Moving leaves the value moved from null.
    VXJsonValue& operator=(const VXJsonValue& other);
    VXJsonValue& operator=(VXJsonValue&& other) noexcept;
    ~VXJsonValue() {
        if (v_.type() == Type::Array || v_.type() == Type::Object) releaseContainer();
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
    // The caller may change the string: it is no longer known to be valid.
    std::string* asString() {
        v_.forgetValidText();
        return v_.asString();
    }
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
    friend class VXJsonWriter;
    using ArrayPtr = std::shared_ptr<VXJsonArray>;
    using ObjectPtr = std::shared_ptr<VXJsonObject>;
    using CustomPtr = std::shared_ptr<const VXJsonCustom>;

    // One of the seven kinds of value, tagged by Type, in 24 bytes: the
    // payload in the first 20 (a decimal fills them), the tag and flags
    // after it. A string lives in a block of its own (in the document's
    // region when the parser made it), so that every kind of value can be
    // moved by copying its bytes: the parser's stacks and arrays move
    // values without touching them one by one.
    class Storage {
    public:
        // Tells the string constructor that the string was made in a region.
        struct InRegion {};

        Storage() noexcept {}
        Storage(bool v) noexcept : tag_(Type::Bool) { *reinterpret_cast<bool*>(raw_) = v; }
        Storage(const base::Decimal& v) noexcept : tag_(Type::Number) { new (raw_) base::Decimal(v); }
        Storage(std::string v) : tag_(Type::String) { setString(new std::string(std::move(v))); }
        // A string the parser made (and checked) in its region.
        Storage(std::string* v, InRegion) noexcept : tag_(Type::String), flags_(inRegion | validText) { setString(v); }
        Storage(ArrayPtr v) noexcept : tag_(Type::Array) { new (raw_) ArrayPtr(std::move(v)); }
        Storage(ObjectPtr v) noexcept : tag_(Type::Object) { new (raw_) ObjectPtr(std::move(v)); }
        Storage(CustomPtr v) noexcept : tag_(Type::Custom) { new (raw_) CustomPtr(std::move(v)); }
        Storage(const Storage& other) : tag_(other.tag_) { copyFrom(other); }
        Storage(Storage&& other) noexcept { relocateFrom(other); }
        Storage& operator=(const Storage&) = delete;
        Storage& operator=(Storage&&) = delete;
        ~Storage() { destroy(); }

        std::size_t index() const { return static_cast<std::size_t>(tag_); }
        Type type() const { return tag_; }
        void reset() noexcept {
            destroy();
            tag_ = Type::Null;
            flags_ = 0;
        }
        void swap(Storage& other) noexcept {
            Storage taken(std::move(other));
            other.relocateFrom(*this);
            relocateFrom(taken);
        }
        // Takes over the value of `other` byte for byte; `other` is left
        // null. This storage must hold nothing that needs freeing.
        void relocateFrom(Storage& other) noexcept {
            std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof(Storage));
            other.tag_ = Type::Null;
            other.flags_ = 0;
        }

        const bool* asBool() const { return tag_ == Type::Bool ? reinterpret_cast<const bool*>(raw_) : nullptr; }
        const base::Decimal* asNumber() const { return tag_ == Type::Number ? decimal() : nullptr; }
        base::Decimal* asNumber() { return tag_ == Type::Number ? decimal() : nullptr; }
        const std::string* asString() const { return tag_ == Type::String ? string() : nullptr; }
        std::string* asString() { return tag_ == Type::String ? string() : nullptr; }
        const ArrayPtr* asArray() const { return tag_ == Type::Array ? pointer<ArrayPtr>() : nullptr; }
        ArrayPtr* asArray() { return tag_ == Type::Array ? pointer<ArrayPtr>() : nullptr; }
        const ObjectPtr* asObject() const { return tag_ == Type::Object ? pointer<ObjectPtr>() : nullptr; }
        ObjectPtr* asObject() { return tag_ == Type::Object ? pointer<ObjectPtr>() : nullptr; }
        const CustomPtr* asCustom() const { return tag_ == Type::Custom ? pointer<CustomPtr>() : nullptr; }

        // A string known to be well-formed UTF-8 (the parser checked it and
        // nobody has had a way to change it since).
        bool hasValidText() const { return (flags_ & validText) != 0; }
        void forgetValidText() { flags_ = static_cast<std::uint8_t>(flags_ & ~validText); }
        void setValidText() { flags_ = static_cast<std::uint8_t>(flags_ | validText); }

    private:
        static constexpr std::uint8_t inRegion = 1;
        static constexpr std::uint8_t validText = 2;

        base::Decimal* decimal() { return std::launder(reinterpret_cast<base::Decimal*>(raw_)); }
        const base::Decimal* decimal() const { return std::launder(reinterpret_cast<const base::Decimal*>(raw_)); }
        std::string* string() const {
            std::string* s;
            std::memcpy(&s, raw_, sizeof s);
            return s;
        }
        void setString(std::string* s) { std::memcpy(raw_, &s, sizeof s); }
        template <class P>
        P* pointer() {
            return std::launder(reinterpret_cast<P*>(raw_));
        }
        template <class P>
        const P* pointer() const {
            return std::launder(reinterpret_cast<const P*>(raw_));
        }

        void copyFrom(const Storage& other) {
            switch (tag_) {
            case Type::Null: break;
            case Type::Bool:
            case Type::Number: std::memcpy(raw_, other.raw_, sizeof raw_); break;
            case Type::String:
                // A copy is the copier's own, on the heap; it is as valid as
                // what it copies.
                setString(new std::string(*other.string()));
                flags_ = other.flags_ & validText;
                break;
            case Type::Array: new (raw_) ArrayPtr(*other.pointer<ArrayPtr>()); break;
            case Type::Object: new (raw_) ObjectPtr(*other.pointer<ObjectPtr>()); break;
            case Type::Custom: new (raw_) CustomPtr(*other.pointer<CustomPtr>()); break;
            }
        }
        void destroy() noexcept {
            switch (tag_) {
            case Type::Null:
            case Type::Bool:
            case Type::Number: break;
            case Type::String:
                // A string in a region gives back its characters; its own
                // block goes with the region.
                if (flags_ & inRegion) string()->~basic_string();
                else delete string();
                break;
            case Type::Array: pointer<ArrayPtr>()->~ArrayPtr(); break;
            case Type::Object: pointer<ObjectPtr>()->~ObjectPtr(); break;
            case Type::Custom: pointer<CustomPtr>()->~CustomPtr(); break;
            }
        }

        alignas(8) unsigned char raw_[sizeof(base::Decimal)];
        Type tag_ = Type::Null;
        std::uint8_t flags_ = 0;
    };

    static Storage customStorage(std::shared_ptr<const VXJsonCustom> v) {
        return v ? Storage(std::move(v)) : Storage();
    }
    explicit VXJsonValue(ArrayPtr v) : v_(std::move(v)) {}
    VXJsonValue(std::string* regionString, Storage::InRegion tag) : v_(regionString, tag) {}
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

static_assert(sizeof(VXJsonValue) == 24, "a value is a decimal's 20 bytes and its tag");
static_assert(sizeof(VXJsonObject::Item) == 32, "an item is a key's pointer and a value");

inline std::size_t VXJsonObject::size() const { return items_.size(); }
inline bool VXJsonObject::empty() const { return items_.empty(); }
inline VXJsonObject::Items::const_iterator VXJsonObject::begin() const { return items_.begin(); }
inline VXJsonObject::Items::const_iterator VXJsonObject::end() const { return items_.end(); }
