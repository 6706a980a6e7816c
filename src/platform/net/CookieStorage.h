#pragma once
// HTTP cookies and the one cookie storage that every connection shares.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/net/URL.h"
#include "platform/net/URLRequest.h"

namespace net {

struct Cookie {
    std::string name;
    std::string value;
    // The host the cookie belongs to; a leading "." lets it match every
    // subdomain as well.
    std::string domain;
    std::string path = "/";
    std::optional<base::Date> expiresDate;  // none: a session cookie
    bool secure = false;                    // sent over https only
    bool httpOnly = false;

    // Whether the cookie would be sent with a request for the URL (domain,
    // path, secure flag and expiry checked against the clock in force).
    bool matches(const URL& url) const;
    bool isExpired() const;

    // Cookies from the "Set-Cookie" fields of an answer for the URL (several
    // fields may arrive joined by ", " in one header value).
    static std::vector<Cookie> cookiesWithResponseHeaderFields(const HeaderFields& headers, const URL& url);
    // Parses one "Set-Cookie" value; nullopt when malformed or when it names
    // a domain the URL's host does not belong to.
    static std::optional<Cookie> parseSetCookie(const std::string& value, const URL& url);
    // {"Cookie": "a=1; b=2"} for the cookies, or an empty map for none.
    static std::map<std::string, std::string> requestHeaderFieldsWithCookies(const std::vector<Cookie>& cookies);

    std::string description() const;
};

class CookieStorage {
public:
    // The storage shared by every connection (thread-safe).
    static CookieStorage& sharedHTTPCookieStorage();

    std::vector<Cookie> cookies() const;
    // The live cookies to send with a request for the URL, longest path first.
    std::vector<Cookie> cookiesForURL(const URL& url) const;
    // Adds a cookie, replacing one of the same name, domain and path. An
    // expired cookie removes the stored one instead.
    void setCookie(const Cookie& cookie);
    void setCookies(const std::vector<Cookie>& cookies);
    // Removes the stored cookie with the same name, domain and path.
    void deleteCookie(const Cookie& cookie);
    void deleteAllCookies();

    CookieStorage() = default;

private:
    mutable std::mutex mutex_;
    std::vector<Cookie> cookies_;
};

}  // namespace net
