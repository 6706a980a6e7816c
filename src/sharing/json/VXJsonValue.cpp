#include "sharing/json/VXJsonValue.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

// The leak checker of the sanitizer build looks for pointers only in memory
// it knows: mapped blocks are shown to it (a document's containers point to
// their region from inside it).
#if defined(__SANITIZE_ADDRESS__)
#define VX_JSON_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VX_JSON_LEAK_CHECKER 1
#endif
#endif
#ifdef VX_JSON_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace {

// How many containers inside each other are freed by plain recursion before
// the rest is taken apart on a heap stack.
constexpr int recursiveReleaseLimit = 48;
thread_local int releaseDepth = 0;

constexpr std::size_t largestBlock = 4 * 1024 * 1024;
// What a thread keeps of freed blocks for its next document: enough for the
// one large container of a large document too, whose block would else be
// fresh memory, faulted in page by page, on every parse.
constexpr std::size_t maxSpareBytes = 32 * 1024 * 1024;
std::atomic<std::size_t> allBlockBytes{0};

// Freed blocks kept for later documents, the oldest kept first.
struct Spare {
    std::vector<VXJsonArena::Block*> blocks;
    std::size_t bytes = 0;
};

bool sameKey(const VXJsonKey& a, const VXJsonKey& b) {
    const std::string_view x = a.view(), y = b.view();
    return x.size() == y.size() && (x.empty() || (x.front() == y.front() && x.back() == y.back())) && x == y;
}

}  // namespace

std::optional<VXJsonValue> VXJsonCustom::proxyForJson() const { return std::nullopt; }

// ---- VXJsonArena ----

class VXJsonArena::Keep {
public:
    std::mutex mutex;
    Spare spare;
    // As many bytes as the latest document of the parser needed.
    std::size_t limit = 0;
    // False once the parser is gone.
    bool open = true;
    std::atomic<long> refs{1};

    void release() noexcept {
        if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
};

namespace {

// False once the thread's keep is gone (at its exit).
thread_local bool threadSpareAlive = true;

// Gives a block's memory back and takes it off the count of all blocks.
void freeBlock(VXJsonArena::Block* block) noexcept {
    allBlockBytes.fetch_sub(block->size, std::memory_order_relaxed);
    VXJsonArena::releaseMemory(block, sizeof(VXJsonArena::Block) + block->size);
}

// The blocks this thread keeps, freed with it; null once it is gone.
Spare* threadSpare() {
    struct ThreadSpare {
        Spare spare;
        ~ThreadSpare() {
            threadSpareAlive = false;
            for (VXJsonArena::Block* b : spare.blocks) freeBlock(b);
            spare.bytes = 0;
        }
    };
    if (!threadSpareAlive) return nullptr;
    thread_local ThreadSpare kept;
    return &kept.spare;
}

// The kept block at `index`, taken out of `spare`; null for an index past
// the last.
VXJsonArena::Block* takeAt(Spare& spare, std::size_t index) {
    if (index >= spare.blocks.size()) return nullptr;
    VXJsonArena::Block* b = spare.blocks[index];
    spare.blocks.erase(spare.blocks.begin() + static_cast<std::ptrdiff_t>(index));
    spare.bytes -= b->size;
    return b;
}

// A kept block for a region's next block of `size` bytes: one of that size,
// or for a large container one at least as large that wastes little of
// itself; else the smallest one of at least `size` bytes and at most
// `largest`, which the region fills whole.
VXJsonArena::Block* takeFitting(Spare& spare, std::size_t size, std::size_t largest) {
    std::size_t best = spare.blocks.size();
    for (std::size_t i = 0; i < spare.blocks.size(); ++i) {
        const VXJsonArena::Block* b = spare.blocks[i];
        if (b->size == size || (size > largestBlock && b->size >= size && b->size - size <= size / 8)) {
            best = i;
            break;
        }
        if (b->size >= size && b->size <= largest &&
            (best == spare.blocks.size() || b->size < spare.blocks[best]->size))
            best = i;
    }
    return takeAt(spare, best);
}

// The largest kept stack's block of at least `size` bytes.
VXJsonArena::Block* takeLargest(Spare& spare, std::size_t size) {
    std::size_t best = spare.blocks.size();
    for (std::size_t i = 0; i < spare.blocks.size(); ++i)
        if (spare.blocks[i]->forStack && spare.blocks[i]->size >= size &&
            (best == spare.blocks.size() || spare.blocks[i]->size > spare.blocks[best]->size))
            best = i;
    return takeAt(spare, best);
}

// Takes the blocks kept last out of `spare` until it holds at most `limit`
// bytes, and gives them back chained through `previous`, in the order they
// were kept (the oldest first).
VXJsonArena::Block* takeBeyond(Spare& spare, std::size_t limit) {
    VXJsonArena::Block* chain = nullptr;
    while (!spare.blocks.empty() && spare.bytes > limit) {
        VXJsonArena::Block* b = spare.blocks.back();
        spare.blocks.pop_back();
        spare.bytes -= b->size;
        b->previous = chain;
        chain = b;
    }
    return chain;
}

// The block that `take` finds among the blocks kept from earlier documents:
// the parser's (`keep`, when there is one), else this thread's.
template <class Take>
VXJsonArena::Block* takeKept(VXJsonArena::Keep* keep, Take take) {
    if (keep) {
        const std::lock_guard<std::mutex> lock(keep->mutex);
        if (VXJsonArena::Block* block = take(keep->spare)) return block;
    }
    Spare* spare = threadSpare();
    return spare ? take(*spare) : nullptr;
}

}  // namespace

// Keeps the chain of blocks from `oldest` on (linked through `previous`,
// oldest first) in `spare`, up to `limit` bytes, and frees the rest. These
// blocks are kept before those kept earlier and left unused, and their
// oldest first: the next document takes its blocks in the same order.
static void keepChain(Spare* spare, VXJsonArena::Block* oldest, std::size_t limit) {
    std::size_t wanted = 0;
    for (VXJsonArena::Block* b = oldest; b && wanted + b->size <= limit; b = b->previous) wanted += b->size;
    while (spare && !spare->blocks.empty() && spare->bytes + wanted > limit) {
        spare->bytes -= spare->blocks.back()->size;
        freeBlock(spare->blocks.back());
        spare->blocks.pop_back();
    }
    while (oldest) {
        VXJsonArena::Block* next = oldest->previous;
        if (spare && spare->bytes + oldest->size <= limit) {
            spare->blocks.push_back(oldest);
            spare->bytes += oldest->size;
        } else {
            freeBlock(oldest);
        }
        oldest = next;
    }
}

VXJsonArena::VXJsonArena(Keep* keep, std::size_t textBytes) : keep_(keep), largestKept_(8 * textBytes) {
    if (keep_) keep_->refs.fetch_add(1, std::memory_order_relaxed);
}

VXJsonArena::~VXJsonArena() {
    // The blocks are kept for later documents: by the parser that made this
    // one while it lives, else by this thread.
    Block* oldest = nullptr;
    while (blocks_) {
        Block* previous = blocks_->previous;
        blocks_->previous = oldest;
        oldest = blocks_;
        blocks_ = previous;
    }
    if (keep_) {
        {
            const std::lock_guard<std::mutex> lock(keep_->mutex);
            if (keep_->open) {
                keepChain(&keep_->spare, oldest, keep_->limit);
                oldest = nullptr;
            }
        }
        keep_->release();
    }
    if (oldest) keepChain(threadSpare(), oldest, maxSpareBytes);
}

void VXJsonArena::finish() noexcept {
    if (keep_) {
        // The parser keeps as much as its latest document needed: a run of
        // documents of one size parses without new memory, and after a
        // large one the next smaller one lets the surplus go (to this
        // thread's keep, as far as it has room, else to the system).
        Block* surplus = nullptr;
        {
            const std::lock_guard<std::mutex> lock(keep_->mutex);
            keep_->limit = bytes_;
            surplus = takeBeyond(keep_->spare, keep_->limit);
        }
        if (surplus) keepChain(threadSpare(), surplus, maxSpareBytes);
    }
    if (refs_.fetch_sub(provisional, std::memory_order_acq_rel) == provisional) delete this;
}

VXJsonArena::Keep* VXJsonArena::newKeep() { return new Keep(); }

void VXJsonArena::closeKeep(Keep* keep) noexcept {
    if (!keep) return;
    Block* oldest = nullptr;
    {
        const std::lock_guard<std::mutex> lock(keep->mutex);
        keep->open = false;
        oldest = takeBeyond(keep->spare, 0);
    }
    keepChain(threadSpare(), oldest, maxSpareBytes);
    keep->release();
}

std::size_t VXJsonArena::keptBytes() noexcept {
    const Spare* spare = threadSpare();
    return spare ? spare->bytes : 0;
}

std::size_t VXJsonArena::blockBytes() noexcept { return allBlockBytes.load(std::memory_order_relaxed); }

void* VXJsonArena::acquireMemory(std::size_t bytes) {
    if (bytes < smallestMappedBlock) return ::operator new(bytes);
    void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
#ifdef VX_JSON_LEAK_CHECKER
    __lsan_register_root_region(memory, bytes);
#endif
    return memory;
}

void VXJsonArena::releaseMemory(void* memory, std::size_t bytes) noexcept {
    if (!memory) return;
    if (bytes < smallestMappedBlock) {
        ::operator delete(memory);
        return;
    }
#ifdef VX_JSON_LEAK_CHECKER
    __lsan_unregister_root_region(memory, bytes);
#endif
    ::munmap(memory, bytes);
}

VXJsonArena::Block* VXJsonArena::newBlock(std::size_t size, bool forStack) {
    auto* block = static_cast<Block*>(acquireMemory(sizeof(Block) + size));
    block->size = size;
    block->forStack = forStack;
    allBlockBytes.fetch_add(size, std::memory_order_relaxed);
    return block;
}

VXJsonArena::Block* VXJsonArena::takeBlock(std::size_t bytes, Keep* keep) {
    Block* block = takeKept(keep, [bytes](Spare& spare) { return takeLargest(spare, bytes); });
    return block ? block : newBlock(bytes, true);
}

void VXJsonArena::giveBack(Block* block, Keep* keep) noexcept {
    block->previous = nullptr;
    if (keep) {
        const std::lock_guard<std::mutex> lock(keep->mutex);
        if (keep->open && keep->spare.bytes + block->size <= keep->limit) {
            keep->spare.blocks.push_back(block);
            keep->spare.bytes += block->size;
            return;
        }
    }
    keepChain(threadSpare(), block, maxSpareBytes);
}

void VXJsonArena::adopt(Block* block, std::size_t used) noexcept {
    // The pages past the used bytes go back to the system.
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t total = sizeof(Block) + block->size;
    const std::size_t wanted = (sizeof(Block) + used + page - 1) / page * page;
    if (wanted >= smallestMappedBlock && wanted < total) {
#ifdef VX_JSON_LEAK_CHECKER
        __lsan_unregister_root_region(block, total);
        __lsan_register_root_region(block, wanted);
#endif
        ::munmap(reinterpret_cast<char*>(block) + wanted, total - wanted);
        allBlockBytes.fetch_sub(total - wanted, std::memory_order_relaxed);
        block->size = wanted - sizeof(Block);
    }
    // Behind the region's current block, which goes on serving.
    bytes_ += block->size;
    if (blocks_) {
        block->previous = blocks_->previous;
        blocks_->previous = block;
    } else {
        block->previous = nullptr;
        blocks_ = block;
    }
}

void VXJsonArena::grow(std::size_t atLeast) {
    std::size_t size = nextBlockSize_;
    if (size < atLeast) size = atLeast;
    if (nextBlockSize_ < largestBlock) nextBlockSize_ *= 2;
    // A block that an earlier document left behind, else a new one.
    Block* block = takeKept(keep_, [&](Spare& spare) { return takeFitting(spare, size, largestKept_); });
    if (!block) block = newBlock(size, false);
    bytes_ += block->size;
    block->previous = blocks_;
    blocks_ = block;
    next_ = reinterpret_cast<char*>(block + 1);
    end_ = next_ + block->size;
}

// ---- VXJsonKey ----

const VXJsonKey::EmptyBlock VXJsonKey::emptyBlock{{0}, '\0'};

VXJsonKey::VXJsonKey(std::string_view text) {
    auto* h = static_cast<Header*>(::operator new(sizeof(Header) + text.size() + 1));
    h->size = static_cast<std::uint32_t>(text.size());
    char* chars = reinterpret_cast<char*>(h + 1);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    chars[text.size()] = '\0';
    block_ = reinterpret_cast<const char*>(h);
}

// ---- VXJsonObject ----

VXJsonObject::VXJsonObject(std::initializer_list<Item> items) {
    for (const auto& item : items) set(item.first, item.second);
}

VXJsonObject::VXJsonObject(Items list) : items_(std::move(list)) {
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
    // Drop later duplicates, each giving its value to the first item with
    // its key, found through a table.
    std::vector<std::uint32_t> table(tableSlots(n) + 1, 0);
    table[0] = static_cast<std::uint32_t>(table.size() - 2);
    Item* items = items_.data();
    std::vector<bool> drop(n, false);
    bool any = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t earlier = enter(table.data(), items, i);
        if (earlier != npos) {
            items[earlier].second = std::move(items[i].second);
            drop[i] = true;
            any = true;
        }
    }
    if (any) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (drop[i]) continue;
            if (out != i) items[out] = std::move(items[i]);
            ++out;
        }
        items_.erase(items_.begin() + out, items_.end());
    }
    rebuildIndex();
}

std::size_t VXJsonObject::tableSlots(std::size_t items) {
    std::size_t slots = 16;
    while (slots < 2 * items) slots *= 2;
    return slots;
}

std::size_t VXJsonObject::enter(std::uint32_t* table, const Item* items, std::size_t i) {
    const std::size_t mask = table[0];
    const std::string_view key = items[i].first.view();
    for (std::size_t s = hashKey(key) & mask;; s = (s + 1) & mask) {
        std::uint32_t& slot = table[1 + s];
        if (slot == 0) {
            slot = static_cast<std::uint32_t>(i + 1);
            return npos;
        }
        if (items[slot - 1].first == key) return slot - 1;
    }
}

std::size_t VXJsonObject::indexOf(std::string_view key) const {
    const std::size_t n = items_.size();
    if (n == 0) return npos;
    const Item* items = items_.data();
    if (const std::uint32_t* table = items_.header()->index) {
        const std::size_t mask = table[0];
        for (std::size_t s = hashKey(key) & mask;; s = (s + 1) & mask) {
            const std::uint32_t slot = table[1 + s];
            if (slot == 0) return npos;
            if (items[slot - 1].first == key) return slot - 1;
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        if (items[i].first == key) return i;
    return npos;
}

void VXJsonObject::rebuildIndex() {
    const std::size_t n = items_.size();
    if (n == 0) return;
    Item* items = items_.data();  // the block is this object's own now
    VXJsonListHeader* h = items_.header();
    if (n < indexThreshold) {
        ::operator delete(h->index);
        h->index = nullptr;
        return;
    }
    const std::size_t slots = tableSlots(n);
    if (!h->index || h->index[0] + 1 != slots) {
        ::operator delete(h->index);
        h->index = nullptr;
        h->index = static_cast<std::uint32_t*>(::operator new((slots + 1) * sizeof(std::uint32_t)));
        h->index[0] = static_cast<std::uint32_t>(slots - 1);
    }
    std::memset(h->index + 1, 0, slots * sizeof(std::uint32_t));
    for (std::size_t i = 0; i < n; ++i) enter(h->index, items, i);
}

const VXJsonValue* VXJsonObject::find(std::string_view key) const {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

VXJsonValue* VXJsonObject::find(std::string_view key) {
    const std::size_t i = indexOf(key);
    return i == npos ? nullptr : &items_[i].second;
}

void VXJsonObject::set(std::string_view key, VXJsonValue value) {
    const std::size_t i = indexOf(key);
    if (i != npos) {
        items_[i].second = std::move(value);
        return;
    }
    items_.emplace_back(VXJsonKey(key), std::move(value));
    const std::size_t n = items_.size();
    if (n < indexThreshold) return;
    VXJsonListHeader* h = items_.header();
    // The table keeps at most half its slots in use.
    if (h->index && 2 * n <= static_cast<std::size_t>(h->index[0]) + 1) enter(h->index, items_.data(), n - 1);
    else rebuildIndex();
}

bool VXJsonObject::remove(std::string_view key) {
    const std::size_t i = indexOf(key);
    if (i == npos) return false;
    items_.erase(items_.begin() + i);
    rebuildIndex();
    return true;
}

std::vector<std::string> VXJsonObject::keys() const {
    std::vector<std::string> out;
    out.reserve(items_.size());
    for (const auto& item : items_) out.push_back(item.first.str());
    return out;
}

// ---- VXJsonValue ----

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

void VXJsonValue::releaseContainer() {
    if (releaseDepth >= recursiveReleaseLimit) {
        releaseChildren();
        return;
    }
    // Shallow enough: the container and its children go the plain way.
    // (A container in a region only gives up its reference to the region.)
    ++releaseDepth;
    v_.reset();
    --releaseDepth;
}

void VXJsonValue::releaseChildren() {
    std::vector<VXJsonValue> pending;
    auto take = [&pending](Storage& s) {
        if (VXJsonArray* a = s.asArray()) {
            if (!a->inRegion() && a->unique() && !a->empty()) {
                for (auto& child : *a)
                    if (child.isContainer()) pending.push_back(std::move(child));
                a->clear();
            }
        } else if (VXJsonObject* o = s.asObject()) {
            if (!o->items_.inRegion() && o->items_.unique() && !o->empty()) {
                for (auto& item : o->items_)
                    if (item.second.isContainer()) pending.push_back(std::move(item.second));
                o->items_.clear();
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

VXJsonArray* VXJsonValue::asArray() {
    VXJsonArray* a = v_.asArray();
    // A shared array, or one in a parsed document's region, is copied to
    // the heap before it is changed.
    if (a) a->detach();
    return a;
}

VXJsonObject* VXJsonValue::asObject() {
    VXJsonObject* o = v_.asObject();
    if (o) o->items_.detach();
    return o;
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
        if (a->type() != b->type()) return false;
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
            if (x.data() == y.data() && x.size() == y.size()) break;
            if (x.size() != y.size()) return false;
            for (std::size_t i = 0; i < x.size(); ++i) work.emplace_back(&x[i], &y[i]);
            break;
        }
        case Type::Object: {
            const VXJsonObject& x = *a->asObject();
            const VXJsonObject& y = *b->asObject();
            if (x.items().data() == y.items().data() && x.size() == y.size()) break;
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
    case Type::String: return std::string(*asString());
    case Type::Array: return "array of " + std::to_string(asArray()->size()) + " elements";
    case Type::Object: return "object of " + std::to_string(asObject()->size()) + " keys";
    case Type::Custom: return (*asCustom())->className();
    }
    return {};
}
