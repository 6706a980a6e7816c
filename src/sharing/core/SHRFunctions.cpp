#include "sharing/core/SHRFunctions.h"

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

std::string percentEscape(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3 / 2 + 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (isUnreserved(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out;
}

}  // namespace

std::string encodeParameter(const std::optional<std::string>& text) {
    if (!text) return {};
    // Texts taken from web pages may carry the entity form of the ampersand.
    std::string plain;
    plain.reserve(text->size());
    const std::string_view entity = "&amp;";
    for (std::size_t i = 0; i < text->size();) {
        if (std::string_view(*text).substr(i, entity.size()) == entity) {
            plain += '&';
            i += entity.size();
        } else {
            plain += (*text)[i++];
        }
    }
    return percentEscape(plain);
}

std::string encodeURLString(const std::optional<std::string>& url) {
    if (!url) return {};
    return percentEscape(*url);
}

std::string stringOrEmpty(const std::optional<std::string>& text) { return text ? *text : std::string(); }
