#include "sharing/json/VXJsonValue.h"

#include <algorithm>
#include <cstring>

namespace {

// How many containers inside each other are freed by plain recursion before
// the rest is taken apart on a heap stack.
constexpr int recursiveReleaseLimit = 48;
thread_local int releaseDepth = 0;

constexpr std::size_t largestBlock = 4 * 1024 * 1024;
// What a thread keeps of freed blocks for its next document.
constexpr std::size_t maxSpareBytes = 16 * 1024 * 1024;
thread_local std::size_t spareBytes = 0;
// False once the thread's store of spare blocks is gone (at its exit).
thread_local bool spareAlive = true;

bool sameKey(const VXJsonKey& a, const VXJsonKey& b) {
    const std::string_view x = a.view(), y = b.view();
    return x.size() == y.size() && (x.empty() || (x.front() == y.front() && x.back() == y.back())) && x == y;
}

}  // namespace

std::optional<VXJsonValue> VXJsonCustom::proxyForJson() const { return std::nullopt; }

// ---- VXJsonArena ----

VXJsonArena::~VXJsonArena() {
    // A few freed blocks are kept for the next document of this thread, so
    // that parsing one document after another does not hand the same
    // memory back and forth to the system.
    auto& spare = spareBlocks();
    while (blocks_) {
        Block* previous = blocks_->previous;
        if (spareAlive && spareBytes + blocks_->size <= maxSpareBytes) {
            spare.push_back(blocks_);
            spareBytes += blocks_->size;
        } else {
            ::operator delete(blocks_);
        }
        blocks_ = previous;
    }
}

std::vector<VXJsonArena::Block*>& VXJsonArena::spareBlocks() {
    // Freed with the thread.
    struct Spare {
        std::vector<Block*> blocks;
        ~Spare() {
            spareAlive = false;
            for (Block* b : blocks) ::operator delete(b);
        }
    };
    thread_local Spare spare;
    return spare.blocks;
}

void VXJsonArena::grow(std::size_t atLeast) {
    std::size_t size = nextBlockSize_;
    if (size < atLeast) size = atLeast;
    if (nextBlockSize_ < largestBlock) nextBlockSize_ *= 2;
    Block* block = nullptr;
    if (spareAlive && size <= largestBlock) {
        // A block of the right size that an earlier document left behind.
        auto& spare = spareBlocks();
        for (std::size_t i = 0; i < spare.size(); ++i) {
            if (spare[i]->size == size) {
                block = spare[i];
                spare.erase(spare.begin() + static_cast<std::ptrdiff_t>(i));
                spareBytes -= size;
                break;
            }
        }
    }
    if (!block) {
        block = static_cast<Block*>(::operator new(sizeof(Block) + size));
        block->size = size;
    }
    block->previous = blocks_;
    blocks_ = block;
    next_ = reinterpret_cast<char*>(block + 1);
    end_ = next_ + size;
}

// ---- VXJsonKey ----

const VXJsonKey::EmptyBlock VXJsonKey::emptyBlock{{0}, '\0'};

VXJsonKey::VXJsonKey(std::string_view text) {
    auto* h = static_cast<Header*>(::operator new(sizeof(Header) + text.size() + 1));
    h->size = static_cast<std::uint32_t>(text.size());
    char* chars = reinterpret_cast<char*>(h + 1);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    chars[text.size()] = '\0';
    block_ = reinterpret_cast<std::uintptr_t>(h);
}

// ---- VXJsonObject ----

VXJsonObject::VXJsonObject(std::initializer_list<Item> items) {
    for (const auto& item : items) set(item.first, item.second);
}

VXJsonObject::VXJsonObject(Items items) : items_(std::move(items)) {
    const std::size_t n = items_.size();
    if (n < indexThreshold) {
        // Few keys: compare each with those before it; duplicates are rare
        // and take the path below.
        bool duplicate = false;
        for (std::size_t i = 1; i < n && !duplicate; ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (sameKey(items_[j].first, items_[i].first)) {
                    duplicate = true;
                    break;
                }
        if (!duplicate) return;
    }
    // Slow path: drop later duplicates through an index.
    std::unordered_map<std::string, std::size_t> seen;
    seen.reserve(n * 2);
    std::vector<bool> drop(n, false);
    bool any = false;
    for (std::size_t i = 0; i < n; ++i) {
        auto [it, fresh] = seen.emplace(items_[i].first.str(), i);
        if (!fresh) {
            items_[it->second].second = std::move(items_[i].second);
            drop[i] = true;
            any = true;
        }
    }
    if (any) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (drop[i]) continue;
            if (out != i) items_[out] = std::move(items_[i]);
            ++out;
        }
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(out), items_.end());
    }
    rebuildIndex();
}

VXJsonObject::VXJsonObject(const VXJsonObject& other) : items_(other.items_) {
    if (other.index_) index_ = std::make_unique<std::unordered_map<std::string, std::size_t>>(*other.index_);
}

VXJsonObject::VXJsonObject(VXJsonObject&& other) noexcept
    : items_(std::move(other.items_)), index_(std::move(other.index_)) {
    other.items_.clear();
}

VXJsonObject& VXJsonObject::operator=(const VXJsonObject& other) {
    if (this != &other) {
        VXJsonObject copy(other);
        *this = std::move(copy);
    }
    return *this;
}

VXJsonObject& VXJsonObject::operator=(VXJsonObject&& other) noexcept {
    if (this != &other) {
        // The old items may hold the new ones; keep them alive until the swap.
        Items old = std::move(items_);
        items_ = std::move(other.items_);
        index_ = std::move(other.index_);
        other.items_.clear();
    }
    return *this;
}

VXJsonObject::~VXJsonObject() = default;

std::size_t VXJsonObject::indexOf(std::string_view key) const {
    if (index_) {
        const auto it = index_->find(std::string(key));
        return it == index_->end() ? npos : it->second;
    }
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].first == key) return i;
    return npos;
}

void VXJsonObject::rebuildIndex() {
    if (items_.size() < indexThreshold) {
        index_.reset();
        return;
    }
    if (!index_) index_ = std::make_unique<std::unordered_map<std::string, std::size_t>>();
    index_->clear();
    index_->reserve(items_.size() * 2);
    for (std::size_t i = 0; i < items_.size(); ++i) (*index_)[items_[i].first.str()] = i;
}

const VXJsonValue* VXJsonObject::find(std::string_view key) const {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

VXJsonValue* VXJsonObject::find(std::string_view key) {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

void VXJsonObject::set(std::string key, VXJsonValue value) {
    const std::size_t i = indexOf(key);
    if (i != npos) {
        items_[i].second = std::move(value);
        return;
    }
    if (index_) index_->emplace(key, items_.size());
    items_.emplace_back(std::move(key), std::move(value));
    if (!index_ && items_.size() >= indexThreshold) rebuildIndex();
}

bool VXJsonObject::remove(std::string_view key) {
    const std::size_t i = indexOf(key);
    if (i == npos) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    if (index_) rebuildIndex();
    return true;
}

void VXJsonObject::clear() {
    Items old = std::move(items_);
    items_.clear();
    index_.reset();
}

std::vector<std::string> VXJsonObject::keys() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_) out.push_back(item.first.str());
    return out;
}

// ---- VXJsonValue ----

VXJsonValue::VXJsonValue(VXJsonArray v) : v_(std::make_shared<VXJsonArray>(std::move(v))) {}

VXJsonValue::VXJsonValue(VXJsonObject v) : v_(std::make_shared<VXJsonObject>(std::move(v))) {}

VXJsonValue& VXJsonValue::operator=(const VXJsonValue& other) {
    // other may live inside this value: copy it before the old one goes.
    VXJsonValue copy(other);
    v_.swap(copy.v_);
    return *this;
}

VXJsonValue& VXJsonValue::operator=(VXJsonValue&& other) noexcept {
    VXJsonValue taken(std::move(other));
    v_.swap(taken.v_);
    return *this;
}

// Asks for the memory that freeing the value will touch (an array's or
// object's shared node, a string's block) a few elements ahead.
inline void VXJsonValue::prefetchRelease(const VXJsonValue& v) {
    if (const auto* a = v.v_.asArray()) __builtin_prefetch(a->get());
    else if (const auto* o = v.v_.asObject()) __builtin_prefetch(o->get());
    else if (const auto* s = v.v_.asString()) __builtin_prefetch(s);
}

void VXJsonValue::releaseContainer() {
    if (releaseDepth >= recursiveReleaseLimit) {
        releaseChildren();
        return;
    }
    // Shallow enough: the container and its children go the plain way, the
    // children first with a look ahead, as they lie scattered in memory.
    ++releaseDepth;
    constexpr std::size_t ahead = 4;
    if (auto* a = v_.asArray(); a && a->use_count() == 1) {
        VXJsonArray& items = **a;
        const std::size_t n = items.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i + ahead < n) prefetchRelease(items[i + ahead]);
            items[i].v_.reset();
        }
    } else if (auto* o = v_.asObject(); o && o->use_count() == 1) {
        VXJsonObject::Items& items = (*o)->items_;
        const std::size_t n = items.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i + ahead < n) prefetchRelease(items[i + ahead].second);
            items[i].second.v_.reset();
        }
    }
    v_.reset();
    --releaseDepth;
}

void VXJsonValue::releaseChildren() {
    std::vector<VXJsonValue> pending;
    auto take = [&pending](Storage& s) {
        if (auto* a = s.asArray()) {
            if (*a && a->use_count() == 1 && !(*a)->empty()) {
                for (auto& child : **a)
                    if (child.v_.index() == 4 || child.v_.index() == 5) pending.push_back(std::move(child));
                (*a)->clear();
            }
        } else if (auto* o = s.asObject()) {
            if (*o && o->use_count() == 1 && !(*o)->empty()) {
                for (auto& item : (*o)->items_)
                    if (item.second.v_.index() == 4 || item.second.v_.index() == 5)
                        pending.push_back(std::move(item.second));
                (*o)->items_.clear();
                (*o)->index_.reset();
            }
        }
    };
    take(v_);
    while (!pending.empty()) {
        VXJsonValue v = std::move(pending.back());
        pending.pop_back();
        take(v.v_);
        // v now holds an empty container (or a shared one, which another
        // value keeps alive), so destroying it goes no deeper.
    }
}

const VXJsonArray* VXJsonValue::asArray() const {
    const auto* p = v_.asArray();
    return p ? p->get() : nullptr;
}

VXJsonArray* VXJsonValue::asArray() {
    auto* p = v_.asArray();
    if (!p) return nullptr;
    // A shared array, or one in a parsed document's region, is copied to
    // the heap before it is changed.
    if (p->use_count() > 1 || (*p)->get_allocator().arena()) *p = std::make_shared<VXJsonArray>(**p);
    return p->get();
}

const VXJsonObject* VXJsonValue::asObject() const {
    const auto* p = v_.asObject();
    return p ? p->get() : nullptr;
}

VXJsonObject* VXJsonValue::asObject() {
    auto* p = v_.asObject();
    if (!p) return nullptr;
    if (p->use_count() > 1 || !(*p)->onHeap()) *p = std::make_shared<VXJsonObject>(**p);
    return p->get();
}

const VXJsonValue& VXJsonValue::operator[](std::string_view key) const {
    static const VXJsonValue null;
    const VXJsonObject* o = asObject();
    if (!o) return null;
    const VXJsonValue* v = o->find(key);
    return v ? *v : null;
}

bool VXJsonValue::operator==(const VXJsonValue& other) const {
    std::vector<std::pair<const VXJsonValue*, const VXJsonValue*>> work;
    work.emplace_back(this, &other);
    while (!work.empty()) {
        const auto [a, b] = work.back();
        work.pop_back();
        if (a->v_.index() != b->v_.index()) return false;
        switch (a->type()) {
        case Type::Null: break;
        case Type::Bool:
            if (*a->asBool() != *b->asBool()) return false;
            break;
        case Type::Number:
            if (!(*a->asNumber() == *b->asNumber())) return false;
            break;
        case Type::String:
            if (*a->asString() != *b->asString()) return false;
            break;
        case Type::Array: {
            const VXJsonArray& x = *a->asArray();
            const VXJsonArray& y = *b->asArray();
            if (&x == &y) break;
            if (x.size() != y.size()) return false;
            for (std::size_t i = 0; i < x.size(); ++i) work.emplace_back(&x[i], &y[i]);
            break;
        }
        case Type::Object: {
            const VXJsonObject& x = *a->asObject();
            const VXJsonObject& y = *b->asObject();
            if (&x == &y) break;
            if (x.size() != y.size()) return false;
            for (const auto& [key, value] : x) {
                const VXJsonValue* match = y.find(key);
                if (!match) return false;
                work.emplace_back(&value, match);
            }
            break;
        }
        case Type::Custom:
            if (a->asCustom()->get() != b->asCustom()->get()) return false;
            break;
        }
    }
    return true;
}

std::string VXJsonValue::description() const {
    switch (type()) {
    case Type::Null: return "null";
    case Type::Bool: return *asBool() ? "true" : "false";
    case Type::Number: return asNumber()->toString();
    case Type::String: return *asString();
    case Type::Array: return "array of " + std::to_string(asArray()->size()) + " elements";
    case Type::Object: return "object of " + std::to_string(asObject()->size()) + " keys";
    case Type::Custom: return (*asCustom())->className();
    }
    return {};
}
