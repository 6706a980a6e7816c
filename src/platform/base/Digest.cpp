#include "platform/base/Digest.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <cstdio>
#include <random>
#include <stdexcept>

#include "platform/base/Exception.h"

namespace base {

namespace {

Data digest(const EVP_MD* md, const Data& bytes) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (!EVP_Digest(bytes.data(), bytes.size(), out, &len, md, nullptr))
        raise("NSInternalInconsistencyException", "digest failed");
    return Data(out, out + len);
}

Data bytesOf(std::string_view s) { return Data(s.begin(), s.end()); }

// Fills buf with cryptographically random bytes; falls back to the
// system's random device if the library's generator cannot be seeded.
void randomBytes(unsigned char* buf, int n) {
    if (RAND_bytes(buf, n) == 1) return;
    std::random_device rd;
    for (int i = 0; i < n; ++i) buf[i] = static_cast<unsigned char>(rd());
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

Data md5(const Data& bytes) { return digest(EVP_md5(), bytes); }
std::string md5Hex(const Data& bytes) { return hexString(md5(bytes)); }
std::string md5Hex(std::string_view text) { return md5Hex(bytesOf(text)); }
Data sha1(const Data& bytes) { return digest(EVP_sha1(), bytes); }

Data hmacSha1(const Data& key, const Data& message) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    static const unsigned char empty = 0;
    if (!HMAC(EVP_sha1(), key.empty() ? &empty : key.data(), static_cast<int>(key.size()),
              message.empty() ? &empty : message.data(), message.size(), out, &len))
        raise("NSInternalInconsistencyException", "HMAC-SHA1 failed");
    return Data(out, out + len);
}

Data hmacSha1(std::string_view key, std::string_view message) { return hmacSha1(bytesOf(key), bytesOf(message)); }

std::string hexString(const Data& bytes) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(hex[b >> 4]);
        out.push_back(hex[b & 15]);
    }
    return out;
}

std::string base64Encode(const Data& bytes, bool lineBreaks) {
    std::string plain;
    plain.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        plain.push_back(kAlphabet[(v >> 18) & 63]);
        plain.push_back(kAlphabet[(v >> 12) & 63]);
        plain.push_back(kAlphabet[(v >> 6) & 63]);
        plain.push_back(kAlphabet[v & 63]);
    }
    if (i < bytes.size()) {
        std::uint32_t v = bytes[i] << 16;
        if (i + 1 < bytes.size()) v |= bytes[i + 1] << 8;
        plain.push_back(kAlphabet[(v >> 18) & 63]);
        plain.push_back(kAlphabet[(v >> 12) & 63]);
        plain.push_back(i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=');
        plain.push_back('=');
    }
    if (!lineBreaks) return plain;
    std::string out;
    out.reserve(plain.size() + plain.size() / 72 * 2);
    for (std::size_t k = 0; k < plain.size(); k += 72) {
        if (k) out += "\r\n";
        out.append(plain, k, 72);
    }
    return out;
}

std::string base64Encode(std::string_view text, bool lineBreaks) { return base64Encode(bytesOf(text), lineBreaks); }

std::optional<Data> base64Decode(std::string_view text) {
    Data out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t acc = 0;
    int bits = 0;
    int padding = 0;
    std::size_t symbols = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        if (padding) return std::nullopt;  // data after padding
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else return std::nullopt;
        ++symbols;
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>((acc >> bits) & 0xFF));
        }
    }
    // A single symbol left over cannot hold a byte; more than two '=' is wrong.
    if (symbols % 4 == 1 || padding > 2 || (padding && (symbols + padding) % 4 != 0)) return std::nullopt;
    return out;
}

std::string uuidString() {
    unsigned char b[16];
    randomBytes(b, sizeof b);
    b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4
    b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0], b[1],
                  b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::uint32_t random32() {
    unsigned char b[4];
    randomBytes(b, sizeof b);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

}  // namespace base
