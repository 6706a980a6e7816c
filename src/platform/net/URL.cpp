#include "platform/net/URL.h"

#include <unicode/uidna.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/base/UTF8.h"
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

// ---- Resolving an address on a page -------------------------------------
//
// A browser's URL parser: a state machine over the bytes of the address
// (UTF-8), which builds the parts of the URL and then writes them out. Each
// part is percent-escaped once it is complete, so a record always holds its
// parts as they are written.

namespace net {
namespace {

struct Parsed {
    std::string scheme, username, password;
    std::optional<std::string> host;
    std::optional<int> port;
    bool opaquePath = false;  // "mailto:x", "javascript:x": one path, not segments
    std::string opaque;
    std::vector<std::string> path;
    std::optional<std::string> query, fragment;
};

bool isSpecialScheme(std::string_view s) {
    return s == "http" || s == "https" || s == "ftp" || s == "ws" || s == "wss" || s == "file";
}

int defaultPortOf(std::string_view s) {
    if (s == "http" || s == "ws") return 80;
    if (s == "https" || s == "wss") return 443;
    if (s == "ftp") return 21;
    return -1;
}

bool isAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHex(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexDigit(int c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }
char lowerASCII(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool startsEscape(std::string_view text, std::size_t i) {
    return i + 2 < text.size() && text[i] == '%' && isHex(static_cast<unsigned char>(text[i + 1])) &&
           isHex(static_cast<unsigned char>(text[i + 2]));
}

// The bytes each part escapes besides those no URL may carry at all
// (controls, blanks, non-ASCII, '"', '<', '>', '\\', '^', '`', '{', '|', '}').
enum class Part { Opaque, Fragment, Query, SpecialQuery, Path, Userinfo };

bool escapes(Part part, unsigned char c) {
    if (isForbiddenInURL(c)) return true;
    switch (part) {
    case Part::Opaque:
    case Part::Fragment: return false;
    case Part::Query: return c == '#';
    case Part::SpecialQuery: return c == '#' || c == '\'';
    case Part::Path: return c == '#' || c == '?';
    case Part::Userinfo: return std::string_view("#?/:;=@[]").find(static_cast<char>(c)) != std::string_view::npos;
    }
    return false;
}

// Escapes what part may not hold; a "%" that starts no two-digit escape is
// escaped itself ("%25").
std::string escape(std::string_view raw, Part part) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c == '%' ? !startsEscape(raw, i) : escapes(part, c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (startsEscape(text, i)) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// ---- Hosts

// One number of a dotted IPv4 address: decimal, octal ("0" first) or
// hexadecimal ("0x" first). Values beyond 2^32 saturate (they are refused).
std::optional<std::uint64_t> ipv4Number(std::string_view part) {
    if (part.empty()) return std::nullopt;
    int radix = 10;
    if (part.size() >= 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
        radix = 16;
        part.remove_prefix(2);
    } else if (part.size() >= 2 && part[0] == '0') {
        radix = 8;
        part.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (char ch : part) {
        const int c = static_cast<unsigned char>(ch);
        const bool ok = radix == 16 ? isHex(c) : radix == 10 ? isDigit(c) : c >= '0' && c <= '7';
        if (!ok) return std::nullopt;
        value = std::min<std::uint64_t>(value * static_cast<unsigned>(radix) + static_cast<unsigned>(hexDigit(c)),
                                        std::uint64_t{1} << 40);
    }
    return value;
}

std::vector<std::string_view> splitDots(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos) return parts;
        start = dot + 1;
    }
}

// A host whose last label is a number is an IPv4 address (or no host).
bool endsInNumber(std::string_view host) {
    auto parts = splitDots(host);
    if (parts.back().empty()) {
        if (parts.size() == 1) return false;
        parts.pop_back();
    }
    const std::string_view last = parts.back();
    if (!last.empty() && std::all_of(last.begin(), last.end(), [](char c) { return isDigit(c); })) return true;
    return ipv4Number(last).has_value();
}

std::optional<std::string> ipv4(std::string_view host) {
    auto parts = splitDots(host);
    if (parts.back().empty() && parts.size() > 1) parts.pop_back();
    if (parts.size() > 4) return std::nullopt;
    std::vector<std::uint64_t> numbers;
    for (std::string_view part : parts) {
        auto n = ipv4Number(part);
        if (!n) return std::nullopt;
        numbers.push_back(*n);
    }
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i)
        if (numbers[i] > 255) return std::nullopt;
    if (numbers.back() >= (std::uint64_t{1} << (8 * (5 - numbers.size())))) return std::nullopt;
    std::uint64_t address = numbers.back();
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) address += numbers[i] << (8 * (3 - i));
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
           std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255);
}

// The text between the brackets of an IPv6 host, written back in its
// shortest form (lower case, the first longest run of zeros as "::").
std::optional<std::string> ipv6(std::string_view in) {
    std::array<unsigned, 8> address{};
    int piece = 0;
    std::optional<int> compress;
    std::size_t p = 0;
    auto at = [&](std::size_t k) { return k < in.size() ? static_cast<unsigned char>(in[k]) : -1; };
    if (at(p) == ':') {
        if (at(p + 1) != ':') return std::nullopt;
        p += 2;
        compress = ++piece;
    }
    while (at(p) != -1) {
        if (piece == 8) return std::nullopt;
        if (at(p) == ':') {
            if (compress) return std::nullopt;
            ++p;
            compress = ++piece;
            continue;
        }
        unsigned value = 0;
        std::size_t length = 0;
        while (length < 4 && isHex(at(p))) {
            value = value * 16 + static_cast<unsigned>(hexDigit(at(p)));
            ++p;
            ++length;
        }
        if (at(p) == '.') {
            // An IPv4 address in the last two pieces.
            if (length == 0) return std::nullopt;
            p -= length;
            if (piece > 6) return std::nullopt;
            int numbersSeen = 0;
            while (at(p) != -1) {
                std::optional<unsigned> part;
                if (numbersSeen > 0) {
                    if (at(p) == '.' && numbersSeen < 4) ++p;
                    else return std::nullopt;
                }
                if (!isDigit(at(p))) return std::nullopt;
                while (isDigit(at(p))) {
                    const auto digit = static_cast<unsigned>(at(p) - '0');
                    if (!part) part = digit;
                    else if (*part == 0) return std::nullopt;
                    else part = *part * 10 + digit;
                    if (*part > 255) return std::nullopt;
                    ++p;
                }
                address[static_cast<std::size_t>(piece)] = address[static_cast<std::size_t>(piece)] * 0x100 + *part;
                ++numbersSeen;
                if (numbersSeen == 2 || numbersSeen == 4) ++piece;
            }
            if (numbersSeen != 4) return std::nullopt;
            break;
        }
        if (at(p) == ':') {
            ++p;
            if (at(p) == -1) return std::nullopt;
        } else if (at(p) != -1) {
            return std::nullopt;
        }
        address[static_cast<std::size_t>(piece++)] = value;
    }
    if (compress) {
        int swaps = piece - *compress;
        piece = 7;
        while (piece != 0 && swaps > 0) {
            std::swap(address[static_cast<std::size_t>(piece)],
                      address[static_cast<std::size_t>(*compress + swaps - 1)]);
            --piece;
            --swaps;
        }
    } else if (piece != 8) {
        return std::nullopt;
    }
    // The first longest run of two or more zero pieces.
    int best = -1, bestLength = 1;
    for (int i = 0; i < 8;) {
        int j = i;
        while (j < 8 && address[static_cast<std::size_t>(j)] == 0) ++j;
        if (j - i > bestLength) {
            best = i;
            bestLength = j - i;
        }
        i = j == i ? i + 1 : j;
    }
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "[";
    for (int i = 0; i < 8; ++i) {
        if (i == best) {
            out += i == 0 ? "::" : ":";
            i += bestLength - 1;
            continue;
        }
        const unsigned v = address[static_cast<std::size_t>(i)];
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (v >> shift) & 15;
            if (digit || started || shift == 0) {
                out += hex[digit];
                started = true;
            }
        }
        if (i != 7) out += ':';
    }
    return out + "]";
}

bool isForbiddenHostByte(unsigned char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\r' ||
           std::string_view(" #/:<>?@[\\]^|").find(static_cast<char>(c)) != std::string_view::npos;
}

bool isForbiddenDomainByte(unsigned char c) { return isForbiddenHostByte(c) || c < 0x20 || c == '%' || c == 0x7F; }

// A domain name in its ASCII form, as international names are looked up
// (UTS 46, nontransitional, without the STD3 rules, hyphen checks or DNS
// length limits). Nullopt when it has none.
std::optional<std::string> domainToASCII(const std::string& domain) {
    bool ascii = true;
    for (char c : domain) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        std::string lowered;
        lowered.reserve(domain.size());
        for (char c : domain) lowered += lowerASCII(c);
        bool punycode = false;
        for (std::string_view label : splitDots(lowered)) punycode = punycode || label.substr(0, 4) == "xn--";
        if (!punycode) return lowered;
    }
    static UIDNA* idna = [] {
        UErrorCode status = U_ZERO_ERROR;
        UIDNA* made =
            uidna_openUTS46(UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ | UIDNA_NONTRANSITIONAL_TO_ASCII, &status);
        return U_SUCCESS(status) ? made : nullptr;
    }();
    if (!idna || domain.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 4))
        return std::nullopt;
    std::string out(domain.size() * 4 + 64, '\0');
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length =
        uidna_nameToASCII_UTF8(idna, domain.data(), static_cast<std::int32_t>(domain.size()), out.data(),
                               static_cast<std::int32_t>(out.size()), &info, &status);
    constexpr std::uint32_t kAllowed = UIDNA_ERROR_EMPTY_LABEL | UIDNA_ERROR_LABEL_TOO_LONG |
                                       UIDNA_ERROR_DOMAIN_NAME_TOO_LONG | UIDNA_ERROR_LEADING_HYPHEN |
                                       UIDNA_ERROR_TRAILING_HYPHEN | UIDNA_ERROR_HYPHEN_3_4;
    if (U_FAILURE(status) || (info.errors & ~kAllowed) != 0 || length <= 0) return std::nullopt;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::optional<std::string> parseHost(std::string_view input, bool special) {
    if (!input.empty() && input[0] == '[') {
        if (input.back() != ']' || input.size() < 2) return std::nullopt;
        return ipv6(input.substr(1, input.size() - 2));
    }
    if (!special) {
        for (char c : input)
            if (isForbiddenHostByte(static_cast<unsigned char>(c))) return std::nullopt;
        return escape(input, Part::Opaque);
    }
    auto ascii = domainToASCII(base::validUTF8(percentDecode(input)));
    if (!ascii || ascii->empty()) return std::nullopt;
    for (char c : *ascii)
        if (isForbiddenDomainByte(static_cast<unsigned char>(c))) return std::nullopt;
    if (endsInNumber(*ascii)) return ipv4(*ascii);
    return ascii;
}

// ---- Paths

bool isWindowsDriveLetter(std::string_view s) {
    return s.size() == 2 && isAlpha(static_cast<unsigned char>(s[0])) && (s[1] == ':' || s[1] == '|');
}

bool isNormalizedWindowsDriveLetter(std::string_view s) { return isWindowsDriveLetter(s) && s[1] == ':'; }

bool startsWithWindowsDriveLetter(std::string_view s) {
    if (s.size() < 2 || !isWindowsDriveLetter(s.substr(0, 2))) return false;
    return s.size() == 2 || std::string_view("/\\?#").find(s[2]) != std::string_view::npos;
}

bool equalsLower(std::string_view s, std::string_view lower) {
    if (s.size() != lower.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (lowerASCII(s[i]) != lower[i]) return false;
    return true;
}

bool isSingleDot(std::string_view s) { return s == "." || equalsLower(s, "%2e"); }

bool isDoubleDot(std::string_view s) {
    return s == ".." || equalsLower(s, ".%2e") || equalsLower(s, "%2e.") || equalsLower(s, "%2e%2e");
}

void shortenPath(Parsed& url) {
    if (url.scheme == "file" && url.path.size() == 1 && isNormalizedWindowsDriveLetter(url.path[0])) return;
    if (!url.path.empty()) url.path.pop_back();
}

// ---- The parser

enum class State {
    SchemeStart,
    Scheme,
    NoScheme,
    SpecialRelativeOrAuthority,
    PathOrAuthority,
    Relative,
    RelativeSlash,
    SpecialAuthoritySlashes,
    SpecialAuthorityIgnoreSlashes,
    Authority,
    Host,
    Port,
    File,
    FileSlash,
    FileHost,
    PathStart,
    Path,
    OpaquePath,
    Query,
    Fragment,
};

std::optional<Parsed> parse(std::string_view text, const Parsed* base) {
    // Leading and trailing blanks and controls are dropped, tabs and line
    // breaks inside are ignored; bytes that are not UTF-8 read as U+FFFD.
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) --last;
    std::string in;
    in.reserve(last - first);
    for (char c : base::validUTF8(text.substr(first, last - first)))
        if (c != '\t' && c != '\n' && c != '\r') in += c;

    const auto n = static_cast<long long>(in.size());
    auto at = [&](long long k) {
        return k >= 0 && k < n ? static_cast<unsigned char>(in[static_cast<std::size_t>(k)]) : -1;
    };
    Parsed url;
    State state = State::SchemeStart;
    std::string buffer, user, password;
    bool atSignSeen = false, insideBrackets = false, passwordTokenSeen = false;
    auto special = [&] { return isSpecialScheme(url.scheme); };
    for (long long p = 0;; ++p) {
        const int c = at(p);
        // Ends a host, a port or an authority.
        const bool hostEnd = c == -1 || c == '/' || c == '?' || c == '#' || (c == '\\' && special());
        switch (state) {
        case State::SchemeStart:
            if (isAlpha(c)) {
                buffer += lowerASCII(static_cast<char>(c));
                state = State::Scheme;
            } else {
                state = State::NoScheme;
                --p;
            }
            break;
        case State::Scheme:
            if (isAlpha(c) || isDigit(c) || c == '+' || c == '-' || c == '.') {
                buffer += lowerASCII(static_cast<char>(c));
            } else if (c == ':') {
                url.scheme = std::move(buffer);
                buffer.clear();
                if (url.scheme == "file") {
                    state = State::File;
                } else if (special() && base && base->scheme == url.scheme) {
                    state = State::SpecialRelativeOrAuthority;
                } else if (special()) {
                    state = State::SpecialAuthoritySlashes;
                } else if (at(p + 1) == '/') {
                    state = State::PathOrAuthority;
                    ++p;
                } else {
                    url.opaquePath = true;
                    state = State::OpaquePath;
                }
            } else {
                // No scheme after all: start over.
                buffer.clear();
                state = State::NoScheme;
                p = -1;
            }
            break;
        case State::NoScheme:
            if (!base || (base->opaquePath && c != '#')) return std::nullopt;
            if (base->opaquePath) {
                url.scheme = base->scheme;
                url.opaquePath = true;
                url.opaque = base->opaque;
                url.query = base->query;
                url.fragment = "";
                state = State::Fragment;
            } else {
                state = base->scheme == "file" ? State::File : State::Relative;
                --p;
            }
            break;
        case State::SpecialRelativeOrAuthority:
            if (c == '/' && at(p + 1) == '/') {
                state = State::SpecialAuthorityIgnoreSlashes;
                ++p;
            } else {
                state = State::Relative;
                --p;
            }
            break;
        case State::PathOrAuthority:
            if (c == '/') {
                state = State::Authority;
            } else {
                state = State::Path;
                --p;
            }
            break;
        case State::Relative:
            url.scheme = base->scheme;
            if (c == '/' || (c == '\\' && special())) {
                state = State::RelativeSlash;
            } else {
                url.username = base->username;
                url.password = base->password;
                url.host = base->host;
                url.port = base->port;
                url.path = base->path;
                url.query = base->query;
                if (c == '?') {
                    url.query = "";
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = "";
                    state = State::Fragment;
                } else if (c != -1) {
                    url.query.reset();
                    shortenPath(url);
                    state = State::Path;
                    --p;
                }
            }
            break;
        case State::RelativeSlash:
            if (special() && (c == '/' || c == '\\')) {
                state = State::SpecialAuthorityIgnoreSlashes;
            } else if (c == '/') {
                state = State::Authority;
            } else {
                url.username = base->username;
                url.password = base->password;
                url.host = base->host;
                url.port = base->port;
                state = State::Path;
                --p;
            }
            break;
        case State::SpecialAuthoritySlashes:
            state = State::SpecialAuthorityIgnoreSlashes;
            if (c == '/' && at(p + 1) == '/') ++p;
            else --p;
            break;
        case State::SpecialAuthorityIgnoreSlashes:
            if (c != '/' && c != '\\') {
                state = State::Authority;
                --p;
            }
            break;
        case State::Authority:
            if (c == '@') {
                // Everything up to the last "@" is the user's name and
                // password; an earlier "@" is part of them.
                if (atSignSeen) buffer.insert(0, "%40");
                atSignSeen = true;
                for (char b : buffer) {
                    if (b == ':' && !passwordTokenSeen) passwordTokenSeen = true;
                    else (passwordTokenSeen ? password : user) += b;
                }
                buffer.clear();
            } else if (hostEnd) {
                if (atSignSeen && buffer.empty()) return std::nullopt;
                url.username = escape(user, Part::Userinfo);
                url.password = escape(password, Part::Userinfo);
                p -= static_cast<long long>(buffer.size()) + 1;
                buffer.clear();
                state = State::Host;
            } else {
                buffer += static_cast<char>(c);
            }
            break;
        case State::Host:
            if (c == ':' && !insideBrackets) {
                if (buffer.empty()) return std::nullopt;
                url.host = parseHost(buffer, special());
                if (!url.host) return std::nullopt;
                buffer.clear();
                state = State::Port;
            } else if (hostEnd) {
                --p;
                if (special() && buffer.empty()) return std::nullopt;
                url.host = parseHost(buffer, special());
                if (!url.host) return std::nullopt;
                buffer.clear();
                state = State::PathStart;
            } else {
                if (c == '[') insideBrackets = true;
                if (c == ']') insideBrackets = false;
                buffer += static_cast<char>(c);
            }
            break;
        case State::Port:
            if (isDigit(c)) {
                buffer += static_cast<char>(c);
            } else if (hostEnd) {
                if (!buffer.empty()) {
                    long value = 0;
                    for (char d : buffer) value = std::min(value * 10 + (d - '0'), 65536L);
                    if (value > 65535) return std::nullopt;
                    if (value == defaultPortOf(url.scheme)) url.port.reset();
                    else url.port = static_cast<int>(value);
                    buffer.clear();
                }
                state = State::PathStart;
                --p;
            } else {
                return std::nullopt;
            }
            break;
        case State::File:
            url.scheme = "file";
            url.host = "";
            if (c == '/' || c == '\\') {
                state = State::FileSlash;
            } else if (base && base->scheme == "file") {
                url.host = base->host;
                url.path = base->path;
                url.query = base->query;
                if (c == '?') {
                    url.query = "";
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = "";
                    state = State::Fragment;
                } else if (c != -1) {
                    url.query.reset();
                    if (startsWithWindowsDriveLetter(std::string_view(in).substr(static_cast<std::size_t>(p))))
                        url.path.clear();
                    else shortenPath(url);
                    state = State::Path;
                    --p;
                }
            } else {
                state = State::Path;
                --p;
            }
            break;
        case State::FileSlash:
            if (c == '/' || c == '\\') {
                state = State::FileHost;
            } else {
                if (base && base->scheme == "file") {
                    url.host = base->host;
                    if (!startsWithWindowsDriveLetter(std::string_view(in).substr(static_cast<std::size_t>(p))) &&
                        !base->path.empty() && isNormalizedWindowsDriveLetter(base->path[0]))
                        url.path.push_back(base->path[0]);
                }
                state = State::Path;
                --p;
            }
            break;
        case State::FileHost:
            if (c == -1 || c == '/' || c == '\\' || c == '?' || c == '#') {
                --p;
                if (isWindowsDriveLetter(buffer)) {
                    state = State::Path;  // the buffer starts the path
                } else if (buffer.empty()) {
                    url.host = "";
                    state = State::PathStart;
                } else {
                    url.host = parseHost(buffer, true);
                    if (!url.host) return std::nullopt;
                    if (*url.host == "localhost") url.host = "";
                    buffer.clear();
                    state = State::PathStart;
                }
            } else {
                buffer += static_cast<char>(c);
            }
            break;
        case State::PathStart:
            if (special()) {
                state = State::Path;
                if (c != '/' && c != '\\') --p;
            } else if (c == '?') {
                url.query = "";
                state = State::Query;
            } else if (c == '#') {
                url.fragment = "";
                state = State::Fragment;
            } else if (c != -1) {
                state = State::Path;
                if (c != '/') --p;
            }
            break;
        case State::Path:
            if (c == -1 || c == '/' || (c == '\\' && special()) || c == '?' || c == '#') {
                const bool slash = c == '/' || (c == '\\' && special());
                if (isDoubleDot(buffer)) {
                    shortenPath(url);
                    if (!slash) url.path.emplace_back();
                } else if (isSingleDot(buffer)) {
                    if (!slash) url.path.emplace_back();
                } else {
                    if (url.scheme == "file" && url.path.empty() && isWindowsDriveLetter(buffer)) buffer[1] = ':';
                    url.path.push_back(escape(buffer, Part::Path));
                }
                buffer.clear();
                if (c == '?') {
                    url.query = "";
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = "";
                    state = State::Fragment;
                }
            } else {
                buffer += static_cast<char>(c);
            }
            break;
        case State::OpaquePath:
            if (c == '?' || c == '#' || c == -1) {
                url.opaque = escape(buffer, Part::Opaque);
                buffer.clear();
                if (c == '?') {
                    url.query = "";
                    state = State::Query;
                } else if (c == '#') {
                    url.fragment = "";
                    state = State::Fragment;
                }
            } else {
                buffer += static_cast<char>(c);
            }
            break;
        case State::Query:
            if (c == '#' || c == -1) {
                url.query = escape(buffer, special() ? Part::SpecialQuery : Part::Query);
                buffer.clear();
                if (c == '#') {
                    url.fragment = "";
                    state = State::Fragment;
                }
            } else {
                buffer += static_cast<char>(c);
            }
            break;
        case State::Fragment:
            if (c == -1) url.fragment = escape(buffer, Part::Fragment);
            else buffer += static_cast<char>(c);
            break;
        }
        if (p >= n) break;
    }
    return url;
}

std::string serialize(const Parsed& url) {
    std::string out = url.scheme + ":";
    if (url.host) {
        out += "//";
        if (!url.username.empty() || !url.password.empty()) {
            out += url.username;
            if (!url.password.empty()) out += ":" + url.password;
            out += "@";
        }
        out += *url.host;
        if (url.port) out += ":" + std::to_string(*url.port);
    } else if (!url.opaquePath && url.path.size() > 1 && url.path[0].empty()) {
        out += "/.";  // so that the path's leading "//" does not read as a host
    }
    if (url.opaquePath) out += url.opaque;
    else
        for (const std::string& segment : url.path) out += "/" + segment;
    if (url.query) out += "?" + *url.query;
    if (url.fragment) out += "#" + *url.fragment;
    return out;
}

}  // namespace

std::optional<std::string> URL::resolve(std::string_view href, std::string_view base) {
    const std::optional<Parsed> parsedBase = parse(base, nullptr);
    std::optional<Parsed> url = parse(href, parsedBase ? &*parsedBase : nullptr);
    if (!url) return std::nullopt;
    if (url->host)
        for (char c : *url->host)
            if (isForbiddenInURL(static_cast<unsigned char>(c))) return std::nullopt;
    return serialize(*url);
}

}  // namespace net
