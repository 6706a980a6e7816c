#pragma once
// Where the parser puts the arrays and objects of one document: a region of
// large blocks that the document's containers share. Building a container
// takes a few bytes off the current block, and freeing it costs nothing;
// the blocks go back when the last container of the document is gone. Each
// container (its shared node) counts as one reference to its region, so a
// part of a document may outlive the rest.
//
// Only the parser allocates from a region, on its own thread. A container
// that is written to after parsing first moves its elements to the ordinary
// heap (see VXJsonValue's mutable accessors), and a copy of a container
// always lives on the heap, so a region never grows once its document is
// built.
#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

class VXJsonArena {
public:
    // A new region for the parser. While the document is built the region
    // holds a large provisional count, so that containers freed meanwhile
    // never bring it to zero; finish() then sets it to the containers made.
    static VXJsonArena* create() { return new VXJsonArena(); }
    // Parsing is over and `nodes` containers were made in the region; frees
    // it at once when none of them is left.
    void finish(long nodes) noexcept {
        const long change = nodes - provisional;
        if (refs_.fetch_add(change, std::memory_order_acq_rel) + change == 0) delete this;
    }
    // One container of the region is gone.
    void release() noexcept {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    void* allocate(std::size_t bytes, std::size_t align) {
        std::size_t p = (reinterpret_cast<std::size_t>(next_) + (align - 1)) & ~(align - 1);
        if (p + bytes > reinterpret_cast<std::size_t>(end_)) {
            grow(bytes + align);
            p = (reinterpret_cast<std::size_t>(next_) + (align - 1)) & ~(align - 1);
        }
        next_ = reinterpret_cast<char*>(p + bytes);
        return reinterpret_cast<void*>(p);
    }

    VXJsonArena(const VXJsonArena&) = delete;
    VXJsonArena& operator=(const VXJsonArena&) = delete;

private:
    struct Block {
        Block* previous;
        std::size_t size;
    };
    static constexpr long provisional = 1L << 40;
    VXJsonArena() = default;
    ~VXJsonArena();
    void grow(std::size_t atLeast);
    static std::vector<Block*>& spareBlocks();

    std::atomic<long> refs_{provisional};
    Block* blocks_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t nextBlockSize_ = 16 * 1024;
};

// The allocator of the JSON containers' elements: from a region when it has
// one (freeing is then left to the region), else from the ordinary heap. A
// copy of a container gets a heap allocator.
template <class T>
class VXJsonAllocator {
public:
    using value_type = T;
    using propagate_on_container_copy_assignment = std::false_type;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    VXJsonAllocator() noexcept = default;
    explicit VXJsonAllocator(VXJsonArena* arena) noexcept : arena_(arena) {}
    template <class U>
    VXJsonAllocator(const VXJsonAllocator<U>& other) noexcept : arena_(other.arena()) {}

    T* allocate(std::size_t n) {
        if (arena_) return static_cast<T*>(arena_->allocate(n * sizeof(T), alignof(T)));
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t) noexcept {
        if (!arena_) ::operator delete(p);
    }

    VXJsonAllocator select_on_container_copy_construction() const { return VXJsonAllocator(); }

    VXJsonArena* arena() const noexcept { return arena_; }

    template <class U>
    bool operator==(const VXJsonAllocator<U>& other) const noexcept {
        return arena_ == other.arena();
    }

private:
    VXJsonArena* arena_ = nullptr;
};

// The allocator of the shared node of one container made in a region: the
// node's memory is the region's, and freeing the node gives up the node's
// reference to the region (the last thing done with the node).
template <class T>
class VXJsonNodeAllocator {
public:
    using value_type = T;

    explicit VXJsonNodeAllocator(VXJsonArena* arena) noexcept : arena_(arena) {}
    template <class U>
    VXJsonNodeAllocator(const VXJsonNodeAllocator<U>& other) noexcept : arena_(other.arena()) {}

    T* allocate(std::size_t n) { return static_cast<T*>(arena_->allocate(n * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) noexcept { arena_->release(); }

    VXJsonArena* arena() const noexcept { return arena_; }

    template <class U>
    bool operator==(const VXJsonNodeAllocator<U>& other) const noexcept {
        return arena_ == other.arena();
    }

private:
    VXJsonArena* arena_;
};
