#include "platform/net/CookieStorage.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/base/Strings.h"
#include "platform/net/CurlLibrary.h"

namespace net {
namespace {

std::string trim(std::string_view s) { return base::trim(s, base::kSpacesAndTabs); }

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isIPAddress(const std::string& host) {
    if (!host.empty() && host.front() == '[') return true;
    return !host.empty() && std::all_of(host.begin(), host.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '.'; });
}

// Whether host belongs to the cookie domain (a leading "." also matches
// every subdomain; without it, the host itself only).
bool domainMatches(const std::string& cookieDomain, const std::string& host) {
    std::string d = lower(cookieDomain), h = lower(host);
    if (d.empty()) return false;
    if (d.front() == '.') {
        std::string bare = d.substr(1);
        if (h == bare) return true;
        return h.size() > d.size() && h.compare(h.size() - d.size(), d.size(), d) == 0;
    }
    return h == d;
}

bool pathMatches(const std::string& cookiePath, const std::string& requestPath) {
    std::string p = requestPath.empty() ? "/" : requestPath;
    if (p == cookiePath) return true;
    if (p.rfind(cookiePath, 0) != 0) return false;
    return cookiePath.back() == '/' || p[cookiePath.size()] == '/';
}

// The default path of a cookie set by a request for path: its folder.
std::string defaultPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return "/";
    std::size_t slash = path.rfind('/');
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool sameIdentity(const Cookie& a, const Cookie& b) {
    return a.name == b.name && lower(a.domain) == lower(b.domain) && a.path == b.path;
}

// Splits a header value that joins several Set-Cookie lines with ", " while
// keeping the comma inside "Expires=Wed, 09 Jun 2027 ..." in its cookie.
std::vector<std::string> splitJoinedCookies(const std::string& value) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= value.size(); ++i) {
        if (i < value.size() && value[i] != ',') continue;
        std::string piece = value.substr(start, i - start);
        // A comma right after "expires=<weekday>" belongs to the date.
        std::string lowerPiece = lower(piece);
        std::size_t semi = lowerPiece.rfind(';');
        std::string lastAttr = trim(semi == std::string::npos ? lowerPiece : lowerPiece.substr(semi + 1));
        if (i < value.size() && lastAttr.rfind("expires=", 0) == 0 && lastAttr.find(' ') == std::string::npos) {
            continue;  // keep scanning: the date goes on after the comma
        }
        if (!trim(piece).empty()) pieces.push_back(trim(piece));
        start = i + 1;
    }
    return pieces;
}

}  // namespace

bool Cookie::isExpired() const { return expiresDate && expiresDate->timeIntervalSinceNow() <= 0; }

bool Cookie::matches(const URL& url) const {
    if (!url.isValid() || isExpired()) return false;
    if (secure && url.scheme() != "https") return false;
    return domainMatches(domain, url.host()) && pathMatches(path.empty() ? "/" : path, url.path());
}

std::optional<Cookie> Cookie::parseSetCookie(const std::string& value, const URL& url) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t semi = value.find(';', start);
        parts.push_back(value.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    std::size_t eq = parts[0].find('=');
    if (eq == std::string::npos) return std::nullopt;
    Cookie c;
    c.name = trim(std::string_view(parts[0]).substr(0, eq));
    c.value = trim(std::string_view(parts[0]).substr(eq + 1));
    if (c.name.empty()) return std::nullopt;
    c.domain = url.host();
    c.path = defaultPath(url.path());
    bool haveMaxAge = false;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::size_t e = parts[i].find('=');
        std::string attr = lower(trim(std::string_view(parts[i]).substr(0, e)));
        std::string v = e == std::string::npos ? std::string() : trim(std::string_view(parts[i]).substr(e + 1));
        if (attr == "domain" && !v.empty()) {
            std::string d = lower(v);
            if (d.front() != '.') d.insert(0, 1, '.');
            // Refuse a domain the answering host is not part of, and one
            // naming an address (which cannot have subdomains).
            if (!domainMatches(d, url.host())) return std::nullopt;
            c.domain = isIPAddress(d.substr(1)) ? d.substr(1) : d;
        } else if (attr == "path" && !v.empty() && v.front() == '/') {
            c.path = v;
        } else if (attr == "max-age") {
            char* end = nullptr;
            long long seconds = std::strtoll(v.c_str(), &end, 10);
            if (end != v.c_str()) {
                haveMaxAge = true;
                c.expiresDate = base::Date::now().addingTimeInterval(static_cast<double>(seconds));
            }
        } else if (attr == "expires" && !haveMaxAge) {
            // libcurl reads the date forms servers send; without it the
            // cookie lasts the session.
            time_t t = loadCurl() ? curl_getdate(v.c_str(), nullptr) : -1;
            if (t != -1) c.expiresDate = base::Date(static_cast<double>(t));
        } else if (attr == "secure") {
            c.secure = true;
        } else if (attr == "httponly") {
            c.httpOnly = true;
        }
    }
    return c;
}

std::vector<Cookie> Cookie::cookiesWithResponseHeaderFields(const HeaderFields& headers, const URL& url) {
    std::vector<Cookie> out;
    auto it = headers.find("Set-Cookie");
    if (it == headers.end()) return out;
    for (const std::string& piece : splitJoinedCookies(it->second))
        if (auto c = parseSetCookie(piece, url)) out.push_back(*c);
    return out;
}

std::map<std::string, std::string> Cookie::requestHeaderFieldsWithCookies(const std::vector<Cookie>& cookies) {
    std::map<std::string, std::string> out;
    if (cookies.empty()) return out;
    std::string text;
    for (const Cookie& c : cookies) {
        if (!text.empty()) text += "; ";
        text += c.name + "=" + c.value;
    }
    out["Cookie"] = text;
    return out;
}

std::string Cookie::description() const {
    return "<Cookie " + name + "=" + value + "; domain=" + domain + "; path=" + path + ">";
}

CookieStorage& CookieStorage::sharedHTTPCookieStorage() {
    static CookieStorage storage;
    return storage;
}

std::vector<Cookie> CookieStorage::cookies() const {
    std::lock_guard lock(mutex_);
    std::vector<Cookie> out;
    for (const Cookie& c : cookies_)
        if (!c.isExpired()) out.push_back(c);
    return out;
}

std::vector<Cookie> CookieStorage::cookiesForURL(const URL& url) const {
    std::vector<Cookie> out;
    {
        std::lock_guard lock(mutex_);
        for (const Cookie& c : cookies_)
            if (c.matches(url)) out.push_back(c);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Cookie& a, const Cookie& b) { return a.path.size() > b.path.size(); });
    return out;
}

void CookieStorage::setCookie(const Cookie& cookie) {
    std::lock_guard lock(mutex_);
    std::erase_if(cookies_, [&](const Cookie& c) { return sameIdentity(c, cookie) || c.isExpired(); });
    if (!cookie.isExpired()) cookies_.push_back(cookie);
}

void CookieStorage::setCookies(const std::vector<Cookie>& cookies) {
    for (const Cookie& c : cookies) setCookie(c);
}

void CookieStorage::deleteCookie(const Cookie& cookie) {
    std::lock_guard lock(mutex_);
    std::erase_if(cookies_, [&](const Cookie& c) { return sameIdentity(c, cookie); });
}

void CookieStorage::deleteAllCookies() {
    std::lock_guard lock(mutex_);
    cookies_.clear();
}

}  // namespace net
