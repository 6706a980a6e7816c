#pragma once
// Where the parser puts one document: a region of large blocks that the
// document's arrays, objects, strings and keys share. Putting something in
// the region takes a few bytes off the current block, and nothing in it is
// freed on its own: the blocks go back when the last reference to the
// region is gone.
//
// The values inside the region hold no reference to it. A value outside it
// that points into it (the document itself, or a copy of one of its parts)
// holds one, so a part of a document may outlive the rest.
//
// Only the parser allocates from a region, on its own thread. A container
// that is written to after parsing first moves its elements to the ordinary
// heap, so a region never changes once its document is built.
//
// A thread keeps a few freed blocks (up to 32 MB) for its next document.
// Blocks of 256 KB and more are mapped from the system one by one, so
// that those not kept go back to it when freed, wherever they lie: on the
// ordinary heap, a kept block above freed ones would hold them all, and the
// allocator keeps freed memory up to a threshold that large frees raise.
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

class VXJsonArena {
public:
    // A new region for the parser. While the document is built the region
    // holds a large provisional count, so that nothing released meanwhile
    // brings it to zero; finish() takes it away again.
    static VXJsonArena* create() { return new VXJsonArena(); }
    // Parsing is over: from here the references handed out alone keep the
    // region, which goes at once when there are none.
    void finish() noexcept {
        if (refs_.fetch_sub(provisional, std::memory_order_acq_rel) == provisional) delete this;
    }
    // One more value outside the region points into it.
    void retain() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    // A value outside the region that pointed into it is gone.
    void release() noexcept {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    void* allocate(std::size_t bytes, std::size_t align) {
        void* p = next_;
        std::size_t space = static_cast<std::size_t>(end_ - next_);
        if (!std::align(align, bytes, p, space)) {
            grow(bytes + align);
            p = next_;
            space = static_cast<std::size_t>(end_ - next_);
            std::align(align, bytes, p, space);
        }
        next_ = static_cast<char*>(p) + bytes;
        return p;
    }

    // Memory for the region's blocks and the parser's own buffers: from
    // 256 KB on it is mapped on its own, so that it goes back to the
    // system when freed, whatever else the heap holds.
    static void* acquireMemory(std::size_t bytes);
    static void releaseMemory(void* memory, std::size_t bytes) noexcept;

    // The bytes of freed blocks this thread keeps for its next documents.
    static std::size_t keptBytes() noexcept;
    // The bytes of every region's blocks in the process, in use or kept.
    static std::size_t blockBytes() noexcept;

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
    static Block* newBlock(std::size_t size);
    static void freeBlock(Block* block) noexcept;
    static std::vector<Block*>& spareBlocks();

    std::atomic<long> refs_{provisional};
    Block* blocks_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t nextBlockSize_ = 16 * 1024;
};
