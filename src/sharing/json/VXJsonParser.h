#pragma once
// The JSON parser: UTF-8 text in, VXJsonValue out. Nesting is tracked on a
// heap stack of its own, so however deep the input nests (with maxDepth 0,
// no limit at all) the machine stack stays flat.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sharing/json/VXJsonBase.h"
#include "sharing/json/VXJsonValue.h"

// What a parser offers its users.
class VXJsonParserProtocol {
public:
    virtual ~VXJsonParserProtocol() = default;
    // The array or object the text holds; nullopt on failure, with the
    // reasons in the error trace.
    virtual std::optional<VXJsonValue> objectWithString(std::optional<std::string_view> text) = 0;
};

class VXJsonParser : public VXJsonBase, public VXJsonParserProtocol {
public:
    // Any one JSON value, a bare number, string, true, false or null too.
    // nullopt for no text (error 12) or malformed text.
    std::optional<VXJsonValue> fragmentWithString(std::optional<std::string_view> text);
    // Only an array or an object; another value is error 4.
    std::optional<VXJsonValue> objectWithString(std::optional<std::string_view> text) override;

private:
    // An open array or object: where its values (and, for an object, its
    // keys) start on the parser's stacks.
    struct Frame {
        bool isObject = false;
        std::size_t firstValue = 0;
        std::size_t firstKey = 0;
    };

    unsigned char current() const { return c_ < end_ ? *c_ : 0; }
    void skipWhitespace() {
        // Blank, tab, line feed, vertical tab, form feed, carriage return.
        while (c_ < end_ && (*c_ == ' ' || (*c_ >= '\t' && *c_ <= '\r'))) ++c_;
    }
    std::optional<VXJsonValue> scanValue();
    bool enterContainer();
    // A string's text after its opening quote: in the input itself when it
    // holds no escape, else in scratch_.
    bool scanString(std::string_view& text);
    bool scanRestOfString(std::string& out);
    bool scanUnicodeChar(unsigned& codePoint);
    bool scanHexQuad(unsigned& value);
    bool scanNumber();
    bool scanLiteral(std::string_view rest, const char* error);
    // Builds the innermost open container from the stacks, at its final size.
    void closeContainer();
    // Unwinds after a value of the open container `count` - 1 failed: each
    // of the first `count` open containers adds its own error, innermost
    // first.
    void failElements(std::size_t count);
    void reset();
    // The key's text in the document's region, once for the document.
    const VXJsonKey::Header* regionKey(std::string_view text);
    // Drops the later of two items with the same key from the open object's
    // stacks (from `first` on), its value taking the earlier one's place;
    // makes the object's key table (null for a small object) in the region.
    std::uint32_t* dedupeKeys(std::size_t firstValue, std::size_t firstKey);

    // The blocks this parser keeps for its next documents (VXJsonArena.h),
    // given up when the parser goes.
    class Keep {
    public:
        Keep() : keep_(VXJsonArena::newKeep()) {}
        Keep(const Keep&) = delete;
        Keep& operator=(const Keep&) = delete;
        ~Keep() { VXJsonArena::closeKeep(keep_); }
        VXJsonArena::Keep* get() const { return keep_; }

    private:
        VXJsonArena::Keep* keep_;
    };

    // The values of the open containers, innermost last. Values move in
    // and out of it byte for byte (see VXJsonValue::Storage), so a closing
    // container takes its elements with one copy of memory. A large stack
    // lies in a block like a region's, after room for a list's header, so
    // that an array of all its values may stay where it was read.
    class ValueStack {
    public:
        explicit ValueStack(VXJsonArena::Keep* keep) : keep_(keep) {}
        ValueStack(const ValueStack&) = delete;
        ValueStack& operator=(const ValueStack&) = delete;
        ~ValueStack();

        std::size_t size() const { return size_; }
        std::size_t capacity() const { return capacity_; }
        bool empty() const { return size_ == 0; }
        VXJsonValue& back() { return data_[size_ - 1]; }
        VXJsonValue& operator[](std::size_t i) { return data_[i]; }
        VXJsonValue* data() { return data_; }
        template <class... Args>
        VXJsonValue& emplace_back(Args&&... args) {
            if (size_ == capacity_) grow();
            return *new (data_ + size_++) VXJsonValue(std::forward<Args>(args)...);
        }
        // Forgets the values from `first` on without freeing anything: their
        // contents were taken over byte for byte, or lie in the region
        // (which is all that the parser's values ever point to).
        void dropMoved(std::size_t first) { size_ = first; }
        void clear() { size_ = 0; }
        // The block the values lie in, when the stack is large; its values
        // start after room for a list's header.
        VXJsonArena::Block* block() const { return block_; }
        // Lets the block go with the values in it: the stack is empty and
        // has no memory after.
        VXJsonArena::Block* handOver();

    private:
        void grow();
        void release() noexcept;
        VXJsonArena::Keep* keep_;
        VXJsonArena::Block* block_ = nullptr;
        VXJsonValue* data_ = nullptr;
        std::size_t size_ = 0;
        std::size_t capacity_ = 0;
    };

    const unsigned char* c_ = nullptr;
    const unsigned char* end_ = nullptr;
    // Made first and let go last: the value stack gives its block back to
    // it.
    Keep keep_;
    // The values and keys of the open containers, innermost last; kept
    // between calls, at the size the largest document needed, so that
    // parsing one document after another reuses their room.
    std::vector<Frame> frames_;
    ValueStack values_{keep_.get()};
    std::vector<const VXJsonKey::Header*> keys_;
    // The text of a string with escapes, while it is read.
    std::string scratch_;
    // The region of the document being built.
    VXJsonArena* arena_ = nullptr;
    // The keys of the document put in its region so far, by a hash of their
    // text (a later key with the same hash takes the slot).
    std::array<const VXJsonKey::Header*, 1024> keyTable_{};
};
