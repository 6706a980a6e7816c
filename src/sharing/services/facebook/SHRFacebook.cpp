#include "sharing/services/facebook/SHRFacebook.h"

#include "platform/base/Format.h"
#include "platform/base/UserDefaults.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/Services.h"
#include "platform/ui/Application.h"
#include "sharing/core/SHR.h"
#include "sharing/core/SHRFunctions.h"

std::string SHRFacebook::appURL() {
    if (auto address = net::Services::address("SharingWebSite")) return address->baseURL() + "/";
    return "";
}

SHRFacebook::SHRFacebook() : permissions_{"publish_stream", "offline_access"} {}

std::shared_ptr<Facebook> SHRFacebook::facebook() {
    if (!facebook_) {
        facebook_ = Facebook::create(AppId);
        facebook_->setSessionDelegate(std::static_pointer_cast<FBSessionDelegate>(facebookSelf()));
        facebook_->setAccessToken(getAuthValueForKey(AccessTokenKey));
        facebook_->setExpirationDate(base::UserDefaults::standardUserDefaults().dateForKey(ExpirationDateKey));
    }
    return facebook_;
}

bool SHRFacebook::isAuthorized() { return facebook()->isSessionValid(); }

void SHRFacebook::promptAuthorization() {
    auto keep = facebookSelf();
    // The login page cannot load offline: say so rather than end in silence.
    if (!SHR::connected()) {
        if (!quiet())
            showAlert(localizedFormat("Offline"), localizedFormat("You must be online to login to %@", sharerTitle()));
        endShare();
        return;
    }
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.setObject(PendingItemKey, item()->dictionaryRepresentation());
    defaults.synchronize();
    facebook()->authorize(permissions_, std::static_pointer_cast<FBSessionDelegate>(keep));
}

void SHRFacebook::fbDidLogin() {
    auto keep = facebookSelf();
    SHR::currentHelper().keepSharer(keep);
    auto session = facebook();
    if (session->accessToken()) SHR::setAuthValue(*session->accessToken(), AccessTokenKey, sharerId());
    auto& defaults = base::UserDefaults::standardUserDefaults();
    if (session->expirationDate()) defaults.setObject(ExpirationDateKey, *session->expirationDate());
    else defaults.removeObjectForKey(ExpirationDateKey);
    if (ui::Device::currentDevice().isMultitaskingSupported()) {
        if (auto pending = defaults.dictionaryForKey(PendingItemKey)) {
            setItem(SHRItem::itemFromDictionary(*pending));
            defaults.removeObjectForKey(PendingItemKey);
        }
    }
    defaults.synchronize();
    share();
}

void SHRFacebook::fbDidNotLogin(bool) {
    // A cancelled or failed login reports nothing; the share just ends.
    endShare();
}

bool SHRFacebook::send() {
    auto keep = facebookSelf();
    // An item of a type this sharer does not take (or without its content)
    // is not sent, and nothing is reported for it.
    if (!canShareType(item()->shareType()) || !validateItem()) return false;
    auto session = facebook();
    const auto delegate = std::static_pointer_cast<FBRequestDelegate>(keep);
    switch (item()->shareType()) {
    case SHRShareTypeURL: {
        FBParams params{{"link", item()->URL()->absoluteString()}};
        if (item()->title()) {
            params.set("name", *item()->title());
            if (item()->text()) params.set("caption", *item()->text());
        }
        if (const auto* picture = item()->customValueForKey("image").asString()) params.set("picture", *picture);
        session->requestWithGraphPath("me/feed", std::move(params), "POST", delegate);
        break;
    }
    case SHRShareTypeText: {
        const std::string actions =
            base::format("{\"name\":\"%@\", \"link\":\"%@\"}", encodeParameter(base::format("Get %@", AppName)),
                         encodeParameter(appURL()));
        FBParams params{{"message", *item()->text()}, {"actions", actions}};
        session->requestWithGraphPath("me/feed", std::move(params), "POST", delegate);
        break;
    }
    case SHRShareTypeImage: {
        FBParams params;
        params.set("source", item()->image());
        if (item()->title()) params.set("message", *item()->title());
        session->requestWithGraphPath("me/photos", std::move(params), "POST", delegate);
        break;
    }
    default: break;
    }
    sendDidStart();
    return true;
}

void SHRFacebook::requestDidLoad(FBRequest&, const FBResult&) { sendDidFinish(); }

void SHRFacebook::requestDidFailWithError(FBRequest&, const net::Error& error) { sendDidFailWithError(error); }

void SHRFacebook::dialogDidComplete(FBDialog&) {
    if (pendingFacebookAction_ == 2) sendDidFinish();
}

void SHRFacebook::dialogDidNotComplete(FBDialog&) {
    if (pendingFacebookAction_ == 2) sendDidCancel();
}

void SHRFacebook::logout() {
    auto session = Facebook::create(AppId);
    session->setAccessToken(SHR::getAuthValueForKey(AccessTokenKey, "SHRFacebook"));
    session->setExpirationDate(base::UserDefaults::standardUserDefaults().dateForKey(ExpirationDateKey));
    if (session->accessToken()) {
        session->logout(std::weak_ptr<FBSessionDelegate>());
    } else {
        // Never logged in: nothing to expire at the service, only its cookies to drop.
        auto& cookies = net::CookieStorage::sharedHTTPCookieStorage();
        for (const auto& cookie : cookies.cookiesForURL(Facebook::loginHostURL())) cookies.deleteCookie(cookie);
    }
    SHR::removeAuthValueForKey(AccessTokenKey, "SHRFacebook");
    auto& defaults = base::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(ExpirationDateKey);
    defaults.synchronize();
    // A session this sharer already made forgets its token too.
    if (facebook_) {
        facebook_->setAccessToken(std::nullopt);
        facebook_->setExpirationDate(std::nullopt);
    }
}
