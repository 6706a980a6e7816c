#pragma once
// The encodings OAuth signing is built on: percent-escaping of names and
// values, the URL without its query, and base64 into a caller's buffer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/net/URL.h"

// Every byte of the UTF-8 text but A-Z, a-z, 0-9 and "-._~" as %XX (upper
// case hex), so reserved characters such as "!*'();:@&=+$,/?%#[]" never
// stand for themselves.
std::string URLEncodedString(std::string_view text);
// Every percent escape decoded; text whose escapes are malformed or do not
// decode to UTF-8 is given back as it stands.
std::string URLDecodedString(std::string_view text);
// The URL's absolute string up to its query (a fragment never belongs to
// what is signed either).
std::string URLStringWithoutQuery(const net::URL& url);

// Standard base64 with "=" padding and a CR LF after every 72 characters
// written. The buffer needs 4 * ceil(length / 3) characters plus 2 for every
// full 72; when *outLength is smaller, nothing is written and the answer is
// false. Otherwise *outLength becomes the length written.
bool base64EncodeBytes(const std::uint8_t* bytes, std::size_t length, char* out, std::size_t* outLength);
