#pragma once
// Checking and repairing UTF-8 text. Text that crosses into a file format or
// a protocol must be valid UTF-8, or the reader on the other side refuses or
// cuts it.
#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// The length of the well-formed UTF-8 sequence that starts at text[i]
// (1 to 4), or 0 when the bytes there do not start one (a stray
// continuation byte, an overlong form, a surrogate, a value above U+10FFFF
// or a sequence cut short).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i);

bool isValidUTF8(std::string_view text);

// The text with every byte that does not start a well-formed sequence
// replaced by U+FFFD, one replacement per such byte.
std::string validUTF8(std::string_view text);

}  // namespace base
