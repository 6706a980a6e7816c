#include "sharing/json/VXJsonParser.h"

#include "platform/base/Format.h"
#include "sharing/json/VXJsonNumbers.h"

namespace {

bool isWhitespace(unsigned char c) {
    // Blank, tab, line feed, vertical tab, form feed, carriage return.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The length of the well-formed UTF-8 sequence at p (lead byte >= 0x80), or 0
// when it is malformed: overlong, a surrogate, above U+10FFFF or cut short.
std::size_t utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = p[0];
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0)
            lo = 0xA0;
        else if (b == 0xED)
            hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n)
        return 0;
    if (p[1] < lo || p[1] > hi)
        return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return n;
}

unsigned decodeUTF8(const unsigned char* p, std::size_t n) {
    if (n == 2)
        return ((p[0] & 0x1Fu) << 6) | (p[1] & 0x3Fu);
    if (n == 3)
        return ((p[0] & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
    return ((p[0] & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
}

void appendUTF8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

struct VXJsonParser::Frame {
    bool isObject = false;
    VXJsonArray array;
    VXJsonObject object;
    std::string key;  // the key whose value is being scanned
};

std::optional<VXJsonValue> VXJsonParser::fragmentWithString(std::optional<std::string_view> text) {
    clearErrorTrace();
    if (!text) {
        addErrorWithCode(VXJsonErrorCode::NoInput, "Input was 'nil'");
        return std::nullopt;
    }
    depth_ = 0;
    c_ = reinterpret_cast<const unsigned char*>(text->data());
    end_ = c_ + text->size();
    std::optional<VXJsonValue> value = scanValue();
    if (value) {
        skipWhitespace();
        if (c_ != end_) {
            addErrorWithCode(VXJsonErrorCode::TrailingGarbage, "Garbage after JSON");
            value.reset();
        }
    }
    c_ = end_ = nullptr;
    return value;
}

std::optional<VXJsonValue> VXJsonParser::objectWithString(std::optional<std::string_view> text) {
    std::optional<VXJsonValue> value = fragmentWithString(text);
    if (value && !value->isContainer()) {
        addErrorWithCode(VXJsonErrorCode::Fragment, "Valid fragment, but not JSON");
        return std::nullopt;
    }
    return value;
}

void VXJsonParser::skipWhitespace() {
    while (c_ < end_ && isWhitespace(*c_))
        ++c_;
}

bool VXJsonParser::enterContainer() {
    ++depth_;
    if (maxDepth() != 0 && depth_ > maxDepth()) {
        addErrorWithCode(VXJsonErrorCode::Depth, "Nested too deep");
        return false;
    }
    return true;
}

void VXJsonParser::failElement(std::vector<Frame>& frames) {
    while (!frames.empty()) {
        const Frame& f = frames.back();
        if (f.isObject)
            addErrorWithCode(VXJsonErrorCode::Parse, base::format("Object value expected for key: %@", f.key));
        else
            addErrorWithCode(VXJsonErrorCode::Parse, "Expected value while parsing array");
        frames.pop_back();
    }
}

std::optional<VXJsonValue> VXJsonParser::scanValue() {
    enum class State { Value, HaveValue, ArrayNext, ObjectNext };
    std::vector<Frame> frames;
    VXJsonValue value;
    State state = State::Value;

    // The innermost open container itself failed: it adds nothing, the
    // containers around it report their element as failed.
    auto failFrame = [&]() -> std::optional<VXJsonValue> {
        frames.pop_back();
        failElement(frames);
        return std::nullopt;
    };
    auto fail = [&]() -> std::optional<VXJsonValue> {
        failElement(frames);
        return std::nullopt;
    };

    for (;;) {
        switch (state) {
        case State::Value: {
            skipWhitespace();
            const unsigned char ch = current();
            if (c_ < end_)
                ++c_;
            switch (ch) {
            case 0:
                addErrorWithCode(VXJsonErrorCode::EndOfInput, "Unexpected end of string");
                return fail();
            case '"': {
                std::string s;
                if (!scanRestOfString(s))
                    return fail();
                value = VXJsonValue(std::move(s));
                state = State::HaveValue;
                break;
            }
            case '+':
                addErrorWithCode(VXJsonErrorCode::BadNumber, "Leading + disallowed in number");
                return fail();
            case '-':
            case '0': case '1': case '2': case '3': case '4':
            case '5': case '6': case '7': case '8': case '9':
                --c_;
                if (!scanNumber(value))
                    return fail();
                state = State::HaveValue;
                break;
            case '[':
                if (!enterContainer())
                    return fail();
                frames.emplace_back();
                state = State::ArrayNext;
                break;
            case '{':
                if (!enterContainer())
                    return fail();
                frames.emplace_back();
                frames.back().isObject = true;
                state = State::ObjectNext;
                break;
            case 't':
                if (!scanLiteral("rue", "Expected 'true'"))
                    return fail();
                value = VXJsonValue(true);
                state = State::HaveValue;
                break;
            case 'f':
                if (!scanLiteral("alse", "Expected 'false'"))
                    return fail();
                value = VXJsonValue(false);
                state = State::HaveValue;
                break;
            case 'n':
                if (!scanLiteral("ull", "Expected 'null'"))
                    return fail();
                value = VXJsonValue();
                state = State::HaveValue;
                break;
            default:
                addErrorWithCode(VXJsonErrorCode::Parse, "Unrecognised leading character");
                return fail();
            }
            break;
        }
        case State::HaveValue: {
            if (frames.empty())
                return value;
            Frame& f = frames.back();
            if (f.isObject) {
                f.object.set(std::move(f.key), std::move(value));
                f.key.clear();
                skipWhitespace();
                if (current() == ',') {
                    ++c_;
                    skipWhitespace();
                    if (current() == '}') {
                        addErrorWithCode(VXJsonErrorCode::TrailingComma, "Trailing comma disallowed in object");
                        return failFrame();
                    }
                }
                state = State::ObjectNext;
            } else {
                f.array.push_back(std::move(value));
                skipWhitespace();
                if (current() == ',') {
                    ++c_;
                    skipWhitespace();
                    if (current() == ']') {
                        addErrorWithCode(VXJsonErrorCode::TrailingComma, "Trailing comma disallowed in array");
                        return failFrame();
                    }
                }
                state = State::ArrayNext;
            }
            break;
        }
        case State::ArrayNext:
            if (current() == 0) {
                addErrorWithCode(VXJsonErrorCode::EndOfInput, "End of input while parsing array");
                return failFrame();
            }
            skipWhitespace();
            if (current() == ']') {
                ++c_;
                --depth_;
                value = VXJsonValue(std::move(frames.back().array));
                frames.pop_back();
                state = State::HaveValue;
            } else {
                state = State::Value;
            }
            break;
        case State::ObjectNext: {
            if (current() == 0) {
                addErrorWithCode(VXJsonErrorCode::EndOfInput, "End of input while parsing object");
                return failFrame();
            }
            skipWhitespace();
            if (current() == '}') {
                ++c_;
                --depth_;
                value = VXJsonValue(std::move(frames.back().object));
                frames.pop_back();
                state = State::HaveValue;
                break;
            }
            Frame& f = frames.back();
            bool haveKey = false;
            if (current() == '"') {
                ++c_;
                haveKey = scanRestOfString(f.key);
            }
            if (!haveKey) {
                addErrorWithCode(VXJsonErrorCode::Parse, "Object key string expected");
                return failFrame();
            }
            skipWhitespace();
            if (current() != ':') {
                addErrorWithCode(VXJsonErrorCode::Parse, "Expected ':' separating key and value");
                return failFrame();
            }
            ++c_;
            state = State::Value;
            break;
        }
        }
    }
}

bool VXJsonParser::scanLiteral(std::string_view rest, const char* error) {
    if (static_cast<std::size_t>(end_ - c_) >= rest.size() &&
        std::string_view(reinterpret_cast<const char*>(c_), rest.size()) == rest) {
        c_ += rest.size();
        return true;
    }
    addErrorWithCode(VXJsonErrorCode::Parse, error);
    return false;
}

bool VXJsonParser::scanNumber(VXJsonValue& out) {
    const unsigned char* start = c_;
    if (current() == '-')
        ++c_;
    if (current() == '0') {
        ++c_;
        if (isDigit(current())) {
            addErrorWithCode(VXJsonErrorCode::BadNumber, "Leading 0 disallowed in number");
            return false;
        }
    } else if (!isDigit(current())) {
        addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after initial minus");
        return false;
    } else {
        while (isDigit(current()))
            ++c_;
    }
    if (current() == '.') {
        ++c_;
        if (!isDigit(current())) {
            addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after decimal point");
            return false;
        }
        while (isDigit(current()))
            ++c_;
    }
    if (current() == 'e' || current() == 'E') {
        ++c_;
        if (current() == '+' || current() == '-')
            ++c_;
        if (!isDigit(current())) {
            addErrorWithCode(VXJsonErrorCode::BadNumber, "No digits after exponent");
            return false;
        }
        while (isDigit(current()))
            ++c_;
    }
    const base::Decimal d = VXJsonDecimalFromText(
        std::string_view(reinterpret_cast<const char*>(start), static_cast<std::size_t>(c_ - start)));
    if (d.isNaN()) {
        // Out of the decimal's range (an exponent far beyond 127).
        addErrorWithCode(VXJsonErrorCode::BadNumber, "Failed creating decimal instance");
        return false;
    }
    out = VXJsonValue(d);
    return true;
}

bool VXJsonParser::scanRestOfString(std::string& out) {
    do {
        // The longest run that needs no decoding goes in at once.
        const unsigned char* start = c_;
        while (c_ < end_) {
            const unsigned char b = *c_;
            if (b < 0x20 || b == '"' || b == '\\')
                break;
            if (b < 0x80) {
                ++c_;
                continue;
            }
            const std::size_t n = utf8SequenceLength(c_, end_);
            if (n == 0) {
                addErrorWithCode(VXJsonErrorCode::Unicode, "Broken unicode character");
                return false;
            }
            c_ += n;
        }
        out.append(reinterpret_cast<const char*>(start), static_cast<std::size_t>(c_ - start));

        const unsigned char b = current();
        if (b == '"') {
            ++c_;
            return true;
        }
        if (b == '\\') {
            ++c_;
            const unsigned char e = current();
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += static_cast<char>(e);
                break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                ++c_;
                unsigned cp = 0;
                if (!scanUnicodeChar(cp)) {
                    addErrorWithCode(VXJsonErrorCode::Unicode, "Broken unicode character");
                    return false;
                }
                appendUTF8(out, cp);
                continue;  // the position is already past the escape
            }
            default: {
                // Name the character after the backslash by its code point.
                unsigned code = e;
                if (e >= 0x80) {
                    const std::size_t n = utf8SequenceLength(c_, end_);
                    if (n)
                        code = decodeUTF8(c_, n);
                }
                addErrorWithCode(VXJsonErrorCode::Escape, base::format("Illegal escape sequence '0x%x'", code));
                return false;
            }
            }
            ++c_;
        } else {
            addErrorWithCode(VXJsonErrorCode::ControlCharacter,
                             base::format("Unescaped control character '0x%x'", static_cast<unsigned>(b)));
            return false;
        }
    } while (current() != 0);
    addErrorWithCode(VXJsonErrorCode::EndOfInput, "Unexpected EOF while parsing string");
    return false;
}

bool VXJsonParser::scanHexQuad(unsigned& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int h = hexValue(current());
        if (h < 0) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Missing hex digit in quad");
            return false;
        }
        value = value * 16 + static_cast<unsigned>(h);
        ++c_;
    }
    return true;
}

bool VXJsonParser::scanUnicodeChar(unsigned& codePoint) {
    unsigned hi = 0;
    if (!scanHexQuad(hi)) {
        addErrorWithCode(VXJsonErrorCode::Unicode, "Missing hex quad");
        return false;
    }
    if (hi >= 0xD800 && hi <= 0xDBFF) {
        unsigned lo = 0;
        bool haveLow = false;
        if (current() == '\\' && end_ - c_ >= 2 && c_[1] == 'u') {
            c_ += 2;
            haveLow = scanHexQuad(lo);
        }
        if (!haveLow) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Missing low character in surrogate pair");
            return false;
        }
        if (lo < 0xDC00 || lo > 0xDFFF) {
            addErrorWithCode(VXJsonErrorCode::Unicode, "Invalid low surrogate char");
            return false;
        }
        codePoint = 0x10000 + (hi - 0xD800) * 0x400 + (lo - 0xDC00);
    } else if (hi >= 0xDC00 && hi <= 0xDFFF) {
        addErrorWithCode(VXJsonErrorCode::Unicode, "Invalid high character in surrogate pair");
        return false;
    } else {
        codePoint = hi;
    }
    return true;
}
