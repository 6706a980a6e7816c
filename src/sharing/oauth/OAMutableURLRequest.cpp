#include "sharing/oauth/OAMutableURLRequest.h"

#include <algorithm>
#include <cmath>

#include "platform/base/Clock.h"
#include "platform/base/Digest.h"
#include "platform/base/Exception.h"
#include "platform/base/Format.h"
#include "sharing/oauth/OAEncoding.h"

namespace {

bool usesQuery(const std::string& method) { return method == "GET" || method == "DELETE"; }

std::string currentTimestamp() {
    return base::format("%lld", static_cast<long long>(std::floor(base::Clock::current().now())));
}

std::string pair(std::string_view name, std::string_view value) {
    return URLEncodedString(name) + "=" + URLEncodedString(value);
}

}  // namespace

OAMutableURLRequest::OAMutableURLRequest(net::URL url, std::shared_ptr<OAConsumer> consumer,
                                         std::shared_ptr<OAToken> token, std::optional<std::string> realm,
                                         std::shared_ptr<OASignatureProviding> signatureProvider)
    : OAMutableURLRequest(std::move(url), std::move(consumer), std::move(token), std::move(realm),
                          std::move(signatureProvider), base::uuidString(), currentTimestamp()) {}

OAMutableURLRequest::OAMutableURLRequest(net::URL url, std::shared_ptr<OAConsumer> consumer,
                                         std::shared_ptr<OAToken> token, std::optional<std::string> realm,
                                         std::shared_ptr<OASignatureProviding> signatureProvider, std::string nonce,
                                         std::string timestamp)
    : net::URLRequest(std::move(url), net::CachePolicy::ReloadIgnoringLocalCacheData, TimeoutInterval),
      consumer_(consumer ? std::move(consumer) : std::make_shared<OAConsumer>()),
      token_(token ? std::move(token) : std::make_shared<OAToken>()),
      realm_(realm ? std::move(*realm) : std::string()),
      signatureProvider_(signatureProvider ? std::move(signatureProvider)
                                           : std::make_shared<OAHMAC_SHA1SignatureProvider>()),
      nonce_(std::move(nonce)),
      timestamp_(std::move(timestamp)) {}

void OAMutableURLRequest::setOAuthParameterName(const std::optional<std::string>& parameterName,
                                                const std::optional<std::string>& parameterValue) {
    if (!(parameterName && parameterValue)) {
        base::AssertionHandler::current().handleFailureInMethod(
            "setOAuthParameterName:withValue:", this, __FILE__, __LINE__,
            "Invalid parameter not satisfying: parameterName && parameterValue");
        return;
    }
    extraOAuthParameters_[*parameterName] = *parameterValue;
}

std::optional<std::vector<OARequestParameter>> OAMutableURLRequest::parameters() const {
    const std::string text = usesQuery(httpMethod()) ? url().query() : httpBodyString();
    if (text.empty()) return std::nullopt;
    std::vector<OARequestParameter> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view piece = std::string_view(text).substr(start, end - start);
        // A piece without "=" is a name with an empty value.
        const std::size_t eq = piece.find('=');
        result.emplace_back(URLDecodedString(piece.substr(0, eq)),
                            eq == std::string_view::npos ? std::string() : URLDecodedString(piece.substr(eq + 1)));
        start = end + 1;
    }
    return result;
}

void OAMutableURLRequest::setParameters(const std::vector<OARequestParameter>& parameters) {
    std::string text;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (i) text += '&';
        text += parameters[i].URLEncodedNameValuePair();
    }
    if (usesQuery(httpMethod())) {
        setURL(net::URL(base::format("%@?%@", URLStringWithoutQuery(url()), text)));
    } else {
        setHTTPBody(text);
        setValue(base::format("%d", static_cast<int>(text.size())), "Content-Length");
        setValue(std::string("application/x-www-form-urlencoded"), "Content-Type");
    }
}

std::string OAMutableURLRequest::signatureBaseString() const {
    std::vector<std::string> pairs;
    pairs.push_back(pair("oauth_consumer_key", consumer_->key()));
    pairs.push_back(pair("oauth_signature_method", signatureProvider_->name()));
    pairs.push_back(pair("oauth_timestamp", timestamp_));
    pairs.push_back(pair("oauth_nonce", nonce_));
    pairs.push_back(pair("oauth_version", "1.0"));
    if (!token_->key().empty()) pairs.push_back(pair("oauth_token", token_->key()));
    for (const auto& [name, value] : extraOAuthParameters_) pairs.push_back(pair(name, value));
    // A multipart body is not made of parameters and is not signed.
    const std::string contentType = valueForHTTPHeaderField("Content-Type").value_or("");
    if (contentType.rfind("multipart/form-data", 0) != 0) {
        if (auto params = parameters())
            for (const auto& p : *params) pairs.push_back(p.URLEncodedNameValuePair());
    }
    // Whole pair texts in plain character order: equal names order by value.
    std::sort(pairs.begin(), pairs.end());
    std::string joined;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (i) joined += '&';
        joined += pairs[i];
    }
    return base::format("%@&%@&%@", httpMethod(), URLEncodedString(URLStringWithoutQuery(url())),
                        URLEncodedString(joined));
}

void OAMutableURLRequest::prepare() {
    if (didPrepare_) return;
    didPrepare_ = true;
    const std::string secret =
        base::format("%@&%@", URLEncodedString(consumer_->secret()), URLEncodedString(token_->secret()));
    signature_ = signatureProvider_->signClearText(signatureBaseString(), secret);

    std::string tokenPart;
    if (!token_->key().empty()) tokenPart = base::format("oauth_token=\"%@\", ", URLEncodedString(token_->key()));
    std::string extraPart;
    for (const auto& [name, value] : extraOAuthParameters_)
        extraPart += base::format(", %@=\"%@\"", URLEncodedString(name), URLEncodedString(value));
    setValue(base::format("OAuth realm=\"%@\", oauth_consumer_key=\"%@\", %@oauth_signature_method=\"%@\", "
                          "oauth_signature=\"%@\", oauth_timestamp=\"%@\", oauth_nonce=\"%@\", "
                          "oauth_version=\"1.0\"%@",
                          URLEncodedString(realm_), URLEncodedString(consumer_->key()), tokenPart,
                          URLEncodedString(signatureProvider_->name()), URLEncodedString(signature_), timestamp_,
                          nonce_, extraPart),
             "Authorization");
}
