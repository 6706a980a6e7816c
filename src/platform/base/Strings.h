#pragma once
// Trimming text. Each caller names the characters it strips, because the
// formats differ in what counts as blank: an HTTP header allows spaces and
// tabs, a line read from a file may still end in a carriage return.
#include <string>
#include <string_view>

namespace base {

// Spaces and tabs: the blanks of HTTP headers and cookies.
inline constexpr std::string_view kSpacesAndTabs = " \t";
// Every character std::isspace accepts in the C locale.
inline constexpr std::string_view kWhitespace = " \t\n\v\f\r";

// The text without the leading characters found in chars.
inline std::string_view trimLeft(std::string_view text, std::string_view chars) {
    std::size_t b = text.find_first_not_of(chars);
    return b == std::string_view::npos ? std::string_view() : text.substr(b);
}

// The text without the trailing characters found in chars.
inline std::string_view trimRight(std::string_view text, std::string_view chars) {
    std::size_t e = text.find_last_not_of(chars);
    return e == std::string_view::npos ? std::string_view() : text.substr(0, e + 1);
}

// The text without the leading and trailing characters found in chars.
inline std::string trim(std::string_view text, std::string_view chars) {
    return std::string(trimRight(trimLeft(text, chars), chars));
}

}  // namespace base
