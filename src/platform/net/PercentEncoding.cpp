#include "platform/net/PercentEncoding.h"

#include <cctype>

#include "platform/base/UTF8.h"

namespace net {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendEscape(std::string& out, unsigned char c) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
}

bool isUnreserved(unsigned char c) { return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string percentEncodeUnreserved(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) out += ch;
        else appendEscape(out, c);
    }
    return out;
}

bool isForbiddenInURL(unsigned char c) {
    if (c <= 0x20 || c >= 0x7f) return true;
    switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}': return true;
    default: return false;
    }
}

std::string addingPercentEscapes(std::string_view text, std::string_view alsoEscape) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        // '%' starts an escape of its own, so a literal one is escaped too.
        const bool escape = isForbiddenInURL(c) || c == '%' || alsoEscape.find(ch) != std::string_view::npos;
        if (escape) appendEscape(out, c);
        else out += ch;
    }
    return out;
}

std::optional<std::string> replacingPercentEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (!base::isValidUTF8(out)) return std::nullopt;
    return out;
}

std::string formDecode(std::string_view text) {
    std::string plus(text);
    for (char& c : plus)
        if (c == '+') c = ' ';
    std::string out;
    out.reserve(plus.size());
    for (std::size_t i = 0; i < plus.size(); ++i) {
        if (plus[i] == '%' && i + 2 < plus.size()) {
            int hi = hexValue(plus[i + 1]), lo = hexValue(plus[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += plus[i];
    }
    return out;
}

}  // namespace net
