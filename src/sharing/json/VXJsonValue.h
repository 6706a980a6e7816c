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
// The parser builds each document in a region of memory of its own
// (VXJsonArena.h): every array and object at its final size, every string
// and key as bare characters. A value is 24 bytes and holds an array's,
// object's or string's pointer and size itself, so a parsed container costs
// its elements and a small header, nothing more. The first write to a
// container of a parsed document moves it to the ordinary heap.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/base/Decimal.h"
#include "sharing/json/VXJsonArena.h"

// What the block of a list's elements holds before them.
struct VXJsonListHeader {
    union {
        // A block on the heap: how many lists share it (changed only through
        // std::atomic_ref).
        long refs;
        // A block in a region: the region.
        VXJsonArena* arena;
    };
    // A table that finds an object's keys (see VXJsonObject), or null.
    std::uint32_t* index;
};

// The elements of an array or the items of an object: a pointer and a size,
// like a vector whose block is shared between copies and copied on the
// first change (each changing member copies a shared block first). A list
// the parser made lies in the document's region and is never changed there.
// Elements move between blocks byte for byte: values and keys hold no
// pointers into themselves.
template <class T>
class VXJsonList {
public:
    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    VXJsonList() noexcept = default;
    VXJsonList(std::initializer_list<T> items) {
        reserve(items.size());
        for (const T& item : items) new (data_ + size_++) T(item);
    }
    VXJsonList(const VXJsonList& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
        retain();
    }
    VXJsonList(VXJsonList&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    VXJsonList& operator=(const VXJsonList& other) noexcept {
        VXJsonList copy(other);
        swap(copy);
        return *this;
    }
    VXJsonList& operator=(VXJsonList&& other) noexcept {
        VXJsonList taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~VXJsonList() { release(); }

    void swap(VXJsonList& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t capacity() const { return inRegion() ? size_ : capacity_; }
    std::size_t max_size() const { return regionMark - 1; }

    const T* data() const { return data_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    const T* cbegin() const { return data_; }
    const T* cend() const { return data_ + size_; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    const T& at(std::size_t i) const {
        if (i >= size_) throw std::out_of_range("VXJsonList::at");
        return data_[i];
    }
    const T& front() const { return data_[0]; }
    const T& back() const { return data_[size_ - 1]; }

    // The changing members: each makes the block this list's own first.
    T* data() {
        detach();
        return data_;
    }
    T* begin() { return data(); }
    T* end() { return data() + size_; }
    T& operator[](std::size_t i) { return data()[i]; }
    T& at(std::size_t i) {
        if (i >= size_) throw std::out_of_range("VXJsonList::at");
        return data()[i];
    }
    T& front() { return data()[0]; }
    T& back() { return data()[size_ - 1]; }

    void reserve(std::size_t n) {
        if (n > max_size()) throw std::length_error("VXJsonList::reserve");
        if (n > capacity() || !unique()) reallocate(std::max<std::size_t>(n, size_));
    }
    void push_back(const T& v) { emplace_back(v); }
    void push_back(T&& v) { emplace_back(std::move(v)); }
    template <class... Args>
    T& emplace_back(Args&&... args) {
        // Made before the block may move: the arguments may lie in it.
        T v(std::forward<Args>(args)...);
        makeRoom();
        T* slot = data_ + size_;
        new (slot) T(std::move(v));
        ++size_;
        return *slot;
    }
    void pop_back() {
        detach();
        data_[--size_].~T();
    }
    T* insert(const T* pos, T v) {
        const std::size_t i = static_cast<std::size_t>(pos - data_);
        makeRoom();
        T* p = data_ + i;
        if (i < size_) std::memmove(static_cast<void*>(p + 1), static_cast<const void*>(p), (size_ - i) * sizeof(T));
        new (p) T(std::move(v));
        ++size_;
        return p;
    }
    T* erase(const T* pos) { return erase(pos, pos + 1); }
    T* erase(const T* first, const T* last) {
        const std::size_t i = static_cast<std::size_t>(first - data_);
        const std::size_t n = static_cast<std::size_t>(last - first);
        if (n == 0) return data() + i;
        detach();
        T* p = data_ + i;
        for (std::size_t k = 0; k < n; ++k) p[k].~T();
        std::memmove(static_cast<void*>(p), static_cast<const void*>(p + n), (size_ - i - n) * sizeof(T));
        size_ -= static_cast<std::uint32_t>(n);
        return p;
    }
    void clear() {
        VXJsonList old;
        swap(old);
    }

    // Whether the block lies in a parsed document's region.
    bool inRegion() const { return capacity_ == regionMark; }

private:
    friend class VXJsonParser;
    friend class VXJsonObject;
    friend class VXJsonValue;
    static constexpr std::uint32_t regionMark = 0xFFFFFFFF;

    // A list the parser laid out in its region; it takes no reference, as it
    // lies in the region itself (or on the parser's stack, on its way there).
    static VXJsonList inRegion(T* data, std::size_t size) noexcept {
        VXJsonList list;
        list.data_ = data;
        list.size_ = static_cast<std::uint32_t>(size);
        list.capacity_ = regionMark;
        return list;
    }
    VXJsonListHeader* header() const { return reinterpret_cast<VXJsonListHeader*>(data_) - 1; }
    static long& refsOf(VXJsonListHeader* h) { return h->refs; }
    // No other list shares the block, and it is on the heap: it may change.
    bool unique() const {
        return !data_ || (!inRegion() && std::atomic_ref<long>(refsOf(header())).load(std::memory_order_acquire) == 1);
    }
    void retain() noexcept {
        if (!data_) return;
        if (inRegion()) header()->arena->retain();
        else std::atomic_ref<long>(refsOf(header())).fetch_add(1, std::memory_order_relaxed);
    }
    void release() noexcept {
        if (!data_) return;
        if (inRegion()) header()->arena->release();
        else if (std::atomic_ref<long>(refsOf(header())).fetch_sub(1, std::memory_order_acq_rel) == 1) freeBlock();
        data_ = nullptr;
        size_ = capacity_ = 0;
    }
    void freeBlock() noexcept {
        VXJsonListHeader* h = header();
        for (std::size_t i = 0; i < size_; ++i) data_[i].~T();
        ::operator delete(h->index);
        ::operator delete(h);
    }
    void detach() {
        if (!unique()) reallocate(size_);
    }
    void makeRoom() {
        if (size_ >= max_size()) throw std::length_error("VXJsonList: too many elements");
        if (!unique() || size_ == capacity_) reallocate(std::max<std::size_t>(4, 2 * static_cast<std::size_t>(size_)));
        else if (!data_) reallocate(4);
    }
    // Moves the elements to a heap block of their own with room for
    // `capacity`: byte for byte from a block only this list holds, by copy
    // from a shared one. The key table goes along.
    void reallocate(std::size_t capacity) {
        if (capacity == 0) {
            clear();
            return;
        }
        auto* h = static_cast<VXJsonListHeader*>(::operator new(sizeof(VXJsonListHeader) + capacity * sizeof(T)));
        h->refs = 1;
        h->index = nullptr;
        T* data = reinterpret_cast<T*>(h + 1);
        if (data_) {
            VXJsonListHeader* old = header();
            if (unique()) {
                std::memcpy(static_cast<void*>(data), static_cast<const void*>(data_), size_ * sizeof(T));
                h->index = old->index;
                ::operator delete(old);
            } else {
                std::size_t made = 0;
                try {
                    for (; made < size_; ++made) new (data + made) T(data_[made]);
                    if (old->index) {
                        const std::size_t bytes = (old->index[0] + 2) * sizeof(std::uint32_t);
                        h->index = static_cast<std::uint32_t*>(::operator new(bytes));
                        std::memcpy(h->index, old->index, bytes);
                    }
                } catch (...) {
                    for (std::size_t i = 0; i < made; ++i) data[i].~T();
                    ::operator delete(h);
                    throw;
                }
                const std::uint32_t size = size_;
                release();
                size_ = size;
            }
        }
        data_ = data;
        capacity_ = static_cast<std::uint32_t>(capacity);
    }

    T* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;  // regionMark for a block in a region
};

class VXJsonValue;
using VXJsonArray = VXJsonList<VXJsonValue>;

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
    VXJsonKey() noexcept = default;
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
        if (!isShared()) ::operator delete(const_cast<char*>(block_));
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
    // A shared block, which the key does not free, is marked by an address
    // one byte past its start (blocks are aligned, so the low bit is free).
    struct Shared {};
    static const char* tagShared(const Header* block) noexcept { return reinterpret_cast<const char*>(block) + 1; }
    bool isShared() const noexcept { return (reinterpret_cast<std::uintptr_t>(block_) & 1) != 0; }
    // A block the region keeps: a header, the text and a zero byte.
    VXJsonKey(const Header* block, Shared) noexcept : block_(tagShared(block)) {}
    const Header* header() const {
        if (!block_) return &emptyBlock.header;
        return reinterpret_cast<const Header*>(isShared() ? block_ - 1 : block_);
    }
    // The text of a key with no block: an empty key, or one moved from.
    struct EmptyBlock {
        Header header;
        char zero;
    };
    static const EmptyBlock emptyBlock;

    const char* block_ = nullptr;  // null for the empty key
};

class VXJsonObject {
public:
    using Item = std::pair<VXJsonKey, VXJsonValue>;
    using Items = VXJsonList<Item>;

    VXJsonObject() = default;
    VXJsonObject(std::initializer_list<Item> items);
    // Takes the items as they are, except that a later duplicate key
    // replaces the value of the earlier one where it stands.
    explicit VXJsonObject(Items items);

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    bool contains(std::string_view key) const { return indexOf(key) != npos; }
    // Null when missing.
    const VXJsonValue* find(std::string_view key) const;
    VXJsonValue* find(std::string_view key);
    // Replaces the value of an existing key where it stands, or appends.
    void set(std::string_view key, VXJsonValue value);
    bool remove(std::string_view key);
    void clear() { items_.clear(); }
    std::vector<std::string> keys() const;

    const Item* begin() const { return items_.begin(); }
    const Item* end() const { return items_.end(); }
    const Items& items() const { return items_; }

private:
    friend class VXJsonValue;
    friend class VXJsonParser;
    friend class VXJsonWriter;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    // Small objects are searched in order; larger ones get a table of their
    // keys, hung off the items' block: open addressing over item numbers
    // plus one (0 for a free slot), slot count a power of two at least
    // twice the items, table[0] the slot count minus one.
    static constexpr std::size_t indexThreshold = 12;
    static std::size_t hashKey(std::string_view key) { return std::hash<std::string_view>()(key); }
    static std::size_t tableSlots(std::size_t items);
    // Enters item i in the table; the number of the item already there with
    // the same key, or npos.
    static std::size_t enter(std::uint32_t* table, const Item* items, std::size_t i);
    std::size_t indexOf(std::string_view key) const;
    void rebuildIndex();

    Items items_;
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
    VXJsonValue(const char* v) : v_(std::string_view(v)) {}
    VXJsonValue(const std::string& v) : v_(std::string_view(v)) {}
    VXJsonValue(std::string_view v) : v_(v) {}
    VXJsonValue(VXJsonArray v) : v_(std::move(v)) {}
    VXJsonValue(VXJsonObject v) : v_(std::move(v)) {}
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

    // Exact access: null (nullopt) when the type differs. The mutable forms
    // detach a shared array or object first. A string is changed by
    // assigning a new value.
    const bool* asBool() const { return v_.asBool(); }
    const base::Decimal* asNumber() const { return v_.asNumber(); }
    std::optional<std::string_view> asString() const { return v_.asString(); }
    const VXJsonArray* asArray() const { return v_.asArray(); }
    VXJsonArray* asArray();
    const VXJsonObject* asObject() const { return v_.asObject(); }
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
    using CustomPtr = std::shared_ptr<const VXJsonCustom>;

    // One of the seven kinds of value, tagged by Type, in 24 bytes: the
    // payload in the first 20 (a decimal fills them), the tag and flags
    // after it. A string is its characters' address and length, and the
    // region they lie in (none for characters on the heap, which the string
    // owns). Every kind of value can be moved by copying its bytes: the
    // parser's stacks and containers move values without touching them one
    // by one.
    class Storage {
    public:
        Storage() noexcept {}
        Storage(bool v) noexcept : tag_(Type::Bool) { *reinterpret_cast<bool*>(raw_) = v; }
        Storage(const base::Decimal& v) noexcept : tag_(Type::Number) { new (raw_) base::Decimal(v); }
        Storage(std::string_view v) : tag_(Type::String) { setHeapString(v); }
        Storage(VXJsonArray v) noexcept : tag_(Type::Array) { new (raw_) VXJsonArray(std::move(v)); }
        Storage(VXJsonObject v) noexcept : tag_(Type::Object) { new (raw_) VXJsonObject(std::move(v)); }
        Storage(CustomPtr v) noexcept : tag_(Type::Custom) { new (raw_) CustomPtr(std::move(v)); }
        Storage(const Storage& other) : tag_(other.tag_) { copyFrom(other); }
        Storage(Storage&& other) noexcept { relocateFrom(other); }
        Storage& operator=(const Storage&) = delete;
        Storage& operator=(Storage&&) = delete;
        ~Storage() { destroy(); }

        // A string the parser made (and checked) in its region; it takes no
        // reference to the region.
        static Storage regionString(const char* chars, std::size_t size, VXJsonArena* arena) noexcept {
            Storage s;
            s.tag_ = Type::String;
            s.flags_ = validText;
            s.setString(chars, size, arena);
            return s;
        }

        Type type() const { return tag_; }
        void reset() noexcept {
            destroy();
            tag_ = Type::Null;
            flags_ = 0;
        }
        // Every kind of value moves byte for byte, so two values swap so.
        void swap(Storage& other) noexcept {
            alignas(Storage) unsigned char taken[sizeof(Storage)];
            std::memcpy(taken, static_cast<const void*>(&other), sizeof(Storage));
            std::memcpy(static_cast<void*>(&other), static_cast<const void*>(this), sizeof(Storage));
            std::memcpy(static_cast<void*>(this), taken, sizeof(Storage));
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
        std::optional<std::string_view> asString() const {
            if (tag_ != Type::String) return std::nullopt;
            return string();
        }
        const VXJsonArray* asArray() const { return tag_ == Type::Array ? pointer<VXJsonArray>() : nullptr; }
        VXJsonArray* asArray() { return tag_ == Type::Array ? pointer<VXJsonArray>() : nullptr; }
        const VXJsonObject* asObject() const { return tag_ == Type::Object ? pointer<VXJsonObject>() : nullptr; }
        VXJsonObject* asObject() { return tag_ == Type::Object ? pointer<VXJsonObject>() : nullptr; }
        const CustomPtr* asCustom() const { return tag_ == Type::Custom ? pointer<CustomPtr>() : nullptr; }

        // A string known to be well-formed UTF-8 (the parser checked it, or
        // it was copied from one that was).
        bool hasValidText() const { return (flags_ & validText) != 0; }
        // Whether the value points into a parsed document's region.
        bool inRegion() const {
            switch (tag_) {
            case Type::String: return stringArena() != nullptr;
            case Type::Array: return pointer<VXJsonArray>()->inRegion();
            case Type::Object: return pointer<VXJsonObject>()->items().inRegion();
            default: return false;
            }
        }
        // Where a string's characters lie, for a look ahead.
        const char* stringData() const {
            const char* chars;
            std::memcpy(&chars, raw_, sizeof chars);
            return chars;
        }

    private:
        static constexpr std::uint8_t validText = 1;
        // Where a string keeps its parts in raw_.
        static constexpr std::size_t arenaAt = 8;
        static constexpr std::size_t sizeAt = 16;

        base::Decimal* decimal() { return std::launder(reinterpret_cast<base::Decimal*>(raw_)); }
        const base::Decimal* decimal() const { return std::launder(reinterpret_cast<const base::Decimal*>(raw_)); }
        std::string_view string() const {
            std::uint32_t size;
            std::memcpy(&size, raw_ + sizeAt, sizeof size);
            return {stringData(), size};
        }
        VXJsonArena* stringArena() const {
            VXJsonArena* arena;
            std::memcpy(&arena, raw_ + arenaAt, sizeof(void*));
            return arena;
        }
        void setString(const char* chars, std::size_t size, VXJsonArena* arena) noexcept {
            const auto size32 = static_cast<std::uint32_t>(size);
            std::memcpy(raw_, &chars, sizeof chars);
            std::memcpy(raw_ + arenaAt, &arena, sizeof(void*));
            std::memcpy(raw_ + sizeAt, &size32, sizeof size32);
        }
        // The string's own copy of the characters, on the heap.
        void setHeapString(std::string_view v) {
            if (v.size() > 0xFFFFFFFFu) throw std::length_error("VXJsonValue: string too long");
            char* chars = nullptr;
            if (!v.empty()) {
                chars = static_cast<char*>(::operator new(v.size()));
                std::memcpy(chars, v.data(), v.size());
            }
            setString(chars, v.size(), nullptr);
        }
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
                // Characters in a region are shared (the copy holds a
                // reference to the region); those on the heap are copied.
                if (VXJsonArena* arena = other.stringArena()) {
                    arena->retain();
                    std::memcpy(raw_, other.raw_, sizeof raw_);
                } else {
                    setHeapString(other.string());
                }
                flags_ = other.flags_ & validText;
                break;
            case Type::Array: new (raw_) VXJsonArray(*other.pointer<VXJsonArray>()); break;
            case Type::Object: new (raw_) VXJsonObject(*other.pointer<VXJsonObject>()); break;
            case Type::Custom: new (raw_) CustomPtr(*other.pointer<CustomPtr>()); break;
            }
        }
        void destroy() noexcept {
            switch (tag_) {
            case Type::Null:
            case Type::Bool:
            case Type::Number: break;
            case Type::String:
                if (VXJsonArena* arena = stringArena()) arena->release();
                else ::operator delete(const_cast<char*>(stringData()));
                break;
            case Type::Array: pointer<VXJsonArray>()->~VXJsonArray(); break;
            case Type::Object: pointer<VXJsonObject>()->~VXJsonObject(); break;
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
    explicit VXJsonValue(Storage&& s) noexcept : v_(std::move(s)) {}
    // Frees the array or object held: by plain recursion while the nesting
    // is shallow, else through releaseChildren.
    void releaseContainer();
    // Takes apart, without recursion, the arrays and objects that only this
    // value still holds.
    void releaseChildren();
    Storage v_;
};

static_assert(sizeof(VXJsonValue) == 24, "a value is a decimal's 20 bytes and its tag");
static_assert(sizeof(VXJsonArray) == 16 && sizeof(VXJsonObject) == 16, "a container fits in a value");
static_assert(sizeof(VXJsonObject::Item) == 32, "an item is a key's pointer and a value");
