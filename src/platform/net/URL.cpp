#include "platform/net/URL.h"

#include <cctype>

#include "platform/net/PercentEncoding.h"

namespace net {
namespace {

bool isSchemeChar(char c, bool first) {
    if (std::isalpha(static_cast<unsigned char>(c))) return true;
    if (first) return false;
    return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string URL::schemeOf(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0) return {};
    for (std::size_t i = 0; i < colon; ++i)
        if (!isSchemeChar(text[i], i == 0)) return {};
    return lower(std::string(text.substr(0, colon)));
}

URL::URL(const std::string& text) {
    if (auto parsed = URLWithString(text)) *this = *parsed;
    else text_ = text;
}

std::optional<URL> URL::URLWithString(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (isForbiddenInURL(static_cast<unsigned char>(c))) return std::nullopt;
    // A "%" must start a two-digit escape.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
            return std::nullopt;
    }
    URL u;
    u.text_ = text;
    u.scheme_ = schemeOf(text);
    if (u.scheme_.empty()) return std::nullopt;
    std::string rest = text.substr(u.scheme_.size() + 1);

    std::size_t hash = rest.find('#');
    if (hash != std::string::npos) {
        u.fragment_ = rest.substr(hash + 1);
        rest.erase(hash);
    }
    std::size_t q = rest.find('?');
    if (q != std::string::npos) {
        u.hasQuery_ = true;
        u.query_ = rest.substr(q + 1);
        rest.erase(q);
    }
    if (rest.rfind("//", 0) == 0) {
        std::size_t slash = rest.find('/', 2);
        std::string authority = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        u.path_ = slash == std::string::npos ? std::string() : rest.substr(slash);
        std::size_t at = authority.rfind('@');
        if (at != std::string::npos) {
            std::string userinfo = authority.substr(0, at);
            authority.erase(0, at + 1);
            std::size_t c = userinfo.find(':');
            u.user_ = userinfo.substr(0, c);
            if (c != std::string::npos) u.password_ = userinfo.substr(c + 1);
        }
        std::string portText;
        if (!authority.empty() && authority[0] == '[') {
            std::size_t close = authority.find(']');
            if (close == std::string::npos) return std::nullopt;
            u.host_ = authority.substr(0, close + 1);
            std::string after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after[0] != ':') return std::nullopt;
                portText = after.substr(1);
            }
        } else {
            std::size_t c = authority.rfind(':');
            u.host_ = authority.substr(0, c);
            if (c != std::string::npos) portText = authority.substr(c + 1);
        }
        if (!portText.empty()) {
            if (portText.size() > 5) return std::nullopt;
            for (char ch : portText)
                if (!std::isdigit(static_cast<unsigned char>(ch))) return std::nullopt;
            u.port_ = std::stoi(portText);
            if (u.port_ > 65535) return std::nullopt;
        }
        u.host_ = lower(u.host_);
    } else {
        u.path_ = rest;
    }
    if (u.scheme_ == "http" || u.scheme_ == "https") {
        if (u.host_.empty()) return std::nullopt;
        if (u.path_.empty()) u.path_ = "/";
    }
    u.valid_ = true;
    return u;
}

int URL::effectivePort() const {
    if (port_ != 0) return port_;
    if (scheme_ == "http") return 80;
    if (scheme_ == "https") return 443;
    return 0;
}

std::string URL::stringWithoutQuery() const {
    std::size_t end = text_.find_first_of("?#");
    return text_.substr(0, end);
}

std::string URL::stringWithoutCredentials() const {
    if (user_.empty() && password_.empty()) return text_;
    std::size_t start = text_.find("//");
    if (start == std::string::npos) return text_;
    std::size_t at = text_.find('@', start);
    std::size_t authorityEnd = text_.find_first_of("/?#", start + 2);
    if (at == std::string::npos || (authorityEnd != std::string::npos && at > authorityEnd)) return text_;
    return text_.substr(0, start + 2) + text_.substr(at + 1);
}

}  // namespace net
