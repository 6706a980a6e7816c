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
    struct Frame;

    unsigned char current() const { return c_ < end_ ? *c_ : 0; }
    void skipWhitespace();
    std::optional<VXJsonValue> scanValue();
    bool enterContainer();
    bool scanRestOfString(std::string& out);
    bool scanUnicodeChar(unsigned& codePoint);
    bool scanHexQuad(unsigned& value);
    bool scanNumber(VXJsonValue& out);
    bool scanLiteral(std::string_view rest, const char* error);
    // Unwinds after a value of the innermost open container failed: each
    // open container adds its own error, innermost first.
    void failElement(std::vector<Frame>& frames);

    const unsigned char* c_ = nullptr;
    const unsigned char* end_ = nullptr;
};
