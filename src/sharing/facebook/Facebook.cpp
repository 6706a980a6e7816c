#include "sharing/facebook/Facebook.h"

#include "platform/base/Format.h"
#include "platform/base/Log.h"
#include "platform/net/CookieStorage.h"
#include "platform/net/PercentEncoding.h"
#include "platform/net/Services.h"
#include "platform/ui/Application.h"

std::shared_ptr<Facebook> Facebook::create(const std::string& appId) { return std::make_shared<Facebook>(appId); }

Facebook::~Facebook() = default;

std::string Facebook::dialogBaseURL() { return net::Services::url("FacebookDialog", "/dialog/").absoluteString(); }
std::string Facebook::graphBaseURL() { return net::Services::url("FacebookGraph", "/").absoluteString(); }
std::string Facebook::restBaseURL() { return net::Services::url("FacebookREST", "/method/").absoluteString(); }
net::URL Facebook::loginHostURL() { return net::Services::url("FacebookLogin", "/"); }

// --- Login --------------------------------------------------------------------------

void Facebook::authorize(const std::vector<std::string>& permissions, std::weak_ptr<FBSessionDelegate> delegate,
                         std::optional<std::string> localAppId) {
    localAppId_ = std::move(localAppId);
    permissions_ = permissions;
    sessionDelegate_ = std::move(delegate);
    authorizeWithFBAppAuth(true, true);
}

std::string Facebook::getOwnBaseUrl() const {
    return base::format("fb%@%@://authorize", appId_, localAppId_.value_or(""));
}

void Facebook::authorizeWithFBAppAuth(bool tryFBAppAuth, bool trySafariAuth) {
    auto keep = shared_from_this();
    FBParams params{{"client_id", appId_},
                    {"type", "user_agent"},
                    {"redirect_uri", RedirectURL},
                    {"display", "touch"},
                    {"sdk", "2"}};
    if (!permissions_.empty()) {
        std::string scope;
        for (const auto& p : permissions_) scope += (scope.empty() ? "" : ",") + p;
        params.set("scope", scope);
    }
    if (localAppId_) params.set("local_client_id", *localAppId_);
    const std::string loginDialogURL = dialogBaseURL() + "oauth";

    bool didOpenOtherApp = false;
    auto& app = ui::Application::sharedApplication();
    // Leaving the application only makes sense when the answer can come
    // back: the other program must be able to open our own scheme here.
    if (ui::Device::currentDevice().isMultitaskingSupported() && app.canReceiveOwnURLScheme()) {
        if (tryFBAppAuth) {
            const std::string scheme = std::string("fbauth") + (localAppId_ ? "2" : "");
            didOpenOtherApp =
                app.openURL(FBRequest::serializeURL(base::format("%@://%@", scheme, "authorize"), params));
        }
        if (trySafariAuth && !didOpenOtherApp) {
            params.set("redirect_uri", getOwnBaseUrl());
            didOpenOtherApp = app.openURL(FBRequest::serializeURL(loginDialogURL, params));
        }
    }
    if (didOpenOtherApp) return;
    loginDialog_ = FBLoginDialog::create(loginDialogURL, params, std::static_pointer_cast<FBLoginDialogDelegate>(keep));
    loginDialog_->show();
}

std::map<std::string, std::string> Facebook::parseURLParams(const std::optional<std::string>& query) {
    std::map<std::string, std::string> out;
    if (!query) return out;
    std::size_t start = 0;
    while (start <= query->size()) {
        std::size_t end = query->find('&', start);
        if (end == std::string::npos) end = query->size();
        const std::string piece = query->substr(start, end - start);
        const std::size_t eq = piece.find('=');
        // A piece without "=" carries no value and is left out.
        if (eq != std::string::npos) {
            const std::size_t next = piece.find('=', eq + 1);
            const std::string raw = piece.substr(eq + 1, next == std::string::npos ? std::string::npos : next - eq - 1);
            out[piece.substr(0, eq)] = net::replacingPercentEscapes(raw).value_or(raw);
        }
        start = end + 1;
    }
    return out;
}

bool Facebook::handleOpenURL(const std::string& url) {
    auto keep = shared_from_this();
    if (url.rfind(getOwnBaseUrl(), 0) != 0) return false;
    std::optional<std::string> query;
    const std::size_t hash = url.find('#');
    if (hash != std::string::npos) {
        query = url.substr(hash + 1);
    } else {
        const std::size_t mark = url.find('?');
        if (mark != std::string::npos) query = url.substr(mark + 1);
    }
    auto params = parseURLParams(query);
    auto token = params.find("access_token");
    if (token == params.end()) {
        auto error = params.find("error");
        const std::string errorReason = error == params.end() ? std::string() : error->second;
        if (errorReason == "service_disabled_use_browser") {
            authorizeWithFBAppAuth(false, true);
            return true;
        }
        if (errorReason == "service_disabled") {
            authorizeWithFBAppAuth(false, false);
            return true;
        }
        const bool userDidCancel =
            params.count("error_code") == 0 && (error == params.end() || errorReason == "access_denied");
        fbDialogNotLogin(userDidCancel);
        return true;
    }
    base::Date expirationDate = base::Date::distantFuture();
    if (auto expires = params.find("expires_in"); expires != params.end()) {
        const long long seconds = base::Value(expires->second).integerValue();
        if (seconds != 0) expirationDate = base::Date::now().addingTimeInterval(static_cast<double>(seconds));
    }
    fbDialogLogin(token->second, expirationDate);
    return true;
}

bool Facebook::isSessionValid() const {
    return accessToken_ && expirationDate_ && expirationDate_->timeIntervalSinceNow() > 0;
}

void Facebook::fbDialogLogin(const std::string& token, const std::optional<base::Date>& expirationDate) {
    auto keep = shared_from_this();
    setAccessToken(token);
    setExpirationDate(expirationDate);
    if (auto d = sessionDelegate()) d->fbDidLogin();
}

void Facebook::fbDialogNotLogin(bool cancelled) {
    auto keep = shared_from_this();
    if (auto d = sessionDelegate()) d->fbDidNotLogin(cancelled);
}

void Facebook::logout(std::weak_ptr<FBSessionDelegate> delegate) {
    auto keep = shared_from_this();
    sessionDelegate_ = std::move(delegate);
    // Sent while the token is still set, so the call carries it.
    requestWithMethodName("auth.expireSession", FBParams(), "GET", std::weak_ptr<FBRequestDelegate>());
    accessToken_.reset();
    expirationDate_.reset();
    auto& cookies = net::CookieStorage::sharedHTTPCookieStorage();
    for (const auto& cookie : cookies.cookiesForURL(loginHostURL())) cookies.deleteCookie(cookie);
    if (auto d = sessionDelegate()) d->fbDidLogout();
}

void Facebook::requestDidFailWithError(FBRequest&, const net::Error&) { base::log("Failed to expire the session"); }

// --- Dialogs ------------------------------------------------------------------------

void Facebook::dialog(const std::string& action, std::weak_ptr<FBDialogDelegate> delegate) {
    dialog(action, FBParams(), std::move(delegate));
}

void Facebook::dialog(const std::string& action, FBParams params, std::weak_ptr<FBDialogDelegate> delegate) {
    auto keep = shared_from_this();
    fbDialog_.reset();
    const std::string dialogURL = dialogBaseURL() + action;
    params.set("display", "touch");
    params.set("sdk", "2");
    params.set("redirect_uri", RedirectURL);
    if (action == "oauth") {
        params.set("type", "user_agent");
        fbDialog_ = FBLoginDialog::create(dialogURL, params, std::static_pointer_cast<FBLoginDialogDelegate>(keep));
    } else {
        params.set("app_id", appId_);
        if (isSessionValid())
            params.set("access_token", net::replacingPercentEscapes(*accessToken_).value_or(*accessToken_));
        fbDialog_ = FBDialog::create(dialogURL, params, std::move(delegate));
    }
    fbDialog_->show();
}

// --- Calls --------------------------------------------------------------------------

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath,
                                                          std::weak_ptr<FBRequestDelegate> delegate) {
    return requestWithGraphPath(graphPath, FBParams(), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                          std::weak_ptr<FBRequestDelegate> delegate) {
    return requestWithGraphPath(graphPath, std::move(params), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                          const std::string& httpMethod,
                                                          std::weak_ptr<FBRequestDelegate> delegate) {
    return openUrl(graphBaseURL() + graphPath, std::move(params), httpMethod, std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithParams(FBParams params, std::weak_ptr<FBRequestDelegate> delegate) {
    const auto method = params.text("method");
    if (!method) {
        base::log("API Method must be specified");
        return nullptr;
    }
    params.remove("method");
    return requestWithMethodName(*method, std::move(params), "GET", std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::requestWithMethodName(const std::string& methodName, FBParams params,
                                                           const std::string& httpMethod,
                                                           std::weak_ptr<FBRequestDelegate> delegate) {
    return openUrl(restBaseURL() + methodName, std::move(params), httpMethod, std::move(delegate));
}

std::shared_ptr<FBRequest> Facebook::openUrl(const std::string& url, FBParams params, const std::string& httpMethod,
                                             std::weak_ptr<FBRequestDelegate> delegate) {
    params.set("format", "json");
    params.set("sdk", "ios");
    params.set("sdk_version", "2");
    if (isSessionValid()) params.set("access_token", *accessToken_);
    request_ = FBRequest::getRequestWithParams(std::move(params), httpMethod, std::move(delegate), url);
    request_->connect();
    return request_;
}
