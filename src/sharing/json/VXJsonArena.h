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
// Freed blocks are kept for the next documents, so that a parse does not
// have the system hand it afresh, page by page, the memory the document
// before it just gave back:
// - a parser keeps the blocks of the documents it made, as many as its
//   latest document needed, for as long as the parser lives;
// - a thread keeps up to 32 MB of them, from documents whose parser is gone
//   (and what a parser kept, when it goes), for a next parser.
// The parser's value stack, once large, takes its memory from the same
// blocks and gives it back to them, and a document's large outermost array
// keeps the stack's block it was read into.
// Blocks of 256 KB and more are mapped from the system one by one, so that
// those not kept go back to it when freed, wherever they lie: on the
// ordinary heap, a kept block above freed ones would hold them all, and the
// allocator keeps freed memory up to a threshold that large frees raise.
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

class VXJsonArena {
public:
    // A block of memory: this header, then `size` bytes.
    struct Block {
        Block* previous;
        std::size_t size;
        // Made for a value stack: a stack takes only such blocks, so that it
        // leaves a region the blocks sized for it.
        bool forStack;
    };
    // The blocks a parser keeps for its next documents. Documents may be
    // dropped on any thread, so it has a lock; the parser and each of its
    // regions hold a reference to it.
    class Keep;

    // A parser's keep, and the parser letting it go: what it holds moves to
    // this thread's keep, as far as that has room.
    static Keep* newKeep();
    static void closeKeep(Keep* keep) noexcept;

    // A new region for the parser's document of `textBytes` of text, which
    // keeps its blocks in `keep` when the document is dropped. The region
    // takes a kept block of any size it can use, up to eight times the
    // text: a document after a larger one fills the blocks that one left,
    // and a small document holds no large block. While the document is built the region holds
    // a large provisional count, so that nothing released meanwhile brings
    // it to zero; finish() takes it away again.
    static VXJsonArena* create(Keep* keep, std::size_t textBytes) { return new VXJsonArena(keep, textBytes); }
    // Parsing is over: from here the references handed out alone keep the
    // region, which goes at once when there are none.
    void finish() noexcept;
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

    // Memory from this size on is mapped on its own.
    static constexpr std::size_t smallestMappedBlock = 256 * 1024;
    // Memory for the parser's small buffers: from smallestMappedBlock on it
    // is mapped on its own, so that it goes back to the system when freed,
    // whatever else the heap holds.
    static void* acquireMemory(std::size_t bytes);
    static void releaseMemory(void* memory, std::size_t bytes) noexcept;

    // A block of at least `bytes` for the parser's value stack: the largest
    // stack's block `keep` or the thread keeps, when it is large enough,
    // else a new one. `bytes` is smallestMappedBlock or more, so that the
    // block is mapped on its own and adopt() may unmap its tail.
    static Block* takeBlock(std::size_t bytes, Keep* keep);
    // The stack's block is no longer needed: it is kept like a freed
    // region's.
    static void giveBack(Block* block, Keep* keep) noexcept;
    // The region takes over a block the parser has filled, its first `used`
    // bytes in use: the rest of it, when large, goes back to the system.
    void adopt(Block* block, std::size_t used) noexcept;

    // The bytes of freed blocks this thread keeps for its next documents.
    static std::size_t keptBytes() noexcept;
    // The bytes of every block in the process, in use or kept.
    static std::size_t blockBytes() noexcept;

    VXJsonArena(const VXJsonArena&) = delete;
    VXJsonArena& operator=(const VXJsonArena&) = delete;

private:
    static constexpr long provisional = 1L << 40;
    VXJsonArena(Keep* keep, std::size_t textBytes);
    ~VXJsonArena();
    void grow(std::size_t atLeast);
    static Block* newBlock(std::size_t size, bool forStack);

    std::atomic<long> refs_{provisional};
    Keep* keep_;
    // The largest kept block the region takes.
    std::size_t largestKept_;
    Block* blocks_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    // The bytes of this region's blocks.
    std::size_t bytes_ = 0;
    std::size_t nextBlockSize_ = 16 * 1024;
};
