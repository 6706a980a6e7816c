#pragma once
// The base of the sharers whose service uses OAuth 1.0. In place of a login
// form it runs the three-legged exchange: a request token, the service's
// authorize page (SHROAuthView) where the person allows access, the
// redirect to the callback address caught there, the access token, kept in
// the keychain ("accessKey", "accessSecret", "sessionHandle"), and then the
// pending share. An expired access token can be renewed with its session
// handle (refreshToken).
//
// The sharer keeps itself alive while this road runs: the token fetchers
// hold it weakly, and a login started from a failed send would otherwise
// lose it as soon as the failure has been reported.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sharing/core/SHROAuthView.h"
#include "sharing/core/SHRSharer.h"
#include "sharing/oauth/OAConsumer.h"
#include "sharing/oauth/OAMutableURLRequest.h"
#include "sharing/oauth/OAServiceTicket.h"
#include "sharing/oauth/OASignatureProviding.h"
#include "sharing/oauth/OAToken.h"

class SHROAuthSharer : public SHRSharer, public SHROAuthViewDelegate {
public:
    // --- Configuration (set by the subclass's constructor).
    const std::string& consumerKey() const { return consumerKey_; }
    void setConsumerKey(std::string key) { consumerKey_ = std::move(key); }
    const std::string& secretKey() const { return secretKey_; }
    void setSecretKey(std::string key) { secretKey_ = std::move(key); }
    std::optional<net::URL> authorizeCallbackURL() const override { return authorizeCallbackURL_; }
    void setAuthorizeCallbackURL(std::optional<net::URL> url) { authorizeCallbackURL_ = std::move(url); }
    const std::optional<net::URL>& authorizeURL() const { return authorizeURL_; }
    void setAuthorizeURL(std::optional<net::URL> url) { authorizeURL_ = std::move(url); }
    const std::optional<net::URL>& requestURL() const { return requestURL_; }
    void setRequestURL(std::optional<net::URL> url) { requestURL_ = std::move(url); }
    const std::optional<net::URL>& accessURL() const { return accessURL_; }
    void setAccessURL(std::optional<net::URL> url) { accessURL_ = std::move(url); }
    const std::shared_ptr<OASignatureProviding>& signatureProvider() const { return signatureProvider_; }
    void setSignatureProvider(std::shared_ptr<OASignatureProviding> provider) {
        signatureProvider_ = std::move(provider);
    }

    // --- State.
    const std::shared_ptr<OAConsumer>& consumer() const { return consumer_; }
    const std::shared_ptr<OAToken>& requestToken() const { return requestToken_; }
    void setRequestToken(std::shared_ptr<OAToken> token) { requestToken_ = std::move(token); }
    const std::shared_ptr<OAToken>& accessToken() const { return accessToken_; }
    void setAccessToken(std::shared_ptr<OAToken> token) { accessToken_ = std::move(token); }
    const std::optional<std::map<std::string, std::string>>& authorizeResponseQueryVars() const {
        return authorizeResponseQueryVars_;
    }

    // --- Keychain.
    bool isAuthorized() override { return restoreAccessToken(); }
    // Sets the consumer; true when an access token is held or both its key
    // and secret are stored.
    bool restoreAccessToken();
    void storeAccessToken();
    void deleteStoredAccessToken();
    // Forgets the stored token and the authorize site's cookies, so the next
    // authorization asks for the login again.
    void logout() override;

    // --- The exchange.
    void promptAuthorization() override;
    void tokenRequest();
    virtual void tokenRequestModifyRequest(OAMutableURLRequest& request) { (void)request; }
    virtual void tokenRequestTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data);
    virtual void tokenRequestTicketDidFail(const OAServiceTicket& ticket, const std::optional<net::Error>& error);
    void tokenAuthorize();
    void tokenAuthorizeView(SHROAuthView& view, bool success,
                            const std::optional<std::map<std::string, std::string>>& queryParams,
                            const std::optional<net::Error>& error) override;
    void tokenAuthorizeCancelledView(SHROAuthView& view) override;
    void tokenAccess() { tokenAccess(false); }
    void tokenAccess(bool refresh);
    virtual void tokenAccessModifyRequest(OAMutableURLRequest& request) { (void)request; }
    virtual void tokenAccessTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data);
    virtual void tokenAccessTicketDidFail(const OAServiceTicket& ticket, const std::optional<net::Error>& error);
    // Renews the access token, then sends again. A send that meets an
    // expired token a second time asks for a new login instead.
    void refreshToken();
    bool hasRefreshedToken() const { return refreshed_; }
    void tryPendingAction() override;

protected:
    // A refused token is forgotten, stored and held alike (with the login
    // form's values a direct login may have kept).
    void dropStoredCredentials() override;
    // The alert of a failed step: title, and the error's description or the
    // fallback text.
    void showStepAlert(const std::string& title, const std::optional<net::Error>& error, const std::string& fallback);
    std::shared_ptr<SHROAuthSharer> oauthSelf() { return std::static_pointer_cast<SHROAuthSharer>(self()); }
    // The road ends: stop keeping the sharer alive; unsent ends the share.
    void endRoad(bool endTheShare);

private:
    void beginRoad() { roadKeepAlive_ = oauthSelf(); }

    std::string consumerKey_;
    std::string secretKey_;
    std::optional<net::URL> authorizeCallbackURL_;
    std::optional<net::URL> authorizeURL_;
    std::optional<net::URL> requestURL_;
    std::optional<net::URL> accessURL_;
    std::shared_ptr<OASignatureProviding> signatureProvider_;
    std::shared_ptr<OAConsumer> consumer_;
    std::shared_ptr<OAToken> requestToken_;
    std::shared_ptr<OAToken> accessToken_;
    std::optional<std::map<std::string, std::string>> authorizeResponseQueryVars_;
    std::shared_ptr<SHROAuthSharer> roadKeepAlive_;
    bool refreshed_ = false;
};
