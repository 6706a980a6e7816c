#include "sharing/oauth/OAToken.h"

#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "sharing/oauth/OAEncoding.h"

std::shared_ptr<OAToken> OAToken::tokenWithHTTPResponseBody(std::string_view body) {
    auto token = std::make_shared<OAToken>(std::string(), std::string());
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view piece = body.substr(start, end - start);
        const std::size_t eq = piece.find('=');
        const std::string_view name = piece.substr(0, eq);
        const std::string value = eq == std::string_view::npos ? std::string() : URLDecodedString(piece.substr(eq + 1));
        if (name == "oauth_token") token->key_ = value;
        else if (name == "oauth_token_secret") token->secret_ = value;
        else if (name == "oauth_session_handle") token->sessionHandle_ = value;
        start = end + 1;
    }
    return token;
}

namespace {

std::string defaultsKey(const std::string& provider, const std::string& prefix, const char* part) {
    return base::format("OAUTH_%@_%@_%s", prefix, provider, part);
}

}  // namespace

std::shared_ptr<OAToken> OAToken::tokenFromUserDefaults(const std::string& serviceProviderName,
                                                        const std::string& prefix) {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    std::optional<std::string> key = defaults.optionalStringForKey(defaultsKey(serviceProviderName, prefix, "KEY"));
    std::optional<std::string> secret =
        defaults.optionalStringForKey(defaultsKey(serviceProviderName, prefix, "SECRET"));
    if (!key || !secret) return nullptr;
    return std::make_shared<OAToken>(std::move(*key), std::move(*secret));
}

void OAToken::storeInUserDefaults(const std::string& serviceProviderName, const std::string& prefix) const {
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setString(defaultsKey(serviceProviderName, prefix, "KEY"), key_);
    defaults.setString(defaultsKey(serviceProviderName, prefix, "SECRET"), secret_);
    defaults.synchronize();
}
