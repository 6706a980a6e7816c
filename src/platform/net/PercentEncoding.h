#pragma once
// Percent-escaping of text for URLs and form bodies, over UTF-8 bytes with
// upper-case hex digits.
#include <optional>
#include <string>
#include <string_view>

namespace net {

// Escapes every byte but A-Z, a-z, 0-9 and "-._~" (the unreserved characters):
// safe for a query or form value whatever it holds ("+" becomes "%2B", a
// blank "%20").
std::string percentEncodeUnreserved(std::string_view text);

// The characters that may never stand in a URL unescaped: controls, blanks,
// non-ASCII bytes and '"', '<', '>', '\\', '^', '`', '{', '|', '}'.
bool isForbiddenInURL(unsigned char c);

// Escapes the characters that may not stand in a URL at all (controls,
// blanks, non-ASCII, and '"', '%', '<', '>', '\\', '^', '`', '{', '|', '}'),
// leaving the URL's delimiters (":/?#[]@!$&'()*+,;=") alone, plus every
// character of alsoEscape.
std::string addingPercentEscapes(std::string_view text, std::string_view alsoEscape = {});

// Decodes every "%XY" escape. Nullopt when an escape is malformed or the
// result is not valid UTF-8. "+" stays "+".
std::optional<std::string> replacingPercentEscapes(std::string_view text);

// Decodes a form value: "+" is a blank, then percent escapes (malformed
// input is kept as it stands).
std::string formDecode(std::string_view text);

}  // namespace net
