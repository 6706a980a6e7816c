#pragma once
// Checking and repairing UTF-8 text. Text that crosses into a file format or
// a protocol must be valid UTF-8, or the reader on the other side refuses or
// cuts it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// The length of the well-formed UTF-8 sequence that starts at text[i]
// (1 to 4), or 0 when the bytes there do not start one (a stray
// continuation byte, an overlong form, a surrogate, a value above U+10FFFF
// or a sequence cut short).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);

bool isValidUTF8(std::string_view text);

// Whether c continues a UTF-8 sequence (10xxxxxx) rather than starting one:
// a cut of text moves back over such bytes to land between characters.
inline bool isUTF8ContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The text with every byte that does not start a well-formed sequence
// replaced by U+FFFD, one replacement per such byte.
std::string validUTF8(std::string_view text);

// Appends the UTF-8 form of the code point cp (at most U+10FFFF; the caller
// replaces surrogates and larger values first).
inline void appendUTF8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace base
