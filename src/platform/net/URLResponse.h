#pragma once
// The answer to an HTTP request: the final URL (after redirects), the status
// code and the header fields.
#include <optional>
#include <string>

#include "platform/net/URL.h"
#include "platform/net/URLRequest.h"

namespace net {

class URLResponse {
public:
    URLResponse() = default;
    URLResponse(URL url, long statusCode, HeaderFields headerFields)
        : url_(std::move(url)), status_(statusCode), headers_(std::move(headerFields)) {}

    const URL& url() const { return url_; }
    long statusCode() const { return status_; }
    // Every header field of the answer; a field sent more than once holds
    // its values joined with ", ".
    const HeaderFields& allHeaderFields() const { return headers_; }
    std::optional<std::string> valueForHeaderField(const std::string& field) const;
    // "Content-Length", or -1 when unknown.
    long long expectedContentLength() const;
    // The media type of "Content-Type" without parameters, lower case.
    std::string mimeType() const;
    // The "charset" parameter of "Content-Type", lower case, or empty.
    std::string textEncodingName() const;
    // The standard reason phrase for a status code ("not found").
    static std::string localizedStringForStatusCode(long statusCode);

private:
    URL url_;
    long status_ = 0;
    HeaderFields headers_;
};

}  // namespace net
