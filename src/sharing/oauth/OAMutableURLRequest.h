#pragma once
// A URL request that signs itself for OAuth 1.0: it collects the OAuth
// parameters, the request's own query or form parameters and any extra
// OAuth parameters, signs their base string with the consumer's and the
// token's secrets, and sets the "Authorization" header.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/URLRequest.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OARequestParameter.h"
#include "sharing/oauth/OASignatureProviding.h"
#include "sharing/oauth/OAToken.h"

class OAMutableURLRequest : public net::URLRequest {
public:
    static constexpr double TimeoutInterval = 10.0;

    // A request that ignores locally cached data and times out after 10 s.
    // No token gives the empty token, no realm "", no provider HMAC-SHA1.
    // The timestamp is now (whole seconds) and the nonce a new UUID.
    OAMutableURLRequest(net::URL url, std::shared_ptr<OAConsumer> consumer, std::shared_ptr<OAToken> token,
                        std::optional<std::string> realm, std::shared_ptr<OASignatureProviding> signatureProvider);
    // The same with a given nonce and timestamp.
    OAMutableURLRequest(net::URL url, std::shared_ptr<OAConsumer> consumer, std::shared_ptr<OAToken> token,
                        std::optional<std::string> realm, std::shared_ptr<OASignatureProviding> signatureProvider,
                        std::string nonce, std::string timestamp);

    const std::shared_ptr<OAConsumer>& consumer() const { return consumer_; }
    void setConsumer(std::shared_ptr<OAConsumer> consumer) { consumer_ = std::move(consumer); }
    const std::shared_ptr<OAToken>& token() const { return token_; }
    void setToken(std::shared_ptr<OAToken> token) { token_ = std::move(token); }
    const std::string& realm() const { return realm_; }
    void setRealm(std::string realm) { realm_ = std::move(realm); }
    const std::shared_ptr<OASignatureProviding>& signatureProvider() const { return signatureProvider_; }
    void setSignatureProvider(std::shared_ptr<OASignatureProviding> provider) {
        signatureProvider_ = std::move(provider);
    }
    const std::string& nonce() const { return nonce_; }
    const std::string& timestamp() const { return timestamp_; }
    void setTimestampForTesting(std::string timestamp) { timestamp_ = std::move(timestamp); }
    // Empty until prepare().
    const std::string& signature() const { return signature_; }
    bool didPrepare() const { return didPrepare_; }

    // Extra OAuth parameters, signed and sent in the header after the
    // standard ones, in ascending order of name.
    const std::map<std::string, std::string>& extraOAuthParameters() const { return extraOAuthParameters_; }
    // Adds or replaces one. Both are required: a missing one is reported to
    // the assertion handler and nothing is stored.
    void setOAuthParameterName(const std::optional<std::string>& parameterName,
                               const std::optional<std::string>& parameterValue);

    // The query parameters (GET and DELETE) or the form-body parameters (any
    // other method), percent-decoded; none when there is no query or body.
    std::optional<std::vector<OARequestParameter>> parameters() const;
    // Writes the parameters as the query (GET, DELETE: the URL becomes the
    // URL without query, "?" and the pairs) or as a form body with its
    // "Content-Length" and "Content-Type" headers.
    void setParameters(const std::vector<OARequestParameter>& parameters);

    // The text that is signed: method, URL without query and the sorted
    // parameter pairs, each percent-escaped.
    std::string signatureBaseString() const;
    // Signs the request and sets "Authorization". Only the first call does
    // anything: set method, body and parameters before it.
    void prepare();

private:
    std::shared_ptr<OAConsumer> consumer_;
    std::shared_ptr<OAToken> token_;
    std::string realm_;
    std::shared_ptr<OASignatureProviding> signatureProvider_;
    std::string nonce_;
    std::string timestamp_;
    std::string signature_;
    std::map<std::string, std::string> extraOAuthParameters_;
    bool didPrepare_ = false;
};
