#pragma once
// Digests, message authentication and text encodings of bytes: MD5, SHA-1,
// HMAC-SHA1, base64, UUID text and a random 32-bit number.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Value.h"

namespace base {

// The 16-byte MD5 digest and its 32 lowercase hexadecimal digits.
Data md5(const Data& bytes);
std::string md5Hex(const Data& bytes);
std::string md5Hex(std::string_view text);

// The 20-byte SHA-1 digest, and HMAC-SHA1 of a message under a key.
Data sha1(const Data& bytes);
Data hmacSha1(const Data& key, const Data& message);
Data hmacSha1(std::string_view key, std::string_view message);

// Lowercase hexadecimal digits of any bytes.
std::string hexString(const Data& bytes);

// Standard base64 with padding. With lineBreaks, CR LF follows every 72
// characters (not after the last line).
std::string base64Encode(const Data& bytes, bool lineBreaks = false);
std::string base64Encode(std::string_view text, bool lineBreaks = false);
// Decodes standard base64; blanks and line breaks are skipped, missing
// padding is accepted; any other character gives nullopt.
std::optional<Data> base64Decode(std::string_view text);

// A new random (version 4) UUID as uppercase 8-4-4-4-12 text.
std::string uuidString();

// A random number from the system's cryptographic generator.
std::uint32_t random32();

}  // namespace base
