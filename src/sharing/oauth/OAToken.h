#pragma once
// A request or access token of an OAuth service: key, secret and, where the
// service renews tokens, a session handle.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class OAToken {
public:
    // The empty token: key, secret and session handle all "".
    OAToken() : sessionHandle_(std::string()) {}
    // Key and secret; no session handle.
    OAToken(std::string key, std::string secret) : key_(std::move(key)), secret_(std::move(secret)) {}

    // The token of a service's answer ("oauth_token=...&oauth_token_secret=
    // ...&oauth_session_handle=..."), values percent-decoded; other names are
    // ignored, and what the answer lacks stays empty (no session handle).
    // A piece without "=" counts as an empty value.
    static std::shared_ptr<OAToken> tokenWithHTTPResponseBody(std::string_view body);

    // The token kept in the user defaults under "OAUTH_<prefix>_<provider>_KEY"
    // and "..._SECRET"; null when either is missing.
    static std::shared_ptr<OAToken> tokenFromUserDefaults(const std::string& serviceProviderName,
                                                          const std::string& prefix);
    // Writes key and secret there and writes the defaults file at once.
    void storeInUserDefaults(const std::string& serviceProviderName, const std::string& prefix) const;

    const std::string& key() const { return key_; }
    void setKey(std::string key) { key_ = std::move(key); }
    const std::string& secret() const { return secret_; }
    void setSecret(std::string secret) { secret_ = std::move(secret); }
    const std::optional<std::string>& sessionHandle() const { return sessionHandle_; }
    void setSessionHandle(std::optional<std::string> handle) { sessionHandle_ = std::move(handle); }

private:
    std::string key_;
    std::string secret_;
    std::optional<std::string> sessionHandle_;
};
