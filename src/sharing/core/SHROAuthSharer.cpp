#include "sharing/core/SHROAuthSharer.h"

#include "platform/base/Format.h"
#include "platform/net/CookieStorage.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRActivityIndicator.h"
#include "sharing/core/SHRFunctions.h"
#include "sharing/oauth/OAAsynchronousDataFetcher.h"

namespace {

std::string bodyText(const base::Data& data) { return std::string(data.begin(), data.end()); }

}  // namespace

// --- Keychain ---------------------------------------------------------------------

bool SHROAuthSharer::restoreAccessToken() {
    consumer_ = std::make_shared<OAConsumer>(consumerKey_, secretKey_);
    if (accessToken_) return true;
    const auto key = getAuthValueForKey("accessKey");
    const auto secret = getAuthValueForKey("accessSecret");
    if (!key || !secret || key->empty() || secret->empty()) return false;
    accessToken_ = std::make_shared<OAToken>(*key, *secret);
    if (auto handle = getAuthValueForKey("sessionHandle"); handle && !handle->empty())
        accessToken_->setSessionHandle(*handle);
    return true;
}

void SHROAuthSharer::storeAccessToken() {
    if (!accessToken_) return;
    if (!accessToken_->key().empty()) SHR::setAuthValue(accessToken_->key(), "accessKey", sharerId());
    if (!accessToken_->secret().empty()) SHR::setAuthValue(accessToken_->secret(), "accessSecret", sharerId());
    const auto& handle = accessToken_->sessionHandle();
    if (handle && !handle->empty()) SHR::setAuthValue(*handle, "sessionHandle", sharerId());
    else SHR::removeAuthValueForKey("sessionHandle", sharerId());  // an older token's handle would not renew this one
}

void SHROAuthSharer::deleteStoredAccessToken() {
    for (const char* key : {"accessKey", "accessSecret", "sessionHandle"}) SHR::removeAuthValueForKey(key, sharerId());
}

void SHROAuthSharer::logout() {
    SHRSharer::logout();  // the login form's values (a direct login may use them)
    deleteStoredAccessToken();
    accessToken_.reset();
    if (!authorizeURL_) return;
    auto& storage = net::CookieStorage::sharedHTTPCookieStorage();
    for (const auto& cookie : storage.cookiesForURL(*authorizeURL_)) storage.deleteCookie(cookie);
}

void SHROAuthSharer::dropStoredCredentials() {
    SHRSharer::dropStoredCredentials();
    deleteStoredAccessToken();
    accessToken_.reset();
}

// --- The road -------------------------------------------------------------------

void SHROAuthSharer::endRoad(bool endTheShare) {
    auto keep = roadKeepAlive_;
    roadKeepAlive_.reset();
    if (endTheShare) endShare();
}

void SHROAuthSharer::showStepAlert(const std::string& title, const std::optional<net::Error>& error,
                                   const std::string& fallback) {
    std::string message = fallback;
    if (error && !error->localizedDescription().empty()) message = error->localizedDescription();
    showAlert(title, message);
}

void SHROAuthSharer::promptAuthorization() { tokenRequest(); }

void SHROAuthSharer::tokenRequest() {
    beginRoad();
    if (!consumer_) consumer_ = std::make_shared<OAConsumer>(consumerKey_, secretKey_);
    SHRActivityIndicator::currentIndicator()->displayActivity(localizedFormat("Connecting..."));
    if (!requestURL_) {
        tokenRequestTicketDidFail(OAServiceTicket(nullptr, std::nullopt, false), std::nullopt);
        return;
    }
    auto request =
        std::make_shared<OAMutableURLRequest>(*requestURL_, consumer_, nullptr, std::nullopt, signatureProvider_);
    request->setHTTPMethod("POST");
    tokenRequestModifyRequest(*request);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, oauthSelf(), &SHROAuthSharer::tokenRequestTicketDidFinish, &SHROAuthSharer::tokenRequestTicketDidFail)
        ->start();
}

void SHROAuthSharer::tokenRequestTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    auto keep = oauthSelf();
    SHRActivityIndicator::hideCurrent();
    if (ticket.didSucceed()) {
        // A 2xx answer may still carry no token ("oauth_problem=..."): that
        // is a refusal, not a token.
        auto token = OAToken::tokenWithHTTPResponseBody(bodyText(data));
        if (token && !token->key().empty()) {
            requestToken_ = token;
            tokenAuthorize();
            return;
        }
    }
    tokenRequestTicketDidFail(
        ticket, SHR::error(localizedFormat("There was a problem requesting authorization from %@", sharerTitle())));
}

void SHROAuthSharer::tokenRequestTicketDidFail(const OAServiceTicket&, const std::optional<net::Error>& error) {
    auto keep = oauthSelf();
    SHRActivityIndicator::hideCurrent();
    showStepAlert(localizedFormat("Request Error"), error, localizedFormat("There was an error while sharing"));
    endRoad(true);
}

void SHROAuthSharer::tokenAuthorize() {
    const std::string base = authorizeURL_ ? authorizeURL_->absoluteString() : std::string();
    net::URL url(base::format("%@?oauth_token=%@", base, requestToken_ ? requestToken_->key() : std::string()));
    SHR::currentHelper().showViewController(
        SHROAuthView::create(url, std::static_pointer_cast<SHROAuthViewDelegate>(oauthSelf())));
}

void SHROAuthSharer::tokenAuthorizeView(SHROAuthView&, bool success,
                                        const std::optional<std::map<std::string, std::string>>& queryParams,
                                        const std::optional<net::Error>& error) {
    auto keep = oauthSelf();
    SHR::currentHelper().hideCurrentViewController();
    if (success) {
        authorizeResponseQueryVars_ = queryParams;
        tokenAccess();
        return;
    }
    showStepAlert(localizedFormat("Authorize Error"), error, localizedFormat("There was an error while authorizing"));
    endRoad(true);
}

void SHROAuthSharer::tokenAuthorizeCancelledView(SHROAuthView&) {
    auto keep = oauthSelf();
    SHR::currentHelper().hideCurrentViewController();
    // Silent: the share stays unsent; the sharer is let go.
    endRoad(true);
}

void SHROAuthSharer::tokenAccess(bool refresh) {
    beginRoad();
    if (!consumer_) consumer_ = std::make_shared<OAConsumer>(consumerKey_, secretKey_);
    if (!refresh) SHRActivityIndicator::currentIndicator()->displayActivity(localizedFormat("Authenticating..."));
    if (!accessURL_) {
        tokenAccessTicketDidFail(OAServiceTicket(nullptr, std::nullopt, false), std::nullopt);
        return;
    }
    auto request = std::make_shared<OAMutableURLRequest>(*accessURL_, consumer_, refresh ? accessToken_ : requestToken_,
                                                         std::nullopt, signatureProvider_);
    request->setHTTPMethod("POST");
    tokenAccessModifyRequest(*request);
    OAAsynchronousDataFetcher::asynchronousFetcherWithRequest(
        request, oauthSelf(), &SHROAuthSharer::tokenAccessTicketDidFinish, &SHROAuthSharer::tokenAccessTicketDidFail)
        ->start();
}

void SHROAuthSharer::tokenAccessTicketDidFinish(const OAServiceTicket& ticket, const base::Data& data) {
    auto keep = oauthSelf();
    SHRActivityIndicator::hideCurrent();
    if (ticket.didSucceed()) {
        auto token = OAToken::tokenWithHTTPResponseBody(bodyText(data));
        if (token && !token->key().empty() && !token->secret().empty()) {
            accessToken_ = token;
            storeAccessToken();
            if (pendingAction() != SHRPendingRefreshToken) refreshed_ = false;  // a fresh login
            // The share goes on: keep the sharer until it ends.
            SHR::currentHelper().keepSharer(keep);
            endRoad(false);
            tryPendingAction();
            return;
        }
    }
    tokenAccessTicketDidFail(
        ticket, SHR::error(localizedFormat("There was a problem requesting access from %@", sharerTitle())));
}

void SHROAuthSharer::tokenAccessTicketDidFail(const OAServiceTicket&, const std::optional<net::Error>& error) {
    auto keep = oauthSelf();
    SHRActivityIndicator::hideCurrent();
    if (pendingAction() == SHRPendingRefreshToken) {
        // A send is under way: it ends with a failure that asks for a new
        // login (which starts a road of its own).
        endRoad(false);
        sendDidFailShouldRelogin();
        return;
    }
    showStepAlert(localizedFormat("Access Error"), error, localizedFormat("There was an error while sharing"));
    endRoad(true);
}

void SHROAuthSharer::refreshToken() {
    if (refreshed_) {
        // Expired again right after a renewal: renewing cannot help.
        sendDidFailShouldRelogin();
        return;
    }
    refreshed_ = true;
    setPendingAction(SHRPendingRefreshToken);
    tokenAccess(true);
}

void SHROAuthSharer::tryPendingAction() {
    if (pendingAction() == SHRPendingRefreshToken) {
        auto keep = oauthSelf();
        if (!tryToSend()) endShare();
        return;
    }
    SHRSharer::tryPendingAction();
}
