#pragma once
// Posts a link, a text or a photo to the user's Facebook wall. There is no
// share form: once logged in, the item goes at once. The access token lives
// in the keychain (the sharer's auth value "SHRFacebookAccessToken") and its
// expiry in the user defaults ("SHRFacebookExpirationDate"); while a login
// is under way the item waits in the user defaults
// ("SHRFacebookPendingItem"), so that a fresh sharer that receives the
// login answer from outside can finish the share.
#include <memory>
#include <string>
#include <vector>

#include "sharing/core/SHRSharer.h"
#include "sharing/facebook/Facebook.h"

class SHRFacebook : public SHRSharer, public FBSessionDelegate, public FBRequestDelegate, public FBDialogDelegate {
public:
    // The application as the service knows it.
    static constexpr const char* AppId = "584019276341";
    static constexpr const char* AppName = "Tolvek";
    static constexpr const char* AccessTokenKey = "SHRFacebookAccessToken";
    static constexpr const char* ExpirationDateKey = "SHRFacebookExpirationDate";
    static constexpr const char* PendingItemKey = "SHRFacebookPendingItem";
    // The application's web address, named in the text share's action.
    static std::string appURL();

    SHRFacebook();
    std::string sharerId() const override { return "SHRFacebook"; }
    std::string sharerTitle() const override { return "Facebook"; }
    bool canShareURL() const override { return true; }
    bool canShareText() const override { return true; }
    bool canShareImage() const override { return true; }
    bool canShareOffline() const override { return false; }
    bool shouldAutoShare() override { return true; }
    std::vector<std::shared_ptr<SHRFormFieldSettings>> shareFormFieldsForType(int) override { return {}; }
    // The login is the service's own page: there is no login form.
    std::vector<std::shared_ptr<SHRFormFieldSettings>> authorizationFormFields() const override { return {}; }

    // The session, made on first use with the stored token and expiry.
    std::shared_ptr<Facebook> facebook();
    const std::vector<std::string>& permissions() const { return permissions_; }
    int pendingFacebookAction() const { return pendingFacebookAction_; }

    bool isAuthorized() override;
    void promptAuthorization() override;
    bool send() override;
    // Ends the stored session: the service is told, its login cookies go,
    // and the stored token and expiry are removed.
    void logout() override;

    // Session delegate.
    void fbDidLogin() override;
    void fbDidNotLogin(bool cancelled) override;
    void fbDidLogout() override {}

    // Request delegate.
    bool respondsToDidLoad() const override { return true; }
    void requestDidLoad(FBRequest& request, const FBResult& result) override;
    bool respondsToDidFailWithError() const override { return true; }
    void requestDidFailWithError(FBRequest& request, const net::Error& error) override;

    // Dialog delegate.
    void dialogDidComplete(FBDialog& dialog) override;
    void dialogDidNotComplete(FBDialog& dialog) override;
    std::optional<bool> dialogShouldOpenURLInExternalBrowser(FBDialog&, const net::URL&) override { return true; }

private:
    std::shared_ptr<SHRFacebook> facebookSelf() { return std::static_pointer_cast<SHRFacebook>(self()); }
    std::shared_ptr<Facebook> facebook_;
    std::vector<std::string> permissions_;
    int pendingFacebookAction_ = 0;
};
