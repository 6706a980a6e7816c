#pragma once
// The JSON parser: UTF-8 text in, VXJsonValue out. Nesting is tracked on a
// heap stack of its own, so however deep the input nests (with maxDepth 0,
// no limit at all) the machine stack stays flat.
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
        while (c_ < end_ && (*c_ == ' ' || (*c_ >= '\t' && *c_ <= '\r')))
            ++c_;
    }
    std::optional<VXJsonValue> scanValue();
    bool enterContainer();
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

    const unsigned char* c_ = nullptr;
    const unsigned char* end_ = nullptr;
    // The values and keys of the open containers, innermost last; kept
    // between calls so that their room is reused.
    std::vector<Frame> frames_;
    std::vector<VXJsonValue> values_;
    std::vector<std::string> keys_;
    // The region of the document being built, and the containers made in it.
    VXJsonAllocator<VXJsonValue> allocator_;
    long nodes_ = 0;
};
