#pragma once
// A URL request: the URL, the HTTP method, header fields, body, time-out and
// cache policy. Plain value; subclasses (signed requests) add their own
// state. Header names compare without regard to case.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Value.h"
#include "platform/net/URL.h"

namespace net {

// Orders header names without regard to ASCII case.
struct HeaderNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using HeaderFields = std::map<std::string, std::string, HeaderNameLess>;

enum class CachePolicy {
    UseProtocolCachePolicy = 0,
    ReloadIgnoringLocalCacheData = 1,
    ReloadIgnoringLocalAndRemoteCacheData = 4,
    ReturnCacheDataElseLoad = 2,
    ReturnCacheDataDontLoad = 3,
};

class URLRequest {
public:
    static constexpr double DefaultTimeoutInterval = 60.0;

    URLRequest() = default;
    explicit URLRequest(URL url, CachePolicy cachePolicy = CachePolicy::UseProtocolCachePolicy,
                        double timeoutInterval = DefaultTimeoutInterval);
    virtual ~URLRequest() = default;
    URLRequest(const URLRequest&) = default;
    URLRequest& operator=(const URLRequest&) = default;
    URLRequest(URLRequest&&) = default;
    URLRequest& operator=(URLRequest&&) = default;

    const URL& url() const { return url_; }
    void setURL(URL url) { url_ = std::move(url); }

    // "GET" unless set.
    const std::string& httpMethod() const { return method_; }
    void setHTTPMethod(std::string method) { method_ = std::move(method); }

    const HeaderFields& allHTTPHeaderFields() const { return headers_; }
    // Replaces every header field.
    void setAllHTTPHeaderFields(const HeaderFields& fields) { headers_ = fields; }
    void setAllHTTPHeaderFields(const std::map<std::string, std::string>& fields);
    std::optional<std::string> valueForHTTPHeaderField(const std::string& field) const;
    // Sets (replaces) one field; an empty optional removes it.
    void setValue(const std::optional<std::string>& value, const std::string& field);
    // Appends to a field, comma-separated, as HTTP allows.
    void addValue(const std::string& value, const std::string& field);

    // The body bytes (empty: no body).
    const base::Data& httpBody() const { return body_; }
    void setHTTPBody(base::Data body) { body_ = std::move(body); }
    void setHTTPBody(std::string_view bytes) { body_.assign(bytes.begin(), bytes.end()); }
    // The body as text (bytes as they are).
    std::string httpBodyString() const { return std::string(body_.begin(), body_.end()); }

    double timeoutInterval() const { return timeout_; }
    void setTimeoutInterval(double seconds) { timeout_ = seconds; }
    CachePolicy cachePolicy() const { return cachePolicy_; }
    void setCachePolicy(CachePolicy policy) { cachePolicy_ = policy; }

    // When true (the default) the shared cookie storage adds its cookies for
    // the URL and keeps the cookies the answer sets.
    bool httpShouldHandleCookies() const { return handleCookies_; }
    void setHTTPShouldHandleCookies(bool handle) { handleCookies_ = handle; }

    // When true (the default) redirects are followed and only the final
    // answer is reported. When false a redirect answer (3xx with its
    // "Location") is reported as the answer itself, so the caller (a web
    // view that must see every navigation) decides where to go next.
    bool followsRedirects() const { return followsRedirects_; }
    void setFollowsRedirects(bool follows) { followsRedirects_ = follows; }

private:
    URL url_;
    std::string method_ = "GET";
    HeaderFields headers_;
    base::Data body_;
    double timeout_ = DefaultTimeoutInterval;
    CachePolicy cachePolicy_ = CachePolicy::UseProtocolCachePolicy;
    bool handleCookies_ = true;
    bool followsRedirects_ = true;
};

}  // namespace net
