#pragma once
// The Facebook client session: logs the user in, takes the access token and
// its expiry from the login answer, knows whether the session is still
// valid, logs out, opens web dialogs and starts calls to the Graph and REST
// interfaces.
//
// The login goes through the in-application dialog unless the application
// can be handed its own answer back from another program (a URL of its own
// scheme, see ui::Application::canReceiveOwnURLScheme); only then does it
// try the Facebook application and the browser, and the answer comes back
// through handleOpenURL.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Date.h"
#include "platform/net/URL.h"
#include "sharing/facebook/FBDialog.h"
#include "sharing/facebook/FBRequest.h"

// Every operation is optional.
class FBSessionDelegate {
public:
    virtual ~FBSessionDelegate() = default;
    virtual void fbDidLogin() {}
    virtual void fbDidNotLogin(bool cancelled) { (void)cancelled; }
    virtual void fbDidLogout() {}
};

class Facebook : public FBLoginDialogDelegate, public FBRequestDelegate, public std::enable_shared_from_this<Facebook> {
public:
    // The address of the in-application login's answer.
    static constexpr const char* RedirectURL = "fbconnect://success";

    // initWithAppId:
    static std::shared_ptr<Facebook> create(const std::string& appId);
    explicit Facebook(std::string appId) : appId_(std::move(appId)) {}
    ~Facebook() override;

    const std::string& appId() const { return appId_; }
    const std::optional<std::string>& accessToken() const { return accessToken_; }
    void setAccessToken(std::optional<std::string> token) { accessToken_ = std::move(token); }
    const std::optional<base::Date>& expirationDate() const { return expirationDate_; }
    void setExpirationDate(std::optional<base::Date> date) { expirationDate_ = date; }
    std::shared_ptr<FBSessionDelegate> sessionDelegate() const { return sessionDelegate_.lock(); }
    void setSessionDelegate(std::weak_ptr<FBSessionDelegate> delegate) { sessionDelegate_ = std::move(delegate); }
    const std::vector<std::string>& permissions() const { return permissions_; }
    void setPermissions(std::vector<std::string> permissions) { permissions_ = std::move(permissions); }
    const std::optional<std::string>& localAppId() const { return localAppId_; }
    void setLocalAppId(std::optional<std::string> id) { localAppId_ = std::move(id); }
    const std::shared_ptr<FBRequest>& request() const { return request_; }
    const std::shared_ptr<FBLoginDialog>& loginDialog() const { return loginDialog_; }
    const std::shared_ptr<FBDialog>& fbDialog() const { return fbDialog_; }

    // The three service endpoints and the login host whose cookies logout
    // deletes (from the services configuration).
    static std::string dialogBaseURL();
    static std::string graphBaseURL();
    static std::string restBaseURL();
    static net::URL loginHostURL();

    // --- Login.
    void authorize(const std::vector<std::string>& permissions, std::weak_ptr<FBSessionDelegate> delegate,
                   std::optional<std::string> localAppId = std::nullopt);
    void authorizeWithFBAppAuth(bool tryFBAppAuth, bool trySafariAuth);
    // "fb<app id><local id>://authorize": where this application receives
    // the login answer from another program.
    std::string getOwnBaseUrl() const;
    // Takes a login answer; false for any URL that is not one.
    bool handleOpenURL(const std::string& url);
    static std::map<std::string, std::string> parseURLParams(const std::optional<std::string>& query);
    bool isSessionValid() const;
    void logout(std::weak_ptr<FBSessionDelegate> delegate);

    // As the login dialog's delegate.
    void fbDialogLogin(const std::string& token, const std::optional<base::Date>& expirationDate) override;
    void fbDialogNotLogin(bool cancelled) override;

    // --- Dialogs.
    void dialog(const std::string& action, std::weak_ptr<FBDialogDelegate> delegate);
    void dialog(const std::string& action, FBParams params, std::weak_ptr<FBDialogDelegate> delegate);

    // --- Calls.
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath,
                                                    std::weak_ptr<FBRequestDelegate> delegate);
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                    std::weak_ptr<FBRequestDelegate> delegate);
    std::shared_ptr<FBRequest> requestWithGraphPath(const std::string& graphPath, FBParams params,
                                                    const std::string& httpMethod,
                                                    std::weak_ptr<FBRequestDelegate> delegate);
    // Needs "method" among the parameters; without it nothing is sent and
    // null is returned.
    std::shared_ptr<FBRequest> requestWithParams(FBParams params, std::weak_ptr<FBRequestDelegate> delegate);
    std::shared_ptr<FBRequest> requestWithMethodName(const std::string& methodName, FBParams params,
                                                     const std::string& httpMethod,
                                                     std::weak_ptr<FBRequestDelegate> delegate);

    // As a request delegate (the expire call of logout goes without one).
    bool respondsToDidFailWithError() const override { return true; }
    void requestDidFailWithError(FBRequest& request, const net::Error& error) override;

private:
    std::shared_ptr<FBRequest> openUrl(const std::string& url, FBParams params, const std::string& httpMethod,
                                       std::weak_ptr<FBRequestDelegate> delegate);

    std::string appId_;
    std::optional<std::string> accessToken_;
    std::optional<base::Date> expirationDate_;
    std::weak_ptr<FBSessionDelegate> sessionDelegate_;
    std::vector<std::string> permissions_;
    std::optional<std::string> localAppId_;
    std::shared_ptr<FBRequest> request_;
    std::shared_ptr<FBLoginDialog> loginDialog_;
    std::shared_ptr<FBDialog> fbDialog_;
};
