#pragma once
// An error object: a domain, a code and a human-readable description, with
// optional extra information. Loading errors use URLErrorDomain and the codes
// below; other layers bring their own domains.
#include <string>

#include "platform/base/Value.h"

namespace net {

inline constexpr const char* URLErrorDomain = "NSURLErrorDomain";

// The codes of URLErrorDomain.
namespace URLErrorCode {
inline constexpr long Unknown = -1;
inline constexpr long Cancelled = -999;
inline constexpr long BadURL = -1000;
inline constexpr long TimedOut = -1001;
inline constexpr long UnsupportedURL = -1002;
inline constexpr long CannotFindHost = -1003;
inline constexpr long CannotConnectToHost = -1004;
inline constexpr long NetworkConnectionLost = -1005;
inline constexpr long HTTPTooManyRedirects = -1007;
inline constexpr long NotConnectedToInternet = -1009;
// A redirect of a request that carries sign-in details (a body, an
// Authorization header, cookies or a token header) to another origin.
inline constexpr long RedirectToOtherOriginRefused = -1010;
inline constexpr long BadServerResponse = -1011;
inline constexpr long ZeroByteResource = -1014;
// An answer whose content encoding (gzip, deflate...) cannot be undone.
inline constexpr long CannotDecodeContentData = -1016;
// A local file the caller may not read (a page asked for it).
inline constexpr long NoPermissionsToReadFile = -1102;
// An answer (or a file) longer than MaximumResponseLength.
inline constexpr long DataLengthExceedsMaximum = -1103;
inline constexpr long SecureConnectionFailed = -1200;
inline constexpr long ServerCertificateUntrusted = -1202;
}  // namespace URLErrorCode

class Error {
public:
    Error() = default;
    Error(std::string domain, long code, std::string description, base::Dictionary userInfo = {})
        : domain_(std::move(domain)),
          code_(code),
          description_(std::move(description)),
          userInfo_(std::move(userInfo)) {}

    const std::string& domain() const { return domain_; }
    long code() const { return code_; }
    // The text to show the user.
    const std::string& localizedDescription() const { return description_; }
    const base::Dictionary& userInfo() const { return userInfo_; }
    // "Error Domain=<domain> Code=<code> \"<description>\"", for logs and "%@".
    std::string description() const;

private:
    std::string domain_;
    long code_ = 0;
    std::string description_;
    base::Dictionary userInfo_;
};

}  // namespace net
